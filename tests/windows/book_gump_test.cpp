// Book windows as the server opens them: headers, pages into the right
// buffers, turning and jumping spreads, the requests of a read-only book,
// writing with line and page flow, and what a closing writable book sends.

#include "reading_desktop.h"

#include "fixtures/facet_writer.h"
#include "fixtures/sample_reading_art.h"
#include "gump/unicode_input_control.h"
#include "support/png_writer.h"
#include "support/reading_window_packets.h"
#include "text/unicode_font.h"
#include "windows/book_gump.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kBook = 0x40000501;

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class Books : public windows_test::ReadingDesktop {
protected:
    Books() { addItem(kBook, fixture::kSampleBookGraphic, fixture::kSampleCentreX + 1, fixture::kSampleCentreY); }

    BookGump* openReadOnly(uint16_t pages)
    {
        dispatch(test::bookHeaderTextPacket(kBook, false, false, pages, "Chronicle", "Mirela"));
        return findBookGump(kBook);
    }
    BookGump* openWritable(uint16_t pages)
    {
        dispatch(test::bookHeaderPacket(kBook, true, true, pages, "", ""));
        return findBookGump(kBook);
    }
    static std::u16string line(const BookGump& book, int32_t page, int32_t index)
    {
        const BookPage* text = book.textPage(page);
        return text && index < text->lineCount() ? text->lines[size_t(index)] : u"<none>";
    }
    // A click at a point of the window, taken as a single click.
    void clickBook(BookGump& book, int32_t x, int32_t y) { click(book.x() + x, book.y() + y); }
    void typeInto(BookGump& book, std::u16string_view text)
    {
        for (char16_t c : text)
            book.onKey(c);
    }
    static constexpr int32_t kNextCornerX = 400;
    static constexpr int32_t kCornerY = 5;
};

TEST_F(Books, AReadOnlyBookAsksForThePagesItShows)
{
    BookGump* book = openReadOnly(5);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->headerKind(), 2);
    EXPECT_EQ(book->title(), u"Chronicle");
    EXPECT_EQ(sounds.played, std::vector<int32_t>({ BookGump::kPageSound }));
    // Page 1 is asked for at once: serial, one page, its number, 0xFFFF lines.
    std::vector<Bytes> requests = takePacketsWithId(0x66);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(hexOf(requests[0]), "66 00 0D 40 00 05 01 00 01 00 01 FF FF");
    dispatch(test::bookPagesPacket(kBook, { { 1, { "first line", "second" } } }));
    EXPECT_EQ(line(*book, 1, 1), u"second");

    clickBook(*book, kNextCornerX, kCornerY);
    EXPECT_EQ(book->currentPage(), 2);
    requests = takePacketsWithId(0x66);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(hexOf(requests[0]), "66 00 0D 40 00 05 01 00 01 00 02 FF FF");
    EXPECT_EQ(hexOf(requests[1]), "66 00 0D 40 00 05 01 00 01 00 03 FF FF");
    // The buffers start empty; each answer fills its side, and a page two
    // past the spread has no place.
    EXPECT_EQ(book->textPage(2)->lineCount(), 0);
    dispatch(test::bookPagesPacket(kBook, { { 3, { "right" } }, { 2, { "left" } }, { 5, { "far" } } }));
    EXPECT_EQ(line(*book, 2, 0), u"left");
    EXPECT_EQ(line(*book, 3, 0), u"right");
    // A read-only book never takes the caret.
    clickBook(*book, 60, 40);
    EXPECT_NE(gumpFocus(), book);
    book->onKey(u'x');
    EXPECT_EQ(line(*book, 2, 0), u"left");
    closeGump(book);
    EXPECT_TRUE(takePacketsWithId(0x66).empty());
}

TEST_F(Books, ASecondHeaderRetitlesTheOpenBook)
{
    BookGump* book = openReadOnly(2);
    dispatch(test::bookHeaderPacket(kBook, false, false, 2, std::string(70, 'T'), std::string(40, 'A')));
    EXPECT_EQ(findBookGump(kBook), book);
    int32_t windows = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        windows += gump->is(GumpKind::Book) ? 1 : 0;
    EXPECT_EQ(windows, 1);
    // The second header keeps one character less of each, as its fields did.
    EXPECT_EQ(book->title(), std::u16string(58, u'T'));
    EXPECT_EQ(book->author(), std::u16string(28, u'A'));
    EXPECT_EQ(book->titleEntry()->text(), book->title());
}

struct SpreadCase {
    const char* name;
    uint16_t pages;
    int32_t lastSpread;
    bool hasRightPageThere;
};

class BookSpreads : public Books, public testing::WithParamInterface<SpreadCase> { };

TEST_P(BookSpreads, DoubleClickingTheCornersJumpsToTheEnds)
{
    const SpreadCase& c = GetParam();
    BookGump* book = openWritable(c.pages);
    ASSERT_NE(book, nullptr);
    const int32_t x = book->x() + kNextCornerX;
    const int32_t y = book->y() + kCornerY;
    doubleClick(x, y);
    EXPECT_EQ(book->currentPage(), c.lastSpread);
    EXPECT_EQ(book->textPage(c.lastSpread + 1) != nullptr, c.hasRightPageThere);
    // The header entries show on the title spread only.
    EXPECT_EQ(book->titleEntry()->isVisible(), c.lastSpread == 0);
    doubleClick(book->x() + 5, book->y() + kCornerY);
    EXPECT_EQ(book->currentPage(), 0);
    EXPECT_TRUE(book->titleEntry()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Pages, BookSpreads,
    testing::Values(SpreadCase { "None", 0, 0, false }, SpreadCase { "Seven", 7, 6, true },
        SpreadCase { "Eight", 8, 8, false }),
    [](const testing::TestParamInfo<SpreadCase>& row) { return std::string(row.param.name); });

struct IncomingPageCase {
    const char* name;
    int32_t incoming;
    bool redraws;
};

class WritablePages : public Books, public testing::WithParamInterface<IncomingPageCase> { };

TEST_P(WritablePages, EveryPageHasItsOwnPlaceAndOnlyShownOnesRedraw)
{
    const IncomingPageCase& c = GetParam();
    BookGump* book = openWritable(8);
    clickBook(*book, kNextCornerX, kCornerY);
    ASSERT_EQ(book->currentPage(), 2);
    const std::vector<uint16_t> before = book->page(0)->pixels;
    dispatch(test::bookPagesPacket(kBook, { { uint16_t(c.incoming), { "Mmmm mmmm" } } }));
    EXPECT_EQ(line(*book, c.incoming, 0), u"Mmmm mmmm");
    EXPECT_EQ(book->page(0)->pixels != before, c.redraws);
}

INSTANTIATE_TEST_SUITE_P(Spread2, WritablePages,
    testing::Values(IncomingPageCase { "LeftPage", 2, true }, IncomingPageCase { "RightPage", 3, true },
        IncomingPageCase { "PageAfter", 5, false }, IncomingPageCase { "PageBefore", 1, false }),
    [](const testing::TestParamInfo<IncomingPageCase>& row) { return std::string(row.param.name); });

TEST_F(Books, PagesOutsideTheBookAndLinesPastTwentyHaveNoPlace)
{
    BookGump* book = openWritable(2);
    std::vector<std::string> many(30, "x");
    many[19] = "twentieth";
    dispatch(test::bookPagesPacket(kBook, { { 2, many }, { 3, { "none" } }, { 65535, { "none" } } }));
    ASSERT_EQ(book->textPage(2)->lineCount(), BookPage::kMaxLines);
    EXPECT_EQ(line(*book, 2, 19), u"twentieth");
    EXPECT_EQ(book->textPage(3), nullptr);
    // Page 0 counts as the first.
    dispatch(test::bookPagesPacket(kBook, { { 0, { "zero" } } }));
    EXPECT_EQ(line(*book, 1, 0), u"zero");
}

TEST_F(Books, TypedTextWrapsAndFlowsOntoTheNextPage)
{
    BookGump* book = openWritable(4);
    clickBook(*book, kNextCornerX, kCornerY);
    // Into the right page (page 3).
    clickBook(*book, BookGump::kRightTextX + 2, BookGump::kTextTop + 2);
    ASSERT_EQ(gumpFocus(), book);
    ASSERT_FALSE(book->caretOnLeft());
    std::u16string words;
    for (int i = 0; i < 700; ++i)
        words += i % 6 == 5 ? u' ' : u'w';
    typeInto(*book, words);
    const BookPage* three = book->textPage(3);
    ASSERT_EQ(three->lineCount(), book->pageCapacity());
    ScopedUnicodeFont font(1);
    for (const std::u16string& text : three->lines) {
        EXPECT_LE(measureUnicodeString(text.c_str()), BookGump::kTextWidth) << std::string(text.begin(), text.end());
        EXPECT_LE(int32_t(text.size()), BookGump::kMaxLineChars);
    }
    // The overflow went on to page 4, and the caret with it.
    ASSERT_NE(book->textPage(4), nullptr);
    EXPECT_GT(book->textPage(4)->lineCount(), 0);
    EXPECT_EQ(book->currentPage(), 4);
    EXPECT_TRUE(book->caretOnLeft());
}

TEST_F(Books, TextPastTheLastPageIsDropped)
{
    BookGump* book = openWritable(2);
    clickBook(*book, kNextCornerX, kCornerY);
    clickBook(*book, BookGump::kLeftTextX + 2, BookGump::kTextTop + 2);
    ASSERT_EQ(book->currentPage(), 2);
    std::u16string words;
    for (int i = 0; i < 2000; ++i)
        words += i % 6 == 5 ? u' ' : u'z';
    typeInto(*book, words);
    EXPECT_EQ(book->textPage(2)->lineCount(), book->pageCapacity());
    EXPECT_EQ(book->currentPage(), 2);
    size_t kept = 0;
    for (const std::u16string& text : book->textPage(2)->lines)
        kept += text.size();
    EXPECT_LT(kept, words.size());
}

TEST_F(Books, EnterOnAFullPagePushesItsLastLineOn)
{
    BookGump* book = openWritable(4);
    const int32_t capacity = book->pageCapacity();
    std::vector<std::string> full;
    for (int32_t i = 0; i < capacity; ++i)
        full.push_back("line " + std::to_string(i));
    dispatch(test::bookPagesPacket(kBook, { { 1, full }, { 2, { "next" } } }));
    // Page 1 is the right page of the title spread.
    clickBook(*book, BookGump::kRightTextX + 2, BookGump::kTextTop + 2);
    ASSERT_EQ(book->caretLine(), 0);
    book->onKey(GumpKey::kHome);
    book->onKey(u'\r');
    EXPECT_EQ(book->textPage(1)->lineCount(), capacity);
    EXPECT_EQ(line(*book, 1, 0), u"");
    EXPECT_EQ(line(*book, 1, 1), u"line 0");
    EXPECT_EQ(line(*book, 2, 0), wide("line " + std::to_string(capacity - 1)));
    EXPECT_EQ(line(*book, 2, 1), u"next");
    EXPECT_EQ(book->caretLine(), 1);
    EXPECT_FALSE(book->caretOnLeft());
}

TEST_F(Books, BackspaceJoinsTwoLongLinesWithoutLosingText)
{
    BookGump* book = openWritable(2);
    const std::string first(60, 'a');
    const std::string second(60, 'b');
    dispatch(test::bookPagesPacket(kBook, { { 2, { first, second } } }));
    clickBook(*book, kNextCornerX, kCornerY);
    clickBook(*book, BookGump::kLeftTextX + 1, BookGump::kTextTop + 1);
    book->onKey(GumpKey::kDown);
    book->onKey(GumpKey::kHome);
    ASSERT_EQ(book->caretLine(), 1);
    book->onKey(GumpKey::kBackspace);
    std::u16string all;
    for (const std::u16string& text : book->textPage(2)->lines)
        all += text;
    EXPECT_EQ(all, std::u16string(60, u'a') + std::u16string(60, u'b'));
}

struct HeaderKindCase {
    const char* name;
    bool counted;
    const char* header;
};

class ClosingBooks : public Books, public testing::WithParamInterface<HeaderKindCase> { };

TEST_P(ClosingBooks, SendTheHeaderOfTheirKindFirstThenTheChangedPagesInOrder)
{
    const HeaderKindCase& c = GetParam();
    dispatch(c.counted ? test::bookHeaderTextPacket(kBook, true, true, 4, "", "")
                       : test::bookHeaderPacket(kBook, true, true, 4, "", ""));
    BookGump* book = findBookGump(kBook);
    ASSERT_NE(book, nullptr);
    std::vector<std::string> full;
    for (int32_t i = 0; i < book->pageCapacity(); ++i)
        full.push_back("l");
    dispatch(test::bookPagesPacket(kBook, { { 1, full } }));
    takePackets();
    clickBook(*book, 60, 70);
    ASSERT_EQ(gumpFocus(), book->titleEntry());
    book->titleEntry()->onKey(u'H');
    book->titleEntry()->onKey(u'i');
    // Enter on the full page 1 changes pages 1 and 2.
    clickBook(*book, BookGump::kRightTextX + 2, BookGump::kTextTop + 2);
    book->onKey(u'\r');
    EXPECT_TRUE(takePackets().empty());
    closeGump(book);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(hexOf(Bytes(sent[0].begin(), sent[0].begin() + std::min<size_t>(sent[0].size(), 16))), c.header);
    EXPECT_EQ(hexOf(Bytes(sent[1].begin() + 3, sent[1].begin() + 11)), "40 00 05 01 00 01 00 01");
    EXPECT_EQ(hexOf(Bytes(sent[2].begin() + 3, sent[2].begin() + 11)), "40 00 05 01 00 01 00 02");
    EXPECT_EQ(sent[2].back(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClosingBooks,
    testing::Values(HeaderKindCase { "FixedFields", false, "93 40 00 05 01 00 00 00 00 48 69 00 00 00 00 00" },
        HeaderKindCase { "CountedTexts", true, "D4 00 13 40 00 05 01 00 00 00 00 00 03 48 69 00" }),
    [](const testing::TestParamInfo<HeaderKindCase>& row) { return std::string(row.param.name); });

} // namespace

namespace {

// The book's art as the window lays it: the spread, the back corner while a
// page before shows and the next corner while a page after does.
fixture::GumpArtPicture spreadArt(bool backCorner, bool nextCorner)
{
    const auto art = fixture::sampleReadingGumpArt();
    fixture::GumpArtPicture spread = art.at(BookGump::kArt);
    auto overlay = [&spread](const fixture::GumpArtPicture& corner, int32_t left) {
        for (int32_t y = 0; y < corner.height; ++y)
            for (int32_t x = 0; x < corner.width; ++x)
                if (corner.at(x, y) != 0)
                    spread.pixels[size_t(y * spread.width + left + x)] = corner.at(x, y);
    };
    if (backCorner)
        overlay(art.at(BookGump::kArt + 1), 0);
    if (nextCorner) {
        const fixture::GumpArtPicture& corner = art.at(BookGump::kArt + 2);
        overlay(corner, spread.width - corner.width);
    }
    return spread;
}

} // namespace

TEST_F(Books, APageShowsTheLinesThatFitItsAreaAndNothingOutside)
{
    BookGump* book = openReadOnly(6);
    ASSERT_NE(book, nullptr);
    book->moveTo(100, 80, true, nullptr, false);
    clickBook(*book, kNextCornerX, kCornerY);
    ASSERT_EQ(book->currentPage(), 2);
    // Three lines on the left; twelve on the right, of which the area holds
    // the first nine (the tenth would end below it).
    std::vector<std::string> many;
    for (int32_t i = 0; i < 12; ++i)
        many.push_back("Line " + std::to_string(i + 1) + " of the right page");
    dispatch(test::bookPagesPacket(kBook, { { 2, { "The horse came", "next, then", "Mirela." } }, { 3, many } }));
    composeAll();
    std::vector<uint16_t> picture = screenPicture();
    test::writeSurfacePng(test::picturePath("reading_book.png"), picture.data(), 640, 480, 640);
    EXPECT_EQ(test::surfaceHash(picture.data(), 640, 480, 640), 0x4bd02f7c85feb609ull) << std::hex
        << test::surfaceHash(picture.data(), 640, 480, 640);

    // Every pixel away from the art lies in a drawn line's band of its page,
    // or in a page number's place under the text; each band has ink.
    const fixture::GumpArtPicture art = spreadArt(true, true);
    struct Page {
        int32_t left;
        int32_t lines;
        int32_t numberCentre;
    };
    const Page pages[] = { { BookGump::kLeftTextX, 3, 116 }, { BookGump::kRightTextX, 9, 302 } };
    std::vector<int32_t> inked(2 * 20, 0);
    for (int32_t y = 0; y < art.height; ++y) {
        for (int32_t x = 0; x < art.width; ++x) {
            if (screenPixel(book->x() + x, book->y() + y) == art.at(x, y))
                continue;
            bool allowed = false;
            for (size_t side = 0; side < 2; ++side) {
                const Page& page = pages[side];
                const bool inColumn = x >= page.left && x <= page.left + BookGump::kTextWidth;
                const int32_t band = (y - BookGump::kTextTop) / BookGump::kDrawnLineHeight;
                if (inColumn && y >= BookGump::kTextTop && band < page.lines) {
                    allowed = true;
                    ++inked[side * 20 + size_t(band)];
                }
                const int32_t numberTop = BookGump::kTextTop + 9 * BookGump::kDrawnLineHeight;
                if (y >= numberTop && std::abs(x - page.numberCentre) <= 12)
                    allowed = true;
            }
            ASSERT_TRUE(allowed) << x << "," << y;
        }
    }
    for (size_t side = 0; side < 2; ++side)
        for (int32_t band = 0; band < pages[side].lines; ++band)
            EXPECT_GT(inked[side * 20 + size_t(band)], 0) << side << " " << band;
}
