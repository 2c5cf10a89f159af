#include "world/object_interaction.h"

#include "net/client_packets.h"
#include "world/container_item.h"
#include "world/item_graphics.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_queries.h"
#include "world/world_services.h"

#include <array>

namespace {

constexpr int32_t kReachRange = 3;
constexpr int32_t kEyeHeight = 12;
constexpr uint16_t kStaticNameHue = 995;
constexpr uint16_t kStaticNameFont = 3;

bool g_shiftHeld = false;

// The targeted command a scroll starts instead of being used: -1 for other
// graphics, else 0 (no target), 1 (a location) or 2 (an object).
int32_t scrollCommandType(uint16_t graphic)
{
    switch (graphic) {
    case 3829:
    case 3830:
    case 3833:
        return 0;
    case 3827:
    case 3828:
        return 1;
    case 899:
    case 3831:
    case 3832:
        return 2;
    default:
        return -1;
    }
}

void sendWorldUseRequest(uint32_t serial)
{
    std::array<uint8_t, 8> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildUseObjectPacket(packet, serial))
        sendWorldPacket(packet);
}

void sendPickUpRequest(uint32_t serial, uint16_t amount)
{
    std::array<uint8_t, 8> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildPickUpItemPacket(packet, serial, amount))
        sendWorldPacket(packet);
}

} // namespace

DragState& dragState()
{
    static DragState drag;
    return drag;
}

void setShiftKeyHeld(bool held) { g_shiftHeld = held; }

bool isShiftKeyHeld() { return g_shiftHeld; }

LastUsedObject& lastUsedObject()
{
    static LastUsedObject last;
    return last;
}

bool isObjectReachable(const WorldObject& object)
{
    const PlayerMobile* self = player();
    if (!self || !object.isWithinRangeOfPlayer(kReachRange))
        return false;
    const WorldObject* point = &object;
    if (object.isDynamic() && object.hasItemTile())
        point = &static_cast<const Item&>(object).outermost();
    return hasLineOfSight(point->x, point->y, point->z, self->x, self->y, self->z + kEyeHeight, kTileImpassable);
}

void useObject(WorldObject& object)
{
    if (!object.isDynamic() || !object.hasItemTile())
        return;
    auto& item = static_cast<Item&>(object);
    lastUsedObject() = { item.serial, item.graphic };
    if (item.isMap()) {
        MapWindows& windows = worldService<MapWindows>();
        if (windows.isOpenFor(static_cast<MapItem&>(item)))
            windows.closeFor(static_cast<MapItem&>(item));
        else
            sendWorldUseRequest(item.serial);
        return;
    }
    int32_t commandType = scrollCommandType(item.graphic);
    if (commandType >= 0) {
        worldService<TargetedCommands>().beginTargetedCommand("scroll", commandType, item.serial);
        return;
    }
    sendWorldUseRequest(item.serial);
}

void labelStatic(StaticObject& object)
{
    if (worldService<OverheadTextViews>().textCount(object) > 0)
        return;
    WorldMessages& messages = worldService<WorldMessages>();
    messages.prefixNextNameWithYouSee();
    if (!object.isDynamic())
        messages.showStaticName(object, getObjectClilocName(object), kStaticNameHue, kStaticNameFont);
}

void pickUpItem(Item& item, uint16_t amount)
{
    if (!isObjectReachable(item))
        return;
    bool stack = item.amount > 1 && (item.tileFlags() & kTileStackable);
    if (amount == 0 && stack && !g_shiftHeld) {
        worldService<DragViews>().openAmountWindow(item);
        return;
    }
    if (amount == 0)
        amount = item.amount;

    DragState& drag = dragState();
    drag = DragState {};
    drag.x = item.x;
    drag.y = item.y;
    drag.z = item.z;
    drag.graphic = item.graphic;
    drag.drawGraphic = item.drawGraphic;
    drag.graphicOffset = item.graphicOffset;
    drag.serial = item.serial;
    drag.baseHue = item.baseHue;
    drag.hue = item.hue;
    drag.amount = amount;
    drag.flags = item.flags;
    drag.tileFlags = item.tileFlags();
    // Where it goes back to when the server refuses: the layer it was worn
    // in, else the content list it lay in (a mobile's too).
    if (const Item* parent = item.container()) {
        if (item.isWorn() && item.layer >= 1) {
            drag.wearerSerial = parent->serial;
            drag.layer = item.layer;
        } else {
            drag.containerSerial = parent->serial;
        }
    }
    uint32_t serial = item.serial;
    item.destroy();
    worldService<DragViews>().forgetObjectUnderPointer();
    drag.dragging = true;
    sendPickUpRequest(serial, amount);
    worldService<DragViews>().createDragWindow(drag);
}

bool restoreDraggedItem()
{
    DragState& drag = dragState();
    if (!drag.dragging)
        return false;
    drag.dragging = false;
    // The server may have sent the item again already.
    if (drag.serial == 0 || findItemBySerial(drag.serial))
        return false;
    Item* parent = nullptr;
    if (drag.containerSerial)
        parent = findItemBySerial(drag.containerSerial);
    else if (drag.wearerSerial)
        parent = findItemBySerial(drag.wearerSerial);
    // The place it came from is gone: the server will send the item again.
    if ((drag.containerSerial || drag.wearerSerial) && !parent)
        return false;

    Item* item = createItemObject(drag.serial, drag.graphic, drag.graphicOffset);
    item->drawGraphic = drag.drawGraphic;
    item->baseHue = drag.baseHue;
    item->hue = drag.hue;
    item->amount = drag.amount;
    item->flags = drag.flags;
    bool placed = false;
    if (drag.containerSerial)
        placed = parent->isContainer() && item->enterContainer(*static_cast<ContainerItem*>(parent), drag.x, drag.y, drag.z);
    else if (drag.wearerSerial)
        placed = parent->isMobile() && item->equipOn(*static_cast<Mobile*>(parent), drag.layer);
    else {
        item->enterWorldAt(drag.x, drag.y, drag.z);
        placed = true;
    }
    if (!placed)
        item->destroy();
    return placed;
}
