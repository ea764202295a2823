// Archives written through the 7-Zip library, checked by 7-Zip's own program and by bsdtar.
#include "ArchiveTools.h"

#include "archive/sevenzip/ItemGathering.h"
#include "archive/sevenzip/SevenZip.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace pw;
using namespace pwtest;

namespace {

// The main window's settings: the program folder's contents, named relative to it.
void PackFolderAs(TSevenZip& writer, const QString& folder, const QString& archive)
{
    writer.AddOptions = {AddRecurseDirs};
    writer.FileList.Clear();
    writer.FileList.Append(folder + QStringLiteral("/*.*"));
    writer.AddRootDir = folder;
    writer.SZFileName = archive;
}

// The strength whose level number 7-Zip's program takes as -mx.
TCompressStrength StrengthOfLevel(int level)
{
    switch (level) {
    case 0:
        return SAVE;
    case 3:
        return FAST;
    case 5:
        return NORMAL;
    case 7:
        return MAXIMUM;
    default:
        return ULTRA;
    }
}

class EveryLevel : public ::testing::TestWithParam<int> {};

TEST_P(EveryLevel, ArchiveRestoresTheFolderAndListsAs7zDoes)
{
    TempDir dir;
    // "ß" upper-cases to two letters: the folder's path must still come off every stored name.
    const QString folder = MakeSampleTree(dir.mkdir(QStringLiteral("Straße")).chopped(1));
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    PackFolderAs(writer, folder, archive);
    writer.LZMACompressStrength = StrengthOfLevel(GetParam());
    ASSERT_EQ(writer.Add(), 0);
    EXPECT_EQ(writer.VolumeNames, QStringList{archive});

    EXPECT_TRUE(ArchiveTestsClean(archive));
    ASSERT_TRUE(ExtractArchive(archive, dir.path(QStringLiteral("x"))));
    EXPECT_EQ(ReadTree(dir.path(QStringLiteral("x"))), ReadTree(folder));

    const QString reference = dir.path(QStringLiteral("ref.7z"));
    ASSERT_TRUE(ReferenceArchive(folder, GetParam(), reference));
    const std::map<QString, ListedEntry> ours = ListArchive(archive);
    EXPECT_EQ(ours, ListArchive(reference));
    EXPECT_EQ(ours.size(), ReadTree(folder).size());
    EXPECT_EQ(BsdtarList(archive), BsdtarList(reference));
    if (GetParam() == 0)
        EXPECT_EQ(ours.at(QStringLiteral("leia-me.txt")).method, QStringLiteral("Copy"));
    else
        EXPECT_TRUE(ours.at(QStringLiteral("leia-me.txt")).method.startsWith(QLatin1String("LZMA2")));
}

INSTANTIATE_TEST_SUITE_P(SevenZipLevels, EveryLevel,
                         ::testing::Values(0, 3, 5, 7, 9));

TEST(SevenZipArchive, PPMdCompressesWithPPMd)
{
    TempDir dir;
    const QString folder = MakeSampleTree(dir.path());
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    PackFolderAs(writer, folder, archive);
    writer.LZMACompressType = PPMD;
    writer.LPPMDsize = 6;
    writer.LPPMDmem = 20;
    ASSERT_EQ(writer.Add(), 0);
    EXPECT_TRUE(ArchiveTestsClean(archive));
    EXPECT_TRUE(ListArchive(archive).at(QStringLiteral("leia-me.txt")).method.startsWith(QLatin1String("PPMD")));
}

TEST(SevenZipArchive, AFileOver4GiBKeepsItsWholeSize)
{
    TempDir dir;
    const QString folder = dir.mkdir(QStringLiteral("grande"));
    const qint64 size = (qint64(4) << 30) + 4097;
    {
        QFile sparse(folder + QStringLiteral("enorme.bin"));
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(size));
    }
    // Stored, so the output stream too goes past 4 GiB; in memory when there is room, which is quicker.
    QTemporaryDir memory(QStringLiteral("/dev/shm/pwtest-XXXXXX"));
    const bool roomInMemory = memory.isValid() && QStorageInfo(memory.path()).bytesAvailable() > 3 * size / 2;
    const QString archive = (roomInMemory ? memory.path() : dir.path()) + QStringLiteral("/out.7z");
    TSevenZip writer;
    PackFolderAs(writer, folder.chopped(1), archive);
    qint64 total = 0;
    writer.OnPreProgress = [&](TSevenZip*, qint64 max) { total = max; };
    ASSERT_EQ(writer.Add(), 0);
    EXPECT_EQ(total, size);
    EXPECT_EQ(ListArchive(archive).at(QStringLiteral("enorme.bin")).size, size);
    EXPECT_TRUE(ArchiveTestsClean(archive));
}

TEST(SevenZipArchive, NothingToAddLeavesAnEmptyFileAndCode10)
{
    TempDir dir;
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    writer.SZFileName = archive;
    std::vector<std::pair<qint32, QByteArray>> messages;
    writer.OnMessage = [&](TSevenZip*, qint32 code, const QByteArray& text, const QString& name) {
        messages.emplace_back(code, text);
        EXPECT_TRUE(name.isEmpty());
    };
    EXPECT_EQ(writer.Add(), -1);
    EXPECT_EQ(writer.ErrCode, 10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, QByteArray("No files to add"));
    EXPECT_TRUE(Exists(archive));
    EXPECT_EQ(QFileInfo(archive).size(), 0);
}

TEST(SevenZipArchive, AnItemThatCannotBeReadStillGivesACompleteArchive)
{
    TempDir dir;
    const QString folder = MakeSampleTree(dir.path());
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    PackFolderAs(writer, folder, archive);
    writer.LZMACompressStrength = NORMAL;
    // Gone between the gathering and the library's read.
    writer.OnPreProgress = [&](TSevenZip*, qint64) { QFile::remove(folder + QStringLiteral("/leia-me.txt")); };
    EXPECT_EQ(writer.Add(), 0);
    EXPECT_EQ(writer.LastError, ENOENT);
    EXPECT_TRUE(ArchiveTestsClean(archive));
    EXPECT_EQ(ListArchive(archive).at(QStringLiteral("leia-me.txt")).size, 0);
}

// A name inside the program folder is stored as its path relative to the folder, even one that begins
// like a drive: "a:b.txt" was stored as ".txt", "c:stuff/" as "tuff/" and "x:" as an empty name.
TEST(SevenZipArchive, NamesThatBeginLikeADriveAreStoredWhole)
{
    TempDir dir;
    const QString folder = dir.mkdir(QStringLiteral("program")).chopped(1);
    dir.write(QStringLiteral("program/a:b.txt"), "a");
    dir.write(QStringLiteral("program/c:stuff/inner.txt"), "c");
    dir.write(QStringLiteral("program/x:"), "x");
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    PackFolderAs(writer, folder, archive);
    ASSERT_EQ(writer.Add(), 0);
    std::map<QString, ListedEntry> listed = ListArchive(archive);
    QStringList names;
    for (const auto& [name, entry] : listed)
        names.append(name);
    EXPECT_EQ(names, (QStringList{"a:b.txt", "c:stuff", "c:stuff/inner.txt", "x:"}));
}

// What the gathering found reaches OnGathered before the archive file exists; a handler that throws ends
// Add with nothing written, an earlier file of that name left alone.
TEST(SevenZipArchive, AHandlerOfTheGatheredItemsCanStopAddBeforeAnythingIsWritten)
{
    TempDir dir;
    const QString folder = MakeSampleTree(dir.path());
    const QString archive = dir.write(QStringLiteral("out.7z"), "earlier");
    TSevenZip writer;
    PackFolderAs(writer, folder, archive);
    QStringList gathered;
    bool preProgress = false;
    writer.OnPreProgress = [&](TSevenZip*, qint64) { preProgress = true; };
    writer.OnGathered = [&](TSevenZip* sender, const std::vector<GatheredItem>& items) {
        EXPECT_EQ(sender, &writer);
        for (const GatheredItem& item : items)
            gathered.append(item.name.mid(folder.size() + 1));
        throw UserError(QStringLiteral("refused"));
    };
    EXPECT_THROW(writer.Add(), UserError);
    EXPECT_TRUE(gathered.contains(QStringLiteral("leia-me.txt")));
    EXPECT_EQ(gathered.size(), qsizetype(ReadTree(folder).size()));
    EXPECT_FALSE(preProgress);
    EXPECT_EQ(ReadAll(archive), QByteArray("earlier"));
}

TEST(SevenZipArchive, AnArchiveThatCannotBeCreatedAbortsSilently)
{
    TempDir dir;
    TSevenZip writer;
    PackFolderAs(writer, MakeSampleTree(dir.path()), dir.path(QStringLiteral("missing/out.7z")));
    EXPECT_THROW(writer.Add(), SilentAbort);
    EXPECT_EQ(writer.LastError, ENOENT);
}

TEST(SevenZipArchive, VolumesJoinIntoOneArchive)
{
    TempDir dir;
    const QString folder = dir.mkdir(QStringLiteral("p"));
    dir.write(QStringLiteral("p/random.bin"), RandomBytes(20000));
    const QString archive = dir.path(QStringLiteral("out.7z"));
    TSevenZip writer;
    PackFolderAs(writer, folder.chopped(1), archive);
    writer.SetVolumeSize(4096);
    ASSERT_EQ(writer.Add(), 0);
    ASSERT_GE(writer.VolumeNames.size(), 5);
    EXPECT_EQ(writer.VolumeNames.first(), archive + QStringLiteral(".001"));
    EXPECT_EQ(QFileInfo(writer.VolumeNames.first()).size(), 4096);
    EXPECT_TRUE(ArchiveTestsClean(writer.VolumeNames.first()));
}

TEST(SevenZipArchive, SelfExtractingArchiveFollowsTheStubAndIsNeverWrittenOverAnExistingExe)
{
    TempDir dir;
    const QString folder = MakeSampleTree(dir.path());
    const QByteArray stub = "MZ" + QByteArray(3000, '\x90');
    TSevenZip writer;
    writer.SFXModule = dir.write(QStringLiteral("stub.sfx"), stub);
    writer.SetSFXCreate(true);
    ASSERT_TRUE(writer.SFXCreate());
    PackFolderAs(writer, folder, dir.path(QStringLiteral("setup.7z")));
    ASSERT_EQ(writer.Add(), 0);
    const QString exe = dir.path(QStringLiteral("setup.exe"));
    EXPECT_EQ(writer.SZFileName, exe);
    EXPECT_EQ(ReadAll(exe).left(stub.size()), stub);
    EXPECT_TRUE(ArchiveTestsClean(exe));

    writer.SZFileName = dir.path(QStringLiteral("setup.7z"));
    std::vector<qint32> codes;
    writer.OnMessage = [&](TSevenZip*, qint32 code, const QByteArray&, const QString& name) {
        codes.push_back(code);
        EXPECT_EQ(name, exe);
    };
    EXPECT_NE(writer.Add(), 0);
    EXPECT_EQ(codes, std::vector<qint32>{9});
    EXPECT_EQ(writer.LastError, EEXIST);
    EXPECT_TRUE(ArchiveTestsClean(exe));
}

TEST(SevenZipLibraryBinding, AMissingLibraryIsReportedByName)
{
    try {
        TSevenZip writer({QStringLiteral("/nonexistent/7z.so")});
        FAIL() << "constructed without a library";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Could not load CreateObject function from 7z.so\r\nPerhaps 7z.so not found"));
    }
}

TEST(SevenZipLibraryBinding, ComponentsCanComeAndGoRepeatedly)
{
    TempDir dir;
    const QString folder = MakeSampleTree(dir.path());
    for (int i = 0; i < 3; ++i) {
        TSevenZip writer;
        PackFolderAs(writer, folder, dir.path(QStringLiteral("a%1.7z").arg(i)));
        EXPECT_EQ(writer.Add(), 0);
        EXPECT_EQ(writer.Add(), 0);  // the same archive object serves every Add
    }
}

}  // namespace
