#include "world/visibility.h"

#include "world/cell_grid.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/tile_data.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

struct FoliageGroup {
    int32_t first;
    int32_t last;
};

// The graphics that together draw one large tree.
constexpr FoliageGroup kFoliageGroups[] = {
    { 3397, 3404 },
    { 3405, 3411 },
    { 3420, 3426 },
    { 3427, 3433 },
    { 3443, 3449 },
    { 3450, 3455 },
    { 3463, 3467 },
    { 3468, 3472 },
    { 4798, 4807 },
};

constexpr int32_t kCoverHeight = 20;

const WorldObject* playerInGrid()
{
    const PlayerMobile* self = player();
    return self && self->isPlaced() ? self : nullptr;
}

// The first roof piece of grid cell (x, y) within 6 of height z, or null.
const WorldObject* roofPieceNear(int32_t x, int32_t y, int32_t z)
{
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        if (!object->hasItemTile() || object->isMobile())
            continue;
        if ((object->tileFlags() & kTileRoof) && std::abs(z - object->z) <= 6)
            return object;
    }
    return nullptr;
}

bool blocksAsCeiling(const WorldObject& object, int32_t playerZ, int32_t limit, bool roofInFront)
{
    if (object.isLand() || object.isMobile() || object.isSlice())
        return false;
    if (object.z <= playerZ + 14 || object.z >= limit)
        return false;
    uint32_t flags = object.tileFlags();
    if (roofInFront)
        return (flags & (kTileSurface | kTileSeeThrough)) == 0 && (flags & kTileRoof) != 0;
    if (flags & (kTileFoliage | kTileSeeThrough))
        return false;
    return (flags & kTileRoof) == 0 || (flags & kTileSurface) != 0;
}

// Whether any object of the cell list before `object` is land at or above
// `height` (strictly above when `strictly`).
bool landAboveBefore(const WorldObject& object, int32_t height, bool strictly)
{
    const WorldCellGrid& grid = worldCellGrid();
    for (const WorldObject* other = grid.head(object.linkedCellIndex()); other && other != &object;
         other = other->cellNext()) {
        if (other->isLand() && (strictly ? other->z > height : other->z >= height))
            return true;
    }
    return false;
}

bool overlapsPlayer(const WorldObject& object, const WorldObject& self)
{
    return object.screenRect.overlaps(self.screenRect);
}

bool isFoliageHiddenNow(const StaticObject& object, const WorldObject& self)
{
    int32_t group = foliageGroupOf(object.graphic);
    int32_t objectRow = object.x + object.y;
    int32_t playerRow = self.x + self.y;
    if (group < 0)
        return overlapsPlayer(object, self) && playerRow < objectRow;
    for (const StaticObject* tree = worldLists().foliage.head(); tree; tree = FoliageList::next(tree)) {
        if (!tree->isPlaced() || foliageGroupOf(tree->graphic) != group)
            continue;
        int32_t treeRow = tree->x + tree->y;
        if (!overlapsPlayer(*tree, self) || playerRow >= treeRow || treeRow != objectRow)
            continue;
        if (wrappedDistance(tree->x, tree->y, object.x, object.y) == std::abs(object.graphic - tree->graphic))
            return true;
    }
    return false;
}

bool isCoverCell(int32_t x, int32_t y, int32_t height)
{
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        if (object->isMobile() || object->isLand() || object->isSlice() || object->z < height)
            continue;
        if ((object->tileFlags() & (kTileRoof | kTileSurface)) && !object->isHidden())
            return true;
    }
    return false;
}

} // namespace

VisibilityState& visibilityState()
{
    static VisibilityState state;
    return state;
}

void initCircleAndRoof()
{
    visibilityState() = VisibilityState {};
    mapView().playerUnderground = false;
}

int32_t foliageGroupOf(int32_t graphic)
{
    for (size_t group = 0; group < std::size(kFoliageGroups); ++group) {
        if (graphic >= kFoliageGroups[group].first && graphic <= kFoliageGroups[group].last)
            return int32_t(group);
    }
    return -1;
}

int32_t roofFloodFill(int32_t limit, int32_t x, int32_t y, int32_t z)
{
    // The fill visits its neighbours depth first, in the order west, east,
    // north, south, on an explicit stack: a roof may be large.
    struct Frame {
        int32_t x;
        int32_t y;
        int32_t z;
        int32_t nextNeighbour;
    };
    static constexpr int32_t kNeighbours[4][2] = { { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } };
    std::array<bool, 4096>& visited = visibilityState().roofVisited;
    std::vector<Frame> stack;
    auto enter = [&](int32_t atX, int32_t atY, int32_t atZ) {
        size_t index = size_t(WorldCellGrid::cellIndex(atX, atY));
        if (visited[index])
            return;
        visited[index] = true;
        const WorldObject* roof = roofPieceNear(atX, atY, atZ);
        if (!roof)
            return;
        limit = std::min(limit, int32_t(roof->z));
        stack.push_back({ atX, atY, roof->z, 0 });
    };
    enter(x, y, z);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.nextNeighbour == 4) {
            stack.pop_back();
            continue;
        }
        const int32_t* step = kNeighbours[frame.nextNeighbour++];
        Frame copy = frame;
        enter(copy.x + step[0], copy.y + step[1], copy.z);
    }
    return limit;
}

void updateRoofLimits()
{
    VisibilityState& state = visibilityState();
    int32_t oldCut = state.roofCutZ;
    int32_t oldTop = state.roofTopZ;
    state.roofCutZ = VisibilityState::kNoRoof;
    state.roofTopZ = VisibilityState::kNoRoof;
    const WorldObject* self = playerInGrid();
    if (self) {
        const WorldCellGrid& grid = worldCellGrid();
        for (const WorldObject* object = grid.head(WorldCellGrid::cellIndex(self->x, self->y)); object;
             object = object->cellNext()) {
            if (blocksAsCeiling(*object, self->z, state.roofCutZ, false))
                state.roofCutZ = object->z;
        }
        state.roofTopZ = state.roofCutZ;
        for (const WorldObject* object = grid.head(WorldCellGrid::cellIndex(self->x + 1, self->y + 1)); object;
             object = object->cellNext()) {
            if (!blocksAsCeiling(*object, self->z, state.roofCutZ, true))
                continue;
            state.roofTopZ = state.roofCutZ = object->z;
            state.roofVisited.fill(false);
            state.roofTopZ = roofFloodFill(state.roofTopZ, object->x, object->y, object->z);
        }
    }
    state.roofRecomputing = true;
    for (StaticObject* tree = worldLists().foliage.head(); tree; tree = FoliageList::next(tree)) {
        if (!tree->isPlaced())
            continue;
        bool before = tree->hiddenCache != 0;
        if (tree->isHidden() != before)
            tree->invalidate();
    }
    state.roofRecomputing = false;
    if (self)
        state.roofCutZ = std::max(state.roofTopZ, self->z + 16);
    else
        state.roofCutZ = state.roofTopZ;
    if (state.roofCutZ != oldCut || state.roofTopZ != oldTop)
        invalidateWholeScreen();
}

bool isStaticHidden(const StaticObject& object)
{
    if (!object.isPlaced() || !player())
        return true;
    const MapView& view = mapView();
    if (view.playerUnderground
        && (object.z >= view.undergroundCeilingZ || landAboveBefore(object, view.undergroundCeilingZ, false)))
        return true;
    const VisibilityState& state = visibilityState();
    if (object.z >= state.roofCutZ)
        return true;
    uint32_t flags = object.tileFlags();
    HouseDesignerView& designer = worldService<HouseDesignerView>();
    if ((flags & kTileRoof) && !(flags & kTileWall)) {
        int32_t margin = designer.isLoweredComponent(object.graphic) ? 6 : 3;
        if (designer.isDesigning()) {
            if (object.z >= state.roofCutZ - margin)
                return true;
        } else if (!object.isMultiPart()) {
            if (state.roofCutZ != VisibilityState::kNoRoof)
                return true;
        } else if (object.z >= state.roofCutZ - margin) {
            return true;
        }
    }
    if ((flags & kTileNeverDrawn) || designer.hidesObject(object))
        return true;
    if (flags & kTileFoliage) {
        if (!state.roofRecomputing)
            return object.hiddenCache != 0;
        object.hiddenCache = 0;
        const WorldObject* self = playerInGrid();
        if (self && isFoliageHiddenNow(object, *self))
            object.hiddenCache = 1;
        return object.hiddenCache != 0;
    }
    return false;
}

bool isMobileHidden(const Mobile& mobile)
{
    if (!mobile.isPlaced())
        return true;
    if (mobile.z >= visibilityState().roofCutZ)
        return true;
    const MapView& view = mapView();
    if (view.playerUnderground && landAboveBefore(mobile, view.undergroundCeilingZ, true))
        return true;
    int32_t height = mobile.z + kCoverHeight;
    static constexpr int32_t kCoverCells[5][2] = { { 0, 0 }, { 1, 1 }, { 1, 0 }, { 0, 1 }, { 2, 2 } };
    for (const auto& cell : kCoverCells) {
        if (!isCoverCell(mobile.x + cell[0], mobile.y + cell[1], height))
            return false;
    }
    return true;
}
