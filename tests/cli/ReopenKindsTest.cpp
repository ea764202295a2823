// packwright-build --from on add-ons of real installers and of start files a runner runs: the choices
// come back, and the add-on made again from them is the first one, byte for byte.
#include "../project/installer/InstallerFixtures.h"
#include "ToolRun.h"
#include "reopen/AddOnReader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using pwtest::EntriesBelow;
using pwtest::ReadAll;
using pwtest::TempDir;

class ReopenKinds : public ::testing::Test {
protected:
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1700000000"); }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }

    ToolRun Run(const QStringList& args) { return RunTool(args, dir.path("home")); }

    TempDir dir;
};

TEST_F(ReopenKinds, ChoicesComeBackAndMakeTheSameAddOn)
{
    QDir().rename(pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")), dir.mkdir("nsis") + "setup.exe");
    dir.write("nsis/readme.txt", "Read me.\r\n");
    dir.mkdir("msi");
    pwtest::MakeMsiPackage(dir, QStringLiteral("msi/package.msi"));
    dir.write("cmd/install.cmd", "@echo off\r\ncopy tool.exe \"%ProgramFiles%\"\r\n");
    dir.write("cmd/tool.exe", "MZ");
    const struct {
        const char* folder;
        const char* start;
        const char* silentSwitch;
        bool compact;
    } kCases[] = {
        {"nsis", "setup.exe", "/S", true},
        {"nsis", "setup.exe", "/S", false},
        {"msi", "package.msi", "/norestart", true},
        {"msi", "package.msi", "/norestart", false},
        {"cmd", "install.cmd", "/q", true},
        {"cmd", "install.cmd", "", false},
    };
    for (const auto& c : kCases) {
        const QString name = QStringLiteral("%1-%2").arg(c.folder, c.compact ? "compact" : "folder");
        const QString first = dir.path(name + "/first/Addon.cab");
        const QString again = dir.path(name + "/again/Addon.cab");
        QDir().mkpath(QFileInfo(first).path());
        QDir().mkpath(QFileInfo(again).path());
        QStringList options = {"--folder", dir.path(c.folder), "--start", c.start, "--switch", c.silentSwitch};
        if (!c.compact)
            options << "--no-compact";
        const ToolRun made = Run(options << first);
        ASSERT_EQ(made.exitCode, 0) << name.toStdString() << made.err.toStdString();

        const pw::ReopenedAddOn old = pw::ReopenAddOn(first, dir.path(name + "/read"));
        ASSERT_EQ(old.failure, pw::ReopenFailure::None) << name.toStdString() << old.detail.toStdString();
        EXPECT_EQ(old.inputs.startFile, c.start) << name.toStdString();
        EXPECT_EQ(old.inputs.silentSwitch, c.silentSwitch) << name.toStdString();
        EXPECT_EQ(old.inputs.compact, c.compact) << name.toStdString();
        EXPECT_TRUE(old.unread.isEmpty()) << name.toStdString();
        // The program alone: neither the runner nor the self-extractor's module comes back with it.
        EXPECT_EQ(EntriesBelow(dir.path(name + "/read")), EntriesBelow(dir.path(c.folder))) << name.toStdString();

        const ToolRun remade = Run({"--from", first, again});
        ASSERT_EQ(remade.exitCode, 0) << name.toStdString() << remade.err.toStdString();
        EXPECT_TRUE(ReadAll(first) == ReadAll(again)) << name.toStdString();
    }
}

// The add-ons of an older version in tests/fixtures/older-addons (its README gives the commands): made
// again from each, with nothing left unread to name, is the add-on this version makes of its command.
TEST_F(ReopenKinds, AnOlderVersionsAddOnsAreMadeAgainWhole)
{
    const QString demo = QStringLiteral(PW_SAMPLES "/DemoApp");
    ASSERT_EQ(QProcess::execute("cp", {"-r", demo, dir.path("DemoBatch")}), 0);
    dir.write("DemoBatch/install.cmd", "@echo off\r\nsetup.exe %*\r\n");
    const QStringList common = {"--start", "setup.exe", "--switch", "/S"};
    const struct {
        const char* name;
        QStringList command;
    } kAddOns[] = {
        {"DemoSfx", QStringList{"--folder", demo} + common
                        + QStringList{"--overwrite", "2", "--shortcut",
                                      "0,1,DemoApp\\setup.exe,/S,DemoApp,The demo program,Demo", "--shortcut",
                                      "2,6,readme.txt,,,,Read me"}},
        {"DemoFolder", QStringList{"--folder", demo, "--no-compact"} + common},
        {"DemoBatch",
         {"--folder", dir.path("DemoBatch"), "--start", "install.cmd", "--switch", "/S", "--no-compact"}},
    };
    for (const auto& a : kAddOns) {
        const QString today = dir.path(QStringLiteral("today/%1.cab").arg(a.name));
        const QString again = dir.path(QStringLiteral("again/%1.cab").arg(a.name));
        QDir().mkpath(QFileInfo(today).path());
        QDir().mkpath(QFileInfo(again).path());
        ASSERT_EQ(Run(a.command + QStringList{today}).exitCode, 0) << a.name;
        const ToolRun remade =
            Run({"--from", QStringLiteral(PW_FIXTURES "/older-addons/%1.cab").arg(a.name), again});
        ASSERT_EQ(remade.exitCode, 0) << a.name << remade.err.toStdString();
        EXPECT_EQ(remade.err, QString()) << a.name;
        EXPECT_TRUE(ReadAll(today) == ReadAll(again)) << a.name;
    }
}

}  // namespace
