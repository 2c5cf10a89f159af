#pragma once
// Time sources of the client. Every time the game compares is a 32-bit
// millisecond tick count that wraps after about 49.7 days, compared with
// unsigned arithmetic. The process-wide clock is set once by app/ (tests swap
// in a FakeClock through ScopedClock); it is read from any thread.

#include <cstdint>

namespace platform {

// A wait that input may end early (sockets becoming ready).
class InterruptibleWait {
public:
    // Blocks for at most `realMs` real milliseconds; gives the wait's result.
    virtual int32_t block(uint32_t realMs) = 0;

protected:
    ~InterruptibleWait() = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds, truncated to 32 bits.
    virtual uint32_t tickMs() const = 0;
    // A high-resolution counter and its frequency in counts per second.
    virtual uint64_t highResCounter() const = 0;
    virtual uint64_t highResFrequency() const = 0;
    // Wall-clock milliseconds since 1601-01-01 UTC, truncated to 32 bits.
    virtual uint32_t systemMs() const = 0;
    // Wall-clock seconds since 1970-01-01 UTC.
    virtual uint32_t unixSeconds() const = 0;
    virtual void sleepMs(uint32_t milliseconds) = 0;
    // Runs a wait of at most `milliseconds` of this clock's time. The system
    // clock's milliseconds are real ones; the clock of the whole-program tests
    // shortens the wait and counts the time it took as time passed.
    virtual int32_t runWait(uint32_t milliseconds, InterruptibleWait& wait) { return wait.block(milliseconds); }
};

// The process-wide clock (the system clock unless one was installed).
Clock& clock();
// Installs `replacement` as the process-wide clock; returns the previous one.
Clock* installClock(Clock* replacement);

// A clock that moves only when told to. Sleeping advances it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(uint32_t startTickMs = 0)
        : m_tick(startTickMs)
    {
    }
    uint32_t tickMs() const override { return m_tick; }
    uint64_t highResCounter() const override { return m_counter; }
    uint64_t highResFrequency() const override { return 1000000; }
    uint32_t systemMs() const override { return m_systemMs; }
    uint32_t unixSeconds() const override { return m_unixSeconds; }
    void sleepMs(uint32_t milliseconds) override { advance(milliseconds); }

    void advance(uint32_t milliseconds)
    {
        m_tick += milliseconds; // wraps like the real tick count
        m_counter += uint64_t(milliseconds) * 1000;
        m_systemMs += milliseconds;
    }
    void setTick(uint32_t tick) { m_tick = tick; }
    void setUnixSeconds(uint32_t seconds) { m_unixSeconds = seconds; }
    void setSystemMs(uint32_t milliseconds) { m_systemMs = milliseconds; }

private:
    uint32_t m_tick;
    uint64_t m_counter { 0 };
    uint32_t m_systemMs { 0 };
    uint32_t m_unixSeconds { 0 };
};

// Installs a clock for the lifetime of the guard (tests).
class ScopedClock {
public:
    explicit ScopedClock(Clock& replacement)
        : m_previous(installClock(&replacement))
    {
    }
    ~ScopedClock() { installClock(m_previous); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* m_previous;
};

// True when tick `a` is at or after tick `b`, across the 32-bit wrap.
inline bool tickReached(uint32_t a, uint32_t b) { return int32_t(a - b) >= 0; }

} // namespace platform
