// The progress bar the command line draws.
#include "cli/TerminalBuildUi.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(TerminalProgressBar, ShowsHowFarTheStepUnderWayHasCome)
{
    EXPECT_EQ(TerminalProgressBar(kProgressPackingStart), "[........................................]   0%");
    EXPECT_EQ(TerminalProgressBar(51), "[####################....................]  50%");
    EXPECT_EQ(TerminalProgressBar(kProgressPacked), "[########################################] 100%");
    // The cabinet fills a bar of its own, through the positions between the scale's last two.
    EXPECT_EQ(TerminalProgressBar(kProgressEntriesWritten), "[........................................]   0%");
    EXPECT_EQ(TerminalProgressBar(kProgressEntriesWritten + 0.25), "[##########..............................]  25%");
    EXPECT_EQ(TerminalProgressBar(kProgressEntriesWritten + 0.99), "[#######################################.]  99%");
    EXPECT_EQ(TerminalProgressBar(kProgressEnd), "[########################################] 100%");
}
