#include "gui/TMainForm.h"

#include "catalogue/Silence.h"
#include "dialogs/Dialogs.h"
#include "gui/FixedWindow.h"
#include "gui/FolderEdit.h"
#include "gui/FormCaptions.h"
#include "gui/InstallerHint.h"
#include "gui/ObjectNames.h"
#include "gui/StatusLine.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TSilForm.h"
#include "gui/TTryForm.h"
#include "language/LanguageFile.h"
#include "language/Session.h"
#include "language/Settings.h"
#include "pipeline/EntriesFile.h"
#include "pipeline/TargetWarnings.h"
#include "platform/Errors.h"
#include "platform/HostFolders.h"
#include "project/FolderScan.h"
#include "project/ShortcutEntry.h"
#include "project/VersionFill.h"
#include "project/installer/InstallerOffer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
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

#include <algorithm>
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
    void setStatus(const QString& text) override
    {
        status_ = text;
        ShowStatus();
    }
    void setProgress(double position) override
    {
        // The bar shows the step under way, as the status line names it: packing, then the cabinet.
        position_ = position;
        form_.ProgressBar1->setValue(position == kProgressIdle ? 0 : StepPercent(position));
        ShowStatus();
    }
    void processEvents() override { form_.dialogs_.processEvents(); }
    void showMessage(const QString& text, MessageKind kind) override { form_.dialogs_.showMessage(&form_, text, kind); }
    void showSuccess(const QString& text, const QString& file) override
    {
        const QString question = form_.Driver().texts.OpenFolderStr.arg(QDir::toNativeSeparators(file));
        if (form_.dialogs_.askYesNo(&form_, WithDetail(text, question)))
            form_.dialogs_.openOrSay(&form_, QUrl::fromLocalFile(QFileInfo(file).absolutePath()),
                                     form_.Driver().texts.NothingOpensStr);
    }
    bool cancelRequested() override { return cancel_; }
    QString stopKey() const override { return QStringLiteral("Esc"); }
    void requestCancel() { cancel_ = true; }
    // Whether the last build was asked to stop; it stays so until the next build starts.
    bool stopRequested() const { return cancel_; }
    void setBuilding(bool building) override
    {
        if (building) {
            cancel_ = false;
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
        form_.SetActivity(building ? WindowActivity::Building : WindowActivity::Idle);
        if (!building)
            QApplication::restoreOverrideCursor();
    }

private:
    // The status line; while the cabinet is written, its percentage goes with the step's words, before
    // the key that stops it, since the bar alone would not say which step it counts.
    void ShowStatus()
    {
        QString text = status_;
        if (position_ >= kProgressEntriesWritten) {
            const QString hint = StopHint(form_.Driver().texts, stopKey());
            text.insert(text.endsWith(hint) ? text.size() - hint.size() : text.size(),
                        QStringLiteral(" %1%").arg(StepPercent(position_)));
        }
        form_.Label11->setText(text);
    }

    TMainForm& form_;
    bool cancel_ = false;
    QString status_;  // the status text, without the percentage shown beside it
    double position_ = kProgressIdle;
};

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
    setAcceptDrops(true);

    Model.AppDir = ApplicationFolder();
    Model.DataDir = DataFolder();
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
    // The window has one size for its captions: no maximize button offers another.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    folderWatch_ = new QFileSystemWatcher(this);
    ConnectHandlers();
    TakeFileDropsFromFields();
    Timer1->start();

    SilForm = new TSilForm(dialogs_, this);
    AddAtalhoForm = new TAddAtalhoForm(this);
    TryForm = new TTryForm(this);
    ShowModal = [](QDialog& dialog) { return dialog.exec(); };
    RunTry = TryAddon;
    try_ = std::make_unique<WindowTry>(TryWindow{*this, *this, *Label11, *TryForm, ShowModal}, dialogs_);
    installerHint_ = std::make_unique<InstallerHint>(InstallerHintView{*InstKind, *AlvoAviso, *SilStr, *SilComm});
    applyLanguage = [this](const QString& language) {
        ApplyLanguage(LanguageFile(LanguageFilePath(Model.AppDir, language)), std::exchange(languageApplied_, true));
    };

    Timer1Timer();  // the states are set before the window first shows
    ShowAddProgram();
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

void TMainForm::ConnectHandlers()
{
    connect(Pasta, &FolderEdit::afterDialog, this, &TMainForm::PastaAfterDialog);
    connect(Pasta, &FolderEdit::exited, this, &TMainForm::PastaExit);
    // "activated" comes from the user only: selecting in code runs no handler.
    connect(Programa, &QComboBox::activated, this, &TMainForm::ProgramaChange);
    connect(SilComm, &QComboBox::activated, this, &TMainForm::SilCommChange);
    connect(LangBox, &QComboBox::activated, this, &TMainForm::LangBoxChange);
    connect(Compact, &QCheckBox::clicked, this, &TMainForm::CompactClick);
    connect(ComprLev, &QComboBox::activated, this, &TMainForm::RememberSession);
    connect(OverCb, &QComboBox::activated, this, &TMainForm::RememberSession);
    connect(AlvoCb, &QComboBox::activated, this, &TMainForm::AlvoCbChange);
    connect(Edita, &QPushButton::clicked, this, &TMainForm::EditaClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Cria, &QPushButton::clicked, this, &TMainForm::CriaClick);
    connect(Testa, &QPushButton::clicked, this, &TMainForm::TestaClick);
    connect(Abre, &QPushButton::clicked, this, &TMainForm::AbreClick);
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
    // What the build appends depends on choices of the General page: it is made again as its page opens.
    connect(Tabs, &QTabWidget::currentChanged, this, [this] {
        if (Tabs->currentWidget() == Tweaks)
            ShowAddProgram();
    });
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
    if (event->key() == Qt::Key_Escape && Busy()) {
        buildUi_->requestCancel();
        try_->RequestStop();
    } else {
        QWidget::keyPressEvent(event);
    }
}

// Closing mid-build stops the packing, and closing mid-try the try; the window closes once either has
// ended and cleaned up.
void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!Busy())
        return QWidget::closeEvent(event);
    buildUi_->requestCancel();
    try_->RequestStop();
    closeAfterBuild_ = true;
    event->ignore();
}

void TMainForm::FormShow()
{
    const QStringList names = LanguageNames(Model.AppDir);
    LangBox->clear();
    LangBox->addItems(names);
    LangBox->setCurrentIndex(FindLanguage(names, ReadLanguageSetting(Model.DataDir)));
    // A settings file that cannot be written ends the start-up here: the window keeps its own texts.
    if (!ShowingErrors([this] { LangBoxChange(); }))
        return;
    // Read before the steps below, which would otherwise store their own values over it.
    const SessionSettings session = ReadSessionSettings(Model.DataDir);
    LoadSilenceNames(-1);
    ComprLev->setCurrentIndex(0);
    const bool folderFromCommandLine = OpenFolderOfCommandLine();
    RestoreSession(session, folderFromCommandLine);
}

bool TMainForm::OpenFolderOfCommandLine()
{
    if (arguments_.size() < 2 || arguments_[0] != QLatin1String("/SHL") || arguments_[1].isEmpty())
        return false;
    const QString folder = arguments_[1];
    if (!QFileInfo(folder).isDir()) {
        dialogs_.showMessage(this, Driver().texts.NoFolderStr.arg(folder), MessageKind::Warning);
        return true;
    }
    Pasta->setText(folder);
    PastaExit();
    return true;
}

void TMainForm::LangBoxChange()
{
    const QString language = LangBox->currentIndex() >= 0 ? LangBox->currentText() : QString();
    WriteLanguageSetting(Model.DataDir, language);
    if (applyLanguage)
        applyLanguage(language);
    installerHint_->ShowKind(HintNow());
    ShowAddProgram();
}

void TMainForm::AlvoCbChange()
{
    installerHint_->CheckTarget(HintNow());
    RememberSession();
}

HintSubject TMainForm::HintNow() const
{
    return {Model, Programa->currentText(), Target(), driver_->texts};
}

void TMainForm::SetActivity(WindowActivity activity)
{
    Model.activity = activity;
    Timer1Timer();
}

WindowsTarget TMainForm::Target() const
{
    return static_cast<WindowsTarget>(std::max(AlvoCb->currentIndex(), 0));  // the rows follow the enumeration
}

void TMainForm::Timer1Timer()
{
    PollInputs in;
    in.startFile = Programa->currentText();
    in.compact = Compact->isChecked();
    in.shortcutSelected = !Atalhos->selectedItems().isEmpty();
    in.shortcutCount = Atalhos->topLevelItemCount();
    const PollState s = Model.Poll(in);
    ShowWhyCriaIsDisabled(s);
    // A folder deleted and made again is watched again.
    const QString& folder = Model.SourceDir;
    if (!folder.isEmpty() && !folderWatch_->directories().contains(folder) && QFileInfo(folder).isDir())
        folderWatch_->addPath(folder);
    const QList<QWidget*> inputs{Pasta,   Compact,  Programa, AlvoCb,  Edita,  Description, Language, Title, Version,
                                 Site,    BuildDate, OverCb,  Button1, Atalhos, EntriesStr, LangBox,  Testa, Abre};
    for (QWidget* input : inputs)
        input->setEnabled(s.inputsEnabled);
    Cria->setEnabled(s.criaEnabled);
    ComprLev->setEnabled(s.comprLevEnabled);
    // Pages are shown or hidden only on a change: hiding a page the user is on would move them.
    const auto showPage = [this](QWidget* page, bool visible) {
        if (const int index = Tabs->indexOf(page); Tabs->isTabVisible(index) != visible)
            Tabs->setTabVisible(index, visible);
    };
    showPage(SFXOpt, s.sfxTabVisible);
    showPage(Tweaks, s.pagesVisible);
    showPage(Idiomas, s.pagesVisible);
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
        reason = texts.FolderGoneStr.arg(Model.SourceDir);
    else if (state.startFileGone)
        reason = texts.StartFileMissingStr.arg(Programa->currentText(), Model.SourceDir);
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
    if (Busy())
        return;  // the build packs the folder it was started on
    const std::optional<FolderScanResult> scan = pw::FolderScan(folder);
    // Leaving the field or cancelling the dialog on the folder already shown rescans it: the start file
    // chosen there, and the switch and fields that go with it, stay while the file is still in it.
    const QString chosen = Programa->currentText();
    const bool keepChoice = Model.ScanKeepsChoice(folder, scan, chosen);
    if (!keepChoice) {
        ForgetVersionFill();  // the start-file choice goes with the scan
        ShowFolderScanStatus(folder, scan);
    }
    if (!scan) {
        Programa->clear();
        ShowInstallerHint();
        return;
    }
    Model.TakeScan(folder, *scan);
    Programa->clear();
    Programa->addItems(scan->startFiles);
    Programa->setCurrentIndex(keepChoice ? Programa->findText(chosen) : -1);
    ShowInstallerHint();
    if (!keepChoice)
        FollowOpenedStartFile(*scan);
    if (const QStringList watched = folderWatch_->directories(); !watched.isEmpty())
        folderWatch_->removePaths(watched);
    folderWatch_->addPath(Model.SourceDir);
    RequestPoll();
    RememberSession();
}

void TMainForm::ShowFolderScanStatus(const QString& folder, const std::optional<FolderScanResult>& scan)
{
    const BuildTexts& texts = Driver().texts;
    QString status = kIdleStatus;
    if (!scan && !folder.isEmpty())
        status = (QFileInfo::exists(folder) ? texts.NotAFolderStr : texts.NoFolderStr).arg(folder);
    else if (scan->startFiles.isEmpty())
        status = texts.NoStartFilesStr.arg(folder);
    Label11->setText(status);
    shownReason_.clear();
}

void TMainForm::ProgramaChange()
{
    StartFileFill();
    ShowInstallerHint();
    RememberSession();
}

void TMainForm::ShowInstallerHint()
{
    ShowingErrors([this] { installerHint_->StartFileChosen(HintNow()); });
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
    const QString path = Model.SourceDir + QLatin1Char('/') + Programa->currentText();
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
    ShowingErrors([this] { SilStr->setText(SilenceCommand(SilenceFilePath(Model.DataDir), SilComm->currentIndex())); });
}

void TMainForm::LoadSilenceNames(int keep)
{
    ShowingErrors([this, keep] {
        const QString path = SilenceFilePath(Model.DataDir);
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
    SilForm->Prepare(SilenceFilePath(Model.DataDir), rows);
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
    // A folder typed but not taken yet is scanned first: the build is of the folder the window shows, and
    // one that holds another start file, or none, must be chosen from before anything is asked.
    if (Model.FolderPending(Pasta->text())) {
        PastaExit();
        if (Model.FolderPending(Pasta->text()) || Programa->currentIndex() < 0)
            return;
    }
    const BuildInputs in = CurrentBuildInputs();
    // One question for all that stands in the way of the add-on during Windows setup.
    const BuildTexts& texts = driver_->texts;
    QStringList warnings = TargetWarnings(in.startFilePath(), Target(), Model.AppDir, texts);
    if (LacksSilentSwitch(in.startFile, in.silentSwitch))
        warnings.prepend(texts.NoSwitchStr.arg(in.startFile));
    if (!warnings.isEmpty() &&
        !dialogs_.askGoOn(this, warnings.join(QStringLiteral("\n\n")), texts.BuildAnywayStr, texts.GoBackStr))
        return;
    const BuildDriver::Outcome outcome = driver_->Build(in);
    // A stop leaves nothing made, and the status line says so, as the command line does.
    if (outcome != BuildDriver::Outcome::Succeeded && buildUi_->stopRequested())
        Label11->setText(driver_->texts.StoppedStr.arg(QDir::toNativeSeparators(driver_->lastOutput)));
    RememberSession();  // the folder of the output chosen
    if (std::exchange(closeAfterBuild_, false))
        close();
}

void TMainForm::TestaClick()
{
    if (Busy())
        return;
    TryOptions options;
    options.appDir = Model.AppDir;
    options.tools = FindTryTools();
    options.texts = tryTexts;
    options.target = Target();
    try_->Run(RunTry, options, driver_->lastOutput, Model.SourceDir, driver_->texts);
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

void TMainForm::ShowAddProgram()
{
    const BuildInputs in = CurrentBuildInputs();
    const QString outName = driver_->SuggestedOutput(in).baseName;
    AddProgramLabel->setText(driver_->texts.AppendedSectionStr.arg(EntriesFileName(outName)));
    const bool chosen = !in.startFile.isEmpty();
    AddProgramStr->setPlainText(QStringLiteral("[AddProgram]\n") + (chosen ? AddProgramCommand(in, outName) : QString()));
}

BuildInputs TMainForm::CurrentBuildInputs() const
{
    BuildInputs in = Model.NewBuildInputs();
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
