#include "support/world_packets.h"

#include "fixtures/server_packet.h"

namespace test {

namespace {

using fixture::ServerPacket;

ServerPacket fixed(uint8_t id) { return ServerPacket(id, ServerPacket::Length::Fixed); }

} // namespace

WirePacket worldItemPacket(uint32_t serial, uint16_t graphic, uint16_t amount, uint16_t x, uint16_t y, int8_t z,
    uint16_t hue)
{
    ServerPacket packet(0x1A);
    packet.u32(serial | 0x80000000).u16(graphic).u16(amount).u16(x);
    packet.u16(uint16_t(y | (hue ? 0x8000 : 0))).u8(uint8_t(z));
    if (hue)
        packet.u16(hue);
    return packet.bytes();
}

WirePacket mobileIncomingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint8_t notoriety, const std::vector<WornEntry>& worn)
{
    ServerPacket packet(0x78);
    packet.u32(serial).u16(body).u16(x).u16(y).u8(uint8_t(z)).u8(direction).u16(0).u8(0).u8(notoriety);
    for (const WornEntry& entry : worn) {
        packet.u32(entry.serial).u16(uint16_t(entry.graphic | (entry.hue ? 0x8000 : 0))).u8(entry.layer);
        if (entry.hue)
            packet.u16(entry.hue);
    }
    packet.u32(0);
    return packet.bytes();
}

WirePacket deleteObjectPacket(uint32_t serial) { return fixed(0x1D).u32(serial).bytes(); }

WirePacket containerContentsPacket(uint32_t container, const std::vector<ContentEntry>& entries)
{
    ServerPacket packet(0x3C);
    packet.u16(uint16_t(entries.size()));
    for (const ContentEntry& entry : entries)
        packet.u32(entry.serial).u16(entry.graphic).u8(0).u16(entry.amount).u16(entry.x).u16(entry.y).u32(container).u16(0);
    return packet.bytes();
}

WirePacket openContainerPacket(uint32_t serial, uint16_t gump) { return fixed(0x24).u32(serial).u16(gump).bytes(); }

WirePacket statusPacket(uint32_t serial, const std::string& name, uint16_t hits, uint16_t maxHits, uint16_t strength)
{
    ServerPacket packet(0x11);
    packet.u32(serial).text(name, 30).u16(hits).u16(maxHits).u8(0).u8(1);
    packet.u8(0).u16(strength).u16(10).u16(10).u16(50).u16(50).u16(20).u16(20).u32(0).u16(0).u16(0);
    return packet.bytes();
}

WirePacket hitsPacket(uint32_t serial, uint16_t hits, uint16_t maxHits)
{
    return fixed(0xA1).u32(serial).u16(maxHits).u16(hits).bytes();
}

WirePacket generalInfoPacket(uint16_t subCommand, const std::vector<uint8_t>& fields)
{
    ServerPacket packet(0xBF);
    packet.u16(subCommand).bytes(fields);
    return packet.bytes();
}

WirePacket stepKeysPacket(const uint32_t (&keys)[5])
{
    ServerPacket packet(0xBF);
    packet.u16(0x01);
    for (uint32_t key : keys)
        packet.u32(key);
    return packet.bytes();
}

WirePacket damagePacket(uint32_t serial, uint16_t amount) { return fixed(0x0B).u32(serial).u16(amount).bytes(); }

WirePacket combatantPacket(uint32_t serial) { return fixed(0xAA).u32(serial).bytes(); }

WirePacket graphicalEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z)
{
    return fixed(0x70)
        .u8(type)
        .u32(source)
        .u32(target)
        .u16(graphic)
        .u16(x)
        .u16(y)
        .u8(uint8_t(z))
        .u16(x)
        .u16(y)
        .u8(uint8_t(z))
        .u8(10)
        .u8(20)
        .u8(0)
        .u8(0)
        .u8(0)
        .u8(0)
        .bytes();
}

WirePacket soundPacket(uint8_t mode, uint16_t id, uint16_t x, uint16_t y, int16_t z)
{
    return fixed(0x54).u8(mode).u16(id).u16(0).u16(x).u16(y).u16(uint16_t(z)).bytes();
}

WirePacket musicPacket(uint16_t word) { return fixed(0x6D).u16(word).bytes(); }

WirePacket overallLightPacket(uint8_t level) { return fixed(0x4F).u8(level).bytes(); }

WirePacket personalLightPacket(uint32_t serial, uint8_t level) { return fixed(0x4E).u32(serial).u8(level).bytes(); }

WirePacket weatherPacket(uint8_t type, uint8_t count) { return fixed(0x65).u8(type).u8(count).u8(0).bytes(); }

WirePacket gameTimePacket(uint8_t hour, uint8_t minute, uint8_t second)
{
    return fixed(0x5B).u8(hour).u8(minute).u8(second).bytes();
}

WirePacket seasonPacket(uint8_t season, uint8_t override) { return fixed(0xBC).u8(season).u8(override).bytes(); }

std::vector<WirePacket> worldTourPackets(uint32_t player, uint16_t x, uint16_t y)
{
    constexpr uint16_t kShirt = 0x1517;
    constexpr uint16_t kBackpack = 0x0E75;
    constexpr uint16_t kHumanBody = 400;
    return {
        overallLightPacket(5),
        worldItemPacket(kTourItem, kShirt, 3, uint16_t(x + 1), y, 0, 0x0021),
        mobileIncomingPacket(kTourMobile, kHumanBody, uint16_t(x + 2), uint16_t(y + 1), 0, 2, 3,
            { { kTourPack, kBackpack, 21, 0 } }),
        containerContentsPacket(kTourPack, { { kTourContent, kShirt, 1, 40, 50 } }),
        statusPacket(kTourMobile, "Visitor", 30, 60, 80),
        hitsPacket(kTourMobile, 25, 60),
        stepKeysPacket({ 101, 102, 103, 104, 105 }),
        combatantPacket(kTourMobile),
        damagePacket(kTourMobile, 5),
        graphicalEffectPacket(2, 0, 0, 0x3728, x, y, 0),
        soundPacket(1, 0x0041, x, y, 0),
        musicPacket(0x0009),
        personalLightPacket(player, 4),
        weatherPacket(0, 10),
        gameTimePacket(6, 15, 0),
        seasonPacket(3, 0),
    };
}

} // namespace test
