#include "pipeline/CabinetStep.h"

#include "pipeline/AppFiles.h"
#include "pipeline/FileHelpers.h"
#include "pipeline/PackStep.h"
#include "project/StartFileKinds.h"

namespace pw {
namespace {

const QString kProgramFolder = QStringLiteral("svcpack");

}  // namespace

bool CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName)
{
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    const Runner* runner = in.compact ? nullptr : RunnerOf(in.startFile);
    const QString runnerPath = runner ? RequireAppFile(in.appDir, runner->program) : QString();
    return WriteThroughPartialFile(target, [&](const QString& partial) {
        try {
            CabWriter1.OpenCabinet(partial);
            if (in.compact) {
                CabWriter1.AddFiles(SelfExtractorPath(in, outName), kProgramFolder, true);
            } else {
                CabWriter1.AddFiles(in.sourceDir + QStringLiteral("/*"), kProgramFolder, true);
                if (runner)
                    CabWriter1.AddFiles(runnerPath, kProgramFolder, true);
            }
            CabWriter1.AddFile(in.dataDir + entriesFileName, entriesFileName, false);
            CabWriter1.CloseCabinet(true);
            return true;
        } catch (...) {
            CabWriter1.CloseCabinet(false);  // releases the file before it is removed
            throw;
        }
    });
}

}  // namespace pw
