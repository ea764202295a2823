#include "archive/sevenzip/CallerThreadRelay.h"

#include <utility>

namespace pw {

CallerThreadRelay::CallerThreadRelay(Task pump, std::chrono::milliseconds pumpInterval, Task stopWork)
    : pump_(std::move(pump)), pumpInterval_(pumpInterval), stopWork_(std::move(stopWork))
{
}

void CallerThreadRelay::Enqueue(Entry entry)
{
    const bool awaited = entry.done != nullptr;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(entry));
        awaitedTasks_ += awaited;
        ++handedOver_;
    }
    if (awaited)
        wake_.notify_one();
}

std::uint64_t CallerThreadRelay::TasksHandedOver() const
{
    std::lock_guard lock(mutex_);
    return handedOver_;
}

void CallerThreadRelay::Post(Task task)
{
    Enqueue({std::move(task), nullptr});
}

void CallerThreadRelay::Call(Task task)
{
    if (std::this_thread::get_id() == caller_) {
        RunGuarded(task);
        return;
    }
    std::promise<void> done;
    std::future<void> ran = done.get_future();
    Enqueue({std::move(task), &done});
    ran.wait();
}

void CallerThreadRelay::RunGuarded(const Task& task)
{
    if (failure_ || !task)
        return;
    try {
        task();
    } catch (...) {
        failure_ = std::current_exception();
        if (stopWork_)
            stopWork_();
    }
}

void CallerThreadRelay::Finish(Entry& entry)
{
    RunGuarded(entry.task);
    if (entry.done)
        entry.done->set_value();
}

HRESULT CallerThreadRelay::Run(const std::function<HRESULT()>& work)
{
    caller_ = std::this_thread::get_id();
    HRESULT result = E_FAIL;
    std::exception_ptr workFailure;
    std::thread helper([&] {
        try {
            result = work();
        } catch (...) {
            workFailure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            workDone_ = true;
        }
        wake_.notify_one();
    });

    using Clock = std::chrono::steady_clock;
    Clock::time_point nextPump = Clock::now() + pumpInterval_;
    for (;;) {
        std::deque<Entry> batch;
        bool finished;
        {
            std::unique_lock lock(mutex_);
            // A wait of a duration against the system clock: a deadline of the steady clock would go
            // through pthread_cond_clockwait, which ThreadSanitizer does not follow here.
            const auto pause =
                std::chrono::duration_cast<std::chrono::system_clock::duration>(nextPump - Clock::now());
            wake_.wait_until(lock, std::chrono::system_clock::now() + pause,
                             [&] { return awaitedTasks_ > 0 || workDone_; });
            batch.swap(queue_);
            awaitedTasks_ = 0;
            finished = workDone_ && batch.empty();
        }
        for (Entry& entry : batch)
            Finish(entry);
        if (Clock::now() >= nextPump) {
            RunGuarded(pump_);
            nextPump = Clock::now() + pumpInterval_;
        }
        if (finished)
            break;
    }
    helper.join();
    caller_ = {};
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    if (workFailure)
        std::rethrow_exception(workFailure);
    return result;
}

}  // namespace pw
