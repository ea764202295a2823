#pragma once
// Where the program of an add-on opened again goes: a folder of its own, never one that holds anything.
#include <QString>

namespace pw {

// Whether the program may be taken out into `folder`: it does not exist yet, or is an empty folder.
bool CanTakeProgram(const QString& folder);

// The folder offered for the program of `cabinet`: "<name>-files" beside it, or the first of
// "<name>-files-2", "<name>-files-3", ... that can take it.
QString ProposedProgramFolder(const QString& cabinet);

}  // namespace pw
