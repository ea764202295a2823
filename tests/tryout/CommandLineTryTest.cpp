// packwright-build --try, as a user runs it: the steps and the summary on the terminal in the chosen
// language, the report folder in the current folder, the verdict as the exit status, and Ctrl+C, which
// ends the try and takes everything it made with it.
#include "TryFixture.h"

#include "tryout/TryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace pwtest;

namespace {

class CommandLineTry : public ::testing::Test, public TryFixture {
protected:
    void SetUp() override
    {
        if (QString reason; !CanTry(&reason))
            GTEST_SKIP() << reason.toStdString();
        QDir().mkpath(scratch.path(QStringLiteral("reports")));
        QDir().mkpath(scratch.path(QStringLiteral("work")));
    }

    // packwright-build --try in the folder "reports", in English, its temporary files in "work".
    void Start(QProcess& tool, const QStringList& arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.path(QStringLiteral("data")));
        environment.insert(QStringLiteral("TMPDIR"), scratch.path(QStringLiteral("work")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), scratch.path(QStringLiteral("cache")));
        tool.setProcessEnvironment(environment);
        tool.setWorkingDirectory(scratch.path(QStringLiteral("reports")));
        const QString target = NativeArch() == InstallerArch::Amd64 ? QStringLiteral("xp64") : QStringLiteral("xp");
        tool.start(QStringLiteral(PACKWRIGHT_BUILD), QStringList{QStringLiteral("--language-file"),
                                                                 QStringLiteral("English"), QStringLiteral("--target"),
                                                                 target} + arguments);
    }

    // The add-on of a program that waits for ever.
    QString HangingAddon()
    {
        WriteSleeper(scratch.path(QStringLiteral("Hang")), NativeArch());
        return BuildAddon(scratch.path(QStringLiteral("Hang")), QStringLiteral("setup.exe"), QString());
    }

    // packwright-build trying `addon` with a time limit of 300 s; what it printed until its lines ran.
    QByteArray StartTry(QProcess& tool, const QString& addon) const
    {
        Start(tool, {QStringLiteral("--try"), addon, QStringLiteral("--time-limit"), QStringLiteral("300")});
        QByteArray out;
        while (!out.contains("Running \"") && tool.waitForReadyRead(120000))
            out += tool.readAllStandardOutput();
        return out;
    }

    // The processes that work in the test's scratch folder (the try's Xvfb, Wine, the add-on's programs),
    // after waiting up to `seconds` for there to be none.
    QStringList ProcessesInScratch(int seconds) const
    {
        const QByteArray work = QFile::encodeName(scratch.path(QStringLiteral("work")));
        QStringList found;
        for (int tick = 0; tick <= seconds * 10 && (tick == 0 || !found.isEmpty()); ++tick) {
            QThread::msleep(tick ? 100 : 0);
            found.clear();
            for (const QString& pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
                if (ReadAll(QStringLiteral("/proc/%1/environ").arg(pid)).contains(work))
                    found << QString::fromUtf8(ReadAll(QStringLiteral("/proc/%1/comm").arg(pid)));
            }
        }
        return found;
    }
};

TEST_F(CommandLineTry, ASilentInstallerIsReportedOnTheTerminalAndInAReportFolder)
{
    const QString folder = scratch.path(QStringLiteral("Quiet"));
    WriteNsisInstaller(folder, QStringLiteral("Quiet"), NativeArch());
    const QString addon = BuildAddon(folder, QStringLiteral("setup.exe"), QStringLiteral("/S"));
    QProcess tool;
    Start(tool, {QStringLiteral("--try"), addon});
    ASSERT_TRUE(tool.waitForFinished(300000));
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_EQ(tool.exitCode(), 0) << out.toStdString() << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("Opening the add-on ...\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Result: installed silently (exit code 0"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("C:\\Program Files\\Quiet\\readme.txt"))) << out.toStdString();
    const QRegularExpressionMatch report = QRegularExpression(QStringLiteral("\nReport: (.*)\n")).match(out);
    ASSERT_TRUE(report.hasMatch()) << out.toStdString();
    EXPECT_EQ(QFileInfo(report.captured(1)).absolutePath(), scratch.path(QStringLiteral("reports")));
    EXPECT_TRUE(QFileInfo::exists(report.captured(1) + QStringLiteral("/summary.txt")));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(CommandLineTry, CtrlCEndsTheTryAndLeavesNothingOfIt)
{
    QProcess tool;
    const QByteArray out = StartTry(tool, HangingAddon());
    ASSERT_TRUE(out.contains("Running \"")) << out.data();
    EXPECT_TRUE(out.contains("(limit 300 s)")) << out.data();
    ::kill(pid_t(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_EQ(tool.readAllStandardError(), QByteArray("packwright-build: Stopped: the try did not finish.\n"));
    EXPECT_EQ(ScratchLeft(), QStringList()) << "the prefix and the add-on's files are gone";
}

// However the try ends, its programs end with it: Xvfb, Wine's server and the add-on's programs.
// However the try ends at once, its programs end with it; a second Ctrl+C takes its folder too, a kill
// leaves that to the next try.
TEST_F(CommandLineTry, ATryEndedAtOnceLeavesNoProgramRunning)
{
    const QString addon = HangingAddon();
    for (const auto& [signal, times] : {std::pair{SIGKILL, 1}, {SIGINT, 2}}) {
        QProcess tool;
        ASSERT_TRUE(StartTry(tool, addon).contains("Running \""));
        for (int time = 0; time < times; ++time, QThread::msleep(300))  // two pending signals are one
            ::kill(pid_t(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(10000));
        EXPECT_EQ(ProcessesInScratch(15), QStringList()) << signal;
        EXPECT_EQ(ScratchLeft().isEmpty(), signal == SIGINT) << signal;
        { pw::TryFolder next(scratch.path(QStringLiteral("work"))); }
    }
}

}  // namespace
