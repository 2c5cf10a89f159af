#include "windows/window_packets.h"

#include "data/server_features.h"
#include "gump/gump_services.h"
#include "net/buffered_connection.h"
#include "net/client_packets.h"
#include "text/localization.h"
#include "windows/context_menu.h"
#include "world/world_services.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t kContextMenuFlagBit = 3;
constexpr int32_t kPropertyListFlagBit = 5;
constexpr uint32_t kVirtueGumpId = 461;
constexpr uint32_t kVirtueButton = 1;
constexpr uint16_t kStatLockCommand = 0x1A;
constexpr uint8_t kUseSkillCommand = 0x24;
constexpr uint16_t kRaceChangeCommand = 0x2A;
constexpr size_t kProfileLimit = 511;

// Room for the largest request (0xB8 with a whole profile, 1032 bytes).
using Storage = std::array<uint8_t, 1040>;

int32_t g_contextPressX = 0;
int32_t g_contextPressY = 0;
uint32_t g_contextSerial = 0;

template <typename Build>
bool buildAndSend(Build build)
{
    Storage storage {};
    PacketBuffer packet(storage.data(), storage.size());
    return build(packet) && sendWindowPacket(packet);
}

} // namespace

bool sendWindowPacket(const PacketBuffer& packet) { return sendWorldPacket(packet); }

bool sendAttackRequest(uint32_t serial)
{
    return buildAndSend([serial](PacketBuffer& p) { return buildAttackRequestPacket(p, serial); });
}

bool sendUseRequest(uint32_t serial)
{
    return buildAndSend([serial](PacketBuffer& p) { return buildUseObjectPacket(p, serial); });
}

bool sendDropRequest(uint32_t item, uint16_t x, uint16_t y, uint8_t z, uint32_t container)
{
    return buildAndSend([&](PacketBuffer& p) { return buildDropItemPacket(p, item, x, y, z, container); });
}

bool sendWearRequest(uint32_t item, uint8_t layer, uint32_t mobile)
{
    return buildAndSend([&](PacketBuffer& p) { return buildEquipItemPacket(p, item, layer, mobile); });
}

bool sendStatusRequest(uint8_t type, uint32_t serial)
{
    return buildAndSend([&](PacketBuffer& p) { return buildStatusRequestPacket(p, type, serial); });
}

bool sendSkillLock(uint16_t skill, uint8_t state)
{
    return buildAndSend([&](PacketBuffer& p) { return buildSkillLockPacket(p, skill, state); });
}

bool sendSkillUse(int32_t skill)
{
    const std::string text = std::to_string(skill) + " 0";
    return buildAndSend([&](PacketBuffer& p) { return buildTextCommandPacket(p, kUseSkillCommand, text); });
}

bool sendNameRequest(uint32_t serial)
{
    return buildAndSend([serial](PacketBuffer& p) { return buildNameRequestPacket(p, serial); });
}

bool sendHelpRequest()
{
    return buildAndSend([](PacketBuffer& p) { return buildHelpRequestPacket(p, 0, ""); });
}

bool sendVirtueRequest(uint32_t playerSerial, uint32_t mobileSerial)
{
    // The reply of a server-described window whose only switch names the
    // mobile; no text entries follow.
    return buildAndSend([&](PacketBuffer& p) {
        packetBegin(p, 0xB1);
        packetPutLong(p, playerSerial);
        packetPutLong(p, kVirtueGumpId);
        packetPutLong(p, kVirtueButton);
        packetPutLong(p, 1);
        packetPutLong(p, mobileSerial);
        return !p.failed();
    });
}

bool sendObjectHelpRequest(uint32_t serial)
{
    const std::string language = getLanguageCode();
    return buildAndSend([&](PacketBuffer& p) { return buildObjectHelpRequestPacket(p, serial, 0, language.c_str()); });
}

bool sendProfileRequest(uint32_t serial)
{
    return buildAndSend([serial](PacketBuffer& p) { return buildProfileRequestPacket(p, serial); });
}

bool sendRenameRequest(uint32_t serial, const std::string& name)
{
    return buildAndSend([&](PacketBuffer& p) { return buildRenamePacket(p, serial, name.c_str()); });
}

bool sendDyeResponse(uint32_t serial, uint16_t value, uint16_t hue)
{
    return buildAndSend([&](PacketBuffer& p) { return buildDyeResponsePacket(p, serial, value, hue); });
}

bool sendProfileUpdate(uint32_t serial, std::u16string_view text)
{
    text = text.substr(0, std::min(text.size(), kProfileLimit));
    return buildAndSend([&](PacketBuffer& p) {
        packetBegin(p, 0xB8);
        packetPutByte(p, 1);
        packetPutLong(p, serial);
        packetPutShort(p, 1);
        packetPutShort(p, uint16_t(text.size()));
        for (char16_t unit : text)
            packetPutShort(p, uint16_t(unit));
        return !p.failed();
    });
}

bool sendStatLock(uint8_t stat, uint8_t state)
{
    return buildAndSend([&](PacketBuffer& p) {
        packetBegin(p, 0xBF);
        packetPutShort(p, kStatLockCommand);
        packetPutByte(p, stat);
        packetPutByte(p, state);
        return !p.failed();
    });
}

bool sendRaceChangeReply(uint16_t skinHue, uint16_t hair, uint16_t hairHue, uint16_t facialHair, uint16_t facialHairHue)
{
    return buildAndSend([&](PacketBuffer& p) {
        return buildRaceChangeReplyPacket(p, skinHue, hair, hairHue, facialHair, facialHairHue);
    });
}

bool sendRaceChangeRefusal()
{
    return buildAndSend([](PacketBuffer& p) {
        packetBegin(p, 0xBF);
        packetPutShort(p, kRaceChangeCommand);
        return !p.failed();
    });
}

bool sendEncodedCommand(uint32_t serial, uint16_t command)
{
    return buildAndSend([&](PacketBuffer& p) { return buildEncodedCommandPacket(p, serial, command, {}); });
}

bool areContextMenusAvailable() { return characterListFlag(kContextMenuFlagBit) || editServerMode(); }

bool areObjectPropertyListsOn() { return characterListFlag(kPropertyListFlagBit) || editServerMode(); }

void requestContextMenu(uint32_t serial)
{
    if (!areContextMenusAvailable())
        return;
    closeContextMenu();
    service<GumpPointer>().pressPosition(g_contextPressX, g_contextPressY);
    g_contextSerial = serial;
    buildAndSend([serial](PacketBuffer& p) { return buildContextMenuRequestPacket(p, serial); });
}

uint32_t contextMenuRequestedSerial() { return g_contextSerial; }

void contextMenuPressPoint(int32_t& x, int32_t& y)
{
    x = g_contextPressX;
    y = g_contextPressY;
}
