#pragma once
// The main window over scratch folders, as window and dialog tests start from: AppDir with a
// "languages" folder, DataDir with its "temp" folder, an empty program folder beside them (made once the
// window is up), the dialogs answered by a recorder, and the poll stopped so that tests run its ticks by
// hand.
#include "gui/TMainForm.h"
#include "support/RecordingDialogs.h"
#include "support/TempDir.h"

#include <memory>

class QComboBox;

namespace pwtest {

struct WindowFixture {
    TempDir dir;
    RecordingDialogs dialogs;
    std::unique_ptr<pw::TMainForm> form;
    QString program;  // without a closing slash

    explicit WindowFixture(const QStringList& arguments = {});

    // Selects the row of `box` that reads `text`, as code does: no handler runs.
    static void Pick(QComboBox* box, const QString& text);
    // The user types a folder and leaves the field.
    void Scan(const QString& folder);
    // The user picks a start file.
    void Choose(const QString& startFile);
};

}  // namespace pwtest
