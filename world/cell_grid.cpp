#include "world/cell_grid.h"

void WorldCellGrid::clear()
{
    m_cells.fill(nullptr);
    m_cornerX = kNoCorner;
    m_cornerY = kNoCorner;
}

int32_t WorldCellGrid::findHead(const WorldObject* object) const
{
    for (int32_t index = 0; index < kCellCount; ++index) {
        if (m_cells[size_t(index)] == object)
            return index;
    }
    return -1;
}

WorldCellGrid& worldCellGrid()
{
    static WorldCellGrid grid;
    return grid;
}
