// packwright-build: the build of "Criar arquivo" without a window, for scripts and machines without a
// display. The save dialog is answered with OUTPUT; status texts and a progress bar go to the terminal.
#include "cli/CommandLine.h"
#include "cli/TerminalBuildUi.h"
#include "platform/Errors.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    pw::TerminalBuildUi::CatchInterrupts();
    const pw::CommandLine cl = pw::ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (cl.help) {
        std::fputs(pw::UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "packwright-build: %s\n%s", cl.error.toLocal8Bit().constData(),
                     "Try 'packwright-build --help'.\n");
        return 2;
    }
    try {
        // The working folder is made here, as the window's launcher makes it: scripts start from nothing.
        QDir().mkpath(cl.inputs.tempDir());
        pw::TerminalBuildUi ui(cl.output, cl.format == pw::OutputFormat::SevenZip ? 2 : 1);
        pw::BuildDriver driver(ui);
        if (const QString problem = pw::CheckInputs(cl.inputs); !problem.isEmpty()) {
            std::fprintf(stderr, "packwright-build: %s\n", problem.toLocal8Bit().constData());
            return 1;
        }
        return ui.Finish(driver.CriaClick(cl.inputs), driver);
    } catch (const pw::UserError& e) {
        std::fprintf(stderr, "packwright-build: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
}
