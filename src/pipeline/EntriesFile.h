#pragma once
// The add-on's entries file: the user's entries text followed by "[AddProgram]" and the command that
// runs the installer.
#include "project/BuildInputs.h"

#include <QStringList>

namespace pw {

// "ENTRIES_" + `outName` with the ASCII letters a to z in upper case + ".ini".
QString EntriesFileName(const QString& outName);

// The command line of "[AddProgram]".
QString AddProgramCommand(const BuildInputs& in, const QString& outName);

// Every line of the file, in order.
QStringList EntriesFileLines(const BuildInputs& in, const QString& outName);

// The file's bytes: every line ended by CR LF, in the system code page.
QByteArray EntriesFileBytes(const BuildInputs& in, const QString& outName);

// Writes `folder` (ending in "/") + EntriesFileName(outName) and returns the file name. Throws FileError
// when the file cannot be written.
QString WriteEntriesFile(const BuildInputs& in, const QString& outName, const QString& folder);

}  // namespace pw
