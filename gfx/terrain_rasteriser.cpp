#include "gfx/terrain_rasteriser.h"

#include "gfx/colour_tables.h"
#include "gfx/pixel_copy.h"
#include "gfx/pixel_spans.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace {

constexpr int32_t kOne = 4096;
constexpr int32_t kFractionBits = 12;

std::array<LandDiamondRow, kLandDiamondRows> g_rows;
bool g_rowsBuilt = false;

// Where data row r of the raw diamond starts: rows 0..21 hold 2, 4, ..., 44
// pixels, rows 22..43 hold 44, 42, ..., 2.
int32_t artRowOffset(int32_t r)
{
    if (r < 22)
        return r * (r + 1);
    int32_t offset = 22 * 23;
    for (int32_t row = 22; row < r; ++row)
        offset += 44 - 2 * (row - 22);
    return offset;
}

// A vertex with its texture corner and light, all whole units.
struct Corner {
    int32_t x;
    int32_t y;
    int32_t u;
    int32_t v;
    int32_t light;
};

// One edge's values in fixed point and their steps per row.
struct Edge {
    int32_t x = 0;
    int32_t u = 0;
    int32_t v = 0;
    int32_t light = 0;
    int32_t stepX = 0;
    int32_t stepU = 0;
    int32_t stepV = 0;
    int32_t stepLight = 0;

    // `rows` steps at once: the same values as that many single steps.
    void advance(int32_t rows = 1)
    {
        x += rows * stepX;
        u += rows * stepU;
        v += rows * stepV;
        light += rows * stepLight;
    }
};

int32_t stepOver(int32_t from, int32_t to, int32_t rows) { return int32_t(int64_t(to - from) * kOne / rows); }

// The edge from `a` to `b` (b.y > a.y); the left edge starts one pixel left.
Edge makeEdge(const Corner& a, const Corner& b, bool isLeft)
{
    int32_t rows = b.y - a.y;
    Edge edge;
    edge.x = a.x * kOne - (isLeft ? kOne : 0);
    edge.u = a.u * kOne;
    edge.v = a.v * kOne;
    edge.light = a.light * kOne;
    edge.stepX = stepOver(a.x, b.x, rows);
    edge.stepU = stepOver(a.u, b.u, rows);
    edge.stepV = stepOver(a.v, b.v, rows);
    edge.stepLight = stepOver(a.light, b.light, rows);
    return edge;
}

// kOne / width for the row widths a land cell has, so that a row costs no
// division; wider rows divide.
constexpr int32_t kReciprocalWidths = 256;
struct Reciprocals {
    std::array<int32_t, kReciprocalWidths> values {};
    constexpr Reciprocals()
    {
        for (int32_t width = 1; width < kReciprocalWidths; ++width)
            values[size_t(width)] = kOne / width;
    }
};
constexpr Reciprocals kReciprocals;

int32_t reciprocalOf(int32_t width) { return width < kReciprocalWidths ? kReciprocals.values[size_t(width)] : kOne / width; }

int32_t lightLevel(int32_t light) { return light < 0 ? 0 : std::min(light >> kFractionBits, 31); }

// How many pixels from here on keep the light level of the first: the light
// moves by `step` per pixel and the level is its whole part, clamped to
// 0..31.
// Distances and steps below this are divided in 32 bits, which is much
// quicker than in 64; the light values of land stay far below it.
constexpr int64_t kLightRunNarrowDivision = int64_t(1) << 30;

inline int64_t lightRunDivideUp(int64_t distance, int64_t step)
{
    if (distance < kLightRunNarrowDivision && step < kLightRunNarrowDivision)
        return uint32_t(distance + step - 1) / uint32_t(step);
    return (distance + step - 1) / step;
}

inline int64_t lightRunDivideDown(int64_t distance, int64_t step)
{
    if (distance < kLightRunNarrowDivision && step < kLightRunNarrowDivision)
        return uint32_t(distance) / uint32_t(step);
    return distance / step;
}

inline int32_t pixelsAtLevel(int32_t light, int32_t step, int32_t count)
{
    const int32_t level = lightLevel(light);
    // The level moves one way along the row: when the last pixel has the
    // first one's level, so has every pixel between (most rows of land).
    const int64_t last = int64_t(light) + int64_t(count - 1) * step;
    if (last >= INT32_MIN && last <= INT32_MAX && lightLevel(int32_t(last)) == level)
        return count;
    int64_t run = count;
    if (step > 0 && level < 31) {
        const int64_t distance = (int64_t(level + 1) << kFractionBits) - light;
        run = lightRunDivideUp(distance, step);
    } else if (step < 0 && level > 0) {
        const int64_t distance = int64_t(light) - (int64_t(level) << kFractionBits);
        run = lightRunDivideDown(distance, -int64_t(step)) + 1;
    }
    return int32_t(std::min<int64_t>(run, count));
}

template <bool Grey>
inline uint16_t shadeTexel(
    const ColourTables& tables, const TerrainTexture& texture, int32_t u, int32_t v, int32_t light)
{
    int32_t mask = texture.size - 1;
    // The span steps round toward minus infinity and may undershoot the
    // texture's first row or column by a fraction: the mask keeps every read
    // inside the texture.
    uint16_t texel = texture.pixels[(((v >> kFractionBits) & mask) << texture.shift) + ((u >> kFractionBits) & mask)];
    if constexpr (Grey)
        texel = tables.greyscale[texel & 0x7FFF];
    const std::array<uint8_t, 32>& shade = tables.shade[size_t(lightLevel(light))];
    return uint16_t((shade[redOf(texel)] << 10) | (shade[greenOf(texel)] << 5) | shade[blueOf(texel)]);
}

// Every 15-bit pixel shaded at one light level, made when the level is first
// drawn (64 KB each, 32 levels at most): a textured pixel then costs one
// lookup where shadeTexel takes three.
const uint16_t* shadedPixels(int32_t level)
{
    static std::array<std::unique_ptr<uint16_t[]>, 32> levels;
    std::unique_ptr<uint16_t[]>& table = levels[size_t(level)];
    if (!table) {
        table = std::make_unique<uint16_t[]>(32768);
        const std::array<uint8_t, 32>& shade = colourTables().shade[size_t(level)];
        for (uint32_t p = 0; p < 32768; ++p)
            table[p] = uint16_t((shade[redOf(uint16_t(p))] << 10) | (shade[greenOf(uint16_t(p))] << 5) | shade[p & 31]);
    }
    return table.get();
}

// The texture's pixels shaded at `level` (made on first use): a textured
// pixel then costs one read from a table the size of the texture, where the
// table of every 15-bit pixel is too large to stay near the processor.
const uint16_t* makeShadedTexture(const TerrainTexture& texture, int32_t level)
{
    std::unique_ptr<uint16_t[]>& table = texture.shaded->levels[size_t(level)];
    if (!table) {
        const size_t count = size_t(texture.size) * size_t(texture.size);
        table = std::make_unique<uint16_t[]>(count);
        const uint16_t* shaded = shadedPixels(level);
        for (size_t i = 0; i < count; ++i)
            table[i] = shaded[texture.pixels[i] & 0x7FFF];
    }
    return table.get();
}

inline const uint16_t* shadedTexture(const TerrainTexture& texture, int32_t level)
{
    const uint16_t* table = texture.shaded->levels[size_t(level)].get();
    return table ? table : makeShadedTexture(texture, level);
}

// `count` (a multiple of eight) pixels of one light level from the texture
// shaded at that level, eight at a time: the eight texel indices are made
// side by side, and (u, v) are left where `count` single steps leave them.
// The steps wrap as unsigned values, which gives the single steps' bits; an
// index takes only bits 12 and up of u and v below their sign, so shifting
// without the sign changes nothing.
template <int Shift>
inline void drawShadedEights(
    uint16_t* out, const uint16_t* shadedTexels, int32_t count, int32_t& u, int32_t& v, int32_t stepU, int32_t stepV)
{
    typedef uint32_t Four __attribute__((vector_size(16)));
    const uint32_t su = uint32_t(stepU);
    const uint32_t sv = uint32_t(stepV);
    const Four lanes { 0, 1, 2, 3 };
    Four u0 = uint32_t(u) + lanes * su;
    Four v0 = uint32_t(v) + lanes * sv;
    Four u1 = u0 + 4 * su;
    Four v1 = v0 + 4 * sv;
    const uint32_t eightU = 8 * su;
    const uint32_t eightV = 8 * sv;
    constexpr uint32_t mask = (1u << Shift) - 1;
    for (uint16_t* const end = out + count; out != end; out += 8) {
        const Four a = ((v0 >> (kFractionBits - Shift)) & (mask << Shift)) | ((u0 >> kFractionBits) & mask);
        const Four b = ((v1 >> (kFractionBits - Shift)) & (mask << Shift)) | ((u1 >> kFractionBits) & mask);
        out[0] = shadedTexels[a[0]];
        out[1] = shadedTexels[a[1]];
        out[2] = shadedTexels[a[2]];
        out[3] = shadedTexels[a[3]];
        out[4] = shadedTexels[b[0]];
        out[5] = shadedTexels[b[1]];
        out[6] = shadedTexels[b[2]];
        out[7] = shadedTexels[b[3]];
        u0 += eightU;
        v0 += eightV;
        u1 += eightU;
        v1 += eightV;
    }
    u = int32_t(uint32_t(u) + uint32_t(count) * su);
    v = int32_t(uint32_t(v) + uint32_t(count) * sv);
}

// Four pixels the same way.
template <int Shift>
inline void drawShadedFour(
    uint16_t* out, const uint16_t* shadedTexels, int32_t& u, int32_t& v, int32_t stepU, int32_t stepV)
{
    typedef uint32_t Four __attribute__((vector_size(16)));
    const uint32_t su = uint32_t(stepU);
    const uint32_t sv = uint32_t(stepV);
    const Four lanes { 0, 1, 2, 3 };
    const Four u0 = uint32_t(u) + lanes * su;
    const Four v0 = uint32_t(v) + lanes * sv;
    constexpr uint32_t mask = (1u << Shift) - 1;
    const Four a = ((v0 >> (kFractionBits - Shift)) & (mask << Shift)) | ((u0 >> kFractionBits) & mask);
    out[0] = shadedTexels[a[0]];
    out[1] = shadedTexels[a[1]];
    out[2] = shadedTexels[a[2]];
    out[3] = shadedTexels[a[3]];
    u = int32_t(uint32_t(u) + 4 * su);
    v = int32_t(uint32_t(v) + 4 * sv);
}

// `count` pixels of a row from (u, v) and light on. The light level changes
// a few times along a row at most: each run of one level goes through that
// level's table. With a known `Shift` (the texture being 1 << Shift texels
// square) the texel's row is taken straight from v's bits, which gives the
// same index as shifting it down, masking and shifting it up.
template <bool Grey, int Shift>
inline void drawTerrainSpan(uint16_t* out, const TerrainTexture& texture, int32_t count, int32_t u, int32_t v,
    int32_t light, int32_t stepU, int32_t stepV, int32_t stepLight)
{
    static_assert(Shift <= kFractionBits);
    [[maybe_unused]] const uint16_t* greyscale = nullptr;
    if constexpr (Grey)
        greyscale = colourTables().greyscale.data();
    const uint16_t* texels = texture.pixels;
    const int32_t mask = Shift ? (1 << Shift) - 1 : texture.size - 1;
    const int32_t shift = Shift ? Shift : texture.shift;
    while (count > 0) {
        const int32_t run = pixelsAtLevel(light, stepLight, count);
        if constexpr (!Grey && Shift != 0) {
            if (texture.shaded) {
                const uint16_t* shadedTexels = shadedTexture(texture, lightLevel(light));
                uint16_t* const runEnd = out + run;
                if (run >= 8) {
                    drawShadedEights<Shift>(out, shadedTexels, run & ~7, u, v, stepU, stepV);
                    out += run & ~7;
                }
                if (run & 4) {
                    drawShadedFour<Shift>(out, shadedTexels, u, v, stepU, stepV);
                    out += 4;
                }
                while (out != runEnd) {
                    *out++ = shadedTexels[((v >> (kFractionBits - Shift)) & (mask << Shift)) | ((u >> kFractionBits) & mask)];
                    u += stepU;
                    v += stepV;
                }
                light += run * stepLight;
                count -= run;
                continue;
            }
        }
        const uint16_t* shaded = shadedPixels(lightLevel(light));
        uint16_t* const runEnd = out + run;
        while (out != runEnd) {
            // The mask keeps every read inside the texture, as in shadeTexel.
            int32_t index;
            if constexpr (Shift != 0)
                index = ((v >> (kFractionBits - Shift)) & (mask << Shift)) | ((u >> kFractionBits) & mask);
            else
                index = (((v >> kFractionBits) & mask) << shift) + ((u >> kFractionBits) & mask);
            uint16_t texel = texels[index];
            if constexpr (Grey)
                texel = greyscale[texel & 0x7FFF];
            *out++ = shaded[texel & 0x7FFF];
            u += stepU;
            v += stepV;
        }
        light += run * stepLight;
        count -= run;
    }
}

// One row of the triangle; `row` lies inside the clip. `Shift` as for
// drawTerrainSpan.
template <bool Grey, int Shift>
inline void drawRow(const BlitTarget& target, const TerrainTexture& texture, int32_t row, const Edge& left,
    const Edge& right, const ScreenRect& clip)
{
    int32_t xl = left.x >> kFractionBits;
    int32_t xr = right.x >> kFractionBits;
    if (xr < xl)
        return;
    int32_t reciprocal = reciprocalOf(xr - xl + 1);
    int32_t stepU = int32_t((int64_t(right.u - left.u) * reciprocal) >> kFractionBits);
    int32_t stepV = int32_t((int64_t(right.v - left.v) * reciprocal) >> kFractionBits);
    int32_t stepLight = int32_t((int64_t(right.light - left.light) * reciprocal) >> kFractionBits);
    int32_t u = left.u;
    int32_t v = left.v;
    int32_t light = left.light;
    if (xl < clip.left) {
        int32_t skipped = clip.left - xl;
        u += skipped * stepU;
        v += skipped * stepV;
        light += skipped * stepLight;
        xl = clip.left;
    }
    int32_t end = std::min(xr, clip.right);
    if (end <= xl)
        return;
    drawTerrainSpan<Grey, Shift>(target.at(xl, row), texture, end - xl, u, v, light, stepU, stepV, stepLight);
}

// The rows from `from` to `to` (inclusive, inside the clip), the edges kept
// in locals for the loop.
template <bool Grey, int Shift>
void drawClippedRows(const BlitTarget& target, const TerrainTexture& texture, int32_t from, int32_t to, Edge& left,
    Edge& right, const ScreenRect& clip)
{
    Edge l = left;
    Edge r = right;
    for (int32_t row = from; row <= to; ++row) {
        drawRow<Grey, Shift>(target, texture, row, l, r, clip);
        l.advance();
        r.advance();
    }
    left = l;
    right = r;
}

// Rows `first` to `last` (inclusive) between two edges that stand at row
// `at`, clipped: the rows above the clip are stepped over at once. Leaves
// both edges at row last + 1.
template <bool Grey>
void drawRows(const BlitTarget& target, const TerrainTexture& texture, int32_t first, int32_t last, Edge& left,
    Edge& right, const ScreenRect& clip)
{
    const int32_t from = std::max(first, clip.top);
    const int32_t to = std::min(last, clip.bottom - 1);
    if (from > to) {
        left.advance(last + 1 - first);
        right.advance(last + 1 - first);
        return;
    }
    left.advance(from - first);
    right.advance(from - first);
    // The two texture sizes get a loop each whose shifts and masks are
    // constants; any other size takes the general one.
    if (texture.size == 64 && texture.shift == 6)
        drawClippedRows<Grey, 6>(target, texture, from, to, left, right, clip);
    else if (texture.size == 128 && texture.shift == 7)
        drawClippedRows<Grey, 7>(target, texture, from, to, left, right, clip);
    else
        drawClippedRows<Grey, 0>(target, texture, from, to, left, right, clip);
    left.advance(last - to);
    right.advance(last - to);
}

template <bool Grey>
void rasterise(const BlitTarget& target, const TerrainTexture& texture, const std::array<TerrainVertex, 3>& vertices,
    const std::array<int32_t, 3>& lights, const ScreenRect& givenClip)
{
    if (!texture.pixels)
        return;
    ScreenRect clip = givenClip.intersected(target.bounds);
    if (clip.isEmpty())
        return;
    std::array<Corner, 3> corners;
    for (size_t i = 0; i < 3; ++i) {
        int32_t u = 0;
        int32_t v = 0;
        terrainTexel(vertices[i].tag, texture.size, u, v);
        corners[i] = { vertices[i].x, vertices[i].y, u, v, lights[i] };
    }
    // The first vertex found wins a tie for top and for bottom.
    size_t top = 0;
    size_t bottom = 0;
    for (size_t i = 1; i < 3; ++i) {
        if (corners[i].y < corners[top].y)
            top = i;
        if (corners[i].y > corners[bottom].y)
            bottom = i;
    }
    if (corners[bottom].y - corners[top].y <= 0)
        return;
    size_t middle = 3 - top - bottom;
    const Corner& t = corners[top];
    const Corner& m = corners[middle];
    const Corner& b = corners[bottom];
    if (b.y < clip.top || t.y >= clip.bottom)
        return;

    if (t.y == m.y) {
        bool topIsLeft = t.x <= m.x;
        Edge left = makeEdge(topIsLeft ? t : m, b, true);
        Edge right = makeEdge(topIsLeft ? m : t, b, false);
        drawRows<Grey>(target, texture, t.y, b.y, left, right, clip);
        return;
    }
    bool middleOnRight = false;
    if (t.x == b.x && t.x < m.x)
        middleOnRight = true;
    else if (t.x == m.x && t.x >= b.x)
        middleOnRight = true;
    else if (b.y == m.y && b.x < m.x)
        middleOnRight = true;
    else
        middleOnRight = int64_t(b.x - t.x) * kOne / (b.y - t.y) < int64_t(m.x - t.x) * kOne / (m.y - t.y);

    Edge longEdge = makeEdge(t, b, middleOnRight);
    Edge shortEdge = makeEdge(t, m, !middleOnRight);
    Edge& left = middleOnRight ? longEdge : shortEdge;
    Edge& right = middleOnRight ? shortEdge : longEdge;
    drawRows<Grey>(target, texture, t.y, m.y, left, right, clip);
    // A flat-bottomed triangle ends at the middle: there is no second half
    // to restart (and no height to divide by).
    if (m.y == b.y || m.y + 1 >= clip.bottom)
        return;
    shortEdge = makeEdge(m, b, !middleOnRight);
    shortEdge.advance();
    drawRows<Grey>(target, texture, m.y + 1, b.y, left, right, clip);
}

} // namespace

void buildLandDiamondTables()
{
    for (int32_t r = 0; r < kLandDiamondRows; ++r) {
        LandDiamondRow& row = g_rows[size_t(r)];
        if (r < 22) {
            row.start = 21 - r;
            row.width = 2 * r + 2;
            row.offset = r * (r + 1);
        } else if (r < 43) {
            row.start = r - 21;
            row.width = 86 - 2 * r;
            row.offset = artRowOffset(r) + 1;
        } else {
            row.start = 22;
            row.width = 0;
            row.offset = artRowOffset(r) + 1;
        }
        row.end = row.start + row.width;
    }
    g_rowsBuilt = true;
}

const std::array<LandDiamondRow, kLandDiamondRows>& landDiamondRows()
{
    if (!g_rowsBuilt)
        buildLandDiamondTables();
    return g_rows;
}

void drawLandDiamond(
    const BlitTarget& target, const uint16_t* art, int32_t x, int32_t y, const ScreenRect& givenClip, bool grey)
{
    if (!art)
        return;
    ScreenRect clip = givenClip.intersected(target.bounds);
    int32_t firstColumn = std::max(clip.left - x, 0);
    int32_t endColumn = std::min(clip.right - x, 44);
    int32_t firstRow = std::max(clip.top - y, 0);
    int32_t endRow = std::min(clip.bottom - y, 43);
    const auto& rows = landDiamondRows();
    if (!grey && firstColumn == 0 && endColumn == 44 && firstRow == 0 && endRow == 43) {
        // Whole: no row is cut.
        for (int32_t r = 0; r < 43; ++r) {
            const LandDiamondRow& row = rows[size_t(r)];
            copyPixels(target.at(x + row.start, y + r), art + row.offset, row.width);
        }
        return;
    }
    const ColourTables& tables = colourTables();
    for (int32_t r = firstRow; r < endRow; ++r) {
        const LandDiamondRow& row = rows[size_t(r)];
        int32_t from = std::max(row.start, firstColumn);
        int32_t to = std::min(row.end, endColumn);
        if (to <= from)
            continue;
        const uint16_t* source = art + row.offset + (from - row.start);
        uint16_t* destination = target.at(x + from, y + r);
        if (!grey) {
            copyPixels(destination, source, to - from);
            continue;
        }
        for (int32_t i = 0; i < to - from; ++i)
            destination[i] = tables.greyscale[source[i] & 0x7FFF];
    }
}

void drawFlatLandTile(const BlitTarget& target, int32_t id, int32_t x, int32_t y, const ScreenRect& clip)
{
    const uint16_t* art = terrainArtCache().landArt(id);
    if (!art)
        art = terrainArtCache().landArt(0);
    drawLandDiamond(target, art, x, y, clip, false);
}

void drawFlatLandTileGrey(const BlitTarget& target, int32_t id, int32_t x, int32_t y, const ScreenRect& clip)
{
    const uint16_t* art = terrainArtCache().landArt(id);
    if (!art)
        art = terrainArtCache().landArt(0);
    drawLandDiamond(target, art, x, y, clip, true);
}

void terrainTexel(int32_t tag, int32_t size, int32_t& u, int32_t& v)
{
    int32_t last = size - 1;
    switch (tag) {
    case 2:
        u = last;
        v = 0;
        break;
    case 3:
        u = last;
        v = last;
        break;
    case 4:
        u = 0;
        v = last;
        break;
    default:
        u = 0;
        v = 0;
        break;
    }
}

uint16_t shadeTerrainTexel(const TerrainTexture& texture, int32_t u, int32_t v, int32_t light, bool grey)
{
    const ColourTables& tables = colourTables();
    return grey ? shadeTexel<true>(tables, texture, u, v, light) : shadeTexel<false>(tables, texture, u, v, light);
}

void rasteriseTerrainTriangle(const BlitTarget& target, const TerrainTexture& texture,
    const std::array<TerrainVertex, 3>& vertices, const std::array<int32_t, 3>& lights, const ScreenRect& clip)
{
    rasterise<false>(target, texture, vertices, lights, clip);
}

void rasteriseTerrainTriangleGrey(const BlitTarget& target, const TerrainTexture& texture,
    const std::array<TerrainVertex, 3>& vertices, const std::array<int32_t, 3>& lights, const ScreenRect& clip)
{
    rasterise<true>(target, texture, vertices, lights, clip);
}
