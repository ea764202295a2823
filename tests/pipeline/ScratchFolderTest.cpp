// Each build's own scratch folder: made apart from every other, removed whole at its end, and removed by
// a later build only once the process that made it has gone.
#include "pipeline/ScratchFolder.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pw;

namespace {

QStringList FoldersIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A scratch folder whose process ended without removing it, as a crash or a kill leaves it.
QString AbandonedBy(const QString& tempDir)
{
    const QStringList before = FoldersIn(tempDir);
    const pid_t child = ::fork();
    if (child == 0) {
        auto* folder = new ScratchFolder(tempDir);  // never destroyed: the process just ends
        const int fd = ::open(QFile::encodeName(folder->path() + "files.7z").constData(), O_WRONLY | O_CREAT, 0600);
        ::_exit(fd >= 0 && ::write(fd, "half", 4) == 4 ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QStringList after = FoldersIn(tempDir);
    for (const QString& name : before)
        after.removeOne(name);
    EXPECT_EQ(after.size(), 1);
    return after.isEmpty() ? QString() : after[0];
}

}  // namespace

TEST(ScratchFolder, EachBuildHasItsOwnAndTakesItWithEverythingInItWhenItEnds)
{
    pwtest::TempDir dir;
    const QString temp = dir.mkdir("temp");
    {
        ScratchFolder first(temp), second(temp);
        EXPECT_NE(first.path(), second.path());
        EXPECT_TRUE(first.path().startsWith(temp) && first.path().endsWith('/'));
        EXPECT_TRUE(IsScratchFolderName(QDir(first.path()).dirName()));
        dir.write(first.path().mid(dir.path().size() + 1) + "files.7z", "archive");
        dir.write(first.path().mid(dir.path().size() + 1) + "stcAbC123", "cabinet library's");
        EXPECT_EQ(FoldersIn(temp).size(), 2);
    }
    EXPECT_EQ(pwtest::EntriesBelow(temp), QStringList());
}

TEST(ScratchFolder, OnlyTheFoldersOfBuildsThatHaveGoneAreRemoved)
{
    pwtest::TempDir dir;
    const QString temp = dir.mkdir("temp");
    const QString abandoned = AbandonedBy(temp);
    EXPECT_TRUE(pwtest::Exists(temp + abandoned + "/files.7z"));
    dir.mkdir("temp/keep");  // not a build's
    dir.mkdir("temp/build-made-by-hand");  // a build died before it could lock its folder
    const ScratchFolder running(temp);
    dir.write(running.path().mid(dir.path().size() + 1) + "files.7z", "archive");

    RemoveAbandonedScratchFolders(temp);
    EXPECT_EQ(FoldersIn(temp), (QStringList{QDir(running.path()).dirName(), "keep"}));
    EXPECT_TRUE(pwtest::Exists(running.path() + "files.7z")) << "a running build's files stay";
}

TEST(ScratchFolder, AFolderThatCannotBeMadeSaysWhy)
{
    pwtest::TempDir dir;
    try {
        ScratchFolder folder(dir.path("missing/"));
        FAIL() << "made in a missing folder";
    } catch (const ScratchFolderFailure& e) {
        EXPECT_EQ(e.error, ENOENT);
    }
}
