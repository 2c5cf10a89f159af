#include "mahjong/mahjong_packets.h"

#include "net/game_connection.h"
#include "net/packet_dispatcher.h"
#include "net/packet_table.h"

#include <vector>

namespace mahjong {

namespace {

// Offsets below count from the first byte after the length word.
constexpr int32_t kSerialOffset = 0;
constexpr int32_t kPayloadOffset = 6;

// The name field is 30 bytes; the last is never part of the name.
constexpr int32_t kSeatNameField = 30;
constexpr size_t kSeatNameMax = 29;

bool readSeat(const uint8_t* packet, int32_t& offset, MahjongSeat& seat)
{
    int32_t at = offset;
    uint32_t score = 0;
    std::string_view name;
    bool complete = packetGetLong(packet, at, seat.serial) && packetGetByte(packet, at, seat.kind)
        && packetGetByte(packet, at, seat.seat) && packetGetLong(packet, at, score)
        && packetGetLong(packet, at, seat.seatFlags) && packetGetFixedText(packet, at, kSeatNameField, name)
        && packetGetByte(packet, at, seat.nameFlags);
    if (!complete)
        return false;
    seat.score = int32_t(score);
    seat.name.assign(name.substr(0, kSeatNameMax));
    offset = at;
    return true;
}

bool readTile(const uint8_t* packet, int32_t& offset, MahjongTile& tile)
{
    int32_t at = offset;
    uint16_t x = 0;
    uint16_t y = 0;
    uint8_t height = 0;
    bool complete = packetGetByte(packet, at, tile.number) && packetGetByte(packet, at, tile.face)
        && packetGetShort(packet, at, x) && packetGetShort(packet, at, y) && packetGetByte(packet, at, height)
        && packetGetByte(packet, at, tile.direction) && packetGetByte(packet, at, tile.flags);
    if (!complete)
        return false;
    tile.x = int16_t(x);
    tile.y = int16_t(y);
    tile.height = height;
    offset = at;
    return true;
}

bool readTableState(const uint8_t* packet, int32_t offset, MahjongTable::TableState& state)
{
    uint16_t dealerX = 0, dealerY = 0, wallX = 0, wallY = 0;
    bool complete = packetGetLong(packet, offset, state.options) && packetGetByte(packet, offset, state.die1)
        && packetGetByte(packet, offset, state.die2) && packetGetByte(packet, offset, state.wind)
        && packetGetShort(packet, offset, dealerX) && packetGetShort(packet, offset, dealerY)
        && packetGetByte(packet, offset, state.dealerDirection) && packetGetShort(packet, offset, wallX)
        && packetGetShort(packet, offset, wallY);
    state.dealerX = int16_t(dealerX);
    state.dealerY = int16_t(dealerY);
    state.wallBreakX = int16_t(wallX);
    state.wallBreakY = int16_t(wallY);
    return complete;
}

void handleSeats(MahjongTable& table, const uint8_t* packet, uint16_t subcommand)
{
    int32_t offset = kPayloadOffset;
    if (subcommand == kMahjongOneSeat) {
        MahjongSeat seat;
        if (readSeat(packet, offset, seat))
            table.applySeat(std::move(seat));
        return;
    }
    uint16_t count = 0;
    if (!packetGetShort(packet, offset, count))
        return;
    // A list whose records do not all fit is refused whole: the server's
    // seating is never half applied. The packet's length bounds the count.
    std::vector<MahjongSeat> seats;
    for (uint16_t i = 0; i < count; ++i) {
        MahjongSeat seat;
        if (!readSeat(packet, offset, seat))
            return;
        seats.push_back(std::move(seat));
    }
    table.replaceSeats(std::move(seats));
}

void handleTiles(MahjongTable& table, const uint8_t* packet, uint16_t subcommand)
{
    int32_t offset = kPayloadOffset;
    uint16_t count = 1;
    if (subcommand == kMahjongSomeTiles && !packetGetShort(packet, offset, count))
        return;
    std::vector<MahjongTile> records;
    for (uint16_t i = 0; i < count; ++i) {
        MahjongTile record;
        if (!readTile(packet, offset, record))
            return;
        records.push_back(record);
    }
    table.applyTiles(records);
}

} // namespace

void handleMahjong(MahjongBoardControl& boards, const uint8_t* packet)
{
    int32_t offset = kSerialOffset;
    uint32_t serial = 0;
    uint16_t subcommand = 0;
    if (!packetGetLong(packet, offset, serial) || !packetGetShort(packet, offset, subcommand))
        return;

    if (subcommand == kMahjongOpenBoard) {
        if (boards.openTable())
            boards.destroyBoard();
        boards.openBoard(serial);
        return;
    }
    MahjongTable* table = boards.openTable();
    if (!table || table->tableSerial() != serial)
        return;

    switch (subcommand) {
    case kMahjongOneSeat:
    case kMahjongAllSeats:
        handleSeats(*table, packet, subcommand);
        break;
    case kMahjongOneTile:
    case kMahjongSomeTiles:
        handleTiles(*table, packet, subcommand);
        break;
    case kMahjongTableState: {
        MahjongTable::TableState state;
        if (readTableState(packet, kPayloadOffset, state))
            table->applyTableState(state);
        break;
    }
    case kMahjongCloseBoard:
        boards.closeBoard();
        break;
    default:
        break;
    }
}

bool buildMahjongRequest(PacketBuffer& buffer, uint32_t tableSerial, const MahjongRequest& request)
{
    packetBegin(buffer, kMahjongPacketId);
    packetPutLong(buffer, tableSerial);
    packetPutShort(buffer, request.subcommand);
    switch (request.subcommand) {
    case kMahjongBoardClosed:
    case kMahjongRollDice:
    case kMahjongTableButton1:
    case kMahjongTableButton2:
        break;
    case kMahjongGiveScore:
        packetPutByte(buffer, request.seat);
        packetPutLong(buffer, request.value);
        break;
    case kMahjongSeatButton3:
    case kMahjongSeatButton4:
        packetPutByte(buffer, request.seat);
        break;
    case kMahjongOptions:
    case kMahjongOwnSeatFlags:
        packetPutLong(buffer, request.value);
        break;
    case kMahjongMoveWallBreak:
        packetPutShort(buffer, uint16_t(request.x));
        packetPutShort(buffer, uint16_t(request.y));
        break;
    case kMahjongMoveTile: {
        const MahjongTileMove& move = request.tileMove;
        packetPutByte(buffer, move.number);
        packetPutByte(buffer, move.oldDirection);
        packetPutByte(buffer, move.newDirection);
        packetPutByte(buffer, move.oldFaceUp);
        packetPutByte(buffer, move.newFaceUp);
        packetPutShort(buffer, uint16_t(move.oldX));
        packetPutShort(buffer, uint16_t(move.oldY));
        packetPutByte(buffer, move.oldHeight);
        packetPutShort(buffer, uint16_t(move.newX));
        packetPutShort(buffer, uint16_t(move.newY));
        packetPutByte(buffer, move.newHeight);
        break;
    }
    case kMahjongMoveDealer:
        packetPutByte(buffer, request.direction);
        packetPutByte(buffer, request.wind);
        packetPutShort(buffer, uint16_t(request.x));
        packetPutShort(buffer, uint16_t(request.y));
        break;
    default:
        packetFail(buffer);
        return false;
    }
    return !buffer.failed();
}

bool sendMahjongRequest(uint32_t tableSerial, const MahjongRequest& request)
{
    PacketStorage<kMaxMahjongRequestLength> buffer;
    return buildMahjongRequest(buffer, tableSerial, request) && sendPacket(buffer);
}

namespace {

class NoMahjongBoard final : public MahjongBoardControl {
public:
    MahjongTable* openTable() override { return nullptr; }
    void openBoard(uint32_t) override { }
    void closeBoard() override { }
    void destroyBoard() override { }
};

MahjongBoardControl*& installedBoards()
{
    static MahjongBoardControl* boards = nullptr;
    return boards;
}

} // namespace

MahjongBoardControl* doNothingMahjongBoards()
{
    static NoMahjongBoard noBoard;
    return &noBoard;
}

MahjongBoardControl& mahjongBoards()
{
    MahjongBoardControl* boards = installedBoards();
    return boards ? *boards : *doNothingMahjongBoards();
}

MahjongBoardControl* installMahjongBoards(MahjongBoardControl* boards)
{
    MahjongBoardControl* previous = installedBoards();
    installedBoards() = boards;
    return previous;
}

void registerMahjongHandler()
{
    registerPacketHandler(kMahjongPacketId, [](const uint8_t* packet) { handleMahjong(mahjongBoards(), packet); });
}

} // namespace mahjong
