// packwright-build --from: an add-on opened again and made again, as a user runs it.
#include "ToolRun.h"
#include "cli/CliTexts.h"
#include "pipeline/PackStep.h"
#include "project/FolderScan.h"
#include "reopen/AddOnReader.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <thread>

namespace {

using pwtest::ReadAll;
using pwtest::TempDir;

class ReopenAddOn : public ::testing::Test {
protected:
    // Reproducible builds: the same choices give the same bytes.
    void SetUp() override { qputenv("SOURCE_DATE_EPOCH", "1700000000"); }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }

    // A program whose largest file exceeds the fast level's dictionary, so that level 1 is told apart, with
    // x86 code, which 7-Zip filters, and a start file with version data, which an add-on opened again does
    // not take over the fields it was made with.
    QString Program(const QString& name, const QString& startFile = QStringLiteral("setup-1.2.exe"))
    {
        QByteArray numbers;
        for (int i = 0; numbers.size() < 5'000'000; ++i)
            numbers += QByteArray::number(qint64(i) * 7919 % 100003) + ' ';
        dir.write(name + "/data/numbers.txt", numbers);
        dir.write(name + "/readme.txt", "Read me first.\r\n");
        const QByteArray program = ReadAll(PW_SAMPLES "/DemoApp/setup.exe");
        dir.write(name + "/tool.dll", program);
        return QFileInfo(dir.write(name + '/' + startFile, program)).path();
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
    // Levels 2 and 3 write the same coders for a program smaller than level 2's dictionary: packed again, the
    // program tells them apart, the runner of its start file included.
    dir.write("program/install.cmd", "@setup-1.2.exe %*\r\n");
    const struct {
        const char* name;
        QStringList options;
    } kCases[] = {
        {"level0", QStringList{"--level", "0"} + shortcuts},
        {"level1", QStringList{"--level", "1"} + shortcuts},
        {"level2", {"--level", "2"}},
        {"level3", {"--level", "3", "--start", "install.cmd"}},
        {"level4", QStringList{"--level", "4"} + shortcuts},
        {"folder", {"--no-compact"}},
    };
    for (const auto& c : kCases) {
        const QString first = dir.path(QStringLiteral("%1/first/addon.cab").arg(c.name));
        const QString again = dir.path(QStringLiteral("%1/again/addon.cab").arg(c.name));
        QDir().mkpath(QFileInfo(first).path());
        QDir().mkpath(QFileInfo(again).path());
        ASSERT_EQ(Run(common + c.options + QStringList{first}).exitCode, 0) << c.name;
        const ToolRun reopened = Run({"--from", first, again});
        ASSERT_EQ(reopened.exitCode, 0) << c.name << reopened.err.toStdString();
        EXPECT_FALSE(reopened.err.contains(pw::CliTexts().WarningStr.arg(QString())))
            << c.name << reopened.err.toStdString();
        EXPECT_TRUE(ReadAll(first) == ReadAll(again)) << c.name;
        EXPECT_TRUE(QFileInfo::exists(QFileInfo(again).path() + "/addon-files/data/numbers.txt")) << c.name;
    }
}

// An archive that no level packs alike (another 7-Zip, other settings) leaves the levels that fit undecided.
// The window reads add-ons on a thread of its own, where the packing runs as well.
TEST_F(ReopenAddOn, ALevelNoPackingGivesAgainStaysUndecided)
{
    const QString program = Program("program");
    ASSERT_EQ(Run({"--folder", program, "--start", "setup-1.2.exe", "--level", "3", dir.path("a.cab")}).exitCode, 0);
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(program);
    sevenZip.start("7z", {"x", "-o" + dir.path("x"), dir.path("a.cab")});
    ASSERT_TRUE(sevenZip.waitForFinished() && sevenZip.exitCode() == 0);
    // Level 3's coders, but the match finder of level 1, whose dictionary does not fit.
    sevenZip.start("7z", {"a", "-t7z", "-ms=off", "-mx=7", "-mmf=hc4", dir.path("other.7z"), "*"});
    ASSERT_TRUE(sevenZip.waitForFinished() && sevenZip.exitCode() == 0);
    const QByteArray exe = ReadAll(dir.path("x/svcpack/a.exe"));
    const auto selfExtractor = pw::SplitSelfExtractor(exe);
    ASSERT_TRUE(selfExtractor);
    dir.write("x/svcpack/a.exe", exe.left(selfExtractor->archiveOffset) + ReadAll(dir.path("other.7z")));
    QProcess gcab;
    gcab.setWorkingDirectory(dir.path("x"));
    gcab.start("gcab", {"-c", dir.path("b.cab"), "ENTRIES_A.ini", "svcpack/a.exe"});
    ASSERT_TRUE(gcab.waitForFinished() && gcab.exitCode() == 0) << "gcab (package gcab) is needed";

    pw::ReopenedAddOn reopened;
    std::thread reader([&] { reopened = pw::ReopenAddOn(dir.path("b.cab"), dir.path("b-files")); });
    reader.join();
    ASSERT_EQ(reopened.failure, pw::ReopenFailure::None) << reopened.detail.toStdString();
    EXPECT_EQ(reopened.inputs.compressionLevel, 2);
    ASSERT_EQ(reopened.unread.size(), 1);
    EXPECT_EQ(reopened.unread[0].what, pw::Unread::LevelUndecided);
    EXPECT_EQ(reopened.unread[0].detail, "2, 3");
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
    // 7-Zip's complaint alone, on the one line of the message: neither its banner nor its listing.
    EXPECT_TRUE(run.err.contains("não pôde ser aberto") && run.err.contains("(Unexpected end of archive;")
                && run.err.count('\n') == 1 && !run.err.contains("Physical Size"))
        << run.err.toStdString();
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
