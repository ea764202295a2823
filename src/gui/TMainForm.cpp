#include "gui/TMainForm.h"

#include "catalogue/Silence.h"
#include "dialogs/Dialogs.h"
#include "gui/FixedWindow.h"
#include "gui/FolderEdit.h"
#include "gui/FormCaptions.h"
#include "gui/LanguageApply.h"
#include "gui/ObjectNames.h"
#include "gui/StatusLine.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TSilForm.h"
#include "language/LanguageFile.h"
#include "language/Settings.h"
#include "platform/Errors.h"
#include "platform/HostFolders.h"
#include "project/EntriesText.h"
#include "project/FolderScan.h"
#include "project/ShortcutEntry.h"
#include "project/VersionFill.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

// The banner lives in this static library's resources, which the linker keeps only when referenced.
static void InitGuiResources()
{
    Q_INIT_RESOURCE(gui);
}

namespace pw {

// The build's view of the window: status line, progress bar, dialogs, and the busy look.
class TMainForm::WindowBuildUi : public BuildUi {
public:
    explicit WindowBuildUi(TMainForm& form) : form_(form) {}

    std::optional<SaveChoice> askSaveFile(const SaveSuggestion& suggestion) override
    {
        return form_.dialogs_.askSaveFile(&form_, suggestion);
    }
    void setStatus(const QString& text) override { form_.Label11->setText(text); }
    void setProgress(int position) override { form_.ProgressBar1->setValue(position); }
    void processEvents() override { form_.dialogs_.processEvents(); }
    void showMessage(const QString& text, MessageKind kind) override { form_.dialogs_.showMessage(&form_, text, kind); }
    bool cancelRequested() override { return cancel_; }
    QString stopKey() const override { return QStringLiteral("Esc"); }
    void requestCancel() { cancel_ = true; }
    void setBuilding(bool building) override
    {
        cancel_ = false;
        if (building)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        // The poll shows "Opções do SFX" again at its next tick while "Compactar com 7-Zip" is checked.
        for (QWidget* page : {form_.SFXOpt, form_.Tweaks, form_.Idiomas})
            form_.Tabs->setTabVisible(form_.Tabs->indexOf(page), !building);
        if (!building)
            QApplication::restoreOverrideCursor();
        form_.RequestPoll();
    }

private:
    TMainForm& form_;
    bool cancel_ = false;
};

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

TMainForm::TMainForm(Dialogs& dialogs, const QStringList& arguments, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs),
      arguments_(arguments),
      buildUi_(std::make_unique<WindowBuildUi>(*this))
{
    InitGuiResources();
    setObjectName(QStringLiteral("MainForm"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    AppDir = ApplicationFolder();
    DataDir = DataFolder();
    driver_ = std::make_unique<BuildDriver>(*buildUi_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    Image1 = Named(new QLabel(this), "Image1");
    Image1->setPixmap(QPixmap(QStringLiteral(":/banner.jpg")));
    Image1->setFixedSize(439, 39);
    Image1->setFrameShape(QFrame::Panel);
    Image1->setFrameShadow(QFrame::Sunken);
    layout->addWidget(Image1, 0, Qt::AlignHCenter);
    Tabs = Named(new QTabWidget(this), "Tabs");
    // Every tab shows its whole caption: the window grows to hold them rather than scroll them.
    Tabs->setUsesScrollButtons(false);
    layout->addWidget(Tabs);

    BuildGeralPage();
    BuildSfxPage();
    BuildEntriesPage();
    BuildLanguagePage();
    BuildAboutPage();
    ShowCaptionsBeforeLanguage(*this, MainFormCaptions());
    Tabs->setCurrentIndex(0);

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    folderWatch_ = new QFileSystemWatcher(this);
    ConnectHandlers();
    Timer1->start();

    SilForm = new TSilForm(dialogs_, this);
    AddAtalhoForm = new TAddAtalhoForm(this);
    ShowModal = [](QDialog& dialog) { return dialog.exec(); };
    applyLanguage = [this](const QString& language) {
        ApplyLanguage(*this, LanguageFile(LanguageFilePath(AppDir, language)));
    };

    Timer1Timer();  // the states are set before the window first shows
    FitToCaptions();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMainForm::FitToCaptions()
{
    FitFixedWindow(*this, QSize(457, 409));
}

TMainForm::~TMainForm()
{
    Timer1->stop();
    // The shortcut list's model empties itself when the widgets go, after this window's own part.
    Atalhos->model()->disconnect(this);
}

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

    Label2 = NewLabel("Label2", Geral);
    SilComm = NewList("SilComm", Geral);
    Edita = NewButton("Edita", Geral);
    SilStr = NewEdit("SilStr", Geral);
    grid->addWidget(Label2, 3, 0, 1, 3);
    grid->addWidget(SilComm, 4, 0);
    grid->addWidget(SilStr, 4, 1);
    grid->addWidget(Edita, 4, 2);

    GroupBox1 = NewGroup("GroupBox1", Geral);
    auto* data = new QGridLayout(GroupBox1);
    data->setVerticalSpacing(2);
    auto field = [&](QLabel*& label, const char* labelName, QLineEdit*& edit, const char* editName, int row,
                     int column) {
        label = NewLabel(labelName, GroupBox1);
        edit = NewEdit(editName, GroupBox1);
        data->addWidget(label, row, column * 2);
        data->addWidget(edit, row, column * 2 + 1);
    };
    field(Label9, "Label9", Description, "Description", 0, 0);
    field(Label4, "Label4", Language, "Language", 1, 0);
    field(Label5, "Label5", Title, "Title", 2, 0);
    field(Label6, "Label6", Version, "Version", 0, 1);
    field(Label7, "Label7", Site, "Site", 1, 1);
    field(Label3, "Label3", BuildDate, "BuildDate", 2, 1);
    grid->addWidget(GroupBox1, 5, 0, 1, 3);

    GroupBox2 = NewGroup("GroupBox2", Geral);
    auto* info = new QHBoxLayout(GroupBox2);
    Label10 = NewLabel("Label10", GroupBox2);
    Label11 = Named(new StatusLine(kIdleStatus, GroupBox2), "Label11");
    info->addWidget(Label10);
    info->addWidget(Label11, 1);
    grid->addWidget(GroupBox2, 6, 0, 1, 3);

    ProgressBar1 = Named(new QProgressBar(Geral), "ProgressBar1");
    ProgressBar1->setRange(kProgressIdle, kProgressEnd);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Cria = NewButton("Cria", Geral);
    grid->addWidget(ProgressBar1, 7, 0, 1, 2);
    grid->addWidget(Cria, 7, 2);
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
    layout->addWidget(EntriesStr);
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

void TMainForm::ConnectHandlers()
{
    connect(Pasta, &FolderEdit::afterDialog, this, &TMainForm::PastaAfterDialog);
    connect(Pasta, &FolderEdit::exited, this, &TMainForm::PastaExit);
    // "activated" comes from the user only: selecting in code runs no handler.
    connect(Programa, &QComboBox::activated, this, &TMainForm::ProgramaChange);
    connect(SilComm, &QComboBox::activated, this, &TMainForm::SilCommChange);
    connect(LangBox, &QComboBox::activated, this, &TMainForm::LangBoxChange);
    connect(Compact, &QCheckBox::clicked, this, &TMainForm::CompactClick);
    connect(Edita, &QPushButton::clicked, this, &TMainForm::EditaClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Cria, &QPushButton::clicked, this, &TMainForm::CriaClick);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TMainForm::Button3Click);
    for (QLineEdit* field : {BuildDate, Language, Title, Version, Site, Description})
        connect(field, &QLineEdit::textChanged, this, &TMainForm::DataChange);

    // The poll's inputs: the start file, "Compactar com 7-Zip", the shortcut rows and their selection, the
    // program folder's entries (a scan, or a change on disk) and a build starting or ending.
    connect(Programa, &QComboBox::currentIndexChanged, this, &TMainForm::RequestPoll);
    connect(Compact, &QCheckBox::toggled, this, &TMainForm::RequestPoll);
    connect(Atalhos, &QTreeWidget::itemSelectionChanged, this, &TMainForm::RequestPoll);
    connect(Atalhos->model(), &QAbstractItemModel::rowsInserted, this, &TMainForm::RequestPoll);
    connect(Atalhos->model(), &QAbstractItemModel::rowsRemoved, this, &TMainForm::RequestPoll);
    connect(Atalhos->model(), &QAbstractItemModel::modelReset, this, &TMainForm::RequestPoll);
    connect(folderWatch_, &QFileSystemWatcher::directoryChanged, this, &TMainForm::RequestPoll);
}

void TMainForm::RequestPoll()
{
    if (!Timer1->isActive() || std::exchange(pollRequested_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        pollRequested_ = false;
        if (Timer1->isActive())
            Timer1Timer();
    });
}

bool TMainForm::ShowingErrors(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const UserError& e) {
        dialogs_.showMessage(this, e.message(), MessageKind::Error);
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, QString::fromLocal8Bit(e.what()), MessageKind::Error);
    }
    return false;
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && Busy())
        buildUi_->requestCancel();
    else
        QWidget::keyPressEvent(event);
}

// Closing mid-build stops the packing and closes the window once the build has ended and cleaned up.
void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!Busy())
        return QWidget::closeEvent(event);
    buildUi_->requestCancel();
    closeAfterBuild_ = true;
    event->ignore();
}

void TMainForm::FormShow()
{
    const QStringList names = LanguageNames(AppDir);
    LangBox->clear();
    LangBox->addItems(names);
    LangBox->setCurrentIndex(FindLanguage(names, ReadLanguageSetting(DataDir)));
    // A settings file that cannot be written ends the start-up here: the window keeps its own texts.
    if (!ShowingErrors([this] { LangBoxChange(); }))
        return;
    LoadSilenceNames(-1);
    ComprLev->setCurrentIndex(0);
    OpenFolderOfCommandLine();
}

void TMainForm::OpenFolderOfCommandLine()
{
    if (arguments_.size() < 2 || arguments_[0] != QLatin1String("/SHL") || arguments_[1].isEmpty())
        return;
    const QString folder = arguments_[1];
    if (!QFileInfo(folder).isDir()) {
        dialogs_.showMessage(this, Driver().texts.NoFolderStr.arg(folder), MessageKind::Warning);
        return;
    }
    Pasta->setText(folder);
    PastaExit();
}

void TMainForm::LangBoxChange()
{
    const QString language = LangBox->currentIndex() >= 0 ? LangBox->currentText() : QString();
    WriteLanguageSetting(DataDir, language);
    if (applyLanguage)
        applyLanguage(language);
}

void TMainForm::Timer1Timer()
{
    PollInputs in;
    in.folderEntriesEmpty = FolderEntries.isEmpty();
    in.sourceDir = SourceDir;
    in.startFile = Programa->currentText();
    in.busy = driver_->Busy;
    in.compact = Compact->isChecked();
    in.shortcutSelected = !Atalhos->selectedItems().isEmpty();
    in.shortcutCount = Atalhos->topLevelItemCount();
    const PollState s = EvaluatePoll(in);
    ShowWhyCriaIsDisabled(s);
    // A folder deleted and made again is watched again.
    if (!SourceDir.isEmpty() && !folderWatch_->directories().contains(SourceDir) && QFileInfo(SourceDir).isDir())
        folderWatch_->addPath(SourceDir);
    Cria->setEnabled(s.criaEnabled);
    ComprLev->setEnabled(s.comprLevEnabled);
    if (const int sfxPage = Tabs->indexOf(SFXOpt); Tabs->isTabVisible(sfxPage) != s.sfxTabVisible)
        Tabs->setTabVisible(sfxPage, s.sfxTabVisible);
    SilComm->setEnabled(s.silCommEnabled);
    SilStr->setEnabled(s.silStrEnabled);
    Button2->setEnabled(s.removeShortcutEnabled);
    Button3->setEnabled(s.clearShortcutsEnabled);
}

void TMainForm::ShowWhyCriaIsDisabled(const PollState& state)
{
    if (Busy())
        return;  // the build has the status line
    const BuildTexts& texts = Driver().texts;
    QString reason;
    if (state.folderGone)
        reason = texts.FolderGoneStr.arg(SourceDir);
    else if (state.startFileGone)
        reason = texts.StartFileMissingStr.arg(Programa->currentText(), SourceDir);
    if (!reason.isEmpty()) {
        if (Label11->text() != reason)
            Label11->setText(reason);
    } else if (!shownReason_.isEmpty() && Label11->text() == shownReason_) {
        Label11->setText(kIdleStatus);
    }
    shownReason_ = reason;
}

void TMainForm::PastaAfterDialog(const QString& folder, bool)
{
    FolderScan(folder);
}

void TMainForm::PastaExit()
{
    FolderScan(Pasta->text());
}

void TMainForm::FolderScan(const QString& folder)
{
    ForgetVersionFill();  // the start-file choice goes with the scan
    const std::optional<FolderScanResult> scan = pw::FolderScan(folder);
    if (!scan) {
        Programa->clear();
        return;
    }
    FolderEntries = scan->folderEntries;
    SourceDir = folder;
    Programa->clear();
    Programa->addItems(scan->startFiles);
    Programa->setCurrentIndex(-1);
    if (const QStringList watched = folderWatch_->directories(); !watched.isEmpty())
        folderWatch_->removePaths(watched);
    folderWatch_->addPath(SourceDir);
    RequestPoll();
}

void TMainForm::ProgramaChange()
{
    StartFileFill();
}

QList<std::pair<QString DescriptiveFields::*, QLineEdit*>> TMainForm::FieldEdits() const
{
    return {{&DescriptiveFields::Site, Site},         {&DescriptiveFields::Version, Version},
            {&DescriptiveFields::Title, Title},       {&DescriptiveFields::Language, Language},
            {&DescriptiveFields::Description, Description}, {&DescriptiveFields::BuildDate, BuildDate}};
}

void TMainForm::StartFileFill()
{
    ForgetVersionFill();
    const auto edits = FieldEdits();
    const QString path = SourceDir + QLatin1Char('/') + Programa->currentText();
    for (const auto& [field, value] : VersionDataFill(VersionInfo1, path)) {
        QLineEdit* edit = std::find_if(edits.begin(), edits.end(), [&](const auto& e) { return e.first == field; })->second;
        // Each field shows the start of its text, as a long description is read from its first words.
        edit->setText(value);
        edit->setCursorPosition(0);
        versionFill_.append({edit, value});
    }
}

void TMainForm::ForgetVersionFill()
{
    for (const auto& [field, value] : std::exchange(versionFill_, {})) {
        if (field->text() == value)
            field->clear();
    }
}

void TMainForm::CompactClick()
{
    ComprLev->setEnabled(Compact->isChecked());
}

void TMainForm::SilCommChange()
{
    ShowingErrors([this] { SilStr->setText(SilenceCommand(SilenceFilePath(DataDir), SilComm->currentIndex())); });
}

void TMainForm::LoadSilenceNames(int keep)
{
    ShowingErrors([this, keep] {
        const QString path = SilenceFilePath(DataDir);
        SilComm->clear();
        SilComm->addItems(SilenceNames(path));
        const bool stillUsed = keep >= 0 && keep < SilComm->count() && SilenceCommand(path, keep) == SilStr->text();
        SilComm->setCurrentIndex(stillUsed ? keep : -1);
    });
}

void TMainForm::EditaClick()
{
    QStringList rows;
    for (int i = 0; i < SilComm->count(); ++i)
        rows.append(SilComm->itemText(i));
    SilForm->Prepare(SilenceFilePath(DataDir), rows);
    ShowModal(*SilForm);
    // The editor may have changed the file: the rows follow it again, so a row's index is its line.
    LoadSilenceNames(SilComm->currentIndex());
}

void TMainForm::DataChange()
{
    DescriptiveFields fields;
    for (const auto& [field, edit] : FieldEdits())
        fields.*field = edit->text();
    EntriesStr->setPlainText(UpdateGeneralSectionText(EntriesStr->toPlainText(), fields));
}

void TMainForm::CriaClick()
{
    driver_->Build(CurrentBuildInputs());
    if (std::exchange(closeAfterBuild_, false))
        close();
}

void TMainForm::Button1Click()
{
    if (ShowModal(*AddAtalhoForm) == QDialog::Accepted)
        AddShortcutRow(AddAtalhoForm->Entry());
}

void TMainForm::Button2Click()
{
    qDeleteAll(Atalhos->selectedItems());
}

void TMainForm::Button3Click()
{
    Atalhos->clear();
}

void TMainForm::AddShortcutRow(const ShortcutEntry& entry)
{
    QStringList columns{entry.caption};
    for (int i = 0; i < ShortcutEntry::SubItemCount; ++i)
        columns.append(entry.subItem(i));
    Atalhos->addTopLevelItem(new QTreeWidgetItem(columns));
}

QList<ShortcutEntry> TMainForm::ShortcutRows() const
{
    QList<ShortcutEntry> rows;
    for (int i = 0; i < Atalhos->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = Atalhos->topLevelItem(i);
        ShortcutEntry entry{item->text(0), {}};
        for (int column = 1; column <= ShortcutEntry::SubItemCount; ++column)
            entry.subItems.append(item->text(column));
        rows.append(entry);
    }
    return rows;
}

BuildInputs TMainForm::CurrentBuildInputs() const
{
    BuildInputs in;
    in.appDir = AppDir;
    in.dataDir = DataDir;
    in.sourceDir = SourceDir;
    in.folderText = Pasta->text();
    in.startFile = Programa->currentText();
    in.silentSwitch = SilStr->text();
    in.compact = Compact->isChecked();
    in.compressionLevel = ComprLev->currentIndex();
    in.overwriteMode = OverCb->currentIndex();
    in.shortcuts = ShortcutRows();
    in.entriesText = EntriesStr->toPlainText();
    for (const auto& [field, edit] : FieldEdits())
        in.fields.*field = edit->text();
    return in;
}

}  // namespace pw
