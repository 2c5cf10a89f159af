#pragma once
// Handlers of the server packets about fights and what mobiles do: the
// player's death (0x2C), a swing (0x2F), the accepted attack (0x30), the end
// of an attack (0x31), the combatant (0xAA), a damage number (0x0B), a
// mobile's death (0xAF), an animation (0x6E), following (0x15) and the
// server's walk request (0x38). The war mode (0x72) is handled with the
// player's requests (protocol/server_requests.h). Main thread only.

#include <cstdint>

void handleDeathScreen(const uint8_t* packet);
void handleSwing(const uint8_t* packet);
void handleAttackAccepted(const uint8_t* packet);
void handleAttackEnded(const uint8_t* packet);
void handleCombatant(const uint8_t* packet);
void handleDamage(const uint8_t* packet);
void handleDeathAnimation(const uint8_t* packet);
void handleAnimation(const uint8_t* packet);
void handleFollow(const uint8_t* packet);
void handlePathfind(const uint8_t* packet);

// Shows a damage number over a mobile, in the player's hue or the hue of
// everyone else (the damage packet and the general information's damage).
void showDamageNumber(uint32_t serial, uint16_t amount);

// The combatant the server announced last (0xAA); 0 for none.
uint32_t combatantSerial();

// The music the death screen starts.
inline constexpr uint16_t kDeathMusic = 42;
