// tryrun's report file read back: the last list of processes, with their parents, is what ran when the run
// ended; a line cut off by the end of the run is no line.
#include "tryout/RunnerReport.h"
#include "tryout/WinePrefix.h"

#include <gtest/gtest.h>

#include <tuple>

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
    EXPECT_EQ(report.processes, (QStringList{QStringLiteral("setup.exe (40), iniciado por tryrun.exe (32)"),
                                             QStringLiteral("cmd.exe (48), iniciado por setup.exe (40)"),
                                             QStringLiteral("sleeper.exe (52), iniciado pelo processo 44, que já terminou")}));
    EXPECT_EQ(report.inputWaiter, QStringLiteral("setup.exe (40)"));
    EXPECT_EQ(report.exitCodes, QList<qint64>{3221225781}) << "the last line was cut off";
    EXPECT_EQ(report.startError, 193);
    EXPECT_EQ(report.startErrorText, QStringLiteral("Bad EXE format for %1."));
}

TEST(ImitatedWindows, APrefixImitatesTheTargetItCanBe)
{
    using T = WindowsTarget;
    for (const auto& [target, arch, imitated] :
         {std::tuple{T::Xp, WineArch::Win32, T::Xp}, {T::Xp, WineArch::Win64, T::Xp64}, {T::Xp64, WineArch::Win64, T::Xp64},
          {T::Xp64, WineArch::Win32, T::Server2003}, {T::Server2003, WineArch::Win64, T::Server2003}})
        EXPECT_EQ(ImitatedWindows(target, arch), imitated) << TargetOption(target).toStdString();
}

}  // namespace
