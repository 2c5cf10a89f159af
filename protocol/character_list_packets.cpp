#include "protocol/login_packets.h"

#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/server_config_store.h"
#include "data/server_features.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "platform/sockets.h"
#include "protocol/login_refusal_tables.h"
#include "protocol/login_state.h"
#include "protocol/packet_fields.h"
#include "protocol/packet_session.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The bit of the character-list flags that keeps settings on the server.
constexpr uint32_t kServerStoredSettingsFlag = 0x2;

struct ListedCharacter {
    std::string name;
    int32_t key;
};

// The character entries of a list: c of them, but never fewer than five.
// All are read, so that the fields behind them are found; six slots are kept.
std::vector<ListedCharacter> readCharacters(const uint8_t* packet, int32_t& at, uint8_t count)
{
    CharacterSlots& slots = characterSlots();
    std::vector<ListedCharacter> listed;
    int32_t entries = count > 5 ? count : 5;
    for (int32_t i = 0; i < entries; ++i) {
        std::string name;
        std::string password;
        readCharacterEntry(packet, at, name, password);
        if (name.empty() || size_t(i) >= CharacterSlots::kSlotCount)
            continue;
        slots.names[size_t(i)] = name;
        slots.passwords[size_t(i)] = password;
        slots.keys[size_t(i)] = i;
        listed.push_back({ name, i });
    }
    return listed;
}

// A further shard plays its first character by itself.
void playOnSecondary(ShardSession& session, const std::vector<ListedCharacter>& listed)
{
    char text[160];
    if (listed.empty()) {
        std::snprintf(text, sizeof text, "You have no characters on %s!", session.name.c_str());
        windowNotices().addSystemMessage(0, kSystemMessageFont, text);
        session.closeRequested = true;
        return;
    }
    const ListedCharacter& first = listed.front();
    loginSession().playerName = first.name;
    session.playerName.fill('\0');
    std::memcpy(session.playerName.data(), first.name.data(), std::min(first.name.size(), session.playerName.size()));

    uint8_t clientInfo[kClientInfoSize] = {};
    uint16_t mask = clientShell().mapFileMask();
    clientInfo[5] = uint8_t(mask);
    clientInfo[6] = uint8_t(mask >> 8);
    // The play request of a further shard names the account, not the character.
    PacketStorage<96> packet;
    if (buildPlayCharacterPacket(
            packet, loginSession().accountName.c_str(), clientInfo, uint32_t(first.key), platform::localIPv4Address())
        && session.connection)
        session.connection->queuePacket(packet);
    if (!currentGameConnection())
        setCurrentGameConnection(session.connection);
    std::snprintf(text, sizeof text, "Connected to %s with %s", session.name.c_str(), first.name.c_str());
    windowNotices().addSystemMessage(0, kSystemMessageFont, text);
}

void readStartLocations(const uint8_t* packet, int32_t& at)
{
    uint8_t count = 0;
    packetGetByte(packet, at, count);
    StartLocationList& list = startLocations();
    if (count > 0) {
        list.texts.assign(count, std::string());
        list.indexes.assign(count, 0);
    }
    for (uint8_t i = 0; i < count; ++i) {
        StartLocationEntry entry;
        readStartLocationEntry(packet, at, entry);
        if (entry.city.empty())
            continue;
        list.texts[i] = entry.text();
        list.indexes[i] = entry.index;
    }
}

} // namespace

void handleCharacterList(const uint8_t* packet)
{
    // Over the world the player sees a character list would open the
    // character selection and change the feature flags.
    if (!loginRoadPacketAllowed())
        return;
    CharacterSlots& slots = characterSlots();
    slots.clear();
    rebuildLoginWindowTitle();
    int32_t at = 0;
    uint8_t count = 0;
    packetGetByte(packet, at, count);
    slots.count = count;
    std::vector<ListedCharacter> listed = readCharacters(packet, at, count);

    ShardSession* session = currentSession();
    if (session && session->connection && session->connection->isSecondary()) {
        playOnSecondary(*session, listed);
        return;
    }

    readStartLocations(packet, at);
    uint32_t flags = 0;
    packetGetLong(packet, at, flags);
    storeCharacterListFlags(flags);
    serverConfigStore().setEnabled((flags & kServerStoredSettingsFlag) != 0);

    LoginScreens& screens = loginScreens();
    screens.openCharacterSelection();
    for (const ListedCharacter& character : listed)
        screens.addCharacter(character.name, character.key);
    screens.deleteWaiting();
    screens.hideLoginWindow();
    screens.presentCharacterSelection();
}

// The character selection stays held (hidden) while the player is in the
// world: its packets are refused there, or they would bring it, or a
// message over it, back over the world.
void handleCharacterListUpdate(const uint8_t* packet)
{
    if (loginSession().loggedIn)
        return;
    LoginScreens& screens = loginScreens();
    if (!screens.hasCharacterSelection())
        return;
    CharacterSlots& slots = characterSlots();
    for (int32_t key = 0; key < int32_t(CharacterSlots::kSlotCount); ++key)
        screens.removeCharacter(key);
    slots.clear();
    int32_t at = 0;
    uint8_t count = 0;
    packetGetByte(packet, at, count);
    slots.count = count;
    // Names and passwords are cut like those of the full list: a field that
    // fills all 30 bytes has no NUL to stop at.
    for (const ListedCharacter& character : readCharacters(packet, at, count))
        screens.addCharacter(character.name, character.key);
    screens.deleteWaiting();
    screens.showCharacterSelection();
}

void handleDeleteResult(const uint8_t* packet)
{
    if (loginSession().loggedIn)
        return;
    LoginScreens& screens = loginScreens();
    if (!screens.hasCharacterSelection())
        return;
    int32_t at = 0;
    uint8_t reason = 0;
    packetGetByte(packet, at, reason);
    screens.deleteWaiting();
    WaitingMessage message;
    message.text = deleteRefusalText(reason);
    message.covered = CoveredWindow::CharacterSelection;
    screens.showWaiting(message);
}
