#include "fixtures/server_packet.h"
#include "net/dispatcher_tables.h"
#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"
#include "net/shard_sessions.h"
#include "support/huffman_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using fixture::ServerPacket;

struct Delivery {
    uint8_t id;
    ShardSession* session;
};

std::vector<Delivery>& deliveries()
{
    static std::vector<Delivery> seen;
    return seen;
}

void recordPacket(const uint8_t* packet) { deliveries().push_back({ packet[0], currentSession() }); }

// The ids the dispatcher ignores, as the protocol lists them; with the
// handled ids and the pause packet they must cover 0x0B..0xDD exactly.
const std::set<uint8_t>& listedIgnoredIds()
{
    static const std::set<uint8_t> ids = [] {
        std::set<uint8_t> all;
        auto range = [&all](uint8_t first, uint8_t last) {
            for (int id = first; id <= last; ++id)
                all.insert(uint8_t(id));
        };
        range(0x0C, 0x10);
        range(0x12, 0x14);
        all.insert({ 0x18, 0x19, 0x1E, 0x1F, 0x26, 0x2A, 0x2B, 0x32 });
        range(0x34, 0x37);
        all.insert(0x3D);
        range(0x46, 0x4D);
        range(0x50, 0x52);
        range(0x58, 0x5A);
        range(0x5C, 0x64);
        all.insert({ 0x67, 0x68, 0x6B, 0x75, 0x79, 0x7A });
        range(0x7D, 0x80);
        all.insert({ 0x83, 0x84, 0x87, 0x8A });
        range(0x8D, 0x8F);
        all.insert({ 0x91, 0x96 });
        range(0x9B, 0x9D);
        all.insert({ 0x9F, 0xA0, 0xA4, 0xA7, 0xAC, 0xAD, 0xB1, 0xB6, 0xC5, 0xCD, 0xCF, 0xD5, 0xD7, 0xD9 });
        return all;
    }();
    return ids;
}

class Dispatcher : public testing::Test {
protected:
    Dispatcher()
        : m_routing(installSessionRouting())
        , m_current(currentGameConnection())
    {
        clearPacketHandlers();
        clearUnregisteredPacketCounts();
        deliveries().clear();
        for (uint8_t id : kHandledPacketIds)
            registerPacketHandler(id, recordPacket);
    }
    ~Dispatcher() override
    {
        destroyAllSessions();
        deleteScheduledConnections();
        setCurrentGameConnection(m_current);
        clearPacketHandlers();
        setGameConnectionHandler(m_routing);
    }

    // A session with a connection of its own; `compressed` as a game server's.
    ShardSession& addSession(const std::string& name, bool compressed)
    {
        auto* connection = new GameConnection;
        connection->setCompressed(compressed);
        return *addShardSession(name, connection);
    }

    // Feeds real framed bytes: as they are, or Huffman-coded for a
    // compressed connection (whose digest is still zero, so the XOR keeps them).
    static void feed(GameConnection& connection, const std::vector<Bytes>& packets)
    {
        Bytes stream;
        if (connection.isCompressed()) {
            stream = test::huffmanEncodePackets(packets);
        } else {
            for (const Bytes& packet : packets)
                stream.insert(stream.end(), packet.begin(), packet.end());
        }
        connection.receiveBytes(stream.data(), stream.size());
    }

    static std::vector<uint8_t> deliveredIds()
    {
        std::vector<uint8_t> ids;
        for (const Delivery& delivery : deliveries())
            ids.push_back(delivery.id);
        return ids;
    }

private:
    GameConnectionHandler* m_routing;
    GameConnection* m_current;
};

const Bytes kLoginConfirm = ServerPacket(0x1B, ServerPacket::Length::Fixed).fill(36, 0).bytes();
const Bytes kCharacterList = ServerPacket(0xA9).u8(0).fill(300, 0).u8(0).u32(0).bytes();
const Bytes kMobileIncoming = ServerPacket(0x78).u32(5).u16(400).fill(12, 0).u32(0).bytes();
const Bytes kShardList = ServerPacket(0xA8).u8(0).u16(0).bytes();

TEST(DispatcherTable, EveryIdIsHandledPausedOrIgnoredAsListed)
{
    EXPECT_EQ(kHandledPacketIds.size(), 130u);
    EXPECT_TRUE(std::is_sorted(kHandledPacketIds.begin(), kHandledPacketIds.end()));
    int handled = 0;
    for (int value = 0; value < 256; ++value) {
        uint8_t id = uint8_t(value);
        PacketRoute route = packetRoute(id);
        bool inSwitch = id >= kFirstDispatchedId && id <= kLastDispatchedId;
        if (id == kPausePacketId) {
            EXPECT_EQ(route, PacketRoute::Pause);
        } else if (!inSwitch || listedIgnoredIds().count(id)) {
            EXPECT_EQ(route, PacketRoute::Ignored) << std::hex << value;
        } else {
            EXPECT_EQ(route, PacketRoute::Handler) << std::hex << value;
            ++handled;
        }
    }
    EXPECT_EQ(handled, 130);
}

TEST(DispatcherTable, OnlyHandlerIdsTakeAHandler)
{
    EXPECT_FALSE(registerPacketHandler(0x33, recordPacket));
    EXPECT_FALSE(registerPacketHandler(0xCD, recordPacket));
    EXPECT_FALSE(registerPacketHandler(0x0A, recordPacket));
    EXPECT_FALSE(registerPacketHandler(0xDE, recordPacket));
    EXPECT_EQ(registeredPacketHandler(0xCD), nullptr);
}

TEST(DispatcherTable, WhitelistIsTheTwelveIdsABackgroundShardMayDeliver)
{
    std::vector<uint8_t> allowed;
    for (int id = 0; id < 256; ++id) {
        if (isSecondaryWhitelisted(uint8_t(id)))
            allowed.push_back(uint8_t(id));
    }
    EXPECT_EQ(
        allowed, (std::vector<uint8_t> { 0x0E, 0x1B, 0x33, 0x35, 0x73, 0x8C, 0xA9, 0xBD, 0xBE, 0xBF, 0xC3, 0xCB }));
}

TEST_F(Dispatcher, BackgroundShardDeliversOnlyWhitelistedIdsAndCountsOnlyThose)
{
    ShardSession& shown = addSession("shown", true);
    ShardSession& background = addSession("background", true);
    setCurrentGameConnection(shown.connection);
    feed(*background.connection, { kLoginConfirm, kMobileIncoming, kCharacterList });
    EXPECT_EQ(deliveredIds(), (std::vector<uint8_t> { 0x1B, 0xA9 }));
    for (const Delivery& delivery : deliveries())
        EXPECT_EQ(delivery.session, &background);
    const auto& counted = background.connection->receiveIdStats().entries();
    EXPECT_EQ(counted.count(0x78), 0u);
    EXPECT_EQ(counted.at(0x1B).count, 1u);
    EXPECT_EQ(counted.at(0xA9).bytes, uint32_t(kCharacterList.size()));
}

TEST_F(Dispatcher, ShownConnectionDeliversEveryId)
{
    ShardSession& shown = addSession("shown", true);
    setCurrentGameConnection(shown.connection);
    feed(*shown.connection, { kLoginConfirm, kMobileIncoming, kShardList });
    EXPECT_EQ(deliveredIds(), (std::vector<uint8_t> { 0x1B, 0x78, 0xA8 }));
    EXPECT_EQ(shown.connection->receiveIdStats().entries().at(0x78).count, 1u);
}

TEST_F(Dispatcher, LoginConnectionBehindTheShownOneStillDeliversEveryId)
{
    ShardSession& shown = addSession("shown", true);
    ShardSession& login = addSession("login", false);
    setCurrentGameConnection(shown.connection);
    feed(*login.connection, { kShardList, kMobileIncoming });
    EXPECT_EQ(deliveredIds(), (std::vector<uint8_t> { 0xA8, 0x78 }));
}

TEST_F(Dispatcher, PausePacketHoldsTheFollowingOnesUntilResumed)
{
    ShardSession& shown = addSession("shown", false);
    setCurrentGameConnection(shown.connection);
    Bytes pause = { 0x33, 0x01 };
    Bytes resume = { 0x33, 0x00 };
    feed(*shown.connection, { pause, kLoginConfirm, pause });
    EXPECT_TRUE(shown.connection->isPaused());
    EXPECT_TRUE(deliveredIds().empty());
    // The second pause while paused never reached the dispatcher's count.
    EXPECT_EQ(shown.connection->receiveIdStats().entries().at(0x33).count, 1u);
    feed(*shown.connection, { resume });
    EXPECT_FALSE(shown.connection->isPaused());
    EXPECT_EQ(deliveredIds(), (std::vector<uint8_t> { 0x1B }));
}

TEST_F(Dispatcher, IdWithoutARegisteredHandlerIsSkippedAndCounted)
{
    clearPacketHandlers();
    registerPacketHandler(0xA8, recordPacket);
    ShardSession& shown = addSession("shown", false);
    setCurrentGameConnection(shown.connection);
    feed(*shown.connection, { kMobileIncoming, kMobileIncoming, kShardList, { 0xCD } });
    EXPECT_EQ(deliveredIds(), (std::vector<uint8_t> { 0xA8 }));
    EXPECT_EQ(unregisteredPacketCount(0x78), 2u);
    // An id the client ignores on purpose is not waiting for anyone.
    EXPECT_EQ(unregisteredPacketCount(0xCD), 0u);
}

TEST_F(Dispatcher, HandlerSeesThePacketsSessionAsCurrent)
{
    ShardSession& first = addSession("first", false);
    ShardSession& second = addSession("second", false);
    setCurrentGameConnection(first.connection);
    feed(*second.connection, { kShardList });
    feed(*first.connection, { kShardList });
    ASSERT_EQ(deliveries().size(), 2u);
    EXPECT_EQ(deliveries()[0].session, &second);
    EXPECT_EQ(deliveries()[1].session, &first);
}

} // namespace
