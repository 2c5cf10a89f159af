#include "protocol/login_packets.h"

#include "core/file_name_sanitizer.h"
#include "core/process_random.h"
#include "core/wide_text.h"
#include "data/client_services.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "net/client_packets.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "net/ping_monitor.h"
#include "net/shard_sessions.h"
#include "platform/ascii_text.h"
#include "platform/locale.h"
#include "protocol/login_state.h"
#include "protocol/packet_fields.h"
#include "protocol/packet_session.h"
#include "protocol/protocol_services.h"
#include "protocol/protocol_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int32_t kShardNameField = 32;
constexpr int32_t kShortShardNameField = 16;
constexpr size_t kShardNameLength = 15;
constexpr uint16_t kNotInListHue = 33;

void storeNextLoginKey(uint8_t key)
{
    loginSession().nextLoginKey = key;
    configValues().nextLoginKey = key;
    setConfigValue(ConfigKeyKind::NextLoginKey, std::to_string(key));
}

// No shard to choose: the road ends with its message over the login window.
void serversDown()
{
    if (endBackgroundLogin(kServersDownText))
        return;
    LoginScreens& screens = loginScreens();
    screens.deleteWaiting();
    if (screens.hasLoginWindow()) {
        screens.hideLoginWindow();
        WaitingMessage message;
        message.text = kServersDownText;
        message.covered = CoveredWindow::LoginWindow;
        screens.showWaiting(message);
    }
    loginSession().loginInProgress = false;
    closePacketConnection();
}

// A further shard logs in by itself: it picks its own shard by name.
void selectShardForSecondary(ShardSession& session)
{
    for (const ShardEntry& shard : shardList().shards) {
        if (!shard.name.empty() && platform::equalIgnoringAsciiCase(shard.name, session.name)) {
            PacketStorage<8> packet;
            if (buildServerSelectPacket(packet, shard.id) && session.connection)
                session.connection->queuePacket(packet);
            return;
        }
    }
    char text[128];
    std::snprintf(text, sizeof text, "%s is not in the server list!", session.name.c_str());
    windowNotices().addSystemMessage(kNotInListHue, kSystemMessageFont, text);
    discardSession(&session);
}

struct StoredLocation {
    std::string city;
    std::string text;
    uint8_t index;
};

// Consecutive locations of one city form a group; the groups come in a
// random order, each keeping its own order and every location its index.
void shuffleLocationGroups(std::vector<StoredLocation>& stored)
{
    std::vector<std::vector<StoredLocation>> groups;
    for (StoredLocation& location : stored) {
        if (groups.empty() || groups.back().front().city != location.city)
            groups.emplace_back();
        groups.back().push_back(std::move(location));
    }
    StartLocationList& list = startLocations();
    list.texts.clear();
    list.indexes.clear();
    while (!groups.empty()) {
        size_t pick = size_t(nextRandom()) % groups.size();
        for (StoredLocation& location : groups[pick]) {
            list.texts.push_back(std::move(location.text));
            list.indexes.push_back(location.index);
        }
        groups.erase(groups.begin() + std::ptrdiff_t(pick));
    }
}

} // namespace

int32_t timeZoneBiasHours() { return platform::timeZoneBiasMinutes() / 60; }

uint8_t zoneDistance(int32_t shardZone, int32_t localZone)
{
    int32_t direct = std::abs(shardZone - localZone) & 0xFF;
    int32_t around = shardZone > 0 ? localZone - shardZone + 24 : shardZone + 24 - localZone;
    return uint8_t(direct < around ? direct : around);
}

void handleShardList(const uint8_t* packet)
{
    // A shard list belongs to the login road. Over the world the player
    // sees it is refused whole: "servers down" would close the connection
    // behind the player's back with nothing shown, leaving the client in a
    // world that no longer hears its server.
    if (!loginRoadPacketAllowed())
        return;
    clientShell().sendMetricsHourly();
    rebuildLoginWindowTitle();
    int32_t at = 0;
    uint8_t key = 0;
    packetGetByte(packet, at, key);
    storeNextLoginKey(key);
    uint16_t countWord = 0;
    packetGetShort(packet, at, countWord);
    // Only the low byte counts, as a signed number: a list of 128 or more is
    // not one this client can hold, and is refused.
    int8_t count = int8_t(countWord & 0xFF);
    if (count < 0)
        return;
    if (count == 0) {
        serversDown();
        return;
    }

    ShardList& list = shardList();
    list.shards.assign(size_t(count), ShardEntry {});
    PingMonitor* monitor = createPingMonitor();
    for (ShardEntry& shard : list.shards) {
        uint16_t id = 0;
        std::string name;
        uint8_t percent = 0;
        uint8_t zone = 0;
        uint32_t address = 0;
        packetGetShort(packet, at, id);
        readFixedText(packet, at, kShardNameField, kShardNameLength, name);
        // The name becomes a per-character folder name.
        removeControlBytes(name);
        packetGetByte(packet, at, percent);
        packetGetByte(packet, at, zone);
        packetGetLong(packet, at, address);
        if (!name.empty()) {
            shard.id = id;
            shard.name = name;
            shard.percentFull = percent;
            shard.timeZone = int8_t(zone);
            shard.address = address;
        }
        // One host per row, so that host i is shard i.
        if (monitor)
            monitor->addHost(shard.address);
    }

    ShardSession* session = currentSession();
    if (session && session->connection && session->connection->isSecondary()) {
        selectShardForSecondary(*session);
        return;
    }
    LoginScreens& screens = loginScreens();
    screens.deleteWaiting();
    screens.closeCharacterSelection();
    screens.hideLoginWindow();
    int32_t localZone = timeZoneBiasHours();
    for (ShardEntry& shard : list.shards)
        shard.zoneDistance = zoneDistance(shard.timeZone, localZone);
    screens.openShardList();
}

void handleRelay(const uint8_t* packet)
{
    // Over the world the player sees a relay would close the connection it
    // plays on and reconnect elsewhere.
    if (!loginRoadPacketAllowed())
        return;
    int32_t at = 0;
    uint32_t address = 0;
    uint16_t port = 0;
    uint32_t key = 0;
    if (!packetGetLong(packet, at, address) || !packetGetShort(packet, at, port) || !packetGetLong(packet, at, key))
        return;
    setConnectionSeed(key);
    // The key names the account's login to the shard; the messenger service
    // knows the player by it. A second shard's relay leaves it as it is.
    ShardSession* session = currentSession();
    if (address != 0 && !(session && session->connection && session->connection->isSecondary()))
        messengerLink().setAccountNumber(int32_t(key & 0x7FFFFFFFu));
    requestDeferredConnect(address, port);
}

void handleShardChoiceList(const uint8_t* packet)
{
    // No further shard logs in through this list: in the world it could
    // only put the login screens over the world and change the flags.
    if (loginSession().loggedIn)
        return;
    LoginScreens& screens = loginScreens();
    CharacterSlots& slots = characterSlots();
    bool attached = loginSession().attached;
    bool editOrAttached = configValues().editServer.address != 0 || attached;
    slots.clear();
    rebuildLoginWindowTitle();
    if (editOrAttached)
        screens.openCharacterSelection();

    int32_t at = 0;
    uint8_t count = 0;
    uint8_t key = 0;
    packetGetByte(packet, at, count);
    packetGetByte(packet, at, key);
    if (editOrAttached)
        slots.count = count;
    if (!attached)
        storeNextLoginKey(key);

    // Every entry is read so that the fields behind them are found; six are kept.
    int32_t entries = count > 5 ? count : 5;
    for (int32_t i = 0; i < entries; ++i) {
        std::string name;
        std::string password;
        readCharacterEntry(packet, at, name, password);
        if (!editOrAttached || name.empty() || size_t(i) >= CharacterSlots::kSlotCount)
            continue;
        slots.names[size_t(i)] = name;
        slots.passwords[size_t(i)] = password;
        slots.keys[size_t(i)] = i;
        screens.addCharacter(name, i);
    }

    uint8_t shardCount = 0;
    packetGetByte(packet, at, shardCount);
    if (!editOrAttached && shardCount == 0) {
        serversDown();
        return;
    }
    if (!attached)
        shardList().shards.assign(shardCount, ShardEntry {});
    for (uint8_t i = 0; i < shardCount; ++i) {
        uint8_t id = 0;
        std::string name;
        packetGetByte(packet, at, id);
        readFixedText(packet, at, kShortShardNameField, kShardNameLength, name);
        removeControlBytes(name);
        if (!attached && !name.empty()) {
            shardList().shards[i].id = id;
            shardList().shards[i].name = name;
        }
    }

    uint8_t locationCount = 0;
    packetGetByte(packet, at, locationCount);
    std::vector<StoredLocation> stored(locationCount);
    std::vector<bool> filled(locationCount, false);
    for (uint8_t i = 0; i < locationCount; ++i) {
        StartLocationEntry entry;
        readStartLocationEntry(packet, at, entry);
        // An index outside the list names no place in it.
        if (attached || entry.city.empty() || entry.index >= locationCount)
            continue;
        stored[entry.index] = { entry.city, entry.text(), entry.index };
        filled[entry.index] = true;
    }
    if (!attached) {
        std::vector<StoredLocation> present;
        for (size_t i = 0; i < stored.size(); ++i) {
            if (filled[i])
                present.push_back(std::move(stored[i]));
        }
        shuffleLocationGroups(present);
    }

    screens.deleteWaiting();
    if (!editOrAttached)
        screens.closeCharacterSelection();
    screens.hideLoginWindow();
    if (editOrAttached)
        screens.presentCharacterSelection();
    else
        screens.openShardChoice();
    if (configValues().autoLogIn && screens.hasCharacterSelection())
        screens.playSelectedCharacter();
}
