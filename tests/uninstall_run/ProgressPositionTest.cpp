// ProgressPositionTest.cpp -- the progress arithmetic at its edges, where 32 bits or an empty log would go wrong.
#include <gtest/gtest.h>

#include "UninstallRun.h"

TEST(ProgressPosition, HandledTimesHundredOverTotal)
{
    EXPECT_EQ(0u, ProgressPosition(0, 10));
    EXPECT_EQ(40u, ProgressPosition(4, 10));
    EXPECT_EQ(33u, ProgressPosition(1, 3)) << "truncated, not rounded";
    EXPECT_EQ(100u, ProgressPosition(10, 10));
}

TEST(ProgressPosition, EmptyLogAndHugeLogsStaySane)
{
    EXPECT_EQ(0u, ProgressPosition(0, 0)) << "no division by zero";
    // 50 million records: handled * 100 no longer fits in 32 bits
    EXPECT_EQ(50u, ProgressPosition(50000000u, 100000000u));
    EXPECT_EQ(99u, ProgressPosition(0xFFFFFFFEu, 0xFFFFFFFFu));
}
