#include "pipeline/BuildDriver.h"

#include "archive/cabinet/ESTCabinet.h"
#include "pipeline/AddOnNames.h"
#include "pipeline/AppFiles.h"
#include "pipeline/EntriesFile.h"
#include "pipeline/InstallerLimit.h"
#include "pipeline/OutputFolder.h"
#include "pipeline/PendingFiles.h"
#include "pipeline/UnreadableFile.h"
#include "platform/Errors.h"
#include "platform/FileHelpers.h"
#include "platform/FileNames.h"
#include "platform/SourceDateEpoch.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace pw {
namespace {

// Why a build does not run, found before anything is made or deleted, and how the message box looks.
class BuildRefused : public UserError {
public:
    BuildRefused(const QString& text, MessageKind kind_) : UserError(text), kind(kind_) {}
    MessageKind kind;
};

QString FolderOf(const QString& file)
{
    return QFileInfo(file).absolutePath();
}

// What a cabinet error means to the user, in the language's words: a file of the program folder that
// could not be read, or a cabinet or a temporary file of the cabinet library (in DataDir) that could not
// be made, with the cause. Errors of the library's own, which name nothing of the user's, keep its
// text and code.
QString CabinetFailureText(const ESTCabinet& e, const BuildInputs& in, const QString& target, const BuildTexts& texts)
{
    const int error = int(e.erfType());
    switch (e.isFci() ? e.erfOper() : 0) {
    case FCIERR_OPEN_SRC:
    case FCIERR_READ_SRC:
        if (!e.sourceFile().isEmpty())
            return WithDetail(texts.ErrMessageStr, UnreadableFileText(in, e.sourceFile(), error, texts));
        break;
    case FCIERR_CAB_FILE:
        return WithDetail(texts.CabinetNotMadeStr.arg(QDir::toNativeSeparators(target)),
                          FolderFailureText(error, FolderOf(target), texts));
    case FCIERR_TEMP_FILE: return WithDetail(texts.ErrMessageStr, FolderFailureText(error, in.tempDir(), texts));
    default: break;
    }
    return e.message();
}

}  // namespace

void BuildDriver::SevenZip1PreProgress(qint64 maxProgress)
{
    PackTotal = maxProgress;
}

void BuildDriver::SevenZip1Progress(const QString&, qint64 filePosArc, qint64)
{
    // A folder of empty files announces a total of 0: everything there is to pack is then packed.
    constexpr qint64 span = kProgressPacked - kProgressPackingStart;
    const qint64 position = PackTotal > 0 ? filePosArc * span / PackTotal + kProgressPackingStart : kProgressPacked;
    ui_.setProgress(int(std::clamp<qint64>(position, kProgressPackingStart, kProgressPacked)));
}

void BuildDriver::CabWriter1Progress(double fraction)
{
    // Short of the end by as little as a percentage shows: a cabinet written whole may still not be the
    // file the build reports.
    constexpr double lastBeforeEnd = 0.99;
    ui_.setProgress(kProgressEntriesWritten + std::clamp(fraction, 0.0, lastBeforeEnd) *
                                                  (kProgressEnd - kProgressEntriesWritten));
}

void BuildDriver::ShowStatus(const QString& text)
{
    ui_.setStatus(text);
    ui_.processEvents();
}

void BuildDriver::ShowMessage(const QString& text, MessageKind kind)
{
    lastMessage = text;
    ui_.showMessage(text, kind);
}

void BuildDriver::RemoveLeftovers(const BuildInputs& in)
{
    DeleteFiles(in.dataDir + QStringLiteral("*.ini"));
    DeleteFiles(in.tempDir() + QStringLiteral("*.*"));
    RemoveAbandonedScratchFolders(in.tempDir());
}

void BuildDriver::MakeScratchFolder(const BuildInputs& in)
{
    // The window's launcher makes DataDir/temp, packwright-build makes it when missing; a build only
    // makes its own folder inside it.
    const QString folder = in.tempDir();
    if (const QString problem = FolderWriteProblem(folder, texts); !problem.isEmpty())
        throw BuildRefused(WithDetail(texts.ErrMessageStr, problem), MessageKind::Error);
    try {
        scratch_.emplace(folder);
    } catch (const ScratchFolderFailure& e) {
        throw BuildRefused(WithDetail(texts.ErrMessageStr, FolderFailureText(e.error, folder, texts)),
                           MessageKind::Error);
    }
}

QString BuildDriver::PackFailureDetail(const BuildInputs& in, const QString& folder) const
{
    const TSevenZip::UnreadFile unread = pack.SevenZip1.FirstUnreadFile();
    if (!unread.path.isEmpty())
        return UnreadableFileText(in, unread.path, unread.error, texts);
    return WriteFailureDetail(pack.SevenZip1.LastError, folder, texts);
}

QString BuildDriver::ShownFolder(const BuildInputs& in, const QString& file) const
{
    return scratch_ && file.startsWith(scratch_->path()) ? in.tempDir() : FolderOf(file);
}

void BuildDriver::CleanUp(const BuildInputs& in, const QString& finalStatus)
{
    // The bar rests while the clean-up, which has no percentage, runs.
    ui_.setProgress(kProgressIdle);
    ShowStatus(texts.DelTempStr);
    // Only this build's own files: another build may be running beside it.
    if (scratch_)
        scratch_.reset();
    else
        RemoveLeftovers(in);
    ui_.setStatus(finalStatus);
    ui_.processEvents();
    ui_.setBuilding(false);
    Busy = false;
}

BuildDriver::Outcome BuildDriver::Report(bool made, const QString& failureDetail)
{
    if (made) {
        ui_.setProgress(kProgressEnd);
        lastMessage = texts.MessageStr;
        ui_.showSuccess(texts.MessageStr, QFileInfo(lastOutput).absoluteFilePath());
        return Outcome::Succeeded;
    }
    ShowMessage(WithDetail(texts.ErrMessageStr, failureDetail), MessageKind::Error);
    return Outcome::Failed;
}

SaveSuggestion BuildDriver::SuggestedOutput(const BuildInputs& in) const
{
    const QFileInfo program(QDir::cleanPath(in.sourceDir));
    // The add-on's name stands on its "[AddProgram]" line, where a blank is refused: "Mozilla Firefox"
    // is offered as "MozillaFirefox".
    QString name = program.fileName();
    if (const QString joined = QString(name).remove(QLatin1Char(' ')); !joined.isEmpty())
        name = joined;
    return {lastOutput.isEmpty() ? program.absolutePath() : FolderOf(lastOutput), name};
}

BuildDriver::Outcome BuildDriver::Build(const BuildInputs& in)
{
    // Busy first: what the window does while it locks its inputs already sees a build.
    Busy = true;
    ui_.setBuilding(true);
    lastMessage.clear();
    Outcome outcome = Outcome::Cancelled;
    if (const std::optional<BuildUi::SaveChoice> choice = ui_.askSaveFile(SuggestedOutput(in))) {
        lastOutput = choice->fileName;
        // Whatever a step raises ends the build, and the clean-up below still runs: the temporary files
        // go and the window comes back to its idle state.
        outcome = Outcome::Error;
        try {
            outcome = RunSteps(in, *choice);
        } catch (const BuildRefused& e) {
            ShowMessage(e.message(), e.kind);
        } catch (const NameRefused& e) {
            ShowMessage(RefusalText(e, texts), MessageKind::Warning);
        } catch (const AppFileMissing& e) {
            ShowMessage(texts.AppFileMissingStr.arg(e.name, e.folder), MessageKind::Warning);
        } catch (const InstallerTooBig& e) {
            ShowMessage(WithDetail(texts.ErrMessageStr, InstallerTooBigText(e, texts)), MessageKind::Error);
        } catch (const ESTCabinet& e) {
            ShowMessage(CabinetFailureText(e, in, choice->fileName, texts), MessageKind::Error);
        } catch (const FileError& e) {
            ShowMessage(WithDetail(e.message(), WriteFailureDetail(e.error, ShownFolder(in, e.path), texts)),
                        MessageKind::Error);
        } catch (const UserError& e) {
            ShowMessage(e.message(), MessageKind::Error);
        } catch (const SilentAbort&) {
            outcome = Outcome::Aborted;
        } catch (const std::exception& e) {
            ShowMessage(QString::fromLocal8Bit(e.what()), MessageKind::Error);
        }
    }
    CleanUp(in, outcome == Outcome::Succeeded
                    ? texts.FileMadeStr.arg(QDir::toNativeSeparators(QFileInfo(lastOutput).absoluteFilePath()))
                    : kIdleStatus);
    return outcome;
}

void BuildDriver::CheckBeforeBuilding(const BuildInputs& in, const QString& target, bool plainArchive) const
{
    if (const QString problem = SourceDateEpochProblem(); !problem.isEmpty())
        throw UserError(problem);
    if (IsInsideFolder(target, in.sourceDir) || IsInsideFolder(target, in.dataDir))
        throw BuildRefused(texts.OutputFolderRefusedStr.arg(target), MessageKind::Warning);
    if (const QString problem = FolderWriteProblem(FolderOf(target), texts); !problem.isEmpty())
        throw BuildRefused(WithDetail(texts.ErrMessageStr, problem), MessageKind::Error);
    // The folder and start file may have changed since "Criar arquivo" was enabled, also while the save
    // dialog was open: the add-on must hold what the user sees.
    if (QDir::cleanPath(in.folderText) != QDir::cleanPath(in.sourceDir))
        throw BuildRefused(texts.FolderNotReadStr.arg(in.folderText), MessageKind::Warning);
    if (in.startFile.isEmpty())
        throw BuildRefused(texts.NoStartFileStr, MessageKind::Warning);
    if (!QFileInfo(in.startFilePath()).isFile())
        throw BuildRefused(texts.StartFileMissingStr.arg(in.startFile, in.sourceDir), MessageKind::Warning);
    if (plainArchive)
        return;
    CheckAddOnValues(in, target);
    for (const QString& name : AppFilesNeeded(in))
        RequireAppFile(in.appDir, name);
    // A 7z archive's names are checked as the packing gathers them, before its file is made.
    if (!in.compact)
        CheckCabinetFolder(in, [this] { ui_.processEvents(); });
}

BuildDriver::Outcome BuildDriver::RunSteps(const BuildInputs& in, const BuildUi::SaveChoice& choice)
{
    const QString target = choice.fileName;
    const bool plainArchive = choice.kind == OutputKind::PlainArchive;
    ui_.setProgress(kProgressIdle);
    OutName = BareFileName(target);
    ShowStatus(texts.InitProcessStr);
    CheckBeforeBuilding(in, target, plainArchive);
    RemoveLeftovers(in);
    // A plain archive is written straight to its place; only a cabinet build has temporary files.
    if (!plainArchive)
        MakeScratchFolder(in);
    ui_.setProgress(kProgressPackingStart);

    const PackEvents events{[this](qint64 total) { SevenZip1PreProgress(total); },
                            [this](const QString& name, qint64 arc, qint64 file) { SevenZip1Progress(name, arc, file); },
                            [this] { ui_.processEvents(); },
                            [this] { return ui_.cancelRequested(); },
                            [this](double fraction) { CabWriter1Progress(fraction); }};

    // The status line names the key that stops the packing and the cabinet.
    const QString stopHint = StopHint(texts, ui_.stopKey());
    const QString packingStatus = texts.CompactZipStr + stopHint;
    if (plainArchive) {
        ShowStatus(packingStatus);
        const bool made = WriteThroughPartialFile(target, [&](const QString& partial) {
            return pack.PackFolder(in, partial, events, PackPurpose::PlainArchive);
        });
        return Report(made, PackFailureDetail(in, FolderOf(target)));
    }

    const QString scratch = scratch_->path();
    if (in.compact) {
        ShowStatus(packingStatus);
        const InstallerLimit limit(in, OutName);
        PackEvents packing = events;
        packing.preProgress = [&](qint64 total) {
            limit.RequireFilesToPack(total);
            SevenZip1PreProgress(total);
        };
        const QString archive = SelfExtractorArchivePath(scratch);
        if (!pack.PackFolder(in, archive, packing, PackPurpose::SelfExtractorArchive))
            return Report(false, PackFailureDetail(in, in.tempDir()));
        limit.RequireArchive(QFileInfo(archive).size());
        ShowStatus(texts.CompileSFXStr);
        pack.BuildSelfExtractor(in, OutName, scratch);
    }
    ui_.setProgress(kProgressPacked);
    ShowStatus(texts.ProcessInfoStr);
    EntriesFileName = WriteEntriesFile(in, OutName, scratch);
    // The position first: a view that shows the cabinet's own percentage beside the step's words shows
    // them at 0% from the first moment.
    ui_.setProgress(kProgressEntriesWritten);
    ShowStatus(texts.CompactCABStr + stopHint);
    return Report(cabinet.BuildCabinet(in, target, OutName, EntriesFileName, scratch, events));
}

}  // namespace pw
