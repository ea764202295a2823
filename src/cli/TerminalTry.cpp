#include "cli/TerminalTry.h"

#include "cli/TerminalBuildUi.h"

#include <QCoreApplication>

#include <cstdio>

namespace pw {

void TerminalTryUi::setStatus(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

bool TerminalTryUi::cancelRequested()
{
    QCoreApplication::processEvents();
    return TerminalBuildUi::Interrupted();
}

int ReportTry(const TryResult& result, const TryTexts& texts)
{
    if (result.cancelled) {
        TerminalBuildUi::PrintError(texts.StoppedStr);
    } else if (!result.ran && result.verdict != TryVerdict::InstalledSilently) {
        // The try never reached the add-on's lines: its reason is all there is to say.
        TerminalBuildUi::PrintError(result.reason);
    } else {
        std::fputs((result.summary + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }
    return result.exitStatus();
}

int TryFromTerminal(const CommandLine& cl, const TryTexts& texts, TryResult (*runner)(const TryOptions&, TryUi&))
{
    TryOptions options;
    options.addon = cl.tryAddon;
    options.appDir = cl.inputs.appDir;
    options.timeLimitSeconds = cl.timeLimitSeconds;
    options.target = cl.target;
    options.strict = cl.strict;
    options.tools = FindTryTools();
    options.texts = texts;
    TerminalTryUi ui;
    return ReportTry(runner(options, ui), texts);
}

}  // namespace pw
