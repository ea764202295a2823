#pragma once
// The settings file "config.qmr", section "Main": the chosen language, and where the language files are.
// What the window remembers of the last session is kept in the same file (Session).
#include <QString>
#include <QStringList>

namespace pw {

inline const QString kDefaultLanguage = QStringLiteral("Português (Brasil)");
inline const QString kEnglishLanguage = QStringLiteral("English");

QString SettingsFilePath(const QString& dataDir);

// The stored language name; kDefaultLanguage when the file or the key is missing.
QString ReadLanguageSetting(const QString& dataDir);

// Stores the language name. Throws UserError "Unable to write to <path>" when the file cannot be written.
void WriteLanguageSetting(const QString& dataDir, const QString& language);

// Names of the language files in appDir + "languages/": every entry matching "*.qmr" (names beginning
// with "." left out), sorted without regard to case, without the extension.
QStringList LanguageNames(const QString& appDir);

// The index in `names` of `language`, matched without regard to case; -1 when none matches.
int FindLanguage(const QStringList& names, const QString& language);

// The language a first start speaks, before there is a settings file, as the window's launcher chooses
// it: the program's own Portuguese when the locale (LC_ALL, LC_MESSAGES, LANG: the first one not empty)
// is Portuguese ("pt*"), else English.
QString FirstStartLanguage();

// The language the window applies at its start: the stored name matched against the language files, in
// their own letter case; empty (the built-in texts) when no file matches.
QString StoredLanguage(const QString& appDir, const QString& dataDir);

}  // namespace pw
