#pragma once
// The build's view on a terminal: the save dialog answered with the output file, status texts as lines,
// a progress bar redrawn in place when standard output is a terminal, the success message on standard
// output and every other message, after the program's name, on standard error.
#include "pipeline/BuildDriver.h"

namespace pw {

// The progress bar drawn at `position`: 40 columns filled as far as the step under way has come, and its
// percentage.
QString TerminalProgressBar(double position);

class TerminalBuildUi : public BuildUi {
public:
    TerminalBuildUi(QString output, OutputKind kind);

    std::optional<SaveChoice> askSaveFile(const SaveSuggestion& suggestion) override;
    void setStatus(const QString& text) override;
    void setProgress(double position) override;
    void processEvents() override;
    void showMessage(const QString& text, MessageKind kind) override;
    void setBuilding(bool) override {}
    bool cancelRequested() override;
    QString stopKey() const override { return QStringLiteral("Ctrl+C"); }

    // From here on, Ctrl+C (or SIGTERM) stops the packing: the build removes what it had made and ends.
    // A second one ends the program at once, removing the files it was writing.
    static void CatchInterrupts();
    // True once Ctrl+C (or SIGTERM) has come.
    static bool Interrupted();

    // Says what the build's own messages left unsaid (that Ctrl+C stopped it, or that it gave up) and
    // returns the exit status: 0 only when the output file was made.
    int Finish(BuildDriver::Outcome outcome, const BuildTexts& texts);

    // A message of the program's own, after its name, on standard error.
    static void PrintError(const QString& text);

private:
    void EndProgressLine();

    QString output_;
    OutputKind kind_;
    bool interactive_;
    bool progressShown_ = false;
    QString lastBar_;
};

}  // namespace pw
