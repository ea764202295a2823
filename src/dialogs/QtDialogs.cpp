#include "dialogs/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace pw {

std::optional<SaveChoice> QtDialogs::askSaveFile(QWidget* parent)
{
    const QStringList filters = {QStringLiteral("Microsoft Cabinet (*.cab)"), QStringLiteral("7-Zip Archive (*.7z)")};
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("cab"));
    // A name typed without extension takes the extension of the kind chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& f) {
        dialog.setDefaultSuffix(f == filters[1] ? QStringLiteral("7z") : QStringLiteral("cab"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveChoice{dialog.selectedFiles().front(), dialog.selectedNameFilter() == filters[1] ? 2 : 1};
}

std::optional<QString> QtDialogs::askFolder(QWidget* parent, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

void QtDialogs::showMessage(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, kApplicationTitle, text);
}

void QtDialogs::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

void QtDialogs::processEvents()
{
    QApplication::processEvents();
}

}  // namespace pw
