// Ways into the window besides typing: a folder or an installer dropped on it, tooltips on the controls
// whose caption does not say enough, and the main actions on the keyboard, in both shipped languages.
#include "gui/TMainForm.h"

#include "gui/FolderEdit.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TSilForm.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <QSet>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>

#include <gtest/gtest.h>

using namespace pw;

namespace {

struct Fixture : pwtest::WindowFixture {
    // Drags `paths` over `on` (the window itself by default) and, when it takes them, drops them. Whether
    // it took them.
    bool Drop(const QStringList& paths, QWidget* on = nullptr)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        data.setText(urls.value(0).toString());  // as file managers offer it beside the address list
        return DropData(data, on ? on : form.get());
    }
    static bool DropData(const QMimeData& data, QWidget* on)
    {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(on, &drop);
        return drop.isAccepted();
    }
    void ChooseShippedLanguage(const QString& name)
    {
        QFile::copy(QStringLiteral(PW_LANGUAGES_DIR "/") + name + QStringLiteral(".qmr"),
                    dir.path(QStringLiteral("app/languages/") + name + QStringLiteral(".qmr")));
        form->LangBox->clear();
        form->LangBox->addItem(name);
        form->LangBox->setCurrentIndex(0);
        form->LangBoxChange();
    }
};

}  // namespace

TEST(DroppedOnTheWindow, AFolderIsScannedAndAnInstallerIsChosenInItsFolder)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.dir.write("program/install.bat");
    f.dir.write("program/readme.txt");
    ASSERT_TRUE(f.Drop({f.program}));
    EXPECT_EQ(f.form->Model.SourceDir, f.program);
    EXPECT_EQ(f.form->Pasta->text(), f.program);
    EXPECT_EQ(f.form->Programa->count(), 2);
    EXPECT_EQ(f.form->Programa->currentIndex(), -1);

    f.dir.write("other/setup.msi");
    f.dir.write("other/Install.BAT");
    ASSERT_TRUE(f.Drop({f.dir.path("other/Install.BAT")}));
    EXPECT_EQ(f.form->Model.SourceDir, f.dir.path("other"));
    EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("Install.BAT"));

    // A file that is not a start file opens its folder with the choice left open.
    ASSERT_TRUE(f.Drop({f.program + QStringLiteral("/readme.txt")}));
    EXPECT_EQ(f.form->Model.SourceDir, f.program);
    EXPECT_EQ(f.form->Programa->currentIndex(), -1);
}

// A text field holds its text: the file dropped on it is the window's drop, and only plain text is its own.
TEST(DroppedOnTheWindow, AFileDroppedOnATextFieldIsTheWindowsDrop)
{
    Fixture f;
    f.dir.write("program/setup.exe");
    f.form->Site->setText(QStringLiteral("example.org"));
    for (QWidget* field : {static_cast<QWidget*>(f.form->Pasta->lineEdit()), static_cast<QWidget*>(f.form->Site),
                           f.form->EntriesStr->viewport()}) {
        SCOPED_TRACE(field->objectName().toStdString());
        f.form->Model.SourceDir.clear();
        ASSERT_TRUE(f.Drop({f.program + QStringLiteral("/setup.exe")}, field));
        EXPECT_EQ(f.form->Model.SourceDir, f.program);
        EXPECT_EQ(f.form->Pasta->text(), f.program);
        EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("setup.exe"));
        EXPECT_EQ(f.form->Site->text(), QStringLiteral("example.org"));
        EXPECT_FALSE(f.form->EntriesStr->toPlainText().contains(QStringLiteral("file:")));
        EXPECT_FALSE(f.Drop({f.program, f.dir.path("nowhere")}, field)) << "several items are refused, not typed";
    }
    QMimeData text;
    text.setText(QStringLiteral("/app"));
    EXPECT_TRUE(f.DropData(text, f.form->Site));
    EXPECT_EQ(f.form->Site->text().size(), QStringLiteral("example.org/app").size()) << "plain text goes in";
}

TEST(DroppedOnTheWindow, SeveralItemsOrOnesThatAreNotLocalFilesAreRefused)
{
    Fixture f;
    f.dir.write("program/install.bat");
    f.dir.write("other/setup.exe");
    EXPECT_FALSE(f.Drop({f.program, f.dir.path("other")}));
    EXPECT_FALSE(f.Drop({f.dir.path("nowhere")}));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/setup.exe"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(f.form->Model.SourceDir.isEmpty());
}

// The inputs of a running build are locked, and a drop changes none of them.
TEST(DroppedOnTheWindow, NothingIsTakenWhileABuildRuns)
{
    Fixture f;
    f.dir.write("program/install.bat");
    f.dir.write("other/setup.exe");
    f.Scan(f.program);
    f.Choose(QStringLiteral("install.bat"));
    bool tried = false;
    bool taken = true;
    f.dialogs.onProcessEvents = [&] {
        if (!std::exchange(tried, true)) {
            taken = f.Drop({f.dir.path("other/setup.exe")});
            f.form->DropPath(f.dir.path("other"));
        }
    };
    f.dialogs.saveAnswers.push_back(SaveChoice{f.dir.path("out.7z"), OutputKind::PlainArchive});
    f.form->CriaClick();
    ASSERT_TRUE(tried);
    EXPECT_FALSE(taken);
    EXPECT_EQ(f.form->Model.SourceDir, f.program);
    EXPECT_EQ(f.form->Pasta->text(), f.program);
    EXPECT_EQ(f.form->Programa->currentText(), QStringLiteral("install.bat"));
    EXPECT_TRUE(pwtest::Exists(f.dir.path("out.7z")));
}

// Each tooltip says something, and something else in the other language.
TEST(Tooltips, TheControlsWhoseCaptionSaysTooLittleExplainThemselvesInBothLanguages)
{
    Fixture f;
    const auto tips = [&f] {
        QComboBox* baseFolder = f.form->AddAtalhoForm->findChild<QComboBox*>(QStringLiteral("ComboBox2"));
        return QStringList{f.form->SilStr->toolTip(),   f.form->Compact->toolTip(),    f.form->ComprLev->toolTip(),
                           f.form->OverCb->toolTip(),   f.form->EntriesStr->toolTip(), baseFolder->toolTip()};
    };
    const QStringList before = tips();
    f.ChooseShippedLanguage(QStringLiteral("Português (Brasil)"));
    const QStringList portuguese = tips();
    f.ChooseShippedLanguage(QStringLiteral("English"));
    const QStringList english = tips();
    EXPECT_EQ(before, portuguese) << "the window is made with the Portuguese tips";
    for (int i = 0; i < english.size(); ++i) {
        EXPECT_FALSE(portuguese[i].isEmpty()) << i;
        EXPECT_FALSE(english[i].isEmpty()) << i;
        EXPECT_NE(portuguese[i], english[i]) << i;
    }
    EXPECT_TRUE(english[0].contains(QStringLiteral("Windows setup")));

    // Shown, each wraps within the window it explains, in the language with the longer words.
    f.ChooseShippedLanguage(QStringLiteral("Português (Brasil)"));
    f.form->show();
    for (const QString& tip : tips()) {
        QToolTip::showText(f.form->mapToGlobal(QPoint(10, 10)), tip, f.form.get());
        const QWidgetList shown = QApplication::topLevelWidgets();
        const auto label = std::find_if(shown.begin(), shown.end(), [](QWidget* w) { return w->inherits("QTipLabel"); });
        ASSERT_NE(label, shown.end());
        EXPECT_LE((*label)->sizeHint().width(), f.form->width()) << tip.toStdString();
        QToolTip::hideText();
    }
}

// Alt and a letter press each main action; on one page no two actions share a letter, or the key would
// only move between them.
TEST(Keyboard, TheMainActionsHaveMnemonicsOfTheirOwnInBothLanguages)
{
    Fixture f;
    const TSilForm& editor = *f.form->SilForm;
    const auto button = [](const QWidget& window, const char* name) {
        return window.findChild<QPushButton*>(QLatin1String(name));
    };
    const QList<QList<QPushButton*>> pages{
        {f.form->Cria, f.form->Testa, f.form->Edita},
        {f.form->Button1, f.form->Button2, f.form->Button3},
        {button(editor, "Button1"), button(editor, "Button3"), button(editor, "Button4")},
    };
    for (const QString& language : {QStringLiteral("Português (Brasil)"), QStringLiteral("English")}) {
        f.ChooseShippedLanguage(language);
        for (const QList<QPushButton*>& page : pages) {
            QSet<QKeySequence> keys;
            for (const QPushButton* action : page) {
                const QKeySequence key = action->shortcut();
                EXPECT_EQ(key, QKeySequence::mnemonic(action->text())) << action->objectName().toStdString();
                EXPECT_FALSE(key.isEmpty()) << language.toStdString() << ' ' << action->objectName().toStdString();
                keys.insert(key);
            }
            EXPECT_EQ(keys.size(), page.size()) << language.toStdString();
        }
    }
}
