#include "protocol/general_info_packet.h"

#include "core/wide_text.h"
#include "data/difference_lists.h"
#include "data/server_features.h"
#include "data/settings_registry.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/property_cache.h"
#include "net/buffered_connection.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "protocol/combat_packets.h"
#include "protocol/packet_reader.h"
#include "protocol/packet_session.h"
#include "protocol/property_revisions.h"
#include "protocol/window_walks.h"
#include "protocol/world_object_packets.h"
#include "protocol/world_packet_windows.h"
#include "world/facets.h"
#include "world/house_designer_view.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/multi_cache.h"
#include "world/multi_components.h"
#include "world/object_manager.h"

#include <span>

namespace {

enum Sub : uint16_t {
    kStepKeys = 0x01,
    kStepKey = 0x02,
    kHelpMail = 0x03,
    kCloseGeneric = 0x04,
    kParty = 0x06,
    kFacet = 0x08,
    kPropertyRevision = 0x10,
    kDifferenceCounts = 0x11,
    kContextMenu = 0x14,
    kCloseByKind = 0x16,
    kHelpControl = 0x17,
    kDifferenceList = 0x18,
    kDeadAndLocks = 0x19,
    kSpellbook = 0x1B,
    kHouseRevision = 0x1D,
    kHouseDesignRequest = 0x1E,
    kHouseCommand = 0x20,
    kAbilityReset = 0x21,
    kDamage = 0x22,
    kSpellToggle = 0x25,
    kMovementFlags = 0x26,
    kIgnoredText = 0x27,
    kRaceChange = 0x2A,
    kUsePrimary = 0x09,
    kUseSecondary = 0x0A,
    kPointerClick = 0x07,
    kStatusBarClosed = 0x0C,
};

constexpr int32_t kStepKeyCount = PlayerMobile::kWalkKeyCount;
constexpr uint32_t kEndOfList = 0xFFFFFFFF;
constexpr uint32_t kCrafterEntry = 0xFFFFFFFD;
constexpr uint32_t kUnidentifiedEntry = 0xFFFFFFFC;
constexpr size_t kMaxEquipAttributes = 10;
constexpr uint32_t kContextMenuTextBase = 3000000;
using InfoRequestStorage = PacketStorage<32>;

std::u16string widenField(PacketReader& reader, int32_t size)
{
    return bytesToWideString(reader.fixedText(size, size_t(size)));
}

void stepKeys(PacketReader& reader)
{
    std::array<uint32_t, kStepKeyCount> keys {};
    for (uint32_t& key : keys)
        key = reader.u32();
    if (!reader.ok())
        return;
    if (fromShownShard()) {
        if (PlayerMobile* self = player()) {
            for (int32_t i = 0; i < kStepKeyCount; ++i)
                self->setWalkKey(keys[size_t(i)], i);
        }
        return;
    }
    currentSession()->walkKeys = keys;
}

void stepKey(PacketReader& reader)
{
    uint32_t key = reader.u32();
    if (!reader.ok() || !fromShownShard())
        return;
    if (PlayerMobile* self = player()) {
        self->addWalkKey(key);
        return;
    }
    if (ShardSession* session = currentSession()) {
        for (uint32_t& slot : session->walkKeys) {
            if (slot == 0) {
                slot = key;
                return;
            }
        }
    }
}

void helpMail(PacketReader& reader)
{
    std::u16string address = widenField(reader, 32);
    std::u16string name = widenField(reader, 32);
    std::u16string subject = widenField(reader, 32);
    std::u16string body = widenField(reader, 128);
    if (reader.ok())
        service<GeneralInfoWindows>().composeMail(address, name, subject, body);
}

void facetChange(PacketReader& reader)
{
    uint8_t facet = reader.u8();
    // Only a facet of the table can be shown: another would leave the map
    // without sizes and files.
    if (!reader.ok() || !isValidFacet(facet))
        return;
    if (fromShownShard()) {
        setFacet(facet);
        return;
    }
    currentSession()->facet = facet;
    setFacet(mapView().currentFacet);
}

// The older list that servers without property lists send instead of a
// revision. It ends at its end mark, at the unidentified mark, or where
// the packet ends, whichever comes first.
void equipmentInformation(PacketReader& reader)
{
    EquipInfo info;
    info.serial = reader.u32();
    info.nameText = reader.u32();
    if (!reader.ok())
        return;
    for (;;) {
        uint32_t tag = reader.u32();
        if (!reader.ok() || tag == kEndOfList)
            break;
        if (tag == kUnidentifiedEntry) {
            info.identified = false;
            break;
        }
        if (tag == kCrafterEntry) {
            uint16_t length = reader.u16();
            std::string crafter = reader.fixedText(length, length);
            if (!reader.ok())
                break;
            info.hasCrafter = true;
            info.crafter = crafter;
            continue;
        }
        uint16_t value = reader.u16();
        if (!reader.ok())
            break;
        if (info.attributes.size() < kMaxEquipAttributes)
            info.attributes.push_back({ tag, value });
    }
    if (findObjectBySerial(info.serial))
        service<GeneralInfoWindows>().showEquipInfo(info);
}

void propertyRevision(PacketReader& reader)
{
    if (!characterListFlag(5) && !editServerMode()) {
        equipmentInformation(reader);
        return;
    }
    setPropertyRequestForm(0);
    uint32_t serial = reader.u32();
    uint32_t revision = reader.u32();
    if (reader.ok())
        refreshStalePropertyList(serial, revision);
}

void differenceCounts(PacketReader& reader)
{
    uint32_t statics0 = reader.u32();
    uint32_t statics1 = reader.u32();
    uint32_t map0 = reader.u32();
    uint32_t map1 = reader.u32();
    if (!reader.ok())
        return;
    differenceLists().setLimits(0, statics0, map0);
    differenceLists().setLimits(1, statics1, map1);
    loadDifferenceLists();
}

void differenceList(PacketReader& reader)
{
    uint32_t count = reader.u32();
    if (!reader.ok())
        return;
    // The count is the server's word; the pairs end where the packet does.
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t statics = reader.u32();
        uint32_t map = reader.u32();
        if (!reader.ok())
            break;
        if (i < uint32_t(kDifferenceFacetCount))
            differenceLists().setLimits(int(i), statics, map);
    }
    loadDifferenceLists();
}

void contextMenu(PacketReader& reader)
{
    reader.u16();
    uint32_t serial = reader.u32();
    uint8_t count = reader.u8();
    if (!reader.ok() || !findObjectBySerial(serial))
        return;
    std::vector<ContextMenuEntry> entries;
    for (uint8_t i = 0; i < count; ++i) {
        ContextMenuEntry entry;
        entry.tag = reader.u16();
        entry.textId = kContextMenuTextBase + reader.u16();
        entry.flags = reader.u16();
        if (entry.flags & 0x84)
            reader.u16();
        if (entry.flags & 0x40)
            reader.u16();
        if (entry.flags & 0x20)
            entry.hue = reader.u16();
        if (!reader.ok())
            return;
        entries.push_back(entry);
    }
    service<GeneralInfoWindows>().contextMenu(serial, entries);
}

void helpControl(PacketReader& reader)
{
    uint8_t command = reader.u8();
    uint32_t topic = 0;
    uint8_t value = 0;
    if (command == 1) {
        topic = reader.u32();
        value = reader.u8();
    } else if (command >= 3 && command <= 5) {
        value = reader.u8();
    }
    if (reader.ok())
        service<GeneralInfoWindows>().helpControl(command, topic, value);
}

void deadFlagAndLocks(PacketReader& reader)
{
    uint8_t level = reader.u8();
    uint32_t serial = reader.u32();
    uint8_t flag = reader.u8();
    if (!reader.ok())
        return;
    Item* object = isPlayerSerial(serial) ? player() : findItemBySerial(serial);
    Mobile* mobile = object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
    if (mobile)
        mobile->setDeadFlag(flag != 0);
    if (level < 2)
        return;
    uint8_t locks = reader.u8();
    if (!reader.ok())
        return;
    uint8_t strength = (locks >> 4) & 3;
    uint8_t dexterity = (locks >> 2) & 3;
    uint8_t intelligence = locks & 3;
    if (mobile && strength != 3 && dexterity != 3 && intelligence != 3)
        service<StatusWindows>().statLocksChanged(serial, strength, dexterity, intelligence);
}

void spellbookContent(PacketReader& reader)
{
    reader.u16();
    uint32_t serial = reader.u32();
    uint16_t graphic = reader.u16();
    uint16_t first = reader.u16();
    std::array<uint8_t, 8> bits {};
    for (uint8_t& byte : bits)
        byte = reader.u8();
    if (reader.ok())
        service<GeneralInfoWindows>().spellbookContent(serial, graphic, first, bits);
}

void houseRevision(PacketReader& reader)
{
    uint32_t house = reader.u32();
    uint32_t revision = reader.u32();
    if (!reader.ok())
        return;
    MultiCache& cache = multiCache();
    MultiCacheEntry* cached = cache.find(house);
    if (cached && cached->revision == int32_t(revision)) {
        cache.applyToHouse(house);
    } else {
        if (cached)
            cache.remove(house);
        sendHouseDesignRequest(house);
    }
    HouseDesignWindows& designer = service<HouseDesignWindows>();
    if (worldService<HouseDesignerView>().isPlayerInDesign() && designer.designedHouse() == house)
        designer.designRevised();
}

void houseCommand(PacketReader& reader)
{
    uint32_t house = reader.u32();
    uint8_t command = reader.u8();
    uint16_t graphic = reader.u16();
    int32_t x = reader.u16();
    int32_t y = reader.u16();
    int32_t z = reader.i8();
    if (!reader.ok())
        return;
    HouseDesignWindows& designer = service<HouseDesignWindows>();
    switch (command) {
    case 1:
        designer.addComponent(house, graphic, x, y, z);
        break;
    case 2:
        designer.removeComponent(house, graphic, x, y, z);
        break;
    case 3:
        if (Item* object = findItemBySerial(house); object && object->multi()) {
            object->multi()->removeAt(x, y, z);
            object->setMultiPosition(object->x, object->y, object->z, object->multi()->multiId());
        }
        break;
    case 4:
        designer.beginCustomizing(house);
        break;
    case 5:
        designer.endCustomizing(house);
        break;
    default:
        break;
    }
}

void damage(PacketReader& reader)
{
    reader.u8();
    uint32_t serial = reader.u32();
    uint8_t amount = reader.u8();
    if (!reader.ok() || amount == 0)
        return;
    showDamageNumber(serial, amount);
}

void raceChange(PacketReader& reader)
{
    uint8_t first = reader.u8();
    uint8_t second = reader.u8();
    if (!reader.ok())
        return;
    // A second choice with its top bit set only closes the window.
    bool open = (second & 0x80) == 0;
    if (second > 0 && open)
        --second;
    service<GeneralInfoWindows>().raceChange(open, first, second);
}

bool sendIfConnected(const PacketBuffer& buffer)
{
    return !buffer.failed() && currentGameConnection() && sendPacket(buffer);
}

} // namespace

bool buildGeneralInfoPacket(PacketBuffer& buffer, uint16_t subCommand)
{
    packetBegin(buffer, 0xBF);
    packetPutShort(buffer, subCommand);
    return !buffer.failed();
}

bool sendUsePrimaryAbility()
{
    InfoRequestStorage buffer;
    buildGeneralInfoPacket(buffer, kUsePrimary);
    return sendIfConnected(buffer);
}

bool sendUseSecondaryAbility()
{
    InfoRequestStorage buffer;
    buildGeneralInfoPacket(buffer, kUseSecondary);
    return sendIfConnected(buffer);
}

bool sendPointerClick(uint8_t flag)
{
    InfoRequestStorage buffer;
    buildGeneralInfoPacket(buffer, kPointerClick);
    packetPutByte(buffer, flag != 0 ? 1 : 0);
    return sendIfConnected(buffer);
}

bool sendStatusBarClosed(uint32_t serial)
{
    InfoRequestStorage buffer;
    buildGeneralInfoPacket(buffer, kStatusBarClosed);
    packetPutLong(buffer, serial);
    return sendIfConnected(buffer);
}

bool sendHouseDesignRequest(uint32_t house)
{
    InfoRequestStorage buffer;
    buildGeneralInfoPacket(buffer, kHouseDesignRequest);
    packetPutLong(buffer, house);
    return sendIfConnected(buffer);
}

void handleGeneralInfo(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint16_t sub = reader.u16();
    if (!reader.ok())
        return;
    switch (sub) {
    case kStepKeys:
        stepKeys(reader);
        break;
    case kStepKey:
        stepKey(reader);
        break;
    case kHelpMail:
        helpMail(reader);
        break;
    case kCloseGeneric: {
        uint32_t typeId = reader.u32();
        reader.u32();
        if (reader.ok())
            genericGumpCloseById(typeId);
        break;
    }
    case kParty: {
        int32_t left = reader.remaining();
        const uint8_t* bytes = nullptr;
        int32_t at = reader.offset();
        if (left >= 0 && packetGetBytes(packet, at, bytes, left))
            service<GeneralInfoWindows>().partyMessage({ bytes, size_t(left) });
        break;
    }
    case kFacet:
        facetChange(reader);
        break;
    case kPropertyRevision:
        propertyRevision(reader);
        break;
    case kDifferenceCounts:
        differenceCounts(reader);
        break;
    case kContextMenu:
        contextMenu(reader);
        break;
    case kCloseByKind: {
        uint32_t kind = reader.u32();
        uint32_t serial = reader.u32();
        if (reader.ok())
            closeWindowsByKind(kind, serial);
        break;
    }
    case kHelpControl:
        helpControl(reader);
        break;
    case kDifferenceList:
        differenceList(reader);
        break;
    case kDeadAndLocks:
        deadFlagAndLocks(reader);
        break;
    case kSpellbook:
        spellbookContent(reader);
        break;
    case kHouseRevision:
        houseRevision(reader);
        break;
    case kHouseCommand:
        houseCommand(reader);
        break;
    case kAbilityReset:
        service<GeneralInfoWindows>().resetWeaponAbility();
        break;
    case kDamage:
        damage(reader);
        break;
    case kSpellToggle: {
        uint16_t spell = reader.u16();
        uint8_t flag = reader.u8();
        if (reader.ok())
            service<GeneralInfoWindows>().spellToggle(spell, flag != 0);
        break;
    }
    case kMovementFlags: {
        uint8_t flags = reader.u8();
        if (PlayerMobile* self = player(); reader.ok() && self)
            self->speedMode = flags;
        break;
    }
    case kIgnoredText:
        // Read by the servers' own tools; nothing here uses it.
        break;
    case kRaceChange:
        raceChange(reader);
        break;
    default:
        break;
    }
}
