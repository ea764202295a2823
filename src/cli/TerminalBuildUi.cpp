#include "cli/TerminalBuildUi.h"

#include "pipeline/PendingFiles.h"

#include <QCoreApplication>

#include <cstdio>
#include <signal.h>
#include <unistd.h>

namespace pw {
namespace {

volatile sig_atomic_t interrupted = 0;

// The first interrupt asks the build to stop, which then removes what it made. A second one ends the
// program at once, by the signal's own default action, after removing the files being written.
extern "C" void OnInterrupt(int number)
{
    if (!interrupted) {
        interrupted = 1;
        return;
    }
    RemovePendingFiles();
    ::signal(number, SIG_DFL);
    ::raise(number);  // delivered when this handler returns
}

void Print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

QString TerminalProgressBar(double position)
{
    constexpr int width = 40;
    const int percent = StepPercent(position);
    const int filled = percent * width / 100;
    return QStringLiteral("[%1%2] %3%")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(percent, 3);
}

TerminalBuildUi::TerminalBuildUi(QString output, OutputKind kind)
    : output_(std::move(output)), kind_(kind), interactive_(isatty(fileno(stdout)) == 1)
{
}

std::optional<BuildUi::SaveChoice> TerminalBuildUi::askSaveFile(const SaveSuggestion&)
{
    return SaveChoice{output_, kind_};
}

void TerminalBuildUi::EndProgressLine()
{
    if (progressShown_)
        Print(stdout, QStringLiteral("\n"));
    progressShown_ = false;
    lastBar_.clear();
}

void TerminalBuildUi::setStatus(const QString& text)
{
    EndProgressLine();
    if (text != kIdleStatus)
        Print(stdout, text + QLatin1Char('\n'));
}

void TerminalBuildUi::setProgress(double position)
{
    if (!interactive_ || position == kProgressIdle)
        return;
    // The cabinet reports far finer positions than the bar can show: only a changed bar is drawn.
    QString bar = TerminalProgressBar(position);
    if (bar == lastBar_)
        return;
    Print(stdout, QLatin1Char('\r') + bar);
    lastBar_ = std::move(bar);
    progressShown_ = true;
}

void TerminalBuildUi::CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // One handler at a time, whichever signal and whichever thread it reaches.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A reader that has gone (`| head -1`, a pager quit early) must not kill a build half-way, leaving
    // its scratch folder: the lines it would have read are lost, and the build goes on to its end.
    ::signal(SIGPIPE, SIG_IGN);
}

bool TerminalBuildUi::Interrupted()
{
    return interrupted != 0;
}

bool TerminalBuildUi::cancelRequested()
{
    return Interrupted();
}

void TerminalBuildUi::processEvents()
{
    QCoreApplication::processEvents();
}

void TerminalBuildUi::PrintError(const QString& text)
{
    // A message box's paragraphs become lines.
    QString lines = text;
    lines.remove(QLatin1Char('\r'));
    lines.replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
    Print(stderr, QStringLiteral("packwright-build: ") + lines + QLatin1Char('\n'));
}

void TerminalBuildUi::showMessage(const QString& text, MessageKind kind)
{
    EndProgressLine();
    if (kind == MessageKind::Information)
        Print(stdout, text + QLatin1Char('\n'));
    else
        PrintError(text);
}

int TerminalBuildUi::Finish(BuildDriver::Outcome outcome, const BuildTexts& texts)
{
    EndProgressLine();
    if (outcome == BuildDriver::Outcome::Succeeded)
        return 0;
    if (interrupted)
        PrintError(texts.StoppedStr.arg(output_));
    else if (outcome == BuildDriver::Outcome::Aborted)
        PrintError(texts.ErrMessageStr);
    return 1;
}

}  // namespace pw
