// The messenger connection over loopback: messages split from the stream
// whatever pieces it arrives in, the send queue's room and partial sends,
// a link that dies or fills without a terminator, and the reconnect rule.

#include "data/config_key_rules.h"
#include "messenger/message_store.h"
#include "messenger/messenger_connection.h"
#include "messenger/messenger_protocol.h"
#include "messenger/messenger_test_support.h"
#include "net/game_connection.h"
#include "platform/clock.h"
#include "platform/sockets.h"
#include "support/hostile_traffic.h"
#include "support/stage_messenger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

// A connection to a raw peer socket the test writes and reads itself.
class RawPeer : public testing::Test {
protected:
    RawPeer()
    {
        messenger_test::resetMessenger();
        listener = platform::tcpListenLoopback(0);
        connection.connectTo(kLoopback, platform::socketLocalPort(listener));
        peer = platform::tcpAccept(listener, 5000);
    }
    ~RawPeer() override
    {
        platform::closeSocket(peer);
        platform::closeSocket(listener);
        messenger_test::resetMessenger();
    }

    void write(const std::vector<uint8_t>& bytes)
    {
        size_t at = 0;
        while (at < bytes.size()) {
            const platform::IoResult result = platform::socketSend(peer, bytes.data() + at, bytes.size() - at);
            ASSERT_NE(result.status, platform::IoStatus::Error);
            if (result.status == platform::IoStatus::Done)
                at += size_t(result.count);
        }
    }
    // Writes while the connection reads, as a peer and the pump do.
    void feed(const std::vector<uint8_t>& bytes)
    {
        size_t at = 0;
        while (at < bytes.size() && connection.isOpen()) {
            const platform::IoResult result = platform::socketSend(peer, bytes.data() + at, bytes.size() - at);
            ASSERT_NE(result.status, platform::IoStatus::Error);
            if (result.status == platform::IoStatus::Done)
                at += size_t(result.count);
            connection.poll();
        }
    }
    // Polls until the connection took `count` more bytes (or closed).
    void pollFor(int64_t count)
    {
        const uint64_t before = uint64_t(connection.receiveMeter().total());
        for (int i = 0; i < 5000 && connection.isOpen(); ++i) {
            connection.poll();
            if (int64_t(uint64_t(connection.receiveMeter().total()) - before) >= count)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    static std::vector<uint8_t> units(std::u16string_view text, bool terminated)
    {
        std::vector<uint8_t> bytes = test::messengerWireBytes(text);
        if (!terminated)
            bytes.erase(bytes.end() - 2, bytes.end());
        return bytes;
    }

    std::vector<std::u16string> lines;
    MessengerConnection connection { [this](std::u16string_view line) { lines.emplace_back(line); } };
    platform::SocketHandle listener = platform::kNoSocket;
    platform::SocketHandle peer = platform::kNoSocket;
};

TEST_F(RawPeer, ThreeMessagesInOneReceiveAreHandledInOrder)
{
    std::vector<uint8_t> bytes = units(u"/s one", true);
    for (std::u16string_view text : { u"/K two", u"/p" }) {
        const std::vector<uint8_t> more = units(text, true);
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    write(bytes);
    pollFor(int64_t(bytes.size()));
    EXPECT_EQ(lines, (std::vector<std::u16string> { u"/s one", u"/K two", u"/p" }));
    EXPECT_EQ(connection.receivedCount(), 0);
}

TEST_F(RawPeer, AMessageSplitAcrossReceivesWaitsForItsEnd)
{
    const std::vector<uint8_t> bytes = units(u"/K split", true);
    // Cut inside a unit, so that the first piece ends in half of one.
    const std::vector<uint8_t> first(bytes.begin(), bytes.begin() + 5);
    const std::vector<uint8_t> second(bytes.begin() + 5, bytes.end());
    write(first);
    pollFor(int64_t(first.size()));
    EXPECT_TRUE(lines.empty());
    write(second);
    pollFor(int64_t(second.size()));
    EXPECT_EQ(lines, (std::vector<std::u16string> { u"/K split" }));
}

TEST_F(RawPeer, RepeatedTerminatorsEndOneMessage)
{
    std::vector<uint8_t> bytes = units(u"/p", true);
    bytes.insert(bytes.end(), { 0, 0, 0, 0 });
    const std::vector<uint8_t> more = units(u"/K next", true);
    bytes.insert(bytes.end(), more.begin(), more.end());
    write(bytes);
    pollFor(int64_t(bytes.size()));
    EXPECT_EQ(lines, (std::vector<std::u16string> { u"/p", u"/K next" }));
}

TEST_F(RawPeer, AHalfReceivedTerminatorIsNotReadFromOldBytes)
{
    // The first message leaves its bytes behind in the buffer; a new one
    // whose terminator has come only half must not end on them.
    write(units(u"A", true));
    pollFor(4);
    ASSERT_EQ(lines.size(), 1u);
    write({ 0x42, 0x00, 0x00 });
    pollFor(3);
    EXPECT_EQ(lines.size(), 1u);
    write({ 0x00 });
    pollFor(1);
    EXPECT_EQ(lines, (std::vector<std::u16string> { u"A", u"B" }));
}

TEST_F(RawPeer, APeerThatClosesClosesTheConnection)
{
    write(units(u"/p", true));
    pollFor(6);
    platform::closeSocket(peer);
    peer = platform::kNoSocket;
    for (int i = 0; i < 5000 && connection.isOpen(); ++i) {
        connection.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(messengerState().status, MessengerStatus::NotAvailable);
    EXPECT_EQ(lines.size(), 1u);
}

TEST_F(RawPeer, AFullBufferWithoutATerminatorEndsTheConnection)
{
    const std::vector<uint8_t> flood(size_t(MessengerConnection::kReceiveBufferSize), 0x41);
    std::thread writer([&] { write(flood); });
    for (int i = 0; i < 20000 && connection.isOpen(); ++i)
        connection.poll();
    writer.join();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_EQ(connection.receivedCount(), 0);
    EXPECT_TRUE(lines.empty());
}

TEST_F(RawPeer, AMessageIsQueuedOnlyWhenItFitsWhole)
{
    const int32_t units = MessengerConnection::kSendQueueSize / 2 - 1;
    EXPECT_EQ(connection.queueMessage(std::u16string(size_t(units) + 1, u'x')), 0);
    EXPECT_EQ(connection.queuedCount(), 0);
    EXPECT_EQ(connection.queueMessage(std::u16string(size_t(units), u'x')), MessengerConnection::kSendQueueSize);
    EXPECT_EQ(connection.queueMessage(u""), 0);
    EXPECT_EQ(connection.queuedCount(), MessengerConnection::kSendQueueSize);
}

TEST_F(RawPeer, APartialSendKeepsTheRestInOrder)
{
    // The peer reads nothing until the socket takes only part of the queue.
    int32_t next = 0;
    bool partial = false;
    for (int round = 0; round < 10000 && !partial; ++round) {
        while (connection.queueMessage(std::u16string(100, char16_t(u'a' + next % 26))) > 0)
            ++next;
        connection.flushSendQueue();
        partial = connection.queuedCount() > 0 && connection.queuedCount() % 202 != 0;
    }
    ASSERT_TRUE(partial);
    std::vector<uint8_t> got;
    const size_t expected = size_t(next) * 202;
    while (got.size() < expected) {
        connection.flushSendQueue();
        uint8_t buffer[65536];
        const platform::IoResult result = platform::socketReceive(peer, buffer, sizeof buffer);
        if (result.status == platform::IoStatus::Done)
            got.insert(got.end(), buffer, buffer + result.count);
        ASSERT_NE(result.status, platform::IoStatus::Error);
    }
    ASSERT_EQ(got.size(), expected);
    for (int32_t i = 0; i < next; ++i) {
        const size_t at = size_t(i) * 202;
        EXPECT_EQ(got[at], uint8_t(u'a' + i % 26)) << i;
        EXPECT_EQ(got[at + 200], 0);
        EXPECT_EQ(got[at + 201], 0);
    }
}

// A mail list cut at every byte: the first piece gives nothing, the rest
// gives the whole list, stored as if it came in one piece.
TEST_F(RawPeer, AListCutAtEveryByteIsStoredWhole)
{
    const std::u16string list = u"/s\r\n" + test::StageMessenger::mailBlock({ 5, u"Aldric", u"a@x", u"Kendra", u"k@x",
                                                 u"Mon Feb  3 10:00:00 2003 EST", u"Welcome", 0, u"" })
        + test::StageMessenger::mailBlock(
            { 6, u"Aldric", u"a@x", u"Brom", u"b@x", u"Tue Feb  4 09:30:00 2003 GMT", u"Supplies", 1, u"" });
    const std::vector<uint8_t> bytes = units(list, true);
    for (size_t cut = 1; cut < bytes.size(); ++cut) {
        lines.clear();
        write({ bytes.begin(), bytes.begin() + std::ptrdiff_t(cut) });
        pollFor(int64_t(cut));
        ASSERT_TRUE(lines.empty()) << cut;
        write({ bytes.begin() + std::ptrdiff_t(cut), bytes.end() });
        pollFor(int64_t(bytes.size() - cut));
        ASSERT_EQ(lines.size(), 1u) << cut;
        handleMessengerLine(lines[0]);
        ASSERT_EQ(messageStore().size(), 2u) << cut;
        EXPECT_EQ(messageStore()[0].fromName, u"Kendra");
        EXPECT_EQ(messageStore()[1].subject, u"Supplies");
    }
}

// A hostile peer: lines of every command with random contents and lengths,
// some past the longest line taken, with control units and non-characters
// among them. The client drops what is no text, keeps its stores bounded,
// and afterwards still takes a good list and address book whole.
TEST_F(RawPeer, HostileLinesLeaveTheProtocolWorking)
{
    static constexpr std::u16string_view kCommands[] = { u"/s\r\n", u"/b\r\n", u"/r\r\n", u"/K ", u"/p", u"/h\r\n",
        u"/f\r\n", u"/m ", u"/e", u"/S\r\n", u"", u"/" };
    test::TrafficRandom random(46);
    for (int round = 0; round < 200; ++round) {
        std::u16string line(kCommands[random.below(std::size(kCommands))]);
        const uint32_t length = random.chance(10) ? 30000 + random.below(2000) : random.below(300);
        for (uint32_t i = 0; i < length; ++i) {
            const uint32_t pick = random.below(10);
            line.push_back(pick < 6 ? char16_t(u' ' + random.below(95))
                    : pick < 8         ? (random.chance(50) ? u'\r' : u'\n')
                                       : char16_t(1 + random.below(0xFFFE)));
        }
        feed(units(line, true));
    }
    const std::u16string list = u"/s\r\n7\r\nTo: <a@x> \"Aldric\" ()\r\nFrom: <k@x> \"Kendra\" ()\r\nSubject: Last\r\nRead: 0\r\n";
    const std::u16string book = u"/b\r\n<k@x> \"Kendra\" (friend)\r\n.\r\n";
    feed(units(list, true));
    feed(units(book, true));
    for (int i = 0; i < 5000 && connection.isOpen() && (lines.empty() || lines.back() != book); ++i) {
        connection.poll();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (const std::u16string& received : lines) {
        handleMessengerLine(received);
        ASSERT_LE(messageStore().size(), 1999u);
        ASSERT_LE(addressBook().size(), 1999u);
    }
    ASSERT_TRUE(connection.isOpen());
    ASSERT_EQ(messageStore().size(), 1u);
    EXPECT_EQ(messageStore()[0].id, 7);
    EXPECT_EQ(messageStore()[0].subject, u"Last");
    ASSERT_EQ(addressBook().size(), 1u);
    EXPECT_EQ(addressBook()[0].name, u"Kendra");
}

class ReconnectRule : public testing::Test {
protected:
    ReconnectRule()
    {
        messenger_test::resetMessenger();
        configValues().userCentral = { kLoopback, messenger.port() };
        gameListener = platform::tcpListenLoopback(0);
        createGameConnection();
        currentGameConnection()->connect(kLoopback, platform::socketLocalPort(gameListener));
        gamePeer = platform::tcpAccept(gameListener, 5000);
        clock.setUnixSeconds(1000000);
        messengerState().socket = std::make_unique<MessengerConnection>();
    }
    ~ReconnectRule() override
    {
        messenger_test::resetMessenger();
        destroyAllConnections();
        platform::closeSocket(gamePeer);
        platform::closeSocket(gameListener);
        configValues().userCentral = {};
    }
    // One pass of the pump's messenger step, then a moment for the peer.
    void pass()
    {
        messengerSocket()->poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    bool connectedAfterPasses()
    {
        for (int i = 0; i < 100 && messenger.clientCount() == 0; ++i)
            pass();
        return messenger.clientCount() == 1;
    }

    test::StageMessenger messenger { false };
    platform::FakeClock clock { 5000 };
    platform::ScopedClock scopedClock { clock };
    platform::SocketHandle gameListener = platform::kNoSocket;
    platform::SocketHandle gamePeer = platform::kNoSocket;
};

TEST_F(ReconnectRule, WithoutAnAccountNumberNothingConnects)
{
    pass();
    pass();
    EXPECT_FALSE(messengerSocket()->isOpen());
    EXPECT_EQ(messenger.clientCount(), 0u);
    EXPECT_EQ(messengerState().status, MessengerStatus::NotAvailable);
    EXPECT_EQ(messengerState().lastAttempt, 0);
}

TEST_F(ReconnectRule, TwoFailuresWithinAMinuteMakeOneAttempt)
{
    messengerState().accountId = 7;
    ASSERT_TRUE(connectedAfterPasses());
    EXPECT_EQ(messengerState().lastAttempt, 1000000);
    messenger.closeClients();
    for (int i = 0; i < 100 && messengerSocket()->isOpen(); ++i)
        pass();
    ASSERT_FALSE(messengerSocket()->isOpen());
    // Within the minute the closed socket stays closed, however many passes.
    clock.setUnixSeconds(1000000 + 60);
    for (int i = 0; i < 10; ++i)
        pass();
    EXPECT_EQ(messenger.clientCount(), 0u);
    clock.setUnixSeconds(1000000 + 61);
    EXPECT_TRUE(connectedAfterPasses());
    EXPECT_EQ(messengerState().lastAttempt, 1000000 + 61);
}

TEST_F(ReconnectRule, NoGameConnectionMeansNoAttempt)
{
    messengerState().accountId = 7;
    closeGameConnection();
    for (int i = 0; i < 5; ++i)
        pass();
    EXPECT_EQ(messenger.clientCount(), 0u);
    EXPECT_EQ(messengerState().lastAttempt, 0);
}

} // namespace
