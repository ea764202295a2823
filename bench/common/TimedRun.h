#pragma once
// One run of a program in a fresh process, timed from fork to exit, with the peak memory the kernel
// reports for it (wait4's maximum resident set).
#include <QString>

#include <string>
#include <vector>

struct TimedRun {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;  // exited with status 0
};

// Runs `command` (its first word searched on PATH) in `workDir`, its standard output discarded.
TimedRun RunTimed(const std::vector<std::string>& command, const QString& workDir);
