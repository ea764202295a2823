#pragma once
// A folder text field with a browse button. It reports the folder the dialog handed back (also after a
// cancel: the folder it opened on) and the moment the field loses the input focus or takes Enter.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace pw {

class Dialogs;

class FolderEdit : public QWidget {
    Q_OBJECT
public:
    FolderEdit(Dialogs& dialogs, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return edit_; }

    // Runs the browse dialog as the button does.
    void browse();

signals:
    void afterDialog(const QString& folder, bool confirmed);
    void exited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString StartFolder() const;

    Dialogs& dialogs_;
    QLineEdit* edit_;
    QToolButton* button_;
    QString lastConfirmed_;
};

}  // namespace pw
