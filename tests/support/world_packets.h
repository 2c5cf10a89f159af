#pragma once
// The server's world packets as the test server sends them: objects and
// mobiles, containers, status, the general information packet, fights,
// effects, sound, music, light, weather, time and seasons. Each builder
// returns the whole packet (id, length word where the packet has one, the
// fields big-endian). worldTourPackets() is one of each kind around a player,
// for the end-to-end test to send after the world entry.

#include <cstdint>
#include <string>
#include <vector>

namespace test {

using WirePacket = std::vector<uint8_t>;

WirePacket worldItemPacket(uint32_t serial, uint16_t graphic, uint16_t amount, uint16_t x, uint16_t y, int8_t z,
    uint16_t hue);
struct WornEntry {
    uint32_t serial;
    uint16_t graphic;
    uint8_t layer;
    uint16_t hue; // 0: sent without a hue
};
WirePacket mobileIncomingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint8_t notoriety, const std::vector<WornEntry>& worn);
WirePacket deleteObjectPacket(uint32_t serial);
struct ContentEntry {
    uint32_t serial;
    uint16_t graphic;
    uint16_t amount;
    uint16_t x;
    uint16_t y;
};
WirePacket containerContentsPacket(uint32_t container, const std::vector<ContentEntry>& entries);
WirePacket openContainerPacket(uint32_t serial, uint16_t gump);
// Level 1 of the status record: name, hits and the stats.
WirePacket statusPacket(uint32_t serial, const std::string& name, uint16_t hits, uint16_t maxHits,
    uint16_t strength);
WirePacket hitsPacket(uint32_t serial, uint16_t hits, uint16_t maxHits);
WirePacket generalInfoPacket(uint16_t subCommand, const std::vector<uint8_t>& fields);
WirePacket stepKeysPacket(const uint32_t (&keys)[5]);
WirePacket damagePacket(uint32_t serial, uint16_t amount);
WirePacket combatantPacket(uint32_t serial);
WirePacket graphicalEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z);
WirePacket soundPacket(uint8_t mode, uint16_t id, uint16_t x, uint16_t y, int16_t z);
WirePacket musicPacket(uint16_t word);
WirePacket overallLightPacket(uint8_t level);
WirePacket personalLightPacket(uint32_t serial, uint8_t level);
WirePacket weatherPacket(uint8_t type, uint8_t count);
WirePacket gameTimePacket(uint8_t hour, uint8_t minute, uint8_t second);
WirePacket seasonPacket(uint8_t season, uint8_t override);

// Serials the tour uses.
inline constexpr uint32_t kTourItem = 0x40000F10;
inline constexpr uint32_t kTourMobile = 0x00000F20;
inline constexpr uint32_t kTourPack = 0x40000F21;
inline constexpr uint32_t kTourContent = 0x40000F22;

// One packet of each kind around a player standing at (x, y).
std::vector<WirePacket> worldTourPackets(uint32_t player, uint16_t x, uint16_t y);

} // namespace test
