#include "protocol/server_requests.h"

#include "data/server_config_store.h"
#include "data/view_range.h"
#include "net/client_packets.h"
#include "net/game_connection.h"

namespace {

// Room for the largest request these actions send: a settings file of up to
// 4096 compressed bytes, or a 511-character command text.
using RequestStorage = PacketStorage<4200>;

} // namespace

bool NetServerRequests::hasGameConnection() { return currentGameConnection() != nullptr; }

bool NetServerRequests::sendUpdateRange(uint8_t range)
{
    RequestStorage packet;
    return buildUpdateRangePacket(packet, range) && sendPacket(packet);
}

bool NetServerRequests::sendWarMode(uint8_t mode, const std::array<uint8_t, 3>& trailing)
{
    RequestStorage packet;
    return buildWarModePacket(packet, mode, trailing[0], trailing[1], trailing[2]) && sendPacket(packet);
}

bool NetServerRequests::sendResurrectionChoice(uint8_t choice)
{
    RequestStorage packet;
    return buildResurrectionChoicePacket(packet, choice) && sendPacket(packet);
}

bool NetServerRequests::sendTextCommand(uint8_t type, std::string_view text)
{
    RequestStorage packet;
    return buildTextCommandPacket(packet, type, text) && sendPacket(packet);
}

bool NetServerRequests::sendConfigFile(uint8_t number, std::span<const uint8_t> payload)
{
    RequestStorage packet;
    return buildConfigFilePacket(packet, number, payload) && sendPacket(packet);
}

bool NetServerRequests::sendLogoutConfirm()
{
    addDebugSystemMessage("Sending Logout OK packet!");
    // The server answers the confirmation only while it stores the settings.
    if (!serverConfigStore().isEnabled())
        return false;
    RequestStorage packet;
    return buildLogoutOkPacket(packet) && sendPacket(packet);
}

void handleWarMode(const uint8_t* packet)
{
    int32_t offset = 0;
    uint8_t mode = 0;
    std::array<uint8_t, 3> trailing {};
    if (!packetGetByte(packet, offset, mode) || !packetGetByte(packet, offset, trailing[0])
        || !packetGetByte(packet, offset, trailing[1]) || !packetGetByte(packet, offset, trailing[2]))
        return;
    onWarModeChanged(mode, trailing);
}
