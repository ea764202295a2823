#pragma once
// What tryrun.exe wrote in its report file while the lines ran: the exit codes, the error that kept a line
// from starting, the lines' processes running when it last looked, and a wait for input nobody gives.
#include "tryout/TryTexts.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace pw {

struct RunnerReport {
    QList<qint64> exitCodes;  // of each line that ran to its end, all 32 bits
    qint64 startError = 0;    // the Windows error that kept a line from starting, or 0
    QString startErrorText;   // Wine's text for it
    QStringList processes;    // "NAME (PID), started by PARENT (PID)", as it last listed them
    QString inputWaiter;      // "NAME (PID)" of the line's process that waits for input; empty when none
};

// Reads the report file's text; a line cut off at its end (the run was ended while it was written) is left
// out.
RunnerReport ReadRunnerReport(const QByteArray& text, const TryTexts& texts);

}  // namespace pw
