#pragma once
// Files and folders a build is in the middle of writing. When the process is ended at once (a second
// Ctrl+C), its signal handler removes them on the way out, so that nothing half-written outlives the
// build.
#include <QString>

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

// A folder of files the build writes: everything in it is removed, then the folder itself. Its files may
// come and go while it is registered, also the moment the handler runs.
class PendingFolder : private PendingPath {
public:
    explicit PendingFolder(const QString& path) : PendingPath(path, true) {}
};

// Removes every registered file and folder. Safe in a signal handler, on any thread: it reads lock-free
// flags and makes system calls only (unlink, and for a folder open, getdents64, unlinkat, rmdir).
void RemovePendingFiles() noexcept;

}  // namespace pw
