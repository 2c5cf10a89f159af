#include "net/client_packets.h"
#include "net/game_connection.h"
#include "platform/sockets.h"
#include "recording_connection.h"
#include "support/huffman_encoder.h"
#include "support/test_server_peer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test::Bytes;
using test::RecordingConnection;
using test::TestServerPeer;

class SeedGuard {
public:
    explicit SeedGuard(uint32_t seed)
        : m_previous(connectionSeed())
    {
        setConnectionSeed(seed);
    }
    ~SeedGuard() { setConnectionSeed(m_previous); }

private:
    uint32_t m_previous;
};

class EditServerGuard {
public:
    EditServerGuard() { setEditServerMode(true); }
    ~EditServerGuard() { setEditServerMode(false); }
};

Bytes bytesOf(const PacketBuffer& packet) { return Bytes(packet.data(), packet.data() + packet.length()); }

// Reads until `count` packets were dispatched or about two seconds passed.
void readUntil(RecordingConnection& client, size_t count)
{
    for (int i = 0; i < 200 && client.packets.size() < count && client.link().isOpen(); ++i) {
        platform::SocketPoll entry;
        entry.socket = client.link().handle();
        entry.wantRead = true;
        if (platform::pollSockets({ &entry, 1 }, 10) > 0)
            client.link().onReadable();
    }
}

// One read step once the socket is readable, waiting at most `timeoutMs`.
void readOnce(RecordingConnection& client, uint32_t timeoutMs)
{
    platform::SocketPoll entry;
    entry.socket = client.link().handle();
    entry.wantRead = true;
    if (platform::pollSockets({ &entry, 1 }, timeoutMs) > 0)
        client.link().onReadable();
}

class ConnectionTest : public testing::Test {
protected:
    void connectClient(bool gameServer)
    {
        ASSERT_TRUE(peer.isListening());
        client.link().setGameServer(gameServer);
        ASSERT_TRUE(client.link().connect(TestServerPeer::address(), peer.port()));
        ASSERT_TRUE(peer.accept());
    }

    SeedGuard seed { 0x0A0B0C0Du };
    TestServerPeer peer;
    RecordingConnection client;
};

TEST_F(ConnectionTest, PeerReceivesExactlyTheSeedMostSignificantByteFirst)
{
    connectClient(false);
    Bytes wire;
    ASSERT_TRUE(peer.readRaw(wire, 4));
    EXPECT_EQ(wire, (Bytes { 0x0A, 0x0B, 0x0C, 0x0D }));
    EXPECT_TRUE(peer.readAvailable(20).empty());
    EXPECT_TRUE(client.link().isCipherOn());
    EXPECT_EQ(client.link().sendMeter().total(), 4);
}

TEST_F(ConnectionTest, ZeroSeedTakesTheHostAddressOnceAndKeepsIt)
{
    uint32_t host = platform::localIPv4Address();
    if (host == 0)
        GTEST_SKIP() << "this host's name does not resolve";
    setConnectionSeed(0);
    connectClient(false);
    EXPECT_EQ(connectionSeed(), host);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, false));
    EXPECT_EQ(seen, host);
    setConnectionSeed(host + 1);
    connectClient(false);
    ASSERT_TRUE(peer.readSeed(seen, false));
    EXPECT_EQ(seen, host + 1);
}

TEST_F(ConnectionTest, EditServerModeSendsNoSeedAndNoCipher)
{
    EditServerGuard editServer;
    connectClient(false);
    PacketStorage<8> ping;
    buildKeepAlivePacket(ping, 0x42);
    ASSERT_TRUE(client.link().queuePacket(ping));
    client.link().flush();
    Bytes wire;
    ASSERT_TRUE(peer.readRaw(wire, 2));
    EXPECT_EQ(wire, (Bytes { 0x73, 0x42 }));
}

TEST_F(ConnectionTest, PeerDeciphersALoginPacket)
{
    connectClient(false);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, false));
    PacketStorage<64> login;
    ASSERT_TRUE(buildAccountLoginPacket(login, "account", "secret", 0x11));
    Bytes plain = bytesOf(login);
    ASSERT_TRUE(client.link().queuePacket(login));
    ASSERT_TRUE(client.link().queuePacket(login));
    EXPECT_FALSE(client.link().flush());
    Bytes wire;
    ASSERT_TRUE(peer.readLoginCiphered(wire, 2 * plain.size()));
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 62), plain);
    EXPECT_EQ(Bytes(wire.begin() + 62, wire.end()), plain) << "the cipher runs on across packets";
}

TEST_F(ConnectionTest, GameConnectionCiphersEveryByteOnceAtFlush)
{
    connectClient(true);
    client.link().setCompressed(true);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, true));
    PacketStorage<128> gameLogin;
    ASSERT_TRUE(buildGameLoginPacket(gameLogin, "account", "secret"));
    Bytes expected;
    // Several flushes over more than one table, so the 257th byte is covered.
    for (int round = 0; round < 3; ++round) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(client.link().queuePacket(gameLogin));
            Bytes plain = bytesOf(gameLogin);
            expected.insert(expected.end(), plain.begin(), plain.end());
        }
        client.link().flush();
    }
    Bytes wire;
    ASSERT_TRUE(peer.readGameCiphered(wire, expected.size()));
    EXPECT_EQ(wire, expected);
}

TEST_F(ConnectionTest, KeptLoginConnectionPutsTheGameLoginThroughBothCiphers)
{
    connectClient(false);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, false));
    client.link().setGameServer(true);
    PacketStorage<128> gameLogin;
    ASSERT_TRUE(buildGameLoginPacket(gameLogin, "account", "secret"));
    ASSERT_TRUE(client.link().queuePacket(gameLogin));
    client.link().setCompressed(true);
    PacketStorage<8> ping;
    buildKeepAlivePacket(ping);
    ASSERT_TRUE(client.link().queuePacket(ping));
    client.link().flush();

    Bytes first;
    ASSERT_TRUE(peer.readRaw(first, 65));
    peer.gameDecipher(first);
    peer.loginDecipher(first);
    EXPECT_EQ(first, bytesOf(gameLogin));
    Bytes second;
    ASSERT_TRUE(peer.readGameCiphered(second, 2));
    EXPECT_EQ(second, (Bytes { 0x73, 0x00 }));
}

TEST_F(ConnectionTest, CompressedRoundTripOverEverySplitPoint)
{
    connectClient(true);
    client.link().setCompressed(true);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, true));
    // Longer than the digest, so that reads start at every phase of it.
    Bytes speech = { 0x1C, 0x00, 0x30 };
    for (uint8_t i = 3; i < 0x30; ++i)
        speech.push_back(uint8_t('a' + i % 26));
    const std::vector<Bytes> packets = { { 0x06, 0x40, 0x00, 0x00, 0x01 }, { 0x1C, 0x00, 0x06, 'a', 'b', 'c' }, { 0x55 },
        { 0x73, 0x00 }, speech };
    size_t streamSize = test::huffmanEncodePackets(packets).size();
    for (size_t cut = 0; cut <= streamSize; ++cut) {
        client.packets.clear();
        // Each stream continues the digest position of the one before it.
        Bytes stream = peer.compress(packets);
        int64_t before = client.link().receiveMeter().total();
        ASSERT_TRUE(peer.sendRaw(Bytes(stream.begin(), stream.begin() + cut)));
        if (cut > 0)
            readOnce(client, 1000); // the first part arrives in a read of its own
        EXPECT_EQ(client.link().receiveMeter().total(), before + int64_t(cut));
        ASSERT_TRUE(peer.sendRaw(Bytes(stream.begin() + cut, stream.end())));
        readUntil(client, packets.size());
        EXPECT_EQ(client.packets, packets) << "cut at " << cut;
    }
    EXPECT_EQ(client.lost, 0);
}

// A kernel buffer that fills takes part of a send, then nothing: both count as
// progress, never as a lost connection, and each byte is enciphered once.
class BlockedSend : public ConnectionTest, public testing::WithParamInterface<bool> { };

TEST_P(BlockedSend, IsRetriedLaterAndArrivesWhole)
{
    const bool game = GetParam();
    connectClient(game);
    client.link().setCompressed(game);
    uint32_t seen = 0;
    ASSERT_TRUE(peer.readSeed(seen, game));
    // The peer reads nothing until the kernel's buffers are full.
    Bytes expected;
    std::vector<uint8_t> storage(60000);
    PacketBuffer big(storage.data(), storage.size());
    bool blocked = false;
    for (int round = 0; round < 2000 && !blocked; ++round) {
        packetBegin(big, 0x1C);
        for (int i = 3; i < 60000; ++i)
            packetPutByte(big, uint8_t(i + round));
        if (client.link().queuePacket(big))
            expected.insert(expected.end(), big.data(), big.data() + big.length());
        uint32_t before = client.link().sendFill();
        bool pending = client.link().flush();
        blocked = pending && client.link().sendFill() == before;
    }
    ASSERT_TRUE(blocked);
    EXPECT_TRUE(client.link().isOpen());
    EXPECT_EQ(client.lost, 0);

    Bytes wire;
    for (int i = 0; i < 2000 && wire.size() < expected.size(); ++i) {
        client.link().flush();
        Bytes more = peer.readAvailable(5);
        wire.insert(wire.end(), more.begin(), more.end());
    }
    if (game)
        peer.gameDecipher(wire);
    else
        peer.loginDecipher(wire);
    EXPECT_EQ(wire.size(), expected.size());
    EXPECT_TRUE(wire == expected);
    EXPECT_EQ(client.link().sendFill(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ciphers, BlockedSend, testing::Bool(),
    [](const testing::TestParamInfo<bool>& row) { return std::string(row.param ? "GameCipher" : "LoginCipher"); });

TEST_F(ConnectionTest, ResetByThePeerIsALostConnectionOnRead)
{
    connectClient(false);
    peer.closeConnection(); // the seed was never read, so the peer resets the connection
    platform::SocketPoll entry;
    entry.socket = client.link().handle();
    entry.wantRead = true;
    ASSERT_GT(platform::pollSockets({ &entry, 1 }, 1000), 0);
    EXPECT_FALSE(client.link().onReadable());
    EXPECT_FALSE(client.link().isOpen());
    EXPECT_EQ(client.lost, 1);
}

TEST_F(ConnectionTest, PeerThatWentAwayIsALostConnection)
{
    connectClient(false);
    peer.closeConnection();
    PacketStorage<8> ping;
    buildKeepAlivePacket(ping);
    for (int i = 0; i < 100 && client.lost == 0; ++i) {
        client.link().queuePacket(ping);
        client.link().flush();
        platform::SocketPoll entry;
        entry.socket = client.link().handle();
        platform::pollSockets({ &entry, 1 }, 5);
    }
    EXPECT_EQ(client.lost, 1);
    EXPECT_FALSE(client.link().isOpen());
    // A flush on the closed connection reports the loss again.
    EXPECT_FALSE(client.link().flush());
    EXPECT_EQ(client.lost, 2);
}

TEST_F(ConnectionTest, ExceptionOnTheSocketClosesAndReportsTheLossOnce)
{
    connectClient(false);
    EXPECT_FALSE(client.link().onException());
    EXPECT_FALSE(client.link().isOpen());
    EXPECT_FALSE(client.link().isCipherOn());
    EXPECT_EQ(client.lost, 1);
}

TEST_F(ConnectionTest, PeerThatClosesIsALostConnectionAfterItsLastPackets)
{
    connectClient(false);
    Bytes wire;
    ASSERT_TRUE(peer.readRaw(wire, 4)); // unread bytes would turn the close into a reset
    ASSERT_TRUE(peer.sendRaw({ 0x73, 0x01, 0x55 }));
    peer.closeConnection();
    platform::SocketPoll entry;
    entry.socket = client.link().handle();
    entry.wantRead = true;
    ASSERT_GT(platform::pollSockets({ &entry, 1 }, 1000), 0);
    EXPECT_FALSE(client.link().onReadable());
    EXPECT_EQ(client.packets, (std::vector<Bytes> { { 0x73, 0x01 }, { 0x55 } }));
    EXPECT_FALSE(client.link().isOpen());
    EXPECT_EQ(client.lost, 1);
}

TEST_F(ConnectionTest, ReconnectClearsFlagsAndTheHoldQueue)
{
    connectClient(true);
    client.link().setSecondary(true);
    client.link().setConfirmed(true);
    client.feed({ 0x33, 0x01, 0x73, 0x00 });
    ASSERT_EQ(client.link().heldCount(), 1);
    PacketStorage<8> ping;
    buildKeepAlivePacket(ping);
    client.link().queuePacket(ping);
    connectClient(false);
    EXPECT_FALSE(client.link().isGameServer());
    EXPECT_FALSE(client.link().isCompressed());
    EXPECT_FALSE(client.link().isSecondary());
    EXPECT_FALSE(client.link().isConfirmed());
    EXPECT_FALSE(client.link().isPaused());
    EXPECT_EQ(client.link().heldCount(), 0);
    EXPECT_EQ(client.link().sendFill(), 0u);
    EXPECT_EQ(client.link().rawFill(), 0u);
}

TEST(Connection, ConnectToAClosedPortFails)
{
    uint16_t port;
    {
        TestServerPeer gone;
        port = gone.port();
    }
    RecordingConnection client;
    EXPECT_FALSE(client.link().connect(TestServerPeer::address(), port));
    EXPECT_FALSE(client.link().isOpen());
    EXPECT_EQ(client.lost, 0);
}

TEST(SendQueue, FillingTheQueueExactlyKeepsThePacketAndOneMoreByteDropsIt)
{
    RecordingConnection client;
    std::vector<uint8_t> storage(65535);
    PacketBuffer big(storage.data(), storage.size());
    packetBegin(big, 0x1C);
    std::vector<uint8_t> payload(65532 - 1, 'p');
    packetPutBytes(big, payload.data(), payload.size()); // 65,534 bytes
    ASSERT_TRUE(client.link().queuePacket(big));
    PacketStorage<8> two;
    buildKeepAlivePacket(two);
    ASSERT_TRUE(client.link().queuePacket(two)); // exactly 65,536
    EXPECT_EQ(client.link().sendFill(), 65536u);
    PacketStorage<8> one;
    packetBegin(one, 0x55);
    EXPECT_FALSE(client.link().queuePacket(one));
    EXPECT_EQ(client.link().sendFill(), 65536u);
    EXPECT_EQ(client.link().sendSizeStats().count(), 3u) << "a dropped packet is still counted";
    EXPECT_EQ(client.link().sendIdStats().entries().at(0x55).count, 1u);
}

TEST(SendQueue, FailedBuildIsNeverQueued)
{
    RecordingConnection client;
    PacketStorage<6> small;
    EXPECT_FALSE(buildTextCommandPacket(small, 0, "too long for six bytes"));
    EXPECT_FALSE(client.link().queuePacket(small));
    EXPECT_EQ(client.link().sendFill(), 0u);
    EXPECT_EQ(client.link().sendSizeStats().count(), 0u);
}

TEST(SendQueue, QueuedVariablePacketLeavesItsLengthWordInNetworkOrder)
{
    RecordingConnection client;
    PacketStorage<400> text;
    ASSERT_TRUE(buildTextCommandPacket(text, 0, std::string(300, 'a')));
    client.link().queuePacket(text);
    EXPECT_EQ(text.data()[1], 0x01);
    EXPECT_EQ(text.data()[2], 0x31); // 305
}

TEST(GameConnections, SendPacketNeedsACurrentConnection)
{
    releaseGameConnectionAtExit();
    PacketStorage<8> ping;
    buildKeepAlivePacket(ping);
    EXPECT_FALSE(sendPacket(ping));
    EXPECT_FALSE(gameConnectionIsOpen());
    ASSERT_TRUE(ensureGameConnection());
    GameConnection* current = currentGameConnection();
    EXPECT_TRUE(ensureGameConnection());
    EXPECT_EQ(currentGameConnection(), current);
    EXPECT_TRUE(sendPacket(ping));
    EXPECT_EQ(current->sendFill(), 2u);
    EXPECT_FALSE(isGameConnected());
    destroyAllConnections();
    EXPECT_EQ(currentGameConnection(), nullptr);
}

TEST(GameConnections, ScheduledTwiceIsDeletedOnce)
{
    ASSERT_TRUE(createGameConnection());
    GameConnection* current = currentGameConnection();
    scheduleConnectionDelete(current);
    scheduleConnectionDelete(current);
    deleteScheduledConnections();
    EXPECT_EQ(currentGameConnection(), nullptr);
    deleteScheduledConnections();
    destroyAllConnections();
}

} // namespace
