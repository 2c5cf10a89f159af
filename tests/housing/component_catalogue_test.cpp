#include "fixtures/house_table_files.h"
#include "housing/component_catalogue.h"

#include <gtest/gtest.h>

using housing::ComponentKind;
using housing::ComponentLocation;
using housing::HouseComponentCatalogue;

namespace {

class Catalogue : public testing::Test {
protected:
    void load(ComponentKind kind, const fixture::HouseTableFile& file)
    {
        catalogue.table(kind).loadFromBytes(kind, file.text());
    }

    HouseComponentCatalogue catalogue;
    std::array<int32_t, 16> cells {};
    std::array<int32_t, 16> tooltips {};
    int32_t feature = -1;
};

TEST_F(Catalogue, AlternateWallsWithAFirstAlternate)
{
    // category page tooltip, pieces 0-7, alternates 0-5, feature
    load(ComponentKind::Walls,
        fixture::HouseTableFile().row({ 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 90, 91, 92, 93, 94, 95, 8 }));
    EXPECT_EQ(catalogue.fillWallCells(0, 0, true, cells, feature), 8);
    EXPECT_EQ(feature, 8);
    std::array<int32_t, 16> expected = { 90, 91, 94, 13, 92, 93, 95, 17 };
    EXPECT_EQ(cells, expected);

    catalogue.fillWallCells(0, 0, false, cells, feature);
    expected = { 10, 11, 12, 13, 14, 15, 16, 17 };
    EXPECT_EQ(cells, expected);
}

TEST_F(Catalogue, AlternateWallsWithoutAFirstAlternateChangeOnlyCellsOneAndFive)
{
    load(ComponentKind::Walls,
        fixture::HouseTableFile()
            .row({ 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 0, 91, 92, 93, 94, 95 })
            .row({ 0, 1, 0, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 93, 94, 95 }));
    catalogue.fillWallCells(0, 0, true, cells, feature);
    std::array<int32_t, 16> expected = { 10, 91, 12, 13, 14, 92, 16, 17 };
    EXPECT_EQ(cells, expected);
    catalogue.fillWallCells(0, 1, true, cells, feature);
    expected = { 10, 11, 12, 13, 14, 15, 16, 17 };
    EXPECT_EQ(cells, expected) << "zero alternates keep the normal pieces";
}

TEST_F(Catalogue, CategoryListPagesShowHeaderPicturesAndTooltips)
{
    fixture::HouseTableFile file;
    // 18 categories, each a header row plus one more style page.
    for (int32_t category = 0; category < 18; ++category) {
        file.row({ category, 0, 5000 + category, 0, 0, 0, 0, 700 + category, 0, 0, 0, 1 });
        file.row({ category, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 2 });
    }
    load(ComponentKind::Misc, file);
    EXPECT_EQ(catalogue.categoryPageCount(ComponentKind::Misc, -1), 2);
    EXPECT_EQ(catalogue.categoryPageCount(ComponentKind::Misc, 3), 2);
    EXPECT_EQ(catalogue.categoryPageCount(ComponentKind::Misc, 18), 0);

    EXPECT_EQ(catalogue.fillMiscCells(-1, 1, cells, feature, tooltips.data()), 16);
    EXPECT_EQ(cells[0], 716);
    EXPECT_EQ(cells[1], 717);
    EXPECT_EQ(cells[2], 0);
    EXPECT_EQ(tooltips[1], 5017);
    EXPECT_EQ(feature, 0);

    catalogue.fillMiscCells(-1, 9, cells, feature, tooltips.data());
    EXPECT_EQ(cells[15], 715) << "a page past the end shows the first page";

    EXPECT_EQ(catalogue.fillMiscCells(4, 1, cells, feature), 8);
    EXPECT_EQ(cells[7], 8);
    EXPECT_EQ(feature, 2);
    EXPECT_EQ(catalogue.fillMiscCells(4, 7, cells, feature), 8);
    EXPECT_EQ(cells[0], 0) << "no such style page";
}

TEST_F(Catalogue, RowsFiledUnderCategoryMinusOneAddListPages)
{
    load(ComponentKind::Roofs,
        fixture::HouseTableFile()
            .row({ 0, 0, 7000, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 })
            .row({ -1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 }));
    EXPECT_EQ(catalogue.categoryPageCount(ComponentKind::Roofs, -1), 2);
    EXPECT_EQ(catalogue.categoryPageCount(ComponentKind::Floors, -1), 0);
}

struct RoofTooltipCase {
    const char* name;
    int32_t category;
    int32_t page;
    int32_t cell;
    int32_t tooltip;
};

class RoofTooltips : public testing::TestWithParam<RoofTooltipCase> { };

TEST_P(RoofTooltips, FollowTheCategoryAndPage)
{
    const RoofTooltipCase& c = GetParam();
    EXPECT_EQ(housing::roofTooltip(c.category, c.page, c.cell), c.tooltip);
}

INSTANTIATE_TEST_SUITE_P(Cells, RoofTooltips,
    testing::Values(RoofTooltipCase { "Plain0", 0, 0, 0, 1070640 }, RoofTooltipCase { "Plain14", 5, 0, 14, 1070654 },
        RoofTooltipCase { "Plain15None", 5, 0, 15, 0 }, RoofTooltipCase { "PlainPage1None", 3, 1, 0, 0 },
        RoofTooltipCase { "Group6Cell10", 6, 0, 10, 1070650 }, RoofTooltipCase { "Group6Cell11", 6, 0, 11, 1070652 },
        RoofTooltipCase { "Group7Page1Cell2", 7, 1, 2, 1070659 }, RoofTooltipCase { "Group8Cell6", 8, 0, 6, 1070680 },
        RoofTooltipCase { "Group13Cell8", 13, 0, 8, 1070666 },
        RoofTooltipCase { "Group9Page1Cell12", 9, 1, 12, 1070679 },
        RoofTooltipCase { "Category14Cell14None", 14, 1, 14, 0 },
        RoofTooltipCase { "Category15Cell14", 15, 1, 14, 1070689 },
        RoofTooltipCase { "Category15Cell5", 15, 1, 5, 1070682 },
        RoofTooltipCase { "Category16Cell15", 16, 1, 15, 1070654 },
        RoofTooltipCase { "Category17Cell5None", 17, 1, 5, 0 }, RoofTooltipCase { "Category18None", 18, 0, 0, 0 },
        RoofTooltipCase { "Page2None", 16, 2, 1, 0 }),
    [](const testing::TestParamInfo<RoofTooltipCase>& p) { return std::string(p.param.name); });

TEST_F(Catalogue, RoofStylePagesCarryTheirTooltips)
{
    load(ComponentKind::Roofs,
        fixture::HouseTableFile().row({ 8, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 4 }));
    EXPECT_EQ(catalogue.fillRoofCells(8, 0, cells, feature, tooltips.data()), 16);
    EXPECT_EQ(cells[15], 16);
    EXPECT_EQ(feature, 4);
    EXPECT_EQ(tooltips[7], 1070681);
}

TEST_F(Catalogue, StairPagesShowTheFirstDirectionalPieceTwice)
{
    // page, block, pieces 0-7, multis 0-3, feature
    load(ComponentKind::Stairs, fixture::HouseTableFile().row({ 3, 99, 1, 2, 3, 4, 5, 6, 7, 8, 41, 42, 43, 44, 16 }));
    catalogue.fillStairCells(3, cells, feature);
    std::array<int32_t, 16> expected = { 0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 5, 6, 7, 8, 99, 1 };
    EXPECT_EQ(cells, expected);
    EXPECT_EQ(feature, 16);
    EXPECT_EQ(catalogue.stairMultiInCell(4, 3), 41);
    EXPECT_EQ(catalogue.stairMultiInCell(7, 3), 44);
    EXPECT_EQ(catalogue.stairMultiInCell(8, 3), 0);
    EXPECT_EQ(catalogue.stairMultiInCell(4, 2), 0);

    EXPECT_EQ(catalogue.stairPieceDirection(99), 0);
    EXPECT_EQ(catalogue.stairPieceDirection(1), 1);
    EXPECT_EQ(catalogue.stairPieceDirection(4), 4);
    EXPECT_EQ(catalogue.stairPieceDirection(5), -1);

    catalogue.fillStairCells(0, cells, feature);
    EXPECT_EQ(cells, (std::array<int32_t, 16> {})) << "no such page";
}

TEST_F(Catalogue, PlainPagesAndCounts)
{
    load(ComponentKind::Doors,
        fixture::HouseTableFile().row({ 0, 1, 2, 3, 4, 5, 6, 7, 8 }).row({ 1, 9, 9, 9, 9, 9, 9, 9, 9, 1 }));
    EXPECT_EQ(catalogue.pageCount(ComponentKind::Doors), 2);
    EXPECT_EQ(catalogue.pageCount(ComponentKind::Walls), 0);
    EXPECT_EQ(catalogue.fillPlainCells(ComponentKind::Doors, 1, cells, feature), 8);
    EXPECT_EQ(cells[7], 9);
    EXPECT_EQ(feature, 1);
    EXPECT_EQ(catalogue.fillPlainCells(ComponentKind::Floors, 0, cells, feature), 16);
    EXPECT_EQ(cells[0], 0);
}

TEST_F(Catalogue, LocateSearchesTheTablesInOrder)
{
    load(ComponentKind::Walls,
        fixture::HouseTableFile().row({ 2, 5, 0, 10, 11, 12, 13, 14, 15, 16, 17, 500, 0, 0, 0, 0, 0 }));
    load(ComponentKind::Floors,
        fixture::HouseTableFile().row({ 4, 17, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44 }));
    load(ComponentKind::Teleporters,
        fixture::HouseTableFile().row({ 6, 30, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 700 }));
    load(ComponentKind::Roofs,
        fixture::HouseTableFile().row({ 3, 1, 0, 800, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));

    ComponentLocation where;
    ASSERT_TRUE(catalogue.locateComponent(17, where));
    EXPECT_EQ(where.kind, ComponentKind::Walls) << "walls come before floors";
    EXPECT_EQ(where.category, 2);
    EXPECT_EQ(where.page, 5);
    EXPECT_FALSE(where.alternate);

    ASSERT_TRUE(catalogue.locateComponent(500, where));
    EXPECT_TRUE(where.alternate);

    ASSERT_TRUE(catalogue.locateComponent(30, where));
    EXPECT_EQ(where.kind, ComponentKind::Floors);
    EXPECT_EQ(where.page, 4);

    ASSERT_TRUE(catalogue.locateComponent(800, where));
    EXPECT_EQ(where.kind, ComponentKind::Roofs);
    EXPECT_EQ(where.category, 3);

    EXPECT_FALSE(catalogue.locateComponent(12345, where));
    EXPECT_FALSE(catalogue.locateComponent(0, where)) << "an empty cell is no piece";

    EXPECT_TRUE(catalogue.isDoorOrTeleporter(30));
    EXPECT_FALSE(catalogue.isDoorOrTeleporter(700)) << "the teleporter's feature column is no piece";
    EXPECT_FALSE(catalogue.isDoorOrTeleporter(0));
}

} // namespace
