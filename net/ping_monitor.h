#pragma once
// Round trips to the shards of the shard list, measured with small UDP
// probes that each shard echoes on port 12000. The monitor probes from a
// worker thread of its own at the lowest priority; the main thread adds hosts
// and reads finished numbers. Every field is guarded by the monitor's mutex;
// the callback runs on the worker thread with the mutex held, so it must only
// note that new numbers exist. Times are 32-bit millisecond tick counts.

#include "platform/sockets.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct PingHost {
    uint32_t address { 0 }; // IPv4, host order
    uint32_t sent { 0 };
    uint32_t replies { 0 };
    uint32_t minimum { 1000 }; // ms
    uint32_t maximum { 0 }; // ms
    uint32_t mean { 0 }; // ms
    uint32_t lastSend { 0 }; // tick of the last probe, the time of adding until the first
};

class PingMonitor {
public:
    static constexpr int32_t kMaxHosts = 128;
    static constexpr uint16_t kProbePort = 12000;
    static constexpr size_t kProbeSize = 40;
    static constexpr uint32_t kProbeIntervalMs = 5000;
    // A reply is accepted only when it holds the index and the send time.
    static constexpr size_t kMinReplySize = 7;
    static constexpr uint32_t kQuietCallbackMs = 5000;
    static constexpr uint32_t kReplyCallbackMs = 500;
    // How long the worker waits for a reply before it looks at the clock again.
    static constexpr uint32_t kWaitSliceMs = 10;

    using Callback = void (*)(int32_t);

    // `port` is where the probes go and where the monitor listens (12000;
    // tests use a free port and a shorter interval).
    explicit PingMonitor(uint16_t port = kProbePort, uint32_t probeIntervalMs = kProbeIntervalMs);
    // Closes the socket; the worker must have ended (see destroyPingMonitor).
    ~PingMonitor();
    PingMonitor(const PingMonitor&) = delete;
    PingMonitor& operator=(const PingMonitor&) = delete;

    // The new host count (index + 1), or -1 when 128 hosts are held.
    int32_t addHost(uint32_t address);
    int32_t hostCount() const;
    // A copy of the host's numbers; nothing for an index without a host.
    std::optional<PingHost> host(int32_t index) const;
    void setCallback(Callback callback);
    void clearCallback() { setCallback(nullptr); }

    // One pass: open the socket when needed, send the probes that are due,
    // take every reply that arrived, call the callback when due. Never blocks.
    void poll();

    // The worker's loop; ends soon after requestStop.
    void run();
    // Asks the worker to end; it wakes at once rather than at its next look.
    void requestStop();
    // Waits at most `timeoutMs` for run() to return; true when it did.
    bool waitUntilStopped(uint32_t timeoutMs);

private:
    void openSocket();
    void sendDueProbes(uint32_t now);
    bool takeReply(uint32_t now);

    mutable std::mutex m_mutex;
    Callback m_callback { nullptr };
    uint32_t m_lastCallback { 0 };
    std::atomic<bool> m_stop { false };
    uint16_t m_port;
    uint32_t m_probeInterval;
    platform::SocketHandle m_socket { platform::kNoSocket };
    std::vector<PingHost> m_hosts;

    std::mutex m_stoppedMutex;
    std::condition_variable m_stoppedSignal;
    bool m_stopped { false };
};

// The process-wide monitor of the shard list. createPingMonitor ends a
// running one first, then starts a new one with its worker; null when it
// could not be made. destroyPingMonitor stops the worker and frees the
// monitor once the worker has ended. Main thread only.
PingMonitor* createPingMonitor(
    uint16_t port = PingMonitor::kProbePort, uint32_t probeIntervalMs = PingMonitor::kProbeIntervalMs);
void destroyPingMonitor();
PingMonitor* getPingMonitor();
// Counts the monitors started (createPingMonitor), so that a window that
// showed an older monitor can tell the running one is no longer its own.
uint32_t pingMonitorGeneration();
