#include "net/packet_dispatcher.h"

#include "core/error_report.h"
#include "net/dispatcher_tables.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"

#include <algorithm>
#include <array>

namespace {

struct DispatchTable {
    std::array<PacketHandler, 256> handlers {};
    std::array<uint32_t, 256> unregistered {};
};

DispatchTable& table()
{
    static DispatchTable dispatch;
    return dispatch;
}

bool isHandledId(uint8_t id) { return std::binary_search(kHandledPacketIds.begin(), kHandledPacketIds.end(), id); }

} // namespace

PacketRoute packetRoute(uint8_t id)
{
    if (id == kPausePacketId)
        return PacketRoute::Pause;
    return isHandledId(id) ? PacketRoute::Handler : PacketRoute::Ignored;
}

bool isSecondaryWhitelisted(uint8_t id)
{
    return std::find(kSecondaryWhitelist.begin(), kSecondaryWhitelist.end(), id) != kSecondaryWhitelist.end();
}

bool registerPacketHandler(uint8_t id, PacketHandler handler)
{
    if (packetRoute(id) != PacketRoute::Handler)
        return false;
    table().handlers[id] = handler;
    return true;
}

PacketHandler registeredPacketHandler(uint8_t id) { return table().handlers[id]; }

void clearPacketHandlers() { table().handlers.fill(nullptr); }

uint32_t unregisteredPacketCount(uint8_t id) { return table().unregistered[id]; }

void clearUnregisteredPacketCounts() { table().unregistered.fill(0); }

void dispatchGamePacket(GameConnection& connection, const uint8_t* packet)
{
    // The pump reaches connections only through their sessions, so the
    // packet's session is found; a connection fed outside the pump has none.
    setCurrentSession(sessionForConnection(&connection));

    uint8_t id = packet[0];
    // A logged-in shard behind the shown one delivers only a few kinds, and
    // what it may not deliver is not counted either.
    if (&connection != currentGameConnection() && connection.isCompressed() && !isSecondaryWhitelisted(id))
        return;
    connection.countReceivedPacket(packet, packetLength(packet));

    switch (packetRoute(id)) {
    case PacketRoute::Pause:
        // A resume (byte 1 = 0) only matters while paused, and the framing
        // handles it there.
        if (packetLength(packet) >= 2 && packet[1] != 0)
            connection.pauseDelivery();
        return;
    case PacketRoute::Ignored:
        return;
    case PacketRoute::Handler:
        break;
    }
    if (PacketHandler handler = table().handlers[id]) {
        handler(packet);
        return;
    }
    // The handler of this id lives in a part of the client not built yet: the
    // framing has already skipped the packet by its length.
    if (table().unregistered[id]++ == 0)
        reportPlain("No handler yet for packet 0x%02X; skipped.\n", unsigned(id));
}
