// The caption table of each window against the window made from it: every row must reach a control of
// its own window, or its caption would be lost without a word, and no control may take two captions.
#include "gui/FormCaptions.h"
#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "gui/TSilForm.h"
#include "support/TestApplication.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSet>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace pw;

namespace {

// Why a row reaches no caption of `form`; empty when it does.
QString Unreached(QWidget& form, const Caption& caption)
{
    const QString name = caption.control ? QString::fromUtf8(caption.control) : QStringLiteral("(caption)");
    QWidget* control = CaptionedControl(form, caption);
    if (!control)
        return name + QStringLiteral(": no such control");
    if (caption.toolTip)
        return {};  // any control, a list's included, takes a tooltip of its own
    int items = -1;
    if (const auto* list = qobject_cast<QComboBox*>(control))
        items = list->count();
    else if (const auto* tree = qobject_cast<QTreeWidget*>(control))
        items = tree->columnCount();
    const bool itemized = items >= 0;  // a list's rows, a header's columns
    if (itemized != (caption.item >= 0) || (itemized && caption.item >= items))
        return name + QStringLiteral(": no item %1").arg(caption.item);
    return {};
}

void ExpectEveryRowReachesOneCaption(QWidget& form, CaptionTable table)
{
    QSet<std::pair<QString, int>> seen;
    for (const Caption& caption : table) {
        const QString problem = Unreached(form, caption);
        EXPECT_TRUE(problem.isEmpty()) << form.objectName().toStdString() << ": " << problem.toStdString();
        // A control's tooltip is a text of its own beside its caption.
        const QString control = QString::fromUtf8(caption.control) + (caption.toolTip ? QStringLiteral(" tooltip") : QString());
        const std::pair<QString, int> where{control, caption.item};
        EXPECT_FALSE(seen.contains(where)) << caption.control << " #" << caption.item << " has two rows";
        seen.insert(where);
    }
}

}  // namespace

TEST(CaptionTable, EveryRowReachesOneCaptionOfItsOwnWindow)
{
    pwtest::WindowFixture f;
    ExpectEveryRowReachesOneCaption(*f.form, MainFormCaptions());
    ExpectEveryRowReachesOneCaption(*f.form->SilForm, SilFormCaptions());
    ExpectEveryRowReachesOneCaption(*f.form->AddAtalhoForm, AddAtalhoFormCaptions());
}

// A dialog the form owns may bear its controls' names ("Label4", "Button2" of the main window and the
// shortcut dialog): a row reaches the form's own control, whichever of the two was made first.
TEST(CaptionTable, ARowReachesItsOwnWindowsControlWhicheverWasMadeFirst)
{
    pwtest::TestApplication();
    QWidget form;
    auto* dialog = new QDialog(&form);
    auto* dialogLabel = new QLabel(dialog);
    dialogLabel->setObjectName(QStringLiteral("Label1"));
    auto* formLabel = new QLabel(&form);
    formLabel->setObjectName(QStringLiteral("Label1"));
    const Caption caption{.control = "Label1", .builtIn = "Local"};
    EXPECT_EQ(CaptionedControl(form, caption), formLabel);
    EXPECT_EQ(CaptionedControl(*dialog, caption), dialogLabel);
    ShowCaptionsBeforeLanguage(form, std::span(&caption, 1));
    EXPECT_EQ(formLabel->text(), QStringLiteral("Local"));
    EXPECT_EQ(dialogLabel->text(), QString());
}
