#include "housing/component_catalogue.h"

#include <algorithm>

namespace housing {

namespace {

constexpr int32_t kCellsPerPage = 16;

size_t tableSlot(ComponentKind kind)
{
    int32_t number = int32_t(kind);
    return number >= 1 && number <= 7 ? size_t(number - 1) : 0;
}

void clearCells(PageCells cells, int32_t& featureOut, int32_t* tooltips)
{
    std::fill(cells.begin(), cells.end(), 0);
    featureOut = 0;
    if (tooltips)
        std::fill(tooltips, tooltips + kCellsPerPage, 0);
}

bool hasCategories(ComponentKind kind)
{
    return kind == ComponentKind::Walls || kind == ComponentKind::Misc || kind == ComponentKind::Roofs;
}

// The number of leading pieces a row of this kind shows and searches.
int32_t piecesPerRow(ComponentKind kind)
{
    switch (kind) {
    case ComponentKind::Walls:
    case ComponentKind::Doors:
    case ComponentKind::Misc:
        return 8;
    default:
        return 16;
    }
}

} // namespace

HouseComponentTable& HouseComponentCatalogue::table(ComponentKind kind) { return m_tables[tableSlot(kind)]; }

const HouseComponentTable& HouseComponentCatalogue::table(ComponentKind kind) const
{
    return m_tables[tableSlot(kind)];
}

void HouseComponentCatalogue::clear()
{
    for (HouseComponentTable& rows : m_tables)
        rows.clear();
}

void HouseComponentCatalogue::load()
{
    for (int32_t kind = 1; kind <= 7; ++kind)
        table(ComponentKind(kind)).load(ComponentKind(kind));
}

int32_t HouseComponentCatalogue::categoryPageCount(ComponentKind kind, int32_t category) const
{
    if (!hasCategories(kind))
        return 0;
    int32_t headers = 0;
    int32_t matching = 0;
    for (const ComponentRow& row : table(kind).rows()) {
        if (row.categoryTooltip != 0)
            ++headers;
        if (row.category == category)
            ++matching;
    }
    if (category != -1)
        return matching;
    // A row filed under category -1 adds a page of its own to the list.
    return (headers + kCellsPerPage - 1) / kCellsPerPage + matching;
}

int32_t HouseComponentCatalogue::fillCategoryList(
    const HouseComponentTable& rows, int32_t page, PageCells cells, int32_t* tooltips) const
{
    if (page < 0 || page >= categoryPageCount(rows.kind(), -1))
        page = 0;
    int32_t first = page * kCellsPerPage;
    int32_t position = 0;
    for (const ComponentRow& row : rows.rows()) {
        if (row.categoryTooltip == 0)
            continue;
        int32_t cell = position - first;
        ++position;
        if (cell < 0)
            continue;
        if (cell >= kCellsPerPage)
            break;
        cells[size_t(cell)] = row.pieces[4];
        if (tooltips)
            tooltips[cell] = row.categoryTooltip;
    }
    return kCellsPerPage;
}

const ComponentRow* HouseComponentCatalogue::fillStylePage(
    ComponentKind kind, int32_t category, int32_t page, PageCells cells, int32_t& featureOut) const
{
    const ComponentRow* row = table(kind).findPage(category, page);
    if (row) {
        featureOut = row->featureMask;
        std::copy_n(row->pieces.begin(), piecesPerRow(kind), cells.begin());
    }
    return row;
}

int32_t HouseComponentCatalogue::fillWallCells(
    int32_t category, int32_t page, bool alternate, PageCells cells, int32_t& featureOut, int32_t* tooltips) const
{
    clearCells(cells, featureOut, tooltips);
    if (category == -1)
        return fillCategoryList(table(ComponentKind::Walls), page, cells, tooltips);
    const ComponentRow* row = fillStylePage(ComponentKind::Walls, category, page, cells, featureOut);
    if (row && alternate) {
        const std::array<int32_t, 6>& alt = row->alternatePieces;
        // Which alternate replaces which cell depends on whether the row has
        // a first alternate at all; a zero alternate keeps the normal piece.
        auto replace = [&](size_t cell, int32_t id) {
            if (id != 0)
                cells[cell] = id;
        };
        if (alt[0] != 0) {
            replace(0, alt[0]);
            replace(1, alt[1]);
            replace(2, alt[4]);
            replace(4, alt[2]);
            replace(5, alt[3]);
            replace(6, alt[5]);
        } else {
            replace(1, alt[1]);
            replace(5, alt[2]);
        }
    }
    return 8;
}

int32_t HouseComponentCatalogue::fillMiscCells(
    int32_t category, int32_t page, PageCells cells, int32_t& featureOut, int32_t* tooltips) const
{
    clearCells(cells, featureOut, tooltips);
    if (category == -1)
        return fillCategoryList(table(ComponentKind::Misc), page, cells, tooltips);
    fillStylePage(ComponentKind::Misc, category, page, cells, featureOut);
    return 8;
}

int32_t HouseComponentCatalogue::fillRoofCells(
    int32_t category, int32_t page, PageCells cells, int32_t& featureOut, int32_t* tooltips) const
{
    clearCells(cells, featureOut, tooltips);
    if (category == -1)
        return fillCategoryList(table(ComponentKind::Roofs), page, cells, tooltips);
    if (fillStylePage(ComponentKind::Roofs, category, page, cells, featureOut) && tooltips) {
        for (int32_t cell = 0; cell < kCellsPerPage; ++cell)
            tooltips[cell] = roofTooltip(category, page, cell);
    }
    return kCellsPerPage;
}

int32_t HouseComponentCatalogue::fillPlainCells(
    ComponentKind kind, int32_t page, PageCells cells, int32_t& featureOut) const
{
    clearCells(cells, featureOut, nullptr);
    switch (kind) {
    case ComponentKind::Floors:
    case ComponentKind::Doors:
    case ComponentKind::Stairs:
    case ComponentKind::Teleporters:
        break;
    default:
        return 8;
    }
    int32_t count = piecesPerRow(kind);
    if (const ComponentRow* row = table(kind).findPage(page)) {
        featureOut = row->featureMask;
        std::copy_n(row->pieces.begin(), count, cells.begin());
    }
    return count;
}

int32_t HouseComponentCatalogue::pageCount(ComponentKind kind) const
{
    switch (kind) {
    case ComponentKind::Floors:
    case ComponentKind::Doors:
    case ComponentKind::Stairs:
    case ComponentKind::Teleporters:
        return int32_t(table(kind).size());
    default:
        return 0;
    }
}

void HouseComponentCatalogue::fillStairCells(int32_t page, PageCells cells, int32_t& featureOut) const
{
    clearCells(cells, featureOut, nullptr);
    const ComponentRow* row = table(ComponentKind::Stairs).findPage(page);
    if (!row)
        return;
    featureOut = row->featureMask;
    for (size_t i = 0; i < 4; ++i) {
        cells[4 + i] = row->pieces[i];
        cells[10 + i] = row->pieces[4 + i];
    }
    cells[14] = row->pieces[8];
    cells[15] = row->pieces[0];
}

int32_t HouseComponentCatalogue::stairMultiInCell(int32_t cell, int32_t page) const
{
    if (cell < 4 || cell > 7)
        return 0;
    const ComponentRow* row = table(ComponentKind::Stairs).findPage(page);
    return row ? row->stairMultis[size_t(cell - 4)] : 0;
}

bool HouseComponentCatalogue::locateComponent(int32_t id, ComponentLocation& out) const
{
    // Id 0 is an empty cell in every row, never a piece.
    if (id == 0)
        return false;
    constexpr ComponentKind kSearchOrder[] = { ComponentKind::Walls, ComponentKind::Floors, ComponentKind::Doors,
        ComponentKind::Stairs, ComponentKind::Misc, ComponentKind::Teleporters, ComponentKind::Roofs };
    for (ComponentKind kind : kSearchOrder) {
        int32_t count = piecesPerRow(kind);
        for (const ComponentRow& row : table(kind).rows()) {
            bool hit = std::find(row.pieces.begin(), row.pieces.begin() + count, id) != row.pieces.begin() + count;
            bool alternateHit = !hit && kind == ComponentKind::Walls
                && std::find(row.alternatePieces.begin(), row.alternatePieces.end(), id) != row.alternatePieces.end();
            if (!hit && !alternateHit)
                continue;
            out.kind = kind;
            out.page = row.pageIndex;
            out.category = hasCategories(kind) ? row.category : 0;
            out.alternate = alternateHit;
            return true;
        }
    }
    return false;
}

bool HouseComponentCatalogue::isDoorOrTeleporter(int32_t id) const
{
    if (id == 0)
        return false;
    for (ComponentKind kind : { ComponentKind::Doors, ComponentKind::Teleporters }) {
        int32_t count = piecesPerRow(kind);
        for (const ComponentRow& row : table(kind).rows()) {
            if (std::find(row.pieces.begin(), row.pieces.begin() + count, id) != row.pieces.begin() + count)
                return true;
        }
    }
    return false;
}

int32_t HouseComponentCatalogue::stairPieceDirection(int32_t id) const
{
    if (id == 0)
        return -1;
    for (const ComponentRow& row : table(ComponentKind::Stairs).rows()) {
        if (row.pieces[8] == id)
            return 0;
        for (int32_t direction = 1; direction <= 4; ++direction) {
            if (row.pieces[size_t(direction - 1)] == id)
                return direction;
        }
    }
    return -1;
}

} // namespace housing
