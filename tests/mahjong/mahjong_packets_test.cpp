#include "fixtures/mahjong_server_packets.h"
#include "mahjong/mahjong_packets.h"
#include "net/packet_table.h"
#include "support/fake_mahjong_board.h"

#include <gtest/gtest.h>

#include <sstream>

using fixture::MahjongServerPacket;
using namespace mahjong;

namespace {

constexpr uint32_t kTable = 0x40000010;
constexpr uint32_t kOtherTable = 0x40000099;
constexpr uint32_t kPlayer = 0x00000AAA;

using Bytes = std::vector<uint8_t>;

// ---- Requests -------------------------------------------------------------

struct RequestCase {
    const char* name;
    MahjongRequest request;
    Bytes expected;
};

MahjongRequest requestOf(uint16_t subcommand)
{
    MahjongRequest request;
    request.subcommand = subcommand;
    return request;
}

MahjongRequest withSeat(MahjongRequest request, uint8_t seat)
{
    request.seat = seat;
    return request;
}

MahjongRequest withValue(MahjongRequest request, uint32_t value)
{
    request.value = value;
    return request;
}

MahjongRequest withPlace(MahjongRequest request, uint8_t direction, uint8_t wind, int16_t x, int16_t y)
{
    request.direction = direction;
    request.wind = wind;
    request.x = x;
    request.y = y;
    return request;
}

class MahjongRequestBytes : public testing::TestWithParam<RequestCase> { };

TEST_P(MahjongRequestBytes, AreExact)
{
    PacketStorage<kMaxMahjongRequestLength> buffer;
    ASSERT_TRUE(buildMahjongRequest(buffer, kTable, GetParam().request));
    Bytes built(buffer.data(), buffer.data() + buffer.length());
    EXPECT_EQ(built, GetParam().expected);
}

#define HEADER(length) 0xDA, 0x00, length, 0x40, 0x00, 0x00, 0x10
INSTANTIATE_TEST_SUITE_P(Subcommands, MahjongRequestBytes,
    testing::Values(RequestCase { "BoardClosed", requestOf(6), { HEADER(9), 0x00, 0x06 } },
        RequestCase { "GiveScore", withValue(withSeat(requestOf(10), 2), 500),
            { HEADER(14), 0x00, 0x0A, 0x02, 0x00, 0x00, 0x01, 0xF4 } },
        RequestCase { "RollDice", requestOf(11), { HEADER(9), 0x00, 0x0B } },
        RequestCase { "TableButton1", requestOf(12), { HEADER(9), 0x00, 0x0C } },
        RequestCase { "TableButton2", requestOf(13), { HEADER(9), 0x00, 0x0D } },
        RequestCase { "SeatButton3", withSeat(requestOf(15), 3), { HEADER(10), 0x00, 0x0F, 0x03 } },
        RequestCase { "SeatButton4", withSeat(requestOf(16), 0), { HEADER(10), 0x00, 0x10, 0x00 } },
        RequestCase { "Options", withValue(requestOf(17), 2), { HEADER(13), 0x00, 0x11, 0x00, 0x00, 0x00, 0x02 } },
        RequestCase { "MoveWallBreak", withPlace(requestOf(21), 0, 0, 300, 400),
            { HEADER(13), 0x00, 0x15, 0x01, 0x2C, 0x01, 0x90 } },
        RequestCase {
            "OwnSeatFlags", withValue(requestOf(22), 0x80000001), { HEADER(13), 0x00, 0x16, 0x80, 0x00, 0x00, 0x01 } },
        RequestCase { "MoveDealer", withPlace(requestOf(24), 2, 3, 100, 600),
            { HEADER(15), 0x00, 0x18, 0x02, 0x03, 0x00, 0x64, 0x02, 0x58 } }),
    [](const testing::TestParamInfo<RequestCase>& p) { return std::string(p.param.name); });

TEST(MahjongRequests, ServerOnlySubcommandsAreNotBuilt)
{
    for (uint16_t subcommand : { 0, 1, 5, 25, 26, 99 }) {
        PacketStorage<kMaxMahjongRequestLength> buffer;
        EXPECT_FALSE(buildMahjongRequest(buffer, kTable, requestOf(subcommand))) << subcommand;
        EXPECT_TRUE(buffer.failed());
    }
}

class MahjongSession : public testing::Test {
protected:
    MahjongSession() { board.setPlayerSerial(kPlayer); }

    void receive(const Bytes& packet) { handleMahjong(board, packet.data()); }

    // Opens the table and seats the player at table seat 3 (rotation 3).
    void openSeated()
    {
        receive(MahjongServerPacket(kTable, 25).bytes());
        receive(MahjongServerPacket(kTable, 1).seat(kPlayer, 2, 3, 0, 0, "Me", 0).bytes());
    }

    test::FakeMahjongBoard board;
};

TEST_F(MahjongSession, ATileMoveIsSentInTableTerms)
{
    openSeated();
    receive(MahjongServerPacket(kTable, 3).tile(7, 1, 0, 0, 0, 1, 0).bytes());
    const MahjongTile* tile = board.table().findTile(7);
    ASSERT_EQ(tile->x, 650);
    ASSERT_EQ(tile->y, 640);
    ASSERT_EQ(tile->direction, 3);

    board.table().moveTile(7, 3, true, { 300, 300, 0 });
    ASSERT_EQ(board.sent.size(), 1u);
    constexpr uint8_t kExpected[] = {
        HEADER(24), 0x00, 0x17, // sub-command 23
        0x07, // tile
        0x01, 0x01, // old and new direction
        0x00, 0x01, // old and new face-up
        0x00, 0x00, 0x00, 0x00, 0x00, // old x, y, height
        0x01, 0x5E, 0x01, 0x54, 0x00, // new x 350, y 340, height
    };
    static_assert(sizeof kExpected == 24);
    EXPECT_EQ(board.sent[0], Bytes(std::begin(kExpected), std::end(kExpected)));
}

TEST_F(MahjongSession, SeatAndDealerRequestsUseTableSeats)
{
    openSeated();
    board.table().sendGiveScore(2, 10); // view seat 2 is table seat 0 under rotation 3
    board.table().sendSeatRequest(15, 1);
    board.table().moveDealer(3, 1, { 530, 450, 0 });
    ASSERT_EQ(board.sent.size(), 3u);
    EXPECT_EQ(board.sent[0], (Bytes { HEADER(14), 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x0A }));
    EXPECT_EQ(board.sent[1], (Bytes { HEADER(10), 0x00, 0x0F, 0x03 }));
    EXPECT_EQ(board.sent[2], (Bytes { HEADER(15), 0x00, 0x18, 0x01, 0x01, 0x00, 0x64, 0x00, 0xC8 }));
}
#undef HEADER

// ---- Incoming ------------------------------------------------------------

TEST_F(MahjongSession, ASessionReplaysIntoTheExpectedTable)
{
    receive(MahjongServerPacket(kTable, 3).tile(1, 1, 1, 1, 0, 1, 0).bytes());
    EXPECT_EQ(board.openTable(), nullptr) << "nothing but 25 opens a board";

    receive(MahjongServerPacket(kTable, 25).bytes());
    ASSERT_NE(board.openTable(), nullptr);
    MahjongTable& table = board.table();
    EXPECT_EQ(table.tableSerial(), kTable);

    receive(MahjongServerPacket(kTable, 2)
                .u16(3)
                .seat(0x123, 1, 0, 100, 0, "Ann", 1)
                .seat(kPlayer, 2, 3, -50, 1, "Me", 0)
                .seat(0, 0, 2, 0, 0, "", 0)
                .bytes());
    receive(
        MahjongServerPacket(kTable, 5).u32(0x1FF).u8(3).u8(5).u8(2).u16(100).u16(200).u8(1).u16(300).u16(400).bytes());
    receive(
        MahjongServerPacket(kTable, 4).u16(2).tile(0, 7, 0, 0, 0, 1, 0x10).tile(135, 33, 320, 330, 1, 0, 0).bytes());
    receive(MahjongServerPacket(kTable, 3).tile(5, 9, 100, 100, 2, 2, 0x10).bytes());
    receive(MahjongServerPacket(kTable, 1).seat(0x124, 1, 0, 7, 0, "Bob", 0).bytes());
    receive(MahjongServerPacket(kOtherTable, 26).bytes());
    receive(MahjongServerPacket(kTable, 99).u32(1).bytes());

    ASSERT_EQ(board.openTable(), &table) << "26 for another table is ignored";
    EXPECT_EQ(table.viewRotation(), 3);
    ASSERT_EQ(table.seats().size(), 3u);
    EXPECT_EQ(table.seats()[0].name, "Bob") << "the record for view seat 2 was replaced in place";
    EXPECT_EQ(table.seats()[0].seat, 2);
    EXPECT_EQ(table.seats()[1].seat, 1);
    EXPECT_EQ(table.seats()[1].score, -50);
    EXPECT_EQ(table.seats()[2].seat, 0);
    EXPECT_EQ(table.findSeat(0), nullptr) << "kind 0 is no seated player";
    ASSERT_NE(table.ownSeat(), nullptr);
    EXPECT_EQ(table.ownSeat()->name, "Me");
    EXPECT_EQ(table.ownSeat()->seatFlags, 1u);

    EXPECT_EQ(table.options(), 0xFFu);
    EXPECT_EQ(table.die1(), 3);
    EXPECT_EQ(table.die2(), 5);
    EXPECT_EQ(table.dealer().wind, 2);
    EXPECT_EQ(table.dealer().x, 530);
    EXPECT_EQ(table.dealer().y, 450);
    EXPECT_EQ(table.dealer().direction, 3);
    EXPECT_EQ(table.wallBreak().x, 345);
    EXPECT_EQ(table.wallBreak().y, 245);

    struct ExpectedTile {
        uint8_t number, face;
        int16_t x, y, height;
        uint8_t direction, flags;
    };
    for (ExpectedTile e : { ExpectedTile { 0, 7, 650, 640, 0, 3, 0x10 }, ExpectedTile { 135, 33, 320, 320, 1, 2, 0 },
             ExpectedTile { 5, 9, 540, 550, 2, 0, 0x10 } }) {
        const MahjongTile* tile = table.findTile(e.number);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->face, e.face) << int(e.number);
        EXPECT_EQ(tile->x, e.x) << int(e.number);
        EXPECT_EQ(tile->y, e.y) << int(e.number);
        EXPECT_EQ(tile->height, e.height) << int(e.number);
        EXPECT_EQ(tile->direction, e.direction) << int(e.number);
        EXPECT_EQ(tile->flags, e.flags) << int(e.number);
    }
    EXPECT_EQ(board.lastStackOrder.back(), 5) << "the highest tile is on top";
    EXPECT_TRUE(board.sent.empty()) << "state from the server sends nothing";

    // 25 replaces the open board, telling the server the old one closed.
    receive(MahjongServerPacket(0x40000020, 25).bytes());
    ASSERT_EQ(board.sent.size(), 1u);
    EXPECT_EQ(board.sent[0], (Bytes { 0xDA, 0x00, 0x09, 0x40, 0x00, 0x00, 0x10, 0x00, 0x06 }));
    ASSERT_NE(board.openTable(), nullptr);
    EXPECT_EQ(board.table().tableSerial(), 0x40000020u);
    EXPECT_EQ(board.table().viewRotation(), 1);
    EXPECT_TRUE(board.table().seats().empty());

    receive(MahjongServerPacket(0x40000020, 26).bytes());
    EXPECT_EQ(board.openTable(), nullptr);
    EXPECT_EQ(board.sent.size(), 1u) << "a board the server closes sends nothing";
}

TEST_F(MahjongSession, AllSeatsWithACountOfZeroEmptiesTheTable)
{
    openSeated();
    receive(MahjongServerPacket(kTable, 2).u16(0).bytes());
    EXPECT_TRUE(board.table().seats().empty());
    EXPECT_EQ(board.table().viewRotation(), 3) << "the rotation stays";
}

TEST_F(MahjongSession, OnlyTheSeatsTwoLowBitsBecomeTheRotation)
{
    receive(MahjongServerPacket(kTable, 25).bytes());
    receive(MahjongServerPacket(kTable, 3).tile(7, 1, 0, 0, 0, 1, 0).bytes());
    receive(MahjongServerPacket(kTable, 1).seat(kPlayer, 2, 0xFF, 0, 0, "Me", 0).bytes());
    EXPECT_EQ(board.table().viewRotation(), 3);
    ASSERT_NE(board.table().ownSeat(), nullptr);
    EXPECT_EQ(board.table().ownSeat()->seat, 1) << "the player's own seat is at the bottom";
    const MahjongTile* tile = board.table().findTile(7);
    EXPECT_EQ(tile->x, 650);
    EXPECT_EQ(tile->y, 640);
    EXPECT_EQ(tile->direction, 3);
}

TEST_F(MahjongSession, WireDirectionsAreTakenModuloFour)
{
    openSeated();
    receive(MahjongServerPacket(kTable, 3).tile(7, 1, 0, 0, 0, 0x85, 0).bytes());
    EXPECT_EQ(board.table().findTile(7)->direction, 3);
    EXPECT_EQ(board.table().findTile(7)->x, 650);
    receive(MahjongServerPacket(kTable, 3).tile(200, 1, 0, 0, 0, 1, 0).bytes());
    EXPECT_EQ(board.table().findTile(200), nullptr) << "no tile has that number";
}

TEST_F(MahjongSession, ANameFillingItsFieldKeepsTwentyNineCharacters)
{
    openSeated();
    receive(MahjongServerPacket(kTable, 1).seat(0x55, 1, 0, 0, 0, std::string(30, 'x'), 0).bytes());
    const MahjongSeat* seat = board.table().findSeatBySerial(0x55);
    ASSERT_NE(seat, nullptr);
    EXPECT_EQ(seat->name, std::string(29, 'x'));
}

// A snapshot of everything the model holds, for "nothing changed" checks.
std::string snapshot(const MahjongTable& table)
{
    std::ostringstream out;
    out << table.tableSerial() << ' ' << table.options() << ' ' << int(table.die1()) << ' ' << int(table.die2()) << ' '
        << int(table.viewRotation()) << " dealer " << int(table.dealer().wind) << ' ' << table.dealer().x << ' '
        << table.dealer().y << ' ' << int(table.dealer().direction) << " wall " << table.wallBreak().x << ' '
        << table.wallBreak().y << '\n';
    for (const MahjongSeat& seat : table.seats())
        out << "seat " << seat.serial << ' ' << int(seat.kind) << ' ' << int(seat.seat) << ' ' << seat.score << ' '
            << seat.seatFlags << ' ' << seat.name << ' ' << int(seat.nameFlags) << '\n';
    for (const MahjongTile& tile : table.tiles())
        out << int(tile.number) << ':' << int(tile.face) << ',' << tile.x << ',' << tile.y << ',' << tile.height << ','
            << int(tile.direction) << ',' << int(tile.flags) << ' ';
    return out.str();
}

struct BadPacketCase {
    const char* name;
    Bytes packet;
};

class MahjongBadPacket : public MahjongSession, public testing::WithParamInterface<BadPacketCase> { };

TEST_P(MahjongBadPacket, ChangesNothingHeld)
{
    openSeated();
    receive(MahjongServerPacket(kTable, 5).u32(3).u8(2).u8(4).u8(1).u16(10).u16(20).u8(0).u16(30).u16(40).bytes());
    receive(MahjongServerPacket(kTable, 3).tile(9, 2, 100, 100, 0, 1, 0).bytes());
    std::string before = snapshot(board.table());
    receive(GetParam().packet);
    ASSERT_NE(board.openTable(), nullptr);
    EXPECT_EQ(snapshot(board.table()), before);
    EXPECT_TRUE(board.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(Packets, MahjongBadPacket,
    testing::Values(BadPacketCase { "SeatCutShort",
                        MahjongServerPacket(kTable, 1).seat(0x77, 1, 0, 1, 2, "Zed", 0).truncatedBy(1) },
        BadPacketCase {
            "SeatNameCutShort", MahjongServerPacket(kTable, 1).seat(0x77, 1, 0, 1, 2, "Zed", 0).truncatedBy(20) },
        BadPacketCase { "AllSeatsWithoutCount", MahjongServerPacket(kTable, 2).bytes() },
        BadPacketCase { "AllSeatsCountCutShort", MahjongServerPacket(kTable, 2).u16(1).truncatedBy(1) },
        BadPacketCase { "TileCutShort", MahjongServerPacket(kTable, 3).tile(9, 5, 200, 200, 0, 1, 0).truncatedBy(1) },
        BadPacketCase { "TilesCountWithoutRecords", MahjongServerPacket(kTable, 4).u16(500).bytes() },
        BadPacketCase { "TilesCountPastTheRecords",
            MahjongServerPacket(kTable, 4).u16(3).tile(1, 4, 10, 10, 0, 1, 0).tile(2, 4, 20, 20, 0, 1, 0).bytes() },
        BadPacketCase { "SeatsCountPastTheRecords",
            MahjongServerPacket(kTable, 2).u16(2).seat(kPlayer, 2, 3, 0, 0, "Me", 0).bytes() },
        BadPacketCase { "StateCutShort",
            MahjongServerPacket(kTable, 5).u32(7).u8(6).u8(6).u8(3).u16(1).u16(2).u8(3).u16(4).u16(5).truncatedBy(1) },
        BadPacketCase { "StateEmpty", MahjongServerPacket(kTable, 5).bytes() },
        BadPacketCase { "NoSubcommand", MahjongServerPacket(kTable, 5).truncatedBy(2) },
        BadPacketCase { "NoSerial", MahjongServerPacket(kTable, 26).truncatedBy(6) },
        BadPacketCase { "OtherTable", MahjongServerPacket(kOtherTable, 3).tile(9, 5, 200, 200, 0, 1, 0).bytes() },
        BadPacketCase { "CloseOtherTable", MahjongServerPacket(kOtherTable, 26).bytes() },
        BadPacketCase { "RequestSubcommand", MahjongServerPacket(kTable, 23).tile(9, 5, 200, 200, 0, 1, 0).bytes() },
        BadPacketCase { "UnknownSubcommand", MahjongServerPacket(kTable, 0xFFFF).u32(0xFFFFFFFF).bytes() }),
    [](const testing::TestParamInfo<BadPacketCase>& p) { return std::string(p.param.name); });

// Every table message cut short at any byte is refused whole, the lists
// included: none of their records is applied.
TEST_F(MahjongSession, EveryMessageCutAtAnyByteChangesNothing)
{
    const std::vector<MahjongServerPacket> messages {
        MahjongServerPacket(kTable, 1).seat(kPlayer, 1, 3, 5, 1, "Me", 1),
        MahjongServerPacket(kTable, 2).u16(2).seat(kPlayer, 2, 3, 0, 0, "Me", 0).seat(0x66, 1, 0, 7, 0, "Ann", 0),
        MahjongServerPacket(kTable, 3).tile(9, 5, 200, 200, 0, 1, 0x10),
        MahjongServerPacket(kTable, 4).u16(2).tile(1, 4, 10, 10, 0, 1, 0).tile(2, 4, 20, 20, 0, 2, 0),
        MahjongServerPacket(kTable, 5).u32(0x1FF).u8(6).u8(6).u8(3).u16(1).u16(2).u8(3).u16(4).u16(5),
    };
    openSeated();
    const std::string before = snapshot(board.table());
    for (const MahjongServerPacket& message : messages) {
        const size_t payload = message.bytes().size() - 9;
        for (size_t cut = 1; cut <= payload; ++cut) {
            receive(message.truncatedBy(cut));
            ASSERT_EQ(snapshot(board.table()), before) << "sub-command " << int(message.bytes()[8]) << " cut by " << cut;
        }
    }
    EXPECT_TRUE(board.sent.empty());
}

} // namespace

namespace {

// Only the seat byte's two low bits name a seat: 7 is table seat 3.
TEST_F(MahjongSession, ASeatByteBeyondThreeTurnsTheViewByItsLowBits)
{
    receive(MahjongServerPacket(kTable, 25).bytes());
    receive(MahjongServerPacket(kTable, 1).seat(kPlayer, 2, 7, 0, 0, "Me", 0).bytes());
    EXPECT_EQ(board.table().viewRotation(), 3);
    ASSERT_NE(board.table().ownSeat(), nullptr);
    EXPECT_EQ(board.table().ownSeat()->seat, 1);
}

} // namespace
