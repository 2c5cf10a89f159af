#include "windows/drag_gump.h"

#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "windows/container_gump.h"
#include "windows/item_pictures.h"
#include "windows/name_plate_gump.h"
#include "windows/paperdoll_gump.h"
#include "windows/window_packets.h"
#include "windows/world_view_gump.h"
#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/item_graphics.h"
#include "world/land_tile.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_queries.h"
#include "world/world_services.h"
#include "world/world_settings.h"

#include <cstdlib>

namespace {

constexpr int32_t kFirstBookGraphic = 13700;
constexpr int32_t kLastBookGraphic = 13729;
constexpr int32_t kBookGraphicShift = 11369;
constexpr int32_t kDragCensoredFleshArt = 0x6127;
constexpr int32_t kDragDoubledShift = 5;
constexpr int32_t kDropReach = 3;
constexpr int32_t kDropEyeHeight = 12;
constexpr int32_t kCellHalf = 22;
constexpr uint16_t kDropAnywhere = 0xFFFF;
constexpr uint32_t kGround = 0xFFFFFFFF;

DragGump* g_dragGump = nullptr;

void playRefusal() { worldService<WorldSounds>().playSound(DragGump::kRefusalSound, 0, 0, false, 0, false); }

// The height a drop on the cell of `picked` lands at: the land's mean, the
// top of a surface, 0 off the list; false when something impassable is in
// the way.
bool dropHeight(WorldObject& picked, int32_t& z)
{
    z = 0;
    for (WorldObject* object = &picked; object; object = object->cellPrev()) {
        if (object->x != picked.x || object->y != picked.y || object->isSlice())
            continue;
        if (object->isLand()) {
            if (object->isStretchedLand()) {
                const auto& corners = static_cast<StretchedLandTile*>(object)->cornerHeights();
                z = (corners[1] + corners[3]) / 2;
            } else {
                z = object->z;
            }
            return true;
        }
        if (!object->hasItemTile())
            continue;
        const auto* item = static_cast<StaticObject*>(object);
        const uint32_t flags = item->tileFlags();
        if (flags & kTileSurface) {
            z = item->z + item->tileHeight();
            return true;
        }
        if (flags & kTileImpassable)
            return false;
    }
    return true;
}

} // namespace

DragGump* dragGump() { return isValidGump(g_dragGump) ? g_dragGump : nullptr; }

bool isEqualStack(const Item& object, const DragState& held)
{
    const uint32_t flags = tileData().item(object.tileIndex()).flags;
    return object.amount != 0 && (flags & kTileStackable) && held.amount != 0 && (held.tileFlags & kTileStackable)
        && object.graphic == held.graphic + held.graphicOffset && object.hue == held.hue;
}

int32_t equipLayerFor(int32_t tileIndex)
{
    const TileDataItem& tile = tileData().item(tileIndex);
    if (!areObjectPropertyListsOn()) {
        const int32_t animation = tile.animationId;
        if (animation >= 921 && animation <= 925)
            return 5;
        if (animation == 926)
            return 23;
        if (animation == 529)
            return 24;
    }
    return tile.quality;
}

int32_t dragPictureArt(int32_t graphic, int32_t amount, bool& gumpArt)
{
    gumpArt = false;
    if (graphic >= kFirstBookGraphic && graphic <= kLastBookGraphic) {
        gumpArt = true;
        return graphic - kBookGraphicShift;
    }
    if (isAmountArtGraphic(graphic))
        return ArtImageCache::kStaticArtBase + graphic + (amount <= 1 ? 0 : amount <= 5 ? 1 : 2);
    if (worldObjectSettings().censorFlesh && isFleshGraphic(graphic))
        return kDragCensoredFleshArt;
    return ArtImageCache::kStaticArtBase + graphic;
}

HeldPicture heldPicture(const DragState& held)
{
    HeldPicture picture;
    picture.art = dragPictureArt(held.drawGraphic, held.amount, picture.gumpArt);
    if (picture.gumpArt) {
        getGumpArtSize(picture.art, picture.width, picture.height);
        return picture;
    }
    const ArtImage* image = getArtImage(picture.art);
    if (!image) {
        picture.art = ArtImageCache::kStaticArtBase;
        image = getArtImage(picture.art);
    }
    if (!image)
        return picture;
    picture.doubled = !isAmountArtGraphic(held.drawGraphic) && held.amount > 1 && (held.tileFlags & kTileStackable);
    const int32_t shift = picture.doubled ? kDragDoubledShift : 0;
    picture.width = image->width() + shift;
    picture.height = image->height() + shift;
    return picture;
}

DragGump::DragGump(const DragState& held)
    : CGump(0, 0, nullptr, 1, 0, 0)
{
    setTypeName("drag gump");
    addKind(GumpKind::DragGump);
    g_dragGump = this;
    GumpPointer& pointer = service<GumpPointer>();
    pointer.setPointerCapture(this);

    const HeldPicture picture = heldPicture(held);
    PixelSpanFn span = copySpanTransparent;
    if (worldObjectSettings().censorBlood && isBloodGraphic(held.drawGraphic))
        span = bloodRecolourSpan;
    else
        span = hueSpanFor(hueEntryIndex(held.hue), (held.tileFlags & kTilePartialHue) != 0);
    const int32_t width = picture.width;
    const int32_t height = picture.height;
    setSize(width, height);
    page(0)->allocate(width, height);
    if (page(0)->isAllocated()) {
        const BlitTarget target = page(0)->target();
        if (picture.gumpArt) {
            drawGumpArt(copySpanTransparent, picture.art, target, 0, 0);
        } else if (const ArtImage* image = getArtImage(picture.art)) {
            blitArt(span, image, target, 0, 0);
            if (picture.doubled)
                blitArt(span, image, target, kDragDoubledShift, kDragDoubledShift);
        }
    }
    if (isGumpArt565() && page(0)->isAllocated())
        convertPixelsTo565(page(0)->pixels.data(), page(0)->pixels.size());

    int32_t x = 0;
    int32_t y = 0;
    pointer.pointerPosition(x, y);
    setLocation(x - width / 2, y - height / 2);
    gumpLink(this, nullptr);
    pointer.setCursorForGumpType(0);
    onDrag(width / 2, height / 2);
}

DragGump::~DragGump()
{
    if (g_dragGump == this)
        g_dragGump = nullptr;
    DragState& held = dragState();
    held.dragging = false;
    service<GumpPointer>().clearPointerCaptureIf(this);
    if (CGump* target = m_paperdollTarget.get()) {
        auto* doll = static_cast<PaperdollGump*>(target);
        doll->setPressedLayer(-1);
        doll->markDirty();
    }
}

CGump* DragGump::gumpUnder(int32_t screenX, int32_t screenY) { return gumpHitTest(screenX, screenY, this, false); }

void DragGump::onDrag(int32_t x, int32_t y)
{
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    moveBy(x - width() / 2, y - height() / 2, true, nullptr, false);
    GumpHandle self(this);
    CGump* under = gumpUnder(screenX, screenY);
    const DragState& held = dragState();
    CGump* previous = m_paperdollTarget.get();
    CGump* target = nullptr;
    if (held.dragging && under && under->is(GumpKind::Paperdoll) && (held.tileFlags & kWearableFlag)) {
        auto* doll = static_cast<PaperdollGump*>(under);
        const int32_t layer = equipLayerFor(held.graphic + held.graphicOffset);
        Mobile* wearer = doll->mobile();
        if (wearer && !wearer->layerItem(layer)) {
            target = doll;
            doll->setPressedLayer(layer);
        }
    }
    if (previous && previous != target)
        static_cast<PaperdollGump*>(previous)->setPressedLayer(-1);
    m_paperdollTarget = GumpHandle(target);
    if (previous != target) {
        if (previous)
            static_cast<PaperdollGump*>(previous)->markDirty();
        if (target)
            static_cast<PaperdollGump*>(target)->markDirty();
    }
    WorldViewGump* view = worldViewGump();
    if (m_rightHeld && view && under == view) {
        int32_t localX = screenX;
        int32_t localY = screenY;
        view->screenToLocal(localX, localY);
        view->onDrag(localX, localY);
    }
}

void DragGump::onMouseOver(int32_t x, int32_t y)
{
    service<GumpPointer>().setPointerCapture(this);
    onDrag(x, y);
}

void DragGump::passRightButton(int32_t x, int32_t y, bool down)
{
    m_rightHeld = down;
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    WorldViewGump* view = worldViewGump();
    if (!view || gumpUnder(screenX, screenY) != view)
        return;
    view->screenToLocal(screenX, screenY);
    view->onMouseOver(screenX, screenY);
    if (down)
        view->onRightDown(screenX, screenY);
    else
        view->onRightUp(screenX, screenY);
}

void DragGump::onHoverTick()
{
    if (WorldViewGump* view = worldViewGump())
        view->onHoverTick();
}

void DragGump::refuse() { playRefusal(); }

void DragGump::closeAfterDrop()
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void DragGump::drop(int32_t x, int32_t y)
{
    int32_t screenX = x;
    int32_t screenY = y;
    localToScreen(screenX, screenY);
    CGump* under = gumpUnder(screenX, screenY);
    if (!under || !under->acceptsItemDrop())
        return;
    const DragState& held = dragState();
    int32_t localX = screenX;
    int32_t localY = screenY;
    under->screenToLocal(localX, localY);
    if (!held.dragging || held.serial == 0) {
        if (under->is(GumpKind::WorldView))
            closeAfterDrop();
        return;
    }
    if (under->is(GumpKind::WorldView)) {
        WorldObject* object = worldCellGrid().pickAt(localX, localY, true);
        if (object && object->isDynamic() && dropOnObject(object))
            return;
        dropOnGround(localX, localY);
        return;
    }
    if (under->is(GumpKind::Paperdoll)) {
        auto* doll = static_cast<PaperdollGump*>(under);
        Mobile* wearer = doll->mobile();
        const int32_t layer = doll->itemSlotAt(localX, localY, true);
        Item* worn = wearer && layer >= 0 ? wearer->layerItem(layer) : nullptr;
        if (worn && worn->isContainer()) {
            doll->setPressedLayer(-1);
            sendDropRequest(held.serial, kDropAnywhere, kDropAnywhere, 0, worn->serial);
            closeAfterDrop();
            return;
        }
        if (wearer && m_paperdollTarget.get() == doll) {
            doll->setPressedLayer(-1);
            sendWearRequest(held.serial, uint8_t(equipLayerFor(held.graphic + held.graphicOffset)), wearer->serial);
            closeAfterDrop();
            return;
        }
        refuse();
        return;
    }
    if (under->is(GumpKind::NamePlate)) {
        if (WorldObject* object = findObjectBySerial(static_cast<NamePlateGump*>(under)->objectSerial()))
            dropOnObject(object);
        return;
    }
    if (under->is(GumpKind::ContainerGump)) {
        auto* window = static_cast<ContainerGump*>(under);
        ContainerItem* container = window->container();
        if (container && isObjectReachable(*container) && window->dropAt(localX, localY))
            closeAfterDrop();
        else
            refuse();
        return;
    }
    if (under->is(GumpKind::Spellbook)) {
        Item* book = findItemBySerial(under->ownerSerial());
        if (book && isSpellScrollGraphic(held.graphic)) {
            sendDropRequest(held.serial, kDropAnywhere, kDropAnywhere, 0, book->serial);
            closeAfterDrop();
        } else {
            refuse();
        }
        return;
    }
    refuse();
}

void DragGump::dropOnGround(int32_t x, int32_t y)
{
    const DragState& held = dragState();
    WorldObject* picked
        = worldCellGrid().pickAt(x + width() / 2 - kCellHalf, y + height() / 2 - kCellHalf, false);
    if (!picked)
        return;
    const int32_t cellX = picked->x;
    const int32_t cellY = picked->y;
    const MapView& view = mapView();
    const PlayerMobile* self = player();
    if (!self || std::abs(cellX - view.centreX) > kDropReach || std::abs(cellY - view.centreY) > kDropReach
        || !hasLineOfSight(self->x, self->y, self->z + kDropEyeHeight, cellX, cellY, 0, kTileImpassable)) {
        refuse();
        return;
    }
    int32_t z = 0;
    if (!dropHeight(*picked, z)) {
        refuse();
        return;
    }
    sendDropRequest(held.serial, uint16_t(cellX), uint16_t(cellY), uint8_t(int8_t(z)), kGround);
    closeAfterDrop();
}

bool DragGump::dropOnObject(WorldObject* object)
{
    if (!object)
        return false;
    const DragState& held = dragState();
    if (!isObjectReachable(*object)) {
        refuse();
        return true;
    }
    if (object->isMobile() || object->isContainer()) {
        sendDropRequest(held.serial, kDropAnywhere, kDropAnywhere, 0, static_cast<Item*>(object)->serial);
        closeAfterDrop();
        return true;
    }
    if (object->isDynamic() && object->hasItemTile()) {
        auto* item = static_cast<Item*>(object);
        if (isEqualStack(*item, held)) {
            sendDropRequest(held.serial, uint16_t(item->x), uint16_t(item->y), uint8_t(item->z), item->serial);
            closeAfterDrop();
            return true;
        }
    }
    if (object->isLand() || (object->tileFlags() & kTileSurface))
        return false;
    refuse();
    return true;
}

