// The login road end to end through real loopback sockets: the client's own
// login road, pump and handlers against the test login and game server.

#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/config_key_rules.h"
#include "data/view_range.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "net/client_packets.h"
#include "protocol/combat_packets.h"
#include "protocol/login_road.h"
#include "protocol/world_object_packets.h"
#include "protocol/world_packet_windows.h"
#include "protocol_test_state.h"
#include "support/test_shard_server.h"
#include "support/world_packets.h"
#include "world/container_item.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/path_walk.h"
#include "world/recorded_sequence.h"
#include "world/seasons.h"
#include "world/walking.h"
#include "world/world_fixture.h"
#include "world_packet_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

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
    explicit LoopbackLogin(test::TestShardConfig config = {})
        : server(std::move(config))
    {
    }

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


// What one world packet of the tour left in the model, or the window or
// service it reached.
struct TourEffect {
    const char* packet;
    std::function<void()> expect;
};

Mobile* mobileOf(uint32_t serial)
{
    Item* object = findItemBySerial(serial);
    return object && object->isMobile() ? static_cast<Mobile*>(object) : nullptr;
}

std::vector<MissileGump*> flyingMissiles()
{
    std::vector<MissileGump*> found;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
        if (gump->is(GumpKind::Missile))
            found.push_back(static_cast<MissileGump*>(gump));
    }
    return found;
}

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
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
            if (isEffectRecordingActive())
                stopEffectRecording(1);
            deleteAllRecordedSequences();
            soundEffects().playAmbientLoop(0);
            setSeason(0);
            resetLightLevels();
            resetMapView();
            resetWalkState();
            setDeathScreenShown(false);
            dragState() = DragState {};
            initWorldObjects();
            mapView() = MapView {};
            test::setItemTile(0x1517, 0);
            test::setItemTile(0x0E75, 0);
            test::setItemTile(test::kTourMapGraphic, 0);
            serverMapArea() = ServerMapArea {};
            warModeState() = WarModeState {};
        }
    } cleanup;
    test::RecordingWorldWindows windows;
    ScopedService<StatusWindows> statusGuard { windows };
    ScopedService<GeneralInfoWindows> infoGuard { windows };
    ScopedService<WorldEventWindows> eventGuard { windows };
    test::RecordingSounds sounds;
    ScopedWorldService<WorldSounds> soundGuard { sounds };
    test::RecordingOverheads overheads;
    ScopedWorldService<OverheadTextViews> overheadGuard { overheads };
    // The program makes its player object at start-up.
    initWorldObjects();
    createPlayerObject();
    resetServerPathfindCountdown();
    test::setItemTile(0x1517, 0, 1, 2, "shirt");
    test::setItemTile(0x0E75, kTileContainer, 3, 3, "backpack");
    test::setItemTile(test::kTourMapGraphic, kTileMapItem, 0, 1, "map");
    // The visitor's name plate shows, as while the all-names keys are held.
    CGump plate;
    gumpManager().allNames[test::kTourMobile] = &plate;
    TestShardServer world([] {
        test::TestShardConfig config;
        config.worldPackets = test::worldTourPackets(config.playerSerial, config.playerX, config.playerY);
        return config;
    }());
    ASSERT_TRUE(world.isListening());
    const uint32_t self = world.config().playerSerial;
    const uint16_t x = world.config().playerX;
    const uint16_t y = world.config().playerY;
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
    // The game time comes last.
    ASSERT_TRUE(pumpWorld([&] { return !state.shell.gameTime.empty(); }));
    gumpManager().allNames.erase(test::kTourMobile);
    EXPECT_EQ(playerSerial(), self);
    ASSERT_NE(player(), nullptr);
    Mobile* visitor = mobileOf(test::kTourMobile);
    ASSERT_NE(visitor, nullptr);
    Mobile* guest = mobileOf(test::kTourGuest);
    ASSERT_NE(guest, nullptr);
    const std::vector<MissileGump*> missiles = flyingMissiles();
    auto missileIn = [&](uint16_t hue, int32_t renderMode) {
        return std::any_of(missiles.begin(), missiles.end(),
            [&](MissileGump* missile) { return missile->hue() == hue && missile->renderMode() == renderMode; });
    };
    const TourEffect effects[] = {
        { "0x4F overall light", [&] { EXPECT_EQ(lightLevels().global, 5); } },
        { "0x1A world item",
            [&] {
                Item* item = findItemBySerial(test::kTourItem);
                ASSERT_NE(item, nullptr);
                EXPECT_EQ(item->amount, 3);
                EXPECT_EQ(item->baseHue, 0x0021);
            } },
        { "0x78 incoming mobile",
            [&] {
                ASSERT_NE(visitor->layerItem(21), nullptr);
                EXPECT_EQ(visitor->layerItem(21)->serial, test::kTourPack);
            } },
        { "0x3C container contents",
            [&] {
                Item* content = findItemBySerial(test::kTourContent);
                ASSERT_NE(content, nullptr);
                EXPECT_EQ(content->container(), findItemBySerial(test::kTourPack));
            } },
        { "0x25 container item",
            [&] {
                Item* added = findItemBySerial(test::kTourAdded);
                ASSERT_NE(added, nullptr);
                EXPECT_EQ(added->container(), findItemBySerial(test::kTourPack));
                EXPECT_EQ(added->amount, 2);
                EXPECT_EQ(added->baseHue, 0x0022);
            } },
        { "0x2E worn item",
            [&] {
                ASSERT_NE(visitor->layerItem(5), nullptr);
                EXPECT_EQ(visitor->layerItem(5)->serial, test::kTourWorn);
                EXPECT_EQ(visitor->layerItem(5)->baseHue, 0x0023);
            } },
        { "0x11 status", [&] { EXPECT_EQ(statusRecord().name, "Visitor"); } },
        { "0xA1 hits",
            [&] {
                EXPECT_EQ(visitor->hits, 25);
                EXPECT_TRUE(contains(windows.calls, "targetBar 00000F20 25/60"));
            } },
        { "0x16 and 0x17 status flags",
            [&] { EXPECT_EQ(visitor->statusFlags, (std::map<uint16_t, uint8_t> { { 3, 4 }, { 5, 9 } })); } },
        { "0x77 moving mobile", [&] { EXPECT_EQ(visitor->notoriety, 5); } },
        { "0x20 player update",
            [&] {
                EXPECT_EQ(player()->direction, 3);
                EXPECT_EQ(player()->baseHue, 0x0024);
                EXPECT_TRUE(contains(windows.calls, "closeBankBox"));
            } },
        { "0x98 mobile name", [&] { EXPECT_TRUE(contains(windows.calls, "namePlate 00000F20 Visitor")); } },
        { "0x76 new sub-server",
            [&] {
                EXPECT_EQ(serverMapArea().width, test::kTourAreaWidth);
                EXPECT_EQ(serverMapArea().height, test::kTourAreaHeight);
            } },
        { "0xD3 incoming mobile, extended",
            [&] {
                ASSERT_NE(guest->layerItem(20), nullptr);
                EXPECT_EQ(guest->layerItem(20)->serial, test::kTourGuestCloak);
                EXPECT_EQ(guest->layerItem(20)->baseHue, 0x0031);
            } },
        { "0xD2 mobile update, extended", [&] { EXPECT_EQ(guest->notoriety, 4); } },
        { "0x2D vital values",
            [&] {
                EXPECT_EQ(guest->hits, 11);
                EXPECT_EQ(guest->maxHits, 12);
            } },
        { "0xA2 mana",
            [&] {
                EXPECT_EQ(guest->mana, 7);
                EXPECT_EQ(guest->maxMana, 14);
            } },
        { "0xA3 stamina",
            [&] {
                EXPECT_EQ(guest->stamina, 8);
                EXPECT_EQ(guest->maxStamina, 16);
            } },
        { "0xC4 semi-visible",
            [&] {
                ASSERT_FALSE(sessionList().empty());
                EXPECT_EQ(sessionList()[0]->semiVisible.count(test::kTourGuest), 1u);
            } },
        { "0x39 group notice", [&] { EXPECT_TRUE(contains(overheads.texts, "00000F40 Now grouped. hue 0 font 3")); } },
        { "0x89 corpse equipment",
            [&] {
                Item* corpse = findItemBySerial(test::kTourCorpse);
                ASSERT_NE(corpse, nullptr);
                ASSERT_TRUE(corpse->isCorpse());
                EXPECT_EQ(static_cast<Corpse*>(corpse)->layerSerial(5), test::kTourWorn);
            } },
        { "0x90 course map", [&] { EXPECT_TRUE(contains(windows.calls, "courseMap 40000F60 5021 1000-200")); } },
        { "0x23 drag animation",
            [&] {
                EXPECT_TRUE(std::any_of(missiles.begin(), missiles.end(),
                    [&](MissileGump* missile) { return missile->targetObject() == guest; }));
            } },
        { "0x30 attack accepted, 0x31 attack ended", [&] { EXPECT_EQ(player()->attackTarget, test::kTourGuest); } },
        { "0x72 war mode", [&] { EXPECT_EQ(warModeState().trailing, (std::array<uint8_t, 3> { 2, 3, 4 })); } },
        { "0x97 server step",
            [&] {
                const StepQueue& queue = stepQueue();
                EXPECT_TRUE(std::any_of(queue.entries.begin(), queue.entries.begin() + queue.count,
                    [](const StepEntry& entry) { return entry.direction == 4 && entry.acknowledged; }));
            } },
        { "0xBF step keys",
            [&] { EXPECT_EQ(player()->walkKeys, (std::array<uint32_t, 5> { 101, 102, 103, 104, 105 })); } },
        { "0xAA combatant",
            [&] {
                EXPECT_EQ(combatantSerial(), test::kTourMobile);
                EXPECT_TRUE(contains(windows.calls, "combatant 00000F20"));
            } },
        { "0x2F swing", [&] { EXPECT_EQ(stepQueue().combatantSerial, test::kTourMobile); } },
        { "0x0B damage", [&] { EXPECT_TRUE(contains(windows.calls, "damage 00000F20 5 hue 33")); } },
        { "0x6E animation", [&] { EXPECT_EQ(visitor->action, 12); } },
        { "0xAF death animation",
            [&] {
                EXPECT_EQ(findItemBySerial(test::kTourVictim), nullptr);
                Mobile* victim = mobileOf(test::kTourVictim | kDyingSerialBit);
                ASSERT_NE(victim, nullptr);
                EXPECT_TRUE(victim->dying);
            } },
        { "0xBC season", [&] { EXPECT_EQ(getSeason(), 3); } },
        { "0x15 follow",
            [&] {
                EXPECT_TRUE(stepQueue().serverFollow);
                EXPECT_TRUE(contains(overheads.texts, "00000F20 Now following. hue 0 font 3"));
            } },
        { "0x38 pathfind, the 19th",
            [&] {
                const std::string asked = std::to_string(x) + " " + std::to_string(y) + " 0";
                EXPECT_EQ(std::count(overheads.texts.begin(), overheads.texts.end(),
                              "00000F01 " + asked + " hue 0 font 3"),
                    1);
            } },
        { "0x70 graphical effect", [&] { EXPECT_TRUE(missileIn(0, 0)); } },
        { "0xC0 hued effect", [&] { EXPECT_TRUE(missileIn(0x25, 2)); } },
        { "0x7B sequence",
            [&] {
                EXPECT_FALSE(isEffectRecordingActive());
                EXPECT_TRUE(state.messages.waitingBoxes.empty());
                EXPECT_FALSE(missileIn(0x27, 4)) << "the effect was recorded, not flown";
                EXPECT_TRUE(contains(sounds.calls, "soundAt 66 " + std::to_string(x) + "," + std::to_string(y) + ",0"))
                    << "the recorded sound played when the sequence ended";
            } },
        { "0xC7 particle effect", [&] { EXPECT_TRUE(missileIn(0x26, 3)); } },
        { "0x54 sound",
            [&] {
                EXPECT_TRUE(contains(sounds.calls,
                    "soundAt 65 " + std::to_string(x) + "," + std::to_string(y) + ",0"));
            } },
        { "0x6D music",
            [&] {
                ASSERT_FALSE(musicSystem().stack().empty());
                EXPECT_EQ(musicSystem().stack().front().id, 9);
            } },
        { "0x4E personal light", [&] { EXPECT_EQ(player()->lightModifier, 4); } },
        { "0x65 weather", [&] { EXPECT_EQ(weatherState().mode, WeatherMode::Rain); } },
        { "0x27 pick-up refused",
            [&] {
                ASSERT_FALSE(state.messages.lines.empty());
                EXPECT_TRUE(std::any_of(state.messages.lines.begin(), state.messages.lines.end(),
                    [](const auto& line) { return line.text == "That is too far away."; }));
            } },
        { "0x2C death screen",
            [&] {
                EXPECT_EQ(state.shell.deathFades, 1);
                EXPECT_TRUE(contains(windows.calls, "playerDied"));
            } },
        { "0x5B game time", [&] { EXPECT_EQ(state.shell.gameTime, "6:15:0"); } },
    };
    for (const TourEffect& effect : effects) {
        SCOPED_TRACE(effect.packet);
        effect.expect();
    }

    // More of them while in the game, each with what it ends.
    struct InGameEffect {
        const char* packet;
        std::function<void()> before;
        test::WirePacket bytes;
        std::function<bool()> done;
    };
    const InGameEffect more[] = {
        { "0x1D delete object", [] {}, test::deleteObjectPacket(test::kTourItem),
            [] { return findItemBySerial(test::kTourItem) == nullptr; } },
        { "0x28 drop refused", [] { dragState().dragging = true; }, test::dropRejectClearPacket(),
            [] { return !dragState().dragging; } },
        { "0x29 drop accepted", [] { dragState().dragging = true; }, test::dropAcceptedPacket(),
            [] { return !dragState().dragging; } },
    };
    for (const InGameEffect& effect : more) {
        SCOPED_TRACE(effect.packet);
        effect.before();
        world.sendToGame({ effect.bytes });
        EXPECT_TRUE(pumpWorld(effect.done));
    }
}

// The player is in the world on the first shard and opens a second one
// behind it (the speech line's ".con"). Each shard keeps its own connection:
// what the second one's login meets reaches only the second one.
class SecondShard : public LoopbackLogin {
protected:
    explicit SecondShard(bool refuseInUse = false)
        : LoopbackLogin([refuseInUse] {
            test::TestShardConfig config;
            config.moreShards = { { "Second Shard", 2, 0, 20 } };
            config.refuseAccountInUse = refuseInUse;
            return config;
        }())
    {
    }
    void SetUp() override
    {
        LoopbackLogin::SetUp();
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
            return loginSession().loggedIn && server.worldClientCount() == 1;
        }));
        ASSERT_EQ(sessionList().size(), 1u);
        first = sessionList()[0];
        shown = currentGameConnection();
        state.screens.log.clear();
    }

    ShardSession* first { nullptr };
    GameConnection* shown { nullptr };
};

class SecondShardInUse : public SecondShard {
protected:
    SecondShardInUse()
        : SecondShard(true)
    {
    }
};

TEST_F(SecondShardInUse, TheRefusalEndsOnlyTheSecondShardsSession)
{
    connectShardByName("Second Shard", -1);
    ASSERT_EQ(sessionList().size(), 2u);
    ASSERT_TRUE(pumpUntil([&] { return server.events().refusals == 1 && sessionList().size() == 1; }));
    // A few more passes: nothing else follows.
    for (int pass = 0; pass < 5; ++pass) {
        pollConnections(5);
        server.pump(5);
    }
    ASSERT_EQ(sessionList().size(), 1u);
    ASSERT_EQ(sessionList()[0], first);
    EXPECT_EQ(currentGameConnection(), shown);
    EXPECT_TRUE(shown->isOpen()) << "the shard the player plays on stays connected";
    EXPECT_EQ(server.worldClientCount(), 1u);
    EXPECT_TRUE(loginSession().loggedIn);
    EXPECT_TRUE(loginSession().attached);
    EXPECT_TRUE(state.screens.messages.empty()) << "no message box over the world";
    ASSERT_FALSE(state.messages.lines.empty());
    EXPECT_TRUE(state.messages.lines.back().text.starts_with("Second Shard: ")) << state.messages.lines.back().text;
}

TEST_F(SecondShard, LogsInBehindTheShownShardOnAConnectionOfItsOwn)
{
    connectShardByName("Second Shard", -1);
    ASSERT_TRUE(pumpUntil([&] { return server.worldClientCount() == 2; }));
    ASSERT_EQ(sessionList().size(), 2u);
    ShardSession* second = sessionList()[1];
    EXPECT_EQ(currentGameConnection(), shown);
    EXPECT_TRUE(shown->isOpen());
    ASSERT_NE(second->connection, nullptr);
    EXPECT_NE(second->connection, shown);
    EXPECT_TRUE(second->connection->isOpen());
    EXPECT_TRUE(state.screens.log.empty()) << "no login screen over the world";
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
