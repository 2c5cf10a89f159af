// The menu at the pointer: where it opens, which lines can be chosen, and the
// ways it closes, driven through the hit test as the mouse buttons drive it.
#include "gump_test_support.h"

#include "gump/entry_core.h"
#include "gump/pointer_menu.h"
#include "gump/popup_list.h"
#include "gump/text_list.h"

#include <gtest/gtest.h>

namespace {

class PointerMenuTest : public gump_test::Desktop {
protected:
    PointerMenuTest()
    {
        for (int32_t i = 0; i < 4; ++i)
            art.add(250 + i, fixture::solidPicture(10, 8, uint16_t(0x1000 + i)));
        art.add(256, fixture::solidPicture(10, 4, 0x0421));
        art.add(2700, fixture::solidPicture(6, 5, 0x0842));
        art.add(2701, fixture::solidPicture(5, 6, 0x0C63));
        art.install();
    }

    CGump* open(int32_t x, int32_t y)
    {
        pointer.x = x;
        pointer.y = y;
        return openPointerMenu({ { u"First", 11, true }, { u"Second", 12, false }, { u"&Third && Co", 13, false } },
            [this](int32_t id) { chosen.push_back(id); });
    }

    // A press and release at a screen point, to whatever the hit test finds
    // (the modal menu holds every click while it is open).
    void click(int32_t x, int32_t y, bool right = false)
    {
        pointer.x = x;
        pointer.y = y;
        CGump* target = gumpHitTest(x, y, nullptr, false);
        ASSERT_NE(target, nullptr);
        GumpHandle held(target);
        int32_t localX = x;
        int32_t localY = y;
        target->screenToLocal(localX, localY);
        right ? target->onRightDown(localX, localY) : target->onLeftDown(localX, localY);
        if (CGump* still = held.get())
            right ? still->onRightUp(localX, localY) : still->onLeftUp(localX, localY);
    }

    // The screen point in the middle of line `index` of the menu's list.
    void linePoint(CGump* menu, int32_t index, int32_t& x, int32_t& y)
    {
        auto* popup = static_cast<PopupList*>(menu->firstChild());
        TextList* list = popup->list();
        int32_t bottom = list->height() + list->maxScroll() - list->scrollPos();
        for (int32_t i = list->lineCount(); i-- > index;)
            bottom -= list->lines()[size_t(i)].height;
        x = list->width() / 2;
        y = bottom + list->lines()[size_t(index)].height / 2;
        list->localToScreen(x, y);
    }

    std::vector<int32_t> chosen;
};

TEST_F(PointerMenuTest, OpensAtThePointerKeptOnTheScreenAndHoldsEveryClick)
{
    CGump* menu = open(100, 120);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->x(), 100);
    EXPECT_EQ(menu->y(), 120);
    EXPECT_EQ(gumpModal(), menu);
    closeGump(menu);
    EXPECT_EQ(gumpModal(), nullptr);

    menu = open(639, 479);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->x() + menu->width(), 640);
    EXPECT_EQ(menu->y() + menu->height(), 480);
    closeGump(menu);
    EXPECT_EQ(openPointerMenu({}, [this](int32_t id) { chosen.push_back(id); }), nullptr);
}

TEST_F(PointerMenuTest, AClickOnALineChoosesItAfterTheMenuClosesAndGreyedLinesAreNoChoice)
{
    GumpHandle menu(open(50, 60));
    int32_t x = 0;
    int32_t y = 0;
    linePoint(menu.get(), 0, x, y);
    click(x, y);
    EXPECT_TRUE(chosen.empty()) << "the greyed line";
    ASSERT_NE(menu.get(), nullptr);
    // A label's key-letter mark is not shown; "&&" shows one '&'.
    auto* popup = static_cast<PopupList*>(menu.get()->firstChild());
    EXPECT_EQ(popup->list()->lines()[2].text, u"Third & Co");
    linePoint(menu.get(), 2, x, y);
    click(x, y);
    EXPECT_EQ(chosen, std::vector<int32_t> { 13 });
    EXPECT_EQ(menu.get(), nullptr);
    EXPECT_EQ(gumpModal(), nullptr);
}

TEST_F(PointerMenuTest, AClickElsewhereARightClickOrEscapeClosesItWithoutAChoice)
{
    GumpHandle menu(open(50, 60));
    click(400, 400);
    EXPECT_EQ(menu.get(), nullptr);

    menu = GumpHandle(open(50, 60));
    int32_t x = 0;
    int32_t y = 0;
    linePoint(menu.get(), 1, x, y);
    click(x, y, true);
    EXPECT_EQ(menu.get(), nullptr);

    menu = GumpHandle(open(50, 60));
    // Escape goes to the gump with the keyboard focus.
    ASSERT_EQ(gumpFocus(), menu.get());
    gumpFocus()->onKey(GumpKey::kEscape);
    EXPECT_EQ(menu.get(), nullptr);
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(gumpModal(), nullptr);
}

} // namespace
