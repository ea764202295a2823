#pragma once
// The main window over scratch folders, as window and dialog tests start from: AppDir with a
// "languages" folder, DataDir with its "temp" folder, the dialogs answered by a recorder, and the poll
// stopped so that tests run its ticks by hand.
#include "shell/TMainForm.h"
#include "support/RecordingDialogs.h"
#include "support/TempDir.h"

#include <memory>

namespace pwtest {

struct WindowFixture {
    TempDir dir;
    RecordingDialogs dialogs;
    std::unique_ptr<pw::TMainForm> form;

    explicit WindowFixture(const QStringList& arguments = {});
};

}  // namespace pwtest
