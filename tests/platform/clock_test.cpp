#include "platform/clock.h"
#include "platform/process_exit.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(FakeClock, TickWrapsAndStaysOrdered)
{
    platform::FakeClock fake(0xFFFFFFF0u);
    platform::ScopedClock guard(fake);
    uint32_t before = platform::clock().tickMs();
    fake.advance(0x20);
    uint32_t after = platform::clock().tickMs();
    EXPECT_EQ(after, 0x10u);
    EXPECT_TRUE(platform::tickReached(after, before));
    EXPECT_FALSE(platform::tickReached(before, after));
    EXPECT_EQ(uint32_t(after - before), 0x20u);
}

TEST(FakeClock, GuardRestoresTheSystemClock)
{
    {
        platform::FakeClock fake(5);
        platform::ScopedClock guard(fake);
        EXPECT_EQ(platform::clock().tickMs(), 5u);
    }
    uint32_t first = platform::clock().tickMs();
    platform::clock().sleepMs(2);
    EXPECT_GE(uint32_t(platform::clock().tickMs() - first), 2u);
    EXPECT_GT(platform::clock().highResFrequency(), 0u);
}

TEST(CleanupStack, RunsNewestFirstAndOnlyOnce)
{
    std::vector<int> order;
    platform::atExit([&] { order.push_back(1); });
    platform::atExit([&] {
        order.push_back(2);
        platform::atExit([&] { order.push_back(3); });
    });
    platform::runCleanups();
    platform::runCleanups();
    EXPECT_EQ(order, (std::vector<int> { 2, 3, 1 }));
}

TEST(CleanupStackDeathTest, OrderlyExitRunsCleanupsImmediateExitDoesNot)
{
    EXPECT_EXIT(
        {
            platform::atExit([] { std::fputs("cleaned\n", stderr); });
            platform::orderlyExit(4);
        },
        ::testing::ExitedWithCode(4), "cleaned");
    EXPECT_EXIT(
        {
            platform::atExit([] { std::fputs("cleaned\n", stderr); });
            platform::immediateExit(5);
        },
        ::testing::ExitedWithCode(5), "^$");
}

} // namespace
