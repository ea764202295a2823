#pragma once
// The data blocks of a folder are independent of each other, so MSZIP blocks are compressed on worker
// threads, one fewer than the processors, while the caller goes on reading, and by the caller itself when
// it would otherwise wait for a slot; their records come back in the order the blocks were given, each
// byte for byte what one thread makes of it. Stored blocks, and every block on a machine with a single
// processor, are encoded as they are given, on the caller's thread.
//
// The caller fills the block at Input() and gives it; the slots hold a few blocks per worker, so the
// caller takes back the oldest records (waiting for them if need be) before it can fill more.
#include "platform/cabinet/CabFormat.h"
#include "platform/cabinet/CallerMemory.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace pw::fci {

// Threads that compress the MSZIP blocks of every cabinet made from now on, the caller's own among them:
// 0 means one per processor this process may run on, and a count below 2 compresses on the caller's thread
// alone. For the benchmarks and for the tests that compare the two.
void SetCompressionThreads(unsigned count);

class BlockPipeline {
public:
    struct Record {
        const unsigned char* bytes;
        std::size_t size;  // 0 when the deflate engine could not be had (out of memory)
        std::uint32_t payload;
        std::uint32_t uncompressed;
    };

    // Slots come from the caller's allocation callback; throws std::bad_alloc when they cannot be had.
    BlockPipeline(MemoryCallbacks memory, std::uint32_t reserve);
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    // Room for kBlockSize bytes of the next block, the same until it is given; null while every slot holds
    // a record not yet taken back.
    unsigned char* Input();
    // Hands over the first `size` bytes at Input(), to be encoded as `type`.
    void Give(TCOMP type, std::uint32_t size);
    // Blocks given and not yet taken back.
    std::size_t Pending() const { return given_ - taken_; }
    // The oldest record not yet taken back: with `wait`, once it is ready; without, only if it is.
    // False when nothing is pending (or, without `wait`, the oldest is still being compressed). A caller
    // that has to wait sleeps until several records are ready, so that it does not wake once per block.
    bool Oldest(bool wait, Record* record);
    void TakeBack();

private:
    struct Slot {
        unsigned char* input;
        unsigned char* record;
        TCOMP type;
        std::uint32_t size;
        std::size_t recordSize;
        std::uint32_t payload;
        bool ready;
    };

    Slot& SlotOf(std::size_t sequence) { return slots_[sequence % slots_.size()]; }
    // Whether every block from the oldest pending one up to `wakeAt_` is ready; under `mutex_`.
    bool ReadyToWake();
    void Encode(BlockEncoder& encoder, Slot& slot) const;
    void StartWorkers();
    void Work();
    void StopWorkers() noexcept;

    const std::uint32_t reserve_;
    CallerVector<unsigned char> buffers_;
    CallerVector<Slot> slots_;
    BlockEncoder encoder_;  // the caller's own, for the blocks it encodes
    unsigned wantedWorkers_;
    CallerVector<std::thread> workers_;

    std::mutex mutex_;  // guards the sequence numbers and the slots' `ready`
    std::condition_variable queued_;
    std::condition_variable encoded_;
    std::size_t given_ = 0;    // blocks given
    std::size_t claimed_ = 0;  // blocks a worker has started on
    std::size_t taken_ = 0;    // records taken back
    std::size_t wakeAt_ = 0;   // while the caller waits: the block sequence it waits to see ready
    bool callerWaits_ = false;
    bool stopping_ = false;
};

}  // namespace pw::fci
