// The animation-frame blitters and hit test, checked against a per-pixel
// reference that places every index byte by the run formula on its own.
#include "gfx/animation_blitter.h"
#include "gfx/animation_frame.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"

#include "fixtures/animation_writer.h"
#include "fixtures/hue_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using fixture::FrameRun;

constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 32;
constexpr int32_t kAnchorX = 20;
constexpr int32_t kAnchorY = 16;
constexpr int32_t kHueNumber = 7;

using fixture::testHueColour;

// Greys at even indices, colours at odd ones; reds cover 0..31, and one
// colour has bit 15 set, which no channel may take.
std::array<uint16_t, 256> testPalette()
{
    std::array<uint16_t, 256> palette {};
    for (int32_t i = 0; i < 256; ++i) {
        int32_t level = (i * 7) & 31;
        palette[size_t(i)] = (i % 2 == 0) ? uint16_t(level << 10 | level << 5 | level)
                                          : uint16_t(level << 10 | ((level + 9) & 31) << 5 | ((level + 3) & 31));
    }
    palette[201] |= 0x8000;
    return palette;
}

// Runs above, at and below the anchor, two on one row, one reaching left of
// the anchor and a long one.
std::vector<FrameRun> testRuns()
{
    auto indices = [](uint8_t first, int32_t count) {
        std::vector<uint8_t> run;
        for (int32_t i = 0; i < count; ++i)
            run.push_back(uint8_t(first + i * 13));
        return run;
    };
    return {
        { -6, -10, indices(1, 9) },
        { -12, -9, indices(40, 5) },
        { 2, -9, indices(90, 6) },
        { -20, -4, indices(201, 3) },
        { -3, 0, indices(7, 7) },
        { -16, 3, indices(150, 33) },
    };
}

uint16_t background(int32_t x, int32_t y) { return uint16_t((x * 977 + y * 131) & 0x7FFF); }

struct Surface {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(size_t(kWidth * kHeight));
    Surface()
    {
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth; ++x)
                at(x, y) = background(x, y);
    }
    uint16_t& at(int32_t x, int32_t y) { return pixels[size_t(y * kWidth + x)]; }
    BlitTarget target() { return BlitTarget::surface(pixels.data(), kWidth, kHeight, kWidth); }
};

// What one destination pixel becomes under a frame pixel of colour `s`, as
// the mode table says.
uint16_t referencePixel(uint16_t d, uint16_t s, uint16_t hueWord)
{
    int32_t number = hueWord & 0x3FFF;
    bool partial = hueWord & 0x8000;
    bool shade = hueWord & 0x4000;
    int32_t red = (s >> 10) & 31;
    bool grey = (s & 0x3FF) == (s >> 5);
    if (number == 0)
        return s;
    if (partial && !grey)
        return s;
    if (!shade)
        return testHueColour(number - 1, red);
    int32_t level = std::max(23 - red, 0);
    auto channel = [level](int32_t value) { return value * (32 - level) / 32; };
    return uint16_t(channel((d >> 10) & 31) << 10 | channel((d >> 5) & 31) << 5 | channel(d & 31));
}

void referenceBlit(Surface& surface, const std::vector<FrameRun>& runs, const ScreenRect& clip, bool mirrored,
    uint16_t hueWord, const std::array<uint16_t, 256>& palette, int32_t anchorX, int32_t anchorY)
{
    for (const FrameRun& run : runs) {
        int32_t row = anchorY + run.dy;
        if (row >= clip.bottom)
            return;
        int32_t count = int32_t(run.pixels.size());
        for (int32_t i = 0; i < count; ++i) {
            int32_t column = mirrored ? anchorX - run.dx - 1 - i : anchorX + run.dx + i;
            if (row < clip.top || column < clip.left || column >= clip.right || row < 0 || row >= kHeight
                || column < 0 || column >= kWidth)
                continue;
            uint16_t& d = surface.at(column, row);
            d = referencePixel(d, palette[run.pixels[size_t(i)]], hueWord);
        }
    }
}

struct BlitCase {
    std::string name;
    uint16_t hueWord;
    bool mirrored;
    ScreenRect clip;
};

std::vector<BlitCase> blitCases()
{
    const std::vector<std::pair<std::string, uint16_t>> modes {
        { "Copy", 0 },
        { "PartialBitAlone", 0x8000 },
        { "ShadeBitAlone", 0x4000 },
        { "Hue", kHueNumber },
        { "PartialHue", 0x8000 | kHueNumber },
        { "Shade", 0x4000 | kHueNumber },
        { "PartialShade", 0xC000 | kHueNumber },
        { "Grey995", 995 },
    };
    const std::vector<std::pair<std::string, ScreenRect>> clips {
        { "Whole", { 0, 0, kWidth, kHeight } },
        { "LeftEdgeInsideRuns", { 17, 0, kWidth, kHeight } },
        { "RightEdgeInsideRuns", { 0, 0, 21, kHeight } },
        { "TopBetweenRows", { 0, 7, kWidth, kHeight } },
        { "BottomOnARun", { 0, 0, kWidth, 19 } },
        { "Small", { 14, 6, 25, 17 } },
        { "PastTheSurface", { -10, -10, kWidth + 10, kHeight + 10 } },
    };
    std::vector<BlitCase> cases;
    for (const auto& [modeName, hue] : modes)
        for (const auto& [clipName, clip] : clips)
            for (bool mirrored : { false, true })
                cases.push_back({ modeName + "_" + clipName + (mirrored ? "_Mirrored" : ""), hue, mirrored, clip });
    return cases;
}

FrameHue hueOfWord(uint16_t word)
{
    int32_t number = word & 0x3FFF;
    return { number == 0 ? -1 : number - 1, (word & 0x8000) != 0, (word & 0x4000) != 0 };
}

class FrameBlit : public testing::TestWithParam<BlitCase> {
protected:
    fixture::InstalledTestHues hues;
};

TEST_P(FrameBlit, MatchesThePerPixelReference)
{
    const BlitCase& c = GetParam();
    auto runs = testRuns();
    auto bytes = fixture::frameRunBytes(runs);
    auto palette = testPalette();
    Surface drawn;
    Surface expected;
    blitFrameRuns(drawn.target(), c.clip, c.mirrored, hueOfWord(c.hueWord), kAnchorX, kAnchorY, palette, bytes);
    referenceBlit(expected, runs, c.clip, c.mirrored, c.hueWord, palette, kAnchorX, kAnchorY);
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x)
            ASSERT_EQ(drawn.at(x, y), expected.at(x, y)) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Modes, FrameBlit, testing::ValuesIn(blitCases()),
    [](const testing::TestParamInfo<BlitCase>& caseInfo) { return caseInfo.param.name; });

TEST(FrameBlitRules, TheFirstRunAtOrBelowTheClipBottomEndsTheFrame)
{
    // Runs come in row order; one out of order below the clip hides the rest.
    std::vector<FrameRun> runs { { 0, 2, { 5, 5 } }, { 0, -3, { 5, 5 } } };
    auto bytes = fixture::frameRunBytes(runs);
    Surface drawn;
    Surface untouched;
    blitFrameRuns(drawn.target(), { 0, 0, kWidth, kAnchorY + 2 }, false, {}, kAnchorX, kAnchorY, testPalette(), bytes);
    EXPECT_EQ(drawn.pixels, untouched.pixels);
    blitFrameRuns(drawn.target(), { 0, 0, kWidth, kAnchorY + 3 }, false, {}, kAnchorX, kAnchorY, testPalette(), bytes);
    EXPECT_NE(drawn.pixels, untouched.pixels);
}

TEST(FrameBlitRules, HueModesByExample)
{
    fixture::InstalledTestHues hues;
    std::array<uint16_t, 256> palette {};
    palette[1] = 0x0000; // grey, red 0
    palette[2] = uint16_t(23 << 10 | 23 << 5 | 23); // grey, red 23
    palette[3] = uint16_t(5 << 10 | 1 << 5 | 9); // coloured, red 5
    auto bytes = fixture::frameRunBytes({ { 0, 0, { 1, 2, 3 } } });
    const uint16_t under = uint16_t(31 << 10 | 16 << 5 | 9);
    auto drawOne = [&](uint16_t word) {
        std::vector<uint16_t> row(3, under);
        BlitTarget target = BlitTarget::surface(row.data(), 3, 1, 3);
        blitFrameRuns(target, target.bounds, false, hueOfWord(word), 0, 0, palette, bytes);
        return row;
    };
    EXPECT_EQ(drawOne(995), (std::vector<uint16_t> { testHueColour(994, 0), testHueColour(994, 23),
                                testHueColour(994, 5) }));
    // Red 0 keeps 9/32 of each channel, truncated; red 23 and more keeps it all.
    uint16_t darkest = uint16_t((31 * 9 / 32) << 10 | (16 * 9 / 32) << 5 | (9 * 9 / 32));
    EXPECT_EQ(drawOne(0x4000 | 12), (std::vector<uint16_t> { darkest, under, uint16_t(
                                                                             (31 * 14 / 32) << 10 | (16 * 14 / 32) << 5
                                                                             | (9 * 14 / 32)) }));
    EXPECT_EQ(drawOne(0xC000 | 12), (std::vector<uint16_t> { darkest, under, palette[3] }))
        << "coloured pixels are copied in partial shade";
    EXPECT_EQ(drawOne(0x8000 | 12), (std::vector<uint16_t> { testHueColour(11, 0), testHueColour(11, 23), palette[3] }));
    EXPECT_EQ(drawOne(0x4000), (std::vector<uint16_t> { palette[1], palette[2], palette[3] }));
}

TEST(FrameShadow, HalfHeightShearedAndHalved)
{
    auto bytes = fixture::frameRunBytes({ { -2, -10, { 1, 1, 1 } }, { 0, -9, { 1, 1 } }, { 1, 4, { 1 } } });
    for (bool mirrored : { false, true }) {
        Surface drawn;
        blitFrameShadow(drawn.target(), { 0, 0, kWidth, kHeight }, mirrored, kAnchorX, kAnchorY, bytes);
        Surface expected;
        // dy -10: 5 rows up, 5 columns right of where the run itself starts.
        int32_t start = mirrored ? kAnchorX + 2 - 3 + 5 : kAnchorX - 2 + 5;
        for (int32_t i = 0; i < 3; ++i)
            expected.at(start + i, kAnchorY - 5) = uint16_t((background(start + i, kAnchorY - 5) >> 1) & 0x3DEF);
        // dy 4: 2 rows down, 2 columns left.
        int32_t low = mirrored ? kAnchorX - 1 - 1 - 2 : kAnchorX + 1 - 2;
        expected.at(low, kAnchorY + 2) = uint16_t((background(low, kAnchorY + 2) >> 1) & 0x3DEF);
        EXPECT_EQ(drawn.pixels, expected.pixels) << "mirrored " << mirrored << "; the odd row draws nothing";
    }
}

TEST(FrameHitTest, RunEdgesStraightAndMirrored)
{
    auto bytes = fixture::frameRunBytes({ { -3, -5, { 1, 2, 3, 4 } }, { 6, -5, { 1 } }, { 0, 2, { 9 } } });
    const int32_t ax = 100;
    const int32_t ay = 50;
    EXPECT_TRUE(hitTestFrameRuns(ax - 3, ay - 5, false, ax, ay, bytes));
    EXPECT_TRUE(hitTestFrameRuns(ax, ay - 5, false, ax, ay, bytes));
    EXPECT_FALSE(hitTestFrameRuns(ax + 1, ay - 5, false, ax, ay, bytes)) << "column ax + dx + n";
    EXPECT_FALSE(hitTestFrameRuns(ax - 4, ay - 5, false, ax, ay, bytes));
    EXPECT_TRUE(hitTestFrameRuns(ax + 6, ay - 5, false, ax, ay, bytes)) << "a second run on the row";
    EXPECT_TRUE(hitTestFrameRuns(ax - 1, ay - 5, true, ax, ay, bytes)) << "column ax - dx - n";
    EXPECT_TRUE(hitTestFrameRuns(ax + 2, ay - 5, true, ax, ay, bytes));
    EXPECT_FALSE(hitTestFrameRuns(ax + 3, ay - 5, true, ax, ay, bytes)) << "column ax - dx";
    EXPECT_TRUE(hitTestFrameRuns(ax - 7, ay - 5, true, ax, ay, bytes));
    EXPECT_FALSE(hitTestFrameRuns(ax, ay - 6, false, ax, ay, bytes));
    EXPECT_FALSE(hitTestFrameRuns(ax, ay, false, ax, ay, bytes)) << "between rows";
    EXPECT_TRUE(hitTestFrameRuns(ax, ay + 2, false, ax, ay, bytes));
    EXPECT_FALSE(hitTestFrameRuns(ax, ay + 3, false, ax, ay, bytes)) << "past the end mark";
}

// A run that claims more pixels than its record holds, and runs cut short
// of their end mark: nothing is read or written past the bytes.
TEST(FrameRunsBadInput, NothingPassesTheEndOfTheRuns)
{
    std::vector<uint8_t> claimsTooMuch;
    uint32_t header = fixture::frameRunHeader(4095, 0, 0);
    for (int shift = 0; shift < 32; shift += 8)
        claimsTooMuch.push_back(uint8_t(header >> shift));
    claimsTooMuch.insert(claimsTooMuch.end(), { 1, 2, 3 });
    auto good = fixture::frameRunBytes({ { 0, 0, { 1, 2, 3 } }, { 0, 1, { 4 } } });
    std::vector<std::vector<uint8_t>> bad { claimsTooMuch, { good.begin(), good.end() - 4 },
        { good.begin(), good.begin() + 6 }, { good.begin(), good.begin() + 2 }, {} };
    for (const auto& bytes : bad) {
        EXPECT_EQ(measureFrameRuns(bytes), 0u);
        // Copies of exactly the bad bytes, so that a read past them is caught.
        auto exact = std::make_unique<uint8_t[]>(std::max<size_t>(bytes.size(), 1));
        std::copy(bytes.begin(), bytes.end(), exact.get());
        std::span<const uint8_t> runs(exact.get(), bytes.size());
        Surface drawn;
        blitFrameRuns(drawn.target(), { 0, 0, kWidth, kHeight }, false, {}, kAnchorX, kAnchorY, testPalette(), runs);
        blitFrameShadow(drawn.target(), { 0, 0, kWidth, kHeight }, true, kAnchorX, kAnchorY, runs);
        EXPECT_FALSE(hitTestFrameRuns(kAnchorX + 5, kAnchorY, false, kAnchorX, kAnchorY, runs));
    }
    EXPECT_EQ(measureFrameRuns(good), good.size());
}

TEST(FrameRunsBadInput, AnchorsFarOutsideTheTargetDrawNothing)
{
    auto bytes = fixture::frameRunBytes(testRuns());
    Surface drawn;
    Surface untouched;
    for (int32_t anchor : { INT32_MIN, INT32_MIN + 5, -5000, 5000, INT32_MAX - 5, INT32_MAX }) {
        blitFrameRuns(drawn.target(), { 0, 0, kWidth, kHeight }, true, {}, anchor, kAnchorY, testPalette(), bytes);
        blitFrameRuns(drawn.target(), { 0, 0, kWidth, kHeight }, false, {}, kAnchorX, anchor, testPalette(), bytes);
        blitFrameShadow(drawn.target(), { 0, 0, kWidth, kHeight }, false, anchor, anchor, bytes);
    }
    EXPECT_EQ(drawn.pixels, untouched.pixels);
}

} // namespace
