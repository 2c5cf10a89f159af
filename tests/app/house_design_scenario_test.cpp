// The house designer as a player uses it: the real program runs headless on
// the sample data against the test server's stage, where the player stands
// in his own house. The house's design comes when the client asks for its
// revision; saying "design" opens the design window; the floors button and a
// piece of its page choose what to place, and a click in the world places it
// on the house at once and tells the server; the actions button shows the
// design actions and Commit keeps the design on the server, which ends
// design mode and sends the new design. Designing again, a piece placed and
// Revert bring the kept design back; a right click closes the window, which
// tells the server the player left design mode.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "fixtures/client_directory.h"
#include "fixtures/facet_writer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "housing/house_design_gump.h"
#include "housing/house_designer.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_house.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "world/cell_grid.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/multi_components.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
// Local points of the design window's buttons and picker cells.
constexpr int32_t kFloorsButtonX = 70 + 8;
constexpr int32_t kFloorsButtonY = 40 + 8;
constexpr int32_t kActionsButtonX = 69 + 8;
constexpr int32_t kActionsButtonY = 100 + 8;
constexpr int32_t kSecondCellX = 132 + 47 + 20;
constexpr int32_t kSecondCellY = 36 + 20;
constexpr int32_t kCommitX = 390 + 30;
constexpr int32_t kCommitY = 50 + 10;
constexpr int32_t kRevertX = 390 + 30;
constexpr int32_t kRevertY = 90 + 10;
constexpr uint16_t kPlacedPiece = fixture::kSampleRoof;

class HouseDesignSession final : public app_test::SteppedScenario {
private:
    static Item* house() { return findItemBySerial(test::kStageHouseSerial); }
    static bool houseHas(int32_t dx, int32_t dy, int32_t dz, uint16_t graphic)
    {
        Item* item = house();
        return item && item->multi() && item->multi()->find(dx, dy, dz, graphic);
    }
    static bool stageHeard(uint16_t command)
    {
        std::vector<uint16_t> heard = test::stageHouseCommands();
        return std::find(heard.begin(), heard.end(), command) != heard.end();
    }
    // The held button of the last click has come up.
    void press(int32_t x, int32_t y)
    {
        m_clickedAt = platform::clock().tickMs();
        click(x, y);
    }
    bool released() const { return platform::clock().tickMs() - m_clickedAt > 2 * test::kClickPressMs; }
    void clickWindow(int32_t x, int32_t y)
    {
        housing::HouseDesignGump* window = housing::houseDesignGump();
        window->localToScreen(x, y);
        press(x, y);
    }
    // Clicks the game-area point of the land cell (dx, dy) from the player,
    // below the design window.
    void clickCellBesidePlayer(int32_t dx, int32_t dy)
    {
        const PlayerMobile* self = player();
        for (int32_t py = 240; py < m_session->mainWindow.gameHeight(); py += 2)
            for (int32_t px = 0; px < m_session->mainWindow.gameWidth(); px += 2)
                if (WorldObject* land = worldCellGrid().findLandAt(px, py);
                    land && land->x == self->x + dx && land->y == self->y + dy) {
                    press(px, py);
                    return;
                }
    }
    void rightClick(int32_t x, int32_t y)
    {
        post({ MessageKind::MouseMove, 0, 0, x, y });
        post({ MessageKind::RightButtonDown, 2, 0, x, y });
        post({ MessageKind::RightButtonUp, 0, 0, x, y });
    }
    // Cells beside the house's porch, where design mode puts the player, in
    // the house's own coordinates (the porch lies outside the north wall).
    static int32_t besideX(int32_t dx) { return dx; }
    static int32_t besideY(int32_t dy = 0) { return dy - 4; }

    void addSteps() override
    {
        addLoginRoad();
        step("the house and its design", nullptr, [this] {
            Item* item = house();
            MultiCacheEntry* design = multiCache().find(test::kStageHouseSerial);
            if (!settled(loginSession().loggedIn && item && item->multi() && design))
                return false;
            // The support table was read at start-up, before any design.
            std::fprintf(stderr, "house design received: %zu records; %zu support records\n", design->records.size(),
                housing::houseDesigner().supportTable().size());
            return true;
        });
        step(
            "design mode from speech", [this] { type("design\r"); },
            [] {
                housing::HouseDesigner& designer = housing::houseDesigner();
                if (!housing::houseDesignGump() || !designer.isPlayerInDesign() || player()->x != house()->x
                    || player()->y != house()->y + besideY())
                    return false;
                std::fprintf(stderr, "design window open: %d floors, budget %d/%d\n", designer.floorCount(),
                    designer.componentBudget(), designer.specialBudget());
                return true;
            });
        step(
            "the floors page", [this] { clickWindow(kFloorsButtonX, kFloorsButtonY); },
            [this] {
                housing::HouseDesignGump* window = housing::houseDesignGump();
                return released() && window && window->panel() == housing::HouseDesignGump::kFloorPanel;
            });
        step(
            "a piece of the floors page", [this] { clickWindow(kSecondCellX, kSecondCellY); },
            [this] { return housing::houseDesigner().currentComponent() == kPlacedPiece && released(); });
        step(
            "the piece placed in the world", [this] { clickCellBesidePlayer(1, 2); },
            [this] {
                if (!released() || !houseHas(besideX(1), besideY(2), 0, kPlacedPiece) || !stageHeard(6))
                    return false;
                std::fprintf(stderr, "piece placed at %d,%d and sent\n", besideX(1), besideY(2));
                return true;
            });
        step(
            "the design actions", [this] { clickWindow(kActionsButtonX, kActionsButtonY); },
            [this] {
                housing::HouseDesignGump* window = housing::houseDesignGump();
                return released() && window && window->panel() == housing::HouseDesignGump::kActionPanel;
            });
        step(
            "the design committed",
            [this] { clickWindow(kCommitX, kCommitY); },
            [] {
                MultiCacheEntry* design = multiCache().find(test::kStageHouseSerial);
                if (housing::houseDesignGump() || !stageHeard(4) || !stageHeard(12) || !design
                    || design->revision != 2 || !houseHas(besideX(1), besideY(2), 0, kPlacedPiece))
                    return false;
                std::fprintf(stderr, "committed; the server's design keeps the piece\n");
                return true;
            });
        step(
            "designing again", [this] { type("design\r"); },
            [] { return housing::houseDesignGump() != nullptr && housing::houseDesigner().isPlayerInDesign(); });
        step(
            "the floors page again", [this] { clickWindow(kFloorsButtonX, kFloorsButtonY); },
            [this] {
                housing::HouseDesignGump* window = housing::houseDesignGump();
                return released() && window && window->panel() == housing::HouseDesignGump::kFloorPanel;
            });
        step(
            "the same piece again", [this] { clickWindow(kSecondCellX, kSecondCellY); },
            [this] { return housing::houseDesigner().currentComponent() == kPlacedPiece && released(); });
        step(
            "a second piece placed", [this] { clickCellBesidePlayer(2, 2); },
            [this] { return released() && houseHas(besideX(2), besideY(2), 0, kPlacedPiece); });
        step(
            "the design actions", [this] { clickWindow(kActionsButtonX, kActionsButtonY); },
            [this] {
                housing::HouseDesignGump* window = housing::houseDesignGump();
                return released() && window && window->panel() == housing::HouseDesignGump::kActionPanel;
            });
        step(
            "reverted",
            [this] { clickWindow(kRevertX, kRevertY); },
            [] {
                if (!stageHeard(26) || !stageHeard(15) || houseHas(besideX(2), besideY(2), 0, kPlacedPiece)
                    || !houseHas(besideX(1), besideY(2), 0, kPlacedPiece))
                    return false;
                std::fprintf(stderr, "reverted to the kept design\n");
                return true;
            });
        step(
            "the window closed",
            [this] {
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "house_design_session.png");
                housing::HouseDesignGump* window = housing::houseDesignGump();
                rightClick(window->x() + 20, window->y() + 30);
            },
            [this] {
                if (housing::houseDesignGump() || housing::houseDesigner().isDesigning())
                    return false;
                std::vector<uint16_t> heard = test::stageHouseCommands();
                std::fprintf(stderr, "left design mode; the server heard %zu exits\n",
                    size_t(std::count(heard.begin(), heard.end(), uint16_t(12))));
                end();
                return true;
            });
    }

    uint32_t m_clickedAt { 0 };
};

} // namespace

namespace {

[[noreturn]] void playHouseDesign(const fixture::ClientDirectory& client)
{
    HouseDesignSession session;
    app_test::playAgainstStage(client, session);
}

class HeadlessHouseDesign : public app_test::HeadlessClientTest {
protected:
    HeadlessHouseDesign()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessHouseDesign, DesignModePlacesCommitsRevertsAndLeavesAgainstTheServer)
{
    EXPECT_EXIT(playHouseDesign(client), ::testing::ExitedWithCode(0),
        "house design received: 43 records; 2 support records\n"
        "design window open: 3 floors, budget [0-9]+/[0-9]+\n"
        "piece placed at [-0-9]+,[-0-9]+ and sent\n"
        "committed; the server's design keeps the piece\n"
        "reverted to the kept design\n"
        "left design mode; the server heard 2 exits\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
