#include "pipeline/CabinetStep.h"

#include "pipeline/Runners.h"
#include "platform/Errors.h"

namespace pw {
namespace {

const QString kProgramFolder = QStringLiteral("svcpack");

}  // namespace

void CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName, const PackEvents& events)
{
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    bool cancelled = false;
    CabWriter1.OnWaiting = [&](TSTCabWriter&, bool& abort) {
        if (events.waiting)
            events.waiting();
        cancelled = abort = events.cancelRequested && events.cancelRequested();
    };
    // The writer names its cabinets itself, each written under a hidden name until the set is complete.
    try {
        CabWriter1.OpenCabinet(target);
        if (in.compact) {
            CabWriter1.AddFiles(in.tempDir() + outName + QStringLiteral(".exe"), kProgramFolder, true);
        } else {
            CabWriter1.AddFiles(in.sourceDir + QStringLiteral("/*"), kProgramFolder, true);
            const QString runner = RunnerProgram(in.startFile);
            if (!runner.isEmpty())
                CabWriter1.AddFiles(in.appDir + runner, kProgramFolder, true);
        }
        CabWriter1.AddFile(in.dataDir + entriesFileName, entriesFileName, false);
        CabWriter1.CloseCabinet(true);
    } catch (...) {
        CabWriter1.OnWaiting = nullptr;
        CabWriter1.CloseCabinet(false);
        if (cancelled)
            throw SilentAbort();
        throw;
    }
    CabWriter1.OnWaiting = nullptr;
}

}  // namespace pw
