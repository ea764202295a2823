#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/FileSearch.h"
#include "platform/TextLines.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace pw;

TEST(SplitLines, EveryBreakKindAndNoEmptyLastLine)
{
    EXPECT_EQ(SplitLines(QByteArray("a\r\nb\rc\nd")), (QList<QByteArray>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QByteArray("a\r\n")), (QList<QByteArray>{"a"}));
    EXPECT_EQ(SplitLines(QByteArray("a\n\n")), (QList<QByteArray>{"a", ""}));
    EXPECT_EQ(SplitLines(QByteArray("\r\n\r\nx")), (QList<QByteArray>{"", "", "x"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
    EXPECT_EQ(JoinLinesCrLf({"a", ""}), QByteArray("a\r\n\r\n"));
}

TEST(CodePage, Windows1252ByDefaultAndOverriddenByTheEnvironment)
{
    unsetenv("PACKWRIGHT_CODEPAGE");
    EXPECT_EQ(SystemCodePage(), 1252);
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("ação €")), QByteArray("a\xE7\xE3o \x80"));
    EXPECT_EQ(AnsiToUnicode(QByteArray("a\xE7\xE3o \x80")), QStringLiteral("ação €"));
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("中")), QByteArray("?"));

    setenv("PACKWRIGHT_CODEPAGE", "1251", 1);
    EXPECT_EQ(SystemCodePage(), 1251);
    EXPECT_EQ(UnicodeToAnsi(QStringLiteral("Жук")), QByteArray("\xC6\xF3\xEA"));
    setenv("PACKWRIGHT_CODEPAGE", "99999", 1);
    EXPECT_EQ(SystemCodePage(), 1252) << "an unknown code page falls back to the default";
    unsetenv("PACKWRIGHT_CODEPAGE");
    EXPECT_TRUE(IsKnownCodePage(932));
}

TEST(Wildcards, WindowsPatternsWithoutRegardToCase)
{
    EXPECT_TRUE(WildcardMatch("*.*", "noext"));
    EXPECT_TRUE(WildcardMatch("*", ".hidden"));
    EXPECT_TRUE(WildcardMatch("*.ini", "ENTRIES_X.INI"));
    EXPECT_FALSE(WildcardMatch("*.ini", "config.qmr"));
    EXPECT_TRUE(WildcardMatch("set?p.exe", "SETUP.EXE"));
    EXPECT_TRUE(WildcardMatch("*.", "noext"));
    EXPECT_FALSE(WildcardMatch("*.", "a.b"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYbc"));
    EXPECT_FALSE(WildcardMatch("a*b*c", "aXXbYYbd"));
}

TEST(FileSearch, ListsMatchesAndReportsAMissingFolder)
{
    pwtest::TempDir dir;
    dir.write("one.ini");
    dir.write("two.INI");
    dir.write("other.txt");
    dir.mkdir("folder.ini");
    const DirListing listing = FindEntries(dir.path(), QStringLiteral("*.ini"));
    EXPECT_EQ(listing.error, 0);
    EXPECT_EQ(listing.entries.size(), 3);
    int folders = 0;
    for (const DirEntry& e : listing.entries)
        folders += e.isDir && e.name == QLatin1String("folder.ini");
    EXPECT_EQ(folders, 1);
    EXPECT_NE(FindEntries(dir.path("nope"), QStringLiteral("*")).error, 0);
}

TEST(FileNames, ExtensionOfTheNamePartOnly)
{
    EXPECT_EQ(LowerExtension(QStringLiteral("/a.dir/SETUP.EXE")), QStringLiteral(".exe"));
    EXPECT_EQ(LowerExtension(QStringLiteral("/a.dir/noext")), QString());
    EXPECT_EQ(LowerExtension(QStringLiteral("C:\\out\\x.tar.GZ")), QStringLiteral(".gz"));
    EXPECT_EQ(FileNamePart(QStringLiteral("C:name.cab")), QStringLiteral("name.cab"));
}
