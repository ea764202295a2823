#include "cli/TerminalTry.h"

#include "cli/TerminalBuildUi.h"
#include "tryout/TryReport.h"

#include <QCoreApplication>

#include <algorithm>
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

int TryFromTerminal(const CommandLine& cl, const TryTexts& texts,
                    QList<TryResult> (*runner)(const TryOptions&, const QStringList&, TryUi&))
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
    const QList<TryResult> results = runner(options, cl.tryAddons, ui);
    int status = 0;
    for (const TryResult& result : results)
        status = std::max(status, ReportTry(result, texts));
    if (cl.tryAddons.size() > 1) {
        std::fputs(('\n' + TableText(cl.tryAddons, results, texts) + QLatin1Char('\n')).toLocal8Bit().constData(),
                   stdout);
        std::fflush(stdout);
    }
    // A cancelled try leaves add-ons untried.
    return results.size() < cl.tryAddons.size() ? std::max(status, int(TryVerdict::Failed)) : status;
}

}  // namespace pw
