#include "world/world_drawing.h"

#include "gfx/art_cache.h"
#include "gfx/terrain_art.h"
#include "world/cell_grid.h"
#include "world/land_tile.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/static_object.h"
#include "world/terrain_blocks.h"
#include "world/tile_data.h"
#include "world/world_screen.h"

#include <algorithm>
#include <vector>

namespace {

// Inclusive edges: an object touching the rectangle is drawn (clipped).
bool meets(const ScreenRect& bounds, const ScreenRect& rect)
{
    return bounds.top <= rect.bottom && bounds.bottom >= rect.top && bounds.left <= rect.right
        && bounds.right >= rect.left;
}

bool isHiddenTree(const WorldObject& object)
{
    return object.hasItemTile() && (object.tileFlags() & kTileFoliage) != 0;
}

// A hidden tree in front of the player is drawn see-through: its tile
// record reads translucent for the length of the draw.
void drawTranslucent(WorldObject& object, const BlitTarget& target, const ScreenRect& rect)
{
    int32_t record = static_cast<const StaticObject&>(object).tileIndex();
    TileData& tiles = tileData();
    uint32_t flags = tiles.item(record).flags;
    if (!tiles.setItemFlags(record, flags | kTileTranslucent))
        return;
    object.draw(target, rect);
    tiles.setItemFlags(record, flags);
}

ScreenRect toWorldPixels(const ScreenRect& rect)
{
    const WorldScreen& screen = worldScreen();
    return { rect.left + screen.viewPixelX, rect.top + screen.viewPixelY, rect.right + screen.viewPixelX,
        rect.bottom + screen.viewPixelY };
}

// Every object of the grid whose picture meets `world` (world pixels), in
// draw order.
template <typename Visit>
void forEachObjectMeeting(const ScreenRect& world, Visit visit)
{
    const WorldCellGrid& grid = worldCellGrid();
    grid.forEachCellMeeting(world, [&](int32_t index) {
        for (WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            if (meets(object->screenRect, world))
                visit(*object);
        }
    });
}

} // namespace

void drawCellsInRect(const BlitTarget& target, const ScreenRect& rect)
{
    ScreenRect clip = rect.intersected(target.bounds);
    if (clip.isEmpty())
        return;
    if (mapView().playerUnderground) {
        for (int32_t row = clip.top; row < clip.bottom; ++row) {
            uint16_t* pixels = target.at(clip.left, row);
            std::fill(pixels, pixels + clip.width(), uint16_t(0));
        }
    }
    forEachObjectMeeting(toWorldPixels(clip), [&](WorldObject& object) {
        if (!object.isHidden())
            object.draw(target, clip);
        else if (isHiddenTree(object))
            drawTranslucent(object, target, clip);
    });
}

void WorldFrameDrawer::drawWorldRect(const BlitTarget& target, const ScreenRect& rect)
{
    drawCellsInRect(target, rect);
    applyLightPass(target, rect);
}

void invalidateObjectsBetween(
    int32_t x1, int32_t y1, int32_t range1, int32_t x2, int32_t y2, int32_t range2, bool outOfSecondAlso)
{
    // The ranges are tested first: they are plain arithmetic and turn most
    // objects away before the picture and hiding are looked at.
    const ScreenRect world = toWorldPixels(worldGameArea());
    const WorldCellGrid& grid = worldCellGrid();
    grid.forEachCellMeeting(world, [&](int32_t index) {
        for (WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            bool inFirst = object->isWithinRangeOf(range1, x1, y1);
            bool inSecond = object->isWithinRangeOf(range2, x2, y2);
            if (inFirst == inSecond && (!outOfSecondAlso || inSecond))
                continue;
            if (!meets(object->screenRect, world) || (object->isHidden() && !isHiddenTree(*object)))
                continue;
            invalidateWorldRect(object->screenRect);
        }
    });
}

void invalidateLandWithTexture(int32_t landId)
{
    const WorldCellGrid& grid = worldCellGrid();
    for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
        for (WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            if (object->isLand() && object->isPlaced() && ((getLandTileId(object->x, object->y) ^ landId) & 0x7FFF) == 0)
                object->invalidate();
        }
    }
}

void refreshObjectsWithGraphic(int32_t graphic)
{
    // Placing again moves an object within its cell list (or to another
    // cell), so the matches are collected first and each placed once.
    std::vector<StaticObject*> matches;
    const WorldCellGrid& grid = worldCellGrid();
    for (int32_t index = 0; index < WorldCellGrid::kCellCount; ++index) {
        for (WorldObject* object = grid.head(index); object; object = object->cellNext()) {
            if (!object->hasItemTile() || object->isMobile() || !object->isPlaced())
                continue;
            auto* item = static_cast<StaticObject*>(object);
            if (item->tileIndex() == graphic)
                matches.push_back(item);
        }
    }
    for (StaticObject* object : matches) {
        object->removeFromGrid();
        object->place();
    }
}

void WorldArtListener::landArtChanged(uint16_t id)
{
    terrainArtCache().forgetLandArt(id);
    invalidateLandWithTexture(id);
}

void WorldArtListener::staticArtChanged(uint16_t graphic)
{
    artImageCache().forget(int32_t(graphic) + kFirstStaticArt);
    refreshObjectsWithGraphic(graphic);
}
