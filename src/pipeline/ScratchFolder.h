#pragma once
// One build's own folder for its temporary files, inside the working folder DataDir/temp: the packed
// archive, the self-extractor, the entries file and the cabinet library's temporary files. A locked
// folder: the next build removes it if its build has died, and leaves it alone while its build runs.
#include "pipeline/PendingFiles.h"
#include "platform/Errors.h"
#include "platform/LockedFolder.h"

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
    ~ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends in "/".
    const QString& path() const { return folder_.path(); }

private:
    // A second Ctrl+C takes the folder with it, also while the folder is being removed: so declared first,
    // to be unregistered last.
    std::optional<PendingFolder> pending_;
    LockedFolder folder_;
};

// True for a name a build may have given its scratch folder.
bool IsScratchFolderName(const QString& name);

// Removes every scratch folder in `tempDir` whose build no longer runs. Never one whose build still
// runs, even one that is being made at this moment, and nothing else in `tempDir`.
void RemoveAbandonedScratchFolders(const QString& tempDir);

}  // namespace pw
