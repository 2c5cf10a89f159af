#include "world/world_services.h"

#include "net/game_connection.h"

bool WorldPacketSink::send(const PacketBuffer& packet) { return sendPacket(packet); }

bool WorldPacketSink::isConnected() { return currentGameConnection() != nullptr; }

bool isWorldConnected() { return worldService<WorldPacketSink>().isConnected(); }

bool sendWorldPacket(const PacketBuffer& packet) { return worldService<WorldPacketSink>().send(packet); }
