#pragma once
// The last step of a cabinet build: the add-on cabinet itself.
#include "archive/cabinet/TSTCabWriter.h"
#include "pipeline/BuildInputs.h"

namespace pw {

class CabinetStep {
public:
    // Writes the cabinet at `target`: the program (or its self-extractor) under "svcpack", with the start
    // file's runner program beside it when the folder goes in as it is, and the entries file at the top.
    // True when `target` is the cabinet just made. Throws UserError (an ESTCabinet or a file error, or a
    // runner missing from in.appDir) when it cannot; a cabinet that could not be finished is never left
    // at `target`, and a file that was there stays as it was.
    bool BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                      const QString& entriesFileName);

    TSTCabWriter CabWriter1;
};

}  // namespace pw
