// The markup dialect: from markup to runs and links, the head, colours, the
// limits on runs, links and nesting, and markup that is broken on purpose.
#include "fixtures/font_writers.h"
#include "text/html_document.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A run as "text|colour|style|link|indent", with a line feed shown as '/',
// and the runs joined by " ; ". Empty runs count as runs and show as "".
std::string describe(const HtmlDocument& document)
{
    std::string out;
    for (const HtmlRun& run : document.runs()) {
        if (!out.empty())
            out += " ; ";
        std::string text;
        for (char16_t c : run.text)
            text += c == u'\n' ? '/' : char(c);
        char values[64];
        std::snprintf(values, sizeof values, "|%d|%x|%d|%d", run.colour, run.style, run.link, run.indent);
        out += "\"" + text + "\"" + values;
    }
    return out;
}

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

struct MarkupCase {
    const char* name;
    const char* markup;
    uint32_t flags;
    const char* runs;
};

class MarkupToRuns : public testing::TestWithParam<MarkupCase> { };

TEST_P(MarkupToRuns, GivesTheRuns)
{
    const MarkupCase& c = GetParam();
    HtmlDocument document(wide(c.markup), c.flags, 0x7FFF);
    EXPECT_EQ(describe(document), c.runs);
}

// Every tag flushes the text before it, so most documents start with an
// empty run; a block's closing tag ends its text with a line feed.
const MarkupCase kMarkupCases[] = {
    { "PlainText", "hello", 0, "\"hello\"|-1|0|-1|0" },
    { "ParagraphRightThenOuterStyle", "<P ALIGN=RIGHT>x</P>y", 0,
        "\"\"|-1|0|-1|0 ; \"/x/\"|-1|4000|-1|0 ; \"y\"|-1|0|-1|0" },
    { "ParagraphOtherAlignIsLeft", "<CENTER><P ALIGN=JUSTIFY>x</P></CENTER>", 0,
        "\"\"|-1|0|-1|0 ; \"/\"|-1|8000|-1|0 ; \"/x/\"|-1|0|-1|0 ; \"/\"|-1|8000|-1|0 ; \"\"|-1|0|-1|0" },
    { "DivCentred", "<DIV ALIGN=\"CENTER\">x</DIV>", 0, "\"\"|-1|0|-1|0 ; \"/x/\"|-1|8000|-1|0 ; \"\"|-1|0|-1|0" },
    { "QuoteColourAndIndent", "<BQ>q</BQ>", 0, "\"\"|-1|0|-1|0 ; \"/q/\"|480|0|-1|20 ; \"\"|-1|0|-1|0" },
    { "BreakInTheSameElement", "a<BR>b", 0, "\"a\"|-1|0|-1|0 ; \"/b\"|-1|0|-1|0" },
    { "NestedStyles", "<B>b<I>i</I></B>", 0,
        "\"\"|-1|0|-1|0 ; \"b\"|-1|10|-1|0 ; \"i\"|-1|18|-1|0 ; \"\"|-1|10|-1|0 ; \"\"|-1|0|-1|0" },
    { "StrongReplacesEmphasis", "<EM><STRONG>s</STRONG></EM>", 0,
        "\"\"|-1|0|-1|0 ; \"\"|-1|40|-1|0 ; \"s\"|-1|80|-1|0 ; \"\"|-1|40|-1|0 ; \"\"|-1|0|-1|0" },
    { "HeadingsReplaceEachOther", "<H1><H3>h</H3></H1>", 0,
        "\"\"|-1|0|-1|0 ; \"\"|-1|100|-1|0 ; \"h\"|-1|400|-1|0 ; \"\"|-1|100|-1|0 ; \"\"|-1|0|-1|0" },
    { "SmallAndBigExclude", "<BIG><SMALL>s</SMALL></BIG>", 0,
        "\"\"|-1|0|-1|0 ; \"\"|-1|4|-1|0 ; \"s\"|-1|2|-1|0 ; \"\"|-1|4|-1|0 ; \"\"|-1|0|-1|0" },
    { "LowerCaseTags", "<b>x</b>", 0, "\"\"|-1|0|-1|0 ; \"x\"|-1|10|-1|0 ; \"\"|-1|0|-1|0" },
    // BASEFONT takes the place of the element it is in: its closing tag ends
    // both, and the text after it is the enclosing element's (here the top
    // level, where the stray closing B then ends the document).
    { "BaseFontColourScope", "a<B>b<BASEFONT COLOR=#FF0000>c</BASEFONT>d</B>e", 0,
        "\"a\"|-1|0|-1|0 ; \"b\"|-1|10|-1|0 ; \"c\"|31744|10|-1|0 ; \"d\"|-1|0|-1|0" },
    { "BaseFontSizes", "<BASEFONT SIZE=7>a<BASEFONT SIZE 2>b<BASEFONT SIZE=4>c", 0,
        "\"\"|-1|0|-1|0 ; \"a\"|-1|4|-1|0 ; \"b\"|-1|2|-1|0 ; \"c\"|-1|0|-1|0" },
    { "BaseFontColourByName", "<BASEFONT COLOR=\"navy\">n", 0, "\"\"|-1|0|-1|0 ; \"n\"|15|0|-1|0" },
    { "BaseFontColourTooLargeIgnored", "<BASEFONT COLOR=99999>n", 0, "\"\"|-1|0|-1|0 ; \"n\"|-1|0|-1|0" },
    { "LinkWithHref", "<A HREF=\"#n\">go</A>", 0, "\"\"|-1|0|-1|0 ; \"go\"|-1|10000|0|0 ; \"\"|-1|0|-1|0" },
    { "AnchorWithNameOnly", "<A NAME=\"n\">here</A>", 0, "\"\"|-1|0|-1|0 ; \"here\"|-1|0|0|0 ; \"\"|-1|0|-1|0" },
    { "NoLinkInsideALink", "<A HREF=\"a\">x<A HREF=\"b\">y</A>z</A>", 0,
        "\"\"|-1|0|-1|0 ; \"x\"|-1|10000|0|0 ; \"y\"|-1|10000|0|0 ; \"z\"|-1|0|-1|0" },
    { "LinksOffWithFlag40", "<A HREF=\"a\">x</A>", 0x40, "\"\"|-1|0|-1|0 ; \"x\"|-1|0|-1|0" },
    // A closing tag that ends no element ends the document at the top level.
    { "StrayClosingTagEndsTheDocument", "x</FONT>y", 0, "\"x\"|-1|0|-1|0" },
    { "ClosingTagsOfOtherElementsPassed", "<I>a</FONT>b</I>c", 0,
        "\"\"|-1|0|-1|0 ; \"a\"|-1|8|-1|0 ; \"b\"|-1|8|-1|0 ; \"c\"|-1|0|-1|0" },
    // Names are compared as beginnings: a closing BR ends a B element.
    { "ClosingBrEndsBold", "<B>x</BR>y", 0, "\"\"|-1|0|-1|0 ; \"x\"|-1|10|-1|0 ; \"y\"|-1|0|-1|0" },
    { "UnknownTagsPassedOver", "<XYZ>x<HR foo=\"<\">y", 0, "\"\"|-1|0|-1|0 ; \"x\"|-1|0|-1|0 ; \"y\"|-1|0|-1|0" },
    { "BackslashKeepsTheNextCharacter", "a\\<b", 0, "\"a\\<b\"|-1|0|-1|0" },
    // The dialect has no character entities: they are text like any other.
    { "EntitiesStayText", "&amp;&#65;&#99999999999999;&#x41;", 0, "\"&amp;&#65;&#99999999999999;&#x41;\"|-1|0|-1|0" },
    { "TagWithoutItsEndEndsTheParse", "ab<B c", 0, "\"ab\"|-1|0|-1|0" },
    { "PlainFlagKeepsTags", "<B>x</B>", 0x20, "\"<B>x</B>\"|-1|0|-1|0" },
    { "BoldFlagMarksEveryRun", "x<I>y", 0x800, "\"x\"|-1|10|-1|0 ; \"y\"|-1|18|-1|0 ; \"\"|-1|10|-1|0" },
    { "ItalicFlagUnlessBold", "x", 0x1000, "\"x\"|-1|8|-1|0" },
    { "EmptyText", "", 0, "\"\"|-1|0|-1|0" },
};

INSTANTIATE_TEST_SUITE_P(Markup, MarkupToRuns, testing::ValuesIn(kMarkupCases),
    [](const testing::TestParamInfo<MarkupCase>& test) { return std::string(test.param.name); });

TEST(HtmlLinks, HrefNameAndMessengerFlagAreKept)
{
    HtmlDocument document(u"<A INT NAME=\"top\" HREF=\"a\\\"b\">x</A><A HREF=\"http://x.net/\">y</A>", 0, 0);
    ASSERT_EQ(document.linkCount(), 2);
    EXPECT_EQ(document.links()[0].name, u"top");
    EXPECT_EQ(document.links()[0].href, u"a\"b");
    EXPECT_TRUE(document.links()[0].internal);
    EXPECT_EQ(document.links()[1].href, u"http://x.net/");
    EXPECT_FALSE(document.links()[1].internal);
}

TEST(HtmlLinks, AttributeValuesAreCutAt255)
{
    std::u16string href(1000, u'h');
    HtmlDocument document(u"<A HREF=\"" + href + u"\">x</A>", 0, 0);
    ASSERT_EQ(document.linkCount(), 1);
    EXPECT_EQ(document.links()[0].href.size(), 255u);
}

TEST(HtmlLimits, The2001stRunIsDropped)
{
    std::u16string markup;
    for (int i = 0; i < 2100; ++i)
        markup += u"r" + wide(std::to_string(i)) + u"<X>";
    HtmlDocument document(markup, 0, 0);
    ASSERT_EQ(document.runCount(), kHtmlMaxRuns);
    EXPECT_EQ(document.runs().back().text, u"r1999");
}

TEST(HtmlLimits, The501stLinkIsOrdinaryText)
{
    std::u16string markup;
    for (int i = 0; i < 501; ++i)
        markup += u"<A HREF=\"u\">l" + wide(std::to_string(i)) + u"</A>";
    HtmlDocument document(markup, 0, 0);
    EXPECT_EQ(document.linkCount(), kHtmlMaxLinks);
    const HtmlRun* last = nullptr;
    for (const HtmlRun& run : document.runs()) {
        if (run.text == u"l500")
            last = &run;
    }
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->link, -1);
    EXPECT_EQ(last->style & UnicodeStyle::kLink, 0u);
}

// Opening tags nest at most kHtmlMaxNesting deep; deeper ones are passed
// over and the text keeps the deepest style reached.
TEST(HtmlLimits, NestingIsCappedAndDeeperTagsArePassedOver)
{
    std::u16string markup;
    for (int i = 0; i < kHtmlMaxNesting - 1; ++i)
        markup += u"<B>";
    markup += u"<I><U>x";
    HtmlDocument document(markup, 0, 0);
    const HtmlRun* text = nullptr;
    for (const HtmlRun& run : document.runs()) {
        if (run.text == u"x")
            text = &run;
    }
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->style, uint32_t(UnicodeStyle::kBoldTag | UnicodeStyle::kItalicTag)) << "the U tag is one too deep";
}

struct HostileCase {
    const char* name;
    std::u16string markup;
};

class HostileMarkup : public testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override
    {
        static const std::string face = fixture::UnicodeFontWriter().addTestFace().bytes();
        for (int32_t font = 0; font < kUnicodeFontCount; ++font)
            installUnicodeFont(font, reinterpret_cast<const uint8_t*>(face.data()), face.size());
    }
    void TearDown() override { unloadUnicodeFonts(); }
};

// Server text that is deep, long, unbalanced or unknown parses, keeps within
// the limits and renders what it can (a parse that never ends is the
// suite's time-out; its speed is the layout benchmark's).
TEST_P(HostileMarkup, ParsesWithinTheLimits)
{
    HtmlDocument document(GetParam().markup, 0, 0x7FFF);
    EXPECT_LE(document.runCount(), kHtmlMaxRuns);
    EXPECT_LE(document.linkCount(), kHtmlMaxLinks);
    std::vector<uint16_t> pixels(200 * 100);
    document.draw(pixels.data(), 200, 100, nullptr, 0, -1, -1, true);
    int32_t width = 0;
    int32_t height = 0;
    document.measure(200, width, height, 0, 0, false);
}

std::u16string repeated(std::u16string_view piece, size_t times)
{
    std::u16string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

const HostileCase kHostileCases[] = {
    { "TenThousandLevels", repeated(u"<B>", 10000) + u"deep" },
    { "HundredThousandBold", repeated(u"<B>", 100000) },
    { "OneMegabyteOfText", repeated(u"word ", 200000) },
    { "UnknownTags", repeated(u"<blink>x</blink>", 60000) },
    { "Unbalanced", repeated(u"</B><I></P><DIV>a", 30000) },
    { "BaseFontChain", repeated(u"<BASEFONT COLOR=#FF0000>r", 50000) },
    { "HugeTag", u"<BASEFONT " + repeated(u"SIZE COLOR ", 50000) + u">x" },
    { "HugeBodyTag", u"<BODY " + repeated(u"TEXT BGCOLOR ", 50000) + u">x</BODY>" },
    { "ManyTitles", repeated(u"<TITLE>", 50000) },
    { "ManyLinks", repeated(u"<A HREF=\"#a\" NAME=\"a\">x</A> ", 20000) },
};

INSTANTIATE_TEST_SUITE_P(Markup, HostileMarkup, testing::ValuesIn(kHostileCases),
    [](const testing::TestParamInfo<HostileCase>& test) { return std::string(test.param.name); });

TEST(HtmlHead, BodyAttributesSetColoursAndMargins)
{
    HtmlDocument document(
        u"<BODY TEXT=#FFFFFF BGCOLOR=navy LINK=\"#00FF00\" VLINK=red LEFTMARGIN=5 TOPMARGIN=\"3\" "
        u"RIGHTMARGIN=7 BOTTOMMARGIN=9>x</BODY>ignored",
        0, 1);
    EXPECT_EQ(document.textColour, 0x7FFF);
    EXPECT_EQ(document.bgColour, 0xF);
    EXPECT_EQ(document.linkColour, 0x3E0);
    EXPECT_EQ(document.visitedLinkColour, 0x7C00);
    EXPECT_EQ(document.leftMargin, 5);
    EXPECT_EQ(document.topMargin, 3);
    EXPECT_EQ(document.rightMargin, 7);
    EXPECT_EQ(document.bottomMargin, 9);
    EXPECT_EQ(describe(document), "\"x\"|-1|0|-1|0");
}

TEST(HtmlHead, DefaultsWithoutABody)
{
    HtmlDocument document(u"x", 0, 0x1234);
    EXPECT_EQ(document.textColour, 0x1234);
    EXPECT_EQ(document.bgColour, 0);
    EXPECT_EQ(document.linkColour, (25 << 10) | (25 << 5) | 31);
    EXPECT_EQ(document.visitedLinkColour, 0x7C00);
    EXPECT_EQ(document.title, u"VARDUN ONLINE");
}

TEST(HtmlHead, TitleWithoutABodyStaysInTheText)
{
    HtmlDocument document(u"<TITLE>Hi there</TITLE>x", 0, 0);
    EXPECT_EQ(document.title, u"Hi there");
    EXPECT_EQ(describe(document), "\"\"|-1|0|-1|0 ; \"Hi there\"|-1|0|-1|0");
}

TEST(HtmlHead, TitleBeforeTheBodyLeavesIt)
{
    HtmlDocument document(u"<HEAD><TITLE>" + std::u16string(300, u't') + u"</TITLE></HEAD><BODY>x", 0, 0);
    EXPECT_EQ(document.title.size(), 255u);
    EXPECT_EQ(describe(document), "\"x\"|-1|0|-1|0");
}

TEST(HtmlHead, FlagsThatSkipTheHead)
{
    HtmlDocument plain(u"<TITLE>t</TITLE>x", 0x20, 0);
    EXPECT_EQ(plain.title, u"VARDUN ONLINE");
    HtmlDocument noHead(u"<BODY LEFTMARGIN=9>x", 0x40, 0);
    EXPECT_EQ(noHead.leftMargin, 0);
}

struct ColourCase {
    const char* name;
    const char16_t* text;
    int32_t parsed;
    int32_t named;
};

class HtmlColours : public testing::TestWithParam<ColourCase> { };

TEST_P(HtmlColours, ParseWithoutOverflow)
{
    EXPECT_EQ(parseHtmlColour(GetParam().text), GetParam().parsed);
    EXPECT_EQ(htmlColourByName(GetParam().text), GetParam().named);
}

const ColourCase kColourCases[] = {
    { "HexRed", u"#FF0000", 0x7C00, -1 },
    { "HexLowerCase", u"#00ff00", 0x3E0, -1 },
    { "HexShort", u"#F00", 0x20, -1 },
    { "HexLongStopsAtSix", u"#FFFFFFFFFFFF", 0x7FFF, -1 },
    { "HexWithoutDigits", u"#zz", -1, -1 },
    { "Decimal", u"31", 31, -1 },
    { "DecimalSaturates", u"99999999999999999999", 0x7FFFFFFF, -1 },
    { "NegativeIsNoColour", u"-5", -1, -1 },
    { "Red", u"red", -1, 0x7C00 },
    { "DarkRedBeforeRed", u"DarkRed", -1, 0x3C00 },
    { "NameAsBeginning", u"GREENISH", -1, 0x1E0 },
    { "Grey", u"grey", -1, 0x3DEF },
    { "White", u"White", -1, 0x7BDE },
    { "Black", u"black", -1, 1 },
    { "Unknown", u"chartreuse", -1, -1 },
};

INSTANTIATE_TEST_SUITE_P(Colours, HtmlColours, testing::ValuesIn(kColourCases),
    [](const testing::TestParamInfo<ColourCase>& test) { return std::string(test.param.name); });

} // namespace
