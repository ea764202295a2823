#include "pipeline/PendingFiles.h"

#include <QFile>

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace pw {
namespace {

// A build writes at most an output and three temporary files at a time.
constexpr int kSlots = 8;

// Fixed storage, because a signal handler may neither allocate nor take a lock.
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};

Slot table[kSlots];

static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler reads the flags");

}  // namespace

PendingFile::PendingFile(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.size() >= PATH_MAX)
        return;
    for (int i = 0; i < kSlots; ++i) {
        if (table[i].used.load(std::memory_order_acquire))
            continue;
        std::memcpy(table[i].path, encoded.constData(), size_t(encoded.size()) + 1);
        table[i].used.store(true, std::memory_order_release);
        slot_ = i;
        return;
    }
}

PendingFile::~PendingFile()
{
    if (slot_ >= 0)
        table[slot_].used.store(false, std::memory_order_release);
}

void RemovePendingFiles() noexcept
{
    for (Slot& slot : table) {
        if (slot.used.load(std::memory_order_acquire))
            ::unlink(slot.path);
    }
}

}  // namespace pw
