#include "tryout/WindowTracker.h"

namespace pw {

std::optional<VisibleWindow> WindowTracker::Observe(const QList<VisibleWindow>& visible, qint64 nowMs)
{
    for (Tracked& window : tracked_) {
        const bool shown =
            std::any_of(visible.begin(), visible.end(), [&](const VisibleWindow& v) { return v.id == window.id; });
        if (!shown)
            window.visibleSince = -1;
    }
    std::optional<VisibleWindow> overdue;
    for (const VisibleWindow& window : visible) {
        auto found =
            std::find_if(tracked_.begin(), tracked_.end(), [&](const Tracked& t) { return t.id == window.id; });
        if (found == tracked_.end())
            found = tracked_.insert(tracked_.end(), {window.id, {}, -1, 0});
        if (found->visibleSince < 0)
            found->visibleSince = nowMs;
        if (!window.title.isEmpty() && (found->titles.isEmpty() || found->titles.back() != window.title))
            found->titles << window.title;
        found->longestMs = std::max(found->longestMs, nowMs - found->visibleSince);
        if (!overdue && nowMs - found->visibleSince >= limitMs_)
            overdue = window;
    }
    return overdue;
}

QList<SeenWindow> WindowTracker::windows() const
{
    QList<SeenWindow> windows;
    for (const Tracked& window : tracked_)
        windows.append({window.titles, window.longestMs / 1000.0});
    return windows;
}

}  // namespace pw
