#include "project/FolderScan.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(FolderScan, StartFilesInEnumerationOrderAndFoldersMarked)
{
    pwtest::TempDir dir;
    for (const char* name : {"Setup.EXE", "readme.txt", "install.cmd", "data.msi", ".setup.exe", "run.COM",
                             "drv.inf", "x.bat", "noext"})
        dir.write(name);
    dir.mkdir("bin");
    dir.mkdir("tools.exe");
    dir.mkdir(".git");
    const auto scan = FolderScan(dir.path());
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->folderEntries.size(), 10);
    EXPECT_TRUE(scan->folderEntries.contains(QStringLiteral("bin\\")));
    EXPECT_TRUE(scan->folderEntries.contains(QStringLiteral("tools.exe\\")));
    EXPECT_FALSE(scan->folderEntries.contains(QStringLiteral(".setup.exe")));
    QStringList expected;
    for (const QString& e : scan->folderEntries) {
        if (QStringList{"Setup.EXE", "install.cmd", "data.msi", "run.COM", "drv.inf", "x.bat"}.contains(e))
            expected.append(e);
    }
    EXPECT_EQ(scan->startFiles, expected) << "start files keep the folder's order, no sorting";
    EXPECT_EQ(scan->startFiles.size(), 6);
}

TEST(FolderScan, MissingFolderGivesNothingAndEmptyFolderGivesNoEntries)
{
    pwtest::TempDir dir;
    EXPECT_FALSE(FolderScan(dir.path("missing")));
    EXPECT_FALSE(FolderScan(QString()));
    EXPECT_FALSE(FolderScan(dir.write("file.exe"))) << "a file is not a folder";
    dir.mkdir("empty");
    const auto scan = FolderScan(dir.path("empty"));
    ASSERT_TRUE(scan);
    EXPECT_TRUE(scan->folderEntries.isEmpty());
}

TEST(FolderScan, NonAsciiAndBlankNames)
{
    pwtest::TempDir dir;
    dir.write(QStringLiteral("Instalação do Programa.exe"));
    const auto scan = FolderScan(dir.path());
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->startFiles, QStringList{QStringLiteral("Instalação do Programa.exe")});
}
