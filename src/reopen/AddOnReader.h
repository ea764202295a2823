#pragma once
// An add-on opened again: the choices of the build that made it, read back from its cabinet, and its
// program taken out into a folder of its own, so that the add-on can be made again (for a new version of
// the program). An add-on of another tool, or one that lost a part, is read as far as it goes: what could
// not be read is listed, never guessed.
#include "project/BuildInputs.h"

#include <QList>
#include <QString>

namespace pw {

// What could not be read back, with its detail.
enum class Unread {
    EntriesFile,      // the cabinet holds no "ENTRIES_*.ini" at its top
    AddProgram,       // the entries file has no "[AddProgram]" command
    GeneralKeys,      // detail: the "[General]" keys the entries file lacks, joined by ", "
    StartCommand,     // detail: the run command, which names none of the program's start files as a build would
    ConfigLine,       // detail: a line of the self-extractor's configuration no build writes
    Level,            // detail: the 7z archive's methods, which no level writes
    LevelUndecided,   // detail: the levels that fit, the lowest of which is taken
};

struct UnreadPart {
    Unread what;
    QString detail;
};

enum class ReopenFailure {
    None,
    FolderNotEmpty,  // detail: the folder
    NoSevenZip,      // 7-Zip is not installed
    NotAddOn,        // detail: why 7-Zip could not take the cabinet (or the self-extractor's archive) apart, in
                     // its own words: the lines of its output that say what is wrong
    NoProgram,       // the cabinet has no program folder "svcpack"
};

struct ReopenedAddOn {
    ReopenFailure failure = ReopenFailure::None;
    QString detail;
    // sourceDir is the program folder; startFile is empty when the run command could not be read.
    BuildInputs inputs;
    QList<UnreadPart> unread;
};

// Reads `cabinet` and takes its program out into `programFolder`, which must not exist or be empty (it is
// created; on a failure nothing is left in it).
ReopenedAddOn ReopenAddOn(const QString& cabinet, const QString& programFolder);

}  // namespace pw
