#pragma once
// Everything modal or outside the window: file and folder dialogs, message boxes, the web browser and
// the processing of pending events. The window uses Qt's; tests answer and record instead.
#include "pipeline/BuildUi.h"

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

namespace pw {

inline const QString kApplicationTitle = QStringLiteral("nLite Packwright");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual std::optional<BuildUi::SaveChoice> askSaveFile(QWidget* parent) = 0;
    // The chosen folder, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> askFolder(QWidget* parent, const QString& startFolder) = 0;
    // A message box captioned with the application title.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    virtual void openUrl(const QUrl& url) = 0;
    virtual void processEvents() = 0;
};

// The real thing: Qt's dialogs and message boxes, the desktop's browser.
class QtDialogs : public Dialogs {
public:
    std::optional<BuildUi::SaveChoice> askSaveFile(QWidget* parent) override;
    std::optional<QString> askFolder(QWidget* parent, const QString& startFolder) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void openUrl(const QUrl& url) override;
    void processEvents() override;
};

}  // namespace pw
