#pragma once
// Piece ids and tile-data attributes the house-design code treats specially.

#include "world/tile_data.h"

#include <cstdint>

namespace housing {

// The nine pieces that sit 3 lower than others wherever roof pieces are shifted.
bool isLoweredComponentId(int32_t id);

// The twelve ids that take the floor slot and mark their cell as a surface.
inline bool isSurfaceMarkerId(int32_t id) { return id >= 6173 && id <= 6184; }

// What the design code reads of the item tile data (the world's tile table
// answers it in the client; tests answer it with a small table).
struct PieceTileAttributes {
    uint8_t height = 0;
    // TileFlag bits; the design code reads kTileSurface (a tall piece that
    // still takes the floor slot) and kTileRoof.
    uint32_t flags = 0;

    // Flat pieces are at most 1 high.
    bool isTall() const { return height > 1; }
    bool hasFlag(uint32_t flag) const { return (flags & flag) != 0; }
};

class PieceTileData {
public:
    virtual ~PieceTileData() = default;
    // Attributes of an item art id; all zero for an id the table lacks.
    virtual PieceTileAttributes attributes(uint16_t id) const = 0;
};

// True when a piece takes the floor slot of the placement grid: flat, or tall
// with the surface flag.
bool occupiesFloorSlot(const PieceTileData& tiles, uint16_t id);

} // namespace housing
