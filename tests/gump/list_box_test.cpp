// List boxes of the combo entries, the edit list of Unicode entries, and the
// painters they are drawn with.
#include "gump_test_support.h"

#include "core/process_random.h"
#include "gump/gump_painters.h"
#include "gump/input_control.h"
#include "gump/list_box.h"
#include "gump/unicode_edit_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

class ListWindow : public PageGump {
public:
    ListWindow()
        : PageGump(100, 100, 300, 300, 0x0001)
    {
    }
    void onControlChanged(CGump* control) override { changed.push_back(control); }
    void onRightUp(int32_t x, int32_t y) override { rightUps.emplace_back(x, y); }
    std::vector<CGump*> changed;
    std::vector<std::pair<int32_t, int32_t>> rightUps;
};

class Lists : public Desktop {
protected:
    Lists()
    {
        // A list column: top 60 x 10, three middle pieces 60 x 7, bottom 60 x 10.
        art.add(400, fixture::solidPicture(60, 10, 0x0101));
        for (int32_t i = 1; i <= 3; ++i)
            art.add(400 + i, fixture::solidPicture(60, 7, uint16_t(0x0200 + i)));
        art.add(404, fixture::solidPicture(60, 10, 0x0105));
        // The highlight bar's caps.
        art.add(5109, fixture::patternPicture(4, 14, 0x0300));
        art.add(5110, fixture::patternPicture(4, 14, 0x0310));
        // An edit list's background and its filled part.
        art.add(499, fixture::solidPicture(160, 100, 0x0011));
        art.add(500, fixture::solidPicture(160, 100, 0x0022));
        art.install();
        window = new ListWindow;
        gumpLink(window, nullptr);
    }

    ListWindow* window;
};

TEST_F(Lists, TheHundredAndFiftyFirstItemIsIgnored)
{
    ListBoxControl list(0, 0, 400, 0, 0, 0);
    for (int i = 0; i < 151; ++i)
        list.addItem(i, "item " + std::to_string(i));
    EXPECT_EQ(list.itemCount(), 150);
    EXPECT_EQ(list.height(), 10 + 10 + 150 * 14);
    list.addItem(7, std::string(60, 'n'));
    EXPECT_EQ(list.itemCount(), 150);
}

TEST_F(Lists, AWideNameWidensTheListAroundItsMiddle)
{
    ListBoxControl list(100, 50, 400, 0, 0, 0);
    EXPECT_EQ(list.width(), 60);
    EXPECT_FALSE(list.isVisible());
    list.addItem(1, "short");
    EXPECT_EQ(list.width(), 60);
    // 12 characters of 6 pixels: 72, wider than 60 - 12.
    list.addItem(2, "abcdefghijkl");
    EXPECT_EQ(list.width(), 84);
    EXPECT_EQ(list.x(), 100 - 12);
    list.addItem(3, std::string(50, 'w'));
    EXPECT_EQ(list.itemName(2).size(), size_t(ListBoxControl::kMaxNameLength)) << "a name is cut to 40 characters";
}

TEST_F(Lists, AScrollingListStopsGrowingAtItsRows)
{
    ListBoxControl list(0, -20, 400, 0, 0, 3);
    for (int i = 0; i < 5; ++i)
        list.addItem(i, "x");
    EXPECT_EQ(list.height(), 20 + 3 * 14);
    EXPECT_EQ(list.y(), 0) << "a list above the screen comes down to 0";
}

TEST_F(Lists, AReleaseOnARowFillsTheOwnerAndClosesTheList)
{
    auto* entry = new InputControl(0, 0, EntrySize { 100, 20, false }, 2, 50, 0, 0, false, true);
    gumpLink(entry, window);
    auto* list = new ListBoxControl(10, 10, 400, 0, 0, 0);
    list->addItem(11, "first");
    // A byte above 0x7F is the character of the same value.
    list->addItem(22, "caf\xE9");
    pointer.x = 10 + 20;
    pointer.y = 10 + 10 + 14 + 3;
    showListBox(list, entry);
    EXPECT_EQ(pointer.capture, list);
    EXPECT_EQ(list->highlighted(), 1) << "the row under the pointer at once";
    GumpHandle handle(list);
    list->onLeftUp(20, 17);
    EXPECT_FALSE(handle);
    EXPECT_EQ(entry->value(), 22);
    EXPECT_EQ(entry->text(), u"caf\u00E9");
    EXPECT_EQ(entry->narrowText(), "caf\xE9");
    EXPECT_EQ(window->changed, std::vector<CGump*> { entry });
    EXPECT_EQ(pointer.capture, nullptr);
}

TEST_F(Lists, AReleaseOutsideTheRowsChangesNothing)
{
    auto* entry = new InputControl(0, 0, EntrySize { 100, 20, false }, 2, 50, 0, 0, false, true);
    gumpLink(entry, window);
    auto* list = new ListBoxControl(10, 10, 400, 0, 0, 0);
    list->addItem(11, "first");
    showListBox(list, entry);
    list->onDrag(-5, -5);
    EXPECT_EQ(list->highlighted(), -1);
    GumpHandle handle(list);
    list->onLeftUp(-5, -5);
    EXPECT_FALSE(handle);
    EXPECT_TRUE(window->changed.empty());
}

TEST_F(Lists, ASizedListPicksOnThePressAndNotTheCurrentValue)
{
    auto* entry = new InputControl(0, 0, EntrySize { 100, 20, false }, 2, 50, 0, 0, false, true);
    gumpLink(entry, window);
    entry->setValue(5);
    auto* list = new SizedListBoxControl(10, 10, 300, 80, 60, 0, 0, 0);
    list->addItem(5, "five");
    list->addItem(6, "six");
    showListBox(list, entry);
    list->onDrag(3, 3);
    EXPECT_EQ(list->highlighted(), 0);
    GumpHandle handle(list);
    list->onLeftDown(3, 3);
    EXPECT_FALSE(handle);
    EXPECT_TRUE(window->changed.empty()) << "the current value sends no report";

    auto* second = new SizedListBoxControl(10, 10, 300, 80, 60, 0, 0, 0);
    second->addItem(5, "five");
    second->addItem(6, "six");
    showListBox(second, entry);
    second->onDrag(3, 50);
    EXPECT_EQ(second->highlighted(), 1) << "below the rows: the last item";
    second->onLeftDown(3, 50);
    EXPECT_EQ(entry->value(), 6);
    EXPECT_EQ(window->changed.size(), 1u);
}

TEST_F(Lists, HoldingThePointerBelowScrollsARow)
{
    auto* list = new ListBoxControl(10, 10, 400, 0, 0, 2);
    for (int i = 0; i < 4; ++i)
        list->addItem(i, "row");
    showListBox(list, nullptr);
    pointer.x = 20;
    pointer.y = 10 + list->height() + 5;
    list->onHoverTick();
    EXPECT_EQ(list->firstRow(), 1);
    list->onHoverTick();
    list->onHoverTick();
    EXPECT_EQ(list->firstRow(), 2) << "no rows remain below";
    pointer.y = 5;
    list->onHoverTick();
    EXPECT_EQ(list->firstRow(), 1);
}

// The list's face against a per-pixel reference built from the pieces.
TEST_F(Lists, AListFaceIsItsColumnHighlightAndNames)
{
    ListBoxControl list(0, 0, 400, 0, 0, 0);
    list.addItem(1, "ab");
    list.redraw(-1);
    const GumpPage& face = *list.page(0);
    ASSERT_EQ(face.width, 60);
    ASSERT_EQ(face.height, 34);
    // Top piece rows 0..9, the middle from 10 on, the bottom from 24.
    EXPECT_EQ(face.pixel(30, 5), 0x0101);
    EXPECT_EQ(face.pixel(59, 12), 0x0201);
    EXPECT_EQ(face.pixel(59, 20), 0x0202) << "the second middle piece below the first";
    EXPECT_EQ(face.pixel(0, 30), 0x0105);
}

TEST_F(Lists, ThreeSliceAndHighlightBar)
{
    art.add(600, fixture::solidPicture(4, 6, 0x0401));
    art.add(601, fixture::solidPicture(3, 6, 0x0402));
    art.add(602, fixture::solidPicture(5, 6, 0x0403));
    art.install();
    GumpPage page;
    page.allocate(20, 8);
    drawThreeSlice(600, page);
    for (int32_t x = 0; x < 20; ++x) {
        const uint16_t expected = x < 4 ? 0x0401 : x < 15 ? 0x0402 : 0x0403;
        EXPECT_EQ(page.pixel(x, 0), expected) << x;
    }
    EXPECT_EQ(page.pixel(0, 7), 0) << "below the art";
    drawThreeSlice(603, page);
    EXPECT_EQ(page.pixel(0, 0), 0x0401) << "missing art draws nothing";

    GumpPage bar;
    bar.allocate(40, 16);
    std::fill(bar.pixels.begin(), bar.pixels.end(), uint16_t(0x0842));
    drawHighlightBar(2, 1, 30, 5109, bar);
    auto lightened = [](uint16_t p) { return uint16_t(((p >> 1) & 0x3DEF) + 0x3DEF); };
    // The reference: the left cap's shape at (2, 1), the band from 6 to
    // 2 + 30 - 4 = 28, the right cap's shape one column before its end.
    const fixture::GumpArtPicture left = fixture::patternPicture(4, 14, 0x0300);
    const fixture::GumpArtPicture right = fixture::patternPicture(4, 14, 0x0310);
    std::vector<uint16_t> reference(40 * 16, 0x0842);
    auto at = [&](int32_t x, int32_t y) -> uint16_t& { return reference[size_t(y) * 40 + size_t(x)]; };
    for (int32_t row = 0; row < 14; ++row) {
        for (int32_t c = 0; c < 4; ++c)
            if (left.at(c, row))
                at(2 + c, 1 + row) = lightened(at(2 + c, 1 + row));
        for (int32_t x = 6; x < 28; ++x)
            at(x, 1 + row) = lightened(at(x, 1 + row));
        for (int32_t c = 0; c < 4; ++c)
            if (right.at(c, row))
                at(27 + c, 1 + row) = lightened(at(27 + c, 1 + row));
    }
    EXPECT_EQ(bar.pixels, reference);
}

TEST_F(Lists, DecorationsOnAShortEdgeAlwaysEnd)
{
    // Decorations as wide as the edge allows: the partner search gives up.
    for (int32_t i = 0; i < 9; ++i)
        art.add(700 + i, fixture::solidPicture(4, 4, uint16_t(0x0500 + i)));
    for (int32_t i = 11; i <= 18; ++i)
        art.add(700 + i, fixture::solidPicture(30, 30, uint16_t(0x0600 + i)));
    art.install();
    for (uint32_t seed = 0; seed < 50; ++seed) {
        seedRandom(seed);
        GumpPage page;
        page.allocate(141, 141);
        drawNinePatch(700, page, false);
    }
    GumpPage narrow;
    narrow.allocate(139, 139);
    drawNinePatch(700, narrow, false);
    for (uint16_t pixel : narrow.pixels)
        EXPECT_LT(pixel, 0x0600) << "an edge shorter than both decorations plus 80 has none";
}

struct HugeFrame {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

class HugeFrames : public Lists, public testing::WithParamInterface<HugeFrame> { };

// A server may frame a rectangle of any size; one whose edges lie beyond any
// page is refused whole, with no overflowing arithmetic and nothing drawn.
TEST_P(HugeFrames, DrawNothing)
{
    for (int32_t i = 0; i <= 8; ++i)
        art.add(720 + i, fixture::solidPicture(8, 8, uint16_t(0x0700 + i)));
    art.install();
    const HugeFrame& frame = GetParam();
    GumpPage page;
    page.allocate(64, 64);
    drawNinePatchRecord(frame.x, frame.y, frame.width, frame.height, 720, page, true);
    for (uint16_t pixel : page.pixels)
        ASSERT_EQ(pixel, 0) << "nothing of a frame too large for any page";
}

INSTANTIATE_TEST_SUITE_P(Painters, HugeFrames,
    testing::Values(HugeFrame { "WidestFromInside", 10, 10, INT32_MAX, 20 },
        HugeFrame { "TallestFromInside", 10, 10, 20, INT32_MAX },
        HugeFrame { "BothFromInside", 1, 1, INT32_MAX, INT32_MAX },
        HugeFrame { "SlimAtTheLeftEndOfTheRange", INT32_MIN, 0, 1, 20 },
        HugeFrame { "NearTheEndOfTheRange", INT32_MAX - 4, INT32_MAX - 4, 4, 4 }),
    [](const testing::TestParamInfo<HugeFrame>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(Lists, AFrameWithinThePageIsDrawn)
{
    for (int32_t i = 0; i <= 8; ++i)
        art.add(720 + i, fixture::solidPicture(8, 8, uint16_t(0x0700 + i)));
    art.install();
    GumpPage page;
    page.allocate(64, 64);
    drawNinePatchRecord(10, 10, 40, 40, 720, page, true);
    EXPECT_EQ(page.pixels[size_t(10) * 64 + 10], 0x0700);
    EXPECT_EQ(page.pixels[size_t(49) * 64 + 49], 0x0708);
    EXPECT_EQ(page.pixels[size_t(30) * 64 + 30], 0x0704);
}

class EditLists : public Lists {
protected:
    UnicodeEditList* makeList(int32_t rows, bool selectOnly = false)
    {
        auto* list = new UnicodeEditList(20, 20, 500, 10, 181);
        list->selectOnly = selectOnly;
        gumpLink(list, window);
        for (int i = 0; i < rows; ++i)
            list->addEntry(u"name" + std::u16string(1, char16_t(u'0' + i)), i);
        return list;
    }
};

TEST_F(EditLists, FourRowsThreeShownScroll)
{
    UnicodeEditList* list = makeList(4);
    ASSERT_EQ(list->height(), 100);
    EXPECT_TRUE(list->rowEntry(2)->isVisible());
    EXPECT_FALSE(list->rowEntry(3)->isVisible()) << "7 + 3 x 29 + 29 is past 100";
    EXPECT_TRUE(list->downButton()->isVisible());
    EXPECT_FALSE(list->upButton()->isVisible());
    list->scrollDown();
    EXPECT_FALSE(list->rowEntry(0)->isVisible());
    EXPECT_TRUE(list->rowEntry(3)->isVisible());
    EXPECT_TRUE(list->upButton()->isVisible());
    EXPECT_EQ(list->rowEntry(1)->y(), 7);
    list->scrollUp();
    EXPECT_EQ(list->rowEntry(0)->y(), 7);
    EXPECT_FALSE(list->upButton()->isVisible());
}

TEST_F(EditLists, TypingIntoTheLastRowAddsANewOne)
{
    UnicodeEditList* list = makeList(1);
    UnicodeInputControl* last = list->rowEntry(0);
    last->setText(u"");
    gumpSetFocus(last);
    last->onKey(u'z');
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowEntry(1)->text(), u"");
    EXPECT_EQ(window->changed.back(), list);
}

TEST_F(EditLists, ClearingAMiddleRowHandsTheCaretUp)
{
    UnicodeEditList* list = makeList(4);
    UnicodeInputControl* middle = list->rowEntry(2);
    gumpSetFocus(middle);
    middle->setCaret(5);
    for (int i = 0; i < 5; ++i)
        middle->onKey(GumpKey::kBackspace);
    EXPECT_EQ(list->rowCount(), 3);
    UnicodeInputControl* above = list->rowEntry(1);
    EXPECT_EQ(gumpFocus(), above);
    EXPECT_EQ(above->text(), u"name1");
    EXPECT_EQ(above->caret(), 5) << "at the end of the row above";
    EXPECT_EQ(list->rowEntry(2)->text(), u"name3");
    EXPECT_EQ(list->rowEntry(2)->y(), 7 + 2 * 29);
}

TEST_F(EditLists, ClearingTheFirstRowHandsTheCaretDown)
{
    UnicodeEditList* list = makeList(3);
    UnicodeInputControl* first = list->rowEntry(0);
    gumpSetFocus(first);
    first->setCaret(5);
    for (int i = 0; i < 5; ++i)
        first->onKey(GumpKey::kBackspace);
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(gumpFocus(), list->rowEntry(0));
    EXPECT_EQ(list->rowEntry(0)->text(), u"name1");
}

TEST_F(EditLists, DeleteInASelectOnlyListSparesTheNewRow)
{
    UnicodeEditList* list = makeList(2, true);
    list->addEntry(u"(new)", 0);
    EXPECT_EQ(list->rowCount(), 3);
    list->onControlPressed(list->rowEntry(2));
    EXPECT_EQ(list->selectedRow(), 2);
    list->onKey(GumpKey::kDelete);
    EXPECT_EQ(list->rowCount(), 3);
    list->onControlPressed(list->rowEntry(0));
    list->onKey(GumpKey::kDelete);
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowEntry(0)->text(), u"name1");
}

TEST_F(EditLists, ADragOfFivePixelsMovesTheWindowAndIsNoClick)
{
    UnicodeEditList* list = makeList(1);
    list->onLeftDown(150, 90);
    list->onDrag(155, 90);
    EXPECT_EQ(window->x(), 105);
    EXPECT_TRUE(list->isDragged());
    EXPECT_EQ(list->clickState(), 0);
    list->onLeftUp(155, 90);
    EXPECT_FALSE(list->isDragged());
    EXPECT_EQ(list->clickState(), 0);
    // A small move keeps the click.
    list->onLeftDown(150, 90);
    list->onDrag(152, 91);
    EXPECT_EQ(list->clickState(), 1);
    list->onLeftUp(152, 91);
}

TEST_F(EditLists, RowsBeyondTheMaximumAndLongTextsAreRefused)
{
    auto* list = new UnicodeEditList(0, 0, 500, 2, 500);
    gumpLink(list, window);
    list->addEntry(std::u16string(300, u'q'), 1);
    list->addEntryAnsi(std::string(2000, 'r'), 2);
    list->addEntry(u"third", 3);
    EXPECT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->rowEntry(0)->text().size(), 181u);
    EXPECT_EQ(list->rowEntry(1)->text().size(), 181u);
    list->onRightUp(5, 5);
    EXPECT_EQ(window->rightUps, (std::vector<std::pair<int32_t, int32_t>> { { 0, 0 } }));
}

} // namespace
