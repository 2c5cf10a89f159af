// Fights, mobile events, effects, sound, music, light, weather, time,
// sequencing and seasons through the dispatcher: what each packet changes
// and asks for, and what it refuses.

#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/settings_registry.h"
#include "data/view_range.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "protocol/combat_packets.h"
#include "world/cell_grid.h"
#include "world/light_pass.h"
#include "world/recorded_sequence.h"
#include "world_packet_fixture.h"

namespace {

using test::fixedPacket;
using test::kPlayerSerial;
using test::ServerPacket;
using Calls = std::vector<std::string>;

constexpr uint32_t kCombatOther = 0x00000B01;
constexpr uint32_t kCombatItem = 0x40000101;

class CombatEffects : public test::WorldPacketTest {
protected:
    void TearDown() override
    {
        missileGumpsCloseAll();
        stopWeather();
        if (isEffectRecordingActive())
            stopEffectRecording(1);
        deleteAllRecordedSequences();
        test::WorldPacketTest::TearDown();
    }

    static std::vector<MissileGump*> missiles()
    {
        std::vector<MissileGump*> found;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next()) {
            if (gump->is(GumpKind::Missile))
                found.push_back(static_cast<MissileGump*>(gump));
        }
        return found;
    }
};

// Death, attacks, the combatant ---------------------------------------------

TEST_F(CombatEffects, DeathScreenFadesUnlessItIsTheResurrection)
{
    dispatch(fixedPacket(0x2C).u8(1).bytes());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(state.shell.deathFades, 0);
    player()->warMode = 1;
    dispatch(fixedPacket(0x2C).u8(0).bytes());
    EXPECT_EQ(windows.calls, (Calls { "playerDied" }));
    EXPECT_EQ(state.shell.deathFades, 1);
    EXPECT_TRUE(stepQueue().deathScreen);
    // The player asks to leave war mode.
    EXPECT_EQ(warModeState().warModeRequested, 0);
    warModeState() = WarModeState {};
}

TEST_F(CombatEffects, SwingAttackAndCombatant)
{
    Mobile* mobile = addMobile(kCombatOther, 1002, 1002);
    ASSERT_NE(mobile, nullptr);
    dispatch(fixedPacket(0x2F).u8(0).u32(kPlayerSerial).u32(kCombatOther).bytes());
    EXPECT_EQ(stepQueue().combatantSerial, kCombatOther);

    dispatch(fixedPacket(0x30).u32(kCombatOther).bytes());
    EXPECT_EQ(player()->attackTarget, kCombatOther);
    dispatch(fixedPacket(0x30).u32(0x0000C0DE).bytes());
    EXPECT_EQ(player()->attackTarget, 0u);

    dispatch(fixedPacket(0xAA).u32(kCombatOther).bytes());
    dispatch(fixedPacket(0xAA).u32(0x0000C0DE).bytes());
    EXPECT_EQ(combatantSerial(), 0x0000C0DEu);
    dispatch(fixedPacket(0xAA).u32(0).bytes());
    EXPECT_EQ(combatantSerial(), 0u);
    EXPECT_EQ(windows.calls, (Calls { "combatant 00000B01" }));
}

TEST_F(CombatEffects, AttackEndedRecordsEndWithThePacket)
{
    // Each record's count announces more than the packet holds.
    std::string before = snapshot();
    dispatch(ServerPacket(0x31).u32(kCombatOther).u8(255).u32(1).u8(255).bytes());
    dispatch(ServerPacket(0x31).u32(kCombatOther).bytes());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CombatEffects, DamageNumbersInThePlayersHueOrTheOthers)
{
    dispatch(fixedPacket(0x0B).u32(kCombatOther).u16(0).bytes());
    dispatch(fixedPacket(0x0B).u32(kCombatOther).u16(300).bytes());
    dispatch(fixedPacket(0x0B).u32(kPlayerSerial).u16(4).bytes());
    EXPECT_EQ(windows.calls, (Calls { "damage 00000B01 300 hue 33", "damage 00000AA1 4 hue 52" }));
}

TEST_F(CombatEffects, FollowWithNoFollowerStopsFollowing)
{
    Mobile* mobile = addMobile(kCombatOther, 1002, 1002);
    ASSERT_NE(mobile, nullptr);
    dispatch(fixedPacket(0x15).u32(kPlayerSerial).u32(kCombatOther).bytes());
    EXPECT_TRUE(stepQueue().serverFollow);
    dispatch(fixedPacket(0x15).u32(0).u32(kCombatOther).bytes());
    EXPECT_TRUE(stepQueue().serverFollow);
    dispatch(fixedPacket(0x15).u32(kPlayerSerial).u32(0).bytes());
    EXPECT_FALSE(stepQueue().serverFollow);
    EXPECT_EQ(overheads.texts,
        (Calls { "00000B01 Now following. hue 0 font 3", "00000AA1 No longer following. hue 0 font 3",
            "00000B01 Now following. hue 0 font 3", "00000AA1 No longer following. hue 0 font 3" }));
}

TEST_F(CombatEffects, EventsOfUnknownMobilesChangeNothing)
{
    dropItem(kCombatItem, 1001, 1001);
    std::string before = snapshot();
    dispatch(fixedPacket(0xAF).u32(0x0000C0DE).u32(0x40000900).u32(0).bytes());
    dispatch(fixedPacket(0xAF).u32(kCombatItem).u32(0x40000900).u32(0).bytes());
    dispatch(fixedPacket(0x6E).u32(0x0000C0DE).u16(12).u16(5).u16(1).u8(0).u8(0).u8(1).bytes());
    dispatch(fixedPacket(0x6E).u32(kCombatItem).u16(12).u16(5).u16(1).u8(0).u8(0).u8(1).bytes());
    EXPECT_EQ(snapshot(), before);
}

// Effects ------------------------------------------------------------------

ServerPacket effect(uint8_t id, uint8_t type, uint32_t source, uint32_t target, uint16_t graphic)
{
    ServerPacket packet = fixedPacket(id);
    packet.u8(type).u32(source).u32(target).u16(graphic).u16(1001).u16(1002).u8(uint8_t(-3)).u16(1010).u16(1011)
        .u8(4).u8(7).u8(0).u8(0).u8(0).u8(1).u8(0);
    if (id != 0x70)
        packet.u32(0x0021).u32(2);
    if (id == 0xC7)
        packet.u16(1).u16(2).u16(3).u32(4).u8(5).u8(6).u8(7);
    return packet;
}

TEST_F(CombatEffects, AnItemSerialCountsAsNoSource)
{
    Mobile* mobile = addMobile(kCombatOther, 1003, 1003);
    dropItem(kCombatItem, 1001, 1001);
    dispatch(effect(0x70, 0, kCombatItem, kCombatOther, 0x36D4).bytes());
    dispatch(effect(0x70, 0, kCombatOther, kCombatItem, 0x36D4).bytes());
    std::vector<MissileGump*> flying = missiles();
    ASSERT_EQ(flying.size(), 2u);
    // The newest is linked on top.
    EXPECT_EQ(flying[1]->targetObject(), mobile);
    EXPECT_EQ(flying[0]->targetObject(), nullptr);
    EXPECT_EQ(flying[0]->targetXY(), packXY(1010, 1011));
    EXPECT_EQ(flying[0]->targetZ(), 4);
    EXPECT_EQ(flying[0]->hue(), 0);
}

TEST_F(CombatEffects, HuedAndParticleEffects)
{
    dispatch(effect(0xC0, 2, 0, 0, 0x3728).bytes());
    dispatch(effect(0xC7, 2, 0, 0, 1).bytes());
    dispatch(effect(0xC7, 2, 0, 0, 0).bytes());
    dispatch(effect(0xC7, 2, 0, 0, 0x3728).bytes());
    dispatch(effect(0x70, 9, 0, 0, 0x3728).bytes());
    std::vector<MissileGump*> shown = missiles();
    ASSERT_EQ(shown.size(), 2u);
    for (MissileGump* missile : shown) {
        EXPECT_TRUE(missile->isFixed());
        EXPECT_EQ(missile->hue(), 0x21);
        EXPECT_EQ(missile->renderMode(), 2);
    }
}

TEST_F(CombatEffects, PositionsPastTheSignedRangeAreHeldAtItsEnd)
{
    // Wire positions are unsigned; the world's are signed 16-bit.
    ServerPacket packet = fixedPacket(0x70);
    packet.u8(2).u32(0).u32(0).u16(0x3728).u16(59626).u16(65535).u8(0).u16(59626).u16(65535).u8(0).u8(5).u8(10)
        .u8(0).u8(0).u8(0).u8(0);
    dispatch(packet.bytes());
    ASSERT_EQ(missiles().size(), 1u);
    ASSERT_NE(missiles()[0]->worldObject(), nullptr);
    EXPECT_EQ(missiles()[0]->worldObject()->x, 32767);
}

TEST_F(CombatEffects, SequencingRecordsEffectsAndSoundsUntilItStops)
{
    dispatch(fixedPacket(0x7B).u8(3).bytes());
    EXPECT_EQ(state.messages.waitingBoxes, (Calls { "not sequencing!" }));
    dispatch(fixedPacket(0x7B).u8(0).bytes());
    dispatch(fixedPacket(0x7B).u8(0).bytes());
    EXPECT_EQ(state.messages.waitingBoxes, (Calls { "not sequencing!", "already sequencing!" }));
    ASSERT_TRUE(isEffectRecordingActive());
    dispatch(effect(0x70, 2, 0, 0, 0x3728).bytes());
    dispatch(fixedPacket(0x54).u8(1).u16(100).u16(0).u16(1001).u16(1002).u16(0).bytes());
    ASSERT_NE(currentRecordedSequence(), nullptr);
    EXPECT_EQ(currentRecordedSequence()->entryCount(), 2u);
    EXPECT_TRUE(missiles().empty());
    EXPECT_TRUE(sounds.calls.empty());

    // An empty sequence goes as it stops.
    dispatch(fixedPacket(0x7B).u8(2).bytes());
    EXPECT_FALSE(isEffectRecordingActive());
    dispatch(fixedPacket(0x7B).u8(0).bytes());
    dispatch(fixedPacket(0x7B).u8(1).bytes());
    EXPECT_FALSE(isEffectRecordingActive());
}

TEST_F(CombatEffects, SequencingRecordsTheServersAnimationsAndLetsADeathPlay)
{
    Mobile* mobile = addMobile(kCombatOther, 1003, 1003);
    dispatch(fixedPacket(0x7B).u8(0).bytes());
    dispatch(fixedPacket(0x6E).u32(kCombatOther).u16(12).u16(5).u16(1).u8(0).u8(0).u8(1).bytes());
    ASSERT_NE(currentRecordedSequence(), nullptr);
    EXPECT_EQ(currentRecordedSequence()->entryCount(), 1u);
    EXPECT_FALSE(mobile->animationRunning) << "the server's animation waits for the show";
    // The mobile dies while the show is recorded: its fall is the client's
    // own action and plays at once, so the dying mobile goes in time.
    dispatch(fixedPacket(0xAF).u32(kCombatOther).u32(0).u32(0).bytes());
    EXPECT_EQ(currentRecordedSequence()->entryCount(), 1u);
    EXPECT_TRUE(mobile->animationRunning);
    EXPECT_TRUE(mobile->dying);
}

TEST_F(CombatEffects, ARecordingThatIsNeverStoppedKeepsOnlyItsLatestRecords)
{
    const size_t sent = RecordedSequence::kMaxEntries + 10;
    dispatch(fixedPacket(0x7B).u8(0).bytes());
    for (size_t i = 0; i < sent; ++i)
        dispatch(fixedPacket(0x54).u8(1).u16(100).u16(0).u16(uint16_t(i)).u16(1002).u16(0).bytes());
    ASSERT_NE(currentRecordedSequence(), nullptr);
    EXPECT_EQ(currentRecordedSequence()->entryCount(), RecordedSequence::kMaxEntries);
    dispatch(fixedPacket(0x7B).u8(1).bytes());
    ASSERT_EQ(sounds.calls.size(), RecordedSequence::kMaxEntries);
    EXPECT_EQ(sounds.calls.front(), "soundAt 100 10,1002,0") << "the oldest records went";
    EXPECT_EQ(sounds.calls.back(), "soundAt 100 " + std::to_string(sent - 1) + ",1002,0");
}

// Sound, music, light, weather, time ---------------------------------------

TEST_F(CombatEffects, SoundModesAndTheHighestId)
{
    dispatch(fixedPacket(0x54).u8(0).u16(2000).u16(0).u16(1001).u16(1002).u16(0).bytes());
    EXPECT_EQ(soundEffects().ambient().current.id, 2000);
    dispatch(fixedPacket(0x54).u8(1).u16(1489).u16(0).u16(1001).u16(1002).u16(0).bytes());
    dispatch(fixedPacket(0x54).u8(1).u16(1488).u16(0).u16(1001).u16(1002).u16(uint16_t(-2)).bytes());
    EXPECT_EQ(sounds.calls, (Calls { "soundAt 1488 1001,1002,-2" }));
    soundEffects().playAmbientLoop(0);
}

TEST_F(CombatEffects, MusicWordCarriesTheIdAndTheMode)
{
    dispatch(fixedPacket(0x6D).u16(0x0007).bytes());
    ASSERT_FALSE(musicSystem().stack().empty());
    EXPECT_EQ(musicSystem().stack().front().kind, MusicRequestKind::Base);
    EXPECT_EQ(musicSystem().stack().front().id, 7);
    dispatch(fixedPacket(0x6D).u16(0x1005).bytes());
    EXPECT_EQ(musicSystem().stack().back().kind, MusicRequestKind::OneShot);
    EXPECT_EQ(musicSystem().stack().back().id, 5);
    dispatch(fixedPacket(0x6D).u16(0x0FFF).bytes());
    EXPECT_EQ(musicSystem().stack().front().id, kNoMusic);
    dispatch(fixedPacket(0x6D).u16(0x1FFF).bytes());
    for (const MusicRequest& request : musicSystem().stack())
        EXPECT_NE(request.kind, MusicRequestKind::OneShot);
}

TEST_F(CombatEffects, PersonalLightOnlyForThePlayer)
{
    dispatch(fixedPacket(0x4E).u32(kCombatOther).u8(9).bytes());
    EXPECT_EQ(player()->lightModifier, 0);
    dispatch(fixedPacket(0x4E).u32(kPlayerSerial).u8(9).bytes());
    EXPECT_EQ(player()->lightModifier, 9);
}

TEST_F(CombatEffects, WeatherAndGameTime)
{
    dispatch(fixedPacket(0x65).u8(2).u8(200).u8(uint8_t(-5)).bytes());
    EXPECT_EQ(weatherState().mode, WeatherMode::Snow);
    EXPECT_EQ(weatherState().target, WeatherState::kMaxParticles);
    dispatch(fixedPacket(0x5B).u8(12).u8(30).u8(5).bytes());
    EXPECT_EQ(state.shell.gameTime, "12:30:5");
}

// Seasons --------------------------------------------------------------------

struct SeasonCase {
    const char* name;
    int32_t before;
    bool desolation;
    uint8_t season;
    uint8_t override;
    int32_t after;
    bool resets; // the world around the player is loaded again
};

class Seasons : public CombatEffects, public testing::WithParamInterface<SeasonCase> { };

TEST_P(Seasons, CurrentSession)
{
    const SeasonCase& row = GetParam();
    int32_t kept = settings().getBoolSetting(u"Desolation");
    settings().setBoolSetting(u"Desolation", row.desolation ? 1 : 0);
    setSeason(row.before);
    state.gameState.inGame = true;
    // The cell grid stands around the player, as after its first placing.
    worldCellGrid().follow();
    dropItem(kCombatItem, 1001, 1001);
    // The walking state, the light levels and the player's own light are
    // things a reset clears.
    stepQueue().serverFollow = true;
    lightLevels() = LightLevels { 10, 4 };
    player()->lightModifier = 4;
    dispatch(fixedPacket(0xBC).u8(row.season).u8(row.override).bytes());
    settings().setBoolSetting(u"Desolation", kept);
    EXPECT_EQ(getSeason(), row.after);
    EXPECT_EQ(stepQueue().serverFollow, !row.resets);
    EXPECT_EQ(lightLevels().global, row.resets ? 0 : 10);
    EXPECT_EQ(lightLevels().personal, row.resets ? 0 : 4);
    EXPECT_EQ(player()->lightModifier, row.resets ? 0 : 4);
    resetLightLevels();
    player()->lightModifier = 0;
    // The player is back where it stood, and dynamic objects outlive a reset.
    EXPECT_TRUE(player()->isPlaced());
    EXPECT_EQ(player()->x, test::kCentreX);
    EXPECT_NE(findItemBySerial(kCombatItem), nullptr);
    EXPECT_EQ(sounds.calls, row.resets && row.after == 4 ? Calls { "soundAt 581 1000,1000,0" } : Calls {});
}

INSTANTIATE_TEST_SUITE_P(Table, Seasons,
    testing::Values(SeasonCase { "Same", 2, false, 2, 0, 2, false },
        SeasonCase { "Winter", 0, false, 3, 0, 3, true },
        SeasonCase { "DesolationBlocks", 4, true, 1, 0, 4, false },
        SeasonCase { "DesolationOverridden", 4, true, 1, 1, 1, true },
        SeasonCase { "DesolationOff", 2, false, 4, 0, 2, true },
        SeasonCase { "DesolationOn", 2, true, 4, 0, 4, true },
        SeasonCase { "PastTheLast", 3, false, 9, 0, 0, true }),
    [](const testing::TestParamInfo<SeasonCase>& row) { return std::string(row.param.name); });

TEST_F(CombatEffects, SeasonOfAShardBehindIsKeptInItsSession)
{
    auto* behind = new GameConnection;
    ShardSession* other = addShardSession("Behind", behind);
    other->season = 1;
    setSeason(2);
    int32_t kept = settings().getBoolSetting(u"Desolation");
    settings().setBoolSetting(u"Desolation", 0);
    dispatch(fixedPacket(0xBC).u8(3).u8(0).bytes(), behind);
    EXPECT_EQ(other->season, 3);
    EXPECT_EQ(getSeason(), 2);
    dispatch(fixedPacket(0xBC).u8(7).u8(0).bytes(), behind);
    EXPECT_EQ(other->season, 0);
    dispatch(fixedPacket(0xBC).u8(4).u8(0).bytes(), behind);
    EXPECT_EQ(other->season, 0);

    // While the shown season is the desolation, the shard behind keeps its
    // own unless it was the desolation too and the packet overrides.
    setSeason(4);
    dispatch(fixedPacket(0xBC).u8(1).u8(1).bytes(), behind);
    EXPECT_EQ(other->season, 0);
    other->season = 4;
    dispatch(fixedPacket(0xBC).u8(1).u8(0).bytes(), behind);
    EXPECT_EQ(other->season, 4);
    dispatch(fixedPacket(0xBC).u8(1).u8(1).bytes(), behind);
    EXPECT_EQ(other->season, 1);
    settings().setBoolSetting(u"Desolation", kept);
}

} // namespace
