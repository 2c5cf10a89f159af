// The world view's frame while the player walks: one step of the player (the
// ring scrolls by the view's change), the world drawn into the dirty
// rectangles, then the windows (the world view, an open container and the
// paperdoll) composed over the screen and taken off again; against a memcpy of
// the frame's bytes measured in the same loop.

#include "fixtures/sample_world.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "windows/container_gump.h"
#include "windows/game_window_services.h"
#include "windows/paperdoll_gump.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_drawing.h"
#include "world/world_screen.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double nanoseconds(Clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
}

void worldViewWalkingFrame(benchmark::State& state)
{
    constexpr int32_t kWidth = 800;
    constexpr int32_t kHeight = 600;
    fixture::SampleWorld world;
    GameWindowServices services;
    gumpSystemStartup();
    BackBuffer buffer;
    buffer.create(kWidth, kHeight, BufferFormat::Rgb555);
    gumpAttachBackBuffer(&buffer);
    gumpBackBufferRecreated();
    GumpScreen screen;
    screen.width = screen.gameWidth = kWidth;
    screen.height = screen.gameHeight = kHeight;
    gumpSetScreen(screen);
    setWorldBackBuffer(&buffer);
    world.centreView(kWidth, kHeight);

    auto* view = new WorldViewGump(false);
    view->setVisible(true);
    equipItemOnMobile(player()->serial, 0x40000100, 0x0E75, Mobile::kBackpackLayer, 0);
    if (CGump* container = openContainerGump(0x40000100, 60))
        container->moveTo(560, 20, true, nullptr, false);
    if (PaperdollGump* doll = openPaperdoll(player()->serial, "Walker", 0))
        doll->moveTo(10, 250, true, nullptr, false);

    WorldFrameDrawer drawer;
    buffer.invalidateWholeScreen();
    buffer.renderWorldDirtyRects(&drawer);
    std::vector<uint16_t> copy(size_t(buffer.pixelCount()));
    const size_t bytes = copy.size() * sizeof(uint16_t);
    // Back and forth along a road of four cells.
    const int32_t steps[8][2] = { { -1, 0 }, { -1, 0 }, { 0, 1 }, { 0, 1 }, { 1, 0 }, { 1, 0 }, { 0, -1 }, { 0, -1 } };
    size_t next = 0;
    Clock::duration frameTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        const auto& step = steps[next++ % 8];
        world.stepPlayer(step[0], step[1], buffer);
        gumpUpdateOverheads();
        buffer.renderWorldDirtyRects(&drawer);
        gumpRedrawRect({ 0, 0, kWidth, kHeight }, true);
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

    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
    setWorldBackBuffer(nullptr);
}
BENCHMARK(worldViewWalkingFrame)->Unit(benchmark::kMicrosecond);

} // namespace
