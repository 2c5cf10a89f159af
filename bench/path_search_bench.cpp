// The path search across a maze of 100 x 100 cells (with some walls knocked
// out so that routes differ), against a breadth-first search of the same maze
// measured in the same loop; and a search the 5000-cell cap ends.

#include "bench/bench_timing.h"
#include "fixtures/maze_grid.h"
#include "world/path_search.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

void mazeSearchAgainstBreadthFirst(benchmark::State& state)
{
    fixture::GridWorld maze = fixture::GridWorld::maze(100, 100, 2024, 150);
    Clock::duration searchTime {}, referenceTime {};
    int32_t steps = 0;
    int32_t expansions = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        PathNode* goal = findPath(1, 1, 0, 97, 97, 0, kMaxPathExpansions, 0, maze);
        benchmark::DoNotOptimize(goal);
        steps = fixture::pathSteps(goal);
        expansions = lastPathExpansions();
        freePathNodes();
        Clock::time_point middle = Clock::now();
        int32_t shortest = maze.breadthFirstDistance(1, 1, 97, 97);
        benchmark::DoNotOptimize(shortest);
        Clock::time_point end = Clock::now();
        searchTime += middle - start;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    state.counters["search_us"] = elapsedNanoseconds(searchTime) / iterations / 1000;
    state.counters["bfs_us"] = elapsedNanoseconds(referenceTime) / iterations / 1000;
    state.counters["ratio"] = elapsedNanoseconds(referenceTime) > 0
        ? elapsedNanoseconds(searchTime) / elapsedNanoseconds(referenceTime)
        : 0;
    state.counters["steps"] = steps;
    state.counters["expansions"] = expansions;
}
BENCHMARK(mazeSearchAgainstBreadthFirst)->Unit(benchmark::kMicrosecond);

// An open field with the goal walled in: the search runs until the cap.
void searchToTheCap(benchmark::State& state)
{
    fixture::GridWorld field(200, 200);
    for (int32_t i = 139; i <= 141; ++i) {
        field.setFloor(i, 139, false);
        field.setFloor(i, 141, false);
        field.setFloor(139, i, false);
        field.setFloor(141, i, false);
    }
    for (auto _ : state) {
        PathNode* goal = findPath(10, 10, 0, 140, 140, 0, 100000, 0, field);
        benchmark::DoNotOptimize(goal);
        freePathNodes();
    }
    state.counters["expansions"] = kMaxPathExpansions;
}
BENCHMARK(searchToTheCap)->Unit(benchmark::kMicrosecond);

} // namespace
