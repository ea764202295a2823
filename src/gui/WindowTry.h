#pragma once
// "Testar" in the window: the add-on to try is asked for (the one last made is offered), the try runs
// with the inputs locked, its steps on the status line and Esc to stop it, and its findings are shown
// in a dialog of their own.
#include "tryout/TryAddon.h"

#include <functional>

namespace pw {

class Dialogs;
class TMainForm;

// How the window runs a try: TryAddon, or a test's stand-in.
using TryRunner = std::function<TryResult(const TryOptions&, TryUi&)>;

class WindowTry : public TryUi {
public:
    WindowTry(TMainForm& form, Dialogs& dialogs) : form_(form), dialogs_(dialogs) {}

    void Run(const TryRunner& runner);
    bool Busy() const { return busy_; }
    void RequestStop() { stop_ = true; }

    void setStatus(const QString& text) override;
    bool cancelRequested() override;

private:
    // The disc's Windows the try imitates: the window's choice of it.
    WindowsTarget Target() const;
    // Where the add-on dialog opens: on the add-on this window last made, else in the program folder.
    QString DialogStart() const;
    void ShowFindings(const QString& addon, const TryResult& result);

    TMainForm& form_;
    Dialogs& dialogs_;
    bool busy_ = false;
    bool stop_ = false;
};

}  // namespace pw
