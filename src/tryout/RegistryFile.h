#pragma once
// The registry of a Wine prefix as its server saves it (system.reg for HKEY_LOCAL_MACHINE, user.reg for
// HKEY_CURRENT_USER), read as text: the same keys and values an export would give, without starting Wine
// twice more for each export.
#include <QMap>
#include <QString>
#include <QStringList>

namespace pw {

// Value name ("" for a key's default value) to its data as the file writes it ("\"text\"", "dword:0000000a",
// "hex:01,02", "str(2):\"%TEMP%\"").
using RegistryValues = QMap<QString, QString>;
// Key path ("Software\Vendor\Product", "\" between its parts) to its values.
using RegistryKeys = QMap<QString, RegistryValues>;

RegistryKeys ReadRegistryFile(const QString& path);
// The same from the file's text.
RegistryKeys ParseRegistry(const QString& text);

// What `after` adds to `before` below HKEY\Software, Wine's own configuration (Software\Wine) left out:
// "HIVE\KEY: NAME = DATA" for every value added or changed, "HIVE\KEY" for a key added without values.
QStringList SoftwareChanges(const RegistryKeys& before, const RegistryKeys& after, const QString& hive);

// A value's data as a person reads it: strings without quotes or escapes, numbers in decimal, anything
// else as the file writes it.
QString ReadableData(const QString& data);

}  // namespace pw
