// packwright-build --from: an add-on opened again and made again, as a user runs it.
#include "ToolRun.h"
#include "project/FolderScan.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using pwtest::ReadAll;
using pwtest::TempDir;

class ReopenAddOn : public ::testing::Test {
protected:
    // Reproducible builds: the same choices give the same bytes.
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1700000000"); }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }

    // A program whose largest file exceeds the fast level's dictionary, so that level 1 is told apart.
    QString Program(const QString& name, const QString& startFile = QStringLiteral("setup-1.2.exe"))
    {
        QByteArray numbers;
        for (int i = 0; numbers.size() < 5'000'000; ++i)
            numbers += QByteArray::number(qint64(i) * 7919 % 100003) + ' ';
        dir.write(name + "/data/numbers.txt", numbers);
        dir.write(name + "/readme.txt", "Read me first.\r\n");
        return QFileInfo(dir.write(name + '/' + startFile, "MZ" + QByteArray(2000, '\x90'))).path();
    }
    ToolRun Run(const QStringList& args) { return RunTool(args, dir.path("home")); }

    TempDir dir;
};

TEST_F(ReopenAddOn, MadeAgainFromItselfGivesTheSameBytes)
{
    const QString program = Program("program");
    dir.write("entries.ini", "[General]\nbuilddate=\ndescription=\nlanguage=\ntitle=\nversion=\nwebsite=\n\n"
                             "[EditFile]\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram\n; kept as written\n");
    const QStringList common = {"--folder", program, "--start", "setup-1.2.exe", "--switch", "/S", "--title", "Tool",
                                "--entries", dir.path("entries.ini")};
    const QStringList shortcuts = {"--overwrite", "2", "--shortcut", "0,1,Tool\\tool.exe,-q,Tools,The tool,Tool",
                                   "--shortcut", "2,6,run.cmd,,,,Run"};
    // Levels 2 to 4 write the same coder settings for a program smaller than level 2's dictionary: the
    // add-on made again says so, and takes level 2.
    const struct {
        const char* name;
        QStringList options;
        bool toldApart;
    } kCases[] = {
        {"level0", QStringList{"--level", "0"} + shortcuts, true},
        {"level1", QStringList{"--level", "1"} + shortcuts, true},
        {"level2", {"--level", "2"}, false},
        {"level4", QStringList{"--level", "4"} + shortcuts, false},
        {"folder", {"--no-compact"}, true},
    };
    for (const auto& c : kCases) {
        const QString first = dir.path(QStringLiteral("%1/first/addon.cab").arg(c.name));
        const QString again = dir.path(QStringLiteral("%1/again/addon.cab").arg(c.name));
        QDir().mkpath(QFileInfo(first).path());
        QDir().mkpath(QFileInfo(again).path());
        ASSERT_EQ(Run(common + c.options + QStringList{first}).exitCode, 0) << c.name;
        const ToolRun reopened = Run({"--from", first, again});
        ASSERT_EQ(reopened.exitCode, 0) << c.name << reopened.err.toStdString();
        EXPECT_EQ(reopened.err.contains("2, 3, 4"), !c.toldApart) << c.name << reopened.err.toStdString();
        if (c.toldApart || QString(c.name) == "level2") {
            EXPECT_TRUE(ReadAll(first) == ReadAll(again)) << c.name << reopened.err.toStdString();
        }
        EXPECT_TRUE(QFileInfo::exists(QFileInfo(again).path() + "/addon-files/data/numbers.txt")) << c.name;
    }
}

TEST_F(ReopenAddOn, AnotherToolsAddOnOpensWithWhatItHas)
{
    dir.write("other/ENTRIES_OTHER.ini", "[General]\r\ntitle=Other\r\n[AddProgram]\r\nsvcpack\\inst.exe -quiet\r\n");
    dir.write("other/svcpack/inst.exe", "MZ");
    QProcess gcab;
    gcab.setWorkingDirectory(dir.path("other"));
    gcab.start("gcab", {"-c", dir.path("other.cab"), "ENTRIES_OTHER.ini", "svcpack/inst.exe"});
    ASSERT_TRUE(gcab.waitForFinished() && gcab.exitCode() == 0) << "gcab (package gcab) is needed";
    const ToolRun run = Run({"--from", dir.path("other.cab"), dir.path("out/new.cab")});
    EXPECT_EQ(run.exitCode, 2);
    for (const char* said : {"website, version, language, description, builddate", "svcpack\\inst.exe -quiet",
                             "--start"})
        EXPECT_TRUE(run.err.contains(QLatin1String(said))) << said << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path("out/new-files"))) << "a run that made nothing leaves nothing";
    const ToolRun started =
        Run({"--from", dir.path("other.cab"), "--start", "inst.exe", "--switch", "-quiet", dir.path("out/new.cab")});
    EXPECT_EQ(started.exitCode, 0) << started.err.toStdString();
}

TEST_F(ReopenAddOn, ADamagedAddOnIsRefusedAndItsFolderLeftAlone)
{
    ASSERT_EQ(Run({"--folder", Program("program"), "--start", "setup-1.2.exe", "--level", "1", dir.path("a.cab")})
                  .exitCode,
              0);
    dir.write("cut.cab", ReadAll(dir.path("a.cab")).left(4000));
    const ToolRun run = Run({"--from", dir.path("cut.cab"), dir.path("out/b.cab")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("não pôde ser aberto")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.path("out/b.cab")));
    dir.write("busy/b-files/mine.txt", "mine");
    EXPECT_EQ(Run({"--from", dir.path("a.cab"), dir.path("busy/b.cab")}).exitCode, 1);
    EXPECT_EQ(pwtest::EntriesBelow(dir.path("busy")), QStringList({"b-files", "b-files/mine.txt"}));
}

TEST_F(ReopenAddOn, TheNextVersionsStartFileFollowsTheOld)
{
    ASSERT_EQ(Run({"--folder", Program("old"), "--start", "setup-1.2.exe", "--switch", "/S", dir.path("old.cab")})
                  .exitCode,
              0);
    const ToolRun next = Run({"--from", dir.path("old.cab"), "--folder", Program("new", "setup-1.3.exe"),
                              dir.path("new.cab")});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    dir.write("new/setup-1.3.1.exe", "MZ");
    const ToolRun twice = Run({"--from", dir.path("old.cab"), "--folder", dir.path("new"), dir.path("new2.cab")});
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_TRUE(twice.err.contains("setup-1.3.exe") && twice.err.contains("setup-1.3.1.exe")) << twice.err.toStdString();

    const struct {
        QStringList startFiles;
        const char* old;
        const char* follows;
    } kNames[] = {
        {{"Setup.exe", "setup.exe"}, "setup.exe", "setup.exe"},
        {{"app_2_0.msi", "readme.exe"}, "app_1_9.msi", "app_2_0.msi"},
        {{"setup-2.exe", "setup-2.msi"}, "setup-1.exe", "setup-2.exe"},
        {{"tool10.exe", "other10.exe"}, "tool9.exe", "tool10.exe"},
        {{"setup-2.exe", "setup-3.exe"}, "setup-1.exe", ""},
    };
    for (const auto& n : kNames)
        EXPECT_EQ(pw::FollowingStartFile(n.startFiles, n.old), n.follows) << n.old;
}

}  // namespace
