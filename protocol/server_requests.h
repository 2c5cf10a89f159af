#pragma once
// The requests of the lower layers' client actions (view range, war mode,
// targeted commands, server-stored settings files and the logout
// confirmation), built with the net layer's builders and queued on the
// current game connection. Installed at start-up. Main thread only.

#include "data/client_services.h"

class NetServerRequests final : public ServerRequests {
public:
    bool hasGameConnection() override;
    bool sendUpdateRange(uint8_t range) override;
    bool sendWarMode(uint8_t mode, const std::array<uint8_t, 3>& trailing) override;
    bool sendResurrectionChoice(uint8_t choice) override;
    bool sendTextCommand(uint8_t type, std::string_view text) override;
    bool sendConfigFile(uint8_t number, std::span<const uint8_t> payload) override;
    bool sendLogoutConfirm() override;
};

// 0x72, the server's war mode: the player's war flag and the three bytes the
// next request carries. Read through the checked getters; a packet that is
// too short changes nothing. (The server-stored files' 0xD0 and 0xD1 are
// handled with the session's packets, protocol/session_packets.h.)
void handleWarMode(const uint8_t* packet);
