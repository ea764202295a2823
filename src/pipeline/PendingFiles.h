#pragma once
// Files a build is in the middle of writing. When the process is ended at once (a second Ctrl+C), its
// signal handler removes them on the way out, so that nothing half-written outlives the build.
#include <QString>

namespace pw {

// Keeps `path` registered for as long as it lives. Registration never fails the build: a path too long
// for the table, or a full table, is only left unregistered.
class PendingFile {
public:
    explicit PendingFile(const QString& path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

private:
    int slot_ = -1;
};

// Removes every registered file. Safe in a signal handler, on any thread: it reads lock-free flags and
// calls unlink() only.
void RemovePendingFiles() noexcept;

}  // namespace pw
