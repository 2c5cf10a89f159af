#pragma once
// Handlers and builders of the packets that frame the player's session: the
// game server's login refusals (0x53), the login completion (0x55) and the
// step into the world, the version questions (0xBD, 0xBE), the update range
// (0xC8), settings files kept on the server and the logout handshake (0xD0,
// 0xD1), the property-list revision (0xDC) and the transfer log (0xDB).
// Main thread only.

#include <cstdint>
#include <string>

class PacketBuffer;

void handleLoginError(const uint8_t* packet);
void handleLoginComplete(const uint8_t* packet);
void handleVersionRequest(const uint8_t* packet);
void handleAssistVersionRequest(const uint8_t* packet);
void handleUpdateRange(const uint8_t* packet);
void handleConfigFile(const uint8_t* packet);
void handleLogoutOk(const uint8_t* packet);
void handlePropertyRevision(const uint8_t* packet);
void handleTransferLog(const uint8_t* packet);

// The step from the login screens into play: the player is in the game from
// here on.
void enterGameWorld();
// The world as a new connection finds it: emptied (the update range and the
// drag state with it), the player's serial forgotten, the player out of the
// game. A new login connection runs it, and so does leaving the game.
void resetSessionWorld();
// The session's part of leaving the game (the logout confirmed): the
// logged-in and in-world flags cleared and the world reset. The front end's
// return to the main menu and its quit are to call it too.
void leaveGameWorld();

// The version answers carry the client version text (data/targeting.h).
bool buildVersionReplyPacket(PacketBuffer& buffer);
bool buildAssistVersionReplyPacket(PacketBuffer& buffer, uint32_t value);
// The GM page-queue command: `a` and `b` are UTF-16 texts sent with their
// terminating unit.
bool buildGmQueueCommandPacket(PacketBuffer& buffer, const char* command, const std::string& name,
    const std::u16string& a, const std::u16string& b);

// The transfer log file and the kind of transfer it records.
inline constexpr const char* kTransferLogFile = "translog.txt";
inline constexpr uint32_t kTransferLogKind = 187;
