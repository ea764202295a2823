// tryrun's report file read back: the last list of processes, with their parents, is what ran when the run
// ended; a line cut off by the end of the run is no line.
#include "tryout/RunnerReport.h"
#include "tryout/WinePrefix.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

TEST(RunnerReport, TheLastListOfProcessesCounts)
{
    const TryTexts texts;
    const RunnerReport report = ReadRunnerReport(
        "tryrun: processes\n"
        "tryrun: process=40 32 setup.exe/tryrun.exe\n"
        "tryrun: processes\n"
        "tryrun: process=40 32 setup.exe/tryrun.exe\n"
        "tryrun: process=48 40 cmd.exe/setup.exe\r\n"
        "tryrun: process=52 44 sleeper.exe/\n"
        "tryrun: input=40\n"
        "tryrun: exit=3221225781\n"
        "tryrun: error=193 Bad EXE format for %1.\n"
        "tryrun: exit=7",
        texts);
    EXPECT_EQ(report.processes,
              (QStringList{texts.ProcessStr.arg(QStringLiteral("setup.exe"), QStringLiteral("40"),
                                                QStringLiteral("tryrun.exe"), QStringLiteral("32")),
                           texts.ProcessStr.arg(QStringLiteral("cmd.exe"), QStringLiteral("48"),
                                                QStringLiteral("setup.exe"), QStringLiteral("40")),
                           texts.ProcessOrphanStr.arg(QStringLiteral("sleeper.exe"), QStringLiteral("52"),
                                                      QStringLiteral("44"))}));
    EXPECT_EQ(report.inputWaiter, QStringLiteral("setup.exe (40)"));
    EXPECT_EQ(report.exitCodes, QList<qint64>{3221225781}) << "the last line was cut off";
    EXPECT_EQ(report.startError, 193);
    EXPECT_EQ(report.startErrorText, QStringLiteral("Bad EXE format for %1."));
}

TEST(ImitatedWindows, APrefixImitatesTheTargetItCanBe)
{
    const struct {
        WindowsTarget target;
        WineArch arch;
        WindowsTarget imitated;
    } cases[] = {
        {WindowsTarget::Xp, WineArch::Win32, WindowsTarget::Xp},
        {WindowsTarget::Xp, WineArch::Win64, WindowsTarget::Xp64},
        {WindowsTarget::Xp64, WineArch::Win64, WindowsTarget::Xp64},
        {WindowsTarget::Xp64, WineArch::Win32, WindowsTarget::Server2003},
        {WindowsTarget::Server2003, WineArch::Win32, WindowsTarget::Server2003},
        {WindowsTarget::Server2003, WineArch::Win64, WindowsTarget::Server2003},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ImitatedWindows(c.target, c.arch), c.imitated) << TargetOption(c.target).toStdString();
}

}  // namespace
