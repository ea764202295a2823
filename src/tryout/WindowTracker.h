#pragma once
// The windows a run shows, followed over time: a window that stays on the display for the limit waits
// for someone to answer it, which during Windows setup nobody ever does.
#include "tryout/DisplayWatch.h"
#include "tryout/TryTypes.h"

#include <QList>

#include <optional>

namespace pw {

class WindowTracker {
public:
    explicit WindowTracker(qint64 limitMs) : limitMs_(limitMs) {}

    // Takes note of the windows visible at `nowMs` (milliseconds since the run started). Returns the
    // first that has now been visible without a break for the limit or longer.
    std::optional<VisibleWindow> Observe(const QList<VisibleWindow>& visible, qint64 nowMs);

    // Every window seen, in the order they appeared.
    QList<SeenWindow> windows() const;

private:
    struct Tracked {
        quint32 id;
        QStringList titles;
        qint64 visibleSince;  // -1 while it is not visible
        qint64 longestMs;
    };
    qint64 limitMs_;
    QList<Tracked> tracked_;
};

}  // namespace pw
