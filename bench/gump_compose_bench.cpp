// Composing the gump layer: a full desktop of 20 overlapping windows with
// colour-keyed pages, saved, drawn and put back over the whole 800 x 600
// client area of a ring whose start lies mid-buffer (so the composition is
// split at the ring's end), and composed over what changed from frame to
// frame only; each against a memcpy of the frame's bytes.

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
// transparent pixels, as a window's page is; its look is its page.
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
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
};

// A desktop of 20 overlapping windows on a ring whose start lies mid-buffer
// (so that compositions are split at the ring's end).
class BenchDesktop {
public:
    BenchDesktop()
    {
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
        for (int i = 0; i < 20; ++i) {
            windows.push_back(new WindowGump(x(random), y(random), width(random), height(random), random));
            gumpLink(windows.back(), nullptr);
        }
    }
    ~BenchDesktop()
    {
        gumpSystemShutdown();
        gumpAttachBackBuffer(nullptr);
    }

    BackBuffer buffer;
    std::vector<WindowGump*> windows;
};

// Times `compose` per iteration against a memcpy of the frame's bytes.
template <typename Compose>
void timeComposition(benchmark::State& state, const BackBuffer& buffer, Compose compose)
{
    std::vector<uint16_t> frame(size_t(buffer.pixelCount()));
    const size_t bytes = frame.size() * sizeof(uint16_t);
    Clock::duration composeTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        compose();
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

// The whole desktop saved, drawn and put back over the whole 800 x 600
// client area, as after a scroll of the world.
void composeDesktopAgainstMemcpy(benchmark::State& state)
{
    BenchDesktop desktop;
    timeComposition(state, desktop.buffer, [] { gumpRedrawRect({ 0, 0, 800, 600 }, true); });
}
BENCHMARK(composeDesktopAgainstMemcpy)->Unit(benchmark::kMicrosecond);

// The same desktop composed over what changed only, frame after frame: a
// line of text typed into one window, a 44 x 44 piece of the world redrawn
// under the windows and the pointer moved (its old and new boxes).
void composeChangedDesktopAgainstMemcpy(benchmark::State& state)
{
    BenchDesktop desktop;
    gumpRedrawRect({ 0, 0, 800, 600 }, true);
    uint32_t frame = 0;
    timeComposition(state, desktop.buffer, [&] {
        ++frame;
        WindowGump* typing = desktop.windows[7];
        GumpPage& face = *typing->page(0);
        const int32_t column = int32_t(frame * 7 % uint32_t(face.width - 8));
        for (int32_t row = 10; row < 24; ++row)
            std::fill_n(face.pixels.begin() + row * face.width + column, 7, uint16_t(frame));
        typing->markLookChanged();
        const int32_t x = int32_t(frame * 13 % 740);
        const int32_t y = int32_t(frame * 29 % 540);
        const ScreenRect beneath[3] = { { x, y, x + 44, y + 44 }, { 400 + int32_t(frame % 200), 300, 420 + int32_t(frame % 200), 324 },
            { 401 + int32_t(frame % 200), 300, 421 + int32_t(frame % 200), 324 } };
        gumpRedrawChanged(beneath);
    });
}
BENCHMARK(composeChangedDesktopAgainstMemcpy)->Unit(benchmark::kMicrosecond);

} // namespace
