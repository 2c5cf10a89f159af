#include "net/ping_monitor.h"

#include "platform/clock.h"
#include "platform/thread_priority.h"

#include <array>
#include <chrono>
#include <new>

namespace {

constexpr uint32_t kLoopbackAddress = 0x7F000001u;

} // namespace

PingMonitor::PingMonitor(uint16_t port, uint32_t probeIntervalMs)
    : m_port(port)
    , m_probeInterval(probeIntervalMs)
{
    m_hosts.reserve(kMaxHosts);
}

PingMonitor::~PingMonitor() { platform::closeSocket(m_socket); }

int32_t PingMonitor::addHost(uint32_t address)
{
    std::lock_guard lock(m_mutex);
    if (m_hosts.size() >= size_t(kMaxHosts))
        return -1;
    PingHost host;
    host.address = address;
    host.lastSend = platform::clock().tickMs();
    m_hosts.push_back(host);
    return int32_t(m_hosts.size());
}

int32_t PingMonitor::hostCount() const
{
    std::lock_guard lock(m_mutex);
    return int32_t(m_hosts.size());
}

std::optional<PingHost> PingMonitor::host(int32_t index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || size_t(index) >= m_hosts.size())
        return std::nullopt;
    return m_hosts[size_t(index)];
}

void PingMonitor::setCallback(Callback callback)
{
    std::lock_guard lock(m_mutex);
    m_callback = callback;
}

void PingMonitor::openSocket()
{
    m_socket = platform::udpOpenUnbound();
    // Without the port the probes still go out (from a free port) and their
    // echoes come back to it.
    if (m_socket != platform::kNoSocket)
        platform::udpBind(m_socket, m_port);
}

void PingMonitor::sendDueProbes(uint32_t now)
{
    std::array<uint8_t, kProbeSize> probe {};
    probe[0] = uint8_t(kProbePort >> 8);
    probe[1] = uint8_t(kProbePort & 0xFF);
    for (size_t index = 0; index < m_hosts.size(); ++index) {
        PingHost& host = m_hosts[index];
        if (now - host.lastSend <= m_probeInterval)
            continue;
        probe[2] = uint8_t(index);
        // The send time travels low byte first and comes back unchanged.
        probe[3] = uint8_t(now);
        probe[4] = uint8_t(now >> 8);
        probe[5] = uint8_t(now >> 16);
        probe[6] = uint8_t(now >> 24);
        platform::IoResult result = platform::udpSendTo(m_socket, host.address, m_port, probe.data(), probe.size());
        if (result.status == platform::IoStatus::Done) {
            host.lastSend = now;
            ++host.sent;
        }
    }
}

bool PingMonitor::takeReply(uint32_t now)
{
    std::array<uint8_t, kProbeSize> reply {};
    uint32_t from = 0;
    platform::IoResult result = platform::udpReceiveFrom(m_socket, reply.data(), reply.size(), &from, nullptr);
    if (result.status != platform::IoStatus::Done)
        return false;
    // The index is a signed byte: 0x80 and above name no host. A short
    // datagram, or one from another address than the host's, is no echo of
    // our probe and must not change its numbers.
    int32_t index = int8_t(reply[2]);
    if (size_t(result.count) < kMinReplySize || index < 0 || size_t(index) >= m_hosts.size())
        return true;
    PingHost& host = m_hosts[size_t(index)];
    if (from != host.address)
        return true;
    uint32_t sentAt
        = uint32_t(reply[3]) | uint32_t(reply[4]) << 8 | uint32_t(reply[5]) << 16 | uint32_t(reply[6]) << 24;
    uint32_t roundTrip = now - sentAt;
    if (roundTrip < host.minimum)
        host.minimum = roundTrip;
    if (roundTrip > host.maximum)
        host.maximum = roundTrip;
    host.mean = uint32_t((uint64_t(host.mean) * host.replies + roundTrip) / (uint64_t(host.replies) + 1));
    ++host.replies;
    return true;
}

void PingMonitor::poll()
{
    std::lock_guard lock(m_mutex);
    if (m_socket == platform::kNoSocket) {
        openSocket();
        if (m_socket == platform::kNoSocket)
            return;
    }
    uint32_t now = platform::clock().tickMs();
    sendDueProbes(now);
    bool anyArrived = false;
    while (takeReply(now))
        anyArrived = true;
    uint32_t sinceCallback = now - m_lastCallback;
    if (m_callback && ((anyArrived && sinceCallback >= kReplyCallbackMs) || sinceCallback > kQuietCallbackMs)) {
        m_lastCallback = now;
        m_callback(0);
    }
}

void PingMonitor::run()
{
    platform::lowerCurrentThreadPriority();
    while (!m_stop) {
        poll();
        // Waiting on the socket takes each echo as it arrives, which keeps
        // the measured time close to the real one.
        platform::SocketHandle socket;
        {
            std::lock_guard lock(m_mutex);
            socket = m_socket;
        }
        if (socket == platform::kNoSocket) {
            platform::clock().sleepMs(1);
            continue;
        }
        platform::SocketPoll entry;
        entry.socket = socket;
        entry.wantRead = true;
        platform::pollSockets({ &entry, 1 }, kWaitSliceMs);
    }
    std::lock_guard lock(m_stoppedMutex);
    m_stopped = true;
    m_stoppedSignal.notify_all();
}

void PingMonitor::requestStop()
{
    m_stop = true;
    // A datagram to the monitor's own socket ends the worker's wait; being
    // shorter than a reply it is read and passed over.
    std::lock_guard lock(m_mutex);
    if (m_socket == platform::kNoSocket)
        return;
    uint16_t ownPort = platform::socketLocalPort(m_socket);
    const uint8_t wake = 0;
    if (ownPort != 0)
        platform::udpSendTo(m_socket, kLoopbackAddress, ownPort, &wake, 1);
}

bool PingMonitor::waitUntilStopped(uint32_t timeoutMs)
{
    std::unique_lock lock(m_stoppedMutex);
    return m_stoppedSignal.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_stopped; });
}

namespace {

constexpr uint32_t kStopTimeoutMs = 5000;

struct RunningMonitor {
    std::shared_ptr<PingMonitor> monitor;
    std::thread worker;
    uint32_t generation { 0 };

    // A program that never destroyed its monitor still ends its worker.
    ~RunningMonitor() { destroyPingMonitor(); }
};

RunningMonitor& runningMonitor()
{
    static RunningMonitor running;
    return running;
}

} // namespace

PingMonitor* createPingMonitor(uint16_t port, uint32_t probeIntervalMs)
{
    destroyPingMonitor();
    RunningMonitor& running = runningMonitor();
    ++running.generation;
    std::shared_ptr<PingMonitor> monitor(new (std::nothrow) PingMonitor(port, probeIntervalMs));
    if (!monitor)
        return nullptr;
    // The worker holds the monitor too, so that a worker that outlives the
    // stop timeout never reaches freed memory.
    running.worker = std::thread([monitor] { monitor->run(); });
    running.monitor = std::move(monitor);
    return running.monitor.get();
}

void destroyPingMonitor()
{
    RunningMonitor& running = runningMonitor();
    if (!running.monitor)
        return;
    // Stop, then wait: the socket closes only when the last owner lets the
    // monitor go, after the worker has finished with it, so the worker never
    // touches a descriptor number the system has handed out again.
    running.monitor->requestStop();
    if (running.worker.joinable()) {
        if (running.monitor->waitUntilStopped(kStopTimeoutMs))
            running.worker.join();
        else
            running.worker.detach();
    }
    running.monitor.reset();
}

PingMonitor* getPingMonitor() { return runningMonitor().monitor.get(); }

uint32_t pingMonitorGeneration() { return runningMonitor().generation; }
