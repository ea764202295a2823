#pragma once
// Files and folders a build is in the middle of writing. When the process is ended at once (a second
// Ctrl+C), its signal handler removes them on the way out, so that nothing half-written outlives the
// build.
#include <QString>

#include <functional>

namespace pw {

// Keeps a path registered for as long as it lives. Registration never fails the build: a path too long
// for the table, or a full table, is only left unregistered.
class PendingPath {
public:
    PendingPath(const PendingPath&) = delete;
    PendingPath& operator=(const PendingPath&) = delete;

protected:
    PendingPath(const QString& path, bool folder);
    ~PendingPath();

private:
    int slot_ = -1;
};

// A file: it is removed.
class PendingFile : private PendingPath {
public:
    explicit PendingFile(const QString& path) : PendingPath(path, false) {}
};

// A folder of files the build (or a try) writes: everything in it is removed, the folders in it too, then
// the folder itself. Its files may come and go while it is registered, also the moment the handler runs.
class PendingFolder : private PendingPath {
public:
    explicit PendingFolder(const QString& path) : PendingPath(path, true) {}
};

// Has `write` make the output of a build under a hidden name of its own beside `target`, and gives that
// file the target's name only once `write` has said it made the file: a failed or stopped build leaves
// neither a partial file nor the loss of an earlier file there. The partial file is registered while it is
// written. True when `target` is the file just made; false when `write` made none. Raises "Cannot create
// file" when the renaming fails.
bool WriteThroughPartialFile(const QString& target, const std::function<bool(const QString& partial)>& write);

// Removes every registered file and folder. Safe in a signal handler, on any thread: it reads lock-free
// flags and makes system calls only (unlink, and for a folder open, getdents64, unlinkat, rmdir).
void RemovePendingFiles() noexcept;

}  // namespace pw
