#pragma once
// One run of a program in a fresh process, timed from fork to exit, with the processor time and the peak
// memory the kernel reports for it and the children it waited for (wait4's resource usage).
#include <QString>

#include <algorithm>
#include <string>
#include <vector>

struct TimedRun {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time
    long peakKiB = 0;
    bool ok = false;  // exited with status 0
};

// Runs `command` (its first word searched on PATH) in `workDir`, its standard output discarded.
TimedRun RunTimed(const std::vector<std::string>& command, const QString& workDir);

// The middle value; of an even count, the mean of the two middle ones.
template <typename T>
double MedianOf(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? double(values[n / 2]) : (double(values[n / 2 - 1]) + double(values[n / 2])) / 2;
}
