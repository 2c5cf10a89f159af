#include "platform/clock.h"
#include "platform/sockets.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::IoStatus;

struct Pair {
    platform::SocketHandle listener;
    platform::SocketHandle client;
    platform::SocketHandle server;
    ~Pair()
    {
        platform::closeSocket(client);
        platform::closeSocket(server);
        platform::closeSocket(listener);
    }
};

void connectPair(Pair& pair)
{
    pair.listener = platform::tcpListenLoopback(0);
    ASSERT_NE(pair.listener, platform::kNoSocket);
    pair.client = platform::tcpConnect(0x7F000001u, platform::socketLocalPort(pair.listener), 2000);
    ASSERT_NE(pair.client, platform::kNoSocket);
    pair.server = platform::tcpAccept(pair.listener, 2000);
    ASSERT_NE(pair.server, platform::kNoSocket);
    ASSERT_TRUE(platform::setSocketBlocking(pair.client, false));
    ASSERT_TRUE(platform::setSocketBlocking(pair.server, false));
}

TEST(TcpSockets, ReceiveTellsWouldBlockDataAndClosedApart)
{
    Pair pair {};
    connectPair(pair);
    uint8_t buffer[16];
    EXPECT_EQ(platform::socketReceive(pair.client, buffer, sizeof buffer).status, IoStatus::WouldBlock);
    const uint8_t hello[] = { 'h', 'i' };
    platform::IoResult sent = platform::socketSend(pair.server, hello, sizeof hello);
    EXPECT_EQ(sent.status, IoStatus::Done);
    EXPECT_EQ(sent.count, 2);

    platform::SocketPoll entry;
    entry.socket = pair.client;
    entry.wantRead = true;
    ASSERT_EQ(platform::pollSockets({ &entry, 1 }, 1000), 1);
    platform::IoResult got = platform::socketReceive(pair.client, buffer, sizeof buffer);
    EXPECT_EQ(got.status, IoStatus::Done);
    EXPECT_EQ(got.count, 2);

    platform::closeSocket(pair.server);
    pair.server = platform::kNoSocket;
    ASSERT_EQ(platform::pollSockets({ &entry, 1 }, 1000), 1);
    EXPECT_EQ(platform::socketReceive(pair.client, buffer, sizeof buffer).status, IoStatus::Closed);
}

TEST(TcpSockets, SendToAVanishedPeerIsAnErrorNotASignal)
{
    Pair pair {};
    connectPair(pair);
    platform::closeSocket(pair.server);
    pair.server = platform::kNoSocket;
    const uint8_t byte = 1;
    IoStatus last = IoStatus::Done;
    for (int i = 0; i < 200 && last != IoStatus::Error; ++i) {
        last = platform::socketSend(pair.client, &byte, 1).status;
        platform::SocketPoll entry;
        entry.socket = pair.client;
        platform::pollSockets({ &entry, 1 }, 2);
    }
    EXPECT_EQ(last, IoStatus::Error);
}

TEST(TcpSockets, PollReportsOnlyTheReadySockets)
{
    Pair first {};
    Pair second {};
    connectPair(first);
    connectPair(second);
    const uint8_t byte = 7;
    platform::socketSend(second.server, &byte, 1);
    platform::SocketPoll entries[2];
    entries[0].socket = first.client;
    entries[0].wantRead = true;
    entries[1].socket = second.client;
    entries[1].wantRead = true;
    entries[1].wantWrite = true;
    ASSERT_GE(platform::pollSockets(entries, 1000), 1);
    EXPECT_FALSE(entries[0].readable);
    EXPECT_TRUE(entries[1].readable);
    EXPECT_TRUE(entries[1].writable);
    EXPECT_FALSE(entries[1].exception);
}

TEST(TcpSockets, PollWithNothingReadyTimesOut)
{
    Pair pair {};
    connectPair(pair);
    platform::SocketPoll entry;
    entry.socket = pair.client;
    entry.wantRead = true;
    EXPECT_EQ(platform::pollSockets({ &entry, 1 }, 1), 0);
    EXPECT_FALSE(entry.readable);
}

// A clock that ends every wait on sockets at once and notes how long each was
// asked to last.
class AskedSocketWaits final : public platform::Clock {
public:
    uint32_t tickMs() const override { return 0; }
    uint64_t highResCounter() const override { return 0; }
    uint64_t highResFrequency() const override { return 1000000; }
    uint32_t systemMs() const override { return 0; }
    uint32_t unixSeconds() const override { return 0; }
    void sleepMs(uint32_t) override { }
    int32_t runWait(uint32_t milliseconds, platform::InterruptibleWait& wait) override
    {
        asked.push_back(milliseconds);
        return wait.block(0);
    }

    std::vector<uint32_t> asked;
};

// The whole-program tests' clock decides how long the program's waits on its
// connections last, as it does for its sleeps.
TEST(TcpSockets, APollWaitsAsLongAsTheClockLetsIt)
{
    Pair pair {};
    connectPair(pair);
    AskedSocketWaits clock;
    platform::ScopedClock installed(clock);
    platform::SocketPoll entry;
    entry.socket = pair.client;
    entry.wantRead = true;
    EXPECT_EQ(platform::pollSockets({ &entry, 1 }, 2000), 0);
    EXPECT_EQ(clock.asked, std::vector<uint32_t> { 2000 });
}

TEST(TcpSockets, ConnectToNobodyFails)
{
    platform::SocketHandle listener = platform::tcpListenLoopback(0);
    uint16_t port = platform::socketLocalPort(listener);
    platform::closeSocket(listener);
    EXPECT_EQ(platform::tcpConnect(0x7F000001u, port, 1000), platform::kNoSocket);
}

TEST(UdpSockets, DatagramRoundTripNamesTheSender)
{
    platform::SocketHandle a = platform::udpOpen(0);
    platform::SocketHandle b = platform::udpOpen(0);
    ASSERT_NE(a, platform::kNoSocket);
    ASSERT_NE(b, platform::kNoSocket);
    uint8_t buffer[64];
    EXPECT_EQ(platform::udpReceiveFrom(b, buffer, sizeof buffer, nullptr, nullptr).status, IoStatus::WouldBlock);
    std::vector<uint8_t> probe(40, 0x5A);
    platform::IoResult sent
        = platform::udpSendTo(a, 0x7F000001u, platform::socketLocalPort(b), probe.data(), probe.size());
    EXPECT_EQ(sent.status, IoStatus::Done);
    platform::SocketPoll entry;
    entry.socket = b;
    entry.wantRead = true;
    ASSERT_EQ(platform::pollSockets({ &entry, 1 }, 1000), 1);
    uint32_t from = 0;
    uint16_t fromPort = 0;
    platform::IoResult got = platform::udpReceiveFrom(b, buffer, sizeof buffer, &from, &fromPort);
    EXPECT_EQ(got.status, IoStatus::Done);
    EXPECT_EQ(got.count, 40);
    EXPECT_EQ(from, 0x7F000001u);
    EXPECT_EQ(fromPort, platform::socketLocalPort(a));
    platform::closeSocket(a);
    platform::closeSocket(b);
}

TEST(HostNames, DottedAddressAndLocalhostResolve)
{
    uint32_t address = 0;
    ASSERT_TRUE(platform::resolveHostName("10.1.2.3", &address));
    EXPECT_EQ(address, 0x0A010203u);
    ASSERT_TRUE(platform::resolveHostName("localhost", &address));
    EXPECT_EQ(address >> 24, 127u);
    EXPECT_FALSE(platform::resolveHostName("", &address));
}

} // namespace
