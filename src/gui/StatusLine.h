#pragma once
// The status line: one line of text that never widens the window. A text longer than the line (a long
// path) is shown with its middle left out, and whole in its tooltip.
#include <QLabel>

namespace pw {

class StatusLine : public QLabel {
    Q_OBJECT
public:
    StatusLine(const QString& text, QWidget* parent);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString ShownText() const;
};

}  // namespace pw
