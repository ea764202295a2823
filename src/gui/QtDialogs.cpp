#include "gui/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace pw {
namespace {

// A filter and an extension for each output kind, in the order of OutputKind.
const QStringList kFilters = {QStringLiteral("Microsoft Cabinet (*.cab)"), QStringLiteral("7-Zip Archive (*.7z)")};
const QStringList kExtensions = {QStringLiteral("cab"), QStringLiteral("7z")};

OutputKind KindOfFilter(const QString& filter)
{
    return filter == kFilters[int(OutputKind::PlainArchive)] ? OutputKind::PlainArchive : OutputKind::Cabinet;
}

const QString& ExtensionOf(OutputKind kind)
{
    return kExtensions[int(kind)];
}

}  // namespace

void PrepareSaveDialog(QFileDialog& dialog, const SaveSuggestion& suggestion)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(kFilters);
    dialog.setDefaultSuffix(ExtensionOf(OutputKind::Cabinet));
    if (!suggestion.folder.isEmpty())
        dialog.setDirectory(suggestion.folder);
    if (!suggestion.baseName.isEmpty())
        dialog.selectFile(suggestion.baseName + QLatin1Char('.') + ExtensionOf(OutputKind::Cabinet));
    // A name typed without extension takes the extension of the kind chosen, and a name that carries the
    // other kind's extension (the suggested one, say) changes to this kind's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const OutputKind kind = KindOfFilter(filter);
        const OutputKind other = kind == OutputKind::Cabinet ? OutputKind::PlainArchive : OutputKind::Cabinet;
        dialog.setDefaultSuffix(ExtensionOf(kind));
        const QStringList typed = dialog.selectedFiles();
        if (typed.isEmpty())
            return;
        const QFileInfo name(typed.front());
        if (name.suffix().compare(ExtensionOf(other), Qt::CaseInsensitive) == 0)
            dialog.selectFile(name.completeBaseName() + QLatin1Char('.') + ExtensionOf(kind));
    });
}

std::optional<SaveChoice> QtDialogs::askSaveFile(QWidget* parent, const SaveSuggestion& suggestion)
{
    QFileDialog dialog(parent);
    PrepareSaveDialog(dialog, suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveChoice{dialog.selectedFiles().front(), KindOfFilter(dialog.selectedNameFilter())};
}

std::optional<QString> QtDialogs::askFolder(QWidget* parent, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> QtDialogs::askAddon(QWidget* parent, const QString& title, const QString& start)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kFilters[int(OutputKind::Cabinet)]});
    if (const QFileInfo file(start); file.isFile()) {
        dialog.setDirectory(file.absolutePath());
        dialog.selectFile(file.fileName());
    } else if (!start.isEmpty()) {
        dialog.setDirectory(start);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> QtDialogs::askNewFolder(QWidget* parent, const QString& title, const QString& proposed)
{
    // The folder dialog takes only folders that exist: the save dialog takes the name of one to be made.
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QFileInfo folder(proposed);
    dialog.setDirectory(folder.absolutePath());
    dialog.selectFile(folder.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

bool QtDialogs::askGoOn(QWidget* parent, const QString& text, const QString& goOn, const QString& goBack)
{
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::NoButton, parent);
    QPushButton* onButton = box.addButton(goOn, QMessageBox::AcceptRole);
    QPushButton* backButton = box.addButton(goBack, QMessageBox::RejectRole);
    box.setDefaultButton(backButton);
    box.setEscapeButton(backButton);
    box.exec();
    return box.clickedButton() == onButton;
}

void QtDialogs::showMessage(QWidget* parent, const QString& text, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(parent, kApplicationTitle, text);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, kApplicationTitle, text);
        break;
    case MessageKind::Error:
        QMessageBox::critical(parent, kApplicationTitle, text);
        break;
    }
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtDialogs::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void QtDialogs::processEvents()
{
    QApplication::processEvents();
}

}  // namespace pw
