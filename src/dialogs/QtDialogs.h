#pragma once
// The real dialogs: Qt's file and folder dialogs and message boxes, the desktop's browser.
#include "dialogs/Dialogs.h"

namespace pw {

class QtDialogs : public Dialogs {
public:
    std::optional<SaveChoice> askSaveFile(QWidget* parent) override;
    std::optional<QString> askFolder(QWidget* parent, const QString& startFolder) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void openUrl(const QUrl& url) override;
    void processEvents() override;
};

}  // namespace pw
