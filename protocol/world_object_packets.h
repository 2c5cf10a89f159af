#pragma once
// Handlers of the server packets that create, move, change and delete the
// world's objects and the player: the overall light (0x4F), the login
// confirmation (0x1B) and the new sub-server (0x76), deletion (0x1D), the
// player's own update, move reject and acknowledgement (0x20, 0x21, 0x22),
// mobiles moving and coming in (0x77, 0xD2, 0x78, 0xD3), world items (0x1A),
// semi-visible objects (0xC4), group notices (0x39) and the server's step
// (0x97). The containers, the drag and the corpse equipment are in
// protocol/container_packets.h. The speech packets 0x1C, 0xC1 and 0xCC
// belong with the speech windows. Each reads its fields through the checked
// getters; a packet cut short changes nothing. Main thread only.

#include <cstdint>
#include <string>

class Mobile;
class PacketBuffer;

void handleOverallLight(const uint8_t* packet);
void handleLoginConfirm(const uint8_t* packet);
void handleNewSubserver(const uint8_t* packet);
void handleDeleteObject(const uint8_t* packet);
void handlePlayerUpdate(const uint8_t* packet);
void handleMoveReject(const uint8_t* packet);
void handleMoveAck(const uint8_t* packet);
void handleMobileMoving(const uint8_t* packet);
void handleMobileUpdateExtended(const uint8_t* packet);
void handleMobileIncoming(const uint8_t* packet);
void handleMobileIncomingExtended(const uint8_t* packet);
void handleWorldItem(const uint8_t* packet);
void handleSemiVisible(const uint8_t* packet);
void handleGroupNotice(const uint8_t* packet);
void handleMovePlayer(const uint8_t* packet);

// The part of the facet the server serves (the login confirmation and the
// sub-server packet), and the map region byte they name.
struct ServerMapArea {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t region = 0;
};
ServerMapArea& serverMapArea();

// The serial the player answers to: the one the server confirmed, or the
// player object's own.
bool isPlayerSerial(uint32_t serial);
// The mobile a packet names: the player for its serial, else the mobile with
// that serial; null for an unknown serial or an object that is no mobile.
Mobile* packetMobile(uint32_t serial);

// The width and height of the game area the screen-size setting text names
// ("%dx%d"); 640 x 480 for an empty or malformed text.
void parseScreenSize(const std::string& text, uint32_t& width, uint32_t& height);

// The packets the client sends once the server confirmed the login, in their
// order: the status request for the player, the version, the screen size,
// the language and the map files found.
bool buildPlayerStatusRequest(PacketBuffer& buffer, uint32_t serial);
bool buildScreenSizePacket(PacketBuffer& buffer, uint32_t width, uint32_t height);
bool buildLanguagePacket(PacketBuffer& buffer, const std::string& code);
bool buildMapFilesPacket(PacketBuffer& buffer, uint16_t mapFileMask);
