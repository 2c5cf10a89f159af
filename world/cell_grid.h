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

    // Every cell empty, corner (-128, -128). The objects that were linked are
    // not touched: only for start-up, or once every object is unlinked.
    void clear();

    int32_t cornerX() const { return m_cornerX; }
    int32_t cornerY() const { return m_cornerY; }
    void setCorner(int32_t x, int32_t y)
    {
        m_cornerX = x;
        m_cornerY = y;
    }

    // The index of the cell whose head is `object`, or -1; a walk of all
    // 4096 heads, for an object whose position changed while it was linked.
    int32_t findHead(const WorldObject* object) const;

    // The ring corner: the grid cell that holds the corner's world cell.
    int32_t ringCornerX() const { return m_cornerX & 63; }
    int32_t ringCornerY() const { return m_cornerY & 63; }

    // Appends the back-to-front order: every relative cell (x, y) with
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
    std::array<WorldObject*, kCellCount> m_cells {};
    std::array<ScreenRect, kCellCount> m_bounds;
    std::vector<uint16_t> m_drawOrder;
    int32_t m_cornerX = kNoCorner;
    int32_t m_cornerY = kNoCorner;
};

WorldCellGrid& worldCellGrid();
