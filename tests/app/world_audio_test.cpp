// The sound layer tied to the world: where the player stands (only once in
// the world), war mode, distances the way the facet wraps, and the world's
// sounds played on real channels (the null device) with the pan, volume,
// pitch and duplicate rule they ask for.

#include "app/world_audio.h"
#include "app/world_wiring.h"
#include "audio/sound_effects.h"
#include "data/client_services.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/loaded_data_files.h"
#include "platform/headless/null_audio_device.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int32_t kStep = 299;
constexpr int16_t kPlayerX = 1000;
constexpr int16_t kPlayerY = 2000;

class WorldAudio : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousGameState = installGameState(nullptr);
        installGameState(m_previousGameState);
        startWorldObjects();
        PlayerMobile* self = createPlayerObject();
        self->x = kPlayerX;
        self->y = kPlayerY;
        mapView() = MapView {};
        m_previousAudio = installAudioServices(&m_services);
    }
    void TearDown() override
    {
        installAudioServices(m_previousAudio);
        gameState().setPlayerInGame(false);
        initWorldObjects();
        installGameState(m_previousGameState);
    }

    WorldAudioServices m_services;
    AudioServices* m_previousAudio = nullptr;
    GameStateService* m_previousGameState = nullptr;
};

TEST_F(WorldAudio, ThePlayerStandsSomewhereOnlyOnceInTheWorld)
{
    int16_t x = -1;
    int16_t y = -1;
    player()->warMode = 1;
    EXPECT_FALSE(m_services.playerPosition(x, y)) << "the player object exists before the game";
    EXPECT_FALSE(m_services.isPlayerInWarMode());
    gameState().setPlayerInGame(true);
    ASSERT_TRUE(m_services.playerPosition(x, y));
    EXPECT_EQ(x, kPlayerX);
    EXPECT_EQ(y, kPlayerY);
    EXPECT_TRUE(m_services.isPlayerInWarMode());
    player()->warMode = 0;
    EXPECT_FALSE(m_services.isPlayerInWarMode());
    // Until the world keeps a facet number and the front end the server's
    // features, these answer the first facet and nothing granted.
    EXPECT_EQ(m_services.currentFacet(), 0);
    EXPECT_FALSE(m_services.hasServerFeature(0x08));
}

TEST_F(WorldAudio, InstalledAtStartUpBothTiesAreReal)
{
    installAudioServices(m_previousAudio);
    WorldSounds* previousSounds = installWorldService<WorldSounds>(nullptr);
    installWorldAudio();
    EXPECT_NE(&worldService<WorldSounds>(), &doNothingWorldService<WorldSounds>());
    gameState().setPlayerInGame(true);
    int16_t x = 0;
    int16_t y = 0;
    EXPECT_TRUE(audioServices().playerPosition(x, y));
    EXPECT_EQ(x, kPlayerX);
    installWorldService<WorldSounds>(previousSounds);
    m_previousAudio = installAudioServices(&m_services);
}

struct DistanceCase {
    const char* name;
    int16_t x1, y1, x2, y2;
    int32_t distance;
};

class WorldDistance : public WorldAudio, public ::testing::WithParamInterface<DistanceCase> { };

TEST_P(WorldDistance, IsMeasuredTheWayTheFacetWraps)
{
    const DistanceCase& c = GetParam();
    EXPECT_EQ(m_services.tileDistance(c.x1, c.y1, c.x2, c.y2), c.distance);
    EXPECT_EQ(m_services.tileDistance(c.x2, c.y2, c.x1, c.y1), c.distance);
}

// The default map view wraps x below 5120 round 5120 cells and y round 4096.
INSTANTIATE_TEST_SUITE_P(Cases, WorldDistance,
    ::testing::Values(DistanceCase { "LargerAxisOffset", 1000, 1000, 1003, 1010, 10 },
        DistanceCase { "Same", 1000, 1000, 1000, 1000, 0 },
        DistanceCase { "AcrossTheWrapInX", 10, 500, 5110, 500, 20 },
        DistanceCase { "AcrossTheWrapInY", 300, 4090, 300, 5, 11 },
        DistanceCase { "HalfWayRoundIsTheSameEitherWay", 0, 0, 2560, 0, 2560 },
        DistanceCase { "WrappingPartToTheRest", 5119, 100, 5120, 100, 9999 },
        DistanceCase { "OutsideTheWrappingPartNothingWraps", 5200, 10, 7000, 4090, 4080 }),
    [](const ::testing::TestParamInfo<DistanceCase>& distance) { return std::string(distance.param.name); });

std::string soundRecord(size_t samples)
{
    std::string bytes(kSoundRecordHeaderBytes, 'h');
    for (size_t i = 0; i < samples; ++i)
        bytes += fixture::le16(uint16_t(int16_t(i * 37 % 20000 - 10000)));
    return bytes;
}

// The world's sounds on channels of the null device, with one footstep
// sound long enough to be still sounding when the next one starts.
class WorldSoundsOnChannels : public WorldAudio {
protected:
    void SetUp() override
    {
        WorldAudio::SetUp();
        fixture::writeRequiredDataFiles(m_client.root(), "client", { "soundidx.mul", "sound.mul" });
        std::vector<fixture::IndexedRecord> records(kStep + 1);
        records[kStep].bytes = soundRecord(30000);
        fixture::writeIndexedPair(m_client.root(), "client", "soundidx.mul", "sound.mul", records);
        m_files.emplace();
        m_effects.initSoundDefaults();
        m_effects.initDirectSound(&m_device);
        m_effects.updateSound();
        gameState().setPlayerInGame(true);
    }
    void TearDown() override
    {
        m_effects.shutdownSound();
        m_files.reset();
        WorldAudio::TearDown();
    }

    platform::SoundBuffer& channelBuffer(int32_t index) { return *m_effects.channel(index)->buffer(); }
    int32_t busyChannels()
    {
        int32_t busy = 0;
        for (int i = 0; i < kSoundChannelCount; ++i)
            busy += m_effects.channel(i)->soundId == kStep;
        return busy;
    }

    fixture::ClientDirectory m_client;
    std::optional<fixture::LoadedDataFiles> m_files;
    platform::NullAudioDevice m_device { kSoundRate, false };
    SoundEffects m_effects;
    ChannelWorldSounds m_sounds { m_effects };
    ScopedWorldService<WorldSounds> m_soundsGuard { m_sounds };
};

TEST_F(WorldSoundsOnChannels, APlacedSoundIsPannedAndQuietenedByItsOffsetFromThePlayer)
{
    const float factor = m_effects.channel(0)->factor;
    worldService<WorldSounds>().playSoundAt(kStep, kPlayerX + 1, kPlayerY, 7, 1.0f, false, 0, true);
    EXPECT_EQ(channelBuffer(0).pan(), 69);
    EXPECT_EQ(channelBuffer(0).volume(), channelVolume(int32_t(1.0f * 0.055555556f * -2500.0f), factor));
    worldService<WorldSounds>().playSoundAt(kStep, kPlayerX, kPlayerY + 18, 0, 1.0f, false, 0, true);
    EXPECT_EQ(channelBuffer(1).pan(), -1250);
    EXPECT_EQ(channelBuffer(1).volume(), channelVolume(-2500, factor));
    // Half the factor, half as much quieter.
    worldService<WorldSounds>().playSoundAt(kStep, kPlayerX, kPlayerY + 18, 0, 0.5f, false, 0, true);
    EXPECT_EQ(channelBuffer(2).volume(), channelVolume(-1250, factor));
    // Without the player in the world a sound cannot be placed: it plays as
    // it is, in the middle at full volume.
    gameState().setPlayerInGame(false);
    worldService<WorldSounds>().playSoundAt(kStep, kPlayerX + 5, kPlayerY, 0, 1.0f, false, 0, true);
    EXPECT_EQ(channelBuffer(3).pan(), 0);
    EXPECT_EQ(channelBuffer(3).volume(), channelVolume(0, factor));
}

TEST_F(WorldSoundsOnChannels, AnUnplacedSoundKeepsItsPanAndVolume)
{
    worldService<WorldSounds>().playSound(kStep, -300, -1000, false, 0, true);
    EXPECT_EQ(channelBuffer(0).pan(), -300);
    EXPECT_EQ(channelBuffer(0).volume(), channelVolume(-1000, m_effects.channel(0)->factor));
}

TEST_F(WorldSoundsOnChannels, DuplicatesStartAgainOnlyWhenAllowed)
{
    worldService<WorldSounds>().playSound(kStep, 0, 0, false, 0, false);
    worldService<WorldSounds>().playSound(kStep, 0, 0, false, 0, false);
    EXPECT_EQ(busyChannels(), 1);
    worldService<WorldSounds>().playSoundAt(kStep, kPlayerX, kPlayerY, 0, 1.0f, false, 0, true);
    worldService<WorldSounds>().playSound(kStep, 0, 0, false, 0, true);
    EXPECT_EQ(busyChannels(), 3);
}

TEST_F(WorldSoundsOnChannels, LoopsAndPitchJitterReachTheChannel)
{
    worldService<WorldSounds>().playSound(kStep, 0, 0, true, 0, true);
    EXPECT_TRUE(m_effects.channel(0)->loop);
    // A frequency of 22048 + d plays d more samples per 22048 output frames;
    // 14 % moves it by at most 3086 Hz either way.
    bool moved = false;
    for (int32_t channel = 1; channel < kSoundChannelCount; ++channel) {
        worldService<WorldSounds>().playSoundAt(kStep, kPlayerX, kPlayerY, 0, 1.0f, false, 14, true);
        ASSERT_EQ(m_effects.channel(channel)->soundId, kStep);
        uint32_t before = 0;
        uint32_t write = 0;
        channelBuffer(channel).positions(before, write);
        m_device.mixFrames(2756); // an eighth of a second
        uint32_t after = 0;
        channelBuffer(channel).positions(after, write);
        const int32_t frames = int32_t(((after - before) & 0xFFFF) / 2);
        EXPECT_LE(std::abs(frames - 2756), 3086 / 8 + 1);
        moved = moved || frames != 2756;
        channelBuffer(channel).stop();
    }
    EXPECT_TRUE(moved) << "the pitch never varied";
}

} // namespace
