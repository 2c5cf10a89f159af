#include "support/run_watch.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <execinfo.h>
#include <fstream>
#include <pthread.h>
#include <unistd.h>

namespace test {

namespace {

pthread_t g_watchedThread;
std::atomic<bool> g_backtraceDone { false };

// Runs on the main thread when the watchdog asks: where the loop is stuck.
void printBacktrace(int)
{
    void* frames[64];
    int count = backtrace(frames, 64);
    static const char kHeader[] = "main thread backtrace:\n";
    ssize_t ignored = write(STDERR_FILENO, kHeader, sizeof kHeader - 1);
    (void)ignored;
    backtrace_symbols_fd(frames, count, STDERR_FILENO);
    g_backtraceDone = true;
}

uint64_t fieldKb(const std::string& line)
{
    uint64_t value = 0;
    for (char c : line) {
        if (c >= '0' && c <= '9')
            value = value * 10 + uint64_t(c - '0');
    }
    return value;
}

} // namespace

bool readOwnMemory(MemoryFigures& figures)
{
    std::ifstream status("/proc/self/status");
    if (!status)
        return false;
    std::string line;
    bool sawResident = false;
    bool sawPeak = false;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            figures.residentKb = fieldKb(line);
            sawResident = true;
        } else if (line.rfind("VmHWM:", 0) == 0) {
            figures.peakKb = fieldKb(line);
            sawPeak = true;
        }
    }
    return sawResident && sawPeak;
}

LoopWatchdog::LoopWatchdog(uint32_t stallMs, std::string what)
    : m_stallMs(stallMs)
    , m_what(std::move(what))
{
    g_watchedThread = pthread_self();
    struct sigaction action {};
    action.sa_handler = printBacktrace;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR2, &action, nullptr);
    m_thread = std::thread([this] { watch(); });
}

LoopWatchdog::~LoopWatchdog()
{
    m_stop = true;
    m_thread.join();
}

void LoopWatchdog::watch()
{
    using Clock = std::chrono::steady_clock;
    uint64_t lastBeats = beats();
    Clock::time_point lastChange = Clock::now();
    while (!m_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        uint64_t now = beats();
        Clock::time_point at = Clock::now();
        uint32_t gap = uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(at - lastChange).count());
        if (gap > m_longestGap)
            m_longestGap = gap;
        if (now != lastBeats) {
            lastBeats = now;
            lastChange = at;
            continue;
        }
        if (gap < m_stallMs)
            continue;
        std::fprintf(stderr, "FAIL: hang: %s made no pass for %u ms (after %llu passes; it was %s)\n",
            m_what.c_str(), gap, static_cast<unsigned long long>(now), m_state.load());
        std::fflush(stderr);
        pthread_kill(g_watchedThread, SIGUSR2);
        for (int i = 0; i < 20 && !g_backtraceDone; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::fflush(nullptr);
        _exit(kHangExitCode);
    }
}

} // namespace test
