#pragma once
// The add-on's entries file: the user's entries text followed by "[AddProgram]" and the command that
// runs the installer.
#include "project/BuildInputs.h"

#include <QStringList>

namespace pw {

// The section the build appends to the user's entries text.
inline const QString kAddProgramSection = QStringLiteral("[AddProgram]");

// "ENTRIES_" + `outName` with the ASCII letters a to z in upper case + ".ini".
QString EntriesFileName(const QString& outName);

// The command line of "[AddProgram]".
QString AddProgramCommand(const BuildInputs& in, const QString& outName);

// Every line of the file, in order.
QStringList EntriesFileLines(const BuildInputs& in, const QString& outName);

// The file's bytes: every line ended by CR LF, in the system code page.
QByteArray EntriesFileBytes(const BuildInputs& in, const QString& outName);

// An entries file taken apart again: the entries text and the command of its last "[AddProgram]" section.
struct EntriesFileParts {
    bool hasAddProgram = false;  // false: the whole file is the entries text, and there is no command
    QString entriesText;         // lines separated by "\n"
    QString command;             // the first line of the section that is not empty
};
EntriesFileParts SplitEntriesFile(const QByteArray& bytes);

// Writes `folder` (ending in "/") + EntriesFileName(outName) and returns the file name. Throws FileError
// when the file cannot be written.
QString WriteEntriesFile(const BuildInputs& in, const QString& outName, const QString& folder);

}  // namespace pw
