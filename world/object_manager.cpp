#include "world/object_manager.h"

#include "world/anim_data.h"
#include "world/container_item.h"
#include "world/multi_components.h"
#include "world/dying_links.h"
#include "world/item_graphics.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/overhead_texts.h"
#include "world/path_search.h"
#include "world/tile_data.h"
#include "world/update_range.h"
#include "world/walking.h"
#include "world/world_services.h"

#include <vector>

namespace {

constexpr uint16_t kMultiGraphicBase = 0x4000;
constexpr uint16_t kMultiItemGraphic = 1;
constexpr int32_t kWrapMargin = 18;
constexpr int32_t kMultiPartRange = 18;
constexpr int32_t kFollowDistance = 3;

struct ManagerState {
    PlayerMobile* player = nullptr;
    uint32_t playerSerial = 0;
    // The item list as the frame walk found it; reused every frame.
    std::vector<Item*> walk;
};

ManagerState& managerState()
{
    static ManagerState manager;
    return manager;
}

bool matchesPlayerSerial(uint32_t serial)
{
    const PlayerMobile* self = managerState().player;
    return (self && serial == self->serial)
        || (managerState().playerSerial != 0 && serial == managerState().playerSerial);
}

// Coordinates near the far edge of the wrapping part, seen from a centre
// near its near edge, are brought round to the centre's side (and back).
int32_t wrapCoordinate(int32_t value, int32_t centre, int32_t size)
{
    if (centre < kWrapMargin && value > size - kWrapMargin)
        return value - size;
    if (centre >= size - kWrapMargin && value <= kWrapMargin)
        return value + size;
    return value;
}

// Objects of the multi-part list come into the world near the player and
// leave it farther away.
void stepMultiParts()
{
    MultiPartList& parts = worldLists().multiParts;
    for (StaticObject* part = parts.head(); part;) {
        StaticObject* next = MultiPartList::next(part);
        bool near = part->isWithinRangeOfPlayer(kMultiPartRange);
        if (near && part->isDetached())
            part->enterWorldAt(part->x, part->y, part->z);
        else if (!near && !part->isDetached())
            part->leaveWorld();
        part = next;
    }
}

// Calls `visit` for every item of the item list as it stands now. Items
// destroyed by an earlier visit are skipped, however they went.
template <typename Visit>
void walkItemList(Visit visit)
{
    std::vector<Item*>& walk = managerState().walk;
    walk.clear();
    for (Item* item = itemList().head(); item; item = ItemList::next(item))
        walk.push_back(item);
    uint64_t destructions = worldObjectDestructions();
    for (Item* item : walk) {
        if (worldObjectDestructions() != destructions && !isValidWorldObject(item))
            continue;
        visit(*item);
    }
}

void dropIfOutOfRange(Item& item)
{
    if (!item.container() && !item.isInUpdateRange())
        item.destroy();
}

} // namespace

PlayerMobile* player() { return managerState().player; }

uint32_t playerSerial() { return managerState().playerSerial; }

bool isPlayerDead()
{
    const PlayerMobile* self = player();
    return self && self->isDead();
}

void setPlayerSerial(uint32_t serial) { managerState().playerSerial = serial; }

void refreshPlayerObjectSerial()
{
    PlayerMobile* self = managerState().player;
    uint32_t announced = managerState().playerSerial;
    if (!self || announced == 0 || self->serial == announced)
        return;
    for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
        if (item != self && item->serial == announced) {
            // The player's own equipment never holds its serial (refused on
            // entry), so this is never one of the player's parents.
            item->destroy();
            break;
        }
    }
    self->serial = announced;
}

Item* findItemBySerial(uint32_t serial)
{
    PlayerMobile* self = managerState().player;
    if (self && self->serial == serial)
        return self;
    for (Item* item = itemList().head(); item; item = ItemList::next(item)) {
        if (item->serial == serial)
            return item;
    }
    return nullptr;
}

WorldObject* findObjectBySerial(uint32_t serial) { return findItemBySerial(serial); }

ObjectClass chooseObjectClass(uint32_t serial, uint16_t graphic)
{
    if (!(serial & kItemSerialBit))
        return ObjectClass::Mobile;
    return chooseItemClass(graphic);
}

ObjectClass chooseItemClass(uint16_t graphic)
{
    if (graphic == Corpse::kCorpseGraphic)
        return ObjectClass::Corpse;
    uint32_t tileFlags = tileData().item(graphic).flags;
    if (tileFlags & kTileMapItem)
        return ObjectClass::MapItem;
    if (isSpellbookGraphic(graphic))
        return ObjectClass::Spellbook;
    if (tileFlags & kTileContainer)
        return ObjectClass::Container;
    return ObjectClass::Plain;
}

namespace {

Item* makeObject(ObjectClass kind, uint32_t serial, uint16_t graphic, int8_t graphicOffset)
{
    switch (kind) {
    case ObjectClass::Mobile:
        return new Mobile(serial, graphic, graphicOffset);
    case ObjectClass::Corpse:
        return new Corpse(serial, Corpse::kCorpseGraphic);
    case ObjectClass::MapItem:
        return new MapItem(serial, graphic, graphicOffset, true);
    case ObjectClass::Spellbook:
        return new SpellbookItem(serial, graphic, graphicOffset, true);
    case ObjectClass::Container:
        return new ContainerItem(serial, graphic, graphicOffset, true);
    case ObjectClass::Plain:
        break;
    }
    return allocItem(serial, graphic, graphicOffset);
}

} // namespace

Item* createObject(uint32_t serial, uint16_t graphic, int8_t graphicOffset)
{
    return makeObject(chooseObjectClass(serial, graphic), serial, graphic, graphicOffset);
}

Item* createItemObject(uint32_t serial, uint16_t graphic, int8_t graphicOffset)
{
    return makeObject(chooseItemClass(graphic), serial, graphic, graphicOffset);
}

bool onObjectPacket(uint32_t serial, uint16_t graphic, int8_t graphicOffset, uint16_t amount, int32_t x, int32_t y,
    int8_t z, uint8_t direction, uint16_t hue, uint8_t flags)
{
    // The player moves by its own packets; an object order naming it would
    // queue steps nobody takes, or move it out of the walking code's hands.
    if (matchesPlayerSerial(serial))
        return false;
    const MapView& view = mapView();
    if (view.centreX < view.wrapWidth) {
        x = wrapCoordinate(x, view.centreX, view.wrapWidth);
        y = wrapCoordinate(y, view.centreY, view.wrapHeight);
    }
    int32_t multiId = -1;
    if (graphic >= kMultiGraphicBase) {
        multiId = graphic - kMultiGraphicBase;
        graphic = kMultiItemGraphic;
    }

    Item* object = findItemBySerial(serial);
    bool isNew = false;
    if (object) {
        if (!object->isMobile() && !object->multi())
            object->leaveWorld();
    } else {
        isNew = true;
        object = createObject(serial, graphic, graphicOffset);
        if (object->isMobile()) {
            auto* mobile = static_cast<Mobile*>(object);
            mobile->direction = direction & 0x7F;
            mobile->running = (direction & 0x80) ? 1 : 0;
            mobile->applyGraphicAndHue(normalizeHue(hue));
            mobile->drawZ = z;
            mobile->enterWorldAt(x, y, z);
            setObjectFlags(*mobile, flags);
            mobile->idle = 0;
        } else {
            object->direction = direction;
            object->applyGraphicAndHue(normalizeHue(hue));
            object->amount = amount;
            setObjectFlags(*object, flags);
        }
    }

    if (object->isMobile()) {
        auto& mobile = static_cast<Mobile&>(*object);
        mobile.queueStep({ int16_t(x), int16_t(y), int16_t(z), graphic, direction, flags, hue });
        PlayerMobile* self = managerState().player;
        if (self && self->following && self->followSerial == mobile.serial
            && !mobile.isWithinRangeOf(kFollowDistance, self->x, self->y)) {
            int32_t goalX = 0;
            int32_t goalY = 0;
            mobile.lastQueuedPosition(goalX, goalY);
            int32_t goalZ = mobile.stepCount() > 0 ? mobile.queuedStep(mobile.stepCount() - 1).z : mobile.z;
            worldService<FollowPaths>().followMoved(mobile, goalX, goalY, goalZ);
        }
    } else {
        object->graphicOffset = graphicOffset;
        object->direction = direction;
        object->amount = amount;
        setObjectFlags(*object, flags);
        if (multiId >= 0) {
            // The item took graphic 1 when it was made; its list's first
            // record gives it its own. Servers resend their houses and
            // boats all the time: a repeat at the same place changes
            // nothing, and a new id (a boat that turned) rebuilds the
            // pieces. A multi without components stands as its own item,
            // so that it leaves with the update range like any other.
            object->setMultiPosition(x, y, z, multiId);
            object->applyGraphicAndHue(normalizeHue(hue));
        } else {
            object->graphic = graphic & 0x3FFF;
            object->applyGraphicAndHue(normalizeHue(hue));
            object->enterWorldAt(x, y, z);
        }
    }
    if (isNew && !object->isMobile())
        restoreOverheadTexts(*object);
    if (!object->isInUpdateRange() && !object->isMultiPart())
        object->destroy();
    return true;
}

bool addItemToContainer(uint32_t serial, uint16_t graphic, int8_t graphicOffset, uint16_t amount, int32_t x,
    int32_t y, uint32_t containerSerial, uint16_t hue)
{
    Item* container = matchesPlayerSerial(containerSerial) ? managerState().player : findItemBySerial(containerSerial);
    if (!container || !container->isContainer())
        return false;
    // The object the new item replaces is destroyed first; when that is the
    // container, one of its parents or the player, the container would go
    // with it.
    if (matchesPlayerSerial(serial))
        return false;
    for (const Item* parent = container; parent; parent = parent->container()) {
        if (parent->serial == serial)
            return false;
    }
    if (Item* existing = findItemBySerial(serial)) {
        existing->destroy();
        if (!isValidWorldObject(container))
            return false;
    }
    Item* item = createObject(serial, graphic, graphicOffset);
    item->applyGraphicAndHue(normalizeHue(hue));
    item->amount = amount;
    if (!item->enterContainer(*static_cast<ContainerItem*>(container), x, y, 0)) {
        item->destroy();
        return false;
    }
    return true;
}

bool equipItemOnMobile(uint32_t mobileSerial, uint32_t itemSerial, uint16_t graphic, int32_t layer, uint16_t hue)
{
    Item* owner = matchesPlayerSerial(mobileSerial) ? managerState().player : findItemBySerial(mobileSerial);
    if (!owner || !owner->isMobile() || layer < 0 || layer >= kLayerCount || matchesPlayerSerial(itemSerial))
        return false;
    auto& mobile = static_cast<Mobile&>(*owner);
    Item* item = findItemBySerial(itemSerial);
    bool isNew = false;
    if (item) {
        if (item == owner || mobile.isInside(*item))
            return false;
    } else {
        isNew = true;
        item = createItemObject(itemSerial, graphic & 0x3FFF, 0);
    }
    item->applyGraphicAndHue(normalizeHue(hue));
    if (!item->equipOn(mobile, layer)) {
        if (isNew)
            item->destroy();
        return false;
    }
    return true;
}

bool deleteObjectBySerial(uint32_t serial)
{
    Item* object = findItemBySerial(serial);
    if (!object || object->isPlayer())
        return false;
    if (object->isMobile() && isTrackedMobile(serial))
        return false;
    keepOverheadTexts(*object);
    object->destroy();
    return true;
}

void updateWorldObjects()
{
    stepMultiParts();
    walkItemList([](Item& item) {
        if (item.placeable == 0)
            return;
        if (!item.container() && !item.isInUpdateRange()) {
            item.destroy();
            return;
        }
        if (item.isPlayer())
            playerFrameStep();
        else if (item.isMobile())
            mobileFrameStep(static_cast<Mobile&>(item));
    });
    stepTileAnimations();
}

void stepTileAnimations()
{
    AnimDataTable& table = animDataTable();
    table.beginUpdate();
    for (StaticObject* object = worldLists().animated.head(); object; object = AnimatedList::next(object)) {
        if (object->isHidden())
            continue;
        int8_t offset = object->graphicOffset;
        if (!table.stepObject(object->graphic, offset))
            continue;
        // Re-placed with its new picture; the list itself does not change.
        object->removeFromGrid();
        object->graphicOffset = offset;
        object->place();
    }
}

void dropOutOfRangeObjects()
{
    stepMultiParts();
    walkItemList(dropIfOutOfRange);
}

void clearWorld()
{
    if (PlayerMobile* self = managerState().player) {
        self->detach();
        // Everything the player carried belongs to the old session.
        self->destroyLayerItems(0, kLayerCount);
        emptyContainer(*self);
    }
    // The pieces of every placed multi stand in the world list and go with
    // it; their owners (on the ground, or worn or carried by a mobile) must
    // not destroy them again.
    walkItemList([](Item& item) {
        if (MultiComponentList* multi = item.multi(); multi && multi->isPlaced())
            worldService<MultiComponents>().setShared(multi);
    });
    WorldList& world = worldLists().world;
    while (StaticObject* oldest = world.tail())
        oldest->destroy();
    // Items out of the world and out of any container (left behind by an
    // order that never placed them) would stay findable by serial.
    walkItemList([](Item& item) {
        if (!item.isPlayer() && !item.container())
            item.destroy();
    });
    clearDyingLinks();
}

void resetWorldObjectsForSession()
{
    clearWorld();
    resetWalkState();
    freePathNodes();
    resetLightLevels();
    resetUpdateRange();
    if (PlayerMobile* self = player())
        self->resetUpdateRangeByte();
    dragState() = DragState {};
}

void initWorldObjects()
{
    deletePlayerObject();
    clearWorld();
    WorldLists& lists = worldLists();
    while (StaticObject* object = lists.multiParts.head())
        object->destroy();
    overheadTextKeeper().clear();
    dragState() = DragState {};
    managerState().playerSerial = 0;
    managerState().walk.clear();
}

PlayerMobile* createPlayerObject()
{
    if (!managerState().player)
        managerState().player = new PlayerMobile(0, 0, 0);
    return managerState().player;
}

void deletePlayerObject()
{
    if (PlayerMobile* self = managerState().player)
        self->destroy();
}

void forgetPlayerObject(const PlayerMobile* object)
{
    if (managerState().player == object)
        managerState().player = nullptr;
}
