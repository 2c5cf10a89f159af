#include "world/world_object.h"

#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cstdlib>

namespace {

uint64_t g_destructions = 0;
bool g_drawingSlice = false;

} // namespace

uint64_t worldObjectDestructions() { return g_destructions; }

WorldObject::WorldObject() = default;

WorldObject::~WorldObject()
{
    ++g_destructions;
    if (m_placed)
        removeFromGrid();
    screenRect = {};
}

void WorldObject::destroy() { delete this; }

void WorldObject::place() { placeWithDepthKey(z); }

void WorldObject::placeWithDepthKey(int32_t key)
{
    if (m_placed)
        removeFromGrid();
    depthKey = key;
    rowKey = x + y;
    columnKey = x - y + mapView().mapWidth;
    int32_t cellX = 0;
    int32_t cellY = 0;
    baseCell(cellX, cellY);
    insertIntoCell(cellX, cellY);
}

void WorldObject::linkCell(int32_t& cellX, int32_t& cellY) const
{
    baseCell(cellX, cellY);
    cellX += cellReach();
    cellY -= cellReach();
}

void WorldObject::insertIntoCell(int32_t cellX, int32_t cellY)
{
    if (m_placed)
        WorldObject::removeFromGrid();
    // A picture that reaches right of its cell is drawn with the cells of its
    // screen row that it overlaps: that many cells further right.
    int32_t reach = cellReach();
    linkIntoCellList(WorldCellGrid::cellIndex(cellX + reach, cellY - reach));
    m_placed = true;
    computeBounds();
    worldCellGrid().growBounds(m_cellIndex, screenRect);
    if (!isHidden())
        invalidate();
}

void WorldObject::linkIntoCellList(int32_t cellIndex)
{
    WorldCellGrid& grid = worldCellGrid();
    WorldObject* previous = nullptr;
    WorldObject* current = grid.head(cellIndex);
    if (isSlice()) {
        // A slice goes before the cell's land and takes its key.
        while (current && !current->isLand()) {
            previous = current;
            current = current->m_cellNext;
        }
        if (current)
            depthKey = current->depthKey;
    } else {
        bool land = isLand();
        // Flat pieces of a multi go before everything of their own key.
        bool flatMultiPart = false;
        if (hasItemTile()) {
            const auto* piece = static_cast<const StaticObject*>(this);
            flatMultiPart = piece->isMultiPart() && piece->tileHeight() <= 1;
        }
        while (current) {
            bool passes = current->depthKey < depthKey;
            if (current->depthKey == depthKey)
                passes = !flatMultiPart && !(land && !current->isLand());
            if (!passes)
                break;
            previous = current;
            current = current->m_cellNext;
        }
    }
    m_cellIndex = cellIndex;
    m_cellPrev = previous;
    m_cellNext = previous ? previous->m_cellNext : grid.head(cellIndex);
    if (previous)
        previous->m_cellNext = this;
    else
        grid.setHead(cellIndex, this);
    if (m_cellNext)
        m_cellNext->m_cellPrev = this;
}

void WorldObject::removeFromGrid()
{
    if (!m_placed)
        return;
    if (!isHidden())
        invalidate();
    if (m_cellPrev) {
        m_cellPrev->m_cellNext = m_cellNext;
    } else {
        // The head of the cell it was linked into; should that cell's head be
        // another object, the whole grid is searched so that no cell keeps
        // pointing at this one.
        WorldCellGrid& grid = worldCellGrid();
        int32_t index = m_cellIndex;
        if (grid.head(index) != this)
            index = grid.findHead(this);
        if (index >= 0) {
            grid.setHead(index, m_cellNext);
            if (index != m_cellIndex)
                grid.measureBounds(index);
        }
    }
    if (m_cellNext)
        m_cellNext->m_cellPrev = m_cellPrev;
    m_cellNext = nullptr;
    m_cellPrev = nullptr;
    m_placed = false;
    worldCellGrid().measureBounds(m_cellIndex);
}

int32_t WorldObject::zToward(int32_t) const { return z; }

bool WorldObject::isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const
{
    return std::abs(atX - x) <= range && std::abs(atY - y) <= range;
}

bool WorldObject::isWithinRangeOfPlayer(int32_t range) const
{
    return isWithinRangeOf(range, mapView().centreX, mapView().centreY);
}

bool WorldObject::isInUpdateRange() const
{
    const PlayerMobile* self = player();
    return isWithinRangeOfPlayer(self ? self->getUpdateRange() : PlayerMobile::kDefaultUpdateRange);
}

void WorldObject::invalidate() const
{
    if (m_placed)
        invalidateWorldRect(screenRect);
}

bool compareCellEntries(const WorldObject* a, const WorldObject* b)
{
    if (a->baseZ() != b->baseZ())
        return a->baseZ() < b->baseZ();
    return a->topZ() < b->topZ();
}

TallObjectSlice::TallObjectSlice(
    ContainerItem& owner, int32_t bandTop, int32_t bandBottom, int32_t cellX, int32_t cellY)
    : m_owner(&owner)
    , m_cellX(cellX)
    , m_cellY(cellY)
    , m_bandTop(bandTop)
    , m_bandBottom(bandBottom)
{
    x = owner.x;
    y = owner.y;
    z = owner.z;
    screenRect = { owner.screenRect.left, bandTop, owner.screenRect.right, bandBottom };
}

TallObjectSlice::~TallObjectSlice()
{
    // A slice destroyed by anyone but its owner leaves the owner's list.
    if (m_owner)
        m_owner->unlinkSlice(*this);
}

void TallObjectSlice::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    if (!m_owner)
        return;
    // Only the band: what stands in front of the owner's lower part is
    // drawn after this slice, and over it.
    const WorldScreen& screen = worldScreen();
    ScreenRect band = dirty;
    band.top = std::max(band.top, m_bandTop - screen.viewPixelY);
    band.bottom = std::min(band.bottom, m_bandBottom - screen.viewPixelY);
    if (band.isEmpty())
        return;
    g_drawingSlice = true;
    m_owner->draw(target, band);
    g_drawingSlice = false;
}

bool isDrawingSlice() { return g_drawingSlice; }

bool TallObjectSlice::isHidden() const { return !isPlaced() || !m_owner || m_owner->isHidden(); }
