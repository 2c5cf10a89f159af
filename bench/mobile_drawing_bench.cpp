// Drawing 100 dressed mobiles (the sample man in a shirt, trousers, hair and
// a hat, each with its shadow) standing on a 10 x 10 block of cells, in all
// eight facings and at walk frames, into an 800 x 600 surface: the time per
// mobile, and its ratio to copying an opaque picture of each mobile's
// rectangle into the same surface (what a figure drawn ahead of time would
// cost), measured in the same iterations.

#include "bench/bench_timing.h"
#include "fixtures/installed_animations.h"
#include "fixtures/sample_figures.h"
#include "platform/clock.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kCrowdSide = 10;
constexpr int32_t kCrowdMobiles = kCrowdSide * kCrowdSide;
constexpr int32_t kCrowdCentre = 1000;
constexpr int32_t kCrowdViewWidth = 800;
constexpr int32_t kCrowdViewHeight = 600;

class DressedCrowd {
public:
    DressedCrowd()
        : m_animations(sampleAnimations(), fixture::sampleMobTypes())
    {
        fixture::installSampleFigureTiles();
        initWorldObjects();
        mapView().centreX = kCrowdCentre;
        mapView().centreY = kCrowdCentre;
        createPlayerObject()->enterWorldAt(kCrowdCentre, kCrowdCentre, 0);
        uint32_t itemSerial = 0x40001000;
        for (int32_t i = 0; i < kCrowdMobiles; ++i) {
            uint32_t serial = uint32_t(0x100 + i);
            onObjectPacket(serial, uint16_t(fixture::kSampleManBody), 0, 1, kCrowdCentre - 4 + i % kCrowdSide,
                kCrowdCentre - 5 + i / kCrowdSide, 0, uint8_t(i % 8), uint16_t(i % 40), 0);
            for (const fixture::SampleGarment& garment : fixture::kSampleGarments)
                equipItemOnMobile(serial, itemSerial++, garment.graphic, garment.layer, uint16_t(i % 30));
            auto* mobile = static_cast<Mobile*>(findItemBySerial(serial));
            mobile->frameCounter = i % 9;
            mobile->place();
            mobiles.push_back(mobile);
        }
        // The block's middle in the middle of the surface.
        int32_t anchorX = 0;
        int32_t anchorY = 0;
        mobiles[kCrowdMobiles / 2]->anchorPoint(anchorX, anchorY);
        worldScreen().viewPixelX = anchorX - kCrowdViewWidth / 2;
        worldScreen().viewPixelY = anchorY - kCrowdViewHeight / 2;
    }
    ~DressedCrowd()
    {
        initWorldObjects();
        deletePlayerObject();
        worldScreen() = WorldScreen {};
    }

    std::vector<Mobile*> mobiles;

private:
    static fixture::AnimationFileWriter sampleAnimations()
    {
        fixture::AnimationFileWriter writer;
        fixture::addSampleAnimations(writer);
        return writer;
    }

    fixture::InstalledAnimations m_animations;
};

void dressedMobiles(benchmark::State& state)
{
    platform::FakeClock fake(1000);
    platform::ScopedClock guard(fake);
    DressedCrowd crowd;
    std::vector<uint16_t> surface(size_t(kCrowdViewWidth * kCrowdViewHeight), 0x1CE7);
    std::vector<uint16_t> sprite(size_t(kCrowdViewWidth * kCrowdViewHeight), 0x7FFF);
    BlitTarget target = BlitTarget::surface(surface.data(), kCrowdViewWidth, kCrowdViewHeight, kCrowdViewWidth);
    ScreenRect whole { 0, 0, kCrowdViewWidth, kCrowdViewHeight };
    const WorldScreen& screen = worldScreen();
    Clock::duration drawTime {};
    Clock::duration copyTime {};
    int64_t copiedPixels = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        for (Mobile* mobile : crowd.mobiles)
            mobile->draw(target, whole);
        benchmark::DoNotOptimize(surface.data());
        Clock::time_point middle = Clock::now();
        for (Mobile* mobile : crowd.mobiles) {
            ScreenRect area { mobile->screenRect.left - screen.viewPixelX, mobile->screenRect.top - screen.viewPixelY,
                mobile->screenRect.right - screen.viewPixelX, mobile->screenRect.bottom - screen.viewPixelY };
            area = area.intersected(whole);
            for (int32_t y = area.top; y < area.bottom; ++y)
                std::memcpy(target.at(area.left, y), &sprite[size_t(y * kCrowdViewWidth + area.left)],
                    size_t(area.width()) * sizeof(uint16_t));
            copiedPixels += int64_t(std::max(area.width(), 0)) * std::max(area.height(), 0);
        }
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
        copyTime += Clock::now() - middle;
        drawTime += middle - start;
    }
    double drawn = double(state.iterations()) * kCrowdMobiles;
    state.counters["ns_per_mobile"] = elapsedNanoseconds(drawTime) / drawn;
    state.counters["copy_ns_per_mobile"] = elapsedNanoseconds(copyTime) / drawn;
    state.counters["ratio"]
        = elapsedNanoseconds(copyTime) > 0 ? elapsedNanoseconds(drawTime) / elapsedNanoseconds(copyTime) : 0;
    state.counters["pixels_per_rect"] = double(copiedPixels) / drawn;
    state.SetItemsProcessed(int64_t(state.iterations()) * kCrowdMobiles);
}

} // namespace

BENCHMARK(dressedMobiles)->Unit(benchmark::kMicrosecond);
