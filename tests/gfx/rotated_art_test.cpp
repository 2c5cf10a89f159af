// Static art turned by an angle: the tables, the turned bounds, the four
// pixel operations against the direct formula, and a picture golden.
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gfx/rotated_art.h"

#include "fixtures/art_writer.h"
#include "support/png_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr uint16_t kRotatedBackground = 0x0C63;

// A 9 x 5 picture with no symmetry and transparent pixels.
std::unique_ptr<ArtImage> sampleRotatedImage(std::vector<uint16_t>* dense = nullptr)
{
    std::vector<uint16_t> pixels(9 * 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            pixels[size_t(y * 9 + x)] = (x + y) % 4 == 3 ? 0 : uint16_t(0x0421 * (x + 1) + 0x1000 * y);
    if (dense)
        *dense = pixels;
    return ArtImage::parse(fixture::artRecordFromPixels(9, 5, pixels));
}

struct RotatedSurface {
    static constexpr int32_t kSize = 40;
    std::vector<uint16_t> pixels = std::vector<uint16_t>(kSize * kSize, kRotatedBackground);
    BlitTarget target() { return BlitTarget::surface(pixels.data(), kSize, kSize, kSize); }
    uint16_t at(int32_t x, int32_t y) const { return pixels[size_t(y * kSize + x)]; }
};

// The blitter's formula computed directly for every target pixel, without
// the stepped accumulators.
std::vector<uint16_t> directCopy(const ArtImage* image, const ScreenRect& box, int32_t x, int32_t y, int32_t angle,
    const ScreenRect& clip)
{
    const SinCosTable& table = buildSinCosTables();
    int64_t s = table.sine[size_t(angle & 255)];
    int64_t c = table.cosine[size_t(angle & 255)];
    int64_t hw = image->width() / 2;
    int64_t hh = image->height() / 2;
    std::vector<uint16_t> out(RotatedSurface::kSize * RotatedSurface::kSize, kRotatedBackground);
    for (int32_t ty = 0; ty < RotatedSurface::kSize; ++ty) {
        for (int32_t tx = 0; tx < RotatedSurface::kSize; ++tx) {
            if (!clip.contains(tx, ty) || tx < x || ty < y || tx >= x + box.width() || ty >= y + box.height())
                continue;
            int64_t cx = box.left + (tx - x);
            int64_t cy = box.top + (ty - y);
            int64_t sx = hw + (((cx - hw) * c - (hh - cy) * s) >> 16);
            int64_t sy = hh - (((hh - cy) * c + (cx - hw) * s) >> 16);
            uint16_t pixel = getArtPixel(image, int32_t(sx), int32_t(sy));
            if (pixel)
                out[size_t(ty * RotatedSurface::kSize + tx)] = pixel;
        }
    }
    return out;
}

TEST(SinCosTable, FixedPointValuesTruncatedTowardZero)
{
    const SinCosTable& table = buildSinCosTables();
    EXPECT_EQ(table.sine[0], 0);
    EXPECT_EQ(table.cosine[0], 65536);
    EXPECT_EQ(table.sine[64], 65536);
    EXPECT_EQ(table.cosine[64], 0);
    EXPECT_EQ(table.sine[32], 46340) << "sin(pi / 4) * 65536 = 46340.95";
    EXPECT_EQ(table.cosine[128], -65536);
    EXPECT_EQ(table.sine[192], -65536);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(table.sine[size_t(i)], int32_t(std::sin(i * 2 * std::numbers::pi / 256) * 65536)) << i;
}

TEST(RotateBounds, QuarterTurnSwapsTheSidesAboutTheSameCentre)
{
    ScreenRect box { 10, 20, 30, 28 };
    rotateBounds(64, &box);
    EXPECT_EQ(box.width(), 8);
    EXPECT_EQ(box.height(), 20);
    EXPECT_EQ(box.left + box.width() / 2, 20);
    EXPECT_EQ(box.top + box.height() / 2, 24);

    ScreenRect unturned { 10, 20, 30, 28 };
    rotateBounds(0, &unturned);
    EXPECT_EQ(unturned, (ScreenRect { 10, 20, 30, 28 }));
    ScreenRect full { 10, 20, 30, 28 };
    rotateBounds(256 + 64, &full);
    EXPECT_EQ(full, box) << "256 + k turns as k";
}

TEST(RotatedArt, AngleZeroReproducesTheImage)
{
    std::vector<uint16_t> dense;
    std::unique_ptr<ArtImage> image = sampleRotatedImage(&dense);
    RotatedSurface surface;
    ScreenRect box { 0, 0, 9, 5 };
    ScreenRect clip { 0, 0, RotatedSurface::kSize, RotatedSurface::kSize };
    blitArtRotatedInBoxCopy(image.get(), &box, surface.target(), 4, 6, 0, &clip);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 9; ++x)
            EXPECT_EQ(
                surface.at(4 + x, 6 + y), dense[size_t(y * 9 + x)] ? dense[size_t(y * 9 + x)] : kRotatedBackground);
}

TEST(RotatedArt, MatchesTheDirectFormulaAndWritesOnlyInsideTheClip)
{
    std::unique_ptr<ArtImage> image = sampleRotatedImage();
    for (int32_t angle : { 0, 7, 32, 64, 100, 128, 200, 255 }) {
        ScreenRect box { 0, 0, 9, 5 };
        rotateBounds(angle, &box);
        ScreenRect clip { 12, 9, 25, 18 };
        RotatedSurface surface;
        blitArtRotatedInBoxCopy(image.get(), &box, surface.target(), 10, 8, angle, &clip);
        EXPECT_EQ(surface.pixels, directCopy(image.get(), box, 10, 8, angle, clip)) << "angle " << angle;

        RotatedSurface wrapped;
        blitArtRotatedInBoxCopy(image.get(), &box, wrapped.target(), 10, 8, angle + 256, &clip);
        EXPECT_EQ(wrapped.pixels, surface.pixels) << "256 + " << angle;
    }
}

TEST(RotatedArt, PixelOperations)
{
    std::unique_ptr<ArtImage> image = sampleRotatedImage();
    HueEntry hue;
    for (int i = 0; i < 32; ++i)
        hue.colours[size_t(i)] = uint16_t(0x4000 + i);
    ScreenRect box { 0, 0, 9, 5 };
    ScreenRect clip { 0, 0, RotatedSurface::kSize, RotatedSurface::kSize };
    selectBlendTable(2);
    const ColourTables& tables = colourTables();
    const auto& blend = tables.blend[size_t(blendTableIndexForLevel(2))];
    auto blended = [&blend](uint16_t d, uint16_t s) {
        return uint16_t(blend[redOf(d) * 32 + redOf(s)] << 10 | blend[greenOf(d) * 32 + greenOf(s)] << 5
            | blend[blueOf(d) * 32 + blueOf(s)]);
    };

    RotatedSurface plain;
    blitArtRotatedInBox(image.get(), &box, plain.target(), 0, 0, 0, &clip);
    RotatedSurface hued;
    blitArtRotatedInBoxHueBlend(image.get(), &box, hued.target(), 0, 0, 0, &clip, hue);
    RotatedSurface grey;
    blitArtRotatedInBoxGreyHue(image.get(), &box, grey.target(), 0, 0, 0, &clip, hue);
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 9; ++x) {
            uint16_t s = getArtPixel(image.get(), x, y);
            if (!s) {
                EXPECT_EQ(plain.at(x, y), kRotatedBackground);
                EXPECT_EQ(grey.at(x, y), kRotatedBackground);
                continue;
            }
            EXPECT_EQ(plain.at(x, y), blended(kRotatedBackground, s));
            EXPECT_EQ(hued.at(x, y), blended(kRotatedBackground, hue.colours[greenOf(s)]));
            EXPECT_EQ(grey.at(x, y), hue.colours[tables.greyIndex[s]]);
        }
    }
    selectBlendTable(0);
}

TEST(RotatedArt, PictureGolden)
{
    std::unique_ptr<ArtImage> image = sampleRotatedImage();
    ScreenRect box { 0, 0, 9, 5 };
    rotateBounds(40, &box);
    ScreenRect clip { 0, 0, RotatedSurface::kSize, RotatedSurface::kSize };
    RotatedSurface surface;
    blitArtRotatedInBoxCopy(image.get(), &box, surface.target(), 12, 14, 40, &clip);
    test::writeSurfacePng(test::picturePath("rotated_art.png"), surface.pixels.data(), RotatedSurface::kSize,
        RotatedSurface::kSize, RotatedSurface::kSize);
    EXPECT_EQ(surface.pixels, directCopy(image.get(), box, 12, 14, 40, clip));
    EXPECT_EQ(
        test::surfaceHash(surface.pixels.data(), RotatedSurface::kSize, RotatedSurface::kSize, RotatedSurface::kSize),
        0xf0a47ea30020027cull)
        << "picture changed; see " << test::picturePath("rotated_art.png");
}

} // namespace
