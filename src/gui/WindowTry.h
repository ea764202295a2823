#pragma once
// "Testar" in the window: the add-on to try is asked for (the one last made is offered), the try runs
// with the inputs locked, its steps on the status line and Esc to stop it, and its findings are shown
// in a dialog of their own.
#include "tryout/TryAddon.h"

#include <functional>

class QDialog;
class QWidget;

namespace pw {

class Dialogs;
class StatusLine;
class TTryForm;
class WindowLock;
struct BuildTexts;

// How the window runs a try: TryAddon, or a test's stand-in.
using TryRunner = std::function<TryResult(const TryOptions&, TryUi&)>;

// The parts of the window a try uses.
struct TryWindow {
    QWidget& window;  // the dialogs' parent
    WindowLock& lock;
    StatusLine& status;
    TTryForm& findings;
    const std::function<int(QDialog& dialog)>& showModal;
};

class WindowTry : public TryUi {
public:
    WindowTry(const TryWindow& window, Dialogs& dialogs) : window_(window), dialogs_(dialogs) {}

    // Asks for the add-on, in the dialog opened on `lastOutput` when that is an add-on still there, else
    // in `programFolder`, and tries it with `options`.
    void Run(const TryRunner& runner, TryOptions options, const QString& lastOutput, const QString& programFolder,
             const BuildTexts& texts);
    bool Busy() const { return busy_; }
    void RequestStop() { stop_ = true; }

    void setStatus(const QString& text) override;
    bool cancelRequested() override;

private:
    class Running;

    void ShowFindings(const QString& addon, const TryResult& result, const TryTexts& texts);

    TryWindow window_;
    Dialogs& dialogs_;
    const BuildTexts* texts_ = nullptr;  // while a try runs
    bool busy_ = false;
    bool stop_ = false;
};

}  // namespace pw
