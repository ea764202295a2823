#include "pipeline/CabinetStep.h"

#include "pipeline/AppFiles.h"
#include "pipeline/CabinetLayout.h"
#include "pipeline/CabinetProgress.h"
#include "pipeline/PackStep.h"
#include "pipeline/PendingFiles.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FolderWalk.h"
#include "platform/Pacer.h"
#include "platform/PartialFile.h"
#include "project/StartFileKinds.h"

#include <QFileInfo>

namespace pw {
namespace {

// The bytes of the program folder's files, found with the rules of the writer's own walk, so the same
// files. The walk waits as the writer does, and a stop asked for meanwhile ends the step before the
// cabinet is begun.
qint64 FolderBytes(const QString& folder, const PackEvents& events)
{
    qint64 bytes = 0;
    bool stopped = false;
    Pacer pacer(TSTCabWriter::kWaitInterval);
    WalkRules rules;
    rules.cancelled = [&stopped] { return stopped; };
    rules.pump = [&] {
        if (!pacer.Due())
            return;
        if (events.waiting)
            events.waiting();
        stopped = events.cancelRequested && events.cancelRequested();
    };
    WalkFolder(folder + QLatin1Char('/'), rules, [&bytes](const WalkEntry& entry) {
        if (!entry.info.isDirectory())
            bytes += entry.info.size;
    });
    if (stopped)
        throw SilentAbort();
    return bytes;
}

// Lends the writer's progress and waiting handlers to one build, which still calls those it found there,
// and gives them back when the build ends, however it ends.
struct LentHandlers {
    explicit LentHandlers(TSTCabWriter& writer_)
        : writer(writer_), fileStatus(writer.OnFileStatus), folderStatus(writer.OnFolderStatus), waiting(writer.OnWaiting)
    {
    }
    ~LentHandlers()
    {
        writer.OnFileStatus = fileStatus;
        writer.OnFolderStatus = folderStatus;
        writer.OnWaiting = waiting;
    }
    LentHandlers(const LentHandlers&) = delete;
    LentHandlers& operator=(const LentHandlers&) = delete;

    TSTCabWriter& writer;
    const decltype(TSTCabWriter::OnFileStatus) fileStatus;
    const decltype(TSTCabWriter::OnFolderStatus) folderStatus;
    const decltype(TSTCabWriter::OnWaiting) waiting;
};

}  // namespace

bool CabinetStep::BuildCabinet(const BuildInputs& in, const QString& target, const QString& outName,
                               const QString& entriesFileName, const QString& scratchDir, const PackEvents& events)
{
    CabWriter1.TemporaryFolder = scratchDir;
    CabWriter1.SetCompressionType(in.compact ? TSTCabCompressionType::cctNone : TSTCabCompressionType::cctMsZip);
    const Runner* runner = in.compact ? nullptr : RunnerOf(in.startFile);
    const QString runnerPath = runner ? RequireAppFile(in.appDir, runner->program) : QString();
    const QString entriesPath = scratchDir + entriesFileName;
    const qint64 bytesToAdd =
        QFileInfo(entriesPath).size() +
        (in.compact ? QFileInfo(SelfExtractorPath(scratchDir, outName)).size()
                    : FolderBytes(in.sourceDir, events) + (runner ? QFileInfo(runnerPath).size() : 0));
    CabinetProgress progress(bytesToAdd);
    Pacer progressPacer(progressInterval);
    const auto report = [&] {
        if (events.cabinetProgress && progressPacer.Due())
            events.cabinetProgress(progress.Fraction());
    };
    const LentHandlers lent(CabWriter1);
    CabWriter1.OnFileStatus = [&](TSTCabWriter& writer, quint32 compressedSize, quint32 uncompressedSize, bool& abort) {
        if (lent.fileStatus)
            lent.fileStatus(writer, compressedSize, uncompressedSize, abort);
        progress.BlockCompressed(uncompressedSize);
        report();
    };
    CabWriter1.OnFolderStatus = [&](TSTCabWriter& writer, quint32 copied, quint32 total, bool& abort) {
        if (lent.folderStatus)
            lent.folderStatus(writer, copied, total, abort);
        progress.FolderCopied(copied, total);
        report();
    };
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
        // Our own files go in by their path alone. A search would take AppDir's x86_64/ twin of the runner
        // too, under "svcpack\x86_64\": a program folder may hold a file of that path, which the cabinet
        // would then name twice, the copy extracted last replacing the user's.
        if (in.compact) {
            CabWriter1.AddFile(SelfExtractorPath(scratchDir, outName), InstallerNameInCabinet(outName), false);
        } else {
            CabWriter1.AddFiles(in.sourceDir + QStringLiteral("/*"), kCabinetProgramFolder, true);
            if (runner)
                CabWriter1.AddFile(runnerPath, JoinPath(kCabinetProgramFolder, runner->program, QLatin1Char('\\')),
                                   false);
        }
        CabWriter1.AddFile(entriesPath, entriesFileName, false);
        CabWriter1.CloseCabinet(true);
    } catch (...) {
        CabWriter1.OnWaiting = nullptr;
        CabWriter1.CloseCabinet(false);
        if (cancelled)
            throw SilentAbort();
        throw;
    }
    return true;
}

}  // namespace pw
