#pragma once
// The status line: two lines of text that never widen the window. A text longer than one line wraps to
// the second, between words where it can and anywhere in a long path where it must, so that every word
// of a message stays readable; only a text too long for both lines loses its middle, and is shown whole
// in its tooltip.
#include <QLabel>

namespace pw {

class StatusLine : public QLabel {
    Q_OBJECT
public:
    static constexpr int kLines = 2;

    StatusLine(const QString& text, QWidget* parent);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    // The lines as they are painted, at the line's present width.
    QStringList ShownLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QStringList Wrapped(const QString& text) const;
};

}  // namespace pw
