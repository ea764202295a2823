// What a try needs of this machine, and the tries that end before anything runs: the options cannot
// work, or the machine lacks a program, or the add-on is none. None of them leaves anything behind.
#include "TryFixture.h"

#include "tryout/HostTools.h"
#include "tryout/WinePrefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

// Programs that are there and end well, whatever they are asked.
TryTools Present()
{
    TryTools tools;
    tools.wine64 = tools.wine32 = tools.wineserver = tools.xvfb = tools.sevenZip = QStringLiteral("/bin/true");
    return tools;
}

TEST(TryHost, EachMissingProgramSaysHowToInstallIt)
{
    const TryTexts texts;
    TryTools tools;
    tools.wine64 = tools.wineserver = tools.xvfb = tools.sevenZip = QStringLiteral("/nonexistent/program");
    HostCheck check = CheckHost(tools, true, texts);
    EXPECT_EQ(check.missing,
              QStringList({texts.NoWineStr, texts.NoXvfbStr, texts.NoSevenZipStr}).join(QLatin1Char('\n')));
    EXPECT_TRUE(check.missing.contains(QStringLiteral("sudo apt-get install wine wine64")));
    EXPECT_TRUE(check.missing.contains(QStringLiteral("sudo apt-get install xvfb")));
    EXPECT_TRUE(check.missing.contains(QStringLiteral("sudo apt-get install p7zip-full")));
    EXPECT_FALSE(check.runs32Bit);

    tools = Present();
    tools.xvfb.clear();
    EXPECT_EQ(CheckHost(tools, true, texts).missing, texts.NoXvfbStr);
    tools = Present();
    tools.wineserver = QStringLiteral("/nonexistent/wineserver");
    EXPECT_EQ(CheckHost(tools, true, texts).missing, texts.NoWineStr);
}

TEST(TryHost, ThirtyTwoBitsWhenTheLoaderStartsAndNotWhenTold)
{
    TryTools tools = Present();
    HostCheck check = CheckHost(tools, true, TryTexts());
    EXPECT_TRUE(check.wine32Installed);
    EXPECT_TRUE(check.runs32Bit);
    check = CheckHost(tools, false, TryTexts());
    EXPECT_FALSE(check.wine32Installed);
    EXPECT_FALSE(check.runs32Bit);
    // Installed, but the system refuses it, as a kernel without 32-bit support refuses the i386 loader.
    tools.wine32 = QStringLiteral("/bin/false");
    check = CheckHost(tools, true, TryTexts());
    EXPECT_TRUE(check.wine32Installed);
    EXPECT_FALSE(check.runs32Bit);
    tools.wine32.clear();
    check = CheckHost(tools, true, TryTexts());
    EXPECT_FALSE(check.wine32Installed);
    EXPECT_FALSE(check.runs32Bit);
}

TEST(TryHost, WineGetsItsOwnPrefixAndNothingOfTheUsers)
{
    QProcessEnvironment user;
    for (const char* name : {"WINEPREFIX", "WINEDEBUG", "WINESERVER", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "DISPLAY",
                             "WAYLAND_DISPLAY", "XAUTHORITY"})
        user.insert(QLatin1String(name), QStringLiteral("/home/user/x"));
    user.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin"));
    user.insert(QStringLiteral("LANG"), QStringLiteral("pt_BR.UTF-8"));
    const QProcessEnvironment wine =
        WineEnvironment(user, QStringLiteral("/w/prefix"), QStringLiteral("/w/home"), WineArch::Win32);
    QStringList names = wine.keys();
    names.sort();
    EXPECT_EQ(names, (QStringList{"HOME", "LANG", "PATH", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES", "WINEPREFIX"}));
    EXPECT_EQ(wine.value(QStringLiteral("WINEPREFIX")), QStringLiteral("/w/prefix"));
    EXPECT_EQ(wine.value(QStringLiteral("HOME")), QStringLiteral("/w/home"));
    EXPECT_EQ(wine.value(QStringLiteral("WINEARCH")), QStringLiteral("win32"));
    EXPECT_EQ(wine.value(QStringLiteral("WINEDEBUG")), QStringLiteral("-all"));
    EXPECT_TRUE(wine.value(QStringLiteral("WINEDLLOVERRIDES")).contains(QStringLiteral("mscoree,mshtml=")));
    EXPECT_TRUE(wine.value(QStringLiteral("WINEDLLOVERRIDES")).contains(QStringLiteral("winemenubuilder.exe=d")));

    // Command lines reach Windows through the locale's character set: a locale that is not UTF-8 gives way.
    user.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    EXPECT_EQ(WineEnvironment(user, {}, {}, WineArch::Win64).value(QStringLiteral("LC_ALL")),
              QStringLiteral("C.UTF-8"));
    user.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.utf8"));
    EXPECT_EQ(WineEnvironment(user, {}, {}, WineArch::Win64).value(QStringLiteral("LC_ALL")),
              QStringLiteral("de_DE.utf8"));
}

class TryBeforeAnythingRuns : public ::testing::Test, public TryFixture {};

TEST_F(TryBeforeAnythingRuns, OptionsThatCannotWorkAreAUsageError)
{
    TryOptions options = Options(scratch.path(QStringLiteral("missing.cab")));
    TryResult result = Try(options);
    EXPECT_EQ(result.exitStatus(), 2);
    EXPECT_EQ(result.reason, options.texts.NoAddonStr.arg(options.addon));
    EXPECT_EQ(result.summary,
              options.texts.TitleStr.arg(QStringLiteral("missing.cab")) + QLatin1Char('\n') + result.reason);

    options.addon = scratch.write(QStringLiteral("App.cab"), "MSCF");
    options.windowLimitSeconds = 0;
    result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Usage);
    EXPECT_EQ(result.reason, options.texts.BadLimitStr);
    EXPECT_TRUE(ui.statuses.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(options.scratchParent));
}

TEST_F(TryBeforeAnythingRuns, MachineWithoutWineCannotTry)
{
    TryOptions options = Options(scratch.write(QStringLiteral("App.cab"), "MSCF"));
    options.tools.wine64 = QStringLiteral("/nonexistent/wine64");
    const TryResult result = Try(options);
    EXPECT_EQ(result.exitStatus(), 3);
    EXPECT_EQ(result.reason, options.texts.NoWineStr);
    EXPECT_FALSE(result.ran);
    EXPECT_FALSE(QFileInfo::exists(options.scratchParent));
}

// The 32-bit start file inside a self-extractor is found before any prefix is made; what the reason
// says depends on whether installing wine32 would help.
TEST_F(TryBeforeAnythingRuns, ThirtyTwoBitProgramWhereOnly64BitProgramsRun)
{
    WriteSleeper(scratch.path(QStringLiteral("Narrow")), InstallerArch::X86);
    TryOptions options =
        Options(BuildAddon(scratch.path(QStringLiteral("Narrow")), QStringLiteral("setup.exe"), QString()));
    const QString sevenZip = options.tools.sevenZip;
    options.tools = Present();
    options.tools.sevenZip = sevenZip;
    options.tools.wine32 = QStringLiteral("/bin/false");  // installed, and refused by the system
    TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::CannotTry);
    EXPECT_EQ(result.reason, options.texts.No32BitSystemStr.arg(QStringLiteral("setup.exe")));
    options.allow32BitWine = false;
    result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::CannotTry);
    EXPECT_EQ(result.reason, options.texts.NeedWine32Str.arg(QStringLiteral("setup.exe")));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

// A Wine that makes its prefix but runs nothing: the try says so with what Wine printed, and leaves nothing.
TEST_F(TryBeforeAnythingRuns, WineThatRunsNothingFails)
{
    if (FindTryTools().xvfb.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    const QString wine =
        scratch.write(QStringLiteral("bin/wine64"),
                      "#!/bin/sh\n"
                      "if [ \"$1\" = wineboot ]; then mkdir -p \"$WINEPREFIX/drive_c/windows\"; exit 0; fi\n"
                      "printf 'cannot run %s\\n' \"$1\"\n");
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    scratch.write(QStringLiteral("Plain/setup.exe"), "MZ");
    TryOptions options = Options(BuildAddon(scratch.path(QStringLiteral("Plain")), QStringLiteral("setup.exe"),
                                            QString(), {QStringLiteral("--no-compact")}));
    options.tools.wine64 = wine;
    options.tools.wineserver = QStringLiteral("/bin/true");
    options.allow32BitWine = false;
    const TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Failed);
    EXPECT_EQ(result.reason, options.texts.WineFailedStr.arg(QStringLiteral("cannot run C:\\windows\\tryrun.exe")));
    EXPECT_FALSE(result.ran);
    EXPECT_TRUE(result.reportFolder.isEmpty());
    EXPECT_TRUE(ui.statuses.contains(options.texts.PrefixStr));
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryBeforeAnythingRuns, FileThatIsNoCabinetFails)
{
    TryOptions options = Options(scratch.write(QStringLiteral("App.cab"), "not a cabinet at all"));
    const TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Failed);
    EXPECT_TRUE(result.reason.startsWith(options.texts.NotCabinetStr.arg(options.addon, QString())))
        << result.reason.toStdString();
    EXPECT_EQ(ui.statuses, QStringList{options.texts.UnpackingStr});
    EXPECT_FALSE(result.ran);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryBeforeAnythingRuns, DisplayThatDoesNotStartFailsAndLeavesNothing)
{
    const QString folder = scratch.path(QStringLiteral("Plain"));
    scratch.write(QStringLiteral("Plain/setup.exe"), "MZ");
    TryOptions options =
        Options(BuildAddon(folder, QStringLiteral("setup.exe"), QString(), {QStringLiteral("--no-compact")}));
    options.tools.xvfb = QStringLiteral("/bin/true");
    const TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Failed);
    EXPECT_TRUE(result.reason.startsWith(options.texts.DisplayFailedStr.arg(QString()))) << result.reason.toStdString();
    EXPECT_EQ(result.lines, QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(ScratchLeft(), QStringList());
}

}  // namespace
