#include "frontend/login_sequence.h"

#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "frontend/front_end_shell.h"
#include "frontend/front_end_state.h"
#include "frontend/main_menu.h"
#include "gump/gump_manager.h"
#include "net/game_connection.h"
#include "net/new_character_record.h"
#include "platform/sockets.h"
#include "protocol/login_road.h"
#include "protocol/login_state.h"
#include "protocol/protocol_services.h"
#include "text/unicode_font.h"

#include <limits>
#include <string>

namespace {

// The whole screen drawn and shown at once: a blocking connect follows.
void redrawWholeScreenNow()
{
    const GumpScreen& screen = gumpScreen();
    gumpRedrawRect(ScreenRect { 0, 0, screen.width, screen.height }, true);
}

void hideWindow(const GumpHandle& handle)
{
    if (CGump* window = handle.get())
        window->setVisible(false);
}

} // namespace

void storeRememberedPassword(bool remember, const std::string& password)
{
    if (!remember) {
        setConfigValue(ConfigKeyKind::RememberAcctPW, "no");
        setConfigValue(ConfigKeyKind::AcctPassword, "");
        return;
    }
    // A remembered password is only ever written scrambled.
    std::string stored;
    if (!igrSessions().isIgrMode()) {
        stored = password;
        shiftScrambleText(stored);
    }
    setConfigValue(ConfigKeyKind::AcctPassword, stored);
    setConfigValue(ConfigKeyKind::RememberAcctPW, "yes");
}

void logIn(AcctLoginGump& window)
{
    LoginSession& session = loginSession();
    FrontEndRecords& records = frontEnd();
    session.accountLastName.clear();
    session.accountName = window.accountText();
    session.password = window.passwordText();
    // The login window has no remember control: nothing is remembered.
    const bool remember = false;
    records.notRemembered = !remember;

    settings().setBoolSetting(u"GlobalQueue", 0);
    setConfigValue(ConfigKeyKind::GlobalQueue, "off");

    GumpHandle login(&window);
    if (!gameConnectionIsOpen()) {
        window.setVisible(false);
        makeCurrentWaiting(kConnectingText, records.mainMenu.get(), true, true, false);
        redrawWholeScreenNow();
        if (!connectLoginServer()) {
            deleteCurrentWaiting();
            showMessage(std::string(kConnectFailedText), login.get(), false);
            return;
        }
        deleteCurrentWaiting();
    }
    beginAccountLogin();
    if (!igrSessions().isIgrMode()) {
        setConfigValue(ConfigKeyKind::AcctID, session.accountName);
        configFiles().setAccountName(session.accountName);
    }
    storeRememberedPassword(remember, session.password);
    records.rememberPassword = remember;
    if (CGump* still = login.get())
        still->setVisible(false);
}

void beginAccountLogin()
{
    // A login on a connection that stayed open (back from the shard list)
    // starts the road again as a fresh connect does.
    loginSession().loginInProgress = true;
    deleteCurrentWaiting();
    makeCurrentWaiting(kVerifyingText, frontEnd().loginWindow.get(), true, true, false);
    ensureGameConnection();
    if (GameConnection* connection = currentGameConnection())
        sendAccountLogin(*connection);
}

std::array<uint8_t, kClientInfoSize> nextClientInfoBlock(uint8_t syncFlag, uint8_t profession)
{
    std::array<uint8_t, kClientInfoSize> block {};
    const uint16_t mask = clientShell().mapFileMask();
    block[5] = uint8_t(mask & 0xFF);
    block[6] = uint8_t(mask >> 8);
    block[9] = syncFlag;
    ConfigFiles& files = configFiles();
    // The count comes from the settings file: at its largest it stays there
    // rather than wrap round.
    const int32_t stored = files.loginCount();
    const int32_t count = stored < std::numeric_limits<int32_t>::max() ? stored + 1 : stored;
    files.setLoginCount(count);
    setConfigValueGlobal(ConfigKeyKind::ClientLogin, std::to_string(count));
    const uint32_t wire = uint32_t(count);
    block[10] = uint8_t(wire >> 24);
    block[11] = uint8_t(wire >> 16);
    block[12] = uint8_t(wire >> 8);
    block[13] = uint8_t(wire);
    block[14] = profession;
    return block;
}

void sendPlayCharacter(const std::string& name, int32_t slot)
{
    deleteCurrentWaiting();
    makeCurrentWaiting(kEnteringText, frontEnd().characterSelection.get(), true, true, false);
    const std::array<uint8_t, kClientInfoSize> block = nextClientInfoBlock(serverConfigStore().syncFlag(), 0);
    PacketStorage<96> packet;
    if (buildPlayCharacterPacket(packet, name.c_str(), block.data(), uint32_t(slot), platform::localIPv4Address()))
        sendPacket(packet);
    service<FrontEndShell>().setAllowWindowResize(true);
}

NewCharacterRecord& newCharacterRecord()
{
    static NewCharacterRecord record;
    return record;
}

void sendCreateCharacter(const NewCharacterRecord& record, CGump* startLocationWindow)
{
    deleteCurrentWaiting();
    makeCurrentWaiting(kCreatingText, startLocationWindow, true, true, true);
    pushUnicodeStyle(0);
    serverConfigStore().setSyncFlag(1);
    const std::array<uint8_t, kClientInfoSize> block
        = nextClientInfoBlock(serverConfigStore().syncFlag(), uint8_t(record.professionId));
    PacketStorage<128> packet;
    if (buildCreateCharacterPacket(packet, record, block.data(), platform::localIPv4Address()))
        sendPacket(packet);
}

void reconnectFromCharacterSelection()
{
    FrontEndRecords& records = frontEnd();
    closeGameConnection();
    if (!gameConnectionIsOpen()) {
        hideWindow(records.characterSelection);
        makeCurrentWaiting(kConnectingText, records.mainMenu.get(), true, true, false);
        redrawWholeScreenNow();
        const bool connected = connectLoginServer();
        deleteCurrentWaiting();
        if (!connected) {
            // Nothing would answer an account login now: the road stops at
            // the message, which gives the selection back when closed.
            showMessage(std::string(kConnectFailedText), records.characterSelection.get(), false);
            return;
        }
    }
    beginAccountLogin();
}

void sendDisconnectAndFlush()
{
    PacketStorage<8> packet;
    if (buildDisconnectPacket(packet))
        sendPacket(packet);
    GameConnection* connection = currentGameConnection();
    if (!connection || !connection->isOpen())
        return;
    connection->setBlocking();
    connection->flushAll();
    if (connection->isOpen())
        connection->setNonBlocking();
}
