#pragma once
// How a build or a try tells the window it runs in that it starts and ends: while one runs, every input
// waits (the poll's rule), and Esc or closing the window stops it.
#include "project/WindowModel.h"

namespace pw {

class WindowLock {
public:
    virtual void SetActivity(WindowActivity activity) = 0;

protected:
    ~WindowLock() = default;
};

}  // namespace pw
