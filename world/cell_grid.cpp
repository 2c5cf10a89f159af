#include "world/cell_grid.h"

#include "world/map_view.h"
#include "world/world_object.h"
#include "world/world_screen.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// The bounds of a cell without objects: nothing meets them.
constexpr ScreenRect kNoCellBounds { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };

} // namespace

WorldCellGrid::WorldCellGrid() { m_bounds.fill(kNoCellBounds); }

void WorldCellGrid::growBounds(int32_t index, const ScreenRect& picture)
{
    // A picture without pixels still counts where it stands: an object whose
    // edges only touch a rectangle is drawn into it.
    ScreenRect& bounds = m_bounds[size_t(index)];
    bounds = { std::min(bounds.left, picture.left), std::min(bounds.top, picture.top),
        std::max(bounds.right, picture.right), std::max(bounds.bottom, picture.bottom) };
    m_reachStale = true;
}

void WorldCellGrid::measureBounds(int32_t index)
{
    m_bounds[size_t(index)] = kNoCellBounds;
    for (const WorldObject* object = m_cells[size_t(index)]; object; object = object->cellNext())
        growBounds(index, object->screenRect);
    m_reachStale = true;
}

void WorldCellGrid::clear()
{
    m_cells.fill(nullptr);
    m_bounds.fill(kNoCellBounds);
    m_cornerX = kNoCorner;
    m_cornerY = kNoCorner;
    m_reachStale = true;
}

int32_t WorldCellGrid::findHead(const WorldObject* object) const
{
    for (int32_t index = 0; index < kCellCount; ++index) {
        if (m_cells[size_t(index)] == object)
            return index;
    }
    return -1;
}

void WorldCellGrid::buildDrawOrder()
{
    m_drawOrder.clear();
    // Anti-diagonals back to front; within one, left to right.
    for (int32_t sum = 31; sum <= 97; ++sum) {
        for (int32_t x = 0; x < kSide; ++x) {
            int32_t y = sum - x;
            if (y < 0 || y >= kSide || std::abs(x - y) > 29)
                continue;
            m_drawOrder.push_back(uint16_t(y * kSide + x));
        }
    }
    // Where each row starts, for the walks that pass over whole rows.
    size_t at = 0;
    for (int32_t row = 0; row <= kRowCount; ++row) {
        while (at < m_drawOrder.size()) {
            const int32_t relative = m_drawOrder[at];
            if ((relative & 63) + (relative >> 6) >= kFirstRow + row)
                break;
            ++at;
        }
        m_rowStarts[size_t(row)] = uint16_t(at);
    }
    m_reachStale = true;
}

void WorldCellGrid::measureReach() const
{
    m_rowTops.fill(INT32_MAX);
    m_rowBottoms.fill(INT32_MIN);
    m_columnLefts.fill(INT32_MAX);
    m_columnRights.fill(INT32_MIN);
    for (int32_t row = 0; row < kRowCount; ++row) {
        int32_t top = INT32_MAX;
        int32_t bottom = INT32_MIN;
        for (int32_t at = m_rowStarts[size_t(row)]; at < m_rowStarts[size_t(row) + 1]; ++at) {
            const int32_t x = m_drawOrder[size_t(at)] & 63;
            const int32_t y = m_drawOrder[size_t(at)] >> 6;
            const ScreenRect& bounds = m_bounds[size_t(cellIndex(m_cornerX + x, m_cornerY + y))];
            top = std::min(top, bounds.top);
            bottom = std::max(bottom, bounds.bottom);
            const size_t column = size_t(x - y + kColumnReach);
            m_columnLefts[column] = std::min(m_columnLefts[column], bounds.left);
            m_columnRights[column] = std::max(m_columnRights[column], bounds.right);
        }
        m_rowTops[size_t(row)] = top;
        m_rowBottoms[size_t(row)] = bottom;
    }
    m_reachStale = false;
}

void WorldCellGrid::follow()
{
    const MapView& view = mapView();
    int32_t newX = view.centreX - 32;
    int32_t newY = view.centreY - 32;
    int32_t oldX = m_cornerX;
    int32_t oldY = m_cornerY;
    if (newX == oldX && newY == oldY)
        return;
    // Crossing the wrap seam: the old corner is taken on the same side of
    // the seam as the new one, so that only the cells that really leave the
    // window are evicted.
    if (oldX + 32 < view.wrapWidth) {
        if (oldX >= view.wrapWidth - 64 && newX < 0)
            oldX -= view.wrapWidth;
        else if (oldX < 0 && newX > view.wrapWidth - 64)
            oldX += view.wrapWidth;
        if (oldY >= view.wrapHeight - 64 && newY < 0)
            oldY -= view.wrapHeight;
        else if (oldY < 0 && newY > view.wrapHeight - 64)
            oldY += view.wrapHeight;
    }
    int32_t dx = newX - oldX;
    int32_t dy = newY - oldY;
    if (std::abs(dx) >= kSide || std::abs(dy) >= kSide) {
        clearAll();
    } else {
        for (int32_t column = std::min(oldX, newX); column < std::max(oldX, newX); ++column) {
            for (int32_t row = 0; row < kSide; ++row)
                clearCell(column & 63, row);
        }
        for (int32_t row = std::min(oldY, newY); row < std::max(oldY, newY); ++row) {
            for (int32_t column = 0; column < kSide; ++column)
                clearCell(column, row & 63);
        }
    }
    m_cornerX = newX;
    m_cornerY = newY;
    m_reachStale = true;
}

void WorldCellGrid::clearCell(int32_t cellX, int32_t cellY)
{
    int32_t index = cellIndex(cellX, cellY);
    WorldObject* evictedPlayer = nullptr;
    WorldObject* object = m_cells[size_t(index)];
    while (object) {
        WorldObject* next = object->cellNext();
        if (!object->isDynamic() && !object->isLand()) {
            object = next;
            continue;
        }
        uint64_t destructions = worldObjectDestructions();
        object->removeFromGrid();
        if (object->isPlayer()) {
            invalidateWholeScreen();
            evictedPlayer = object;
        } else if (object->dropsWhenOffGrid()) {
            object->destroy();
        }
        // Unlinking or destroying a tall object takes its slices with it,
        // which may have been the next ones here: start the cell over (what
        // was evicted is gone from it, so the walk still ends).
        object = destructions == worldObjectDestructions() ? next : m_cells[size_t(index)];
    }
    if (evictedPlayer)
        evictedPlayer->place();
}

void WorldCellGrid::clearAll()
{
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x)
            clearCell(x, y);
    }
}

WorldCellGrid& worldCellGrid()
{
    static WorldCellGrid grid;
    return grid;
}
