#pragma once
// Profile (INI) files read and written with the semantics of the Windows profile functions, over
// single-byte strings of the system code page. Section and key names match without regard to letter case
// or to the blanks around them; the first matching section and key win; a write edits the file in place
// and copies every other line byte for byte.
#include <QByteArray>
#include <QString>

#include <QList>

#include <optional>
#include <utility>

namespace pw {

// GetPrivateProfileStringA: the value of `key` in `section`, or `defaultValue` (less its trailing spaces)
// when the file, section or key is missing or the key line has no "=". Blanks around the value go, and
// so does one pair of enclosing double or single quotes. At most size - 1 bytes are returned.
QByteArray GetPrivateProfileString(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& defaultValue, int size, const QString& path);

// The keys of `section` with their values, in the file's order, as GetPrivateProfileString would give
// each; lines without "=" and comment lines (";" first) are left out. Empty when the file or the section
// is missing. For a table read whole, where a lookup per key would read the file once per key.
QList<std::pair<QByteArray, QByteArray>> ProfileSectionValues(const QByteArray& section, const QString& path);

// WritePrivateProfileStringA: sets `key` to `value`, creating the file, section or key as needed. A value
// of nullopt removes the key; a key of nullopt removes the whole section. Returns false, with the errno in
// *error, when the file cannot be written; the folder is never created.
bool WritePrivateProfileString(const QByteArray& section, const std::optional<QByteArray>& key,
                               const std::optional<QByteArray>& value, const QString& path, int* error = nullptr);

}  // namespace pw
