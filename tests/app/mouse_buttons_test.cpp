#include "app/mouse_buttons.h"
#include "app/pointer.h"
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

struct FakeGump {
    explicit FakeGump(std::string gumpName, int32_t x = 0, int32_t y = 0, int32_t w = 100, int32_t h = 100)
        : name(std::move(gumpName))
        , left(x)
        , top(y)
        , width(w)
        , height(h)
    {
    }
    std::string name;
    int32_t left = 0, top = 0, width = 100, height = 100;
    bool valid = true;
    bool visible = true;
    bool bark = false;
    bool wantsLeave = false;
    FakeGump* parent = nullptr;
    std::map<std::pair<int32_t, int32_t>, uint32_t> items; // container items by local point
};

CGump* handle(FakeGump& gump) { return reinterpret_cast<CGump*>(&gump); }
FakeGump& fake(CGump* gump) { return *reinterpret_cast<FakeGump*>(gump); }

struct FakeItem {
    explicit FakeItem(uint32_t itemSerial)
        : serial(itemSerial)
    {
    }
    uint32_t serial;
    bool valid = true;
};

WorldObject* handle(FakeItem& item) { return reinterpret_cast<WorldObject*>(&item); }

// A gump manager and world picker that record every call they get.
class FakeTargets final : public PointerTargets {
public:
    bool isValid(CGump* gump) override { return fake(gump).valid; }
    void toLocal(CGump* gump, int32_t& x, int32_t& y) override
    {
        x -= fake(gump).left;
        y -= fake(gump).top;
    }
    CGump* parentOf(CGump* gump) override { return fake(gump).parent ? handle(*fake(gump).parent) : nullptr; }
    CGump* hitTest(int32_t x, int32_t y, GumpHitMode mode) override
    {
        for (FakeGump* gump : stack) {
            if (mode == GumpHitMode::SkipBarks && gump->bark)
                continue;
            if (inside(*gump, x, y))
                return handle(*gump);
        }
        return nullptr;
    }
    CGump* modalGump() override { return modal ? handle(*modal) : nullptr; }
    std::vector<CGump*> topLevelGumps() override
    {
        std::vector<CGump*> list;
        for (FakeGump* gump : stack)
            list.push_back(handle(*gump));
        return list;
    }
    bool isVisible(CGump* gump) override { return fake(gump).visible; }
    bool containsPoint(CGump* gump, int32_t x, int32_t y) override { return inside(fake(gump), x, y); }
    bool isBark(CGump* gump) override { return fake(gump).bark; }
    CGump* childAt(CGump* gump, int32_t, int32_t) override { return gump; }
    bool wantsLeaveNotice(CGump* gump) override { return fake(gump).wantsLeave; }
    uint32_t containerItemAt(CGump* gump, int32_t x, int32_t y) override
    {
        auto found = fake(gump).items.find({ x, y });
        return found == fake(gump).items.end() ? 0 : found->second;
    }
    CGump* hoveredGump() override { return hovered; }
    void setHoveredGump(CGump* gump) override { hovered = gump; }
    void leftDown(CGump* gump, int32_t x, int32_t y) override { record("leftDown", gump, x, y); }
    void leftUp(CGump* gump, int32_t x, int32_t y) override { record("leftUp", gump, x, y); }
    void rightDown(CGump* gump, int32_t x, int32_t y) override { record("rightDown", gump, x, y); }
    void rightUp(CGump* gump, int32_t x, int32_t y) override { record("rightUp", gump, x, y); }
    void drag(CGump* gump, int32_t x, int32_t y) override { record("drag", gump, x, y); }
    void mouseOver(CGump* gump, int32_t x, int32_t y) override { record("mouseOver", gump, x, y); }
    void mouseLeave(CGump* gump) override { record("mouseLeave", gump, 0, 0); }
    void hoverTick(CGump*) override { }
    CGump* helpPopup() override { return popup ? handle(*popup) : nullptr; }
    void helpPopupRect(int32_t& left, int32_t& top, int32_t& width, int32_t& height) override
    {
        left = popup->left, top = popup->top, width = popup->width, height = popup->height;
    }
    void closeHelpPopup() override
    {
        ++popupCloses;
        popup = nullptr;
    }
    void closeContextPopupUnlessOn(int32_t, int32_t) override { }
    uint32_t pickDynamicObjectAt(int32_t x, int32_t y) override
    {
        auto found = world.find({ x, y });
        return found == world.end() ? 0 : found->second;
    }
    WorldObject* pickHoverItem(int32_t, int32_t) override { return hoverItem ? handle(*hoverItem) : nullptr; }
    bool isValidObject(WorldObject* object) override { return reinterpret_cast<FakeItem*>(object)->valid; }
    uint32_t serialOf(WorldObject* object) override { return reinterpret_cast<FakeItem*>(object)->serial; }
    void sendObjectHelpRequest(uint32_t serial) override { helpRequests.push_back(serial); }
    CGump* highlightedWindow() override { return nullptr; }
    void clearHighlight() override { }
    bool isShiftHeld() override { return shift; }

    static bool inside(const FakeGump& g, int32_t x, int32_t y)
    {
        return x >= g.left && x < g.left + g.width && y >= g.top && y < g.top + g.height;
    }
    void record(const char* what, CGump* gump, int32_t x, int32_t y)
    {
        calls.push_back(std::string(what) + " " + fake(gump).name + " " + std::to_string(x) + "," + std::to_string(y));
    }

    std::vector<FakeGump*> stack; // topmost first
    FakeGump* modal = nullptr;
    FakeGump* popup = nullptr;
    CGump* hovered = nullptr;
    FakeItem* hoverItem = nullptr;
    std::map<std::pair<int32_t, int32_t>, uint32_t> world;
    std::vector<std::string> calls;
    std::vector<uint32_t> helpRequests;
    int popupCloses = 0;
    bool shift = false;
};

class Buttons : public ::testing::Test {
protected:
    Buttons()
        : clock(1000)
        , guard(clock)
        , buttons(targets)
    {
        initPointerState();
    }
    ~Buttons() override { releasePointerState(); }
    // One input tick with the pointer at (x, y), then `ms` pass.
    void tick(int32_t x, int32_t y, uint32_t ms = 50)
    {
        movePointerTo(x, y);
        buttons.updatePointer();
        clock.advance(ms);
    }

    platform::FakeClock clock;
    platform::ScopedClock guard;
    FakeTargets targets;
    MouseButtons buttons;
};

TEST_F(Buttons, LeftPressCapturesTheGumpAndReleaseKeepsIt)
{
    FakeGump window { "window", 10, 20, 100, 100 };
    targets.stack = { &window };
    buttons.onLeftButtonDown(15, 30);
    buttons.onLeftButtonUp(200, 300);
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "leftDown window 5,10", "leftUp window 190,280" }));
    EXPECT_EQ(buttons.captureGump(), handle(window));
    buttons.releasePointerCaptureIf(handle(window));
    EXPECT_EQ(buttons.captureGump(), nullptr);
}

TEST_F(Buttons, CaptureOfAnInvalidGumpIsDropped)
{
    FakeGump window { "window" };
    buttons.setPointerCapture(handle(window));
    window.valid = false;
    buttons.onLeftButtonUp(5, 5);
    EXPECT_EQ(buttons.captureGump(), nullptr);
    EXPECT_TRUE(targets.calls.empty());
    buttons.setPointerCapture(handle(window));
    EXPECT_EQ(buttons.captureGump(), nullptr);
}

TEST_F(Buttons, LeftPressRecordsTheObjectUnderIt)
{
    targets.world[{ 300, 300 }] = 0x40000123;
    buttons.onLeftButtonDown(300, 300);
    EXPECT_EQ(buttons.getPressedObject(), 0x40000123u);
    int32_t x = 0;
    int32_t y = 0;
    buttons.getPressPosition(x, y);
    EXPECT_EQ(x, 300);
    buttons.onLeftButtonUp(300, 300);
    buttons.onLeftButtonDown(301, 300); // nothing (or a static) there
    EXPECT_EQ(buttons.getPressedObject(), 0u);

    FakeGump bag { "bag", 0, 0, 50, 50 };
    bag.items[{ 5, 6 }] = 0x40000777;
    targets.stack = { &bag };
    buttons.onLeftButtonUp(0, 0);
    buttons.releasePointerCaptureIf(buttons.captureGump());
    buttons.onLeftButtonDown(5, 6);
    EXPECT_EQ(buttons.getPressedObject(), 0x40000777u);
}

TEST_F(Buttons, RightPressOverABarkFallsThrough)
{
    FakeGump bark { "bark", 0, 0, 100, 100 };
    bark.bark = true;
    FakeGump below { "below", 0, 0, 200, 200 };
    targets.stack = { &bark, &below };
    buttons.onRightButtonDown(10, 10);
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "rightDown below 10,10" }));
}

TEST_F(Buttons, RightPressWithAModalGumpGoesOnlyToIt)
{
    FakeGump modal { "modal", 50, 50, 10, 10 };
    FakeGump other { "other", 0, 0, 200, 200 };
    targets.stack = { &other };
    targets.modal = &modal;
    EXPECT_EQ(buttons.findRightClickGump(5, 5), nullptr);
    EXPECT_EQ(buttons.findRightClickGump(55, 55), handle(modal));
}

TEST_F(Buttons, HelpPopupClosesOnlyOnAReleaseStrictlyInside)
{
    FakeGump popup { "popup", 100, 100, 50, 50 };
    targets.popup = &popup;
    buttons.onRightButtonUp(100, 120); // on the border
    EXPECT_EQ(targets.popupCloses, 0);
    buttons.onRightButtonUp(101, 120);
    EXPECT_EQ(targets.popupCloses, 1);
}

struct PopupHoverCase {
    const char* name;
    int32_t x, y; // pointer position at the input tick
    bool sticky;
    bool captureOnChild;
    bool closes;
};

class PopupHover : public testing::TestWithParam<PopupHoverCase> { };

// At each input tick the help popup goes once the pointer is off it, unless
// it is sticky or a child of it holds the capture.
TEST_P(PopupHover, ClosesWhenThePointerLeavesIt)
{
    const PopupHoverCase& c = GetParam();
    platform::FakeClock clock(1000);
    platform::ScopedClock guard(clock);
    initPointerState();
    FakeTargets targets;
    MouseButtons buttons(targets);
    FakeGump popup { "popup", 100, 100, 50, 50 };
    FakeGump child { "child", 110, 110, 10, 10 };
    child.parent = &popup;
    targets.popup = &popup;
    buttons.hoverHelpSettings().sticky = c.sticky;
    if (c.captureOnChild)
        buttons.setPointerCapture(handle(child));
    movePointerTo(c.x, c.y);
    buttons.updatePointer();
    EXPECT_EQ(targets.popupCloses, c.closes ? 1 : 0);
    releasePointerState();
}

INSTANTIATE_TEST_SUITE_P(Cases, PopupHover,
    testing::Values(PopupHoverCase { "Inside", 120, 120, false, false, false },
        PopupHoverCase { "OnTheBorder", 100, 120, false, false, true },
        PopupHoverCase { "Outside", 300, 300, false, false, true },
        PopupHoverCase { "OutsideButSticky", 300, 300, true, false, false },
        PopupHoverCase { "OutsideWhileAChildHoldsTheCapture", 300, 300, false, true, false }),
    [](const testing::TestParamInfo<PopupHoverCase>& param) { return std::string(param.param.name); });

TEST_F(Buttons, LeftReleaseOnAHelpPopupChildUsesClientCoordinatesAndEndsTheCapture)
{
    FakeGump popup { "popup", 100, 100, 50, 50 };
    FakeGump child { "child", 110, 110, 10, 10 };
    child.parent = &popup;
    targets.popup = &popup;
    buttons.setPointerCapture(handle(child));
    buttons.onLeftButtonUp(112, 113);
    EXPECT_EQ(targets.calls, (std::vector<std::string> { "leftUp child 112,113" }));
    EXPECT_EQ(buttons.captureGump(), nullptr);
}

TEST_F(Buttons, Resting1000MsOnAnItemSendsOneHelpRequest)
{
    FakeItem item { 0x40000042 };
    targets.hoverItem = &item;
    for (int i = 0; i < 60; ++i)
        tick(200, 200);
    EXPECT_EQ(targets.helpRequests, (std::vector<uint32_t> { 0x40000042 }));
}

TEST_F(Buttons, MovingInTheWaitDoesNotRestartIt)
{
    FakeItem item { 7 };
    targets.hoverItem = &item;
    tick(200, 200); // state 0 -> 1 at t = 1000
    for (int i = 0; i < 19; ++i)
        tick(200 + i, 200); // moving for 950 ms
    EXPECT_TRUE(targets.helpRequests.empty());
    tick(300, 300); // t = 2000: moved, so the position is stored
    tick(300, 300); // standing still, 1050 ms after the wait began
    tick(300, 300);
    EXPECT_EQ(targets.helpRequests, (std::vector<uint32_t> { 7 }));
}

TEST_F(Buttons, NoResendForTheSameItemUntilItIsForgotten)
{
    FakeItem item { 9 };
    targets.hoverItem = &item;
    for (int i = 0; i < 150; ++i)
        tick(200, 200);
    EXPECT_EQ(targets.helpRequests.size(), 1u);
    targets.hoverItem = nullptr; // the pointer leaves it
    tick(200, 200);
    targets.hoverItem = &item;
    for (int i = 0; i < 60; ++i)
        tick(200, 200);
    EXPECT_EQ(targets.helpRequests.size(), 2u);
}

TEST_F(Buttons, AnItemNoLongerValidIsForgottenWithoutARequest)
{
    FakeItem item { 11 };
    targets.hoverItem = &item;
    tick(200, 200);
    item.valid = false;
    for (int i = 0; i < 60; ++i)
        tick(200, 200);
    EXPECT_TRUE(targets.helpRequests.empty());
}

TEST_F(Buttons, LeaveNoticeAndHoverMove)
{
    FakeGump left { "left", 0, 0, 50, 50 };
    left.wantsLeave = true;
    FakeGump right { "right", 100, 0, 50, 50 };
    targets.stack = { &left, &right };
    tick(10, 10);
    targets.calls.clear();
    tick(110, 10);
    EXPECT_EQ(targets.calls,
        (std::vector<std::string> { "mouseOver left -1,-1", "mouseLeave left 0,0", "mouseOver right 10,10" }));
}

} // namespace
