#pragma once
// A folder of temporary files that one process makes for itself: a build's scratch folder, a try's
// Wine prefix. Processes that run at the same time, from windows and scripts of the same user, never
// share one.
//
// The process marks its folder as in use with a lock on a file inside it, which the system drops when
// the process ends, however it ends (a crash, a kill, a second Ctrl+C). So the next process to make
// such a folder in the same place can tell one whose process has died, and removes it, from one whose
// process still runs, which it leaves alone.
#include <QString>

#include <functional>

namespace pw {

class LockedFolder {
public:
    // Makes a new folder in `parent` (which must exist), named `prefix`, the process number and a random
    // part, and locks it. error() says when it could not.
    LockedFolder(const QString& parent, const QString& prefix);
    // Removes the folder with everything in it.
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    // The system's error number when the folder could not be made; else 0.
    int error() const { return error_; }
    // Ends in "/"; empty when the folder could not be made.
    const QString& path() const { return path_; }

private:
    QString path_;
    int lock_ = -1;
    int error_ = 0;
};

// Removes every folder in `parent` whose name begins with `prefix` and whose process no longer runs.
// Never one whose process still runs, even one that is being made at this moment, and nothing else.
// `beforeRemoval`, when given, is called with each such folder (ending in "/") before it goes.
void RemoveAbandonedFolders(const QString& parent, const QString& prefix,
                            const std::function<void(const QString& folder)>& beforeRemoval = {});

}  // namespace pw
