#include "project/WindowModel.h"

#include <QDir>

namespace pw {

bool WindowModel::ScanKeepsChoice(const QString& folder, const std::optional<FolderScanResult>& scan,
                                  const QString& chosen) const
{
    return scan && !SourceDir.isEmpty() && QDir::cleanPath(folder) == QDir::cleanPath(SourceDir) &&
           scan->startFiles.contains(chosen);
}

void WindowModel::TakeScan(const QString& folder, const FolderScanResult& scan)
{
    FolderEntries = scan.folderEntries;
    SourceDir = folder;
}

bool WindowModel::FolderPending(const QString& folderText) const
{
    return QDir::cleanPath(folderText) != QDir::cleanPath(SourceDir);
}

QString WindowModel::StartFileToFollow(const FolderScanResult& scan) const
{
    return OpenedStartFile.isEmpty() ? QString() : FollowingStartFile(scan.startFiles, OpenedStartFile);
}

PollState WindowModel::Poll(PollInputs in) const
{
    in.folderEntriesEmpty = FolderEntries.isEmpty();
    in.sourceDir = SourceDir;
    in.busy = Busy();
    return EvaluatePoll(in);
}

BuildInputs WindowModel::NewBuildInputs() const
{
    BuildInputs in;
    in.appDir = AppDir;
    in.dataDir = DataDir;
    in.sourceDir = SourceDir;
    return in;
}

std::optional<SessionSettings> WindowModel::SessionToKeep(const WindowChoices& choices) const
{
    if (!sessionRestored_)
        return std::nullopt;
    SessionSettings session;
    session.programFolder = SourceDir;
    session.startFile = choices.startFile;
    session.lastOutput = choices.lastOutput;
    session.compressionLevel = choices.compressionLevel;
    session.overwriteMode = choices.overwriteMode;
    session.target = choices.target;
    return session;
}

}  // namespace pw
