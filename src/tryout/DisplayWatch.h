#pragma once
// What the try sees of its private display: the top-level windows on it, with their titles, and the
// picture of the whole screen. Wine gives every visible top-level window of a Windows program an X window
// of its own directly below the root (there is no window manager to frame it).
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

namespace pw {

struct VisibleWindow {
    quint32 id = 0;
    QString title;
    QRect geometry;  // on the screen
};

class DisplayWatch {
public:
    DisplayWatch();
    ~DisplayWatch();
    DisplayWatch(const DisplayWatch&) = delete;
    DisplayWatch& operator=(const DisplayWatch&) = delete;

    // Connects to `display` with the MIT cookie `cookie`. False when that fails.
    bool Connect(const QString& display, const QByteArray& cookie);

    // The windows shown now: mapped, drawable and larger than the 1x1 helper windows Wine keeps.
    QList<VisibleWindow> Windows();
    // The screen as it is now; a null image when it cannot be read.
    QImage Screenshot();

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

}  // namespace pw
