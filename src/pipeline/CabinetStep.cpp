#include "pipeline/CabinetStep.h"

#include "pipeline/AppFiles.h"
#include "pipeline/PackStep.h"
#include "pipeline/PendingFiles.h"
#include "platform/Errors.h"
#include "platform/PartialFile.h"
#include "project/StartFileKinds.h"

namespace pw {

QString InstallerNameInCabinet(const QString& outName)
{
    return kCabinetProgramFolder + QLatin1Char('\\') + outName + QStringLiteral(".exe");
}

bool CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName, const QString& scratchDir, const PackEvents& events)
{
    CabWriter1.TemporaryFolder = scratchDir;
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    const Runner* runner = in.compact ? nullptr : RunnerOf(in.startFile);
    const QString runnerPath = runner ? RequireAppFile(in.appDir, runner->program) : QString();
    bool cancelled = false;
    CabWriter1.OnWaiting = [&](TSTCabWriter&, bool& abort) {
        if (events.waiting)
            events.waiting();
        cancelled = abort = events.cancelRequested && events.cancelRequested();
    };
    // The writer names its cabinets itself, each written under a hidden name until the set is complete;
    // a process ended at once still removes the one being written.
    const PendingFile pending(PartialFileName(target));
    try {
        CabWriter1.OpenCabinet(target);
        if (in.compact) {
            CabWriter1.AddFiles(SelfExtractorPath(scratchDir, outName), kCabinetProgramFolder, true);
        } else {
            CabWriter1.AddFiles(in.sourceDir + QStringLiteral("/*"), kCabinetProgramFolder, true);
            if (runner)
                CabWriter1.AddFiles(runnerPath, kCabinetProgramFolder, true);
        }
        CabWriter1.AddFile(scratchDir + entriesFileName, entriesFileName, false);
        CabWriter1.CloseCabinet(true);
    } catch (...) {
        CabWriter1.OnWaiting = nullptr;
        CabWriter1.CloseCabinet(false);
        if (cancelled)
            throw SilentAbort();
        throw;
    }
    CabWriter1.OnWaiting = nullptr;
    return true;
}

}  // namespace pw
