#include "app/game_tick.h"
#include "app/main_loop.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records every tick step by name, with the tick-count time it ran at.
struct StepRecorder {
    explicit StepRecorder(GameTick& tick)
    {
        for (size_t i = 0; i < kTickStepCount; ++i) {
            TickStep step = static_cast<TickStep>(i);
            tick.setStep(step, [this, step] {
                names.push_back(tickStepName(step));
                times.push_back(platform::clock().tickMs());
            });
        }
    }
    std::vector<uint32_t> timesOf(const std::string& name) const
    {
        std::vector<uint32_t> found;
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name)
                found.push_back(times[i]);
        }
        return found;
    }
    std::vector<std::string> names;
    std::vector<uint32_t> times;
};

class TickSchedule : public ::testing::Test {
protected:
    // Starts close below the 32-bit wrap so that every schedule crosses it.
    static constexpr uint32_t kStart = 0xFFFFFF00u;

    TickSchedule()
        : fake(kStart)
        , guard(fake)
        , recorder(tick)
        , loop(window, tick, nullptr)
    {
        fake.setSystemMs(kStart);
        loop.start();
    }

    platform::FakeClock fake;
    platform::ScopedClock guard;
    GameTick tick;
    StepRecorder recorder;
    platform::HeadlessWindow window;
    MainLoop loop;
};

TEST_F(TickSchedule, UndisturbedTicksComeExactly50MsApart)
{
    for (int pass = 0; pass < 40; ++pass)
        ASSERT_TRUE(loop.runPass());
    std::vector<uint32_t> ticks = recorder.timesOf("UpdatePointer");
    ASSERT_GE(ticks.size(), 30u);
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(ticks[i], uint32_t(kStart + 50 * (i + 1))) << "tick " << i;
    EXPECT_EQ(loop.lastTickTime(), ticks.back());
}

TEST_F(TickSchedule, FramesRunOnEverySecondTick)
{
    for (int pass = 0; pass < 40; ++pass)
        loop.runPass();
    std::vector<uint32_t> frames = recorder.timesOf("RenderFrame");
    ASSERT_GE(frames.size(), 10u);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(uint32_t(frames[i] - frames[i - 1]), 100u);
}

TEST_F(TickSchedule, AStallGivesOneTickAndRestartsTheSchedule)
{
    loop.runPass(); // the first tick, at start + 50
    size_t before = recorder.timesOf("UpdatePointer").size();
    fake.advance(400);
    uint32_t stallEnd = fake.tickMs();
    loop.runPass();
    EXPECT_EQ(recorder.timesOf("UpdatePointer").size(), before + 1);
    EXPECT_EQ(loop.lastTickTime(), stallEnd);
    loop.runPass();
    EXPECT_EQ(recorder.timesOf("UpdatePointer").back(), uint32_t(stallEnd + 50));
}

TEST_F(TickSchedule, FrameSkippingRunsACatchUpTickWithoutDrawingFirst)
{
    loop.setFrameSkipping(true);
    loop.runPass();
    fake.advance(400);
    recorder.names.clear();
    loop.runPass();
    // Two ticks: both open the frame gate only when 76 ms separate them, so the
    // catch-up tick runs the frame without drawing and the second finds the
    // gate shut.
    std::vector<std::string> frameSteps;
    int updates = 0;
    for (const std::string& name : recorder.names) {
        updates += name == "UpdatePointer";
        if (name == "RenderFrame" || name == "SendKeepAlive" || name == "VideoRedraw")
            frameSteps.push_back(name);
    }
    EXPECT_EQ(updates, 1); // the input gate is also shut for the second tick
    EXPECT_EQ(frameSteps, (std::vector<std::string> { "SendKeepAlive", "VideoRedraw" }));
}

TEST_F(TickSchedule, QuitEndsTheLoopWithItsCode)
{
    window.postMessage({ platform::MessageKind::Quit, 7, 0, 0, 0 });
    EXPECT_EQ(loop.run(), 7);
}

TEST_F(TickSchedule, NetworkPumpIsGivenTheWaitUntilTheNextTick)
{
    std::vector<uint32_t> waits;
    loop.setNetworkPump([&](uint32_t maxWait, std::span<const int32_t>) {
        waits.push_back(maxWait);
        fake.advance(maxWait);
        return true;
    });
    fake.advance(45);
    loop.runPass();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0], 5u);
    loop.runPass();
    EXPECT_EQ(waits[1], MainLoop::kMaxNetworkWaitMs);
}

TEST_F(TickSchedule, PumpWithNothingToWaitOnLeavesTheWaitToTheWindow)
{
    int pumped = 0;
    loop.setNetworkPump([&](uint32_t, std::span<const int32_t>) {
        ++pumped;
        return false;
    });
    // The window's wait moves the fake clock to the tick: one pass, one tick.
    loop.runPass();
    EXPECT_EQ(pumped, 1);
    EXPECT_EQ(recorder.timesOf("UpdatePointer").size(), 1u);
}

TEST(GameTickOrder, FrameStepsRunInTheirFixedOrder)
{
    platform::FakeClock fake(1000);
    fake.setSystemMs(5000);
    platform::ScopedClock guard(fake);
    GameTick tick;
    StepRecorder recorder(tick);
    tick.run(false);
    std::vector<std::string> expected;
    for (size_t i = 0; i < kTickStepCount; ++i) {
        TickStep step = static_cast<TickStep>(i);
        // The pending records age only with the one-second step, which runs
        // here (5000 ms since 0); the video redraw only when no frame ran.
        if (step != TickStep::VideoRedraw)
            expected.push_back(tickStepName(step));
    }
    EXPECT_EQ(recorder.names, expected);

    recorder.names.clear();
    tick.run(true);
    EXPECT_EQ(recorder.names, (std::vector<std::string> { "VideoRedraw" }));
}

TEST(GameTickOrder, SkipDrawLeavesOutOnlyTheRenderFrame)
{
    platform::FakeClock fake(0);
    fake.setSystemMs(5000);
    platform::ScopedClock guard(fake);
    GameTick tick;
    StepRecorder recorder(tick);
    tick.run(true);
    EXPECT_EQ(std::count(recorder.names.begin(), recorder.names.end(), "RenderFrame"), 0);
    EXPECT_EQ(std::count(recorder.names.begin(), recorder.names.end(), "SendKeepAlive"), 1);
}

TEST(GameTickClock, TwentySecondsMakeOneGameMinuteAndTheDayWraps)
{
    platform::FakeClock fake(0);
    platform::ScopedClock guard(fake);
    GameTick tick;
    fake.setSystemMs(1000);
    for (int second = 0; second < 20; ++second) {
        tick.run(false);
        fake.advance(1000);
    }
    EXPECT_EQ(tick.gameClock().minute, 1);
    EXPECT_EQ(tick.gameClock().subMinute, 0);

    GameClock clock;
    clock.hour = 23;
    clock.minute = 59;
    clock.subMinute = 19;
    clock.advanceSecond();
    EXPECT_EQ(clock.hour, 0);
    EXPECT_EQ(clock.minute, 0);
    EXPECT_EQ(clock.subMinute, 0);
}

TEST(GameTickClock, StoresWallClockMillisecondsAndSeconds)
{
    platform::FakeClock fake(0);
    fake.setSystemMs(123456);
    fake.setUnixSeconds(1700000000);
    platform::ScopedClock guard(fake);
    GameTick tick;
    tick.run(false);
    EXPECT_EQ(tick.currentTimeMs(), 123456u);
    EXPECT_EQ(tick.currentTimeSeconds(), 1700000000);
}

TEST(TickDiff, OneLessAcrossTheWrap)
{
    EXPECT_EQ(tickDiff(5, 0xFFFFFFFEu), 6u);
    EXPECT_EQ(tickDiff(10, 4), 6u);
    EXPECT_EQ(tickDiff(7, 7), 0u);
}

TEST(SpeechBudgetDecay, ProductDoesNotWrapAfterALongStall)
{
    // 75 minutes at a limit of 1000 per second: the 32-bit product would wrap
    // and decay only a few thousand.
    SpeechBudget budget { 4000000, 0 };
    decaySpeechBudget(budget, 75u * 60u * 1000u, 1000);
    EXPECT_EQ(budget.budget, 0);
    EXPECT_EQ(budget.lastDecay, 75u * 60u * 1000u);

    SpeechBudget small { 100, 0xFFFFFFF0u };
    decaySpeechBudget(small, 0x10, 1000); // 32 ms across the wrap
    EXPECT_EQ(small.budget, 68);
}

struct DarkenCase {
    const char* name;
    PixelLayout layout;
    uint16_t before;
    uint16_t after;
};

class DarkenPixels : public ::testing::TestWithParam<DarkenCase> { };

TEST_P(DarkenPixels, LowersEachFieldWithoutBorrowing)
{
    uint16_t pixel = GetParam().before;
    darkenPixels(&pixel, 1, GetParam().layout);
    EXPECT_EQ(pixel, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, DarkenPixels,
    ::testing::Values(DarkenCase { "Black555", PixelLayout::Rgb555, 0x0000, 0x0000 },
        DarkenCase { "White555", PixelLayout::Rgb555, 0x7FFF, 0x7BDE },
        DarkenCase { "OnlyGreen555", PixelLayout::Rgb555, 0x0020, 0x0000 },
        DarkenCase { "RedOnlyNoBorrow555", PixelLayout::Rgb555, 0x7C00, 0x7800 },
        DarkenCase { "Black565", PixelLayout::Rgb565, 0x0000, 0x0000 },
        // Green 63 -> upper five bits 31 -> 30, written back as the six-bit field 30.
        DarkenCase { "White565", PixelLayout::Rgb565, 0xFFFF, 0xF3DE },
        DarkenCase { "LowGreenBit565", PixelLayout::Rgb565, 0x0020, 0x0000 }),
    [](const ::testing::TestParamInfo<DarkenCase>& param) { return std::string(param.param.name); });

TEST(DarkenRing, RowsWrapAroundTheRingEnd)
{
    // A 4x3 ring starting at index 10: game rows 2 pixels wide from 10, 2 (wrapped).
    std::vector<uint16_t> ring(12, 0x0421);
    darkenRingGameArea(ring.data(), 4, 3, 10, 2, 2, PixelLayout::Rgb555);
    for (size_t i = 0; i < ring.size(); ++i) {
        bool darkened = i == 10 || i == 11 || i == 2 || i == 3;
        EXPECT_EQ(ring[i], darkened ? 0 : 0x0421) << i;
    }
    std::vector<uint16_t> straddle(12, 0x0421);
    darkenRingGameArea(straddle.data(), 4, 3, 11, 2, 1, PixelLayout::Rgb555);
    EXPECT_EQ(straddle[11], 0);
    EXPECT_EQ(straddle[0], 0);
    EXPECT_EQ(straddle[1], 0x0421);
}

} // namespace
