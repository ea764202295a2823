// The cabinet packaging step: the two add-on layouts, read back by the independent decoders.
#include "archive/cabinet/ESTCabinet.h"
#include "pipeline/CabinetStep.h"
#include "platform/Errors.h"

#include "support/CabinetDecoders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <utility>

namespace {

using namespace pw;
using pwtest::FileTree;

class CabinetStepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        in.appDir = dir.mkdir("app");
        in.dataDir = dir.mkdir("data");
        scratch = dir.mkdir("data/temp/build-1");
        dir.write("data/temp/build-1/ENTRIES_MYAPP.ini", entries);
    }

    QString Method(const QString& cabinet) const
    {
        const pwtest::ToolRun listing = pwtest::RunTool("7z", {"l", "-slt", cabinet});
        return listing.output.section("Method = ", 1, 1).section('\n', 0, 0).trimmed();
    }

    pwtest::TempDir dir;
    BuildInputs in;
    QString scratch;
    CabinetStep step;
    const QByteArray entries = "[General]\r\nbuilddate=2024\r\n[AddProgram]\r\nMyApp.exe\r\n";
};

TEST_F(CabinetStepTest, CompactPutsTheInstallerStoredUnderSvcpack)
{
    PW_SKIP_WITHOUT_DECODERS();
    in.compact = true;
    const QByteArray installer = "MZ self-extractor " + QByteArray(100000, 'i');
    dir.write("data/temp/build-1/MyApp.exe", installer);
    EXPECT_TRUE(step.BuildCabinet(in, dir.path("out/MyApp.cab"), "MyApp", "ENTRIES_MYAPP.ini", scratch));
    EXPECT_EQ(pwtest::ListedNames(dir.path("out/MyApp.cab")), QStringList({"svcpack/MyApp.exe", "ENTRIES_MYAPP.ini"}));
    EXPECT_EQ(Method(dir.path("out/MyApp.cab")), "None");
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/MyApp.cab"),
                                        {{"svcpack/MyApp.exe", installer}, {"ENTRIES_MYAPP.ini", entries}}));
}

// The runner is AppDir's file of its name, never one found deeper there, such as its x86_64/ twin, which
// would stand twice in the cabinet beside a program folder's own file of that path and replace it.
TEST_F(CabinetStepTest, UncheckedPutsTheProgramFolderAndOnlyItsRunner)
{
    PW_SKIP_WITHOUT_DECODERS();
    in.compact = false;
    in.sourceDir = dir.path("program");
    const QStringList runners = {"msistub.exe", "batchrunner.exe", "infrunner.exe"};
    for (const QString& runner : runners) {
        dir.write("app/" + runner, "runner " + runner.toUtf8());
        dir.write("app/x86_64/" + runner, "its x86-64 twin");
        dir.write("app/languages/" + runner, "a runner of the same name deeper down");
    }
    const QStringList startFiles = {"Setup.MSI", "install.bat", "driver.inf"};
    for (qsizetype i = 0; i < startFiles.size(); ++i) {
        SCOPED_TRACE(startFiles[i].toStdString());
        in.startFile = startFiles[i];
        QDir(in.sourceDir).removeRecursively();
        FileTree expected{{"svcpack/" + runners[i], "runner " + runners[i].toUtf8()}, {"ENTRIES_MYAPP.ini", entries}};
        for (const auto& [name, content] : {std::pair<QString, QByteArray>{in.startFile, QByteArray(70000, 'm')},
                                            {"sub/data.cab", "cabinet inside"},
                                            {"x86_64/msistub.exe", "the user's own"}}) {
            dir.write("program/" + name, content);
            expected.insert("svcpack/" + name, content);
        }
        const QString target = dir.write("out/MyApp.cab", "an earlier add-on");
        step.BuildCabinet(in, target, "MyApp", "ENTRIES_MYAPP.ini", scratch);
        QStringList names = pwtest::ListedNames(target);
        EXPECT_EQ(names.value(names.size() - 1), "ENTRIES_MYAPP.ini");
        names.sort();
        EXPECT_EQ(names, expected.keys());
        EXPECT_EQ(Method(target), "MSZip");
        EXPECT_TRUE(pwtest::DecodersExtract(target, expected));
    }
}

TEST_F(CabinetStepTest, AMissingFolderOnTheWayIsMadeAndNothingElseIsLeftBesideTheAddOn)
{
    PW_SKIP_WITHOUT_DECODERS();
    in.compact = false;
    in.sourceDir = dir.path("program");
    in.startFile = "install.cmd";
    dir.write("program/install.cmd", "@echo off\r\n");
    dir.write("app/batchrunner.exe", "runner");
    EXPECT_TRUE(step.BuildCabinet(in, dir.path("new/folder/MyApp.cab"), "MyApp", "ENTRIES_MYAPP.ini", scratch));
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("new/folder/MyApp.cab"),
                                        {{"svcpack/install.cmd", "@echo off\r\n"},
                                         {"svcpack/batchrunner.exe", "runner"},
                                         {"ENTRIES_MYAPP.ini", entries}}));
    EXPECT_EQ(QDir(dir.path("new/folder")).entryList(QDir::Files | QDir::Hidden), QStringList("MyApp.cab"));
}

TEST_F(CabinetStepTest, AMissingRunnerMakesNoCabinetAndIsNamedWithItsFolder)
{
    in.compact = false;
    in.sourceDir = dir.path("program");
    in.startFile = "install.cmd";
    dir.write("program/install.cmd", "@echo off\r\n");
    const QString target = dir.write("out/MyApp.cab", "an earlier add-on");
    try {
        step.BuildCabinet(in, target, "MyApp", "ENTRIES_MYAPP.ini", scratch);
        FAIL() << "an add-on that cannot run its start file was made";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains("\"batchrunner.exe\"") && e.message().contains("\"" + in.appDir + "\""))
            << e.message().toStdString();
    }
    EXPECT_EQ(pwtest::ReadAll(target), "an earlier add-on");
    EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList("MyApp.cab"));
}

TEST_F(CabinetStepTest, FailedBuildLeavesNoCabinetAndKeepsAnEarlierFile)
{
    in.compact = true;
    dir.write("data/temp/build-1/MyApp.exe", "installer");
    QFile::remove(scratch + "ENTRIES_MYAPP.ini");
    const QString target = dir.write("out/MyApp.cab", "an earlier add-on");
    try {
        step.BuildCabinet(in, target, "MyApp", "ENTRIES_MYAPP.ini", scratch);
        FAIL() << "the entries file cannot be read";
    } catch (const ESTCabinet& e) {
        EXPECT_EQ(e.erfOper(), 1u);
        EXPECT_TRUE(e.message().startsWith("Failure opening file to be stored in cabinet [0x0001]."));
        EXPECT_EQ(e.sourceFile(), scratch + "ENTRIES_MYAPP.ini") << "the error names the file it could not read";
    }
    EXPECT_EQ(pwtest::ReadAll(target), "an earlier add-on");
    EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList("MyApp.cab"));
}

TEST_F(CabinetStepTest, TheCabinetLibrarysTemporaryFilesStayInTheScratchFolder)
{
    in.compact = false;
    in.sourceDir = dir.path("program");
    in.startFile = "setup.exe";
    dir.write("program/setup.exe", QByteArray(300000, 's'));
    const QString systemTemp = dir.mkdir("system-temp");
    const QByteArray savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", systemTemp.toUtf8());
    QStringList inScratch, outside;
    step.CabWriter1.OnFolderStatus = [&](TSTCabWriter&, quint32, quint32, bool&) {
        inScratch += pwtest::EntriesBelow(scratch).filter(QRegularExpression("^stc"));
        outside += pwtest::EntriesBelow(systemTemp);
    };
    EXPECT_TRUE(step.BuildCabinet(in, dir.path("out/MyApp.cab"), "MyApp", "ENTRIES_MYAPP.ini", scratch));
    qputenv("TMPDIR", savedTmpDir);
    EXPECT_FALSE(inScratch.isEmpty());
    EXPECT_EQ(outside, QStringList());
    EXPECT_EQ(pwtest::EntriesBelow(scratch), QStringList{"ENTRIES_MYAPP.ini"}) << "and they go when it is written";
}

TEST_F(CabinetStepTest, MissingProgramFolderRaisesTheSystemsError)
{
    in.compact = false;
    in.sourceDir = dir.path("gone");
    in.startFile = "setup.exe";
    EXPECT_THROW(step.BuildCabinet(in, dir.path("out/MyApp.cab"), "MyApp", "ENTRIES_MYAPP.ini", scratch), UserError);
    EXPECT_TRUE(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(CabinetStepTest, ASetOfSeveralCabinetsComesOutUnderTheChosenName)
{
    PW_SKIP_WITHOUT_DECODERS();
    in.compact = false;
    in.sourceDir = dir.path("program");
    in.startFile = "setup.exe";
    QByteArray noise(150000, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    dir.write("program/setup.exe", noise);
    step.CabWriter1.CabinetSizeThreshold = 60000;
    step.BuildCabinet(in, dir.path("out/MyApp.cab"), "MyApp", "ENTRIES_MYAPP.ini", scratch);
    const QStringList cabinets = QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden);
    ASSERT_GE(cabinets.size(), 2);
    for (int i = 1; i < cabinets.size(); ++i)
        EXPECT_TRUE(cabinets.contains(QStringLiteral("MyApp%1.cab").arg(i))) << cabinets.join(' ').toStdString();
    EXPECT_TRUE(pwtest::DecodersExtract(dir.path("out/MyApp.cab"),
                                        {{"svcpack/setup.exe", noise}, {"ENTRIES_MYAPP.ini", entries}},
                                        {pwtest::Decoder::Cabextract, pwtest::Decoder::SevenZip}));
}

TEST_F(CabinetStepTest, AStopAskedForWhileWaitingEndsTheStepSilentlyAndKeepsAnEarlierFile)
{
    in.compact = false;
    in.sourceDir = dir.path("program");
    in.startFile = "setup.exe";
    for (int i = 0; i < 30; ++i)
        dir.write(QStringLiteral("program/part%1.bin").arg(i), QByteArray(200000, char('a' + i % 26)));
    dir.write("program/setup.exe", "MZ");
    const QString target = dir.write("out/MyApp.cab", "an earlier add-on");
    // The writer waits at once, then at a steady pace: the first wait is the one sure to come.
    int waits = 0;
    PackEvents events;
    events.waiting = [&] { ++waits; };
    events.cancelRequested = [&] { return waits >= 1; };
    EXPECT_THROW(step.BuildCabinet(in, target, "MyApp", "ENTRIES_MYAPP.ini", scratch, events), SilentAbort);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(pwtest::ReadAll(target), "an earlier add-on");
    EXPECT_EQ(QDir(dir.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList("MyApp.cab"));
}

}  // namespace
