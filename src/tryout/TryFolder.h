#pragma once
// The folder a try works in: made fresh for each try, removed whole at its end however it ends; and reading
// back the files the try's programs write there. A locked folder: a try that was ended at once (a crash, a
// kill) leaves its folder, a whole Wine prefix, and the next try removes it; a second Ctrl+C removes it on
// the way out.
#include "pipeline/PendingFiles.h"
#include "platform/LockedFolder.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

class TryFolder {
public:
    // Makes a new folder in `parent` (the system's temporary folder when empty), after removing those of
    // tries there that have ended without removing theirs.
    explicit TryFolder(const QString& parent);

    bool isValid() const { return folder_ && folder_->error() == 0; }
    // Without a "/" at the end.
    QString path() const { return isValid() ? folder_->path().chopped(1) : QString(); }
    QString error() const { return error_; }

private:
    // A second Ctrl+C takes the folder with it, as it takes a build's: so declared first, to be
    // unregistered last.
    std::optional<PendingFolder> pending_;
    std::optional<LockedFolder> folder_;
    QString error_;
};

// The content of `path`; empty when it cannot be read.
QByteArray ReadWholeFile(const QString& path);

}  // namespace pw
