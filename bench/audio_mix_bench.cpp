// The sound mixer: one second of 44.1 kHz stereo output with eight sound
// channels (22048 Hz mono rings at jittered frequencies, panned, at several
// volumes) and one music ring (44.1 kHz stereo), as the device thread mixes
// it in 1024-frame periods. Reported as times real time (x_realtime: seconds
// of audio per second of processor time), and against a reference measured
// in the same run: copying the same output bytes (speed_vs_copy).

#include "platform/headless/null_audio_device.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kPeriod = 1024;

struct Scene {
    platform::NullAudioDevice device { kRate, false };
    std::vector<std::unique_ptr<platform::SoundBuffer>> buffers;

    Scene()
    {
        std::mt19937 random(11);
        auto fill = [&random](platform::SoundBuffer& buffer) {
            platform::LockedRegions regions;
            buffer.lock(0, buffer.size(), regions);
            for (uint32_t i = 0; i < regions.firstBytes; ++i)
                regions.first[i] = uint8_t(random());
            buffer.unlock(regions);
        };
        for (int i = 0; i < 8; ++i) {
            auto channel = device.createBuffer({ 1, 22048 }, 65536);
            fill(*channel);
            channel->setFrequency(22048 + uint32_t(i) * 150);
            channel->setPan(-2500 + i * 700);
            channel->setVolume(-i * 200);
            channel->play();
            buffers.push_back(std::move(channel));
        }
        auto music = device.createBuffer({ 2, 44100 }, 131072);
        fill(*music);
        music->setVolume(-10);
        music->play();
        buffers.push_back(std::move(music));
    }
};

double gCopySecondsPerSecond = 0.0;

double processorSeconds(std::clock_t start) { return double(std::clock() - start) / CLOCKS_PER_SEC; }

void BM_CopyOneSecondOfOutput(benchmark::State& state)
{
    std::vector<int16_t> source(2 * kRate, 7);
    std::vector<int16_t> target(2 * kRate);
    double seconds = 0.0;
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        for (uint32_t done = 0; done < kRate; done += kPeriod) {
            const uint32_t frames = std::min(kPeriod, kRate - done);
            std::memcpy(target.data() + 2 * done, source.data() + 2 * done, frames * 4);
            benchmark::ClobberMemory();
        }
        seconds += processorSeconds(start);
    }
    gCopySecondsPerSecond = seconds / double(state.iterations());
    state.counters["x_realtime"] = 1.0 / gCopySecondsPerSecond;
}
BENCHMARK(BM_CopyOneSecondOfOutput)->Unit(benchmark::kMicrosecond);

void BM_MixEightChannelsAndMusic(benchmark::State& state)
{
    Scene scene;
    double seconds = 0.0;
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        for (uint32_t done = 0; done < kRate; done += kPeriod)
            scene.device.mixFrames(std::min(kPeriod, kRate - done));
        seconds += processorSeconds(start);
    }
    const double perSecond = seconds / double(state.iterations());
    state.counters["x_realtime"] = 1.0 / perSecond;
    if (gCopySecondsPerSecond > 0)
        state.counters["speed_vs_copy"] = gCopySecondsPerSecond / perSecond;
}
BENCHMARK(BM_MixEightChannelsAndMusic)->Unit(benchmark::kMicrosecond);

} // namespace
