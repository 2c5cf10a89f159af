// Walking, the weather, the path search and the effects as the running
// program wires them: the game tick's frame runs their steps, the world
// reaches the effects and following through the installed services, and the
// light pass follows the settings and the back buffer's format.
#include "world/world_fixture.h"

#include "app/game_tick.h"
#include "app/walking_effects_wiring.h"
#include "data/settings_registry.h"
#include "fixtures/sample_world.h"
#include "gfx/art_cache.h"
#include "gfx/back_buffer.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "world/effect_calls.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile_services.h"
#include "world/walking.h"

namespace {

class Messages final : public WorldMessages {
public:
    void addSystemMessage(std::u16string_view text, uint16_t, uint16_t) override { lines.emplace_back(text); }
    std::vector<std::u16string> lines;
};

class WalkingWiring : public test::WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        gumpSystemStartup();
        initWeather();
        stepQueue() = StepQueue {};
        m_lights = installedWorldService<WorldLights>();
        m_follow = installedWorldService<FollowPaths>();
        m_mapView = installedWorldService<MapViewServices>();
        m_effects = installedWorldService<EffectBuilder>();
        m_views = installedWorldService<WalkingViews>();
        wireWalkingAndEffects(tick);
    }

    void TearDown() override
    {
        unwireWalkingAndEffects(tick);
        installWorldService<WorldLights>(m_lights);
        installWorldService<FollowPaths>(m_follow);
        installWorldService<MapViewServices>(m_mapView);
        installWorldService<EffectBuilder>(m_effects);
        installWorldService<WalkingViews>(m_views);
        gumpSystemShutdown();
        stepQueue() = StepQueue {};
        WorldTest::TearDown();
    }

    // One game frame: the frame gate is 76 ms.
    void frame()
    {
        clock.advance(GameTick::kFrameGateMs);
        tick.run(false);
    }

    GameTick tick;
    WorldLights* m_lights = nullptr;
    FollowPaths* m_follow = nullptr;
    MapViewServices* m_mapView = nullptr;
    EffectBuilder* m_effects = nullptr;
    WalkingViews* m_views = nullptr;
};

TEST_F(WalkingWiring, TheTicksFrameWalksAndRunsTheWeather)
{
    player()->direction = 0;
    requestStep(5, 0, false);
    ASSERT_EQ(stepQueue().count, 1) << "a turn south";
    onWeatherPacket(1, 0);
    frame();
    EXPECT_EQ(player()->direction, 4) << "the walking step turned the player";
    EXPECT_EQ(stepQueue().count, 1) << "the turn waits for its answer";
    EXPECT_EQ(weatherState().decayCounter, 1) << "the weather step ran";
    unwireWalkingAndEffects(tick);
    frame();
    EXPECT_EQ(weatherState().decayCounter, 1) << "unwired: nothing runs";
    wireWalkingAndEffects(tick);
}

TEST_F(WalkingWiring, TheWorldBuildsEffectsAndFollowsThroughTheInstalledServices)
{
    EffectCall call;
    call.kind = EffectKind::FixedAtLocation;
    call.sourceXY = packXY(test::kCentreX, test::kCentreY);
    call.art = 100;
    call.duration = 5;
    ASSERT_TRUE(worldService<EffectBuilder>().build(call, nullptr));
    ASSERT_NE(gumpListHead(), nullptr);
    EXPECT_TRUE(gumpListHead()->is(GumpKind::Missile));
    // A jump of the player closes every effect.
    worldService<MapViewServices>().closeMissileGumps();
    EXPECT_EQ(gumpListHead(), nullptr);

    Messages messages;
    ScopedWorldService<WorldMessages> guard(messages);
    player()->following = 1;
    player()->followSerial = 0x00000033;
    addMobile(0x00000033, test::kCentreX + 6, test::kCentreY);
    ASSERT_EQ(messages.lines.size(), 1u) << "no land here: no way to follow";
    EXPECT_EQ(messages.lines[0], u"Can't get there (follow)");
}

TEST_F(WalkingWiring, TheLightPassFollowsTheSettingsAndTheBufferFormat)
{
    BackBuffer buffer;
    buffer.create(64, 48, BufferFormat::Rgb565);
    settings().setBoolSetting(u"DarkNights", 1);
    settings().setBoolSetting(u"ColoredLighting", 0);
    refreshLightPassSettings(buffer);
    EXPECT_TRUE(lightPassSettings().darkNights);
    EXPECT_FALSE(lightPassSettings().coloured);
    EXPECT_TRUE(lightPassSettings().to565);
    settings() = SettingsRegistry();
    refreshLightPassSettings(buffer);
    EXPECT_FALSE(lightPassSettings().darkNights);
    EXPECT_TRUE(lightPassSettings().coloured) << "coloured light is on by default";
    lightPassSettings() = LightPassSettings {};
}

// An effect fixed on a mobile has no world object: the mobile's drawing
// draws it, centred on the mobile's picture, through the service the wiring
// installs.
TEST(AttachedEffectsWiring, AnEffectFixedOnAMobileIsDrawnWithIt)
{
    // The first cursor arrow of the sample art, as item art.
    constexpr int32_t kArrowArt = 24659 - kFirstStaticArt;
    constexpr int32_t kWidth = 320;
    constexpr int32_t kHeight = 240;
    fixture::SampleWorld world;
    gumpSystemStartup();
    GameTick tick;
    EffectBuilder* previousBuilder = installedWorldService<EffectBuilder>();
    AttachedEffects* previousAttached = installedWorldService<AttachedEffects>();
    wireWalkingAndEffects(tick);

    const std::vector<uint16_t> before = world.drawFrame(kWidth, kHeight);
    const ArtImage* arrow = getArtImage(kFirstStaticArt + kArrowArt);
    ASSERT_NE(arrow, nullptr);
    createEffectEx(3, player(), nullptr, kArrowArt, 0, 0, 0, 0, 10, 30, 0, 0, 0, 0);
    ASSERT_EQ(attachedEffects(*player()).size(), 1u);
    EXPECT_EQ(worldService<AttachedEffects>().effectImage(*player(), 0), arrow);
    EXPECT_EQ(worldService<AttachedEffects>().effectImage(*player(), 1), nullptr) << "past the last effect";
    const std::vector<uint16_t> after = world.drawFrame(kWidth, kHeight);

    // Every pixel that changed lies in the arrow's box round the centre of
    // the player's picture, and every opaque arrow pixel there shows it.
    const ScreenRect& body = player()->screenRect;
    const int32_t left = (body.left + body.right) / 2 - worldScreen().viewPixelX - arrow->width() / 2;
    const int32_t top = (body.top + body.bottom) / 2 - worldScreen().viewPixelY - arrow->height() / 2;
    const ScreenRect box { left, top, left + arrow->width(), top + arrow->height() };
    int32_t changed = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const size_t at = size_t(y * kWidth + x);
            const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            if (before[at] != after[at]) {
                ++changed;
                ASSERT_TRUE(inBox) << "changed outside the effect at " << x << "," << y;
            }
            const uint16_t pixel = inBox ? getArtPixel(arrow, x - box.left, y - box.top) : 0;
            if (pixel != 0) {
                ASSERT_EQ(after[at], pixel) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 0) << "the effect was drawn";

    missileGumpsCloseAll();
    unwireWalkingAndEffects(tick);
    installWorldService<EffectBuilder>(previousBuilder);
    installWorldService<AttachedEffects>(previousAttached);
    gumpSystemShutdown();
}

} // namespace
