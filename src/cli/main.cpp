// packwright-build: the build of "Criar arquivo" without a window, for scripts and machines without a
// display. The save dialog is answered with OUTPUT; status texts and a progress bar go to the terminal,
// in the language chosen in the window (or by --language-file). With --try it tries an add-on instead.
#include "cli/CommandLine.h"
#include "cli/TerminalBuildUi.h"
#include "cli/TerminalTry.h"
#include "language/LanguageFile.h"
#include "language/LanguageTexts.h"
#include "language/Settings.h"
#include "pipeline/BuildTexts.h"
#include "platform/Errors.h"
#include "platform/version/VersionApi.h"
#include "tryout/TryTexts.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

// Usage errors are English, as the usage text is.
int UsageError(const QString& error)
{
    std::fprintf(stderr, "packwright-build: %s\nTry 'packwright-build --help'.\n", error.toLocal8Bit().constData());
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    pw::TerminalBuildUi::CatchInterrupts();
    pw::CommandLine cl = pw::ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (cl.help) {
        std::fputs(pw::UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (cl.version) {
        std::fputs(pw::VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!cl.error.isEmpty())
        return UsageError(cl.error);
    if (!cl.warning.isEmpty())
        std::fprintf(stderr, "packwright-build: warning: %s\n", cl.warning.toLocal8Bit().constData());
    const std::optional<QString> language = pw::LanguageFileOf(cl);
    if (!language)
        return UsageError(QStringLiteral("--language-file: no language file named %1 in %2languages (there are: %3)")
                              .arg(cl.language, cl.inputs.appDir,
                                   pw::LanguageNames(cl.inputs.appDir).join(QStringLiteral(", "))));
    const pw::LanguageFile languageFile(*language);
    pw::SetLanguageNameLocale(pw::LanguageLocale(languageFile));
    if (!cl.tryAddon.isEmpty())
        return pw::TryFromTerminal(cl, pw::LoadTryTexts(languageFile));
    const pw::BuildTexts texts = pw::LoadBuildTexts(languageFile);
    try {
        // The working folder is made here, as the window's launcher makes it: scripts start from nothing.
        QDir().mkpath(cl.inputs.tempDir());
        pw::TerminalBuildUi ui(cl.output, cl.format);
        pw::BuildDriver driver(ui);
        driver.texts = texts;
        if (const QString problem = pw::CheckInputs(cl.inputs, texts); !problem.isEmpty()) {
            pw::TerminalBuildUi::PrintError(problem);
            return 1;
        }
        const pw::SwitchNotes notes = pw::ChooseSwitch(cl, texts);
        if (!notes.offered.isEmpty())
            std::fputs((notes.offered + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        QStringList warnings = pw::TargetNotes(cl, texts);
        if (!notes.warning.isEmpty())
            warnings.prepend(notes.warning);
        const int status = ui.Finish(driver.Build(pw::FilledInputs(cl)), texts);
        // The warnings are about the add-on made: a build that made nothing has its own message.
        if (status == 0) {
            for (const QString& warning : warnings)
                pw::TerminalBuildUi::PrintError(warning);
        }
        return status;
    } catch (const pw::UserError& e) {
        pw::TerminalBuildUi::PrintError(e.message());
        return 1;
    }
}
