#pragma once
// Terrain cells in the cell grid. A cell whose corners and neighbours are
// level is a LandTile, the flat 44 x 44 diamond of its land art; a sloped one
// is a StretchedLandTile, two textured triangles through the projected corner
// heights, lit per corner from normals averaged over the neighbouring cells
// (computed once, when the tile is made). Both come from pools of 128.
// Main thread only.

#include "gfx/terrain_rasteriser.h"
#include "world/object_pool.h"
#include "world/world_object.h"

#include <array>
#include <cstdint>

class LandTile : public WorldObject {
public:
    LandTile(int32_t landId, int32_t atX, int32_t atY, int32_t atZ);

    void destroy() override;
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    void computeBounds() override;
    void place() override { placeWithDepthKey(z - 1); }
    bool isLand() const override { return true; }
    bool isHidden() const override;

    uint16_t graphic = 0;
};

class StretchedLandTile : public WorldObject {
public:
    // `corners` are the heights of (x, y), (x + 1, y), (x + 1, y + 1),
    // (x, y + 1); the lights are taken round (heightX, heightY), the cell's
    // position inside the facet (the wrapped one).
    StretchedLandTile(int32_t landId, int32_t atX, int32_t atY, const std::array<int8_t, 4>& corners,
        int32_t heightX, int32_t heightY);

    void destroy() override;
    void draw(const BlitTarget& target, const ScreenRect& dirty) override;
    void computeBounds() override;
    void place() override { placeWithDepthKey(topZ() - 1); }
    bool isLand() const override { return true; }
    bool isStretchedLand() const override { return true; }
    bool isHidden() const override;
    int32_t topZ() const override;
    int32_t baseZ() const override;
    int32_t zToward(int32_t direction) const override;

    const std::array<int8_t, 4>& cornerHeights() const { return m_corners; }
    const std::array<int32_t, 4>& lightLevels() const { return m_lights; }
    bool isBackFacing() const { return m_backFacing; }
    // True when split along the top-bottom diagonal: (0, 1, 2) and (2, 3, 0).
    bool isSplitTopBottom() const { return m_splitTopBottom; }
    // The highest corners of the first and second triangle.
    int32_t highestCornerP() const { return m_highestP; }
    int32_t highestCornerQ() const { return m_highestQ; }

    uint16_t graphic = 0;

private:
    void computeLights(int32_t heightX, int32_t heightY);

    std::array<int8_t, 4> m_corners {};
    std::array<int32_t, 4> m_lights {};
    bool m_backFacing = false;
    bool m_splitTopBottom = true;
    int32_t m_highestP = 0;
    int32_t m_highestQ = 0;
};

using LandTilePool = ObjectPool<LandTile, 128>;
using StretchedLandTilePool = ObjectPool<StretchedLandTile, 128>;
LandTilePool& landTilePool();
StretchedLandTilePool& stretchedLandTilePool();

// True when the quad splits along the top-bottom diagonal: |z1 - z3| >= |z0 - z2|.
bool chooseTerrainDiagonal(const std::array<int8_t, 4>& corners);
// The light level 0..15 of a corner normal (already scaled to length 256).
int32_t terrainLightLevel(int32_t nx, int32_t ny, int32_t nz);

// The land object of a cell beyond the wrapping part (or off the map), and of
// a cell inside it (read at the wrapped position, kept at (x, y)); placed in
// the grid.
WorldObject* createLandTile(int32_t x, int32_t y);
WorldObject* createWrappedLandTile(int32_t x, int32_t y);
