// The sound channels on the null device, with sound records the test writes:
// which channel a sound takes, what the ring plays (checked sample by sample
// against the record), volume and pan by distance, the ambient cross-fade,
// and records the channels must refuse.

#include "fake_audio_services.h"
#include "audio/sound_effects.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/loaded_data_files.h"
#include "platform/headless/null_audio_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

using fixture::IndexedRecord;

std::string soundRecord(const std::vector<int16_t>& samples, bool oddByte = false)
{
    std::string bytes(kSoundRecordHeaderBytes, 'h');
    for (int16_t s : samples)
        bytes += fixture::le16(uint16_t(s));
    if (oddByte)
        bytes += '\x7F';
    return bytes;
}

std::vector<int16_t> pattern(size_t count, int32_t seed)
{
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = int16_t((int32_t(i) * 37 + seed) % 20000 - 10000);
    return samples;
}

// Ids: 1 short, 2 long (crosses the ring), 3 absent, 4 header only, 5 an odd
// length, 6 and 7 loops, 8 runs past the end of sound.mul, 1487 the last id.
constexpr int32_t kShort = 1, kLong = 2, kAbsent = 3, kHeaderOnly = 4, kOdd = 5, kLoopA = 6, kLoopB = 7,
                  kPastEnd = 8, kLast = 1487;

class SoundChannels : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::writeRequiredDataFiles(m_client.root(), "client", { "soundidx.mul", "sound.mul" });
        std::vector<IndexedRecord> records(kLast + 1);
        records[kShort].bytes = soundRecord(m_short);
        records[kLong].bytes = soundRecord(m_long);
        records[kHeaderOnly].bytes = std::string(kSoundRecordHeaderBytes, 'h');
        records[kOdd].bytes = soundRecord(m_odd, true);
        records[kLoopA].bytes = soundRecord(pattern(300, 5));
        records[kLoopB].bytes = soundRecord(pattern(300, 9));
        records[kLast].bytes = soundRecord(pattern(100, 3));
        fixture::writeIndexedPair(m_client.root(), "client", "soundidx.mul", "sound.mul", records);
        // Id 8 claims more bytes than the data file holds.
        std::string index = test::TempDir::read(m_client.path() + "/soundidx.mul");
        index.replace(size_t(kPastEnd) * 12, 12, fixture::idxEntry(0, 10000000, 0));
        m_client.write("soundidx.mul", index);
        m_files.emplace();
        m_effects.initSoundDefaults();
        m_effects.initDirectSound(&m_device);
        // A new channel is taken for busy until its first service pass.
        m_effects.updateSound();
        m_device.setCapture(true);
    }
    void TearDown() override
    {
        m_effects.shutdownSound();
        m_files.reset();
    }

    // The channel's ring as the mixer plays it from its current position.
    std::vector<int16_t> mixLeft(uint32_t frames)
    {
        m_device.takeCaptured();
        m_device.mixFrames(frames);
        std::vector<int16_t> out = m_device.takeCaptured();
        std::vector<int16_t> left(frames);
        for (uint32_t f = 0; f < frames; ++f)
            left[f] = out[2 * f];
        return left;
    }

    // Frames between the play position and the first byte a new sound fills.
    static constexpr uint32_t kLead = platform::NullAudioDevice::kPeriodFrames + 2;

    fixture::ClientDirectory m_client;
    std::optional<fixture::LoadedDataFiles> m_files;
    platform::NullAudioDevice m_device { kSoundRate, false };
    SoundEffects m_effects;
    std::vector<int16_t> m_short = pattern(1000, 1);
    std::vector<int16_t> m_long = pattern(50000, 2); // 100,000 bytes: more than a ring
    std::vector<int16_t> m_odd = pattern(7, 4);
};

TEST_F(SoundChannels, TheLowestFreeChannelPlaysTheRecordAfterTheWriteLead)
{
    ASSERT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 1), 0);
    ASSERT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 1), 1);
    m_effects.channel(1)->buffer()->stop();
    const std::vector<int16_t> left = mixLeft(kLead + 1000 + 10);
    for (uint32_t f = 0; f < kLead; ++f)
        ASSERT_EQ(left[f], 0) << f;
    for (uint32_t f = 0; f < 1000; ++f)
        ASSERT_EQ(left[kLead + f], m_short[f]) << f;
    EXPECT_EQ(left[kLead + 1000], 0);
}

TEST_F(SoundChannels, WithoutDuplicatesAStillBoundSoundKeepsItsChannel)
{
    ASSERT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(m_effects.playSound(kLast, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(m_effects.playSound(kSoundIdLimit, 0, 0, 0, 0, 0), -1);
}

TEST_F(SoundChannels, RefillCarriesALongSoundAcrossTheRingsWrap)
{
    ASSERT_EQ(m_effects.playSound(kLong, 0, 0, 0, 0, 0), 0);
    std::vector<int16_t> played;
    for (int pass = 0; pass < 12; ++pass) {
        const std::vector<int16_t> left = mixLeft(5000);
        played.insert(played.end(), left.begin(), left.end());
        m_effects.updateSound();
    }
    ASSERT_GT(played.size(), kLead + m_long.size());
    for (size_t i = 0; i < m_long.size(); ++i)
        ASSERT_EQ(played[kLead + i], m_long[i]) << i;
    EXPECT_EQ(played[kLead + m_long.size()], 0);
}

TEST_F(SoundChannels, AChannelIsFreedOnceARingOfSilenceHasGoneOut)
{
    ASSERT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 0), 0);
    SoundChannel& channel = *m_effects.channel(0);
    // The first fill runs from the write lead round to the play position: the
    // record, then silence for the rest of the ring.
    const uint32_t firstSilence = kSoundChannelBytes - 2 * kLead - 2 * uint32_t(m_short.size());
    EXPECT_EQ(channel.silenceBytes, firstSilence);
    const uint32_t framesToFree = (kSoundChannelBytes - firstSilence) / 2;
    m_device.mixFrames(framesToFree - 1);
    m_effects.updateSound();
    EXPECT_EQ(channel.soundId, kShort);
    m_device.mixFrames(1);
    m_effects.updateSound();
    EXPECT_EQ(channel.soundId, kFreeSoundId);
    EXPECT_EQ(channel.data, nullptr);
}

TEST_F(SoundChannels, AnOddLengthLoopRepeatsWholeSamples)
{
    ASSERT_EQ(m_effects.playSound(kOdd, 0, 0, 1, 0, 0), 0);
    const std::vector<int16_t> left = mixLeft(kLead + 70);
    for (uint32_t f = 0; f < 70; ++f)
        ASSERT_EQ(left[kLead + f], m_odd[f % m_odd.size()]) << f;
}

TEST_F(SoundChannels, RecordsThatCannotPlayLeaveTheChannelsAlone)
{
    EXPECT_EQ(m_effects.playSound(kAbsent, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(m_effects.playSound(kHeaderOnly, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(m_effects.playSound(kPastEnd, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(m_effects.playSound(-1, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(m_effects.channel(0)->soundId, kFreeSoundId);
}

TEST_F(SoundChannels, WithEveryChannelBusyTheQuietestButTheAmbientLoopIsTaken)
{
    for (int i = 0; i < kSoundChannelCount; ++i)
        ASSERT_EQ(m_effects.playSound(kLoopA, 0, i == 2 || i == 5 ? -2500 : 0, 1, 0, 1), i);
    // Channels 2 and 5 are equally quiet: the higher one goes.
    EXPECT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 1), 5);
    // Now channel 2 is the quietest; the ambient loop takes it.
    m_effects.playAmbientLoop(uint16_t(kLoopB));
    ASSERT_EQ(m_effects.ambient().current.channel, 2);
    // All at 0 but the ambient loop's quiet channel: never that one.
    EXPECT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 1), 7);
}

TEST_F(SoundChannels, DistanceSetsVolumeAndOffsetSetsPan)
{
    FakeAudioServices services;
    services.hasPlayer = true;
    services.playerX = 100;
    services.playerY = 200;
    int32_t near = -1, below = -1, far = -1, here = -1;
    {
        ScopedAudioServices guard(services);
        near = m_effects.playSoundAt(kShort, 101, 200, 1.0f, 0, 0, 1);
        below = m_effects.playSoundAt(kShort, 100, 201, 1.0f, 0, 0, 1);
        far = m_effects.playSoundAt(kShort, 118, 200, 1.0f, 0, 0, 1);
        here = m_effects.playSoundAt(kShort, 100, 200, 1.0f, 0, 0, 1);
    }
    const int32_t nearVolume = channelVolume(int32_t(1.0f * (1 * 0.055555556f) * -2500.0f), 1.0000001f);
    EXPECT_EQ(m_effects.channel(near)->buffer()->pan(), 69);
    EXPECT_EQ(m_effects.channel(near)->buffer()->volume(), nearVolume);
    EXPECT_EQ(m_effects.channel(below)->buffer()->pan(), -69);
    EXPECT_EQ(m_effects.channel(far)->buffer()->volume(), -2500);
    EXPECT_EQ(m_effects.channel(here)->buffer()->pan(), 0);
    EXPECT_EQ(m_effects.channel(here)->buffer()->volume(), 0);

    // What the ring plays: the far side of +69 loses 0.69 dB more.
    for (int32_t i : { below, far, here })
        m_effects.channel(i)->buffer()->stop();
    m_device.takeCaptured();
    m_device.mixFrames(kLead + 100);
    const std::vector<int16_t> out = m_device.takeCaptured();
    const int32_t right = int32_t(std::lround(std::pow(10.0, nearVolume / 2000.0) * 32768));
    const int32_t left = int32_t(std::lround(std::pow(10.0, (nearVolume - 69) / 2000.0) * 32768));
    for (uint32_t f = 0; f < 100; ++f) {
        ASSERT_EQ(out[2 * (kLead + f)], (m_short[f] * left) >> 15) << f;
        ASSERT_EQ(out[2 * (kLead + f) + 1], (m_short[f] * right) >> 15) << f;
    }
}

TEST(ChannelVolume, FullAndSilentEnds)
{
    EXPECT_EQ(channelVolume(0, 255 * 0.003921569f), 0);
    EXPECT_EQ(channelVolume(-2500, 1.0f), -2500);
    // Single precision: 0.4 comes out a hair short, and the value is truncated.
    EXPECT_EQ(channelVolume(-1000, 1.0f), -999);
    for (int32_t v : { 0, -100, -2500 })
        EXPECT_EQ(channelVolume(v, 0.0f), -2500) << v;
}

TEST_F(SoundChannels, AmbientLoopFadesInAndAReturningLoopReversesTheCrossFade)
{
    m_effects.playAmbientLoop(uint16_t(kLoopA));
    const int32_t first = m_effects.ambient().current.channel;
    ASSERT_GE(first, 0);
    for (int i = 0; i < 15; ++i)
        m_effects.updateSound();
    EXPECT_EQ(m_effects.ambient().current.volume, -2200);
    m_effects.updateSound();
    EXPECT_EQ(m_effects.ambient().current.volume, -2200);
    EXPECT_EQ(m_effects.channel(first)->buffer()->volume(), channelVolume(-2200, m_effects.channel(first)->factor));

    m_effects.playAmbientLoop(uint16_t(kLoopB));
    const int32_t second = m_effects.ambient().current.channel;
    EXPECT_NE(second, first);
    EXPECT_EQ(m_effects.ambient().fading.channel, first);
    m_effects.updateSound();
    m_effects.updateSound();
    EXPECT_EQ(m_effects.ambient().fading.volume, -2240);
    EXPECT_EQ(m_effects.ambient().current.volume, -2460);

    // Back to the first loop: the fades swap, nothing new starts.
    m_effects.playAmbientLoop(uint16_t(kLoopA));
    EXPECT_EQ(m_effects.ambient().current.channel, first);
    EXPECT_EQ(m_effects.ambient().current.volume, -2240);
    EXPECT_EQ(m_effects.ambient().fading.channel, second);
    for (int i = 0; i < 3; ++i)
        m_effects.updateSound();
    EXPECT_EQ(m_effects.ambient().fading.id, 0);
    EXPECT_EQ(m_effects.ambient().fading.channel, -1);
    // The faded loop is over: its channel is free and is not started again.
    EXPECT_EQ(m_effects.channel(second)->soundId, kFreeSoundId);
    EXPECT_FALSE(m_effects.channel(second)->buffer()->isPlaying());
    EXPECT_EQ(m_effects.ambient().current.volume, -2200);
}

TEST_F(SoundChannels, ALoopAskedForWhileSoundIsOffStartsWhenSoundComesOn)
{
    m_effects.toggleSound(false);
    m_effects.playAmbientLoop(uint16_t(kLoopA));
    EXPECT_EQ(m_effects.ambient().current.id, kLoopA);
    EXPECT_EQ(m_effects.ambient().current.channel, -1);
    EXPECT_EQ(m_effects.playSound(kShort, 0, 0, 0, 0, 0), -1);
    m_effects.toggleSound(true);
    EXPECT_GE(m_effects.ambient().current.channel, 0);
    EXPECT_EQ(m_effects.channel(m_effects.ambient().current.channel)->soundId, kLoopA);
}

TEST_F(SoundChannels, JitterMovesTheFrequencyWithinItsPercentage)
{
    // A frequency of 22048 + d plays d more samples per 22048 output frames.
    for (int i = 0; i < 8; ++i) {
        const int32_t channel = m_effects.playSound(kLong, 0, 0, 0, 10, 1);
        ASSERT_GE(channel, 0);
        uint32_t before = 0;
        uint32_t write = 0;
        m_effects.channel(channel)->buffer()->positions(before, write);
        m_device.mixFrames(2756); // an eighth of a second
        uint32_t after = 0;
        m_effects.channel(channel)->buffer()->positions(after, write);
        const int32_t frames = int32_t(((after - before) & 0xFFFF) / 2);
        EXPECT_LE(std::abs(frames - 2756), 1984 / 8 + 1);
        m_effects.channel(channel)->buffer()->stop();
    }
}

} // namespace
