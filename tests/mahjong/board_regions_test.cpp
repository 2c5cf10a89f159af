#include "mahjong/board_regions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mahjong;

namespace {

struct RegionCase {
    const char* name;
    int16_t x;
    int16_t y;
    uint8_t region;
    int32_t seat;
};

class FindRegion : public testing::TestWithParam<RegionCase> { };

TEST_P(FindRegion, TheFirstMatchingRowWins)
{
    const RegionCase& c = GetParam();
    EXPECT_EQ(findRegion(c.x, c.y), c.region);
    EXPECT_EQ(seatOfRegion(c.region), c.seat);
}

INSTANTIATE_TEST_SUITE_P(Points, FindRegion,
    testing::Values(RegionCase { "LeftHandStrip", 20, 200, 0, -1 }, RegionCase { "LeftSideZone", 100, 200, 8, 0 },
        RegionCase { "CornerIsWholeBoard", 160, 160, 13, -1 }, RegionCase { "OffBoard", 700, 10, kNoRegion, -1 },
        RegionCase { "BottomRightCorner", 520, 600, 13, -1 }, RegionCase { "OwnHandStrip", 300, 650, 1, -1 },
        RegionCase { "OwnSideZone", 300, 600, 9, -1 }, RegionCase { "TopInnerStrip", 300, 150, 7, 3 },
        RegionCase { "RightSideZone", 600, 300, 10, 2 }, RegionCase { "RightInnerStrip", 500, 300, 6, 2 },
        RegionCase { "LeftInnerStrip", 150, 300, 4, 0 }, RegionCase { "Centre", 300, 300, 12, -1 },
        RegionCase { "NegativePoint", -1, 300, kNoRegion, -1 }, RegionCase { "InclusiveEdge", 669, 669, 13, -1 }),
    [](const testing::TestParamInfo<RegionCase>& p) { return std::string(p.param.name); });

TEST(PieceExtent, SwapsForSidewaysDirections)
{
    EXPECT_EQ(pieceExtent(1, 20, 30).ex, 20);
    EXPECT_EQ(pieceExtent(0, 20, 30).ex, 30);
    EXPECT_EQ(pieceExtent(2, 20, 30).ey, 20);
    EXPECT_EQ(pieceExtent(4, 20, 30).ex, -1);
}

struct SnapCase {
    const char* name;
    uint8_t direction;
    int16_t width;
    int16_t height;
    int16_t grid;
    BoardPosition from;
    BoardPosition to;
};

class SnapPiece : public testing::TestWithParam<SnapCase> { };

TEST_P(SnapPiece, KeepsPiecesOnTheGridAndTheBoard)
{
    const SnapCase& c = GetParam();
    BoardPosition position = c.from;
    snapPiece(c.direction, c.width, c.height, c.grid, c.grid, position);
    EXPECT_EQ(position, c.to);
}

INSTANTIATE_TEST_SUITE_P(Positions, SnapPiece,
    testing::Values(SnapCase { "TilePastTheRightEdge", 1, 20, 30, 5, { 663, 12, 3 }, { 650, 10, 0 } },
        SnapCase { "TileLeftOfTheBoard", 1, 20, 30, 5, { -3, 7, 0 }, { 0, 5, 0 } },
        SnapCase { "SidewaysTileAtTheBottom", 0, 20, 30, 5, { 100, 669, 0 }, { 100, 650, 0 } },
        SnapCase { "DealerGridOne", 1, 40, 20, 1, { 633, 651, 0 }, { 630, 650, 0 } },
        SnapCase { "ZeroGridCountsAsOne", 1, 20, 30, 0, { 101, 102, 0 }, { 101, 102, 0 } }),
    [](const testing::TestParamInfo<SnapCase>& p) { return std::string(p.param.name); });

MahjongTile tileAt(uint8_t number, int16_t x, int16_t y, int16_t height, uint8_t direction = 1)
{
    MahjongTile tile;
    tile.number = number;
    tile.x = x;
    tile.y = y;
    tile.height = height;
    tile.direction = direction;
    return tile;
}

TEST(StackHeight, CountsOnlyOverlappingFootprints)
{
    std::vector<MahjongTile> tiles = { tileAt(0, 100, 100, 0) };
    EXPECT_EQ(stackHeightAt(tiles, 99, 1, { 115, 125, 0 }), 1);
    EXPECT_EQ(stackHeightAt(tiles, 99, 1, { 120, 100, 0 }), 0) << "the first tile covers x 100 to 119";
    EXPECT_EQ(stackHeightAt(tiles, 0, 1, { 100, 100, 0 }), 0) << "the tile itself is left out";
    tiles.push_back(tileAt(1, 110, 110, 1));
    tiles.push_back(tileAt(2, 105, 105, 0));
    EXPECT_EQ(stackHeightAt(tiles, 99, 1, { 105, 105, 0 }), 2);
}

TEST(TakeRules, OnlyTheTopOfAStackOutsideForeignStrips)
{
    std::vector<MahjongTile> tiles = { tileAt(0, 300, 5, 0), tileAt(1, 300, 300, 0), tileAt(2, 310, 310, 1),
        tileAt(3, 400, 400, 1), tileAt(4, 300, 640, 0) };
    EXPECT_FALSE(canTakeTile(tiles, 1, 1, tiles[0].position(), 0)) << "in the top hand strip";
    EXPECT_FALSE(canTakeTile(tiles, 1, 1, tiles[1].position(), 1)) << "covered by tile 2";
    EXPECT_TRUE(canTakeTile(tiles, 1, 1, tiles[2].position(), 2));
    EXPECT_FALSE(canTakeTile(tiles, 1, 1, tiles[3].position(), 3)) << "height 1 with nothing under it";
    EXPECT_TRUE(canTakeTile(tiles, 1, 1, tiles[4].position(), 4)) << "the player's own hand strip";
}

TEST(MoveRules, IntoAndOutOfTheOwnHandStrip)
{
    std::vector<MahjongTile> tiles = { tileAt(0, 300, 300, 0) };
    EXPECT_TRUE(canMoveTile(tiles, 1, 1, { 300, 300, 0 }, 1, { 300, 640, 0 }, 0));
    tiles[0] = tileAt(0, 300, 640, 0);
    EXPECT_TRUE(canMoveTile(tiles, 1, 1, { 300, 640, 0 }, 1, { 300, 300, 0 }, 0));
    EXPECT_FALSE(canMoveTile(tiles, 1, 1, { 300, 640, 0 }, 1, { 302, 300, 0 }, 0)) << "off the 5-pixel grid";
    EXPECT_FALSE(canMoveTile(tiles, 1, 1, { 300, 640, 0 }, 1, { 300, 10, 0 }, 0)) << "into a foreign strip";
    EXPECT_FALSE(canMoveTile(tiles, 1, 1, { 300, 640, 0 }, 1, { 655, 300, 0 }, 0)) << "off the board";
    EXPECT_FALSE(canMoveTile(tiles, 1, 1, { 300, 640, 0 }, 1, { 300, 300, 1 }, 0)) << "height must match the stack";
}

TEST(PlaceTile, MovesATileOutOfAForeignStripToTheNearestSide)
{
    std::vector<MahjongTile> tiles;
    BoardPosition position { 300, 10, 0 };
    ASSERT_TRUE(placeTile(tiles, 1, 1, position, 0));
    EXPECT_EQ(position, (BoardPosition { 300, 35, 0 }));

    // Left strip: nearest is its right side.
    position = { 20, 300, 0 };
    ASSERT_TRUE(placeTile(tiles, 1, 1, position, 0));
    EXPECT_EQ(position, (BoardPosition { 35, 300, 0 }));
}

TEST(PlaceTile, StacksOnWhatLiesUnder)
{
    std::vector<MahjongTile> tiles = { tileAt(7, 300, 300, 0) };
    BoardPosition position { 312, 303, 0 };
    ASSERT_TRUE(placeTile(tiles, 1, 1, position, 0));
    EXPECT_EQ(position, (BoardPosition { 310, 300, 1 }));
}

TEST(RelocateTile, LeavesFreeAndOwnPlacesAlone)
{
    std::vector<MahjongTile> tiles;
    BoardPosition position { 300, 300, 0 };
    EXPECT_TRUE(relocateTile(tiles, 1, 1, position, 0));
    EXPECT_EQ(position, (BoardPosition { 300, 300, 0 }));
    position = { 300, 640, 0 };
    EXPECT_TRUE(relocateTile(tiles, 1, 1, position, 0));
    EXPECT_EQ(position, (BoardPosition { 300, 640, 0 }));
    position = { 700, 700, 0 };
    EXPECT_FALSE(relocateTile(tiles, 1, 1, position, 0)) << "in no region";
}

} // namespace
