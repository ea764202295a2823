#include "gui/TAddAtalhoForm.h"

#include "gui/FormCaptions.h"
#include "gui/ObjectNames.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {

TAddAtalhoForm::TAddAtalhoForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AddAtalhoForm"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(2);
    auto labelled = [&](QLabel*& label, const char* name, QWidget* field) {
        label = Named(new QLabel(this), name);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
    };
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox2 = Named(new QComboBox(this), "ComboBox2");
    ComboBox2->setMinimumWidth(280);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit2 = Named(new QLineEdit(this), "Edit2");
    Edit3 = Named(new QLineEdit(this), "Edit3");
    Edit4 = Named(new QLineEdit(this), "Edit4");
    Edit5 = Named(new QLineEdit(this), "Edit5");
    labelled(Label1, "Label1", ComboBox1);
    labelled(Label7, "Label7", ComboBox2);
    labelled(Label2, "Label2", Edit1);
    labelled(Label3, "Label3", Edit2);
    labelled(Label4, "Label4", Edit3);
    labelled(Label5, "Label5", Edit4);
    labelled(Label6, "Label6", Edit5);

    Button1 = Named(new QPushButton(this), "Button1");
    Button2 = Named(new QPushButton(this), "Button2");
    Button1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // A shortcut to nothing would be made by nobody: OK waits for the file it opens.
    Button1->setEnabled(false);
    connect(Edit1, &QLineEdit::textChanged, this,
            [this](const QString& target) { Button1->setEnabled(!target.trimmed().isEmpty()); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    ShowCaptionsBeforeLanguage(*this, AddAtalhoFormCaptions());
}

ShortcutEntry TAddAtalhoForm::Entry() const
{
    return {ComboBox1->currentText(),
            {Edit1->text(), QString::number(ComboBox1->currentIndex()), QString::number(ComboBox2->currentIndex()),
             Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text(), Edit5->text()}};
}

}  // namespace pw
