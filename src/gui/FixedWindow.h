#pragma once
// Windows that the user cannot resize. Each keeps the size it was designed with on a 96 DPI screen,
// scaled to the screen it opens on, and grows where its layout needs more room: a language with longer
// captions, or larger text.
#include <QWidget>

namespace pw {

inline void FitFixedWindow(QWidget& window, QSize designSize)
{
    const qreal scale = window.logicalDpiX() / 96.0;
    const QSize scaled(qRound(designSize.width() * scale), qRound(designSize.height() * scale));
    window.setFixedSize(scaled.expandedTo(window.minimumSizeHint()));
}

}  // namespace pw
