#include "gui/TMainForm.h"

#include "gui/FolderEdit.h"
#include "gui/StatusLine.h"
#include "pipeline/BuildTexts.h"
#include "project/Poll.h"
#include "project/ShortcutEntry.h"
#include "support/CabinetDecoders.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace pw;

namespace {

// The window with an empty program folder beside its own folders.
struct Fixture : pwtest::WindowFixture {
    using WindowFixture::WindowFixture;
    QString Settings() const { return QString::fromLatin1(pwtest::ReadAll(dir.path("data/config.qmr"))); }
};

}  // namespace

TEST(MainFormStartUp, LanguageFirstThenCatalogueThenLevelThenCommandLine)
{
    Fixture f;
    f.dir.write("program/Setup.EXE", "x");
    f.form.reset();
    f.form = std::make_unique<TMainForm>(f.dialogs, QStringList{"/SHL", f.program});
    f.form->Timer1->stop();
    f.form->Model.AppDir = f.dir.path("app/");
    f.form->Model.DataDir = f.dir.path("data/");
    f.dir.write("app/languages/Português (Brasil).qmr");
    f.dir.write("app/languages/english.qmr");
    f.dir.write("data/Silence.qmr", "Inno, /VERYSILENT\r\nNSIS, /S\r\n");

    QStringList order;
    f.form->applyLanguage = [&](const QString& name) {
        order.append(QStringLiteral("language ") + name + QStringLiteral(" catalogue rows ") +
                     QString::number(f.form->SilComm->count()));
        f.form->ComprLev->setCurrentIndex(2);  // as applying a language does
    };
    f.form->FormShow();

    EXPECT_EQ(order, QStringList{QStringLiteral("language Português (Brasil) catalogue rows 0")});
    EXPECT_EQ(f.form->LangBox->count(), 2);
    EXPECT_EQ(f.form->LangBox->itemText(0), QStringLiteral("english"));
    EXPECT_EQ(pwtest::ReadAll(f.dir.path("data/config.qmr")), QByteArray("[Main]\r\nLanguage=Portugu\xEAs (Brasil)\r\n"));
    EXPECT_EQ(f.form->SilComm->count(), 2);
    EXPECT_EQ(f.form->SilComm->currentIndex(), -1) << "the box shows no switch that the field does not hold";
    EXPECT_TRUE(f.form->SilStr->text().isEmpty());
    EXPECT_EQ(f.form->ComprLev->currentIndex(), 0);
    EXPECT_EQ(f.form->Model.SourceDir, f.program);
    EXPECT_EQ(f.form->Programa->count(), 1);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(MainFormStartUp, StoredLanguageMatchedWithoutCaseOrForgottenWhenItsFileIsGone)
{
    Fixture f;
    f.dir.write("app/languages/English.qmr");
    f.dir.write("data/config.qmr", "[Main]\r\nLanguage=ENGLISH\r\n");
    f.form->FormShow();
    EXPECT_EQ(f.form->LangBox->currentText(), QStringLiteral("English"));
    EXPECT_EQ(f.Settings(), QStringLiteral("[Main]\r\nLanguage=English\r\n"));

    Fixture g;
    g.dir.write("data/config.qmr", "[Main]\r\nLanguage=Klingon\r\n");
    g.form->FormShow();
    EXPECT_EQ(g.form->LangBox->currentIndex(), -1);
    EXPECT_EQ(g.Settings(), QStringLiteral("[Main]\r\nLanguage=\r\n"));
}

TEST(MainFormStartUp, MissingDataFolderIsReportedAndTheRestIsSkipped)
{
    Fixture f({"/SHL", QString()});
    f.form->Model.DataDir = f.dir.path("nowhere/");
    bool applied = false;
    f.form->applyLanguage = [&](const QString&) { applied = true; };
    f.form->ComprLev->setCurrentIndex(3);
    f.form->FormShow();
    EXPECT_EQ(f.dialogs.messages, QStringList{QStringLiteral("Unable to write to %1config.qmr").arg(f.form->Model.DataDir)});
    EXPECT_FALSE(applied);
    EXPECT_EQ(f.form->ComprLev->currentIndex(), 3);
    EXPECT_EQ(f.form->SilComm->count(), 0);
}

TEST(MainFormStartUp, CommandLineNeedsExactlyShlAndAnExistingFolder)
{
    for (const QStringList& args : {QStringList{"/shl", "PROGRAM"}, QStringList{"/SHL", "PROGRAM/missing"},
                                    QStringList{"/SHL"}}) {
        Fixture f;
        f.dir.write("program/setup.exe");
        QStringList resolved = args;
        resolved.replaceInStrings(QStringLiteral("PROGRAM"), f.program);
        f.form.reset();
        f.form = std::make_unique<TMainForm>(f.dialogs, resolved);
        f.form->Timer1->stop();
        f.form->Model.AppDir = f.dir.path("app/");
        f.form->Model.DataDir = f.dir.path("data/");
        f.form->FormShow();
        EXPECT_TRUE(f.form->Model.SourceDir.isEmpty()) << resolved.join(' ').toStdString();
    }
}

TEST(MainFormPoll, CriaNeedsAFolderAnExistingStartFileAndNoBuild)
{
    Fixture f;
    f.dir.write("program/Setup.EXE", "x");
    f.dir.write("program/data.MSI", "x");
    f.Scan(f.program);
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Cria->isEnabled()) << "no start file is chosen right after a scan";
    EXPECT_FALSE(f.form->SilComm->isEnabled());

    f.Pick(f.form->Programa, QStringLiteral("Setup.EXE"));
    f.form->Timer1Timer();
    EXPECT_TRUE(f.form->Cria->isEnabled());

    QFile::remove(f.program + QStringLiteral("/Setup.EXE"));
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Cria->isEnabled()) << "a start file deleted after the scan disables the build";
}

TEST(MainFormPoll, TheSwitchIsOpenForEveryStartFileThatUsesItAndClosedForAnInf)
{
    Fixture f;
    for (const char* name : {"a.exe", "b.COM", "c.Msi", "d.bat", "e.cmd", "f.inf"})
        f.dir.write(QStringLiteral("program/") + name, "x");
    f.Scan(f.program);
    for (const char* name : {"a.exe", "b.COM", "c.Msi", "d.bat", "e.cmd", "f.inf"}) {
        f.Pick(f.form->Programa, QString::fromUtf8(name));
        f.form->Timer1Timer();
        const bool open = QString::fromUtf8(name) != QLatin1String("f.inf");
        EXPECT_EQ(f.form->SilComm->isEnabled(), open) << name;
        EXPECT_EQ(f.form->SilStr->isEnabled(), open) << name;
    }
}

TEST(MainFormPoll, CompactDecidesTheLevelAndTheSfxPage)
{
    Fixture f;
    f.form->Compact->click();
    EXPECT_FALSE(f.form->ComprLev->isEnabled()) << "the click itself disables the level";
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Tabs->isTabVisible(1));
    f.form->Compact->click();
    f.form->Timer1Timer();
    EXPECT_TRUE(f.form->ComprLev->isEnabled());
    EXPECT_TRUE(f.form->Tabs->isTabVisible(1));
}

TEST(MainFormPoll, ShortcutButtonsFollowTheList)
{
    Fixture f;
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Button2->isEnabled());
    EXPECT_FALSE(f.form->Button3->isEnabled());
    for (int i = 0; i < 2; ++i)
        f.form->AddShortcutRow(MakeShortcutEntry(QStringLiteral("Menu Iniciar"), 1, 0, QString::number(i), {}, {}, {}, {}));
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Button2->isEnabled());
    EXPECT_TRUE(f.form->Button3->isEnabled());
    f.form->Atalhos->topLevelItem(0)->setSelected(true);
    f.form->Timer1Timer();
    EXPECT_TRUE(f.form->Button2->isEnabled());
    f.form->Button2Click();
    ASSERT_EQ(f.form->ShortcutRows().size(), 1);
    EXPECT_EQ(f.form->ShortcutRows().front().subItem(ShortcutEntry::Target), QStringLiteral("1"));
    f.form->Button3Click();
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Button3->isEnabled());
}

TEST(MainFormProject, FolderScanKeepsTheLastGoodFolder)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.Scan(f.program);
    ASSERT_EQ(f.form->Programa->count(), 1);
    f.form->Pasta->setText(f.dir.path("missing"));
    f.form->PastaExit();
    EXPECT_EQ(f.form->Programa->count(), 0);
    EXPECT_EQ(f.form->Model.SourceDir, f.program);
    EXPECT_FALSE(f.form->Model.FolderEntries.isEmpty());
    f.form->Pasta->setText(QString());
    f.form->PastaExit();
    EXPECT_EQ(f.form->Programa->count(), 0);
}

// Enter in the folder field takes the folder, as leaving the field does.
TEST(MainFormProject, AFolderTypedIsScannedOnEnter)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.dir.write("other/install.bat");
    f.Scan(f.program);
    f.form->Pasta->setText(f.dir.path("other"));
    emit f.form->Pasta->lineEdit()->returnPressed();
    EXPECT_EQ(f.form->Model.SourceDir, f.dir.path("other"));
    EXPECT_EQ(f.form->Programa->count(), 1);
}

TEST(MainFormProject, BrowseDialogRescansEvenWhenCancelled)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.dir.write("other/install.bat");
    f.dialogs.folderAnswers = {f.program, std::nullopt};
    f.form->Pasta->browse();
    EXPECT_EQ(f.form->Pasta->text(), f.program);
    EXPECT_EQ(f.form->Programa->count(), 1);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->Pasta->setText(QString());
    f.form->Pasta->browse();
    EXPECT_EQ(f.dialogs.folderStarts, (QStringList{QDir::homePath(), f.program}))
        << "a first dialog opens in the home folder, and an empty field on the last choice";
    EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("setup.exe")) << "the same folder keeps its choice";

    f.form->Pasta->setText(f.dir.path("other"));
    f.form->Pasta->browse();
    EXPECT_EQ(f.form->Model.SourceDir, f.dir.path("other"));
    EXPECT_EQ(f.form->Programa->currentIndex(), -1) << "the cancelled dialog rescanned its start folder";
}

// Leaving the field or cancelling the dialog on the folder already scanned loses nothing the user chose;
// another folder, or a start file that has gone from it, drops the choice and what came with it.
TEST(MainFormProject, RescanningTheSameFolderKeepsTheStartFileTheSwitchAndTheFields)
{
    Fixture f;
    ASSERT_TRUE(QFile::copy(QStringLiteral(PW_SAMPLES "/DemoApp/setup.exe"), f.program + "/setup.exe"));
    f.dir.write("program/install.bat", "@echo off");
    f.Scan(f.program);
    f.Choose(QStringLiteral("setup.exe"));
    f.form->SilStr->setText(QStringLiteral("/S"));
    f.form->Site->setText(QStringLiteral("https://example.org"));
    ASSERT_EQ(f.form->Title->text(), QStringLiteral("Packwright Demo"));

    for (const QString& again : {f.program, f.program + QLatin1Char('/')}) {
        f.Scan(again);
        f.form->Timer1Timer();
        EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("setup.exe")) << again.toStdString();
        EXPECT_EQ(f.form->Programa->count(), 2);
        EXPECT_EQ(f.form->Title->text(), QStringLiteral("Packwright Demo"));
        EXPECT_EQ(f.form->SilStr->text(), QStringLiteral("/S"));
        EXPECT_TRUE(f.form->Cria->isEnabled());
    }
    f.dialogs.folderAnswers = {std::nullopt};
    f.form->Pasta->browse();
    EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("setup.exe"));
    EXPECT_EQ(f.form->Title->text(), QStringLiteral("Packwright Demo"));

    QFile::remove(f.program + QStringLiteral("/setup.exe"));
    f.Scan(f.program);
    EXPECT_EQ(f.form->Programa->currentIndex(), -1);
    EXPECT_EQ(f.form->Title->text(), QString()) << "the gone start file's version data goes with it";
    EXPECT_EQ(f.form->Site->text(), QStringLiteral("https://example.org"));
}

// A scan that finds nothing to start says why in the status line, in place of an earlier word.
TEST(MainFormProject, AFolderWithoutInstallerOrThatDoesNotExistIsNamedInTheStatusLine)
{
    Fixture f;
    const BuildTexts& texts = f.form->Driver().texts;
    f.dir.write("program/readme.txt");
    f.form->Label11->setText(texts.FileMadeStr.arg(QStringLiteral("/x.cab")));
    f.Scan(f.program);
    EXPECT_EQ(f.form->Label11->text(), texts.NoStartFilesStr.arg(f.program));
    f.Scan(f.dir.path("missing"));
    EXPECT_EQ(f.form->Label11->text(), texts.NoFolderStr.arg(f.dir.path("missing")));
    f.Scan(f.program + QStringLiteral("/readme.txt"));
    EXPECT_EQ(f.form->Label11->text(), texts.NotAFolderStr.arg(f.program + QStringLiteral("/readme.txt")));
    f.dir.write("program/setup.exe");
    f.Scan(f.program);
    EXPECT_EQ(f.form->Label11->text(), kIdleStatus);
}

TEST(MainFormProject, FieldsDriveTheEntriesTextAndNonExeStartFilesLeaveThemAlone)
{
    Fixture f;
    f.form->Title->setText(QStringLiteral("Foo"));
    f.form->Version->setText(QStringLiteral("1.0"));
    EXPECT_EQ(f.form->EntriesStr->toPlainText(),
              QStringLiteral("[General]\nbuilddate=\ndescription=\nlanguage=\ntitle=Foo\nversion=1.0\nwebsite=\n\n"
                             "[EditFile]\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram"));
    f.dir.write("program/install.bat");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("install.bat"));
    f.form->ProgramaChange();
    EXPECT_EQ(f.form->Title->text(), QStringLiteral("Foo"));
}

TEST(MainFormProject, TheCatalogueBoxShowsAnEntryOnlyWhileItsSwitchIsTheOneUsed)
{
    Fixture f;
    f.dir.write("data/Silence.qmr", "Inno, /VERYSILENT\r\nNSIS,  /S \r\n");
    f.form->FormShow();
    EXPECT_EQ(f.form->SilComm->currentText(), QString());
    f.form->SilComm->setCurrentIndex(1);
    f.form->SilCommChange();
    EXPECT_EQ(f.form->SilStr->text(), QStringLiteral("/S"));

    // The catalogue is reloaded after the editor closes: an entry whose switch is unchanged stays chosen,
    // one whose switch was edited no longer matches the field.
    f.form->ShowModal = [](QDialog&) { return int(QDialog::Rejected); };
    f.form->EditaClick();
    EXPECT_EQ(f.form->SilComm->currentIndex(), 1);
    f.form->ShowModal = [&](QDialog&) {
        f.dir.write("data/Silence.qmr", "Inno, /VERYSILENT\r\nNSIS, /S /NCRC\r\n");
        return int(QDialog::Rejected);
    };
    f.form->EditaClick();
    EXPECT_EQ(f.form->SilComm->currentIndex(), -1);
    EXPECT_EQ(f.form->SilStr->text(), QStringLiteral("/S"));
}

TEST(MainFormProject, ValuesFromVersionDataFollowTheStartFile)
{
    Fixture f;
    ASSERT_TRUE(QFile::copy(QStringLiteral(PW_SAMPLES "/DemoApp/setup.exe"), f.program + "/setup.exe"));
    f.dir.write("program/install.bat", "@echo off");
    f.dir.write("other/tool.exe", "MZ without version data");
    f.Scan(f.program);
    f.Choose(QStringLiteral("setup.exe"));
    ASSERT_EQ(f.form->Title->text(), QStringLiteral("Packwright Demo"));
    ASSERT_EQ(f.form->BuildDate->text(), QStringLiteral("08/12/2026"));
    f.form->Version->setText(QStringLiteral("1.0 final"));  // the user's own words stay
    f.form->Site->setText(QStringLiteral("https://example.org"));

    f.Choose(QStringLiteral("install.bat"));
    for (QLineEdit* field : {f.form->Title, f.form->Description, f.form->Language, f.form->BuildDate})
        EXPECT_EQ(field->text(), QString()) << field->objectName().toStdString();
    EXPECT_EQ(f.form->Version->text(), QStringLiteral("1.0 final"));
    EXPECT_EQ(f.form->Site->text(), QStringLiteral("https://example.org"));
    EXPECT_TRUE(f.form->EntriesStr->toPlainText().contains(QStringLiteral("\ntitle=\n")));

    f.Choose(QStringLiteral("setup.exe"));
    EXPECT_EQ(f.form->Title->text(), QStringLiteral("Packwright Demo"));
    f.Scan(f.dir.path("other"));
    EXPECT_EQ(f.form->Title->text(), QString()) << "another folder: no start file is chosen";
    EXPECT_EQ(f.form->Version->text(), QString()) << "this time the version came from the start file";
}

TEST(MainFormProject, EditingAFieldKeepsEveryOtherLineOfTheEntriesTextAsItIs)
{
    Fixture f;
    const QString text = QStringLiteral("[General]\ntitle=\n\n[EditFile]\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram\n");
    f.form->EntriesStr->setPlainText(text);
    f.form->Title->setText(QStringLiteral("X"));
    EXPECT_EQ(f.form->EntriesStr->toPlainText(),
              QStringLiteral("[General]\nbuilddate=\ndescription=\nlanguage=\nversion=\nwebsite=\ntitle=X\n\n"
                             "[EditFile]\nI386\\SVCPACK.INF,SetupHotfixesToRun,AddProgram\n"));
}

TEST(MainFormBuild, CancelledBuildRestoresTheIdleWindow)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.dir.write("data/x.ini");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->CriaClick();
    EXPECT_FALSE(pwtest::Exists(f.dir.path("data/x.ini")));
    EXPECT_EQ(f.form->Label11->text(), QStringLiteral("..."));
    EXPECT_EQ(f.form->ProgressBar1->value(), 0);
    EXPECT_TRUE(f.form->Tabs->isTabVisible(2));
    EXPECT_TRUE(f.form->Tabs->isTabVisible(3));
    EXPECT_FALSE(f.form->Busy());
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

// The typed folder is scanned first; its start file is then the user's to choose, before any output.
TEST(MainFormBuild, AFolderTypedButNeverReadIsScannedAndNotBuilt)
{
    Fixture f;
    f.dir.write("program/setup.exe", "MZ");
    f.dir.write("other/setup.exe", "MZ another program");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->Pasta->setText(f.dir.path("other"));  // typed, and "Criar arquivo" clicked without leaving the field
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("out.cab"), OutputKind::Cabinet});
    f.form->CriaClick();
    EXPECT_EQ(f.form->Model.SourceDir, f.dir.path("other"));
    EXPECT_EQ(f.dialogs.saveAnswers.size(), 1u) << "no save dialog was shown";
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_FALSE(pwtest::Exists(f.dir.path("out.cab")));
}

TEST(MainFormBuild, InputsAreTakenFromTheControls)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->SilStr->setText(QStringLiteral("/S"));
    f.form->ComprLev->setCurrentIndex(4);
    f.form->OverCb->setCurrentIndex(2);
    f.form->AddShortcutRow(MakeShortcutEntry(QStringLiteral("Área de trabalho"), 0, 1, QStringLiteral("app\\run.exe"),
                                             {}, {}, {}, QStringLiteral("Run")));
    const BuildInputs in = f.form->CurrentBuildInputs();
    EXPECT_EQ(in.startFilePath(), f.program + QStringLiteral("/setup.exe"));
    EXPECT_EQ(in.silentSwitch, QStringLiteral("/S"));
    EXPECT_EQ(in.compressionLevel, 4);
    EXPECT_EQ(in.overwriteMode, 2);
    ASSERT_EQ(in.shortcuts.size(), 1);
    EXPECT_EQ(in.shortcuts[0].caption, QStringLiteral("Área de trabalho"));
    EXPECT_EQ(in.shortcuts[0].subItems,
              (QStringList{"app\\run.exe", "0", "1", "app\\run.exe", "", "", "", "Run"}));
}

// What the add-on cannot carry is said in a message box of the build, and nothing is made: a name in the
// program folder, and a line break pasted into a field.
TEST(MainFormBuild, ANameOrValueTheAddOnCannotCarryIsSaidInAMessageBox)
{
    Fixture f;
    f.dir.write("program/setup.exe", "MZ");
    f.dir.write("program/nul.txt", "x");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->Compact->setChecked(false);
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("out.cab"), OutputKind::Cabinet});
    f.form->CriaClick();
    const BuildTexts& texts = f.form->Driver().texts;
    EXPECT_EQ(f.dialogs.messages, QStringList{texts.NameDeviceStr.arg(QStringLiteral("nul.txt"), QStringLiteral("NUL"))});
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>{MessageKind::Warning});
    EXPECT_FALSE(pwtest::Exists(f.dir.path("out.cab")));

    QFile::remove(f.program + QStringLiteral("/nul.txt"));
    QGuiApplication::clipboard()->setText(QStringLiteral("Title\n[Evil]"));
    f.form->Title->paste();
    f.dialogs.messages.clear();
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("out.cab"), OutputKind::Cabinet});
    f.form->CriaClick();
    EXPECT_EQ(f.dialogs.messages, QStringList{texts.LineBreakStr.arg(QStringLiteral("Title<U+000A>[Evil]"))});
    EXPECT_FALSE(pwtest::Exists(f.dir.path("out.cab")));
}

namespace {

// A window ready to build a program folder holding setup.exe and a file large enough that packing it
// takes a while, into "out.7z".
struct LongBuild : Fixture {
    LongBuild()
    {
        dir.write("program/setup.exe");
        QFile big(dir.write("program/big.bin"));
        big.resize(qint64(1) << 30);  // sparse: fast to make, slow to pack
        Scan(program);
        Pick(form->Programa, QStringLiteral("setup.exe"));
        dialogs.saveAnswers.push_back(SaveChoice{dir.path("out.7z"), OutputKind::PlainArchive});
    }
    void ExpectStoppedAndCleanedUp()
    {
        EXPECT_FALSE(pwtest::Exists(dir.path("out.7z")));
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('\n').toStdString();
        EXPECT_FALSE(form->Busy());
        EXPECT_TRUE(form->Tabs->isTabVisible(1));
        EXPECT_FALSE(QApplication::overrideCursor());
    }
};

}  // namespace

TEST(MainFormBuild, EscStopsThePackingSilentlyAndTheNextBuildRunsAgain)
{
    LongBuild f;
    f.dialogs.onProcessEvents = [&] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f.form.get(), &esc);
    };
    f.form->CriaClick();
    f.ExpectStoppedAndCleanedUp();

    // The stop is not left standing for the next build.
    f.dialogs.onProcessEvents = nullptr;
    QFile::remove(f.program + QStringLiteral("/big.bin"));
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("out.7z"), OutputKind::PlainArchive});
    f.form->CriaClick();
    EXPECT_TRUE(pwtest::Exists(f.dir.path("out.7z")));
}

// While the folder is packed every input of the build is locked, the poll's ticks included, and a
// folder typed or chosen meanwhile is not scanned; the end of the build gives the inputs back.
TEST(MainFormBuild, InputsAreLockedWhileTheBuildRuns)
{
    LongBuild f;
    f.dir.write("other/install.bat");
    f.form->AddShortcutRow(MakeShortcutEntry(QStringLiteral("Área de trabalho"), 0, 0, QStringLiteral("a.exe"), {},
                                             {}, {}, QStringLiteral("A")));
    f.form->Atalhos->setCurrentItem(f.form->Atalhos->topLevelItem(0));
    f.form->Timer1Timer();
    const QList<QWidget*> inputs{f.form->Pasta,   f.form->Compact,  f.form->ComprLev,   f.form->Programa,
                                 f.form->SilComm, f.form->SilStr,   f.form->Edita,      f.form->Title,
                                 f.form->Site,    f.form->OverCb,   f.form->Button1,    f.form->Button2,
                                 f.form->Button3, f.form->Atalhos,  f.form->EntriesStr, f.form->LangBox,
                                 f.form->AlvoCb};
    QStringList unlocked;
    bool tried = false;
    f.dialogs.onProcessEvents = [&] {
        if (tried || !f.form->Label11->text().startsWith(f.form->Driver().texts.CompactZipStr))
            return;
        tried = true;
        f.form->Timer1Timer();
        for (QWidget* input : inputs)
            if (input->isEnabled())
                unlocked.append(input->objectName());
        f.form->Pasta->setText(f.dir.path("other"));
        f.form->PastaExit();
        f.dialogs.folderAnswers = {f.dir.path("other")};
        f.form->PastaAfterDialog(f.dir.path("other"), true);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f.form.get(), &esc);
    };
    f.form->CriaClick();
    ASSERT_TRUE(tried);
    EXPECT_EQ(unlocked, QStringList());
    EXPECT_EQ(f.form->Model.SourceDir, f.program) << "the folder being packed stays the window's";
    EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("setup.exe"));
    f.form->Timer1Timer();
    for (QWidget* input : inputs)
        EXPECT_TRUE(input->isEnabled()) << input->objectName().toStdString();
}

TEST(MainFormBuild, ClosingMidBuildStopsItAndClosesOnceItHasEnded)
{
    LongBuild f;
    f.form->show();
    int closeRequests = 0;
    f.dialogs.onProcessEvents = [&] {
        if (f.form->isVisible() && closeRequests++ == 0)
            f.form->close();
        EXPECT_TRUE(f.form->isVisible()) << "the window stays while the build cleans up";
    };
    f.form->CriaClick();
    f.ExpectStoppedAndCleanedUp();
    EXPECT_FALSE(f.form->isVisible());
}

TEST(MainFormBuild, ShortcutRowsBecomeShortcutLinesOfTheInstallerInListOrder)
{
    Fixture f;
    f.dir.write("app/7zS.sfx", "SFX-STUB");
    f.dir.write("program/setup.exe", "MZ");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->Compact->setChecked(true);
    f.form->AddShortcutRow(MakeShortcutEntry(QStringLiteral("Área de trabalho"), 0, 1, QStringLiteral("app\\first.exe"),
                                             {}, {}, {}, QStringLiteral("First")));
    f.form->AddShortcutRow(MakeShortcutEntry(QStringLiteral("Menu Iniciar"), 1, 0, QStringLiteral("second.exe"),
                                             QStringLiteral("-q"), {}, {}, QStringLiteral("Second")));
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("Demo.cab"), OutputKind::Cabinet});
    f.form->CriaClick();
    ASSERT_TRUE(pwtest::Exists(f.dir.path("Demo.cab"))) << f.dialogs.messages.join('\n').toStdString();

    // Read back by an independent decoder: the installer in the add-on carries the rows' lines.
    const pwtest::ToolRun run = pwtest::RunTool(
        QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), f.dir.path("x"), f.dir.path("Demo.cab")});
    ASSERT_TRUE(run.ok) << run.output.toStdString();
    const QByteArray installer = pwtest::ReadAll(f.dir.path("x/svcpack/Demo.exe"));
    ASSERT_TRUE(installer.startsWith("SFX-STUB;!@Install@!UTF-8!"));
    QList<QByteArray> shortcuts;
    for (const QByteArray& line : installer.left(installer.indexOf(";!@InstallEnd@!")).split('\n'))
        if (line.startsWith("\rShortcut="))
            shortcuts.append(line.mid(1));
    ASSERT_EQ(shortcuts.size(), 2);
    EXPECT_TRUE(shortcuts[0].contains("app\\\\first.exe") && shortcuts[0].endsWith("{First}\"")) << shortcuts[0].data();
    EXPECT_TRUE(shortcuts[1].contains("second.exe},{-q}") && shortcuts[1].endsWith("{Second}\"")) << shortcuts[1].data();
}

// The Entries page shows, below the text, what the build appends and the file it goes into.
TEST(MainFormProject, TheEntriesPageShowsTheSectionTheBuildAppends)
{
    Fixture f;
    f.dir.write("program/setup.exe", "MZ");
    f.Scan(f.program);
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    f.form->SilStr->setText(QStringLiteral("/S"));
    for (const bool compact : {false, true}) {
        f.form->Compact->setChecked(compact);
        f.form->Tabs->setCurrentWidget(f.form->Geral);
        f.form->Tabs->setCurrentWidget(f.form->Tweaks);
        EXPECT_EQ(f.form->AddProgramStr->toPlainText(),
                  compact ? QStringLiteral("[AddProgram]\nprogram.exe") : QStringLiteral("[AddProgram]\nsetup.exe /S"));
        EXPECT_TRUE(f.form->AddProgramStr->isReadOnly());
        EXPECT_TRUE(f.form->AddProgramLabel->text().contains(QStringLiteral("ENTRIES_PROGRAM.ini")));
    }
}
