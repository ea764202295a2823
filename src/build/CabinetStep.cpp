#include "build/CabinetStep.h"

#include "build/Runners.h"
#include "platform/Errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace pw {
namespace {

const QString kProgramFolder = QStringLiteral("svcpack");

// The cabinet is written under a name of its own beside the target and takes the target's name only once
// it is complete, so a failed build leaves neither a partial cabinet nor a lost earlier file there.
QString PartialName(const QString& target)
{
    const QFileInfo info(target);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial");
}

}  // namespace

void CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName)
{
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    const QString partial = PartialName(target);
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
        CabWriter1.CloseCabinet(false);
        QFile::remove(partial);
        throw;
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        QFile::remove(partial);
        throw CannotCreateFile(target, SystemErrorText(error));
    }
}

}  // namespace pw
