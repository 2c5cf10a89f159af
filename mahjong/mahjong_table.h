#pragma once
// The model behind the mahjong board: what the server has said about the table
// (seats, the 136 tiles, dealer and wall-break indicators, dice, options),
// converted so that the player's own seat is drawn at the bottom. The player's
// own moves are applied at once and sent as requests; the server's state
// messages simply overwrite the model. The board window owns the model, reads
// it, calls its operations and is told of changes through MahjongTableHost.
// Main thread only.

#include "mahjong/board_regions.h"
#include "mahjong/mahjong_pieces.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mahjong {

// The tile move of request 23, in table terms.
struct MahjongTileMove {
    uint8_t number = 0;
    uint8_t oldDirection = 0;
    uint8_t newDirection = 0;
    uint8_t oldFaceUp = 0;
    uint8_t newFaceUp = 0;
    int16_t oldX = 0;
    int16_t oldY = 0;
    uint8_t oldHeight = 0;
    int16_t newX = 0;
    int16_t newY = 0;
    uint8_t newHeight = 0;
};

// Sub-commands of packet 0xDA.
enum MahjongSubcommand : uint16_t {
    kMahjongOneSeat = 1,
    kMahjongAllSeats = 2,
    kMahjongOneTile = 3,
    kMahjongSomeTiles = 4,
    kMahjongTableState = 5,
    kMahjongBoardClosed = 6,
    kMahjongGiveScore = 10,
    kMahjongRollDice = 11,
    kMahjongTableButton1 = 12,
    kMahjongTableButton2 = 13,
    kMahjongSeatButton3 = 15,
    kMahjongSeatButton4 = 16,
    kMahjongOptions = 17,
    kMahjongMoveWallBreak = 21,
    kMahjongOwnSeatFlags = 22,
    kMahjongMoveTile = 23,
    kMahjongMoveDealer = 24,
    kMahjongOpenBoard = 25,
    kMahjongCloseBoard = 26,
};

// One request to the server, already in table terms. Which fields a
// sub-command carries is given by the request builder.
struct MahjongRequest {
    uint16_t subcommand = 0;
    uint8_t seat = 0; // 10, 15, 16
    uint32_t value = 0; // 10 amount, 17 options, 22 seat flags
    MahjongTileMove tileMove; // 23
    uint8_t direction = 0; // 24
    uint8_t wind = 0; // 24
    int16_t x = 0; // 21, 24
    int16_t y = 0; // 21, 24
};

// What the model needs of its surroundings; the board window implements it.
class MahjongTableHost {
public:
    virtual ~MahjongTableHost() = default;
    // The player's serial, 0 before the world is entered.
    virtual uint32_t playerSerial() const = 0;
    // Sends a request for this table (dropped when there is no game connection).
    virtual void sendRequest(uint32_t tableSerial, const MahjongRequest& request) = 0;
    // Change notices: the pictures to refresh.
    virtual void tileChanged(const MahjongTile& tile) = 0;
    // The tile was put in place by the player's own move or a new view: its
    // picture jumps there rather than sliding.
    virtual void tilePlaced(const MahjongTile& tile) { tileChanged(tile); }
    virtual void dealerChanged() = 0;
    virtual void wallBreakChanged() = 0;
    // Redraw the board picture and seat panels, reload dice and check boxes.
    virtual void refreshBoard() = 0;
    // Bring the board's children to the front in stacking order: text log,
    // dealer, the tiles in the order given (bottom first), dice, wall break,
    // and the leave confirmation when open.
    virtual void restack(std::span<const uint8_t> tilesBottomToTop) = 0;
};

class MahjongTable {
public:
    MahjongTable(uint32_t tableSerial, MahjongTableHost& host);
    MahjongTable(const MahjongTable&) = delete;
    MahjongTable& operator=(const MahjongTable&) = delete;

    uint32_t tableSerial() const { return m_tableSerial; }
    uint32_t options() const { return m_options; }
    uint8_t die1() const { return m_die1; }
    uint8_t die2() const { return m_die2; }
    uint8_t viewRotation() const { return m_viewRotation; }
    const MahjongDealerIndicator& dealer() const { return m_dealer; }
    const MahjongWallBreakIndicator& wallBreak() const { return m_wallBreak; }
    std::span<const MahjongTile> tiles() const { return m_tiles; }
    const MahjongTile* findTile(uint8_t number) const;
    std::span<const MahjongSeat> seats() const { return m_seats; }

    // The first seated record (kind 1 or 2) with that view seat number.
    const MahjongSeat* findSeat(uint8_t viewSeat) const;
    // The first seated record of the player, null when not seated.
    const MahjongSeat* ownSeat() const;
    // The first record with that serial, whatever its kind.
    const MahjongSeat* findSeatBySerial(uint32_t serial) const;
    void refreshBoard() { m_host.refreshBoard(); }
    void restack();

    // In-place conversions between table and view terms of a piece of size
    // width x height; x and y may both be null to convert only a direction
    // (which is how seat numbers are converted).
    void toViewCoords(int16_t* x, int16_t* y, uint8_t& direction, int16_t width, int16_t height) const;
    void toTableCoords(int16_t* x, int16_t* y, uint8_t& direction, int16_t width, int16_t height) const;
    uint8_t seatToView(uint8_t tableSeat) const;
    uint8_t seatToTable(uint8_t viewSeat) const;
    // Re-expresses every tile and indicator for a new rotation (the player's
    // table seat, 0..3). Seat records already held are not converted.
    void setViewRotation(uint8_t rotation);

    // State from the server, each argument in table terms.
    void applySeat(MahjongSeat seat);
    void replaceSeats(std::vector<MahjongSeat> seats);
    // Each tile record takes over the tile with its number (a number no tile
    // has changes nothing); then the board is restacked.
    void applyTiles(std::span<const MahjongTile> records);
    struct TableState {
        uint32_t options = 0;
        uint8_t die1 = 0;
        uint8_t die2 = 0;
        uint8_t wind = 0;
        int16_t dealerX = 0;
        int16_t dealerY = 0;
        uint8_t dealerDirection = 0;
        int16_t wallBreakX = 0;
        int16_t wallBreakY = 0;
    };
    void applyTableState(const TableState& state);

    // The player's own moves: sent first, then applied without waiting.
    void moveTile(uint8_t number, uint8_t newDirection, bool faceUp, const BoardPosition& newPosition);
    void dropTile(uint8_t number, const BoardPosition& newPosition);
    void rotateTile(uint8_t number);
    void flipTile(uint8_t number);
    void moveDealer(uint8_t newDirection, uint8_t wind, const BoardPosition& newPosition);
    void dropDealer(int16_t x, int16_t y);
    void rotateDealer();
    void advanceWind();
    void moveWallBreak(const BoardPosition& newPosition);

    // Requests that change nothing here.
    void sendGiveScore(uint8_t viewSeat, uint32_t amount);
    void sendRollDice();
    void setOption(uint32_t bit, bool on);
    void setOwnSeatFlag(bool on);
    void sendBoardClosed();
    // The table-area buttons: 12 and 13 carry nothing, 15 and 16 a seat.
    bool sendTableRequest(uint16_t subcommand);
    bool sendSeatRequest(uint16_t subcommand, uint8_t viewSeat);

private:
    MahjongTile* tileByNumber(uint8_t number);
    void send(const MahjongRequest& request) { m_host.sendRequest(m_tableSerial, request); }
    bool hasOwnSeat() const { return ownSeat() != nullptr; }

    uint32_t m_tableSerial;
    MahjongTableHost& m_host;
    uint32_t m_options = 0;
    uint8_t m_die1 = 1;
    uint8_t m_die2 = 1;
    uint8_t m_viewRotation = 1;
    MahjongDealerIndicator m_dealer;
    MahjongWallBreakIndicator m_wallBreak;
    std::array<MahjongTile, kTileCount> m_tiles {};
    std::vector<MahjongSeat> m_seats;
};

} // namespace mahjong
