#include "gui/StatusLine.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>

namespace pw {

StatusLine::StatusLine(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize StatusLine::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    return {0, fontMetrics().lineSpacing() * kLines + margins.top() + margins.bottom()};
}

QSize StatusLine::sizeHint() const
{
    return {QLabel::sizeHint().width(), minimumSizeHint().height()};
}

QStringList StatusLine::Wrapped(const QString& text) const
{
    QTextLayout layout(text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(1, contentsRect().width()));
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

QStringList StatusLine::ShownLines() const
{
    QStringList lines = Wrapped(text());
    // Too long for both lines: the middle goes, a little more each time, until the rest fits.
    const int step = qMax(1, fontMetrics().averageCharWidth() * 2);
    for (int budget = contentsRect().width() * kLines; lines.size() > kLines && budget > 0; budget -= step)
        lines = Wrapped(fontMetrics().elidedText(text(), Qt::ElideMiddle, budget));
    return lines.mid(0, kLines);
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect line = contentsRect();
    line.setHeight(fontMetrics().lineSpacing());
    for (const QString& text : ShownLines()) {
        style()->drawItemText(&painter, line, int(alignment() & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter,
                              palette(), isEnabled(), text, foregroundRole());
        line.translate(0, line.height());
    }
}

bool StatusLine::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && ShownLines().join(QString()).remove(QLatin1Char(' ')) !=
                                                 QString(text()).remove(QLatin1Char(' '))) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

}  // namespace pw
