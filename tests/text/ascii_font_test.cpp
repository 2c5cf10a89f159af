#include "fixtures/font_writers.h"
#include "fixtures/hue_writer.h"
#include "gfx/hue_table.h"
#include "platform/message_box.h"
#include "text/ascii_font.h"
#include "text/pixel_primitives.h"
#include "text_canvas.h"

#include <cinttypes>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using fixture::AsciiFontFileWriter;

bool loadFonts(const std::string& image)
{
    return parseAsciiFontFile(reinterpret_cast<const uint8_t*>(image.data()), image.size());
}

// Font 3: 2x3 glyphs for 'a', 'b', '.' and the blank, nothing else; font 9
// (no partial hue) carries the test face for the pictures.
std::string smallFontFile()
{
    AsciiFontFileWriter writer;
    writer.setSolidGlyph(3, 'a', 2, 3, 0, 0x7FFF)
        .setSolidGlyph(3, 'b', 2, 3, 0, 0x7FFF)
        .setSolidGlyph(3, '.', 2, 3, 0, 0x7FFF)
        .setSolidGlyph(3, ' ', 2, 3, 0, 0)
        .setSolidGlyph(3, 0xE9, 2, 3, 0, 0x7FFF)
        .addTestFace(9)
        .addTestFace(1);
    return writer.bytes();
}

// A hue table whose colour at level l is ((hue & 31) << 10) | (l << 5) | 1,
// so a drawn pixel names the hue and level it came from.
void loadTestHues()
{
    std::vector<uint8_t> file = fixture::hueFile(HueTable::kEntryCount, [](int32_t index) {
        fixture::HueRamp ramp;
        int32_t hue = index + 1;
        for (int level = 0; level < 32; ++level)
            ramp.colours[size_t(level)] = uint16_t(((hue & 0x1F) << 10) | (level << 5) | 1);
        return ramp;
    });
    ASSERT_TRUE(hueTable().load(file));
}

class AsciiFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loadFonts(smallFontFile()));
        loadTestHues();
        setAsciiShadedFonts(false);
        setTextPixelFormat565(false);
    }
    void TearDown() override
    {
        freeAsciiFonts();
        hueTable() = HueTable();
        setAsciiShadedFonts(false);
    }
};

TEST_F(AsciiFontTest, SlotsAndGlyphs)
{
    EXPECT_TRUE(isAsciiFontLoaded(3));
    EXPECT_FALSE(isAsciiFontLoaded(0));
    EXPECT_FALSE(isAsciiFontLoaded(25));
    EXPECT_FALSE(isAsciiFontLoaded(-1));
    EXPECT_TRUE(hasAsciiGlyph(3, 'a'));
    EXPECT_FALSE(hasAsciiGlyph(3, 'c'));
    EXPECT_FALSE(hasAsciiGlyph(3, 31));
    EXPECT_FALSE(hasAsciiGlyph(3, 256));
    EXPECT_EQ(asciiGlyphWidth(3, 'b'), 2);
    EXPECT_TRUE(asciiFont(3)->partialHue);
    EXPECT_TRUE(asciiFont(1)->partialHue);
    EXPECT_FALSE(asciiFont(9)->partialHue);
    int32_t width = 0, height = 0, baseline = 0;
    EXPECT_TRUE(measureAsciiText(9, "Ag", width, height, baseline));
    EXPECT_EQ(width, 12);
    EXPECT_EQ(height, 9); // ascent 7 of 'A', descent 2 of 'g'
    EXPECT_EQ(baseline, 6);
    EXPECT_FALSE(measureAsciiText(4, "Ag", width, height, baseline));
}

// Codes 128 to 255 are measured as they are drawn (they used to count 0 in
// measuring and wrapping, so Latin-1 text ran out of its box).
TEST_F(AsciiFontTest, LatinOneCharactersMeasureAsDrawn)
{
    EXPECT_EQ(measureAsciiChars(3, 3, "a\xE9" "b"), 6);
    EXPECT_EQ(fitAsciiChars(3, "\xE9\xE9\xE9", 5), 2);
    EXPECT_EQ(asciiWrapIndex(3, "\xE9\xE9 \xE9\xE9", 6), 1);
}

struct WrapCase {
    const char* name;
    std::string text;
    int32_t width;
    int32_t indent;
    std::string lines; // joined by '|'
};

class AsciiWrap : public AsciiFontTest, public ::testing::WithParamInterface<WrapCase> { };

TEST_P(AsciiWrap, Lines)
{
    const WrapCase& c = GetParam();
    std::string joined;
    for (const AsciiWrappedLine& line : wrapAsciiLines(3, c.text.c_str(), c.width, c.indent))
        joined += (joined.empty() ? "" : "|") + line.text;
    EXPECT_EQ(joined, c.lines);
}

// Glyphs are 2 pixels wide, the blank included.
INSTANTIATE_TEST_SUITE_P(Table, AsciiWrap,
    ::testing::Values(WrapCase { "Fits", "ab ab", 10, 0, "ab ab" },
        WrapCase { "BreaksAtBlankAndDropsIt", "ab ab", 8, 0, "ab|ab" },
        WrapCase { "BlankAtOneIsNoCandidate", "a bb", 4, 0, "a |bb" },
        WrapCase { "BlankAtZeroIsNoCandidate", " abab", 6, 0, " ab|ab" },
        WrapCase { "NoCandidateKeepsAllThatFit", "aaaaa", 6, 0, "aaa|aa" },
        WrapCase { "Indent", "ab ab ab", 8, 2, "ab|  ab|  ab" },
        WrapCase { "FirstCharacterTooWide", "ab ab", 1, 0, "ab ab" },
        WrapCase { "IndentWiderThanTheBoxEnds", "ab ab ab", 4, 3, "ab|   ab ab" },
        WrapCase { "LineFeedIsNoBreak", "ab\nab", 8, 0, "ab\nab" },
        WrapCase { "CappedAt255", std::string(300, 'a'), 100000, 0, std::string(255, 'a') }),
    [](const ::testing::TestParamInfo<WrapCase>& p) { return std::string(p.param.name); });

TEST_F(AsciiFontTest, WrapExtentCaretAndFit)
{
    int32_t maxWidth = 0, height = 0, baseline = 0;
    EXPECT_TRUE(wrapAsciiText(3, "ab ab ab", 8, maxWidth, height, baseline, 2));
    EXPECT_EQ(maxWidth, 8);
    EXPECT_EQ(height, 9);
    EXPECT_EQ(baseline, 2);
    int32_t x = 0, y = 0;
    asciiCaretPosition(3, 4, "ab ab ab", 8, x, y); // the second line's 'b'
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    asciiCaretPosition(3, 8, "ab ab ab", 8, x, y); // past the end: the last line
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 6);
    EXPECT_EQ(asciiWrapIndex(3, "ab ab", 8), 1);
    EXPECT_EQ(asciiWrapIndex(3, "ab ab", 10), -1);
    EXPECT_EQ(fitAsciiChars(3, "abab", 4), 1);
    EXPECT_EQ(fitAsciiChars(3, "abab", 5), 2);
    EXPECT_EQ(fitAsciiTextBox(3, "ab ab ab", 8, 8, 3), 7); // "ab|ab a"
    EXPECT_EQ(fitAsciiTextBox(3, "ab ab ab", 8, 8, 100), 8);
}

TEST_F(AsciiFontTest, LineStartingLeftOfTheClipDrawsNothing)
{
    test::TextCanvas canvas(20, 6);
    drawAsciiText(1, 3, 3, 0, "abab", canvas.surface(), TextClip { 2, 0, 20, 6 });
    EXPECT_EQ(canvas.countNot(0), 0);
}

TEST_F(AsciiFontTest, RightEdgeDrawsWholeGlyphsOnly)
{
    test::TextCanvas canvas(20, 6);
    drawAsciiText(0, 2, 3, 0, "ababab", canvas.surface(), TextClip { 0, 0, 7, 6 });
    EXPECT_EQ(canvas.row(0), "######..............");
    EXPECT_TRUE(canvas.borderIntact());
}

TEST_F(AsciiFontTest, ClipBeyondTheSurfaceWritesOnlyInside)
{
    test::TextCanvas canvas(5, 4);
    drawAsciiText(0, 4, 9, 0, "AAAAAAAA", canvas.surface(), TextClip { -100, -100, 100, 100 });
    drawAsciiText(-4, 1, 9, 7, "AB", canvas.surface(), TextClip { -100, -100, 100, 100 });
    EXPECT_GT(canvas.countNot(0), 0);
    EXPECT_TRUE(canvas.borderIntact());
}

// Positions at the ends of 32 bits: adding a glyph's size or a line's offset
// to them must not wrap round into the clip (or trip the overflow check).
TEST_F(AsciiFontTest, PositionsAtTheEndsOfThirtyTwoBitsDrawNothing)
{
    test::TextCanvas canvas(20, 6);
    const TextClip everything { INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX };
    EXPECT_EQ(drawAsciiGlyph(3, INT32_MAX, 2, 0, 'a', canvas.surface(), everything), 0);
    EXPECT_EQ(drawAsciiGlyph(3, 0, INT32_MIN, 0, 'a', canvas.surface(), everything), 2);
    drawAsciiText(INT32_MAX - 3, 2, 3, 0, "abab", canvas.surface(), everything);
    drawAsciiTextClipped(INT32_MAX - 3, 2, 3, 0, "abab", canvas.surface(), everything);
    drawAsciiTextWrapped(INT32_MAX - 1, INT32_MAX - 1, 3, 0, "ab ab ab", 4, canvas.surface(), everything, 0, 0, true);
    drawAsciiTextWrapped(INT32_MIN, INT32_MAX, 3, 0, "ab", INT32_MAX, canvas.surface(), everything, 0, 0, true);
    EXPECT_EQ(canvas.countNot(0), 0);
    EXPECT_TRUE(canvas.borderIntact());
}

TEST_F(AsciiFontTest, LineFeedStopsTheDrawnLine)
{
    test::TextCanvas canvas(20, 4);
    drawAsciiText(0, 2, 3, 0, "a\nb", canvas.surface(), canvas.all());
    EXPECT_EQ(canvas.row(0), "##..................");
}

TEST_F(AsciiFontTest, MissingFontShowsABoxAndDrawsNothing)
{
    platform::RecordingMessageBoxSink sink;
    platform::ScopedMessageBoxSink guard(sink);
    test::TextCanvas canvas(10, 4);
    drawAsciiText(0, 2, 4, 0, "ab", canvas.surface(), canvas.all());
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "Error");
    EXPECT_EQ(sink.boxes[0].text, "Missing Font!");
    EXPECT_EQ(canvas.countNot(0), 0);
    EXPECT_EQ(drawAsciiTextWrapped(0, 0, 4, 0, "ab", 10, canvas.surface(), canvas.all(), 0, 0, false), 0);
    EXPECT_EQ(sink.boxes.size(), 1u);
}

TEST_F(AsciiFontTest, CutLinesEndWithThreeDots)
{
    // 10 glyphs of 2 pixels in a 12-pixel clip: 3 letters, then 3 dots.
    test::TextCanvas canvas(20, 4);
    drawAsciiTextClipped(0, 2, 3, 0, "aaaaaaaaaa", canvas.surface(), TextClip { 0, 0, 12, 4 });
    EXPECT_EQ(canvas.row(0), "############........");
    test::TextCanvas wide(20, 4);
    drawWideTextAsciiFont(0, 2, 3, 0, u"abababababababababab", wide.surface(), TextClip { 0, 0, 12, 4 });
    EXPECT_EQ(wide.row(0), "############........");
    test::TextCanvas fits(20, 4);
    drawAsciiTextClipped(0, 2, 3, 0, "aaaa", fits.surface(), TextClip { 0, 0, 12, 4 });
    EXPECT_EQ(fits.row(0), "########............");
}

TEST_F(AsciiFontTest, HuesOutsideTheTableDrawUnhued)
{
    for (int32_t hue : { 3001, 32767, 65535, -5 }) {
        test::TextCanvas canvas(8, 8);
        drawAsciiGlyph(9, 0, 6, hue, 'A', canvas.surface(), canvas.all());
        EXPECT_EQ(canvas.at(0, 0), uint16_t((31 << 10) | (16 << 5) | 8)) << hue;
    }
    // Hues 1 to 3000 take the hue table's entry hue - 1, the last one too.
    for (int32_t hue : { 1, 5, 3000 }) {
        test::TextCanvas canvas(8, 8);
        drawAsciiGlyph(9, 0, 6, hue, 'A', canvas.surface(), canvas.all());
        EXPECT_EQ(canvas.at(0, 0), uint16_t(((hue & 0x1F) << 10) | (31 << 5) | 1)) << hue;
        EXPECT_EQ(canvas.at(0, 1), uint16_t(((hue & 0x1F) << 10) | (23 << 5) | 1)) << hue;
    }
}

TEST_F(AsciiFontTest, WrappedBlockHeightAndCentring)
{
    test::TextCanvas canvas(20, 12);
    EXPECT_EQ(drawAsciiTextWrapped(0, 0, 3, 0, "ab ab", 8, canvas.surface(), canvas.all(), 0, 0, true), 6);
    EXPECT_EQ(canvas.row(0), "..####..............");
    EXPECT_EQ(canvas.row(3), "..####..............");
    EXPECT_EQ(drawAsciiTextWrapped(0, 0, 3, 0, "ab ab", 8, canvas.surface(), canvas.all(), 0, 5, false), 10);
    EXPECT_EQ(drawAsciiTextWrapped(0, 0, 3, 0, "", 8, canvas.surface(), canvas.all(), 0, 5, false), 5);
    EXPECT_EQ(drawAsciiTextWrapped(0, 0, 3, 0, nullptr, 8, canvas.surface(), canvas.all(), 0, 5, false), 0);
}

// Golden pictures of Latin text in every drawing style of the byte fonts.
struct AsciiStyle {
    const char* name;
    int32_t font;
    int32_t hue;
    bool shaded;
    bool is565;
    uint64_t golden;
};

class AsciiGolden : public AsciiFontTest, public ::testing::WithParamInterface<AsciiStyle> { };

TEST_P(AsciiGolden, MatchesItsPicture)
{
    const AsciiStyle& style = GetParam();
    setAsciiShadedFonts(style.shaded);
    setTextPixelFormat565(style.is565);
    test::TextCanvas canvas(160, 24, 0x0421);
    drawAsciiTextWrapped(2, 2, style.font, style.hue, "The quick brown fox jumps over the lazy dog.", 150,
        canvas.surface(), canvas.all(), 2, 0, false);
    setTextPixelFormat565(false);
    EXPECT_TRUE(canvas.writePng(std::string("ascii_") + style.name + ".png"));
    EXPECT_TRUE(canvas.borderIntact());
    EXPECT_EQ(canvas.hash(), style.golden) << "0x" << std::hex << canvas.hash();
}

INSTANTIATE_TEST_SUITE_P(Styles, AsciiGolden,
    ::testing::Values(AsciiStyle { "Plain", 9, 0, false, false, 0x29dec080fd08d9b8ull },
        AsciiStyle { "Hued", 9, 40, false, false, 0xcb4aee2e1059fe88ull },
        AsciiStyle { "PartialHue", 1, 40, false, false, 0x4eee9865dcb05c62ull },
        AsciiStyle { "Shaded", 9, 0, true, false, 0xab2656e3d9e91615ull },
        AsciiStyle { "ShadedHued", 9, 40, true, false, 0x79b8c12e52ed8528ull },
        AsciiStyle { "Shaded565", 9, 0, true, true, 0xa4fda80ff0ced1f0ull }),
    [](const ::testing::TestParamInfo<AsciiStyle>& p) { return std::string(p.param.name); });

// A damaged "fonts.mul" is read as far as whole fonts go: the parse reports
// false and keeps the complete fonts before the damage.
struct BadFontFile {
    const char* name;
    size_t keep; // bytes of the good file to keep
    bool font1Loaded;
    bool font2Loaded;
};

class AsciiFontBadInput : public ::testing::TestWithParam<BadFontFile> { };

TEST_P(AsciiFontBadInput, KeepsWholeFontsOnly)
{
    AsciiFontFileWriter writer;
    writer.setSolidGlyph(1, 'a', 2, 3, 0, 0x7FFF).setSolidGlyph(2, 'b', 255, 255, 0, 0x7FFF);
    std::string image = writer.bytes();
    image.resize(std::min(image.size(), GetParam().keep));
    EXPECT_FALSE(loadFonts(image));
    EXPECT_EQ(isAsciiFontLoaded(1), GetParam().font1Loaded);
    EXPECT_EQ(isAsciiFontLoaded(2), GetParam().font2Loaded);
    freeAsciiFonts();
}

// Font 1 starts at byte 1 and takes 1 + 224 * 3 + 12 = 685 bytes.
INSTANTIATE_TEST_SUITE_P(Truncated, AsciiFontBadInput,
    ::testing::Values(BadFontFile { "Empty", 0, false, false }, BadFontFile { "FirstHeaderOnly", 1, false, false },
        BadFontFile { "InsideGlyphHeader", 4, false, false }, BadFontFile { "InsideGlyphPixels", 230, false, false },
        BadFontFile { "SecondFontHeaderOnly", 687, true, false }, BadFontFile { "InsideHugeGlyph", 5000, true, false },
        BadFontFile { "LastSlotMissing", 686 + 673 + 255 * 255 * 2 + 21, true, true }),
    [](const ::testing::TestParamInfo<BadFontFile>& p) { return std::string(p.param.name); });

TEST(PixelPrimitives, FillRectCoversWholePairs)
{
    test::TextCanvas canvas(8, 4);
    fillRect16(3, 1, 6, 2, 0x7FFF, canvas.surface());
    EXPECT_EQ(canvas.row(0), "........");
    EXPECT_EQ(canvas.row(1), "..####..");
    EXPECT_EQ(canvas.row(2), "..####..");
    EXPECT_EQ(canvas.row(3), "........");
    fillRect16(0, 3, 7, 2, 0x7FFF, canvas.surface());
    EXPECT_EQ(canvas.row(3), "........");
}

TEST(PixelPrimitives, LinesWalkTheLongerAxis)
{
    test::TextCanvas canvas(6, 3);
    drawLine16(0, 0, 4, 2, 0x7FFF, canvas.surface());
    EXPECT_EQ(canvas.row(0), "##....");
    EXPECT_EQ(canvas.row(1), "..##..");
    EXPECT_EQ(canvas.row(2), "....#.");
    test::TextCanvas steep(3, 5);
    drawLine16(2, 4, 0, 0, 0x7FFF, steep.surface());
    EXPECT_EQ(steep.row(0), "#..");
    EXPECT_EQ(steep.row(4), "..#");
}

TEST(PixelPrimitives, NothingOutsideThePage)
{
    test::TextCanvas canvas(6, 4);
    fillRect16(-5, -5, 20, 20, 0x7FFF, canvas.surface());
    drawLine16(-10, -3, 15, 9, 0x1234, canvas.surface());
    drawTranslucentLine16(-10, 2, 15, 2, canvas.surface());
    test::TextCanvas source(6, 4, 0x7C00);
    copyLine16(0, -5, 0, 20, canvas.surface(), source.surface());
    EXPECT_TRUE(canvas.borderIntact());
    EXPECT_EQ(canvas.at(0, 3), 0x7C00);
}

TEST(PixelPrimitives, TranslucentLineHalvesAndAddsGrey)
{
    test::TextCanvas canvas(4, 1, 0x7C00);
    drawTranslucentLine16(0, 0, 3, 0, canvas.surface());
    EXPECT_EQ(canvas.at(2, 0), uint16_t(0x3DEF + (0x3DEF & (0x7C00 >> 1))));
}

} // namespace
