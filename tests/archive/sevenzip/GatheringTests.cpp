// Which items an entry list gathers, under which names, and the settings sent with them.
#include "archive/sevenzip/CompressionProperties.h"
#include "archive/sevenzip/ItemGathering.h"
#include "archive/sevenzip/SevenZip.h"
#include "platform/Errors.h"
#include "ArchiveTools.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace pw;
using namespace pwtest;

namespace {

class SevenZipGathering : public ::testing::Test {
protected:
    SevenZipGathering()
    {
        dir.write(QStringLiteral("App/setup.exe"), "MZ");
        dir.write(QStringLiteral("App/readme.TXT"), "r");
        dir.write(QStringLiteral("App/notes.txt"), "n");
        dir.write(QStringLiteral("App/lib/core.dll"), "d");
        dir.write(QStringLiteral("App/lib/deep/data.txt"), "t");
        dir.write(QStringLiteral("App/lib/setup.exe"), "MZ2");
        dir.write(QStringLiteral("App/archive.tar.gz"), "z");
    }

    // Stored names, sorted: what the writer puts in an archive, as 7-Zip lists it.
    QStringList Stored(const QStringList& entries, const QString& root, AddOpts options = {AddRecurseDirs})
    {
        TSevenZip writer;
        for (const QString& entry : entries)
            writer.FileList.Append(entry);
        writer.AddRootDir = root;
        writer.AddOptions = options;
        writer.SZFileName = archive;
        QFile::remove(archive);
        EXPECT_EQ(writer.Add(), 0);
        QStringList names;
        for (const auto& [path, entry] : ListArchiveInOrder(archive))
            names << path;
        names.sort();
        return names;
    }

    // Names relative to the program folder, in the order they were gathered.
    QStringList GatheredOrder(AddOpts options = {AddRecurseDirs})
    {
        QStringList names;
        for (const GatheredItem& item : GatherItems({app + QStringLiteral("/*.*")}, {app, options, {}, {}}))
            names << item.name.mid(app.size() + 1);
        return names;
    }

    TempDir dir;
    QString app = dir.path(QStringLiteral("App"));
    QString archive = dir.path(QStringLiteral("names.7z"));
};

TEST_F(SevenZipGathering, TheProgramFolderIsStoredRelativeToItself)
{
    EXPECT_EQ(Stored({app + QStringLiteral("/*.*")}, app),
              QStringList({"archive.tar.gz", "lib", "lib/core.dll", "lib/deep", "lib/deep/data.txt", "lib/setup.exe",
                           "notes.txt", "readme.TXT", "setup.exe"}));
}

TEST_F(SevenZipGathering, AFolderComesBeforeItsContentsAndTheyBeforeItsLaterSiblings)
{
    const QStringList names = GatheredOrder();
    const qsizetype lib = names.indexOf(QStringLiteral("lib"));
    const auto inLib = [](const QString& name) { return name.startsWith(QLatin1String("lib/")); };
    const qsizetype contents = std::count_if(names.begin(), names.end(), inLib);
    ASSERT_EQ(contents, 4);
    for (qsizetype i = lib + 1; i <= lib + contents; ++i)
        EXPECT_TRUE(i < names.size() && inLib(names[i])) << names.join(' ').toStdString();
    EXPECT_EQ(names.indexOf(QStringLiteral("lib/deep/data.txt")), names.indexOf(QStringLiteral("lib/deep")) + 1);
}

TEST_F(SevenZipGathering, ARootWhoseUpperCaseIsLongerStillComesOffTheNames)
{
    // "ß" upper-cases to "SS", "ŉ" to two letters as well.
    dir.write(QStringLiteral("Straße ŉ/setup.exe"), "MZ");
    dir.write(QStringLiteral("Straße ŉ/sub/data.txt"), "d");
    const QString folder = dir.path(QStringLiteral("Straße ŉ"));
    EXPECT_EQ(Stored({folder + QStringLiteral("/*.*")}, folder), QStringList({"setup.exe", "sub", "sub/data.txt"}));
}

TEST_F(SevenZipGathering, WithoutARootTheFolderItselfIsAnItemAndNamesAreFullPathsWithoutTheRoot)
{
    const QString full = app.mid(1);  // this host's root "/" is its drive prefix
    const QStringList names = Stored({app + QStringLiteral("/*.*")}, QString());
    EXPECT_TRUE(names.contains(full));
    EXPECT_TRUE(names.contains(full + QStringLiteral("/lib/deep/data.txt")));
    EXPECT_EQ(names.size(), 10);
    EXPECT_EQ(Stored({app + QStringLiteral("/*.*")}, QString(), {AddRecurseDirs, AddIncludeDriveLetter}), names);
}

TEST_F(SevenZipGathering, ARootInAnotherLetterCaseStillMakesNamesRelative)
{
    EXPECT_EQ(Stored({app + QStringLiteral("/*.*")}, app.toLower()), Stored({app + QStringLiteral("/*.*")}, app));
}

TEST_F(SevenZipGathering, WithoutRecursionSubfoldersAreItemsButNotTheirContents)
{
    EXPECT_EQ(Stored({app + QStringLiteral("/*.*")}, app, {}),
              QStringList({"archive.tar.gz", "lib", "notes.txt", "readme.TXT", "setup.exe"}));
}

TEST_F(SevenZipGathering, StoreOnlyFilenameDropsFoldersAndKeepsEqualNames)
{
    EXPECT_EQ(Stored({app + QStringLiteral("/*.*")}, app, {AddRecurseDirs, AddStoreOnlyFilename}),
              QStringList({"archive.tar.gz", "core.dll", "data.txt", "notes.txt", "readme.TXT", "setup.exe",
                           "setup.exe"}));
}

TEST_F(SevenZipGathering, MasksCompareTheLastExtensionExactly)
{
    const auto withMask = [&](const QString& mask) { return Stored({app + QStringLiteral("/*") + mask}, app); };
    EXPECT_EQ(withMask(QStringLiteral(".txt")), QStringList({"lib", "lib/deep", "lib/deep/data.txt", "notes.txt"}));
    EXPECT_EQ(withMask(QStringLiteral(".TXT")), QStringList({"lib", "lib/deep", "readme.TXT"}));
    EXPECT_EQ(withMask(QStringLiteral(".tar.gz")), QStringList({"lib", "lib/deep"}));
    // Cut to eight characters: ".exe1234x" is looked for as ".exe1234".
    dir.write(QStringLiteral("App/odd.exe1234"), "o");
    EXPECT_EQ(withMask(QStringLiteral(".exe1234x")), QStringList({"lib", "lib/deep", "odd.exe1234"}));
}

TEST_F(SevenZipGathering, TextBeforeTheStarIsAFurtherFolder)
{
    EXPECT_EQ(Stored({app + QStringLiteral("/lib*.*")}, app),
              QStringList({"lib", "lib/core.dll", "lib/deep", "lib/deep/data.txt", "lib/setup.exe"}));
}

TEST_F(SevenZipGathering, PathsAreTakenAsTheyStand)
{
    // A named folder is one item, without its contents; a missing path is skipped; a file outside the
    // root keeps its full path without the host's root.
    const QString outside = dir.write(QStringLiteral("runner.exe"), "r");
    EXPECT_EQ(Stored({app + QStringLiteral("/lib"), dir.path(QStringLiteral("gone.exe")), outside}, app),
              QStringList({"lib", outside.mid(1)}));
}

TEST_F(SevenZipGathering, AnEntryBeginningWithAStarScansTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app + QStringLiteral("/lib")));
    const QStringList names = Stored({QStringLiteral("*.*")}, QString());
    QDir::setCurrent(previous);
    EXPECT_EQ(names, QStringList({"core.dll", "deep", "deep/data.txt", "setup.exe"}));
}

TEST_F(SevenZipGathering, ALinkBackToAParentIsNotWalkedForever)
{
    ASSERT_EQ(::symlink(QFile::encodeName(app).constData(), QFile::encodeName(app + QStringLiteral("/lib/loop")).constData()), 0);
    const QStringList names = Stored({app + QStringLiteral("/*.*")}, app);
    EXPECT_TRUE(names.contains(QStringLiteral("lib/loop")));
    EXPECT_FALSE(names.contains(QStringLiteral("lib/loop/setup.exe")));
}

TEST_F(SevenZipGathering, ANamedPipeTakenByTheMaskStopsTheGatheringWithAMessage)
{
    const QString pipe = app + QStringLiteral("/lib/fifo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(Stored({app + QStringLiteral("/*.dll")}, app), QStringList({"lib", "lib/core.dll", "lib/deep"}));
    try {
        GatherItems({app + QStringLiteral("/*.txt")}, {app, {AddRecurseDirs}, {}, {}});
        FAIL() << "a named pipe was gathered";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().startsWith('"' + pipe + QStringLiteral("\" is a named pipe"))) << e.message().toStdString();
    }
}

TEST_F(SevenZipGathering, ACancelStopsTheScanAfterTheCurrentEntry)
{
    for (int i = 0; i < 5; ++i)
        dir.write(QStringLiteral("Flat/f%1.txt").arg(i), "f");
    bool cancel = false;
    const QString flat = dir.path(QStringLiteral("Flat"));
    const std::vector<GatheredItem> items = GatherItems({flat + QStringLiteral("/*.*")}, {flat.toUpper(), {}, [&] {
        const bool answer = cancel;
        cancel = true;  // asked once before the entry list is taken, then after every entry
        return answer;
    }, {}});
    EXPECT_EQ(items.size(), 1u);
}

TEST(SevenZipStoredNames, DriveLettersGoOrStayAsAskedAndSeparatorsBecomeSlashes)
{
    const auto outside = [](const char* name) { return RootRelativeName{QString::fromUtf8(name), false}; };
    EXPECT_EQ(FinishStoredName(outside("C:\\Apps\\x.exe"), {}), QStringLiteral("Apps/x.exe"));
    EXPECT_EQ(FinishStoredName(outside("C:\\Apps\\x.exe"), {AddIncludeDriveLetter}), QStringLiteral("C/Apps/x.exe"));
    EXPECT_EQ(FinishStoredName(outside("/home/u/x.exe"), {AddStoreOnlyFilename}), QStringLiteral("x.exe"));
    // Without a separator after it, a letter and a colon are no drive: a name of this host's own.
    EXPECT_EQ(FinishStoredName(outside("c:stuff/x"), {}), QStringLiteral("c:stuff/x"));
    const RootRelativeName inside = StripRootPrefix(QStringLiteral("/Home/App/x"), QStringLiteral("/HOME/APP/"));
    EXPECT_EQ(inside.name, QStringLiteral("x"));
    EXPECT_TRUE(inside.insideRoot);
    const RootRelativeName other = StripRootPrefix(QStringLiteral("/Home/Other/x"), QStringLiteral("/HOME/APP/"));
    EXPECT_EQ(other.name, QStringLiteral("/Home/Other/x"));
    EXPECT_FALSE(other.insideRoot);
}

// Inside the root folder a name is the file's path relative to it, whatever it begins with: "a:b.txt" lost
// its first three characters once, and "x:" its whole name.
TEST(SevenZipStoredNames, ANameInsideTheRootThatLooksLikeADriveKeepsEveryCharacter)
{
    for (const char* name : {"a:b.txt", "c:stuff/x.txt", "x:", "C:\\x.txt"})
        EXPECT_EQ(FinishStoredName({QString::fromUtf8(name), true}, {}), QString::fromUtf8(name).replace('\\', '/'))
            << name;
}

TEST(SevenZipSettings, PropertiesFollowTheMethodAndLevel)
{
    qunsetenv("SOURCE_DATE_EPOCH");
    TSevenZip writer;
    using P = CompressionProperty;
    const std::pair<TCompressStrength, std::uint32_t> levels[] = {{SAVE, 0}, {FAST, 3}, {NORMAL, 5}, {MAXIMUM, 7}, {ULTRA, 9}};
    for (const auto& [strength, level] : levels) {
        writer.LZMACompressStrength = strength;
        EXPECT_EQ(CompressionProperties(writer.Compression()), (std::vector<P>{{"X", level}, {"s", QStringLiteral("off")}}));
    }
    writer.AddOptions = {AddSolid, AddEncryptFilename};
    writer.LZMAStrength = 24;
    EXPECT_EQ(CompressionProperties(writer.Compression()), (std::vector<P>{{"X", 9u}, {"s", QStringLiteral("on")}, {"d", 24u}}));
    writer.Password = QStringLiteral("segredo");
    EXPECT_EQ(CompressionProperties(writer.Compression()),
              (std::vector<P>{{"X", 9u}, {"s", QStringLiteral("on")}, {"d", 24u}, {"he", QStringLiteral("on")}}));

    writer.LZMACompressType = PPMD;
    writer.Password.clear();
    EXPECT_EQ(CompressionProperties(writer.Compression()), (std::vector<P>{{"0", QStringLiteral("PPMd")}}));
    writer.LPPMDsize = 6;
    writer.LPPMDmem = 20;
    EXPECT_EQ(CompressionProperties(writer.Compression()),
              (std::vector<P>{{"0", QStringLiteral("PPMd")}, {"o", 10u}, {"mem", 30u}}));
}

TEST(SevenZipSettings, AReproducibleBuildPinsTheThreadCountOfCompressedArchives)
{
    using P = CompressionProperty;
    TSevenZip writer;
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    writer.LZMACompressStrength = NORMAL;
    EXPECT_EQ(CompressionProperties(writer.Compression()), (std::vector<P>{{"X", 5u}, {"s", QStringLiteral("off")}, {"mt", 2u}}));
    writer.LZMACompressStrength = SAVE;  // stored: nothing to cut into blocks
    EXPECT_EQ(CompressionProperties(writer.Compression()), (std::vector<P>{{"X", 0u}, {"s", QStringLiteral("off")}}));
    qunsetenv("SOURCE_DATE_EPOCH");
}

TEST(SevenZipSettings, SelfExtractingSetterNeedsANonEmptyModuleAndRaisesTheVolumeSize)
{
    TempDir dir;
    TSevenZip writer;
    EXPECT_EQ(writer.SFXModule, QStringLiteral("7z.sfx"));
    EXPECT_EQ(writer.NumberOfFiles, -1);
    writer.SFXModule = dir.path(QStringLiteral("missing.sfx"));
    writer.SetSFXCreate(true);
    EXPECT_FALSE(writer.SFXCreate());
    writer.SFXModule = dir.write(QStringLiteral("empty.sfx"));
    writer.SetSFXCreate(true);
    EXPECT_FALSE(writer.SFXCreate());

    writer.SFXModule = dir.write(QStringLiteral("stub.sfx"), QByteArray(1000, 's'));
    writer.SetVolumeSize(500);
    writer.SetSFXCreate(true);
    EXPECT_TRUE(writer.SFXCreate());
    EXPECT_EQ(writer.SFXModuleSize, 1000);
    EXPECT_EQ(writer.VolumeSize(), 1007);

    writer.SetVolumeSize(999);
    EXPECT_EQ(writer.VolumeSize(), 1007);
    writer.SetVolumeSize(1003);  // the setter's floor is the module's size only
    EXPECT_EQ(writer.VolumeSize(), 1003);
    writer.SetVolumeSize(0);
    EXPECT_EQ(writer.VolumeSize(), 0);
    writer.SetSFXCreate(false);
    writer.SetVolumeSize(10);
    EXPECT_EQ(writer.VolumeSize(), 10);
}

}  // namespace
