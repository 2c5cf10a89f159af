// Feeds a session of arbitrary 0xDA packets into an open mahjong table, with
// the player's own moves in between, and checks that everything the model
// holds stays within its ranges.
#include "mahjong/mahjong_packets.h"
#include "mahjong/mahjong_table.h"
#include "net/packet_table.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kTable = 0x40000F00;
constexpr uint32_t kPlayer = 0x00000077;

class Board final : public mahjong::MahjongBoardControl, public mahjong::MahjongTableHost {
public:
    mahjong::MahjongTable* openTable() override { return m_table.get(); }
    void openBoard(uint32_t tableSerial) override
    {
        if (!m_table)
            m_table = std::make_unique<mahjong::MahjongTable>(tableSerial, *this);
    }
    void closeBoard() override { m_table.reset(); }
    void destroyBoard() override
    {
        if (m_table)
            m_table->sendBoardClosed();
        m_table.reset();
    }

    uint32_t playerSerial() const override { return kPlayer; }
    void sendRequest(uint32_t tableSerial, const mahjong::MahjongRequest& request) override
    {
        PacketStorage<mahjong::kMaxMahjongRequestLength> buffer;
        if (!mahjong::buildMahjongRequest(buffer, tableSerial, request))
            abort(); // every request the model makes must fit
    }
    void tileChanged(const mahjong::MahjongTile& tile) override
    {
        if (tile.direction > 3 || tile.number >= mahjong::kTileCount)
            abort();
    }
    void dealerChanged() override { }
    void wallBreakChanged() override { }
    void refreshBoard() override { }
    void restack(std::span<const uint8_t> tilesBottomToTop) override
    {
        if (tilesBottomToTop.size() != size_t(mahjong::kTileCount))
            abort();
    }

private:
    std::unique_ptr<mahjong::MahjongTable> m_table;
};

void checkTable(const mahjong::MahjongTable& table)
{
    bool seen[mahjong::kTileCount] = {};
    if (table.viewRotation() > 3 || table.options() > 0xFF || table.tiles().size() != size_t(mahjong::kTileCount))
        abort();
    for (const mahjong::MahjongTile& tile : table.tiles()) {
        if (tile.number >= mahjong::kTileCount || seen[tile.number] || tile.direction > 3)
            abort();
        seen[tile.number] = true;
    }
    for (const mahjong::MahjongSeat& seat : table.seats()) {
        if (seat.seat > 3 || seat.name.size() > 29)
            abort();
    }
    if (table.dealer().direction > 3 || table.dealer().wind > 3)
        abort();
}

// The player's own moves, chosen by a byte of the input.
void playerMove(mahjong::MahjongTable& table, uint8_t what, uint8_t a, uint8_t b)
{
    int16_t x = int16_t(a * 3 - 50);
    int16_t y = int16_t(b * 3 - 50);
    switch (what % 10) {
    case 0:
        table.dropTile(a, { x, y, int16_t(b & 3) });
        break;
    case 1:
        table.rotateTile(a);
        break;
    case 2:
        table.flipTile(a);
        break;
    case 3:
        table.dropDealer(x, y);
        break;
    case 4:
        table.rotateDealer();
        break;
    case 5:
        table.advanceWind();
        break;
    case 6:
        table.moveWallBreak({ x, y, 0 });
        break;
    case 7:
        table.sendGiveScore(a, b);
        table.sendSeatRequest(mahjong::kMahjongSeatButton3, a);
        break;
    case 8:
        table.setOption(a % 3, b & 1);
        table.setOwnSeatFlag(b & 2);
        table.sendRollDice();
        break;
    default:
        table.moveTile(a, b, b & 0x10, { x, y, int16_t(b) });
        break;
    }
}

} // namespace

// Input: records of {u8 flags, u16 sub-command, u8 payload length, payload}.
// Flag bit 0 sends the packet for another table; bit 1 follows it with one of
// the player's own moves taken from the next three bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Board board;
    std::vector<uint8_t> packet;
    auto send = [&](uint32_t serial, uint16_t subcommand, const uint8_t* payload, size_t length) {
        size_t total = 9 + length;
        packet.assign({ 0xDA, uint8_t(total >> 8), uint8_t(total), uint8_t(serial >> 24), uint8_t(serial >> 16),
            uint8_t(serial >> 8), uint8_t(serial), uint8_t(subcommand >> 8), uint8_t(subcommand) });
        packet.insert(packet.end(), payload, payload + length);
        mahjong::handleMahjong(board, packet.data());
    };
    send(kTable, mahjong::kMahjongOpenBoard, nullptr, 0);

    size_t at = 0;
    while (at + 4 <= size) {
        uint8_t flags = data[at];
        uint16_t subcommand = uint16_t(data[at + 1] << 8 | data[at + 2]);
        size_t length = std::min<size_t>(data[at + 3], size - at - 4);
        send((flags & 1) ? kTable + 1 : kTable, subcommand, data + at + 4, length);
        at += 4 + length;
        if (mahjong::MahjongTable* table = board.openTable()) {
            checkTable(*table);
            if ((flags & 2) && at + 3 <= size) {
                playerMove(*table, data[at], data[at + 1], data[at + 2]);
                at += 3;
                checkTable(*table);
            }
        }
    }
    return 0;
}
