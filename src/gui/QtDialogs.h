#pragma once
// The real dialogs: Qt's file and folder dialogs and message boxes, the desktop's browser.
#include "dialogs/Dialogs.h"

class QFileDialog;

namespace pw {

class QtDialogs : public Dialogs {
public:
    std::optional<SaveChoice> askSaveFile(QWidget* parent, const SaveSuggestion& suggestion) override;
    std::optional<QString> askFolder(QWidget* parent, const QString& startFolder) override;
    std::optional<QString> askAddon(QWidget* parent, const QString& title, const QString& start) override;
    std::optional<QString> askNewFolder(QWidget* parent, const QString& title, const QString& proposed) override;
    void showMessage(QWidget* parent, const QString& text, MessageKind kind) override;
    bool askGoOn(QWidget* parent, const QString& text, const QString& goOn, const QString& goBack) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
    bool openUrl(const QUrl& url) override;
    void processEvents() override;
};

// The save dialog before it opens: its two filters, opened in the suggested folder on the suggested name
// with the extension of the filter chosen, which follows the filter as the user changes it.
void PrepareSaveDialog(QFileDialog& dialog, const SaveSuggestion& suggestion);

}  // namespace pw
