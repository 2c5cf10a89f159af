#pragma once
// The terrain drawers: the flat 44 x 44 land diamond copied row by row from
// land art, and the scanline rasteriser that fills one triangle of a sloped
// cell with a texture, lit per vertex. The rasteriser steps every value (x,
// texture u and v, light) in fixed point with 12 fraction bits; light levels
// are 0..15, 0 brightest, applied per channel through the shade table.
// Coordinates are target pixels; nothing outside the clip (and the target's
// bounds) is touched. Main thread only.

#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"
#include "gfx/terrain_art.h"

#include <array>
#include <cstdint>

struct LandDiamondRow {
    int32_t start = 0;
    int32_t width = 0;
    int32_t end = 0;
    // Index of the row's first drawn pixel within the land art's 1012.
    int32_t offset = 0;
};

constexpr int32_t kLandDiamondRows = 44;

// Fills the row table; start-up, and again harmlessly.
void buildLandDiamondTables();
const std::array<LandDiamondRow, kLandDiamondRows>& landDiamondRows();

// The flat diamond of land art `id` (art entry 0 when `id` is missing) with
// its box's top-left at (x, y). Nothing when neither entry exists.
void drawFlatLandTile(const BlitTarget& target, int32_t id, int32_t x, int32_t y, const ScreenRect& clip);
// The same through the greyscale table.
void drawFlatLandTileGrey(const BlitTarget& target, int32_t id, int32_t x, int32_t y, const ScreenRect& clip);
// The diamond of the given 1012 pixels; `grey` maps each through the
// greyscale table.
void drawLandDiamond(
    const BlitTarget& target, const uint16_t* art, int32_t x, int32_t y, const ScreenRect& clip, bool grey);

// A quad corner: tag 1 top, 2 right, 3 bottom, 4 left, which picks the
// texture corner.
struct TerrainVertex {
    int32_t x = 0;
    int32_t y = 0;
    int32_t tag = 1;
};

// Texture coordinates of a tag for a texture of `size` (64 or 128).
void terrainTexel(int32_t tag, int32_t size, int32_t& u, int32_t& v);

void rasteriseTerrainTriangle(const BlitTarget& target, const TerrainTexture& texture,
    const std::array<TerrainVertex, 3>& vertices, const std::array<int32_t, 3>& lights, const ScreenRect& clip);
void rasteriseTerrainTriangleGrey(const BlitTarget& target, const TerrainTexture& texture,
    const std::array<TerrainVertex, 3>& vertices, const std::array<int32_t, 3>& lights, const ScreenRect& clip);

// One textured, lit pixel, as the rasteriser writes it: (u, v) and light in
// 12-bit fixed point.
uint16_t shadeTerrainTexel(const TerrainTexture& texture, int32_t u, int32_t v, int32_t light, bool grey);
