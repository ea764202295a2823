// What could stop an unattended Windows setup in the runners and the runtime they share with the
// self-extractor: a switch that msistub misreads and so hands msiexec's basic interface on, a batch file that
// waits for a key, a program left running that keeps the wait for it going, an INF section installed with
// operations that Windows XP does not document.
#include "AddonFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

using namespace pwtest;

namespace {

// 0 to 4 packs a self-extractor at that level, this one lays the files out in the cabinet.
constexpr int kNoCompact = -1;

QStringList PackingOptions(int level)
{
    if (level == kNoCompact)
        return {QStringLiteral("--no-compact")};
    return {QStringLiteral("--level"), QString::number(level)};
}

QString PackingName(int level)
{
    return level == kNoCompact ? QStringLiteral("nocompact") : QStringLiteral("level%1").arg(level);
}

// The lines of the add-on log that ran a command, without their time and program: "run: COMMAND".
QStringList RunLines(const QString& temp)
{
    QStringList runs;
    static const QRegularExpression runLine(QStringLiteral("\\] (run: .*?)\\r?$"), QRegularExpression::MultilineOption);
    const QString log = QString::fromUtf8(ReadAll(temp + QStringLiteral("/packwright-addon.log")));
    for (auto it = runLine.globalMatch(log); it.hasNext();)
        runs << it.next().captured(1);
    return runs;
}

// A switch whose last word ends in a backslash, as a folder property does, followed on the command line by
// the " /qb-!" that every .msi add-on carries. `%1` stands for a folder below drive C: that is this test's own.
struct SlashCase {
    const char* name;
    const char* silentSwitch;  // with %1 for the folder
    const char* folder;        // with %1 for the case's name
    const char* msiexecTail;   // what msiexec must get after the package, with %1 for the folder
    int level;
};

void PrintTo(const SlashCase& c, std::ostream* os)
{
    *os << c.name;
}

class BackslashSwitch : public AddonFixture, public ::testing::WithParamInterface<SlashCase> {
protected:
    void SetUp() override
    {
        Prepare(StartKind::Msi, QStringLiteral("slash_") + QString::fromLatin1(GetParam().name));
        folder_ = QString::fromLatin1(GetParam().folder).arg(name_);
        program_.silentSwitch = QString::fromLatin1(GetParam().silentSwitch).arg(folder_);
    }
    QString folder_;
};

// msiexec saw the switch whole and the quiet interface instead of the basic one, and the package went where
// the switch said.
TEST_P(BackslashSwitch, ReachesMsiexecWithTheQuietInterface)
{
    const Unpacked addon = BuildAndUnpack(PackingOptions(GetParam().level));
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();

    const QStringList runs = RunLines(temp_).filter(QStringLiteral("msiexec.exe"), Qt::CaseInsensitive);
    ASSERT_EQ(runs.size(), 1) << TemporaryFiles();
    const QString tail = QString::fromLatin1(GetParam().msiexecTail).arg(folder_);
    const QRegularExpression afterPackage(QStringLiteral("\\\\setup\\.msi\"? ") + QRegularExpression::escape(tail) + '$');
    EXPECT_TRUE(afterPackage.match(runs.front()).hasMatch())
        << runs.front().toStdString() << "\ndoes not end with the package and " << tail.toStdString();
    EXPECT_EQ(ReadAll(DriveC(folder_ + QStringLiteral("/installed.txt"))), InstalledContent(name_));
}

INSTANTIATE_TEST_SUITE_P(
    Msistub, BackslashSwitch,
    ::testing::Values(
        // The folder right before " /qb-!": that switch is msiexec's no longer.
        SlashCase{"last", "/norestart INSTALLDIR=C:\\%1\\", "PwSlash_%1", "/norestart INSTALLDIR=C:\\%1\\ /qn", 1},
        // The folder before the restart switch, which decides the restart itself.
        SlashCase{"before_restart", "INSTALLDIR=C:\\%1\\ /norestart", "PwSlash_%1",
                  "INSTALLDIR=C:\\%1\\ /norestart /qn", kNoCompact},
        // Quoted, with a blank: msiexec ends the value at its second quote, backslash or not.
        SlashCase{"quoted", "/norestart INSTALLDIR=\"C:\\%1\\\"", "Pw Slash %1",
                  "/norestart INSTALLDIR=\"C:\\%1\\\" /qn", 0}),
    [](const ::testing::TestParamInfo<SlashCase>& info) { return std::string(info.param.name); });

// A batch file that waits for a key and asks for an answer, as many batch installers do before they start.
// Nobody can press a key during Windows setup: both must read nothing at once and the batch file go on.
const QByteArray kPausingBatchFile = "@echo off\r\n"
                                     "pause\r\n"
                                     "set /p ANSWER=Install now? \r\n"
                                     "\"%PW_TEST_RECORDER%\" %*\r\n"
                                     "exit /b %ERRORLEVEL%\r\n";

class PausingBatch : public AddonFixture, public ::testing::WithParamInterface<int> {};

TEST_P(PausingBatch, EndsWithItsExitCode)
{
    Prepare(StartKind::Cmd, QStringLiteral("pause_") + PackingName(GetParam()));
    scratch_.write(QStringLiteral("program/") + program_.startFile, kPausingBatchFile);
    const Unpacked addon = BuildAndUnpack(PackingOptions(GetParam()));
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kChosenExitCode);
    EXPECT_EQ(Recorded(QStringLiteral("arguments.txt")), kRecordedArguments);
}

INSTANTIATE_TEST_SUITE_P(Batchrunner, PausingBatch, ::testing::Values(1, kNoCompact),
                         [](const ::testing::TestParamInfo<int>& info) { return PackingName(info.param).toStdString(); });

// A command that exits at once and leaves behind a program that keeps starting short-lived processes, each
// one a message on the job's port, while it uses next to no processor time. The wait for it must still end,
// and the command's own exit code come back: by the idle rule, or by the longest wait when the idle rule
// would take longer. The test tools wait as the runners and the self-extractor do, with seconds for minutes.
struct LeftoverCase {
    const char* tool;
    const char* logged;  // how the log says why the wait ended
};

void PrintTo(const LeftoverCase& c, std::ostream* os)
{
    *os << c.tool;
}

constexpr qint64 kLeftoverInstallerExitCode = 7;

class LeftoverWait : public ::testing::TestWithParam<LeftoverCase> {
protected:
    void SetUp() override { QDir().mkpath(temp_); }
    // The program left behind ends when the stop file appears.
    void TearDown() override { scratch_.write(QStringLiteral("stop")); }

    TempDir scratch_;
    const QString temp_ = scratch_.path(QStringLiteral("temp"));
};

TEST_P(LeftoverWait, EndsThoughTheLeftoverKeepsStartingProcesses)
{
    const QString line = QStringLiteral("\"%1\" \"%2\" \"%3\"")
                             .arg(WindowsPath(TestTool(QString::fromLatin1(GetParam().tool))),
                                  WindowsPath(TestTool(QStringLiteral("Leftover.exe"))),
                                  WindowsPath(scratch_.path(QStringLiteral("stop"))));
    const SetupRun run = RunSetupLine(line, scratch_.path(), temp_, {});
    ASSERT_TRUE(run.ran) << line.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, kLeftoverInstallerExitCode);
    const QString log = QString::fromUtf8(ReadAll(temp_ + QStringLiteral("/packwright-addon.log")));
    EXPECT_TRUE(log.contains(QString::fromLatin1(GetParam().logged))) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("is left to run")), 1) << log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Runtime, LeftoverWait,
                         ::testing::Values(LeftoverCase{"QuickIdle.exe", "left running is idle"},
                                           LeftoverCase{"QuickCeiling.exe", "after the longest wait"}),
                         [](const ::testing::TestParamInfo<LeftoverCase>& info) {
                             return QString::fromLatin1(info.param.tool).chopped(4).toStdString();
                         });

// An install section that also names a directive outside the operations infrunner asks SetupAPI for:
// ProfileItems, which makes a Start menu entry. The section's file is installed (the add-on tests of every
// kind check its registry value too), the entry is not.
class InfOperations : public AddonFixture, public ::testing::WithParamInterface<int> {
protected:
    // The .lnk files of that name anywhere on drive C:.
    QStringList ProfileItemLinks() const
    {
        QStringList links;
        QDirIterator it(DriveC(QString()), {ProfileItem() + QStringLiteral(".lnk")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            links << it.next();
        return links;
    }
    QString ProfileItem() const { return QStringLiteral("Packwright ") + name_; }
};

TEST_P(InfOperations, InstallsOnlyTheDocumentedOperations)
{
    Prepare(StartKind::Inf, QStringLiteral("infops_") + PackingName(GetParam()));
    QByteArray text = ReadAll(program_folder_ + QLatin1Char('/') + program_.startFile);
    ASSERT_TRUE(text.contains("[DefaultInstall]\r\n"));
    text.replace("[DefaultInstall]\r\n", "[DefaultInstall]\r\nProfileItems=Test.Item\r\n");
    text += "\r\n[Test.Item]\r\nName=\"" + ProfileItem().toLatin1() + "\"\r\nCmdLine=11,,notepad.exe\r\n";
    scratch_.write(QStringLiteral("program/") + program_.startFile, text);
    for (const QString& link : ProfileItemLinks())  // an earlier run's, on a stand that was kept
        QFile::remove(link);

    const Unpacked addon = BuildAndUnpack(PackingOptions(GetParam()));
    ASSERT_TRUE(addon.error.isEmpty()) << addon.error.toStdString();
    const SetupRun run = Run(addon);
    ASSERT_TRUE(run.ran) << addon.addProgram.toStdString() << ":\n" << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << TemporaryFiles();
    EXPECT_EQ(ReadAll(DriveC(QStringLiteral("windows/system32/") + InfCopiedFile(name_))), InstalledContent(name_));
    EXPECT_EQ(ProfileItemLinks(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Infrunner, InfOperations, ::testing::Values(2, kNoCompact),
                         [](const ::testing::TestParamInfo<int>& info) { return PackingName(info.param).toStdString(); });

}  // namespace
