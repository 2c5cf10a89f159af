#pragma once
// The 64 x 64 ring of cells that holds every placed world object: world cell
// (x, y) lives in grid cell (x & 63, y & 63), and each cell is the head of a
// doubly linked list of objects in draw order, threaded through the objects'
// own cell links. Objects link and unlink themselves (world_object.h); the
// grid keeps the heads, the window's corner (which follows the view centre)
// and the fixed back-to-front order in which the cells are drawn. Drawing,
// picking and the invalidation walkers live in world_drawing.h and
// cell_picking.h. Main thread only.

#include "gfx/screen_rect.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class WorldObject;

class WorldCellGrid {
public:
    WorldCellGrid();

    static constexpr int32_t kSide = 64;
    static constexpr int32_t kCellCount = kSide * kSide;
    // The corner after clear(): no window yet.
    static constexpr int32_t kNoCorner = -128;

    static int32_t cellIndex(int32_t cellX, int32_t cellY) { return ((cellY & 63) << 6) | (cellX & 63); }

    WorldObject* head(int32_t index) const { return m_cells[size_t(index)]; }
    void setHead(int32_t index, WorldObject* object) { m_cells[size_t(index)] = object; }

    // A rectangle (world pixels, edges included) that holds the pictures of
    // every object of the cell: a walk over the cells skips the lists of
    // those whose bounds miss what it looks for. Objects report their
    // picture when they are linked and the cell is measured again when one
    // leaves it, so the bounds may be wider than the objects, never narrower.
    const ScreenRect& bounds(int32_t index) const { return m_bounds[size_t(index)]; }
    void growBounds(int32_t index, const ScreenRect& picture);
    void measureBounds(int32_t index);

    // Calls `visit(gridIndex)` for every cell of the draw order whose bounds
    // meet `rect` (world pixels, edges included), in draw order. The cells
    // of one screen row (one x + y) and of one screen column (one x - y)
    // share a union of their bounds, so whole rows, and the columns outside
    // a narrow rectangle, are passed over without reading their cells.
    template <typename Visit>
    void forEachCellMeeting(const ScreenRect& rect, Visit visit) const;

    // Every cell empty, corner (-128, -128). The objects that were linked are
    // not touched: only for start-up, or once every object is unlinked.
    void clear();

    int32_t cornerX() const { return m_cornerX; }
    int32_t cornerY() const { return m_cornerY; }
    void setCorner(int32_t x, int32_t y)
    {
        m_cornerX = x;
        m_cornerY = y;
        m_reachStale = true;
    }

    // The index of the cell whose head is `object`, or -1; a walk of all
    // 4096 heads, for an object whose position changed while it was linked.
    int32_t findHead(const WorldObject* object) const;

    // The ring corner: the grid cell that holds the corner's world cell.
    int32_t ringCornerX() const { return m_cornerX & 63; }
    int32_t ringCornerY() const { return m_cornerY & 63; }

    // Makes the back-to-front order: every relative cell (x, y) with
    // |x - y| <= 29 and 31 <= x + y <= 97, by x + y, then by x.
    void buildDrawOrder();
    std::span<const uint16_t> drawOrder() const { return m_drawOrder; }
    // The grid cell index of draw-order entry `relative` (relative y * 64 + x).
    int32_t gridIndexOfRelative(int32_t relative) const
    {
        return cellIndex(m_cornerX + (relative & 63), m_cornerY + (relative >> 6));
    }

    // Moves the window so that the view centre is 32 cells from its corner,
    // evicting the columns and rows that leave it; handles the facet's wrap.
    void follow();
    // Evicts the dynamic objects and the land of one cell (statics, house
    // pieces and preview pieces stay). The player is placed again at once,
    // and the whole screen redrawn.
    void clearCell(int32_t cellX, int32_t cellY);
    void clearAll();

    // The object under game-area point (x, y), topmost first; land only
    // when `ignoreLand` is clear.
    WorldObject* pickAt(int32_t x, int32_t y, bool ignoreLand) const;
    // The land tile whose centre lies nearest the game-area point.
    WorldObject* findLandAt(int32_t x, int32_t y) const;
    // The top object of world cell (x, y), for walking.
    WorldObject* topObjectAt(int32_t x, int32_t y) const;

private:
    // Relative x + y of the draw order runs 31..97, x - y -29..29.
    static constexpr int32_t kFirstRow = 31;
    static constexpr int32_t kRowCount = 67;
    static constexpr int32_t kColumnReach = 29;
    static constexpr int32_t kColumnCount = 2 * kColumnReach + 1;

    // The row and column unions, made again when a bound or the corner has
    // changed since they were last made.
    void measureReach() const;

    std::array<WorldObject*, kCellCount> m_cells {};
    std::array<ScreenRect, kCellCount> m_bounds;
    std::vector<uint16_t> m_drawOrder;
    int32_t m_cornerX = kNoCorner;
    int32_t m_cornerY = kNoCorner;
    // Where each screen row starts in the draw order (one past the end last).
    std::array<uint16_t, kRowCount + 1> m_rowStarts {};
    // Top and bottom of each row's bounds, left and right of each column's.
    mutable std::array<int32_t, kRowCount> m_rowTops {};
    mutable std::array<int32_t, kRowCount> m_rowBottoms {};
    mutable std::array<int32_t, kColumnCount> m_columnLefts {};
    mutable std::array<int32_t, kColumnCount> m_columnRights {};
    mutable bool m_reachStale = true;
};

template <typename Visit>
void WorldCellGrid::forEachCellMeeting(const ScreenRect& rect, Visit visit) const
{
    if (m_drawOrder.empty())
        return;
    if (m_reachStale)
        measureReach();
    // One bit per column that meets the rectangle's width.
    uint64_t columns = 0;
    for (int32_t column = 0; column < kColumnCount; ++column) {
        if (m_columnLefts[size_t(column)] <= rect.right && m_columnRights[size_t(column)] >= rect.left)
            columns |= uint64_t(1) << column;
    }
    if (columns == 0)
        return;
    for (int32_t row = 0; row < kRowCount; ++row) {
        if (m_rowTops[size_t(row)] > rect.bottom || m_rowBottoms[size_t(row)] < rect.top)
            continue;
        for (int32_t at = m_rowStarts[size_t(row)]; at < m_rowStarts[size_t(row) + 1]; ++at) {
            const int32_t relative = m_drawOrder[size_t(at)];
            const int32_t x = relative & 63;
            const int32_t y = relative >> 6;
            if ((columns >> (x - y + kColumnReach) & 1) == 0)
                continue;
            const int32_t index = cellIndex(m_cornerX + x, m_cornerY + y);
            const ScreenRect& bounds = m_bounds[size_t(index)];
            if (bounds.top <= rect.bottom && bounds.bottom >= rect.top && bounds.left <= rect.right
                && bounds.right >= rect.left)
                visit(index);
        }
    }
}

WorldCellGrid& worldCellGrid();
