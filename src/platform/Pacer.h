#pragma once
// Spaces out something a long piece of work offers to do far more often than needed, such as letting a
// window repaint: it happens at most once an interval.
#include <chrono>

namespace pw {

class Pacer {
public:
    explicit Pacer(std::chrono::milliseconds interval) : interval_(interval) {}

    // True on the first call, then once the interval has passed since the last true.
    bool Due()
    {
        const Clock::time_point now = Clock::now();
        if (now < next_)
            return false;
        next_ = now + interval_;
        return true;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::chrono::milliseconds interval_;
    Clock::time_point next_ = Clock::now();
};

}  // namespace pw
