#pragma once
// The catalogue editor: a modal dialog over the catalogue file whose list shows one row per entry, in
// file order, so that a row's index is the line it edits. Every change is written to the file at once.
#include "catalogue/CatalogueEdit.h"
#include "pipeline/BuildTexts.h"

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pw {

class Dialogs;

class TSilForm : public QDialog {
    Q_OBJECT
public:
    TSilForm(Dialogs& dialogs, QWidget* parent);

    QListWidget* Lista;
    QLabel *Label3, *Label2;
    QLineEdit *Nome, *Comando;
    QPushButton *Button5, *Button1, *Button3, *Button4, *Button2;

    // Before each opening: the catalogue to edit and the rows the main window shows for it. No row is
    // selected; the two fields keep the texts of the previous opening.
    void Prepare(const QString& cataloguePath, const QStringList& rows);
    // The dialog's size for its current captions and the screen's DPI.
    void FitToCaptions();

    void ListaClick();
    void Button1Click();  // "Alterar selecionado"
    void Button3Click();  // "Adicionar"
    void Button4Click();  // "Remover"
    void Button5Click();  // "Google"

    // Its words for an entry it refuses, and the build's for a search nothing opens; set by the language.
    CatalogueTexts texts;
    QString nothingOpens = BuildTexts().NothingOpensStr;

    // The web search for a program's silent-install switch.
    static QUrl SearchAddress(const QString& name);

private:
    int SelectedRow() const;
    // Runs a file operation; on error shows its message and returns false. A failed change leaves the
    // file as it was, and the caller then leaves the list as it is.
    bool Reporting(const std::function<void()>& operation);

    Dialogs& dialogs_;
    QString path_;
};

}  // namespace pw
