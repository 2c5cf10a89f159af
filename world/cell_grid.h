#pragma once
// The 64 x 64 ring of cells that holds every placed world object: world cell
// (x, y) lives in grid cell (x & 63, y & 63), and each cell is the head of a
// doubly linked list of objects in draw order, threaded through the objects'
// own cell links. Objects link and unlink themselves (world_object.h); the
// grid only keeps the heads and the window's corner. Main thread only.

#include <array>
#include <cstddef>
#include <cstdint>

class WorldObject;

class WorldCellGrid {
public:
    static constexpr int32_t kSide = 64;
    static constexpr int32_t kCellCount = kSide * kSide;
    // The corner after clear(): no window yet.
    static constexpr int32_t kNoCorner = -128;

    static int32_t cellIndex(int32_t cellX, int32_t cellY) { return ((cellY & 63) << 6) | (cellX & 63); }

    WorldObject* head(int32_t index) const { return m_cells[size_t(index)]; }
    void setHead(int32_t index, WorldObject* object) { m_cells[size_t(index)] = object; }

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

private:
    std::array<WorldObject*, kCellCount> m_cells {};
    int32_t m_cornerX = kNoCorner;
    int32_t m_cornerY = kNoCorner;
};

WorldCellGrid& worldCellGrid();
