#include "world/step_rules.h"

#include "world/cell_grid.h"
#include "world/house_designer_view.h"
#include "world/land_tile.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kMaxCellObjects = 256;
constexpr int32_t kNoHeight = -128;
// The mount whose rider walks on water.
constexpr int32_t kWaterMount = 16051;
// A body that always walks as the dead do.
constexpr int32_t kSpiritBody = 987;
constexpr uint8_t kPlayerPassesMobiles = 0x10;
constexpr uint8_t kMobileNeverBlocks = 0x10;

uint16_t landGraphic(const WorldObject& land)
{
    return land.isStretchedLand() ? static_cast<const StretchedLandTile&>(land).graphic
                                  : static_cast<const LandTile&>(land).graphic;
}

bool isVoidLand(uint16_t graphic) { return graphic == 2 || (graphic >= 430 && graphic <= 437) || graphic == 475; }

// Graphics the dead walk through.
bool isGhostPassable(uint16_t graphic)
{
    return graphic == 1682 || graphic == 1781 || graphic == 1782 || graphic == 2118 || graphic == 2163;
}

bool addLand(const WorldObject& object, WalkMode mode, std::vector<CellObstacle>& out)
{
    uint16_t graphic = landGraphic(object);
    if (isVoidLand(graphic))
        return false;
    uint32_t flags = tileData().land(graphic).flags;
    uint16_t kind;
    if (mode == WalkMode::Wet)
        kind = (flags & kTileWet) ? 7 : 1;
    else
        kind = (flags & kTileImpassable) ? 1 : 7;
    int32_t bottom = object.baseZ();
    int32_t top = object.topZ();
    out.push_back({ kind, int16_t(bottom), int16_t(top), int16_t(top - bottom), &object });
    return true;
}

bool addItem(const StaticObject& object, WalkMode mode, std::vector<CellObstacle>& out)
{
    uint32_t flags = object.tileFlags();
    uint16_t kind = 0;
    if (mode == WalkMode::Wet) {
        if (!(flags & kTileWet))
            return false;
        kind = kObstacleSurface | kObstacleBridge;
    } else {
        if (flags & (kTileImpassable | kTileSurface))
            kind = kObstacleSolid;
        if (!(flags & kTileImpassable)) {
            if (flags & kTileSurface)
                kind += kObstacleSurface;
            if (flags & kTileBridge)
                kind += kObstacleBridge;
        }
        if (mode == WalkMode::Dead
            && (isGhostPassable(object.graphic) || (object.isDynamic() && object.isLiftable())
                || (flags & kTileNotSolidWhenDead)))
            kind &= uint16_t(~kObstacleSolid);
    }
    if (object.isDynamic() && (object.graphic == 130 || (object.graphic >= 14662 && object.graphic <= 14692)))
        kind &= uint16_t(~kObstacleSolid);
    if (kind == 0)
        return false;
    out.push_back({ kind, object.z, int16_t(object.topZ()), int16_t(object.tileHeight()), &object });
    return true;
}

void addMobiles(int32_t x, int32_t y, WalkMode mode, std::vector<CellObstacle>& out)
{
    const PlayerMobile* self = player();
    if (mapView().currentFacet != 0 || (self && (self->flags & kPlayerPassesMobiles)) || mode == WalkMode::Dead)
        return;
    bool tired = self && self->stamina < self->maxStamina;
    for (Mobile* mobile = mobileList().head(); mobile; mobile = MobileList::next(mobile)) {
        // The player never stands in its own way.
        if (mobile->isPlayer() || mobile->x != x || mobile->y != y)
            continue;
        int16_t bottom = mobile->z;
        if (mode == WalkMode::Wet) {
            out.push_back({ 0, bottom, int16_t(bottom + 16), 16, nullptr });
            continue;
        }
        if (tired && !mobile->isDead() && !(mobile->flags & kMobileNeverBlocks))
            out.push_back({ kObstacleSolid, bottom, int16_t(bottom + 16), 16, nullptr });
    }
}

std::vector<CellObstacle>& scratchCell()
{
    static std::vector<CellObstacle> cell;
    return cell;
}

} // namespace

WalkMode currentWalkMode()
{
    const PlayerMobile* self = player();
    if (!self)
        return WalkMode::Alive;
    if (self->isDead() || self->graphic == kSpiritBody)
        return WalkMode::Dead;
    Item* mount = self->layerItem(Mobile::kMountLayer);
    if (self->isMounted() && mount && mount->graphic == kWaterMount)
        return WalkMode::Wet;
    return WalkMode::Alive;
}

void collectCellObstacles(int32_t x, int32_t y, WalkMode mode, std::vector<CellObstacle>& out)
{
    out.clear();
    int32_t looked = 0;
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y));
         object && looked < kMaxCellObjects; object = object->cellNext(), ++looked) {
        if (object->isEffect())
            continue;
        if (object->isLand()) {
            addLand(*object, mode, out);
            continue;
        }
        if (!object->hasItemTile() || object->isPlayer() || object->isMobile())
            continue;
        addItem(*static_cast<const StaticObject*>(object), mode, out);
    }
    addMobiles(x, y, mode, out);
}

void getStartCellHeights(
    int32_t x, int32_t y, int32_t z, int32_t direction, WalkMode mode, int32_t& floor, int32_t& climb)
{
    std::vector<CellObstacle>& cell = scratchCell();
    collectCellObstacles(x - directionDx(direction), y - directionDy(direction), mode, cell);
    floor = kNoHeight;
    climb = z;
    for (const CellObstacle& entry : cell) {
        if (entry.object && entry.object->isLand()) {
            if (entry.top <= z) {
                int32_t edge = entry.object->zToward(direction);
                floor = std::max(floor, edge);
                climb = std::max(climb, edge);
            }
            continue;
        }
        if ((entry.kind & kObstacleSolid) && entry.top <= z)
            floor = std::max<int32_t>(floor, entry.top);
        if ((entry.kind & kObstacleBridge) && entry.top == z) {
            climb = std::max<int32_t>(climb, entry.z + entry.height);
            floor = std::min<int32_t>(floor, entry.z);
        }
    }
    climb += 2;
}

bool canStepTo(int32_t x, int32_t y, int32_t z, int32_t direction, int32_t& newZ)
{
    if (worldService<HouseDesignerView>().isPlayerInDesign()) {
        newZ = z;
        return true;
    }
    WalkMode mode = currentWalkMode();
    int32_t floor = 0;
    int32_t climb = 0;
    getStartCellHeights(x, y, z, direction, mode, floor, climb);
    // The target cell, collected after the start cell: the two share the
    // scratch list only one at a time.
    std::vector<CellObstacle>& cell = scratchCell();
    collectCellObstacles(x, y, mode, cell);
    std::stable_sort(cell.begin(), cell.end(), [](const CellObstacle& a, const CellObstacle& b) {
        return a.z != b.z ? a.z < b.z : a.height < b.height;
    });
    cell.push_back({ kObstacleSolid, 128, 128, 128, nullptr });

    z = std::max(z, floor);
    int32_t bestDistance = 1000000;
    newZ = kNoHeight;
    int32_t lastTop = kNoHeight;
    int32_t ceiling = floor;
    for (size_t i = 0; i < cell.size(); ++i) {
        const CellObstacle& entry = cell[i];
        if (!(entry.kind & kObstacleSolid))
            continue;
        if (entry.z - ceiling >= 16) {
            // The gap below this entry: a surface or bridge under it with
            // room to stand is where the step may end.
            for (size_t j = i; j-- > 0;) {
                const CellObstacle& below = cell[j];
                if (!(below.kind & (kObstacleSurface | kObstacleBridge)) || below.top < lastTop
                    || entry.z - below.top < 16)
                    continue;
                bool reachable = ((below.kind & kObstacleSurface) && below.top <= climb)
                    || ((below.kind & kObstacleBridge) && below.z <= climb);
                if (!reachable)
                    continue;
                int32_t distance = std::abs(z - below.top);
                if (distance < bestDistance) {
                    bestDistance = distance;
                    newZ = below.top;
                }
            }
        }
        ceiling = std::max<int32_t>(ceiling, entry.top);
        lastTop = std::max<int32_t>(lastTop, entry.top);
    }
    return newZ != kNoHeight;
}

int32_t slopeZ(const std::array<int32_t, 4>& corners, int32_t phase, int32_t direction)
{
    auto [c0, c1, c2, c3] = corners;
    int32_t base = std::abs(c1 - c3) >= std::abs(c0 - c2) ? (c0 + c2) >> 1 : (c1 + c3) >> 1;
    int32_t edge = 0;
    switch (direction & 7) {
    case 0:
        edge = (c0 + c1) >> 1;
        break;
    case 1:
        edge = c1;
        break;
    case 2:
        edge = (c1 + c2) >> 1;
        break;
    case 3:
        edge = c2;
        break;
    case 4:
        edge = (c2 + c3) >> 1;
        break;
    case 5:
        edge = c3;
        break;
    case 6:
        edge = (c3 + c0) >> 1;
        break;
    default:
        edge = c0;
        break;
    }
    switch (phase) {
    case 1:
        return (base + edge) >> 1;
    case 2:
        return edge;
    default:
        return base;
    }
}

int32_t stairZ(uint32_t tileFlags, int32_t base, int32_t height, int32_t phase, int32_t direction)
{
    int32_t ahead = phase == 1 ? base + height - height / 4 : phase == 2 ? base + height : base + height / 2;
    int32_t behind = phase == 1 ? base + height / 4 : phase == 2 ? base : base + height / 2;
    int32_t half = base + height / 2;
    // The two flags turn the stair's rising side a quarter turn either way.
    bool turnedRight = (tileFlags & kTileStairSlopeB) != 0;
    bool turnedLeft = (tileFlags & kTileStairSlopeA) != 0;
    int32_t o = direction & 7;
    auto byDirection = [&](int32_t v) {
        if (v == 2 || v == 6)
            return half;
        if (v >= 3 && v <= 5)
            return behind;
        return ahead;
    };
    if (turnedRight && turnedLeft) {
        if (o == 0 || o == 1 || o == 7)
            return behind;
        if (o == 2 || o == 6)
            return half;
        return ahead;
    }
    if (turnedRight)
        return byDirection((o + 2) & 7);
    if (turnedLeft)
        return byDirection((o - 2) & 7);
    return byDirection(o);
}

int32_t drawnHeightOver(
    int32_t x, int32_t y, int32_t referenceZ, int32_t phase, int32_t direction, const int32_t* fallHeight)
{
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        bool itemLike = object->hasItemTile() && !object->isMobile();
        if (!(object->isLand() || itemLike) || object->x != x || object->y != y || object->topZ() != referenceZ)
            continue;
        if (object->isLand()) {
            if (fallHeight)
                return *fallHeight;
            std::array<int32_t, 4> corners { object->z, object->z, object->z, object->z };
            if (object->isStretchedLand()) {
                const auto& heights = static_cast<const StretchedLandTile*>(object)->cornerHeights();
                corners = { heights[0], heights[1], heights[2], heights[3] };
            }
            return slopeZ(corners, phase, direction);
        }
        const auto* item = static_cast<const StaticObject*>(object);
        uint32_t flags = item->tileFlags();
        if (flags & kTileBridge)
            return stairZ(flags, item->z, item->tileHeight(), phase, direction);
        return fallHeight ? *fallHeight : object->topZ();
    }
    return fallHeight ? *fallHeight : referenceZ;
}

int32_t mobileDrawnHeight(Mobile& mobile)
{
    int32_t frames = std::max(mobile.stepFrames(), 1);
    int32_t countdown = mobile.stepCountdown;
    int32_t fall = 0;
    const int32_t* fallHeight = nullptr;
    if (mobile.highStep) {
        int32_t start = mobile.z + mobile.highStepDz;
        int32_t done = frames - countdown;
        // Fewer than three frames per step leave no frames to fall through:
        // the mobile is drawn at its new height at once.
        if (done <= 1)
            fall = start;
        else if (frames <= 2)
            fall = mobile.z;
        else
            fall = start + (done - 2) * (mobile.z - start) / (frames - 2);
        fallHeight = &fall;
    }
    int32_t facing = mobile.direction & 7;
    if (countdown == 0)
        return drawnHeightOver(mobile.x, mobile.y, mobile.z, 0, facing, fallHeight);
    if (countdown > frames / 2)
        return drawnHeightOver(
            mobile.previousX, mobile.previousY, mobile.previousZ, frames - countdown, facing, fallHeight);
    return drawnHeightOver(mobile.x, mobile.y, mobile.z, countdown, oppositeDirection(facing), fallHeight);
}
