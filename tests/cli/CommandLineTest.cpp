#include "cli/CommandLine.h"

#include "CabinetDecoders.h"
#include "pipeline/BuildTexts.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>

using namespace pw;

namespace {

CommandLine Parse(const QStringList& args)
{
    return ParseCommandLine(args);
}

struct ToolRun {
    int exitCode;
    QString out, err;
};

// Starts the real front end (or a copy of it elsewhere) with XDG_DATA_HOME inside `home`.
void StartTool(QProcess& p, const QStringList& args, const QString& home,
               const QString& program = QStringLiteral(PACKWRIGHT_BUILD))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home);
    p.setProcessEnvironment(env);
    p.start(program, args);
}

ToolRun RunTool(const QStringList& args, const QString& home, const QString& program = QStringLiteral(PACKWRIGHT_BUILD))
{
    QProcess p;
    StartTool(p, args, home, program);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

TEST(CommandLine, OptionsBecomeTheWindowsInputs)
{
    const CommandLine cl = Parse({"--folder", "/p", "--start", "Setup.exe", "--switch", "/S", "--no-compact",
                                  "--level=3", "--overwrite", "2", "--shortcut", "0,1,app\\run.exe,-x,Dir,Desc,Run",
                                  "--title", "Foo", "--version", "1.0", "out/a.7z"});
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.inputs.sourceDir, QStringLiteral("/p"));
    EXPECT_EQ(cl.inputs.startFile, QStringLiteral("Setup.exe"));
    EXPECT_EQ(cl.inputs.silentSwitch, QStringLiteral("/S"));
    EXPECT_FALSE(cl.inputs.compact);
    EXPECT_EQ(cl.inputs.compressionLevel, 3);
    EXPECT_EQ(cl.inputs.overwriteMode, 2);
    EXPECT_EQ(cl.format, OutputFormat::SevenZip);
    EXPECT_TRUE(cl.output.endsWith(QStringLiteral("/out/a.7z")));
    ASSERT_EQ(cl.inputs.shortcuts.size(), 1);
    EXPECT_EQ(cl.inputs.shortcuts[0].caption, QStringLiteral("Área de trabalho"));
    EXPECT_EQ(cl.inputs.shortcuts[0].subItems,
              (QStringList{"app\\run.exe", "0", "1", "app\\run.exe", "-x", "Dir", "Desc", "Run"}));
    EXPECT_TRUE(cl.inputs.entriesText.contains(QStringLiteral("\ntitle=Foo\nversion=1.0\n")));
}

TEST(CommandLine, FormatDefaultsAndUsageErrors)
{
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.cab"}).format, OutputFormat::Cabinet);
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.7Z"}).format, OutputFormat::SevenZip);
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "--format", "cab", "x.7z"}).format, OutputFormat::Cabinet);
    for (const QStringList& bad :
         {QStringList{"--start", "s", "x"}, {"--folder", "f", "x"}, {"--folder", "f", "--start", "s"},
          {"--folder", "f", "--start", "s", "a", "b"}, {"--folder", "f", "--start", "s", "--level", "5", "x"},
          {"--folder", "f", "--start", "s", "--shortcut", "4,0,a,b,c,d,e", "x"},
          {"--folder", "f", "--start", "s", "--shortcut", "0,0,a", "x"}, {"--bogus", "x"},
          {"--folder", "f", "--start", "s", "--format", "zip", "x"}, {"--folder"}})
        EXPECT_FALSE(Parse(bad).error.isEmpty()) << bad.join(' ').toStdString();
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(CommandLine, InputsAreCheckedAsTheWindowChecksThem)
{
    pwtest::TempDir dir;
    BuildInputs in;
    in.sourceDir = dir.path("missing");
    in.startFile = QStringLiteral("setup.exe");
    EXPECT_FALSE(CheckInputs(in).isEmpty());
    in.sourceDir = dir.mkdir("p").chopped(1);
    EXPECT_FALSE(CheckInputs(in).isEmpty()) << "an empty folder";
    dir.write("p/readme.txt");
    dir.mkdir("p/setup.exe");
    EXPECT_FALSE(CheckInputs(in).isEmpty()) << "a folder named like a start file";
    dir.write("p/Setup.exe");
    in.startFile = QStringLiteral("Setup.exe");
    EXPECT_TRUE(CheckInputs(in).isEmpty());
}

TEST(CommandLineTool, ExitStatusTellsTheOutcome)
{
    pwtest::TempDir dir;
    const QString home = dir.path("home");
    EXPECT_EQ(RunTool({"--help"}, home).exitCode, 0);
    EXPECT_EQ(RunTool({"--level", "9"}, home).exitCode, 2);

    dir.write("p/setup.exe", "MZ");
    const ToolRun notStart = RunTool({"--folder", dir.path("p"), "--start", "readme.txt", dir.path("o.cab")}, home);
    EXPECT_EQ(notStart.exitCode, 1);
    EXPECT_TRUE(notStart.err.contains(QStringLiteral("readme.txt"))) << notStart.err.toStdString();

    const ToolRun built = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", dir.path("o.cab")},
                              home);
    EXPECT_EQ(built.exitCode, 0) << built.err.toStdString();
    EXPECT_TRUE(pwtest::Exists(dir.path("o.cab")));
    EXPECT_TRUE(pwtest::Exists(home + QStringLiteral("/Brontel/Packwright/temp")));
}

TEST(CommandLineTool, CompactedAddOnAndPlainArchiveEndToEnd)
{
    // A copy of the program beside a stand-in self-extractor module: that folder is its AppDir.
    pwtest::TempDir dir;
    const QString program = dir.path("app/packwright-build");
    dir.mkdir("app");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PACKWRIGHT_BUILD), program));
    dir.write("app/7zS.sfx", "SFX-STUB");
    dir.write("p/setup.exe", "MZ");
    dir.write("p/data/leia-me.txt", "olá");
    const QString home = dir.path("home");

    const ToolRun addOn = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--switch", "/S",
                                   dir.path("Demo.cab")}, home, program);
    ASSERT_EQ(addOn.exitCode, 0) << addOn.err.toStdString();
    EXPECT_EQ(pwtest::ListedNames(dir.path("Demo.cab")), (QStringList{"svcpack/Demo.exe", "ENTRIES_DEMO.ini"}));

    // The plain archive keeps the name it was given, whatever its extension.
    const ToolRun plain = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--format", "7z",
                                   dir.path("Demo.cab")}, home, program);
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    const pwtest::ToolRun test = pwtest::RunTool(QStringLiteral("7z"), {QStringLiteral("t"), dir.path("Demo.cab")});
    EXPECT_TRUE(test.ok && test.output.contains(QStringLiteral("Type = 7z"))) << test.output.toStdString();
    EXPECT_TRUE(test.output.contains(QStringLiteral("Files: 2"))) << test.output.toStdString();
}

TEST(CommandLineTool, AnInterruptStopsThePackingAndLeavesNoArchive)
{
    pwtest::TempDir dir;
    dir.write("p/setup.exe", "MZ");
    QFile big(dir.write("p/big.bin"));
    ASSERT_TRUE(big.resize(qint64(1) << 30));  // sparse: fast to make, slow to pack
    QProcess p;
    StartTool(p, {"--folder", dir.path("p"), "--start", "setup.exe", "--format", "7z", dir.path("out.7z")},
              dir.path("home"));
    QByteArray out;
    while (!out.contains(BuildTexts().CompactZipStr.toUtf8()) && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    ASSERT_TRUE(out.contains(BuildTexts().CompactZipStr.toUtf8())) << out.data();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("stopped"));
    EXPECT_FALSE(pwtest::Exists(dir.path("out.7z")));
}
