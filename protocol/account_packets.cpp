#include "protocol/login_packets.h"

#include "core/error_report.h"
#include "data/server_features.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "protocol/login_refusal_tables.h"
#include "protocol/login_road.h"
#include "protocol/login_state.h"
#include "protocol/packet_fields.h"
#include "protocol/packet_session.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"

#include <cstring>
#include <string_view>

namespace {

constexpr int32_t kIgrIdField = 16;
constexpr int32_t kContextIdField = 36;
constexpr size_t kMaxIgrText = 256;

// An account refused for good: everything goes back to a fresh main menu.
void rebuildMainMenu()
{
    LoginScreens& screens = loginScreens();
    screens.closeAllButPersistent();
    clientShell().setWindowTitle(u"");
    loginSession().shardName.clear();
    loginSession().playerName.clear();
    messengerLink().restart();
    screens.openMainMenu();
}

// A NUL-terminated text that must end inside the packet; one that does not
// reads as empty. At most 256 characters are kept.
std::string readTerminatedText(const uint8_t* packet, int32_t& at)
{
    const char* text = nullptr;
    if (!packetGetText(packet, at, text))
        return std::string();
    std::string_view view(text);
    return std::string(view.substr(0, kMaxIgrText));
}

} // namespace

void handleLoginDenied(const uint8_t* packet)
{
    int32_t at = 0;
    uint8_t reason = 0xFF;
    if (!packetGetByte(packet, at, reason))
        reason = 0xFF;
    const LoginDenialRow& row = loginDenialRow(reason);
    if (endBackgroundLogin(row.cliloc != 0 ? clilocText(row.cliloc) : std::u16string(kConnectionLostText)))
        return;
    LoginScreens& screens = loginScreens();
    screens.deleteWaiting();
    // The connection closes below: a player in the world is told and taken
    // back to the main menu by the message's button, never left in a world
    // that no longer hears its server.
    const bool inWorld = loginSession().loggedIn;
    if (row.cliloc == 0 && inWorld) {
        WaitingMessage message;
        message.text = kConnectionLostText;
        message.returnToMenu = true;
        screens.showWaiting(message);
    } else if (row.cliloc != 0) {
        if (reason >= 5 && reason <= 7) {
            reportPlain("VOIGR: IGR acct login fail reason %d.  IsIGREnabled(%d)\n", int(reason),
                igrSessions().isIgrMode() ? 1 : 0);
        }
        WaitingMessage message;
        message.text = clilocText(row.cliloc);
        message.covered = CoveredWindow::LoginWindow;
        message.returnToMenu = row.returnToMenu || inWorld;
        screens.showWaiting(message);
    } else {
        rebuildMainMenu();
    }
    loginSession().loginInProgress = false;
    loginSession().attached = false;
    screens.focusLoginWindow();
    closePacketConnection();
}

void handleIgrSession(const uint8_t* packet)
{
    IgrSessionSettings settings;
    int32_t at = 0;
    packetGetLong(packet, at, settings.number);
    packetGetLong(packet, at, settings.heartbeatSeconds);
    readFixedText(packet, at, kIgrIdField, size_t(kIgrIdField), settings.igrId);
    readFixedText(packet, at, kContextIdField, size_t(kContextIdField), settings.contextId);
    packetGetLong(packet, at, settings.serviceId);
    settings.textA = readTerminatedText(packet, at);
    settings.textB = readTerminatedText(packet, at);
    settings.user = loginSession().accountName.empty() ? "default" : loginSession().accountName;
    igrSessions().startSession(settings);
}

uint32_t featureWordFromPacket(uint16_t value)
{
    if (value & 0x8000)
        return value & 0x7FFF;
    return ((value & 0x0001) ? 0x02u : 0u) | ((value & 0x0002) ? 0x08u : 0u);
}

void handleFeatures(const uint8_t* packet)
{
    int32_t at = 0;
    uint16_t value = 0;
    if (!packetGetShort(packet, at, value))
        return;
    uint32_t word = featureWordFromPacket(value);
    setServerFeatures(word);
    writeEntitledFile(word);
}
