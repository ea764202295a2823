// What a try needs of this machine, and the tries that end before anything runs: the options cannot
// work, or the machine lacks a program, or the add-on is none. None of them leaves anything behind.
#include "TryFixture.h"

#include "tryout/HostTools.h"
#include "tryout/WinePrefix.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

TEST(TryHost, EachMissingProgramSaysHowToInstallIt)
{
    const TryTexts texts;
    TryTools tools;
    tools.wine64 = tools.wineserver = tools.xvfb = tools.sevenZip = QStringLiteral("/nonexistent/program");
    HostCheck check = CheckHost(tools, true, texts);
    EXPECT_EQ(check.missing, QStringList({texts.NoWineStr, texts.NoXvfbStr, texts.NoSevenZipStr}).join(QLatin1Char('\n')));
    EXPECT_TRUE(check.missing.contains(QStringLiteral("sudo apt-get install wine wine64")));
    EXPECT_TRUE(check.missing.contains(QStringLiteral("sudo apt-get install xvfb")));
    EXPECT_FALSE(check.runs32Bit);

    tools = FindTryTools();
    tools.xvfb.clear();
    EXPECT_EQ(CheckHost(tools, true, texts).missing, texts.NoXvfbStr);
}

TEST(TryHost, ThirtyTwoBitsWhenTheLoaderStartsAndNotWhenTold)
{
    TryTools tools = FindTryTools();
    if (tools.wine32.isEmpty())
        GTEST_SKIP() << "no 32-bit Wine loader here";
    const HostCheck check = CheckHost(tools, true, TryTexts());
    EXPECT_TRUE(check.wine32Installed);
    const HostCheck told = CheckHost(tools, false, TryTexts());
    EXPECT_FALSE(told.wine32Installed);
    EXPECT_FALSE(told.runs32Bit);
    // A loader that cannot start: 32-bit Wine installed, but no 32-bit programs run.
    tools.wine32 = QStringLiteral("/bin/false");
    EXPECT_FALSE(CheckHost(tools, true, TryTexts()).runs32Bit);
}

TEST(TryHost, WineGetsItsOwnPrefixAndNothingOfTheUsers)
{
    QProcessEnvironment user;
    for (const char* name : {"WINEPREFIX", "WINEDEBUG", "WINESERVER", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "DISPLAY",
                             "WAYLAND_DISPLAY", "XAUTHORITY"})
        user.insert(QLatin1String(name), QStringLiteral("/home/user/x"));
    user.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin"));
    user.insert(QStringLiteral("LANG"), QStringLiteral("pt_BR.UTF-8"));
    const QProcessEnvironment wine = WineEnvironment(user, QStringLiteral("/w/prefix"), QStringLiteral("/w/home"), WineArch::Win32);
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
    EXPECT_EQ(WineEnvironment(user, {}, {}, WineArch::Win64).value(QStringLiteral("LC_ALL")), QStringLiteral("C.UTF-8"));
    user.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.utf8"));
    EXPECT_EQ(WineEnvironment(user, {}, {}, WineArch::Win64).value(QStringLiteral("LC_ALL")), QStringLiteral("de_DE.utf8"));
}

class TryBeforeAnythingRuns : public ::testing::Test, public TryFixture {};

TEST_F(TryBeforeAnythingRuns, OptionsThatCannotWorkAreAUsageError)
{
    TryOptions options = Options(scratch.path(QStringLiteral("missing.cab")));
    TryResult result = Try(options);
    EXPECT_EQ(result.exitStatus(), 2);
    EXPECT_EQ(result.reason, options.texts.NoAddonStr.arg(options.addon));
    EXPECT_EQ(result.summary, options.texts.TitleStr.arg(QStringLiteral("missing.cab")) + QLatin1Char('\n') + result.reason);

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

TEST_F(TryBeforeAnythingRuns, FileThatIsNoCabinetFails)
{
    TryOptions options = Options(scratch.write(QStringLiteral("App.cab"), "not a cabinet at all"));
    const TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Failed);
    EXPECT_TRUE(result.reason.startsWith(options.texts.NotCabinetStr.arg(options.addon, QString()))) << result.reason.toStdString();
    EXPECT_EQ(ui.statuses, QStringList{options.texts.UnpackingStr});
    EXPECT_FALSE(result.ran);
    EXPECT_EQ(ScratchLeft(), QStringList());
}

TEST_F(TryBeforeAnythingRuns, DisplayThatDoesNotStartFailsAndLeavesNothing)
{
    const QString folder = scratch.path(QStringLiteral("Plain"));
    scratch.write(QStringLiteral("Plain/setup.exe"), "MZ");
    TryOptions options = Options(BuildAddon(folder, QStringLiteral("setup.exe"), QString(), {QStringLiteral("--no-compact")}));
    options.tools.xvfb = QStringLiteral("/bin/true");
    const TryResult result = Try(options);
    EXPECT_EQ(result.verdict, TryVerdict::Failed);
    EXPECT_TRUE(result.reason.startsWith(options.texts.DisplayFailedStr.arg(QString()))) << result.reason.toStdString();
    EXPECT_EQ(result.lines, QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(ScratchLeft(), QStringList());
}

}  // namespace
