#pragma once
// The main window: its controls hold the project inputs, its fields the folders and the current build.
// The handlers are glue; the rules they apply live in the core libraries.
#include "gui/WindowLock.h"
#include "gui/WindowTry.h"
#include "pipeline/BuildDriver.h"
#include "project/EntriesText.h"
#include "project/FolderScan.h"
#include "project/Poll.h"
#include "project/VersionInfoReader.h"
#include "project/WindowModel.h"
#include "project/target/WindowsTarget.h"
#include "reopen/ReopenTexts.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QCheckBox;
class QComboBox;
class QDialog;
class QFileSystemWatcher;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidget;

namespace pw {

class Dialogs;
class FolderEdit;
class InstallerHint;
class LanguageFile;
class StatusLine;
class TAddAtalhoForm;
class TSilForm;
class TTryForm;
struct HintSubject;
struct SessionSettings;
struct ShortcutEntry;

class TMainForm : public QWidget, public WindowLock {
    Q_OBJECT
public:
    // `arguments` is the command line without the program name. Throws UserError when a writer's
    // library cannot be bound: the window cannot work without it.
    TMainForm(Dialogs& dialogs, const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The window's state apart from its widgets: the folders, the program folder scanned, what runs.
    WindowModel Model;
    VersionInfoReader VersionInfo1;

    // Banner and tabs.
    QLabel* Image1;
    QTabWidget* Tabs;
    QWidget *Geral, *SFXOpt, *Tweaks, *Idiomas, *Sobre;
    // Page "Geral".
    QLabel *Label8, *Label12, *Label1, *Label2;
    QLabel *Label22, *InstKind;  // the chosen .exe start file's installer: caption and kind
    QLabel* AlvoAviso;  // beside the kind: how many warnings the disc's Windows gives, with them as tooltip
    QLabel* Label23;
    QComboBox* AlvoCb;  // the disc's Windows, in the order of kWindowsTargets
    FolderEdit* Pasta;
    QCheckBox* Compact;
    QComboBox *ComprLev, *Programa, *SilComm;
    QPushButton* Edita;
    QLineEdit* SilStr;
    QGroupBox *GroupBox1, *GroupBox2;
    QLabel *Label9, *Label4, *Label5, *Label6, *Label7, *Label3, *Label10;
    StatusLine* Label11;
    QLineEdit *Description, *Language, *Title, *Version, *Site, *BuildDate;
    QProgressBar* ProgressBar1;
    QPushButton *Cria, *Testa;
    QPushButton* Abre;  // opens an add-on made before, so that it can be made again (WindowReopen)
    // Page "Opções do SFX".
    QLabel* Label20;
    QComboBox* OverCb;
    QGroupBox* GroupBox3;
    QPushButton *Button1, *Button2, *Button3;
    QTreeWidget* Atalhos;
    // Page "Entries", and below the text what the build appends to it (ShowAddProgram).
    QPlainTextEdit* EntriesStr;
    QLabel* AddProgramLabel;
    QPlainTextEdit* AddProgramStr;
    // Page "Idiomas".
    QComboBox* LangBox;
    QPushButton* OK;
    QGroupBox* Info;
    QLabel *Label18, *Label21, *Aut, *Cont;
    // Page "Sobre".
    QLabel *Label13, *Label17, *Label14, *Label15, *Label16;
    // The poll's steady tick, for changes that nothing reports (a program folder on a file system that
    // sends no notices). While it runs, every change of the poll's inputs also ticks the poll at once;
    // tests stop it and tick by hand.
    QTimer* Timer1;

    // The catalogue editor and the shortcut dialog: made once, hidden, and shown modally when needed.
    TSilForm* SilForm;
    TAddAtalhoForm* AddAtalhoForm;
    // What a try found, after "Testar"; made once, hidden, and shown modally.
    TTryForm* TryForm;
    // Shows a dialog modally and returns its result; tests answer in its place.
    std::function<int(QDialog& dialog)> ShowModal;
    // Runs the try of "Testar": TryAddon; tests put a stand-in here.
    TryRunner RunTry;
    // What a try says, in the window's language.
    TryTexts tryTexts;
    // What opening an add-on says.
    ReopenTexts reopenTexts;

    BuildDriver& Driver() { return *driver_; }
    // A build or a try runs.
    bool Busy() const { return Model.Busy(); }
    // A build or a try starts or ends: the inputs wait or come back at once.
    void SetActivity(WindowActivity activity) override;

    // Handlers, callable directly by tests.
    void FormShow();
    void Timer1Timer();
    void PastaAfterDialog(const QString& folder, bool confirmed);
    void PastaExit();
    void FolderScan(const QString& folder);
    void ProgramaChange();
    void StartFileFill();
    void CompactClick();
    void SilCommChange();
    void EditaClick();
    void DataChange();
    void CriaClick();
    void TestaClick();
    void AbreClick();
    // Opens `cabinet`: its program goes into a new folder the user chooses, and the window then holds
    // every choice the add-on was made with (WindowReopen).
    void OpenAddOn(const QString& cabinet);
    void LangBoxChange();
    void AlvoCbChange();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // A folder is scanned; a file's folder is scanned and the file chosen when it is a start file there; an
    // add-on is opened.
    void DropPath(const QString& path);

    void AddShortcutRow(const ShortcutEntry& entry);
    QList<ShortcutEntry> ShortcutRows() const;
    BuildInputs CurrentBuildInputs() const;
    // The disc's Windows chosen in AlvoCb.
    WindowsTarget Target() const;
    // Shows, below the entries text, the "[AddProgram]" section the build will append for the inputs now
    // chosen, and the name of the entries file, for the output name the save dialog offers.
    void ShowAddProgram();
    // The window's size for its current captions and the screen's DPI.
    void FitToCaptions();

    // Applies the named language; set by the language subsystem. Until then the window keeps the
    // texts it was made with.
    std::function<void(const QString& language)> applyLanguage;

protected:
    void showEvent(QShowEvent* event) override;
    // While a build runs, Esc stops its packing, and so does closing the window.
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A folder or an installer dropped on the window (FolderDrop).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A file or folder dropped on a text field is the window's drop (FolderDrop).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class WindowBuildUi;

    void BuildGeralPage();
    void BuildSfxPage();
    void BuildEntriesPage();
    void BuildLanguagePage();
    void BuildAboutPage();
    void ConnectHandlers();
    // Routes a file or folder dropped on a text field to the window (FolderDrop).
    void TakeFileDropsFromFields();
    // Fills SilComm with the catalogue's names. The box shows an entry only while the switch field holds
    // that entry's switch, so the switch shown is the switch used: row `keep` stays chosen if it still
    // does, else no row is (at start-up nothing is chosen).
    void LoadSilenceNames(int keep);
    // The edit box of each descriptive field.
    QList<std::pair<QString DescriptiveFields::*, QLineEdit*>> FieldEdits() const;
    // Empties the descriptive fields that still hold what the chosen start file's version data put there:
    // they describe that start file, which is no longer the one chosen. What the user typed stays.
    void ForgetVersionFill();
    // Runs `action`, showing the message of any error it raises, as the application's error display does.
    bool ShowingErrors(const std::function<void()>& action);
    // Ticks the poll as soon as the window processes its events; several requests make one tick.
    void RequestPoll();
    // The status line says why "Criar arquivo" went grey when the program folder or the start file has
    // gone; once it is back, the line rests again.
    void ShowWhyCriaIsDisabled(const PollState& state);
    // The installer of the start file now chosen, and its switch (InstallerHint).
    void ShowInstallerHint();
    // After an add-on was opened, a folder scanned for a new version of its program chooses the start file
    // that follows the add-on's, with the version data of the new one; every other choice stays as it is.
    void FollowOpenedStartFile(const FolderScanResult& scan);
    // The choices of an add-on opened, and its program folder scanned.
    void TakeOpenedChoices(const BuildInputs& in);
    // The status line after a scan that drops the start-file choice: it names a folder that does not
    // exist or holds no start file, and a word of an earlier build or scan goes.
    void ShowFolderScanStatus(const QString& folder, const std::optional<FolderScanResult>& scan);
    // The start file chosen, in the window's terms, for the installer hint.
    HintSubject HintNow() const;
    // The captions, lists, fonts and texts of the three windows in the language of `file` (LanguageApply).
    // The start-up's language (`keepChoices` false) also selects "Normal" as the compression level, the
    // first overwrite mode and the first shortcut location; a language the user chooses later keeps every
    // choice, since renaming a list's rows is no reason to change what it says.
    void ApplyLanguage(const LanguageFile& file, bool keepChoices);
    // The "/SHL" folder of the command line, scanned as if typed. Whether the command line named one.
    bool OpenFolderOfCommandLine();
    // Applies the remembered session after the start-up's own steps (SessionMemory); from then on every
    // choice it covers (folder, start file, level, overwrite mode, output) stores the session again.
    void RestoreSession(const SessionSettings& session, bool folderFromCommandLine);
    void RememberSession();

    Dialogs& dialogs_;
    QStringList arguments_;
    bool shown_ = false;
    bool closeAfterBuild_ = false;
    bool pollRequested_ = false;
    QString shownReason_;  // the reason the status line shows for a disabled "Criar arquivo"
    QFileSystemWatcher* folderWatch_;  // the program folder, for start files that go
    std::unique_ptr<WindowBuildUi> buildUi_;
    std::unique_ptr<BuildDriver> driver_;
    std::unique_ptr<WindowTry> try_;
    std::unique_ptr<InstallerHint> installerHint_;
    QList<std::pair<QLineEdit*, QString>> versionFill_;  // each field and the value the fill gave it
    bool languageApplied_ = false;  // the start-up's language has been applied: later ones keep the choices
};

}  // namespace pw
