// The window's five pages, built widget by widget under the names the captions and the handlers use.
#include "gui/FolderEdit.h"
#include "gui/ObjectNames.h"
#include "gui/StatusLine.h"
#include "gui/TMainForm.h"
#include "project/EntriesText.h"
#include "project/ShortcutEntry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pw {

namespace {

QLabel* NewLabel(const char* name, QWidget* parent)
{
    return Named(new QLabel(parent), name);
}

QLineEdit* NewEdit(const char* name, QWidget* parent)
{
    return Named(new QLineEdit(parent), name);
}

QComboBox* NewList(const char* name, QWidget* parent)
{
    return Named(new QComboBox(parent), name);
}

QPushButton* NewButton(const char* name, QWidget* parent)
{
    return Named(new QPushButton(parent), name);
}

QGroupBox* NewGroup(const char* name, QWidget* parent)
{
    return Named(new QGroupBox(parent), name);
}

}  // namespace

void TMainForm::BuildGeralPage()
{
    Geral = Named(new QWidget, "Geral");
    Tabs->addTab(Geral, QString());
    auto* grid = new QGridLayout(Geral);
    grid->setVerticalSpacing(3);

    Label8 = NewLabel("Label8", Geral);
    Pasta = Named(new FolderEdit(dialogs_, Geral), "Pasta");
    grid->addWidget(Label8, 0, 0);
    grid->addWidget(Pasta, 0, 1, 1, 2);

    Compact = Named(new QCheckBox(Geral), "Compact");
    Compact->setChecked(true);
    Label12 = NewLabel("Label12", Geral);
    ComprLev = NewList("ComprLev", Geral);
    auto* level = new QHBoxLayout;
    level->addWidget(Compact);
    level->addStretch();
    level->addWidget(Label12);
    level->addWidget(ComprLev);
    grid->addLayout(level, 1, 0, 1, 3);

    Label1 = NewLabel("Label1", Geral);
    Programa = NewList("Programa", Geral);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(Programa, 2, 1, 1, 2);

    // The Windows the start file must run on, below it; as wide as its longest name.
    Label23 = NewLabel("Label23", Geral);
    AlvoCb = NewList("AlvoCb", Geral);
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(AlvoCb);
    targetRow->addStretch();
    grid->addWidget(Label23, 3, 0);
    grid->addLayout(targetRow, 3, 1, 1, 2);

    Label2 = NewLabel("Label2", Geral);
    Label22 = NewLabel("Label22", Geral);
    InstKind = NewLabel("InstKind", Geral);
    InstKind->setText(QStringLiteral("—"));  // no start file chosen yet
    AlvoAviso = NewLabel("AlvoAviso", Geral);
    AlvoAviso->setStyleSheet(QStringLiteral("QLabel { color: #c00000; }"));
    SilComm = NewList("SilComm", Geral);
    Edita = NewButton("Edita", Geral);
    SilStr = NewEdit("SilStr", Geral);
    // The installer's kind follows the caption of the switch it gives, on its line; a gap of a few
    // characters sets it apart from the caption.
    auto* switchRow = new QHBoxLayout;
    switchRow->addWidget(Label2);
    switchRow->addSpacing(Label2->fontMetrics().averageCharWidth() * 3);
    switchRow->addWidget(Label22);
    switchRow->addSpacing(4);  // the style puts none between two labels
    switchRow->addWidget(InstKind);
    switchRow->addSpacing(4);
    switchRow->addWidget(AlvoAviso);
    switchRow->addStretch();
    grid->addLayout(switchRow, 4, 0, 1, 3);
    grid->addWidget(SilComm, 5, 0);
    grid->addWidget(SilStr, 5, 1);
    grid->addWidget(Edita, 5, 2);

    GroupBox1 = NewGroup("GroupBox1", Geral);
    auto* data = new QGridLayout(GroupBox1);
    data->setVerticalSpacing(2);
    auto field = [&](QLabel*& label, const char* labelName, QLineEdit*& edit, const char* editName) {
        label = NewLabel(labelName, GroupBox1);
        edit = NewEdit(editName, GroupBox1);
    };
    field(Label9, "Label9", Description, "Description");
    field(Label4, "Label4", Language, "Language");
    field(Label5, "Label5", Title, "Title");
    field(Label6, "Label6", Version, "Version");
    field(Label7, "Label7", Site, "Site");
    field(Label3, "Label3", BuildDate, "BuildDate");
    // The first field of each row takes what the row leaves: a version and a date are short, and stand
    // at their end at one width, whatever the length of their captions.
    const int shortField = Version->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000.0000")) + 12;
    const QList<QList<QWidget*>> rows{{Label9, Description}, {Label4, Language}, {Label5, Title, Label6, Version},
                                      {Label7, Site, Label3, BuildDate}};
    for (int row = 0; row < rows.size(); ++row) {
        data->addWidget(rows[row][0], row, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(data->horizontalSpacing());
        line->addWidget(rows[row][1], 1);
        if (rows[row].size() == 4) {
            line->addSpacing(data->horizontalSpacing());  // the second field's caption stands apart from the first field
            line->addWidget(rows[row][2]);
            line->addWidget(rows[row][3]);
            rows[row][3]->setFixedWidth(shortField);
        }
        data->addLayout(line, row, 1);
    }
    grid->addWidget(GroupBox1, 6, 0, 1, 3);

    GroupBox2 = NewGroup("GroupBox2", Geral);
    auto* info = new QHBoxLayout(GroupBox2);
    Label10 = NewLabel("Label10", GroupBox2);
    Label11 = Named(new StatusLine(kIdleStatus, GroupBox2), "Label11");
    info->addWidget(Label10);
    info->addWidget(Label11, 1);
    grid->addWidget(GroupBox2, 7, 0, 1, 3);

    ProgressBar1 = Named(new QProgressBar(Geral), "ProgressBar1");
    ProgressBar1->setRange(0, 100);  // the percentage of the step under way
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Cria = NewButton("Cria", Geral);
    Testa = NewButton("Testa", Geral);
    Abre = NewButton("Abre", Geral);
    // The buttons at their own size, with the style's margins round their captions; the bar takes the
    // rest of the row.
    auto* actions = new QHBoxLayout;
    actions->setSpacing(grid->horizontalSpacing());
    actions->addWidget(ProgressBar1, 1);
    actions->addWidget(Abre);
    actions->addWidget(Testa);
    actions->addWidget(Cria);
    grid->addLayout(actions, 8, 0, 1, 3);
    grid->setColumnStretch(1, 1);
}

void TMainForm::BuildSfxPage()
{
    SFXOpt = Named(new QWidget, "SFXOpt");
    Tabs->addTab(SFXOpt, QString());
    auto* layout = new QVBoxLayout(SFXOpt);
    auto* overwrite = new QHBoxLayout;
    Label20 = NewLabel("Label20", SFXOpt);
    OverCb = NewList("OverCb", SFXOpt);
    overwrite->addWidget(Label20);
    overwrite->addWidget(OverCb, 1);
    layout->addLayout(overwrite);

    GroupBox3 = NewGroup("GroupBox3", SFXOpt);
    auto* box = new QVBoxLayout(GroupBox3);
    auto* buttons = new QHBoxLayout;
    Button1 = NewButton("Button1", GroupBox3);
    Button2 = NewButton("Button2", GroupBox3);
    Button3 = NewButton("Button3", GroupBox3);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    buttons->addStretch();
    box->addLayout(buttons);

    // A caption and eight sub-items per row; only the first two columns are shown.
    Atalhos = Named(new QTreeWidget(GroupBox3), "Atalhos");
    Atalhos->setColumnCount(1 + ShortcutEntry::SubItemCount);
    Atalhos->setColumnWidth(0, 100);
    Atalhos->setColumnWidth(1, 250);
    for (int column = 2; column <= ShortcutEntry::SubItemCount; ++column)
        Atalhos->setColumnHidden(column, true);
    Atalhos->setRootIsDecorated(false);
    Atalhos->setSelectionMode(QAbstractItemView::SingleSelection);
    Atalhos->setSelectionBehavior(QAbstractItemView::SelectRows);
    Atalhos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Atalhos->setStyleSheet(QStringLiteral("QTreeView::item { border: 1px solid #d0d0d0; }"));
    box->addWidget(Atalhos);
    layout->addWidget(GroupBox3, 1);
}

void TMainForm::BuildEntriesPage()
{
    Tweaks = Named(new QWidget, "Tweaks");
    Tabs->addTab(Tweaks, QString());
    auto* layout = new QVBoxLayout(Tweaks);
    EntriesStr = Named(new QPlainTextEdit(Tweaks), "EntriesStr");
    EntriesStr->setFont(QFont(QStringLiteral("Tahoma"), 10));
    EntriesStr->setPlainText(DefaultEntriesLines().join(QLatin1Char('\n')));
    layout->addWidget(EntriesStr, 1);
    // What the build appends, read-only: the section Windows setup runs, and the file it goes into.
    AddProgramLabel = NewLabel("AddProgramLabel", Tweaks);
    AddProgramLabel->setWordWrap(true);
    AddProgramStr = Named(new QPlainTextEdit(Tweaks), "AddProgramStr");
    AddProgramStr->setFont(EntriesStr->font());
    AddProgramStr->setReadOnly(true);
    // Two lines, the section's name and its command; a long command scrolls.
    AddProgramStr->setFixedHeight(AddProgramStr->fontMetrics().lineSpacing() * 2 + 2 * AddProgramStr->frameWidth() +
                                  2 * int(AddProgramStr->document()->documentMargin()) + 4);
    layout->addWidget(AddProgramLabel);
    layout->addWidget(AddProgramStr);
}

void TMainForm::BuildLanguagePage()
{
    Idiomas = Named(new QWidget, "Idiomas");
    Tabs->addTab(Idiomas, QString());
    auto* layout = new QVBoxLayout(Idiomas);
    auto* choice = new QHBoxLayout;
    LangBox = NewList("LangBox", Idiomas);
    OK = NewButton("OK", Idiomas);
    OK->setDefault(true);
    choice->addWidget(LangBox, 1);
    choice->addWidget(OK);
    layout->addLayout(choice);

    Info = NewGroup("Info", Idiomas);
    auto* grid = new QGridLayout(Info);
    QFont bold = font();
    bold.setBold(true);
    Label18 = NewLabel("Label18", Info);
    Label21 = NewLabel("Label21", Info);
    Label18->setFont(bold);
    Label21->setFont(bold);
    Aut = NewLabel("Aut", Info);
    Cont = NewLabel("Cont", Info);
    grid->addWidget(Label18, 0, 0);
    grid->addWidget(Aut, 0, 1);
    grid->addWidget(Label21, 1, 0);
    grid->addWidget(Cont, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(Info);
    layout->addStretch();
}

void TMainForm::BuildAboutPage()
{
    Sobre = Named(new QWidget, "Sobre");
    Tabs->addTab(Sobre, QString());
    auto* layout = new QVBoxLayout(Sobre);
    Label13 = NewLabel("Label13", Sobre);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(14);
    Label13->setFont(bold);
    Label13->setAlignment(Qt::AlignCenter);
    Label17 = NewLabel("Label17", Sobre);
    Label14 = NewLabel("Label14", Sobre);
    Label15 = NewLabel("Label15", Sobre);
    Label16 = NewLabel("Label16", Sobre);
    layout->addStretch();
    for (QLabel* label : {Label13, Label17, Label14, Label15, Label16}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    layout->addStretch();
}

}  // namespace pw
