#include "world/land_tile.h"

#include "data/def_tables.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/seasons.h"
#include "world/terrain_blocks.h"
#include "world/tile_data.h"
#include "world/update_range.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr uint16_t kNeverDrawnLand = 2;
constexpr uint16_t kNoTextureLimit = 0x4000;

uint16_t remapped(DefSlot slot, uint16_t id)
{
    const DefTable* table = defTable(slot);
    if (table && table->contains(id))
        return table->translate(id, 0);
    return id;
}

bool isLandDrawnGrey(const WorldObject& tile)
{
    const PlayerMobile* self = player();
    if (self && self->isDead())
        return true;
    return updateRangeState().rangeColoring && !tile.isInUpdateRange();
}

// A cell is level when its corners agree and no neighbour within one cell
// (two toward +x and +y) differs from its first corner.
bool isLevelCell(int32_t x, int32_t y, const std::array<int8_t, 4>& corners)
{
    if (corners[0] != corners[1] || corners[0] != corners[2] || corners[0] != corners[3])
        return false;
    for (int32_t j = y - 1; j <= y + 2; ++j) {
        for (int32_t i = x - 1; i <= x + 2; ++i) {
            if (terrainBlockNumber(i, j) < 0)
                return true;
            TerrainCell cell;
            if (!readTerrainCell(i, j, cell))
                continue;
            if (cell.z != corners[0])
                return false;
        }
    }
    return true;
}

WorldObject* makeLandObject(int32_t landId, int32_t x, int32_t y, int32_t heightX, int32_t heightY)
{
    landId = landTileForSeason(landId);
    std::array<int8_t, 4> corners = getCellCornerHeights(heightX, heightY);
    const TileDataLand& record = tileData().land(landId & 0x7FFF);
    WorldObject* object = nullptr;
    if (record.textureId != 0 && !isLevelCell(heightX, heightY, corners))
        object = stretchedLandTilePool().allocate(landId, x, y, corners, heightX, heightY);
    else
        object = landTilePool().allocate(landId, x, y, corners[0]);
    object->place();
    return object;
}

int32_t wrapInto(int32_t value, int32_t size)
{
    if (size <= 0)
        return value;
    value %= size;
    return value < 0 ? value + size : value;
}

} // namespace

LandTilePool& landTilePool()
{
    static LandTilePool pool;
    return pool;
}

StretchedLandTilePool& stretchedLandTilePool()
{
    static StretchedLandTilePool pool;
    return pool;
}

bool chooseTerrainDiagonal(const std::array<int8_t, 4>& corners)
{
    return std::abs(corners[1] - corners[3]) >= std::abs(corners[0] - corners[2]);
}

int32_t terrainLightLevel(int32_t nx, int32_t ny, int32_t nz)
{
    int32_t level = (100 * nx - 30 * ny + 23 * nz) / 1000;
    return std::clamp(level, 0, 15);
}

LandTile::LandTile(int32_t landId, int32_t atX, int32_t atY, int32_t atZ)
    : graphic(uint16_t(landId))
{
    x = int16_t(atX);
    y = int16_t(atY);
    z = int16_t(atZ);
}

void LandTile::destroy() { landTilePool().release(this); }

void LandTile::computeBounds()
{
    screenRect.left = columnKey * 22 - 22;
    screenRect.right = screenRect.left + 44;
    screenRect.top = rowKey * 22 - 4 * z;
    screenRect.bottom = screenRect.top + 44;
}

bool LandTile::isHidden() const
{
    const MapView& view = mapView();
    return !isPlaced() || (view.playerUnderground && z > view.undergroundCeilingZ);
}

void LandTile::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    uint16_t id = remapped(DefSlot::Art, graphic);
    if (id == kNeverDrawnLand)
        return;
    const WorldScreen& screen = worldScreen();
    int32_t left = screenRect.left - screen.viewPixelX;
    int32_t top = screenRect.top - screen.viewPixelY;
    if (isLandDrawnGrey(*this))
        drawFlatLandTileGrey(target, id, left, top, dirty);
    else
        drawFlatLandTile(target, id, left, top, dirty);
}

StretchedLandTile::StretchedLandTile(int32_t landId, int32_t atX, int32_t atY, const std::array<int8_t, 4>& corners,
    int32_t heightX, int32_t heightY)
    : graphic(uint16_t(landId))
    , m_corners(corners)
{
    x = int16_t(atX);
    y = int16_t(atY);
    z = int16_t((corners[0] + corners[1] + corners[2] + corners[3]) >> 2);
    m_backFacing = corners[2] >= corners[0] + 11;
    computeLights(heightX, heightY);
    m_splitTopBottom = chooseTerrainDiagonal(corners);
    // Ties keep the corner tried first.
    auto highest = [&corners](int32_t a, int32_t b, int32_t c) {
        int32_t best = a;
        if (corners[size_t(b)] > corners[size_t(best)])
            best = b;
        if (corners[size_t(c)] > corners[size_t(best)])
            best = c;
        return best;
    };
    if (m_splitTopBottom) {
        m_highestP = highest(0, 1, 2);
        m_highestQ = highest(2, 3, 0);
    } else {
        m_highestP = highest(0, 1, 3);
        m_highestQ = highest(2, 3, 1);
    }
}

void StretchedLandTile::computeLights(int32_t heightX, int32_t heightY)
{
    // Cell normals of the 3 x 3 cells round the tile, indexed [dy + 1][dx + 1].
    std::array<std::array<std::array<int32_t, 3>, 3>, 3> normals {};
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
            std::array<int8_t, 4> c = getCellCornerHeights(heightX + dx, heightY + dy);
            normals[size_t(dy + 1)][size_t(dx + 1)] = { 88 * (c[3] - c[1]), 88 * (c[0] - c[2]), 968 };
        }
    }
    // The cells sharing each corner, as offsets of their top-left cell.
    static constexpr std::array<std::array<int32_t, 2>, 4> kCornerCells = { { { -1, -1 }, { 0, -1 }, { 0, 0 }, { -1, 0 } } };
    for (size_t corner = 0; corner < 4; ++corner) {
        std::array<int32_t, 3> sum {};
        for (int32_t cy = 0; cy < 2; ++cy) {
            for (int32_t cx = 0; cx < 2; ++cx) {
                int32_t nx = kCornerCells[corner][0] + cx;
                int32_t ny = kCornerCells[corner][1] + cy;
                const std::array<int32_t, 3>& n = normals[size_t(ny + 1)][size_t(nx + 1)];
                for (size_t axis = 0; axis < 3; ++axis)
                    sum[axis] += n[axis];
            }
        }
        for (int32_t& component : sum)
            component >>= 2;
        double length = std::sqrt(double(sum[0]) * sum[0] + double(sum[1]) * sum[1] + double(sum[2]) * sum[2]);
        std::array<int32_t, 3> scaled {};
        for (size_t axis = 0; axis < 3; ++axis)
            scaled[axis] = length > 0 ? int32_t(double(sum[axis]) * 256.0 / length) : 0;
        m_lights[corner] = terrainLightLevel(scaled[0], scaled[1], scaled[2]);
    }
}

void StretchedLandTile::destroy() { stretchedLandTilePool().release(this); }

void StretchedLandTile::computeBounds()
{
    screenRect.left = columnKey * 22 - 22;
    screenRect.right = screenRect.left + 44;
    int32_t row = rowKey * 22;
    std::array<int32_t, 4> tops = { row - 4 * m_corners[0], row + 22 - 4 * m_corners[1], row + 44 - 4 * m_corners[2],
        row + 22 - 4 * m_corners[3] };
    screenRect.top = *std::min_element(tops.begin(), tops.end());
    screenRect.bottom = *std::max_element(tops.begin(), tops.end());
}

int32_t StretchedLandTile::topZ() const
{
    int32_t sum = m_splitTopBottom ? m_corners[0] + m_corners[2] : m_corners[1] + m_corners[3];
    return sum >> 1;
}

int32_t StretchedLandTile::baseZ() const { return *std::min_element(m_corners.begin(), m_corners.end()); }

int32_t StretchedLandTile::zToward(int32_t direction) const
{
    direction &= 7;
    if (direction & 1)
        return m_corners[size_t((direction / 2 + 1) % 4)];
    return (m_corners[size_t(direction / 2)] + m_corners[size_t((direction / 2 + 1) % 4)]) >> 1;
}

bool StretchedLandTile::isHidden() const
{
    if (!isPlaced())
        return true;
    const MapView& view = mapView();
    // A tile with one triangle wholly at or below the ceiling stays visible.
    return view.playerUnderground && m_corners[size_t(m_highestP)] > view.undergroundCeilingZ
        && m_corners[size_t(m_highestQ)] > view.undergroundCeilingZ;
}

void StretchedLandTile::draw(const BlitTarget& target, const ScreenRect& dirty)
{
    uint16_t id = remapped(DefSlot::TextureError, graphic);
    if (m_backFacing || id == kNeverDrawnLand)
        return;
    uint16_t textureId = tileData().land(id & 0x7FFF).textureId;
    if (textureId == 0 || textureId >= kNoTextureLimit)
        return;
    TerrainTexture texture = terrainArtCache().texture(textureId);
    if (!texture.pixels)
        return;
    bool grey = isLandDrawnGrey(*this);
    const WorldScreen& screen = worldScreen();
    int32_t x0 = screenRect.left - screen.viewPixelX;
    int32_t y0 = rowKey * 22 - screen.viewPixelY;
    // One or two pixels past the nominal diamond close the seams between
    // neighbours.
    std::array<TerrainVertex, 4> quad = { {
        { x0 + 22, y0 - 4 * m_corners[0] - 1, 1 },
        { x0 + 46, y0 - 4 * m_corners[1] + 22, 2 },
        { x0 + 23, y0 - 4 * m_corners[2] + 45, 3 },
        { x0, y0 - 4 * m_corners[3] + 22, 4 },
    } };
    static constexpr std::array<std::array<int32_t, 3>, 2> kTopBottom = { { { 0, 1, 2 }, { 2, 3, 0 } } };
    static constexpr std::array<std::array<int32_t, 3>, 2> kLeftRight = { { { 0, 1, 3 }, { 1, 2, 3 } } };
    const auto& triangles = m_splitTopBottom ? kTopBottom : kLeftRight;
    auto drawTriangle = [&](size_t which) {
        std::array<TerrainVertex, 3> vertices;
        std::array<int32_t, 3> lights;
        for (size_t i = 0; i < 3; ++i) {
            size_t corner = size_t(triangles[which][i]);
            vertices[i] = quad[corner];
            lights[i] = m_lights[corner];
        }
        if (grey)
            rasteriseTerrainTriangleGrey(target, texture, vertices, lights, dirty);
        else
            rasteriseTerrainTriangle(target, texture, vertices, lights, dirty);
    };
    const MapView& view = mapView();
    if (!view.playerUnderground) {
        drawTriangle(0);
        // A steep drop toward the left corner leaves a one-pixel gap along
        // the diagonal unless the second triangle starts one pixel right.
        if (m_corners[0] == m_corners[1] && m_corners[1] == m_corners[2] && m_corners[3] - m_corners[0] > 20)
            quad[0].x += 1;
        drawTriangle(1);
        return;
    }
    if (m_corners[size_t(m_highestP)] <= view.undergroundCeilingZ)
        drawTriangle(0);
    if (m_corners[size_t(m_highestQ)] <= view.undergroundCeilingZ)
        drawTriangle(1);
}

WorldObject* createLandTile(int32_t x, int32_t y)
{
    const MapView& view = mapView();
    int32_t landId = kOffMapLandId;
    if (x >= view.wrapWidth && x < view.mapWidth && y >= 0 && y < view.wrapHeight) {
        TerrainCell cell;
        landId = readTerrainCell(x, y, cell) ? cell.landId : kMissingLandId;
    }
    return makeLandObject(landId, x, y, x, y);
}

WorldObject* createWrappedLandTile(int32_t x, int32_t y)
{
    const MapView& view = mapView();
    int32_t wrappedX = wrapInto(x, view.wrapWidth);
    int32_t wrappedY = wrapInto(y, view.wrapHeight);
    TerrainCell cell;
    int32_t landId = readTerrainCell(wrappedX, wrappedY, cell) ? cell.landId : kMissingLandId;
    return makeLandObject(landId, x, y, wrappedX, wrappedY);
}
