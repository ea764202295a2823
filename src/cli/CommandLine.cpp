#include "cli/CommandLine.h"

#include "language/LanguageFile.h"
#include "language/Settings.h"
#include "platform/CodePage.h"
#include "platform/HostFolders.h"
#include "project/FolderScan.h"
#include "project/ShortcutEntry.h"
#include "project/StartFileKinds.h"
#include "project/VersionFill.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <map>

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
    *entry = MakeShortcutEntry(QString::fromUtf8(kShortcutLocations[location]), location, folder, f[2], f[3], f[4], f[5], f[6]);
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

}  // namespace

QString UsageText()
{
    return QStringLiteral(
        "Usage: packwright-build --folder DIR --start FILE [options] OUTPUT\n"
        "Builds an nLite add-on cabinet (or a plain 7z archive) from a program folder, as the\n"
        "\"Criar arquivo\" button of the Packwright window does.\n"
        "\n"
        "  --folder DIR        the program folder to pack\n"
        "  --start FILE        its start file (.exe .bat .cmd .com .msi .inf), a name inside DIR\n"
        "  --switch TEXT       silent-install switch of the start file (not for .inf files)\n"
        "  --no-compact        put the folder's files into the cabinet as they are, instead of a\n"
        "                      7-Zip self-extractor\n"
        "  --level N           7-Zip compression level: 0 none (default), 1 fast, 2 normal, 3 maximum,\n"
        "                      4 ultra\n"
        "  --overwrite N       self-extractor overwrite mode: 0 all (default), 1 only missing,\n"
        "                      2 only older\n"
        "  --shortcut LOC,FOLDER,TARGET,PARAMS,SHORTCUTDIR,DESCRIPTION,NAME\n"
        "                      a shortcut the self-extractor creates (repeatable). LOC: 0 desktop,\n"
        "                      1 Start menu, 2 Programs, 3 Startup. FOLDER: 0 none, 1 Program Files,\n"
        "                      2 common documents, 3 my documents, 4 desktop, 5 extractor folder,\n"
        "                      6 extraction folder\n"
        "  --title T  --version V  --language L  --build-date D  --site S  --description D\n"
        "                      the add-on's descriptive fields ([General] of the entries file); those\n"
        "                      not given are filled from an .exe start file's version data, as the\n"
        "                      window fills them when the start file is chosen\n"
        "  --no-version-data   leave the fields not given empty\n"
        "  --entries FILE      the entries text to start from (default: the built-in one)\n"
        "  --format cab|7z     kind of output; default: 7z when OUTPUT ends in .7z, else cab\n"
        "  --language-file NAME\n"
        "                      the language of the messages: a language file's name, as the window\n"
        "                      lists it (default: the language chosen in the window)\n"
        "  --help              this text\n"
        "\n"
        "Exit status: 0 when OUTPUT was made, 1 when the build failed (the reason is printed),\n"
        "2 for a usage error.\n");
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine cl;
    BuildInputs& in = cl.inputs;
    in.appDir = ApplicationFolder();
    in.dataDir = DataFolder();
    in.entriesText = DefaultEntriesLines().join(QLatin1Char('\n'));
    QString entriesFile, format;
    QStringList positional;
    const std::map<QString, QString DescriptiveFields::*> fieldOptions = {
        {"--title", &DescriptiveFields::Title},         {"--version", &DescriptiveFields::Version},
        {"--language", &DescriptiveFields::Language},   {"--build-date", &DescriptiveFields::BuildDate},
        {"--site", &DescriptiveFields::Site},           {"--description", &DescriptiveFields::Description}};
    const std::map<QString, QString*> textOptions = {
        {"--folder", &in.sourceDir}, {"--start", &in.startFile}, {"--switch", &in.silentSwitch},
        {"--entries", &entriesFile}, {"--format", &format},      {"--language-file", &cl.language}};
    auto fail = [&cl](const QString& error) {
        cl.error = error;
        return cl;
    };

    for (int i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        std::optional<QString> inlineValue;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            inlineValue = arg.section(QLatin1Char('='), 1);
            arg = arg.section(QLatin1Char('='), 0, 0);
        }
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.help = true;
            return cl;
        }
        if (arg == QLatin1String("--no-compact")) {
            in.compact = false;
            continue;
        }
        if (arg == QLatin1String("--no-version-data")) {
            cl.versionData = false;
            continue;
        }
        if (arg == QLatin1String("--")) {
            positional += arguments.mid(i + 1);
            break;
        }
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2) {
            positional.append(arg);
            continue;
        }
        const bool known = fieldOptions.count(arg) || textOptions.count(arg) || arg == QLatin1String("--level") ||
                           arg == QLatin1String("--overwrite") || arg == QLatin1String("--shortcut");
        if (!known)
            return fail(QStringLiteral("unknown option %1").arg(arg));
        const std::optional<QString> v = value();
        if (!v)
            return fail(QStringLiteral("%1 needs a value").arg(arg));
        if (auto f = fieldOptions.find(arg); f != fieldOptions.end()) {
            cl.fields.append({f->second, *v});
        } else if (auto t = textOptions.find(arg); t != textOptions.end()) {
            *t->second = *v;
        } else if (arg == QLatin1String("--level")) {
            if (!ParseNumber(*v, 0, 4, &in.compressionLevel))
                return fail(QStringLiteral("--level must be 0 to 4: %1").arg(*v));
        } else if (arg == QLatin1String("--overwrite")) {
            if (!ParseNumber(*v, 0, 2, &in.overwriteMode))
                return fail(QStringLiteral("--overwrite must be 0 to 2: %1").arg(*v));
        } else if (arg == QLatin1String("--shortcut")) {
            ShortcutEntry entry;
            if (const QString error = ShortcutError(*v, &entry); !error.isEmpty())
                return fail(error);
            in.shortcuts.append(entry);
        }
    }

    if (in.sourceDir.isEmpty())
        return fail(QStringLiteral("--folder is required"));
    in.folderText = in.sourceDir;
    if (in.startFile.isEmpty())
        return fail(QStringLiteral("--start is required"));
    // The window disables the switch field for these start files; a switch given here would be lost.
    if (!in.silentSwitch.isEmpty() && StartFileKindOf(in.startFile) && !TakesSilentSwitch(in.startFile))
        return fail(QStringLiteral("--switch cannot be used with %1: an .inf file is installed without a switch")
                        .arg(in.startFile));
    if (positional.size() != 1)
        return fail(positional.isEmpty() ? QStringLiteral("OUTPUT is required")
                                         : QStringLiteral("one OUTPUT expected, got: %1").arg(positional.join(' ')));
    cl.output = QFileInfo(positional.front()).absoluteFilePath();
    if (format.isEmpty())
        cl.format = cl.output.endsWith(QLatin1String(".7z"), Qt::CaseInsensitive) ? OutputKind::PlainArchive
                                                                                   : OutputKind::Cabinet;
    else if (format == QLatin1String("7z"))
        cl.format = OutputKind::PlainArchive;
    else if (format == QLatin1String("cab"))
        cl.format = OutputKind::Cabinet;
    else
        return fail(QStringLiteral("--format must be cab or 7z: %1").arg(format));

    if (!entriesFile.isEmpty()) {
        const std::optional<QString> text = ReadTextFile(entriesFile);
        if (!text)
            return fail(QStringLiteral("cannot read the entries file %1").arg(entriesFile));
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

std::optional<QString> LanguageFileOf(const CommandLine& cl)
{
    const QString& appDir = cl.inputs.appDir;
    if (cl.language.isEmpty())
        return LanguageFilePath(appDir, StoredLanguage(appDir, cl.inputs.dataDir));
    const QStringList names = LanguageNames(appDir);
    const int index = FindLanguage(names, cl.language);
    if (index < 0)
        return std::nullopt;
    return LanguageFilePath(appDir, names[index]);
}

}  // namespace pw
