#pragma once
// The requests of the lower layers' client actions (view range, war mode,
// targeted commands, server-stored settings files), built with the net
// layer's builders and queued on the current game connection. Installed at
// start-up. Main thread only.

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

// Server packets that change the settings store and war mode. Each reads its
// fields through the checked getters and ignores a packet that is too short.
// 0xD0: a server-stored file, taken while that mode is on.
void handleConfigFilePacket(const uint8_t* packet);
// 0xD1: the server confirmed the logout.
void handleLogoutConfirmPacket(const uint8_t* packet);
// 0x72: war mode and the three bytes the next request carries.
void handleWarModePacket(const uint8_t* packet);
