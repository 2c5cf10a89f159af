#include "housing/house_placement_checker.h"

#include <cstdlib>

namespace housing {

namespace {

// Relative heights at which the upper floors start; below the first is the
// foundation, which the grid does not hold.
constexpr int32_t kFoundationTop = 7;
constexpr int32_t kFloorTops[] = { 27, 47, 67 };

int32_t spanOf(int32_t low, int32_t high)
{
    // Computed wide so that no pair of bounds can overflow.
    int64_t extent = std::llabs(int64_t(high) - int64_t(low)) + 1;
    return extent > INT32_MAX ? INT32_MAX : int32_t(extent);
}

} // namespace

HousePlacementChecker::HousePlacementChecker(
    const SupportInfoTable& support, const PieceTileData& tiles, const HouseFrame& frame)
    : m_support(support)
    , m_tiles(tiles)
    , m_frame(frame)
    , m_width(spanOf(frame.minX, frame.maxX))
    , m_height(spanOf(frame.minY, frame.maxY))
{
    m_fitsGrid = m_width >= 1 && m_width <= kGridWidth && m_height >= 1 && m_height <= kGridDepth && frame.floors >= 1
        && frame.floors <= kGridFloors;
}

PlacementCell* HousePlacementChecker::cellAt(int32_t x, int32_t y, int32_t floor)
{
    if (x < 0 || x >= kGridWidth || y < 0 || y >= kGridDepth || floor < 0 || floor >= kGridFloors)
        return nullptr;
    return &m_grid[size_t((floor * kGridDepth + y) * kGridWidth + x)];
}

const PlacementCell* HousePlacementChecker::cell(int32_t x, int32_t y, int32_t floor) const
{
    return const_cast<HousePlacementChecker*>(this)->cellAt(x, y, floor);
}

void HousePlacementChecker::clear()
{
    // The whole grid, whatever the house's size: the house's extent is only
    // trusted once it is known to fit.
    for (PlacementCell& each : m_grid) {
        each.floorId = 0;
        each.objectId = 0;
        each.roofId = 0;
        each.surfaceBelow = 0;
        each.surfaceHere = 0;
    }
}

int32_t HousePlacementChecker::gridFloorOf(uint16_t id, int32_t relativeZ) const
{
    int64_t r = relativeZ;
    if (m_tiles.attributes(id).hasFlag(kTileRoof))
        r += isLoweredComponentId(id) ? 6 : 3;
    if (r < kFoundationTop)
        return -1;
    int32_t floor = 0;
    for (int32_t top : kFloorTops) {
        if (r < top)
            return floor;
        ++floor;
    }
    return floor;
}

void HousePlacementChecker::fileComponent(int32_t x, int32_t y, int32_t z, uint16_t id)
{
    if (!m_fitsGrid)
        return;
    int64_t gridX = int64_t(m_frame.x) + x - m_frame.minX;
    int64_t gridY = int64_t(m_frame.y) + y - m_frame.minY;
    int32_t floor = gridFloorOf(id, z);
    if (gridX < 0 || gridX >= kGridWidth || gridY < 0 || gridY >= kGridDepth || floor < 0)
        return;
    PlacementCell* here = cellAt(int32_t(gridX), int32_t(gridY), floor);
    if (!here)
        return;

    PieceTileAttributes piece = m_tiles.attributes(id);
    if (piece.isTall() && !piece.hasFlag(kTileSurface)) {
        if (piece.hasFlag(kTileRoof))
            here->roofId = id;
        else
            here->objectId = id;
        return;
    }
    here->floorId = id;
    if (isSurfaceMarkerId(id)) {
        here->surfaceHere = 1;
    } else if (piece.isTall()) {
        here->surfaceHere = 1;
        if (PlacementCell* above = cellAt(int32_t(gridX), int32_t(gridY), floor + 1)) {
            above->surfaceHere = 1;
            above->surfaceBelow = 1;
        }
    }
}

bool HousePlacementChecker::rebuild(uint32_t houseSerial, const HouseComponentSource& houses)
{
    std::vector<HouseComponent> components;
    if (!houses.copyComponents(houseSerial, components))
        return false;
    clear();
    for (const HouseComponent& each : components)
        fileComponent(each.x, each.y, each.z, each.id);
    rebuildSupport();
    return true;
}

void HousePlacementChecker::rebuildSupport()
{
    if (!m_fitsGrid)
        return;
    for (int32_t floor = 0; floor < m_frame.floors; ++floor)
        computeFloorSupport(floor);
}

bool HousePlacementChecker::spans(int32_t x, int32_t y, int32_t floor, int32_t dx, int32_t dy, bool roof)
{
    for (int32_t step = 1; step <= kMaxSpan; ++step) {
        PlacementCell* walked = cellAt(x + dx * step, y + dy * step, floor);
        if (!walked || (roof ? walked->roofId : walked->floorId) == 0)
            return false;
        if (walked->carried || (roof ? walked->roofReach : walked->floorReach)) {
            for (int32_t back = 1; back <= step; ++back) {
                PlacementCell* covered = cellAt(x + dx * back, y + dy * back, floor);
                (roof ? covered->roofReach : covered->floorReach) = 1;
            }
            return true;
        }
    }
    return false;
}

bool HousePlacementChecker::passesEdgeGate(int32_t x, int32_t y, uint16_t objectId) const
{
    if (x == 0 && y == 0)
        return flag(objectId, kSupportCorner) && flag(objectId, kSupportWestColumn) && flag(objectId, kSupportNorthRow);
    if (x == 0)
        return flag(objectId, kSupportWestColumn);
    if (y == 0)
        return flag(objectId, kSupportNorthRow);
    return true;
}

void HousePlacementChecker::computeFloorSupport(int32_t floor)
{
    // Every loop below runs over the house's extent, which is checked against
    // the grid here as well as at construction.
    if (!m_fitsGrid || floor < 0 || floor >= m_frame.floors)
        return;
    const int32_t width = m_width;
    const int32_t depth = m_height;
    const bool ground = floor == 0;
    auto forEachCell = [&](auto&& visit) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t y = 0; y < depth; ++y)
                visit(x, y, *cellAt(x, y, floor));
        }
    };

    // 1. Reset the support state of the whole layer.
    for (int32_t y = 0; y < kGridDepth; ++y) {
        for (int32_t x = 0; x < kGridWidth; ++x) {
            PlacementCell& c = *cellAt(x, y, floor);
            c.carried = c.floorReach = c.roofReach = c.visited = 0;
            c.floorSupported = c.roofSupported = c.objectSupported = 0;
            if (ground)
                c.carried = c.floorReach = c.roofReach = c.visited = 1;
        }
    }

    if (!ground) {
        // 2. Carry from supported floor-carrying objects below.
        forEachCell([&](int32_t x, int32_t y, PlacementCell& c) {
            const PlacementCell& below = *cellAt(x, y, floor - 1);
            if (below.objectId == 0 || !flag(below.objectId, kSupportCarriesFloor) || below.objectSupported == 0)
                return;
            c.carried = 1;
            PlacementCell* leanedOn = nullptr;
            if (flag(below.objectId, kSupportWestColumn))
                leanedOn = cellAt(x + 1, y, floor);
            else if (flag(below.objectId, kSupportNorthRow))
                leanedOn = cellAt(x, y + 1, floor);
            if (leanedOn)
                leanedOn->floorReach = leanedOn->roofReach = 1;
            if (c.floorId != 0) {
                constexpr int32_t kSides[4][2] = { { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } };
                for (const auto& side : kSides) {
                    if (PlacementCell* n = cellAt(x + side[0], y + side[1], floor))
                        n->floorReach = 1;
                }
            }
            if (c.roofId != 0) {
                for (int32_t dy = -1; dy <= 1; ++dy) {
                    for (int32_t dx = -1; dx <= 1; ++dx) {
                        PlacementCell* n = (dx || dy) ? cellAt(x + dx, y + dy, floor) : nullptr;
                        if (n)
                            n->roofReach = 1;
                    }
                }
            }
        });

        // 3. Spread support along rows of floor and roof pieces until a
        // whole pass adds nothing.
        constexpr int32_t kSpanDirections[4][2] = { { 0, 1 }, { 1, 0 }, { -1, 0 }, { 0, -1 } };
        bool spread = true;
        while (spread) {
            spread = false;
            forEachCell([&](int32_t x, int32_t y, PlacementCell& c) {
                if (c.visited)
                    return;
                bool floorStart = (c.floorReach || c.carried) && c.floorId != 0;
                bool roofStart = floorStart ? c.roofId != 0 : (c.roofReach && c.roofId != 0);
                if (!floorStart && !roofStart)
                    return;
                if (floorStart) {
                    for (const auto& d : kSpanDirections)
                        spread |= spans(x, y, floor, d[0], d[1], false);
                }
                if (roofStart) {
                    for (const auto& d : kSpanDirections)
                        spread |= spans(x, y, floor, d[0], d[1], true);
                }
                c.visited = 1;
            });
        }
    }

    // 4. Floor pieces.
    const bool topFloor = floor == m_frame.floors - 1;
    forEachCell([&](int32_t x, int32_t y, PlacementCell& c) {
        c.floorSupported = 0;
        if (c.floorId == 0 || c.surfaceBelow || x == 0 || y == 0)
            return;
        PieceTileAttributes piece = m_tiles.attributes(c.floorId);
        if (topFloor && piece.isTall() && piece.hasFlag(kTileSurface))
            return;
        c.floorSupported = (ground || c.carried || c.floorReach) ? 1 : 0;
    });

    // 5. Roof pieces.
    forEachCell([&](int32_t, int32_t, PlacementCell& c) {
        c.roofSupported = 0;
        if (c.roofId != 0)
            c.roofSupported = (ground || c.carried || c.roofReach || c.floorSupported) ? 1 : 0;
    });

    // 6. Objects standing on their own cell or leaning on a neighbouring floor.
    auto floorSupportedAt = [&](int32_t x, int32_t y) {
        const PlacementCell* n = cell(x, y, floor);
        return n && n->floorSupported;
    };
    forEachCell([&](int32_t x, int32_t y, PlacementCell& c) {
        c.objectSupported = 0;
        if (!passesEdgeGate(x, y, c.objectId))
            return;
        if (c.objectId == 0 || !flag(c.objectId, kSupportDirect) || c.surfaceHere)
            return;
        if (c.carried || c.floorSupported || (flag(c.objectId, kSupportNorthRow) && floorSupportedAt(x, y + 1))
            || (flag(c.objectId, kSupportWestColumn) && floorSupportedAt(x + 1, y))
            || (flag(c.objectId, kSupportCorner) && floorSupportedAt(x + 1, y + 1)))
            c.objectSupported = 1;
    });

    // 7. Objects held by a directly supported neighbour they connect to; this
    // does not chain, since only direct support counts.
    constexpr int32_t kNeighbourOrder[4][2] = { { -1, 0 }, { 0, -1 }, { 0, 1 }, { 1, 0 } };
    forEachCell([&](int32_t x, int32_t y, PlacementCell& c) {
        if (!passesEdgeGate(x, y, c.objectId))
            return;
        if (c.objectId == 0 || c.objectSupported != 0 || c.surfaceHere)
            return;
        for (const auto& d : kNeighbourOrder) {
            const PlacementCell* n = cell(x + d[0], y + d[1], floor);
            if (n && n->objectSupported == 1 && m_support.connects(c.objectId, n->objectId, d[0], d[1])) {
                c.objectSupported = 2;
                return;
            }
        }
    });
}

bool HousePlacementChecker::isSupported(uint16_t id, int32_t worldX, int32_t worldY, int32_t worldZ) const
{
    if (!m_fitsGrid)
        return true;
    int32_t floor = gridFloorOf(id, int32_t(int64_t(worldZ) - m_frame.z));
    const PlacementCell* c
        = cell(int32_t(int64_t(worldX) - m_frame.minX), int32_t(int64_t(worldY) - m_frame.minY), floor);
    if (!c)
        return true;
    if (occupiesFloorSlot(m_tiles, id) && c->floorId == id)
        return c->floorSupported != 0;
    if (c->roofId == id)
        return c->roofSupported != 0;
    if (c->objectId == id)
        return c->objectSupported != 0;
    return true;
}

PlacementVerdict HousePlacementChecker::floorLegal(int32_t floor) const
{
    if (!m_fitsGrid)
        return PlacementVerdict { false, nullptr, -1, -1, floor };
    if (floor < 0 || floor >= m_frame.floors)
        return PlacementVerdict {};
    for (int32_t x = 0; x < m_width; ++x) {
        for (int32_t y = 0; y < m_height; ++y) {
            const PlacementCell& c = *cell(x, y, floor);
            const char* message = nullptr;
            if (c.objectId != 0 && c.objectSupported == 0)
                message = "Illegal Object!";
            else if (c.floorId != 0 && !c.floorSupported)
                message = "Illegal Floor!";
            else if (c.roofId != 0 && !c.roofSupported)
                message = "Illegal Roof!";
            if (message)
                return PlacementVerdict { false, message, x, y, floor, kRefusalHue, kRefusalFont };
        }
    }
    return PlacementVerdict {};
}

PlacementVerdict HousePlacementChecker::allFloorsLegal() const
{
    if (!m_fitsGrid)
        return floorLegal(0);
    for (int32_t floor = 0; floor < m_frame.floors; ++floor) {
        PlacementVerdict verdict = floorLegal(floor);
        if (!verdict.legal)
            return verdict;
    }
    return PlacementVerdict {};
}

} // namespace housing
