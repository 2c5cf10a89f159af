#include "protocol/mobile_status_packets.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/settings_registry.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "protocol/packet_reader.h"
#include "protocol/protocol_text.h"
#include "protocol/world_object_packets.h"
#include "protocol/world_packet_windows.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <cstdio>

namespace {

constexpr int32_t kNameField = 30;
constexpr size_t kNameLength = 29;
constexpr uint16_t kStatReportHue = 368;
constexpr uint16_t kDefaultStatCap = 225;
constexpr uint8_t kDefaultMaxFollowers = 5;
constexpr size_t kTithingSlot = 3;

enum class VitalPair : uint8_t { Hits, Mana, Stamina };

std::array<int32_t, 6> vitalsOf(const Mobile& mobile)
{
    return { mobile.hits, mobile.maxHits, mobile.mana, mobile.maxMana, mobile.stamina, mobile.maxStamina };
}

// The record's fields past the name and hits, as far as the level carries
// them; missing levels take their defaults.
void readStatusLevels(PacketReader& reader, uint8_t level, StatusRecord& record, uint8_t& race)
{
    record.kind = reader.u8();
    record.strength = reader.u16();
    record.dexterity = reader.u16();
    record.intelligence = reader.u16();
    record.stamina = reader.u16();
    record.maxStamina = reader.u16();
    record.mana = reader.u16();
    record.maxMana = reader.u16();
    record.gold = reader.u32();
    record.valueA = reader.u16();
    record.valueB = reader.u16();
    if (level >= 5) {
        record.maxValueB = reader.u16();
        race = reader.u8();
    } else {
        record.maxValueB = uint16_t(uint16_t(record.strength * 7) / 2 + 40);
        race = 0;
    }
    record.statCap = level >= 2 ? reader.u16() : kDefaultStatCap;
    if (level >= 3) {
        record.followers = reader.u8();
        record.maxFollowers = reader.u8();
    } else {
        record.followers = 0;
        record.maxFollowers = kDefaultMaxFollowers;
    }
    if (level >= 4) {
        for (uint16_t& value : record.extended)
            value = reader.u16();
        record.rangeLow = reader.u16();
        record.rangeHigh = reader.u16();
        record.tithing = reader.u32();
    }
}

// The StatReport lines for the player's changed strength, dexterity and
// intelligence; nothing on the first report.
void reportStatChanges(PlayerMobile& self, const StatusRecord& record)
{
    static const char* const kTexts[] = {
        "Your strength has changed by %d.  It is now %d.",
        "Your dexterity has changed by %d.  It is now %d.",
        "Your intelligence has changed by %d.  It is now %d.",
    };
    const int32_t values[] = { record.strength, record.dexterity, record.intelligence };
    bool report = settings().getBoolSetting(u"StatReport") != 0;
    for (size_t i = 0; i < 3; ++i) {
        int32_t old = self.rememberedStats[i];
        if (report && old != -1 && old != values[i]) {
            char text[96];
            std::snprintf(text, sizeof text, kTexts[i], values[i] - old, values[i]);
            windowNotices().addSystemMessage(kStatReportHue, kSystemMessageFont, text);
        }
        self.rememberedStats[i] = values[i];
    }
}

void vitalPair(const uint8_t* packet, VitalPair pair)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t maximum = reader.u16();
    uint16_t current = reader.u16();
    Mobile* mobile = reader.ok() ? packetMobile(serial) : nullptr;
    if (!mobile)
        return;
    switch (pair) {
    case VitalPair::Hits:
        mobile->hits = current;
        mobile->maxHits = maximum;
        service<StatusWindows>().targetBarHits(serial, current, maximum);
        break;
    case VitalPair::Mana:
        mobile->mana = current;
        mobile->maxMana = maximum;
        break;
    case VitalPair::Stamina:
        mobile->stamina = current;
        mobile->maxStamina = maximum;
        break;
    }
    service<StatusWindows>().vitalValuesChanged(serial, vitalsOf(*mobile));
}

void statusFlags(const uint8_t* packet, bool replace)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t count = reader.u16();
    Item* object = reader.ok() ? (isPlayerSerial(serial) ? player() : findItemBySerial(serial)) : nullptr;
    if (!object)
        return;
    if (replace) {
        std::map<uint16_t, uint8_t> old;
        old.swap(object->statusFlags);
        for (const auto& [key, value] : old)
            object->refreshStatusBars(key);
    }
    // The count is the server's word; the entries end where the packet does.
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t key = reader.u16();
        uint8_t value = reader.u8();
        if (!reader.ok())
            break;
        if (value != 0)
            object->statusFlags[key] = value;
        else
            object->statusFlags.erase(key);
        object->refreshStatusBars(key);
    }
}

} // namespace

StatusRecord& statusRecord()
{
    static StatusRecord record;
    return record;
}

void handleStatusInfo(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    StatusRecord record;
    record.name = reader.fixedText(kNameField, kNameLength);
    record.hits = reader.u16();
    record.maxHits = reader.u16();
    uint8_t rename = reader.u8();
    uint8_t level = reader.u8();
    uint8_t race = 0;
    if (level == 0) {
        record.maxFollowers = kDefaultMaxFollowers;
        record.maxValueB = statusRecord().maxValueB;
    } else {
        readStatusLevels(reader, level, record, race);
    }
    // A record cut short is refused whole: the windows keep what they show.
    if (!reader.ok())
        return;
    statusRecord() = record;

    PlayerMobile* self = player();
    bool isSelf = self && isPlayerSerial(serial);
    if (isSelf && level >= 1)
        reportStatChanges(*self, record);
    if (isSelf && level >= 4) {
        self->rememberedStats[kTithingSlot] = int32_t(record.tithing);
        service<StatusWindows>().redrawTithingBooks();
    }
    Mobile* mobile = packetMobile(serial);
    if (mobile && level != 0) {
        mobile->female = record.kind & 1;
        mobile->race = race;
        mobile->hits = record.hits;
        mobile->maxHits = record.maxHits;
        mobile->mana = record.mana;
        mobile->maxMana = record.maxMana;
        mobile->stamina = record.stamina;
        mobile->maxStamina = record.maxStamina;
    }
    StatusWindows& windows = service<StatusWindows>();
    windows.partyMemberName(serial, record.name);
    if (findObjectBySerial(serial) || isSelf)
        windows.targetBarHits(serial, record.hits, record.maxHits);
    else
        windows.closeTargetBars();
    windows.statusRecordArrived(serial, statusRecord(), rename != 0, isSelf);
}

void handleMobileAttributes(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    uint16_t maxHits = reader.u16();
    uint16_t hits = reader.u16();
    uint16_t maxMana = reader.u16();
    uint16_t mana = reader.u16();
    uint16_t maxStamina = reader.u16();
    uint16_t stamina = reader.u16();
    Mobile* mobile = reader.ok() ? packetMobile(serial) : nullptr;
    if (!mobile)
        return;
    mobile->hits = hits;
    mobile->maxHits = maxHits;
    mobile->mana = mana;
    mobile->maxMana = maxMana;
    mobile->stamina = stamina;
    mobile->maxStamina = maxStamina;
    service<StatusWindows>().targetBarHits(serial, hits, maxHits);
    service<StatusWindows>().vitalValuesChanged(serial, vitalsOf(*mobile));
}

void handleHitsUpdate(const uint8_t* packet) { vitalPair(packet, VitalPair::Hits); }

void handleManaUpdate(const uint8_t* packet) { vitalPair(packet, VitalPair::Mana); }

void handleStaminaUpdate(const uint8_t* packet) { vitalPair(packet, VitalPair::Stamina); }

void handleMobileStatusValues(const uint8_t* packet) { statusFlags(packet, true); }

void handleMobileStatusValue(const uint8_t* packet) { statusFlags(packet, false); }

void handleMobileName(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t serial = reader.u32();
    std::string name = reader.fixedText(kNameField, kNameLength);
    if (!reader.ok())
        return;
    // The entry waits for its own mobile's name: the name plates ask for
    // names too, and their replies must not fill it.
    if (InputControl* entry = pendingPickEntry(); entry && uint32_t(entry->value()) == serial) {
        entry->setText(bytesToWideString(name));
        entry->kindAction();
        clearPendingPickEntry();
    }
    if (allNamesFind(serial))
        service<StatusWindows>().showNamePlateName(serial, name);
}

void handleWornItem(const uint8_t* packet)
{
    PacketReader reader(packet);
    uint32_t itemSerial = reader.u32();
    uint16_t graphic = reader.u16();
    uint8_t amount = reader.u8();
    uint8_t layer = reader.u8();
    uint32_t wearerSerial = reader.u32();
    uint16_t hue = reader.u16();
    Mobile* wearer = reader.ok() ? packetMobile(wearerSerial) : nullptr;
    if (!wearer)
        return;
    if (!equipItemOnMobile(wearer->serial, itemSerial, graphic, layer, hue))
        return;
    Item* item = findItemBySerial(itemSerial);
    if (!item)
        return;
    item->graphic = graphic & 0x3FFF;
    item->amount = amount;
    item->applyGraphicAndHue(normalizeHue(hue));
    if (Mobile* shown = packetMobile(wearerSerial))
        shown->invalidate();
}
