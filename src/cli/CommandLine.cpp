#include "cli/CommandLine.h"

#include "cli/TextWrap.h"
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
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>

namespace pw {
namespace {

bool ParseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= low && *value <= high;
}

QString ShortcutError(const QString& value, ShortcutEntry* entry, const CliTexts& texts)
{
    const QStringList f = value.split(QLatin1Char(','));
    if (f.size() != 7)
        return texts.ShortcutFieldsStr.arg(f.size()).arg(value);
    int location = 0, folder = 0;
    if (!ParseNumber(f[0], 0, 3, &location))
        return texts.ShortcutLocationStr.arg(f[0]);
    if (!ParseNumber(f[1], 0, 6, &folder))
        return texts.ShortcutFolderStr.arg(f[1]);
    if (f[2].trimmed().isEmpty())
        return texts.ShortcutTargetStr.arg(value);
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

// What the options fill: the command line, and the texts it reads once every option is taken; and the
// words of its usage errors.
struct Parsed {
    explicit Parsed(const CliTexts& texts) : texts(texts) {}

    const CliTexts& texts;
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
    QString CliTexts::*help;
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
                   : p.texts.RangeStr.arg(QLatin1String(option)).arg(high).arg(value);
    };
}

const QString kHelpOption = QStringLiteral("help");
const QString kVersionOption = QStringLiteral("version");
const QString kLanguageFileOption = QStringLiteral("language-file");

const QList<Option>& Options()
{
    static const QList<Option> options = {
        {{"from"}, "ADDON", &CliTexts::FromHelpStr,
         [](Parsed& p, const QString& value) {
             p.cl.from = value;
             return QString();
         }},
        {{"folder"}, "DIR", &CliTexts::FolderHelpStr, Text(&BuildInputs::sourceDir)},
        {{"start"}, "FILE", &CliTexts::StartHelpStr, Text(&BuildInputs::startFile)},
        {{"switch"}, "TEXT", &CliTexts::SwitchHelpStr,
         [](Parsed& p, const QString& value) {
             p.cl.inputs.silentSwitch = value;
             p.cl.switchGiven = true;
             return QString();
         }},
        {{"no-compact"}, {}, &CliTexts::NoCompactHelpStr,
         [](Parsed& p, const QString&) {
             p.cl.inputs.compact = false;
             return QString();
         }},
        {{"level"}, "N", &CliTexts::LevelHelpStr, Number(&BuildInputs::compressionLevel, 4, "--level")},
        {{"overwrite"}, "N", &CliTexts::OverwriteHelpStr, Number(&BuildInputs::overwriteMode, 2, "--overwrite")},
        {{"shortcut"}, "SHORTCUT", &CliTexts::ShortcutHelpStr,
         [](Parsed& p, const QString& value) {
             ShortcutEntry entry;
             const QString error = ShortcutError(value, &entry, p.texts);
             if (error.isEmpty())
                 p.cl.inputs.shortcuts.append(entry);
             return error;
         }},
        {{"title"}, "T", &CliTexts::TitleHelpStr, Field(&DescriptiveFields::Title)},
        {{"addon-version"}, "V", &CliTexts::VersionFieldHelpStr, Field(&DescriptiveFields::Version)},
        {{"language"}, "L", &CliTexts::LanguageHelpStr, Field(&DescriptiveFields::Language)},
        {{"build-date"}, "D", &CliTexts::BuildDateHelpStr, Field(&DescriptiveFields::BuildDate)},
        {{"site"}, "S", &CliTexts::SiteHelpStr, Field(&DescriptiveFields::Site)},
        {{"description"}, "D", &CliTexts::DescriptionHelpStr, Field(&DescriptiveFields::Description)},
        {{"no-version-data"}, {}, &CliTexts::NoVersionDataHelpStr,
         [](Parsed& p, const QString&) {
             p.cl.versionData = false;
             return QString();
         }},
        {{"entries"}, "FILE", &CliTexts::EntriesHelpStr, Text(&Parsed::entriesFile)},
        {{"format"}, "cab|7z", &CliTexts::FormatHelpStr, Text(&Parsed::format)},
        // Read before the parse (LanguageArgument): the parser's own errors speak the language.
        {{kLanguageFileOption}, "NAME", &CliTexts::LanguageFileHelpStr,
         [](Parsed&, const QString&) { return QString(); }, Use::Both},
        {{"target"}, "xp|xp64|2003", &CliTexts::TargetHelpStr,
         [](Parsed& p, const QString& value) {
             const std::optional<WindowsTarget> target = ParseWindowsTarget(value);
             if (!target)
                 return p.texts.TargetStr.arg(value);
             p.cl.target = *target;
             return QString();
         },
         Use::Both},
        {{"try"}, "ADDON", &CliTexts::TryHelpStr,
         [](Parsed& p, const QString& value) {
             p.cl.tryAddon = value;
             return QString();
         },
         Use::Try},
        {{"time-limit"}, "SECONDS", &CliTexts::TimeLimitHelpStr,
         [](Parsed& p, const QString& value) {
             return ParseNumber(value, 1, std::numeric_limits<int>::max() / 1000, &p.cl.timeLimitSeconds)
                        ? QString()
                        : p.texts.TimeLimitStr.arg(value);
         },
         Use::Try},
        {{"strict"}, {}, &CliTexts::StrictHelpStr,
         [](Parsed& p, const QString&) {
             p.cl.strict = true;
             return QString();
         },
         Use::Try},
        {{"h", kHelpOption}, {}, &CliTexts::HelpHelpStr, {}},
        {{kVersionOption}, {}, &CliTexts::VersionHelpStr, {}},
    };
    return options;
}

// An option's name as it is typed: a letter is a short option ("-h"), a word a long one ("--help").
QString Dashed(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "-h, --help" or "--folder <DIR>": the option as --help lists it.
QString Synopsis(const Option& option)
{
    QStringList names;
    for (const QString& name : option.names)
        names.append(Dashed(name));
    const QString value = option.valueName.isEmpty() ? QString() : QStringLiteral(" <%1>").arg(option.valueName);
    return names.join(QStringLiteral(", ")) + value;
}

// The option of that name; null for none.
const Option* FindOption(const QString& name)
{
    const QList<Option>& options = Options();
    const auto found =
        std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.names.contains(name); });
    return found == options.end() ? nullptr : &*found;
}

// The parser of the option table. QCommandLineParser takes "--" as the end of the options, so an OUTPUT
// that begins with "-" follows it; a word with a single "-" before it is a short option to it, "-h" the
// only one there is. The parser writes no help: its texts are English (UsageText writes it).
void AddOptions(QCommandLineParser& parser)
{
    for (const Option& option : Options())
        parser.addOption(QCommandLineOption(option.names, QString(), option.valueName));
}

// An option as the parser reads it from the arguments: "--name value", "--name=value", "-h". The
// argument after an option that takes a value is its value, whatever it begins with.
struct WrittenOption {
    QString written;        // with its dashes, without "=value"
    const Option* option;   // null for a name the table lacks
    std::optional<QString> value;
};

QList<WrittenOption> WrittenOptions(const QStringList& arguments)
{
    QList<WrittenOption> written;
    for (auto it = arguments.begin(); it != arguments.end() && *it != QLatin1String("--"); ++it) {
        if (!it->startsWith(QLatin1Char('-')) || it->size() == 1)  // a value, or "-" (standard input)
            continue;
        const qsizetype assign = it->indexOf(QLatin1Char('='));
        WrittenOption w{it->left(assign), nullptr, std::nullopt};
        w.option = FindOption(w.written.mid(w.written.startsWith(QLatin1String("--")) ? 2 : 1));
        if (assign >= 0)
            w.value = it->mid(assign + 1);
        else if (w.option && !w.option->valueName.isEmpty() && std::next(it) != arguments.end())
            w.value = *++it;
        written.append(w);
    }
    return written;
}

// Why the parser refused the arguments, in our words (Qt's own are English): a name it does not know,
// an option without the value it takes, a value given to an option that takes none.
QString ParserError(const QCommandLineParser& parser, const QStringList& arguments, const CliTexts& texts)
{
    // Qt names an unknown option without its dashes.
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
        return texts.UnknownOptionStr.arg(Dashed(unknown.front()));
    for (const WrittenOption& w : WrittenOptions(arguments)) {
        const bool takesValue = w.option && !w.option->valueName.isEmpty();
        if (takesValue && !w.value)
            return texts.MissingValueStr.arg(w.written);
        if (w.option && !takesValue && w.value)
            return texts.UnexpectedValueStr.arg(w.written);
    }
    return parser.errorText();  // no other refusal of the parser is known
}

// Takes each option given, in the order given: the values of one option in their order, and the
// descriptive fields in the order they change the entries text.
QString TakeOptions(const QCommandLineParser& parser, Parsed& parsed)
{
    QHash<const Option*, int> taken;
    for (const QString& name : parser.optionNames()) {
        const Option& option = *FindOption(name);
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

QString UsageText(const CliTexts& texts)
{
    const QString command = QStringLiteral(" packwright-build ");
    const QString buildLine = QStringLiteral("--folder DIR --start FILE %1 OUTPUT").arg(texts.OptionsWordStr);
    // An add-on made before gives the folder and the start file, unless they are given.
    const QString fromLine =
        QStringLiteral("--from ADDON [--folder DIR] [--start FILE] %1 OUTPUT").arg(texts.OptionsWordStr);
    const QString tryLine = QStringLiteral(
        "--try ADDON... [--time-limit SECONDS] [--target xp|xp64|2003] [--strict] [--language-file NAME]");
    const QString under = QString(texts.UsageStr.size(), QLatin1Char(' ')) + command;
    QString text = Wrapped(texts.UsageStr + command, buildLine) + Wrapped(under, fromLine) +
                   Wrapped(under, tryLine) + QLatin1Char('\n') +
                   Wrapped({}, texts.DescriptionStr) + QLatin1Char('\n') + texts.OptionsHeadingStr + QLatin1Char('\n');
    qsizetype column = 0;
    for (const Option& option : Options())
        column = std::max(column, Synopsis(option).size());
    auto row = [column](const QString& name, const QString& help) {
        return Wrapped(QStringLiteral("  ") + name.leftJustified(column + 2), help);
    };
    for (const Option& option : Options())
        text += row(Synopsis(option), texts.*option.help);
    text += QLatin1Char('\n') + texts.ArgumentsHeadingStr + QLatin1Char('\n') +
            row(QStringLiteral("OUTPUT"), texts.OutputHelpStr);
    return text + QLatin1Char('\n') + Wrapped({}, texts.ExitStatusStr);
}

QString LanguageArgument(const QStringList& arguments)
{
    QString language;
    for (const WrittenOption& w : WrittenOptions(arguments)) {
        if (w.option == FindOption(kLanguageFileOption) && w.value)
            language = *w.value;
    }
    return language;
}

CommandLine ParseCommandLine(const QStringList& arguments, const CliTexts& texts)
{
    Parsed parsed(texts);
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
    AddOptions(parser);
    // The first argument is the program's name to the parser.
    if (!parser.parse(QStringList(QStringLiteral("packwright-build")) + arguments))
        return fail(ParserError(parser, arguments, texts));
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
    cl.given = parser.optionNames();

    const bool trying = parser.isSet(QStringLiteral("try"));
    for (const QString& name : parser.optionNames()) {
        const Use use = FindOption(name)->use;
        if (trying && use == Use::Build)
            return fail(texts.NotWithTryStr.arg(Dashed(name)));
        if (!trying && use == Use::Try)
            return fail(texts.OnlyWithTryStr.arg(Dashed(name)));
    }
    if (trying) {
        if (cl.tryAddon.isEmpty())
            return fail(texts.TryAddonStr);
        // As nLite adds a folder's add-ons: by name.
        for (const QString& addon : QStringList{cl.tryAddon} + parser.positionalArguments()) {
            if (!QFileInfo(addon).isDir()) {
                cl.tryAddons << addon;
                continue;
            }
            const QDir folder(addon);
            const QStringList cabinets = folder.entryList({QStringLiteral("*.cab")}, QDir::Files,
                                                          QDir::Name | QDir::IgnoreCase);
            if (cabinets.isEmpty())
                return fail(texts.TryEmptyFolderStr.arg(addon));
            for (const QString& cabinet : cabinets)
                cl.tryAddons << folder.filePath(cabinet);
        }
        return cl;
    }

    // An add-on opened again gives the folder and the start file the build takes when they are not given.
    const bool fromAddOn = !cl.from.isEmpty();
    if (in.sourceDir.isEmpty() && !fromAddOn)
        return fail(texts.FolderRequiredStr);
    in.folderText = in.sourceDir;
    if (const QString error = ShortcutsError(in, texts); !error.isEmpty())
        return fail(error);
    if (in.startFile.isEmpty() && !fromAddOn)
        return fail(texts.StartRequiredStr);
    // The window disables the switch field for these start files; a switch given here would be lost.
    if (!in.silentSwitch.isEmpty() && StartFileKindOf(in.startFile) && !TakesSilentSwitch(in.startFile))
        return fail(texts.SwitchInfStr.arg(in.startFile));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return fail(positional.isEmpty() ? texts.OutputRequiredStr : texts.OneOutputStr.arg(positional.join(' ')));
    cl.output = QFileInfo(positional.front()).absoluteFilePath();
    const QString suffix = QFileInfo(cl.output).suffix().toLower();
    if (suffix != QLatin1String("cab") && suffix != QLatin1String("7z"))
        cl.warning = texts.OddExtensionStr.arg(positional.front());
    if (parsed.format.isEmpty())
        cl.format = suffix == QLatin1String("7z") ? OutputKind::PlainArchive : OutputKind::Cabinet;
    else if (parsed.format == QLatin1String("7z"))
        cl.format = OutputKind::PlainArchive;
    else if (parsed.format == QLatin1String("cab"))
        cl.format = OutputKind::Cabinet;
    else
        return fail(texts.FormatStr.arg(parsed.format));

    if (!parsed.entriesFile.isEmpty()) {
        const std::optional<QString> text = ReadTextFile(parsed.entriesFile);
        if (!text)
            return fail(texts.EntriesUnreadableStr.arg(parsed.entriesFile));
        in.entriesText = *text;
    }
    return cl;
}

QString ShortcutsError(const BuildInputs& in, const CliTexts& texts)
{
    // The window's shortcut list belongs to the self-extractor, which --no-compact leaves out.
    return !in.compact && !in.shortcuts.isEmpty() ? texts.ShortcutNoCompactStr : QString();
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
    // Empty, as the window's at its start, unless an add-on opened again gave them.
    BuildInputs in = cl.inputs;
    // An add-on opened again keeps its fields, as it was made; for a new program folder or start file, those
    // the start file's version data gives are refreshed, and the others kept.
    const bool reopened = !cl.from.isEmpty();
    const bool newStartFile = cl.given.contains(QStringLiteral("folder")) || cl.given.contains(QStringLiteral("start"));
    if (cl.versionData && (!reopened || newStartFile)) {
        VersionInfoReader reader;
        for (const FieldValue& change : VersionDataFill(reader, in.startFilePath())) {
            if (!reopened || !change.second.isEmpty())
                ChangeField(in.entriesText, in.fields, change);
        }
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

std::optional<QString> LanguageFileOf(const QString& language)
{
    const QString appDir = ApplicationFolder();
    const QStringList names = LanguageNames(appDir);
    if (language.isEmpty()) {
        // Before the window has ever run there is no settings file: the language its launcher chooses.
        const QString dataDir = DataFolder();
        if (QFileInfo::exists(SettingsFilePath(dataDir)))
            return LanguageFilePath(appDir, StoredLanguage(appDir, dataDir));
        const int first = FindLanguage(names, FirstStartLanguage());
        return LanguageFilePath(appDir, first < 0 ? QString() : names[first]);
    }
    // The two shipped languages have short codes too.
    const QHash<QString, QString> codes{{QStringLiteral("en"), kEnglishLanguage}, {QStringLiteral("pt"), kDefaultLanguage}};
    const int index = FindLanguage(names, codes.value(language.toLower(), language));
    if (index < 0)
        return std::nullopt;
    return LanguageFilePath(appDir, names[index]);
}

}  // namespace pw
