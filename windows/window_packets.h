#pragma once
// The requests the game windows send: each is built by net's builders and
// queued through the world's packet sink (the current game connection), so
// that the windows and the world send through one door. Every send returns
// false when nothing was queued (no connection, a failed build). Also the two
// session tests the windows ask before offering a request: context menus and
// object property lists. Main thread only.

#include "net/client_packets.h"

#include <cstdint>
#include <string>
#include <string_view>

class PacketBuffer;

bool sendWindowPacket(const PacketBuffer& packet);

// 0x05 attack.
bool sendAttackRequest(uint32_t serial);
// 0x06 use; the own paperdoll is asked for with bit 31 set.
bool sendUseRequest(uint32_t serial);
// 0x08 drop: into a container (x, y 0xFFFF for "anywhere"), onto a stack,
// or onto the ground (container 0xFFFFFFFF).
bool sendDropRequest(uint32_t item, uint16_t x, uint16_t y, uint8_t z, uint32_t container);
// 0x13 wear.
bool sendWearRequest(uint32_t item, uint8_t layer, uint32_t mobile);
// 0x34 status request: type 4 a status bar, type 5 the skills.
bool sendStatusRequest(uint8_t type, uint32_t serial);
// 0x3A a skill's lock state (skill 0..54; state 0 up, 1 down, 2 locked).
bool sendSkillLock(uint16_t skill, uint8_t state);
// 0x12 type 0x24: use the skill (0-based number).
bool sendSkillUse(int32_t skill);
// 0x98 a mobile's name.
bool sendNameRequest(uint32_t serial);
// 0x9B the help request (an empty text): the help command and the
// paperdoll's help button.
bool sendHelpRequest();
// 0xB1 the reply of the virtue window (gump 461, button 1, one switch: the
// mobile whose virtues are asked for).
bool sendVirtueRequest(uint32_t playerSerial, uint32_t mobileSerial);
// 0xB6 the help text of an object, in the current language.
bool sendObjectHelpRequest(uint32_t serial);
// 0xB8 a character profile.
bool sendProfileRequest(uint32_t serial);
// 0x75 a new name for a mobile (30 bytes, NUL padded).
bool sendRenameRequest(uint32_t serial, const std::string& name);
// 0x95 the hue chosen for a dye request: its serial and first value.
bool sendDyeResponse(uint32_t serial, uint16_t value, uint16_t hue);
// 0xB8 the player's changed profile text (at most 511 units).
bool sendProfileUpdate(uint32_t serial, std::u16string_view text);
// 0xBF 0x1A a stat's new lock state (stat 0 strength, 1 dexterity, 2
// intelligence; state 0 up, 1 down, 2 locked).
bool sendStatLock(uint8_t stat, uint8_t state);
// 0xBF 0x2A the race change: the five values, or nothing for a refusal.
bool sendRaceChangeReply(uint16_t skinHue, uint16_t hair, uint16_t hairHue, uint16_t facialHair, uint16_t facialHairHue);
bool sendRaceChangeRefusal();
// 0xD7 an encoded command without arguments.
bool sendEncodedCommand(uint32_t serial, uint16_t command);

// Context menus are offered: the character list's flag or an edit server.
bool areContextMenusAvailable();
// Names and tooltips come from property lists: the character list's flag or
// an edit server.
bool areObjectPropertyListsOn();
// Asks for the context menu of an object (0xBF sub-command 0x13) when menus
// are available: an open menu closes, and the serial and the pointer's last
// press point are remembered for the menu the server answers with.
void requestContextMenu(uint32_t serial);
// The press point of the last context menu request, in client pixels.
void contextMenuPressPoint(int32_t& x, int32_t& y);
// The object of the last context menu request.
uint32_t contextMenuRequestedSerial();
