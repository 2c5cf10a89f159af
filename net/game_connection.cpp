#include "net/game_connection.h"

#include "net/packet_table.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

GameConnectionHandler* g_handler = nullptr;
GameConnection* g_current = nullptr;
std::vector<GameConnection*> g_deferredDelete;

} // namespace

GameConnectionHandler* setGameConnectionHandler(GameConnectionHandler* handler)
{
    GameConnectionHandler* previous = g_handler;
    g_handler = handler;
    return previous;
}

void GameConnection::onConnectionLost(const char16_t* reason)
{
    if (g_handler)
        g_handler->connectionLost(*this, reason);
}

void GameConnection::dispatchPacket(const uint8_t* packet)
{
    if (g_handler)
        g_handler->dispatchPacket(*this, packet);
}

GameConnection* currentGameConnection() { return g_current; }

void setCurrentGameConnection(GameConnection* connection) { g_current = connection; }

bool createGameConnection()
{
    g_current = new (std::nothrow) GameConnection;
    return g_current != nullptr;
}

bool ensureGameConnection() { return g_current || createGameConnection(); }

void closeGameConnection()
{
    if (g_current && g_current->isOpen())
        g_current->close();
}

bool gameConnectionIsOpen() { return g_current && g_current->isOpen(); }

bool isGameConnected() { return gameConnectionIsOpen(); }

bool sendPacket(const PacketBuffer& packet) { return g_current && g_current->queuePacket(packet); }

void scheduleConnectionDelete(GameConnection* connection)
{
    if (connection && std::find(g_deferredDelete.begin(), g_deferredDelete.end(), connection) == g_deferredDelete.end())
        g_deferredDelete.push_back(connection);
}

void deleteScheduledConnections()
{
    std::vector<GameConnection*> doomed;
    doomed.swap(g_deferredDelete);
    for (GameConnection* connection : doomed) {
        if (connection == g_current)
            g_current = nullptr;
        delete connection;
    }
}

void destroyAllConnections()
{
    deleteScheduledConnections();
    releaseGameConnectionAtExit();
}

void releaseGameConnectionAtExit()
{
    if (!g_current)
        return;
    if (g_current->isOpen())
        g_current->close();
    delete g_current;
    g_current = nullptr;
}
