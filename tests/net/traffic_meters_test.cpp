#include "net/traffic_meters.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(ThroughputMeter, CountsPerSecondBucket)
{
    platform::FakeClock clock(10000);
    platform::ScopedClock guard(clock);
    ThroughputMeter meter;
    meter.add(100);
    meter.add(0);
    clock.advance(2500);
    meter.add(7);
    ASSERT_EQ(meter.counters().size(), 3u);
    EXPECT_EQ(meter.counters()[0], 100);
    EXPECT_EQ(meter.counters()[1], 0);
    EXPECT_EQ(meter.counters()[2], 7);
    EXPECT_EQ(meter.firstBucket(), 10u);
    EXPECT_EQ(meter.nextBucket(), 13u);
}

TEST(ThroughputMeter, KeepsSixtyBuckets)
{
    platform::FakeClock clock(0);
    platform::ScopedClock guard(clock);
    ThroughputMeter meter;
    for (int second = 0; second < 75; ++second) {
        meter.add(1);
        clock.advance(1000);
    }
    EXPECT_EQ(meter.counters().size(), ThroughputMeter::kHistory);
    EXPECT_EQ(meter.firstBucket(), 15u);
    EXPECT_EQ(meter.total(), 60);
}

TEST(ThroughputMeter, GapOfSixtyBucketsStartsAfresh)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock guard(clock);
    ThroughputMeter meter;
    meter.add(50);
    // Sixty buckets after the newest one nothing old is left to keep.
    clock.advance(60 * 1000);
    meter.add(3);
    EXPECT_EQ(meter.counters().size(), ThroughputMeter::kHistory);
    EXPECT_EQ(meter.total(), 3);
    clock.advance(61 * 1000);
    meter.add(4);
    ASSERT_EQ(meter.counters().size(), 1u);
    EXPECT_EQ(meter.firstBucket(), 126u);
    EXPECT_EQ(meter.total(), 4);
}

TEST(ThroughputMeter, ClockThatStepsBackIsNotCounted)
{
    platform::FakeClock clock(20000);
    platform::ScopedClock guard(clock);
    ThroughputMeter meter;
    meter.add(10);
    clock.setTick(3000);
    meter.add(99);
    EXPECT_EQ(meter.total(), 10);
    clock.setTick(20500);
    meter.add(1);
    EXPECT_EQ(meter.total(), 11);
}

TEST(PacketStats, CountPacketsAndBytes)
{
    platform::FakeClock clock(777);
    platform::ScopedClock guard(clock);
    PacketIdStats ids;
    PacketSizeStats sizes;
    ids.add(0x73, 2);
    ids.add(0x73, 2);
    ids.add(0x02, 7);
    sizes.add(2);
    clock.advance(10);
    sizes.add(7);
    EXPECT_EQ(ids.entries().at(0x73).count, 2u);
    EXPECT_EQ(ids.entries().at(0x73).bytes, 4u);
    EXPECT_EQ(ids.entries().at(0x02).bytes, 7u);
    EXPECT_EQ(sizes.firstTick(), 777u);
    EXPECT_EQ(sizes.count(), 2u);
    EXPECT_EQ(sizes.bytes(), 9u);
}

} // namespace
