// The Packwright window.
#include "platform/Errors.h"
#include "shell/Dialogs.h"
#include "shell/TMainForm.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Packwright"));
    QApplication::setApplicationDisplayName(pw::kApplicationTitle);

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
