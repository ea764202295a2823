// The windows of a run followed over time: the first that stays for the limit ends the run.
#include "tryout/WindowTracker.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

const VisibleWindow kSetup{7, QStringLiteral("App Setup: Installation Folder"), {}};
const VisibleWindow kProgress{7, QStringLiteral("App Setup: Installing"), {}};
const VisibleWindow kSplash{9, QString(), {}};

TEST(WindowTracker, WindowVisibleForTheLimitIsOverdue)
{
    WindowTracker tracker(5000);
    EXPECT_FALSE(tracker.Observe({}, 0));
    EXPECT_FALSE(tracker.Observe({kSetup}, 1000));
    EXPECT_FALSE(tracker.Observe({kSetup}, 5900));
    const std::optional<VisibleWindow> overdue = tracker.Observe({kSplash, kSetup}, 6000);
    ASSERT_TRUE(overdue);
    EXPECT_EQ(overdue->title, kSetup.title);
    ASSERT_EQ(tracker.windows().size(), 2);
    EXPECT_DOUBLE_EQ(tracker.windows()[0].visibleSeconds, 5.0);
    EXPECT_EQ(tracker.windows()[1].titles, QStringList());
}

TEST(WindowTracker, HiddenWindowStartsAgainAndKeepsItsLongestTime)
{
    WindowTracker tracker(5000);
    tracker.Observe({kSetup}, 0);
    tracker.Observe({kSetup}, 4000);
    tracker.Observe({}, 4100);
    EXPECT_FALSE(tracker.Observe({kProgress}, 4200));
    EXPECT_FALSE(tracker.Observe({kProgress}, 9100)) << "visible again for 4.9 s only";
    EXPECT_TRUE(tracker.Observe({kProgress}, 9200));
    ASSERT_EQ(tracker.windows().size(), 1);
    EXPECT_EQ(tracker.windows()[0].titles, (QStringList{kSetup.title, kProgress.title}));
    EXPECT_DOUBLE_EQ(tracker.windows()[0].visibleSeconds, 5.0);
}

}  // namespace
