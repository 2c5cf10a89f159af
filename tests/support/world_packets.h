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

// The mobile packets that move and dress what is already there.
WirePacket mobileMovingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint8_t notoriety);
WirePacket mobileMovingPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z, uint8_t direction,
    uint16_t hue, uint8_t flags, uint8_t notoriety);
WirePacket playerUpdatePacket(uint32_t serial, uint16_t body, uint16_t hue, uint8_t flags, uint16_t x, uint16_t y,
    uint8_t direction, int8_t z);
WirePacket wornItemPacket(uint32_t item, uint16_t graphic, uint8_t layer, uint32_t wearer, uint16_t hue);
WirePacket containerItemPacket(uint32_t container, const ContentEntry& entry, uint16_t hue);
// The status-flag map of an object: 0x16 replaces it, 0x17 changes the keys it names.
struct StatusFlagEntry {
    uint16_t key;
    uint8_t value;
};
WirePacket statusFlagsReplacePacket(uint32_t serial, const std::vector<StatusFlagEntry>& entries);
WirePacket statusFlagsChangePacket(uint32_t serial, const std::vector<StatusFlagEntry>& entries);
// The answer to a name request.
WirePacket mobileNamePacket(uint32_t serial, const std::string& name);
WirePacket pickUpRejectPacket(uint8_t reason);
WirePacket dropRejectClearPacket();
WirePacket dropAcceptedPacket();
// Fights and what mobiles do.
WirePacket deathScreenPacket(uint8_t action);
WirePacket swingPacket(uint32_t attacker, uint32_t defender);
WirePacket animationPacket(uint32_t serial, uint16_t action, uint16_t frameCount, uint16_t repeatCount,
    bool reverse, bool repeat, uint8_t delay);
WirePacket deathAnimationPacket(uint32_t serial, uint32_t corpse, uint32_t fall);
WirePacket followPacket(uint32_t follower, uint32_t followed);
WirePacket pathfindPacket(uint16_t x, uint16_t y, int16_t z);
// Effects in a hue and render mode; the particle form adds fields the
// client reads and does not use.
WirePacket huedEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z, uint32_t hue, uint32_t renderMode);
WirePacket particleEffectPacket(uint8_t type, uint32_t source, uint32_t target, uint16_t graphic, uint16_t x,
    uint16_t y, int8_t z, uint32_t hue, uint32_t renderMode);
// Value 0 starts recording effects, sounds and animations; any other value
// stops it and plays the recording that many times.
WirePacket sequencePacket(uint8_t value);

// The answers to a walk request: 0x22 takes the step, 0x21 refuses it and
// puts the player back where the server has him.
WirePacket walkAcceptedPacket(uint8_t sequence, uint8_t notoriety);
WirePacket walkRefusedPacket(uint8_t sequence, uint16_t x, uint16_t y, uint8_t direction, int8_t z);
// Speech in narrow or wide text, as the server repeats what was said.
WirePacket asciiSpeechPacket(uint32_t serial, uint16_t body, uint8_t type, uint16_t hue, uint16_t font,
    const std::string& name, const std::string& text);
WirePacket unicodeSpeechPacket(uint32_t serial, uint16_t body, uint8_t type, uint16_t hue, uint16_t font,
    const std::string& name, const std::u16string& text);
// Opens the paperdoll of a mobile under the title.
WirePacket openPaperdollPacket(uint32_t serial, const std::string& title, uint8_t flags);

// Serials the tour uses.
inline constexpr uint32_t kTourItem = 0x40000F10;
inline constexpr uint32_t kTourMobile = 0x00000F20;
inline constexpr uint32_t kTourPack = 0x40000F21;
inline constexpr uint32_t kTourContent = 0x40000F22;
inline constexpr uint32_t kTourAdded = 0x40000F23;
inline constexpr uint32_t kTourWorn = 0x40000F24;
inline constexpr uint32_t kTourVictim = 0x00000F30;

// One packet of each kind around a player standing at (x, y).
std::vector<WirePacket> worldTourPackets(uint32_t player, uint16_t x, uint16_t y);

} // namespace test
