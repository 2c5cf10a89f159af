#pragma once
// What the benchmarks that time their own sections share: a section's
// duration as nanoseconds, for the counters they report.

#include <chrono>

inline double elapsedNanoseconds(std::chrono::steady_clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
}
