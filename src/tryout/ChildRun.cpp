#include "tryout/ChildRun.h"

#include "tryout/TryUi.h"

#include <QDeadlineTimer>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace pw {
namespace {

constexpr int kTickMs = 100;

}  // namespace

void EndWithThisProcess(QProcess& process)
{
    // The system ends the child when the thread that started it ends. One whose parent ended before the
    // request took hold ends itself.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(127);
    });
}

void Start(QProcess& process, const Command& command)
{
    if (!command.environment.isEmpty())
        process.setProcessEnvironment(command.environment);
    if (!command.folder.isEmpty())
        process.setWorkingDirectory(command.folder);
    process.setStandardInputFile(QProcess::nullDevice());
    EndWithThisProcess(process);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Wine's server and services outlive the program that started them and keep its output open: a file
    // takes what they write, where a pipe would be left with no reader.
    if (!command.logFile.isEmpty())
        process.setStandardOutputFile(command.logFile, QIODevice::Append);
    process.start(command.program, command.arguments);
}

RunEnd WaitForEnd(QProcess& process, qint64 limitMs, TryUi* ui, const std::function<bool()>& tick)
{
    const QDeadlineTimer deadline(limitMs);
    RunEnd end = RunEnd::Finished;
    while (!process.waitForFinished(int(std::min<qint64>(kTickMs, std::max<qint64>(deadline.remainingTime(), 1))))) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (ui && ui->cancelRequested())
            end = RunEnd::Cancelled;
        else if (deadline.hasExpired())
            end = RunEnd::TimedOut;
        else if (tick && tick())
            end = RunEnd::Stopped;
        else
            continue;
        process.kill();
        process.waitForFinished();
        break;
    }
    return end;
}

ChildRun RunCommand(const Command& command, qint64 limitMs, TryUi* ui)
{
    QProcess process;
    Start(process, command);
    ChildRun run;
    if (!process.waitForStarted()) {
        run.error = process.errorString();
        return run;
    }
    run.end = WaitForEnd(process, limitMs, ui);
    if (run.end == RunEnd::Finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    if (command.logFile.isEmpty())
        run.output = QString::fromUtf8(process.readAll());
    return run;
}

}  // namespace pw
