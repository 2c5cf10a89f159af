// The renderer's hot paths: the present step (the ring back buffer written
// onto a screen surface, against a plain memcpy of the bytes it writes, and a
// pointer-only present against a whole one), blitting run-length art
// (against a naive per-pixel loop over the same picture), applying hues and
// keeping the dirty-rectangle list.

#include "app/frame_present.h"
#include "app/main_window.h"
#include "app/pointer.h"
#include "bench/bench_timing.h"
#include "fixtures/art_writer.h"
#include "gfx/art_blitter.h"
#include "gfx/back_buffer.h"
#include "gfx/colour_tables.h"
#include "gfx/pixel_spans.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// An 800x600 ring whose start lies mid-buffer, as after some walking.
BackBuffer& scrolledRing()
{
    static BackBuffer* buffer = [] {
        auto* b = new BackBuffer;
        b->create(800, 600, BufferFormat::Rgb555);
        b->renderWorldDirtyRects(nullptr);
        b->scrollWorldView(-333, -217);
        b->renderWorldDirtyRects(nullptr);
        for (int64_t i = 0; i < b->pixelCount(); ++i)
            b->pixels()[i] = uint16_t(i * 7) & 0x7FFF;
        return b;
    }();
    return *buffer;
}

const char* surfaceName(platform::SurfaceFormat format)
{
    switch (format) {
    case platform::SurfaceFormat::Rgb555:
        return "555";
    case platform::SurfaceFormat::Rgb565:
        return "565";
    case platform::SurfaceFormat::Xrgb8888:
        return "8888";
    }
    return "";
}

// Our part of a full-frame present: the ring unrolled into a surface of the
// given format, converting on the way, against a memcpy of as many bytes as
// that writes.
void presentWriteAgainstMemcpy(benchmark::State& state)
{
    const auto format = platform::SurfaceFormat(state.range(0));
    BackBuffer& ring = scrolledRing();
    const int32_t bytesPerPixel = platform::bytesPerPixel(format);
    const size_t bytes = size_t(ring.pixelCount()) * size_t(bytesPerPixel);
    std::vector<uint8_t> memory(bytes);
    std::vector<uint8_t> copySource(bytes, 0x5A);
    platform::FrameSurface surface;
    surface.pixels = memory.data();
    surface.pitch = ring.width() * bytesPerPixel;
    surface.width = ring.width();
    surface.height = ring.height();
    surface.format = format;
    const ScreenRect whole { 0, 0, ring.width(), ring.height() };
    const int64_t start = ring.pictureStart(0, 0);
    Clock::duration writeTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point begin = Clock::now();
        ring.writePictureRects(start, std::span<const ScreenRect>(&whole, 1), surface);
        benchmark::DoNotOptimize(memory.data());
        Clock::time_point middle = Clock::now();
        std::memcpy(memory.data(), copySource.data(), bytes);
        benchmark::DoNotOptimize(memory.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        writeTime += middle - begin;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.SetLabel(surfaceName(format));
    state.counters["write_us"] = elapsedNanoseconds(writeTime) / iterations / 1000;
    state.counters["memcpy_us"] = elapsedNanoseconds(referenceTime) / iterations / 1000;
    state.counters["ratio"]
        = elapsedNanoseconds(referenceTime) > 0 ? elapsedNanoseconds(writeTime) / elapsedNanoseconds(referenceTime) : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// A 32x32 pointer art with its hotspot marker in the corner.
class BenchCursorArt final : public CursorArtSource {
public:
    bool cursorArt(int32_t, CursorArt& art) override
    {
        art.width = 32;
        art.height = 32;
        art.pixels.assign(32 * 32, 0x7FFF);
        art.pixels[0] = kHotspotMarker;
        return true;
    }
};

// The program's present step on a 640x480 client area into a 32-bit surface:
// a whole picture against one where only the pointer moved.
void presentWholeAgainstPointerOnly(benchmark::State& state)
{
    initPointerState();
    BenchCursorArt art;
    loadCursors(art, 0, false);
    setPointerDrawingAllowed(true);
    platform::HeadlessDisplay display(640, 480);
    display.setSurfaceFormat(platform::SurfaceFormat::Xrgb8888);
    platform::HeadlessWindow window;
    MainWindow mainWindow(window, {}, {});
    WindowPresenter presenter(display, mainWindow);
    presenter.recreateBackBuffer(640, 480);
    Clock::duration wholeTime {}, pointerTime {};
    int32_t step = 0;
    for (auto _ : state) {
        Clock::time_point begin = Clock::now();
        presenter.present(PresentKind::Always);
        Clock::time_point middle = Clock::now();
        step = (step + 1) % 200;
        window.setCursor(100 + step, 100 + step / 2);
        presenter.present();
        Clock::time_point end = Clock::now();
        wholeTime += middle - begin;
        pointerTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["whole_us"] = elapsedNanoseconds(wholeTime) / iterations / 1000;
    state.counters["pointer_us"] = elapsedNanoseconds(pointerTime) / iterations / 1000;
    state.counters["pointer_share"]
        = elapsedNanoseconds(wholeTime) > 0 ? elapsedNanoseconds(pointerTime) / elapsedNanoseconds(wholeTime) : 0;
    setPointerDrawingAllowed(false);
    releasePointerState();
}

// A 44x44 diamond, like a land tile or a typical static: transparent corners.
struct DiamondArt {
    std::vector<uint16_t> dense;
    std::unique_ptr<ArtImage> image;
};

const DiamondArt& diamond()
{
    static DiamondArt* art = [] {
        auto* a = new DiamondArt;
        a->dense.assign(44 * 44, 0);
        for (int32_t y = 0; y < 44; ++y)
            for (int32_t x = 0; x < 44; ++x)
                if (std::abs(x - 21.5) + std::abs(y - 21.5) <= 22)
                    a->dense[size_t(y) * 44 + x] = uint16_t(((x + y) % 31 + 1) * 0x421);
        a->image = ArtImage::parse(fixture::artRecordFromPixels(44, 44, a->dense));
        return a;
    }();
    return *art;
}

void naiveTransparentBlit(const std::vector<uint16_t>& dense, uint16_t* target, int32_t pitch)
{
    for (int32_t y = 0; y < 44; ++y)
        for (int32_t x = 0; x < 44; ++x) {
            uint16_t p = dense[size_t(y) * 44 + x];
            if (p)
                target[y * pitch + x] = p;
        }
}

void artBlitAgainstNaiveLoop(benchmark::State& state)
{
    const DiamondArt& art = diamond();
    std::vector<uint16_t> surface(128 * 128);
    BlitTarget target = BlitTarget::surface(surface.data(), 128, 128, 128);
    ScreenRect clip { 0, 0, 128, 128 };
    const bool clipped = state.range(0) != 0;
    Clock::duration blitTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        for (int i = 0; i < 16; ++i) {
            if (clipped)
                blitArtClipped(copySpanTransparent, art.image.get(), target, &clip, 40 + i, 40);
            else
                blitArt(copySpanTransparent, art.image.get(), target, 40 + i, 40);
        }
        benchmark::DoNotOptimize(surface.data());
        Clock::time_point middle = Clock::now();
        for (int i = 0; i < 16; ++i)
            naiveTransparentBlit(art.dense, surface.data() + 40 * 128 + 40 + i, 128);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        blitTime += middle - start;
        referenceTime += end - middle;
    }
    double pixels = double(state.iterations()) * 16 * 44 * 44;
    state.counters["blit_Mpixels_per_s"] = pixels / elapsedNanoseconds(blitTime) * 1000;
    state.counters["naive_Mpixels_per_s"] = pixels / elapsedNanoseconds(referenceTime) * 1000;
    state.counters["ratio"]
        = elapsedNanoseconds(referenceTime) > 0 ? elapsedNanoseconds(blitTime) / elapsedNanoseconds(referenceTime) : 0;
    state.counters["speed_vs_naive"]
        = elapsedNanoseconds(blitTime) > 0 ? elapsedNanoseconds(referenceTime) / elapsedNanoseconds(blitTime) : 0;
}

void hueSpans(benchmark::State& state)
{
    const PixelSpanFn fns[] = { hueSpanOpaque, partialHueSpan, hueBlendSpan75, blendSpan50 };
    PixelSpanFn fn = fns[state.range(0)];
    const DiamondArt& art = diamond();
    std::vector<uint16_t> surface(128 * 128, 0x1234);
    BlitTarget target = BlitTarget::surface(surface.data(), 128, 128, 128);
    setCurrentHue(37);
    for (auto _ : state) {
        blitArt(fn, art.image.get(), target, 40, 40);
        benchmark::DoNotOptimize(surface.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 44 * 44);
}

void dirtyRectList(benchmark::State& state)
{
    BackBuffer buffer;
    buffer.create(800, 600, BufferFormat::Rgb555);
    buffer.renderWorldDirtyRects(nullptr);
    buffer.scrollWorldView(-100, -50);
    buffer.renderWorldDirtyRects(nullptr);
    std::mt19937 random(7);
    std::vector<ScreenRect> rects(size_t(state.range(0)));
    for (ScreenRect& r : rects) {
        int32_t x = int32_t(random() % 780), y = int32_t(random() % 580);
        r = { x, y, x + 20 + int32_t(random() % 60), y + 20 + int32_t(random() % 80) };
    }
    for (auto _ : state) {
        for (const ScreenRect& r : rects)
            buffer.invalidateScreenRect(&r);
        benchmark::DoNotOptimize(buffer.dirtyRects().data());
        buffer.renderWorldDirtyRects(nullptr);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

} // namespace

BENCHMARK(presentWriteAgainstMemcpy)
    ->ArgName("surface")
    ->Arg(int(platform::SurfaceFormat::Rgb555))
    ->Arg(int(platform::SurfaceFormat::Rgb565))
    ->Arg(int(platform::SurfaceFormat::Xrgb8888))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(presentWholeAgainstPointerOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(artBlitAgainstNaiveLoop)->ArgName("clipped")->Arg(0)->Arg(1);
BENCHMARK(hueSpans)->ArgName("span")->DenseRange(0, 3);
BENCHMARK(dirtyRectList)->ArgName("rects")->Arg(16)->Arg(64)->Arg(200);
