#pragma once
// The texts a language file gives beside the windows' captions. Each set of texts (the build's, the
// catalogue editor's, a try's) is a struct whose members hold their built-in Portuguese, with one table of
// its keys beside it; this reads any of them through its table. Every text the file does not hold keeps
// its built-in Portuguese.
#include "language/LanguageFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>

namespace pw {

// One key of section "Strings" and the member of `Texts` that it gives.
template <typename Texts>
struct TextKey {
    const char* key;
    QString Texts::*member;
};

// `Texts` with each member the file gives; a text that spans lines writes its line breaks as "\n" in the
// file, one line per key.
template <typename Texts, std::size_t N>
Texts LoadTexts(const LanguageFile& file, const TextKey<Texts> (&keys)[N])
{
    Texts texts;
    for (const auto& [key, member] : keys)
        texts.*member = file.String(key, texts.*member).replace(QLatin1String("\\n"), QLatin1String("\n"));
    return texts;
}

template <typename Texts, std::size_t N>
QStringList KeysOf(const TextKey<Texts> (&keys)[N])
{
    QStringList names;
    for (const auto& entry : keys)
        names.append(QLatin1String(entry.key));
    return names;
}

// The locale the language file speaks ("iLocale" of section "Info", an ICU locale such as "en"), in
// which the language of a start file's version data is named; the built-in texts speak "pt_BR".
QByteArray LanguageLocale(const LanguageFile& file);

}  // namespace pw
