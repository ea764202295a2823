#pragma once
// The settings file "config.qmr": section "Main", key "Language", the only setting kept between runs.
#include <QString>
#include <QStringList>

namespace pw {

inline const QString kDefaultLanguage = QStringLiteral("Português (Brasil)");

QString SettingsFilePath(const QString& dataDir);

// The stored language name; kDefaultLanguage when the file or the key is missing.
QString ReadLanguageSetting(const QString& dataDir);

// Stores the language name. Throws UserError "Unable to write to <path>" when the file cannot be written.
void WriteLanguageSetting(const QString& dataDir, const QString& language);

// Names of the language files in appDir + "languages/": every entry matching "*.qmr" (names beginning
// with "." left out), sorted without regard to case, without the extension.
QStringList LanguageNames(const QString& appDir);

}  // namespace pw
