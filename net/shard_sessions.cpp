#include "net/shard_sessions.h"

#include "core/wide_text.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "platform/ascii_text.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

// After a lost connection the client pauses this long, so that the message
// is drawn before the next step runs.
constexpr uint32_t kLossPauseMs = 76;
// Every this many losses without a session the current connection is closed.
constexpr int32_t kLossesPerClose = 13;

struct SessionState {
    std::vector<ShardSession*> sessions;
    ShardSession* current { nullptr };
    ShardSessionHost* host { nullptr };
    int32_t lossCounter { 0 };
};

SessionState& sessionState()
{
    static SessionState sessions;
    return sessions;
}

void removeSession(ShardSession* session)
{
    std::vector<ShardSession*>& list = sessionState().sessions;
    list.erase(std::remove(list.begin(), list.end(), session), list.end());
}

// The menu answers 0 when nothing was chosen; no session is found for it.
ShardSession* sessionForHandle(int32_t handle)
{
    if (handle <= 0)
        return nullptr;
    for (ShardSession* session : sessionState().sessions) {
        if (session->connection && session->connection->handle() == handle)
            return session;
    }
    return nullptr;
}

class SessionRouting final : public GameConnectionHandler {
public:
    void connectionLost(GameConnection& connection, const char16_t*) override { shardConnectionLost(connection); }
    void dispatchPacket(GameConnection& connection, const uint8_t* packet) override
    {
        dispatchGamePacket(connection, packet);
    }
};

} // namespace

ShardSessionHost* setShardSessionHost(ShardSessionHost* host)
{
    ShardSessionHost* previous = sessionState().host;
    sessionState().host = host;
    return previous;
}

ShardSessionHost* shardSessionHost() { return sessionState().host; }

const std::vector<ShardSession*>& sessionList() { return sessionState().sessions; }

ShardSession* addShardSession(const std::string& name, GameConnection* connection)
{
    ShardSession* session = new (std::nothrow) ShardSession;
    if (!session)
        return nullptr;
    session->name = name;
    session->connection = connection;
    sessionState().sessions.push_back(session);
    return session;
}

ShardSession* currentSession() { return sessionState().current; }

void setCurrentSession(ShardSession* session) { sessionState().current = session; }

ShardSession* sessionForConnection(const GameConnection* connection)
{
    if (!connection)
        return nullptr;
    for (ShardSession* session : sessionState().sessions) {
        if (session->connection == connection)
            return session;
    }
    return nullptr;
}

bool isLiveSession(const ShardSession* session)
{
    const std::vector<ShardSession*>& list = sessionState().sessions;
    return session && std::find(list.begin(), list.end(), session) != list.end();
}

ShardSession* shownSession() { return sessionForConnection(currentGameConnection()); }

void discardSession(ShardSession* session)
{
    if (!isLiveSession(session))
        return;
    removeSession(session);
    if (session->connection) {
        session->connection->close();
        scheduleConnectionDelete(session->connection);
    }
    if (sessionState().current == session)
        sessionState().current = nullptr;
    delete session;
}

void destroyAllSessions()
{
    SessionState& sessions = sessionState();
    for (ShardSession* session : sessions.sessions) {
        scheduleConnectionDelete(session->connection);
        delete session;
    }
    sessions.sessions.clear();
    sessions.current = nullptr;
}

void shardConnectionLost(GameConnection& connection)
{
    SessionState& sessions = sessionState();
    ShardSessionHost* host = sessions.host;
    // The session that ends is the one of the connection that was lost,
    // whichever session is being pumped or dispatched (a handler of one
    // shard may flush another's connection).
    if (ShardSession* session = sessionForConnection(&connection)) {
        removeSession(session);
        connection.close();
        scheduleConnectionDelete(&connection);
        if (sessions.current == session)
            sessions.current = nullptr;
        delete session;
        bool wasShown = &connection == currentGameConnection();
        if (wasShown && !sessions.sessions.empty()) {
            leaveShardWorld();
            activateSession(*sessions.sessions.front());
            return;
        }
        // A shard behind the shown one is lost without a word.
        if (!wasShown)
            return;
    }
    // A player in the world is never left in it without a connection: the
    // loss is told, or the box already shown takes the way back, even when
    // a refusal in the world ended the login road first.
    const bool inWorld = host && host->hasEnteredWorld();
    if (!host || !(host->isLoginFlowActive() || inWorld))
        return;
    if (!host->isWaitingShown()) {
        host->dropHeldItem();
        host->showConnectionLost();
    } else if (inWorld) {
        host->leaveWorldOnWaitingButton();
    }
    if (--sessions.lossCounter <= 0) {
        sessions.lossCounter = kLossesPerClose;
        if (!host->hasEnteredWorld())
            connection.close();
    }
    host->renderFrame();
    platform::clock().sleepMs(kLossPauseMs);
}

void requestDeferredConnect(uint32_t address, uint16_t port)
{
    ShardSession* session = sessionState().current;
    if (!session)
        return;
    session->deferredAddress = address;
    session->deferredPort = port;
    session->deferredConnect = true;
}

void leaveShardWorld()
{
    if (ShardSessionHost* host = sessionState().host)
        host->leaveShardWorld();
}

void activateSession(ShardSession& session)
{
    ShardSessionHost* host = sessionState().host;
    if (host)
        host->addSystemMessage("Switching server!");
    setCurrentGameConnection(session.connection);
    if (!host)
        return;
    host->restoreSessionState(session);
    char text[64];
    std::snprintf(text, sizeof text, "=tp (%d %d %d)", session.x, session.y, session.z);
    host->sendSpeechUnthrottled(text);
    host->setWindowTitle(bytesToWideString(host->accountName()) + u" (" + bytesToWideString(session.name) + u")");
}

void saveSessionState()
{
    ShardSessionHost* host = sessionState().host;
    if (ShardSession* session = shownSession(); session && host)
        host->saveSessionState(*session);
}

void shardPopupMenu(bool greyCurrent, std::function<void(int32_t)> chosen)
{
    ShardSessionHost* host = sessionState().host;
    if (!host)
        return;
    GameConnection* shown = currentGameConnection();
    bool shownConfirmed = shown && shown->isConfirmed();
    std::vector<ShardMenuEntry> entries;
    for (ShardSession* session : sessionState().sessions) {
        ShardMenuEntry entry;
        entry.label = session->name;
        if (session->connection && session->connection == shown) {
            host->saveSessionState(*session);
            entry.greyed = greyCurrent;
        }
        // Until the shown shard has confirmed its login no switch is offered.
        if (!shownConfirmed) {
            entry.label += " (connecting)";
            entry.greyed = true;
        }
        entry.socketHandle = session->connection ? session->connection->handle() : -1;
        entries.push_back(std::move(entry));
    }
    host->chooseShard(entries, std::move(chosen));
}

void switchToShard(int32_t socketHandle)
{
    if (socketHandle == -1) {
        shardPopupMenu(true, [](int32_t chosen) {
            if (chosen != -1)
                switchToShard(chosen);
        });
        return;
    }
    ShardSession* session = sessionForHandle(socketHandle);
    if (!session || session->connection == currentGameConnection())
        return;
    leaveShardWorld();
    activateSession(*session);
}

void connectShardByName(const std::string& name, int32_t autoSwitchValue)
{
    SessionState& sessions = sessionState();
    ShardSessionHost* host = sessions.host;
    for (ShardSession* session : sessions.sessions) {
        if (!platform::equalIgnoringAsciiCase(session->name, name))
            continue;
        if (host)
            host->addSystemMessage("You are already connected to that shard!");
        if (autoSwitchValue != -1) {
            session->autoSwitchRequest = autoSwitchValue;
            bool open = session->connection && session->connection->isOpen();
            switchToShard(open ? session->connection->handle() : -1);
        }
        return;
    }

    GameConnection* connection = new (std::nothrow) GameConnection;
    if (!connection)
        return;
    connection->setSecondary(true);
    ShardSession* session = addShardSession(name, connection);
    if (!session) {
        delete connection;
        return;
    }
    session->autoSwitchRequest = autoSwitchValue;
    uint32_t address = 0;
    uint16_t port = 0;
    if (host)
        host->loginServerInUse(address, port);
    // The new session is the current one while it connects, so that a seed
    // that cannot be sent loses this session and no other.
    ShardSession* previous = sessions.current;
    sessions.current = session;
    connection->connect(address, port);
    sessions.current = isLiveSession(previous) ? previous : nullptr;
    if (!isLiveSession(session))
        return;
    // A connect that failed leaves the connection closed; the next pump pass
    // finds it so and ends the session.
    if (host && connection->isOpen())
        host->sendAccountLogin(*connection);
}

void closeShardFromMenu()
{
    shardPopupMenu(false, [](int32_t chosen) {
        if (ShardSession* session = sessionForHandle(chosen))
            session->closeRequested = true;
    });
}

GameConnectionHandler* installSessionRouting()
{
    static SessionRouting routing;
    return setGameConnectionHandler(&routing);
}
