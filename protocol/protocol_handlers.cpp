#include "protocol/protocol_handlers.h"

#include "net/packet_dispatcher.h"
#include "protocol/edit_server_packets.h"
#include "protocol/login_packets.h"
#include "protocol/server_requests.h"
#include "protocol/session_packets.h"

#include <utility>

namespace {

constexpr std::pair<uint8_t, PacketHandler> kHandlers[] = {
    // The login road.
    { 0x81, handleShardChoiceList },
    { 0x82, handleLoginDenied },
    { 0x85, handleDeleteResult },
    { 0x86, handleCharacterListUpdate },
    { 0x8C, handleRelay },
    { 0xA8, handleShardList },
    { 0xA9, handleCharacterList },
    { 0xB9, handleFeatures },
    { 0xCE, handleIgrSession },
    // The session.
    { 0x53, handleLoginError },
    { 0x55, handleLoginComplete },
    { 0xBD, handleVersionRequest },
    { 0xBE, handleAssistVersionRequest },
    { 0xC8, handleUpdateRange },
    { 0xD0, handleConfigFile },
    { 0xD1, handleLogoutOk },
    { 0xDB, handleTransferLog },
    { 0xDC, handlePropertyRevision },
    // The player's war mode.
    { 0x72, handleWarMode },
    // Edit-server patches and the packets read and dropped.
    { 0x3E, skipNineLongPacket },
    { 0x3F, handleStaticsPatch },
    { 0x40, handleMapPatch },
    { 0x41, handleTileDataPatch },
    { 0x42, handleArtPatch },
    { 0x43, skipEditBlockPacket },
    { 0x44, handleHuesPatch },
    { 0x45, skipLongPacket },
    { 0x57, handleRegionPatch },
    { 0x69, skipTwoBytePacket },
    { 0x6A, skipTwoBytePacket },
    { 0x73, skipOneBytePacket },
    { 0x92, handleMultiPatch },
    { 0x94, handleSkillsPatch },
    { 0xB5, skipOneBytePacket },
    { 0xBB, skipTwoLongPacket },
    { 0xC6, handleTerrainCheckOn },
    { 0xC9, skipByteLongPacket },
    { 0xCA, skipByteLongPacket },
};

} // namespace

void registerProtocolHandlers()
{
    for (const auto& [id, handler] : kHandlers)
        registerPacketHandler(id, handler);
}
