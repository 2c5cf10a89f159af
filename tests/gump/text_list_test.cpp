// The control family: text list scroll arithmetic (as properties over random
// operations), the edit line, scroll bars and the pop-up list.
#include "gump_test_support.h"

#include "gump/control_gump.h"
#include "gump/entry_core.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using gump_test::Desktop;

// A family window that records its children's reports.
class Owner : public ControlGump {
public:
    Owner()
    {
        setLocation(20, 20);
        resizePage(300, 200);
    }
    void notify(const std::u16string& text, CGump*) override { notified.push_back(text); }
    void setScrollRange(int32_t position, int32_t maximum, int32_t) override
    {
        lastPosition = position;
        lastMaximum = maximum;
        ++reports;
    }
    bool submitText(const std::u16string& text, CGump*) override
    {
        submitted.push_back(text);
        return accept;
    }
    void scrollTo(int32_t position, int32_t range, CGump*) override { scrolledTo.emplace_back(position, range); }
    void scrollStep(int32_t direction, CGump*) override { steps.push_back(direction); }

    std::vector<std::u16string> notified;
    std::vector<std::u16string> submitted;
    std::vector<std::pair<int32_t, int32_t>> scrolledTo;
    std::vector<int32_t> steps;
    int32_t lastPosition = 0;
    int32_t lastMaximum = 0;
    int32_t reports = 0;
    bool accept = true;
};

class Family : public Desktop {
protected:
    Family()
    {
        // Scroll arrows (up, up pressed, down, down pressed), the track, and
        // the pop-up frame's edge and side.
        for (int32_t i = 0; i < 4; ++i)
            art.add(250 + i, fixture::solidPicture(10, 8, uint16_t(0x1000 + i)));
        art.add(256, fixture::solidPicture(10, 4, 0x0421));
        art.add(2700, fixture::solidPicture(6, 5, 0x0842));
        art.add(2701, fixture::solidPicture(5, 6, 0x0C63));
        art.install();
        owner = new Owner;
        gumpLink(owner, nullptr);
    }

    Owner* owner;
};

// The top of line `index` (oldest first) as the list places it.
int32_t lineTop(const TextList& list, size_t index)
{
    int32_t bottom = list.height() + list.maxScroll() - list.scrollPos();
    for (size_t i = size_t(list.lineCount()); i-- > index;)
        bottom -= list.lines()[i].height;
    return bottom;
}

TEST_F(Family, ScrollArithmeticHoldsOverRandomOperations)
{
    for (uint32_t seed : { 1u, 2u, 3u, 4u }) {
        std::mt19937 random(seed);
        auto* list = new TextList(owner, true, false, 12, 7, 0);
        list->setGeometry(0, 0, 60, 90);
        for (int step = 0; step < 300; ++step) {
            const int32_t operation = int32_t(random() % 4);
            if (operation == 0) {
                const bool atBottom = list->scrollPos() == list->maxScroll();
                const size_t probe = list->lineCount() > 1 ? size_t(list->lineCount()) - 1 : 0;
                const bool full = list->lineCount() == 12;
                const int32_t before = list->lineCount() > 1 ? lineTop(*list, probe) : 0;
                std::u16string text(size_t(random() % 30), u'w');
                for (size_t i = 4; i < text.size(); i += 5)
                    text[i] = u' ';
                list->addLine(text, 0x7FFF, 0, -1, -1);
                if (atBottom) {
                    EXPECT_EQ(list->scrollPos(), list->maxScroll()) << "a list at the bottom stays at the bottom";
                } else if (list->lineCount() > 1 && list->scrollPos() > 0) {
                    // The line that was newest is one older now (and one
                    // more when the oldest made room).
                    EXPECT_EQ(lineTop(*list, full ? probe - 1 : probe), before) << "a scrolled list keeps its view";
                }
            } else if (operation == 1) {
                list->scrollStep(int32_t(random() % 2), nullptr);
            } else if (operation == 2) {
                list->scrollTo(int32_t(random() % 50), 50, nullptr);
            } else {
                list->setScrollPos(int32_t(random() % 400) - 50);
                list->scrollStep(int32_t(random() % 2), nullptr);
            }
            EXPECT_LE(list->lineCount(), 12);
            int32_t total = 0;
            for (const TextListLine& line : list->lines()) {
                EXPECT_GE(line.height, 18) << "every line takes at least 18 pixels";
                total += line.height;
            }
            EXPECT_EQ(list->maxScroll(), total - list->height());
            if (operation == 1 || operation == 3) {
                if (list->maxScroll() >= 0) {
                    EXPECT_GE(list->scrollPos(), 0);
                    EXPECT_LE(list->scrollPos(), list->maxScroll());
                } else {
                    EXPECT_EQ(list->scrollPos(), list->maxScroll()) << "a short list cannot be scrolled";
                }
            }
        }
        EXPECT_EQ(owner->lastMaximum, list->maxScroll());
        closeGump(list);
    }
}

TEST_F(Family, ScrollStepsStopAtTheEnds)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0);
    list->setGeometry(0, 0, 60, 36);
    for (int i = 0; i < 10; ++i)
        list->addLine(u"line", 0x7FFF, 0, -1, -1);
    ASSERT_EQ(list->maxScroll(), 10 * 18 - 36);
    list->setScrollPos(list->maxScroll() - 10);
    list->scrollStep(1, nullptr);
    EXPECT_EQ(list->scrollPos(), list->maxScroll());
    list->setScrollPos(10);
    list->scrollStep(0, nullptr);
    EXPECT_EQ(list->scrollPos(), 0);
    // The thumb at 50 of 100: halfway.
    list->scrollTo(50, 100, nullptr);
    EXPECT_EQ(list->scrollPos(), list->maxScroll() / 2);
}

TEST_F(Family, FewLinesSitAtTheBottomAndCannotScroll)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0);
    list->setGeometry(0, 0, 60, 90);
    list->addLine(u"one", 0x7FFF, 0, -1, -1);
    list->addLine(u"two", 0x7FFF, 0, -1, -1);
    EXPECT_EQ(lineTop(*list, 1), 90 - 18);
    EXPECT_EQ(lineTop(*list, 0), 90 - 36);
    const int32_t before = list->scrollPos();
    list->scrollStep(0, nullptr);
    list->scrollStep(1, nullptr);
    EXPECT_EQ(list->scrollPos(), before);
}

TEST_F(Family, DroppingTheOldestAtTheTopKeepsZero)
{
    auto* list = new TextList(owner, false, false, 5, 0, 0);
    list->setGeometry(0, 0, 60, 36);
    for (int i = 0; i < 5; ++i)
        list->addLine(u"line", 0x7FFF, 0, -1, -1);
    list->setScrollPos(0);
    list->addLine(u"sixth", 0x7FFF, 0, -1, -1);
    EXPECT_EQ(list->lineCount(), 5);
    EXPECT_EQ(list->scrollPos(), 0);
    EXPECT_EQ(list->lines().front().text, u"line");
}

TEST_F(Family, TheEditLineTakesKeysAndSubmits)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0);
    list->setGeometry(0, 0, 120, 54);
    list->addLine(u"", 0x7FFF, 0, -1, -1);
    gumpSetFocus(list);
    list->syncEditCursor();
    list->onKey(8);
    EXPECT_EQ(list->editCursor(), 0) << "Backspace at the start does nothing";
    for (char16_t c : std::u16string(u"hi"))
        list->onKey(c);
    list->onKey(GumpKey::kLeft);
    list->onKey(u'!');
    EXPECT_EQ(list->editText(), u"h!i");
    list->onKey(GumpKey::kHome);
    list->onKey(GumpKey::kDelete);
    EXPECT_EQ(list->editText(), u"!i");
    list->onKey(0x4E00);
    EXPECT_EQ(list->editText(), u"!i") << "no glyph, no character";
    list->onKey(13);
    EXPECT_EQ(owner->submitted, std::vector<std::u16string> { u"!i" });
    EXPECT_EQ(list->lineCount(), 2);
    EXPECT_EQ(list->editText(), u"");
    EXPECT_EQ(list->editCursor(), 0);
    owner->accept = false;
    list->onKey(u'x');
    list->onKey(13);
    EXPECT_EQ(list->lineCount(), 2) << "a refused line stays the edit line";
    EXPECT_EQ(list->editText(), u"x");
    list->onKey(27);
    EXPECT_EQ(gumpFocus(), nullptr);
    EXPECT_EQ(list->editCursor(), -1);
}

TEST_F(Family, ADollarAtTheEndSubmits)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0);
    list->setGeometry(0, 0, 120, 54);
    list->addLine(u"", 0x7FFF, 0, -1, -1);
    list->syncEditCursor();
    list->setEditText(u"x$");
    EXPECT_EQ(owner->submitted, std::vector<std::u16string> { u"x" });
    list->setEditText(u"ab");
    list->appendEditText(u"$");
    EXPECT_EQ(owner->submitted.back(), u"ab");
    list->setEditText(u"");
    list->appendEditText(u"");
    EXPECT_EQ(owner->submitted.size(), 2u) << "an empty text submits nothing";
}

// A window's text reaches the edit line only up to what typing could put
// there; a '$' after a text too long still submits the line.
TEST_F(Family, AGivenTextStopsAtTheEditLimit)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0);
    list->setGeometry(0, 0, 120, 54);
    list->addLine(u"", 0x7FFF, 0, -1, -1);
    list->syncEditCursor();
    list->setEditText(std::u16string(2000, u'a'));
    EXPECT_EQ(list->editText().size(), size_t(TextList::kMaxEditLength));
    list->appendEditText(u"bbb");
    EXPECT_EQ(list->editText(), std::u16string(TextList::kMaxEditLength, u'a'));
    list->setEditText(u"ab");
    list->appendEditText(std::u16string(2000, u'c') + u"$");
    ASSERT_EQ(owner->submitted.size(), 1u);
    EXPECT_EQ(owner->submitted.back(), u"ab" + std::u16string(TextList::kMaxEditLength - 2, u'c'));
}

TEST_F(Family, TheChatSetKeepsItsCaretWhenTheFocusGoes)
{
    auto* first = new TextList(owner, false, false, 50, 0, 0);
    TextList* chat = new TextList2(owner, false, false, 50, 0, 0);
    for (TextList* list : { first, chat }) {
        list->setGeometry(0, 0, 120, 54);
        list->addLine(u"", 0x7FFF, 0, -1, -1);
        gumpSetFocus(list);
        list->syncEditCursor();
        gumpReleaseFocus();
    }
    EXPECT_EQ(first->editCursor(), -1);
    EXPECT_EQ(chat->editCursor(), 0);
    EXPECT_TRUE(chat->is(GumpKind::ChatControl));
    EXPECT_FALSE(chat->is(GumpKind::ControlGump));
}

TEST_F(Family, ASelectableListReportsTheLineUnderThePointer)
{
    auto* list = new TextList(owner, false, true, 50, 0, 0);
    list->setGeometry(10, 10, 100, 54);
    list->addLine(u"first", 0x7FFF, 0, -1, -1);
    list->addLine(u"second", 0x7FFF, 0, -1, -1);
    // The lines sit at the bottom: second at 36..53, first at 18..35 (list
    // coordinates); the list is at (30, 30) on the screen.
    pointer.x = 35;
    pointer.y = 30 + 20;
    list->onLeftUp(5, 20);
    pointer.y = 30 + 40;
    list->onLeftUp(5, 40);
    pointer.y = 30 + 5;
    list->onLeftUp(5, 5);
    EXPECT_EQ(owner->notified, (std::vector<std::u16string> { u"first", u"second" }));
}

TEST_F(Family, ListPictureMatchesThePlainLineDrawer)
{
    auto* list = new TextList(owner, false, false, 50, 0, 0x0010);
    list->setGeometry(0, 0, 80, 40);
    list->addLine(u"abc", 0x7FFF, 0x001F, 1, 1);
    list->addLine(u"de", 0x03E0, 0, -1, -1);
    std::vector<uint16_t> reference(80 * 40, 0x0010);
    const TextSurface surface { reference.data(), 80, 80, 40 };
    const TextClip clip { 2, 0, 78, 40 };
    selectUnicodeFont(2);
    drawUnicodeTextLineSelected(surface, u"abc", 2, 40 - 36, 0x7FFF, clip, 0x001F, 1, 1);
    drawUnicodeTextLineSelected(surface, u"de", 2, 40 - 18, 0x03E0, clip, 0, -1, -1);
    EXPECT_EQ(list->page(0)->pixels, reference);
}

TEST_F(Family, APressOnTheTrackScrollsAtOnceAndWhileHeld)
{
    auto* bar = new ScrollBar(owner);
    bar->setGeometry(0, 0, 100);
    bar->setThumbPosition(0, 0);
    Thumb* thumb = bar->parts().thumb();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->y(), 8) << "below the up arrow";
    bar->onLeftDown(2, 60);
    EXPECT_EQ(owner->steps, std::vector<int32_t> { 1 });
    for (int tick = 0; tick < 5; ++tick)
        bar->onHoverTick();
    EXPECT_EQ(owner->steps.size(), 1u);
    bar->onHoverTick();
    bar->onHoverTick();
    EXPECT_EQ(owner->steps.size(), 3u);
    bar->onLeftUp(2, 60);
    bar->onHoverTick();
    EXPECT_EQ(owner->steps.size(), 3u);
    // Above the thumb: up.
    bar->setThumbPosition(50, 100);
    bar->onLeftDown(2, 9);
    EXPECT_EQ(owner->steps.back(), 0);
    bar->onLeftUp(2, 9);
}

TEST_F(Family, TheThumbDragsScrollTheParent)
{
    auto* bar = new ScrollBar(owner);
    bar->setGeometry(0, 0, 100);
    Thumb* thumb = bar->parts().thumb();
    bar->onSlider(thumb->position(), thumb->range(), thumb);
    ASSERT_EQ(owner->scrolledTo.size(), 1u);
    EXPECT_EQ(owner->scrolledTo[0].second, thumb->range());
}

TEST_F(Family, ABarWithoutArtOrRangeStaysSound)
{
    art.add(256, fixture::solidPicture(10, 0, 0));
    auto* bar = new ScrollBar(owner);
    bar->setGeometry(0, 0, 0);
    bar->setThumbPosition(5, 0);
    bar->onLeftDown(0, 0);
    bar->onLeftUp(0, 0);
    auto* list = new TextList(owner, true, false, 10, 0, -999);
    list->setGeometry(0, 0, 0, 0);
    list->addLine(u"x", 1, 0, -1, -1);
    EXPECT_EQ(list->background(), 0) << "a missing background art turns into colour 0";
}

TEST_F(Family, APopupOfTwentyItemsIsAsTallAsOneOfEleven)
{
    std::vector<std::u16string> eleven(11, u"item");
    std::vector<std::u16string> twenty(20, u"item");
    int32_t width11 = 0, height11 = 0, width20 = 0, height20 = 0;
    PopupList::computeSize(eleven, 1000, 1000, width11, height11);
    PopupList::computeSize(twenty, 1000, 1000, width20, height20);
    EXPECT_EQ(height20, height11);
    EXPECT_EQ(height11, 2 * 5 + 18 * 11);
    int32_t width = 0, height = 0;
    PopupList::computeSize(twenty, 30, 50, width, height);
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 50);
}

TEST_F(Family, APopupReportsItsItemAndClosesOnTheRightButton)
{
    struct Forgetting : Owner {
        void forgetGump(CGump* dying) override { forgotten = dying; }
        CGump* forgotten = nullptr;
    };
    auto* parent = new Forgetting;
    gumpLink(parent, nullptr);
    auto* popup = new PopupList(parent, { u"alpha", u"beta", u"gamma" }, 0);
    ASSERT_NE(popup->list(), nullptr);
    EXPECT_EQ(popup->list()->lineCount(), 3);
    popup->list()->notify(u"beta", popup->list());
    EXPECT_EQ(parent->notified, std::vector<std::u16string> { u"beta" });
    popup->onRightUp(0, 0);
    EXPECT_EQ(parent->forgotten, popup);
    EXPECT_EQ(parent->firstChild(), nullptr);
}

} // namespace
