#include "platform/TextLines.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(SplitLines, EveryBreakKindAndNoEmptyLastLine)
{
    EXPECT_EQ(SplitLines(QByteArray("a\r\nb\rc\nd")), (QList<QByteArray>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QByteArray("a\r\n")), (QList<QByteArray>{"a"}));
    EXPECT_EQ(SplitLines(QByteArray("a\n\n")), (QList<QByteArray>{"a", ""}));
    EXPECT_EQ(SplitLines(QByteArray("\r\n\r\nx")), (QList<QByteArray>{"", "", "x"}));
    EXPECT_TRUE(SplitLines(QString()).isEmpty());
    EXPECT_EQ(JoinLinesCrLf({"a", ""}), QByteArray("a\r\n\r\n"));
}
