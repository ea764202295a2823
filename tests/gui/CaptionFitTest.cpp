// Every caption of every window fits its control, in each shipped language. The same tests run at 96 DPI
// and at 144 DPI (ctest runs them twice, with a screen of each).
#include "gui/TAddAtalhoForm.h"
#include "gui/TMainForm.h"
#include "gui/TSilForm.h"
#include "support/TestApplication.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace pw;

namespace {

const QString kShipped = QStringLiteral(PW_LANGUAGES_DIR);

// A caption and the room its control gives it, in pixels.
struct Room {
    QString where;
    QString text;
    int needed;
    int available;
};

// The width drawn: a mnemonic's "&" underlines its letter and takes no room ("&&" draws one "&").
int Advance(const QWidget* w, const QString& text)
{
    QString drawn = text;
    drawn.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    drawn.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return w->fontMetrics().horizontalAdvance(drawn);
}

QString Where(const QWidget* w)
{
    return w->window()->objectName() + QLatin1Char('.') + w->objectName();
}

// The lists whose rows are fixed captions; the others hold file, catalogue and language names.
bool HoldsCaptions(const QComboBox* box)
{
    static const QStringList kCaptionLists = {"ComprLev", "OverCb", "ComboBox1", "ComboBox2"};
    return kCaptionLists.contains(box->objectName());
}

// The controls of `window` itself, not of the dialogs it owns.
template <typename T>
QList<T*> ControlsOf(QWidget* window)
{
    QList<T*> controls = window->findChildren<T*>();
    controls.removeIf([window](const T* w) { return w->window() != window; });
    return controls;
}

// Each caption against the part of its control where it is drawn.
QList<Room> Rooms(QWidget* window)
{
    QList<Room> rooms;
    QStyle* style = window->style();
    for (QLabel* w : ControlsOf<QLabel>(window)) {
        if (!w->text().isEmpty() && !w->wordWrap())
            rooms.append({Where(w), w->text(), w->sizeHint().width(), w->width()});
    }
    for (QPushButton* w : ControlsOf<QPushButton>(window)) {
        QStyleOptionButton option;
        option.initFrom(w);
        option.text = w->text();
        const int room = style->subElementRect(QStyle::SE_PushButtonContents, &option, w).width();
        rooms.append({Where(w), w->text(), Advance(w, w->text()), room});
    }
    for (QCheckBox* w : ControlsOf<QCheckBox>(window)) {
        QStyleOptionButton option;
        option.initFrom(w);
        option.text = w->text();
        const QRect room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
        rooms.append({Where(w), w->text(), Advance(w, w->text()), std::min(room.width(), w->width() - room.left())});
    }
    for (QToolButton* w : ControlsOf<QToolButton>(window)) {
        if (!w->text().isEmpty() && w->isVisibleTo(window))
            rooms.append({Where(w), w->text(), Advance(w, w->text()), w->width()});
    }
    for (QGroupBox* w : ControlsOf<QGroupBox>(window)) {
        QStyleOptionGroupBox option;
        option.initFrom(w);
        option.text = w->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, w);
        rooms.append({Where(w), w->title(), Advance(w, w->title()), std::min(label.width(), w->width() - label.left())});
    }
    for (QComboBox* w : ControlsOf<QComboBox>(window)) {
        if (!HoldsCaptions(w))
            continue;
        QStyleOptionComboBox option;
        option.initFrom(w);
        const int room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, w).width();
        for (int i = 0; i < w->count(); ++i)
            rooms.append({Where(w) + QLatin1Char('#') + QString::number(i), w->itemText(i), Advance(w, w->itemText(i)), room});
    }
    for (QTabWidget* w : ControlsOf<QTabWidget>(window)) {
        // The bar shrinks (and cuts) its tabs when their captions together are wider than the window.
        QStringList captions;
        for (int i = 0; i < w->count(); ++i)
            captions.append(w->tabText(i));
        rooms.append({Where(w), captions.join(QLatin1Char('|')), w->tabBar()->sizeHint().width(), w->width()});
    }
    for (QTreeWidget* w : ControlsOf<QTreeWidget>(window)) {
        const int margins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, w->header());
        for (int i = 0; i < 2; ++i) {
            const QString text = w->headerItem()->text(i);
            rooms.append({Where(w) + QLatin1Char('#') + QString::number(i), text,
                          w->header()->fontMetrics().horizontalAdvance(text) + margins, w->header()->sectionSize(i)});
        }
    }
    return rooms;
}

// Shows the window and lays out each of its tab pages, as the user sees them one after the other.
void LayOut(QWidget* window)
{
    window->show();
    QApplication::processEvents();
    for (QTabWidget* tabs : ControlsOf<QTabWidget>(window)) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
        }
        tabs->setCurrentIndex(0);
    }
}

struct Fixture : pwtest::WindowFixture {
    explicit Fixture(const QString& language)
    {
        const QString name = language + QStringLiteral(".qmr");
        QFile::copy(kShipped + QLatin1Char('/') + name, dir.path(QStringLiteral("app/languages/") + name));
        form->LangBox->addItem(language);
        form->LangBox->setCurrentIndex(0);
        form->LangBoxChange();
    }
};

void ExpectEveryCaptionFits(const QString& language)
{
    Fixture f(language);
    for (QWidget* window : {static_cast<QWidget*>(f.form.get()), static_cast<QWidget*>(f.form->SilForm),
                            static_cast<QWidget*>(f.form->AddAtalhoForm)}) {
        LayOut(window);
        for (const Room& room : Rooms(window))
            EXPECT_LE(room.needed, room.available) << room.where.toStdString() << " \"" << room.text.toStdString()
                                                   << "\" at " << window->logicalDpiX() << " DPI";
        window->hide();
    }
}

}  // namespace

TEST(CaptionFit, TheScreenIsTheOneAskedFor)
{
    pwtest::TestApplication();
    const int dpi = qEnvironmentVariableIntValue("PW_TEST_DPI");
    ASSERT_GT(dpi, 0);
    EXPECT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), dpi);
}

TEST(CaptionFit, EveryCaptionFitsInPortuguese)
{
    ExpectEveryCaptionFits(QStringLiteral("Português (Brasil)"));
}

TEST(CaptionFit, EveryCaptionFitsInEnglish)
{
    ExpectEveryCaptionFits(QStringLiteral("English"));
}
