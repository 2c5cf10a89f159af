// The mobile animation stepping in the running program: installed at
// start-up, advanced once per drawn frame by the present step, traced on a
// fake clock through the game tick.
#include "app/frame_render.h"
#include "app/game_tick.h"
#include "app/mobile_wiring.h"
#include "platform/clock.h"
#include "world/mobile.h"
#include "world/mobile_animation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class MobileWiring : public testing::Test {
protected:
    MobileWiring() { m_previous = installWorldService<MobileAnimator>(nullptr); }
    ~MobileWiring() override { installWorldService(m_previous); }

private:
    MobileAnimator* m_previous = nullptr;
};

TEST_F(MobileWiring, StartUpInstallsTheAnimatingMobiles)
{
    startMobileAnimation();
    EXPECT_EQ(&worldService<MobileAnimator>(), &animatingMobiles());
}

TEST_F(MobileWiring, EachDrawnFrameStepsTheActionsOnce)
{
    // Close below the 32-bit wrap, so that the schedule crosses it.
    constexpr uint32_t kStart = 0xFFFFFF00u;
    platform::FakeClock clock(kStart);
    platform::ScopedClock clockGuard(clock);
    clock.setSystemMs(kStart);
    startMobileAnimation();

    int32_t presents = 0;
    FrameServices services;
    services.hasGameConnection = [] { return true; };
    services.redrawAllGumps = [&presents] { ++presents; };
    wireMobileAnimationStep(services);
    FrameRenderer renderer(services);
    GameTick tick;
    tick.setStep(TickStep::RenderFrame, [&renderer] { renderer.renderFrame(); });

    auto* mobile = new Mobile(0x55, 400, 0);
    mobile->playAnimation(9, 4, 0, 1, false, false);
    std::vector<uint32_t> stepTimes;
    uint16_t shown = mobile->frame;
    for (int32_t pass = 0; pass < 24; ++pass) {
        tick.run(false);
        if (mobile->frame != shown || (!mobile->animationRunning && stepTimes.size() < 4)) {
            stepTimes.push_back(clock.systemMs() - kStart);
            shown = mobile->frame;
        }
        clock.advance(50);
    }
    // Frames are drawn on every second tick, 100 ms apart from the first;
    // delay 0 steps on every second frame: frames 1, 2 and 3, then the end.
    EXPECT_EQ(stepTimes, (std::vector<uint32_t> { 100, 300, 500, 700 }));
    EXPECT_FALSE(mobile->animationRunning);
    EXPECT_EQ(presents, 12);
    mobile->destroy();
    EXPECT_TRUE(animatingMobiles().mobiles().empty());
}

} // namespace
