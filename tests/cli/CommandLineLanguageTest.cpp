// The language packwright-build speaks: the one chosen in the window, the locale's before the window has
// run, and the one a language file names, in every line it prints.
#include "cli/CommandLine.h"

#include "language/LanguageFile.h"
#include "pipeline/BuildTexts.h"
#include "support/CabinetDecoders.h"
#include "support/TempDir.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace pw;

namespace {

// A copy of the program beside the shipped language files, with a data folder whose settings file holds
// `settings` (none when empty), and a program folder.
struct LanguageCase {
    pwtest::TempDir dir;
    QString program, home;

    explicit LanguageCase(const QByteArray& settings)
    {
        dir.mkdir("app/languages");
        program = CopyOfTheTool(dir);
        EXPECT_FALSE(program.isEmpty());
        for (const QString& name : {QStringLiteral("English.qmr"), QStringLiteral("Português (Brasil).qmr")})
            EXPECT_TRUE(QFile::copy(QStringLiteral(PW_LANGUAGES_DIR "/") + name, dir.path("app/languages/" + name)));
        home = dir.path("home");
        if (!settings.isEmpty())
            dir.write("home/Brontel/Packwright/config.qmr", settings);
        dir.write("p/setup.exe", pwtest::ReadAll(QStringLiteral(PW_SAMPLES "/DemoApp/setup.exe")));
        dir.write("p/readme.txt");
    }
    ToolRun Build(const QStringList& extra) const
    {
        return RunTool(QStringList{"--folder", dir.path("p"), "--start", "setup.exe", "--no-compact", dir.path("Demo.cab")} +
                           extra, home, program);
    }
    ToolRun Fail(const QStringList& extra) const
    {
        return RunTool(QStringList{"--folder", dir.path("p"), "--start", "readme.txt", dir.path("Demo.cab")} + extra,
                       home, program);
    }
};

// Every line, as written by the program, that a build, a failure and a stop print in one language.
struct Speech {
    QStringList build;
    QString noSwitch;  // the warning after the build: its setup.exe runs without a switch
    QString failure;
    QStringList stop;
    QString stopped;
};

Speech English(const pwtest::TempDir& dir)
{
    return {{"Starting ...", "Processing information ...", "Compressing the cabinet ...  (press Ctrl+C to stop)",
             "File created successfully!",
             "Deleting temporary files ...", "File created: " + dir.path("Demo.cab")},
            "packwright-build: \"setup.exe\" will run without a silent installation switch: during Windows setup it "
            "may open its first page and wait there for ever.\n",
            "packwright-build: \"readme.txt\" is not an installer of the folder \"" + dir.path("p") +
                "\" (an .exe, .bat, .cmd, .com, .msi or .inf file in that folder).\n",
            {"Starting ...", "Compressing with 7-Zip ...  (press Ctrl+C to stop)", "Deleting temporary files ..."},
            "packwright-build: Stopped: the file \"" + dir.path("out.7z") + "\" was not created.\n"};
}

Speech Portuguese(const pwtest::TempDir& dir)
{
    return {{"Inicializando processos ...", "Processando informações ...", "Compactando CAB ...  (tecle Ctrl+C para interromper)",
             "Arquivo criado com sucesso!", "Excluindo arquivos temporários ...", "Arquivo criado: " + dir.path("Demo.cab")},
            "packwright-build: " + BuildTexts().NoSwitchStr.arg("setup.exe") + "\n",
            "packwright-build: \"readme.txt\" não é um programa de instalação da pasta \"" + dir.path("p") +
                "\" (um arquivo .exe, .bat, .cmd, .com, .msi ou .inf dessa pasta).\n",
            {"Inicializando processos ...", "Compactando com 7-Zip ...  (tecle Ctrl+C para interromper)",
             "Excluindo arquivos temporários ..."},
            "packwright-build: Interrompido: o arquivo \"" + dir.path("out.7z") + "\" não foi criado.\n"};
}

void ExpectSpeech(const LanguageCase& c, const QStringList& extra, const Speech& speech)
{
    const ToolRun build = c.Build(extra);
    EXPECT_EQ(build.exitCode, 0) << build.err.toStdString();
    EXPECT_EQ(build.out.split('\n', Qt::SkipEmptyParts), speech.build);
    EXPECT_EQ(build.err, speech.noSwitch);
    const ToolRun failure = c.Fail(extra);
    EXPECT_EQ(failure.exitCode, 1);
    EXPECT_EQ(failure.out, QString());
    EXPECT_EQ(failure.err, speech.failure);
    const ToolRun stop = StopWhilePacking(c.dir, c.home, extra, c.program);
    EXPECT_EQ(stop.out.split('\n', Qt::SkipEmptyParts), speech.stop);
    EXPECT_EQ(stop.err, speech.stopped);
}

}  // namespace

TEST(CommandLineLanguage, TheLanguageChosenInTheWindowSpeaksEveryLine)
{
    const LanguageCase english("[Main]\r\nLanguage=english\r\n");
    ExpectSpeech(english, {}, English(english.dir));
    const LanguageCase portuguese("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n");
    ExpectSpeech(portuguese, {}, Portuguese(portuguese.dir));
}

namespace {

// The locale variables the tool is started with, for the life of the object: LANG, and LC_ALL and
// LC_MESSAGES when given (unset when not).
class LocaleScope {
public:
    explicit LocaleScope(const char* lang, const char* lcAll = nullptr, const char* lcMessages = nullptr)
    {
        for (const char* name : kNames)
            saved_.append(qgetenv(name));
        const char* values[] = {lang, lcAll, lcMessages};
        for (int i = 0; i < 3; ++i)
            values[i] ? qputenv(kNames[i], values[i]) : qunsetenv(kNames[i]);
    }
    ~LocaleScope()
    {
        for (int i = 0; i < 3; ++i)
            saved_[i].isNull() ? qunsetenv(kNames[i]) : qputenv(kNames[i], saved_[i]);
    }

private:
    static constexpr const char* kNames[] = {"LANG", "LC_ALL", "LC_MESSAGES"};
    QList<QByteArray> saved_;
};

// The first line a build prints: the language it speaks.
QString FirstLine(const ToolRun& run)
{
    return run.out.section(QLatin1Char('\n'), 0, 0);
}

}  // namespace

// Before the window has ever run there is no settings file: the first language comes from the locale, as
// the window's launcher chooses it, and nothing is written.
TEST(CommandLineLanguage, AFirstRunSpeaksTheLanguageOfTheLocaleAndALanguageFileChosenHere)
{
    const LanguageCase none("");
    {
        const LocaleScope portuguese("pt_BR.UTF-8");
        ExpectSpeech(none, {}, Portuguese(none.dir));
    }
    const QString english = QStringLiteral("Starting ...");
    const QString portuguese = QStringLiteral("Inicializando processos ...");
    struct Locale {
        const char *lang, *lcAll, *lcMessages;
        QString speaks;
    };
    for (const Locale& l : {Locale{"en_US.UTF-8", nullptr, nullptr, english}, Locale{"C.UTF-8", nullptr, nullptr, english},
                            Locale{nullptr, nullptr, nullptr, english}, Locale{"de_DE.UTF-8", "pt_PT.UTF-8", "", portuguese},
                            Locale{"pt_BR.UTF-8", "", "en_GB.UTF-8", english}}) {
        const LocaleScope scope(l.lang, l.lcAll, l.lcMessages);
        EXPECT_EQ(FirstLine(none.Build({})), l.speaks) << (l.lang ? l.lang : "no LANG");
    }
    EXPECT_FALSE(pwtest::Exists(none.home + "/Brontel/Packwright/config.qmr")) << "only the window writes it";

    const LanguageCase chosen("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n");
    ExpectSpeech(chosen, {"--language-file", "ENGLISH"}, English(chosen.dir));
    EXPECT_EQ(FirstLine(chosen.Build({"--language-file", "en"})), english);
    const LanguageCase stored("[Main]\r\nLanguage=English\r\n");
    EXPECT_EQ(FirstLine(stored.Build({"--language-file", "PT"})), portuguese);
}

// The language of the start file's version data is named in the program's language, not the host's:
// the same settings give the same entries file under any LANG.
TEST(CommandLineLanguage, TheStartFilesLanguageIsNamedInTheProgramsLanguageUnderAnyLocale)
{
    const LanguageCase c("");
    c.dir.mkdir("q");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PW_SAMPLES "/DemoApp/setup.exe"), c.dir.path("q/setup.exe")));
    auto languageLine = [&](const char* lang, const QString& languageFile) {
        const LocaleScope scope(lang);
        const QString cabinet = c.dir.path("L.cab");
        QFile::remove(cabinet);
        const ToolRun run = RunTool({"--folder", c.dir.path("q"), "--start", "setup.exe", "--no-compact",
                                     "--language-file", languageFile, cabinet},
                                    c.home, c.program);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QDir(c.dir.path("x")).removeRecursively();
        const pwtest::ToolRun unpack = pwtest::RunTool(QStringLiteral("cabextract"),
                                                       {QStringLiteral("-q"), QStringLiteral("-d"), c.dir.path("x"), cabinet});
        EXPECT_TRUE(unpack.ok) << unpack.output.toStdString();
        const QByteArray entries = pwtest::ReadAll(c.dir.path("x/ENTRIES_L.ini"));
        const qsizetype at = entries.indexOf("\nlanguage=");
        return entries.mid(at + 1, entries.indexOf('\r', at) - at - 1);
    };
    const QByteArray english = languageLine("C.UTF-8", "en");
    EXPECT_TRUE(english.startsWith("language=") && english.size() > 9) << english.data();
    EXPECT_EQ(languageLine("pt_BR.UTF-8", "en"), english);
    const QByteArray portuguese = languageLine("C.UTF-8", "pt");
    EXPECT_NE(portuguese, english);
    EXPECT_EQ(languageLine("en_US.UTF-8", "pt"), portuguese);
}

TEST(CommandLineLanguage, TheOfferedSwitchAndWhyATryCannotStartAreSaidInTheChosenLanguage)
{
    const LanguageCase c("[Main]\r\nLanguage=english\r\n");
    c.dir.write("p/setup.exe", pwtest::ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/InnoSetup.exe")));
    // The stub is an x86-64 program, which only XP x64 runs.
    const ToolRun built = c.Build({"--target", "xp64"});
    EXPECT_EQ(built.exitCode, 0) << built.err.toStdString();
    EXPECT_EQ(built.out.split('\n').value(0),
              QStringLiteral("Inno Setup installer: switch /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-"));
    EXPECT_EQ(built.err, QString());
    const pwtest::ToolRun entries =
        pwtest::RunTool(QStringLiteral("cabextract"), {"-q", "-p", "-F", "ENTRIES_DEMO.ini", c.dir.path("Demo.cab")});
    EXPECT_TRUE(entries.output.contains(QStringLiteral("setup.exe /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-")))
        << "the add-on runs it with the switch said: " << entries.output.toStdString();

    const ToolRun tried = RunTool({"--try", c.dir.path("missing.cab")}, c.home, c.program);
    EXPECT_EQ(tried.exitCode, 2);
    EXPECT_EQ(tried.err, "packwright-build: The add-on \"" + c.dir.path("missing.cab") +
                             "\" does not exist or cannot be read.\n");
    EXPECT_EQ(tried.out, QString());
}

// Everything the command line says about itself follows the language too: --help, which names the window's
// button by its caption in that language, its own usage errors, the parser's, and the warning about the
// extension of OUTPUT.
TEST(CommandLineLanguage, HelpUsageErrorsAndWarningsSpeakTheChosenLanguage)
{
    const LanguageCase englishWindow("[Main]\r\nLanguage=English\r\n");
    const LanguageCase portugueseWindow("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n");
    struct Speech {
        QString heading, button, required, unknown, missing, odd, seeHelp;
    };
    const QString createFile =
        LanguageFile(QStringLiteral(PW_LANGUAGES_DIR "/English.qmr")).String("iCreateFile", {}).remove('&');
    const Speech english{"Options:", '"' + createFile + '"', "--folder is required", "unknown option: --bogus",
                         "--entries needs a value", "warning: %1 ends in neither .cab nor .7z",
                         "Try 'packwright-build --help'."};
    const Speech portuguese{"Opções:", "\"Criar arquivo\"", "--folder é obrigatório", "opção desconhecida: --bogus",
                            "--entries precisa de um valor", "aviso: %1 não termina em .cab nem em .7z",
                            "Veja 'packwright-build --help'."};
    struct Case {
        const char* name;
        const LanguageCase& c;
        QStringList language;
        const Speech &says, &other;
    };
    for (const Case& t : {Case{"pt by option", englishWindow, {"--language-file", "pt"}, portuguese, english},
                          Case{"pt by window", portugueseWindow, {}, portuguese, english},
                          Case{"en by window", englishWindow, {}, english, portuguese},
                          Case{"en by option", portugueseWindow, {"--language-file=en"}, english, portuguese}}) {
        auto run = [&t](const QStringList& args) { return RunTool(t.language + args, t.c.home, t.c.program); };
        const std::string label = t.name + std::string(": ");
        const QString help = run({"--help"}).out;
        EXPECT_TRUE(help.contains(t.says.heading) && help.contains(t.says.button)) << label << help.toStdString();
        EXPECT_FALSE(help.contains(t.other.heading) || help.contains(t.other.button)) << label << help.toStdString();
        auto usageError = [&t](const QString& error) {
            return "packwright-build: " + error + '\n' + t.says.seeHelp + '\n';
        };
        EXPECT_EQ(run({"--start", "s.exe", "x.cab"}).err, usageError(t.says.required)) << label;
        EXPECT_EQ(run({"--bogus"}).err, usageError(t.says.unknown)) << label;
        EXPECT_EQ(run({"--entries"}).err, usageError(t.says.missing)) << label;
        const QString zip = t.c.dir.path("Demo.zip");
        const ToolRun odd = run({"--folder", t.c.dir.path("p"), "--start", "readme.txt", zip});
        EXPECT_TRUE(odd.err.startsWith("packwright-build: " + t.says.odd.arg(zip))) << label << odd.err.toStdString();
    }
}

// A language file that is not there is named in the language the build speaks without one.
TEST(CommandLineLanguage, AnUnknownLanguageFileIsAUsageErrorInTheLanguageSpokenWithoutIt)
{
    const LanguageCase english("[Main]\r\nLanguage=English\r\n");
    const LanguageCase none("");
    using Said = std::pair<const LanguageCase&, QString>;
    for (const auto& [c, error] : {Said{english, "packwright-build: --language-file: no language file named Klingon"},
                                   Said{none, "packwright-build: --language-file: não há arquivo de idioma chamado Klingon"}}) {
        const ToolRun run = c.Build({"--language-file", "Klingon"});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith(error)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("English, Português (Brasil)")) << run.err.toStdString();
        EXPECT_FALSE(pwtest::Exists(c.dir.path("Demo.cab")));
    }
}

TEST(CommandLineLanguage, AnUnusableWorkingFolderIsNamedWithWhyInTheChosenLanguage)
{
    const LanguageCase c("[Main]\r\nLanguage=english\r\n");
    c.dir.write("home/Brontel/Packwright/temp", "a file where the working folder should be");
    const ToolRun run = c.Build({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("packwright-build: An error occurred while creating the file!\n\"%1/\" is not a "
                                      "folder.\n")
                           .arg(c.home + "/Brontel/Packwright/temp"));
    EXPECT_FALSE(pwtest::Exists(c.dir.path("Demo.cab")));
}

// A name or value the add-on cannot carry ends the command with 1 and a message, in the language chosen,
// that names it and says why; nothing is made and an earlier file of that name stays as it was.
TEST(CommandLineLanguage, ANameOrValueTheAddOnCannotCarryIsNamedAndNothingIsMade)
{
    const LanguageCase c("");
    c.dir.write("p/sub/a:b.txt", "x");
    const QString earlier = c.dir.write("Demo.cab", "an earlier add-on");
    const QString character = QStringLiteral("\":\" (U+003A)");
    const std::pair<QStringList, QString> languages[] = {
        {{}, BuildTexts().NameCharacterStr.arg(QStringLiteral("sub/a:b.txt"), character)},
        {{"--language-file", "English"},
         "The name \"sub/a:b.txt\" holds the character " + character +
             ", which Windows does not allow in file names. Rename it and create the file again."}};
    for (const auto& [extra, message] : languages) {
        const ToolRun run = c.Build(extra);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("packwright-build: ") + message + '\n');
        EXPECT_EQ(pwtest::ReadAll(earlier), QByteArray("an earlier add-on"));
        EXPECT_EQ(QDir(c.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Demo.cab"});
    }
    QFile::remove(c.dir.path("p/sub/a:b.txt"));

    // A line break would add a section to the entries file; an output named ".cab" names nothing.
    const ToolRun injected = c.Build({"--switch", "/S\n[Evil]", "--language-file", "English"});
    EXPECT_EQ(injected.exitCode, 1);
    EXPECT_TRUE(injected.err.startsWith("packwright-build: The text \"/S<U+000A>[Evil]\" holds a line break."))
        << injected.err.toStdString();
    const ToolRun unnamed = RunTool({"--folder", c.dir.path("p"), "--start", "setup.exe", c.dir.path(".cab")}, c.home,
                                    c.program);
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_TRUE(unnamed.err.contains("\".cab\"")) << unnamed.err.toStdString();
    EXPECT_EQ(QDir(c.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Demo.cab"});
}
