// A try's folder: its own, removed whole at its end. One that a try ended at once left behind, a Wine
// prefix with folders an installer made read-only, goes when the next try starts; that of a try still
// running stays.
#include "tryout/TryFolder.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pw;

namespace {

QStringList FoldersIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The folder of a try whose process ended without removing it, with a read-only folder in its prefix.
// The child makes its files with system calls only, as a forked copy of a threaded program should.
void LeaveATryFolder(const QString& parent)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const auto* left = new TryFolder(parent);  // never destroyed: the process ends at once
        const std::string prefix = QFile::encodeName(left->path() + QStringLiteral("/prefix")).toStdString();
        const std::string locked = prefix + "/locked";
        const bool made = left->isValid() && ::mkdir(prefix.c_str(), 0700) == 0 && ::mkdir(locked.c_str(), 0700) == 0
                          && ::close(::open((locked + "/system.reg").c_str(), O_WRONLY | O_CREAT, 0600)) == 0
                          && ::chmod(locked.c_str(), 0500) == 0;
        ::_exit(made ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

TEST(TryFolder, OneLeftByATryEndedAtOnceGoesWithTheNextTryAndARunningOnesStays)
{
    pwtest::TempDir dir;
    const QString parent = dir.path(QStringLiteral("work"));
    LeaveATryFolder(parent);
    ASSERT_EQ(FoldersIn(parent).size(), 1);
    {
        const TryFolder running(parent);
        ASSERT_TRUE(running.isValid()) << running.error().toStdString();
        EXPECT_EQ(FoldersIn(parent).size(), 1) << "the folder left behind is gone";
        dir.write(running.path().mid(dir.path().size() + 1) + QStringLiteral("/prefix/system.reg"), "in use");
        {
            const TryFolder next(parent);
            ASSERT_TRUE(next.isValid()) << next.error().toStdString();
            QStringList both{QFileInfo(running.path()).fileName(), QFileInfo(next.path()).fileName()};
            both.sort();
            EXPECT_EQ(FoldersIn(parent), both);
            EXPECT_TRUE(pwtest::Exists(running.path() + QStringLiteral("/prefix/system.reg")));
        }
        EXPECT_EQ(FoldersIn(parent), QStringList{QFileInfo(running.path()).fileName()});
    }
    EXPECT_EQ(pwtest::EntriesBelow(parent), QStringList());
}

// Its programs end with a try, however it ends; one that escaped is ended before its folder goes.
TEST(TryFolder, AProgramLeftInAnAbandonedPrefixIsEndedBeforeItGoes)
{
    pwtest::TempDir dir;
    const QString parent = dir.path(QStringLiteral("work"));
    LeaveATryFolder(parent);
    QProcess left, other;  // the same program, of the prefix left behind and of none
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), parent + QLatin1Char('/') + FoldersIn(parent).value(0) + "/prefix");
    left.setProcessEnvironment(environment);
    for (QProcess* process : {&left, &other})
        process->start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(left.waitForStarted() && other.waitForStarted());
    const TryFolder next(parent);
    EXPECT_TRUE(left.waitForFinished(5000));
    EXPECT_EQ(other.state(), QProcess::Running);
    other.kill();
    other.waitForFinished();
}

TEST(TryFolder, AFolderThatCannotBeMadeSaysWhy)
{
    pwtest::TempDir dir;
    const TryFolder folder(dir.write(QStringLiteral("a-file")));
    EXPECT_FALSE(folder.isValid());
    EXPECT_FALSE(folder.error().isEmpty());
    EXPECT_TRUE(folder.path().isEmpty());
}
