// packwright-build: the build of "Criar arquivo" without a window, for scripts and machines without a
// display. The save dialog is answered with OUTPUT; status texts and a progress bar go to the terminal,
// in the language chosen in the window (or by --language-file), as are --help and the usage errors. With
// --try it tries an add-on instead.
#include "cli/CliTexts.h"
#include "cli/CommandLine.h"
#include "cli/FromAddOn.h"
#include "cli/TerminalBuildUi.h"
#include "cli/TerminalTry.h"
#include "language/LanguageFile.h"
#include "language/LanguageTexts.h"
#include "language/Settings.h"
#include "pipeline/BuildTexts.h"
#include "platform/Errors.h"
#include "platform/HostFolders.h"
#include "platform/version/VersionApi.h"
#include "reopen/ReopenTexts.h"
#include "tryout/TryTexts.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

int UsageError(const QString& error, const pw::CliTexts& texts)
{
    std::fprintf(stderr, "packwright-build: %s\n%s\n", error.toLocal8Bit().constData(),
                 texts.SeeHelpStr.toLocal8Bit().constData());
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    pw::TerminalBuildUi::CatchInterrupts();
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString chosen = pw::LanguageArgument(arguments);
    const std::optional<QString> language = pw::LanguageFileOf(chosen);
    // A language file that is not there is said in the language the build speaks without one.
    const pw::LanguageFile languageFile(language ? *language : *pw::LanguageFileOf(QString()));
    const pw::CliTexts cliTexts = pw::LoadCliTexts(languageFile);
    if (!language) {
        const QString appDir = pw::ApplicationFolder();
        const QString names = pw::LanguageNames(appDir).join(QStringLiteral(", "));
        return UsageError(cliTexts.NoLanguageFileStr.arg(chosen, appDir, names), cliTexts);
    }
    pw::CommandLine cl = pw::ParseCommandLine(arguments, cliTexts);
    if (cl.help) {
        std::fputs(pw::UsageText(cliTexts).toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (cl.version) {
        std::fputs(pw::VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!cl.error.isEmpty())
        return UsageError(cl.error, cliTexts);
    if (!cl.warning.isEmpty())
        std::fprintf(stderr, "packwright-build: %s\n", cliTexts.WarningStr.arg(cl.warning).toLocal8Bit().constData());
    pw::SetLanguageNameLocale(pw::LanguageLocale(languageFile));
    if (!cl.tryAddon.isEmpty())
        return pw::TryFromTerminal(cl, pw::LoadTryTexts(languageFile));
    const pw::BuildTexts texts = pw::LoadBuildTexts(languageFile);
    // The program extracted from an old add-on is this run's: a run that made nothing leaves none of it.
    QString extracted;
    const auto failed = [&extracted](int status) {
        if (!extracted.isEmpty())
            QDir(extracted).removeRecursively();
        return status;
    };
    try {
        if (!cl.from.isEmpty()) {
            const pw::FromAddOn from = pw::TakeOldAddOn(cl, cliTexts, pw::LoadReopenTexts(languageFile));
            extracted = from.extracted;
            for (const QString& note : from.notes)
                pw::TerminalBuildUi::PrintError(cliTexts.WarningStr.arg(note));
            if (!from.usageError.isEmpty())
                return failed(UsageError(from.usageError, cliTexts));
        }
        // The working folder is made here, as the window's launcher makes it: scripts start from nothing.
        QDir().mkpath(cl.inputs.tempDir());
        pw::TerminalBuildUi ui(cl.output, cl.format);
        pw::BuildDriver driver(ui);
        driver.texts = texts;
        if (const QString problem = pw::CheckInputs(cl.inputs, texts); !problem.isEmpty()) {
            pw::TerminalBuildUi::PrintError(problem);
            return failed(1);
        }
        const pw::SwitchNotes notes = pw::ChooseSwitch(cl, texts);
        if (!notes.offered.isEmpty())
            std::fputs((notes.offered + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        QStringList warnings = pw::TargetNotes(cl, texts);
        if (!notes.warning.isEmpty())
            warnings.prepend(notes.warning);
        const int status = ui.Finish(driver.Build(pw::FilledInputs(cl)), texts);
        // The warnings are about the add-on made: a build that made nothing has its own message.
        if (status != 0)
            return failed(status);
        for (const QString& warning : warnings)
            pw::TerminalBuildUi::PrintError(warning);
        return status;
    } catch (const pw::UserError& e) {
        pw::TerminalBuildUi::PrintError(e.message());
        return failed(1);
    }
}
