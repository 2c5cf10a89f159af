#pragma once
// The clock of the tests that run the whole program against the test server.
// Its time moves only as the thread that made it (the program's main thread)
// waits: each sleep and each wait on sockets moves it by the time waited, at
// most the time asked, and takes a speed-up-th of that in real time. Timed
// screens (the five-second splash) pass quickly, the server on loopback still
// answers within a few of the program's milliseconds, and the program's
// timeouts count only time it spent waiting: however slow a loaded machine
// makes its frames or the server, the program does not see more time pass
// than it waited. On other threads sleeps and waits are shortened the same
// way without moving the clock. Safe to read from any thread.

#include "platform/clock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace test {

class FastClock final : public platform::Clock {
public:
    FastClock(uint32_t startTickMs, uint32_t speedUp)
        : m_owner(std::this_thread::get_id())
        , m_startTick(startTickMs)
        , m_speedUp(speedUp ? speedUp : 1)
    {
    }

    uint32_t tickMs() const override { return m_startTick + uint32_t(m_elapsedUs.load() / 1000); }
    uint64_t highResCounter() const override { return m_elapsedUs.load(); }
    uint64_t highResFrequency() const override { return 1000000; }
    uint32_t systemMs() const override { return tickMs(); }
    uint32_t unixSeconds() const override { return 1700000000u + tickMs() / 1000; }
    void sleepMs(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(uint64_t(milliseconds) * 1000 / m_speedUp));
        if (std::this_thread::get_id() == m_owner)
            m_elapsedUs += uint64_t(milliseconds) * 1000;
    }
    int32_t runWait(uint32_t milliseconds, platform::InterruptibleWait& wait) override
    {
        const auto start = std::chrono::steady_clock::now();
        // A wait asked for stays a wait: at least a real millisecond.
        const uint32_t realMs = milliseconds ? std::max(milliseconds / m_speedUp, 1u) : 0;
        const int32_t result = wait.block(realMs);
        if (std::this_thread::get_id() == m_owner) {
            const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - start);
            m_elapsedUs += std::min(uint64_t(took.count()) * m_speedUp, uint64_t(milliseconds) * 1000);
        }
        return result;
    }

private:
    std::thread::id m_owner;
    uint32_t m_startTick;
    uint32_t m_speedUp;
    std::atomic<uint64_t> m_elapsedUs { 0 };
};

} // namespace test
