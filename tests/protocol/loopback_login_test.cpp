// The login road end to end through real loopback sockets: the client's own
// login road, pump and handlers against the test login and game server.

#include "data/config_key_rules.h"
#include "gump/gump_manager.h"
#include "gump/weather.h"
#include "net/client_packets.h"
#include "protocol/login_road.h"
#include "protocol/world_packet_windows.h"
#include "protocol_test_state.h"
#include "support/test_shard_server.h"
#include "support/world_packets.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/seasons.h"
#include "world/object_manager.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using test::ServerStep;
using test::TestShardServer;

constexpr int kMaxPasses = 400;

// A loopback login server as the login-server file's LoginServer line gives it.
void addLoginServer(uint16_t port)
{
    settingsKeyRules().applyConfigKey(ConfigKeyKind::LoginServer, "127.0.0.1," + std::to_string(port), false);
}

class LoopbackLogin : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        // A port below 1000 makes the line a host name: such ports are not
        // what this test is about.
        ASSERT_GE(server.loginPort(), 1000);
        addLoginServer(server.loginPort());
        ASSERT_EQ(configValues().loginServers.size(), 1u);
        ASSERT_EQ(configValues().currentLoginServer, 0);
        loginSession().accountName = "tester";
        loginSession().password = "secret";
    }

    // Client and server take turns until `done` holds or time runs out.
    bool pumpUntil(const std::function<bool()>& done)
    {
        for (int pass = 0; pass < kMaxPasses; ++pass) {
            if (done())
                return true;
            pollConnections(5);
            server.pump(5);
        }
        return done();
    }

    void logIn()
    {
        ASSERT_TRUE(connectLoginServer());
        ASSERT_NE(currentGameConnection(), nullptr);
        ASSERT_TRUE(sendAccountLogin(*currentGameConnection()));
    }

    // What the shard list and character selection would do on the player's
    // choice: the first shard, then the first character.
    void chooseShard()
    {
        ASSERT_FALSE(shardList().shards.empty());
        PacketStorage<8> select;
        ASSERT_TRUE(buildServerSelectPacket(select, shardList().shards[0].id));
        ASSERT_TRUE(sendPacket(select));
    }
    void playFirstCharacter()
    {
        uint8_t info[kClientInfoSize] = {};
        PacketStorage<96> play;
        ASSERT_TRUE(buildPlayCharacterPacket(play, characterSlots().names[0].c_str(), info, 0, 0));
        ASSERT_TRUE(sendPacket(play));
    }

    bool lostMessageShown() const
    {
        for (const WaitingMessage& message : state.screens.messages) {
            if (message.text == u"Connection lost")
                return true;
        }
        return false;
    }

    test::ProtocolTestState state;
    TestShardServer server;
};

TEST_F(LoopbackLogin, AccountLoginShardListRelayAndCharacterList)
{
    logIn();
    ASSERT_TRUE(pumpUntil([&] { return state.screens.saw("openShardList"); }));
    const test::ServerEvents& events = server.events();
    EXPECT_EQ(events.account, "tester");
    EXPECT_EQ(events.password, "secret");
    ASSERT_EQ(shardList().shards.size(), 1u);
    EXPECT_EQ(shardList().shards[0].name, "Test Shard");
    EXPECT_EQ(shardList().shards[0].address, server.gameAddress());
    EXPECT_EQ(loginSession().nextLoginKey, server.config().nextLoginKey);

    chooseShard();
    ASSERT_TRUE(pumpUntil([&] { return state.screens.saw("presentCharacterSelection"); }));
    EXPECT_EQ(events.selectedShard, server.config().shardId);
    // The game server was reached with the relay's key as the seed, and the
    // game login repeats it.
    EXPECT_TRUE(events.reached(ServerStep::GameSeed));
    EXPECT_EQ(events.gameSeed, server.config().relayKey);
    EXPECT_EQ(events.gameLoginKey, server.config().relayKey);
    EXPECT_TRUE(loginSession().attached);
    ASSERT_EQ(state.screens.characters.size(), 2u);
    EXPECT_EQ(state.screens.characters[0], (std::pair<std::string, int32_t> { "Aldric", 0 }));
    EXPECT_EQ(state.screens.characters[1], (std::pair<std::string, int32_t> { "Brenna", 1 }));
    EXPECT_EQ(characterSlots().count, 2);
    ASSERT_EQ(startLocations().texts.size(), 1u);
    EXPECT_EQ(startLocations().texts[0], "Corvale: The Lantern Inn");
    // One session, on the game server, compressed.
    ASSERT_EQ(sessionList().size(), 1u);
    EXPECT_TRUE(currentGameConnection()->isCompressed());
    EXPECT_TRUE(currentGameConnection()->isGameServer());
}

TEST_F(LoopbackLogin, PlayingACharacterEntersTheWorld)
{
    // What an earlier session left behind does not survive the new connection.
    state.gameState.inGame = true;
    setPlayerSerial(0x00000AA1);
    logIn();
    EXPECT_EQ(state.gameState.worldResets, 1);
    EXPECT_FALSE(state.gameState.inGame);
    EXPECT_EQ(playerSerial(), 0u);
    ASSERT_TRUE(pumpUntil([&] { return state.screens.saw("openShardList"); }));
    chooseShard();
    ASSERT_TRUE(pumpUntil([&] { return state.screens.saw("presentCharacterSelection"); }));
    playFirstCharacter();
    ASSERT_TRUE(pumpUntil([&] { return loginSession().loggedIn; }));
    EXPECT_EQ(server.events().playedName, "Aldric");
    EXPECT_TRUE(state.gameState.inGame) << "the login's completion puts the player in the game";
}

TEST_F(LoopbackLogin, AWrongPasswordIsRefusedWithTheServersReason)
{
    loginSession().password = "wrong";
    logIn();
    ASSERT_TRUE(pumpUntil([&] { return state.screens.lastMessage() != nullptr; }));
    // Reason 3 has no way back to the menu; the login road has ended.
    EXPECT_EQ(state.screens.lastMessage()->returnToMenu, false);
    EXPECT_FALSE(loginSession().loginInProgress);
    EXPECT_FALSE(gameConnectionIsOpen());
}

TEST_F(LoopbackLogin, NoReachableLoginServerFailsTheConnect)
{
    configValues().loginServers.clear();
    // A port nothing listens on: the listener is closed again at once.
    platform::SocketHandle probe = platform::tcpListenLoopback(0);
    uint16_t deadPort = platform::socketLocalPort(probe);
    platform::closeSocket(probe);
    if (deadPort < 1000)
        GTEST_SKIP() << "the free port was below 1000";
    addLoginServer(deadPort);
    EXPECT_FALSE(connectLoginServer());
    EXPECT_TRUE(sessionList().empty());
}


// The test server's world packets arrive over the sockets after the login
// and reach the model.
TEST_F(LoopbackLogin, WorldPacketsAfterTheLoginReachTheModel)
{
    // The world this test fills goes again, whatever fails.
    struct WorldCleanup {
        ~WorldCleanup()
        {
            missileGumpsCloseAll();
            stopWeather();
            setSeason(0);
            resetLightLevels();
            resetMapView();
            initWorldObjects();
            mapView() = MapView {};
            test::setItemTile(0x1517, 0);
            test::setItemTile(0x0E75, 0);
        }
    } cleanup;
    // The program makes its player object at start-up.
    initWorldObjects();
    createPlayerObject();
    test::setItemTile(0x1517, 0, 1, 2, "shirt");
    test::setItemTile(0x0E75, kTileContainer, 3, 3, "backpack");
    TestShardServer world([] {
        test::TestShardConfig config;
        config.worldPackets = test::worldTourPackets(config.playerSerial, config.playerX, config.playerY);
        return config;
    }());
    ASSERT_TRUE(world.isListening());
    configValues().loginServers.clear();
    addLoginServer(world.loginPort());
    logIn();
    bool chosen = false;
    bool played = false;
    auto pumpWorld = [&](const std::function<bool()>& done) {
        for (int pass = 0; pass < kMaxPasses; ++pass) {
            if (!chosen && state.screens.saw("openShardList")) {
                chosen = true;
                chooseShard();
            }
            if (!played && state.screens.saw("presentCharacterSelection")) {
                played = true;
                playFirstCharacter();
            }
            if (done())
                return true;
            pollConnections(5);
            world.pump(5);
        }
        return done();
    };
    ASSERT_TRUE(pumpWorld([] { return getSeason() == 3; }));
    EXPECT_EQ(playerSerial(), world.config().playerSerial);
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->walkKeys, (std::array<uint32_t, 5> { 101, 102, 103, 104, 105 }));
    EXPECT_EQ(player()->lightModifier, 4);
    EXPECT_EQ(lightLevels().global, 5);
    Item* item = findItemBySerial(test::kTourItem);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->amount, 3);
    EXPECT_EQ(item->baseHue, 0x0021);
    Item* visitor = findItemBySerial(test::kTourMobile);
    ASSERT_NE(visitor, nullptr);
    ASSERT_TRUE(visitor->isMobile());
    EXPECT_EQ(static_cast<Mobile*>(visitor)->hits, 25);
    EXPECT_EQ(statusRecord().name, "Visitor");
    Item* content = findItemBySerial(test::kTourContent);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->container(), findItemBySerial(test::kTourPack));
    EXPECT_EQ(weatherState().mode, WeatherMode::Rain);
    EXPECT_EQ(state.shell.gameTime, "6:15:0");

    // More of them while in the game.
    world.sendToGame({ test::deleteObjectPacket(test::kTourItem) });
    EXPECT_TRUE(pumpWorld([] { return findItemBySerial(test::kTourItem) == nullptr; }));

}

class LossAtEachStep : public LoopbackLogin, public testing::WithParamInterface<ServerStep> { };

TEST_P(LossAtEachStep, ShowsConnectionLostAndEndsTheSession)
{
    server.dropConnectionAfter(GetParam());
    logIn();
    bool chosen = false;
    bool played = false;
    ASSERT_TRUE(pumpUntil([&] {
        if (!chosen && state.screens.saw("openShardList")) {
            chosen = true;
            chooseShard();
        }
        if (!played && state.screens.saw("presentCharacterSelection")) {
            played = true;
            playFirstCharacter();
        }
        return lostMessageShown();
    })) << "no loss message after "
        << test::serverStepName(GetParam());
    EXPECT_TRUE(server.events().reached(GetParam()));
    EXPECT_TRUE(state.screens.lastMessage()->returnToMenu);
    EXPECT_TRUE(sessionList().empty());
    EXPECT_EQ(currentSession(), nullptr);
    // The next passes find nothing to do and nothing breaks.
    for (int pass = 0; pass < 5; ++pass)
        pollConnections(1);
}

INSTANTIATE_TEST_SUITE_P(Road, LossAtEachStep,
    testing::Values(ServerStep::LoginSeed, ServerStep::AccountLogin, ServerStep::ShardList, ServerStep::ShardSelect,
        ServerStep::Relay, ServerStep::GameSeed, ServerStep::GameLogin, ServerStep::CharacterList,
        ServerStep::PlayCharacter, ServerStep::WorldEntry),
    [](const testing::TestParamInfo<ServerStep>& step) { return test::serverStepName(step.param); });

} // namespace
