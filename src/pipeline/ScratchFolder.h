#pragma once
// One build's own folder for its temporary files, inside the working folder DataDir/temp: the packed
// archive, the self-extractor, the entries file and the cabinet library's temporary files. Builds that
// run at the same time, from windows and scripts of the same user, never share a file this way.
//
// A build marks its folder as in use with a lock on a file inside it, which the system drops when the
// process ends, however it ends. So the next build can tell a folder whose build has died, and removes
// it, from one whose build still runs, which it leaves alone.
#include "pipeline/PendingFiles.h"
#include "platform/Errors.h"

#include <QString>

#include <optional>

namespace pw {

// The folder could not be made; `error` is the system's error number.
class ScratchFolderFailure : public UserError {
public:
    ScratchFolderFailure(const QString& tempDir, int error);
    int error;
};

class ScratchFolder {
public:
    // Makes a new folder in `tempDir` (which must exist) and locks it. Throws ScratchFolderFailure.
    explicit ScratchFolder(const QString& tempDir);
    // Removes the folder with everything in it.
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends in "/".
    const QString& path() const { return path_; }

private:
    QString path_;
    int lock_ = -1;
    std::optional<PendingFolder> pending_;  // a second Ctrl+C takes the folder with it
};

// True for a name a build may have given its scratch folder.
bool IsScratchFolderName(const QString& name);

// Removes every scratch folder in `tempDir` whose build no longer runs. Never one whose build still
// runs, even one that is being made at this moment, and nothing else in `tempDir`.
void RemoveAbandonedScratchFolders(const QString& tempDir);

}  // namespace pw
