#pragma once
// Handlers of the server packets that keep a mobile's status up to date:
// the full status record (0x11), the vital values together (0x2D) or a pair
// at a time (0xA1 hits, 0xA2 mana, 0xA3 stamina), the status-flag map (0x16
// replaces it, 0x17 changes it), the answer to a name request (0x98) and an
// item worn by a mobile (0x2E). The values land in the mobiles and in the
// process-wide status record; the windows that show them are reached through
// StatusWindows (protocol/world_packet_windows.h). Main thread only.

#include <cstdint>

void handleStatusInfo(const uint8_t* packet);
void handleMobileAttributes(const uint8_t* packet);
void handleHitsUpdate(const uint8_t* packet);
void handleManaUpdate(const uint8_t* packet);
void handleStaminaUpdate(const uint8_t* packet);
void handleMobileStatusValues(const uint8_t* packet);
void handleMobileStatusValue(const uint8_t* packet);
void handleMobileName(const uint8_t* packet);
void handleWornItem(const uint8_t* packet);

