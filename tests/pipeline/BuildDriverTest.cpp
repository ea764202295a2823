#include "pipeline/BuildDriver.h"

#include "pipeline/EntriesFile.h"
#include "pipeline/InstallerLimit.h"
#include "pipeline/UnreadableFile.h"
#include "pipeline/NameRules.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace pw;

namespace {

// Answers the save dialog and writes down everything the build shows, in order.
class RecordingUi : public BuildUi {
public:
    std::optional<SaveChoice> answer;
    QString stopKeyName;
    QStringList log;
    QList<MessageKind> kinds;
    QList<SaveSuggestion> suggestions;
    QList<double> positions;
    std::function<void()> whileSaveDialogIsOpen;

    std::optional<SaveChoice> askSaveFile(const SaveSuggestion& suggestion) override
    {
        suggestions.append(suggestion);
        log.append(QStringLiteral("save"));
        if (whileSaveDialogIsOpen)
            whileSaveDialogIsOpen();
        return answer;
    }
    void setStatus(const QString& text) override { log.append(QStringLiteral("status ") + text); }
    void setProgress(double position) override
    {
        if (positions.isEmpty() || positions.back() != position)
            positions.append(position);
    }
    void processEvents() override {}
    void showMessage(const QString& text, MessageKind kind) override
    {
        log.append(QStringLiteral("message ") + text);
        kinds.append(kind);
    }
    QString stopKey() const override { return stopKeyName; }
    void setBuilding(bool building) override { log.append(building ? QStringLiteral("busy") : QStringLiteral("idle")); }
};

struct Workspace {
    pwtest::TempDir dir;
    BuildInputs in;

    Workspace()
    {
        in.appDir = dir.mkdir("app");
        in.dataDir = dir.mkdir("data");
        dir.mkdir("data/temp");
        in.sourceDir = dir.mkdir("program").chopped(1);
        in.folderText = in.sourceDir;
        dir.write("program/setup.exe", "MZ fake installer");
        dir.write("program/sub/data.bin", QByteArray(5000, 'd'));
        in.startFile = QStringLiteral("setup.exe");
        in.compact = false;
        in.entriesText = QStringLiteral("[General]\ntitle=T");
    }
};

// Names and content hashes of every file below `folder`, to show a build left it alone.
QStringList TreeDigest(const QString& folder)
{
    QStringList digest;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        digest.append(path + QLatin1Char(' ') +
                      QCryptographicHash::hash(pwtest::ReadAll(path), QCryptographicHash::Sha1).toHex());
    }
    digest.sort();
    return digest;
}

// The positions on the scale's whole steps, and those the cabinet reported between them.
QList<double> WholePositions(const QList<double>& positions)
{
    QList<double> whole;
    std::copy_if(positions.begin(), positions.end(), std::back_inserter(whole),
                 [](double p) { return p == std::floor(p); });
    return whole;
}

QList<double> CabinetPositions(const QList<double>& positions)
{
    QList<double> between;
    std::copy_if(positions.begin(), positions.end(), std::back_inserter(between),
                 [](double p) { return p > kProgressEntriesWritten && p < kProgressEnd; });
    return between;
}

}  // namespace

TEST(BuildDriver, CancelledDialogStillCleansUp)
{
    Workspace w;
    w.dir.write("data/ENTRIES_OLD.ini", "x");
    w.dir.write("data/other.ini", "x");
    w.dir.write("data/config.qmr", "[Main]");
    w.dir.write("data/Silence.qmr", "a, b");
    w.dir.write("data/temp/files.7z", "x");
    w.dir.mkdir("data/temp/keep");
    w.dir.write("data/temp/build-1-dead/files.7z", "the build that made it has died");
    const ScratchFolder running(w.in.tempDir());
    RecordingUi ui;
    BuildDriver driver(ui);
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Cancelled);
    EXPECT_FALSE(pwtest::Exists(w.dir.path("data/temp/build-1-dead")));
    EXPECT_TRUE(pwtest::Exists(running.path())) << "another build's folder stays";
    EXPECT_EQ(ui.log, (QStringList{"busy", "save", "status " + driver.texts.DelTempStr, "status ...", "idle"}));
    EXPECT_FALSE(pwtest::Exists(w.dir.path("data/ENTRIES_OLD.ini")));
    EXPECT_FALSE(pwtest::Exists(w.dir.path("data/other.ini")));
    EXPECT_FALSE(pwtest::Exists(w.dir.path("data/temp/files.7z")));
    EXPECT_TRUE(pwtest::Exists(w.dir.path("data/temp/keep")));
    EXPECT_TRUE(pwtest::Exists(w.dir.path("data/config.qmr")));
    EXPECT_TRUE(pwtest::Exists(w.dir.path("data/Silence.qmr")));
    EXPECT_FALSE(driver.Busy);
}

// The offered name stands on the "[AddProgram]" line, where a blank is refused.
TEST(BuildDriver, TheSaveDialogOffersTheFolderNameWithoutItsBlanks)
{
    RecordingUi ui;
    const BuildDriver driver(ui);
    BuildInputs in;
    for (const auto& [folder, offered] : {std::pair{"/apps/Mozilla Firefox", "MozillaFirefox"}, {"/apps/ 7 Zip ", "7Zip"},
                                          {"/apps/   ", "   "}}) {
        in.sourceDir = QString::fromUtf8(folder);
        EXPECT_EQ(driver.SuggestedOutput(in).baseName, QString::fromUtf8(offered)) << folder;
    }
}

TEST(BuildDriver, UncompactedCabinetBuildShowsItsStepsAndLeavesTheProgramFolderAlone)
{
    Workspace w;
    w.dir.write(QStringLiteral("program/Leia-me da instalação.txt"), "olá");
    w.dir.mkdir("out");
    const QStringList before = TreeDigest(w.in.sourceDir);
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path(QStringLiteral("out/My App é.cab")), OutputKind::Cabinet};
    BuildDriver driver(ui);
    const BuildDriver::Outcome outcome = driver.Build(w.in);
    const BuildTexts& t = driver.texts;
    EXPECT_EQ(WholePositions(ui.positions), (QList<double>{0, 1, 101, 102, 103, 0}));
    // Once the temporary files are gone, the status line names the file made.
    EXPECT_EQ(ui.log, (QStringList{"busy", "save", "status " + t.InitProcessStr, "status " + t.ProcessInfoStr,
                                   "status " + t.CompactCABStr, "message " + t.MessageStr, "status " + t.DelTempStr,
                                   "status " + t.FileMadeStr.arg(w.dir.path(QStringLiteral("out/My App é.cab"))),
                                   "idle"}));
    EXPECT_EQ(ui.kinds, QList<MessageKind>{MessageKind::Information});
    EXPECT_EQ(outcome, BuildDriver::Outcome::Succeeded);
    EXPECT_TRUE(pwtest::Exists(w.dir.path(QStringLiteral("out/My App é.cab"))));
    EXPECT_EQ(driver.OutName, QStringLiteral("My App é"));
    EXPECT_EQ(driver.EntriesFileName, QStringLiteral("ENTRIES_MY APP é.ini"));
    EXPECT_FALSE(pwtest::Exists(w.dir.path(QStringLiteral("data/ENTRIES_MY APP é.ini")))) << "temporary files go at the end";
    EXPECT_EQ(TreeDigest(w.in.sourceDir), before);
}

TEST(BuildDriver, TheBarRisesWhileTheCabinetIsWrittenAndReachesTheEndOnlyWithTheFile)
{
    Workspace w;
    // Data that does not compress, in many of the cabinet's blocks.
    QByteArray noise(400000, '\0');
    QRandomGenerator random(21);
    std::generate(noise.begin(), noise.end(), [&random] { return char(random.generate()); });
    w.dir.write("program/data/noise.bin", noise);
    w.dir.mkdir("out");
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path("out/App.cab"), OutputKind::Cabinet};
    BuildDriver driver(ui);
    driver.cabinet.progressInterval = std::chrono::milliseconds(0);
    ASSERT_EQ(driver.Build(w.in), BuildDriver::Outcome::Succeeded);

    const QList<double> cabinet = CabinetPositions(ui.positions);
    EXPECT_GE(cabinet.size(), 10) << "a position for each block compressed and each piece copied";
    EXPECT_EQ(std::adjacent_find(cabinet.begin(), cabinet.end(), std::greater_equal<double>()), cabinet.end())
        << "never still, never back";
    EXPECT_GE(cabinet.back(), kProgressEnd - 0.02) << "the whole cabinet written";
    // The cabinet's positions come after the step's start and before the end the made file brings.
    const qsizetype start = ui.positions.indexOf(kProgressEntriesWritten);
    EXPECT_EQ(ui.positions.mid(start + 1, cabinet.size()), cabinet);
    EXPECT_EQ(ui.positions.mid(start + 1 + cabinet.size()), (QList<double>{kProgressEnd, kProgressIdle}));
}

TEST(BuildDriver, AStepErrorIsShownAndTheIdleStateComesBack)
{
    Workspace w;
    // Before anything is written to the output, once the leftovers of earlier builds are gone.
    w.dir.write("data/temp/build-1/.lock");
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path("out.cab"), OutputKind::Cabinet};
    BuildDriver driver(ui);
    driver.cabinet.CabWriter1.OnBeforeFileAdd = [](TSTCabWriter&, const QString&, bool&) {
        throw UserError(QStringLiteral("a step fails"));
    };
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error);
    ASSERT_GE(ui.log.size(), 3);
    EXPECT_EQ(driver.lastMessage, QStringLiteral("a step fails"));
    EXPECT_EQ(ui.log.mid(ui.log.size() - 3), (QStringList{"status " + driver.texts.DelTempStr, "status ...", "idle"}));
    EXPECT_FALSE(driver.Busy);
    EXPECT_FALSE(pwtest::Exists(w.dir.path("out.cab")));
    EXPECT_EQ(pwtest::EntriesBelow(w.in.tempDir()), QStringList()) << "the build's own folder is gone too";
}

TEST(BuildDriver, AnUnusableWorkingFolderIsNamedWithWhyAndNothingIsMade)
{
    const BuildTexts t;
    const auto build = [&](const BuildInputs& in) {
        RecordingUi ui;
        ui.answer = BuildUi::SaveChoice{in.sourceDir + QStringLiteral("/../out.cab"), OutputKind::Cabinet};
        BuildDriver driver(ui);
        const BuildDriver::Outcome outcome = driver.Build(in);
        EXPECT_NE(outcome, BuildDriver::Outcome::Succeeded);
        EXPECT_EQ(ui.kinds, QList<MessageKind>{MessageKind::Error});
        EXPECT_FALSE(pwtest::Exists(in.sourceDir + QStringLiteral("/../out.cab")));
        EXPECT_EQ(pwtest::EntriesBelow(in.tempDir()), QStringList());
        return std::make_pair(driver.lastMessage, ui.positions);
    };
    const auto refused = [&](const BuildInputs& in, const QString& why) {
        const auto [message, positions] = build(in);
        EXPECT_EQ(message, WithDetail(t.ErrMessageStr, why));
        EXPECT_FALSE(positions.contains(101)) << "no step ran";
    };
    Workspace w;
    w.dir.write("app/7zS.sfx", "MZ module");
    for (const bool compact : {false, true}) {
        w.in.compact = compact;
        QDir(w.in.tempDir()).removeRecursively();
        refused(w.in, t.NoFolderStr.arg(w.in.tempDir()));
        w.dir.write("data/temp", "a file where the folder should be");
        refused(w.in, t.NotAFolderStr.arg(w.in.tempDir()));
        QFile::remove(w.in.tempDir().chopped(1));
        BuildInputs noData = w.in;
        noData.dataDir = w.dir.path("no-data-folder/");
        refused(noData, t.NoFolderStr.arg(noData.tempDir()));
    }

    pwtest::ScratchMount disk(1 << 20);
    PW_REQUIRE_MOUNT(disk);
    w.in.dataDir = disk.path() + QLatin1Char('/');
    QDir().mkpath(w.in.tempDir());
    disk.fillUp();
    // A full disk shows once the build writes there: the packing, or the entries file.
    for (const bool compact : {true, false}) {
        w.in.compact = compact;
        const QString message = build(w.in).first;
        EXPECT_TRUE(message.endsWith(QStringLiteral("\n\n") + t.DiskFullStr.arg(w.in.tempDir())))
            << message.toStdString();
    }
    ASSERT_TRUE(disk.makeReadOnly());
    refused(w.in, t.ReadOnlyFolderStr.arg(w.in.tempDir()));
}

TEST(BuildDriver, AProgramFileThatCannotBeReadIsNamedInTheChosenLanguage)
{
    Workspace w;
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path("out.cab"), OutputKind::Cabinet};
    BuildDriver driver(ui);
    driver.texts.UnreadableFileStr = QStringLiteral("Could not read \"%1\": %2.");
    driver.texts.FileVanishedStr = QStringLiteral("it is gone");
    // The file goes between the walk that finds it and its opening.
    driver.cabinet.CabWriter1.OnBeforeFileAdd = [&](TSTCabWriter&, const QString& source, bool&) {
        if (source.endsWith(QStringLiteral("data.bin")))
            QFile::remove(source);
    };
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error);
    EXPECT_EQ(driver.lastMessage,
              WithDetail(driver.texts.ErrMessageStr, QStringLiteral("Could not read \"sub/data.bin\": it is gone.")));
    EXPECT_FALSE(pwtest::Exists(w.dir.path("out.cab")));
}

TEST(BuildDriver, AProgramFileThatCannotBeReadIsNamedForTheSevenZipArchivesToo)
{
    Workspace w;
    w.in.compact = true;
    w.dir.write("app/7zS.sfx", "MZ module");
    for (const OutputKind kind : {OutputKind::Cabinet, OutputKind::PlainArchive}) {
        const QString file = w.dir.write("program/sub/data.bin", "d");
        RecordingUi ui;
        ui.answer = BuildUi::SaveChoice{w.dir.path(kind == OutputKind::Cabinet ? "out.cab" : "out.7z"), kind};
        BuildDriver driver(ui);
        driver.texts.FileVanishedStr = QStringLiteral("gone");
        // The library asks every item's name before it reads any: the file goes between the walk that
        // found it and its reading.
        driver.pack.SevenZip1.OnSetAddName = [&](TSevenZip*, std::uint32_t, QString&) { QFile::remove(file); };
        EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Failed) << int(kind);
        EXPECT_EQ(driver.lastMessage,
                  WithDetail(driver.texts.ErrMessageStr, driver.texts.UnreadableFileStr.arg("sub/data.bin", "gone")));
        EXPECT_FALSE(pwtest::Exists(ui.answer->fileName));
    }
}

TEST(BuildDriver, ACompactedAddOnTooBigForOneCabinetIsRefusedBeforeItsFilesArePacked)
{
    Workspace w;
    w.in.compact = true;
    w.in.compressionLevel = 0;
    w.dir.write("app/7zS.sfx", "MZ module");
    QFile big(w.dir.write("program/big.bin"));
    ASSERT_TRUE(big.resize(qint64(1) << 31));  // sparse
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path("MyApp.cab"), OutputKind::Cabinet};
    BuildDriver driver(ui);
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error);
    const InstallerLimit limit(w.in, QStringLiteral("MyApp"));
    const qint64 atLeast = QFileInfo(w.in.appDir + "7zS.sfx").size() + SfxConfig(w.in).size() + (qint64(1) << 31) +
                           5000 + 17;
    EXPECT_EQ(driver.lastMessage, WithDetail(driver.texts.ErrMessageStr, driver.texts.InstallerTooBigStr.arg("MyApp.exe")
                                                                             .arg(atLeast)
                                                                             .arg(limit.Largest())));
    EXPECT_EQ(ui.positions, (QList<double>{0, 1, 0})) << "nothing was packed";
    EXPECT_FALSE(pwtest::Exists(w.dir.path("MyApp.cab")));
    EXPECT_EQ(pwtest::EntriesBelow(w.in.tempDir()), QStringList());
}

TEST(BuildDriver, RefusesAnOutputInsideTheProgramFolderOrTheDataFolder)
{
    Workspace w;
    w.dir.write("data/Silence.qmr", "Inno, /VERYSILENT\r\n");
    const QStringList program = TreeDigest(w.in.sourceDir), data = TreeDigest(w.in.dataDir);
    // The clean-up would delete an "addon.ini" there after its success, and a cabinet would replace the
    // catalogue.
    for (const QString& target : {w.in.sourceDir + QStringLiteral("/sub/../addon.cab"), w.in.tempDir() + "x.7z",
                                  w.in.dataDir + "addon.ini", w.in.dataDir + "Silence.qmr"}) {
        RecordingUi ui;
        ui.answer = BuildUi::SaveChoice{target, target.endsWith(".cab") || target.endsWith(".qmr") ? OutputKind::Cabinet
                                                                                                  : OutputKind::PlainArchive};
        BuildDriver driver(ui);
        EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error) << target.toStdString();
        EXPECT_EQ(driver.lastMessage, driver.texts.OutputFolderRefusedStr.arg(target));
        EXPECT_FALSE(ui.positions.contains(1)) << "refused before anything is made or deleted";
    }
    EXPECT_EQ(TreeDigest(w.in.sourceDir), program);
    EXPECT_EQ(TreeDigest(w.in.dataDir), data);
}

TEST(BuildDriver, BuildsOnlyTheFolderAndStartFileTheUserSees)
{
    Workspace w;
    w.dir.write("other/setup.exe", "MZ another program");
    const QString target = w.dir.write("out.cab", "an earlier add-on");
    const auto build = [&](const BuildInputs& in, const std::function<void()>& whileSaveDialogIsOpen = {}) {
        RecordingUi ui;
        ui.answer = BuildUi::SaveChoice{target, OutputKind::Cabinet};
        ui.whileSaveDialogIsOpen = whileSaveDialogIsOpen;
        BuildDriver driver(ui);
        EXPECT_EQ(driver.Build(in), BuildDriver::Outcome::Error);
        EXPECT_FALSE(ui.positions.contains(1)) << "nothing was made";
        EXPECT_EQ(pwtest::ReadAll(target), "an earlier add-on");
        return driver.lastMessage;
    };
    const BuildTexts texts;

    BuildInputs typed = w.in;  // another folder typed over the one scanned, never read
    typed.folderText = w.dir.path("other");
    EXPECT_EQ(build(typed), texts.FolderNotReadStr.arg(typed.folderText));
    typed.folderText = w.dir.path("missing");
    EXPECT_EQ(build(typed), texts.FolderNotReadStr.arg(typed.folderText));

    BuildInputs unchosen = w.in;  // the scan of the new folder emptied the start-file list
    unchosen.startFile.clear();
    EXPECT_EQ(build(unchosen), texts.NoStartFileStr);

    EXPECT_EQ(build(w.in, [&] { QFile::remove(w.in.startFilePath()); }),
              texts.StartFileMissingStr.arg(w.in.startFile, w.in.sourceDir));
}

TEST(BuildDriver, ProgressHandlersMapThePackingTotalOntoOneToHundredAndOne)
{
    RecordingUi ui;
    BuildDriver driver(ui);
    driver.SevenZip1PreProgress(1000);
    EXPECT_EQ(driver.PackTotal, 1000);
    for (const qint64 done : {0, 999, 1000})
        driver.SevenZip1Progress(QString(), done, 0);
    EXPECT_EQ(ui.positions, (QList<double>{1, 100, 101}));

    driver.SevenZip1PreProgress(0);
    driver.SevenZip1Progress(QString(), 0, 0);
    EXPECT_EQ(ui.positions.back(), 101) << "a total of 0 means everything is packed, not a division by zero";
    driver.SevenZip1PreProgress(qint64(1) << 40);
    driver.SevenZip1Progress(QString(), qint64(1) << 39, 0);
    EXPECT_EQ(ui.positions.back(), 51) << "64-bit totals do not overflow";
}

TEST(BuildDriver, AVanishedFolderOrAnUnwritableOutputEndsInAClearError)
{
    Workspace w;
    QDir(w.in.sourceDir).removeRecursively();
    RecordingUi ui;
    ui.answer = BuildUi::SaveChoice{w.dir.path("out.cab"), OutputKind::Cabinet};
    BuildDriver driver(ui);
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error);
    EXPECT_FALSE(driver.lastMessage.isEmpty());
    EXPECT_FALSE(pwtest::Exists(w.dir.path("out.cab")));

    pwtest::ScratchMount readOnly(1 << 20);
    PW_REQUIRE_MOUNT(readOnly);
    ASSERT_TRUE(readOnly.makeReadOnly());
    Workspace v;
    RecordingUi ui2;
    ui2.answer = BuildUi::SaveChoice{readOnly.path("out.cab"), OutputKind::Cabinet};
    BuildDriver driver2(ui2);
    EXPECT_EQ(driver2.Build(v.in), BuildDriver::Outcome::Error);
    EXPECT_FALSE(driver2.lastMessage.isEmpty());
    EXPECT_FALSE(driver2.Busy);
}

namespace {

// A build of `w` refused for a name or value the add-on cannot carry: the build says so and makes nothing.
// An earlier file at the chosen path stays as it was, no partial file is left beside it, and no temporary
// file was written. Returns the message shown.
QString RefusedBuild(const Workspace& w, const BuildUi::SaveChoice& choice)
{
    const QString outputFolder = QFileInfo(choice.fileName).absolutePath();
    QDir().mkpath(outputFolder);
    QFile earlier(choice.fileName);
    EXPECT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier file") > 0);
    earlier.close();
    const QStringList before = TreeDigest(outputFolder);
    RecordingUi ui;
    ui.answer = choice;
    BuildDriver driver(ui);
    EXPECT_EQ(driver.Build(w.in), BuildDriver::Outcome::Error);
    EXPECT_EQ(ui.kinds, QList<MessageKind>{MessageKind::Warning}) << driver.lastMessage.toStdString();
    EXPECT_FALSE(ui.log.contains("status " + driver.texts.ProcessInfoStr)) << "no entries file was written";
    EXPECT_EQ(TreeDigest(outputFolder), before);
    EXPECT_EQ(TreeDigest(w.in.tempDir()), QStringList());
    return driver.lastMessage;
}

QString Refusal(const QString& subject, NameRule rule, const QString& detail = {})
{
    return RefusalText(NameRefused(subject, {rule, detail}), BuildTexts());
}

}  // namespace

// Both writers refuse the same names: the cabinet, through a walk of its own before it is written, the
// self-extractor's archive and a plain archive, on the items the packing gathered before its file exists.
TEST(BuildDriverNames, EveryWriterRefusesTheNamesWindowsCannotHold)
{
    const struct {
        const char* file;
        QStringList messages;  // two names of one folder come in the walk's order, the file system's own
    } cases[] = {
        {"x:", {Refusal("x:", NameRule::Character, ":")}},
        {"sub/trailing.", {Refusal("sub/trailing.", NameRule::DotOrBlankAtEnd)}},
        {"nul.txt", {Refusal("nul.txt", NameRule::DeviceName, "NUL")}},
        {"sub/README.txt", {Refusal("sub/README.txt", NameRule::SameNameButCase, "sub/Readme.txt"),
                            Refusal("sub/Readme.txt", NameRule::SameNameButCase, "sub/README.txt")}},
    };
    for (const auto& c : cases) {
        for (const auto& [compact, kind] : {std::pair{false, OutputKind::Cabinet}, {true, OutputKind::Cabinet},
                                            {true, OutputKind::PlainArchive}}) {
            const bool cabinet = kind == OutputKind::Cabinet;
            SCOPED_TRACE(std::string(c.file) + (compact ? (cabinet ? " self-extractor" : " plain archive") : " cabinet"));
            Workspace w;
            w.dir.write("app/7zS.sfx", "SFX-STUB");
            w.dir.write("program/sub/Readme.txt", "kept");
            w.dir.write(QStringLiteral("program/") + c.file, "refused");
            w.in.compact = compact;
            const QString message = RefusedBuild(w, {w.dir.path(cabinet ? "out/addon.cab" : "out/addon.7z"), kind});
            EXPECT_TRUE(c.messages.contains(message)) << message.toStdString();
        }
    }
}

// The folder's files go into the cabinet as they are: one whose name or size the cabinet cannot hold is
// named before anything is written, not met half-way through the cabinet.
TEST(BuildDriverNames, WhatACabinetCannotHoldIsNamedBeforeItIsWritten)
{
    Workspace w;
    const QString longName = QString(120, QLatin1Char('d')) + QLatin1Char('/') + QString(127, QLatin1Char('f'));
    w.dir.write(QStringLiteral("program/") + longName, "x");
    EXPECT_EQ(RefusedBuild(w, {w.dir.path("out/addon.cab"), OutputKind::Cabinet}),
              Refusal(longName, NameRule::TooLongForCabinet, QStringLiteral("svcpack\\") + QString(longName).replace('/', '\\')));

    Workspace v;
    QFile big(v.dir.write("program/big.iso"));
    ASSERT_TRUE(big.resize(0x7FFF8001));  // sparse
    EXPECT_EQ(RefusedBuild(v, {v.dir.path("out/addon.cab"), OutputKind::Cabinet}),
              Refusal("big.iso", NameRule::TooLargeForCabinet, "2147450881"));
}

TEST(BuildDriverNames, ValuesAndOutputNamesTheAddOnCannotCarry)
{
    Workspace w;
    w.dir.write("app/7zS.sfx", "SFX-STUB");
    w.dir.write("app/batchrunner.exe", "MZ runner");
    const BuildUi::SaveChoice cabinet{w.dir.path("out/addon.cab"), OutputKind::Cabinet};

    w.in.silentSwitch = QStringLiteral("/S\n[Evil]");
    EXPECT_EQ(RefusedBuild(w, cabinet), Refusal("/S\n[Evil]", NameRule::LineBreak));
    w.in.silentSwitch = QStringLiteral("/S");
    w.in.fields.Title = QStringLiteral("Title\r\n[Evil]");
    EXPECT_EQ(RefusedBuild(w, cabinet), Refusal("Title\r\n[Evil]", NameRule::LineBreak));
    w.in.fields.Title.clear();

    EXPECT_EQ(RefusedBuild(w, {w.dir.path("out/.cab"), OutputKind::Cabinet}), Refusal(".cab", NameRule::EmptyOutputName));
    w.in.compact = true;
    EXPECT_EQ(RefusedBuild(w, {w.dir.path("out/b3 ção😀.cab"), OutputKind::Cabinet}),
              Refusal("b3 ção😀.cab", NameRule::OutsideCodePage, "😀"));

    w.in.compact = false;
    w.in.startFile = QStringLiteral("setup%OS%.cmd");
    w.dir.write(QStringLiteral("program/") + w.in.startFile, "@echo off\r\n");
    EXPECT_EQ(RefusedBuild(w, cabinet), Refusal("setup%OS%.cmd", NameRule::PercentInBatchFile));
}
