#include "world_fixture.h"

namespace test {
namespace {

using UpdateRangeTest = WorldTest;

TEST_F(UpdateRangeTest, TheServersRangeIsTakenAndTheDesiredOneKeptOnlyWhenAsked)
{
    setUpdateRange(12, true);
    EXPECT_EQ(player()->getUpdateRange(), 12);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, 18) << "kept";
    EXPECT_EQ(updateRangeState().lastSentUpdateRange, -1) << "the next request goes out again";
    setUpdateRange(9, false);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, 9);
    setUpdateRange(0x10C, false);
    EXPECT_EQ(player()->getUpdateRange(), 12) << "only the low byte counts";
}

TEST_F(UpdateRangeTest, ASessionResetReturnsThePlayerToEighteen)
{
    setUpdateRange(9, false);
    resetWorldObjectsForSession();
    EXPECT_EQ(player()->getUpdateRange(), 18);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, 18);
    EXPECT_TRUE(updateRangeState().autoUpdateRange);
}

} // namespace
} // namespace test
