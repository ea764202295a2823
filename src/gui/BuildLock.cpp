// The inputs a build reads stay as they were when it started: the folder, the start file and its
// Windows, the switch, the fields, the self-extractor's options, the shortcuts, the entries text and the
// language.
#include "gui/FolderEdit.h"
#include "gui/TMainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace pw {

void TMainForm::LockBuildInputs(bool locked)
{
    // ComprLev, SilComm, SilStr and the remove and clear buttons follow the poll, which knows the build.
    const QList<QWidget*> inputs{Pasta,     Compact, Programa, AlvoCb, Edita,   Description, Language,   Title,
                                 Version,   Site,    BuildDate, OverCb, Button1, Atalhos,     EntriesStr, LangBox};
    for (QWidget* input : inputs)
        input->setEnabled(!locked);
    if (locked) {
        ComprLev->setEnabled(false);
        SilComm->setEnabled(false);
        SilStr->setEnabled(false);
        Button2->setEnabled(false);
        Button3->setEnabled(false);
    }
}

}  // namespace pw
