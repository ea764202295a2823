#pragma once
// What the save dialog of "Criar arquivo" answers: the chosen file, and by the filter chosen the kind of
// output.
#include <QString>

namespace pw {

struct SaveChoice {
    QString fileName;
    int filterIndex = 1;  // 1: Microsoft Cabinet, 2: 7-Zip Archive
};

}  // namespace pw
