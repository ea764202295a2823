#pragma once
// The programs a try starts (7-Zip, Xvfb, Wine and its server): each is waited for in short ticks, so
// that the user's cancel and the try's own limits end it soon, never only when it ends by itself.
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace pw {

class TryUi;

struct Command {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment = {};  // empty: this process's own
    QString folder = {};                   // working folder; empty: this process's own
    QString logFile = {};                  // where its output is appended; empty: kept in ChildRun::output
};

enum class RunEnd {
    Finished,
    NotStarted,
    Cancelled,  // the user asked to stop
    TimedOut,
    Stopped,  // the caller's tick asked to stop
};

struct ChildRun {
    RunEnd end = RunEnd::NotStarted;
    int exitCode = -1;  // when it finished; a program killed by a signal has none
    QString output;     // standard output and error, when not sent to a log file
    QString error;      // why it did not start
};

// Has `process`, when it starts, end with this one: a try ended at once (kill -9, a second Ctrl+C, a crash)
// leaves none of its programs running.
void EndWithThisProcess(QProcess& process);

// Starts `process` as `command` says, its input empty, ending with this process.
void Start(QProcess& process, const Command& command);

// Waits until `process` ends, `limitMs` passes, `ui` asks to cancel or `tick` (called at every tick)
// returns true; in the last three cases the process is killed.
RunEnd WaitForEnd(QProcess& process, qint64 limitMs, TryUi* ui, const std::function<bool()>& tick = {});

// Runs `command` to its end within `limitMs`; `ui`, when given, may cancel it.
ChildRun RunCommand(const Command& command, qint64 limitMs, TryUi* ui = nullptr);

}  // namespace pw
