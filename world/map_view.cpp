#include "world/map_view.h"

#include "data/data_files.h"
#include "world/cell_grid.h"
#include "world/facets.h"
#include "world/land_tile.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/terrain_blocks.h"
#include "world/tile_data.h"
#include "world/update_range.h"
#include "world/world_drawing.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint16_t kMissingStaticGraphic = 1;

bool isPlayerInWorld()
{
    const PlayerMobile* self = player();
    return self && !self->isDetached();
}

void forgetWindow(MapView& view)
{
    view.windowBlockX = MapView::kNoWindow;
    view.windowBlockY = MapView::kNoWindow;
    view.positionFacet = -1;
    view.blockWindow.fill(-1);
}

bool inWindow(int32_t blockX, int32_t blockY, int32_t cornerX, int32_t cornerY)
{
    return blockX >= cornerX && blockX < cornerX + MapView::kWindowBlocks && blockY >= cornerY
        && blockY < cornerY + MapView::kWindowBlocks;
}

void createStatics(int32_t block, int32_t blockX, int32_t blockY)
{
    for (const StaticRecord& record : getStaticsBlock(block)) {
        int32_t graphic = record.graphic >= kFirstStaticArt ? kMissingStaticGraphic : record.graphic;
        StaticObject* object = allocStatic(graphic);
        const TileDataItem& tile = tileData().item(object->graphic);
        if (tile.flags & kTileLightSource)
            object->direction = tile.quality;
        object->applyGraphicAndHue(normalizeHue(record.hue));
        object->baseHue = record.hue;
        object->enterWorldAt(blockX * 8 + record.x, blockY * 8 + record.y, record.z);
    }
}

void loadStaticsWindow()
{
    MapView& view = mapView();
    int32_t cornerX = (view.centreX - MapView::kLandRadius) >> 3;
    int32_t cornerY = (view.centreY - MapView::kLandRadius) >> 3;
    if (cornerX == view.windowBlockX && cornerY == view.windowBlockY)
        return;
    WorldList& world = worldLists().world;
    for (StaticObject* object = world.head(); object;) {
        StaticObject* next = WorldList::next(object);
        if (!object->isDynamic() && !object->isMultiPart() && !object->isPreviewPiece()
            && !inWindow(object->x >> 3, object->y >> 3, cornerX, cornerY))
            object->destroy();
        object = next;
    }
    for (int32_t& slot : view.blockWindow) {
        if (slot >= 0 && !inWindow(slot / view.blocksHigh, slot % view.blocksHigh, cornerX, cornerY))
            slot = -1;
    }
    for (int32_t blockY = cornerY; blockY < cornerY + MapView::kWindowBlocks; ++blockY) {
        if (blockY < 0 || blockY >= view.blocksHigh)
            continue;
        for (int32_t blockX = cornerX; blockX < cornerX + MapView::kWindowBlocks; ++blockX) {
            if (blockX < 0 || blockX >= view.blocksWide)
                continue;
            int32_t block = blockX * view.blocksHigh + blockY;
            if (std::find(view.blockWindow.begin(), view.blockWindow.end(), block) != view.blockWindow.end())
                continue;
            auto freeSlot = std::find(view.blockWindow.begin(), view.blockWindow.end(), -1);
            if (freeSlot == view.blockWindow.end())
                continue;
            *freeSlot = block;
            createStatics(block, blockX, blockY);
        }
    }
    view.windowBlockX = cornerX;
    view.windowBlockY = cornerY;
}

void loadLandSquare()
{
    const MapView& view = mapView();
    for (int32_t y = view.centreY - MapView::kLandRadius; y <= view.centreY + MapView::kLandRadius; ++y) {
        for (int32_t x = view.centreX - MapView::kLandRadius; x <= view.centreX + MapView::kLandRadius; ++x) {
            if (hasLandAt(x, y))
                continue;
            if (view.centreX >= view.wrapWidth)
                createLandTile(x, y);
            else
                createWrappedLandTile(x, y);
        }
    }
}

const WorldObject* landInCell(int32_t x, int32_t y)
{
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        if (object->isLand())
            return object;
    }
    return nullptr;
}

void updateUnderground()
{
    MapView& view = mapView();
    const WorldObject* land = landInCell(view.centreX, view.centreY);
    int32_t landZ = land ? land->z : 0;
    int32_t ceiling = view.centreZ + 16;
    if (ceiling < landZ) {
        if (!view.playerUnderground) {
            clearWorldBackBuffer();
            view.playerUnderground = true;
            view.undergroundCeilingZ = ceiling;
            invalidateWholeScreen();
        } else if (ceiling != view.undergroundCeilingZ) {
            view.undergroundCeilingZ = ceiling;
            invalidateWholeScreen();
        }
    } else if (view.playerUnderground) {
        view.playerUnderground = false;
        invalidateWholeScreen();
    }
}

} // namespace

MapView& mapView()
{
    static MapView view;
    return view;
}

void initMapView()
{
    MapView& view = mapView();
    view = MapView {};
    forgetWindow(view);
}

void forgetMapWindow() { forgetWindow(mapView()); }

void resetMapView()
{
    forgetWindow(mapView());
    worldCellGrid().clearAll();
}

void setFacet(int32_t facet)
{
    MapView& view = mapView();
    if (facet == view.currentFacet)
        return;
    view.currentFacet = facet;
    const FacetInfo& info = facetInfo(facet);
    view.mapWidth = info.width;
    view.mapHeight = info.height;
    view.blocksWide = info.width / 8;
    view.blocksHigh = info.height / 8;
    view.wrapWidth = info.wrapWidth;
    view.wrapHeight = info.wrapHeight;
    resetMapView();
    worldService<MapViewServices>().resetWalkState();
    resetWorldObjectsForSession();
}

void setPlayerPosition(int32_t x, int32_t y, int32_t z, int32_t facet)
{
    invalidateWholeScreen();
    MapView& view = mapView();
    if (x != -1) {
        view.centreX = x;
        view.centreY = y;
        view.centreZ = z;
    }
    view.positionFacet = facet;
    if (isPlayerInWorld() && x != -1) {
        loadMapWindow();
        worldService<MapViewServices>().closeMissileGumps();
    }
}

void moveMapViewCentre(int32_t dx, int32_t dy, int32_t z)
{
    MapView& view = mapView();
    int32_t oldX = view.centreX;
    int32_t oldY = view.centreY;
    view.centreX += dx;
    view.centreY += dy;
    view.centreZ = z;
    if (oldX < view.wrapWidth) {
        int32_t shiftX = 0;
        int32_t shiftY = 0;
        if (view.centreX >= view.wrapWidth)
            shiftX = -view.wrapWidth;
        else if (view.centreX < 0)
            shiftX = view.wrapWidth;
        if (view.centreY >= view.wrapHeight)
            shiftY = -view.wrapHeight;
        else if (view.centreY < 0)
            shiftY = view.wrapHeight;
        if (shiftX != 0 || shiftY != 0) {
            view.centreX += shiftX;
            view.centreY += shiftY;
            oldX += shiftX;
            oldY += shiftY;
            shiftWorldObjects(shiftX, shiftY);
        }
    }
    if (!isPlayerInWorld())
        return;
    loadMapWindow();
    if (updateRangeState().rangeColoring) {
        int32_t range = currentUpdateRange();
        invalidateObjectsBetween(oldX, oldY, range, view.centreX, view.centreY, range, false);
    }
}

void loadMapWindow()
{
    worldCellGrid().follow();
    loadStaticsWindow();
    loadLandSquare();
    worldService<RadarView>().rebuildRadar();
    updateUnderground();
}

int32_t wrappedDistance(int32_t px, int32_t py, int32_t qx, int32_t qy)
{
    const MapView& view = mapView();
    bool pBeyond = px >= view.wrapWidth;
    bool qBeyond = qx >= view.wrapWidth;
    if (pBeyond != qBeyond)
        return 9999;
    int32_t dx = std::abs(px - qx);
    int32_t dy = std::abs(py - qy);
    if (!pBeyond) {
        dx = std::min(dx, view.wrapWidth - dx);
        dy = std::min(dy, view.wrapHeight - dy);
    }
    return std::max(dx, dy);
}

void shiftWorldObjects(int32_t dx, int32_t dy)
{
    WorldCellGrid& grid = worldCellGrid();
    std::vector<WorldObject*> objects;
    for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
        for (WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            // Slices are made again by their owners' placing.
            if (!object->isSlice())
                objects.push_back(object);
        }
    }
    for (WorldObject* object : objects) {
        if (!isValidWorldObject(object))
            continue;
        object->removeFromGrid();
        object->x = int16_t(object->x + dx);
        object->y = int16_t(object->y + dy);
    }
    for (WorldObject* object : objects) {
        if (isValidWorldObject(object))
            object->place();
    }
}

bool hasLandAt(int32_t x, int32_t y)
{
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        if (object->isLand() && object->x == int16_t(x) && object->y == int16_t(y))
            return true;
    }
    return false;
}
