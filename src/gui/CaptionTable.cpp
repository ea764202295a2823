#include "gui/CaptionTable.h"

#include "gui/ToolTip.h"
#include "language/LanguageFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>

namespace pw {
namespace {

// A page's caption is its tab's text, in the tab widget that holds it.
QTabWidget* TabsHolding(QWidget* page)
{
    QWidget* stack = page->parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void SetCaption(QWidget& form, const Caption& caption, const QString& text)
{
    QWidget* control = CaptionedControl(form, caption);
    if (!control)
        return;
    if (caption.toolTip) {
        control->setToolTip(WrappedToolTip(text));
    } else if (control == &form) {
        form.setWindowTitle(text);
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (caption.item < list->count())
            list->setItemText(caption.item, text);
        else
            list->addItem(text);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        tree->headerItem()->setText(caption.item, text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (QTabWidget* tabs = TabsHolding(control)) {
        tabs->setTabText(tabs->indexOf(control), text);
    }
}

}  // namespace

QWidget* CaptionedControl(QWidget& form, const Caption& caption)
{
    if (!caption.control)
        return &form;
    for (QWidget* control : form.findChildren<QWidget*>(QLatin1String(caption.control))) {
        if (control->window() == &form)
            return control;
    }
    return nullptr;
}

void ShowCaptionsBeforeLanguage(QWidget& form, CaptionTable table)
{
    for (const Caption& caption : table) {
        const QString text = caption.beforeLanguage
                                 ? QString::fromUtf8(caption.beforeLanguage)
                                 : QString::fromUtf8(caption.builtIn) + QString::fromUtf8(caption.suffix);
        SetCaption(form, caption, text);
    }
}

void ApplyCaptions(QWidget& form, CaptionTable table, const LanguageFile& file)
{
    for (const Caption& caption : table) {
        if (!caption.key)
            continue;
        const QString builtIn = QString::fromUtf8(caption.builtIn);
        const QString text = caption.section == Caption::Info ? file.Info(caption.key, builtIn)
                                                              : file.String(caption.key, builtIn);
        SetCaption(form, caption, text + QString::fromUtf8(caption.suffix));
    }
}

}  // namespace pw
