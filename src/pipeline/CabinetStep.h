#pragma once
// The last step of a cabinet build: the add-on cabinet itself.
#include "archive/cabinet/TSTCabWriter.h"
#include "pipeline/BuildInputs.h"
#include "pipeline/PackStep.h"

namespace pw {

class CabinetStep {
public:
    // Writes the cabinet at `target`: the program (or its self-extractor) under "svcpack" and the entries
    // file at the top. Throws UserError (an ESTCabinet or a file error) when it cannot, and SilentAbort
    // when `events` asked it to stop; a cabinet that could not be finished is never left at `target`, and
    // a file that was there stays as it was. Only `waiting` and `cancelRequested` of `events` are used.
    void BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                      const QString& entriesFileName, const PackEvents& events = {});

    TSTCabWriter CabWriter1;
};

}  // namespace pw
