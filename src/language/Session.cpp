#include "language/Session.h"

#include "language/Settings.h"
#include "platform/CodePage.h"
#include "platform/ProfileFile.h"

#include <utility>

namespace pw {
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

}  // namespace pw
