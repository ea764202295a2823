#pragma once
// What a Windows program's headers say about the systems it is built for, and the functions it imports by
// name, read straight from the file with every offset checked.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <set>

namespace pwtest {

struct PeFacts {
    uint16_t machine = 0;      // 0x14c i386, 0x8664 x86-64
    bool pe32 = false;         // a 32-bit optional header (magic 0x10b), not PE32+
    uint16_t osMajor = 0, osMinor = 0;
    uint16_t subsystemMajor = 0, subsystemMinor = 0;
    bool delayImports = false;  // a delay-load import table, which these programs are not meant to have
    // Lower-case DLL name → imported function names; an import by ordinal shows as "#N".
    std::map<QString, std::set<QString>> imports;
    QString error;  // why the file could not be read; the other fields are then incomplete
};

PeFacts ReadPeFacts(const QByteArray& file);

}  // namespace pwtest
