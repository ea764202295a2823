#include "gui/TSilForm.h"

#include "catalogue/Silence.h"
#include "gui/TMainForm.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace pw;

namespace {

// The main window over scratch folders, started with a catalogue, and its editor. Opening the editor
// runs `whileOpen` in place of the modal loop.
struct Fixture : pwtest::WindowFixture {
    TSilForm* editor = nullptr;
    QString catalogue;

    // `language`, when given, is the content of the language file the window starts with.
    explicit Fixture(const QByteArray& content, const QByteArray& language = {})
    {
        catalogue = dir.write("data/Silence.qmr", content);
        if (!language.isEmpty()) {
            dir.write("app/languages/Test.qmr", language);
            dir.write("data/config.qmr", "[Main]\r\nLanguage=Test\r\n");
        }
        form->FormShow();
        editor = form->SilForm;
    }

    void Open(const std::function<void()>& whileOpen)
    {
        form->ShowModal = [&](QDialog& dialog) {
            EXPECT_EQ(&dialog, editor);
            whileOpen();
            return int(QDialog::Rejected);
        };
        form->EditaClick();
    }

    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < editor->Lista->count(); ++i)
            rows.append(editor->Lista->item(i)->text());
        return rows;
    }
    QStringList MainRows() const
    {
        QStringList rows;
        for (int i = 0; i < form->SilComm->count(); ++i)
            rows.append(form->SilComm->itemText(i));
        return rows;
    }
    QByteArray File() const { return pwtest::ReadAll(catalogue); }
    void Type(const QString& name, const QString& command)
    {
        editor->Nome->setText(name);
        editor->Comando->setText(command);
    }
};

}  // namespace

TEST(CatalogueEditor, OpensOnTheMainRowsWithNothingSelectedAndKeepsItsFields)
{
    Fixture f("Inno, /VERYSILENT\r\nNSIS, /S\r\n");
    f.editor->Nome->setText(QStringLiteral("left over"));
    f.Open([&] {
        EXPECT_EQ(f.Rows(), (QStringList{"Inno", "NSIS"}));
        EXPECT_TRUE(f.editor->Lista->selectedItems().isEmpty());
        EXPECT_EQ(f.editor->Nome->text(), QStringLiteral("left over"));
        f.editor->Lista->setCurrentRow(1);
        EXPECT_EQ(f.editor->Nome->text(), QStringLiteral("NSIS"));
        EXPECT_EQ(f.editor->Comando->text(), QStringLiteral("/S"));
    });
    EXPECT_EQ(f.editor->parentWidget(), f.form.get());
    f.Open([&] {
        EXPECT_TRUE(f.editor->Lista->selectedItems().isEmpty());
        EXPECT_EQ(f.editor->Nome->text(), QStringLiteral("NSIS"));
        EXPECT_EQ(f.editor->Comando->text(), QStringLiteral("/S"));
    });
}

TEST(CatalogueEditor, EveryChangeReachesTheFileAndTheListsAgreeAfterClosing)
{
    Fixture f("Inno, /VERYSILENT\r\nNSIS, /S\r\nMSI, /qn\r\n");
    f.Open([&] {
        f.editor->Lista->setCurrentRow(1);
        f.Type(QStringLiteral("Nullsoft v3"), QStringLiteral("/S /D"));
        f.editor->Button1->click();
        EXPECT_EQ(f.File(), "Inno, /VERYSILENT\r\nNullsoft v3, /S /D\r\nMSI, /qn\r\n");
        EXPECT_EQ(f.Rows(), (QStringList{"Inno", "Nullsoft v3", "MSI"}));
        EXPECT_EQ(f.editor->Lista->currentRow(), 1);

        f.Type(QString(), QStringLiteral("/quiet"));
        f.editor->Button3->click();
        EXPECT_EQ(f.File(), "Inno, /VERYSILENT\r\nNullsoft v3, /S /D\r\nMSI, /qn\r\n, /quiet\r\n");
        EXPECT_EQ(f.Rows(), (QStringList{"Inno", "Nullsoft v3", "MSI", ""}));
        EXPECT_EQ(f.editor->Lista->currentRow(), 1);

        f.Type(QStringLiteral("kept"), QStringLiteral("also kept"));
        f.editor->Button4->click();
        EXPECT_EQ(f.File(), "Inno, /VERYSILENT\r\nMSI, /qn\r\n, /quiet\r\n");
        EXPECT_EQ(f.Rows(), (QStringList{"Inno", "MSI", ""}));
        EXPECT_TRUE(f.editor->Lista->selectedItems().isEmpty());
        EXPECT_EQ(f.editor->Nome->text(), QStringLiteral("kept"));
        EXPECT_EQ(f.editor->Comando->text(), QStringLiteral("also kept"));
    });
    EXPECT_EQ(f.MainRows(), SilenceNames(f.catalogue));
    EXPECT_EQ(f.MainRows(), (QStringList{"Inno", "MSI", ""}));
    f.Open([&] { EXPECT_EQ(f.Rows(), f.MainRows()); });
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(CatalogueEditor, ACommaInTheNameOrAnEmptyEntryIsRefusedWithAWarningInTheChosenLanguage)
{
    const QByteArray before = "Inno, /VERYSILENT\r\nNSIS, /S\r\n";
    Fixture f(before, "[Strings]\r\niNameComma=Comma in %1!\r\niEmptyEntry=Nothing to add.\r\n");
    f.Open([&] {
        f.editor->Lista->setCurrentRow(1);
        f.Type(QStringLiteral("Foo, Bar"), QStringLiteral("/x"));
        f.editor->Button1->click();
        f.editor->Button3->click();
        f.Type(QString(), QString());
        f.editor->Button3->click();
        EXPECT_EQ(f.Rows(), (QStringList{"Inno", "NSIS"}));
    });
    EXPECT_EQ(f.dialogs.messages, (QStringList{"Comma in Foo, Bar!", "Comma in Foo, Bar!", "Nothing to add."}));
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>(3, MessageKind::Warning));
    EXPECT_EQ(f.File(), before);
    EXPECT_EQ(f.MainRows(), (QStringList{"Inno", "NSIS"}));
}

TEST(CatalogueEditor, RemovingTheLastEntryEmptiesFileAndLists)
{
    Fixture f("Only, /S\r\n");
    f.Open([&] {
        f.editor->Lista->setCurrentRow(0);
        f.editor->Button4->click();
        EXPECT_EQ(f.editor->Lista->count(), 0);
    });
    EXPECT_TRUE(pwtest::Exists(f.catalogue));
    EXPECT_EQ(f.File(), QByteArray());
    EXPECT_EQ(f.form->SilComm->count(), 0);
    EXPECT_EQ(f.form->SilComm->currentIndex(), -1);
}

TEST(CatalogueEditor, ChangeAndRemoveNeedASelectedRow)
{
    Fixture f("A, /a\nB, /b\n");
    f.Open([&] {
        f.Type(QStringLiteral("C"), QStringLiteral("/c"));
        f.editor->Button1->click();
        f.editor->Button4->click();
    });
    EXPECT_EQ(f.File(), "A, /a\nB, /b\n");
    EXPECT_EQ(f.MainRows(), (QStringList{"A", "B"}));
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
}

TEST(CatalogueEditor, FailuresAreShownAndLeaveFileAndListAlone)
{
    Fixture f("A, /a\r\nB, /b\r\n");
    f.Open([&] {
        // The file lost a line behind the editor's back: the last row points past its end.
        QFile::resize(f.catalogue, 7);
        f.editor->Lista->setCurrentRow(1);
        EXPECT_EQ(f.editor->Comando->text(), QString());
        f.editor->Button1->click();
        f.editor->Button4->click();
        EXPECT_EQ(f.dialogs.messages, QStringList(2, QStringLiteral("List index out of bounds (1)")));

        QFile::setPermissions(f.catalogue, QFile::ReadOwner);
        f.editor->Button3->click();
        EXPECT_EQ(f.dialogs.messages.last(),
                  QStringLiteral("Cannot create file \"%1\". Permission denied").arg(f.catalogue));

        QFile::remove(f.catalogue);
        f.editor->Button3->click();
        EXPECT_EQ(f.dialogs.messages.last(),
                  QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(f.catalogue));
        EXPECT_FALSE(pwtest::Exists(f.catalogue));
        EXPECT_EQ(f.Rows(), (QStringList{"A", "B"}));
        EXPECT_EQ(f.editor->Lista->currentRow(), 1);
    });
    EXPECT_EQ(f.dialogs.messageKinds, QList<MessageKind>(4, MessageKind::Error));
    EXPECT_EQ(f.form->SilComm->count(), 0);
}

TEST(CatalogueEditor, SearchOpensTheAddressWithTheNameAsOneTerm)
{
    Fixture f("");
    f.Open([&] {
        f.editor->Nome->setText(QStringLiteral("AT&T Setup #2+ é"));
        f.editor->Button5->click();
    });
    ASSERT_EQ(f.dialogs.openedUrls.size(), 1);
    const QUrl url = f.dialogs.openedUrls.front();
    EXPECT_EQ(url.host(), QStringLiteral("www.google.com"));
    EXPECT_EQ(url.path(), QStringLiteral("/search"));
    EXPECT_EQ(url.query(QUrl::FullyEncoded),
              QStringLiteral("hl=en&lr=&q=%22silent+install%22+AT%26T+Setup+%232%2B+%C3%A9"));
    EXPECT_EQ(f.File(), QByteArray());
}
