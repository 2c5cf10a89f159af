#include "world/static_object.h"

#include "data/def_tables.h"
#include "gfx/art_cache.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/seasons.h"
#include "world/tile_data.h"
#include "world/visibility.h"
#include "world/world_services.h"
#include "world/world_settings.h"

namespace {

constexpr int32_t kStaticArtBase = 0x4000;
constexpr uint16_t kHueNumberMask = 0x3FFF;
constexpr uint16_t kHueModeMask = 0xC000;
constexpr int32_t kMaxHueNumber = 3000;
constexpr int32_t kCensoredFleshArt = 24871;

bool isWinterCanopyExempt(int32_t graphic) { return graphic == 1 || (graphic >= 15935 && graphic <= 16108); }

} // namespace

WorldLists& worldLists()
{
    static WorldLists lists;
    return lists;
}

StaticPool& staticPool()
{
    static StaticPool pool;
    return pool;
}

uint16_t normalizeHue(uint16_t hue)
{
    uint16_t number = hue & kHueNumberMask;
    if (number == 0)
        return hue & 0x8000;
    if (number >= kMaxHueNumber)
        return uint16_t((hue & kHueModeMask) | 1);
    return hue;
}

int32_t hueEntryIndex(uint16_t hue)
{
    // The mode bits select how a hue is applied, never which one: an index
    // built with them would lie far past the 3000 entries of the table.
    int32_t number = normalizeHue(hue) & kHueNumberMask;
    return number == 0 ? -1 : number - 1;
}

int32_t artRemapHue(int32_t graphic)
{
    const DefTable* table = defTable(DefSlot::Art);
    if (!table)
        return -1;
    uint16_t artId = uint16_t((graphic & 0x3FFF) + kStaticArtBase);
    if (!table->contains(artId))
        return -1;
    const DefEntry* entry = table->getEntry(artId);
    return entry ? entry->hue : -1;
}

uint16_t remappedDrawGraphic(int32_t graphic)
{
    const DefTable* table = defTable(DefSlot::Art);
    uint16_t artId = uint16_t((graphic & 0x3FFF) + kStaticArtBase);
    if (!table || !table->contains(artId))
        return uint16_t(graphic & 0x3FFF);
    return uint16_t(table->translate(artId, 0) & 0x3FFF);
}

bool isLightSourceObject(int32_t graphic, int32_t tileIndex)
{
    return (tileData().item(tileIndex).flags & kTileLightSource) || (graphic >= 15874 && graphic <= 15883)
        || (graphic >= 14612 && graphic <= 14633);
}

StaticObject* allocStatic(int32_t graphic)
{
    const PlayerMobile* self = player();
    int32_t seasonal = itemGraphicForSeason(graphic, self ? self->x : 0) & 0x3FFF;
    StaticObject* object = staticPool().allocate();
    const TileDataItem& tile = tileData().item(seasonal);
    object->graphic = uint16_t(seasonal);
    object->amount = uint16_t(tile.extra6 & 0xFFFF);
    object->applyGraphicAndHue(tile.extra12);
    return object;
}

StaticObject::StaticObject()
{
    x = -1;
    y = -1;
}

StaticObject::~StaticObject()
{
    if (!detached)
        StaticObject::leaveWorld();
    worldLists().multiParts.remove(this);
    worldService<OverheadTextViews>().deleteAll(*this);
}

void StaticObject::destroy() { staticPool().release(this); }

void StaticObject::applyGraphicAndHue(uint16_t newBaseHue)
{
    drawGraphic = remappedDrawGraphic(graphic);
    baseHue = newBaseHue;
    int32_t remapHue = newBaseHue == 0 ? artRemapHue(graphic) : -1;
    hue = remapHue >= 0 ? uint16_t(remapHue) : newBaseHue;
}

uint32_t StaticObject::tileFlags() const { return tileData().item(tileIndex()).flags; }

int32_t StaticObject::tileHeight() const { return tileData().item(tileIndex()).height; }

int32_t StaticObject::tileExtra() const { return tileData().item(tileIndex()).tileExtra; }

int32_t StaticObject::topZ() const
{
    int32_t height = tileHeight();
    if (tileFlags() & kTileBridge)
        height /= 2;
    return z + height;
}

int32_t StaticObject::staticDepthKey() const
{
    int32_t key = z;
    if (tileFlags() & kTileBackground)
        --key;
    if (tileHeight() > 0)
        ++key;
    return key;
}

void StaticObject::place()
{
    if (isPlaced())
        removeFromGrid();
    if (placeable == 0)
        return;
    placeWithDepthKey(staticDepthKey());
}

bool StaticObject::isHidden() const { return isStaticHidden(*this); }

bool StaticObject::isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const
{
    return WorldObject::isWithinRangeOf(range, atX, atY);
}

bool StaticObject::hasAmountArt() const { return isAmountArtGraphic(graphic); }

bool StaticObject::isDrawnDoubled() const { return (tileFlags() & kTileStackable) && !hasAmountArt() && amount > 1; }

int32_t StaticObject::iconArtId() const
{
    if (drawGraphic > 0x4000)
        return -1;
    if (worldObjectSettings().censorFlesh && isFleshGraphic(tileIndex()))
        return kCensoredFleshArt;
    int32_t picture = drawGraphic + graphicOffset;
    if (hasAmountArt())
        picture = drawGraphic + (amount <= 1 ? 0 : amount <= 5 ? 1 : 2);
    return kStaticArtBase + picture;
}

const ArtImage* StaticObject::iconImage() const
{
    int32_t artId = iconArtId();
    return artId < 0 ? nullptr : getArtImage(artId);
}

void StaticObject::computeBounds()
{
    const ArtImage* image = iconImage();
    if (!image) {
        // No picture: the cell's diamond box.
        screenRect.left = columnKey * 22;
        screenRect.top = rowKey * 22 - z * 4;
        screenRect.right = screenRect.left + 44;
        screenRect.bottom = screenRect.top + 44;
        return;
    }
    bool doubled = isDrawnDoubled();
    int32_t width = image->width() + (doubled ? 5 : 0);
    screenRect.bottom = rowKey * 22 - z * 4 + 43;
    screenRect.top = screenRect.bottom - image->height() - (doubled ? 5 : 0);
    screenRect.left = columnKey * 22 - width / 2;
    screenRect.right = screenRect.left + width;
}

void StaticObject::anchorPoint(int32_t& anchorX, int32_t& anchorY) const
{
    anchorX = (screenRect.left + screenRect.right) / 2;
    anchorY = (screenRect.top + screenRect.bottom) / 2;
}

void StaticObject::joinTileLists()
{
    // A mobile's graphic is a body, not an item tile.
    if (isMobile())
        return;
    WorldLists& lists = worldLists();
    uint32_t ownFlags = tileData().item(graphic).flags;
    if (ownFlags & kTileAnimated)
        lists.animated.pushFront(this);
    if (tileFlags() & kTileFoliage) {
        lists.foliage.pushFront(this);
        // Bare trees in winter: the canopy is left out unless wanted.
        const PlayerMobile* self = player();
        int32_t season = getSeasonAtPlayer(self ? self->x : 0);
        if ((season == 3 || season == 4) && !worldObjectSettings().treeCanopies && !isWinterCanopyExempt(graphic))
            removeFromGrid();
    }
    if (isLightSourceObject(graphic, tileIndex()) && !LightSourceList::isLinked(this)) {
        lists.lightSources.pushFront(this);
        worldService<WorldLights>().invalidateLight(*this);
    }
}

void StaticObject::leaveTileLists()
{
    WorldLists& lists = worldLists();
    lists.animated.remove(this);
    if (LightSourceList::isLinked(this)) {
        lists.lightSources.remove(this);
        worldService<WorldLights>().invalidateLight(*this);
    }
    lists.foliage.remove(this);
}

void StaticObject::enterWorldAt(int32_t atX, int32_t atY, int32_t atZ)
{
    if (!detached)
        leaveWorld();
    worldLists().world.pushFront(this);
    x = int16_t(atX);
    y = int16_t(atY);
    z = int16_t(atZ);
    detached = false;
    place();
    joinTileLists();
}

void StaticObject::leaveWorld()
{
    if (isPlaced())
        removeFromGrid();
    leaveTileLists();
    worldLists().world.remove(this);
    detached = true;
}

void StaticObject::moveTo(int32_t atX, int32_t atY, int32_t atZ)
{
    if (!detached)
        leaveWorld();
    enterWorldAt(atX, atY, atZ);
}
