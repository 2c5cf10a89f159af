#include "mahjong/board_regions.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace mahjong {

namespace {

// Searched in order; hand strip i belongs to view seat i.
constexpr std::array<MahjongBoardRegion, kRegionCount> kRegions = { {
    { 0, 150, 0, 34, 519, 0 }, // left hand strip (view seat 0)
    { 150, 635, 0, 519, 669, 0 }, // bottom hand strip (the player's own)
    { 635, 150, 0, 669, 519, 0 }, // right hand strip
    { 150, 0, 0, 519, 34, 0 }, // top hand strip
    { 145, 180, 0, 179, 489, 0 }, // left inner strip
    { 180, 490, 0, 489, 524, 0 }, // bottom inner strip
    { 490, 180, 0, 524, 489, 0 }, // right inner strip
    { 180, 145, 0, 489, 179, 0 }, // top inner strip
    { 0, 150, 0, 144, 519, 0 }, // left side zone
    { 150, 525, 0, 519, 669, 0 }, // bottom side zone
    { 525, 150, 0, 669, 519, 0 }, // right side zone
    { 150, 0, 0, 519, 144, 0 }, // top side zone
    { 170, 170, 0, 499, 499, 0 }, // centre
    { 0, 0, 0, 669, 669, 0 }, // whole board
} };

// Inclusive ranges compared as unsigned 16-bit values.
bool rangesOverlap(uint16_t nearA, uint16_t farA, uint16_t nearB, uint16_t farB)
{
    return std::min(farA, farB) >= std::max(nearA, nearB);
}

bool onGrid(const BoardPosition& position) { return position.x % 5 == 0 && position.y % 5 == 0; }

} // namespace

uint8_t findRegion(int16_t x, int16_t y)
{
    for (size_t i = 0; i < kRegions.size(); ++i) {
        const MahjongBoardRegion& r = kRegions[i];
        if (r.x0 <= x && x <= r.x1 && r.y0 <= y && y <= r.y1)
            return uint8_t(i);
    }
    return kNoRegion;
}

int32_t seatOfRegion(uint8_t region)
{
    switch (region) {
    case 4:
    case 8:
        return 0;
    case 6:
    case 10:
        return 2;
    case 7:
    case 11:
        return 3;
    default:
        return -1;
    }
}

PieceExtent pieceExtent(uint8_t direction, int16_t width, int16_t height)
{
    switch (direction) {
    case 0:
    case 2:
        return { height, width };
    case 1:
    case 3:
        return { width, height };
    default:
        return { -1, -1 };
    }
}

BoardPosition tileFarCorner(const BoardPosition& position, uint8_t direction)
{
    PieceExtent extent = pieceExtent(direction, kTileWidth, kTileHeight);
    return { int16_t(position.x + extent.ex - 1), int16_t(position.y + extent.ey - 1), position.height };
}

bool footprintOverlapsRect(const BoardPosition& position, uint8_t direction, const MahjongBoardRegion& rect)
{
    BoardPosition far = tileFarCorner(position, direction);
    return rangesOverlap(uint16_t(position.x), uint16_t(far.x), uint16_t(rect.x0), uint16_t(rect.x1))
        && rangesOverlap(uint16_t(position.y), uint16_t(far.y), uint16_t(rect.y0), uint16_t(rect.y1));
}

bool footprintInsideRect(const BoardPosition& position, uint8_t direction, const MahjongBoardRegion& rect)
{
    BoardPosition far = tileFarCorner(position, direction);
    auto inside = [](int16_t value, int16_t low, int16_t high) { return value >= low && value <= high; };
    return inside(position.x, rect.x0, rect.x1) && inside(far.x, rect.x0, rect.x1)
        && inside(position.y, rect.y0, rect.y1) && inside(far.y, rect.y0, rect.y1);
}

RegionClass regionClassOf(uint8_t ownSeat, const BoardPosition& position, uint8_t direction)
{
    for (size_t i = 0; i < kRegions.size(); ++i) {
        if (!footprintOverlapsRect(position, direction, kRegions[i]))
            continue;
        if (i >= 4)
            return RegionClass::Free;
        return i == ownSeat ? RegionClass::Own : RegionClass::Foreign;
    }
    return RegionClass::Free;
}

uint8_t stackHeightAt(TileList tiles, uint8_t excluded, uint8_t direction, const BoardPosition& position)
{
    BoardPosition far = tileFarCorner(position, direction);
    uint8_t result = 0;
    for (const MahjongTile& tile : tiles) {
        if (tile.number == excluded)
            continue;
        BoardPosition tileFar = tileFarCorner(tile.position(), tile.direction);
        bool overlaps = rangesOverlap(uint16_t(tile.x), uint16_t(tileFar.x), uint16_t(position.x), uint16_t(far.x))
            && rangesOverlap(uint16_t(tile.y), uint16_t(tileFar.y), uint16_t(position.y), uint16_t(far.y));
        if (overlaps && tile.height >= int16_t(result))
            result = uint8_t(tile.height + 1);
    }
    return result;
}

bool canTakeTile(TileList tiles, uint8_t ownSeat, uint8_t direction, const BoardPosition& position, uint8_t number)
{
    if (regionClassOf(ownSeat, position, direction) == RegionClass::Foreign)
        return false;
    return int16_t(stackHeightAt(tiles, number, direction, position)) == position.height;
}

bool isValidTilePlace(uint8_t ownSeat, uint8_t direction, const BoardPosition& position)
{
    return onGrid(position) && footprintInsideRect(position, direction, kRegions[kWholeBoardRegion])
        && regionClassOf(ownSeat, position, direction) != RegionClass::Foreign;
}

bool canMoveTile(TileList tiles, uint8_t ownSeat, uint8_t oldDirection, const BoardPosition& oldPosition,
    uint8_t newDirection, const BoardPosition& newPosition, uint8_t number)
{
    return canTakeTile(tiles, ownSeat, oldDirection, oldPosition, number)
        && isValidTilePlace(ownSeat, newDirection, newPosition)
        && newPosition.height == int16_t(stackHeightAt(tiles, number, newDirection, newPosition));
}

void snapPiece(uint8_t direction, int16_t width, int16_t height, int16_t gridX, int16_t gridY, BoardPosition& position)
{
    int32_t stepX = std::max<int32_t>(gridX, 1);
    int32_t stepY = std::max<int32_t>(gridY, 1);
    int32_t x = position.x - position.x % stepX;
    int32_t y = position.y - position.y % stepY;
    PieceExtent extent = pieceExtent(direction, width, height);
    if (x < 0)
        x = 0;
    if (x + extent.ex > kBoardSize - 1)
        x = kBoardSize - extent.ex;
    if (y < 0)
        y = 0;
    if (y + extent.ey > kBoardSize - 1)
        y = kBoardSize - extent.ey;
    position = { int16_t(x), int16_t(y), 0 };
}

bool placeTile(TileList tiles, uint8_t ownSeat, uint8_t direction, BoardPosition& position, uint8_t number)
{
    snapPiece(direction, kTileWidth, kTileHeight, 5, 5, position);
    if (regionClassOf(ownSeat, position, direction) == RegionClass::Foreign
        && !relocateTile(tiles, ownSeat, direction, position, number))
        return false;
    position.height = stackHeightAt(tiles, number, direction, position);
    return true;
}

bool relocateTile(TileList tiles, uint8_t ownSeat, uint8_t direction, BoardPosition& position, uint8_t number)
{
    size_t strip = kRegions.size();
    for (size_t i = 0; i < kRegions.size(); ++i) {
        if (footprintOverlapsRect(position, direction, kRegions[i])) {
            strip = i;
            break;
        }
    }
    if (strip == kRegions.size())
        return false;
    if (strip >= 4 || strip == ownSeat)
        return true;

    const MahjongBoardRegion& r = kRegions[strip];
    PieceExtent extent = pieceExtent(direction, kTileWidth, kTileHeight);
    const int32_t x = position.x;
    const int32_t y = position.y;
    struct Candidate {
        BoardPosition position;
        uint16_t distance;
    };
    auto distance = [](int32_t value) { return uint16_t(std::abs(value)); };
    std::array<Candidate, 4> candidates = { {
        { { int16_t(r.x0 - extent.ex), position.y, 0 }, distance(x - r.x0 + extent.ex - 1) },
        { { position.x, int16_t(r.y1 + 1), 0 }, distance(y - r.y1) },
        { { int16_t(r.x1 + 1), position.y, 0 }, distance(x - r.x1) },
        { { position.x, int16_t(r.y0 - extent.ey), 0 }, distance(y - r.y0 + extent.ey - 1) },
    } };
    std::stable_sort(candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    for (Candidate& candidate : candidates) {
        if (!isValidTilePlace(ownSeat, direction, candidate.position))
            continue;
        candidate.position.height = stackHeightAt(tiles, number, direction, candidate.position);
        position = candidate.position;
        return true;
    }
    return false;
}

} // namespace mahjong
