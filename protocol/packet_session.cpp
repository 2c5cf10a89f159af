#include "protocol/packet_session.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "net/game_connection.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_text.h"

#include <vector>

GameConnection* packetConnection()
{
    ShardSession* session = currentSession();
    return session ? session->connection : currentGameConnection();
}

bool fromShownShard()
{
    ShardSession* session = currentSession();
    return !session || session->connection == currentGameConnection();
}

bool queueOnSessionConnection(const PacketBuffer& packet)
{
    GameConnection* connection = packetConnection();
    return connection && connection->queuePacket(packet);
}

void closePacketConnection()
{
    GameConnection* connection = packetConnection();
    if (connection && connection->isOpen())
        connection->close();
}

bool endBackgroundLogin(const std::u16string& reason)
{
    if (fromShownShard())
        return false;
    ShardSession* session = currentSession();
    // The system line is 8-bit text: what the reason holds beyond ASCII is
    // left out.
    std::vector<char> narrow(reason.size() + 1, '\0');
    wideToAsciiDropHigh(narrow.data(), reason.c_str());
    windowNotices().addSystemMessage(0, kSystemMessageFont, session->name + ": " + narrow.data());
    closePacketConnection();
    return true;
}

bool loginRoadPacketAllowed()
{
    if (!loginSession().loggedIn)
        return true;
    GameConnection* connection = packetConnection();
    return connection && connection->isSecondary() && !fromShownShard();
}
