// packwright-build --from on add-ons of real installers, of start files a runner runs, and of an older
// version: made again from each, with nothing left unread to name, is the add-on this version makes of the
// command that made it, byte for byte, so its start file, switch and layout came back.
#include "../project/installer/InstallerFixtures.h"
#include "ToolRun.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

class ReopenKinds : public ::testing::Test {
protected:
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1700000000"); }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }

    pwtest::TempDir dir;
};

TEST_F(ReopenKinds, MadeAgainIsWhatItsCommandMakes)
{
    QDir().rename(pwtest::MakeNsisInstaller(dir, QStringLiteral("x86-unicode")), dir.mkdir("nsis") + "setup.exe");
    dir.mkdir("msi");
    pwtest::MakeMsiPackage(dir, QStringLiteral("msi/package.msi"));
    dir.write("cmd/install.cmd", "@echo off\r\ncopy tool.exe \"%ProgramFiles%\"\r\n");
    dir.write("cmd/tool.exe", "MZ");
    // The batch file program of tests/fixtures/older-addons, as its README makes it.
    const QString demo = QStringLiteral(PW_SAMPLES "/DemoApp");
    ASSERT_EQ(QProcess::execute("cp", {"-r", demo, dir.path("DemoBatch")}), 0);
    dir.write("DemoBatch/install.cmd", "@echo off\r\nsetup.exe %*\r\n");
    const QStringList nsis = {"--folder", dir.path("nsis"), "--start", "setup.exe", "--switch", "/S"};
    const QStringList msi = {"--folder", dir.path("msi"), "--start", "package.msi", "--switch", "/norestart"};
    const QStringList cmd = {"--folder", dir.path("cmd"), "--start", "install.cmd", "--switch"};
    const QStringList demoSetup = {"--folder", demo, "--start", "setup.exe", "--switch", "/S"};
    const struct {
        const char* name;  // of the add-on, whose files are named after it
        QStringList command;
        bool older;  // tests/fixtures/older-addons/NAME.cab is made by an older version of this command
    } kAddOns[] = {
        {"Nsis", nsis, false},
        {"Msi", msi, false},
        {"MsiFolder", msi + QStringList{"--no-compact"}, false},
        {"Cmd", cmd + QStringList{"/q"}, false},
        {"CmdFolder", cmd + QStringList{"", "--no-compact"}, false},
        {"DemoSfx",
         demoSetup + QStringList{"--overwrite", "2", "--shortcut",
                                 "0,1,DemoApp\\setup.exe,/S,DemoApp,The demo program,Demo", "--shortcut",
                                 "2,6,readme.txt,,,,Read me"},
         true},
        {"DemoFolder", demoSetup + QStringList{"--no-compact"}, true},
        {"DemoBatch",
         {"--folder", dir.path("DemoBatch"), "--start", "install.cmd", "--switch", "/S", "--no-compact"},
         true},
    };
    dir.mkdir("made");
    dir.mkdir("again");
    for (const auto& a : kAddOns) {
        const QString made = dir.path(QStringLiteral("made/%1.cab").arg(a.name));
        const QString again = dir.path(QStringLiteral("again/%1.cab").arg(a.name));
        const ToolRun first = RunTool(a.command + QStringList{made}, dir.path("home"));
        ASSERT_EQ(first.exitCode, 0) << a.name << first.err.toStdString();
        const QString old = a.older ? QStringLiteral(PW_FIXTURES "/older-addons/%1.cab").arg(a.name) : made;
        const ToolRun remade = RunTool({"--from", old, again}, dir.path("home"));
        EXPECT_EQ(remade.exitCode, 0) << a.name;
        EXPECT_EQ(remade.err, QString()) << a.name;
        EXPECT_TRUE(pwtest::ReadAll(made) == pwtest::ReadAll(again)) << a.name;
    }
}

}  // namespace
