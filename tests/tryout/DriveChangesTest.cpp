// What a run added to drive C:, from listings of its files before and after.
#include "tryout/DriveChanges.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace pw;

namespace {

TEST(DriveChanges, AddedFilesShortcutsAndTemporaryFilesApart)
{
    pwtest::TempDir drive;
    drive.write(QStringLiteral("windows/system32/kernel32.dll"));
    drive.write(QStringLiteral("users/root/Temp/old.tmp"));
    drive.mkdir(QStringLiteral("users/Public/Temp"));
    const TreeSnapshot before = SnapshotTree(drive.path());
    drive.write(QStringLiteral("Program Files/App/app.exe"));
    drive.write(QStringLiteral("Program Files/App/.hidden"));
    drive.write(QStringLiteral("ProgramData/Microsoft/Windows/Start Menu/Programs/App.LNK"));
    drive.write(QStringLiteral("users/root/Temp/packwright-addon.log"));
    drive.write(QStringLiteral("users/root/Temp/nsx1.tmp/System.dll"));
    drive.mkdir(QStringLiteral("Program Files/Empty"));
    // Wine's own cache of an INF it read is not the installer's; an INF the installer adds is.
    drive.write(QStringLiteral("windows/inf/input.PNF"));
    drive.write(QStringLiteral("windows/inf/app.inf"));
    ASSERT_TRUE(QFile::link(drive.path(QStringLiteral("windows")), drive.path(QStringLiteral("link"))));
    const TreeSnapshot after = SnapshotTree(drive.path());

    EXPECT_EQ(TempFolder(drive.path()), QStringLiteral("users/root/Temp"));
    const DriveChanges changes =
        AddedFiles(before, after, TempFolder(drive.path()), QStringLiteral("packwright-addon.log"));
    // The link is not followed: what it leads to is listed once, where it lies.
    EXPECT_EQ(changes.files, (QStringList{QStringLiteral("C:\\Program Files\\App\\.hidden"),
                                          QStringLiteral("C:\\Program Files\\App\\app.exe"),
                                          QStringLiteral("C:\\windows\\inf\\app.inf")}));
    EXPECT_EQ(changes.shortcuts,
              QStringList{QStringLiteral("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\App.LNK")});
    EXPECT_EQ(changes.temp, QStringList{QStringLiteral("nsx1.tmp\\System.dll")});
}

TEST(DriveChanges, NoUserNoTemporaryFolder)
{
    pwtest::TempDir drive;
    drive.mkdir(QStringLiteral("users/Public/Temp"));
    EXPECT_EQ(TempFolder(drive.path()), QString());
    const DriveChanges changes = AddedFiles({}, {QStringLiteral("users/x/Temp/a")}, QString(), QStringLiteral("log"));
    EXPECT_EQ(changes.files, QStringList{QStringLiteral("C:\\users\\x\\Temp\\a")});
}

}  // namespace
