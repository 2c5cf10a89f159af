// The gump base: hit tests, positions, moving, raising, the destructor's
// duties and deletion safety.
#include "gump_test_support.h"

#include "gump/button.h"
#include "gump/gump_factory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

// Links a new page gump under `parent` (the desktop when null).
PageGump* addGump(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, uint16_t colour, int32_t hole = 0)
{
    auto* gump = new PageGump(x, y, width, height, colour, hole);
    gumpLink(gump, parent);
    return gump;
}

using GumpBase = Desktop;

struct HitCase {
    const char* name;
    // Builds the desktop and names the gump the point must hit (null: none).
    std::function<CGump*()> build;
    int32_t x;
    int32_t y;
};

class HitTestTable : public GumpBase, public testing::WithParamInterface<HitCase> { };

TEST_P(HitTestTable, FindsTheGumpUnderThePoint)
{
    CGump* expected = GetParam().build();
    EXPECT_EQ(gumpHitTest(GetParam().x, GetParam().y, nullptr, false), expected);
}

std::vector<HitCase> hitCases()
{
    return {
        { "OpaquePixelHits", [] { return addGump(nullptr, 10, 10, 20, 20, 0x1234); }, 15, 15 },
        { "ColourKeyedZeroMisses",
            [] {
                addGump(nullptr, 10, 10, 20, 20, 0x1234, 3);
                return nullptr;
            },
            11, 11 },
        { "ZeroFallsThroughToTheGumpBelow",
            [] {
                CGump* below = addGump(nullptr, 0, 0, 50, 50, 0x0001);
                addGump(nullptr, 10, 10, 20, 20, 0x1234, 3);
                return below;
            },
            11, 11 },
        { "NotColourKeyedZeroHits",
            [] {
                PageGump* gump = addGump(nullptr, 10, 10, 20, 20, 0x1234, 3);
                gump->colourKeyed = false;
                return gump;
            },
            11, 11 },
        { "RightAndBottomEdgesAreOutside", [] { addGump(nullptr, 10, 10, 20, 20, 0x1234); return nullptr; }, 30, 29 },
        { "DeepestChildWins",
            [] {
                CGump* parent = addGump(nullptr, 10, 10, 100, 100, 0x0001);
                CGump* child = addGump(parent, 10, 10, 30, 30, 0x0002);
                return static_cast<CGump*>(addGump(child, 5, 5, 10, 10, 0x0003));
            },
            26, 26 },
        { "ChildOfAnotherGroupIsNeverHit",
            [] {
                CGump* parent = addGump(nullptr, 10, 10, 100, 100, 0x0001);
                parent->setGroup(1);
                addGump(parent, 10, 10, 30, 30, 0x0002)->setGroup(2);
                return parent;
            },
            25, 25 },
        { "ChildOfGroupZeroIsAlwaysEligible",
            [] {
                CGump* parent = addGump(nullptr, 10, 10, 100, 100, 0x0001);
                parent->setGroup(1);
                return static_cast<CGump*>(addGump(parent, 10, 10, 30, 30, 0x0002));
            },
            25, 25 },
        { "ChildOfTheSameGroupIsHit",
            [] {
                CGump* parent = addGump(nullptr, 10, 10, 100, 100, 0x0001);
                parent->setGroup(2);
                PageGump* child = addGump(parent, 10, 10, 30, 30, 0x0002);
                child->setGroup(2);
                return static_cast<CGump*>(child);
            },
            25, 25 },
        { "HiddenChildIsPassedOver",
            [] {
                CGump* parent = addGump(nullptr, 10, 10, 100, 100, 0x0001);
                addGump(parent, 10, 10, 30, 30, 0x0002)->setVisible(false);
                return parent;
            },
            25, 25 },
        { "NoHitGumpIsPassedOver",
            [] {
                CGump* below = addGump(nullptr, 0, 0, 50, 50, 0x0001);
                addGump(nullptr, 0, 0, 50, 50, 0x0002)->setNoHit(true);
                return below;
            },
            5, 5 },
        { "HiddenGumpIsPassedOver",
            [] {
                CGump* below = addGump(nullptr, 0, 0, 50, 50, 0x0001);
                addGump(nullptr, 0, 0, 50, 50, 0x0002)->setVisible(false);
                return below;
            },
            5, 5 },
        { "ArtFaceHitsItsOpaquePixels",
            [] {
                auto* gump = new CGump(40, 40, nullptr, 0, 0, 0);
                gump->setArtId(100);
                gumpLink(gump, nullptr);
                return gump;
            },
            44, 45 },
        { "ArtFaceMissesItsTransparentCorner",
            [] {
                auto* gump = new CGump(40, 40, nullptr, 0, 0, 0);
                gump->setArtId(100);
                gumpLink(gump, nullptr);
                return nullptr;
            },
            40, 40 },
        { "PageNeverMadeIsNeverHit",
            [] {
                gumpLink(new CGump(0, 0, nullptr, 1, 30, 30), nullptr);
                return nullptr;
            },
            5, 5 },
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, HitTestTable, testing::ValuesIn(hitCases()),
    [](const testing::TestParamInfo<HitCase>& param) { return std::string(param.param.name); });

TEST_F(GumpBase, AnInvalidChildEndsTheChildWalk)
{
    CGump* parent = addGump(nullptr, 0, 0, 100, 100, 0x0001);
    PageGump* lowest = addGump(parent, 50, 50, 20, 20, 0x0003);
    PageGump* dead = addGump(parent, 0, 0, 10, 10, 0x0002);
    addGump(parent, 80, 0, 10, 10, 0x0004);
    // A child that went invalid while still linked: the walk cannot trust
    // anything after it.
    dead->retire();
    EXPECT_EQ(gumpHitTest(55, 55, nullptr, false), nullptr);
    delete dead;
    EXPECT_EQ(gumpHitTest(55, 55, nullptr, false), lowest);
}

TEST_F(GumpBase, ScreenPositionAddsAncestorsAndTheGameViewOnce)
{
    struct InGameView : PageGump {
        using PageGump::PageGump;
        bool isInGameView() override { return true; }
    };
    GumpScreen screen = gumpScreen();
    screen.gameViewX = 7;
    screen.gameViewY = 3;
    gumpSetScreen(screen);
    auto* top = new InGameView(100, 50, 80, 80, 0x0001);
    gumpLink(top, nullptr);
    auto* child = new InGameView(10, 20, 10, 10, 0x0002);
    gumpLink(child, top);
    int32_t x = 1;
    int32_t y = 2;
    child->localToScreen(x, y);
    EXPECT_EQ(x, 1 + 10 + 100 + 7);
    EXPECT_EQ(y, 2 + 20 + 50 + 3);
    child->screenToLocal(x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

TEST_F(GumpBase, MovingKeepsFiftyPixelsOnScreen)
{
    PageGump* wide = addGump(nullptr, 0, 100, 300, 40, 0x0001);
    wide->moveTo(630, 100, true, nullptr, true);
    EXPECT_EQ(wide->x(), 590);
    wide->moveTo(-400, -100, true, nullptr, true);
    EXPECT_EQ(wide->x(), -250);
    EXPECT_EQ(wide->y(), 0) << "a gump 40 high keeps all of itself on screen";
    PageGump* small = addGump(nullptr, 0, 0, 20, 20, 0x0001);
    small->moveTo(700, 500, true, nullptr, true);
    EXPECT_EQ(small->x(), 620);
    EXPECT_EQ(small->y(), 460);
    small->moveTo(700, 500, true, nullptr, false);
    EXPECT_EQ(small->x(), 700) << "without the rule it goes anywhere";
}

TEST_F(GumpBase, TheDirtyRectangleCoversOldAndNewPlacesClippedToTheRealScreen)
{
    resizeScreen(800, 600);
    PageGump* gump = addGump(nullptr, 700, 500, 60, 50, 0x0001);
    ScreenRect dirty {};
    gump->moveBy(30, 40, true, &dirty, false);
    EXPECT_EQ(dirty, (ScreenRect { 700, 500, 790, 590 }));
    dirty = {};
    gump->moveBy(20, 20, true, &dirty, false);
    EXPECT_EQ(dirty, (ScreenRect { 730, 540, 800, 600 })) << "the last column and row of an 800 x 600 screen";
}

TEST_F(GumpBase, ChildrenFollowTheirParentAndAttachedTextsMoveAlong)
{
    struct AttachedText : PageGump {
        AttachedText(CGump* to)
            : PageGump(0, 0, 10, 10, 0x0002)
            , target(to)
        {
            addKind(GumpKind::OverheadText);
        }
        CGump* attachedGump() override { return target; }
        CGump* target;
    };
    PageGump* window = addGump(nullptr, 100, 100, 50, 50, 0x0001);
    PageGump* child = addGump(window, 5, 5, 10, 10, 0x0003);
    auto* text = new AttachedText(window);
    text->setLocation(100, 90);
    gumpLink(text, nullptr);
    ScreenRect dirty {};
    window->moveBy(10, -5, true, &dirty, false);
    EXPECT_EQ(child->x(), 5) << "relative to its parent";
    EXPECT_EQ(child->screenRect(), (ScreenRect { 115, 100, 125, 110 }));
    EXPECT_EQ(text->x(), 110);
    EXPECT_EQ(text->y(), 85);
    EXPECT_EQ(dirty, (ScreenRect { 100, 85, 160, 150 }));
}

TEST_F(GumpBase, ClampToScreenPutsTheTopBelowTheTitleLine)
{
    auto* gump = new CGump(-5, -5, nullptr, 0, 0, 0);
    gump->setArtId(60);
    gumpLink(gump, nullptr);
    gump->clampToScreen();
    EXPECT_EQ(gump->x(), 0);
    EXPECT_EQ(gump->y(), 20);
    gump->setLocation(600, 400);
    gump->clampToScreen();
    EXPECT_EQ(gump->x(), 640 - 150);
    EXPECT_EQ(gump->y(), 480 - 120);
}

TEST_F(GumpBase, DockingOutsideTheGameAreaPicksTheNearerSide)
{
    resizeScreen(1024, 768);
    auto* gump = new CGump(600, 100, nullptr, 0, 0, 0);
    gump->setArtId(9);
    gumpLink(gump, nullptr);
    gump->placeOutsideGameArea();
    EXPECT_EQ(gump->x(), 645) << "closer to the right edge of the game area";
    EXPECT_EQ(gump->y(), 100);
    gump->setLocation(100, 400);
    gump->placeOutsideGameArea();
    EXPECT_EQ(gump->x(), 100);
    EXPECT_EQ(gump->y(), 485) << "closer to the bottom";
}

TEST_F(GumpBase, BringToFrontRules)
{
    PageGump* first = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    PageGump* second = addGump(nullptr, 0, 0, 10, 10, 0x0002);
    ASSERT_EQ(gumpListHead(), second);
    first->bringToFront(false);
    EXPECT_EQ(gumpListHead(), first);
    EXPECT_EQ(gumpListTail(), second);
    EXPECT_EQ(first->next(), second);
    EXPECT_EQ(second->previous(), first);

    // Already first: no link changes.
    first->bringToFront(false);
    EXPECT_EQ(gumpListHead(), first);
    EXPECT_EQ(first->previous(), nullptr);
    EXPECT_EQ(second->next(), nullptr);

    // Character creation is never raised.
    PageGump* creation = addGump(nullptr, 0, 0, 10, 10, 0x0003);
    creation->addKind(GumpKind::CharCreation);
    first->bringToFront(false);
    creation->bringToFront(false);
    EXPECT_EQ(gumpListHead(), first);

    // Children are raised within their parent.
    PageGump* a = addGump(first, 0, 0, 5, 5, 0x0004);
    PageGump* b = addGump(first, 0, 0, 5, 5, 0x0005);
    a->bringToFront(false);
    EXPECT_EQ(first->firstChild(), a);
    EXPECT_EQ(first->lastChild(), b);
}

TEST_F(GumpBase, RaisingReleasesTheFocusUnlessItIsOwnChildOrKept)
{
    PageGump* window = addGump(nullptr, 0, 0, 50, 50, 0x0001);
    PageGump* entry = addGump(window, 0, 0, 10, 10, 0x0002);
    PageGump* other = addGump(nullptr, 0, 0, 50, 50, 0x0003);
    gumpSetFocus(entry);
    window->bringToFront(false);
    EXPECT_EQ(gumpFocus(), entry) << "the focus is the window's own child";
    other->bringToFront(true);
    EXPECT_EQ(gumpFocus(), entry) << "kept on purpose";
    other->bringToFront(false);
    EXPECT_EQ(gumpFocus(), nullptr);
    EXPECT_EQ(entry->focusLost, 1);
}

TEST_F(GumpBase, RaisingAGumpRaisesItsAttachedTextsAndAShopItsBill)
{
    struct Text : PageGump {
        explicit Text(CGump* to)
            : PageGump(0, 0, 5, 5, 0x0002)
            , target(to)
        {
            addKind(GumpKind::OverheadText);
        }
        CGump* attachedGump() override { return target; }
        CGump* target;
    };
    struct Shop : PageGump {
        Shop()
            : PageGump(0, 0, 5, 5, 0x0003)
        {
            addKind(GumpKind::ShopGump);
        }
        CGump* partnerGump() override { return bill; }
        CGump* bill = nullptr;
    };
    auto* shop = new Shop;
    gumpLink(shop, nullptr);
    auto* lowText = new Text(shop);
    gumpLink(lowText, nullptr);
    auto* highText = new Text(shop);
    gumpLink(highText, nullptr);
    PageGump* bill = addGump(nullptr, 0, 0, 5, 5, 0x0004);
    shop->bill = bill;
    PageGump* cover = addGump(nullptr, 0, 0, 5, 5, 0x0005);
    shop->bringToFront(false);
    // The bill is raised last, the texts above the shop in their order.
    std::vector<CGump*> order;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        order.push_back(gump);
    EXPECT_EQ(order, (std::vector<CGump*> { bill, highText, lowText, shop, cover }));
}

TEST_F(GumpBase, TooltipOfTheBaseComesFromItsIdOrItsArt)
{
    auto* gump = new CGump(0, 0, nullptr, 0, 10, 10);
    gumpLink(gump, nullptr);
    EXPECT_TRUE(gump->getTooltipText(0, 0).isEmpty()) << "no id and no art";
    gump->setTooltipId(-1);
    EXPECT_TRUE(gump->getTooltipText(0, 0).isEmpty());
}

TEST_F(GumpBase, DestroyingAParentDeletesItsChildrenWithoutFocusLostActions)
{
    PageGump* window = addGump(nullptr, 0, 0, 50, 50, 0x0001);
    PageGump* entry = addGump(window, 0, 0, 10, 10, 0x0002);
    addGump(window, 20, 0, 10, 10, 0x0003);
    int32_t childrenDestroyed = 0;
    entry->onDestroy = [&childrenDestroyed](PageGump*) { ++childrenDestroyed; };
    gumpSetFocus(entry);
    pointer.capture = entry;
    gumpSetHovered(entry);
    GumpHandle handle(entry);
    int32_t focusLostBefore = entry->focusLost;
    closeGump(window);
    EXPECT_EQ(childrenDestroyed, 1);
    EXPECT_FALSE(handle);
    EXPECT_EQ(gumpFocus(), nullptr);
    EXPECT_EQ(pointer.capture, nullptr);
    EXPECT_EQ(gumpHovered(), nullptr);
    EXPECT_EQ(gumpListHead(), nullptr);
    EXPECT_EQ(gumpListTail(), nullptr);
    EXPECT_EQ(focusLostBefore, 0);
}

TEST_F(GumpBase, ADestroyedGumpsHandleStaysEmptyWhenANewGumpTakesItsAddress)
{
    PageGump* first = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    GumpHandle handle(first);
    closeGump(first);
    // Whatever the allocator hands out next, the old handle never names it.
    std::vector<PageGump*> made;
    for (int i = 0; i < 16; ++i)
        made.push_back(addGump(nullptr, 0, 0, 10, 10, 0x0002));
    EXPECT_FALSE(handle);
    gumpSetModal(made.back());
    closeGump(made.back());
    EXPECT_EQ(gumpModal(), nullptr) << "a destroyed modal gump is never taken for a new one";
}

// Deletion safety: a handler that destroys its own gump, its parent or the
// next gump of a walk.

void closeParent(CGump* parent) { closeGump(parent); }

TEST_F(GumpBase, ACloseButtonClosingItsWindowTouchesNothingAfterwards)
{
    PageGump* window = addGump(nullptr, 0, 0, 100, 100, 0x0001);
    auto* close = new Button(10, 10, ButtonBehaviour::ClickOnRelease, 0, closeParent, 100, 101, false);
    gumpLink(close, window);
    auto* toggle = new Button(30, 10, ButtonBehaviour::Toggle, 0, closeParent, 100, 101, false);
    gumpLink(toggle, window);
    GumpHandle windowHandle(window);
    pointer.capture = close;
    close->onLeftDown(1, 1);
    close->onLeftUp(1, 1);
    EXPECT_FALSE(windowHandle);
    EXPECT_EQ(gumpListHead(), nullptr);
    EXPECT_EQ(pointer.capture, nullptr);
}

TEST_F(GumpBase, AToggleWhoseCallbackClosesTheWindowDoesNotReportTheChange)
{
    struct CountingWindow : PageGump {
        using PageGump::PageGump;
        void onControlChanged(CGump*) override { ++changes; }
        int changes = 0;
    };
    auto* window = new CountingWindow(0, 0, 100, 100, 0x0001);
    gumpLink(window, nullptr);
    auto* toggle = new Button(30, 10, ButtonBehaviour::Toggle, 0, closeParent, 100, 101, false);
    gumpLink(toggle, window);
    toggle->onLeftDown(1, 1);
    toggle->onLeftUp(1, 1);
    EXPECT_EQ(gumpListHead(), nullptr);

    auto* kept = new CountingWindow(0, 0, 100, 100, 0x0001);
    gumpLink(kept, nullptr);
    auto* plain = new Button(30, 10, ButtonBehaviour::Toggle, 0, nullptr, 100, 101, false);
    gumpLink(plain, kept);
    plain->onLeftUp(1, 1);
    EXPECT_EQ(kept->changes, 1);
    EXPECT_EQ(plain->currentPage(), 1);
}

TEST_F(GumpBase, ATickThatClosesTheNextGumpLetsThePassGoOn)
{
    PageGump* bottom = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    PageGump* middle = addGump(nullptr, 0, 0, 10, 10, 0x0002);
    PageGump* top = addGump(nullptr, 0, 0, 10, 10, 0x0003);
    std::vector<PageGump*> ticked;
    auto record = [&ticked](PageGump* gump) { ticked.push_back(gump); };
    bottom->onTick = record;
    top->onTick = [&](PageGump* gump) {
        record(gump);
        closeGump(middle);
    };
    gumpManagerUpdate();
    EXPECT_EQ(ticked, (std::vector<PageGump*> { top, bottom }));
}

TEST_F(GumpBase, ATickThatClosesItselfAndEveryOtherGumpEndsThePass)
{
    PageGump* bottom = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    PageGump* top = addGump(nullptr, 0, 0, 10, 10, 0x0003);
    int bottomTicks = 0;
    bottom->onTick = [&bottomTicks](PageGump*) { ++bottomTicks; };
    top->onTick = [](PageGump* gump) {
        closeGump(gump->next());
        closeGump(gump);
    };
    gumpManagerUpdate();
    EXPECT_EQ(bottomTicks, 0);
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(GumpBase, ACloseAllGoesOnWhenADestructorClosesAnotherGump)
{
    PageGump* a = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    PageGump* b = addGump(nullptr, 0, 0, 10, 10, 0x0002);
    PageGump* c = addGump(nullptr, 0, 0, 10, 10, 0x0003);
    PageGump* kept = addGump(nullptr, 0, 0, 10, 10, 0x0004);
    kept->closable = false;
    // Head to tail: kept, c, b, a. Closing c closes b (the next one) too.
    c->onDestroy = [b](PageGump*) { closeGump(b); };
    GumpHandle aHandle(a);
    gumpCloseAllClosableKinds();
    EXPECT_FALSE(aHandle);
    EXPECT_EQ(gumpListHead(), kept);
    EXPECT_EQ(gumpListTail(), kept);
}

TEST_F(GumpBase, ANestedCloseAllInsideADestructorLeavesTheOuterWalkSound)
{
    PageGump* a = addGump(nullptr, 0, 0, 10, 10, 0x0001);
    PageGump* b = addGump(nullptr, 0, 0, 10, 10, 0x0002);
    PageGump* c = addGump(nullptr, 0, 0, 10, 10, 0x0003);
    c->onDestroy = [](PageGump*) { missileGumpsCloseAll(); };
    b->addKind(GumpKind::Missile);
    (void)a;
    gumpCloseAllClosableKinds();
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(GumpBase, MinimiseAndRestoreGiveTheCellBack)
{
    PageGump* gump = addGump(nullptr, 300, 200, 40, 40, 0x0001);
    gump->minimize();
    EXPECT_TRUE(gump->isMinimised());
    EXPECT_EQ(gump->x(), 16);
    EXPECT_EQ(gump->y(), 16);
    gump->restore();
    EXPECT_EQ(gump->x(), 300);
    EXPECT_EQ(gump->minimiseCellX(), 0) << "the gump forgets the cell it gave back";
    PageGump* other = addGump(nullptr, 100, 100, 40, 40, 0x0002);
    other->minimize();
    EXPECT_EQ(other->minimiseCellX(), 16);
    gump->minimize();
    EXPECT_EQ(gump->minimiseCellY(), 80) << "two gumps never share a cell";
    closeGump(other);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(minimiseGridTakeCell(x, y));
    EXPECT_EQ(y, 16) << "the destroyed gump's cell is free again";
}

} // namespace
