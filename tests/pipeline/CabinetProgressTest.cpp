// How far a cabinet has come, and the percentage a view shows for a position of the bar.
#include "pipeline/BuildUi.h"
#include "pipeline/CabinetProgress.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(CabinetProgress, ReadingAndCopyingEachCountTheirBytes)
{
    // A stored cabinet: 1000 bytes read in blocks, then the same 1000 copied.
    CabinetProgress stored(1000);
    EXPECT_EQ(stored.Fraction(), 0);
    stored.BlockCompressed(250);
    EXPECT_DOUBLE_EQ(stored.Fraction(), 0.125);
    stored.BlockCompressed(750);
    EXPECT_DOUBLE_EQ(stored.Fraction(), 0.5);
    stored.FolderCopied(500, 1000);
    EXPECT_DOUBLE_EQ(stored.Fraction(), 0.75);
    stored.FolderCopied(1000, 1000);
    EXPECT_DOUBLE_EQ(stored.Fraction(), 1);

    // Compressed to a quarter: the shorter copy is the smaller share, once its length is known.
    CabinetProgress compressed(1000);
    compressed.BlockCompressed(1000);
    compressed.FolderCopied(0, 250);
    EXPECT_DOUBLE_EQ(compressed.Fraction(), 0.8);
    compressed.FolderCopied(125, 250);
    EXPECT_DOUBLE_EQ(compressed.Fraction(), 0.9);
}

TEST(CabinetProgress, NeverGoesBackNorBeyondTheEnd)
{
    // A file that grew after it was counted reads more than was announced.
    CabinetProgress grown(100);
    grown.BlockCompressed(400);
    EXPECT_DOUBLE_EQ(grown.Fraction(), 0.5);
    // A copy longer than the files: the share already shown is kept.
    grown.FolderCopied(10, 300);
    EXPECT_DOUBLE_EQ(grown.Fraction(), 0.5);
    grown.FolderCopied(300, 300);
    EXPECT_DOUBLE_EQ(grown.Fraction(), 1);

    CabinetProgress empty(0);
    empty.FolderCopied(0, 0);
    EXPECT_EQ(empty.Fraction(), 0) << "nothing to divide by";
}

TEST(StepPercent, EachStepCountsFromItsOwnStart)
{
    EXPECT_EQ(StepPercent(kProgressIdle), 0);
    EXPECT_EQ(StepPercent(kProgressPackingStart), 0);
    EXPECT_EQ(StepPercent(51), 50);
    EXPECT_EQ(StepPercent(kProgressPacked), 100);
    EXPECT_EQ(StepPercent(kProgressEntriesWritten), 0);
    EXPECT_EQ(StepPercent(kProgressEntriesWritten + 0.426), 42);
    EXPECT_EQ(StepPercent(kProgressEntriesWritten + 0.999), 99) << "100% only at the end";
    EXPECT_EQ(StepPercent(kProgressEnd), 100);
}
