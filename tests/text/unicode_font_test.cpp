#include "fixtures/font_writers.h"
#include "fixtures/hue_writer.h"
#include "gfx/hue_table.h"
#include "platform/message_box.h"
#include "text/unicode_font.h"
#include "text_canvas.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

using fixture::UnicodeFontWriter;

UnicodeFontWriter::Glyph block(int8_t width, int8_t height, int8_t yOffset)
{
    UnicodeFontWriter::Glyph glyph;
    glyph.width = width;
    glyph.height = height;
    glyph.yOffset = yOffset;
    glyph.rows.assign(size_t(height), std::string(size_t(width), '#'));
    return glyph;
}

// The test face (5 wide, advance 6) plus the ideograph U+4E00, the full stop
// U+3002 and the corner bracket U+300C, 12 wide (advance 13).
std::string testFontFile()
{
    UnicodeFontWriter writer;
    writer.addTestFace();
    writer.setGlyph(0x4E00, block(12, 2, 6)).setGlyph(0x3002, block(12, 2, 10)).setGlyph(0x300C, block(12, 12, 2));
    return writer.bytes();
}

const std::string& fontBytes()
{
    static const std::string bytes = testFontFile();
    return bytes;
}

class UnicodeFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string& bytes = fontBytes();
        ASSERT_TRUE(installUnicodeFont(0, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        installUnicodeFont(1, nullptr, 0);
        installUnicodeFont(2, nullptr, 0);
        selectUnicodeFont(0);
        pushUnicodeStyle(0);
        setSpaceWidth(8);
        setUnicodeTightFlag(false);
        setUnicodeColourCodes(false);
        setTextPixelFormat565(false);
    }
    void TearDown() override
    {
        popUnicodeStyle();
        setUnicodeTightFlag(false);
        setUnicodeColourCodes(false);
        unloadUnicodeFonts();
    }
};

std::string joinLines(const std::vector<UnicodeWrappedLine>& lines)
{
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            joined += '|';
        for (char16_t c : lines[i].text)
            joined += c < 0x80 ? char(c) : '*';
    }
    return joined;
}

struct BreakCase {
    const char* name;
    std::u16string text;
    int32_t width;
    std::string lines; // '|' between lines, '*' for a non-ASCII unit
};

class UnicodeBreak : public UnicodeFontTest, public ::testing::WithParamInterface<BreakCase> { };

TEST_P(UnicodeBreak, Lines)
{
    EXPECT_EQ(joinLines(wrapUnicodeLines(GetParam().text.c_str(), GetParam().width)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Table, UnicodeBreak,
    ::testing::Values(BreakCase { "Fits", u"ab cd", 100, "ab cd" },
        BreakCase { "AtBlank", u"ab cd", 20, "ab |cd" },
        BreakCase { "BlankThatOverflowsIsDropped", u"ab cd", 19, "ab|cd" },
        BreakCase { "LineFeedAtZero", u"\nab", 100, "|ab" },
        BreakCase { "CarriageReturnLineFeed", u"ab\r\ncd", 100, "ab||cd" },
        BreakCase { "FirstCharacterTooWide", u"abc", 3, "abc" },
        BreakCase { "NoCandidateKeepsAllThatFit", u"abcde", 20, "abc|de" },
        BreakCase { "BetweenIdeographs", u"\u4E00\u4E00\u4E00\u4E00", 30, "**|**" },
        BreakCase { "NeverBeforeFullStop", u"\u4E00\u4E00\u4E00\u3002", 40, "**|**" },
        BreakCase { "NeverAfterOpeningBracket", u"\u4E00\u4E00\u300C\u4E00\u4E00", 45, "**|***" },
        BreakCase { "LongLineCutAt199", std::u16string(250, u'a'), 100000,
            std::string(199, 'a') + "|" + std::string(51, 'a') }),
    [](const ::testing::TestParamInfo<BreakCase>& p) { return std::string(p.param.name); });

TEST_F(UnicodeFontTest, LineBreakIndex)
{
    EXPECT_EQ(findUnicodeLineBreak(u"ab cd", 100), -2);
    EXPECT_EQ(findUnicodeLineBreak(u"ab cd", 19), 1);
    EXPECT_EQ(findUnicodeLineBreak(u"ab cd", 20), 2);
    EXPECT_EQ(findUnicodeLineBreak(u"\nab", 100), -1);
    EXPECT_EQ(findUnicodeLineBreak(u"abc", 3), -2);
}

TEST(CanBreakBetween, Rule)
{
    EXPECT_TRUE(canBreakBetween(u' ', u'a'));
    EXPECT_FALSE(canBreakBetween(u'a', u'b'));
    EXPECT_TRUE(canBreakBetween(0x4E00, 0x4E01));
    EXPECT_TRUE(canBreakBetween(u'a', 0x4E00));
    EXPECT_FALSE(canBreakBetween(0x4E00, 0x3002));
    EXPECT_FALSE(canBreakBetween(0x300C, 0x4E00));
    EXPECT_FALSE(canBreakBetween(u'(', 0x4E00));
    EXPECT_FALSE(canBreakBetween(0x4E00, 0xFF09));
    EXPECT_TRUE(canBreakBetween(0, 0xAC00));
}

TEST_F(UnicodeFontTest, AdvancesAndMeasures)
{
    EXPECT_EQ(unicodeCharAdvance(u'a'), 6);
    EXPECT_EQ(unicodeCharAdvance(u' '), 8);
    // A character without a glyph counts 1 in the string measure but is
    // skipped where the text is drawn.
    EXPECT_EQ(measureUnicodeString(u"a\u0101b"), 13);
    int32_t width = 0, height = 0, zero = -1;
    measureUnicodeText(u"a\u0101b", width, height, zero);
    EXPECT_EQ(width, 12);
    EXPECT_EQ(height, 18);
    EXPECT_EQ(zero, 0);
    EXPECT_EQ(measureUnicodeChars(2, u"abc"), 12);
    EXPECT_EQ(fitUnicodeChars(u"abc", 12), 1);
    EXPECT_EQ(fitUnicodeChars(u"abc", 13), 2);
    setUnicodeTightFlag(true);
    EXPECT_EQ(unicodeCharAdvance(u'a'), 5);
    setUnicodeTightFlag(false);
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag);
    EXPECT_EQ(unicodeCharAdvance(u'a'), 8);
    EXPECT_EQ(unicodeCharAdvance(u' '), 8);
    measureUnicodeTextWrapped(u"ab cd ef", 20, width, height, zero);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 54);
}

TEST_F(UnicodeFontTest, CaretAndFit)
{
    int32_t x = 0, y = 0;
    unicodeCaretPosition(4, u"ab cd", 20, x, y);
    EXPECT_EQ(x, 6);
    EXPECT_EQ(y, 18);
    unicodeCaretPosition(99, u"ab cd", 20, x, y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 18);
    EXPECT_EQ(fitUnicodeTextBox(u"ab cd", 20, 6, 18), 4);
    EXPECT_EQ(fitUnicodeTextBox(u"ab cd", 20, 100, 0), 2);
}

TEST_F(UnicodeFontTest, StyleSelectsFontsAndFallsBackToFontZero)
{
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kSmall);
    EXPECT_EQ(getUnicodeFont(), 0); // font 2 is absent
    EXPECT_TRUE(isUnicodeUnderline() == false);
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kH1);
    EXPECT_TRUE(isUnicodeBold());
    EXPECT_TRUE(isUnicodeUnderline());
    EXPECT_FALSE(isUnicodeItalic());
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kH5 | UnicodeStyle::kCentred);
    EXPECT_TRUE(isUnicodeItalic());
    EXPECT_TRUE(isUnicodeAlignCentre());
    EXPECT_FALSE(isUnicodeAlignRight());
    selectUnicodeFont(2);
    EXPECT_EQ(getUnicodeFont(), 0);
}

TEST_F(UnicodeFontTest, UnreasonableSpaceWidthWarnsAndIsKept)
{
    platform::RecordingMessageBoxSink sink;
    platform::ScopedMessageBoxSink guard(sink);
    setSpaceWidth(0);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "");
    EXPECT_EQ(sink.boxes[0].text, "Unreasonable width of space character.");
    EXPECT_EQ(getSpaceWidth(), 0);
    setSpaceWidth(20);
    EXPECT_EQ(sink.boxes.size(), 1u);
}

// Colour in which each of the first `count` glyph cells of a line was drawn
// (the glyphs' left stems are always inked at column 0, rows 6..12).
std::vector<uint16_t> stemColours(test::TextCanvas& canvas, int32_t count)
{
    std::vector<uint16_t> colours;
    for (int32_t i = 0; i < count; ++i)
        colours.push_back(canvas.at(6 * i, 9));
    return colours;
}

TEST_F(UnicodeFontTest, ColourCodesRecolourUntilReset)
{
    setUnicodeColourCodes(true);
    test::TextCanvas canvas(60, 18);
    drawUnicodeTextLine(canvas.surface(), u"^Mabc^nd", 0, 0, 0x7FFF, canvas.all());
    EXPECT_EQ(stemColours(canvas, 5), (std::vector<uint16_t> { 0x7C00, 0x7C00, 0x7C00, 0x7FFF, 0 }));

    test::TextCanvas literal(60, 18);
    drawUnicodeTextLine(literal.surface(), u"^Xa", 0, 0, 0x7FFF, literal.all());
    EXPECT_EQ(stemColours(literal, 4), (std::vector<uint16_t> { 0x7FFF, 0x7FFF, 0x7FFF, 0 }));

    // While a code colour is active any '^' pair is consumed.
    test::TextCanvas consumed(60, 18);
    setTextPixelFormat565(true);
    drawUnicodeTextLine(consumed.surface(), u"^L^Xa", 0, 0, 0x7FFF, consumed.all());
    EXPECT_EQ(stemColours(consumed, 2), (std::vector<uint16_t> { 0xFFE0, 0 }));

    // Text in hue 54's colour 30 shows its carets.
    ASSERT_TRUE(hueTable().load(fixture::hueFile(HueTable::kEntryCount, [](int32_t index) {
        fixture::HueRamp ramp;
        ramp.colours[30] = index == 53 ? 0x1234 : 0x4321;
        return ramp;
    })));
    test::TextCanvas hued(60, 18);
    drawUnicodeTextLine(hued.surface(), u"^Ma", 0, 0, 0x1234, hued.all());
    EXPECT_EQ(stemColours(hued, 3), (std::vector<uint16_t> { 0x1234, 0x1234, 0x1234 }));
    hueTable() = HueTable();

    setUnicodeColourCodes(false);
    test::TextCanvas off(60, 18);
    drawUnicodeTextLine(off.surface(), u"^Ma", 0, 0, 0x7FFF, off.all());
    EXPECT_EQ(stemColours(off, 3), (std::vector<uint16_t> { 0x7FFF, 0x7FFF, 0x7FFF }));
}

TEST_F(UnicodeFontTest, SelectionColoursItsCharacters)
{
    test::TextCanvas canvas(60, 40);
    drawUnicodeTextWrappedSelected(canvas.surface(), 20, u"ab cd", 0, 0, 0x7FFF, canvas.all(), 0x001F, 1, 3);
    EXPECT_EQ(canvas.at(0, 9), 0x7FFF);
    EXPECT_EQ(canvas.at(6, 9), 0x001F);
    EXPECT_EQ(canvas.at(0, 18 + 9), 0x001F);
    EXPECT_EQ(canvas.at(6, 18 + 9), 0x7FFF);
}

// The underline row is clipped like glyph pixels: it used to be written
// without the test and could land outside the surface.
TEST_F(UnicodeFontTest, UnderlineStaysInsideTheClip)
{
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kUnderlineTag);
    test::TextCanvas canvas(40, 14);
    drawUnicodeTextLine(canvas.surface(), u"a b", 0, 0, 0x7FFF, TextClip { 0, 0, 40, 100 });
    drawUnicodeTextLine(canvas.surface(), u"a b", 30, 0, 0x7FFF, TextClip { 0, 0, 400, 400 });
    drawUnicodeTextLine(canvas.surface(), u"a b", 0, -20, 0x7FFF, canvas.all());
    EXPECT_TRUE(canvas.borderIntact());
    test::TextCanvas inside(40, 20);
    drawUnicodeTextLine(inside.surface(), u"a b", 0, 0, 0x7FFF, TextClip { 0, 0, 40, 14 });
    EXPECT_EQ(inside.row(14), std::string(40, '.'));
    drawUnicodeTextLine(inside.surface(), u"a b", 0, 0, 0x7FFF, inside.all());
    EXPECT_EQ(inside.row(14), std::string(20, '#') + std::string(20, '.'));
}

TEST_F(UnicodeFontTest, NothingOutsideTheClipChanges)
{
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag | UnicodeStyle::kUnderlineTag);
    test::TextCanvas canvas(50, 30);
    TextClip clip { 5, 4, 40, 20 };
    for (int32_t x : { -10, 0, 3, 30, 45 })
        for (int32_t y : { -10, 0, 10, 25 })
            drawUnicodeTextWrapped(canvas.surface(), 30, u"Ag yq \u4E00\u300C", x, y, 0x7FFF, clip, x == 3);
    EXPECT_TRUE(canvas.borderIntact());
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 50; ++x) {
            if (!clip.contains(x, y)) {
                ASSERT_EQ(canvas.at(x, y), 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(canvas.countNot(0), 0);
}

// Positions at the ends of 32 bits: glyph offsets, advances and line
// heights added to them must not wrap round into the clip.
TEST_F(UnicodeFontTest, PositionsAtTheEndsOfThirtyTwoBitsDrawNothing)
{
    popUnicodeStyle();
    pushUnicodeStyle(UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag | UnicodeStyle::kUnderlineTag);
    test::TextCanvas canvas(40, 20);
    const TextClip everything { INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX };
    drawUnicodeTextLine(canvas.surface(), u"ab ab", INT32_MAX - 3, INT32_MAX - 3, 0x7FFF, everything);
    drawUnicodeTextLine(canvas.surface(), u"ab", INT32_MIN, INT32_MIN, 0x7FFF, everything);
    drawUnicodeTextEllipsis(canvas.surface(), u"abcdefgh", INT32_MIN + 2, 0, 0x7FFF, TextClip { 0, 0, 40, 20 });
    drawUnicodeTextEllipsis(canvas.surface(), u"abcdefgh", INT32_MAX - 8, 0, 0x7FFF, everything);
    drawUnicodeTextWrapped(canvas.surface(), 12, u"ab ab ab ab", INT32_MAX - 1, INT32_MAX - 20, 0x7FFF, everything, true);
    drawUnicodeTextWrapped(canvas.surface(), INT32_MAX, u"ab", INT32_MIN, 0, 0x7FFF, everything, true);
    drawUnicodeTextWrappedSelected(
        canvas.surface(), 12, u"ab ab ab ab", 0, INT32_MAX - 20, 0x7FFF, everything, 0x1F, 0, 3);
    EXPECT_EQ(canvas.countNot(0), 0);
    EXPECT_TRUE(canvas.borderIntact());
}

TEST_F(UnicodeFontTest, EllipsisKeepsRoomForTheDots)
{
    // "abcd" is 24 pixels; with a 23-pixel clip "a" and "b" fit with room for
    // "..." (18 pixels) only while x + 5 + 18 <= 23.
    test::TextCanvas canvas(40, 18);
    drawUnicodeTextEllipsis(canvas.surface(), u"abcd", 0, 0, 0x7FFF, TextClip { 0, 0, 23, 18 });
    // 'a' at 0, then dots at 6, 12, 18: the fourth cell stays empty.
    EXPECT_NE(canvas.at(0, 9), 0);
    EXPECT_EQ(canvas.at(24, 9), 0);
    test::TextCanvas fits(40, 18);
    drawUnicodeTextEllipsis(fits.surface(), u"abcd", 0, 0, 0x7FFF, TextClip { 0, 0, 24, 18 });
    EXPECT_NE(fits.at(18, 9), 0);
}

// Glyph records that point outside the file or carry negative sizes are
// treated as absent instead of being read.
struct BadGlyph {
    const char* name;
    bool forceOffset;
    int32_t offset;
    std::string record; // placed last in the file when the offset is not forced
};

class UnicodeFontBadInput : public UnicodeFontTest, public ::testing::WithParamInterface<BadGlyph> { };

TEST_P(UnicodeFontBadInput, GlyphIsAbsent)
{
    constexpr char16_t kBad = 0xFFF0; // the highest code, so its record ends the file
    UnicodeFontWriter writer;
    writer.addTestFace();
    if (GetParam().forceOffset)
        writer.setOffset(kBad, GetParam().offset);
    else
        writer.setRawGlyph(kBad, GetParam().record);
    std::string bytes = writer.bytes();
    ASSERT_TRUE(installUnicodeFont(0, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    EXPECT_FALSE(hasUnicodeGlyph(kBad));
    EXPECT_TRUE(hasUnicodeGlyph(u'Y'));
    EXPECT_EQ(unicodeDrawnAdvance(kBad), 0);
    test::TextCanvas canvas(40, 18);
    const char16_t text[] = { kBad, u'Y', kBad, 0 };
    drawUnicodeTextLine(canvas.surface(), text, 0, 0, 0x7FFF, canvas.all());
    EXPECT_TRUE(canvas.borderIntact());
    EXPECT_NE(canvas.at(0, 9), 0);
}

INSTANTIATE_TEST_SUITE_P(Refusals, UnicodeFontBadInput,
    ::testing::Values(BadGlyph { "OffsetNegative", true, int32_t(0x80000000u), "" },
        BadGlyph { "OffsetInsideTheTable", true, 16, "" },
        BadGlyph { "OffsetPastTheEnd", true, 0x7FFFFFF0, "" },
        BadGlyph { "HeaderCutByTheEnd", false, 0, std::string("\0\0", 2) },
        BadGlyph { "NegativeWidth", false, 0, std::string("\0\0\xF8\x02\xFF\xFF", 6) },
        BadGlyph { "NegativeHeight", false, 0, std::string("\0\0\x08\x80\xFF", 5) },
        BadGlyph { "RowsPastTheEnd", false, 0, std::string("\0\0\x7F\x7F\xFF\xFF", 6) }),
    [](const ::testing::TestParamInfo<BadGlyph>& p) { return std::string(p.param.name); });

TEST_F(UnicodeFontTest, FileTooShortForItsTableIsRefused)
{
    std::string bytes(1000, '\0');
    EXPECT_FALSE(installUnicodeFont(1, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    EXPECT_FALSE(installUnicodeFont(3, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    selectUnicodeFont(1);
    EXPECT_EQ(getUnicodeFont(), 0);
}

// Golden pictures of Latin text in every Unicode style.
struct UnicodeStyleCase {
    const char* name;
    uint32_t style;
    bool tight;
    uint64_t golden;
};

class UnicodeGolden : public UnicodeFontTest, public ::testing::WithParamInterface<UnicodeStyleCase> { };

TEST_P(UnicodeGolden, MatchesItsPicture)
{
    popUnicodeStyle();
    pushUnicodeStyle(GetParam().style);
    setUnicodeTightFlag(GetParam().tight);
    setUnicodeColourCodes(true);
    test::TextCanvas canvas(200, 40, 0x0421);
    drawUnicodeTextWrapped(canvas.surface(), 190, u"The quick ^Mbrown^n fox jumps over the lazy dog.", 4, 2, 0x7FFF,
        canvas.all(), false);
    EXPECT_TRUE(canvas.writePng(std::string("unicode_") + GetParam().name + ".png"));
    EXPECT_TRUE(canvas.borderIntact());
    EXPECT_EQ(canvas.hash(), GetParam().golden) << "0x" << std::hex << canvas.hash();
}

INSTANTIATE_TEST_SUITE_P(Styles, UnicodeGolden,
    ::testing::Values(UnicodeStyleCase { "Plain", 0, false, 0x30698ae6b1666beeull },
        UnicodeStyleCase { "Bold", UnicodeStyle::kBoldTag, false, 0x87b65d586f2ff60eull },
        UnicodeStyleCase { "Italic", UnicodeStyle::kItalicTag, false, 0xad28df608b8d68b6ull },
        UnicodeStyleCase { "Underline", UnicodeStyle::kUnderlineTag, false, 0x59969a28993ac73dull },
        UnicodeStyleCase { "BoldItalic", UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag, false, 0x893102322ed8aefdull },
        UnicodeStyleCase { "Tight", 0, true, 0xc9e58a0a1f45efe0ull }),
    [](const ::testing::TestParamInfo<UnicodeStyleCase>& p) { return std::string(p.param.name); });

} // namespace
