#pragma once
// Single-byte texts of the program's files (catalogue, settings, entries file, language files) are in
// the system code page, as on Windows. On this host that is Windows-1252 unless PACKWRIGHT_CODEPAGE names
// another Windows code page (1250, 1251, ...). Everything in memory is Unicode.
#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

int SystemCodePage();

// Bytes of the given code page to Unicode; bytes the code page does not define become U+FFFD.
QString AnsiToUnicode(const QByteArray& bytes, int codePage = SystemCodePage());

// Unicode to bytes of the given code page; characters it cannot hold become "?", as on Windows.
QByteArray UnicodeToAnsi(const QString& text, int codePage = SystemCodePage());

// The first character of `text` that the code page cannot hold (one that would not come back from a
// round trip through it), or nothing when it holds them all.
std::optional<char32_t> FirstCharacterOutside(const QString& text, int codePage = SystemCodePage());

// True when the code page is one this host can convert.
bool IsKnownCodePage(int codePage);

}  // namespace pw
