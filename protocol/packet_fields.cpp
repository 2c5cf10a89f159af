#include "protocol/packet_fields.h"

#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"

#include <string_view>

bool readFixedText(const uint8_t* packet, int32_t& offset, int32_t fieldSize, size_t maxLength, std::string& out)
{
    std::string_view text;
    if (!packetGetFixedText(packet, offset, fieldSize, text)) {
        out.clear();
        return false;
    }
    out.assign(text.substr(0, maxLength));
    return true;
}

bool queueOnSessionConnection(const PacketBuffer& packet)
{
    ShardSession* session = currentSession();
    if (session && session->connection)
        return session->connection->queuePacket(packet);
    return sendPacket(packet);
}
