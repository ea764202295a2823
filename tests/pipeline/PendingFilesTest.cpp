// What a second Ctrl+C removes on its way out: the files and folders a build is in the middle of writing.
#include "pipeline/PendingFiles.h"

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace pw;

TEST(PendingFiles, AFolderGoesWithEverythingInItAndAFileAlone)
{
    pwtest::TempDir dir;
    dir.write("scratch/files.7z", "archive");
    dir.write("scratch/.lock");
    dir.write("scratch/stcXYZ", "temporary");
    // A try's prefix: folders in folders, one of them made read-only by an installer.
    dir.write("scratch/prefix/drive_c/windows/system32/kernel32.dll", "dll");
    ASSERT_TRUE(QFile::setPermissions(dir.path("scratch/prefix/drive_c/windows"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    dir.write("output.partial", "half");
    dir.write("kept", "not registered");
    {
        const PendingFolder folder(dir.path("scratch/"));
        const PendingFile file(dir.path("output.partial"));
        RemovePendingFiles();
    }
    EXPECT_EQ(pwtest::EntriesBelow(dir.path()), QStringList{"kept"});

    // Unregistered once they go out of scope.
    dir.write("scratch/files.7z", "archive");
    RemovePendingFiles();
    EXPECT_TRUE(pwtest::Exists(dir.path("scratch/files.7z")));
}
