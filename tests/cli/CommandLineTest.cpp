#include "cli/CommandLine.h"

#include "cli/CliTexts.h"
#include "cli/TerminalBuildUi.h"
#include "pipeline/BuildTexts.h"
#include "pipeline/PendingFiles.h"
#include "support/CabinetDecoders.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace pw;

namespace {

CommandLine Parse(const QStringList& args)
{
    return ParseCommandLine(args, CliTexts());
}

}  // namespace

TEST(CommandLine, OptionsBecomeTheWindowsInputs)
{
    const CommandLine cl = Parse({"--folder", "/p", "--start", "Setup.exe", "--switch", "/S", "--level=3", "--overwrite", "2", "--shortcut", "0,1,app\\run.exe,-x,Dir,Desc,Run",
                                  "--title", "Foo", "--addon-version", "1.0", "out/a.7z"});
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.inputs.sourceDir, QStringLiteral("/p"));
    EXPECT_EQ(cl.inputs.startFile, QStringLiteral("Setup.exe"));
    EXPECT_EQ(cl.inputs.silentSwitch, QStringLiteral("/S"));
    EXPECT_TRUE(cl.inputs.compact);
    EXPECT_FALSE(Parse({"--folder", "/p", "--start", "Setup.exe", "--no-compact", "x.cab"}).inputs.compact);
    EXPECT_EQ(cl.inputs.compressionLevel, 3);
    EXPECT_EQ(cl.inputs.overwriteMode, 2);
    EXPECT_EQ(cl.format, OutputKind::PlainArchive);
    EXPECT_TRUE(cl.output.endsWith(QStringLiteral("/out/a.7z")));
    ASSERT_EQ(cl.inputs.shortcuts.size(), 1);
    EXPECT_EQ(cl.inputs.shortcuts[0].caption, QStringLiteral("Área de trabalho"));
    EXPECT_EQ(cl.inputs.shortcuts[0].subItems,
              (QStringList{"app\\run.exe", "0", "1", "app\\run.exe", "-x", "Dir", "Desc", "Run"}));
    const BuildInputs filled = FilledInputs(cl);
    EXPECT_TRUE(filled.entriesText.contains(QStringLiteral("\ntitle=Foo\nversion=1.0\n")));
    EXPECT_EQ(filled.fields.Title, QStringLiteral("Foo"));
    EXPECT_EQ(filled.fields.Version, QStringLiteral("1.0"));
}

// Values are taken as given, also those that begin with "-" (an installer's "-s"), repeated options in
// their order, and the descriptive fields in the order they change the entries text.
TEST(CommandLine, ValuesAndRepeatedOptionsAreTakenInTheOrderGiven)
{
    const CommandLine cl = Parse({"--title", "A", "--switch", "-s", "--shortcut", "0,0,a.exe,,,,A", "--addon-version", "1",
                                  "--folder", "/p", "--start", "setup.exe", "--title=B", "--shortcut",
                                  "3,6,b.exe,,,,B", "--", "-out.cab"});
    ASSERT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.inputs.silentSwitch, QStringLiteral("-s"));
    ASSERT_EQ(cl.inputs.shortcuts.size(), 2);
    EXPECT_EQ(cl.inputs.shortcuts[0].subItem(ShortcutEntry::Name), QStringLiteral("A"));
    EXPECT_EQ(cl.inputs.shortcuts[1].subItem(ShortcutEntry::Name), QStringLiteral("B"));
    EXPECT_EQ(cl.inputs.shortcuts[1].caption, QStringLiteral("Inicialização"));
    EXPECT_EQ(cl.fields, (QList<FieldValue>{{&DescriptiveFields::Title, "A"},
                                            {&DescriptiveFields::Version, "1"},
                                            {&DescriptiveFields::Title, "B"}}));
    EXPECT_TRUE(cl.output.endsWith(QStringLiteral("/-out.cab")));
}

// --help and the parser come from one table: every option --help names is one the parser takes.
TEST(CommandLine, EveryOptionTheHelpNamesIsTaken)
{
    const QString help = UsageText(CliTexts());
    QStringList named;
    for (const QString& word : help.split(QRegularExpression(QStringLiteral("[\\s,()]+")))) {
        if (word.startsWith(QLatin1String("--")) && word.size() > 2)
            named.append(word);
    }
    named.removeDuplicates();
    EXPECT_GE(named.size(), 18) << help.toStdString();
    EXPECT_TRUE(help.contains("\n     packwright-build --from ADDON [--folder DIR] [--start FILE] [opções]"))
        << help.toStdString();
    for (const QString& option : named) {
        const CommandLine cl = Parse({option, "1", "x"});
        EXPECT_NE(cl.error, CliTexts().UnknownOptionStr.arg(option)) << option.toStdString();
    }
    EXPECT_TRUE(Parse({"-h"}).help);
}

TEST(CommandLine, FormatDefaultsAndUsageErrors)
{
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.cab"}).format, OutputKind::Cabinet);
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.7Z"}).format, OutputKind::PlainArchive);
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "--format", "cab", "x.7z"}).format, OutputKind::Cabinet);
    for (const QStringList& bad :
         {QStringList{"--start", "s", "x"}, {"--folder", "f", "x"}, {"--folder", "f", "--start", "s"},
          {"--folder", "f", "--start", "s", "a", "b"}, {"--folder", "f", "--start", "s", "--level", "5", "x"},
          {"--folder", "f", "--start", "s", "--shortcut", "4,0,a,b,c,d,e", "x"},
          {"--folder", "f", "--start", "s", "--shortcut", "0,0,a", "x"}, {"--bogus", "x"},
          {"--folder", "f", "--start", "s", "--shortcut", "0,1,,,,,", "x"},
          {"--folder", "f", "--start", "s", "--format", "zip", "x"}, {"--folder"},
          {"--folder", "f", "--start", "s", "--shortcut", "0,0,a,b,c,d,e", "--no-compact", "x"},
          {"--no-compact", "--folder", "f", "--start", "s", "--shortcut", "0,0,a,b,c,d,e", "x"}})
        EXPECT_FALSE(Parse(bad).error.isEmpty()) << bad.join(' ').toStdString();
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
    EXPECT_TRUE(Parse({"--folder", "f", "--start", "s", "--version"}).version);
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.CAB"}).warning, QString());
    EXPECT_EQ(Parse({"--folder", "f", "--start", "s", "x.7z"}).warning, QString());
    EXPECT_TRUE(Parse({"--folder", "f", "--start", "s", "x.zip"}).warning.contains("x.zip"));
    EXPECT_FALSE(Parse({"--folder", "f", "--start", "s", "x"}).warning.isEmpty());
    // An .inf runs without a switch; the window keeps its switch field closed for one.
    EXPECT_FALSE(Parse({"--folder", "f", "--start", "d.INF", "--switch", "/S", "x"}).error.isEmpty());
    EXPECT_TRUE(Parse({"--folder", "f", "--start", "d.msi", "--switch", "/S", "x"}).error.isEmpty());
}

TEST(CommandLine, InputsAreCheckedAsTheWindowChecksThem)
{
    pwtest::TempDir dir;
    BuildInputs in;
    in.sourceDir = dir.path("missing");
    in.startFile = QStringLiteral("setup.exe");
    EXPECT_FALSE(CheckInputs(in, BuildTexts()).isEmpty());
    in.sourceDir = dir.mkdir("p").chopped(1);
    EXPECT_FALSE(CheckInputs(in, BuildTexts()).isEmpty()) << "an empty folder";
    dir.write("p/readme.txt");
    dir.mkdir("p/setup.exe");
    EXPECT_FALSE(CheckInputs(in, BuildTexts()).isEmpty()) << "a folder named like a start file";
    dir.write("p/Setup.exe");
    in.startFile = QStringLiteral("Setup.exe");
    EXPECT_TRUE(CheckInputs(in, BuildTexts()).isEmpty());
}

// --try takes the add-on and its time limit, and nothing of a build, which it would silently drop.
TEST(CommandLine, TryTakesAnAddOnAndATimeLimitOnly)
{
    const CommandLine tried = Parse(
        {"--try", "a.cab", "--time-limit", "30", "--language-file", "English", "--target", "XP64", "--strict"});
    ASSERT_TRUE(tried.error.isEmpty()) << tried.error.toStdString();
    EXPECT_EQ(tried.tryAddon, QStringLiteral("a.cab"));
    EXPECT_EQ(tried.timeLimitSeconds, 30);
    EXPECT_EQ(tried.target, WindowsTarget::Xp64);
    EXPECT_TRUE(tried.strict);
    const CommandLine plain = Parse({"--try", "a.cab"});
    EXPECT_EQ(plain.timeLimitSeconds, 600) << "ten minutes unless told";
    EXPECT_EQ(plain.target, WindowsTarget::Xp);
    EXPECT_FALSE(plain.strict);
    // Several add-ons run in the order given; a folder gives its .cab files in name order.
    pwtest::TempDir dir;
    dir.write("disc/b.cab");
    dir.write("disc/A.cab");
    dir.write("disc/notes.txt");
    dir.mkdir("empty");
    EXPECT_EQ(Parse({"--try", "z.cab", dir.path("disc"), "a.cab"}).tryAddons,
              (QStringList{"z.cab", dir.path("disc/A.cab"), dir.path("disc/b.cab"), "a.cab"}));
    EXPECT_FALSE(Parse({"--try", dir.path("empty")}).error.isEmpty());
    for (const QStringList& bad :
         {QStringList{"--try", "a.cab", "--folder", "p"}, {"--try", "a.cab", "--switch", "/S"},
          {"--try", "a.cab", "--time-limit", "0"}, {"--try", "a.cab", "--time-limit", "ten"}, {"--try", ""},
          {"--folder", "f", "--start", "s", "--time-limit", "30", "x.cab"}, {"--try", "a.cab", "--target", "vista"},
          {"--folder", "f", "--start", "s", "--strict", "x.cab"}})
        EXPECT_FALSE(Parse(bad).error.isEmpty()) << bad.join(' ').toStdString();
}

// Without --switch an .exe of a recognised installer takes its switch, and says so; --switch "" and an
// unknown installer build without one, with a warning, unless the output is no add-on.
TEST(CommandLine, TheSwitchOfARecognisedInstallerUnlessOneIsGiven)
{
    pwtest::TempDir dir;
    dir.write("p/setup.exe", pwtest::ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/InnoSetup.exe")));
    dir.write("p/tool.exe", pwtest::ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/Plain.exe")));
    const QString innoSwitch = QStringLiteral("/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-");
    const BuildTexts texts;
    auto notesOf = [&](const QStringList& args, QString* finalSwitch) {
        CommandLine cl = Parse(QStringList{"--folder", dir.path("p")} + args);
        EXPECT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
        cl.inputs.appDir = QStringLiteral(PW_LANGUAGES_DIR "/../");  // the shipped switch table
        const SwitchNotes notes = ChooseSwitch(cl, texts);
        *finalSwitch = FilledInputs(cl).silentSwitch;
        return notes;
    };
    QString used;
    SwitchNotes notes = notesOf({"--start", "setup.exe", "o.cab"}, &used);
    EXPECT_EQ(used, innoSwitch);
    EXPECT_EQ(notes.offered, texts.KindSwitchStr.arg(QStringLiteral("Inno Setup"), innoSwitch));
    EXPECT_TRUE(notes.warning.isEmpty());

    notes = notesOf({"--start", "setup.exe", "--switch", "/SILENT", "o.cab"}, &used);
    EXPECT_EQ(used, QStringLiteral("/SILENT"));
    EXPECT_TRUE(notes.offered.isEmpty());
    EXPECT_TRUE(notes.warning.isEmpty());

    notes = notesOf({"--start", "setup.exe", "--switch", "", "o.cab"}, &used);
    EXPECT_TRUE(used.isEmpty()) << "an empty --switch means none";
    EXPECT_TRUE(notes.offered.isEmpty());
    EXPECT_EQ(notes.warning, texts.NoSwitchStr.arg(QStringLiteral("setup.exe")));

    notes = notesOf({"--start", "tool.exe", "o.cab"}, &used);
    EXPECT_TRUE(used.isEmpty());
    EXPECT_TRUE(notes.offered.isEmpty());
    EXPECT_FALSE(notes.warning.isEmpty());

    notes = notesOf({"--start", "tool.exe", "o.7z"}, &used);
    EXPECT_TRUE(notes.warning.isEmpty()) << "a plain archive runs nothing";
}

// --version answers as every command-line tool does; shortcuts, which only the self-extractor makes, are
// refused beside --no-compact rather than dropped; an OUTPUT of another extension is made, with a word.
TEST(CommandLineTool, VersionShortcutsWithoutSelfExtractorAndOutputExtension)
{
    pwtest::TempDir dir;
    const QString home = dir.path("home");
    const ToolRun version = RunTool({"--version"}, home);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("packwright-build " PW_PROGRAM_VERSION "\n"));
    EXPECT_EQ(version.err, QString());
    EXPECT_TRUE(RunTool({"--help"}, home).out.contains("--addon-version <V>"));

    dir.write("p/setup.exe", "MZ");
    const ToolRun dropped = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", "--shortcut",
                                     "0,1,setup.exe,,,,Setup", dir.path("Demo.cab")},
                                    home);
    EXPECT_EQ(dropped.exitCode, 2);
    EXPECT_TRUE(dropped.err.contains(CliTexts().ShortcutNoCompactStr)) << dropped.err.toStdString();
    EXPECT_FALSE(pwtest::Exists(dir.path("Demo.cab")));

    const ToolRun odd = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", dir.path("Demo.zip")},
                                home);
    EXPECT_EQ(odd.exitCode, 0) << odd.err.toStdString();
    EXPECT_TRUE(odd.err.startsWith("packwright-build: " +
                                   CliTexts().WarningStr.arg(CliTexts().OddExtensionStr.arg(dir.path("Demo.zip")))))
        << odd.err.toStdString();
    EXPECT_TRUE(pwtest::Exists(dir.path("Demo.zip")));
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
    EXPECT_TRUE(built.err.contains(BuildTexts().NoSwitchStr.arg("setup.exe"))) << "built, with a warning";
    EXPECT_TRUE(pwtest::Exists(dir.path("o.cab")));
    EXPECT_TRUE(pwtest::Exists(home + QStringLiteral("/Brontel/Packwright/temp")));

    // A reader that has gone (`| head -1`) loses the lines, not the add-on.
    QProcess piped;
    StartTool(piped, {"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", dir.path("piped.cab")}, home);
    piped.closeReadChannel(QProcess::StandardOutput);
    ASSERT_TRUE(piped.waitForFinished(120000));
    EXPECT_EQ(piped.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(piped.exitCode(), 0);
    EXPECT_TRUE(pwtest::Exists(dir.path("piped.cab")));
    EXPECT_EQ(QDir(home + QStringLiteral("/Brontel/Packwright/temp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList()) << "no scratch folder left";
}

// A start file that would not run on the disc's Windows is built, with the reason on the error output.
TEST(CommandLineTool, TheDiscsWindowsWarnsWithoutChangingTheStatus)
{
    pwtest::TempDir dir;
    const QString home = dir.path("home");
    dir.write("p/setup.exe", pwtest::ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/Plain.exe")));  // x86-64
    const QString warning = BuildTexts().TargetMachineStr.arg("setup.exe", "x86-64", "Windows XP");
    struct Case {
        QStringList target;
        bool warned;
    };
    for (const Case& c : {Case{{}, true}, Case{{"--target", "XP"}, true}, Case{{"--target", "xp64"}, false}}) {
        const ToolRun run = RunTool(QStringList{"--folder", dir.path("p"), "--start", "setup.exe", "--switch", "/S",
                                                "--no-compact", dir.path("o.cab")} + c.target, home);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.contains(warning), c.warned) << c.target.join(' ').toStdString() << ": " << run.err.toStdString();
    }
    const ToolRun bad = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--target", "vista", dir.path("o.cab")}, home);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(CliTexts().TargetStr.arg("vista"))) << bad.err.toStdString();
}

TEST(CommandLineTool, AnOutputFolderThatCannotTakeTheFileIsNamedAndNotMade)
{
    pwtest::TempDir dir;
    dir.write("p/setup.exe", "MZ");
    const BuildTexts texts;
    for (const char* name : {"typo/out.cab", "typo/out.7z"}) {
        const ToolRun run = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", dir.path(name)},
                                    dir.path("home"));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("packwright-build: %1\n%2\n").arg(texts.ErrMessageStr,
                                                                          texts.NoFolderStr.arg(dir.path("typo"))));
        EXPECT_FALSE(pwtest::Exists(dir.path("typo")));
    }
    // A folder of the system that makes no file: the cause in the language's words, not the libraries'
    // (as a user other than root, the folder is refused before the build as read-only).
    const bool root = ::geteuid() == 0;
    for (const QString& name : {QStringLiteral("/proc/out.cab"), QStringLiteral("/proc/out.7z")}) {
        const ToolRun run = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", name}, dir.path("home"));
        EXPECT_EQ(run.exitCode, 1);
        const QString heading = root && name.endsWith(".cab") ? texts.CabinetNotMadeStr.arg(name) : texts.ErrMessageStr;
        const QString cause = (root ? texts.FolderTakesNoFilesStr : texts.ReadOnlyFolderStr).arg("/proc");
        EXPECT_TRUE(run.err.endsWith(QStringLiteral("packwright-build: %1\n%2\n").arg(heading, cause))) << run.err.toStdString();
    }
}

TEST(CommandLineTool, CompactedAddOnAndPlainArchiveEndToEnd)
{
    // A copy of the program beside a stand-in self-extractor module: that folder is its AppDir.
    pwtest::TempDir dir;
    const QString program = CopyOfTheTool(dir);
    ASSERT_FALSE(program.isEmpty());
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

TEST(CommandLineTool, ACompactedMsiAddOnCarriesItsRunnerAndAMissingOneIsNamedWithItsFolder)
{
    pwtest::TempDir dir;
    const QString program = CopyOfTheTool(dir);
    ASSERT_FALSE(program.isEmpty());
    dir.write("app/7zS.sfx", "SFX-STUB");
    dir.write("p/setup.msi", "msi");
    const QString home = dir.path("home");
    const QStringList args{"--folder", dir.path("p"), "--start", "setup.msi", "--switch", "/norestart"};

    for (const QStringList& kind : {QStringList(), QStringList{"--no-compact"}}) {
        const ToolRun missing = RunTool(args + kind + QStringList{dir.path("Demo.cab")}, home, program);
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_TRUE(missing.err.contains(QStringLiteral("\"msistub.exe\"")) &&
                    missing.err.contains(QStringLiteral("\"%1/\"").arg(dir.path("app"))))
            << missing.err.toStdString();
        EXPECT_FALSE(missing.out.contains(BuildTexts().MessageStr)) << missing.out.toStdString();
        EXPECT_FALSE(pwtest::Exists(dir.path("Demo.cab")));
    }

    dir.write("app/msistub.exe", "MZ runner");
    const ToolRun built = RunTool(args + QStringList{dir.path("Demo.cab")}, home, program);
    ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
    ASSERT_TRUE(pwtest::RunTool(QStringLiteral("cabextract"), {"-q", "-d", dir.path("x"), dir.path("Demo.cab")}).ok);
    const QByteArray installer = pwtest::ReadAll(dir.path("x/svcpack/Demo.exe"));
    EXPECT_TRUE(installer.contains("RunProgram=\"msistub setup.msi /norestart /qb-!\"")) << installer.left(200).data();
    const qsizetype archiveStart = installer.indexOf(QByteArray("7z\xBC\xAF\x27\x1C", 6));
    ASSERT_GT(archiveStart, 0);
    const QString archive = dir.write("inner.7z", installer.mid(archiveStart));
    const pwtest::ToolRun listing = pwtest::RunTool(QStringLiteral("7z"), {"l", "-slt", archive});
    EXPECT_TRUE(listing.output.contains("Path = msistub.exe\n") && listing.output.contains("Path = setup.msi\n"))
        << listing.output.toStdString();
}

TEST(CommandLineTool, AnArchiveThatCouldNotBeWrittenIsAFailureAndTheEarlierFileStays)
{
    pwtest::ScratchMount disk(1 << 20);
    PW_REQUIRE_MOUNT(disk);
    pwtest::TempDir dir;
    dir.write("p/setup.exe", "MZ");
    QByteArray noise(3 << 20, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& c : noise)
        c = char((x = x * 1664525u + 1013904223u) >> 24);
    dir.write("p/data.bin", noise);
    const QString target = disk.path("out.7z");
    {
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier archive");
    }
    const ToolRun run = RunTool({"--folder", dir.path("p"), "--start", "setup.exe", target}, dir.path("home"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.out.contains(BuildTexts().MessageStr)) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(BuildTexts().ErrMessageStr)) << run.err.toStdString();
    EXPECT_EQ(pwtest::ReadAll(target), QByteArray("an earlier archive"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.7z"});
}

TEST(CommandLineTool, ASecondInterruptEndsAtOnceAndTakesTheHalfWrittenFileWithIt)
{
    pwtest::TempDir dir;
    const QString target = dir.path("out.7z");
    const pid_t child = ::fork();
    if (child == 0) {
        TerminalBuildUi::CatchInterrupts();
        WriteThroughPartialFile(target, [](const QString& partial) {
            QFile file(partial);
            if (file.open(QIODevice::WriteOnly))
                file.write("half an archive");
            file.close();
            ::raise(SIGINT);  // asks the build to stop
            ::raise(SIGINT);  // comes before it has stopped: the program ends here
            return true;
        });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
}

TEST(CommandLineTool, AnInterruptStopsThePackingAndLeavesNoArchive)
{
    pwtest::TempDir dir;
    const ToolRun run = StopWhilePacking(dir, dir.path("home"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("packwright-build: ") + BuildTexts().StoppedStr.arg(dir.path("out.7z")) + '\n');
    EXPECT_FALSE(pwtest::Exists(dir.path("out.7z")));
}

TEST(CommandLineTool, AnInterruptWhileTheCabinetIsWrittenStopsTheBuildAndLeavesNoCabinet)
{
    pwtest::TempDir dir;
    dir.write(QStringLiteral("p/setup.exe"), "MZ");
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        QFile big(dir.write(QStringLiteral("p/") + QLatin1String(name)));
        ASSERT_TRUE(big.resize(qint64(1) << 30));  // sparse: quick to make, seconds to compress
    }
    const QString cabinet = dir.write(QStringLiteral("out.cab"), "an earlier add-on");
    QProcess tool;
    StartTool(tool, {"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", cabinet},
              dir.path(QStringLiteral("home")));
    QByteArray out;
    const QByteArray cabinetStatus = BuildTexts().CompactCABStr.toUtf8();
    while (!out.contains(cabinetStatus) && tool.waitForReadyRead(30000))
        out += tool.readAllStandardOutput();
    ASSERT_TRUE(out.contains(cabinetStatus)) << out.data();
    ::kill(pid_t(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains(BuildTexts().StoppedStr.arg(cabinet).toUtf8()));
    EXPECT_EQ(pwtest::ReadAll(cabinet), "an earlier add-on");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList("out.cab"));
}
