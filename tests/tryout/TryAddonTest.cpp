// Add-ons of real installers tried end to end: a fresh Wine prefix and a private display for each, as a
// user's try gets them. Each test costs a prefix (5 to 10 s on an idle machine).
#include "TryFixture.h"

#include "tryout/TryReport.h"
#include "tryout/WinePrefix.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace pwtest;

namespace {

class TryAddonTest : public ::testing::Test, public TryFixture {
protected:
    void SetUp() override
    {
        if (QString reason; !CanTry(&reason))
            GTEST_SKIP() << reason.toStdString();
    }

    // The add-on of an NSIS installer, compacted into a self-extractor as the window makes it by default.
    QString InstallerAddon(const QString& name, const QString& silentSwitch, InstallerArch arch = NativeArch())
    {
        const QString folder = scratch.path(name);
        WriteNsisInstaller(folder, name, arch);
        return BuildAddon(folder, QStringLiteral("setup.exe"), silentSwitch);
    }

    QString ConsoleAddon(const QString& what, const QStringList& options = {})
    {
        WriteConsoleInstaller(scratch.path(what), NativeArch());
        return BuildAddon(scratch.path(what), QStringLiteral("console.exe"), what, options);
    }
};

bool Contains(const QStringList& list, const QString& text)
{
    return std::any_of(list.begin(), list.end(), [&](const QString& item) { return item.contains(text); });
}

std::string Describe(const pw::TryResult& result)
{
    return result.summary.toStdString();
}

TEST_F(TryAddonTest, SilentInstallerListsWhatItInstalled)
{
    const pw::TryResult result = Try(Options(InstallerAddon(QStringLiteral("Quiet App"), QStringLiteral("/S"))));
    ASSERT_EQ(result.verdict, pw::TryVerdict::InstalledSilently) << Describe(result);
    EXPECT_EQ(result.exitCodes, QList<qint64>{0});
    EXPECT_TRUE(result.filesAdded.contains(QStringLiteral("C:\\Program Files\\Quiet App\\readme.txt")))
        << Describe(result);
    EXPECT_TRUE(result.registryAdded.contains(QStringLiteral("HKLM\\Software\\Quiet App: Version = 1.0")))
        << Describe(result);
    EXPECT_TRUE(Contains(result.shortcuts, QStringLiteral("\\Programs\\Quiet App.lnk"))) << Describe(result);
    EXPECT_TRUE(result.windows.isEmpty()) << Describe(result);
    EXPECT_TRUE(result.tempLeft.isEmpty()) << Describe(result);
    EXPECT_TRUE(result.processesLeft.isEmpty()) << Describe(result);
    // The report folder holds the summary the caller is given, and the self-extractor's log.
    EXPECT_TRUE(result.summary.contains(result.reportFolder));
    EXPECT_EQ(QString::fromUtf8(ReadAll(result.reportFolder + QStringLiteral("/summary.txt"))).trimmed(),
              result.summary);
    EXPECT_TRUE(QFileInfo::exists(result.reportFolder + QStringLiteral("/addon-log.txt")));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryAddonTest, InstallerWithoutItsSwitchWaitsOnAWindow)
{
    pw::TryOptions options = Options(InstallerAddon(QStringLiteral("Loud App"), QString()));
    options.timeLimitSeconds = 300;
    const pw::TryResult result = Try(options);
    EXPECT_EQ(result.verdict, pw::TryVerdict::Failed);
    ASSERT_TRUE(result.waitedOnWindow) << Describe(result);
    EXPECT_FALSE(result.timedOut);
    EXPECT_LT(result.seconds, 60) << "ended by the window, long before the time limit";
    ASSERT_FALSE(result.windows.isEmpty());
    EXPECT_TRUE(Contains(result.windows.front().titles, QStringLiteral("Loud App Setup"))) << Describe(result);
    EXPECT_GE(result.windows.front().visibleSeconds, options.windowLimitSeconds);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("Loud App Setup")));
    ASSERT_EQ(result.screenshots.size(), 1);
    const QString screenshot = QDir(result.reportFolder).filePath(result.screenshots.front());
    EXPECT_GT(Colours(screenshot), 2) << "a window, not a blank screen";
    EXPECT_LT(QImage(screenshot).width(), 800) << "the window alone, not the whole screen";
    EXPECT_TRUE(result.filesAdded.isEmpty()) << Describe(result);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryAddonTest, ProgramThatHangsWithoutAWindowTimesOut)
{
    const QString folder = scratch.path(QStringLiteral("Hang"));
    WriteSleeper(folder, NativeArch());
    pw::TryOptions options = Options(BuildAddon(folder, QStringLiteral("setup.exe"), QString()));
    options.timeLimitSeconds = 5;
    const pw::TryResult result = Try(options);
    EXPECT_EQ(result.verdict, pw::TryVerdict::Failed);
    EXPECT_TRUE(result.timedOut) << Describe(result);
    EXPECT_FALSE(result.waitedOnWindow);
    EXPECT_TRUE(result.windows.isEmpty()) << Describe(result);
    EXPECT_TRUE(result.exitCodes.isEmpty());
    EXPECT_TRUE(result.reason.contains(QStringLiteral("5 s"))) << Describe(result);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

// A batch file that waits on a program: when the time limit ends the run, the report names that program
// and who started it.
TEST_F(TryAddonTest, ProgramsRunningWhenTheRunIsEndedAreNamedWithTheirParents)
{
    const QString folder = scratch.path(QStringLiteral("Waits"));
    WriteSleeper(folder, NativeArch());
    scratch.write(QStringLiteral("Waits/install.cmd"), "@echo off\r\nsetup.exe\r\n");
    pw::TryOptions options = Options(BuildAddon(folder, QStringLiteral("install.cmd"), QString()));
    // Long enough for cmd.exe to have started the sleeper on a machine busy with other suites.
    options.timeLimitSeconds = 15;
    const pw::TryResult result = Try(options);
    EXPECT_TRUE(result.timedOut) << Describe(result);
    EXPECT_TRUE(std::any_of(result.processesLeft.begin(), result.processesLeft.end(), [](const QString& process) {
        return process.startsWith(QStringLiteral("setup.exe (")) && process.contains(QStringLiteral(" cmd.exe ("));
    })) << Describe(result);
}

// Console installers (tools/console.c does what its switch says). Their output shares no channel with
// tryrun's report; their input, as during Windows setup, never answers (a line started directly: the
// self-extractor gives its programs no input at all).
TEST_F(TryAddonTest, ConsoleOutputWithoutALineBreakLeavesTheVerdictWhole)
{
    pw::TryOptions options = Options(ConsoleAddon(QStringLiteral("done")));
    options.strict = true;
    const pw::TryResult result = Try(options);
    EXPECT_EQ(result.exitCodes, QList<qint64>{0}) << Describe(result);
    EXPECT_TRUE(result.installedNothing) << Describe(result);
    EXPECT_EQ(result.reason, options.texts.NothingInstalledStr) << "strict: installing nothing fails";
    EXPECT_TRUE(QFileInfo::exists(result.reportFolder + QStringLiteral("/summary.txt"))) << Describe(result);
}

TEST_F(TryAddonTest, ConsoleProgramThatWaitsForAKeyIsNamed)
{
    pw::TryOptions options = Options(ConsoleAddon(QStringLiteral("key"), {QStringLiteral("--no-compact")}));
    const pw::TryResult result = Try(options);
    EXPECT_TRUE(result.inputWaiter.startsWith(QStringLiteral("console.exe ("))) << Describe(result);
    EXPECT_LT(result.seconds, 60) << "ended by the wait, long before the time limit";
}

TEST_F(TryAddonTest, ProgramsSeeTheTargetsWindowsVersion)
{
    pw::TryOptions options = Options(ConsoleAddon(QStringLiteral("version")));
    options.target = pw::WindowsTarget::Xp64;
    const pw::TryResult result = Try(options);
    EXPECT_EQ(result.exitCodes, QList<qint64>{502}) << "major * 100 + minor: " << Describe(result);
    // A 32-bit prefix cannot be XP x64: it is Server 2003, the same Windows for a 32-bit program.
    const bool wide = NativeArch() == InstallerArch::Amd64;
    EXPECT_TRUE(result.summary.contains(wide ? QStringLiteral("Windows XP x64") : QStringLiteral("Windows Server 2003")))
        << Describe(result);
}

// Windows setup goes on once the line's own process has ended; what it left running is listed, and the
// try ends it. The add-on is not compacted: the self-extractor would wait for the program it left.
TEST_F(TryAddonTest, ProgramLeftRunningIsListed)
{
    const QString folder = scratch.path(QStringLiteral("Launch"));
    WriteLauncher(folder, NativeArch());
    const pw::TryResult result =
        Try(Options(BuildAddon(folder, QStringLiteral("setup.exe"), QString(), {QStringLiteral("--no-compact")})));
    EXPECT_EQ(result.verdict, pw::TryVerdict::InstalledSilently) << Describe(result);
    ASSERT_EQ(result.processesLeft.size(), 1) << Describe(result);
    EXPECT_TRUE(result.processesLeft.front().startsWith(QStringLiteral("sleeper.exe ("))) << Describe(result);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryAddonTest, RefusedPackageEndsWithMsiexecsCode)
{
    const QString folder = scratch.path(QStringLiteral("Refused"));
    WriteMsiPackage(folder, QStringLiteral("Packwright refused package"));
    const pw::TryResult result =
        Try(Options(BuildAddon(folder, QStringLiteral("package.msi"), QStringLiteral("PWTEST_REFUSE=1"))));
    EXPECT_EQ(result.verdict, pw::TryVerdict::Failed);
    EXPECT_EQ(result.exitCodes, QList<qint64>{1603}) << Describe(result);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("1603")));
    EXPECT_FALSE(Contains(result.filesAdded, QStringLiteral("Packwright refused package"))) << Describe(result);
}

TEST_F(TryAddonTest, CancelEndsTheRunAndRemovesEverything)
{
    const QString folder = scratch.path(QStringLiteral("Cancelled"));
    WriteSleeper(folder, NativeArch());
    pw::TryOptions options = Options(BuildAddon(folder, QStringLiteral("setup.exe"), QString()));
    const QString running = options.texts.RunningStr.section(QLatin1Char('"'), 0, 0);
    ui.cancelWhen = [&](const QString& status) { return status.startsWith(running); };
    const pw::TryResult result = Try(options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.verdict, pw::TryVerdict::Failed);
    EXPECT_EQ(result.reason, options.texts.StoppedStr);
    EXPECT_TRUE(result.reportFolder.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(options.reportParent));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

// What an installer writes stays in the prefix: drive Z: (this machine's "/") is gone, and the desktop is
// a folder of the prefix, not a link into a home outside it.
TEST_F(TryAddonTest, InstallerCannotReachThisMachinesFiles)
{
    const QString escaped = scratch.path(QStringLiteral("escaped.txt"));
    const QString windowsPath = QStringLiteral("Z:") + QString(escaped).replace(QLatin1Char('/'), QLatin1Char('\\'));
    scratch.write(
        QStringLiteral("Batch/install.cmd"),
        QStringLiteral("@echo off\r\necho escaped > \"%1\"\r\necho desk > \"%USERPROFILE%\\Desktop\\desk.txt\"\r\n"
                       "exit /b 0\r\n")
            .arg(windowsPath)
            .toUtf8());
    const pw::TryResult result =
        Try(Options(BuildAddon(scratch.path(QStringLiteral("Batch")), QStringLiteral("install.cmd"), QString())));
    ASSERT_EQ(result.verdict, pw::TryVerdict::InstalledSilently) << Describe(result);
    EXPECT_FALSE(QFileInfo::exists(escaped));
    EXPECT_TRUE(Contains(result.filesAdded, QStringLiteral("\\Desktop\\desk.txt"))) << Describe(result);
}

// Setup runs a disc's add-ons one after another in one Windows: each is tried in that order in one
// prefix, with what it added alone as its findings, and the table lists them in that order.
TEST_F(TryAddonTest, SeveralAddonsRunInOrderInOnePrefix)
{
    const QStringList addons = {InstallerAddon(QStringLiteral("First App"), QStringLiteral("/S")),
                                InstallerAddon(QStringLiteral("Second App"), QStringLiteral("/S"))};
    const QList<pw::TryResult> results = pw::TryAddons(Options(QString()), addons, ui);
    ASSERT_EQ(results.size(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(results[i].verdict, pw::TryVerdict::InstalledSilently) << Describe(results[i]);
        EXPECT_EQ(results[i].addon, addons[i]);
        // The installer's value alone: the host's fonts, which Wine registers as a prefix starts, are no add-on's.
        EXPECT_EQ(results[i].registryAdded.size(), 1) << Describe(results[i]);
    }
    EXPECT_TRUE(Contains(results[0].filesAdded, QStringLiteral("\\First App\\"))) << Describe(results[0]);
    EXPECT_FALSE(Contains(results[1].filesAdded, QStringLiteral("\\First App\\"))) << Describe(results[1]);
    EXPECT_TRUE(Contains(results[1].filesAdded, QStringLiteral("\\Second App\\"))) << Describe(results[1]);
    EXPECT_NE(results[0].reportFolder, results[1].reportFolder);
    const QStringList table = pw::TableText(addons, results, pw::TryTexts()).split(QLatin1Char('\n'));
    ASSERT_EQ(table.size(), 4) << table.join('\n').toStdString();
    EXPECT_TRUE(table[1].startsWith(QFileInfo(addons[0]).fileName()));
    EXPECT_TRUE(table[2].startsWith(QFileInfo(addons[1]).fileName()));
    EXPECT_TRUE(table[3].contains(QStringLiteral("700 MB")));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

// A try's prefix, copied from the prepared one, keeps nothing of this machine within reach and says the
// Windows it imitates, as a prefix made for the try alone did.
TEST_F(TryAddonTest, CopiedPrefixIsAsClosedAsAFreshOne)
{
    const pw::TryOptions options = Options(QString());
    QString error;
    for (const QString& name : {QStringLiteral("one"), QStringLiteral("two")}) {
        pw::WinePrefix prefix(scratch.path(name), pw::WineArch::Win64, options.tools);
        ASSERT_EQ(prefix.Make(scratch.path(QStringLiteral("cache")), QStringLiteral("winxp"), ui, &error),
                  pw::RunEnd::Finished)
            << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(prefix.prefix() + QStringLiteral("/dosdevices/z:")));
        // The users' folders were links into a home: the try's, or that of the making of the prepared prefix.
        QDirIterator entries(prefix.driveC(), QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            EXPECT_FALSE(QFileInfo(entries.next()).isSymLink()) << entries.filePath().toStdString();
        EXPECT_TRUE(ReadAll(prefix.prefix() + QStringLiteral("/user.reg")).contains("\"Version\"=\"winxp\""));
    }
}

// A host whose Wine runs only 64-bit programs, whatever this one runs.
class TryWithout32BitWine : public TryAddonTest {
protected:
    pw::TryOptions Options64(const QString& addon) const
    {
        pw::TryOptions options = Options(addon);
        options.allow32BitWine = false;
        return options;
    }
};

TEST_F(TryWithout32BitWine, RunsOurX86_64ProgramsAndSaysSo)
{
    const QString folder = scratch.path(QStringLiteral("Package"));
    WriteMsiPackage(folder, QStringLiteral("Packwright 64-bit try"));
    const pw::TryResult result = Try(Options64(BuildAddon(folder, QStringLiteral("package.msi"), QString())));
    ASSERT_EQ(result.verdict, pw::TryVerdict::InstalledSilently) << Describe(result);
    EXPECT_EQ(result.replacedPrograms,
              (QStringList{QStringLiteral("Package.exe (7zS.sfx)"), QStringLiteral("msistub.exe (Package.exe)")}));
    EXPECT_TRUE(result.summary.contains(QStringLiteral("x86-64"))) << Describe(result);
    EXPECT_TRUE(Contains(result.filesAdded, QStringLiteral("\\Packwright 64-bit try\\installed.txt")))
        << Describe(result);
}

TEST_F(TryWithout32BitWine, AmdInstallerPasses)
{
    pw::TryOptions options =
        Options64(InstallerAddon(QStringLiteral("Wide App"), QStringLiteral("/S"), InstallerArch::Amd64));
    options.target = pw::WindowsTarget::Xp64;
    const pw::TryResult result = Try(options);
    ASSERT_EQ(result.verdict, pw::TryVerdict::InstalledSilently) << Describe(result);
    EXPECT_EQ(result.replacedPrograms, QStringList{QStringLiteral("WideApp.exe (7zS.sfx)")});
    EXPECT_TRUE(result.filesAdded.contains(QStringLiteral("C:\\Program Files\\Wide App\\readme.txt")))
        << Describe(result);
}

TEST_F(TryWithout32BitWine, AmdInstallerForA32BitWindowsFailsInWords)
{
    pw::TryOptions options =
        Options64(InstallerAddon(QStringLiteral("Too Wide"), QStringLiteral("/S"), InstallerArch::Amd64));
    options.target = pw::WindowsTarget::Xp;
    const pw::TryResult result = Try(options);
    EXPECT_EQ(result.verdict, pw::TryVerdict::Failed);
    EXPECT_EQ(result.reason, options.texts.WrongArchStr.arg(QStringLiteral("setup.exe"), QStringLiteral("Windows XP")));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryWithout32BitWine, X86InstallerCannotTryAndSaysHowToGetWine32)
{
    const pw::TryResult result =
        Try(Options64(InstallerAddon(QStringLiteral("Narrow App"), QStringLiteral("/S"), InstallerArch::X86)));
    EXPECT_EQ(result.verdict, pw::TryVerdict::CannotTry) << Describe(result);
    EXPECT_EQ(result.exitStatus(), 3);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("setup.exe"))) << Describe(result);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("sudo dpkg --add-architecture i386"))) << Describe(result);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("sudo apt-get install wine32:i386"))) << Describe(result);
    EXPECT_FALSE(result.ran);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

}  // namespace
