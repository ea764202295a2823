#include "pipeline/PendingFiles.h"

#include "platform/PartialFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

// A build writes at most an output, three temporary files and its scratch folder at a time.
constexpr int kSlots = 8;

enum SlotState : unsigned char { kFree, kFile, kFolder };

// Fixed storage, because a signal handler may neither allocate nor take a lock.
struct Slot {
    std::atomic<unsigned char> state{kFree};
    char path[PATH_MAX];
};

Slot table[kSlots];

static_assert(std::atomic<unsigned char>::is_always_lock_free, "a signal handler reads the flags");

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Deeper folders than this (a Wine prefix has about fifteen levels) are left: each level holds a listing
// buffer on the stack of the signal handler.
constexpr int kMaxDepth = 32;

// Empties the folder open as `folder`, the folders in it included. Only system calls: readdir() and friends
// may allocate.
void RemoveContent(int folder, int depth) noexcept
{
    alignas(struct dirent64) char buffer[2048];
    for (ssize_t n; (n = ::getdents64(folder, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            if (IsDotOrDotDot(entry->d_name) || ::unlinkat(folder, entry->d_name, 0) == 0 || errno != EISDIR
                || depth >= kMaxDepth)
                continue;
            const int inner = ::openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
            if (inner < 0)
                continue;
            ::fchmod(inner, 0700);  // a folder its program made read-only
            RemoveContent(inner, depth + 1);
            ::close(inner);
            ::unlinkat(folder, entry->d_name, AT_REMOVEDIR);
        }
    }
}

// Another thread may still be creating files in the folder while this runs; once the folder itself is
// gone, nothing more can be made in it, so the listing is repeated until rmdir() succeeds.
void RemoveFolderAndContent(const char* path) noexcept
{
    for (int round = 0; round < 16; ++round) {
        const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (folder < 0)
            return;
        RemoveContent(folder, 0);
        ::close(folder);
        if (::rmdir(path) == 0 || errno != ENOTEMPTY)
            return;
    }
}

}  // namespace

PendingPath::PendingPath(const QString& path, bool folder)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.size() >= PATH_MAX)
        return;
    for (int i = 0; i < kSlots; ++i) {
        if (table[i].state.load(std::memory_order_acquire) != kFree)
            continue;
        std::memcpy(table[i].path, encoded.constData(), size_t(encoded.size()) + 1);
        table[i].state.store(folder ? kFolder : kFile, std::memory_order_release);
        slot_ = i;
        return;
    }
}

PendingPath::~PendingPath()
{
    if (slot_ >= 0)
        table[slot_].state.store(kFree, std::memory_order_release);
}

bool WriteThroughPartialFile(const QString& target, const std::function<bool(const QString& partial)>& write)
{
    const QString partial = PartialFileName(target);
    const PendingFile pending(partial);
    bool made = false;
    try {
        made = write(partial);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!made || !QFileInfo::exists(partial)) {
        QFile::remove(partial);
        return false;
    }
    GivePartialFileItsName(partial, target);
    return true;
}

void RemovePendingFiles() noexcept
{
    const int savedErrno = errno;
    for (Slot& slot : table) {
        switch (slot.state.load(std::memory_order_acquire)) {
        case kFile:
            ::unlink(slot.path);
            break;
        case kFolder:
            RemoveFolderAndContent(slot.path);
            break;
        default:
            break;
        }
    }
    errno = savedErrno;
}

}  // namespace pw
