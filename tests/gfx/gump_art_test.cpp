// Gump art and raw images: decoding, pixel queries, clipping against a
// per-pixel reference over a sweep of positions and clips, quarter turns,
// the 5-6-5 conversion and damaged records.
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"

#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/gump_art_writer.h"
#include "support/address_space_limit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using fixture::GumpArtPicture;

constexpr uint16_t kGuard = 0x5A5A;
constexpr uint16_t kBackground = 0x1111;

GumpArtImage imageOf(const GumpArtPicture& picture, std::vector<uint8_t>& storage)
{
    storage = fixture::gumpArtRecord(picture);
    std::optional<GumpArtImage> image
        = GumpArtImage::fromRecord(storage, fixture::gumpArtExtra(picture.width, picture.height));
    EXPECT_TRUE(image.has_value());
    return *image;
}

// A surface framed by guard pixels on every side: the rows above and below
// and the columns left and right of it must never change.
class GuardedSurface {
public:
    static constexpr int32_t kMargin = 8;

    GuardedSurface(int32_t width, int32_t height)
        : m_width(width)
        , m_height(height)
        , m_stride(width + 2 * kMargin)
        , m_pixels(size_t(m_stride) * size_t(height + 2 * kMargin), kGuard)
    {
        for (int32_t y = 0; y < height; ++y)
            std::fill_n(at(0, y), width, kBackground);
        whole = { 0, 0, width, height };
    }

    // The whole surface as a clip.
    ScreenRect whole { 0, 0, 0, 0 };

    uint16_t* at(int32_t x, int32_t y) { return m_pixels.data() + size_t(y + kMargin) * m_stride + size_t(x + kMargin); }
    BlitTarget target() { return { m_pixels.data(), ptrdiff_t(kMargin) * m_stride + kMargin, m_stride, { 0, 0, m_width, m_height } }; }

    bool guardsIntact() const
    {
        for (int32_t y = 0; y < m_height + 2 * kMargin; ++y) {
            for (int32_t x = 0; x < m_stride; ++x) {
                bool inside = x >= kMargin && x < kMargin + m_width && y >= kMargin && y < kMargin + m_height;
                if (!inside && m_pixels[size_t(y) * m_stride + size_t(x)] != kGuard)
                    return false;
            }
        }
        return true;
    }

    std::vector<uint16_t> inside()
    {
        std::vector<uint16_t> out;
        for (int32_t y = 0; y < m_height; ++y)
            out.insert(out.end(), at(0, y), at(0, y) + m_width);
        return out;
    }

private:
    int32_t m_width;
    int32_t m_height;
    int32_t m_stride;
    std::vector<uint16_t> m_pixels;
};

// The picture a plain copy through `clip` must leave: each surface pixel
// inside the clip and the image takes the image's pixel, the rest stays.
std::vector<uint16_t> referenceCopy(const GumpArtPicture& picture, int32_t surfaceWidth, int32_t surfaceHeight,
    const ScreenRect& clip, int32_t x, int32_t y)
{
    std::vector<uint16_t> out(size_t(surfaceWidth) * size_t(surfaceHeight), kBackground);
    for (int32_t sy = 0; sy < surfaceHeight; ++sy) {
        for (int32_t sx = 0; sx < surfaceWidth; ++sx) {
            int64_t ix = int64_t(sx) - x;
            int64_t iy = int64_t(sy) - y;
            if (!clip.contains(sx, sy) || ix < 0 || iy < 0 || ix >= picture.width || iy >= picture.height)
                continue;
            out[size_t(sy) * size_t(surfaceWidth) + size_t(sx)] = picture.at(int32_t(ix), int32_t(iy));
        }
    }
    return out;
}

TEST(GumpArtImage, DecodesRunsAndAnswersPixelsAtRunBoundaries)
{
    // A 3x2 image with two runs per row.
    fixture::ByteWriter out;
    out.u32(2);
    out.u32(4);
    out.u32(0x0001'0123);
    out.u32(0x0002'0456);
    out.u32(0x0002'0000);
    out.u32(0x0001'0789);
    std::vector<uint8_t> bytes = out.take();
    std::optional<GumpArtImage> image = GumpArtImage::fromRecord(bytes, fixture::gumpArtExtra(3, 2));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 3);
    EXPECT_EQ(image->height(), 2);
    uint16_t row[3] = {};
    image->decodeRow(0, row);
    EXPECT_EQ(std::vector<uint16_t>(row, row + 3), (std::vector<uint16_t> { 0x123, 0x456, 0x456 }));
    image->decodeRow(1, row);
    EXPECT_EQ(std::vector<uint16_t>(row, row + 3), (std::vector<uint16_t> { 0, 0, 0x789 }));
    EXPECT_EQ(image->pixel(0, 0), 0x123) << "the first run";
    EXPECT_EQ(image->pixel(1, 0), 0x456) << "the first column of the second run";
    EXPECT_EQ(image->pixel(1, 1), 0) << "a transparent run";
    EXPECT_EQ(image->pixel(2, 1), 0x789);
    EXPECT_EQ(image->pixel(3, 0), 0);
    EXPECT_EQ(image->pixel(0, 2), 0);
    EXPECT_EQ(image->pixel(-1, 0), 0);
}

TEST(GumpArtFile, SizeAndPixelsOfPresentAndMissingEntries)
{
    fixture::ClientDirectory client;
    fixture::GumpArtFiles files(client);
    files.add(5, fixture::solidPicture(3, 2, 0x0042));
    files.install();
    int32_t width = -1;
    int32_t height = -1;
    EXPECT_TRUE(getGumpArtSize(5, width, height));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(getGumpArtPixel(5, 2, 1), 0x0042);
    EXPECT_FALSE(getGumpArtSize(4, width, height)) << "an entry without a record";
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_FALSE(getGumpArtSize(6, width, height)) << "past the index";
    EXPECT_EQ(getGumpArtPixel(4, 0, 0), 0);

    // Drawing a missing entry changes nothing.
    GuardedSurface surface(8, 8);
    drawGumpArt(copySpan, 4, surface.target(), 0, 0);
    EXPECT_EQ(surface.inside(), std::vector<uint16_t>(64, kBackground));
}

struct SweepCase {
    const char* name;
    int32_t surfaceWidth;
    int32_t surfaceHeight;
    int32_t imageWidth;
    int32_t imageHeight;
};

class GumpArtClipSweep : public testing::TestWithParam<SweepCase> { };

// Every position from far left/above to far right/below, against every clip
// from the sets below, for the gump-art and the raw-image blitter.
TEST_P(GumpArtClipSweep, MatchesThePerPixelReference)
{
    const SweepCase& c = GetParam();
    GumpArtPicture picture = fixture::patternPicture(c.imageWidth, c.imageHeight, 0x0123);
    std::vector<uint8_t> storage;
    GumpArtImage image = imageOf(picture, storage);
    const std::vector<ScreenRect> clips = {
        { 0, 0, c.surfaceWidth, c.surfaceHeight },
        { -20, -20, c.surfaceWidth + 20, c.surfaceHeight + 20 },
        { 3, 2, c.surfaceWidth - 4, c.surfaceHeight - 1 },
        { -5, 4, 7, c.surfaceHeight + 9 },
        { c.surfaceWidth - 2, -3, c.surfaceWidth + 40, 5 },
        { 5, 5, 5, 9 },
    };
    for (const ScreenRect& clip : clips) {
        for (int32_t y = -c.imageHeight - 2; y <= c.surfaceHeight + 2; y += 3) {
            for (int32_t x = -c.imageWidth - 2; x <= c.surfaceWidth + 2; ++x) {
                std::vector<uint16_t> expected = referenceCopy(picture, c.surfaceWidth, c.surfaceHeight,
                    clip.intersected({ 0, 0, c.surfaceWidth, c.surfaceHeight }), x, y);
                GuardedSurface art(c.surfaceWidth, c.surfaceHeight);
                drawGumpImageClipped(copySpan, image, art.target(), &clip, x, y);
                ASSERT_TRUE(art.guardsIntact()) << "gump art at " << x << "," << y;
                ASSERT_EQ(art.inside(), expected) << "gump art at " << x << "," << y;

                GuardedSurface raw(c.surfaceWidth, c.surfaceHeight);
                drawImageClipped(copySpan, picture.pixels.data(), picture.width, picture.height, raw.target(), &clip, x, y);
                ASSERT_TRUE(raw.guardsIntact()) << "raw image at " << x << "," << y;
                ASSERT_EQ(raw.inside(), expected) << "raw image at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GumpArtClipSweep,
    testing::Values(SweepCase { "SmallerThanTheSurface", 24, 16, 7, 5 },
        // x = -10 with width 65 into a 50-pixel row: the case that overran.
        SweepCase { "WiderThanTheSurface", 50, 12, 65, 4 }, SweepCase { "TallerThanTheSurface", 12, 10, 5, 17 }),
    [](const testing::TestParamInfo<SweepCase>& param) { return std::string(param.param.name); });

TEST(GumpArtClip, NegativeXStartsAtTheImagesEleventhColumn)
{
    GumpArtPicture picture = fixture::patternPicture(65, 3, 7);
    std::vector<uint8_t> storage;
    GumpArtImage image = imageOf(picture, storage);
    GuardedSurface surface(50, 4);
    drawGumpImageClipped(copySpan, image, surface.target(), &surface.whole, -10, 0);
    EXPECT_TRUE(surface.guardsIntact());
    EXPECT_EQ(*surface.at(0, 1), picture.at(10, 1));
    EXPECT_EQ(*surface.at(49, 1), picture.at(59, 1));
}

// Found by fuzzing: a position at the end of the 32-bit range overflowed
// the visible window.
TEST(GumpArtClip, PositionsAtTheEndsOfTheRangeDrawNothing)
{
    GumpArtPicture picture = fixture::patternPicture(9, 7, 3);
    std::vector<uint8_t> storage;
    GumpArtImage image = imageOf(picture, storage);
    for (int32_t x : { INT32_MIN, INT32_MAX - 3, 0 }) {
        for (int32_t y : { INT32_MIN, INT32_MAX - 3, 0 }) {
            if (x == 0 && y == 0)
                continue;
            GuardedSurface surface(16, 16);
            drawGumpImageClipped(copySpan, image, surface.target(), &surface.whole, x, y);
            for (QuarterTurn turn : { QuarterTurn::None, QuarterTurn::Clockwise })
                drawGumpImageRotated(copySpan, image, surface.target(), &surface.whole, x, y, turn);
            drawImageClipped(copySpan, picture.pixels.data(), 9, 7, surface.target(), &surface.whole, x, y);
            EXPECT_TRUE(surface.guardsIntact());
            EXPECT_EQ(surface.inside(), std::vector<uint16_t>(256, kBackground)) << x << "," << y;
        }
    }
}

TEST(GumpArtClip, ClipBelowTheImageCutsAtTheImagesLastRow)
{
    GumpArtPicture picture = fixture::solidPicture(4, 3, 0x0300);
    std::vector<uint8_t> storage;
    GumpArtImage image = imageOf(picture, storage);
    GuardedSurface surface(10, 10);
    ScreenRect clip { 0, 4, 10, 10 };
    drawGumpImageClipped(copySpan, image, surface.target(), &clip, 0, 2);
    EXPECT_EQ(*surface.at(0, 3), kBackground) << "above the clip";
    EXPECT_EQ(*surface.at(0, 4), 0x0300) << "the image's last row, inside the clip";
    EXPECT_EQ(*surface.at(0, 5), kBackground) << "below the image";
}

TEST(GumpArtDamage, OverlongRunsAreCutAtTheWidth)
{
    // Row 0: one run claiming 1000 pixels of a 5-pixel row; row 1: a run that
    // is cut off by the end of the record.
    fixture::ByteWriter out;
    out.u32(2);
    out.u32(3);
    out.u32(1000u << 16 | 0x0111);
    out.u32(2u << 16 | 0x0222);
    std::vector<uint8_t> bytes = out.take();
    std::optional<GumpArtImage> image = GumpArtImage::fromRecord(bytes, fixture::gumpArtExtra(5, 2));
    ASSERT_TRUE(image);
    GuardedSurface surface(8, 3);
    drawGumpImageClipped(copySpan, *image, surface.target(), &surface.whole, 1, 0);
    EXPECT_TRUE(surface.guardsIntact());
    EXPECT_EQ(*surface.at(5, 0), 0x0111);
    EXPECT_EQ(*surface.at(6, 0), kBackground) << "the row ends at the width";
    EXPECT_EQ(*surface.at(2, 1), 0x0222);
    EXPECT_EQ(*surface.at(3, 1), 0) << "columns no run covers are transparent";
    EXPECT_EQ(image->pixel(4, 0), 0x0111);
}

struct DamagedRecord {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t extra;
    bool opens;
};

class GumpArtBadInput : public testing::TestWithParam<DamagedRecord> { };

TEST_P(GumpArtBadInput, DrawsNothingOutsideAndNeverReadsPastTheRecord)
{
    const DamagedRecord& c = GetParam();
    std::optional<GumpArtImage> image = GumpArtImage::fromRecord(c.bytes, c.extra);
    ASSERT_EQ(image.has_value(), c.opens);
    if (!image)
        return;
    GuardedSurface surface(16, 16);
    drawGumpImageClipped(copySpan, *image, surface.target(), &surface.whole, 0, 0);
    drawGumpImageRotated(copySpan, *image, surface.target(), &surface.whole, 0, 0, QuarterTurn::Clockwise);
    EXPECT_TRUE(surface.guardsIntact());
    for (int32_t y = -1; y <= image->height(); ++y)
        for (int32_t x = -1; x <= image->width(); ++x)
            image->pixel(x, y);
}

std::vector<DamagedRecord> damagedRecords()
{
    std::vector<uint8_t> good = fixture::gumpArtRecord(fixture::patternPicture(4, 3, 1));
    std::vector<DamagedRecord> cases;
    cases.push_back({ "Empty", {}, fixture::gumpArtExtra(4, 3), false });
    cases.push_back({ "ZeroWidth", good, fixture::gumpArtExtra(0, 3), false });
    cases.push_back({ "ZeroHeight", good, fixture::gumpArtExtra(4, 0), false });
    cases.push_back({ "ShorterThanItsRowOffsets", std::vector<uint8_t>(good.begin(), good.begin() + 8),
        fixture::gumpArtExtra(4, 3), false });
    cases.push_back({ "TruncatedRuns", std::vector<uint8_t>(good.begin(), good.end() - 6), fixture::gumpArtExtra(4, 3),
        true });
    std::vector<uint8_t> pastEnd = good;
    pastEnd[4] = 0xFF;
    pastEnd[5] = 0xFF;
    pastEnd[6] = 0xFF;
    pastEnd[7] = 0x7F;
    cases.push_back({ "RowOffsetPastTheEnd", pastEnd, fixture::gumpArtExtra(4, 3), true });
    cases.push_back({ "MoreRowsThanDrawn", good, fixture::gumpArtExtra(4, 2), true });
    cases.push_back({ "WiderThanTheRuns", good, fixture::gumpArtExtra(2000, 3), true });
    std::vector<uint8_t> zeroRuns = { 1, 0, 0, 0 };
    zeroRuns.resize(4 + 4 * 64, 0);
    cases.push_back({ "ZeroLengthRuns", zeroRuns, fixture::gumpArtExtra(4, 1), true });
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Records, GumpArtBadInput, testing::ValuesIn(damagedRecords()),
    [](const testing::TestParamInfo<DamagedRecord>& param) { return std::string(param.param.name); });

// Where each quarter turn puts source pixel (sx, sy) of a w x h image.
void turnedPosition(QuarterTurn turn, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t& dx, int32_t& dy)
{
    switch (turn) {
    case QuarterTurn::None:
        dx = sx, dy = sy;
        break;
    case QuarterTurn::Anticlockwise:
        dx = sy, dy = w - 1 - sx;
        break;
    case QuarterTurn::Half:
        dx = w - 1 - sx, dy = h - 1 - sy;
        break;
    case QuarterTurn::Clockwise:
        dx = h - 1 - sy, dy = sx;
        break;
    }
}

class GumpArtTurns : public testing::TestWithParam<QuarterTurn> { };

std::string turnName(QuarterTurn turn)
{
    static const char* const kNames[] = { "None", "Anticlockwise", "Half", "Clockwise" };
    return kNames[int(turn)];
}

TEST_P(GumpArtTurns, MoveEverySourcePixelWhereTheTurnSays)
{
    const QuarterTurn turn = GetParam();
    GumpArtPicture picture = fixture::patternPicture(5, 3, 0x0200);
    std::vector<uint8_t> storage;
    GumpArtImage image = imageOf(picture, storage);
    GuardedSurface surface(12, 12);
    drawGumpImageRotated(copySpan, image, surface.target(), &surface.whole, 2, 3, turn);
    EXPECT_TRUE(surface.guardsIntact());
    for (int32_t sy = 0; sy < picture.height; ++sy) {
        for (int32_t sx = 0; sx < picture.width; ++sx) {
            int32_t dx = 0;
            int32_t dy = 0;
            turnedPosition(turn, picture.width, picture.height, sx, sy, dx, dy);
            uint16_t source = picture.at(sx, sy);
            EXPECT_EQ(*surface.at(2 + dx, 3 + dy), source ? uint16_t(source | 0x8000) : 0)
                << "source " << sx << "," << sy;
        }
    }

    // A clip on the left and top edge keeps every write inside it and draws
    // the rest from the right source pixels.
    ScreenRect clip { 3, 4, 12, 12 };
    GuardedSurface clipped(12, 12);
    drawGumpImageRotated(copySpan, image, clipped.target(), &clip, 2, 3, turn);
    EXPECT_TRUE(clipped.guardsIntact());
    for (int32_t sy = 0; sy < picture.height; ++sy) {
        for (int32_t sx = 0; sx < picture.width; ++sx) {
            int32_t dx = 0;
            int32_t dy = 0;
            turnedPosition(turn, picture.width, picture.height, sx, sy, dx, dy);
            uint16_t source = picture.at(sx, sy);
            uint16_t expected = !clip.contains(2 + dx, 3 + dy) ? kBackground : source ? uint16_t(source | 0x8000) : 0;
            EXPECT_EQ(*clipped.at(2 + dx, 3 + dy), expected) << "clipped, source " << sx << "," << sy;
        }
    }

    // The raw image turns alike, its pixels handed over as they are.
    GuardedSurface raw(12, 12);
    drawImageClippedRotated(copySpan, picture.pixels.data(), picture.width, picture.height, raw.target(), &clip, 2, 3, turn);
    EXPECT_TRUE(raw.guardsIntact());
    for (int32_t sy = 0; sy < picture.height; ++sy) {
        for (int32_t sx = 0; sx < picture.width; ++sx) {
            int32_t dx = 0;
            int32_t dy = 0;
            turnedPosition(turn, picture.width, picture.height, sx, sy, dx, dy);
            uint16_t expected = clip.contains(2 + dx, 3 + dy) ? picture.at(sx, sy) : kBackground;
            EXPECT_EQ(*raw.at(2 + dx, 3 + dy), expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Turns, GumpArtTurns,
    testing::Values(QuarterTurn::None, QuarterTurn::Anticlockwise, QuarterTurn::Half, QuarterTurn::Clockwise),
    [](const testing::TestParamInfo<QuarterTurn>& param) { return turnName(param.param); });

// A small record whose size words claim 65535 x 65535 pixels (8.6 GB
// decoded), every row one run of colour 0x0123.
TEST_P(GumpArtTurns, AHugeClaimedSizeDecodesOnlyWhatShows)
{
    const QuarterTurn turn = GetParam();
    constexpr int32_t kSide = 0xFFFF;
    fixture::ByteWriter out;
    for (int32_t row = 0; row < kSide; ++row)
        out.u32(uint32_t(kSide));
    out.u32(uint32_t(kSide) << 16 | 0x0123);
    std::vector<uint8_t> bytes = out.take();
    std::optional<GumpArtImage> image = GumpArtImage::fromRecord(bytes, fixture::gumpArtExtra(kSide, kSide));
    ASSERT_TRUE(image);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            test::limitAddressSpaceGrowth(size_t(1) << 30);
            GuardedSurface surface(16, 12);
            drawGumpImageRotated(copySpan, *image, surface.target(), &surface.whole, -40, -50, turn);
            bool right = surface.guardsIntact();
            for (int32_t y = 0; y < 12; ++y)
                for (int32_t x = 0; x < 16; ++x)
                    right = right && *surface.at(x, y) == 0x8123;
            std::exit(right ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST(GumpArt565, ConvertsEachDrawnPixelOnceAndLeavesTransparentOnesAlone)
{
    fixture::ClientDirectory client;
    fixture::GumpArtFiles files(client);
    GumpArtPicture picture = fixture::patternPicture(6, 4, 0x2345);
    files.add(9, picture);
    files.install();
    setGumpArt565(true);
    GuardedSurface surface(8, 6);
    drawGumpArt(copySpanTransparent, 9, surface.target(), 1, 1);
    uint16_t asked = getGumpArtPixel(9, 1, 0);
    setGumpArt565(false);
    EXPECT_TRUE(surface.guardsIntact());
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            uint16_t source = picture.at(x, y);
            EXPECT_EQ(*surface.at(1 + x, 1 + y), source ? convert555To565(source) : kBackground);
        }
    }
    EXPECT_EQ(asked, convert555To565(picture.at(1, 0)));
}

} // namespace
