#pragma once
// A language file: an INI file in the program's "languages" folder whose "Strings" section replaces the
// built-in texts and whose "Info" section names its font, character set, author and contact. The file is
// written in the code page of its character set, and its values are decoded with that code page.
#include <QByteArray>
#include <QString>

namespace pw {

// The character-set number of an "iCharset" name, matched exactly; 1 (the default set) for any other.
int CharsetFromName(const QByteArray& name);

// The code page that the texts of a file in that character set are written in.
int CodePageOfCharset(int charset);

// appDir + "languages/" + language + ".qmr"; empty for an empty language name, which names no file.
QString LanguageFilePath(const QString& appDir, const QString& language);

class LanguageFile {
public:
    // An empty path, or one of a missing file, gives every value its default.
    explicit LanguageFile(const QString& path);

    int Charset() const { return charset_; }
    QString Info(const char* key, const QString& fallback) const;
    QString String(const char* key, const QString& fallback) const;

private:
    QString Value(const char* section, const char* key, const QString& fallback) const;
    QByteArray Raw(const char* section, const char* key) const;

    QString path_;
    int charset_;
};

}  // namespace pw
