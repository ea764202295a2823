#include "gui/TAddAtalhoForm.h"

#include "gui/TMainForm.h"
#include "project/ShortcutEntry.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace pw;

namespace {

struct Fixture : pwtest::WindowFixture {
    TAddAtalhoForm* dialog = form->AddAtalhoForm;


    // "Adicionar" with `fill` run in place of the user, who then clicks OK or "Cancelar".
    void Add(const std::function<void()>& fill, bool confirm = true)
    {
        form->ShowModal = [&](QDialog& shown) {
            EXPECT_EQ(&shown, dialog);
            fill();
            (confirm ? dialog->Button1 : dialog->Button2)->click();
            return shown.result();
        };
        form->Button1Click();
    }
    void Type(int location, int folder, const QStringList& texts)
    {
        dialog->ComboBox1->setCurrentIndex(location);
        dialog->ComboBox2->setCurrentIndex(folder);
        QLineEdit* edits[] = {dialog->Edit1, dialog->Edit2, dialog->Edit3, dialog->Edit4, dialog->Edit5};
        for (int i = 0; i < 5; ++i)
            edits[i]->setText(texts.value(i));
    }
    QStringList Row(int index) const
    {
        const QTreeWidgetItem* item = form->Atalhos->topLevelItem(index);
        QStringList columns;
        for (int c = 0; c < form->Atalhos->columnCount(); ++c)
            columns.append(item->text(c));
        return columns;
    }
};

}  // namespace

TEST(ShortcutDialog, FixedListsInTheirOrder)
{
    Fixture f;
    auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    };
    EXPECT_EQ(items(f.dialog->ComboBox1), (QStringList{"Área de trabalho", "Menu Iniciar", "Programas no Menu Iniciar",
                                                       "Inicialização"}));
    EXPECT_EQ(items(f.dialog->ComboBox2),
              (QStringList{"", "Arquivos de programas", "Documentos comuns", "Meus documentos",
                           "Área de trabalho do usuário", "Diretório do SFX", "Diretório da extração"}));
    EXPECT_EQ(f.dialog->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(f.dialog->ComboBox2->currentIndex(), 0);
    EXPECT_FALSE(f.dialog->ComboBox1->isEditable());
    EXPECT_EQ(f.dialog->parentWidget(), f.form.get());
}

// The self-extractor makes no shortcut to nothing: OK takes a shortcut only with the file it opens.
TEST(ShortcutDialog, AShortcutWithoutTargetIsNotTaken)
{
    Fixture f;
    for (const QString& target : {QString(), QStringLiteral("  ")}) {
        f.Add([&] { f.Type(0, 0, {target, "", "", "", "Name"}); });
        EXPECT_FALSE(f.dialog->Button1->isEnabled());
        EXPECT_EQ(f.form->Atalhos->topLevelItemCount(), 0);
    }
    f.Add([&] { f.Type(0, 0, {"a.exe"}); });
    ASSERT_EQ(f.form->Atalhos->topLevelItemCount(), 1);
    EXPECT_EQ(f.Row(0), (QStringList{"Área de trabalho", "a.exe", "0", "0", "a.exe", "", "", "", ""}));
}

TEST(ShortcutDialog, RowHoldsCaptionAndEightSubItemsAsTyped)
{
    Fixture f;
    f.Add([&] {
        f.Type(2, 5, {" app\\run.exe ", "-q, --x", "My Folder", " A program ", "Run"});
    });
    EXPECT_EQ(f.Row(0), (QStringList{"Programas no Menu Iniciar", " app\\run.exe ", "2", "5", " app\\run.exe ", "-q, --x",
                                     "My Folder", " A program ", "Run"}));
    const ShortcutEntry entry = f.form->ShortcutRows().front();
    EXPECT_EQ(entry.subItem(ShortcutEntry::FolderCode), QStringLiteral("5"));
    EXPECT_EQ(entry.subItem(ShortcutEntry::Name), QStringLiteral("Run"));
}

TEST(ShortcutDialog, CancelAddsNothingAndTheNextUseStartsFromWhatWasTyped)
{
    Fixture f;
    f.Add([&] { f.Type(3, 1, {"a.exe", "", "", "", "A"}); }, false);
    EXPECT_EQ(f.form->Atalhos->topLevelItemCount(), 0);
    f.Add([&] {
        EXPECT_EQ(f.dialog->ComboBox1->currentIndex(), 3);
        EXPECT_EQ(f.dialog->ComboBox2->currentIndex(), 1);
        EXPECT_EQ(f.dialog->Edit1->text(), QStringLiteral("a.exe"));
        EXPECT_EQ(f.dialog->Edit5->text(), QStringLiteral("A"));
    });
    EXPECT_EQ(f.Row(0), (QStringList{"Inicialização", "a.exe", "3", "1", "a.exe", "", "", "", "A"}));
}

TEST(ShortcutDialog, RowsReachTheBuildInListOrder)
{
    Fixture f;
    f.Add([&] { f.Type(0, 0, {"first.exe"}); });
    f.Add([&] { f.Type(1, 2, {"second.exe"}); });
    const QList<ShortcutEntry> rows = f.form->CurrentBuildInputs().shortcuts;
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].subItem(ShortcutEntry::Target), QStringLiteral("first.exe"));
    EXPECT_EQ(rows[1].subItem(ShortcutEntry::Target), QStringLiteral("second.exe"));
    EXPECT_EQ(rows[1].subItem(ShortcutEntry::LocationCode), QStringLiteral("1"));
}
