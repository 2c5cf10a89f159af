#include "world/cell_picking.h"

#include "gfx/art_image.h"
#include "world/cell_grid.h"
#include "world/circle_of_transparency.h"
#include "world/container_item.h"
#include "world/house_designer_view.h"
#include "world/item_graphics.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/static_object.h"
#include "world/terrain_blocks.h"
#include "world/tile_data.h"
#include "world/world_screen.h"
#include "world/world_services.h"
#include "world/world_settings.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kLastBody = 1000;

bool isPickableItem(const WorldObject& object, int32_t dx, int32_t dy, int32_t px, int32_t py)
{
    if (worldObjectSettings().useCircleTrans && !worldService<HouseDesignerView>().isDesigning()
        && isInCircleOfTransparency(object))
        return false;
    const auto& item = static_cast<const StaticObject&>(object);
    if (item.drawFlags == 4 || item.drawFlags == 8)
        return false;
    if (item.isCorpse())
        return item.amount < kLastBody && static_cast<const Corpse&>(item).hitTest(px, py);
    if (item.isMobile()) {
        if (item.graphic >= kLastBody)
            return false;
        return static_cast<const Mobile&>(item).hitTest(px, py);
    }
    if (isHiddenItemGraphic(item.graphic))
        return false;
    const ArtImage* image = item.iconImage();
    if (!image)
        return isInLandDiamond(dx, dy);
    if (getArtPixel(image, dx, dy) != 0)
        return true;
    return item.isDrawnDoubled() && getArtPixel(image, dx - 5, dy - 5) != 0;
}

} // namespace

bool isInLandDiamond(int32_t dx, int32_t dy)
{
    int32_t down = dx + dy;
    int32_t across = dy - dx + 43;
    return down > 20 && down < 66 && across > 20 && across < 66;
}

WorldObject* WorldCellGrid::pickAt(int32_t x, int32_t y, bool ignoreLand) const
{
    const WorldScreen& screen = worldScreen();
    int32_t px = x + screen.viewPixelX;
    int32_t py = y + screen.viewPixelY;
    const MapView& view = mapView();
    std::span<const uint16_t> order = drawOrder();
    for (size_t entry = order.size(); entry-- > 0;) {
        const int32_t index = gridIndexOfRelative(order[entry]);
        WorldObject* object = head(index);
        if (!object || !bounds(index).contains(px, py))
            continue;
        while (object->cellNext())
            object = object->cellNext();
        for (; object; object = object->cellPrev()) {
            if (!object->screenRect.contains(px, py))
                continue;
            if (object->isHidden() || object->isSlice() || object->isEffect())
                continue;
            int32_t dx = px - object->screenRect.left;
            int32_t dy = py - object->screenRect.top;
            if (object->isLand()) {
                if (ignoreLand || (view.playerUnderground && object->z > view.undergroundCeilingZ))
                    continue;
                if (isInLandDiamond(dx, dy))
                    return object;
                continue;
            }
            if (!object->hasItemTile())
                continue;
            if (isPickableItem(*object, dx, dy, px, py))
                return object;
        }
    }
    return nullptr;
}

WorldObject* WorldCellGrid::findLandAt(int32_t x, int32_t y) const
{
    const WorldScreen& screen = worldScreen();
    int32_t px = x + screen.viewPixelX;
    int32_t py = y + screen.viewPixelY;
    const MapView& view = mapView();
    WorldObject* best = nullptr;
    int32_t bestDistance = 9999;
    std::span<const uint16_t> order = drawOrder();
    for (size_t entry = order.size(); entry-- > 0;) {
        const int32_t index = gridIndexOfRelative(order[entry]);
        if (!bounds(index).contains(px, py))
            continue;
        for (WorldObject* object = head(index); object; object = object->cellNext()) {
            if (!object->isLand() || !object->screenRect.contains(px, py))
                continue;
            if (view.playerUnderground && object->z > view.undergroundCeilingZ)
                continue;
            const ScreenRect& box = object->screenRect;
            int32_t distance = std::abs(px - (box.left + box.right) / 2) + std::abs(py - (box.top + box.bottom) / 2);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = object;
            }
        }
    }
    return best;
}

WorldObject* WorldCellGrid::topObjectAt(int32_t x, int32_t y) const
{
    WorldObject* last = head(cellIndex(x, y));
    if (!last)
        return nullptr;
    while (last->cellNext())
        last = last->cellNext();
    WorldObject* before = last->cellPrev();
    // A floor laid over a roof piece of a house: the roof is what is walked on.
    if (before && (before->tileFlags() & kTileRoof) && before->hasItemTile()
        && static_cast<const StaticObject*>(before)->isMultiPart() && (last->tileFlags() & kTileSurface))
        return before;
    return last;
}

WorldObject* pickWorldObjectAt(int32_t screenX, int32_t screenY)
{
    WorldObject* object = worldCellGrid().pickAt(screenX, screenY, true);
    return object && isValidWorldObject(object) ? object : nullptr;
}

int32_t topZAt(int32_t x, int32_t y)
{
    int32_t top = 0;
    if (!mapView().playerUnderground) {
        std::array<int8_t, 4> corners = getCellCornerHeights(x, y);
        top = (corners[1] + corners[3]) / 2;
    }
    for (const StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object)) {
        if (object->x != x || object->y != y || object->isHidden())
            continue;
        top = std::max(top, int32_t(object->z) + object->tileHeight());
    }
    return top == -127 ? 0 : top;
}
