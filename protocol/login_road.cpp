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
#include "protocol/packet_session.h"
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

void showAttachFailure(GameConnection& connection)
{
    LoginScreens& screens = loginScreens();
    screens.deleteWaiting();
    WaitingMessage message;
    message.text = kAttachFailedText;
    message.covered = CoveredWindow::LoginWindow;
    message.returnToMenu = true;
    screens.showWaiting(message);
    connection.close();
    loginSession().loginInProgress = false;
    loginSession().attached = false;
}

// A shard that logs in behind the one the player sees: its login connection
// is replaced by a new game connection of its own, logged in at once. A
// further shard the player already sees goes on being seen on the new one.
void connectSecondary(ShardSession& session, uint32_t address, uint16_t port)
{
    GameConnection* old = session.connection;
    const bool shown = old == currentGameConnection();
    old->close();
    scheduleConnectionDelete(old);
    GameConnection* connection = new (std::nothrow) GameConnection;
    session.connection = connection;
    if (shown)
        setCurrentGameConnection(connection);
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

// Everything here acts on the connection of the session the relay came on:
// a relay on a shard behind the shown one never touches the shown one.
void deferredGameConnect(uint32_t address, uint16_t port)
{
    ShardSession* session = currentSession();
    GameConnection* connection = session ? session->connection : currentGameConnection();
    if (!connection)
        return;
    if (address == 0) {
        const std::u16string refused = clilocText(kRelayRefusedCliloc);
        if (endBackgroundLogin(refused))
            return;
        LoginScreens& screens = loginScreens();
        screens.deleteWaiting();
        WaitingMessage message;
        message.text = refused;
        message.covered = CoveredWindow::LoginWindow;
        screens.showWaiting(message);
        connection->close();
        return;
    }
    if (session && (connection->isSecondary() || connection != currentGameConnection())) {
        connectSecondary(*session, address, port);
        return;
    }

    clientShell().setWindowTitle(u"Connecting...");
    // A game server at this machine's own address is reached over the login
    // connection that is already open.
    if (address != platform::localIPv4Address()) {
        const bool secondary = connection->isSecondary();
        const bool confirmed = connection->isConfirmed();
        connection->close();
        connection->setSecondary(secondary);
        connection->setConfirmed(confirmed);
        bool connected = false;
        for (int32_t attempt = 0; attempt < kGameConnectAttempts && !connected; ++attempt) {
            connection->setGameServer(true);
            connected = connection->connect(address, port);
            // A seed that could not be sent has ended the session.
            if (session && !isLiveSession(session))
                return;
        }
        if (!connected) {
            showAttachFailure(*connection);
            return;
        }
        connection->setCompressed(true);
    }
    connection->setGameServer(true);
    PacketStorage<72> packet;
    if (buildGameLoginPacket(packet, loginSession().accountName.c_str(), loginSession().password.c_str()))
        connection->queuePacket(packet);
    loginSession().attached = true;
    connection->setCompressed(true);
}
