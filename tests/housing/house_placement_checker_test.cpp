#include "fixtures/drawn_house.h"
#include "housing/house_placement_checker.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

using fixture::DrawnHouse;
using housing::HousePlacementChecker;
using housing::PlacementVerdict;

namespace {

class PlacementChecker : public testing::Test {
protected:
    PlacementChecker() { m_support.loadFromBytes(fixture::drawnHouseSupportInfo()); }

    // Builds a checker for the drawn house and rebuilds it from the house's
    // component list.
    HousePlacementChecker& build(const DrawnHouse& house)
    {
        m_checker = std::make_unique<HousePlacementChecker>(m_support, m_tiles, house.frame());
        fixture::DrawnHouseLists lists;
        lists.houses[kDrawnSerial] = house.components();
        EXPECT_TRUE(m_checker->rebuild(kDrawnSerial, lists));
        return *m_checker;
    }

    PlacementVerdict verdictOf(const DrawnHouse& house) { return build(house).allFloorsLegal(); }

    static constexpr uint32_t kDrawnSerial = 0x40000001;

    housing::SupportInfoTable m_support;
    fixture::DrawnHouseTiles m_tiles;
    std::unique_ptr<HousePlacementChecker> m_checker;
};

void expectRefusal(const PlacementVerdict& verdict, const char* message, int32_t x, int32_t y, int32_t floor)
{
    EXPECT_FALSE(verdict.legal);
    ASSERT_NE(verdict.message, nullptr);
    EXPECT_STREQ(verdict.message, message);
    EXPECT_EQ(verdict.x, x);
    EXPECT_EQ(verdict.y, y);
    EXPECT_EQ(verdict.floor, floor);
    EXPECT_EQ(verdict.hue, 946) << "refusals are shown in hue 946";
    EXPECT_EQ(verdict.font, 1);
}

TEST_F(PlacementChecker, GroundFloorPiecesAreSupportedAwayFromTheWestColumnAndNorthRow)
{
    EXPECT_TRUE(verdictOf(
        { { {
            "....",
            ".FF.",
            ".FF.",
        } } }).legal);
    expectRefusal(verdictOf({ { {
                      "....",
                      ".FF.",
                      "FFF.",
                  } } }),
        "Illegal Floor!", 0, 2, 0);
}

// What "span" means here: the cells one floor span walks, from a cell that
// floor support already reaches to the next such cell, counting every cell
// stepped onto, the one it ends on included. A wall below carries the cell
// above it, and a carried cell that holds floor lends reach to its four side
// neighbours; so with floor over every cell from one wall to the other, the
// span runs from the cell next to one wall to the cell next to the other, and
// walls `span + 2` cells apart leave a span of `span` cells. Up to 18 cells a
// span holds; from 19 on, every cell between the two lent-reach ends is left
// unsupported, whichever way the row runs.
struct SpanCase {
    const char* name;
    int32_t span;
    bool alongY;
    bool holds;
};

class PlacementSpan : public PlacementChecker, public testing::WithParamInterface<SpanCase> {
protected:
    static constexpr int32_t kFirstWall = 2;
    static constexpr int32_t kRow = 2;

    // Walls on grid floor 0 at both ends, floor over every cell from wall to
    // wall on grid floor 1; the row runs along x, or along y when transposed.
    static DrawnHouse spanHouse(int32_t span, bool alongY)
    {
        int32_t secondWall = kFirstWall + span + 2;
        int32_t length = secondWall + 2;
        std::vector<std::string> walls(size_t(length), std::string(size_t(length), '.'));
        std::vector<std::string> floor = walls;
        for (int32_t i = kFirstWall; i <= secondWall; ++i) {
            char& cell = alongY ? floor[size_t(i)][kRow] : floor[kRow][size_t(i)];
            cell = 'F';
        }
        for (int32_t end : { kFirstWall, secondWall })
            (alongY ? walls[size_t(end)][kRow] : walls[kRow][size_t(end)]) = 'W';
        return DrawnHouse { { walls, floor } };
    }

    bool floorSupportedAt(int32_t along) const
    {
        int32_t x = GetParam().alongY ? kRow : along;
        int32_t y = GetParam().alongY ? along : kRow;
        return m_checker->isSupported(fixture::drawnPieceId('F'), 1000 + x, 1000 + y, fixture::drawnFloorZ(1));
    }
};

TEST_P(PlacementSpan, HoldsUpToEighteenCells)
{
    const SpanCase& c = GetParam();
    PlacementVerdict verdict = verdictOf(spanHouse(c.span, c.alongY));
    int32_t firstEnd = kFirstWall + 1;
    int32_t secondEnd = firstEnd + c.span;
    EXPECT_TRUE(floorSupportedAt(firstEnd)) << "a carried cell lends reach to its neighbour";
    EXPECT_TRUE(floorSupportedAt(secondEnd));
    if (c.holds) {
        EXPECT_TRUE(verdict.legal) << (verdict.message ? verdict.message : "");
        return;
    }
    int32_t firstBad = firstEnd + 1;
    expectRefusal(verdict, "Illegal Floor!", c.alongY ? kRow : firstBad, c.alongY ? firstBad : kRow, 1);
    for (int32_t along = firstBad; along < secondEnd; ++along)
        EXPECT_FALSE(floorSupportedAt(along)) << "no span covers cell " << along;
}

INSTANTIATE_TEST_SUITE_P(Rows, PlacementSpan,
    testing::Values(SpanCase { "OneCell", 1, false, true }, SpanCase { "EighteenCells", 18, false, true },
        SpanCase { "NineteenCells", 19, false, false }, SpanCase { "TwentyFiveCells", 25, false, false },
        SpanCase { "EighteenCellsAlongY", 18, true, true }, SpanCase { "NineteenCellsAlongY", 19, true, false }),
    [](const testing::TestParamInfo<SpanCase>& p) { return std::string(p.param.name); });

TEST_F(PlacementChecker, AFloorOverATallSurfacePieceIsIllegal)
{
    DrawnHouse held { {
        {
            ".....",
            "..W..",
            ".....",
        },
        {
            ".....",
            ".FF..",
            ".....",
        },
    } };
    EXPECT_TRUE(verdictOf(held).legal) << "the wall's reach holds its neighbour";

    DrawnHouse overTall { {
        {
            ".....",
            ".TW..",
            ".....",
        },
        {
            ".....",
            ".FF..",
            ".....",
        },
    } };
    expectRefusal(verdictOf(overTall), "Illegal Floor!", 1, 1, 1);
}

TEST_F(PlacementChecker, ATallSurfacePieceOnTheTopFloorIsIllegal)
{
    expectRefusal(verdictOf({ { {
                      "...",
                      ".T.",
                  } } }),
        "Illegal Floor!", 1, 1, 0);
    EXPECT_TRUE(verdictOf(
        { {
            {
                "...",
                ".T.",
            },
            {},
        } }).legal);
}

TEST_F(PlacementChecker, NeighbourSupportDoesNotChain)
{
    EXPECT_TRUE(verdictOf(
        { { {
            ".....",
            ".Wo..",
        } } }).legal)
        << "a connecting neighbour of a supported object holds it";
    expectRefusal(verdictOf({ { {
                      ".....",
                      ".Woo.",
                  } } }),
        "Illegal Object!", 3, 1, 0);
}

TEST_F(PlacementChecker, EdgeCellsNeedTheEdgeFlags)
{
    expectRefusal(verdictOf({ { {
                      ".....",
                      "W....",
                  } } }),
        "Illegal Object!", 0, 1, 0);
    EXPECT_TRUE(verdictOf(
        { { {
            "c.n..",
            "w....",
        } } }).legal);
    expectRefusal(verdictOf({ { {
                      "w....",
                      ".....",
                  } } }),
        "Illegal Object!", 0, 0, 0);
}

struct ScanCase {
    const char* name;
    DrawnHouse house;
    const char* message;
    int32_t x;
    int32_t y;
    int32_t floor;
};

class PlacementScanOrder : public PlacementChecker, public testing::WithParamInterface<ScanCase> { };

TEST_P(PlacementScanOrder, ReportsTheFirstBadCellColumnByColumn)
{
    const ScanCase& c = GetParam();
    expectRefusal(verdictOf(c.house), c.message, c.x, c.y, c.floor);
}

INSTANTIATE_TEST_SUITE_P(Houses, PlacementScanOrder,
    testing::Values(ScanCase { "ColumnBeforeRow",
                        { { {
                            "..W.",
                            "....",
                            "....",
                            ".o..",
                        } } },
                        "Illegal Object!", 1, 3, 0 },
        ScanCase { "LowerFloorFirst",
            { {
                {
                    "....",
                    "...o",
                },
                {
                    "....",
                    ".F..",
                },
            } },
            "Illegal Object!", 3, 1, 0 },
        ScanCase { "UnheldRoofAbove",
            { {
                {
                    "....",
                    "....",
                },
                {
                    "....",
                    "..R.",
                },
            } },
            "Illegal Roof!", 2, 1, 1 }),
    [](const testing::TestParamInfo<ScanCase>& p) { return std::string(p.param.name); });

TEST_F(PlacementChecker, WithinACellAnObjectComesBeforeAFloorBeforeARoof)
{
    DrawnHouse house { { {
                             "...",
                             "...",
                         },
        {
            "...",
            "...",
        } } };
    HousePlacementChecker& checker = build(house);
    int32_t z = fixture::drawnFloorZ(1);
    checker.fileComponent(1, 1, z, fixture::drawnPieceId('R'));
    checker.rebuildSupport();
    expectRefusal(checker.allFloorsLegal(), "Illegal Roof!", 1, 1, 1);
    checker.fileComponent(1, 1, z, fixture::drawnPieceId('F'));
    checker.rebuildSupport();
    expectRefusal(checker.allFloorsLegal(), "Illegal Floor!", 1, 1, 1);
    checker.fileComponent(1, 1, z, fixture::drawnPieceId('o'));
    checker.rebuildSupport();
    expectRefusal(checker.allFloorsLegal(), "Illegal Object!", 1, 1, 1);
}

TEST_F(PlacementChecker, RoofPiecesAreJudgedHigher)
{
    HousePlacementChecker& checker = build({ { { "." }, { "." } } });
    EXPECT_EQ(checker.gridFloorOf(fixture::drawnPieceId('R'), 24), 1);
    EXPECT_EQ(checker.gridFloorOf(fixture::drawnPieceId('F'), 24), 0);
    EXPECT_EQ(checker.gridFloorOf(fixture::drawnPieceId('F'), 6), -1) << "the foundation is not in the grid";
    m_tiles.set(1436, 5, kTileRoof);
    EXPECT_EQ(checker.gridFloorOf(1436, 21), 1) << "a lowered roof piece is judged 6 higher";
    EXPECT_EQ(checker.gridFloorOf(fixture::drawnPieceId('F'), 500), 3);
}

TEST_F(PlacementChecker, PiecesOutsideTheGridCountAsSupported)
{
    HousePlacementChecker& checker = build({ { {
        "...",
        ".F.",
    } } });
    uint16_t floor = fixture::drawnPieceId('F');
    EXPECT_TRUE(checker.isSupported(floor, 1000 + 40, 1001, fixture::drawnFloorZ(0)));
    EXPECT_TRUE(checker.isSupported(floor, 1001, 1001, 2)) << "foundation level";
    EXPECT_TRUE(checker.isSupported(floor, 999, 1001, fixture::drawnFloorZ(0)));
    EXPECT_TRUE(checker.isSupported(fixture::drawnPieceId('W'), 1001, 1001, fixture::drawnFloorZ(0)))
        << "a piece the cell does not hold";
}

struct OversizeCase {
    const char* name;
    housing::HouseFrame frame;
};

class PlacementCheckerOversize : public PlacementChecker, public testing::WithParamInterface<OversizeCase> { };

// A house the grid cannot hold is never written into and is never legal; its
// refusal carries no message of its own.
TEST_P(PlacementCheckerOversize, IsRefusedWithoutTouchingTheGrid)
{
    HousePlacementChecker checker(m_support, m_tiles, GetParam().frame);
    EXPECT_FALSE(checker.fitsGrid());
    checker.clear();
    for (int32_t x = -2; x < 45; ++x) {
        for (int32_t y = -2; y < 45; ++y)
            checker.fileComponent(x, y, fixture::drawnFloorZ(1), fixture::drawnPieceId('F'));
    }
    checker.rebuildSupport();
    for (int32_t floor = 0; floor < 4; ++floor)
        checker.computeFloorSupport(floor);
    PlacementVerdict verdict = checker.allFloorsLegal();
    EXPECT_FALSE(verdict.legal);
    EXPECT_EQ(verdict.message, nullptr);
    EXPECT_EQ(checker.cell(5, 5, 1)->floorId, 0) << "nothing was filed";
    EXPECT_TRUE(checker.isSupported(fixture::drawnPieceId('F'), 1005, 1005, fixture::drawnFloorZ(1)));
}

INSTANTIATE_TEST_SUITE_P(Frames, PlacementCheckerOversize,
    testing::Values(OversizeCase { "Wide", { 1000, 1000, 0, 1000, 1039, 1000, 1010, 3 } },
        OversizeCase { "Deep", { 1000, 1000, 0, 1000, 1010, 1000, 1032, 3 } },
        OversizeCase { "ReversedWide", { 1000, 1000, 0, 1039, 1000, 1000, 1010, 3 } },
        OversizeCase { "ExtremeBounds", { 0, 0, 0, INT_MIN, INT_MAX, INT_MIN, INT_MAX, 4 } },
        OversizeCase { "FiveFloors", { 1000, 1000, 0, 1000, 1010, 1000, 1010, 5 } },
        OversizeCase { "NoFloors", { 1000, 1000, 0, 1000, 1010, 1000, 1010, 0 } }),
    [](const testing::TestParamInfo<OversizeCase>& p) { return std::string(p.param.name); });

TEST_F(PlacementChecker, TheLargestHouseTheGridHoldsIsChecked)
{
    housing::HouseFrame frame { 1000, 1000, 0, 1000, 1031, 1000, 1031, 4 };
    HousePlacementChecker checker(m_support, m_tiles, frame);
    ASSERT_TRUE(checker.fitsGrid());
    checker.clear();
    checker.fileComponent(31, 31, fixture::drawnFloorZ(3), fixture::drawnPieceId('T'));
    checker.rebuildSupport();
    expectRefusal(checker.allFloorsLegal(), "Illegal Floor!", 31, 31, 3);
}

class PlacementRebuild : public PlacementChecker {
protected:
    static constexpr uint32_t kHouse = 0x40001234;
    // A house standing at (1005, 1003) whose bounds start at (1000, 1000):
    // its list's offsets are from the house position, not from the bounds.
    static constexpr housing::HouseFrame kFrame { 1005, 1003, 0, 1000, 1009, 1000, 1009, 3 };

    static housing::HouseComponent floorAt(int32_t gridX, int32_t gridY)
    {
        return { fixture::drawnPieceId('F'), int16_t(gridX - 5), int16_t(gridY - 3),
            int16_t(fixture::drawnFloorZ(0)) };
    }

    fixture::DrawnHouseLists m_lists;
    HousePlacementChecker m_rebuilt { m_support, m_tiles, kFrame };
};

TEST_F(PlacementRebuild, FilesTheHousesListAfresh)
{
    m_lists.houses[kHouse] = { floorAt(2, 2), floorAt(0, 4) };
    ASSERT_TRUE(m_rebuilt.rebuild(kHouse, m_lists));
    EXPECT_NE(m_rebuilt.cell(2, 2, 0)->floorId, 0);
    expectRefusal(m_rebuilt.allFloorsLegal(), "Illegal Floor!", 0, 4, 0);

    m_lists.houses[kHouse] = { floorAt(2, 2) };
    ASSERT_TRUE(m_rebuilt.rebuild(kHouse, m_lists));
    EXPECT_TRUE(m_rebuilt.allFloorsLegal().legal) << "a piece gone from the list is forgotten";
    EXPECT_EQ(m_rebuilt.cell(0, 4, 0)->floorId, 0);
}

TEST_F(PlacementRebuild, WithoutTheHouseKeepsWhatWasFiled)
{
    m_lists.houses[kHouse] = { floorAt(0, 4) };
    ASSERT_TRUE(m_rebuilt.rebuild(kHouse, m_lists));
    EXPECT_FALSE(m_rebuilt.rebuild(kHouse + 1, m_lists));
    expectRefusal(m_rebuilt.allFloorsLegal(), "Illegal Floor!", 0, 4, 0);
}

} // namespace
