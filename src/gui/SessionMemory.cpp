// The window starts where the last session left it: its program folder scanned again with the start
// file chosen there, the save dialog in the folder of the last output, the same level and overwrite mode,
// the same Windows of the disc.
#include "gui/FolderEdit.h"
#include "gui/InstallerHint.h"
#include "gui/TMainForm.h"
#include "language/Session.h"
#include "language/Settings.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace pw {

void TMainForm::RestoreSession(const SessionSettings& session, bool folderFromCommandLine)
{
    if (session.compressionLevel >= 0)
        ComprLev->setCurrentIndex(session.compressionLevel);
    if (session.overwriteMode >= 0)
        OverCb->setCurrentIndex(session.overwriteMode);
    if (session.target) {
        AlvoCb->setCurrentIndex(static_cast<int>(*session.target));  // the rows follow the enumeration
        installerHint_->CheckTarget(HintNow());  // a folder of "/SHL" was checked against the default
    }
    if (!session.lastOutput.isEmpty() && QFileInfo(session.lastOutput).absoluteDir().exists())
        Driver().lastOutput = session.lastOutput;
    // A folder named on the command line wins; a remembered one that has gone is simply not opened.
    if (!folderFromCommandLine && !session.programFolder.isEmpty() && QFileInfo(session.programFolder).isDir()) {
        Pasta->setText(session.programFolder);
        FolderScan(session.programFolder);
        if (const int row = Programa->findText(session.startFile); row >= 0 && !session.startFile.isEmpty()) {
            Programa->setCurrentIndex(row);
            ProgramaChange();
        }
    }
    // Stored again at the user's next choice: a folder given by "/SHL" opens this start only.
    Model.SessionRestored();
}

void TMainForm::RememberSession()
{
    const std::optional<SessionSettings> session = Model.SessionToKeep(
        {Programa->currentText(), ComprLev->currentIndex(), OverCb->currentIndex(), Target(), Driver().lastOutput});
    // A settings file that cannot be written was reported at the start; the session is not worth a
    // message box at every choice.
    if (session)
        WriteSessionSettings(Model.DataDir, *session);
}

}  // namespace pw
