#include "protocol/protocol_handlers.h"

#include "gump/property_cache.h"
#include "net/packet_dispatcher.h"
#include "protocol/combat_packets.h"
#include "protocol/container_packets.h"
#include "protocol/edit_server_packets.h"
#include "protocol/effect_packets.h"
#include "protocol/general_info_packet.h"
#include "protocol/login_packets.h"
#include "protocol/server_requests.h"
#include "protocol/mobile_status_packets.h"
#include "protocol/season_packet.h"
#include "protocol/target_cursor.h"
#include "protocol/session_packets.h"
#include "protocol/world_object_packets.h"

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
    // The world's objects and the player.
    { 0x4F, handleOverallLight },
    { 0x1B, handleLoginConfirm },
    { 0x76, handleNewSubserver },
    { 0x1D, handleDeleteObject },
    { 0x20, handlePlayerUpdate },
    { 0x21, handleMoveReject },
    { 0x22, handleMoveAck },
    { 0x77, handleMobileMoving },
    { 0xD2, handleMobileUpdateExtended },
    { 0x78, handleMobileIncoming },
    { 0xD3, handleMobileIncomingExtended },
    { 0x1A, handleWorldItem },
    { 0xC4, handleSemiVisible },
    { 0x39, handleGroupNotice },
    { 0x97, handleMovePlayer },
    // Containers, corpses, the course map and dragging.
    { 0x24, handleOpenContainer },
    { 0x25, handleContainerItem },
    { 0x3C, handleContainerContents },
    { 0x89, handleCorpseEquipment },
    { 0x90, handleCourseMap },
    { 0x23, handleDragAnimation },
    { 0x27, handlePickUpReject },
    { 0x28, handleDropRejectClear },
    { 0x29, handleDropAccepted },
    // The general information packet and the property lists.
    { 0xBF, handleGeneralInfo },
    { 0xD6, handlePropertyList },
    // Mobile status.
    { 0x11, handleStatusInfo },
    { 0x2D, handleMobileAttributes },
    { 0xA1, handleHitsUpdate },
    { 0xA2, handleManaUpdate },
    { 0xA3, handleStaminaUpdate },
    { 0x16, handleMobileStatusValues },
    { 0x17, handleMobileStatusValue },
    { 0x98, handleMobileName },
    { 0x2E, handleWornItem },
    // Fights and mobile events; the player's war mode.
    { 0x2C, handleDeathScreen },
    { 0x2F, handleSwing },
    { 0x30, handleAttackAccepted },
    { 0x31, handleAttackEnded },
    { 0x72, handleWarMode },
    { 0xAA, handleCombatant },
    { 0x0B, handleDamage },
    { 0xAF, handleDeathAnimation },
    { 0x6E, handleAnimation },
    { 0x15, handleFollow },
    { 0x38, handlePathfind },
    // Effects, sound, music, light, weather, time and sequencing.
    { 0x70, handleGraphicalEffect },
    { 0xC0, handleHuedEffect },
    { 0xC7, handleParticleEffect },
    { 0x54, handlePlaySound },
    { 0x6D, handlePlayMusic },
    { 0x4E, handlePersonalLight },
    { 0x65, handleWeather },
    { 0x5B, handleGameTime },
    { 0x7B, handleSequence },
    // The season.
    { 0xBC, handleSeason },
    // Target cursors and placements.
    { 0x6C, handleTargetCursor },
    { 0x99, handleMultiPlacement },
    { 0xB4, handleObjectListPlacement },
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
