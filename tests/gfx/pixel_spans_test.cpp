#include "gfx/colour_tables.h"
#include "gfx/pixel_spans.h"

#include "fixtures/hue_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr uint16_t M50 = 0x7BDE;
constexpr uint16_t M25 = 0x739C;

// Entry e, colour i: distinct and recognisable; never 0.
uint16_t hueColour(int32_t entry, int32_t index)
{
    return uint16_t(((entry * 32 + index) * 7 + 1) & 0x7FFF) | 1;
}

class SpanTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        hueTable().load(fixture::hueFile(3000, [](int32_t entry) {
            fixture::HueRamp made;
            for (int i = 0; i < 32; ++i)
                made.colours[i] = hueColour(entry, i);
            return made;
        }));
    }
    void SetUp() override
    {
        setCurrentHue(41);
        resetStipplePhase();
    }
    static uint16_t H(uint16_t i) { return hueColour(41, i); }
};

// Sources worth checking: transparent, the value 1, greys, colours, and pixels
// with bit 15 set, which must not index past the 32-colour ramp.
const uint16_t kSources[] = { 0x0000, 0x0001, 0x0421, 0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x2D6B, 0x8000 | 0x7C00,
    0xFFFF, 0x8421 };
const uint16_t kDestinations[] = { 0x0000, 0x7FFF, 0x1234, 0x4210 };

struct FormulaCase {
    const char* name;
    PixelSpanFn fn;
    // The expected destination for destination d and source s.
    std::function<uint16_t(uint16_t d, uint16_t s)> expected;
};

uint16_t red(uint16_t p) { return (p >> 10) & 0x1F; }
uint16_t green(uint16_t p) { return (p >> 5) & 31; }
uint16_t blue(uint16_t p) { return p & 31; }
bool grey(uint16_t p) { return (p >> 5) == (p & 0x3FF); }
uint16_t h(uint16_t i) { return hueColour(41, i); }
uint16_t b75(uint16_t d, uint16_t a) { return uint16_t((((((d & M25) + (a & M25)) >> 1) + (a & M50)) >> 1) | 1); }

std::vector<FormulaCase> formulaCases()
{
    return {
        { "Copy", copySpan, [](uint16_t, uint16_t s) { return s; } },
        { "Transparent", copySpanTransparent, [](uint16_t d, uint16_t s) { return s ? s : d; } },
        { "Blend50", blendSpan50,
            [](uint16_t d, uint16_t s) { return s ? uint16_t((((d & M50) + (s & M50)) >> 1) | 1) : d; } },
        { "Blend75", blendSpan75, [](uint16_t d, uint16_t s) { return s ? b75(d, s) : d; } },
        { "Blend75Opaque", blendSpan75Opaque, [](uint16_t d, uint16_t s) { return b75(d, s); } },
        { "Blend25Opaque", blendSpan25Opaque, [](uint16_t d, uint16_t s) { return b75(s, d); } },
        { "HueByRed", hueSpanByRed,
            [](uint16_t d, uint16_t s) { return s == 0 ? d : (s == 1 ? uint16_t(1) : h(red(s))); } },
        { "HueOpaque", hueSpanOpaque, [](uint16_t, uint16_t s) { return h(red(s)); } },
        { "HueByGreen", hueSpanByGreen, [](uint16_t, uint16_t s) { return h(green(s)); } },
        { "PartialHue", partialHueSpan,
            [](uint16_t d, uint16_t s) { return s == 0 ? d : (grey(s) ? h(red(s)) : s); } },
        { "PartialHueOpaque", partialHueSpanOpaque, [](uint16_t, uint16_t s) { return grey(s) ? h(red(s)) : s; } },
        { "HueBlend75", hueBlendSpan75, [](uint16_t d, uint16_t s) { return s ? b75(d, h(red(s))) : d; } },
        { "HueBlend75Opaque", hueBlendSpan75Opaque, [](uint16_t d, uint16_t s) { return b75(d, h(red(s))); } },
        { "PartialHueBlend75", partialHueBlendSpan75,
            [](uint16_t d, uint16_t s) { return s == 0 ? d : (grey(s) ? b75(d, h(red(s))) : s); } },
        { "PartialHueBlend75Opaque", partialHueBlendSpan75Opaque,
            [](uint16_t d, uint16_t s) { return grey(s) ? b75(d, h(red(s))) : s; } },
    };
}

class SpanFormula : public SpanTest, public testing::WithParamInterface<FormulaCase> { };

TEST_P(SpanFormula, EveryPixelFollowsTheFormula)
{
    const FormulaCase& c = GetParam();
    for (uint16_t d : kDestinations) {
        std::vector<uint16_t> source(std::begin(kSources), std::end(kSources));
        std::vector<uint16_t> destination(source.size(), d);
        c.fn(destination.data(), source.data(), int32_t(source.size()));
        for (size_t i = 0; i < source.size(); ++i)
            ASSERT_EQ(destination[i], c.expected(d, source[i])) << std::hex << "d=" << d << " s=" << source[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Spans, SpanFormula, testing::ValuesIn(formulaCases()),
    [](const testing::TestParamInfo<FormulaCase>& caseInfo) { return std::string(caseInfo.param.name); });

// The transparent copy works in groups of eight and four pixels: every span
// length and start must still follow the formula and leave the pixels
// around the span alone.
TEST_F(SpanTest, TransparentCopyOfEveryLengthTouchesOnlyItsSpan)
{
    for (int32_t start = 0; start < 8; ++start) {
        for (int32_t count = 0; count <= 40; ++count) {
            std::vector<uint16_t> source(64);
            for (size_t i = 0; i < source.size(); ++i)
                source[i] = (i * 7 + size_t(count)) % 3 == 0 ? 0 : uint16_t(0x1000 + i);
            std::vector<uint16_t> destination(64, 0x4210);
            copySpanTransparent(destination.data() + start, source.data() + start, count);
            for (int32_t i = 0; i < 64; ++i) {
                bool inside = i >= start && i < start + count;
                uint16_t expected = inside && source[size_t(i)] ? source[size_t(i)] : 0x4210;
                ASSERT_EQ(destination[size_t(i)], expected) << "start " << start << " count " << count << " at " << i;
            }
        }
    }
}

TEST_F(SpanTest, BlackOverBlackBlendsToOne)
{
    uint16_t source = 0, destination = 0;
    blendSpan75Opaque(&destination, &source, 1);
    EXPECT_EQ(destination, 1);
    uint16_t black = 0;
    uint16_t nearBlack = 0x0001;
    blendSpan50(&black, &nearBlack, 1);
    EXPECT_EQ(black, 1);
}

TEST_F(SpanTest, StippleCallsDrawComplementaryHalves)
{
    std::vector<uint16_t> source(7, 0x1234);
    std::vector<uint16_t> first(7, 0), second(7, 0);
    stippleSpan(first.data(), source.data(), 7);
    stippleSpan(second.data(), source.data(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_NE(first[i] == 0x1234, second[i] == 0x1234) << i;
        EXPECT_EQ(first[i] == 0x1234, i % 2 == 1) << "the first call after a reset draws the odd positions";
    }
}

TEST_F(SpanTest, HueIndexOutsideTheTableSelectsEntryZero)
{
    uint16_t source = 0x7C00, destination = 0;
    for (int32_t bad : { 3000, 16383, -1, 0x7FFFFFFF }) {
        setCurrentHue(bad);
        EXPECT_EQ(currentHue(), 0);
        for (PixelSpanFn fn : { hueSpanOpaque, hueSpanByRed, partialHueSpanOpaque }) {
            destination = 0;
            fn(&destination, &source, 1);
            EXPECT_EQ(destination, fn == partialHueSpanOpaque ? source : hueColour(0, 31));
        }
    }
    setCurrentHueNumber(3000);
    EXPECT_EQ(currentHue(), 2999);
    setCurrentHueNumber(0);
    EXPECT_EQ(currentHue(), 0);
}

TEST_F(SpanTest, SourceWithBit15StaysOnTheRamp)
{
    // Rotated gump art marks its pixels with bit 15; the red channel is still 31.
    uint16_t source = 0x8000 | 0x7C00, destination = 0;
    hueSpanOpaque(&destination, &source, 1);
    EXPECT_EQ(destination, H(31));
    partialHueSpanOpaque(&destination, &source, 1);
    EXPECT_EQ(destination, source) << "not grey";
}

TEST_F(SpanTest, BlendTableSpansCombineEachChannel)
{
    const ColourTables& t = colourTables();
    for (int32_t level : { 0, 2, 6, 7, 12 }) {
        selectBlendTable(level);
        const auto& table = t.blend[blendTableIndexForLevel(level)];
        for (uint16_t d : kDestinations)
            for (uint16_t s : kSources) {
                uint16_t out = d;
                blendTableSpan(&out, &s, 1);
                uint16_t expected = uint16_t(table[red(d) * 32 + red(s)] << 10 | table[green(d) * 32 + green(s)] << 5
                    | table[blue(d) * 32 + blue(s)]);
                ASSERT_EQ(out, expected) << level;
                out = d;
                hueBlendTableSpan(&out, &s, 1);
                uint16_t a = H(green(s));
                expected = uint16_t(table[red(d) * 32 + red(a)] << 10 | table[green(d) * 32 + green(a)] << 5
                    | table[blue(d) * 32 + blue(a)]);
                ASSERT_EQ(out, expected) << level;
            }
    }
    EXPECT_TRUE(isBlendLevelZero(16));
    EXPECT_EQ(selectBlendTable(0x23), 3);
}

TEST_F(SpanTest, BloodRecolourScalesTheCensoredColourByRed)
{
    setCensoredBloodColour(0x03E0);
    uint16_t source[] = { 0x7C00, 0x4000, 0x7FFF, 0x0000 };
    uint16_t destination[4] = {};
    bloodRecolourSpan(destination, source, 4);
    EXPECT_EQ(destination[0], 31 << 5) << "full red keeps the whole colour";
    EXPECT_EQ(destination[1], (31 * 17 / 32) << 5);
    EXPECT_EQ(destination[2], 0x7FFF) << "not red: copied";
    EXPECT_EQ(destination[3], 0);
}

TEST_F(SpanTest, GreyOnlyHueTakesItsEntryFromTheCaller)
{
    HueEntry entry;
    for (int i = 0; i < 32; ++i)
        entry.colours[i] = uint16_t(100 + i);
    uint16_t source[] = { 0x0000, 0x0421, 0x7C00 };
    uint16_t destination[] = { 9, 9, 9 };
    hueSpanGreyOnly(destination, source, 3, entry);
    EXPECT_EQ(destination[0], 9);
    EXPECT_EQ(destination[1], 101);
    EXPECT_EQ(destination[2], 0x7C00);
}

} // namespace
