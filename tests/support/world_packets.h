#pragma once
// The server's world packets as the test server sends them: objects and
// mobiles, containers, status, the general information packet, fights,
// effects, sound, music, light, weather, time and seasons. Each builder
// returns the whole packet (id, length word where the packet has one, the
// fields big-endian). worldTourPackets() is one of each kind around a player,
// for the end-to-end test to send after the world entry.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

using WirePacket = std::vector<uint8_t>;

// `flags` (0x20: it can be picked up) go only when not 0.
WirePacket worldItemPacket(uint32_t serial, uint16_t graphic, uint16_t amount, uint16_t x, uint16_t y, int8_t z,
    uint16_t hue, uint8_t flags = 0);
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
// What a speech request of the client (0x03 narrow, 0xAD wide or with
// keywords) says; empty for any other packet or a cut one.
std::u16string spokenText(const WirePacket& packet);
// Opens the paperdoll of a mobile under the title.
WirePacket openPaperdollPacket(uint32_t serial, const std::string& title, uint8_t flags);

// The rest of the world object packets: the sub-server's map area, the
// extended mobile forms (three words more, which the client does not use),
// semi-visible objects, group notices, the server's own step for the
// player, a corpse's layers, the course map and the drag effect.
WirePacket newSubserverPacket(uint8_t region, uint16_t left, uint16_t top, uint16_t width, uint16_t height);
WirePacket mobileUpdateExtendedPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z,
    uint8_t direction, uint8_t flags, uint8_t notoriety);
WirePacket mobileIncomingExtendedPacket(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int8_t z,
    uint8_t direction, uint8_t notoriety, const std::vector<WornEntry>& worn);
WirePacket semiVisiblePacket(uint32_t serial, uint8_t flag);
WirePacket groupNoticePacket(uint32_t first, uint32_t second);
WirePacket movePlayerPacket(uint8_t direction);
struct CorpseLayerEntry {
    uint8_t layer;
    uint32_t serial;
};
WirePacket corpseEquipmentPacket(uint32_t corpse, const std::vector<CorpseLayerEntry>& entries);
// The map's area and size, in the packet's order.
WirePacket courseMapPacket(uint32_t serial, uint16_t art, const std::array<uint16_t, 6>& area);
WirePacket dragAnimationPacket(uint16_t graphic, uint32_t source, uint16_t sourceX, uint16_t sourceY, int8_t sourceZ,
    uint32_t target, uint16_t targetX, uint16_t targetY, int8_t targetZ);
// The vital values: all six, or one pair (0xA2 mana, 0xA3 stamina; 0xA1 is
// hitsPacket).
WirePacket mobileAttributesPacket(uint32_t serial, uint16_t hits, uint16_t maxHits, uint16_t mana, uint16_t maxMana,
    uint16_t stamina, uint16_t maxStamina);
WirePacket manaPacket(uint32_t serial, uint16_t mana, uint16_t maxMana);
WirePacket staminaPacket(uint32_t serial, uint16_t stamina, uint16_t maxStamina);
// The accepted attack, the end of one (with no further records) and the war
// mode with the fighting style's three values.
WirePacket attackAcceptedPacket(uint32_t serial);
WirePacket attackEndedPacket(uint32_t serial);
WirePacket warModePacket(uint8_t war, uint8_t style, uint8_t valueA, uint8_t valueB);

// Serials the tour uses.
inline constexpr uint32_t kTourItem = 0x40000F10;
inline constexpr uint32_t kTourMobile = 0x00000F20;
inline constexpr uint32_t kTourPack = 0x40000F21;
inline constexpr uint32_t kTourContent = 0x40000F22;
inline constexpr uint32_t kTourAdded = 0x40000F23;
inline constexpr uint32_t kTourWorn = 0x40000F24;
inline constexpr uint32_t kTourVictim = 0x00000F30;
inline constexpr uint32_t kTourGuest = 0x00000F40;
inline constexpr uint32_t kTourGuestCloak = 0x40000F41;
inline constexpr uint32_t kTourCorpse = 0x40000F50;
inline constexpr uint32_t kTourMap = 0x40000F60;
// The graphics the tour's corpse and map are made with.
inline constexpr uint16_t kTourCorpseGraphic = 0x2006;
inline constexpr uint16_t kTourMapGraphic = 0x14EB;
// The course map's art and its area (left, top, right, bottom, width, height).
inline constexpr uint16_t kTourMapArt = 5021;
inline constexpr std::array<uint16_t, 6> kTourMapArea { 1000, 1000, 1200, 1200, 200, 200 };
// The map area the sub-server packet names.
inline constexpr uint16_t kTourAreaWidth = 5120;
inline constexpr uint16_t kTourAreaHeight = 4096;

// One packet of each kind around a player standing at (x, y).
std::vector<WirePacket> worldTourPackets(uint32_t player, uint16_t x, uint16_t y);

} // namespace test
