// The windows through which the player answers the server, as a player uses
// them: the real program runs headless on the sample data against the test
// server's stage. The boards' use asks for a target, a click on the woman
// answers it and a second target is cancelled by Escape; the deed's use
// shows the house under the pointer and a click places it; a double-click
// on the vendor opens his goods, a double-click on a row fills the bill and
// its accept button signs and buys, the goods coming into the backpack; the
// horse's context menu asks for his name in a text query; the shirt dropped
// on the woman opens a trade, the shirt dragged into the offer goes to the
// server, and the accept box, which the woman answers, swaps the offers; the
// dye tub's use opens the hue picker. The server's answers come back as
// lines of the journal.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "data/targeting.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_scene.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "gump/button.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "protocol/target_cursor.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_trade.h"
#include "support/stage_world.h"
#include "support/world_point.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "windows/bill_gump.h"
#include "windows/container_gump.h"
#include "windows/context_menu.h"
#include "windows/journal.h"
#include "windows/menubar.h"
#include "windows/shop_gump.h"
#include "windows/trade_gump.h"
#include "world/cell_picking.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/multi_preview.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using platform::MessageKind;
constexpr uint32_t kTradeShirtSerial = 0x40000205;

class TradeWindowsSession final : public app_test::SteppedScenario {
private:
    // The journal's line that begins with `start`, or empty.
    static std::string heard(const std::string& start)
    {
        for (const JournalEntry& entry : journal().entries()) {
            if (entry.narrow.rfind(start, 0) == 0)
                return entry.narrow;
        }
        return {};
    }
    bool reported(const std::string& start)
    {
        const std::string line = heard(start);
        if (line.empty())
            return false;
        std::fprintf(stderr, "server: %s\n", line.c_str());
        return true;
    }
    void clickGump(CGump* gump, int32_t x, int32_t y)
    {
        gump->localToScreen(x, y);
        click(x, y);
    }
    // A point of a world object's picture in the game area, or (-1, -1).
    void findOnScreen(uint32_t serial, int32_t& x, int32_t& y)
    {
        test::worldObjectPoint(findObjectBySerial(serial), m_session->mainWindow.gameWidth(),
            m_session->mainWindow.gameHeight(), 2, x, y);
    }
    void clickObject(uint32_t serial, bool twice)
    {
        int32_t x = 0, y = 0;
        findOnScreen(serial, x, y);
        if (twice)
            doubleClick(x, y);
        else
            click(x, y);
    }
    // A drag as a hand makes it: press, a first move, the way there, release.
    void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY)
    {
        const uint32_t now = platform::clock().tickMs();
        post({ MessageKind::MouseMove, 0, 0, fromX, fromY });
        post({ MessageKind::LeftButtonDown, 1, 0, fromX, fromY });
        window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, fromX + 10, fromY + 10 });
        window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, toX, toY });
        window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, toX, toY });
    }
    static ShopGump* vendorShop() { return findShopGump(test::kStageVendorSerial); }
    static bool targetingFor(uint32_t cursor)
    {
        return targetingState().targetingActive && serverTargetCursor().cursorId == cursor;
    }

    void addTargeting()
    {
        step("the stage in the world", nullptr, [this] {
            return settled(loginSession().loggedIn && player() && findObjectBySerial(test::kStageVendorSerial)
                && findObjectBySerial(test::kStageBoardsSerial) && findObjectBySerial(fixture::kSceneWomanSerial));
        });
        step(
            "the boards ask for a target", [this] { clickObject(test::kStageBoardsSerial, true); },
            [] { return targetingFor(test::kStageBoardsCursor); });
        step(
            "the woman is the target", [this] { clickObject(fixture::kSceneWomanSerial, false); },
            [this] { return !targetingState().targetingActive && reported("The boards are aimed at"); });
        step(
            "the boards ask again", [this] { clickObject(test::kStageBoardsSerial, true); },
            [] { return targetingFor(test::kStageBoardsCursor); });
        step(
            "Escape cancels the target", [this] { type("\x1b"); },
            [this] { return !targetingState().targetingActive && reported("Targeting cancelled."); });
    }

    void addShop()
    {
        step(
            "the vendor's goods", [this] { clickObject(test::kStageVendorSerial, true); },
            [] {
                ShopGump* shop = vendorShop();
                return shop && shop->bill() && shop->rowView(0) && shop->rowView(0)->isVisible();
            });
        step(
            "a row into the bill",
            [this] {
                int32_t x = ShopGump::kListLeft + 80, y = ShopGump::kListTop + 20;
                vendorShop()->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                ShopGump* shop = vendorShop();
                if (!shop || shop->shoppingList().nodes().size() != 1)
                    return false;
                std::fprintf(stderr, "bill total %u\n", shop->bill()->total());
                return true;
            });
        step(
            "the bill signed and sent", [this] { clickGump(vendorShop()->bill(), 34 + 8, 196 + 8); },
            [this] { return !vendorShop() && reported("Bought "); });
    }

    void addContextMenu()
    {
        step(
            "the horse's context menu", [this] { clickObject(fixture::kSceneHorseSerial, false); },
            [] {
                ContextMenuGump* menu = contextMenuGump();
                if (!menu || menu->shownTags().size() != 2)
                    return false;
                std::fprintf(stderr, "context menu of %zu rows, more: %s\n", menu->shownTags().size(),
                    menu->hasMoreButton() ? "yes" : "no");
                return true;
            });
        step(
            "the name query from the menu",
            [this] {
                ContextMenuGump* menu = contextMenuGump();
                clickGump(menu, ContextMenuGump::kMargin + 4,
                    ContextMenuGump::kMargin + menu->lineHeight() + menu->lineHeight() / 2);
            },
            [] { return test::findGump("Stringquery gump") != nullptr; });
        step(
            "the horse named", [this] { type("Dobbin\r"); },
            [this] { return !test::findGump("Stringquery gump") && reported("The horse is now called"); });
    }

    void addTrade()
    {
        step(
            "the backpack from the menubar",
            [this] {
                auto* bar = static_cast<Menubar*>(gumpManager().menubar);
                clickGump(bar->button(2), 10, 10);
            },
            [] {
                int32_t x = 0, y = 0;
                return test::backpackItemPoint(kTradeShirtSerial, x, y);
            });
        step(
            "the shirt dropped on the woman",
            [this] {
                // The window out of the way of the woman.
                test::sceneBackpackWindow()->moveTo(400, 240, true, nullptr, false);
                int32_t fromX = 0, fromY = 0, toX = 0, toY = 0;
                test::backpackItemPoint(kTradeShirtSerial, fromX, fromY);
                findOnScreen(fixture::kSceneWomanSerial, toX, toY);
                drag(fromX, fromY, toX, toY);
            },
            [] { return tradeGumpWith(fixture::kSceneWomanSerial) != nullptr; });
        step(
            "the shirt offered",
            [this] {
                int32_t fromX = 0, fromY = 0;
                test::backpackItemPoint(kTradeShirtSerial, fromX, fromY);
                ContainerGump* offer = tradeGumpWith(fixture::kSceneWomanSerial)->myOffer();
                int32_t toX = offer->width() / 2, toY = offer->height() / 2;
                offer->localToScreen(toX, toY);
                drag(fromX, fromY, toX, toY);
            },
            [] {
                Item* shirt = findItemBySerial(kTradeShirtSerial);
                TradeGump* trade = tradeGumpWith(fixture::kSceneWomanSerial);
                return trade && shirt && shirt->container() && shirt->container()->serial == test::kStageMyTradeBoxSerial;
            });
        step(
            "the trade accepted",
            [this] { clickGump(tradeGumpWith(fixture::kSceneWomanSerial), 52 + 4, 29 + 4); },
            [this] {
                Item* gift = findItemBySerial(test::kStageHerGiftSerial);
                return !tradeGumpWith(fixture::kSceneWomanSerial) && gift && !findItemBySerial(kTradeShirtSerial)
                    && gift->container() == findItemBySerial(fixture::kSceneBackpackSerial) && reported("The trade is done.");
            });
    }

    void addPlacementAndDye()
    {
        step(
            "the deed's house under the pointer",
            [this] {
                int32_t x = 0, y = 0;
                test::backpackItemPoint(test::kStageDeedSerial, x, y);
                doubleClick(x, y);
            },
            [] { return targetingFor(test::kStageDeedCursor) && multiPreview() && !multiPreview()->components().empty(); });
        step(
            "the house placed", [this] { clickObject(test::kStageVendorSerial, false); },
            [this] { return !targetingState().targetingActive && reported("The house would stand at"); });
        step(
            "the dye tub's hue picker",
            [this] {
                int32_t x = 0, y = 0;
                test::backpackItemPoint(test::kStageDyeTubSerial, x, y);
                doubleClick(x, y);
            },
            [this] {
                if (!test::findGump("hue gump"))
                    return false;
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "trade_windows_session.png");
                std::fprintf(stderr, "hue picker open\n");
                end();
                return true;
            });
    }

    void addSteps() override
    {
        addLoginRoad();
        addTargeting();
        addShop();
        addContextMenu();
        addTrade();
        addPlacementAndDye();
    }
};

[[noreturn]] void playTradeWindows(const fixture::ClientDirectory& client)
{
    TradeWindowsSession session;
    app_test::playAgainstStage(client, session);
}

class HeadlessTradeWindows : public app_test::HeadlessClientTest {
protected:
    HeadlessTradeWindows()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessTradeWindows, TargetsPlacementShopContextMenuQueryTradeAndDyeWorkAgainstTheServer)
{
    EXPECT_EXIT(playTradeWindows(client), ::testing::ExitedWithCode(0),
        "server: The boards are aimed at 0x00000301.\n"
        "server: Targeting cancelled.\n"
        "bill total 100\n"
        "server: Bought 1 kinds for 100 gold.\n"
        "context menu of 2 rows, more: yes\n"
        "server: The horse is now called Dobbin.\n"
        "server: The trade is done.\n"
        "server: The house would stand at [0-9]+, [0-9]+.\n"
        "hue picker open\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
