// A folder dropped on the window is scanned as if typed; an installer dropped is chosen in its folder.
// While a build or a try runs its inputs are locked, and a drop is refused like any other change.
#include "gui/FolderEdit.h"
#include "gui/TMainForm.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace pw {
namespace {

// The one local file or folder a drop carries; empty for anything else, several items included.
QString DroppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    const QString path = data->urls().front().toLocalFile();
    return QFileInfo::exists(path) ? path : QString();
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Busy() && !DroppedPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QString path = DroppedPath(event->mimeData());
    if (Busy() || path.isEmpty())
        return;
    event->acceptProposedAction();
    DropPath(path);
}

void TMainForm::DropPath(const QString& path)
{
    if (Busy())
        return;
    const QFileInfo dropped(path);
    const QString folder = dropped.isDir() ? dropped.absoluteFilePath() : dropped.absolutePath();
    Pasta->setText(folder);
    FolderScan(folder);
    if (dropped.isDir())
        return;
    // A file the folder does not offer as a start file leaves the choice open, as a typed folder does.
    if (const int row = Programa->findText(dropped.fileName()); row >= 0 && row != Programa->currentIndex()) {
        Programa->setCurrentIndex(row);
        ProgramaChange();
    }
}

}  // namespace pw
