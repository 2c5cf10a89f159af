#include "core/step_timer.h"

#include <gtest/gtest.h>

namespace {

TEST(StepTimerOps, AccumulatesAndKeepsTheRemainder)
{
    StepTimer timer;
    timer.beginStamp = 1000;
    timer.endStamp = 1010;
    timer.accumulate();
    EXPECT_EQ(timer.accumulator, 43);
    timer.accumulator = -70;
    EXPECT_TRUE(timer.isNegative());
    EXPECT_EQ(timer.keepRemainder(), 2);
    EXPECT_EQ(timer.accumulator, -4);
    EXPECT_EQ(timer.take(), -4);
    EXPECT_EQ(timer.accumulator, 0);
}

} // namespace
