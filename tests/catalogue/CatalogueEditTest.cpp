#include "catalogue/CatalogueEdit.h"

#include "catalogue/Silence.h"
#include "platform/Errors.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pw;

namespace {

// The message of the UserError that `action` throws; empty when it throws none.
template <typename Action>
QString ErrorOf(Action action)
{
    try {
        action();
    } catch (const UserError& e) {
        return e.message();
    }
    return {};
}

ino_t Inode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(CatalogueEdit, AppendingAddsNameCommaBlankSwitchAndKeepsEveryOtherByte)
{
    pwtest::TempDir dir;
    // Trailing blanks, a Latin-1 byte, a lone LF and a last line without a break.
    const QString path = dir.write("Silence.qmr", "Inno , /VERYSILENT  \r\nInstala\xE7\xE3o, /S\nlast, /q");
    AppendCatalogueEntry(path, QStringLiteral("Only a switch follows"), QString());
    AppendCatalogueEntry(path, QString(), QStringLiteral(" /quiet"));
    EXPECT_EQ(pwtest::ReadAll(path),
              "Inno , /VERYSILENT  \r\nInstala\xE7\xE3o, /S\r\nlast, /q\r\nOnly a switch follows, \r\n,  /quiet\r\n");
    EXPECT_EQ(SilenceNames(path), (QStringList{"Inno ", "Instalação", "last", "Only a switch follows", ""}));
}

TEST(CatalogueEdit, ReplacingRewritesOnlyThatLineAndCommasStayInTheSwitch)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Silence.qmr", "A, /a\r\nB, /b\r\nC, /c\r\n");
    ReplaceCatalogueEntry(path, 1, QStringLiteral("Setup v2 "), QStringLiteral(" /silent,/log"));
    EXPECT_EQ(pwtest::ReadAll(path), "A, /a\r\nSetup v2 ,  /silent,/log\r\nC, /c\r\n");
    EXPECT_EQ(SilenceNames(path), (QStringList{"A", "Setup v2 ", "C"}));
    EXPECT_EQ(SilenceCommand(path, 1), QStringLiteral("/silent,/log"));
}

TEST(CatalogueEdit, AnEntryThatWouldReloadAsAnotherOrAsNothingIsRefusedAndTheFileUntouched)
{
    pwtest::TempDir dir;
    const QByteArray before = "A, /a\r\n";
    const QString path = dir.write("Silence.qmr", before);
    const QString comma = ErrorOf([&] { AppendCatalogueEntry(path, QStringLiteral("Foo, Bar"), QStringLiteral("/x")); });
    EXPECT_TRUE(comma.contains(QStringLiteral("\"Foo, Bar\""))) << comma.toStdString();
    EXPECT_EQ(ErrorOf([&] { ReplaceCatalogueEntry(path, 0, QStringLiteral("Foo, Bar"), QStringLiteral("/x")); }), comma);
    for (const auto& [name, command] : {std::pair{"", ""}, {"  ", " "}, {"Two\nlines", "/x"}, {"A", "/a\r/b"}}) {
        EXPECT_FALSE(ErrorOf([&] { AppendCatalogueEntry(path, name, command); }).isEmpty()) << name << command;
        EXPECT_FALSE(ErrorOf([&] { ReplaceCatalogueEntry(path, 0, name, command); }).isEmpty()) << name << command;
    }
    EXPECT_EQ(pwtest::ReadAll(path), before);
}

TEST(CatalogueEdit, TextIsWrittenInTheSystemCodePage)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Silence.qmr", "");
    AppendCatalogueEntry(path, QStringLiteral("Instalação"), QStringLiteral("/modo=silêncio"));
    EXPECT_EQ(pwtest::ReadAll(path), "Instala\xE7\xE3o, /modo=sil\xEAncio\r\n");
}

TEST(CatalogueEdit, RemovingTheLastEntryLeavesAnEmptyFile)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Silence.qmr", "A, /a\r\nB, /b\r\n");
    RemoveCatalogueEntry(path, 0);
    EXPECT_EQ(pwtest::ReadAll(path), "B, /b\r\n");
    RemoveCatalogueEntry(path, 0);
    EXPECT_TRUE(pwtest::Exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(CatalogueEdit, BytesAfterANulAreKeptBehindTheEntries)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Silence.qmr", QByteArray("A, /a\r\nB, /b", 12) + QByteArray("\0hidden\r\n", 9));
    AppendCatalogueEntry(path, QStringLiteral("C"), QStringLiteral("/c"));
    EXPECT_EQ(pwtest::ReadAll(path), QByteArray("A, /a\r\nB, /b\r\nC, /c\r\n") + QByteArray("\0hidden\r\n", 9));
    EXPECT_EQ(SilenceNames(path), (QStringList{"A", "B", "C"}));
}

TEST(CatalogueEdit, MissingFileIsReportedAndNeverCreated)
{
    pwtest::TempDir dir;
    const QString path = dir.path("Silence.qmr");
    const QString expected = QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path);
    EXPECT_EQ(ErrorOf([&] { AppendCatalogueEntry(path, "A", "/a"); }), expected);
    EXPECT_EQ(ErrorOf([&] { ReplaceCatalogueEntry(path, 0, "A", "/a"); }), expected);
    EXPECT_EQ(ErrorOf([&] { RemoveCatalogueEntry(path, 0); }), expected);
    EXPECT_FALSE(pwtest::Exists(path));
}

TEST(CatalogueEdit, IndexBeyondTheFileIsReportedAndChangesNothing)
{
    pwtest::TempDir dir;
    const QByteArray before = "A, /a\nB, /b\n";
    const QString path = dir.write("Silence.qmr", before);
    EXPECT_EQ(ErrorOf([&] { ReplaceCatalogueEntry(path, 2, "C", "/c"); }), QStringLiteral("List index out of bounds (2)"));
    EXPECT_EQ(ErrorOf([&] { RemoveCatalogueEntry(path, 2); }), QStringLiteral("List index out of bounds (2)"));
    EXPECT_EQ(ErrorOf([&] { RemoveCatalogueEntry(path, -1); }), QStringLiteral("List index out of bounds (-1)"));
    EXPECT_EQ(pwtest::ReadAll(path), before);
}

TEST(CatalogueEdit, ReadOnlyFileIsReportedNeitherChangedNorReplaced)
{
    pwtest::TempDir dir;
    const QByteArray before = "A, /a\r\n";
    const QString path = dir.write("Silence.qmr", before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const ino_t inode = Inode(path);
    const QString expected = QStringLiteral("Cannot create file \"%1\". Permission denied").arg(path);
    EXPECT_EQ(ErrorOf([&] { AppendCatalogueEntry(path, "B", "/b"); }), expected);
    EXPECT_EQ(ErrorOf([&] { ReplaceCatalogueEntry(path, 0, "B", "/b"); }), expected);
    EXPECT_EQ(ErrorOf([&] { RemoveCatalogueEntry(path, 0); }), expected);
    EXPECT_EQ(pwtest::ReadAll(path), before);
    EXPECT_EQ(Inode(path), inode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Silence.qmr"});
}

TEST(CatalogueEdit, RewriteKeepsTheFilesPermissions)
{
    pwtest::TempDir dir;
    const QString path = dir.write("Silence.qmr", "A, /a\r\n");
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(path, mode);
    AppendCatalogueEntry(path, "B", "/b");
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser), mode);
}

TEST(CatalogueEdit, FullDiskLeavesThePreviousContentWhole)
{
    pwtest::ScratchMount disk(64 * 1024);
    PW_REQUIRE_MOUNT(disk);
    QByteArray before;
    for (int i = 0; i < 500; ++i)
        before += "Program " + QByteArray::number(i) + ", /S /quiet\r\n";
    const QString path = disk.path("Silence.qmr");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(before), before.size());
    }
    disk.fillUp();  // a second copy of the catalogue cannot fit
    const QString message = ErrorOf([&] { AppendCatalogueEntry(path, "New", "/new"); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path))) << message.toStdString();
    EXPECT_EQ(pwtest::ReadAll(path), before);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "Silence.qmr"}));
}

TEST(CatalogueEdit, FileOnAReadOnlyDiskIsReportedAndUnchanged)
{
    pwtest::ScratchMount disk(64 * 1024);
    PW_REQUIRE_MOUNT(disk);
    const QString path = disk.path("Silence.qmr");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("A, /a\r\n");
    }
    ASSERT_TRUE(disk.makeReadOnly());
    const QString message = ErrorOf([&] { RemoveCatalogueEntry(path, 0); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path))) << message.toStdString();
    EXPECT_EQ(pwtest::ReadAll(path), "A, /a\r\n");
}
