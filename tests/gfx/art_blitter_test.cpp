#include "gfx/art_blitter.h"
#include "gfx/colour_tables.h"

#include "fixtures/art_writer.h"
#include "fixtures/hue_writer.h"
#include "support/png_writer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using fixture::ArtRowRuns;

// A 9x4 image whose rows have gaps between runs, a run at the left edge, one
// ending at the right edge, and an empty row.
std::unique_ptr<ArtImage> sampleImage()
{
    std::vector<ArtRowRuns> rows {
        { { 0, { 0x0101, 0x0102, 0x0103 } }, { 2, { 0x0106, 0x0107 } } },
        { { 1, { 0x0201, 0x0202 } }, { 1, { 0x0204, 0x0205, 0x0206, 0x0207, 0x0208 } } },
        {},
        { { 4, { 0x0404 } }, { 3, { 0x0408 } } },
    };
    return ArtImage::parse(fixture::artRecord(9, rows));
}

TEST(ArtImage, PixelsGapsAndEdges)
{
    auto image = sampleImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 9);
    EXPECT_EQ(image->height(), 4);
    EXPECT_EQ(getArtPixel(image.get(), 0, 0), 0x0101);
    EXPECT_EQ(getArtPixel(image.get(), 3, 0), 0) << "inside the gap between runs";
    EXPECT_EQ(getArtPixel(image.get(), 6, 0), 0x0107);
    EXPECT_EQ(getArtPixel(image.get(), 8, 1), 0x0208);
    EXPECT_EQ(getArtPixel(image.get(), 9, 1), 0) << "x = width";
    EXPECT_EQ(getArtPixel(image.get(), -1, 1), 0);
    EXPECT_EQ(getArtPixel(image.get(), 4, 2), 0) << "an empty row";
    EXPECT_EQ(getArtPixel(image.get(), 8, 3), 0x0408);
    EXPECT_EQ(getArtPixel(image.get(), 0, 4), 0);
    EXPECT_EQ(getArtPixel(nullptr, 0, 0), 0);
}

struct BadArtCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

std::vector<BadArtCase> badArtCases()
{
    std::vector<uint8_t> good = fixture::artRecord(4, { { { 1, { 5, 6 } } }, { { 0, { 7 } } } });
    std::vector<BadArtCase> cases;
    cases.push_back({ "Empty", {} });
    cases.push_back({ "HeaderOnly", std::vector<uint8_t>(good.begin(), good.begin() + 8) });
    cases.push_back({ "TruncatedOffsets", std::vector<uint8_t>(good.begin(), good.begin() + 10) });
    cases.push_back({ "TruncatedRun", std::vector<uint8_t>(good.begin(), good.end() - 6) });
    cases.push_back({ "NoEndMark", std::vector<uint8_t>(good.begin(), good.end() - 4) });
    std::vector<uint8_t> offsetPast = good;
    offsetPast[10] = 0xFF;
    offsetPast[11] = 0x7F;
    cases.push_back({ "RowOffsetPastTheEnd", offsetPast });
    cases.push_back({ "RunPastTheWidth", fixture::artRecord(4, { { { 3, { 5, 6 } } } }) });
    cases.push_back({ "ZeroWidth", fixture::artRecord(0, { {} }) });
    cases.push_back({ "ZeroHeight", fixture::artRecord(4, {}) });
    // Every row offset names the same 100-pixel row: 1000 rows would decode to
    // far more pixels than the record holds.
    std::vector<uint8_t> shared = { 0, 0, 0, 0, 100, 0, 0xE8, 0x03 };
    shared.resize(shared.size() + 2 * 1000, 0);
    shared.insert(shared.end(), { 0, 0, 100, 0 });
    shared.resize(shared.size() + 2 * 100, 0x11);
    shared.insert(shared.end(), { 0, 0, 0, 0 });
    cases.push_back({ "RowsSharingRunData", shared });
    return cases;
}

class ArtImageBadInput : public testing::TestWithParam<BadArtCase> { };

TEST_P(ArtImageBadInput, IsRefused)
{
    EXPECT_EQ(ArtImage::parse(GetParam().bytes), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Art, ArtImageBadInput, testing::ValuesIn(badArtCases()),
    [](const testing::TestParamInfo<BadArtCase>& caseInfo) { return std::string(caseInfo.param.name); });

constexpr int32_t kSurfaceWidth = 16;
constexpr int32_t kSurfaceHeight = 10;
constexpr uint16_t kUntouched = 0x7FFF;

struct ClipCase {
    const char* name;
    ScreenRect clip;
    int32_t x;
    int32_t y;
};

// A PixelSpanFn paired with the result it must give for one pixel.
struct SpanCase {
    const char* name;
    PixelSpanFn fn;
};

class ArtClipping : public testing::TestWithParam<std::tuple<ClipCase, SpanCase>> {
protected:
    void SetUp() override
    {
        fixture::HueRamp ramp;
        for (int i = 0; i < 32; ++i)
            ramp.colours[i] = uint16_t(0x0400 * i + 3);
        auto bytes = fixture::hueFile(3000, [&](int32_t) { return ramp; });
        hueTable().load(bytes);
        setCurrentHue(0);
        selectBlendTable(4);
    }
};

// Every pixel inside the clip that the image covers must look as if the span
// function had been called on it alone; everything else stays untouched.
TEST_P(ArtClipping, MatchesPerPixelReference)
{
    const auto& [clipCase, spanCase] = GetParam();
    auto image = sampleImage();
    ASSERT_TRUE(image);
    std::vector<uint16_t> surface(kSurfaceWidth * kSurfaceHeight, kUntouched);
    std::vector<uint16_t> expected = surface;
    BlitTarget target = BlitTarget::surface(surface.data(), kSurfaceWidth, kSurfaceHeight, kSurfaceWidth);
    blitArtClipped(spanCase.fn, image.get(), target, &clipCase.clip, clipCase.x, clipCase.y);

    ScreenRect area = clipCase.clip.intersected(target.bounds);
    for (int32_t y = 0; y < kSurfaceHeight; ++y)
        for (int32_t x = 0; x < kSurfaceWidth; ++x) {
            uint16_t source = getArtPixel(image.get(), x - clipCase.x, y - clipCase.y);
            if (source && area.contains(x, y))
                spanCase.fn(&expected[y * kSurfaceWidth + x], &source, 1);
        }
    for (int32_t y = 0; y < kSurfaceHeight; ++y)
        for (int32_t x = 0; x < kSurfaceWidth; ++x)
            ASSERT_EQ(surface[y * kSurfaceWidth + x], expected[y * kSurfaceWidth + x]) << "at " << x << "," << y;
}

const ClipCase kClipCases[] = {
    { "WholeImage", { 0, 0, 16, 10 }, 2, 3 },
    { "LeftEdgeInsideRun", { 3, 0, 16, 10 }, 2, 3 },
    { "RunEndsAtLeftEdge", { 5, 0, 16, 10 }, 2, 3 },
    { "RightEdgeInsideRun", { 0, 0, 6, 10 }, 2, 3 },
    { "NarrowMiddle", { 6, 4, 8, 7 }, 2, 3 },
    { "LastRowOnly", { 0, 6, 16, 7 }, 2, 3 },
    { "ClipPastTheTarget", { -20, -20, 40, 40 }, -4, -1 },
    { "ImageOffTheRight", { 0, 0, 16, 10 }, 12, 8 },
    { "ClipMissesImage", { 0, 0, 2, 2 }, 5, 5 },
};

const SpanCase kSpanCases[] = {
    { "Copy", copySpan },
    { "Transparent", copySpanTransparent },
    { "Blend50", blendSpan50 },
    { "Blend75", blendSpan75 },
    { "Blend75Opaque", blendSpan75Opaque },
    { "Blend25Opaque", blendSpan25Opaque },
    { "HueByRed", hueSpanByRed },
    { "HueOpaque", hueSpanOpaque },
    { "HueByGreen", hueSpanByGreen },
    { "PartialHue", partialHueSpan },
    { "PartialHueOpaque", partialHueSpanOpaque },
    { "HueBlend75", hueBlendSpan75 },
    { "HueBlend75Opaque", hueBlendSpan75Opaque },
    { "PartialHueBlend75", partialHueBlendSpan75 },
    { "PartialHueBlend75Opaque", partialHueBlendSpan75Opaque },
    { "BlendTable", blendTableSpan },
    { "HueBlendTable", hueBlendTableSpan },
    { "BloodRecolour", bloodRecolourSpan },
};

INSTANTIATE_TEST_SUITE_P(Blit, ArtClipping, testing::Combine(testing::ValuesIn(kClipCases), testing::ValuesIn(kSpanCases)),
    [](const testing::TestParamInfo<std::tuple<ClipCase, SpanCase>>& caseInfo) {
        return std::string(std::get<0>(caseInfo.param).name) + "_" + std::get<1>(caseInfo.param).name;
    });

TEST(ArtBlit, UnclippedDrawsEveryRunAndStaysInsideTheTarget)
{
    auto image = sampleImage();
    std::vector<uint16_t> surface(kSurfaceWidth * kSurfaceHeight, kUntouched);
    BlitTarget target = BlitTarget::surface(surface.data(), kSurfaceWidth, kSurfaceHeight, kSurfaceWidth);
    blitArt(copySpan, image.get(), target, 1, 1);
    for (int32_t y = 0; y < kSurfaceHeight; ++y)
        for (int32_t x = 0; x < kSurfaceWidth; ++x) {
            uint16_t source = getArtPixel(image.get(), x - 1, y - 1);
            ASSERT_EQ(surface[y * kSurfaceWidth + x], source ? source : kUntouched) << x << "," << y;
        }
    // Partly outside: only the inside part is drawn, nothing past the surface.
    std::vector<uint16_t> guarded(kSurfaceWidth * (kSurfaceHeight + 2), kUntouched);
    BlitTarget inner = BlitTarget::surface(guarded.data() + kSurfaceWidth, kSurfaceWidth, kSurfaceHeight, kSurfaceWidth);
    blitArt(copySpan, image.get(), inner, 10, 8);
    blitArt(copySpan, image.get(), inner, -5, -2);
    for (int32_t x = 0; x < kSurfaceWidth; ++x) {
        EXPECT_EQ(guarded[x], kUntouched);
        EXPECT_EQ(guarded[(kSurfaceHeight + 1) * kSurfaceWidth + x], kUntouched);
    }
    blitArt(copySpan, nullptr, target, 0, 0);
}

TEST(ArtBlit, PositionsFarOutsideDrawNothing)
{
    auto image = sampleImage();
    std::vector<uint16_t> surface(kSurfaceWidth * kSurfaceHeight, kUntouched);
    BlitTarget target = BlitTarget::surface(surface.data(), kSurfaceWidth, kSurfaceHeight, kSurfaceWidth);
    const ScreenRect clip { -100, -100, 100, 100 };
    for (int32_t far : { INT32_MIN, INT32_MIN + 5, INT32_MAX - 2, INT32_MAX }) {
        blitArt(copySpan, image.get(), target, far, 1);
        blitArt(copySpan, image.get(), target, 1, far);
        blitArtClipped(copySpan, image.get(), target, &clip, far, 1);
        blitArtClipped(copySpan, image.get(), target, &clip, 1, far);
    }
    for (uint16_t pixel : surface)
        ASSERT_EQ(pixel, kUntouched);
}

// A small scene of clipped, hued and blended art, kept as a picture and as a
// golden hash of its pixels.
TEST(ArtBlit, SyntheticScene)
{
    constexpr int32_t w = 96, h = 64;
    std::vector<uint16_t> surface(w * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            surface[y * w + x] = packRgb(x * 255 / w, 64, y * 255 / h);

    std::vector<uint16_t> diamond(44 * 44, 0);
    for (int32_t y = 0; y < 44; ++y)
        for (int32_t x = 0; x < 44; ++x)
            if (std::abs(x - 21.5) + std::abs(y - 21.5) <= 22) {
                uint16_t grey = uint16_t(8 + (x + y) % 24);
                bool ring = (x / 4 + y / 4) % 3 == 0;
                diamond[y * 44 + x] = ring ? packRgb(200, 40, 40) : uint16_t(grey << 10 | grey << 5 | grey);
            }
    auto image = ArtImage::parse(fixture::artRecordFromPixels(44, 44, diamond));
    ASSERT_TRUE(image);

    fixture::HueRamp gold;
    for (int i = 0; i < 32; ++i)
        gold.colours[i] = packRgb(i * 8, i * 6, i * 2);
    hueTable().load(fixture::hueFile(3000, [&](int32_t) { return gold; }));

    BlitTarget target = BlitTarget::surface(surface.data(), w, h, w);
    blitArt(copySpanTransparent, image.get(), target, -10, -6);
    setCurrentHueNumber(5);
    ScreenRect clip { 30, 10, 70, 40 };
    blitArtClipped(partialHueSpan, image.get(), target, &clip, 26, 4);
    blitArt(blendSpan50, image.get(), target, 60, 30);
    resetStipplePhase();
    blitArt(stippleSpan, image.get(), target, 10, 30);

    test::writeSurfacePng(test::picturePath("synthetic_scene.png"), surface.data(), w, h, w);
    EXPECT_EQ(test::surfaceHash(surface.data(), w, h, w), 3504811251114697419ull);
}

} // namespace
