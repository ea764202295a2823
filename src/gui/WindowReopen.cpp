// "Abrir" in the window, and a ".cab" dropped on it: an add-on made before is opened, its program taken
// out into a new folder the user chooses, and the window then holds every choice the add-on was made
// with, as if the user had made them. A folder chosen afterwards, for a new version of the program, takes
// the place of the old one: the start file that follows the old one is chosen with its version data, and
// the other choices stay.
#include "dialogs/Dialogs.h"
#include "gui/FolderEdit.h"
#include "gui/InstallerHint.h"
#include "gui/StatusLine.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "reopen/ProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <chrono>
#include <future>
#include <utility>

namespace pw {

void TMainForm::AbreClick()
{
    if (Busy())
        return;
    const QString& last = driver_->lastOutput;
    const bool lastIsAddon = last.endsWith(QLatin1String(".cab"), Qt::CaseInsensitive) && QFileInfo(last).isFile();
    if (const std::optional<QString> addon =
            dialogs_.askAddon(this, driver_->texts.OpenAddonStr, lastIsAddon ? last : Model.SourceDir))
        OpenAddOn(*addon);
}

void TMainForm::OpenAddOn(const QString& cabinet)
{
    if (Busy())
        return;
    const BuildTexts& texts = driver_->texts;
    const QString name = QFileInfo(cabinet).fileName();
    // A folder that holds anything is never written into: the user is told, and chooses again.
    std::optional<QString> folder = ProposedProgramFolder(cabinet);
    while ((folder = dialogs_.askNewFolder(this, texts.ProgramFolderStr.arg(name), *folder)) && !CanTakeProgram(*folder))
        dialogs_.showMessage(this, reopenTexts.FolderNotEmptyStr.arg(QDir::toNativeSeparators(*folder)),
                             MessageKind::Warning);
    if (!folder)
        return;
    Label11->setText(texts.OpeningStr.arg(name));
    SetActivity(WindowActivity::Opening);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // 7-Zip takes a large add-on apart for seconds: the window keeps repainting meanwhile.
    std::future<ReopenedAddOn> reading = std::async(std::launch::async, ReopenAddOn, cabinet, *folder);
    while (reading.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        dialogs_.processEvents();
    const ReopenedAddOn opened = reading.get();
    QApplication::restoreOverrideCursor();
    SetActivity(WindowActivity::Idle);
    if (opened.failure != ReopenFailure::None) {
        Label11->setText(kIdleStatus);
        dialogs_.showMessage(this, FailureText(opened, QDir::toNativeSeparators(cabinet), reopenTexts), MessageKind::Error);
    } else {
        TakeOpenedChoices(opened.inputs);
        Label11->setText(texts.OpenedStr.arg(name));
        QStringList unread;
        for (const UnreadPart& part : opened.unread)
            unread.append(UnreadText(part, reopenTexts));
        if (!unread.isEmpty())
            dialogs_.showMessage(this, texts.UnreadPartsStr.arg(name, unread.join(QLatin1Char('\n'))), MessageKind::Warning);
    }
    if (std::exchange(closeAfterBuild_, false))
        close();
}

void TMainForm::TakeOpenedChoices(const BuildInputs& in)
{
    // The switch is the add-on's, an empty one too; the scan below keeps it as the user's choice.
    SilStr->setText(in.silentSwitch);
    installerHint_->KeepSwitch(HintNow());
    Compact->setChecked(in.compact);
    ComprLev->setCurrentIndex(in.compressionLevel);
    OverCb->setCurrentIndex(in.overwriteMode);
    Atalhos->clear();
    for (ShortcutEntry shortcut : in.shortcuts) {
        // The location is named as the shortcut dialog's list names it, in the window's language.
        const int location = shortcut.subItem(ShortcutEntry::LocationCode).toInt();
        if (location >= 0 && location < AddAtalhoForm->ComboBox1->count())
            shortcut.caption = AddAtalhoForm->ComboBox1->itemText(location);
        AddShortcutRow(shortcut);
    }
    Model.OpenedStartFile = in.startFile;
    Pasta->setText(in.sourceDir);
    FolderScan(in.sourceDir);
    // The fields are the add-on's, whatever its start file's version data says; they stay when a new
    // version's start file is chosen, but for what its version data holds. The entries text comes last:
    // each field written rewrites its "[General]" line.
    versionFill_.clear();
    for (const auto& [field, edit] : FieldEdits()) {
        edit->setText(in.fields.*field);
        edit->setCursorPosition(0);
    }
    EntriesStr->setPlainText(in.entriesText);
    ShowAddProgram();
    RememberSession();
}

void TMainForm::FollowOpenedStartFile(const FolderScanResult& scan)
{
    if (Model.OpenedStartFile.isEmpty() || scan.startFiles.isEmpty())
        return;
    const QString follower = Model.StartFileToFollow(scan);
    if (follower.isEmpty()) {
        Label11->setText(driver_->texts.NoFollowerStr.arg(Model.OpenedStartFile));
        return;
    }
    // The switch chosen stays, an empty one too: the new start file's installer offers none over it.
    const QString chosenSwitch = SilStr->text();
    Programa->setCurrentIndex(Programa->findText(follower));
    StartFileFill();
    ShowInstallerHint();
    SilStr->setText(chosenSwitch);
    installerHint_->KeepSwitch(HintNow());
    Label11->setText(driver_->texts.FollowedStr.arg(follower, Model.OpenedStartFile));
}

}  // namespace pw
