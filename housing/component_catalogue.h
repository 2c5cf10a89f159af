#pragma once
// The seven component tables together, and the page look-ups the house design
// window and the pick tool read through the design engine. Cells are caller
// arrays of 16 art ids (0 = empty cell); tooltips, when asked for, 16 cliloc
// ids; the feature mask out is the shown row's, 0 when none.

#include "housing/component_table.h"

#include <array>
#include <cstdint>
#include <span>

namespace housing {

using PageCells = std::span<int32_t, 16>;

struct ComponentLocation {
    ComponentKind kind = ComponentKind::Walls;
    int32_t category = 0;
    int32_t page = 0;
    bool alternate = false;
};

class HouseComponentCatalogue {
public:
    HouseComponentTable& table(ComponentKind kind);
    const HouseComponentTable& table(ComponentKind kind) const;
    void clear();
    // Frees the seven tables and reads them again through the file manager,
    // so that edited files take effect at the next design start.
    void load();

    // For walls, decorative pieces and roofs. Category -1: the pages of the
    // category list; otherwise the style pages of that category.
    int32_t categoryPageCount(ComponentKind kind, int32_t category) const;

    // Category -1 fills a page of the category list (16 cells); otherwise one
    // style page. Return the cell count.
    int32_t fillWallCells(int32_t category, int32_t page, bool alternate, PageCells cells, int32_t& featureOut,
        int32_t* tooltips = nullptr) const;
    int32_t fillMiscCells(
        int32_t category, int32_t page, PageCells cells, int32_t& featureOut, int32_t* tooltips = nullptr) const;
    int32_t fillRoofCells(
        int32_t category, int32_t page, PageCells cells, int32_t& featureOut, int32_t* tooltips = nullptr) const;

    // Floors, doors, stairs and teleporters: the page with that index.
    int32_t fillPlainCells(ComponentKind kind, int32_t page, PageCells cells, int32_t& featureOut) const;
    int32_t pageCount(ComponentKind kind) const;

    // The stair picker's own layout: directional pieces in cells 4-7, the
    // undirected ones in 10-13, the block in 14 and the first piece again in 15.
    void fillStairCells(int32_t page, PageCells cells, int32_t& featureOut) const;
    int32_t stairMultiInCell(int32_t cell, int32_t page) const;

    // Where the pick tool finds a piece: the first table, row and cell holding it.
    bool locateComponent(int32_t id, ComponentLocation& out) const;
    bool isDoorOrTeleporter(int32_t id) const;
    // 0 for the stair block, 1-4 for the directional pieces, -1 otherwise.
    int32_t stairPieceDirection(int32_t id) const;

private:
    int32_t fillCategoryList(const HouseComponentTable& rows, int32_t page, PageCells cells, int32_t* tooltips) const;
    // One style page of a kind with categories: the row's leading pieces and
    // its feature mask; null (and the cells left as they are) when there is
    // no such page.
    const ComponentRow* fillStylePage(
        ComponentKind kind, int32_t category, int32_t page, PageCells cells, int32_t& featureOut) const;

    std::array<HouseComponentTable, 7> m_tables {
        HouseComponentTable(ComponentKind::Walls),
        HouseComponentTable(ComponentKind::Floors),
        HouseComponentTable(ComponentKind::Doors),
        HouseComponentTable(ComponentKind::Stairs),
        HouseComponentTable(ComponentKind::Misc),
        HouseComponentTable(ComponentKind::Teleporters),
        HouseComponentTable(ComponentKind::Roofs),
    };
};

// The cliloc tooltip of a roof style cell; 0 when it has none.
int32_t roofTooltip(int32_t category, int32_t page, int32_t cell);

} // namespace housing
