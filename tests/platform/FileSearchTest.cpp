#include "platform/FileSearch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

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
