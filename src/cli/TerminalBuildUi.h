#pragma once
// The build's view on a terminal: the save dialog answered with the output file, status texts as lines,
// a progress bar redrawn in place when standard output is a terminal.
#include "pipeline/BuildDriver.h"

namespace pw {

class TerminalBuildUi : public BuildUi {
public:
    TerminalBuildUi(QString output, int filterIndex);

    std::optional<SaveChoice> askSaveFile() override;
    void setStatus(const QString& text) override;
    void setProgress(int position) override;
    void processEvents() override;
    void showMessage(const QString& text) override;
    void setBuilding(bool) override {}
    bool cancelRequested() override;

    // From here on, Ctrl+C (or SIGTERM) stops the packing: the build removes what it had made and ends.
    // A second one ends the program at once, removing the files it was writing.
    static void CatchInterrupts();

    // Prints the outcome and returns the exit status: 0 only when the output file was made.
    int Finish(BuildDriver::Outcome outcome, const BuildDriver& driver);

private:
    void EndProgressLine();

    QString output_;
    int filterIndex_;
    bool interactive_;
    bool progressShown_ = false;
    int lastPosition_ = -1;
};

}  // namespace pw
