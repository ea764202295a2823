#pragma once
// The save dialog of "Criar arquivo": what it suggests, and what it answers — the chosen file and, by the
// filter chosen, the kind of output.
#include <QString>

namespace pw {

struct SaveSuggestion {
    QString folder;    // where the dialog opens
    QString baseName;  // the name it offers, which takes the extension of the filter chosen
};

// What a build makes, as the save dialog's filter chose it: an add-on cabinet ("Microsoft Cabinet", the
// first filter) or a plain 7z archive of the program folder ("7-Zip Archive", the second).
enum class OutputKind { Cabinet, PlainArchive };

struct SaveChoice {
    QString fileName;
    OutputKind kind = OutputKind::Cabinet;
};

}  // namespace pw
