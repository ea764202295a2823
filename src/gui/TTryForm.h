#pragma once
// What a try of an add-on found, shown after "Testar": the summary as the command line prints it, and
// the screenshot of the first window that waited, where a window waited.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pw {

struct TryResult;
struct TryTexts;

class TTryForm : public QDialog {
    Q_OBJECT
public:
    explicit TTryForm(QWidget* parent);

    QPlainTextEdit* Summary;
    QLabel* Screenshot;  // hidden when the try saved none
    QPushButton* Button1;  // "Fechar"

    // Fills the dialog with the try of `addon`, before it is shown.
    void Prepare(const QString& addon, const TryResult& result, const TryTexts& texts);
};

}  // namespace pw
