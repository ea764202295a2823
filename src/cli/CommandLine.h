#pragma once
// The command line of packwright-build, turned into the inputs the window would hand to a build.
#include "cli/CliTexts.h"
#include "dialogs/SaveChoice.h"
#include "project/BuildInputs.h"
#include "pipeline/BuildTexts.h"
#include "project/EntriesText.h"
#include "project/target/WindowsTarget.h"

#include <QStringList>

#include <optional>

namespace pw {

struct CommandLine {
    bool help = false;
    bool version = false;  // --version: the program's name and version, and nothing else
    QString error;  // a usage error, in the language of the CliTexts it was parsed with, or empty
    QString warning;  // something given that works but is likely a slip, in that language too, or empty
    BuildInputs inputs;  // its entries text is the one the build starts from: the built-in one or --entries
    QList<FieldValue> fields;  // the descriptive fields given, in the order given
    bool versionData = true;   // fill the fields from the start file's version data, as the window does
    QString output;
    OutputKind format = OutputKind::Cabinet;
    bool switchGiven = false;  // --switch was given, an empty one included: no switch is offered then
    QString tryAddon;          // --try: the add-on to try instead of a build
    QStringList tryAddons;     // it and the add-ons after it, a folder's .cab files in name order, in the order tried
    int timeLimitSeconds = 600;  // --time-limit of a try
    bool strict = false;         // --strict: a try that installed nothing fails
    WindowsTarget target = WindowsTarget::Xp;  // --target: the Windows of the disc, for a build and a try
    QString from;         // --from: the add-on whose choices the build starts from
    QStringList given;    // the names of the options given, without dashes
};

// The value of the last --language-file among the arguments, empty without one. It is read before they
// are parsed, since every word about them, the parser's errors included, is said in that language.
QString LanguageArgument(const QStringList& arguments);

CommandLine ParseCommandLine(const QStringList& arguments, const CliTexts& texts);
// --help: the usage lines, the description, every option of the parser's table with its value name and
// its line, OUTPUT and the exit status, wrapped for a terminal.
QString UsageText(const CliTexts& texts);
QString VersionText();

// A usage error when shortcuts are given to a build without the self-extractor that makes them; else empty.
QString ShortcutsError(const BuildInputs& in, const CliTexts& texts);

// What keeps "Criar arquivo" disabled in the window, said in words: an empty or missing program folder,
// or a start file that is not one of its start files. Empty when the build may run.
QString CheckInputs(const BuildInputs& in, const BuildTexts& texts);

// The inputs with the descriptive fields and the entries text the window holds for them: the text the
// build starts from, then the values the start file's version data gives when it is chosen (unless
// --no-version-data), then the fields given, each changing the text as typing it into the window does.
BuildInputs FilledInputs(const CommandLine& cl);

// What the command line says about the silent switch before it builds. Without --switch, an .exe start
// file of a recognised installer takes that installer's switch, and `offered` says so; an add-on whose
// .exe would run without any switch gets `warning`. Either is empty when there is nothing to say.
struct SwitchNotes {
    QString offered;
    QString warning;
};
SwitchNotes ChooseSwitch(CommandLine& cl, const BuildTexts& texts);

// What would keep the start file from running on the disc's Windows, one warning each; none for a plain
// 7z archive, which no Windows setup runs.
QStringList TargetNotes(const CommandLine& cl, const BuildTexts& texts);

// The language file the build speaks: the one `language` (--language-file's value) names, matched without
// regard to case, else the one the window applies, that of the settings file (the locale's before the
// window has run). Empty for the built-in texts; nothing when `language` names no language file.
std::optional<QString> LanguageFileOf(const QString& language);

}  // namespace pw
