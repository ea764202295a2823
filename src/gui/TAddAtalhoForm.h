#pragma once
// The shortcut dialog: describes one shortcut that the self-extractor creates. There is one dialog for the
// whole run and nothing clears it, so each use starts from the choices and texts of the previous one.
#include "project/ShortcutEntry.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pw {

class TAddAtalhoForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddAtalhoForm(QWidget* parent);

    QLabel *Label1, *Label7, *Label2, *Label3, *Label4, *Label5, *Label6;
    QComboBox* ComboBox1;  // where the shortcut goes; its index is the location code
    QComboBox* ComboBox2;  // the base folder of the target; its index is the folder code
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton *Button1, *Button2;

    // The shortcut as a row of the shortcut list: every text exactly as typed.
    ShortcutEntry Entry() const;
};

}  // namespace pw
