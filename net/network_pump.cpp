#include "net/network_pump.h"

#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/shard_sessions.h"
#include "platform/clock.h"
#include "platform/sockets.h"

#include <vector>

namespace {

// The readiness call of the pump looks at no more sockets than this.
constexpr size_t kMaxPolledSockets = 64;

struct PumpState {
    bool inWorld { false };
    bool quitting { false };
    uint32_t keepAliveTimer { 0 };
};

PumpState& pump()
{
    static PumpState state;
    return state;
}

struct PolledSession {
    ShardSession* session;
    GameConnection* connection;
};

// Walks the sessions in order: closes what was asked to close, runs deferred
// connects and collects the open connections. A closed one reports its loss
// and ends the walk for this pass.
void collectSessions(std::vector<PolledSession>& polled, std::vector<platform::SocketPoll>& sockets)
{
    for (size_t index = 0; index < sessionList().size(); ++index) {
        ShardSession* session = sessionList()[index];
        setCurrentSession(session);
        if (session->closeRequested && session->connection)
            session->connection->close();
        if (session->deferredConnect) {
            session->deferredConnect = false;
            if (ShardSessionHost* host = shardSessionHost())
                host->deferredGameConnect(session->deferredAddress, session->deferredPort);
            // A connect that lost its connection has freed the session.
            if (currentSession() != session)
                return;
        }
        GameConnection* connection = session->connection;
        if (!connection)
            continue;
        if (!connection->isOpen()) {
            if (!appQuitting())
                connection->onConnectionLost(u"");
            return;
        }
        if (sockets.size() >= kMaxPolledSockets)
            continue;
        platform::SocketPoll entry;
        entry.socket = connection->handle();
        entry.wantRead = true;
        entry.wantWrite = connection->hasPendingOutput();
        sockets.push_back(entry);
        polled.push_back({ session, connection });
    }
}

void serviceReady(const std::vector<PolledSession>& polled, const std::vector<platform::SocketPoll>& sockets)
{
    for (size_t index = 0; index < polled.size(); ++index) {
        // An earlier session's packets may have ended this one.
        ShardSession* session = polled[index].session;
        if (!isLiveSession(session) || session->connection != polled[index].connection)
            continue;
        GameConnection* connection = session->connection;
        const platform::SocketPoll& ready = sockets[index];
        if (!connection->isOpen() || connection->handle() != ready.socket)
            continue;
        setCurrentSession(session);
        if (ready.exception) {
            connection->onException();
            continue;
        }
        // A flush that emptied the queue leaves reading to the next pass.
        if (ready.writable && !connection->onWritable())
            continue;
        if (ready.readable)
            connection->onReadable();
    }
}

} // namespace

bool pollConnections(uint32_t maxWaitMs, std::span<const int32_t> alsoWakeOn)
{
    deleteScheduledConnections();
    if (!currentGameConnection())
        createGameConnection();

    std::vector<PolledSession> polled;
    std::vector<platform::SocketPoll> sockets;
    collectSessions(polled, sockets);
    bool waited = false;
    if (!sockets.empty()) {
        waited = true;
        // After the connections' own entries: serviceReady looks at those only.
        for (int32_t descriptor : alsoWakeOn) {
            platform::SocketPoll entry;
            entry.socket = descriptor;
            entry.wantRead = true;
            sockets.push_back(entry);
        }
        if (platform::pollSockets(sockets, maxWaitMs) > 0)
            serviceReady(polled, sockets);
    }
    setCurrentSession(nullptr);
    if (ShardSessionHost* host = shardSessionHost())
        host->pollMessenger();
    return waited;
}

void sendKeepAlive()
{
    PumpState& state = pump();
    uint32_t now = platform::clock().unixSeconds();
    GameConnection* connection = currentGameConnection();
    // Outside the world only a game-server connection is kept alive; time
    // spent on the login server starts the count again.
    if (!state.inWorld && (!connection || !connection->isCompressed())) {
        state.keepAliveTimer = now;
        return;
    }
    // Compared unsigned: a clock set back sends at once and starts again.
    if (now - state.keepAliveTimer <= kKeepAliveSeconds)
        return;
    state.keepAliveTimer = now;
    PacketStorage<2> packet;
    if (buildKeepAlivePacket(packet, 0) && connection)
        connection->queuePacket(packet);
}

bool inWorldFlag() { return pump().inWorld; }
void setInWorldFlag(bool on) { pump().inWorld = on; }
bool appQuitting() { return pump().quitting; }
void setAppQuitting(bool on) { pump().quitting = on; }
