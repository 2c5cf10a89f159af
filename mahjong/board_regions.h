#pragma once
// The fixed regions of the mahjong board (view terms) and the only placement
// rules the client enforces: nobody takes tiles out of or puts tiles into
// another player's hand strip, tiles lie on a 5-pixel grid inside the board,
// only the top tile of a stack can be taken, and a placed tile rests one level
// above the highest tile under it.

#include "mahjong/mahjong_pieces.h"

#include <cstdint>
#include <span>

namespace mahjong {

// An inclusive rectangle; z0 and z1 are always 0 and take part in no test.
struct MahjongBoardRegion {
    int16_t x0, y0, z0, x1, y1, z1;
};

inline constexpr int kRegionCount = 14;
inline constexpr uint8_t kNoRegion = 255;
inline constexpr uint8_t kWholeBoardRegion = 13;

// The first region containing the point, or kNoRegion.
uint8_t findRegion(int16_t x, int16_t y);
// The view seat a region names for clicks and score drops (the side zones and
// inner strips of the other players), -1 for every other result.
int32_t seatOfRegion(uint8_t region);

struct PieceExtent {
    int16_t ex;
    int16_t ey;
};
// (height, width) for directions 0 and 2, (width, height) for 1 and 3,
// (-1, -1) for anything else.
PieceExtent pieceExtent(uint8_t direction, int16_t width, int16_t height);
BoardPosition tileFarCorner(const BoardPosition& position, uint8_t direction);
bool footprintOverlapsRect(const BoardPosition& position, uint8_t direction, const MahjongBoardRegion& rect);
bool footprintInsideRect(const BoardPosition& position, uint8_t direction, const MahjongBoardRegion& rect);

// Footprint class against own view seat `ownSeat`.
enum class RegionClass : uint8_t { Free = 0, Own = 1, Foreign = 6 };
RegionClass regionClassOf(uint8_t ownSeat, const BoardPosition& position, uint8_t direction);

using TileList = std::span<const MahjongTile>;

// The level a tile with that footprint would rest on, ignoring tile `excluded`.
uint8_t stackHeightAt(TileList tiles, uint8_t excluded, uint8_t direction, const BoardPosition& position);

bool canTakeTile(TileList tiles, uint8_t ownSeat, uint8_t direction, const BoardPosition& position, uint8_t number);
bool isValidTilePlace(uint8_t ownSeat, uint8_t direction, const BoardPosition& position);
bool canMoveTile(TileList tiles, uint8_t ownSeat, uint8_t oldDirection, const BoardPosition& oldPosition,
    uint8_t newDirection, const BoardPosition& newPosition, uint8_t number);

// Moves a piece onto the grid and inside the board; never refuses. A grid
// step below 1 counts as 1.
void snapPiece(uint8_t direction, int16_t width, int16_t height, int16_t gridX, int16_t gridY, BoardPosition& position);

// Settles a dragged, dropped or turned tile: snapped to the grid, moved out of
// another player's hand strip, resting on the stack under it. False when it
// cannot be moved out of a foreign strip.
bool placeTile(TileList tiles, uint8_t ownSeat, uint8_t direction, BoardPosition& position, uint8_t number);
// Moves a tile whose footprint lies in a foreign hand strip just outside that
// strip, to the nearest side where it may lie.
bool relocateTile(TileList tiles, uint8_t ownSeat, uint8_t direction, BoardPosition& position, uint8_t number);

} // namespace mahjong
