// Composing the gump layer: a full desktop of 20 overlapping windows with
// colour-keyed pages, saved, drawn and put back over the whole 800 x 600
// client area of a ring whose start lies mid-buffer (so the composition is
// split at the ring's end), against a memcpy of the frame's bytes.

#include "bench/bench_timing.h"
#include "gfx/back_buffer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A window of its own pixels: a frame of opaque colour with scattered
// transparent pixels, as a window's page is.
class WindowGump final : public CGump {
public:
    WindowGump(int32_t x, int32_t y, int32_t width, int32_t height, std::mt19937& random)
        : CGump(x, y, nullptr, 1, width, height)
    {
        GumpPage& face = *page(0);
        face.allocate(width, height);
        std::uniform_int_distribution<int> colour(1, 0x7FFF);
        std::uniform_int_distribution<int> hole(0, 15);
        for (uint16_t& pixel : face.pixels)
            pixel = hole(random) == 0 ? 0 : uint16_t(colour(random));
    }
};

void composeDesktopAgainstMemcpy(benchmark::State& state)
{
    BackBuffer buffer;
    buffer.resetSizeTo(800, 600);
    buffer.create(640, 480, BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    buffer.scrollWorldView(-211, -137);
    buffer.renderWorldDirtyRects(nullptr);
    gumpSystemStartup();
    gumpSettings().useToolTips = false;
    gumpAttachBackBuffer(&buffer);
    gumpBackBufferRecreated();
    GumpScreen screen;
    screen.width = 800;
    screen.height = 600;
    gumpSetScreen(screen);

    std::mt19937 random(20);
    std::uniform_int_distribution<int> width(180, 420);
    std::uniform_int_distribution<int> height(140, 320);
    std::uniform_int_distribution<int> x(-60, 700);
    std::uniform_int_distribution<int> y(-40, 520);
    for (int i = 0; i < 20; ++i)
        gumpLink(new WindowGump(x(random), y(random), width(random), height(random), random), nullptr);

    const ScreenRect whole { 0, 0, 800, 600 };
    std::vector<uint16_t> frame(size_t(buffer.pixelCount()));
    const size_t bytes = frame.size() * sizeof(uint16_t);
    Clock::duration composeTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        gumpRedrawRect(whole, true);
        benchmark::DoNotOptimize(buffer.pixels());
        Clock::time_point middle = Clock::now();
        std::memcpy(frame.data(), buffer.pixels(), bytes);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        composeTime += middle - start;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["compose_us"] = elapsedNanoseconds(composeTime) / iterations / 1000;
    state.counters["memcpy_us"] = elapsedNanoseconds(referenceTime) / iterations / 1000;
    state.counters["ratio"] = elapsedNanoseconds(referenceTime) > 0
        ? elapsedNanoseconds(composeTime) / elapsedNanoseconds(referenceTime)
        : 0;
    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
}

BENCHMARK(composeDesktopAgainstMemcpy)->Unit(benchmark::kMicrosecond);

} // namespace
