#include "core/process_random.h"
#include "data/server_config_store.h"
#include "fixtures/server_packet.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "protocol/login_packets.h"
#include "protocol/login_refusal_tables.h"
#include "protocol/login_road.h"
#include "protocol/protocol_text.h"
#include "protocol_test_state.h"
#include "support/test_server_peer.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Bytes = std::vector<uint8_t>;
using fixture::ServerPacket;

struct ShardRow {
    uint16_t id;
    std::string name;
    uint8_t percent;
    int8_t zone;
    uint32_t address;
};

Bytes shardListPacket(uint8_t key, uint16_t countWord, const std::vector<ShardRow>& rows)
{
    ServerPacket packet(0xA8);
    packet.u8(key).u16(countWord);
    for (const ShardRow& row : rows)
        packet.u16(row.id).text(row.name, 32).u8(row.percent).u8(uint8_t(row.zone)).u32(row.address);
    return packet.bytes();
}

struct Location {
    uint8_t index;
    std::string city;
    std::string building;
};

// Character entries as given (the caller decides how many travel).
Bytes characterListPacket(
    uint8_t count, const std::vector<std::string>& names, const std::vector<Location>& locations, uint32_t flags)
{
    ServerPacket packet(0xA9);
    packet.u8(count);
    for (const std::string& name : names)
        packet.text(name, 30).text("pw-" + name, 30);
    packet.u8(uint8_t(locations.size()));
    for (const Location& location : locations)
        packet.u8(location.index).text(location.city, 31).text(location.building, 31);
    packet.u32(flags);
    return packet.bytes();
}

class LoginPackets : public testing::Test {
protected:
    test::ProtocolTestState state;
};

// Zone distance ------------------------------------------------------------

struct ZoneCase {
    const char* name;
    int32_t zone;
    int32_t local;
    uint8_t distance;
};

class ZoneDistance : public testing::TestWithParam<ZoneCase> { };

TEST_P(ZoneDistance, IsTheShorterWayRoundTheClock)
{
    EXPECT_EQ(zoneDistance(GetParam().zone, GetParam().local), GetParam().distance);
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneDistance,
    testing::Values(ZoneCase { "WestOfEightHours", -5, 8, 11 }, ZoneCase { "EastOfEightHours", 5, 8, 3 },
        ZoneCase { "Same", 3, 3, 0 }, ZoneCase { "OppositeSides", -12, 12, 0 },
        ZoneCase { "UtcFromMinusEight", 0, -8, 8 }, ZoneCase { "MinusEightFromFive", -8, 5, 11 }),
    [](const testing::TestParamInfo<ZoneCase>& row) { return std::string(row.param.name); });

// 0xA8 ---------------------------------------------------------------------

TEST_F(LoginPackets, ShardListStoresNamedShardsAndOpensTheList)
{
    Bytes packet
        = shardListPacket(9, 2, { { 4, "A Name Of Twenty Chars", 55, -5, 0x0A000001 }, { 7, "", 1, 2, 0x0A000002 } });
    handleShardList(packet.data());
    ASSERT_EQ(shardList().shards.size(), 2u);
    const ShardEntry& first = shardList().shards[0];
    EXPECT_EQ(first.id, 4);
    EXPECT_EQ(first.name, "A Name Of Twent"); // 15 characters
    EXPECT_EQ(first.percentFull, 55);
    EXPECT_EQ(first.timeZone, -5);
    EXPECT_EQ(first.address, 0x0A000001u);
    EXPECT_EQ(first.zoneDistance, zoneDistance(-5, timeZoneBiasHours()));
    // An entry without a name keeps nothing.
    EXPECT_EQ(shardList().shards[1].id, 0);
    EXPECT_EQ(shardList().shards[1].address, 0u);
    EXPECT_EQ(loginSession().nextLoginKey, 9);
    // One probe host per row, so that host i is shard i.
    ASSERT_NE(getPingMonitor(), nullptr);
    EXPECT_EQ(getPingMonitor()->hostCount(), 2);
    EXPECT_TRUE(state.screens.saw("openShardList"));
    EXPECT_TRUE(state.screens.saw("hideLoginWindow"));
}

TEST_F(LoginPackets, ShardCountOf256HasALowByteOfZeroAndMeansServersDown)
{
    loginSession().loginInProgress = true;
    handleShardList(shardListPacket(1, 0x0100, {}).data());
    ASSERT_NE(state.screens.lastMessage(), nullptr);
    EXPECT_EQ(state.screens.lastMessage()->text, kServersDownText);
    EXPECT_EQ(state.screens.lastMessage()->covered, CoveredWindow::LoginWindow);
    EXPECT_FALSE(loginSession().loginInProgress);
    EXPECT_FALSE(state.screens.saw("openShardList"));
}

// The login road's packets from the shard the player sees while the player
// is in the world (found by the hostile-server run: "servers down" closed
// the connection with nothing shown, a character list opened the character
// selection over the world and changed the feature flags).
struct InWorldCase {
    const char* name;
    Bytes packet;
};

class InWorldLoginRoad : public testing::TestWithParam<InWorldCase> {
protected:
    test::ProtocolTestState state;
};

TEST_P(InWorldLoginRoad, IsRefusedWhole)
{
    auto* connection = new GameConnection;
    ShardSession* session = addShardSession("Shown", connection);
    setCurrentGameConnection(connection);
    loginSession().loggedIn = true;
    shardList().shards.push_back({ 3, "Kept", 0, 0, 0, 0, 1 });
    characterSlots().names[0] = "Kept";
    characterSlots().keys[0] = 0;
    characterSlots().count = 1;
    storeCharacterListFlags(0x20);
    // The selection made on the way in is still held, hidden.
    state.screens.selectionOpen = true;
    dispatchGamePacket(*connection, GetParam().packet.data());
    ASSERT_EQ(shardList().shards.size(), 1u);
    EXPECT_EQ(shardList().shards[0].name, "Kept");
    EXPECT_EQ(characterSlots().names[0], "Kept");
    EXPECT_EQ(characterSlots().count, 1);
    EXPECT_TRUE(characterListFlag(5));
    EXPECT_TRUE(state.screens.log.empty()) << "no login screen over the world";
    EXPECT_TRUE(state.screens.messages.empty());
    EXPECT_EQ(getPingMonitor(), nullptr);
    EXPECT_FALSE(session->deferredConnect) << "no reconnect of the connection the player plays on";
    EXPECT_TRUE(loginSession().loggedIn);
}

INSTANTIATE_TEST_SUITE_P(Packets, InWorldLoginRoad,
    testing::Values(InWorldCase { "ServersDown", shardListPacket(1, 0, {}) },
        InWorldCase { "ShardList", shardListPacket(1, 1, { { 4, "Elsewhere", 10, 0, 0x0A000001 } }) },
        InWorldCase { "CharacterList", characterListPacket(1, { "Other", "", "", "", "" }, {}, 0) },
        InWorldCase { "CharacterListUpdate", ServerPacket(0x86).u8(1).text("Other", 30).fill(30 + 4 * 60, 0).bytes() },
        InWorldCase { "DeleteRefused", ServerPacket(0x85, ServerPacket::Length::Fixed).u8(9).bytes() },
        InWorldCase { "Relay", ServerPacket(0x8C, ServerPacket::Length::Fixed).u32(0).u16(0).u32(1).bytes() },
        InWorldCase { "CombinedList",
            ServerPacket(0x81).u8(1).u8(9).text("Other", 30).fill(30 + 4 * 60, 0).u8(1).u8(4).text("Elsewhere", 16).u8(0).bytes() }),
    [](const testing::TestParamInfo<InWorldCase>& row) { return std::string(row.param.name); });

TEST_F(LoginPackets, NegativeShardCountIsRefusedAndKeepsTheListHeld)
{
    shardList().shards.push_back({ 3, "Kept", 0, 0, 0, 0, 1 });
    handleShardList(shardListPacket(1, 0x0080, {}).data());
    ASSERT_EQ(shardList().shards.size(), 1u);
    EXPECT_EQ(shardList().shards[0].name, "Kept");
    EXPECT_TRUE(state.screens.messages.empty());
    EXPECT_FALSE(state.screens.saw("openShardList"));
}

TEST_F(LoginPackets, SecondaryConnectionChoosesItsShardByName)
{
    auto* connection = new GameConnection;
    connection->setSecondary(true);
    connection->setCompressed(true); // sent as it is, so it can be counted
    ShardSession* session = addShardSession("far SHORE", connection);
    setCurrentSession(session);
    handleShardList(shardListPacket(1, 2, { { 4, "Near", 0, 0, 1 }, { 9, "Far Shore", 0, 0, 2 } }).data());
    EXPECT_EQ(connection->sendIdStats().entries().at(0xA0).count, 1u);
    EXPECT_FALSE(state.screens.saw("openShardList"));
}

TEST_F(LoginPackets, SecondaryConnectionWhoseShardIsMissingEndsItsSession)
{
    auto* connection = new GameConnection;
    connection->setSecondary(true);
    ShardSession* session = addShardSession("Gone", connection);
    setCurrentSession(session);
    handleShardList(shardListPacket(1, 1, { { 4, "Near", 0, 0, 1 } }).data());
    EXPECT_TRUE(sessionList().empty());
    EXPECT_EQ(currentSession(), nullptr);
    ASSERT_EQ(state.messages.lines.size(), 1u);
    EXPECT_EQ(state.messages.lines[0].text, "Gone is not in the server list!");
    EXPECT_EQ(state.messages.lines[0].hue, 33);
}

TEST_F(LoginPackets, RelayKeyBecomesTheSeedAndTheNextPassConnects)
{
    auto* connection = new GameConnection;
    ShardSession* session = addShardSession("", connection);
    setCurrentSession(session);
    handleRelay(
        ServerPacket(0x8C, ServerPacket::Length::Fixed).u32(0x7F000002).u16(2593).u32(0xCAFEF00D).bytes().data());
    EXPECT_EQ(connectionSeed(), 0xCAFEF00Du);
    EXPECT_TRUE(session->deferredConnect);
    EXPECT_EQ(session->deferredAddress, 0x7F000002u);
    EXPECT_EQ(session->deferredPort, 2593);
}

// A shard that logs in behind the one the player sees, connected to its own
// peer; the first one made is shown.
class TwoShards : public LoginPackets {
protected:
    ShardSession* connectedSession(const std::string& name, test::TestServerPeer& peer)
    {
        auto* connection = new GameConnection;
        ShardSession* session = addShardSession(name, connection);
        EXPECT_TRUE(connection->connect(test::TestServerPeer::address(), peer.port()));
        uint32_t seed = 0;
        EXPECT_TRUE(peer.accept());
        EXPECT_TRUE(peer.readSeed(seed, false));
        if (!currentGameConnection())
            setCurrentGameConnection(connection);
        return session;
    }
    void pump(int passes)
    {
        for (int pass = 0; pass < passes; ++pass)
            pollConnections(2);
    }

    test::TestServerPeer shownPeer;
    test::TestServerPeer behindPeer;
};

TEST_F(TwoShards, ARelayOnTheShardBehindConnectsThatShardAloneToItsGameServer)
{
    test::TestServerPeer gamePeer;
    ShardSession* shown = connectedSession("Shown", shownPeer);
    ShardSession* behind = connectedSession("Behind", behindPeer);
    GameConnection* shownConnection = shown->connection;
    ASSERT_TRUE(behindPeer.sendRaw(ServerPacket(0x8C, ServerPacket::Length::Fixed)
                                      .u32(test::TestServerPeer::address())
                                      .u16(gamePeer.port())
                                      .u32(0x5EED0001)
                                      .bytes()));
    bool accepted = false;
    for (int pass = 0; pass < 200 && !accepted; ++pass) {
        pollConnections(2);
        accepted = gamePeer.accept(2);
    }
    ASSERT_TRUE(accepted);
    pump(10);
    uint32_t seed = 0;
    ASSERT_TRUE(gamePeer.readSeed(seed, true));
    EXPECT_EQ(seed, 0x5EED0001u);
    std::vector<uint8_t> login;
    ASSERT_TRUE(gamePeer.readGameCiphered(login, 65));
    EXPECT_EQ(login[0], 0x91);
    // The shown shard keeps its own connection and its screen.
    EXPECT_EQ(currentGameConnection(), shownConnection);
    EXPECT_EQ(shown->connection, shownConnection);
    EXPECT_TRUE(shownConnection->isOpen());
    ASSERT_TRUE(isLiveSession(behind));
    EXPECT_NE(behind->connection, shownConnection);
    EXPECT_TRUE(state.shell.titles.empty());
    EXPECT_FALSE(loginSession().attached);
}

// Refusals of the login of a shard behind the shown one, each from a packet
// the shard behind sends.
struct BackgroundRefusalCase {
    const char* name;
    Bytes packet;
};

class BackgroundRefusal : public TwoShards, public testing::WithParamInterface<BackgroundRefusalCase> { };

TEST_P(BackgroundRefusal, EndsOnlyThatShardsLogin)
{
    ShardSession* shown = connectedSession("Shown", shownPeer);
    ShardSession* behind = connectedSession("Behind", behindPeer);
    behind->connection->setSecondary(true);
    loginSession().loginInProgress = true;
    loginSession().attached = true;
    loginSession().loggedIn = true;
    ASSERT_TRUE(behindPeer.sendRaw(GetParam().packet));
    for (int pass = 0; pass < 200 && sessionList().size() == 2; ++pass)
        pollConnections(2);
    ASSERT_EQ(sessionList().size(), 1u);
    ASSERT_EQ(sessionList()[0], shown) << "the shown shard's session stays";
    EXPECT_TRUE(shown->connection->isOpen());
    EXPECT_EQ(currentGameConnection(), shown->connection);
    EXPECT_TRUE(loginSession().loginInProgress);
    EXPECT_TRUE(loginSession().attached);
    EXPECT_TRUE(state.screens.log.empty()) << "no login screen or message box over the world";
    ASSERT_EQ(state.messages.lines.size(), 1u);
    EXPECT_TRUE(state.messages.lines[0].text.starts_with("Behind: ")) << state.messages.lines[0].text;
}

INSTANTIATE_TEST_SUITE_P(Packets, BackgroundRefusal,
    testing::Values(BackgroundRefusalCase { "AccountInUse", ServerPacket(0x82, ServerPacket::Length::Fixed).u8(1).bytes() },
        BackgroundRefusalCase { "NoShards", shardListPacket(1, 0, {}) },
        BackgroundRefusalCase { "IdleOnTheLoginServer", ServerPacket(0x53, ServerPacket::Length::Fixed).u8(5).bytes() },
        BackgroundRefusalCase { "ForcedLogout", ServerPacket(0x53, ServerPacket::Length::Fixed).u8(9).bytes() },
        BackgroundRefusalCase { "TimedOut", ServerPacket(0x53, ServerPacket::Length::Fixed).u8(10).bytes() }),
    [](const testing::TestParamInfo<BackgroundRefusalCase>& row) { return std::string(row.param.name); });

// 0xA9 ---------------------------------------------------------------------

struct CountCase {
    const char* name;
    uint8_t count;
    size_t entries; // as many as travel
    size_t kept;
};

class CharacterCounts : public LoginPackets, public testing::WithParamInterface<CountCase> { };

TEST_P(CharacterCounts, EveryEntryIsReadSixAreKeptAndTheFieldsBehindAreFound)
{
    const CountCase& row = GetParam();
    std::vector<std::string> names;
    for (size_t i = 0; i < row.entries; ++i)
        names.push_back(i < row.count ? "Hero" + std::to_string(i) : "");
    handleCharacterList(characterListPacket(row.count, names, { { 0, "Corvale", "Inn" } }, 0x20).data());
    EXPECT_EQ(characterSlots().count, row.count);
    EXPECT_EQ(state.screens.characters.size(), row.kept);
    for (size_t i = 0; i < row.kept; ++i) {
        EXPECT_EQ(characterSlots().names[i], "Hero" + std::to_string(i));
        EXPECT_EQ(characterSlots().keys[i], int32_t(i));
    }
    for (size_t i = row.kept; i < CharacterSlots::kSlotCount; ++i)
        EXPECT_EQ(characterSlots().keys[i], -1);
    ASSERT_EQ(startLocations().texts.size(), 1u);
    EXPECT_EQ(startLocations().texts[0], "Corvale: Inn");
    EXPECT_TRUE(characterListFlag(5));
    EXPECT_TRUE(state.screens.saw("presentCharacterSelection"));
}

INSTANTIATE_TEST_SUITE_P(Counts, CharacterCounts,
    testing::Values(CountCase { "TwoInFiveEntries", 2, 5, 2 }, CountCase { "SixInSix", 6, 6, 6 },
        CountCase { "EightInEight", 8, 8, 6 }),
    [](const testing::TestParamInfo<CountCase>& row) { return std::string(row.param.name); });

TEST_F(LoginPackets, CharacterListFlagTurnsServerStoredSettingsOnOrOff)
{
    ServerConfigStore store;
    ServerConfigStore* previous = installServerConfigStore(&store);
    handleCharacterList(characterListPacket(0, std::vector<std::string>(5), {}, 0x2).data());
    bool onWithTheBit = store.isEnabled();
    handleCharacterList(characterListPacket(0, std::vector<std::string>(5), {}, 0x0).data());
    installServerConfigStore(previous);
    EXPECT_TRUE(onWithTheBit);
    EXPECT_FALSE(store.isEnabled());
}

TEST_F(LoginPackets, SecondaryConnectionPlaysItsFirstCharacter)
{
    auto* connection = new GameConnection;
    connection->setSecondary(true);
    connection->setCompressed(true);
    ShardSession* session = addShardSession("Far", connection);
    setCurrentSession(session);
    handleCharacterList(characterListPacket(2, { "", "Second", "", "", "" }, {}, 0).data());
    EXPECT_EQ(connection->sendIdStats().entries().at(0x5D).count, 1u);
    EXPECT_EQ(std::string(session->playerName.data()), "Second");
    ASSERT_EQ(state.messages.lines.size(), 1u);
    EXPECT_EQ(state.messages.lines[0].text, "Connected to Far with Second");
    EXPECT_FALSE(state.screens.saw("openCharacterSelection"));
}

TEST_F(LoginPackets, SecondaryConnectionWithoutCharactersIsClosedInTheNextPass)
{
    auto* connection = new GameConnection;
    connection->setSecondary(true);
    ShardSession* session = addShardSession("Empty", connection);
    setCurrentSession(session);
    handleCharacterList(characterListPacket(0, std::vector<std::string>(5), {}, 0).data());
    EXPECT_TRUE(session->closeRequested);
    EXPECT_EQ(state.messages.lines.at(0).text, "You have no characters on Empty!");
}

// 0x86, 0x85 -----------------------------------------------------------------

TEST_F(LoginPackets, ListUpdateCutsFieldsWithoutATerminator)
{
    state.screens.selectionOpen = true;
    state.screens.characters = { { "Old", 0 } };
    std::string full(30, 'N');
    Bytes packet = ServerPacket(0x86).u8(1).text(full, 30).text(std::string(30, 'P'), 30).fill(4 * 60, 0).bytes();
    handleCharacterListUpdate(packet.data());
    ASSERT_EQ(state.screens.characters.size(), 1u);
    EXPECT_EQ(state.screens.characters[0].first, std::string(29, 'N'));
    EXPECT_EQ(characterSlots().passwords[0], std::string(29, 'P'));
    EXPECT_TRUE(state.screens.saw("showCharacterSelection"));
}

TEST_F(LoginPackets, ListUpdateWithoutASelectionDoesNothing)
{
    handleCharacterListUpdate(ServerPacket(0x86).u8(1).text("X", 30).fill(30 + 4 * 60, 0).bytes().data());
    EXPECT_TRUE(state.screens.log.empty());
    EXPECT_EQ(characterSlots().count, 0);
}

TEST_F(LoginPackets, DeleteRefusalShowsTheReasonsText)
{
    state.screens.selectionOpen = true;
    const std::map<uint8_t, std::u16string> expected = {
        { 0, u"That character password is invalid." },
        { 1, u"That character does not exist." },
        { 2, u"That character is being played right now." },
        { 3,
            u"That character is not old enough to delete. The character must be 7 days old before it can be "
            u"deleted." },
        { 4, u"That character is currently queued for backup and cannot be deleted." },
        { 5, u"Couldn't carry out your request." },
        { 200, u"Couldn't carry out your request." },
    };
    for (const auto& [reason, text] : expected) {
        handleDeleteResult(ServerPacket(0x85, ServerPacket::Length::Fixed).u8(reason).bytes().data());
        ASSERT_NE(state.screens.lastMessage(), nullptr);
        EXPECT_EQ(state.screens.lastMessage()->text, text) << int(reason);
        EXPECT_EQ(state.screens.lastMessage()->covered, CoveredWindow::CharacterSelection);
    }
}

// 0x82 -----------------------------------------------------------------------

struct DenialCase {
    const char* name;
    uint8_t reason;
    int32_t cliloc; // 0: the main menu is rebuilt
    bool returnToMenu;
};

class LoginDenied : public LoginPackets, public testing::WithParamInterface<DenialCase> { };

TEST_P(LoginDenied, ShowsTheReasonsMessageAndEndsTheRoad)
{
    const DenialCase& row = GetParam();
    loginSession().loginInProgress = true;
    loginSession().attached = true;
    handleLoginDenied(ServerPacket(0x82, ServerPacket::Length::Fixed).u8(row.reason).bytes().data());
    if (row.cliloc == 0) {
        EXPECT_TRUE(state.screens.messages.empty());
        EXPECT_TRUE(state.screens.saw("closeAllButPersistent"));
        EXPECT_TRUE(state.screens.saw("openMainMenu"));
    } else {
        ASSERT_NE(state.screens.lastMessage(), nullptr);
        EXPECT_EQ(state.screens.lastMessage()->text, clilocText(row.cliloc));
        EXPECT_EQ(state.screens.lastMessage()->returnToMenu, row.returnToMenu);
        EXPECT_EQ(state.screens.lastMessage()->covered, CoveredWindow::LoginWindow);
        EXPECT_FALSE(state.screens.saw("openMainMenu"));
    }
    EXPECT_FALSE(loginSession().loginInProgress);
    EXPECT_FALSE(loginSession().attached);
    EXPECT_TRUE(state.screens.saw("focusLoginWindow"));
}

INSTANTIATE_TEST_SUITE_P(Reasons, LoginDenied,
    testing::Values(DenialCase { "Zero", 0, 3000033, true }, DenialCase { "One", 1, 3000034, false },
        DenialCase { "Two", 2, 3000035, false }, DenialCase { "Three", 3, 3000036, false },
        DenialCase { "Four", 4, 3000037, true }, DenialCase { "Five", 5, 1043324, false },
        DenialCase { "Six", 6, 1043325, false }, DenialCase { "Seven", 7, 1043326, false },
        DenialCase { "Eight", 8, 3000037, true }, DenialCase { "Nine", 9, 1062849, false },
        DenialCase { "Ten", 10, 3000037, true }, DenialCase { "Rebuild", 254, 0, false },
        DenialCase { "Unreadable", 255, 3000037, true }),
    [](const testing::TestParamInfo<DenialCase>& row) { return std::string(row.param.name); });

// A denial that comes while the player is in the world (found by the
// hostile-server run: the connection closed and the message's button left
// the player in a world that no longer heard its server). Every reason now
// takes the player back to the main menu.
class LoginDeniedInTheWorld : public LoginPackets, public testing::WithParamInterface<DenialCase> { };

TEST_P(LoginDeniedInTheWorld, TellsThePlayerAndReturnsToTheMenu)
{
    const DenialCase& row = GetParam();
    loginSession().loggedIn = true;
    handleLoginDenied(ServerPacket(0x82, ServerPacket::Length::Fixed).u8(row.reason).bytes().data());
    ASSERT_NE(state.screens.lastMessage(), nullptr);
    EXPECT_EQ(state.screens.lastMessage()->text, row.cliloc ? clilocText(row.cliloc) : std::u16string(kConnectionLostText));
    EXPECT_TRUE(state.screens.lastMessage()->returnToMenu);
    EXPECT_FALSE(state.screens.saw("openMainMenu"));
}

INSTANTIATE_TEST_SUITE_P(Reasons, LoginDeniedInTheWorld,
    testing::Values(DenialCase { "Zero", 0, 3000033, true }, DenialCase { "One", 1, 3000034, false },
        DenialCase { "Five", 5, 1043324, false }, DenialCase { "Rebuild", 254, 0, false }),
    [](const testing::TestParamInfo<DenialCase>& row) { return std::string(row.param.name); });

// 0x81 -----------------------------------------------------------------------

Bytes combinedListPacket(uint8_t count, uint8_t key, const std::vector<std::string>& names,
    const std::vector<std::pair<uint8_t, std::string>>& shards, const std::vector<Location>& locations)
{
    ServerPacket packet(0x81);
    packet.u8(count).u8(key);
    for (const std::string& name : names)
        packet.text(name, 30).text("pw", 30);
    packet.u8(uint8_t(shards.size()));
    for (const auto& [id, name] : shards)
        packet.u8(id).text(name, 16);
    packet.u8(uint8_t(locations.size()));
    for (const Location& location : locations)
        packet.u8(location.index).text(location.city, 31).text(location.building, 31);
    return packet.bytes();
}

TEST_F(LoginPackets, CombinedListStoresShardsAndShufflesCityGroups)
{
    std::vector<Location> locations = {
        { 0, "Alder", "Gate" }, { 1, "Alder", "Bridge" }, { 2, "Brook", "Mill" }, { 3, "Cairn", "Tower" },
        { 4, "Cairn", "Hall" }, { 9, "Nowhere", "Beyond the list" }, // an index outside the list is dropped
    };
    seedRandom(12345);
    handleShardChoiceList(
        combinedListPacket(0, 3, std::vector<std::string>(5), { { 1, "First" }, { 2, "" } }, locations).data());
    ASSERT_EQ(shardList().shards.size(), 2u);
    EXPECT_EQ(shardList().shards[0].name, "First");
    EXPECT_EQ(loginSession().nextLoginKey, 3);
    EXPECT_TRUE(state.screens.saw("openShardChoice"));

    const StartLocationList& list = startLocations();
    ASSERT_EQ(list.texts.size(), 5u);
    ASSERT_EQ(list.indexes.size(), 5u);
    // Every stored location keeps its own index, the groups stay whole and in
    // their inner order.
    std::map<uint8_t, std::string> byIndex;
    for (size_t i = 0; i < list.texts.size(); ++i)
        byIndex[list.indexes[i]] = list.texts[i];
    EXPECT_EQ(byIndex,
        (std::map<uint8_t, std::string> { { 0, "Alder: Gate" }, { 1, "Alder: Bridge" }, { 2, "Brook: Mill" },
            { 3, "Cairn: Tower" }, { 4, "Cairn: Hall" } }));
    for (size_t i = 0; i + 1 < list.indexes.size(); ++i) {
        std::string city = list.texts[i].substr(0, list.texts[i].find(':'));
        std::string next = list.texts[i + 1].substr(0, list.texts[i + 1].find(':'));
        if (city == next) {
            EXPECT_EQ(list.indexes[i + 1], list.indexes[i] + 1);
        }
    }
    // The same seed gives the same order.
    std::vector<uint8_t> first = list.indexes;
    seedRandom(12345);
    handleShardChoiceList(combinedListPacket(0, 3, std::vector<std::string>(5), { { 1, "First" } }, locations).data());
    EXPECT_EQ(startLocations().indexes, first);
}

TEST_F(LoginPackets, CombinedListWithoutShardsMeansServersDown)
{
    handleShardChoiceList(combinedListPacket(0, 3, std::vector<std::string>(5), {}, {}).data());
    ASSERT_NE(state.screens.lastMessage(), nullptr);
    EXPECT_EQ(state.screens.lastMessage()->text, kServersDownText);
}

TEST_F(LoginPackets, CombinedListInEditModeFillsTheCharacterSelection)
{
    configValues().editServer = { 0x0A000001, 2593 };
    std::vector<std::string> names = { "One", "", "Three", "", "", "", "Seven" };
    handleShardChoiceList(combinedListPacket(7, 3, names, { { 1, "First" } }, {}).data());
    EXPECT_EQ(
        state.screens.characters, (std::vector<std::pair<std::string, int32_t>> { { "One", 0 }, { "Three", 2 } }));
    EXPECT_EQ(characterSlots().count, 7);
    EXPECT_TRUE(state.screens.saw("presentCharacterSelection"));
    EXPECT_FALSE(state.screens.saw("openShardChoice"));
}

// 0xB9, 0xCE -----------------------------------------------------------------

struct FeatureCase {
    const char* name;
    uint16_t value;
    uint32_t word;
};

class Features : public LoginPackets, public testing::WithParamInterface<FeatureCase> { };

TEST_P(Features, WordIsKeptAndWrittenLowByteFirst)
{
    handleFeatures(ServerPacket(0xB9, ServerPacket::Length::Fixed).u16(GetParam().value).bytes().data());
    EXPECT_EQ(serverFeatures(), GetParam().word);
    std::string file = state.directory.read("entitled.def");
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(uint8_t(file[0]), uint8_t(GetParam().word));
    EXPECT_EQ(uint8_t(file[1]), uint8_t(GetParam().word >> 8));
    EXPECT_EQ(readEntitledFile(), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Values, Features,
    testing::Values(FeatureCase { "OldFormBothBits", 0x0003, 0x0A },
        FeatureCase { "OldFormIgnoresOthers", 0x00FD, 0x02 }, FeatureCase { "NewForm", 0x8123, 0x0123 },
        FeatureCase { "NewFormEmpty", 0x8000, 0 }, FeatureCase { "NewFormAll", 0xFFFF, 0x7FFF }),
    [](const testing::TestParamInfo<FeatureCase>& row) { return std::string(row.param.name); });

TEST_F(LoginPackets, IgrSessionStartReadsItsFieldsAndAnUnterminatedTextAsEmpty)
{
    class Recording final : public IgrSessions {
    public:
        void startSession(const IgrSessionSettings& settings) override { started.push_back(settings); }
        std::vector<IgrSessionSettings> started;
    } sessions;
    IgrSessions* previous = installIgrSessions(&sessions);
    Bytes packet = ServerPacket(0xCE)
                       .u32(11)
                       .u32(60)
                       .text("IGR-ID-SIXTEEN!!", 16)
                       .text("context", 36)
                       .u32(77)
                       .text("first", 6)
                       .fill(3, 'x') // no terminator before the end
                       .bytes();
    handleIgrSession(packet.data());
    installIgrSessions(previous);
    ASSERT_EQ(sessions.started.size(), 1u);
    const IgrSessionSettings& settings = sessions.started[0];
    EXPECT_EQ(settings.user, "default");
    EXPECT_EQ(settings.number, 11u);
    EXPECT_EQ(settings.heartbeatSeconds, 60u);
    EXPECT_EQ(settings.igrId, "IGR-ID-SIXTEEN!!");
    EXPECT_EQ(settings.contextId, "context");
    EXPECT_EQ(settings.serviceId, 77u);
    EXPECT_EQ(settings.textA, "first");
    EXPECT_EQ(settings.textB, "");
}

} // namespace
