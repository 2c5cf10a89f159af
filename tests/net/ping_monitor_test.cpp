#include "net/ping_monitor.h"
#include "platform/clock.h"
#include "platform/sockets.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

// A UDP port that was free a moment ago.
uint16_t freeUdpPort()
{
    platform::SocketHandle probe = platform::udpOpen(0);
    uint16_t port = platform::socketLocalPort(probe);
    platform::closeSocket(probe);
    return port;
}

// Sends a datagram to the monitor from another socket on the loopback address.
void sendDatagram(uint16_t port, const std::vector<uint8_t>& bytes)
{
    platform::SocketHandle sender = platform::udpOpen(0);
    platform::udpSendTo(sender, kLoopback, port, bytes.data(), bytes.size());
    platform::closeSocket(sender);
}

// A probe's bytes as a reply: port, index, send tick low byte first.
std::vector<uint8_t> reply(uint8_t index, uint32_t tick, size_t size = PingMonitor::kProbeSize)
{
    std::vector<uint8_t> bytes(size, 0);
    const uint8_t head[7]
        = { 0x2E, 0xE0, index, uint8_t(tick), uint8_t(tick >> 8), uint8_t(tick >> 16), uint8_t(tick >> 24) };
    for (size_t i = 0; i < size && i < 7; ++i)
        bytes[i] = head[i];
    return bytes;
}

// Polls until the host has `replies` replies or a second has passed; the
// datagrams travel through the real loopback interface.
bool pollUntilReplies(PingMonitor& monitor, int32_t index, uint32_t replies)
{
    for (int i = 0; i < 100; ++i) {
        monitor.poll();
        if (monitor.host(index)->replies >= replies)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class Monitor : public testing::Test {
protected:
    Monitor()
        : monitor(port)
        , clockGuard(fake)
    {
    }
    uint16_t port { freeUdpPort() };
    PingMonitor monitor;
    platform::FakeClock fake { 100000 };
    platform::ScopedClock clockGuard;
};

TEST_F(Monitor, LoopbackEchoesItsOwnProbeAfterFiveSeconds)
{
    ASSERT_EQ(monitor.addHost(kLoopback), 1);
    fake.advance(PingMonitor::kProbeIntervalMs);
    monitor.poll();
    EXPECT_EQ(monitor.host(0)->sent, 0u); // exactly 5 s is not yet more than 5 s
    fake.advance(1);
    monitor.poll();
    EXPECT_EQ(monitor.host(0)->sent, 1u);
    // The echo may already have been taken in the pass that sent it.
    fake.advance(3);
    ASSERT_TRUE(pollUntilReplies(monitor, 0, 1));
    PingHost host = *monitor.host(0);
    EXPECT_EQ(host.replies, 1u);
    EXPECT_LE(host.minimum, 3u);
    EXPECT_EQ(host.maximum, host.minimum);
    EXPECT_EQ(host.mean, host.minimum);
}

TEST_F(Monitor, The129thHostIsRefused)
{
    for (int32_t i = 0; i < PingMonitor::kMaxHosts; ++i)
        ASSERT_EQ(monitor.addHost(kLoopback), i + 1);
    EXPECT_EQ(monitor.addHost(kLoopback), -1);
    EXPECT_EQ(monitor.hostCount(), PingMonitor::kMaxHosts);
    EXPECT_FALSE(monitor.host(PingMonitor::kMaxHosts).has_value());
    EXPECT_FALSE(monitor.host(-1).has_value());
}

TEST_F(Monitor, MeanMinimumAndMaximumFollowEveryReply)
{
    monitor.addHost(kLoopback);
    monitor.poll(); // opens the socket
    sendDatagram(port, reply(0, fake.tickMs() - 10));
    ASSERT_TRUE(pollUntilReplies(monitor, 0, 1));
    sendDatagram(port, reply(0, fake.tickMs() - 30));
    ASSERT_TRUE(pollUntilReplies(monitor, 0, 2));
    PingHost host = *monitor.host(0);
    EXPECT_EQ(host.minimum, 10u);
    EXPECT_EQ(host.maximum, 30u);
    EXPECT_EQ(host.mean, 20u);
}

struct BadReply {
    const char* name;
    std::vector<uint8_t> bytes;
};

class MonitorIgnores : public Monitor, public testing::WithParamInterface<BadReply> { };

TEST_P(MonitorIgnores, ReplyThatIsNoEchoOfAProbe)
{
    monitor.addHost(kLoopback);
    monitor.poll();
    sendDatagram(port, GetParam().bytes);
    // A good reply behind it shows the bad one has been read and passed over.
    sendDatagram(port, reply(0, fake.tickMs() - 4));
    ASSERT_TRUE(pollUntilReplies(monitor, 0, 1));
    EXPECT_EQ(monitor.host(0)->replies, 1u);
    EXPECT_EQ(monitor.host(0)->minimum, 4u);
}

INSTANTIATE_TEST_SUITE_P(Replies, MonitorIgnores,
    testing::Values(BadReply { "IndexFrom0x80", reply(0x80, 0) }, BadReply { "IndexOfNoHost", reply(5, 0) },
        BadReply { "ShorterThanSevenBytes", reply(0, 0, 6) }, BadReply { "Empty", {} }),
    [](const testing::TestParamInfo<BadReply>& row) { return std::string(row.param.name); });

TEST_F(Monitor, ReplyFromAnotherAddressThanTheHostsIsIgnored)
{
    monitor.addHost(0x7F000002u); // the reply below comes from 127.0.0.1
    monitor.poll();
    sendDatagram(port, reply(0, fake.tickMs()));
    for (int i = 0; i < 20; ++i) {
        monitor.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(monitor.host(0)->replies, 0u);
    EXPECT_EQ(monitor.host(0)->minimum, 1000u);
}

std::atomic<int> g_callbacks { 0 };
void countCallback(int32_t) { ++g_callbacks; }

TEST_F(Monitor, WithoutRepliesTheCallbackRunsAboutEveryFiveSeconds)
{
    g_callbacks = 0;
    monitor.setCallback(countCallback);
    monitor.poll();
    EXPECT_EQ(g_callbacks, 1);
    fake.advance(PingMonitor::kQuietCallbackMs);
    monitor.poll();
    EXPECT_EQ(g_callbacks, 1);
    fake.advance(1);
    monitor.poll();
    EXPECT_EQ(g_callbacks, 2);
    monitor.clearCallback();
    fake.advance(10000);
    monitor.poll();
    EXPECT_EQ(g_callbacks, 2);
}

// The process-wide monitor with its worker thread, on the real clock. Run
// under ThreadSanitizer too: the main thread adds hosts and reads numbers
// while the worker probes.
TEST(MonitorThread, ProbesOnItsOwnThreadAndStopsCleanly)
{
    g_callbacks = 0;
    uint16_t port = freeUdpPort();
    PingMonitor* monitor = createPingMonitor(port, 20);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(getPingMonitor(), monitor);
    monitor->setCallback(countCallback);
    monitor->addHost(kLoopback);
    monitor->addHost(kLoopback);
    bool answered = false;
    for (int i = 0; i < 300 && !answered; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        answered = monitor->host(0)->replies > 0 && monitor->host(1)->replies > 0;
    }
    EXPECT_TRUE(answered);
    EXPECT_LE(monitor->host(0)->minimum, 100u);
    EXPECT_GT(g_callbacks.load(), 0);
    // A second monitor replaces the first, which is stopped and freed first.
    PingMonitor* second = createPingMonitor(port, 20);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->hostCount(), 0);
    destroyPingMonitor();
    EXPECT_EQ(getPingMonitor(), nullptr);
    destroyPingMonitor(); // none left: nothing happens
}

} // namespace
