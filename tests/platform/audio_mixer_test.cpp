// The mixer on the null device: what comes out is checked against values
// computed here from the samples written, the decibel rule and the pan rule.

#include "platform/clock.h"
#include "platform/headless/null_audio_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

int32_t q15(double decibelHundredths) { return int32_t(std::lround(std::pow(10.0, decibelHundredths / 2000.0) * 32768)); }

void writeSamples(platform::SoundBuffer& buffer, uint32_t offset, const std::vector<int16_t>& samples)
{
    platform::LockedRegions regions;
    ASSERT_TRUE(buffer.lock(offset, uint32_t(samples.size() * 2), regions));
    std::memcpy(regions.first, samples.data(), regions.firstBytes);
    if (regions.second)
        std::memcpy(regions.second, reinterpret_cast<const uint8_t*>(samples.data()) + regions.firstBytes,
            regions.secondBytes);
    buffer.unlock(regions);
}

std::vector<int16_t> ramp(size_t count, int32_t step, int32_t start)
{
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = int16_t(start + int32_t(i) * step);
    return samples;
}

class NullMixer : public ::testing::Test {
protected:
    platform::NullAudioDevice m_device { 22048, false };
};

TEST_F(NullMixer, MonoBufferAtItsOwnRatePlaysItsSamplesInBothChannels)
{
    auto buffer = m_device.createBuffer({ 1, 22048 }, 2000);
    const std::vector<int16_t> samples = ramp(1000, 31, -15000);
    writeSamples(*buffer, 0, samples);
    buffer->play();
    m_device.setCapture(true);
    m_device.mixFrames(1000);
    const std::vector<int16_t> out = m_device.takeCaptured();
    ASSERT_EQ(out.size(), 2000u);
    for (size_t f = 0; f < 1000; ++f) {
        ASSERT_EQ(out[2 * f], samples[f]) << f;
        ASSERT_EQ(out[2 * f + 1], samples[f]) << f;
    }
}

TEST_F(NullMixer, VolumeAndPanScaleEachSideByTheirDecibels)
{
    auto buffer = m_device.createBuffer({ 1, 22048 }, 400);
    const std::vector<int16_t> samples = ramp(200, 97, -9700);
    writeSamples(*buffer, 0, samples);
    ASSERT_TRUE(buffer->setVolume(-1000));
    ASSERT_TRUE(buffer->setPan(600)); // right: the left side loses 6 dB more
    EXPECT_FALSE(buffer->setVolume(10));
    EXPECT_FALSE(buffer->setPan(-10001));
    buffer->play();
    m_device.setCapture(true);
    m_device.mixFrames(200);
    const std::vector<int16_t> out = m_device.takeCaptured();
    const int32_t left = q15(-1600);
    const int32_t right = q15(-1000);
    for (size_t f = 0; f < 200; ++f) {
        ASSERT_EQ(out[2 * f], (samples[f] * left) >> 15) << f;
        ASSERT_EQ(out[2 * f + 1], (samples[f] * right) >> 15) << f;
    }
}

TEST_F(NullMixer, HalfFrequencyInterpolatesBetweenSamplesAndWrapsTheRing)
{
    auto buffer = m_device.createBuffer({ 1, 22048 }, 8);
    const std::vector<int16_t> samples { 0, 1000, -2000, 4000 };
    writeSamples(*buffer, 0, samples);
    ASSERT_TRUE(buffer->setFrequency(11024));
    buffer->play();
    m_device.setCapture(true);
    m_device.mixFrames(10);
    const std::vector<int16_t> out = m_device.takeCaptured();
    // Every other output frame lies halfway between two samples; the last
    // sample leads back to the first.
    const int16_t expected[] = { 0, 500, 1000, -500, -2000, 1000, 4000, 2000, 0, 500 };
    for (size_t f = 0; f < 10; ++f)
        EXPECT_EQ(out[2 * f], expected[f]) << f;
    uint32_t play = 0;
    uint32_t write = 0;
    buffer->positions(play, write);
    EXPECT_EQ(play, 2u); // five frames played: one and a quarter laps of four
}

// Full-scale neighbours at the last step before the next sample: the
// difference times the fraction is near 2^32.
TEST(NullMixerFullScale, InterpolatesBetweenTheLoudestNeighbours)
{
    platform::NullAudioDevice device { 65536, false };
    auto buffer = device.createBuffer({ 1, 65535 }, 4);
    writeSamples(*buffer, 0, { -32768, 32767 });
    buffer->play();
    device.setCapture(true);
    device.mixFrames(2);
    const std::vector<int16_t> out = device.takeCaptured();
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], -32768);
    // The second frame lies 65535/65536 of the way from -32768 to 32767.
    EXPECT_EQ(out[2], -32768 + int32_t(int64_t(65535) * 65535 >> 16));
    EXPECT_EQ(out[3], out[2]);
}

TEST_F(NullMixer, SumsClipAndStoppedBuffersAreSilent)
{
    auto first = m_device.createBuffer({ 1, 22048 }, 4);
    auto second = m_device.createBuffer({ 2, 22048 }, 4);
    auto stopped = m_device.createBuffer({ 1, 22048 }, 4);
    writeSamples(*first, 0, { 30000, -30000 });
    writeSamples(*second, 0, { 10000, -10000 });
    writeSamples(*stopped, 0, { 5, 5 });
    first->play();
    second->play();
    m_device.setCapture(true);
    m_device.mixFrames(2);
    const std::vector<int16_t> out = m_device.takeCaptured();
    // The stereo ring holds one frame, played again in the second.
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], 20000);
    EXPECT_EQ(out[2], -20000);
    EXPECT_EQ(out[3], -32768);
}

TEST_F(NullMixer, WritePositionStaysAPeriodAheadAndLockSplitsAtTheEnd)
{
    auto buffer = m_device.createBuffer({ 1, 22048 }, 65536);
    buffer->play();
    uint32_t play = 0;
    uint32_t write = 0;
    buffer->positions(play, write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, (platform::NullAudioDevice::kPeriodFrames + 2) * 2);
    m_device.mixFrames(32000);
    buffer->positions(play, write);
    EXPECT_EQ(play, 64000u);
    EXPECT_EQ(write, (64000u + (platform::NullAudioDevice::kPeriodFrames + 2) * 2) % 65536);
    platform::LockedRegions regions;
    ASSERT_TRUE(buffer->lock(65000, 1000, regions));
    EXPECT_EQ(regions.firstBytes, 536u);
    EXPECT_EQ(regions.secondBytes, 464u);
    EXPECT_FALSE(buffer->lock(0, 65537, regions));
}

TEST_F(NullMixer, BytesHandedOutForWritingPlayAsSilenceUntilUnlocked)
{
    auto buffer = m_device.createBuffer({ 1, 22048 }, 16);
    writeSamples(*buffer, 0, { 1, 2, 3, 4, 5, 6, 7, 8 });
    buffer->play();
    platform::LockedRegions regions;
    ASSERT_TRUE(buffer->lock(12, 8, regions)); // samples 6, 7, 0 and 1
    m_device.setCapture(true);
    m_device.mixFrames(8);
    std::vector<int16_t> out = m_device.takeCaptured();
    // A frame whose next sample (the one interpolation reads) is locked is silent too.
    const int16_t whileLocked[] = { 0, 0, 3, 4, 5, 0, 0, 0 };
    for (size_t f = 0; f < 8; ++f)
        EXPECT_EQ(out[2 * f], whileLocked[f]) << f;
    buffer->unlock(regions);
    m_device.mixFrames(8);
    out = m_device.takeCaptured();
    for (size_t f = 0; f < 8; ++f)
        EXPECT_EQ(out[2 * f], int16_t(f + 1)) << f;
}

TEST(NullAudioDevice, FollowsTheClockItIsGiven)
{
    platform::FakeClock fake(0xFFFFFF00u);
    platform::ScopedClock guard(fake);
    platform::NullAudioDevice device(22048, true);
    auto buffer = device.createBuffer({ 1, 22048 }, 65536);
    buffer->play();
    fake.advance(1000); // across the tick count's wrap
    uint32_t play = 0;
    uint32_t write = 0;
    buffer->positions(play, write);
    EXPECT_EQ(play, 44096u);
    fake.advance(60000); // a stall is caught up by one second only
    buffer->positions(play, write);
    EXPECT_EQ(play, (44096u * 2) % 65536);
}

TEST(UnavailableAudioDevice, MakesNoBuffers)
{
    auto device = platform::createUnavailableAudioDevice();
    EXPECT_FALSE(device->isAvailable());
    EXPECT_EQ(device->createBuffer({ 1, 22048 }, 65536), nullptr);
}

} // namespace
