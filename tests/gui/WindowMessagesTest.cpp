// What the window tells the user beside the build's own texts, through the dialogs seam and the status
// line: the file made, why "Criar arquivo" went grey, a failing output folder, a missing "/SHL" folder,
// the key that stops the packing, the cabinet's percentage, and what the save dialog suggests.
#include "gui/TMainForm.h"

#include "gui/StatusLine.h"
#include "support/ScratchMount.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pw;

namespace {

// The window on a program folder holding setup.exe, chosen as the start file, ready for a cabinet build
// without the self-extractor.
struct Fixture : pwtest::WindowFixture {
    explicit Fixture(const QStringList& arguments = {}) : WindowFixture(arguments)
    {
        dir.write("program/setup.exe", "MZ");
        Scan(program);
        Choose(QStringLiteral("setup.exe"));
        form->Compact->setChecked(false);
    }
    const BuildTexts& Texts() const { return form->Driver().texts; }
    // Builds into `output`, answering the save dialog with it.
    void Build(const QString& output)
    {
        const bool plain = output.endsWith(QLatin1String(".7z"));
        dialogs.saveAnswers.push_back(SaveChoice{output, plain ? OutputKind::PlainArchive : OutputKind::Cabinet});
        form->CriaClick();
    }
};

// Lets the window process its events until `done` holds, for at most five seconds.
bool ProcessEventsUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

}  // namespace

TEST(WindowMessages, AfterASuccessTheMessageOffersTheFoldersFileAndTheStatusLineNamesIt)
{
    Fixture f;
    const QString output = f.dir.path("Demo.cab");
    f.Build(output);
    // The message names the file and offers its folder: No leaves it, Yes opens it in the file manager.
    const QString success = f.Texts().MessageStr + "\n\n" + f.Texts().OpenFolderStr.arg(output);
    EXPECT_EQ(f.dialogs.messages, QStringList{success});
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>{MessageKind::Information});
    EXPECT_EQ(f.form->Label11->text(), f.Texts().FileMadeStr.arg(output));
    EXPECT_TRUE(f.dialogs.openedUrls.isEmpty());
    f.dialogs.yesNoAnswers = {true};
    f.Build(output);
    EXPECT_EQ(f.dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(f.dir.path())});

    // A desktop with nothing that opens a folder: the window says so, instead of doing nothing.
    f.dialogs.opens = false;
    f.dialogs.messages.clear();
    f.dialogs.yesNoAnswers = {true};
    f.Build(output);
    EXPECT_EQ(f.dialogs.messages, (QStringList{success, f.Texts().NothingOpensStr.arg(f.dir.path())}));
}

TEST(WindowMessages, AnOutputFolderThatIsMissingReadOnlyOrFullIsNamedWithAnErrorIcon)
{
    Fixture f;
    const QString missing = f.dir.path("gone");
    f.Build(missing + QStringLiteral("/Demo.cab"));
    f.Build(missing + QStringLiteral("/Demo.7z"));
    const QString expected = WithDetail(f.Texts().ErrMessageStr, f.Texts().NoFolderStr.arg(missing));
    EXPECT_EQ(f.dialogs.messages, QStringList(2, expected)) << "made neither the folder nor anything in it";
    EXPECT_FALSE(pwtest::Exists(missing));

    pwtest::ScratchMount readOnly(1 << 20);
    PW_REQUIRE_MOUNT(readOnly);
    ASSERT_TRUE(readOnly.makeReadOnly());
    f.Build(readOnly.path("Demo.7z"));
    EXPECT_EQ(f.dialogs.messages.last(), WithDetail(f.Texts().ErrMessageStr, f.Texts().ReadOnlyFolderStr.arg(readOnly.path())));

    pwtest::ScratchMount full(1 << 20);
    PW_REQUIRE_MOUNT(full);
    full.fillUp();
    f.Build(full.path("Demo.cab"));
    EXPECT_TRUE(f.dialogs.messages.last().endsWith(f.Texts().DiskFullStr.arg(full.path())))
        << f.dialogs.messages.last().toStdString();
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>(4, MessageKind::Error));
    EXPECT_EQ(f.form->Label11->text(), kIdleStatus);
}

TEST(WindowMessages, WhatTheUserCanPutRightCarriesTheWarningIcon)
{
    Fixture f;
    f.Build(f.program + QStringLiteral("/inside.cab"));
    f.form->Compact->setChecked(true);  // needs 7zS.sfx, which AppDir lacks
    f.Build(f.dir.path("Demo.cab"));
    EXPECT_EQ(f.dialogs.messages,
              (QStringList{f.Texts().OutputFolderRefusedStr.arg(f.program + QStringLiteral("/inside.cab")),
                           f.Texts().AppFileMissingStr.arg(QStringLiteral("7zS.sfx"), f.form->Model.AppDir)}));
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>(2, MessageKind::Warning));
}

TEST(WindowMessages, AShlFolderThatDoesNotExistIsNamed)
{
    pwtest::WindowFixture f({"/SHL", "/no/such/folder"});
    f.form->FormShow();
    EXPECT_EQ(f.dialogs.messages, QStringList{f.form->Driver().texts.NoFolderStr.arg("/no/such/folder")});
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>{MessageKind::Warning});
    EXPECT_TRUE(f.form->Model.SourceDir.isEmpty());
}

TEST(WindowMessages, TheStatusLineSaysWhyCriaWentGreyAndRestsOnceItIsBack)
{
    Fixture f;
    f.form->Timer1Timer();
    ASSERT_TRUE(f.form->Cria->isEnabled());
    EXPECT_EQ(f.form->Label11->text(), kIdleStatus);

    QFile::rename(f.program + QStringLiteral("/setup.exe"), f.program + QStringLiteral("/setup.old"));
    f.form->Timer1Timer();
    EXPECT_FALSE(f.form->Cria->isEnabled());
    EXPECT_EQ(f.form->Label11->text(), f.Texts().StartFileMissingStr.arg("setup.exe", f.program));
    QFile::rename(f.program + QStringLiteral("/setup.old"), f.program + QStringLiteral("/setup.exe"));
    f.form->Timer1Timer();
    EXPECT_TRUE(f.form->Cria->isEnabled());
    EXPECT_EQ(f.form->Label11->text(), kIdleStatus);

    QDir(f.program).removeRecursively();
    f.form->Timer1Timer();
    EXPECT_EQ(f.form->Label11->text(), f.Texts().FolderGoneStr.arg(f.program));

    // A text the build left there is not the poll's to take away.
    f.form->Label11->setText(QStringLiteral("Arquivo criado: /x.cab"));
    f.dir.write("program/setup.exe", "MZ");
    f.form->Timer1Timer();
    EXPECT_EQ(f.form->Label11->text(), QStringLiteral("Arquivo criado: /x.cab"));
}

TEST(WindowMessages, WhilePackingTheStatusLineNamesEscAndAfterAStopSaysNothingWasMade)
{
    Fixture f;
    QFile big(f.dir.write("program/big.bin"));
    ASSERT_TRUE(big.resize(qint64(1) << 30));  // sparse: fast to make, slow to pack
    QString whilePacking;
    f.dialogs.onProcessEvents = [&] {
        if (whilePacking.isEmpty() && f.form->Label11->text().startsWith(f.Texts().CompactZipStr)) {
            whilePacking = f.form->Label11->text();
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(f.form.get(), &esc);
        }
    };
    f.Build(f.dir.path("Demo.7z"));
    EXPECT_EQ(whilePacking, f.Texts().CompactZipStr + QStringLiteral("  ") + f.Texts().StopKeyStr.arg("Esc"));
    EXPECT_FALSE(pwtest::Exists(f.dir.path("Demo.7z")));
    EXPECT_EQ(f.form->Label11->text(), f.Texts().StoppedStr.arg(f.dir.path("Demo.7z"))) << "the stop is said";

    // A build that runs to its end after a stopped one says what it made.
    f.dialogs.onProcessEvents = nullptr;
    QFile::remove(f.program + QStringLiteral("/big.bin"));
    f.Build(f.dir.path("Demo.7z"));
    EXPECT_EQ(f.form->Label11->text(), f.Texts().FileMadeStr.arg(f.dir.path("Demo.7z")));
}

// While the cabinet is written, the status line gives its percentage beside the step's text, from 0%, and
// never 100% before the file is made, with the key that stops it; the bar shows the same percentage. Then
// it says what was made. The positions are the cabinet's own, handed to the window as the cabinet step
// hands them, at the first moment the window shows the step.
TEST(WindowMessages, WhileTheCabinetIsWrittenTheStatusLineAndTheBarGiveItsPercentage)
{
    Fixture f;
    const QString step = f.Texts().CompactCABStr;
    const QString hint = QStringLiteral("  ") + f.Texts().StopKeyStr.arg(QStringLiteral("Esc"));
    QStringList shown;
    QList<int> bar;
    f.dialogs.onProcessEvents = [&] {
        if (!shown.isEmpty() || !f.form->Label11->text().startsWith(step + QLatin1Char(' ')))
            return;
        shown.append(f.form->Label11->text());
        bar.append(f.form->ProgressBar1->value());
        for (double fraction : {0.5, 1.0}) {
            f.form->Driver().CabWriter1Progress(fraction);
            shown.append(f.form->Label11->text());
            bar.append(f.form->ProgressBar1->value());
        }
    };
    f.Build(f.dir.path("Demo.cab"));
    EXPECT_EQ(shown, (QStringList{step + QStringLiteral(" 0%") + hint, step + QStringLiteral(" 50%") + hint,
                                  step + QStringLiteral(" 99%") + hint}));
    EXPECT_EQ(bar, (QList<int>{0, 50, 99}));
    EXPECT_EQ(f.form->Label11->text(), f.Texts().FileMadeStr.arg(f.dir.path("Demo.cab")));
}

TEST(WindowMessages, TheSaveDialogOffersTheFolderNameBesideTheProgramThenWhereTheLastOutputWent)
{
    Fixture f;
    f.dir.mkdir("out");
    f.Build(f.dir.path("out/First.cab"));
    f.Build(f.dir.path("out/Second.cab"));
    ASSERT_EQ(f.dialogs.saveSuggestions.size(), 2);
    EXPECT_EQ(f.dialogs.saveSuggestions[0].folder, f.dir.path());
    EXPECT_EQ(f.dialogs.saveSuggestions[0].baseName, QStringLiteral("program"));
    EXPECT_EQ(f.dialogs.saveSuggestions[1].folder, f.dir.path("out"));
}

TEST(WindowPoll, ChangesTickThePollAtOnceWithoutTheTimer)
{
    Fixture f;
    f.form->Timer1->start(3600 * 1000);  // running, but never the one that ticks here
    f.form->Compact->setChecked(true);
    f.form->Programa->setCurrentIndex(-1);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !f.form->Cria->isEnabled(); }));

    f.form->Compact->setChecked(false);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !f.form->Tabs->isTabVisible(1); }));
    f.Pick(f.form->Programa, QStringLiteral("setup.exe"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return f.form->Cria->isEnabled(); }));

    // A change in the program folder, told by the system.
    QFile::remove(f.program + QStringLiteral("/setup.exe"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return !f.form->Cria->isEnabled(); }));
    EXPECT_EQ(f.form->Label11->text(), f.Texts().StartFileMissingStr.arg("setup.exe", f.program));
    f.dir.write("program/setup.exe", "MZ");
    EXPECT_TRUE(ProcessEventsUntil([&] { return f.form->Cria->isEnabled(); }));
}

// A message longer than the status line wraps to a second line and keeps every word; the description and
// the language name have the group's whole width.
TEST(WindowMessages, ALongStatusWrapsToTwoLinesWithEveryWordAndLongFieldsShowTheirValues)
{
    Fixture f;
    f.form->show();
    const QString message = f.Texts().StartFileMissingStr.arg(QStringLiteral("setup.exe"),
                                                              QStringLiteral("/home/someone/Downloads/Programs/Demo"));
    f.form->Label11->setText(message);
    const QStringList lines = f.form->Label11->ShownLines();
    ASSERT_EQ(lines.size(), 2) << lines.join('|').toStdString();
    EXPECT_EQ(lines.join(QString()).remove(' '), QString(message).remove(' '));
    EXPECT_GE(f.form->Label11->height(), 2 * f.form->Label11->fontMetrics().lineSpacing());

    // Too long for both lines: only the middle of the path goes.
    const QString huge = f.Texts().StartFileMissingStr.arg(QStringLiteral("setup.exe"), QString(400, QLatin1Char('x')));
    f.form->Label11->setText(huge);
    const QStringList cut = f.form->Label11->ShownLines();
    ASSERT_EQ(cut.size(), 2);
    EXPECT_TRUE(cut.front().startsWith(huge.left(20))) << cut.front().toStdString();
    EXPECT_TRUE(cut.join(QString()).contains(QChar(0x2026)));

    const QString language = QStringLiteral("Chinese (Traditional, Hong Kong SAR China)");
    f.form->Language->setText(language);
    f.form->Language->setCursorPosition(0);
    EXPECT_GE(f.form->Language->width(), f.form->Language->fontMetrics().horizontalAdvance(language));
    EXPECT_GE(f.form->Description->width(), f.form->Language->width());
}
