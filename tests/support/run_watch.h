#pragma once
// The watch kept over a long run of the whole client (tools/hostile_server.cpp,
// tools/soak_run.cpp): a watchdog thread that fails the run when the main
// loop stops advancing, and the process's memory read from /proc.
//
// The main thread calls beat() once per pass of its loop (a gump update);
// the watchdog thread looks every 100 ms. When no beat came for the stall
// time it prints the reason and a backtrace of the main thread, and ends the
// process with kHangExitCode. Memory sizes are in KiB.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace test {

inline constexpr int kHangExitCode = 3;

struct MemoryFigures {
    uint64_t residentKb = 0; // VmRSS
    uint64_t peakKb = 0; // VmHWM: the peak resident size so far
};

// The figures of this process; false when /proc cannot be read.
bool readOwnMemory(MemoryFigures& figures);

class LoopWatchdog {
public:
    // `what` names the loop in the report.
    LoopWatchdog(uint32_t stallMs, std::string what);
    ~LoopWatchdog();
    LoopWatchdog(const LoopWatchdog&) = delete;
    LoopWatchdog& operator=(const LoopWatchdog&) = delete;

    void beat() { m_beats.fetch_add(1, std::memory_order_relaxed); }
    uint64_t beats() const { return m_beats.load(std::memory_order_relaxed); }
    // A short note of what the main thread is doing, printed with a stall.
    void setState(const char* state) { m_state.store(state, std::memory_order_relaxed); }
    // The longest time between two beats seen so far, in milliseconds.
    uint32_t longestGapMs() const { return m_longestGap.load(std::memory_order_relaxed); }

private:
    void watch();

    uint32_t m_stallMs;
    std::string m_what;
    std::atomic<uint64_t> m_beats { 0 };
    std::atomic<const char*> m_state { "starting" };
    std::atomic<uint32_t> m_longestGap { 0 };
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

} // namespace test
