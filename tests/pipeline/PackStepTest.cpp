// The packing step and the self-extracting installer, alone and inside whole builds.
#include "pipeline/BuildDriver.h"
#include "pipeline/PackStep.h"

#include "ArchiveTools.h"
#include "platform/Errors.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"

#include <QDir>

#include <cerrno>
#include <QFile>

#include <gtest/gtest.h>

using namespace pw;
using namespace pwtest;

namespace {

QByteArray Block(std::initializer_list<const char*> lines)
{
    QByteArray block;
    for (const char* line : lines)
        block += (block.isEmpty() ? "" : "\n\r") + QByteArray(line);
    return block;
}

BuildInputs Start(const QString& startFile, const QString& silentSwitch = {}, int overwriteMode = 0)
{
    BuildInputs in;
    in.startFile = startFile;
    in.silentSwitch = silentSwitch;
    in.overwriteMode = overwriteMode;
    return in;
}

ShortcutEntry Shortcut(const QString& location, const QString& folder, const QString& target,
                       const QStringList& rest = {"", "", "", ""})
{
    return {QStringLiteral("Área de trabalho"), QStringList{target, location, folder, target} + rest};
}

TEST(PackStepSfxConfig, TheWholeBlockOfTheExample)
{
    EXPECT_EQ(SfxConfig(Start("setup.exe", "/S", 2)),
              Block({";!@Install@!UTF-8!", "RunProgram=\"setup.exe /S\"", "GUIMode=\"2\"", "OverwriteMode=\"2\"",
                     ";!@InstallEnd@!"}));
}

TEST(PackStepSfxConfig, RunCommandByStartFileExtension)
{
    const auto runLine = [](const QString& start, const QString& silentSwitch) {
        return SfxConfig(Start(start, silentSwitch)).split('\n').at(1).mid(1);  // after the CR
    };
    // The same commands as the entries file's, the runner named by its word.
    EXPECT_EQ(runLine("install.bat", "/q"), QByteArray("RunProgram=\"batchrunner install.bat /q hidcon\""));
    EXPECT_EQ(runLine("go.CMD", ""), QByteArray("RunProgram=\"batchrunner go.CMD hidcon\""));
    EXPECT_EQ(runLine("driver.inf", "/x"), QByteArray("RunProgram=\"infrunner driver.inf\""));
    EXPECT_EQ(runLine("pkg.msi", "/x"), QByteArray("RunProgram=\"msistub pkg.msi /x /qb-!\""));
    EXPECT_EQ(runLine("pkg.msi", ""), QByteArray("RunProgram=\"msistub pkg.msi /qb-!\""));
    EXPECT_EQ(runLine("Setup.EXE", ""), QByteArray("RunProgram=\"Setup.EXE\""));
    EXPECT_EQ(runLine("Setup.EXE", "/VERYSILENT /NORESTART"), QByteArray("RunProgram=\"Setup.EXE /VERYSILENT /NORESTART\""));
    EXPECT_EQ(runLine("tool.com", "-s"), QByteArray("RunProgram=\"tool.com -s\""));

    // Only ".exe" asks for the hidden extraction window.
    EXPECT_TRUE(SfxConfig(Start("Setup.EXE")).contains("GUIMode"));
    EXPECT_FALSE(SfxConfig(Start("install.bat", "/q")).contains("GUIMode"));
    EXPECT_FALSE(SfxConfig(Start("tool.com")).contains("GUIMode"));
}

TEST(PackStepSfxConfig, OverwriteModeOnlyWhenNotTheDefault)
{
    EXPECT_FALSE(SfxConfig(Start("a.exe", "", 0)).contains("OverwriteMode"));
    EXPECT_TRUE(SfxConfig(Start("a.exe", "", 1)).contains("\n\rOverwriteMode=\"1\"\n\r"));
}

TEST(PackStepSfxConfig, ShortcutLinesDoubleOnlyTheTargetsBackslashes)
{
    BuildInputs in = Start("setup.exe");
    in.shortcuts = {Shortcut("0", "1", "app\\run.exe"), Shortcut("0", "4", "app\\run.exe"),
                    Shortcut("3", "0", "x.exe", {"-a \\b", "Pasta\\Sub", "Descrição", "Nome"}),
                    Shortcut("9", "7", "y.exe")};
    const QList<QByteArray> lines = SfxConfig(in).split('\n');
    ASSERT_EQ(lines.size(), 8);  // after the start, the run command and GUIMode
    EXPECT_EQ(lines[3], QByteArray("\rShortcut=\"Du,{%ProgramFiles%\\\\app\\\\run.exe},{},{},{},{}\""));
    EXPECT_EQ(lines[4], QByteArray("\rShortcut=\"Du,{\"%UserDesktop%\\\\app\\\\run.exe},{},{},{},{}\""));
    EXPECT_EQ(lines[5], QStringLiteral("\rShortcut=\"Tu,{x.exe},{-a \\b},{Pasta\\Sub},{Descrição},{Nome}\"").toUtf8());
    EXPECT_EQ(lines[6], QByteArray("\rShortcut=\"u,{y.exe},{},{},{},{}\""));
    EXPECT_EQ(lines[7], QByteArray("\r;!@InstallEnd@!"));
}

TEST(PackStepSfxConfig, AccentedTextsAreWrittenAsUtf8)
{
    const QByteArray block = SfxConfig(Start(QStringLiteral("instalação.exe"), QStringLiteral("/café")));
    EXPECT_TRUE(block.contains("RunProgram=\"instala\xC3\xA7\xC3\xA3o.exe /caf\xC3\xA9\""));
}

// A program folder, AppDir with a stand-in "7zS.sfx", and a data folder, as a build finds them.
struct Workspace {
    TempDir dir;
    BuildInputs in;
    QByteArray sfx = "MZ stand-in self-extractor " + QByteArray(2000, '\x90');

    Workspace()
    {
        in.appDir = dir.mkdir("app");
        in.dataDir = dir.mkdir("data");
        dir.mkdir("data/temp");
        dir.write("app/7zS.sfx", sfx);
        in.sourceDir = MakeSampleTree(dir.path());
        in.folderText = in.sourceDir;
        in.startFile = QStringLiteral("setup.exe");
        in.compressionLevel = 2;
        in.entriesText = QStringLiteral("[General]\ntitle=T");
    }
};

class RecordingUi : public BuildUi {
public:
    std::optional<SaveChoice> answer;
    QStringList messages;
    QList<double> positions;
    int waitsWhilePacking = 0;  // rounds of events while the folder is packed, beyond the status's own
    int cancelAfter = -1;       // answers "cancel" from this many questions on
    int asked = 0;
    std::function<void()> onMessage;

    std::optional<SaveChoice> askSaveFile(const SaveSuggestion&) override { return answer; }
    void setStatus(const QString& text) override
    {
        packing_ = text == BuildTexts().CompactZipStr;
        statusShown_ = false;
    }
    void setProgress(double position) override { positions.append(position); }
    void processEvents() override
    {
        if (packing_ && std::exchange(statusShown_, true))
            ++waitsWhilePacking;
    }
    void showMessage(const QString& text, MessageKind) override
    {
        messages.append(text);
        if (onMessage)
            onMessage();  // the temporary files still exist while the user reads the outcome
    }
    void setBuilding(bool) override {}
    bool cancelRequested() override { return cancelAfter >= 0 && ++asked > cancelAfter; }

private:
    bool packing_ = false;
    bool statusShown_ = false;
};

TEST(PackStepBuild, PlainArchiveOfTheProgramFolder)
{
    Workspace w;
    RecordingUi ui;
    BuildDriver driver(ui);
    // The 7z filter decides the kind, whatever extension the name was given.
    const QString target = w.dir.path("out/Programa.cab");
    w.dir.mkdir("out");
    ui.answer = BuildUi::SaveChoice{target, OutputKind::PlainArchive};
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Succeeded);
    EXPECT_EQ(ui.messages, QStringList{driver.texts.MessageStr});
    EXPECT_TRUE(ArchiveTestsClean(target));
    EXPECT_EQ(ListArchive(target).size(), ReadTree(w.in.sourceDir).size());
    EXPECT_TRUE(ListArchive(target).count(QStringLiteral("setup.exe")));
    // The bar goes from 1 through the packing to 101, then 103.
    EXPECT_TRUE(ui.positions.contains(101));
    EXPECT_TRUE(std::is_sorted(ui.positions.begin() + 2, ui.positions.end() - 1));
    EXPECT_EQ(ui.positions.back(), 0);
}

TEST(PackStepBuild, CabinetBuildMakesTheSelfExtractorFromStubBlockAndArchive)
{
    Workspace w;
    w.in.overwriteMode = 1;
    RecordingUi ui;
    BuildDriver driver(ui);
    const QString target = w.dir.path("MyApp.cab");
    ui.answer = BuildUi::SaveChoice{target, OutputKind::Cabinet};
    QByteArray exe, archive;
    ui.onMessage = [&] {
        const QString scratch = pwtest::OnlyFolderIn(w.in.tempDir());
        exe = ReadAll(scratch + "MyApp.exe");
        archive = ReadAll(scratch + "files.7z");
        QFile::copy(scratch + "MyApp.exe", w.dir.path("MyApp.exe"));
    };
    driver.Build(w.in);
    ASSERT_FALSE(archive.isEmpty());
    EXPECT_EQ(exe, w.sfx + SfxConfig(w.in) + archive);
    EXPECT_TRUE(ArchiveTestsClean(w.dir.path("MyApp.exe")));
    EXPECT_EQ(pwtest::EntriesBelow(w.in.tempDir()), QStringList());  // cleaned up afterwards
}

TEST(PackStepBuild, TheSelfExtractorsArchiveCarriesTheRunnerBesideTheStartFileAndAPlainOneDoesNot)
{
    Workspace w;
    const std::pair<const char*, const char*> kinds[] = {
        {"driver.inf", "infrunner.exe"}, {"pkg.msi", "msistub.exe"}, {"go.bat", "batchrunner.exe"},
        {"Go.CMD", "batchrunner.exe"}};
    for (const auto& [start, runner] : kinds) {
        w.dir.write(QStringLiteral("app/") + runner, QByteArray("MZ ") + runner);
        w.dir.write(QStringLiteral("Programa/") + start, "start file");
    }
    const qsizetype folderItems = ReadTree(w.in.sourceDir).size();
    PackStep step;
    for (const auto& [start, runner] : kinds) {
        w.in.startFile = QString::fromUtf8(start);
        const QString target = w.dir.path("out.7z");
        ASSERT_TRUE(step.PackFolder(w.in, target, {}, PackPurpose::SelfExtractorArchive)) << start;
        std::map<QString, ListedEntry> listed = ListArchive(target);
        EXPECT_TRUE(listed.count(QString::fromUtf8(runner))) << start;
        EXPECT_TRUE(listed.count(QString::fromUtf8(start)));
        EXPECT_EQ(qsizetype(listed.size()), folderItems + 1) << start;
        QFile::remove(target);

        ASSERT_TRUE(step.PackFolder(w.in, target, {}, PackPurpose::PlainArchive));
        EXPECT_EQ(qsizetype(ListArchive(target).size()), folderItems) << "a plain archive is the folder alone";
        QFile::remove(target);
    }
}

TEST(PackStepBuild, AModuleOrRunnerMissingFromAppDirStopsTheBuildBeforeItPacksAndSaysWhere)
{
    Workspace w;
    w.dir.write("Programa/pkg.msi", "msi");
    const QString target = w.dir.write("MyApp.cab", "an earlier add-on");
    struct Case {
        const char* missing;
        const char* start;
        bool compact;
    } cases[] = {{"7zS.sfx", "setup.exe", true}, {"msistub.exe", "pkg.msi", true}, {"msistub.exe", "pkg.msi", false}};
    for (const Case& c : cases) {
        QFile::remove(w.in.appDir + "7zS.sfx");
        QFile::remove(w.in.appDir + "msistub.exe");
        for (const QString name : {"7zS.sfx", "msistub.exe"})
            if (name != QLatin1String(c.missing))
                w.dir.write("app/" + name, w.sfx);
        w.in.startFile = QString::fromUtf8(c.start);
        w.in.compact = c.compact;
        RecordingUi ui;
        BuildDriver driver(ui);
        ui.answer = BuildUi::SaveChoice{target, OutputKind::Cabinet};
        EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error) << c.missing;
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].contains(QStringLiteral("\"%1\"").arg(c.missing)) &&
                    ui.messages[0].contains(QStringLiteral("\"%1\"").arg(w.in.appDir)))
            << ui.messages[0].toStdString();
        EXPECT_FALSE(ui.positions.contains(1)) << "nothing was packed";
        EXPECT_EQ(ReadAll(target), QByteArray("an earlier add-on"));
    }

    // Another module of that name is the user's choice: the build takes whatever file is there.
    w.dir.write("app/7zS.sfx", "MZ the user's own module");
    w.in.startFile = QStringLiteral("setup.exe");
    w.in.compact = true;
    RecordingUi ui;
    BuildDriver driver(ui);
    ui.answer = BuildUi::SaveChoice{target, OutputKind::Cabinet};
    QByteArray installer;
    ui.onMessage = [&] { installer = ReadAll(pwtest::OnlyFolderIn(w.in.tempDir()) + "MyApp.exe"); };
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Succeeded);
    EXPECT_TRUE(installer.startsWith("MZ the user's own module;!@Install@!UTF-8!"));
}

TEST(PackStepBuild, APlainArchiveThatCannotBeWrittenWholeIsAFailureAndTheEarlierFileStays)
{
    Workspace w;
    w.dir.write("Programa/big.bin", RandomBytes(3 << 20));
    pwtest::ScratchMount disk(2 << 20);
    PW_REQUIRE_MOUNT(disk);
    const QByteArray earlier(512 << 10, 'e');
    {
        QFile f(disk.path("out.7z"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(earlier), earlier.size());
    }
    RecordingUi ui;
    BuildDriver driver(ui);
    ui.answer = BuildUi::SaveChoice{disk.path("out.7z"), OutputKind::PlainArchive};
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Failed);
    // The message says what filled up, and where.
    const QString folder = QFileInfo(disk.path("out.7z")).absolutePath();
    EXPECT_EQ(ui.messages, QStringList{WithDetail(driver.texts.ErrMessageStr, driver.texts.DiskFullStr.arg(folder))});
    EXPECT_FALSE(ui.positions.contains(103));
    EXPECT_EQ(ReadAll(disk.path("out.7z")), earlier);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.7z"});
}

TEST(PackStepBuild, AnOutputNameBeginningWithADotLeavesNoInstallerBehind)
{
    Workspace w;
    RecordingUi ui;
    BuildDriver driver(ui);
    ui.answer = BuildUi::SaveChoice{w.dir.path(".Hidden.cab"), OutputKind::Cabinet};
    QStringList during;
    ui.onMessage = [&] { during = pwtest::EntriesBelow(w.in.tempDir()); };
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Succeeded);
    EXPECT_TRUE(during.filter(QStringLiteral("/.Hidden.exe")).size() == 1) << during.join(' ').toStdString();
    EXPECT_EQ(pwtest::EntriesBelow(w.in.dataDir), QStringList{"temp"});
}

TEST(PackStepBuild, AFileThatCannotBeReadIsNotPassedOffAsPackedAndIsNamed)
{
    Workspace w;
    PackStep step;
    const QString target = w.dir.path("out.7z");
    PackEvents events;
    events.preProgress = [&](qint64) { QFile::remove(w.in.sourceDir + "/leia-me.txt"); };
    EXPECT_FALSE(step.PackFolder(w.in, target, events, PackPurpose::PlainArchive));
    EXPECT_EQ(step.SevenZip1.LastError, ENOENT);
    EXPECT_EQ(step.SevenZip1.FirstUnreadFile().path, w.in.sourceDir + "/leia-me.txt");
    EXPECT_EQ(step.SevenZip1.FirstUnreadFile().error, ENOENT);
    EXPECT_FALSE(Exists(target));

    // The next packing starts with nothing unread.
    EXPECT_TRUE(step.PackFolder(w.in, target, {}, PackPurpose::PlainArchive));
    EXPECT_TRUE(step.SevenZip1.FirstUnreadFile().path.isEmpty());
}

TEST(PackStepBuild, AnErrorFromTheAnnouncedTotalEndsThePackingBeforeTheArchiveIsMade)
{
    Workspace w;
    PackStep step;
    const QString target = w.dir.path("out.7z");
    PackEvents events;
    qint64 announced = -1;
    events.preProgress = [&](qint64 total) {
        announced = total;
        throw UserError(QStringLiteral("too much"));
    };
    EXPECT_THROW(step.PackFolder(w.in, target, events, PackPurpose::SelfExtractorArchive), UserError);
    EXPECT_GT(announced, 0);
    EXPECT_FALSE(Exists(target));
}

TEST(PackStepBuild, TheWindowRepaintsDuringPackingAndACancelEndsTheBuildSilently)
{
    Workspace w;
    w.dir.write("Programa/big.bin", RandomBytes(6 << 20));
    w.in.compressionLevel = 4;
    RecordingUi ui;
    BuildDriver driver(ui);
    // The user chose to replace an earlier archive; a build that does not finish leaves it as it was.
    const QString target = w.dir.write("out.7z", "an earlier archive");
    ui.answer = BuildUi::SaveChoice{target, OutputKind::PlainArchive};
    ui.cancelAfter = 2;
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Aborted);
    EXPECT_GE(ui.waitsWhilePacking, 3) << "the packing lets the window repaint, and each time asks about a stop";
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(ReadAll(target), QByteArray("an earlier archive"));
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.7z"});
}

TEST(PackStepLibrary, AMissingLibraryIsSaidInWords)
{
    try {
        PackStep step({QStringLiteral("/nonexistent/7z.so")});
        FAIL() << "bound without a library";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().startsWith(QLatin1String("Could not load CreateObject function from 7z.so")));
    }
}

}  // namespace
