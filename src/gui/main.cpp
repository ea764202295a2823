// The Packwright window.
#include "gui/QtDialogs.h"
#include "gui/TMainForm.h"
#include "platform/Errors.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Packwright"));
    // The desktop entry that started the window, for a Wayland compositor; X11 matches its StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brontel.Packwright"));
    // The application title "nLite Packwright" captions the message boxes only: set as Qt's display name,
    // it would be appended to every window's caption on X11, and the main window's is "Packwright".

    pw::QtDialogs dialogs;
    std::unique_ptr<pw::TMainForm> form;
    try {
        form = std::make_unique<pw::TMainForm>(dialogs, QApplication::arguments().mid(1));
    } catch (const pw::UserError& e) {
        QMessageBox::critical(nullptr, pw::kApplicationTitle, e.message());
        return 1;
    }
    form->show();
    return QApplication::exec();
}
