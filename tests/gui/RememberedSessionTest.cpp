// The window starts where the last session left it, after its own start-up steps, and an older settings
// file (the language alone) starts it as before.
#include "gui/TMainForm.h"

#include "gui/FolderEdit.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pw;

namespace {

// A window over the same folders as `earlier`, started as the next session would start it.
struct NextSession {
    pwtest::WindowFixture& earlier;
    std::unique_ptr<TMainForm> form;

    explicit NextSession(pwtest::WindowFixture& f, const QStringList& arguments = {}) : earlier(f)
    {
        form = std::make_unique<TMainForm>(f.dialogs, arguments);
        form->Timer1->stop();
        form->Model.AppDir = f.form->Model.AppDir;
        form->Model.DataDir = f.form->Model.DataDir;
        form->FormShow();
    }
};

// Two start files in the program folder, the second one chosen, the level and overwrite mode picked as the
// user picks them, and one build (a plain archive, which needs none of the fixed files) into a folder of
// its own.
struct ChosenSession : pwtest::WindowFixture {
    QString outFolder;

    ChosenSession()
    {
        dir.write("program/install.bat", "@echo off\r\n");
        dir.write("program/other.bat", "@echo off\r\n");
        outFolder = dir.mkdir("addons").chopped(1);
        form->FormShow();
        Scan(program);
        Choose(QStringLiteral("other.bat"));
        Pick(form->ComprLev, QStringLiteral("Máxima"));
        emit form->ComprLev->activated(3);
        form->OverCb->setCurrentIndex(2);
        emit form->OverCb->activated(2);
        dialogs.saveAnswers.push_back(SaveChoice{outFolder + QStringLiteral("/other.7z"), OutputKind::PlainArchive});
        form->CriaClick();
    }
};

}  // namespace

TEST(RememberedSession, TheNextStartScansTheFolderAndChoosesTheStartFileLevelModeAndOutputFolder)
{
    ChosenSession f;
    ASSERT_TRUE(pwtest::Exists(f.outFolder + QStringLiteral("/other.7z"))) << f.dialogs.messages.join('\n').toStdString();

    NextSession next(f);
    EXPECT_EQ(next.form->Model.SourceDir, f.program);
    EXPECT_EQ(next.form->Pasta->text(), f.program);
    EXPECT_EQ(next.form->Programa->count(), 2);
    EXPECT_EQ(next.form->Programa->currentText(), QStringLiteral("other.bat"));
    EXPECT_EQ(next.form->ComprLev->currentIndex(), 3);
    EXPECT_EQ(next.form->OverCb->currentIndex(), 2);
    next.form->CriaClick();  // the save dialog, cancelled
    ASSERT_FALSE(f.dialogs.saveSuggestions.isEmpty());
    EXPECT_EQ(f.dialogs.saveSuggestions.back().folder, f.outFolder);
}

TEST(RememberedSession, AStartFileThatWentLeavesTheChoiceOpenAndAFolderThatWentIsNotOpened)
{
    ChosenSession f;
    QFile::remove(f.program + QStringLiteral("/other.bat"));
    NextSession withoutFile(f);
    EXPECT_EQ(withoutFile.form->Model.SourceDir, f.program);
    EXPECT_EQ(withoutFile.form->Programa->currentIndex(), -1);
    EXPECT_EQ(withoutFile.form->ComprLev->currentIndex(), 3) << "the other remembered values still apply";

    f.dialogs.messages.clear();
    QDir(f.program).removeRecursively();
    NextSession withoutFolder(f);
    EXPECT_TRUE(withoutFolder.form->Model.SourceDir.isEmpty());
    EXPECT_TRUE(withoutFolder.form->Pasta->text().isEmpty());
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(RememberedSession, AFolderOnTheCommandLineWinsForThisStartOnly)
{
    ChosenSession f;
    f.dir.write("given/setup.msi", "x");
    NextSession given(f, {QStringLiteral("/SHL"), f.dir.path("given")});
    EXPECT_EQ(given.form->Model.SourceDir, f.dir.path("given"));
    EXPECT_EQ(given.form->Programa->currentIndex(), -1);
    EXPECT_EQ(given.form->ComprLev->currentIndex(), 3);

    NextSession plain(f);
    EXPECT_EQ(plain.form->Model.SourceDir, f.program);
}

// The start-up writes the language as it always did and nothing more: the session is stored once the
// user chooses something it covers.
TEST(RememberedSession, AnOlderSettingsFileStartsTheWindowAsBeforeAndGainsTheSessionAtTheFirstChoice)
{
    pwtest::WindowFixture f;
    f.dir.write("data/config.qmr", "[Main]\r\nLanguage=Klingon\r\n");
    f.form->FormShow();
    EXPECT_EQ(pwtest::ReadAll(f.dir.path("data/config.qmr")), QByteArray("[Main]\r\nLanguage=\r\n"));
    EXPECT_EQ(f.form->ComprLev->currentIndex(), 0);
    EXPECT_EQ(f.form->OverCb->currentIndex(), 0);
    EXPECT_TRUE(f.form->Model.SourceDir.isEmpty());

    f.dir.write("program/install.bat");
    f.Scan(f.program);
    const QByteArray stored = pwtest::ReadAll(f.dir.path("data/config.qmr"));
    EXPECT_TRUE(stored.startsWith("[Main]\r\nLanguage=\r\n"));
    EXPECT_TRUE(stored.contains(QByteArray("LastProgramFolder=") + f.program.toLocal8Bit())) << stored.toStdString();
}
