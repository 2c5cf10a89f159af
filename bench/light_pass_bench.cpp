// The world frame of the sample facet at night with three lights, against the
// same frame by day (the light pass then leaves every pixel as drawn),
// measured in the same loop.

#include "bench/bench_timing.h"
#include "fixtures/facet_writer.h"
#include "fixtures/light_writer.h"
#include "fixtures/sample_world.h"
#include "world/light_files.h"
#include "world/light_pass.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/world_drawing.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

std::span<const uint8_t> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const uint8_t*>(text.data()), text.size() };
}

void nightFrameAgainstDay(benchmark::State& state)
{
    fixture::SampleWorld world;
    fixture::LightFileBytes files
        = fixture::lightFileBytes({ fixture::roundLight(0, 121, 31), fixture::roundLight(4, 81, 26) });
    lightFiles().load(bytesOf(files.index), bytesOf(files.data));
    int32_t group = TileData::kFirstItemGroup + 3629 / 32;
    TileDataItemGroup data;
    for (int32_t i = 0; i < 32; ++i)
        data.records[size_t(i)] = tileData().item(3629 / 32 * 32 + i);
    data.records[size_t(3629 % 32)].flags = kTileLightSource;
    ItemGroupChange change;
    tileData().applyItemGroup(group, data, change);
    onObjectPacket(0x40000301, 3629, 0, 1, fixture::kSampleCentreX - 2, fixture::kSampleCentreY + 1, 0, 0, 0, 0);
    onObjectPacket(0x40000302, 3629, 0, 1, fixture::kSampleCentreX + 3, fixture::kSampleCentreY + 2, 0, 4, 0, 0);
    onObjectPacket(0x40000303, 3629, 0, 1, fixture::kSampleCentreX - 1, fixture::kSampleCentreY - 4, 0, 4, 0, 0);
    world.centreView(800, 600);
    BackBuffer buffer;
    buffer.create(800, 600, BufferFormat::Rgb555);
    WorldFrameDrawer drawer;
    Clock::duration nightTime {}, dayTime {};
    for (auto _ : state) {
        lightLevels().global = 22;
        Clock::time_point start = Clock::now();
        buffer.invalidateWholeScreen();
        buffer.renderWorldDirtyRects(&drawer);
        benchmark::DoNotOptimize(buffer.pixels());
        Clock::time_point middle = Clock::now();
        lightLevels().global = 0;
        buffer.invalidateWholeScreen();
        buffer.renderWorldDirtyRects(&drawer);
        benchmark::DoNotOptimize(buffer.pixels());
        Clock::time_point end = Clock::now();
        nightTime += middle - start;
        dayTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["night_us"] = elapsedNanoseconds(nightTime) / iterations / 1000;
    state.counters["day_us"] = elapsedNanoseconds(dayTime) / iterations / 1000;
    state.counters["ratio"]
        = elapsedNanoseconds(dayTime) > 0 ? elapsedNanoseconds(nightTime) / elapsedNanoseconds(dayTime) : 0;
    lightLevels() = LightLevels {};
    lightFiles().clear();
}
BENCHMARK(nightFrameAgainstDay)->Unit(benchmark::kMicrosecond);

} // namespace
