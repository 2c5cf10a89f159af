#include "world/world_services.h"

#include "net/game_connection.h"
#include "world/item.h"

void MultiComponents::updatePosition(Item& item, int32_t x, int32_t y, int32_t z, int32_t)
{
    item.moveTo(x, y, z);
}

bool WorldPacketSink::send(const PacketBuffer& packet) { return sendPacket(packet); }

bool WorldPacketSink::isConnected() { return currentGameConnection() != nullptr; }

bool isWorldConnected() { return worldService<WorldPacketSink>().isConnected(); }

bool sendWorldPacket(const PacketBuffer& packet) { return worldService<WorldPacketSink>().send(packet); }
