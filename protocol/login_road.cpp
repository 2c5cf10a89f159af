#include "protocol/login_road.h"

#include "core/process_random.h"
#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/config_key_rules.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/shard_sessions.h"
#include "platform/clock.h"
#include "platform/sockets.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "protocol/session_packets.h"

#include <cstdio>
#include <new>
#include <vector>

namespace {

struct ChosenServer {
    uint32_t address { 0 };
    uint16_t port { 0 };
};

ChosenServer& chosen()
{
    static ChosenServer server;
    return server;
}

} // namespace

uint32_t chosenLoginAddress() { return chosen().address; }
uint16_t chosenLoginPort() { return chosen().port; }

bool loginServerAddress(bool useBackupList)
{
    setInWorldFlag(false);
    ensureGameConnection();
    if (GameConnection* connection = currentGameConnection()) {
        connection->setCompressed(false);
        connection->setGameServer(false);
    }
    ChosenServer& server = chosen();
    const ConfigValues& values = configValues();
    if (values.editServer.address != 0) {
        server.address = values.editServer.address;
        server.port = values.editServer.port;
        return true;
    }
    const std::vector<LoginServerEntry>& list = useBackupList ? values.backupLoginServers : values.loginServers;
    int32_t index = values.currentLoginServer;
    if (index < 0 || index >= int32_t(list.size())) {
        server = {};
        return false;
    }
    const LoginServerEntry& entry = list[size_t(index)];
    if (entry.hostName.empty()) {
        server.address = entry.address;
        server.port = entry.port;
        return true;
    }
    // A name that does not resolve leaves nothing to connect to: the attempt
    // fails as for an unreachable server.
    server = {};
    return resolveServerAddress(entry.hostName, server.address, server.port);
}

bool connectLoginServer()
{
    LoginSession& session = loginSession();
    session.loginInProgress = true;
    if (gameConnectionIsOpen())
        return true;
    // Nothing of an earlier session's world outlives a new connection.
    resetSessionWorld();
    seedRandom(platform::clock().tickMs());
    int32_t& index = configValues().currentLoginServer;
    int32_t count = int32_t(configValues().loginServers.size());
    index = count > 0 ? nextRandom() % count : 0;

    // The connection of an earlier road that no session holds is dropped.
    GameConnection* previous = currentGameConnection();
    if (previous && !sessionForConnection(previous))
        scheduleConnectionDelete(previous);
    // A road that could not connect has ended: nothing is in progress.
    if (!createGameConnection()) {
        session.loginInProgress = false;
        return false;
    }
    GameConnection* connection = currentGameConnection();

    bool connected = false;
    for (int32_t attempt = 0; attempt <= count && !connected; ++attempt) {
        if (loginServerAddress(false))
            connected = connection->connect(chosen().address, chosen().port);
        if (!connected && count > 0)
            index = (index + 1) % count;
    }
    if (!connected) {
        scheduleConnectionDelete(connection);
        session.loginInProgress = false;
        return false;
    }
    connection->setSecondary(false);
    connection->setConfirmed(false);
    connection->setCompressed(false);
    ShardSession* shardSession = addShardSession(std::string(), connection);
    setCurrentSession(shardSession);
    setCurrentGameConnection(connection);
    return true;
}

bool sendAccountLogin(GameConnection& connection)
{
    const LoginSession& session = loginSession();
    PacketStorage<96> packet;
    IgrSessions& igr = igrSessions();
    bool built;
    if (igr.isIgrMode()) {
        std::vector<uint8_t> id = igr.igrId();
        id.resize(kIgrIdSize, 0);
        built = buildIgrAccountLoginPacket(
            packet, session.accountName.c_str(), session.password.c_str(), session.nextLoginKey, id.data());
    } else {
        built = buildAccountLoginPacket(
            packet, session.accountName.c_str(), session.password.c_str(), session.nextLoginKey);
    }
    return built && connection.queuePacket(packet);
}

namespace {

void showAttachFailure()
{
    LoginScreens& screens = loginScreens();
    screens.deleteWaiting();
    WaitingMessage message;
    message.text = kAttachFailedText;
    message.covered = CoveredWindow::LoginWindow;
    message.returnToMenu = true;
    screens.showWaiting(message);
    closeGameConnection();
    loginSession().loginInProgress = false;
    loginSession().attached = false;
}

// A further shard's session: its login connection is replaced by a new game
// connection, logged in at once.
void connectSecondary(ShardSession& session, uint32_t address, uint16_t port)
{
    GameConnection* old = session.connection;
    old->close();
    scheduleConnectionDelete(old);
    GameConnection* connection = new (std::nothrow) GameConnection;
    session.connection = connection;
    if (!connection)
        return;
    connection->setSecondary(true);
    connection->setGameServer(true);
    connection->setCompressed(true);
    if (connection->connect(address, port)) {
        PacketStorage<72> packet;
        if (buildGameLoginPacket(packet, loginSession().accountName.c_str(), loginSession().password.c_str()))
            connection->queuePacket(packet);
    }
    // A failed connect leaves the connection closed; the pump then ends the
    // session. One whose seed could not be sent has ended it already.
    if (isLiveSession(&session)) {
        char text[128];
        std::snprintf(text, sizeof text, "Logging into %s.", session.name.c_str());
        windowNotices().addSystemMessage(0, kSystemMessageFont, text);
    }
}

} // namespace

void deferredGameConnect(uint32_t address, uint16_t port)
{
    LoginScreens& screens = loginScreens();
    ShardSession* session = currentSession();
    if (address == 0) {
        screens.deleteWaiting();
        WaitingMessage message;
        message.text = clilocText(kRelayRefusedCliloc);
        message.covered = CoveredWindow::LoginWindow;
        screens.showWaiting(message);
        if (session && session->connection)
            session->connection->close();
        return;
    }
    if (session && session->connection && session->connection->isSecondary()) {
        connectSecondary(*session, address, port);
        return;
    }

    clientShell().setWindowTitle(u"Connecting...");
    // A game server at this machine's own address is reached over the login
    // connection that is already open.
    if (address != platform::localIPv4Address()) {
        GameConnection* connection = currentGameConnection();
        bool secondary = connection && connection->isSecondary();
        bool confirmed = connection && connection->isConfirmed();
        closeGameConnection();
        if ((connection = currentGameConnection())) {
            connection->setSecondary(secondary);
            connection->setConfirmed(confirmed);
        }
        bool connected = false;
        for (int32_t attempt = 0; attempt < kGameConnectAttempts && !connected; ++attempt) {
            setGameServerMode(true);
            connected = connectGameConnection(address, port);
        }
        if (!connected) {
            showAttachFailure();
            return;
        }
        if (session && isLiveSession(session))
            session->connection = currentGameConnection();
        setCompression(true);
    }
    setGameServerMode(true);
    PacketStorage<72> packet;
    if (buildGameLoginPacket(packet, loginSession().accountName.c_str(), loginSession().password.c_str()))
        sendPacket(packet);
    loginSession().attached = true;
    setCompression(true);
}
