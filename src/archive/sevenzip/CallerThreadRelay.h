#pragma once
// The library calls back from threads of its own, but a writer's events must reach their handlers on
// the thread that asked for the archive, in order, while the archive is being written, and that thread
// must stay free to repaint a window. So the library's work runs on a helper thread, and the calling
// thread waits in a loop that runs, one after the other, the tasks the callbacks hand to it, and a
// "pump" at a steady pace in between.
#include "archive/sevenzip/ComInterfaces.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace pw {

class CallerThreadRelay {
public:
    using Task = std::function<void()>;

    // `pump` runs on the calling thread every `pumpInterval` while the work runs (it may be empty).
    // `stopWork` is called once when a task or the pump throws, so that the work can be asked to end.
    CallerThreadRelay(Task pump, std::chrono::milliseconds pumpInterval, Task stopWork);

    // Runs `work` on a helper thread and, on the calling thread, every task handed over meanwhile, in the
    // order handed over. Returns the work's result once it has finished and every task has run. When a
    // task or the pump threw, the remaining tasks are dropped, and the first exception is rethrown after
    // the work has finished.
    HRESULT Run(const std::function<HRESULT()>& work);

    // From any thread: hands `task` to the calling thread and returns at once. It runs just before the
    // next pump: waking the calling thread for each one would cost two thread switches per progress
    // report, thousands per archive, for a window that repaints at the pump's pace anyway.
    void Post(Task task);
    // From any thread: hands `task` over and waits until it has run (or been dropped). On the calling
    // thread itself it runs at once.
    void Call(Task task);

    // How many tasks Post and Call have handed over so far. Each one costs its sender a queue entry and the
    // calling thread a turn, so senders that report often hand over batches instead.
    std::uint64_t TasksHandedOver() const;

private:
    struct Entry {
        Task task;
        std::promise<void>* done = nullptr;
    };

    void Enqueue(Entry entry);
    void RunGuarded(const Task& task);
    void Finish(Entry& entry);

    const Task pump_;
    const std::chrono::milliseconds pumpInterval_;
    const Task stopWork_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Entry> queue_;
    int awaitedTasks_ = 0;  // entries in the queue whose sender waits for them
    std::uint64_t handedOver_ = 0;
    bool workDone_ = false;
    std::thread::id caller_;
    std::exception_ptr failure_;  // touched on the calling thread only
};

}  // namespace pw
