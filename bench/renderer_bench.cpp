// The renderer's hot paths: unrolling the ring back buffer onto a surface
// (against a plain memcpy of the same bytes), blitting run-length art
// (against a naive per-pixel loop over the same picture), applying hues and
// keeping the dirty-rectangle list.

#include "fixtures/art_writer.h"
#include "gfx/art_blitter.h"
#include "gfx/back_buffer.h"
#include "gfx/colour_tables.h"
#include "gfx/pixel_spans.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double nanoseconds(Clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
}

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

void ringCopyAgainstMemcpy(benchmark::State& state)
{
    const bool to565 = state.range(0) != 0;
    BackBuffer& ring = scrolledRing();
    std::vector<uint16_t> surface(size_t(ring.pixelCount()));
    const size_t bytes = surface.size() * sizeof(uint16_t);
    Clock::duration copyTime {}, referenceTime {};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        ring.copyToSurface(surface.data(), ring.width(), to565, 0, 0);
        benchmark::DoNotOptimize(surface.data());
        Clock::time_point middle = Clock::now();
        std::memcpy(surface.data(), ring.pixels(), bytes);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        copyTime += middle - start;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["ring_us"] = nanoseconds(copyTime) / iterations / 1000;
    state.counters["memcpy_us"] = nanoseconds(referenceTime) / iterations / 1000;
    state.counters["ratio"] = nanoseconds(referenceTime) > 0 ? nanoseconds(copyTime) / nanoseconds(referenceTime) : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
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
    state.counters["blit_Mpixels_per_s"] = pixels / nanoseconds(blitTime) * 1000;
    state.counters["naive_Mpixels_per_s"] = pixels / nanoseconds(referenceTime) * 1000;
    state.counters["ratio"] = nanoseconds(referenceTime) > 0 ? nanoseconds(blitTime) / nanoseconds(referenceTime) : 0;
    state.counters["speed_vs_naive"] = nanoseconds(blitTime) > 0 ? nanoseconds(referenceTime) / nanoseconds(blitTime) : 0;
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

BENCHMARK(ringCopyAgainstMemcpy)->ArgName("to565")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(artBlitAgainstNaiveLoop)->ArgName("clipped")->Arg(0)->Arg(1);
BENCHMARK(hueSpans)->ArgName("span")->DenseRange(0, 3);
BENCHMARK(dirtyRectList)->ArgName("rects")->Arg(16)->Arg(64)->Arg(200);
