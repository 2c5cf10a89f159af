// The mobile animation stepping in the running program: installed at
// start-up, advanced once per drawn frame by the present step, traced on a
// fake clock through the game tick. And the highlight sources of the mobile
// drawing: the target cursor, and the combatant and the marked serials as the
// server's packets announce them through the dispatcher.
#include "protocol/world_packet_fixture.h"

#include "app/frame_render.h"
#include "app/game_tick.h"
#include "app/mobile_wiring.h"
#include "data/targeting.h"
#include "world/mobile_services.h"
#include "platform/clock.h"
#include "world/mobile.h"
#include "world/mobile_animation.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
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

constexpr uint32_t kOther = 0x00000B01;
constexpr uint32_t kStranger = 0x00000B02;

// What the server or the player does, and what the mobile drawing then hears.
class HighlightSources;

struct HighlightCase {
    std::string name;
    std::function<void(HighlightSources&)> happen;
    std::function<void(MobileHighlights&)> check;
};

std::string caseName(const testing::TestParamInfo<HighlightCase>& info) { return info.param.name; }
void PrintTo(const HighlightCase& row, std::ostream* out) { *out << row.name; }

class HighlightSources : public test::WorldPacketTest, public testing::WithParamInterface<HighlightCase> {
protected:
    void SetUp() override
    {
        test::WorldPacketTest::SetUp();
        m_previous = installedWorldService<MobileHighlights>();
        installMobileHighlights();
        addMobile(kOther, test::kCentreX + 2, test::kCentreY);
        addMobile(kStranger, test::kCentreX - 2, test::kCentreY);
    }
    void TearDown() override
    {
        dispatch(test::fixedPacket(0xAA).u32(0).bytes());
        endTargeting();
        installWorldService<MobileHighlights>(m_previous);
        test::WorldPacketTest::TearDown();
    }

public:
    void send(const std::vector<uint8_t>& bytes) { dispatch(bytes); }

private:
    MobileHighlights* m_previous = nullptr;
};

class MobileHighlightsWiring : public HighlightSources { };

TEST_P(MobileHighlightsWiring, TheDrawingHearsTheSession)
{
    GetParam().happen(*this);
    GetParam().check(worldService<MobileHighlights>());
}

void combatant(HighlightSources& sources, uint32_t serial)
{
    sources.send(test::fixedPacket(0xAA).u32(serial).bytes());
}

void mark(HighlightSources& sources, uint32_t serial, uint8_t flag)
{
    sources.send(test::fixedPacket(0xC4).u32(serial).u8(flag).bytes());
}

INSTANTIATE_TEST_SUITE_P(Sources, MobileHighlightsWiring,
    testing::Values(
        HighlightCase { "NothingAnnounced", [](HighlightSources&) { },
            [](MobileHighlights& highlights) {
                EXPECT_FALSE(highlights.isTargetCursorUp());
                EXPECT_EQ(highlights.combatantSerial(), 0u);
                EXPECT_FALSE(highlights.isMarkedSerial(kOther));
                EXPECT_EQ(highlights.gmCustomerSerial(), 0u) << "no GM tools hold a customer";
            } },
        HighlightCase { "TargetCursorUp", [](HighlightSources&) { beginTargeting(); },
            [](MobileHighlights& highlights) { EXPECT_TRUE(highlights.isTargetCursorUp()); } },
        HighlightCase { "TargetCursorDownAgain",
            [](HighlightSources&) {
                beginTargeting();
                endTargeting();
            },
            [](MobileHighlights& highlights) { EXPECT_FALSE(highlights.isTargetCursorUp()); } },
        HighlightCase { "CombatantAnnounced", [](HighlightSources& sources) { combatant(sources, kOther); },
            [](MobileHighlights& highlights) { EXPECT_EQ(highlights.combatantSerial(), kOther); } },
        HighlightCase { "CombatantCleared",
            [](HighlightSources& sources) {
                combatant(sources, kOther);
                combatant(sources, 0);
            },
            [](MobileHighlights& highlights) { EXPECT_EQ(highlights.combatantSerial(), 0u); } },
        HighlightCase { "Marked", [](HighlightSources& sources) { mark(sources, kOther, 1); },
            [](MobileHighlights& highlights) {
                EXPECT_TRUE(highlights.isMarkedSerial(kOther));
                EXPECT_FALSE(highlights.isMarkedSerial(kStranger));
            } },
        HighlightCase { "Unmarked",
            [](HighlightSources& sources) {
                mark(sources, kOther, 1);
                mark(sources, kStranger, 1);
                mark(sources, kOther, 0);
            },
            [](MobileHighlights& highlights) {
                EXPECT_FALSE(highlights.isMarkedSerial(kOther));
                EXPECT_TRUE(highlights.isMarkedSerial(kStranger));
            } },
        HighlightCase { "AllUnmarked",
            [](HighlightSources& sources) {
                mark(sources, kOther, 1);
                mark(sources, 0xFFFFFFFF, 0);
            },
            [](MobileHighlights& highlights) { EXPECT_FALSE(highlights.isMarkedSerial(kOther)); } }),
    caseName);

} // namespace
