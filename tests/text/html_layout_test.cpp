// Laying out and drawing HTML documents: line geometry checked pixel by
// pixel against text drawn by the plain line drawer at the expected places,
// link and character hit tests, measuring, and pictures kept as hashes.
#include "fixtures/font_writers.h"
#include "text/html_document.h"
#include "text/unicode_font.h"
#include "text_canvas.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr uint16_t kInk = 0x7FFF;

// The test face in all three fonts: printable ASCII, 5 pixels wide with an
// advance of 6; the blank advances 8.
class HtmlLayoutTest : public testing::Test {
protected:
    void SetUp() override
    {
        static const std::string face = fixture::UnicodeFontWriter().addTestFace().bytes();
        for (int32_t font = 0; font < kUnicodeFontCount; ++font)
            installUnicodeFont(font, reinterpret_cast<const uint8_t*>(face.data()), face.size());
        setSpaceWidth(8);
        setUnicodeTightFlag(false);
        setTextPixelFormat565(false);
        pageHistoryClear();
    }
    void TearDown() override
    {
        unloadUnicodeFonts();
        pageHistoryClear();
    }

    // Draws into a fresh canvas; returns the height.
    int32_t drawInto(test::TextCanvas& canvas, HtmlDocument& document, int32_t scrollY = 0, int32_t caret = -1,
        int32_t selectionEnd = -1)
    {
        TextClip clip = canvas.all();
        return document.draw(&canvas.at(0, 0), canvas.surface().pitch, canvas.surface().height, &clip, scrollY, caret,
            selectionEnd, false);
    }
};

// The canvas's pitch is wider than its width: the document is drawn into
// the pitch-wide surface and clipped to the canvas's own part.
struct Line {
    std::u16string text;
    int32_t x;
    int32_t y;
    uint16_t colour = kInk;
    uint32_t style = 0;
};

void expectPicture(test::TextCanvas& canvas, const std::vector<Line>& lines, const char* what)
{
    test::TextCanvas reference(canvas.surface().width, canvas.surface().height);
    for (const Line& line : lines) {
        pushUnicodeStyle(line.style);
        drawUnicodeTextLine(reference.surface(), line.text.c_str(), line.x, line.y, line.colour, reference.all());
        popUnicodeStyle();
    }
    int32_t differences = 0;
    for (int32_t y = 0; y < canvas.surface().height; ++y)
        for (int32_t x = 0; x < canvas.surface().width; ++x)
            differences += canvas.at(x, y) != reference.at(x, y);
    EXPECT_EQ(differences, 0) << what;
    EXPECT_TRUE(canvas.borderIntact()) << what;
}

struct GeometryCase {
    const char* name;
    const char16_t* markup;
    uint32_t flags;
    int32_t width;
    std::vector<Line> lines;
    int32_t height;
};

class HtmlGeometry : public HtmlLayoutTest, public testing::WithParamInterface<GeometryCase> { };

TEST_P(HtmlGeometry, DrawsWhereTheLinesBelong)
{
    const GeometryCase& c = GetParam();
    HtmlDocument document(c.markup, c.flags, kInk);
    test::TextCanvas canvas(c.width, 60);
    EXPECT_EQ(drawInto(canvas, document), c.height);
    expectPicture(canvas, c.lines, c.name);
}

const GeometryCase kGeometryCases[] = {
    // "ab" (12) + blank (8) + one letter (6) = 26: "cd" goes to the next line.
    { "WrapsAtTheBlank", u"ab cd", 0x20, 26, { { u"ab", 0, 0 }, { u"cd", 0, 18 } }, 36 },
    { "FitsOnOneLine", u"ab cd", 0x20, 33, { { u"ab cd", 0, 0 } }, 18 },
    { "NoWrapFlag", u"ab cd", 0x28, 26, { { u"ab cd", 0, 0 } }, 18 },
    { "LineFeedBreaks", u"ab\ncd", 0x20, 100, { { u"ab", 0, 0 }, { u"cd", 0, 18 } }, 36 },
    { "SingleLineFlagIgnoresLineFeeds", u"ab\ncd", 0x21, 100, { { u"abcd", 0, 0 } }, 18 },
    // A long word is never broken while drawing: it runs past the edge.
    { "LongWordStaysWhole", u"abcdefghij", 0x20, 30, { { u"abcdefghij", 0, 0 } }, 18 },
    // Centred: base + (right - base - indent - width - 1) / 2 = (100 - 6 - 1) / 2.
    { "CentredLine", u"<CENTER>x</CENTER>", 0, 100, { { u"x", 46, 0 } }, 36 },
    { "RightAligned", u"<P ALIGN=RIGHT>ab</P>", 0, 100, { { u"ab", 87, 0 } }, 36 },
    { "QuoteIndent", u"<BQ>q</BQ>", 0, 100, { { u"q", 20, 0, 0x1E0 } }, 36 },
    { "Margins", u"<BODY LEFTMARGIN=5 TOPMARGIN=3 BOTTOMMARGIN=4>ab", 0, 100, { { u"ab", 5, 3 } }, 25 },
    { "RightMarginWraps", u"<BODY RIGHTMARGIN=20>ab cd", 0, 46, { { u"ab", 0, 0 }, { u"cd", 0, 18 } }, 36 },
    // Flag 0x10: where three more characters would reach the edge, three
    // dots stand for the rest.
    { "EllipsisCut", u"abcdefghij", 0x30, 40, { { u"abcd...", 0, 0 } }, 18 },
    { "EllipsisNotNeeded", u"abc", 0x30, 40, { { u"abc", 0, 0 } }, 18 },
    { "BreakTagContinues", u"a<BR>b c", 0, 100, { { u"a", 0, 0 }, { u"b c", 0, 18 } }, 36 },
};

INSTANTIATE_TEST_SUITE_P(Layout, HtmlGeometry, testing::ValuesIn(kGeometryCases),
    [](const testing::TestParamInfo<GeometryCase>& test) { return std::string(test.param.name); });

TEST_F(HtmlLayoutTest, ColoursOfRunsAndLinks)
{
    HtmlDocument document(u"<BASEFONT COLOR=#FF0000>r<A HREF=\"http://x/\">l</A>", 0, kInk);
    test::TextCanvas canvas(100, 20);
    drawInto(canvas, document);
    expectPicture(canvas, { { u"r", 0, 0, 0x7C00 }, { u"l", 6, 0, uint16_t(document.linkColour), UnicodeStyle::kLink } }, "colours");
    // The link's underline: row 14 under its advance.
    EXPECT_EQ(canvas.at(6, 14), document.linkColour);
    EXPECT_EQ(canvas.at(11, 14), document.linkColour);
    EXPECT_EQ(canvas.at(12, 14), 0);
}

TEST_F(HtmlLayoutTest, AScrolledViewShowsTheLaterLines)
{
    HtmlDocument document(u"one\ntwo\nsix", 0x20, kInk);
    test::TextCanvas canvas(60, 30);
    EXPECT_EQ(drawInto(canvas, document, 18), 54);
    expectPicture(canvas, { { u"two", 0, 0 }, { u"six", 0, 18 } }, "scrolled");
}

TEST_F(HtmlLayoutTest, SelectionAndCaretInvertTheirCells)
{
    HtmlDocument document(u"abc", 0x20, kInk);
    test::TextCanvas canvas(60, 20);
    // Characters 2..3 (b and c) selected, the caret before b.
    drawInto(canvas, document, 0, 1, 3);
    test::TextCanvas reference(60, 20);
    drawUnicodeTextLine(reference.surface(), u"abc", 0, 0, kInk, reference.all());
    for (int32_t y = 0; y < 18; ++y) {
        for (int32_t x = 6; x < 18; ++x) {
            uint16_t inverted = uint16_t(~reference.at(x, y) & 0x7FFF);
            reference.at(x, y) = inverted == 0 ? 1 : inverted;
        }
        // The caret is a plain inversion over the selection at x 6.
        reference.at(6, y) = uint16_t(~reference.at(6, y) & 0x7FFF);
    }
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 60; ++x)
            ASSERT_EQ(canvas.at(x, y), reference.at(x, y)) << x << "," << y;
}

TEST_F(HtmlLayoutTest, ShadowAndOutlineMarkTheirNeighbours)
{
    HtmlDocument shadow(u"|", 0x4020, kInk);
    test::TextCanvas one(20, 20);
    drawInto(one, shadow);
    HtmlDocument outline(u"|", 0x8020, kInk);
    test::TextCanvas two(20, 20);
    drawInto(two, outline);
    int32_t shadowOnes = 0;
    int32_t outlineOnes = 0;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            shadowOnes += one.at(x, y) == 1;
            outlineOnes += two.at(x, y) == 1;
            if (one.at(x, y) == kInk) {
                EXPECT_EQ(two.at(x, y), kInk) << "ink is the same";
            }
        }
    }
    EXPECT_GT(shadowOnes, 0);
    EXPECT_GT(outlineOnes, shadowOnes);
}

TEST_F(HtmlLayoutTest, WithoutFontsNothingIsDrawnOrMeasured)
{
    unloadUnicodeFonts();
    installUnicodeFont(0, nullptr, 0);
    HtmlDocument document(u"text", 0, kInk);
    test::TextCanvas canvas(40, 20);
    EXPECT_EQ(drawInto(canvas, document), 0);
    int32_t width = -1;
    int32_t height = -1;
    document.measure(100, width, height, 0, 0, false);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

// The picture goldens: hashes of our own drawing, kept so that a change shows.
struct GoldenCase {
    const char* name;
    const char16_t* markup;
    int32_t width;
    int32_t height;
    int32_t scrollY;
    uint64_t hash;
};

class HtmlGoldens : public HtmlLayoutTest, public testing::WithParamInterface<GoldenCase> { };

TEST_P(HtmlGoldens, MatchTheKeptPicture)
{
    const GoldenCase& c = GetParam();
    HtmlDocument document(c.markup, 0, kInk);
    test::TextCanvas canvas(c.width, c.height);
    drawInto(canvas, document, c.scrollY);
    canvas.writePng(std::string("html_") + c.name + ".png");
    EXPECT_EQ(canvas.hash(), c.hash) << std::hex << canvas.hash();
}

const GoldenCase kGoldenCases[] = {
    { "Wrapping", u"<B>Bold words</B> and <I>italic ones</I> wrap <U>under</U> the <BIG>big</BIG> and <SMALL>small</SMALL>.",
        90, 90, 0, 513113235525341681ull },
    { "Colours", u"<BODY TEXT=#FFFF00><BASEFONT COLOR=RED>red <BASEFONT COLOR=#00FF00>green</BASEFONT> <BQ>quote</BQ>",
        90, 60, 0, 8961165872401529417ull },
    { "Links", u"<A HREF=\"http://a/\">web</A> <A INT HREF=\"mail\">mail</A> <A HREF=\"#x\">jump</A><BR><A NAME=\"x\">x</A>",
        90, 60, 0, 13894372873325744435ull },
    { "Scrolled", u"<CENTER>one two three four five six seven eight nine ten</CENTER>", 60, 40, 20, 3549212147671013071ull },
};

INSTANTIATE_TEST_SUITE_P(Pictures, HtmlGoldens, testing::ValuesIn(kGoldenCases),
    [](const testing::TestParamInfo<GoldenCase>& test) { return std::string(test.param.name); });

class RecordingHelp final : public HtmlHelpLinks {
public:
    void openHelpTopic(int32_t topic, bool force) override { opened.push_back({ topic, force }); }
    bool passToContextHelp(std::u16string_view href) override
    {
        passed.emplace_back(href);
        return true;
    }
    std::vector<std::pair<int32_t, bool>> opened;
    std::vector<std::u16string> passed;
};

TEST_F(HtmlLayoutTest, LinkHitsGiveTheirHrefAndKind)
{
    HtmlDocument document(u"<A HREF=\"http://a.net/\">web</A> <A INT HREF=\"msg\">mail</A>", 0, kInk);
    test::TextCanvas canvas(200, 20);
    drawInto(canvas, document);
    std::u16string href;
    // "web" covers x 0..17, the blank 18..25, "mail" 26..49.
    EXPECT_EQ(document.hitTestLink(0, 0, href), 0);
    EXPECT_EQ(href, u"http://a.net/");
    EXPECT_EQ(document.hitTestLink(17, 17, href), 0);
    EXPECT_EQ(document.hitTestLink(18, 5, href), -1);
    EXPECT_TRUE(href.empty());
    EXPECT_EQ(document.hitTestLink(30, 5, href), 1);
    EXPECT_EQ(href, u"msg");
    EXPECT_EQ(document.hitTestLink(30, 18, href), -1) << "below the line";
    EXPECT_TRUE(document.links()[0].visited);
}

TEST_F(HtmlLayoutTest, AFollowedLinkShowsVisitedInTheNextDocument)
{
    HtmlDocument first(u"<A HREF=\"http://a/\">w</A>", 0, kInk);
    test::TextCanvas canvas(50, 20);
    drawInto(canvas, first);
    EXPECT_EQ(canvas.at(0, 14), first.linkColour);
    std::u16string href;
    first.hitTestLink(1, 1, href);
    HtmlDocument second(u"<A HREF=\"HTTP://A/\">w</A>", 0, kInk);
    test::TextCanvas again(50, 20);
    drawInto(again, second);
    EXPECT_EQ(again.at(0, 14), second.visitedLinkColour);
}

TEST_F(HtmlLayoutTest, AnAnchorLinkGivesItsTargetsY)
{
    HtmlDocument document(u"<A HREF=\"#End\">go</A><BR><BR><A NAME=\"end\">x</A>", 0, kInk);
    test::TextCanvas canvas(100, 60);
    drawInto(canvas, document, 4);
    std::u16string href = u"x";
    EXPECT_EQ(document.hitTestLink(1, 1, href), 36) << "document y: line top 32 plus the scroll of 4";
    EXPECT_TRUE(href.empty());
    HtmlDocument missing(u"<A HREF=\"#nowhere\">go</A>", 0, kInk);
    drawInto(canvas, missing);
    EXPECT_EQ(missing.hitTestLink(1, 1, href), -1);
}

TEST_F(HtmlLayoutTest, HelpLinksGoToTheHelpSystem)
{
    RecordingHelp help;
    ScopedService<HtmlHelpLinks> scoped(help);
    HtmlDocument document(
        u"<A HREF=\"?Topic12\">a</A><A HREF=\"?ForceTopic3\">b</A><A HREF=\"?Index\">c</A><A HREF=\"?TopicX\">d</A>", 0,
        kInk);
    test::TextCanvas canvas(100, 20);
    drawInto(canvas, document);
    std::u16string href;
    for (int32_t x : { 1, 7, 13, 19 })
        EXPECT_EQ(document.hitTestLink(x, 1, href), -1);
    ASSERT_EQ(help.opened.size(), 2u);
    EXPECT_EQ(help.opened[0], std::make_pair(12, false));
    EXPECT_EQ(help.opened[1], std::make_pair(3, true));
    EXPECT_EQ(help.passed, std::vector<std::u16string> { u"?Index" });
    EXPECT_EQ(pageHistory().count, 0) << "help links are not history";
}

TEST_F(HtmlLayoutTest, The501stHistoryEntryOverwritesTheFirst)
{
    for (int i = 0; i <= kHtmlPageHistorySize; ++i) {
        std::string name = "h" + std::to_string(i);
        pageHistoryAdd(std::u16string(name.begin(), name.end()));
    }
    EXPECT_EQ(pageHistory().entries[0], u"h500");
    EXPECT_FALSE(pageHistoryContains(u"h0"));
    EXPECT_TRUE(pageHistoryContains(u"H1"));
    EXPECT_EQ(pageHistory().back, kHtmlPageHistorySize);
}

TEST_F(HtmlLayoutTest, ALinkKeepsAtMostFiftyRectangles)
{
    std::u16string words;
    for (int i = 0; i < 60; ++i)
        words += u"ab ";
    HtmlDocument document(u"<A HREF=\"u\">" + words + u"</A>", 0, kInk);
    std::vector<uint16_t> pixels(30 * 2000);
    EXPECT_EQ(document.draw(pixels.data(), 30, 2000, nullptr, 0, -1, -1, false), 60 * 18);
    EXPECT_EQ(document.links()[0].rects.size(), size_t(kHtmlMaxHitRects));
    std::u16string href;
    EXPECT_EQ(document.hitTestLink(1, 49 * 18 + 1, href), 0);
    EXPECT_EQ(document.hitTestLink(1, 50 * 18 + 1, href), -1) << "the 51st line is not clickable";
}

TEST_F(HtmlLayoutTest, CharacterIndexAndPositionAgree)
{
    std::mt19937 random(17);
    const char16_t pieces[] = u"ab cd\nefg  hi jklmnop q\n\nrs";
    for (int round = 0; round < 40; ++round) {
        std::u16string text;
        for (int i = 0; i < 60; ++i)
            text += pieces[random() % (sizeof pieces / sizeof pieces[0] - 1)];
        HtmlDocument document(u"<BODY LEFTMARGIN=3 TOPMARGIN=2>" + text, 0, kInk);
        const TextClip clip { 10, 5, 10 + 50 + int32_t(random() % 40), 400 };
        const int32_t scroll = int32_t(random() % 20);
        const int32_t length = int32_t(document.firstRunText().size());
        for (int32_t i = 0; i <= length; ++i) {
            int32_t x = 0;
            int32_t y = 0;
            ASSERT_TRUE(document.charPosition(i, x, y, &clip, scroll));
            ASSERT_EQ(document.charIndexAt(x, y, &clip, scroll), i) << "round " << round << " index " << i;
        }
    }
}

TEST_F(HtmlLayoutTest, CharacterHitEdges)
{
    HtmlDocument document(u"ab cd", 0x20, kInk);
    const TextClip clip { 0, 0, 100, 100 };
    int32_t x = -1;
    int32_t y = -1;
    ASSERT_TRUE(document.charPosition(0, x, y, &clip, 0));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(document.charIndexAt(50, 60, &clip, 0), 5) << "below the text: its length";
    EXPECT_EQ(document.charIndexAt(70, 5, &clip, 0), 5) << "past the line's end";
    EXPECT_EQ(document.charIndexAt(5, -1, &clip, 0), -1) << "above the text area";
    EXPECT_FALSE(document.charPosition(-1, x, y, &clip, 0));
    EXPECT_FALSE(document.charPosition(0, x, y, nullptr, 0));
    HtmlDocument refused(u"ab", 0x22, kInk);
    EXPECT_EQ(refused.charIndexAt(1, 1, &clip, 0), -1);
    EXPECT_FALSE(refused.charPosition(0, x, y, &clip, 0));
}

TEST_F(HtmlLayoutTest, MeasuringAFirstWordTooWideGivesOneLineMore)
{
    HtmlDocument document(u"Supercalifragilistic", 0x20, kInk);
    int32_t width = 0;
    int32_t height = 0;
    document.measure(60, width, height, 0, 0, false);
    EXPECT_EQ(height, 36);
    test::TextCanvas canvas(60, 40);
    EXPECT_EQ(drawInto(canvas, document), 18);
}

TEST_F(HtmlLayoutTest, MeasureGeometry)
{
    int32_t width = 0;
    int32_t height = 0;
    HtmlDocument wrapped(u"ab cd", 0x20, kInk);
    wrapped.measure(26, width, height, 0, 0, false);
    EXPECT_EQ(height, 36);
    wrapped.measure(100, width, height, 0, 0, false);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 18);
    HtmlDocument trailing(u"ab\n", 0x20, kInk);
    trailing.measure(100, width, height, 0, 0, false);
    EXPECT_EQ(height, 18) << "a line feed at the very end opens no line";
    HtmlDocument single(u"ab\ncd", 0x21, kInk);
    single.measure(100, width, height, 0, 0, false);
    EXPECT_EQ(height, 18);
    EXPECT_EQ(width, 24);
    HtmlDocument margins(u"<BODY LEFTMARGIN=4 TOPMARGIN=2 BOTTOMMARGIN=3>ab", 0, kInk);
    margins.measure(100, width, height, 0, 0, false);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 23);
    HtmlDocument password(u"a b", 0x20, kInk);
    password.measure(100, width, height, 0, 1, true);
    EXPECT_EQ(width, 12) << "the first character skipped, the others measured as '*'";
}

} // namespace
