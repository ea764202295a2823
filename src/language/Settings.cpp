#include "language/Settings.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/FileHelpers.h"
#include "platform/FileNames.h"
#include "platform/ProfileFile.h"

#include <utility>

namespace pw {

QString SettingsFilePath(const QString& dataDir)
{
    return dataDir + QStringLiteral("config.qmr");
}

QString ReadLanguageSetting(const QString& dataDir)
{
    return AnsiToUnicode(GetPrivateProfileString("Main", "Language", UnicodeToAnsi(kDefaultLanguage), 2048,
                                                 SettingsFilePath(dataDir)));
}

void WriteLanguageSetting(const QString& dataDir, const QString& language)
{
    const QString path = SettingsFilePath(dataDir);
    if (!WritePrivateProfileString("Main", QByteArray("Language"), UnicodeToAnsi(language), path))
        throw UserError(QStringLiteral("Unable to write to %1").arg(path));
}

namespace {

// The keys of the session, none of which an older settings file holds.
constexpr char kProgramFolderKey[] = "LastProgramFolder";
constexpr char kStartFileKey[] = "LastStartFile";
constexpr char kLastOutputKey[] = "LastOutput";
constexpr char kLevelKey[] = "LastCompressionLevel";
constexpr char kOverwriteKey[] = "LastOverwriteMode";
constexpr char kTargetKey[] = "LastTarget";  // the word of --target: xp, xp64 or 2003
constexpr int kLevelCount = 5;      // "Sem compressão" to "Ultra"
constexpr int kOverwriteCount = 3;  // "Todos", "Somente inexistentes", "Somente os antigos"

QString ReadText(const QString& path, const char* key)
{
    return AnsiToUnicode(GetPrivateProfileString("Main", key, QByteArray(), 2048, path));
}

int ReadIndex(const QString& path, const char* key, int count)
{
    bool ok = false;
    const int value = ReadText(path, key).toInt(&ok);
    return ok && value >= 0 && value < count ? value : -1;
}

// A name that would come back as another one from the code page is not worth keeping, and one with a
// line break would end its line in the file early and start another that may read as a key.
QByteArray StorableText(const QString& text)
{
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return {};
    const QByteArray bytes = UnicodeToAnsi(text);
    return AnsiToUnicode(bytes) == text ? bytes : QByteArray();
}

}  // namespace

SessionSettings ReadSessionSettings(const QString& dataDir)
{
    const QString path = SettingsFilePath(dataDir);
    SessionSettings session;
    session.programFolder = ReadText(path, kProgramFolderKey);
    session.startFile = ReadText(path, kStartFileKey);
    session.lastOutput = ReadText(path, kLastOutputKey);
    session.compressionLevel = ReadIndex(path, kLevelKey, kLevelCount);
    session.overwriteMode = ReadIndex(path, kOverwriteKey, kOverwriteCount);
    session.target = ParseWindowsTarget(ReadText(path, kTargetKey));
    return session;
}

bool WriteSessionSettings(const QString& dataDir, const SessionSettings& session)
{
    const QString path = SettingsFilePath(dataDir);
    const std::pair<const char*, QByteArray> values[] = {
        {kProgramFolderKey, StorableText(session.programFolder)},
        {kStartFileKey, StorableText(session.startFile)},
        {kLastOutputKey, StorableText(session.lastOutput)},
        {kLevelKey, QByteArray::number(session.compressionLevel)},
        {kOverwriteKey, QByteArray::number(session.overwriteMode)},
        {kTargetKey, session.target ? TargetOption(*session.target).toLatin1() : QByteArray()},
    };
    for (const auto& [key, value] : values) {
        if (!WritePrivateProfileString("Main", QByteArray(key), value, path))
            return false;
    }
    return true;
}

QStringList LanguageNames(const QString& appDir)
{
    QStringList files;
    ListFiles(appDir + QStringLiteral("languages/*.qmr"), files);
    QStringList names;
    for (const QString& file : files)
        names.append(BareFileName(file));
    return names;
}

int FindLanguage(const QStringList& names, const QString& language)
{
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(language, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString FirstStartLanguage()
{
    QByteArray locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qgetenv(variable);
        if (!locale.isEmpty())
            break;
    }
    return locale.startsWith("pt") ? kDefaultLanguage : kEnglishLanguage;
}

QString StoredLanguage(const QString& appDir, const QString& dataDir)
{
    const QStringList names = LanguageNames(appDir);
    const int index = FindLanguage(names, ReadLanguageSetting(dataDir));
    return index < 0 ? QString() : names[index];
}

}  // namespace pw
