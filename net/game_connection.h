#pragma once
// The client's login and game connections and the process-wide operations on
// the current one. What happens when a connection is lost, and what a packet
// means, belongs to the session layer and the packet dispatcher; they reach
// these connections through the GameConnectionHandler installed at start-up.

#include "net/buffered_connection.h"

class GameConnection;
class PacketBuffer;

class GameConnectionHandler {
public:
    virtual ~GameConnectionHandler() = default;
    // The connection was closed on an error, or a flush found it closed
    // (while the application quits this is to be ignored).
    virtual void connectionLost(GameConnection& connection, const char16_t* reason) = 0;
    // One complete packet, valid only during the call.
    virtual void dispatchPacket(GameConnection& connection, const uint8_t* packet) = 0;
};

// Installs the handler of every game connection; returns the previous one.
GameConnectionHandler* setGameConnectionHandler(GameConnectionHandler* handler);

class GameConnection : public BufferedConnection {
public:
    void onConnectionLost(const char16_t* reason) override;
    void dispatchPacket(const uint8_t* packet) override;
};

// The connection that sendPacket and the world use; may be null.
GameConnection* currentGameConnection();
// Makes another connection current (switching shards); the previous one is
// not deleted.
void setCurrentGameConnection(GameConnection* connection);
// Makes a new connection current (the previous one is not deleted). False when
// no memory was left.
bool createGameConnection();
bool ensureGameConnection();
void closeGameConnection();
bool gameConnectionIsOpen();
bool isGameConnected();

// Queues `packet` on the current connection; false when there is none or the
// packet was not queued.
bool sendPacket(const PacketBuffer& packet);

// Connections are never deleted while the pump or a handler may hold them:
// they are scheduled, and deleted at the start of the next pump pass.
void scheduleConnectionDelete(GameConnection* connection);
void deleteScheduledConnections();
// At shutdown: deletes the scheduled connections and the current one.
void destroyAllConnections();
void releaseGameConnectionAtExit();
