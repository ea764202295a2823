// The General page's word on the chosen installer, the question before an .exe add-on without a switch,
// and "Testar": the try's options, the window locked while it runs, Esc, and what it shows at the end.
#include "gui/TMainForm.h"

#include "gui/FolderEdit.h"
#include "gui/StatusLine.h"
#include "gui/TTryForm.h"
#include "gui/ToolTip.h"
#include "language/Session.h"
#include "language/Settings.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace pw;

namespace {

const QString kInnoSwitch = QStringLiteral("/VERYSILENT /SUPPRESSMSGBOXES /NORESTART /SP-");

// An installer imitation built with the recogniser's tests.
QByteArray Stub(const char* name)
{
    return pwtest::ReadAll(QStringLiteral(PW_INSTALLER_STUBS "/") + QLatin1String(name) + QStringLiteral(".exe"));
}

// A program folder of installers of known and unknown kinds, and a catalogue that holds Inno Setup's
// switch but not Burn's.
struct Fixture : pwtest::WindowFixture {
    Fixture()
    {
        dir.write("program/setup.exe", Stub("InnoSetup"));
        dir.write("program/bundle.exe", Stub("WixBurn"));
        dir.write("program/tool.exe", Stub("Plain"));
        dir.write("program/install.bat", "@echo off\r\n");
        dir.write("data/Silence.qmr", "NSIS, /S\r\nInno, " + kInnoSwitch.toLatin1() + "\r\n");
        form->FormShow();
        Scan(program);
    }
};

TEST(InstallerKind, AnExeShowsItsKindAndOffersItsSwitchWhereTheFieldIsEmpty)
{
    Fixture f;
    ASSERT_FALSE(Stub("InnoSetup").isEmpty());
    EXPECT_EQ(f.form->Label22->text(), QStringLiteral("Instalador:"));
    f.Choose(QStringLiteral("setup.exe"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("Inno Setup"));
    EXPECT_EQ(f.form->SilStr->text(), kInnoSwitch);
    EXPECT_EQ(f.form->SilComm->currentIndex(), 1) << "the catalogue entry with that switch";

    // A switch with no catalogue entry fills the field alone.
    f.Choose(QStringLiteral("bundle.exe"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("Pacote WiX Burn"));
    EXPECT_EQ(f.form->SilStr->text(), QStringLiteral("/quiet /norestart")) << "the earlier offer made way";
    EXPECT_EQ(f.form->SilComm->currentIndex(), -1);

    // What the user typed stays, whatever is chosen after.
    f.form->SilStr->setText(QStringLiteral("/custom"));
    f.Choose(QStringLiteral("setup.exe"));
    EXPECT_EQ(f.form->SilStr->text(), QStringLiteral("/custom"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("Inno Setup"));
}

TEST(InstallerKind, AnOfferedSwitchGoesWithItsStartFile)
{
    Fixture f;
    f.Choose(QStringLiteral("setup.exe"));
    ASSERT_EQ(f.form->SilStr->text(), kInnoSwitch);
    // A batch file takes no installer switch: Inno Setup's would be passed to cmd.
    f.Choose(QStringLiteral("install.bat"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("—")) << "a script has no installer to name";
    EXPECT_TRUE(f.form->SilStr->text().isEmpty());
    EXPECT_EQ(f.form->SilComm->currentIndex(), -1);

    f.Choose(QStringLiteral("setup.exe"));
    f.Choose(QStringLiteral("tool.exe"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("desconhecido"));
    EXPECT_TRUE(f.form->SilStr->text().isEmpty());

    // A rescan of the same folder keeps the choice and what was offered with it; another folder drops both.
    f.Choose(QStringLiteral("setup.exe"));
    f.Scan(f.program);
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("Inno Setup"));
    EXPECT_EQ(f.form->SilStr->text(), kInnoSwitch);
    f.dir.write("other/readme.bat", "@echo off\r\n");
    f.Scan(f.dir.path("other"));
    EXPECT_EQ(f.form->InstKind->text(), QStringLiteral("—")) << "a scan of another folder leaves no start file chosen";
    EXPECT_TRUE(f.form->SilStr->text().isEmpty());
}

TEST(NoSwitchQuestion, AnExeWithoutASwitchIsBuiltOnlyWhenTheUserSaysSo)
{
    Fixture f;
    f.Pick(f.form->AlvoCb, QStringLiteral("XP x64"));  // which runs the x86-64 stubs
    f.Choose(QStringLiteral("tool.exe"));
    ASSERT_TRUE(f.form->SilStr->text().isEmpty());
    f.dialogs.goOnAnswers = {false};
    f.form->CriaClick();
    ASSERT_EQ(f.dialogs.questions.size(), 1);
    EXPECT_TRUE(f.dialogs.questions[0].contains(QStringLiteral("\"tool.exe\""))) << f.dialogs.questions[0].toStdString();
    EXPECT_TRUE(f.dialogs.saveSuggestions.isEmpty()) << "going back asks for no file";

    f.dialogs.goOnAnswers = {true};
    f.form->CriaClick();  // the save dialog is then cancelled
    EXPECT_EQ(f.dialogs.questions.size(), 2);
    EXPECT_EQ(f.dialogs.saveSuggestions.size(), 1);

    f.form->SilStr->setText(QStringLiteral("/S"));
    f.form->CriaClick();
    f.Choose(QStringLiteral("install.bat"));
    f.form->CriaClick();
    EXPECT_EQ(f.dialogs.questions.size(), 2) << "a switch given, or a start file that takes none";
    EXPECT_EQ(f.dialogs.saveSuggestions.size(), 3);
}

// A start file the disc's Windows would not run is marked beside its kind and asked about once before a
// build, with a missing switch in the same question; the Windows chosen is kept for the next session.
TEST(TargetQuestion, TheDiscsWindowsIsAskedAboutBeforeABuildAndRemembered)
{
    Fixture f;
    f.Choose(QStringLiteral("tool.exe"));  // an x86-64 program, on the default Windows XP
    const BuildTexts texts;
    const QString machine = texts.TargetMachineStr.arg("tool.exe", "x86-64", "Windows XP");
    EXPECT_EQ(f.form->AlvoAviso->text(), texts.TargetHintStr.arg(1));
    EXPECT_EQ(f.form->AlvoAviso->toolTip(), WrappedToolTip(machine));
    f.dialogs.goOnAnswers = {false};
    f.form->CriaClick();
    ASSERT_EQ(f.dialogs.questions.size(), 1);
    EXPECT_EQ(f.dialogs.questions[0], texts.NoSwitchStr.arg("tool.exe") + QStringLiteral("\n\n") + machine);
    EXPECT_TRUE(f.dialogs.saveSuggestions.isEmpty()) << "going back asks for no file";

    f.Pick(f.form->AlvoCb, QStringLiteral("XP x64"));
    f.form->AlvoCbChange();
    EXPECT_TRUE(f.form->AlvoAviso->text().isEmpty());
    f.form->SilStr->setText(QStringLiteral("/S"));
    f.form->CriaClick();
    EXPECT_EQ(f.dialogs.questions.size(), 1) << "nothing to ask";
    EXPECT_EQ(f.dialogs.saveSuggestions.size(), 1);
    EXPECT_EQ(ReadSessionSettings(f.form->Model.DataDir).target, WindowsTarget::Xp64);

    pwtest::WindowFixture next;
    next.form->Model.DataDir = f.form->Model.DataDir;
    next.form->FormShow();
    EXPECT_EQ(next.form->Target(), WindowsTarget::Xp64);
    EXPECT_EQ(next.form->Programa->currentText(), QStringLiteral("tool.exe"));
    EXPECT_TRUE(next.form->AlvoAviso->text().isEmpty());
}

// A stand-in for TryAddon that records what the window looked like while it ran.
struct TryRecord {
    int runs = 0;
    TryOptions options;
    bool busy = false, criaEnabled = true, pastaEnabled = true, testaEnabled = true, sfxPageShown = true;
    bool geralPageEnabled = false;
    QString status;
    bool stoppedByEsc = false;
};

TEST(Testar, TriesTheChosenAddOnWithTheWindowLockedAndShowsWhatItFound)
{
    Fixture f;
    f.Choose(QStringLiteral("setup.exe"));
    f.form->Timer1Timer();
    ASSERT_TRUE(f.form->Cria->isEnabled());
    const QString addon = f.dir.write("out/Setup.cab", "MSCF");
    f.form->Driver().lastOutput = addon;  // as a build of this window leaves it
    f.dialogs.addonAnswers = {addon};
    const QString report = f.dir.mkdir("out/report").chopped(1);
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(report + QStringLiteral("/window-1.png")));

    TryRecord seen;
    f.form->RunTry = [&](const TryOptions& options, TryUi& ui) {
        ++seen.runs;
        seen.options = options;
        seen.busy = f.form->Busy();
        seen.criaEnabled = f.form->Cria->isEnabled();
        seen.pastaEnabled = f.form->Pasta->isEnabled();
        seen.testaEnabled = f.form->Testa->isEnabled();
        seen.geralPageEnabled = f.form->Tabs->isTabEnabled(f.form->Tabs->indexOf(f.form->Geral));
        seen.sfxPageShown = f.form->Tabs->isTabVisible(f.form->Tabs->indexOf(f.form->SFXOpt));
        ui.setStatus(QStringLiteral("step one"));
        seen.status = f.form->Label11->text();
        EXPECT_FALSE(ui.cancelRequested());
        TryResult result;
        result.verdict = TryVerdict::Failed;
        result.ran = true;
        result.waitedOnWindow = true;
        result.summary = QStringLiteral("the summary");
        result.verdictText = QStringLiteral("FALHOU: esperou numa janela, \"Setup <1>\", visível por 5 s.");
        result.reportFolder = report;
        result.screenshots = {QStringLiteral("window-1.png")};
        return result;
    };
    QDialog* shown = nullptr;
    f.form->ShowModal = [&](QDialog& dialog) {
        shown = &dialog;
        TTryForm& form = *f.form->TryForm;
        EXPECT_EQ(form.Summary->toPlainText(), QStringLiteral("the summary"));
        // The verdict comes first, marked, whole and wrapped: a title in it stays text.
        EXPECT_TRUE(form.Verdict->wordWrap());
        EXPECT_TRUE(form.Verdict->text().contains(QStringLiteral(">FALHOU</span></b>"))) << form.Verdict->text().toStdString();
        EXPECT_TRUE(form.Verdict->text().contains(QStringLiteral("Setup &lt;1&gt;"))) << form.Verdict->text().toStdString();
        // The window that waited, as large as it was.
        EXPECT_FALSE(form.ScreenshotArea->isHidden());
        EXPECT_EQ(form.Screenshot->pixmap().size(), QSize(640, 480));
        EXPECT_TRUE(form.windowTitle().contains(QStringLiteral("Setup.cab")));
        form.OpenFolder->click();
        return int(QDialog::Accepted);
    };
    f.form->TestaClick();

    EXPECT_EQ(f.dialogs.addonStarts, QStringList{addon}) << "the add-on last made is offered";
    ASSERT_EQ(seen.runs, 1);
    EXPECT_EQ(seen.options.addon, addon);
    EXPECT_EQ(seen.options.appDir, f.form->Model.AppDir);
    EXPECT_EQ(seen.options.reportParent, f.dir.path("out"));
    EXPECT_EQ(seen.options.timeLimitSeconds, 600);
    EXPECT_TRUE(seen.busy);
    EXPECT_FALSE(seen.criaEnabled);
    EXPECT_FALSE(seen.pastaEnabled);
    EXPECT_FALSE(seen.testaEnabled);
    EXPECT_TRUE(seen.geralPageEnabled) << "the status line stays readable";
    EXPECT_FALSE(seen.sfxPageShown);
    EXPECT_EQ(seen.status, QStringLiteral("step one (tecle Esc para interromper)"));
    EXPECT_EQ(shown, f.form->TryForm);

    EXPECT_FALSE(f.form->Busy());
    EXPECT_TRUE(f.form->Cria->isEnabled());
    EXPECT_TRUE(f.form->Pasta->isEnabled());
    EXPECT_TRUE(f.form->Testa->isEnabled());
    EXPECT_TRUE(f.form->Tabs->isTabVisible(f.form->Tabs->indexOf(f.form->SFXOpt)));
    EXPECT_EQ(f.dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(report)});
    EXPECT_EQ(f.form->Label11->text(),
              QStringLiteral("FALHOU: esperou numa janela, \"Setup <1>\", visível por 5 s."))
        << "the verdict stays on the status line";
}

TEST(Testar, EscStopsTheTryAndNothingIsShown)
{
    Fixture f;
    f.dialogs.addonAnswers = {f.dir.write("a.cab", "MSCF")};
    bool stopped = false;
    f.form->RunTry = [&](const TryOptions&, TryUi& ui) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f.form.get(), &esc);
        stopped = ui.cancelRequested();
        TryResult result;
        result.cancelled = true;
        result.reason = TryTexts().StoppedStr;
        return result;
    };
    int shows = 0;
    f.form->ShowModal = [&](QDialog&) { return ++shows, int(QDialog::Accepted); };
    f.form->TestaClick();
    EXPECT_TRUE(stopped);
    EXPECT_EQ(shows, 0);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_EQ(f.form->Label11->text(), TryTexts().StoppedStr);

    // The next try starts unstopped; closing the window stops it too.
    f.dialogs.addonAnswers = {f.dir.path("a.cab")};
    bool stoppedAtFirst = true;
    f.form->RunTry = [&](const TryOptions&, TryUi& ui) {
        stoppedAtFirst = ui.cancelRequested();
        f.form->close();
        stopped = ui.cancelRequested();
        return TryResult();
    };
    f.form->TestaClick();
    EXPECT_FALSE(stoppedAtFirst);
    EXPECT_TRUE(stopped);
}

TEST(Testar, ACancelledChoiceTriesNothingAndATryThatCannotRunSaysWhy)
{
    Fixture f;
    int runs = 0;
    f.form->RunTry = [&](const TryOptions&, TryUi&) { return ++runs, TryResult(); };
    f.form->TestaClick();  // the add-on dialog is cancelled
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(f.dialogs.addonStarts, QStringList{f.program}) << "no add-on made yet: the program folder";

    // The real try, of an add-on that is not there: it stops before Wine and says so.
    f.form->RunTry = TryAddon;
    f.dialogs.addonAnswers = {f.dir.path("missing.cab")};
    f.form->TestaClick();
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_EQ(f.dialogs.messages[0], TryTexts().NoAddonStr.arg(f.dir.path("missing.cab")));
    EXPECT_EQ(f.dialogs.messageKinds[0], MessageKind::Warning);
}

}  // namespace
