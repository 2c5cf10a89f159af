#pragma once
// Handlers of the packets that drive the login road, and the step that
// enters the world. Each handler reads one whole packet in place through the
// checked get-primitives; a field past the packet's end reads as 0, which the
// handlers meet as empty names and zero counts. Main thread only.

#include <cstdint>

// 0xA8 shard list, 0x8C relay, 0x81 combined list (older servers).
void handleShardList(const uint8_t* packet);
void handleRelay(const uint8_t* packet);
void handleShardChoiceList(const uint8_t* packet);
// 0xA9 character list, 0x86 its update after a deletion, 0x85 deletion refused.
void handleCharacterList(const uint8_t* packet);
void handleCharacterListUpdate(const uint8_t* packet);
void handleDeleteResult(const uint8_t* packet);
// 0x82 account login refused, 0xCE internet-game-room session, 0xB9 features.
void handleLoginDenied(const uint8_t* packet);
void handleIgrSession(const uint8_t* packet);
void handleFeatures(const uint8_t* packet);

// The distance in hours between a shard's time zone and this machine's, the
// shorter way round the clock (kept as a byte).
uint8_t zoneDistance(int32_t shardZone, int32_t localZone);
// The time-zone offset of this machine in whole hours (the system's bias,
// minutes west of UTC, divided by 60 toward zero).
int32_t timeZoneBiasHours();
// The feature word a 0xB9 value stands for.
uint32_t featureWordFromPacket(uint16_t value);

// The texts the road shows.
inline constexpr const char16_t* kServersDownText
    = u"The Vardun Online servers are currently down.  Please try again in a few moments.";
