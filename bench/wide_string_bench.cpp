// WString grows to exactly the size each append needs, so a run of appends
// re-allocates every time; std::u16string grows geometrically. These measure
// what that costs for a typical text built piece by piece.

#include "core/wide_string.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace {

constexpr char16_t kPiece[] = u"word ";

void appendPieces(WString& text, int64_t count)
{
    for (int64_t i = 0; i < count; ++i)
        text.append(kPiece);
}

void appendPieces(std::u16string& text, int64_t count)
{
    for (int64_t i = 0; i < count; ++i)
        text.append(kPiece);
}

void wideStringAppends(benchmark::State& state)
{
    for (auto _ : state) {
        WString text;
        appendPieces(text, state.range(0));
        benchmark::DoNotOptimize(text.c_str());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void u16StringAppends(benchmark::State& state)
{
    for (auto _ : state) {
        std::u16string text;
        appendPieces(text, state.range(0));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Both in the same iterations, so the ratio compares like with like.
void wideStringAgainstU16String(benchmark::State& state)
{
    using StringClock = std::chrono::steady_clock;
    StringClock::duration wideTime {};
    StringClock::duration referenceTime {};
    for (auto _ : state) {
        StringClock::time_point start = StringClock::now();
        {
            WString text;
            appendPieces(text, state.range(0));
            benchmark::DoNotOptimize(text.c_str());
        }
        StringClock::time_point middle = StringClock::now();
        {
            std::u16string text;
            appendPieces(text, state.range(0));
            benchmark::DoNotOptimize(text.data());
        }
        StringClock::time_point end = StringClock::now();
        wideTime += middle - start;
        referenceTime += end - middle;
    }
    double iterations = double(state.iterations());
    double wideNs = double(std::chrono::duration_cast<std::chrono::nanoseconds>(wideTime).count());
    double referenceNs = double(std::chrono::duration_cast<std::chrono::nanoseconds>(referenceTime).count());
    state.counters["wstring_ns"] = wideNs / iterations;
    state.counters["u16string_ns"] = referenceNs / iterations;
    state.counters["ratio"] = referenceNs > 0 ? wideNs / referenceNs : 0;
}

} // namespace

BENCHMARK(wideStringAppends)->Arg(16)->Arg(256)->Arg(1024);
BENCHMARK(u16StringAppends)->Arg(16)->Arg(256)->Arg(1024);
BENCHMARK(wideStringAgainstU16String)->Arg(16)->Arg(256)->Arg(1024);
