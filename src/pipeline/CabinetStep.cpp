#include "pipeline/CabinetStep.h"

#include "pipeline/FileHelpers.h"
#include "pipeline/Runners.h"


namespace pw {
namespace {

const QString kProgramFolder = QStringLiteral("svcpack");

}  // namespace

void CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName)
{
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    WriteThroughPartialFile(target, [&](const QString& partial) {
        try {
            CabWriter1.OpenCabinet(partial);
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
            CabWriter1.CloseCabinet(false);  // releases the file before it is removed
            throw;
        }
    });
}

}  // namespace pw
