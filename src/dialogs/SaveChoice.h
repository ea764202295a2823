#pragma once
// The save dialog of "Criar arquivo": what it suggests, and what it answers — the chosen file and, by the
// filter chosen, the kind of output.
#include <QString>

namespace pw {

struct SaveSuggestion {
    QString folder;    // where the dialog opens
    QString baseName;  // the name it offers, which takes the extension of the filter chosen
};

struct SaveChoice {
    QString fileName;
    int filterIndex = 1;  // 1: Microsoft Cabinet, 2: 7-Zip Archive
};

}  // namespace pw
