#include "language/Settings.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/FileHelpers.h"
#include "platform/FileNames.h"
#include "platform/ProfileFile.h"


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
