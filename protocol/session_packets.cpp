#include "protocol/session_packets.h"

#include "core/message_boxes.h"
#include "data/client_services.h"
#include "data/server_config_store.h"
#include "data/targeting.h"
#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/packet_table.h"
#include "platform/process_exit.h"
#include "protocol/login_refusal_tables.h"
#include "protocol/login_state.h"
#include "protocol/packet_fields.h"
#include "protocol/packet_session.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"
#include "world/update_range.h"

#include <cstdio>

namespace {

// The longest version answer: the text is short, the buffer generous.
constexpr size_t kVersionReplySize = 64;

void endLoginRoad(bool leaveWorld)
{
    if (leaveWorld) {
        setInWorldFlag(false);
        gameState().setPlayerInGame(false);
    }
    loginSession().loginInProgress = false;
    loginSession().attached = false;
    closePacketConnection();
}

} // namespace

void handleLoginError(const uint8_t* packet)
{
    int32_t at = 0;
    uint8_t reason = 0;
    packetGetByte(packet, at, reason);
    const LoginErrorRow& row = loginErrorRow(reason);
    if (endBackgroundLogin(clilocText(row.cliloc)))
        return;
    LoginScreens& screens = loginScreens();
    if (row.action != LoginErrorAction::Transfer)
        screens.closeWindowsForLoginError();

    bool hasSelection = screens.hasCharacterSelection();
    WaitingMessage message;
    message.covered = CoveredWindow::CharacterSelection;
    message.text = clilocText(row.cliloc);
    switch (row.action) {
    case LoginErrorAction::NoCharacter:
        if (!hasSelection) {
            message.text = clilocText(row.clilocWithout);
            message.returnToMenu = true;
        }
        break;
    case LoginErrorAction::CharacterBlocked:
        if (!hasSelection) {
            // Without a selection to go back to, the client cannot go on.
            showMessageBoxWide(message.text.c_str(), u"Access Denied!", AfterBox::Return);
            igrSessions().stopAllSessions();
            platform::orderlyExit(0);
        }
        screens.removeSelectedCharacter();
        break;
    case LoginErrorAction::Idle:
        message.covered = CoveredWindow::MainMenu;
        endLoginRoad(false);
        break;
    case LoginErrorAction::ForcedLogout:
        worldEntrySteps().writeDesktop();
        endLoginRoad(true);
        message.returnToMenu = true;
        break;
    case LoginErrorAction::Timeout:
        endLoginRoad(true);
        message.returnToMenu = true;
        break;
    case LoginErrorAction::Transfer:
        break;
    case LoginErrorAction::Plain:
        if (!hasSelection && row.reason == 0xFF)
            message.covered = CoveredWindow::MainMenu;
        break;
    }
    screens.showWaiting(message);
}

void handleLoginComplete(const uint8_t*)
{
    LoginScreens& screens = loginScreens();
    if (screens.isWaitingShown())
        screens.enterWorldOnWaitingButton();
    else
        enterGameWorld();
}

bool buildVersionReplyPacket(PacketBuffer& buffer)
{
    const char* version = clientVersionString();
    packetBegin(buffer, 0xBD);
    packetPutBytes(buffer, version, std::char_traits<char>::length(version) + 1);
    return !buffer.failed();
}

bool buildAssistVersionReplyPacket(PacketBuffer& buffer, uint32_t value)
{
    const char* version = clientVersionString();
    packetBegin(buffer, 0xBE);
    packetPutLong(buffer, value);
    packetPutBytes(buffer, version, std::char_traits<char>::length(version) + 1);
    return !buffer.failed();
}

// The answer goes back on the connection that asked: a shard behind the
// shown one asks for the version too.
void handleVersionRequest(const uint8_t*)
{
    PacketStorage<kVersionReplySize> reply;
    if (buildVersionReplyPacket(reply))
        queueOnSessionConnection(reply);
}

void handleAssistVersionRequest(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t value = 0;
    packetGetLong(packet, at, value);
    PacketStorage<kVersionReplySize> reply;
    if (buildAssistVersionReplyPacket(reply, value))
        queueOnSessionConnection(reply);
}

void handleUpdateRange(const uint8_t* packet)
{
    int32_t at = 0;
    uint8_t range = 0;
    if (packetGetByte(packet, at, range))
        setUpdateRange(range, true);
}

void handleConfigFile(const uint8_t* packet)
{
    int32_t at = 0;
    uint8_t fileNumber = 0;
    if (!packetGetByte(packet, at, fileNumber))
        return;
    int32_t length = int32_t(packetLength(packet)) - packetHeaderSize(packet[0]) - at;
    const uint8_t* data = nullptr;
    if (length < 0 || !packetGetBytes(packet, at, data, length))
        return;
    ServerConfigStore& store = serverConfigStore();
    if (store.isEnabled())
        store.receive(fileNumber, { data, size_t(length) });
    char text[64];
    std::snprintf(text, sizeof text, "Got config file packet from server!  File %d.", int(fileNumber));
    addDebugSystemMessage(text);
}

void handleLogoutOk(const uint8_t*)
{
    addDebugSystemMessage("Got Logout OK packet!");
    bool quit = serverConfigStore().onLogoutConfirmed();
    leaveGameWorld();
    if (quit)
        loginScreens().quitGame();
    else
        loginScreens().logoutToMainMenu();
}

void handlePropertyRevision(const uint8_t* packet)
{
    int32_t at = 0;
    uint32_t serial = 0;
    uint32_t revision = 0;
    if (packetGetLong(packet, at, serial) && packetGetLong(packet, at, revision))
        propertyListRevisions().revisionAnnounced(serial, revision);
}

bool buildGmQueueCommandPacket(PacketBuffer& buffer, const char* command, const std::string& name,
    const std::u16string& a, const std::u16string& b)
{
    packetBegin(buffer, 0x12);
    packetPutByte(buffer, 0xF7);
    packetPutBytes(buffer, command, std::char_traits<char>::length(command) + 1);
    packetPutShort(buffer, uint16_t(name.size()));
    packetPutBytes(buffer, name.data(), name.size());
    for (const std::u16string* text : { &a, &b }) {
        // The byte length counts the terminating unit.
        size_t bytes = 2 * text->size() + 2;
        if (bytes > 0xFFFF)
            packetFail(buffer);
        packetPutShort(buffer, uint16_t(bytes));
        packetPutWideString(buffer, text->c_str(), text->size() + 1);
    }
    return !buffer.failed();
}
