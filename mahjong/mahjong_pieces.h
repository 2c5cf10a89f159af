#pragma once
// The pieces of a mahjong table as the client holds them. The board is a
// square of 670 x 670 pixels; a position is the top-left corner of a piece in
// board pixels, with a stacking height. Held positions, directions and seat
// numbers are in view terms (the player's own side at the bottom).

#include <cstdint>
#include <string>

namespace mahjong {

inline constexpr int16_t kBoardSize = 670;
inline constexpr int kTileCount = 136;
inline constexpr uint8_t kTileFaceUp = 0x10;

// Piece sizes, width x height in directions 1 and 3 (swapped in 0 and 2).
inline constexpr int16_t kTileWidth = 20;
inline constexpr int16_t kTileHeight = 30;
inline constexpr int16_t kDealerWidth = 40;
inline constexpr int16_t kDealerHeight = 20;
inline constexpr int16_t kWallBreakSize = 25;

struct BoardPosition {
    int16_t x = 0;
    int16_t y = 0;
    int16_t height = 0;

    friend bool operator==(const BoardPosition&, const BoardPosition&) = default;
};

struct MahjongTile {
    uint8_t number = 0; // 0..135, the tile's identity on the wire
    uint8_t face = 0; // picture shown when face up
    int16_t x = 0;
    int16_t y = 0;
    int16_t height = 0; // 0 lies on the table, n on tiles of level n - 1
    uint8_t direction = 0; // 0..3, the seat the tile faces
    uint8_t flags = 0; // kTileFaceUp; other bits as the server sent them

    bool isFaceUp() const { return (flags & kTileFaceUp) != 0; }
    BoardPosition position() const { return { x, y, height }; }
};

// Seat kinds that seat lookups match.
inline constexpr uint8_t kSeatKindManager = 1; // may act on the whole table
inline constexpr uint8_t kSeatKindPlayer = 2; // may move tiles, roll, give score

struct MahjongSeat {
    uint32_t serial = 0; // 0 marks an empty seat
    uint8_t kind = 0;
    uint8_t seat = 0; // view seat: 1 bottom (own), 0 left, 2 right, 3 top
    int32_t score = 0;
    uint32_t seatFlags = 0; // bit 0 is the own-seat check box
    std::string name; // at most 29 characters
    uint8_t nameFlags = 0; // bit 0: the name is shown in square brackets

    bool isSeated() const { return kind == kSeatKindManager || kind == kSeatKindPlayer; }
};

struct MahjongDealerIndicator {
    uint8_t wind = 0; // 0..3
    int16_t x = 0;
    int16_t y = 0;
    int16_t height = 0;
    uint8_t direction = 0; // 0..3
};

struct MahjongWallBreakIndicator {
    int16_t x = 0;
    int16_t y = 0;
    int16_t height = 0;
};

} // namespace mahjong
