#pragma once
// How a try shows its steps and learns that it is to stop.
#include <QString>

namespace pw {

// What a person sees of a try and how they stop it. The window implements it with its status line and a
// stop key, the command line with the terminal and Ctrl+C.
class TryUi {
public:
    virtual ~TryUi() = default;
    // Each step as it starts.
    virtual void setStatus(const QString& text) = 0;
    // Asked about ten times a second while the try runs (the window may handle its pending events
    // here); true ends the try, which then removes everything it had made.
    virtual bool cancelRequested() { return false; }
};

}  // namespace pw
