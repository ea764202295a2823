#include "platform/cabinet/BlockPipeline.h"

#include <algorithm>
#include <atomic>
#include <sched.h>
#include <system_error>

namespace pw::fci {
namespace {

// Enough blocks per compressing thread that a caller held up for a moment (a status callback that repaints
// a window) finds the workers still busy when it comes back.
constexpr std::size_t kSlotsPerThread = 8;

std::atomic<unsigned> gCompressionThreads{0};

unsigned ProcessorsAvailable()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return unsigned(CPU_COUNT(&set));
    return std::thread::hardware_concurrency();
}

// The caller is one of the compressing threads.
unsigned WorkerCount()
{
    const unsigned wanted = gCompressionThreads.load();
    const unsigned count = wanted ? wanted : ProcessorsAvailable();
    return count >= 2 ? count - 1 : 0;
}

}  // namespace

void SetCompressionThreads(unsigned count)
{
    gCompressionThreads = count;
}

BlockPipeline::BlockPipeline(MemoryCallbacks memory, std::uint32_t reserve)
    : reserve_(reserve),
      buffers_(CallerAllocator<unsigned char>(memory)),
      slots_(CallerAllocator<Slot>(memory)),
      wantedWorkers_(WorkerCount()),
      workers_(CallerAllocator<std::thread>(memory))
{
    const std::size_t count = wantedWorkers_ ? (wantedWorkers_ + 1) * kSlotsPerThread : 1;
    const std::size_t slotBytes = kBlockSize + BlockEncoder::RecordCapacity(reserve);
    buffers_.resize(count * slotBytes);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char* input = buffers_.data() + i * slotBytes;
        slots_.push_back({input, input + kBlockSize, tcompTYPE_NONE, 0, 0, 0, false});
    }
}

BlockPipeline::~BlockPipeline()
{
    StopWorkers();
}

unsigned char* BlockPipeline::Input()
{
    return Pending() < slots_.size() ? SlotOf(given_).input : nullptr;
}

void BlockPipeline::Encode(BlockEncoder& encoder, Slot& slot) const
{
    try {
        slot.recordSize = encoder.Encode(slot.type, slot.input, slot.size, reserve_, slot.record, &slot.payload);
    } catch (const std::bad_alloc&) {
        slot.recordSize = 0;
    }
}

void BlockPipeline::Give(TCOMP type, std::uint32_t size)
{
    if (type == tcompTYPE_MSZIP && workers_.empty() && wantedWorkers_ > 0)
        StartWorkers();
    Slot& slot = SlotOf(given_);
    slot.type = type;
    slot.size = size;
    const bool onCaller = workers_.empty();
    if (onCaller)
        Encode(encoder_, slot);
    {
        std::lock_guard lock(mutex_);
        slot.ready = onCaller;
        ++given_;
    }
    if (!onCaller)
        queued_.notify_one();
}

bool BlockPipeline::Oldest(bool wait, Record* record)
{
    if (Pending() == 0)
        return false;
    Slot& slot = SlotOf(taken_);
    if (!workers_.empty()) {
        std::unique_lock lock(mutex_);
        if (!slot.ready && !wait)
            return false;
        // A caller that would wait compresses the blocks no worker has started on instead, and sleeps only
        // once each pending block is being compressed: with one worker fewer than processors, no processor
        // idles while blocks wait, and the caller never competes with a worker for one.
        while (!slot.ready && claimed_ < given_) {
            Slot& next = SlotOf(claimed_++);
            lock.unlock();
            Encode(encoder_, next);
            lock.lock();
            next.ready = true;
        }
        if (!slot.ready) {
            // Half the slots' worth of records: the workers stay busy on the other half while the
            // caller takes these back and refills.
            wakeAt_ = taken_ + std::min(Pending(), slots_.size() / 2) - 1;
            callerWaits_ = true;
            encoded_.wait(lock, [this] { return ReadyToWake(); });
            callerWaits_ = false;
        }
    }
    *record = {slot.record, slot.recordSize, slot.payload, slot.size};
    return true;
}

bool BlockPipeline::ReadyToWake()
{
    for (std::size_t sequence = taken_; sequence <= wakeAt_; ++sequence) {
        if (!SlotOf(sequence).ready)
            return false;
    }
    return true;
}

void BlockPipeline::TakeBack()
{
    std::lock_guard lock(mutex_);
    SlotOf(taken_).ready = false;
    ++taken_;
}

void BlockPipeline::StartWorkers()
{
    workers_.reserve(wantedWorkers_);
    try {
        while (workers_.size() < wantedWorkers_)
            workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer workers than wanted: the caller compresses more itself, and every block as given with none.
        wantedWorkers_ = unsigned(workers_.size());
    }
}

void BlockPipeline::Work()
{
    BlockEncoder encoder;
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return stopping_ || claimed_ < given_; });
        if (stopping_)
            return;
        Slot& slot = SlotOf(claimed_++);
        lock.unlock();
        Encode(encoder, slot);
        lock.lock();
        slot.ready = true;
        if (callerWaits_ && ReadyToWake())
            encoded_.notify_one();
    }
}

void BlockPipeline::StopWorkers() noexcept
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

}  // namespace pw::fci
