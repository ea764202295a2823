// A folder dropped on the window is scanned as if typed; an installer dropped is chosen in its folder; an
// add-on (a ".cab") dropped is opened.
// While a build or a try runs its inputs are locked, and a drop is refused like any other change. The
// text fields take drops of their own and would insert a dropped file's address into their text: a
// local file or folder dropped on one is the window's drop too, and only plain text stays theirs.
#include "gui/FolderEdit.h"
#include "gui/TMainForm.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <algorithm>

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

// Whether a drop carries a local file or folder, which no text field takes as text.
bool CarriesLocalFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

}  // namespace

void TMainForm::TakeFileDropsFromFields()
{
    for (QLineEdit* field : Tabs->findChildren<QLineEdit*>())
        field->installEventFilter(this);
    for (QPlainTextEdit* memo : Tabs->findChildren<QPlainTextEdit*>())
        memo->viewport()->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    // The three are drop events: entering and moving are drop events not yet made.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!CarriesLocalFiles(drop->mimeData()))
        return false;
    if (type == QEvent::Drop)
        dropEvent(drop);
    else if (!Busy() && !DroppedPath(drop->mimeData()).isEmpty())
        drop->acceptProposedAction();
    else
        drop->ignore();
    return true;
}

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
    if (dropped.isFile() && dropped.suffix().compare(QLatin1String("cab"), Qt::CaseInsensitive) == 0)
        return OpenAddOn(path);
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
