#include "world_fixture.h"

namespace test {
namespace {

class UpdateRangeTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        updateRangeState().playerInGame = true;
    }
};

TEST_F(UpdateRangeTest, ARequestGoesOutAtOnceAndTheNextWaits750Ms)
{
    setViewRange(12);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], (Bytes { 0xC8, 12 }));
    EXPECT_FALSE(updateRangeState().updateRangePending);
    EXPECT_FALSE(updateRangeState().autoUpdateRange);

    clock.advance(100);
    setViewRange(10);
    EXPECT_EQ(sink.packets.size(), 1u) << "within 750 ms";
    EXPECT_TRUE(updateRangeState().updateRangePending);
    EXPECT_EQ(currentUpdateRange(), 10);

    clock.advance(650);
    viewRangeStep(640);
    EXPECT_EQ(sink.packets.size(), 1u) << "750 ms is not more than 750";
    clock.advance(1);
    viewRangeStep(640);
    ASSERT_EQ(sink.packets.size(), 2u);
    EXPECT_EQ(sink.packets[1], (Bytes { 0xC8, 10 }));
    EXPECT_FALSE(updateRangeState().updateRangePending);

    clock.advance(5000);
    viewRangeStep(640);
    EXPECT_EQ(sink.packets.size(), 2u) << "nothing pending, nothing sent";
}

TEST_F(UpdateRangeTest, RequestsAreClampedToFiveThroughEighteen)
{
    setViewRange(3);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], (Bytes { 0xC8, 5 }));
    setUpdateRange(5, true);
    clock.advance(1000);
    setViewRange(30);
    ASSERT_EQ(sink.packets.size(), 2u);
    EXPECT_EQ(sink.packets[1], (Bytes { 0xC8, 18 }));
    clock.advance(1000);
    changeViewRange(-1);
    ASSERT_EQ(sink.packets.size(), 3u);
    EXPECT_EQ(sink.packets[2], (Bytes { 0xC8, 17 }));
}

TEST_F(UpdateRangeTest, TheSameRangeAsInForceSendsNothing)
{
    setViewRange(18);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_FALSE(updateRangeState().autoUpdateRange) << "still no longer automatic";
}

TEST_F(UpdateRangeTest, TheAutomaticRangeIsEighteenForBothGameAreas)
{
    for (int32_t width : { 640, 800 }) {
        updateRangeState() = UpdateRangeState {};
        updateRangeState().playerInGame = true;
        player()->setUpdateRangeByte(10);
        sink.packets.clear();
        clock.advance(1000);
        viewRangeStep(width);
        ASSERT_EQ(sink.packets.size(), 1u) << width;
        EXPECT_EQ(sink.packets[0], (Bytes { 0xC8, 18 }));
    }
}

TEST_F(UpdateRangeTest, NothingIsSentBeforeThePlayerIsInTheGame)
{
    updateRangeState().playerInGame = false;
    setViewRange(8);
    viewRangeStep(640);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_TRUE(updateRangeState().updateRangePending) << "it waits for the game";
    updateRangeState().playerInGame = true;
    viewRangeStep(640);
    EXPECT_EQ(sink.packets.size(), 1u);
}

TEST_F(UpdateRangeTest, TheServersRangeIsTakenAndAResetReturnsToEighteen)
{
    setUpdateRange(12, true);
    EXPECT_EQ(player()->getUpdateRange(), 12);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, 18) << "kept";
    setUpdateRange(9, false);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, 9);
    resetUpdateRange();
    EXPECT_EQ(player()->getUpdateRange(), 18);
    EXPECT_EQ(updateRangeState().lastSentUpdateRange, -1);
    EXPECT_TRUE(updateRangeState().autoUpdateRange);
}

TEST_F(UpdateRangeTest, TheLimitHoldsAcrossTheClocksWrap)
{
    clock.setSystemMs(0xFFFFFF00u);
    setViewRange(12);
    ASSERT_EQ(sink.packets.size(), 1u);
    clock.advance(0x200); // past the wrap, 512 ms later
    setViewRange(11);
    EXPECT_EQ(sink.packets.size(), 1u);
    clock.advance(300);
    viewRangeStep(640);
    EXPECT_EQ(sink.packets.size(), 2u);
}

} // namespace
} // namespace test
