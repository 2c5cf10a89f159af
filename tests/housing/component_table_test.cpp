#include "fixtures/house_table_files.h"
#include "housing/component_table.h"
#include "housing/support_info_table.h"
#include "housing/table_text_reader.h"

#include <gtest/gtest.h>

#include <numeric>

using housing::ComponentKind;
using housing::ComponentRow;
using housing::HouseComponentTable;
using housing::SupportInfoTable;

namespace {

std::vector<int32_t> countingNumbers(int count, int32_t first = 1)
{
    std::vector<int32_t> numbers(static_cast<size_t>(count));
    std::iota(numbers.begin(), numbers.end(), first);
    return numbers;
}

HouseComponentTable readTable(ComponentKind kind, const std::string& text)
{
    HouseComponentTable table;
    table.loadFromBytes(kind, text);
    return table;
}

struct ThresholdCase {
    const char* name;
    ComponentKind kind;
    int numbers;
    bool kept;
};

class ComponentRowThreshold : public testing::TestWithParam<ThresholdCase> { };

TEST_P(ComponentRowThreshold, KeepsRowsWithTheKindsMinimumColumns)
{
    const ThresholdCase& c = GetParam();
    HouseComponentTable table = readTable(c.kind, fixture::HouseTableFile().row(countingNumbers(c.numbers)).text());
    ASSERT_EQ(table.size(), c.kept ? 1u : 0u);
    if (c.kept && c.numbers < housing::componentKindInfo(c.kind).columns) {
        EXPECT_EQ(table.rows()[0].featureMask, 0) << "a missing last column stays 0";
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ComponentRowThreshold,
    testing::Values(ThresholdCase { "Walls17", ComponentKind::Walls, 17, true },
        ThresholdCase { "Walls16", ComponentKind::Walls, 16, false },
        ThresholdCase { "Floors17", ComponentKind::Floors, 17, true },
        ThresholdCase { "Floors16", ComponentKind::Floors, 16, false },
        ThresholdCase { "Doors9", ComponentKind::Doors, 9, true },
        ThresholdCase { "Doors8", ComponentKind::Doors, 8, false },
        ThresholdCase { "Stairs14", ComponentKind::Stairs, 14, true },
        ThresholdCase { "Stairs13", ComponentKind::Stairs, 13, false },
        ThresholdCase { "Misc11", ComponentKind::Misc, 11, true },
        ThresholdCase { "Misc10", ComponentKind::Misc, 10, false },
        ThresholdCase { "Teleporters17", ComponentKind::Teleporters, 17, true },
        ThresholdCase { "Teleporters16", ComponentKind::Teleporters, 16, false },
        ThresholdCase { "Roofs18", ComponentKind::Roofs, 18, true },
        ThresholdCase { "Roofs17", ComponentKind::Roofs, 17, false },
        ThresholdCase { "RoofsAll20", ComponentKind::Roofs, 20, true }),
    [](const testing::TestParamInfo<ThresholdCase>& p) { return std::string(p.param.name); });

TEST(ComponentTable, ColumnsLandInTheirFieldsByKind)
{
    HouseComponentTable walls
        = readTable(ComponentKind::Walls, fixture::HouseTableFile().row(countingNumbers(18)).text());
    ASSERT_EQ(walls.size(), 1u);
    const ComponentRow& wall = walls.rows()[0];
    EXPECT_EQ(wall.category, 1);
    EXPECT_EQ(wall.pageIndex, 2);
    EXPECT_EQ(wall.categoryTooltip, 3);
    EXPECT_EQ(wall.pieces[0], 4);
    EXPECT_EQ(wall.pieces[7], 11);
    EXPECT_EQ(wall.pieces[8], 0) << "walls use only eight pieces";
    EXPECT_EQ(wall.alternatePieces[0], 12);
    EXPECT_EQ(wall.alternatePieces[5], 17);
    EXPECT_EQ(wall.featureMask, 18);

    HouseComponentTable stairs
        = readTable(ComponentKind::Stairs, fixture::HouseTableFile().row(countingNumbers(15)).text());
    ASSERT_EQ(stairs.size(), 1u);
    const ComponentRow& stair = stairs.rows()[0];
    EXPECT_EQ(stair.pageIndex, 1);
    EXPECT_EQ(stair.pieces[8], 2) << "the stair block comes second";
    EXPECT_EQ(stair.pieces[0], 3);
    EXPECT_EQ(stair.pieces[7], 10);
    EXPECT_EQ(stair.stairMultis[0], 11);
    EXPECT_EQ(stair.stairMultis[3], 14);
    EXPECT_EQ(stair.featureMask, 15);

    HouseComponentTable roofs
        = readTable(ComponentKind::Roofs, fixture::HouseTableFile().row(countingNumbers(18)).text());
    ASSERT_EQ(roofs.size(), 1u);
    EXPECT_EQ(roofs.rows()[0].pieces[14], 18);
    EXPECT_EQ(roofs.rows()[0].pieces[15], 0);
    EXPECT_EQ(roofs.rows()[0].featureMask, 0);
}

TEST(ComponentTable, TwoHeaderReadsAreSkippedAndTheLastLineNeedsNoLineEnd)
{
    EXPECT_EQ(readTable(ComponentKind::Doors, fixture::HouseTableFile().text()).size(), 0u);
    // A header made of numbers is still a header.
    HouseComponentTable numericHeaders = readTable(ComponentKind::Doors,
        fixture::HouseTableFile("1 2 3 4 5 6 7 8 9 10", "1 2 3 4 5 6 7 8 9 10").row(countingNumbers(10, 100)).text());
    ASSERT_EQ(numericHeaders.size(), 1u);
    EXPECT_EQ(numericHeaders.rows()[0].pageIndex, 100);

    HouseComponentTable unterminated = readTable(ComponentKind::Doors,
        fixture::HouseTableFile().row(countingNumbers(10)).row(countingNumbers(10, 50)).withoutFinalLineEnd().text());
    ASSERT_EQ(unterminated.size(), 2u);
    EXPECT_EQ(unterminated.rows()[1].pageIndex, 50);
}

TEST(ComponentTable, ALongHeaderLineCountsAsTwoReads)
{
    // The first header is longer than one read, so its tail is the second
    // skipped read and the real second header line is parsed (and dropped).
    std::string longHeader(300, '#');
    HouseComponentTable table = readTable(ComponentKind::Doors,
        fixture::HouseTableFile(longHeader, "1 2 3 4 5 6 7 8 9 10").row(countingNumbers(10, 7)).text());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.rows()[0].pageIndex, 1);
    EXPECT_EQ(table.rows()[1].pageIndex, 7);
}

TEST(ComponentTable, StopsAtTheRowLimit)
{
    fixture::HouseTableFile file;
    for (int32_t page = 0; page <= int32_t(housing::kMaxComponentRows); ++page)
        file.row(countingNumbers(9, page));
    HouseComponentTable table = readTable(ComponentKind::Doors, file.text());
    ASSERT_EQ(table.size(), housing::kMaxComponentRows);
    EXPECT_EQ(table.rows().back().pageIndex, int32_t(housing::kMaxComponentRows) - 1);
}

TEST(ComponentTable, ANumberThatNamesNoKindReadsNothing)
{
    HouseComponentTable table = readTable(ComponentKind(8), fixture::HouseTableFile().row(countingNumbers(20)).text());
    EXPECT_EQ(table.size(), 0u);
    EXPECT_FALSE(table.load(ComponentKind(0)));
    EXPECT_EQ(table.size(), 0u);
}

struct BadLineCase {
    const char* name;
    std::string line;
};

class ComponentTableBadLine : public testing::TestWithParam<BadLineCase> { };

TEST_P(ComponentTableBadLine, IsDroppedAndTheOtherRowsStay)
{
    HouseComponentTable table = readTable(ComponentKind::Doors,
        fixture::HouseTableFile()
            .row(countingNumbers(10))
            .rawLine(GetParam().line)
            .row(countingNumbers(10, 20))
            .text());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.rows()[0].pageIndex, 1);
    EXPECT_EQ(table.rows()[1].pageIndex, 20);
}

INSTANTIATE_TEST_SUITE_P(Lines, ComponentTableBadLine,
    testing::Values(BadLineCase { "Empty", "" }, BadLineCase { "Words", "page one two three" },
        BadLineCase { "ShortRow", "1 2 3 4 5 6 7 8" },
        BadLineCase { "OverflowingNumber", "1 2 3 4 5 6 99999999999 8 9 10" },
        BadLineCase { "CommaSeparated", "1,2,3,4,5,6,7,8,9,10" },
        BadLineCase { "NulInside", std::string("1 2 3 4\0 5 6 7 8 9 10", 21) },
        BadLineCase { "LoneSign", "1 2 3 - 5 6 7 8 9 10" }),
    [](const testing::TestParamInfo<BadLineCase>& p) { return std::string(p.param.name); });

TEST(TableTextReader, ScansTheInt32RangeAndStopsPastIt)
{
    std::array<int32_t, 3> out {};
    EXPECT_EQ(housing::scanNumbers("-2147483648 2147483647 2147483648", out), 2);
    EXPECT_EQ(out[0], INT32_MIN);
    EXPECT_EQ(out[1], INT32_MAX);
    EXPECT_EQ(out[2], 0);
}

TEST(TableTextReader, SplitsLongLinesIntoReadsOfAtMost254)
{
    std::string bytes = std::string(600, '7') + "\r\nnext\r\n";
    std::vector<std::string_view> reads = housing::splitTableReads(bytes);
    ASSERT_EQ(reads.size(), 5u);
    EXPECT_EQ(reads[0].size(), 254u);
    EXPECT_EQ(reads[1].size(), 254u);
    EXPECT_EQ(reads[2], std::string(92, '7') + "\r\n");
    EXPECT_EQ(reads[3], "next\r\n");
    EXPECT_EQ(reads[4], "") << "the read that meets the end";
}

TEST(SupportInfoTable, TheFirstLineForAnIdWins)
{
    SupportInfoTable table;
    table.loadFromBytes(fixture::supportInfoText({
        { "wall", 100, { housing::kSupportDirect, housing::kSupportWestColumn } },
        { "wall-again", 100, { housing::kSupportNorthRow } },
        { "post", 200, { housing::kSupportCorner } },
    }));
    EXPECT_EQ(table.size(), 2u);
    EXPECT_TRUE(table.mayStandOnWestColumn(100));
    EXPECT_FALSE(table.mayStandOnNorthRow(100));
    EXPECT_TRUE(table.mayStandOnCorner(200));
    EXPECT_FALSE(table.mayStandOnCorner(0));
    EXPECT_FALSE(table.mayStandOnCorner(300));
}

TEST(SupportInfoTable, EachColumnSetsItsOwnFlag)
{
    for (int flag = 0; flag < 14; ++flag) {
        SupportInfoTable table;
        table.loadFromBytes(fixture::supportInfoText({ { "piece", 5, { flag } } }));
        const housing::SupportFlags* record = table.flags(5);
        ASSERT_NE(record, nullptr);
        for (int other = 0; other < 14; ++other)
            EXPECT_EQ(record->has(other), other == flag) << "flag " << flag << " set, " << other << " read";
    }
}

TEST(SupportInfoTable, LinesWithoutAllSixteenFieldsAreIgnored)
{
    std::string text = fixture::supportInfoText({ { "kept", 1, { 1 } } });
    text += "short 2 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"; // fifteen fields
    text += "7 3 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"; // a number is a fine name
    text += "    \r\n";
    text += "bad 4 1 1 1 x 1 1 1 1 1 1 1 1 1 1\r\n";
    SupportInfoTable table;
    table.loadFromBytes(text);
    EXPECT_NE(table.flags(1), nullptr);
    EXPECT_EQ(table.flags(2), nullptr);
    EXPECT_NE(table.flags(3), nullptr);
    EXPECT_EQ(table.flags(4), nullptr);
}

TEST(SupportInfoTable, ALongNameIsSkippedWithoutACopy)
{
    // The name is read into nothing, so any name that fits in a read works.
    std::string name(200, 'n');
    SupportInfoTable table;
    table.loadFromBytes(fixture::supportInfoText({ { name, 9, { housing::kSupportCarriesFloor } } }));
    EXPECT_TRUE(table.hasFlag(9, housing::kSupportCarriesFloor));
}

struct ConnectCase {
    const char* name;
    int flagA;
    int flagB;
    int dx;
    int dy;
    bool connects;
};

class SupportConnects : public testing::TestWithParam<ConnectCase> { };

TEST_P(SupportConnects, MatchesFacingSidesOnTheSameLevel)
{
    const ConnectCase& c = GetParam();
    SupportInfoTable table;
    table.loadFromBytes(fixture::supportInfoText({ { "a", 10, { c.flagA } }, { "b", 20, { c.flagB } } }));
    EXPECT_EQ(table.connects(10, 20, c.dx, c.dy), c.connects);
    EXPECT_FALSE(table.connects(10, 0, c.dx, c.dy));
    EXPECT_FALSE(table.connects(10, 99, c.dx, c.dy));
}

using namespace housing;
INSTANTIATE_TEST_SUITE_P(Truth, SupportConnects,
    testing::Values(ConnectCase { "WestLower", kConnectWestLower, kConnectEastLower, -1, 0, true },
        ConnectCase { "WestUpper", kConnectWestUpper, kConnectEastUpper, -1, 0, true },
        ConnectCase { "WestMixedLevels", kConnectWestLower, kConnectEastUpper, -1, 0, false },
        ConnectCase { "WestWrongSide", kConnectEastLower, kConnectWestLower, -1, 0, false },
        ConnectCase { "EastLower", kConnectEastLower, kConnectWestLower, 1, 0, true },
        ConnectCase { "EastUpper", kConnectEastUpper, kConnectWestUpper, 1, 0, true },
        ConnectCase { "NorthLower", kConnectNorthLower, kConnectSouthLower, 0, -1, true },
        ConnectCase { "NorthUpper", kConnectNorthUpper, kConnectSouthUpper, 0, -1, true },
        ConnectCase { "NorthWrongSide", kConnectSouthLower, kConnectNorthLower, 0, -1, false },
        ConnectCase { "SouthLower", kConnectSouthLower, kConnectNorthLower, 0, 1, true },
        ConnectCase { "SouthUpper", kConnectSouthUpper, kConnectNorthUpper, 0, 1, true },
        ConnectCase { "NoDirection", kConnectSouthUpper, kConnectNorthUpper, 0, 0, false }),
    [](const testing::TestParamInfo<ConnectCase>& p) { return std::string(p.param.name); });

} // namespace
