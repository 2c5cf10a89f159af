#pragma once
// The general information packet 0xBF: a sub-command word, then that
// sub-command's fields. The handler serves the step keys, the facet, the
// difference-list counts, property revisions (or the older equipment list),
// closing windows by kind, the dead flag and stat locks, house revisions and
// edits, the weapon-ability reset, damage numbers, spellbook contents, the
// movement flags and the race change; the party, context menu, help, mail
// and window payloads are parsed here and handed to their windows
// (protocol/world_packet_windows.h). The client's own 0xBF requests are built
// here too. Main thread only.

#include <cstdint>

class PacketBuffer;

void handleGeneralInfo(const uint8_t* packet);

// Begins a 0xBF packet with its sub-command; the caller appends the fields.
bool buildGeneralInfoPacket(PacketBuffer& buffer, uint16_t subCommand);

// Senders; each is dropped when no game connection exists.
bool sendUsePrimaryAbility();
bool sendUseSecondaryAbility();
bool sendPointerClick(uint8_t flag);
bool sendStatusBarClosed(uint32_t serial);
bool sendHouseDesignRequest(uint32_t house);
