#include "gui/FolderEdit.h"

#include "dialogs/Dialogs.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace pw {

FolderEdit::FolderEdit(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), edit_(new QLineEdit(this)), button_(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    button_->setText(QStringLiteral("..."));
    button_->setObjectName(QStringLiteral("PastaBrowse"));
    edit_->installEventFilter(this);
    connect(button_, &QToolButton::clicked, this, &FolderEdit::browse);
    // Enter takes the folder typed, as leaving the field does.
    connect(edit_, &QLineEdit::returnPressed, this, &FolderEdit::exited);
}

QString FolderEdit::text() const
{
    return edit_->text();
}

void FolderEdit::setText(const QString& text)
{
    edit_->setText(text);
}

QString FolderEdit::StartFolder() const
{
    // Program folders are kept in the user's own folders: the dialog opens there, not at the root.
    const QString text = edit_->text();
    if (text.isEmpty())
        return lastConfirmed_.isEmpty() ? QDir::homePath() : lastConfirmed_;
    return QFileInfo(text).isDir() ? text : QDir::homePath();
}

void FolderEdit::browse()
{
    const QString start = StartFolder();
    const std::optional<QString> chosen = dialogs_.askFolder(window(), start);
    if (chosen) {
        lastConfirmed_ = *chosen;
        edit_->setText(*chosen);
    }
    emit afterDialog(chosen.value_or(start), chosen.has_value());
}

bool FolderEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::FocusOut)
        emit exited();
    return QWidget::eventFilter(watched, event);
}

}  // namespace pw
