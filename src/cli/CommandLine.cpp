#include "cli/CommandLine.h"

#include "language/LanguageFile.h"
#include "language/Settings.h"
#include "pipeline/TargetWarnings.h"
#include "platform/CodePage.h"
#include "platform/HostFolders.h"
#include "project/FolderScan.h"
#include "project/ShortcutEntry.h"
#include "project/StartFileKinds.h"
#include "project/VersionFill.h"
#include "project/installer/InstallerOffer.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <functional>
#include <limits>

namespace pw {
namespace {

bool ParseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= low && *value <= high;
}

QString ShortcutError(const QString& value, ShortcutEntry* entry)
{
    const QStringList f = value.split(QLatin1Char(','));
    if (f.size() != 7)
        return QStringLiteral("--shortcut takes seven comma-separated fields, got %1: %2").arg(f.size()).arg(value);
    int location = 0, folder = 0;
    if (!ParseNumber(f[0], 0, 3, &location))
        return QStringLiteral("--shortcut location must be 0 to 3: %1").arg(f[0]);
    if (!ParseNumber(f[1], 0, 6, &folder))
        return QStringLiteral("--shortcut folder must be 0 to 6: %1").arg(f[1]);
    if (f[2].trimmed().isEmpty())
        return QStringLiteral("--shortcut needs the file it opens (its third field): %1").arg(value);
    *entry = MakeShortcutEntry(QString::fromUtf8(kShortcutLocations[location]), location, folder, f[2], f[3], f[4],
                               f[5], f[6]);
    return {};
}

// A user's entries file: UTF-8 when it is valid UTF-8, else the system code page.
std::optional<QString> ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? AnsiToUnicode(bytes) : text;
}

// What the options fill: the command line, and the texts it reads once every option is taken.
struct Parsed {
    CommandLine cl;
    QString entriesFile;
    QString format;
};

// Takes one value of an option (an empty one for an option without a value); a usage error, or empty.
using Take = std::function<QString(Parsed& parsed, const QString& value)>;

// Whether an option belongs to a build, to a try, or to both. A try reads only the add-on: a build
// option beside it would be silently lost, and so would a try's option beside a build.
enum class Use { Build, Try, Both };

// One option of packwright-build: its names, the word for its value in --help (none for an option
// without a value), its line in --help, what it does with its value, and what it belongs to.
struct Option {
    QStringList names;
    QString valueName;
    QString help;
    Take take;
    Use use = Use::Build;
};

Take Text(QString BuildInputs::*input)
{
    return [input](Parsed& p, const QString& value) {
        p.cl.inputs.*input = value;
        return QString();
    };
}

Take Text(QString Parsed::*text)
{
    return [text](Parsed& p, const QString& value) {
        p.*text = value;
        return QString();
    };
}

// A descriptive field changes the entries text as typing it into the window does: in the order given.
Take Field(QString DescriptiveFields::*field)
{
    return [field](Parsed& p, const QString& value) {
        p.cl.fields.append({field, value});
        return QString();
    };
}

Take Number(int BuildInputs::*input, int high, const char* option)
{
    return [=](Parsed& p, const QString& value) {
        return ParseNumber(value, 0, high, &(p.cl.inputs.*input))
                   ? QString()
                   : QStringLiteral("%1 must be 0 to %2: %3").arg(QLatin1String(option)).arg(high).arg(value);
    };
}

const QString kHelpOption = QStringLiteral("help");
const QString kVersionOption = QStringLiteral("version");

const QList<Option>& Options()
{
    static const QList<Option> options = {
        {{"folder"}, "DIR", "the program folder to pack", Text(&BuildInputs::sourceDir)},
        {{"start"}, "FILE", "its start file (.exe .bat .cmd .com .msi .inf), a name inside DIR",
         Text(&BuildInputs::startFile)},
        {{"switch"}, "TEXT",
         "silent-install switch of the start file (not for .inf files); without it an .exe start file of a "
         "recognised installer gets that installer's switch, and --switch \"\" gives none",
         [](Parsed& p, const QString& value) {
             p.cl.inputs.silentSwitch = value;
             p.cl.switchGiven = true;
             return QString();
         }},
        {{"no-compact"}, {}, "put the folder's files into the cabinet as they are, instead of a 7-Zip self-extractor",
         [](Parsed& p, const QString&) {
             p.cl.inputs.compact = false;
             return QString();
         }},
        {{"level"}, "N", "7-Zip compression level: 0 none (default), 1 fast, 2 normal, 3 maximum, 4 ultra",
         Number(&BuildInputs::compressionLevel, 4, "--level")},
        {{"overwrite"}, "N", "self-extractor overwrite mode: 0 all (default), 1 only missing, 2 only older",
         Number(&BuildInputs::overwriteMode, 2, "--overwrite")},
        {{"shortcut"}, "SHORTCUT",
         "a shortcut the self-extractor creates (repeatable), seven fields: "
         "LOC,FOLDER,TARGET,PARAMS,SHORTCUTDIR,DESCRIPTION,NAME. LOC: 0 desktop, 1 Start menu, 2 Programs, "
         "3 Startup. FOLDER: 0 none, 1 Program Files, 2 common documents, 3 my documents, 4 desktop, "
         "5 extractor folder, 6 extraction folder",
         [](Parsed& p, const QString& value) {
             ShortcutEntry entry;
             const QString error = ShortcutError(value, &entry);
             if (error.isEmpty())
                 p.cl.inputs.shortcuts.append(entry);
             return error;
         }},
        {{"title"}, "T", "the add-on's title ([General] of the entries file)", Field(&DescriptiveFields::Title)},
        {{"addon-version"}, "V", "its version", Field(&DescriptiveFields::Version)},
        {{"language"}, "L", "the language of its program", Field(&DescriptiveFields::Language)},
        {{"build-date"}, "D", "its build date", Field(&DescriptiveFields::BuildDate)},
        {{"site"}, "S", "its web site", Field(&DescriptiveFields::Site)},
        {{"description"}, "D", "its description", Field(&DescriptiveFields::Description)},
        {{"no-version-data"}, {},
         "leave the descriptive fields not given (--title to --description) empty; without it they are filled "
         "from an .exe start file's version data, as the window fills them when the start file is chosen",
         [](Parsed& p, const QString&) {
             p.cl.versionData = false;
             return QString();
         }},
        {{"entries"}, "FILE", "the entries text to start from (default: the built-in one)", Text(&Parsed::entriesFile)},
        {{"format"}, "cab|7z", "kind of output; default: 7z when OUTPUT ends in .7z, else cab", Text(&Parsed::format)},
        {{"language-file"}, "NAME",
         "the language of the messages: a language file's name, as the window lists it, or en (English) or pt "
         "(Portuguese) (default: the language chosen in the window)",
         [](Parsed& p, const QString& value) {
             p.cl.language = value;
             return QString();
         },
         Use::Both},
        {{"target"}, "xp|xp64|2003",
         "the Windows of the installation disc the add-on goes on: xp (Windows XP, 32-bit; the default), xp64 "
         "(Windows XP x64) or 2003 (Windows Server 2003). The start file is checked against it before the build, "
         "and what would keep it from running there is a warning; a try imitates that Windows",
         [](Parsed& p, const QString& value) {
             const std::optional<WindowsTarget> target = ParseWindowsTarget(value);
             if (!target)
                 return QStringLiteral("--target must be xp, xp64 or 2003: %1").arg(value);
             p.cl.target = *target;
             return QString();
         },
         Use::Both},
        {{"try"}, "ADDON",
         "instead of building, try the add-on cabinet ADDON under Wine on a private display, as Windows setup "
         "would run it, and report what it did (needs wine, xvfb and p7zip-full)",
         [](Parsed& p, const QString& value) {
             p.cl.tryAddon = value;
             return QString();
         },
         Use::Try},
        {{"time-limit"}, "SECONDS", "how long a try may run before it is ended (default 600)",
         [](Parsed& p, const QString& value) {
             return ParseNumber(value, 1, std::numeric_limits<int>::max() / 1000, &p.cl.timeLimitSeconds)
                        ? QString()
                        : QStringLiteral("--time-limit must be a whole number of seconds, at least 1: %1").arg(value);
         },
         Use::Try},
        {{"strict"}, {}, "a try whose add-on installed nothing (no file, registry value or shortcut) fails",
         [](Parsed& p, const QString&) {
             p.cl.strict = true;
             return QString();
         },
         Use::Try},
        {{"h", kHelpOption}, {}, "this text", {}},
        {{kVersionOption}, {}, "print the program's name and version, and exit", {}},
    };
    return options;
}

const Option& OptionNamed(const QString& name)
{
    const QList<Option>& options = Options();
    return *std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.names.contains(name); });
}

// The parser of the option table. QCommandLineParser takes "--" as the end of the options, so an OUTPUT
// that begins with "-" follows it; a word with a single "-" before it is a short option to it, "-h" the
// only one there is.
void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Builds an nLite add-on cabinet (or a plain 7z archive) from a program folder, as the\n"
                       "\"Criar arquivo\" button of the Packwright window does."));
    for (const Option& option : Options())
        parser.addOption(QCommandLineOption(option.names, option.help, option.valueName));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("the file to make"));
}

// Takes each option given, in the order given: the values of one option in their order, and the
// descriptive fields in the order they change the entries text.
QString TakeOptions(const QCommandLineParser& parser, Parsed& parsed)
{
    QHash<const Option*, int> taken;
    for (const QString& name : parser.optionNames()) {
        const Option& option = OptionNamed(name);
        const QString value = option.valueName.isEmpty() ? QString() : parser.values(name).at(taken[&option]++);
        if (const QString error = option.take(parsed, value); !error.isEmpty())
            return error;
    }
    return {};
}

}  // namespace

QString VersionText()
{
    return QStringLiteral("packwright-build " PW_PROGRAM_VERSION "\n");
}

QString UsageText()
{
    QCommandLineParser parser;
    Describe(parser);
    QString text = parser.helpText();
    // Qt names the program by the path it was started with; the usage line names the command and what it needs.
    text.replace(0, text.indexOf(QLatin1Char('\n')),
                 QStringLiteral("Usage: packwright-build --folder DIR --start FILE [options] OUTPUT\n"
                                "       packwright-build --try ADDON [--time-limit SECONDS] [--target xp|xp64|2003] [--strict]\n"
                                "                        [--language-file NAME]"));
    return text + QStringLiteral("\nExit status: 0 when OUTPUT was made, 1 when the build failed (the reason is printed),\n"
                                 "2 for a usage error. Warnings (a missing switch, a start file that would not run on\n"
                                 "the --target Windows) go to the error output and leave the status as it is.\n"
                                 "With --try, 0 when the add-on installed silently, 1 when it failed, timed out,\n"
                                 "waited on a window or was stopped, 2 for a usage error, 3 when it cannot be\n"
                                 "tried on this machine (the reason says what to install).\n");
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    Parsed parsed;
    CommandLine& cl = parsed.cl;
    BuildInputs& in = cl.inputs;
    in.appDir = ApplicationFolder();
    in.dataDir = DataFolder();
    in.entriesText = DefaultEntriesLines().join(QLatin1Char('\n'));
    auto fail = [&cl](const QString& error) {
        cl.error = error;
        return cl;
    };

    QCommandLineParser parser;
    Describe(parser);
    // The first argument is the program's name to the parser.
    if (!parser.parse(QStringList(QStringLiteral("packwright-build")) + arguments))
        return fail(parser.errorText());
    if (parser.isSet(kHelpOption)) {
        cl.help = true;
        return cl;
    }
    if (parser.isSet(kVersionOption)) {
        cl.version = true;
        return cl;
    }
    if (const QString error = TakeOptions(parser, parsed); !error.isEmpty())
        return fail(error);

    const bool trying = parser.isSet(QStringLiteral("try"));
    for (const QString& name : parser.optionNames()) {
        const Use use = OptionNamed(name).use;
        if (trying && use == Use::Build)
            return fail(QStringLiteral("--%1 cannot be used with --try").arg(name));
        if (!trying && use == Use::Try)
            return fail(QStringLiteral("--%1 is for --try").arg(name));
    }
    if (trying) {
        if (!parser.positionalArguments().isEmpty())
            return fail(QStringLiteral("--try takes no OUTPUT, got: %1").arg(parser.positionalArguments().join(' ')));
        if (cl.tryAddon.isEmpty())
            return fail(QStringLiteral("--try needs the add-on to try"));
        return cl;
    }

    if (in.sourceDir.isEmpty())
        return fail(QStringLiteral("--folder is required"));
    in.folderText = in.sourceDir;
    // The window's shortcut list belongs to the self-extractor, which --no-compact leaves out.
    if (!in.compact && !in.shortcuts.isEmpty())
        return fail(QStringLiteral("--shortcut cannot be used with --no-compact: the self-extractor makes the "
                                   "shortcuts, and --no-compact leaves it out"));
    if (in.startFile.isEmpty())
        return fail(QStringLiteral("--start is required"));
    // The window disables the switch field for these start files; a switch given here would be lost.
    if (!in.silentSwitch.isEmpty() && StartFileKindOf(in.startFile) && !TakesSilentSwitch(in.startFile))
        return fail(QStringLiteral("--switch cannot be used with %1: an .inf file is installed without a switch")
                        .arg(in.startFile));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return fail(positional.isEmpty() ? QStringLiteral("OUTPUT is required")
                                         : QStringLiteral("one OUTPUT expected, got: %1").arg(positional.join(' ')));
    cl.output = QFileInfo(positional.front()).absoluteFilePath();
    const QString suffix = QFileInfo(cl.output).suffix().toLower();
    if (suffix != QLatin1String("cab") && suffix != QLatin1String("7z"))
        cl.warning = QStringLiteral("%1 ends in neither .cab nor .7z; nLite and archive tools know a file by its "
                                    "extension").arg(positional.front());
    if (parsed.format.isEmpty())
        cl.format = suffix == QLatin1String("7z") ? OutputKind::PlainArchive : OutputKind::Cabinet;
    else if (parsed.format == QLatin1String("7z"))
        cl.format = OutputKind::PlainArchive;
    else if (parsed.format == QLatin1String("cab"))
        cl.format = OutputKind::Cabinet;
    else
        return fail(QStringLiteral("--format must be cab or 7z: %1").arg(parsed.format));

    if (!parsed.entriesFile.isEmpty()) {
        const std::optional<QString> text = ReadTextFile(parsed.entriesFile);
        if (!text)
            return fail(QStringLiteral("cannot read the entries file %1").arg(parsed.entriesFile));
        in.entriesText = *text;
    }
    return cl;
}

QString CheckInputs(const BuildInputs& in, const BuildTexts& texts)
{
    const std::optional<FolderScanResult> scan = FolderScan(in.sourceDir);
    if (!scan)
        return texts.NoFolderStr.arg(in.sourceDir);
    if (scan->folderEntries.isEmpty())
        return texts.EmptyFolderStr.arg(in.sourceDir);
    if (!scan->startFiles.contains(in.startFile))
        return texts.NotStartFileStr.arg(in.startFile, in.sourceDir);
    return {};
}

BuildInputs FilledInputs(const CommandLine& cl)
{
    BuildInputs in = cl.inputs;
    in.fields = {};  // empty, as the window's at its start
    if (cl.versionData) {
        VersionInfoReader reader;
        for (const FieldValue& change : VersionDataFill(reader, in.startFilePath()))
            ChangeField(in.entriesText, in.fields, change);
    }
    for (const FieldValue& change : cl.fields)
        ChangeField(in.entriesText, in.fields, change);
    return in;
}

SwitchNotes ChooseSwitch(CommandLine& cl, const BuildTexts& texts)
{
    BuildInputs& in = cl.inputs;
    SwitchNotes notes;
    if (!cl.switchGiven) {
        if (const std::optional<InstallerOffer> offer = OfferFor(in.startFilePath(), in.appDir);
            offer && !offer->silentSwitch.isEmpty()) {
            in.silentSwitch = offer->silentSwitch;
            notes.offered = texts.KindSwitchStr.arg(InstallerKindName(texts, offer->kind), offer->silentSwitch);
        }
    }
    if (cl.format == OutputKind::Cabinet && LacksSilentSwitch(in.startFile, in.silentSwitch))
        notes.warning = texts.NoSwitchStr.arg(in.startFile);
    return notes;
}

QStringList TargetNotes(const CommandLine& cl, const BuildTexts& texts)
{
    if (cl.format != OutputKind::Cabinet)
        return {};
    return TargetWarnings(cl.inputs.startFilePath(), cl.target, cl.inputs.appDir, texts);
}

std::optional<QString> LanguageFileOf(const CommandLine& cl)
{
    const QString& appDir = cl.inputs.appDir;
    const QStringList names = LanguageNames(appDir);
    if (cl.language.isEmpty()) {
        // Before the window has ever run there is no settings file: the language its launcher chooses.
        if (QFileInfo::exists(SettingsFilePath(cl.inputs.dataDir)))
            return LanguageFilePath(appDir, StoredLanguage(appDir, cl.inputs.dataDir));
        const int first = FindLanguage(names, FirstStartLanguage());
        return LanguageFilePath(appDir, first < 0 ? QString() : names[first]);
    }
    // The two shipped languages have short codes too.
    const QHash<QString, QString> codes{{QStringLiteral("en"), kEnglishLanguage}, {QStringLiteral("pt"), kDefaultLanguage}};
    const int index = FindLanguage(names, codes.value(cl.language.toLower(), cl.language));
    if (index < 0)
        return std::nullopt;
    return LanguageFilePath(appDir, names[index]);
}

}  // namespace pw
