#include "protocol/container_packets.h"

#include "data/client_services.h"
#include "gump/desktop_file.h"
#include "gump/gump.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "protocol/packet_reader.h"
#include "protocol/protocol_text.h"
#include "protocol/window_walks.h"
#include "protocol/world_object_packets.h"
#include "protocol/world_packet_windows.h"
#include "world/container_item.h"
#include "world/effect_calls.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint16_t kSpellbookGump = 0xFFFF;
constexpr uint16_t kPaperdollGump = 0x000A;
constexpr uint16_t kShopGump = 0x0030;
constexpr uint16_t kRadarSmallGump = 5010;
constexpr uint16_t kRadarLargeGump = 5011;
constexpr uint16_t kPlainGumpA = 500;
constexpr uint16_t kPlainGumpB = 501;
constexpr uint16_t kCourseMapFirstArt = 5021;
constexpr int32_t kCorpseEntryLimit = 40;
constexpr uint8_t kReasonNoRestore = 5;
// Every drag effect flies at speed 5 with a fixed picture and no explosion.
constexpr int32_t kDragSpeed = 5;
constexpr int32_t kDragFixedDirection = 1;
constexpr int32_t kDragExplode = 0;

// One item of a container list: serial, graphic, increment, amount,
// position, container and hue.
struct ContainerEntry {
    uint32_t serial = 0;
    uint16_t graphic = 0;
    uint8_t increment = 0;
    uint16_t amount = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint32_t container = 0;
    uint16_t hue = 0;
};

ContainerEntry readContainerEntry(PacketReader& reader)
{
    ContainerEntry entry;
    entry.serial = reader.u32();
    entry.graphic = reader.u16();
    entry.increment = reader.u8();
    entry.amount = reader.u16();
    entry.x = reader.u16();
    entry.y = reader.u16();
    entry.container = reader.u32();
    entry.hue = reader.u16();
    return entry;
}

bool addEntry(const ContainerEntry& entry)
{
    return addItemToContainer(entry.serial, entry.graphic, int8_t(entry.increment), entry.amount, entry.x, entry.y,
        entry.container, entry.hue);
}

Item* ownerOf(uint32_t serial) { return isPlayerSerial(serial) ? player() : findItemBySerial(serial); }

} // namespace

const char* pickUpRejectText(uint8_t reason)
{
    switch (reason) {
    case 0:
        return "You can not pick that up.";
    case 1:
        return "That is too far away.";
    case 2:
        return "That is out of sight.";
    case 3:
        return "That item does not belong to you.  You'll have to steal it.";
    case 4:
        return "You are already holding an item.";
    default:
        return nullptr;
    }
}

namespace {

// The window the server opened, for the container windows the desktop file
// still waits for: until each is reported the file's reopening asks the
// server for it again every few seconds.
void reportOpened(uint32_t serial, CGump* containerWindow, CGump* spellbookWindow)
{
    if (!desktopReopenFinished())
        desktopOnContainerOpened(serial, containerWindow, spellbookWindow);
}

CGump* openWindow(uint32_t serial, uint16_t gumpId)
{
    if (serial == 0xFFFFFFFF)
        return gumpOpenByKind(nullptr, gumpId, nullptr, false, false);
    Item* owner = ownerOf(serial);
    CGump* window = nullptr;
    if (gumpId == kPaperdollGump || gumpId == kShopGump)
        window = gumpOpenByKind(owner, gumpId, nullptr, false, false);
    if (gumpId == kRadarLargeGump || gumpId == kRadarSmallGump) {
        if (serial == 1)
            gumpOpenByKind(owner, gumpId, nullptr, false, false);
        else if (serial == 0)
            closeTopLevelGumps(GumpKind::Radar);
    }
    if (gumpId == kPlainGumpA || gumpId == kPlainGumpB)
        return gumpOpenByKind(owner, gumpId, nullptr, false, false);
    // The gump that step opened may have closed the owner's window and with
    // it the owner's last reference: the owner is found again.
    owner = ownerOf(serial);
    if (owner && owner->isContainer())
        window = gumpOpenByKind(owner, gumpId, nullptr, true, false);
    return window;
}

} // namespace

void handleOpenContainer(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t gumpId = reader.u16();
    if (!reader.ok())
        return;
    if (gumpId == kSpellbookGump && serial != 0xFFFFFFFF) {
        if (Item* owner = ownerOf(serial)) {
            CGump* book = service<WorldEventWindows>().openSpellbook(owner->serial);
            reportOpened(serial, nullptr, book);
        }
        return;
    }
    if (CGump* window = openWindow(serial, gumpId); window && isValidGump(window))
        reportOpened(serial, window, nullptr);
}

void handleContainerItem(const uint8_t* packet)
{
    PacketReader reader(packet);
    ContainerEntry entry = readContainerEntry(reader);
    if (reader.ok())
        addEntry(entry);
}

void handleContainerContents(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint16_t count = reader.u16();
    if (!reader.ok())
        return;
    // The windows draw once, when every item is in.
    setContainerBulkAdd(true);
    std::vector<uint32_t> containers;
    // The count is the server's word: the entries end where the packet
    // does, whatever it says.
    for (uint16_t i = 0; i < count; ++i) {
        ContainerEntry entry = readContainerEntry(reader);
        if (!reader.ok())
            break;
        if (i == 0) {
            Item* container = ownerOf(entry.container);
            if (container && container->isContainer() && !container->isMobile())
                emptyContainer(*static_cast<ContainerItem*>(container));
        }
        containers.push_back(entry.container);
        addEntry(entry);
    }
    setContainerBulkAdd(false);
    std::sort(containers.begin(), containers.end());
    containers.erase(std::unique(containers.begin(), containers.end()), containers.end());
    for (uint32_t serial : containers) {
        if (Item* container = ownerOf(serial); container && container->isContainer())
            worldService<ContainerViews>().contentsArrived(*static_cast<ContainerItem*>(container));
    }
}

void handleCorpseEquipment(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    Item* object = reader.ok() ? findItemBySerial(serial) : nullptr;
    if (!object || !object->isCorpse())
        return;
    auto* corpse = static_cast<Corpse*>(object);
    for (int32_t i = 0; i < kCorpseEntryLimit; ++i) {
        uint8_t layer = reader.u8();
        if (!reader.ok() || layer == 0)
            break;
        uint32_t itemSerial = reader.u32();
        if (!reader.ok())
            break;
        corpse->setLayerSerial(layer, itemSerial);
    }
}

void handleCourseMap(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t art = reader.u16();
    std::array<uint16_t, 6> area {};
    for (uint16_t& value : area)
        value = reader.u16();
    if (!reader.ok())
        return;
    Item* object = findItemBySerial(serial);
    if (object && object->isMap() && art >= kCourseMapFirstArt)
        service<WorldEventWindows>().openCourseMap(serial, art, area);
}

void handleDragAnimation(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint16_t graphic = reader.u16();
    uint8_t offset = reader.u8();
    reader.u16();
    reader.u16();
    uint32_t sourceSerial = reader.u32();
    uint16_t sourceX = reader.u16();
    uint16_t sourceY = reader.u16();
    int8_t sourceZ = reader.i8();
    uint32_t targetSerial = reader.u32();
    uint16_t targetX = reader.u16();
    uint16_t targetY = reader.u16();
    int8_t targetZ = reader.i8();
    if (!reader.ok())
        return;
    int32_t art = int32_t(graphic) + offset;
    Mobile* source = packetMobile(sourceSerial);
    Mobile* target = packetMobile(targetSerial);
    uint32_t sourceXY = packXY(sourceX, sourceY);
    uint32_t targetXY = packXY(targetX, targetY);
    if (source && target)
        createDragEffectBetweenObjects(art, source, target, kDragSpeed, kDragFixedDirection, kDragExplode);
    else if (source)
        createDragEffectFromObject(art, source, targetXY, targetZ, kDragSpeed, kDragFixedDirection, kDragExplode);
    else if (target)
        createDragEffectToObject(art, sourceXY, sourceZ, target, kDragSpeed, kDragFixedDirection, kDragExplode);
    else
        createDragEffect(art, sourceXY, sourceZ, targetXY, targetZ, kDragSpeed, kDragFixedDirection, kDragExplode);
}

void handlePickUpReject(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint8_t reason = reader.u8();
    if (!reader.ok())
        return;
    if (reason != kReasonNoRestore)
        restoreDraggedItem();
    closeTopLevelGumps(GumpKind::DragGump);
    dragState().dragging = false;
    if (const char* text = pickUpRejectText(reason))
        windowNotices().addSystemMessage(0, kSystemMessageFont, text);
}

void handleDropRejectClear(const uint8_t*) { dragState().dragging = false; }

void handleDropAccepted(const uint8_t*) { dragState().dragging = false; }
