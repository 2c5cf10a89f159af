#pragma once
// A clock that runs a fixed number of times faster than real time, for the
// tests that run the whole program against the test server: timed screens
// (the five-second splash) pass quickly, while the network on loopback still
// answers within a few of its milliseconds. Sleeping sleeps the shortened
// time. Safe to read from any thread.

#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace test {

class FastClock final : public platform::Clock {
public:
    FastClock(uint32_t startTickMs, uint32_t speedUp)
        : m_start(std::chrono::steady_clock::now())
        , m_startTick(startTickMs)
        , m_speedUp(speedUp ? speedUp : 1)
    {
    }

    uint32_t tickMs() const override { return m_startTick + uint32_t(elapsedMicroseconds() * m_speedUp / 1000); }
    uint64_t highResCounter() const override { return uint64_t(elapsedMicroseconds()) * m_speedUp; }
    uint64_t highResFrequency() const override { return 1000000; }
    uint32_t systemMs() const override { return tickMs(); }
    uint32_t unixSeconds() const override { return 1700000000u + tickMs() / 1000; }
    void sleepMs(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(uint64_t(milliseconds) * 1000 / m_speedUp));
    }

private:
    int64_t elapsedMicroseconds() const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_start)
            .count();
    }

    std::chrono::steady_clock::time_point m_start;
    uint32_t m_startTick;
    uint32_t m_speedUp;
};

} // namespace test
