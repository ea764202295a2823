#include "platform/FileHelpers.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(FileHelpers, ListLeavesOutDotNamesAndDeleteRemovesThemButNoFolder)
{
    pwtest::TempDir dir;
    for (const char* name : {"b.ini", "A.ini", "c.INI", ".hidden.ini", "config.qmr"})
        dir.write(name);
    dir.mkdir("sub.ini");
    QStringList names;
    ListFiles(dir.path("*.ini"), names);
    EXPECT_EQ(names, (QStringList{"A.ini", "b.ini", "c.INI", "sub.ini"}));

    EXPECT_TRUE(DeleteFiles(dir.path("*.ini")));
    EXPECT_FALSE(pwtest::Exists(dir.path("b.ini")));
    EXPECT_TRUE(pwtest::Exists(dir.path("sub.ini"))) << "folders are never removed";
    EXPECT_TRUE(pwtest::Exists(dir.path("config.qmr")));
    EXPECT_FALSE(pwtest::Exists(dir.path(".hidden.ini"))) << "a build's files take the output's name, dot or not";
    EXPECT_FALSE(DeleteFiles(dir.path("*.txt")));
}
