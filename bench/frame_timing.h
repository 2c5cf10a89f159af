#pragma once
// The frame benchmarks' measure: one frame's work timed against a memcpy of
// the back buffer's bytes in the same loop, so that the ratio says how many
// plain copies of the frame the work costs on this machine.

#include "gfx/back_buffer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

// Runs `frame` once per iteration; sets the counters frame_us, memcpy_us and
// ratio (frame time over copy time).
template <typename Frame>
void timeFrameAgainstMemcpy(benchmark::State& state, const BackBuffer& buffer, Frame frame)
{
    using Clock = std::chrono::steady_clock;
    auto nanoseconds = [](Clock::duration d) {
        return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
    };
    std::vector<uint16_t> copy(size_t(buffer.pixelCount()));
    const size_t bytes = copy.size() * sizeof(uint16_t);
    Clock::duration frameTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        frame();
        benchmark::DoNotOptimize(buffer.pixels());
        Clock::time_point middle = Clock::now();
        std::memcpy(copy.data(), buffer.pixels(), bytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        frameTime += middle - start;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["frame_us"] = nanoseconds(frameTime) / iterations / 1000;
    state.counters["memcpy_us"] = nanoseconds(referenceTime) / iterations / 1000;
    state.counters["ratio"] = nanoseconds(referenceTime) > 0 ? nanoseconds(frameTime) / nanoseconds(referenceTime) : 0;
}
