// The radar as a player uses it: the real program runs headless on the
// sample data against the test server's stage. Alt+R opens the small radar
// at the top left with the land round the player; a double click on it
// gives the large one in its place, the menubar's map button the small one
// again; a right click closes it and the program ends cleanly.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_radar_art.h"
#include "gump/button.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "protocol/login_state.h"
#include "support/shown_picture.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "windows/menubar.h"
#include "windows/radar_gump.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using platform::MessageKind;
constexpr int32_t kMapButton = 0;

class RadarSession final : public app_test::SteppedScenario {
private:
    static Menubar* menubar()
    {
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    // A point on the radar below the menubar.
    static void radarPoint(int32_t& x, int32_t& y)
    {
        RadarGump* radar = openRadarGump();
        x = radar->x() + radar->width() / 2;
        y = radar->y() + radar->height() * 3 / 4;
    }
    // The picture shows the sample facet's land (64 cells each way): a good
    // part of its colours are neither the key colour nor black.
    static bool showsLand(const RadarGump& radar)
    {
        int32_t coloured = 0;
        for (uint16_t cell : radar.picture())
            coloured += (cell & 0x7FFF) != 0 && cell != RadarGump::kKeyColour555 ? 1 : 0;
        return coloured > int32_t(radar.picture().size()) / 4;
    }

    void addSteps() override
    {
        addLoginRoad();
        step("the menubar in the world", nullptr,
            [this] { return settled(loginSession().loggedIn && player() && menubar() && !openRadarGump()); });
        step(
            "Alt+R",
            [this] {
                window().setKeyHeld(platform::vk::kAlt, true);
                post({ MessageKind::SysKeyDown, uint32_t(platform::vk::letter('R')), 1, 0, 0 });
            },
            [this] {
                RadarGump* radar = openRadarGump();
                if (!radar || radar->face() != RadarGump::kSmallFace || !showsLand(*radar))
                    return false;
                window().setKeyHeld(platform::vk::kAlt, false);
                std::fprintf(stderr, "small radar at %d,%d showing the land\n", radar->x(), radar->y());
                return true;
            });
        step(
            "a double click on it",
            [this] {
                int32_t x = 0, y = 0;
                radarPoint(x, y);
                doubleClick(x, y);
            },
            [this] {
                RadarGump* radar = openRadarGump();
                if (!radar || radar->face() != RadarGump::kLargeFace || !showsLand(*radar))
                    return false;
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "radar_session.png");
                std::fprintf(stderr, "large radar at %d,%d\n", radar->x(), radar->y());
                return true;
            });
        step(
            "the menubar's map button",
            [this] {
                CGump* button = menubar()->button(kMapButton);
                int32_t x = 10, y = 10;
                button->localToScreen(x, y);
                click(x, y);
            },
            [] {
                RadarGump* radar = openRadarGump();
                if (!radar || radar->face() != RadarGump::kSmallFace)
                    return false;
                std::fprintf(stderr, "small radar again\n");
                return true;
            });
        step(
            "a right click",
            [this] {
                int32_t x = 0, y = 0;
                radarPoint(x, y);
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::RightButtonDown, 2, 0, x, y });
                post({ MessageKind::RightButtonUp, 0, 0, x, y });
            },
            [this] {
                if (openRadarGump())
                    return false;
                std::fprintf(stderr, "radar closed\n");
                end();
                return true;
            });
    }
};

[[noreturn]] void playRadar(const fixture::ClientDirectory& client)
{
    RadarSession session;
    app_test::playAgainstStage(client, session, false, test::stageShardConfig());
}

class HeadlessRadar : public app_test::HeadlessClientTest {
protected:
    HeadlessRadar()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessRadar, AltROpensTheRadarWhichSwapsItsFacesAndCloses)
{
    EXPECT_EXIT(playRadar(client), ::testing::ExitedWithCode(0),
        "small radar at 0,0 showing the land\n"
        "large radar at 0,0\n"
        "small radar again\n"
        "radar closed\n");
}

} // namespace
