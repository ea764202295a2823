#include "gui/TSilForm.h"

#include "catalogue/CatalogueEdit.h"
#include "catalogue/Silence.h"
#include "dialogs/Dialogs.h"
#include "gui/FixedWindow.h"
#include "gui/FormCaptions.h"
#include "gui/ObjectNames.h"
#include "platform/Errors.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace pw {
namespace {

QPushButton* NewButton(const char* name, QWidget* parent)
{
    return Named(new QPushButton(parent), name);
}

}  // namespace

TSilForm::TSilForm(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs)
{
    setObjectName(QStringLiteral("SilForm"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setModal(true);

    Lista = Named(new QListWidget(this), "Lista");
    Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    Label3 = Named(new QLabel(this), "Label3");
    Nome = Named(new QLineEdit(this), "Nome");
    Button5 = NewButton("Button5", this);
    Label2 = Named(new QLabel(this), "Label2");
    Comando = Named(new QLineEdit(this), "Comando");
    Button1 = NewButton("Button1", this);
    Button3 = NewButton("Button3", this);
    Button4 = NewButton("Button4", this);
    Button2 = NewButton("Button2", this);
    ShowCaptionsBeforeLanguage(*this, SilFormCaptions());
    for (QPushButton* button : {Button5, Button1, Button3, Button4, Button2})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Lista, 0, 0, 1, 4);
    grid->addWidget(Label3, 1, 0, 1, 4);
    grid->addWidget(Nome, 2, 0, 1, 3);
    grid->addWidget(Button5, 2, 3);
    grid->addWidget(Label2, 3, 0, 1, 4);
    grid->addWidget(Comando, 4, 0, 1, 4);
    grid->addWidget(Button1, 5, 0);
    grid->addWidget(Button3, 5, 1);
    grid->addWidget(Button4, 5, 2);
    grid->addWidget(Button2, 5, 3);
    grid->setRowStretch(0, 1);

    // A click on the row already chosen reloads it too, dropping what was typed over it.
    connect(Lista, &QListWidget::currentRowChanged, this, &TSilForm::ListaClick);
    connect(Lista, &QListWidget::itemClicked, this, &TSilForm::ListaClick);
    connect(Button1, &QPushButton::clicked, this, &TSilForm::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TSilForm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TSilForm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TSilForm::Button5Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FitToCaptions();
}

void TSilForm::FitToCaptions()
{
    FitFixedWindow(*this, QSize(369, 353));
}

void TSilForm::Prepare(const QString& cataloguePath, const QStringList& rows)
{
    path_ = cataloguePath;
    const QSignalBlocker quiet(Lista);
    Lista->clear();
    Lista->addItems(rows);
    Lista->setCurrentRow(-1);
}

int TSilForm::SelectedRow() const
{
    const QList<QListWidgetItem*> selected = Lista->selectedItems();
    return selected.isEmpty() ? -1 : Lista->row(selected.front());
}

bool TSilForm::Reporting(const std::function<void()>& operation)
{
    try {
        operation();
        return true;
    } catch (const EntryRefused& e) {
        dialogs_.showMessage(this, texts.Text(e.problem, e.name), MessageKind::Warning);
    } catch (const UserError& e) {
        dialogs_.showMessage(this, e.message(), MessageKind::Error);
    }
    return false;
}

void TSilForm::ListaClick()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    Nome->setText(Lista->item(row)->text());
    Reporting([&] { Comando->setText(SilenceCommand(path_, row)); });
}

void TSilForm::Button1Click()
{
    const int row = SelectedRow();
    if (row < 0 || !Reporting([&] { ReplaceCatalogueEntry(path_, row, Nome->text(), Comando->text()); }))
        return;
    Lista->item(row)->setText(Nome->text());
}

void TSilForm::Button3Click()
{
    if (!Reporting([&] { AppendCatalogueEntry(path_, Nome->text(), Comando->text()); }))
        return;
    const QSignalBlocker quiet(Lista);
    Lista->addItem(Nome->text());
}

void TSilForm::Button4Click()
{
    const int row = SelectedRow();
    if (row < 0 || !Reporting([&] { RemoveCatalogueEntry(path_, row); }))
        return;
    const QSignalBlocker quiet(Lista);
    delete Lista->takeItem(row);
    Lista->setCurrentRow(-1);
    Lista->clearSelection();
}

void TSilForm::Button5Click()
{
    dialogs_.openOrSay(this, SearchAddress(Nome->text()), nothingOpens);
}

QUrl TSilForm::SearchAddress(const QString& name)
{
    // The name is one search term: encoded, a "&", "#" or "+" in it stays part of the query instead of
    // ending it or becoming a blank.
    QByteArray term = QUrl::toPercentEncoding(name, " ");
    term.replace(' ', '+');
    return QUrl(QStringLiteral("https://www.google.com/search?hl=en&lr=&q=%22silent+install%22+") +
                    QString::fromLatin1(term),
                QUrl::StrictMode);
}

}  // namespace pw
