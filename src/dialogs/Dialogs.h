#pragma once
// Everything modal or outside the window: file and folder dialogs, message boxes, the web browser and
// the processing of pending events. The windows use Qt's (QtDialogs); tests answer and record instead.
// It lies below every window that needs it, and needs nothing of theirs.
#include "dialogs/MessageKind.h"
#include "dialogs/SaveChoice.h"

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

namespace pw {

inline const QString kApplicationTitle = QStringLiteral("nLite Packwright");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Filter "Microsoft Cabinet (*.cab)|*.cab|7-Zip Archive (*.7z)|*.7z", default extension ".cab",
    // opened on the suggestion; nullopt when the dialog was cancelled.
    virtual std::optional<SaveChoice> askSaveFile(QWidget* parent, const SaveSuggestion& suggestion) = 0;
    // The chosen folder, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> askFolder(QWidget* parent, const QString& startFolder) = 0;
    // An add-on cabinet to open, titled `title`, opened on `start` (a file, which is selected, or a
    // folder); nullopt when the dialog was cancelled.
    virtual std::optional<QString> askAddon(QWidget* parent, const QString& title, const QString& start) = 0;
    // A folder to be made, titled `title` and offering the path `proposed`: its name may be changed, or
    // another folder chosen; nullopt when the dialog was cancelled.
    virtual std::optional<QString> askNewFolder(QWidget* parent, const QString& title, const QString& proposed) = 0;
    // A message box captioned with the application title, with the icon of its kind.
    virtual void showMessage(QWidget* parent, const QString& text, MessageKind kind) = 0;
    // A warning that asks whether to go on: true for the button `goOn`, false for `goBack`, which is the
    // default and also the answer when the box is closed.
    virtual bool askGoOn(QWidget* parent, const QString& text, const QString& goOn, const QString& goBack) = 0;
    // A question captioned with the application title, answered Yes (true) or No.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // Opens `url` with the desktop's program for it; false when nothing could.
    virtual bool openUrl(const QUrl& url) = 0;
    // Opens `url`, or says `failure` (the address as %1) when nothing on this system opens it: a desktop
    // without a file manager or a browser would otherwise leave a click unanswered.
    void openOrSay(QWidget* parent, const QUrl& url, const QString& failure)
    {
        if (!openUrl(url))
            showMessage(parent, failure.arg(url.toDisplayString(QUrl::PreferLocalFile)), MessageKind::Warning);
    }
    virtual void processEvents() = 0;
};

}  // namespace pw
