#include "mahjong/mahjong_table.h"
#include "support/fake_mahjong_board.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

using namespace mahjong;

namespace {

constexpr uint32_t kTableSerial = 0x40000010;
constexpr uint32_t kTablePlayer = 0x00000AAA;

class MahjongTableTest : public testing::Test {
protected:
    MahjongTableTest()
    {
        board.setPlayerSerial(kTablePlayer);
        board.openBoard(kTableSerial);
    }

    MahjongTable& table() { return board.table(); }

    // Seats the player at a table seat, which sets the view rotation.
    void seatPlayerAt(uint8_t tableSeat)
    {
        MahjongSeat seat;
        seat.serial = kTablePlayer;
        seat.kind = kSeatKindPlayer;
        seat.seat = tableSeat;
        table().applySeat(seat);
    }

    // Puts tile `number` at a view position through a server tile record.
    void placeTileInView(uint8_t number, uint8_t direction, BoardPosition position, uint8_t flags = 0)
    {
        MahjongTile record;
        record.number = number;
        record.x = position.x;
        record.y = position.y;
        record.height = position.height;
        record.direction = direction;
        record.flags = flags;
        table().toTableCoords(&record.x, &record.y, record.direction, kTileWidth, kTileHeight);
        table().applyTiles({ &record, 1 });
    }

    test::FakeMahjongBoard board;
};

TEST_F(MahjongTableTest, StartsWithTheWallInTheMiddle)
{
    EXPECT_EQ(table().viewRotation(), 1);
    EXPECT_EQ(table().die1(), 1);
    EXPECT_EQ(table().die2(), 1);
    ASSERT_EQ(table().tiles().size(), 136u);
    struct Expected {
        uint8_t number;
        int16_t height;
        uint8_t direction;
    };
    for (Expected e : { Expected { 0, 0, 3 }, Expected { 16, 0, 3 }, Expected { 17, 1, 3 }, Expected { 34, 0, 1 },
             Expected { 67, 1, 1 }, Expected { 68, 0, 0 }, Expected { 102, 0, 2 }, Expected { 135, 1, 2 } }) {
        const MahjongTile* tile = table().findTile(e.number);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->height, e.height) << int(e.number);
        EXPECT_EQ(tile->direction, e.direction) << int(e.number);
        EXPECT_EQ(tile->x, 323);
        EXPECT_EQ(tile->y, 323);
    }
    EXPECT_EQ(table().findTile(136), nullptr);
}

// A tile's table place and where the player seated at each table seat sees it.
struct ViewCase {
    const char* name;
    uint8_t rotation;
    int16_t x, y;
    uint8_t direction;
    int16_t viewX, viewY;
    uint8_t viewDirection;
};

class MahjongViewCoords : public MahjongTableTest, public testing::WithParamInterface<ViewCase> { };

TEST_P(MahjongViewCoords, TurnTheBoardSoTheOwnSeatIsAtTheBottom)
{
    const ViewCase& c = GetParam();
    seatPlayerAt(c.rotation);
    int16_t x = c.x, y = c.y;
    uint8_t direction = c.direction;
    table().toViewCoords(&x, &y, direction, kTileWidth, kTileHeight);
    EXPECT_EQ(x, c.viewX);
    EXPECT_EQ(y, c.viewY);
    EXPECT_EQ(direction, c.viewDirection);
    table().toTableCoords(&x, &y, direction, kTileWidth, kTileHeight);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(direction, c.direction);
}

INSTANTIATE_TEST_SUITE_P(Seats, MahjongViewCoords,
    testing::Values(ViewCase { "SeatOneIsTheTable", 1, 100, 200, 1, 100, 200, 1 },
        ViewCase { "SeatZeroTurnsAQuarter", 0, 100, 200, 1, 200, 550, 2 },
        ViewCase { "SeatTwoTurnsAQuarterBack", 2, 100, 200, 1, 440, 100, 0 },
        ViewCase { "SeatThreeTurnsHalfWay", 3, 0, 0, 1, 650, 640, 3 }),
    [](const testing::TestParamInfo<ViewCase>& p) { return std::string(p.param.name); });

// For every rotation, direction and piece size, view and table conversions
// undo each other, and the player's own table seat is the bottom view seat.
TEST_F(MahjongTableTest, ConversionsRoundTripOverAllFourViews)
{
    const int16_t sizes[][2]
        = { { kTileWidth, kTileHeight }, { kDealerWidth, kDealerHeight }, { kWallBreakSize, kWallBreakSize } };
    const int16_t coordinates[] = { -40, 0, 5, 117, 323, 650, 669, 700 };
    for (uint8_t rotation = 0; rotation < 4; ++rotation) {
        seatPlayerAt(rotation);
        ASSERT_EQ(table().viewRotation(), rotation);
        EXPECT_EQ(table().seatToView(rotation), 1);
        for (uint8_t seat = 0; seat < 4; ++seat)
            EXPECT_EQ(table().seatToTable(table().seatToView(seat)), seat);
        for (const auto& size : sizes) {
            for (uint8_t direction = 0; direction < 4; ++direction) {
                for (int16_t x : coordinates) {
                    for (int16_t y : coordinates) {
                        int16_t vx = x, vy = y;
                        uint8_t vd = direction;
                        table().toViewCoords(&vx, &vy, vd, size[0], size[1]);
                        ASSERT_LT(vd, 4);
                        int16_t tx = vx, ty = vy;
                        uint8_t td = vd;
                        table().toTableCoords(&tx, &ty, td, size[0], size[1]);
                        ASSERT_EQ(tx, x) << "r" << int(rotation) << " d" << int(direction) << " size " << size[0];
                        ASSERT_EQ(ty, y) << "r" << int(rotation) << " d" << int(direction) << " size " << size[0];
                        ASSERT_EQ(td, direction);
                    }
                }
            }
        }
    }
}

TEST_F(MahjongTableTest, ANewRotationKeepsEveryPieceAtItsTablePlace)
{
    placeTileInView(5, 1, { 100, 200, 0 });
    table().moveDealer(0, 2, { 300, 400, 0 });
    table().moveWallBreak({ 500, 100, 0 });
    board.sent.clear();

    auto tablePlace = [&](const MahjongTile& tile) {
        MahjongTile copy = tile;
        table().toTableCoords(&copy.x, &copy.y, copy.direction, kTileWidth, kTileHeight);
        return copy;
    };
    auto dealerPlace = [&] {
        MahjongDealerIndicator copy = table().dealer();
        table().toTableCoords(&copy.x, &copy.y, copy.direction, kDealerWidth, kDealerHeight);
        return std::tuple(copy.x, copy.y, copy.direction, copy.wind);
    };
    auto wallBreakPlace = [&] {
        MahjongWallBreakIndicator copy = table().wallBreak();
        uint8_t scratch = 0;
        table().toTableCoords(&copy.x, &copy.y, scratch, kWallBreakSize, kWallBreakSize);
        return std::pair(copy.x, copy.y);
    };
    MahjongTile before = tablePlace(*table().findTile(5));
    auto dealerBefore = dealerPlace();
    auto wallBreakBefore = wallBreakPlace();
    seatPlayerAt(2);
    MahjongTile after = tablePlace(*table().findTile(5));
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(after.direction, before.direction);
    EXPECT_EQ(dealerPlace(), dealerBefore);
    EXPECT_EQ(wallBreakPlace(), wallBreakBefore);
    EXPECT_TRUE(board.sent.empty()) << "re-expressing the view sends nothing";

    // Table (100, 200) direction 1 under rotation 1 is the same under rotation 2
    // at view (670 - 200 - 30, 100) = (440, 100) facing 0.
    EXPECT_EQ(table().findTile(5)->x, 440);
    EXPECT_EQ(table().findTile(5)->y, 100);
    EXPECT_EQ(table().findTile(5)->direction, 0);

    seatPlayerAt(0);
    EXPECT_EQ(tablePlace(*table().findTile(5)).x, before.x) << "and again from one turned view to another";
    EXPECT_EQ(tablePlace(*table().findTile(5)).y, before.y);
    EXPECT_EQ(dealerPlace(), dealerBefore);
    EXPECT_EQ(wallBreakPlace(), wallBreakBefore);
}

TEST_F(MahjongTableTest, RestackPutsHigherTilesOnTop)
{
    placeTileInView(9, 1, { 100, 100, 3 });
    placeTileInView(4, 1, { 200, 100, 2 });
    ASSERT_EQ(board.lastStackOrder.size(), 136u);
    EXPECT_EQ(board.lastStackOrder[135], 9);
    EXPECT_EQ(board.lastStackOrder[134], 4);
    // Every tile appears once, and heights never fall going up.
    std::array<int, 136> seen {};
    int16_t previous = -1;
    for (uint8_t number : board.lastStackOrder) {
        ++seen[number];
        EXPECT_GE(table().findTile(number)->height, previous);
        previous = table().findTile(number)->height;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 136);
}

TEST_F(MahjongTableTest, MovingATileSendsThenApplies)
{
    placeTileInView(7, 1, { 100, 100, 0 }, 0x21);
    table().moveTile(7, 1, true, { 300, 300, 0 });
    ASSERT_EQ(board.sent.size(), 1u);
    const MahjongTile* tile = table().findTile(7);
    EXPECT_EQ(tile->x, 300);
    EXPECT_EQ(tile->flags, 0x31) << "face up keeps the other bits";
    table().moveTile(7, 1, false, { 300, 300, 0 });
    EXPECT_EQ(table().findTile(7)->flags, 0) << "face down clears every bit";
    table().moveTile(200, 1, false, { 300, 300, 0 });
    EXPECT_EQ(board.sent.size(), 2u) << "no tile has that number";
}

TEST_F(MahjongTableTest, TurningATileKeepsItsCentre)
{
    placeTileInView(3, 1, { 100, 100, 0 });
    table().rotateTile(3);
    const MahjongTile* tile = table().findTile(3);
    EXPECT_EQ(tile->direction, 2);
    EXPECT_EQ(tile->x, 95);
    EXPECT_EQ(tile->y, 105);
    EXPECT_EQ(board.sent.size(), 1u);
}

TEST_F(MahjongTableTest, ARefusedDropSlidesBackAndSendsNothing)
{
    placeTileInView(3, 1, { 100, 100, 0 });
    int notices = board.tileNotices;
    table().dropTile(3, { 300, 10, 0 });
    EXPECT_TRUE(board.sent.empty());
    EXPECT_EQ(table().findTile(3)->x, 100);
    EXPECT_EQ(board.tileNotices, notices + 1);
    table().dropTile(3, { 300, 300, 0 });
    EXPECT_EQ(board.sent.size(), 1u);
    EXPECT_EQ(table().findTile(3)->y, 300);
}

TEST_F(MahjongTableTest, FlippingReversesFaceUp)
{
    placeTileInView(3, 1, { 100, 100, 0 });
    table().flipTile(3);
    EXPECT_TRUE(table().findTile(3)->isFaceUp());
    table().flipTile(3);
    EXPECT_FALSE(table().findTile(3)->isFaceUp());
}

TEST_F(MahjongTableTest, TheDealerStaysOnTheBoard)
{
    table().dropDealer(660, 640);
    EXPECT_EQ(table().dealer().x, 650);
    EXPECT_EQ(table().dealer().y, 630);
    table().dropDealer(-5, -7);
    EXPECT_EQ(table().dealer().x, 0);
    EXPECT_EQ(table().dealer().y, 0);

    table().advanceWind();
    table().advanceWind();
    EXPECT_EQ(table().dealer().wind, 2);
    table().rotateDealer();
    EXPECT_EQ(table().dealer().direction, 1);
    EXPECT_EQ(table().dealer().x, 0) << "snapped back onto the board";
    EXPECT_EQ(table().dealer().y, 10);
}

TEST_F(MahjongTableTest, RequestsThatNeedASeat)
{
    table().sendRollDice();
    table().setOwnSeatFlag(true);
    EXPECT_TRUE(board.sent.empty()) << "the player is not seated";
    seatPlayerAt(1);
    table().sendRollDice();
    table().setOwnSeatFlag(true);
    EXPECT_EQ(board.sent.size(), 2u);
    EXPECT_EQ(table().ownSeat()->seatFlags, 0u) << "the server's seat update brings the new flags";
}

TEST_F(MahjongTableTest, SeatLookups)
{
    MahjongSeat other;
    other.serial = 0x77;
    other.kind = 0;
    other.seat = 2;
    table().applySeat(other);
    EXPECT_EQ(table().findSeat(2), nullptr) << "a record of kind 0 is never found by seat";
    EXPECT_NE(table().findSeatBySerial(0x77), nullptr);

    board.setPlayerSerial(0);
    MahjongSeat empty;
    empty.kind = kSeatKindManager;
    empty.seat = 3;
    table().applySeat(empty);
    EXPECT_EQ(table().viewRotation(), 1) << "no player: an empty seat names nobody";
    EXPECT_EQ(table().ownSeat(), nullptr);
}

TEST_F(MahjongTableTest, OptionsKeepTheOtherBits)
{
    table().setOption(1, true);
    table().setOption(0, true);
    table().setOption(1, false);
    EXPECT_EQ(table().options(), 1u);
    EXPECT_EQ(board.sent.size(), 3u);
    table().setOption(5, true);
    EXPECT_EQ(board.sent.size(), 3u) << "only the two options exist";
}

} // namespace
