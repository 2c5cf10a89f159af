// The mahjong board in the running program, against the test server's stage,
// as a player meets it: a double click on the table beside the house seats
// the player with three robots and deals; a tile dragged from the wall is
// sent and answered by a robot's discard; a double click on the dice rolls
// them; a right click on the board asks whether to leave, and OK closes the
// board and tells the server.

#include "app/scenario_runner.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "mahjong/mahjong_board_gump.h"
#include "mahjong/mahjong_piece_gumps.h"
#include "messenger/messenger_window.h"
#include "platform/clock.h"
#include "support/stage_mahjong.h"

#include "headless_client_fixture.h"
#include "stage_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using app_test::StageLog;
using app_test::StageScenario;
using platform::MessageKind;

// The top tile of the wall's first stack, and where it is dragged to.
constexpr uint8_t kWallTile = 53;
constexpr int32_t kDropX = 300;
constexpr int32_t kDropY = 440;
// The first tile the robot on the right discards.
constexpr uint8_t kDiscardTile = 39;

mahjong::MahjongBoardGump* board() { return mahjong::openMahjongBoardGump(); }

bool sent(uint16_t subcommand)
{
    const std::vector<uint16_t> requests = test::stageMahjongRequests();
    return std::find(requests.begin(), requests.end(), subcommand) != requests.end();
}

class MahjongSession final : public StageScenario {
public:
    explicit MahjongSession(test::StageWorld& stage)
        : StageScenario(stage)
    {
    }

private:
    void addSteps() override
    {
        step("the table",
            [this] {
                int32_t x = 0, y = 0;
                findOnScreen(test::kStageMahjongTable, x, y);
                doubleClick(x, y);
            },
            [] {
                mahjong::MahjongTable* table = mahjong::getMahjongTable();
                if (!table || !table->ownSeat() || table->seats().size() != 4)
                    return false;
                mahjong::MahjongTileGump* tile = board()->tileGump(kWallTile);
                if (!tile || tile->isSliding() || tile->x() != 195)
                    return false;
                say("seated at table seat " + std::to_string(test::kStageMahjongPlayerSeat) + " of kind "
                    + std::to_string(table->ownSeat()->kind) + " with " + std::to_string(table->seats().size() - 1)
                    + " robots");
                return true;
            });
        step("a tile dragged from the wall",
            [this] {
                int32_t x = 10, y = 15;
                board()->tileGump(kWallTile)->localToScreen(x, y);
                const int32_t toX = x + kDropX - 195;
                const int32_t toY = y + kDropY - 250;
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, (x + toX) / 2, (y + toY) / 2 });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, toX, toY });
                window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, toX, toY });
            },
            [] {
                mahjong::MahjongTable* table = mahjong::getMahjongTable();
                if (!table || !sent(mahjong::kMahjongMoveTile) || !table->findTile(kDiscardTile)->isFaceUp())
                    return false;
                const mahjong::MahjongTile* moved = table->findTile(kWallTile);
                say("the tile lies at " + std::to_string(moved->x) + "," + std::to_string(moved->y)
                    + " and a robot discards");
                return true;
            });
        step("the dice rolled",
            [this] {
                int32_t x = 4, y = 4;
                board()->dice()->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                mahjong::MahjongTable* table = mahjong::getMahjongTable();
                if (!table || !sent(mahjong::kMahjongRollDice) || table->die1() == 1)
                    return false;
                say("the dice show " + std::to_string(board()->dice()->value(0)) + " and "
                    + std::to_string(board()->dice()->value(1)));
                return true;
            });
        step("the leave question",
            [this] {
                int32_t x = 60, y = 60;
                board()->localToScreen(x, y);
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::RightButtonDown, 2, 0, x, y });
                post({ MessageKind::RightButtonUp, 0, 0, x, y });
            },
            [] { return board() && board()->leaveQuestion(); });
        step("left the table",
            [this] {
                auto* question = static_cast<MessengerWindow*>(board()->leaveQuestion());
                int32_t x = 2, y = 2;
                question->messengerButton(MessengerButton::Ok)->localToScreen(x, y);
                click(x, y);
            },
            [] {
                if (board() || !sent(mahjong::kMahjongBoardClosed))
                    return false;
                const std::vector<uint16_t> requests = test::stageMahjongRequests();
                say("the board closed; the server heard " + std::to_string(requests.size()) + " requests, "
                    + std::to_string(std::count(requests.begin(), requests.end(), mahjong::kMahjongBoardClosed))
                    + " of them the close");
                return true;
            });
        addQuitStep();
    }
};

class HeadlessMahjong : public app_test::HeadlessClientTest {
protected:
    HeadlessMahjong()
        : HeadlessClientTest("600000")
    {
    }

    [[noreturn]] void play()
    {
        test::StageWorld stage;
        StageLog log;
        MahjongSession session(stage);
        app_test::playStageScenario(client.path(), stage, log, session);
    }
};

TEST_F(HeadlessMahjong, TheTableSeatsThePlayerAndTilesDiceAndLeavingReachTheServer)
{
    EXPECT_EXIT(play(), ::testing::ExitedWithCode(0),
        "seated at table seat 1 of kind 1 with 3 robots\n"
        "the tile lies at 300,440 and a robot discards\n"
        "the dice show 6 and 6\n"
        "the board closed; the server heard 3 requests, 1 of them the close\n");
}

} // namespace
