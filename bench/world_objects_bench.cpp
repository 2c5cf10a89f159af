// The object manager's per-frame update over 10,000 objects round the player:
// 9,000 items lying in the world and 1,000 mobiles, first all standing, then
// with every mobile taking a one-cell step after another. Each reports the
// time per object and its ratio to a bare walk of the same item list (the
// least any per-object step can cost), measured in the same iterations.

#include "platform/clock.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kItems = 9000;
constexpr int32_t kMobiles = 1000;
constexpr int32_t kObjects = kItems + kMobiles;
constexpr int32_t kCentre = 1000;
constexpr int32_t kSide = 37;

class BenchWorld {
public:
    BenchWorld()
    {
        initWorldObjects();
        mapView().centreX = kCentre;
        mapView().centreY = kCentre;
        createPlayerObject()->enterWorldAt(kCentre, kCentre, 0);
        for (int32_t i = 0; i < kItems; ++i) {
            Item* item = allocItem(0x40000000u | uint32_t(i + 1), 0x1517, 0);
            item->enterWorldAt(kCentre - 18 + i % kSide, kCentre - 18 + (i / kSide) % kSide, (i * 7) % 20);
        }
        for (int32_t i = 0; i < kMobiles; ++i) {
            auto* mobile = new Mobile(uint32_t(i + 1), 400, 0);
            mobile->enterWorldAt(kCentre - 16 + i % 33, kCentre - 16 + (i / 33) % 33, 0);
            mobiles.push_back(mobile);
        }
    }
    ~BenchWorld()
    {
        initWorldObjects();
    }

    // Every standing mobile steps one cell east or back west.
    void queueSteps()
    {
        for (Mobile* mobile : mobiles) {
            if (mobile->stepCount() > 0 || mobile->stepCountdown > 0)
                continue;
            bool east = (mobile->x - kCentre) % 2 == 0;
            MobileStep step { int16_t(mobile->x + (east ? 1 : -1)), mobile->y, mobile->z, mobile->graphic,
                uint8_t(east ? 2 : 6), 0, 0 };
            mobile->queueStep(step);
        }
    }

    std::vector<Mobile*> mobiles;
};

int64_t bareWalk()
{
    int64_t sum = 0;
    for (const Item* item = itemList().head(); item; item = ItemList::next(item))
        sum += item->x;
    return sum;
}

void report(benchmark::State& state, Clock::duration updateTime, Clock::duration walkTime)
{
    double frames = double(state.iterations());
    double updateNs = double(std::chrono::duration_cast<std::chrono::nanoseconds>(updateTime).count());
    double walkNs = double(std::chrono::duration_cast<std::chrono::nanoseconds>(walkTime).count());
    state.counters["ns_per_object"] = updateNs / frames / kObjects;
    state.counters["bare_walk_ns_per_object"] = walkNs / frames / kObjects;
    state.counters["ratio"] = walkNs > 0 ? updateNs / walkNs : 0;
    state.SetItemsProcessed(int64_t(state.iterations()) * kObjects);
}

// Frames of the per-frame update; with `stepping`, every standing mobile is
// given a step before each frame.
void measureFrames(benchmark::State& state, bool stepping)
{
    platform::FakeClock fake(1000);
    platform::ScopedClock guard(fake);
    BenchWorld world;
    Clock::duration updateTime {};
    Clock::duration walkTime {};
    for (auto _ : state) {
        if (stepping)
            world.queueSteps();
        Clock::time_point start = Clock::now();
        updateWorldObjects();
        Clock::time_point middle = Clock::now();
        benchmark::DoNotOptimize(bareWalk());
        walkTime += Clock::now() - middle;
        updateTime += middle - start;
        fake.advance(76);
    }
    report(state, updateTime, walkTime);
}

void standingWorldFrame(benchmark::State& state) { measureFrames(state, false); }

void walkingWorldFrame(benchmark::State& state) { measureFrames(state, true); }

} // namespace

BENCHMARK(standingWorldFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(walkingWorldFrame)->Unit(benchmark::kMicrosecond);
