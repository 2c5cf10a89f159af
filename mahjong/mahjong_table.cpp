#include "mahjong/mahjong_table.h"

#include <algorithm>

namespace mahjong {

namespace {

uint8_t positiveMod4(int32_t value) { return uint8_t(((value % 4) + 4) % 4); }

// Turns a piece of size width x height, lying at (x, y) and facing
// `direction`, by a number of quarter turns of the board (any sign; one turn
// takes direction d to d + 1). Turning by n and then by -n gives the piece
// back. x and y may both be null to turn only the direction.
void turnPiece(int16_t* x, int16_t* y, uint8_t& direction, int16_t width, int16_t height, int32_t quarterTurns)
{
    PieceExtent extent = pieceExtent(uint8_t(direction & 3), width, height);
    direction = positiveMod4(int32_t(direction) + quarterTurns);
    if (!x || !y)
        return;
    const int16_t oldX = *x;
    const int16_t oldY = *y;
    // All arithmetic wraps at 16 bits, as the positions travel.
    switch (positiveMod4(quarterTurns)) {
    case 1:
        *x = oldY;
        *y = int16_t(kBoardSize - oldX - extent.ex);
        break;
    case 2:
        *x = int16_t(kBoardSize - oldX - extent.ex);
        *y = int16_t(kBoardSize - oldY - extent.ey);
        break;
    case 3:
        *x = int16_t(kBoardSize - oldY - extent.ey);
        *y = oldX;
        break;
    default:
        break;
    }
}

} // namespace

MahjongTable::MahjongTable(uint32_t tableSerial, MahjongTableHost& host)
    : m_tableSerial(tableSerial)
    , m_host(host)
{
    // The wall is built in four groups of 34, two levels of 17 each, one
    // group facing each side; all of it starts in the middle of the board.
    constexpr uint8_t kGroupDirection[4] = { 3, 1, 0, 2 };
    for (int n = 0; n < kTileCount; ++n) {
        MahjongTile& tile = m_tiles[size_t(n)];
        tile.number = uint8_t(n);
        tile.x = 323;
        tile.y = 323;
        tile.height = int16_t((n % 34) / 17);
        tile.direction = kGroupDirection[n / 34];
    }
}

MahjongTile* MahjongTable::tileByNumber(uint8_t number)
{
    for (MahjongTile& tile : m_tiles) {
        if (tile.number == number)
            return &tile;
    }
    return nullptr;
}

const MahjongTile* MahjongTable::findTile(uint8_t number) const
{
    return const_cast<MahjongTable*>(this)->tileByNumber(number);
}

const MahjongSeat* MahjongTable::findSeat(uint8_t viewSeat) const
{
    for (const MahjongSeat& seat : m_seats) {
        if (seat.isSeated() && seat.seat == viewSeat)
            return &seat;
    }
    return nullptr;
}

const MahjongSeat* MahjongTable::ownSeat() const
{
    uint32_t player = m_host.playerSerial();
    if (player == 0)
        return nullptr;
    for (const MahjongSeat& seat : m_seats) {
        if (seat.isSeated() && seat.serial == player)
            return &seat;
    }
    return nullptr;
}

const MahjongSeat* MahjongTable::findSeatBySerial(uint32_t serial) const
{
    for (const MahjongSeat& seat : m_seats) {
        if (seat.serial == serial)
            return &seat;
    }
    return nullptr;
}

void MahjongTable::restack()
{
    // Higher tiles must end above lower ones: sort highest first, then bring
    // to the front from the last of that order to the first.
    std::array<const MahjongTile*, kTileCount> order;
    for (size_t i = 0; i < m_tiles.size(); ++i)
        order[i] = &m_tiles[i];
    std::stable_sort(
        order.begin(), order.end(), [](const MahjongTile* a, const MahjongTile* b) { return a->height > b->height; });
    std::array<uint8_t, kTileCount> bottomToTop;
    for (size_t i = 0; i < order.size(); ++i)
        bottomToTop[i] = order[order.size() - 1 - i]->number;
    m_host.restack(bottomToTop);
}

void MahjongTable::toViewCoords(int16_t* x, int16_t* y, uint8_t& direction, int16_t width, int16_t height) const
{
    // The player's own table seat is drawn at the bottom (view seat 1).
    turnPiece(x, y, direction, width, height, 1 - int32_t(m_viewRotation));
}

void MahjongTable::toTableCoords(int16_t* x, int16_t* y, uint8_t& direction, int16_t width, int16_t height) const
{
    turnPiece(x, y, direction, width, height, int32_t(m_viewRotation) - 1);
}

uint8_t MahjongTable::seatToView(uint8_t tableSeat) const
{
    uint8_t seat = tableSeat;
    toViewCoords(nullptr, nullptr, seat, 0, 0);
    return seat;
}

uint8_t MahjongTable::seatToTable(uint8_t viewSeat) const
{
    uint8_t seat = viewSeat;
    toTableCoords(nullptr, nullptr, seat, 0, 0);
    return seat;
}

void MahjongTable::setViewRotation(uint8_t rotation)
{
    // The rotation comes from a seat byte on the wire; only its two low bits
    // name a seat. Every piece is turned once, straight from the old view to
    // the new one, so that it keeps its place on the table.
    const uint8_t old = m_viewRotation;
    m_viewRotation = uint8_t(rotation & 3);
    const int32_t quarterTurns = int32_t(old) - int32_t(m_viewRotation);
    for (MahjongTile& tile : m_tiles) {
        turnPiece(&tile.x, &tile.y, tile.direction, kTileWidth, kTileHeight, quarterTurns);
        m_host.tilePlaced(tile);
    }
    turnPiece(&m_dealer.x, &m_dealer.y, m_dealer.direction, kDealerWidth, kDealerHeight, quarterTurns);
    m_host.dealerChanged();
    uint8_t scratch = 0;
    turnPiece(&m_wallBreak.x, &m_wallBreak.y, scratch, kWallBreakSize, kWallBreakSize, quarterTurns);
    m_host.wallBreakChanged();
}

void MahjongTable::applySeat(MahjongSeat seat)
{
    uint32_t player = m_host.playerSerial();
    if (player != 0 && seat.serial == player)
        setViewRotation(seat.seat);
    seat.seat = seatToView(seat.seat);
    auto held = std::find_if(m_seats.begin(), m_seats.end(), [&](const MahjongSeat& s) { return s.seat == seat.seat; });
    if (held != m_seats.end())
        *held = std::move(seat);
    else
        m_seats.push_back(std::move(seat));
    m_host.refreshBoard();
    restack();
}

void MahjongTable::replaceSeats(std::vector<MahjongSeat> seats)
{
    m_seats.clear();
    uint32_t player = m_host.playerSerial();
    for (const MahjongSeat& seat : seats) {
        if (player != 0 && seat.serial == player)
            setViewRotation(seat.seat);
    }
    for (MahjongSeat& seat : seats)
        seat.seat = seatToView(seat.seat);
    m_seats = std::move(seats);
    m_host.refreshBoard();
    restack();
}

void MahjongTable::applyTiles(std::span<const MahjongTile> records)
{
    for (MahjongTile record : records) {
        toViewCoords(&record.x, &record.y, record.direction, kTileWidth, kTileHeight);
        MahjongTile* tile = tileByNumber(record.number);
        if (!tile)
            continue;
        *tile = record;
        m_host.tileChanged(*tile);
    }
    restack();
}

void MahjongTable::applyTableState(const TableState& state)
{
    int16_t dealerX = state.dealerX;
    int16_t dealerY = state.dealerY;
    uint8_t dealerDirection = state.dealerDirection;
    toViewCoords(&dealerX, &dealerY, dealerDirection, kDealerWidth, kDealerHeight);
    int16_t wallX = state.wallBreakX;
    int16_t wallY = state.wallBreakY;
    uint8_t scratch = 0;
    toViewCoords(&wallX, &wallY, scratch, kWallBreakSize, kWallBreakSize);

    // Only the low byte of the options is the table's.
    m_options = state.options & 0xFF;
    m_die1 = state.die1;
    m_die2 = state.die2;
    m_dealer.wind = uint8_t(state.wind & 3);
    m_dealer.x = dealerX;
    m_dealer.y = dealerY;
    m_dealer.height = 0;
    m_dealer.direction = dealerDirection;
    m_host.dealerChanged();
    m_wallBreak = { wallX, wallY, 0 };
    m_host.wallBreakChanged();
    m_host.refreshBoard();
    restack();
}

void MahjongTable::moveTile(uint8_t number, uint8_t newDirection, bool faceUp, const BoardPosition& newPosition)
{
    MahjongTile* tile = tileByNumber(number);
    if (!tile)
        return;
    newDirection &= 3;
    MahjongRequest request;
    request.subcommand = kMahjongMoveTile;
    MahjongTileMove& move = request.tileMove;
    move.number = number;
    move.oldX = tile->x;
    move.oldY = tile->y;
    move.oldDirection = tile->direction;
    toTableCoords(&move.oldX, &move.oldY, move.oldDirection, kTileWidth, kTileHeight);
    move.newX = newPosition.x;
    move.newY = newPosition.y;
    move.newDirection = newDirection;
    toTableCoords(&move.newX, &move.newY, move.newDirection, kTileWidth, kTileHeight);
    move.oldFaceUp = tile->isFaceUp() ? 1 : 0;
    move.newFaceUp = faceUp ? 1 : 0;
    move.oldHeight = uint8_t(tile->height);
    move.newHeight = uint8_t(newPosition.height);
    send(request);

    tile->x = newPosition.x;
    tile->y = newPosition.y;
    tile->height = newPosition.height;
    tile->direction = newDirection;
    tile->flags = faceUp ? uint8_t(tile->flags | kTileFaceUp) : 0;
    m_host.tilePlaced(*tile);
    restack();
}

void MahjongTable::dropTile(uint8_t number, const BoardPosition& newPosition)
{
    const MahjongTile* tile = tileByNumber(number);
    if (!tile)
        return;
    if (canMoveTile(m_tiles, 1, tile->direction, tile->position(), tile->direction, newPosition, number))
        moveTile(number, tile->direction, tile->isFaceUp(), newPosition);
    else
        m_host.tileChanged(*tile); // slides back to where the model has it
}

void MahjongTable::rotateTile(uint8_t number)
{
    const MahjongTile* tile = tileByNumber(number);
    if (!tile)
        return;
    uint8_t newDirection = uint8_t((tile->direction + 1) % 4);
    // Keep the tile's centre where it was.
    bool upright = tile->direction == 1 || tile->direction == 3;
    BoardPosition position { int16_t(tile->x + (upright ? -5 : 5)), int16_t(tile->y + (upright ? 5 : -5)),
        tile->height };
    if (placeTile(m_tiles, 1, newDirection, position, number))
        moveTile(number, newDirection, tile->isFaceUp(), position);
    else
        m_host.tileChanged(*tile);
}

void MahjongTable::flipTile(uint8_t number)
{
    const MahjongTile* tile = tileByNumber(number);
    if (tile)
        moveTile(number, tile->direction, !tile->isFaceUp(), tile->position());
}

void MahjongTable::moveDealer(uint8_t newDirection, uint8_t wind, const BoardPosition& newPosition)
{
    newDirection &= 3;
    wind &= 3;
    MahjongRequest request;
    request.subcommand = kMahjongMoveDealer;
    request.direction = newDirection;
    request.wind = wind;
    request.x = newPosition.x;
    request.y = newPosition.y;
    toTableCoords(&request.x, &request.y, request.direction, kDealerWidth, kDealerHeight);
    send(request);

    m_dealer.x = newPosition.x;
    m_dealer.y = newPosition.y;
    m_dealer.height = newPosition.height;
    m_dealer.direction = newDirection;
    m_dealer.wind = wind;
    m_host.dealerChanged();
    m_host.refreshBoard();
    restack();
}

void MahjongTable::dropDealer(int16_t x, int16_t y)
{
    bool upright = m_dealer.direction == 1 || m_dealer.direction == 3;
    x = std::min<int16_t>(x, upright ? 630 : 650);
    y = std::min<int16_t>(y, upright ? 650 : 630);
    x = std::max<int16_t>(x, 0);
    y = std::max<int16_t>(y, 0);
    moveDealer(m_dealer.direction, m_dealer.wind, { x, y, 0 });
}

void MahjongTable::rotateDealer()
{
    uint8_t newDirection = uint8_t((m_dealer.direction + 1) % 4);
    bool upright = m_dealer.direction == 1 || m_dealer.direction == 3;
    BoardPosition position { int16_t(m_dealer.x + (upright ? 10 : -10)), int16_t(m_dealer.y + (upright ? -10 : 10)),
        0 };
    snapPiece(newDirection, kDealerWidth, kDealerHeight, 1, 1, position);
    moveDealer(newDirection, m_dealer.wind, position);
}

void MahjongTable::advanceWind()
{
    moveDealer(m_dealer.direction, uint8_t((m_dealer.wind + 1) % 4), { m_dealer.x, m_dealer.y, m_dealer.height });
}

void MahjongTable::moveWallBreak(const BoardPosition& newPosition)
{
    MahjongRequest request;
    request.subcommand = kMahjongMoveWallBreak;
    request.x = newPosition.x;
    request.y = newPosition.y;
    uint8_t scratch = 0;
    toTableCoords(&request.x, &request.y, scratch, kWallBreakSize, kWallBreakSize);
    send(request);

    m_wallBreak = { newPosition.x, newPosition.y, newPosition.height };
    m_host.wallBreakChanged();
    restack();
}

void MahjongTable::sendGiveScore(uint8_t viewSeat, uint32_t amount)
{
    MahjongRequest request;
    request.subcommand = kMahjongGiveScore;
    request.seat = seatToTable(viewSeat);
    request.value = amount;
    send(request);
}

void MahjongTable::sendRollDice()
{
    if (!hasOwnSeat())
        return;
    MahjongRequest request;
    request.subcommand = kMahjongRollDice;
    send(request);
}

void MahjongTable::setOption(uint32_t bit, bool on)
{
    if (bit > 1)
        return;
    uint32_t mask = 1u << bit;
    m_options = on ? (m_options | mask) : (m_options & ~mask);
    MahjongRequest request;
    request.subcommand = kMahjongOptions;
    request.value = m_options;
    send(request);
}

void MahjongTable::setOwnSeatFlag(bool on)
{
    const MahjongSeat* own = ownSeat();
    if (!own)
        return;
    MahjongRequest request;
    request.subcommand = kMahjongOwnSeatFlags;
    request.value = on ? (own->seatFlags | 1u) : (own->seatFlags & ~1u);
    send(request);
}

void MahjongTable::sendBoardClosed()
{
    MahjongRequest request;
    request.subcommand = kMahjongBoardClosed;
    send(request);
}

bool MahjongTable::sendTableRequest(uint16_t subcommand)
{
    if (subcommand != kMahjongTableButton1 && subcommand != kMahjongTableButton2)
        return false;
    MahjongRequest request;
    request.subcommand = subcommand;
    send(request);
    return true;
}

bool MahjongTable::sendSeatRequest(uint16_t subcommand, uint8_t viewSeat)
{
    if (subcommand != kMahjongSeatButton3 && subcommand != kMahjongSeatButton4)
        return false;
    MahjongRequest request;
    request.subcommand = subcommand;
    request.seat = seatToTable(viewSeat);
    send(request);
    return true;
}

} // namespace mahjong
