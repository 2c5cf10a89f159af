#include "frontend/front_end_flow.h"

#include "data/server_config_store.h"
#include "frontend/front_end_dialogs.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/main_menu.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/shard_sessions.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "protocol/session_packets.h"

#include <vector>

namespace {

void clearRoadFlags()
{
    LoginSession& session = loginSession();
    session.loginInProgress = false;
    session.attached = false;
}

// Starts the two-step exit with settings kept on the server: the changed
// files go up, the server is asked to confirm, and only the notice stays.
void beginUpload()
{
    ServerConfigStore& store = serverConfigStore();
    store.poll(true);
    store.setLogoutPending(true);
    PacketStorage<8> packet;
    if (buildLogoutOkPacket(packet))
        sendPacket(packet);
    gumpCloseAllButPersistent();
    auto* notice = new IgrSaveGump(clilocText(kUploadNoticeCliloc), nullptr);
    gumpLink(notice, nullptr);
}

// Every session's connection is told of the disconnect, which is flushed
// before it closes, and every session ends.
void endEverySession()
{
    PacketStorage<8> packet;
    const bool built = buildDisconnectPacket(packet);
    const std::vector<ShardSession*> sessions = sessionList();
    for (ShardSession* session : sessions) {
        GameConnection* connection = session->connection;
        if (connection && connection->isOpen() && built) {
            connection->queuePacket(packet);
            connection->setBlocking();
            connection->flushAll();
        }
        if (connection && connection == currentGameConnection())
            setCurrentGameConnection(nullptr);
        discardSession(session);
    }
    setCurrentSession(nullptr);
}

// An invisible gump that runs one step on the next gump update, outside any
// drawing, and goes.
class NextUpdateStep final : public CGump {
public:
    explicit NextUpdateStep(void (*step)())
        : m_step(step)
    {
        setTypeName("next update step");
        setNoHit(true);
    }
    void tick() override
    {
        void (*step)() = m_step;
        closeGump(this);
        step();
    }
    bool isClosableByCloseAll() override { return false; }

private:
    void (*m_step)();
};

} // namespace

void showMainMenuAfterDrawing() { gumpLink(new NextUpdateStep(showMainMenu), nullptr); }

void openNewMainMenu()
{
    closeGump(frontEnd().mainMenu.get());
    auto* menu = new MainMenuGump();
    gumpLink(menu, nullptr);
}

void showMainMenu()
{
    if (frontEnd().mainMenu) {
        if (auto* login = rememberedWindow<AcctLoginGump>(frontEnd().loginWindow))
            gumpSetFocus(login->accountEntry());
        return;
    }
    openNewMainMenu();
}

void returnToMainMenu(CGump* gump)
{
    closeGump(gump);
    frontEnd().loginWindow = GumpHandle();
    openNewMainMenu();
    clearRoadFlags();
    closeGameConnection();
    clientShell().setWindowTitle(u"");
}

void disconnectToMainMenu(CGump* window)
{
    closeGump(window);
    sendDisconnectAndFlush();
    frontEnd().characterSelection = GumpHandle();
    openNewMainMenu();
    clearRoadFlags();
    closeGameConnection();
    clientShell().setWindowTitle(u"");
}

void logoutToMainMenu()
{
    LoginSession& session = loginSession();
    ServerConfigStore& store = serverConfigStore();
    if (store.isEnabled()) {
        if (session.loggedIn && gameConnectionIsOpen()) {
            if (!store.isLogoutPending()) {
                beginUpload();
                session.accountName.clear();
                return;
            }
            store.setLogoutPending(false);
            store.setEnabled(false);
        }
        session.accountName.clear();
    }
    igrSessions().requestStopAllSessions();
    endEverySession();

    ensureGameConnection();
    leaveGameWorld();
    worldEntrySteps().hideWorldView();
    // No container of the character who left is asked for any more.
    desktopPendingClear();
    clearRoadFlags();
    gumpCloseAllButPersistent();
    masterGumpMapsClear();
    clientShell().setWindowTitle(u"");
    session.shardName.clear();
    session.playerName.clear();
    messengerLink().restart();

    FrontEndShell& shell = service<FrontEndShell>();
    if (!shell.isFullScreen())
        shell.setMainWindowRect(0, 0, kFrontEndWidth, kFrontEndHeight);
    clearFrontEndBackBuffer();
    openNewMainMenu();
}

void quitGame()
{
    LoginSession& session = loginSession();
    ServerConfigStore& store = serverConfigStore();
    igrSessions().requestStopAllSessions();
    if (store.isEnabled()) {
        if (session.loggedIn && gameConnectionIsOpen() && !store.isLogoutPending()) {
            worldEntrySteps().writeDesktop();
            store.setQuitPending(true);
            beginUpload();
            return;
        }
        if (store.isLogoutPending()) {
            store.setLogoutPending(false);
            store.setQuitPending(false);
            store.setEnabled(false);
            session.loggedIn = false;
        }
        session.accountName.clear();
    } else {
        worldEntrySteps().writeDesktop();
    }
    resetSessionWorld();
    gumpCloseAllButPersistent();
    igrSessions().stopAllSessions();
    service<FrontEndShell>().endProgram(0);
}
