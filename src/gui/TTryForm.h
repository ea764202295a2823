#pragma once
// What a try of an add-on found, shown after "Testar": the verdict first, marked as passed or failed, the
// summary as the command line prints it, the window that waited as it looked (full size, scrolled when it
// is large), and a button that opens the report folder.
#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace pw {

struct TryResult;
struct TryTexts;

class TTryForm : public QDialog {
    Q_OBJECT
public:
    explicit TTryForm(QWidget* parent);

    QLabel* Verdict;
    QPlainTextEdit* Summary;
    QScrollArea* ScreenshotArea;  // hidden when the try saved none
    QLabel* Screenshot;
    QPushButton* OpenFolder;  // "Abrir a pasta do relatório"
    QPushButton* Button1;     // "Fechar"

    // Opens the report folder; the window sets it.
    std::function<void(const QString& folder)> openFolder;

    // Fills the dialog with the try of `addon`, before it is shown.
    void Prepare(const QString& addon, const TryResult& result, const TryTexts& texts);

private:
    QString reportFolder_;
};

// The verdict as the dialog and the status line show it: it begins with the mark (OK or FAILED), and ends
// with the warning of an add-on that installed nothing.
QString VerdictLine(const TryResult& result, const TryTexts& texts);

}  // namespace pw
