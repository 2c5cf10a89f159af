#pragma once
// The isometric projection from world cells to game-area pixels. A cell is a
// diamond 44 pixels wide and 44 high: one step in x moves 22 right and 22
// down, one step in y 22 left and 22 down. Adding the facet's map width keeps
// every column non-negative. Heights (4 pixels per z step) are applied by the
// drawers with their own offsets.

#include <cstdint>

struct ViewProjection {
    int32_t mapWidthCells = 0;
    // The world pixel shown at the game area's top-left.
    int32_t viewPixelX = 0;
    int32_t viewPixelY = 0;
};

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

ScreenPoint worldToScreen(int32_t cellX, int32_t cellY, const ViewProjection& view);
