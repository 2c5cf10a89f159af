// The terrain drawers against independent references: the flat diamond's
// rows, and the triangle rasteriser pixel by pixel on random triangles.
#include "gfx/colour_tables.h"
#include "gfx/terrain_rasteriser.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int32_t kSide = 160;
// Pixels outside the clip must keep this.
constexpr uint16_t kTerrainGuard = 0x7C1F;

struct Canvas {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(size_t(kSide * kSide), kTerrainGuard);
    BlitTarget target = BlitTarget::surface(pixels.data(), kSide, kSide, kSide);
    uint16_t at(int32_t x, int32_t y) const { return pixels[size_t(y * kSide + x)]; }
};

std::vector<uint16_t> gradientTexture(int32_t size)
{
    std::vector<uint16_t> texels(size_t(size * size));
    for (int32_t v = 0; v < size; ++v) {
        for (int32_t u = 0; u < size; ++u)
            texels[size_t(v * size + u)] = uint16_t(((u * 31 / (size - 1)) << 10) | ((v * 31 / (size - 1)) << 5) | 9);
    }
    return texels;
}

// Signed area test in real numbers: how far inside the triangle a pixel's
// centre lies (negative outside), in pixels.
double insideDistance(const std::array<TerrainVertex, 3>& t, double px, double py)
{
    double area = (t[1].x - t[0].x) * double(t[2].y - t[0].y) - (t[2].x - t[0].x) * double(t[1].y - t[0].y);
    double sign = area < 0 ? -1 : 1;
    double least = 1e9;
    for (size_t i = 0; i < 3; ++i) {
        const TerrainVertex& a = t[i];
        const TerrainVertex& b = t[(i + 1) % 3];
        double ex = b.x - a.x;
        double ey = b.y - a.y;
        double length = std::hypot(ex, ey);
        if (length == 0)
            return 0;
        double cross = (ex * (py - a.y) - ey * (px - a.x)) * sign / length;
        least = std::min(least, cross);
    }
    return least;
}

// The rasteriser's rules in closed form: every edge and span value is its
// start plus the row's (or pixel's) distance times the step, computed for
// each pixel on its own instead of stepped along.
void referenceTriangle(Canvas& canvas, const TerrainTexture& texture, const std::array<TerrainVertex, 3>& t,
    const std::array<int32_t, 3>& lights, const ScreenRect& clip, bool grey)
{
    struct V {
        int64_t x, y, u, v, l;
    };
    std::array<V, 3> c;
    for (size_t i = 0; i < 3; ++i) {
        int32_t u = 0;
        int32_t v = 0;
        terrainTexel(t[i].tag, texture.size, u, v);
        c[i] = { t[i].x, t[i].y, u, v, lights[i] };
    }
    size_t top = 0;
    size_t bottom = 0;
    for (size_t i = 1; i < 3; ++i) {
        if (c[i].y < c[top].y)
            top = i;
        if (c[i].y > c[bottom].y)
            bottom = i;
    }
    if (c[bottom].y <= c[top].y)
        return;
    const V& a = c[top];
    const V& m = c[3 - top - bottom];
    const V& b = c[bottom];
    // Value of an edge from p to q at `row`, `stepsIn` rows past p.
    auto edge = [](const V& p, const V& q, int64_t steps, bool isLeft, std::array<int64_t, 4>& out) {
        int64_t rows = q.y - p.y;
        out[0] = p.x * 4096 - (isLeft ? 4096 : 0) + steps * ((q.x - p.x) * 4096 / rows);
        out[1] = p.u * 4096 + steps * ((q.u - p.u) * 4096 / rows);
        out[2] = p.v * 4096 + steps * ((q.v - p.v) * 4096 / rows);
        out[3] = p.l * 4096 + steps * ((q.l - p.l) * 4096 / rows);
    };
    bool flatTop = a.y == m.y;
    bool middleRight = false;
    if (!flatTop) {
        if (a.x == b.x && a.x < m.x)
            middleRight = true;
        else if (a.x == m.x && a.x >= b.x)
            middleRight = true;
        else if (b.y == m.y && b.x < m.x)
            middleRight = true;
        else
            middleRight = (b.x - a.x) * 4096 / (b.y - a.y) < (m.x - a.x) * 4096 / (m.y - a.y);
    }
    for (int64_t row = a.y; row <= b.y; ++row) {
        std::array<int64_t, 4> left {};
        std::array<int64_t, 4> right {};
        if (flatTop) {
            bool aLeft = a.x <= m.x;
            edge(aLeft ? a : m, b, row - a.y, true, left);
            edge(aLeft ? m : a, b, row - a.y, false, right);
        } else {
            if (row > m.y && m.y == b.y)
                break;
            std::array<int64_t, 4>& longSide = middleRight ? left : right;
            std::array<int64_t, 4>& shortSide = middleRight ? right : left;
            edge(a, b, row - a.y, middleRight, longSide);
            if (row <= m.y)
                edge(a, m, row - a.y, !middleRight, shortSide);
            else
                edge(m, b, row - m.y, !middleRight, shortSide);
        }
        if (row < clip.top || row >= clip.bottom)
            continue;
        int64_t xl = left[0] >> 12;
        int64_t xr = right[0] >> 12;
        if (xr < xl)
            continue;
        int64_t reciprocal = 4096 / (xr - xl + 1);
        for (int64_t x = std::max<int64_t>(xl, clip.left); x < std::min<int64_t>(xr, clip.right); ++x) {
            int64_t k = x - xl;
            int64_t u = left[1] + k * (((right[1] - left[1]) * reciprocal) >> 12);
            int64_t v = left[2] + k * (((right[2] - left[2]) * reciprocal) >> 12);
            int64_t l = left[3] + k * (((right[3] - left[3]) * reciprocal) >> 12);
            canvas.pixels[size_t(row * kSide + x)] = shadeTerrainTexel(texture, int32_t(u), int32_t(v), int32_t(l), grey);
        }
    }
}

TEST(LandDiamond, RowsFollowTheDiamond)
{
    const auto& rows = landDiamondRows();
    EXPECT_EQ(rows[0].start, 21);
    EXPECT_EQ(rows[0].width, 2);
    EXPECT_EQ(rows[21].start, 0);
    EXPECT_EQ(rows[21].width, 44);
    EXPECT_EQ(rows[22].start, 1);
    EXPECT_EQ(rows[22].width, 42);
    EXPECT_EQ(rows[22].offset, 22 * 23 + 1) << "the second half leaves out each data row's first pixel";
    EXPECT_EQ(rows[42].width, 2);
    EXPECT_EQ(rows[43].width, 0);
    // Each drawn row takes its pixels from inside the 1012 of the art.
    for (const LandDiamondRow& row : rows)
        EXPECT_LE(row.offset + row.width, kLandArtPixels);
}

TEST(LandDiamond, CopiesTheArtRowByRowInsideTheClip)
{
    // Art whose every pixel names its data row and position.
    std::vector<uint16_t> art;
    for (int32_t row = 0; row < 44; ++row) {
        int32_t width = row < 22 ? 2 * row + 2 : 44 - 2 * (row - 22);
        for (int32_t i = 0; i < width; ++i)
            art.push_back(uint16_t(row << 8 | i));
    }
    ASSERT_EQ(art.size(), size_t(kLandArtPixels));
    Canvas canvas;
    ScreenRect clip { 30, 25, 60, 70 };
    drawLandDiamond(canvas.target, art.data(), 20, 20, clip, false);
    for (int32_t y = 0; y < kSide; ++y) {
        for (int32_t x = 0; x < kSide; ++x) {
            int32_t r = y - 20;
            int32_t c = x - 20;
            uint16_t expected = kTerrainGuard;
            if (clip.contains(x, y) && r >= 0 && r < 43 && c >= 0 && c < 44) {
                if (r < 22 && c >= 21 - r && c < 23 + r)
                    expected = uint16_t(r << 8 | (c - (21 - r)));
                if (r >= 22 && c >= r - 21 && c < 65 - r)
                    expected = uint16_t(r << 8 | (c - (r - 22)));
            }
            ASSERT_EQ(canvas.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST(TerrainRasteriser, ATriangleOnOneRowDrawsNothing)
{
    std::vector<uint16_t> texels = gradientTexture(64);
    TerrainTexture texture { texels.data(), 64, 6 };
    Canvas canvas;
    rasteriseTerrainTriangle(canvas.target, texture, { { { 10, 50, 1 }, { 90, 50, 2 }, { 40, 50, 3 } } }, { 0, 5, 9 },
        { 0, 0, kSide, kSide });
    for (uint16_t pixel : canvas.pixels)
        ASSERT_EQ(pixel, kTerrainGuard);
}

TEST(TerrainRasteriser, FlatBottomedAndFlatToppedTrianglesFill)
{
    std::vector<uint16_t> texels = gradientTexture(64);
    TerrainTexture texture { texels.data(), 64, 6 };
    for (bool flatTop : { false, true }) {
        Canvas canvas;
        std::array<TerrainVertex, 3> triangle = flatTop
            ? std::array<TerrainVertex, 3> { { { 20, 30, 1 }, { 100, 30, 2 }, { 60, 90, 3 } } }
            : std::array<TerrainVertex, 3> { { { 60, 30, 1 }, { 100, 90, 2 }, { 20, 90, 3 } } };
        rasteriseTerrainTriangle(canvas.target, texture, triangle, { 3, 3, 3 }, { 0, 0, kSide, kSide });
        EXPECT_NE(canvas.at(60, 60), kTerrainGuard) << (flatTop ? "flat top" : "flat bottom");
    }
}

// Random triangles, some flat-topped or flat-bottomed, some reaching past
// the clip: every pixel written lies in the triangle (within a pixel's
// margin for the seam overlap) and inside the clip, every pixel well inside
// is written, and each has the texel and shade of the closed-form values.
TEST(TerrainRasteriser, RandomTrianglesMatchThePerPixelReference)
{
    std::mt19937 random(77);
    std::vector<uint16_t> texels = gradientTexture(64);
    TerrainTexture texture { texels.data(), 64, 6 };
    for (int32_t round = 0; round < 400; ++round) {
        std::array<TerrainVertex, 3> t;
        for (int32_t i = 0; i < 3; ++i)
            t[size_t(i)] = { int32_t(random() % 200) - 20, int32_t(random() % 200) - 20, i + 1 };
        if (round % 4 == 1)
            t[2].y = t[1].y;
        if (round % 4 == 2)
            t[1].y = t[0].y;
        std::array<int32_t, 3> lights { int32_t(random() % 16), int32_t(random() % 16), int32_t(random() % 16) };
        ScreenRect clip { int32_t(random() % 40), int32_t(random() % 40), kSide - int32_t(random() % 40),
            kSide - int32_t(random() % 40) };
        Canvas canvas;
        bool grey = round % 5 == 0;
        Canvas reference;
        referenceTriangle(reference, texture, t, lights, clip, grey);
        if (grey)
            rasteriseTerrainTriangleGrey(canvas.target, texture, t, lights, clip);
        else
            rasteriseTerrainTriangle(canvas.target, texture, t, lights, clip);
        for (int32_t y = 0; y < kSide; ++y) {
            for (int32_t x = 0; x < kSide; ++x) {
                uint16_t pixel = canvas.at(x, y);
                // A degenerate triangle (two corners on one point) has no
                // inside to measure against; the reference still holds.
                double inside = insideDistance(t, x + 0.5, y + 0.5);
                if (pixel == kTerrainGuard) {
                    ASSERT_FALSE(clip.contains(x, y) && inside > 2.0)
                        << "round " << round << ": a pixel well inside was left at " << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(clip.contains(x, y)) << "round " << round << ": drawn outside the clip at " << x << "," << y;
                ASSERT_GT(inside, -2.0) << "round " << round << ": drawn outside the triangle at " << x << "," << y;
                ASSERT_EQ(pixel, reference.at(x, y)) << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

// A texture that keeps its shaded levels (as the texture cache gives them)
// draws what a bare one draws, pixel for pixel, and what the reference gives,
// for both texture sizes; texels with their top bit set included.
TEST(TerrainRasteriser, TexturesWithShadedLevelsMatchThePerPixelReference)
{
    std::mt19937 random(91);
    for (int32_t size : { 64, 128 }) {
        std::vector<uint16_t> texels(size_t(size * size));
        for (uint16_t& texel : texels)
            texel = uint16_t(random());
        TerrainShadedLevels levels;
        const TerrainTexture bare { texels.data(), size, size == 64 ? 6 : 7 };
        const TerrainTexture kept { texels.data(), size, size == 64 ? 6 : 7, &levels };
        for (int32_t round = 0; round < 150; ++round) {
            std::array<TerrainVertex, 3> t;
            for (int32_t i = 0; i < 3; ++i)
                t[size_t(i)] = { int32_t(random() % 200) - 20, int32_t(random() % 200) - 20, i + 1 };
            std::array<int32_t, 3> lights { int32_t(random() % 32), int32_t(random() % 32), int32_t(random() % 32) };
            ScreenRect clip { int32_t(random() % 40), int32_t(random() % 40), kSide - int32_t(random() % 40),
                kSide - int32_t(random() % 40) };
            Canvas plain;
            Canvas shaded;
            Canvas reference;
            rasteriseTerrainTriangle(plain.target, bare, t, lights, clip);
            rasteriseTerrainTriangle(shaded.target, kept, t, lights, clip);
            referenceTriangle(reference, bare, t, lights, clip, false);
            for (int32_t y = 0; y < kSide; ++y) {
                for (int32_t x = 0; x < kSide; ++x) {
                    ASSERT_EQ(shaded.at(x, y), plain.at(x, y)) << size << " round " << round << " at " << x << "," << y;
                    if (shaded.at(x, y) != kTerrainGuard) {
                        ASSERT_EQ(shaded.at(x, y), reference.at(x, y))
                            << size << " round " << round << " at " << x << "," << y;
                    }
                }
            }
        }
        int32_t made = 0;
        for (const auto& level : levels.levels)
            made += level ? 1 : 0;
        EXPECT_GT(made, 8) << size;
    }
}

TEST(TerrainRasteriser, PixelsCarryTheirVertexShades)
{
    // A triangle of one light level and a one-colour texture: every pixel is
    // that colour through that level of the shade table.
    std::vector<uint16_t> texels(64 * 64, uint16_t((20 << 10) | (12 << 5) | 28));
    TerrainTexture texture { texels.data(), 64, 6 };
    Canvas canvas;
    rasteriseTerrainTriangle(canvas.target, texture, { { { 10, 10, 1 }, { 120, 40, 2 }, { 30, 130, 3 } } },
        { 7, 7, 7 }, { 0, 0, kSide, kSide });
    const auto& shade = colourTables().shade[7];
    uint16_t expected = uint16_t((shade[20] << 10) | (shade[12] << 5) | shade[28]);
    int32_t drawn = 0;
    for (uint16_t pixel : canvas.pixels) {
        if (pixel == kTerrainGuard)
            continue;
        ++drawn;
        ASSERT_EQ(pixel, expected);
    }
    EXPECT_GT(drawn, 4000);
}

} // namespace
