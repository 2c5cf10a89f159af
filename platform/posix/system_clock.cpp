#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    uint32_t tickMs() const override
    {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    uint64_t highResCounter() const override
    {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
    }
    uint64_t highResFrequency() const override { return 1000000000ull; }
    uint32_t systemMs() const override
    {
        // Milliseconds between 1601-01-01 and 1970-01-01.
        constexpr uint64_t kEpochDifferenceMs = 11644473600000ull;
        auto since = std::chrono::system_clock::now().time_since_epoch();
        auto ms = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
        return uint32_t(ms + kEpochDifferenceMs);
    }
    uint32_t unixSeconds() const override
    {
        auto since = std::chrono::system_clock::now().time_since_epoch();
        return uint32_t(std::chrono::duration_cast<std::chrono::seconds>(since).count());
    }
    void sleepMs(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

Clock& systemClock()
{
    static SystemClock instance;
    return instance;
}

Clock* g_installedClock = nullptr;

} // namespace

Clock& clock() { return g_installedClock ? *g_installedClock : systemClock(); }

Clock* installClock(Clock* replacement)
{
    Clock* previous = g_installedClock;
    g_installedClock = replacement;
    return previous;
}

} // namespace platform
