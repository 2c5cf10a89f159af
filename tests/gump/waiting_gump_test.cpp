// The waiting box: modal, focus taken and given back, Enter, dragging, the
// busy cursor and the text bounds.
#include "gump_test_support.h"

#include "gump/button.h"
#include "gump/waiting_gump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

class TestFrontEnd final : public FrontEnd {
public:
    void logoutToMainMenu() override { ++logouts; }
    void forgetWaitingGump(CGump* gump) override { forgotten.push_back(gump); }
    int32_t logouts = 0;
    std::vector<CGump*> forgotten;
};

class WaitingBox : public Desktop {
protected:
    TestFrontEnd frontEnd;
    ScopedService<FrontEnd> scopedFrontEnd { frontEnd };
};

TEST_F(WaitingBox, ALargeBoxSwallowsEveryClickWhileModal)
{
    auto* below = new PageGump(0, 0, 640, 480, 0x0001);
    gumpLink(below, nullptr);
    WaitingGump* box = gumpShowWaiting(std::string("Connecting... "), nullptr, true, false, false);
    EXPECT_EQ(gumpModal(), box);
    EXPECT_EQ(gumpListHead(), box);
    EXPECT_TRUE(box->isLarge());
    EXPECT_EQ(box->width(), 320 + 2 * 10);
    EXPECT_EQ(box->height(), 200 + 2 * 10);
    EXPECT_EQ(box->x(), 320 - box->width() / 2) << "centred on the front end's screen";
    for (auto [x, y] : { std::pair { 0, 0 }, std::pair { 639, 479 }, std::pair { 320, 240 } }) {
        CGump* hit = gumpHitTest(x, y, nullptr, true);
        EXPECT_TRUE(hit == box || (hit && hit->parent() == box)) << x << "," << y;
    }
}

TEST_F(WaitingBox, ASmallBoxsTransparentCornersMissAndNothingElseIsHit)
{
    auto* below = new PageGump(0, 0, 640, 480, 0x0001);
    gumpLink(below, nullptr);
    WaitingGump* box = gumpShowWaiting(std::string("Verifying Account... "), nullptr, false, false, false);
    int32_t left = box->x();
    int32_t top = box->y();
    // The frame's corner piece has a transparent corner pixel.
    EXPECT_EQ(gumpHitTest(left, top, nullptr, true), nullptr);
    EXPECT_EQ(gumpHitTest(left + 3, top + 3, nullptr, true), box);
    EXPECT_EQ(gumpHitTest(5, 5, nullptr, true), nullptr);
}

TEST_F(WaitingBox, EnterClosesTheBoxAndShowsTheCoveredGumpAgain)
{
    auto* login = new PageGump(0, 0, 100, 100, 0x0001);
    gumpLink(login, nullptr);
    login->setVisible(false);
    WaitingGump* box = gumpShowWaiting(std::string("Connecting... "), login, false, false, false);
    GumpHandle handle(box);
    EXPECT_EQ(gumpFocus(), box);
    box->onKey(27);
    EXPECT_TRUE(handle) << "only Enter presses the button";
    box->onKey(13);
    EXPECT_FALSE(handle);
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(gumpModal(), nullptr);
    EXPECT_EQ(frontEnd.logouts, 0);
    ASSERT_FALSE(frontEnd.forgotten.empty());
    EXPECT_EQ(frontEnd.forgotten.front(), box);
}

TEST_F(WaitingBox, EnterWithReturnToMenuLogsOut)
{
    WaitingGump* box = gumpShowWaiting(std::string("Login failed"), nullptr, false, true, false);
    box->onKey(13);
    EXPECT_EQ(frontEnd.logouts, 1);
}

TEST_F(WaitingBox, ItsButtonClosesItFromInsideItsOwnRelease)
{
    WaitingGump* box = gumpShowWaiting(std::u16string(u"Wait"), nullptr, false, false, false);
    auto* button = static_cast<Button*>(box->firstChild());
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->is(GumpKind::Button));
    GumpHandle handle(box);
    pointer.capture = button;
    button->onLeftDown(1, 1);
    button->onLeftUp(1, 1);
    EXPECT_FALSE(handle);
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(WaitingBox, TheFocusGoesBackToTheEntryThatHadIt)
{
    struct Entry : PageGump {
        Entry()
            : PageGump(0, 0, 50, 20, 0x0001)
        {
            addKind(GumpKind::InputControl);
        }
        void kindAction() override { ++redraws; }
        int32_t redraws = 0;
    };
    auto* entry = new Entry;
    gumpLink(entry, nullptr);
    gumpSetFocus(entry);
    WaitingGump* box = gumpShowWaiting(std::string("x"), nullptr, false, false, false);
    EXPECT_EQ(gumpFocus(), box);
    EXPECT_EQ(entry->focusLost, 1);
    closeGump(box);
    EXPECT_EQ(gumpFocus(), entry);
    EXPECT_EQ(entry->redraws, 1) << "the entry redraws with its caret";
}

TEST_F(WaitingBox, ACoveredGumpDestroyedFirstIsForgotten)
{
    auto* login = new PageGump(0, 0, 100, 100, 0x0001);
    gumpLink(login, nullptr);
    WaitingGump* box = gumpShowWaiting(std::string("x"), login, false, false, false);
    closeGump(login);
    EXPECT_EQ(box->coveredGump(), nullptr);
    box->onCancel();
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(WaitingBox, TheBusyCountIsBalanced)
{
    WaitingGump::Options options;
    options.busy = true;
    options.large = true;
    auto* box = new WaitingGump(std::string("Please wait"), options);
    gumpLink(box, nullptr);
    EXPECT_EQ(pointer.busy, 1);
    EXPECT_EQ(pointer.cursorKind, WaitingGump::kBusyCursorKind);
    closeGump(box);
    EXPECT_EQ(pointer.busy, 0);

    options.large = false;
    auto* small = new WaitingGump(std::string("Please wait"), options);
    gumpLink(small, nullptr);
    EXPECT_EQ(pointer.busy, 0) << "only a large busy box shows the busy cursor";
    closeGump(small);
    EXPECT_EQ(pointer.busy, 0);
}

TEST_F(WaitingBox, OnlyASmallBoxMovesWhenDragged)
{
    WaitingGump* large = gumpShowWaiting(std::string("x"), nullptr, true, false, false);
    int32_t x = large->x();
    large->onLeftDown(10, 10);
    large->onDrag(40, 50);
    EXPECT_EQ(large->x(), x);
    large->onLeftUp(40, 50);
    closeGump(large);

    WaitingGump* small = gumpShowWaiting(std::string("x"), nullptr, false, false, false);
    x = small->x();
    int32_t y = small->y();
    small->onLeftDown(10, 10);
    small->onDrag(40, 50);
    EXPECT_EQ(small->x(), x + 30);
    EXPECT_EQ(small->y(), y + 40);
    small->onLeftUp(40, 50);
    EXPECT_FALSE(small->isDragging());
}

TEST_F(WaitingBox, TextLongerThanTheBoxHoldsIsCut)
{
    WaitingGump* wide = gumpShowWaiting(std::u16string(4000, u'w'), nullptr, true, false, false);
    EXPECT_EQ(wide->wideText().size(), WaitingGump::kMaxWideText);
    closeGump(wide);
    WaitingGump* narrow = gumpShowWaiting(std::string(4080, 'n'), nullptr, true, false, false);
    EXPECT_EQ(narrow->narrowText().size(), WaitingGump::kMaxNarrowText);
}

} // namespace
