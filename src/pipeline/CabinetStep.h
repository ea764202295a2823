#pragma once
// The last step of a cabinet build: the add-on cabinet itself.
#include "archive/cabinet/TSTCabWriter.h"
#include "project/BuildInputs.h"
#include "pipeline/PackStep.h"

#include <chrono>

namespace pw {

class CabinetStep {
public:
    // Writes the cabinet at `target`: the program (or its self-extractor) under "svcpack", with the start
    // file's runner program beside it when the folder goes in as it is, and the entries file at the top.
    // The self-extractor and the entries file are taken from the build's scratch folder `scratchDir`
    // (ending in "/"), where the cabinet library keeps its temporary files too. True when `target` is the
    // cabinet just made. Throws UserError (an ESTCabinet or a file error, or a runner missing from
    // in.appDir) when it cannot, and SilentAbort when `events` asked it to stop; a cabinet that could not
    // be finished is never left at `target`, and a file that was there stays as it was. Only `waiting`,
    // `cancelRequested` and `cabinetProgress` of `events` are used; the last at most once a
    // `progressInterval`.
    bool BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                      const QString& entriesFileName, const QString& scratchDir, const PackEvents& events = {});

    TSTCabWriter CabWriter1;
    std::chrono::milliseconds progressInterval = TSTCabWriter::kWaitInterval;
};

}  // namespace pw
