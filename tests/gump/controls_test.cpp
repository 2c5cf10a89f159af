// Buttons, label buttons, thumbs and toggles.
#include "gump_test_support.h"

#include "gump/button.h"
#include "gump/thumb.h"
#include "gump/toggle_control.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::PageGump;

// A window that counts what its controls tell it.
class Window : public PageGump {
public:
    Window()
        : PageGump(100, 100, 200, 150, 0x0001)
    {
    }
    void onControlChanged(CGump*) override { ++changes; }
    // Its face is its page, which the tests never paint again.
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
    void onSlider(int32_t position, int32_t range, CGump*) override
    {
        lastPosition = position;
        lastRange = range;
        ++slides;
    }
    void onSliderReleased(int32_t position, int32_t, CGump*) override { releasedAt = position; }
    void onCommand(int32_t id) override { commands.push_back(id); }
    void fired() { ++fires; }

    int32_t changes = 0;
    int32_t slides = 0;
    int32_t lastPosition = -1;
    int32_t lastRange = -1;
    int32_t releasedAt = -1;
    int32_t fires = 0;
    std::vector<int32_t> commands;
};

class Controls : public Desktop {
protected:
    Controls()
    {
        window = new Window;
        gumpLink(window, nullptr);
    }

    template <typename Control>
    Control* add(Control* control)
    {
        gumpLink(control, window);
        return control;
    }

    Window* window;
};

TEST_F(Controls, ARepeatingButtonFiresOnPressThenAfterFiveTicksThenEveryTick)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::RepeatOnPress, 0, onParent<&Window::fired>, 100, 101, false));
    button->onLeftDown(1, 1);
    EXPECT_EQ(window->fires, 1);
    EXPECT_EQ(button->currentPage(), 1);
    for (int tick = 0; tick < 5; ++tick)
        button->onHoverTick();
    EXPECT_EQ(window->fires, 1) << "the delay";
    button->onHoverTick();
    EXPECT_EQ(window->fires, 2);
    button->onHoverTick();
    EXPECT_EQ(window->fires, 3);
    // Hovered and captured at once, it gets two ticks per update.
    button->onHoverTick();
    button->onHoverTick();
    EXPECT_EQ(window->fires, 5);
    button->onLeftUp(1, 1);
    EXPECT_EQ(window->fires, 5) << "the release does not fire";
    EXPECT_EQ(button->currentPage(), 0);
    button->onHoverTick();
    EXPECT_EQ(window->fires, 5);
}

TEST_F(Controls, AClickButtonFiresOnReleaseEvenAwayFromIt)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, onParent<&Window::fired>, 100, 101, false));
    pointer.capture = button;
    button->onLeftDown(1, 1);
    EXPECT_EQ(button->currentPage(), 1);
    EXPECT_EQ(window->fires, 0);
    button->onLeftUp(500, 500);
    EXPECT_EQ(window->fires, 1);
    EXPECT_EQ(button->currentPage(), 0);
    EXPECT_EQ(pointer.capture, nullptr);
}

TEST_F(Controls, TheDefaultCallbackPassesTheButtonsId)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, forwardButtonToOwner, 100, 101, false));
    button->setId(42);
    button->setPassId(true);
    button->onLeftDown(0, 0);
    button->onLeftUp(0, 0);
    EXPECT_EQ(window->commands, (std::vector<int32_t> { 42 }));
}

TEST_F(Controls, ADisabledToggleNeitherFlipsNorReports)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::Toggle, 0, onParent<&Window::fired>, 100, 101, false));
    button->setDisabled(true);
    button->onLeftDown(0, 0);
    EXPECT_TRUE(button->isPressed()) << "a disabled button still takes the press";
    button->onLeftUp(0, 0);
    EXPECT_EQ(button->currentPage(), 0);
    EXPECT_EQ(window->changes, 0);
    EXPECT_EQ(window->fires, 0);
    button->setDisabled(false);
    button->onLeftUp(0, 0);
    EXPECT_EQ(button->currentPage(), 1);
    EXPECT_EQ(window->changes, 1);
    EXPECT_EQ(window->fires, 1);

    ToggleControl* toggle = add(new ToggleControl(0, 30, 200, 201, 1, 0, "label", false, 202, 203));
    toggle->setDisabled(true);
    toggle->onLeftDown(0, 0);
    toggle->onLeftUp(0, 0);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(window->changes, 1);
    toggle->setDisabled(false);
    toggle->onLeftUp(0, 0);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(window->changes, 2);
}

TEST_F(Controls, ButtonHitTests)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false));
    EXPECT_EQ(button->width(), 10);
    EXPECT_FALSE(button->containsPoint(0, 0)) << "the up art's transparent corner";
    EXPECT_TRUE(button->containsPoint(1, 0));
    EXPECT_FALSE(button->containsPoint(10, 1));
    button->setPixelHitTest(false);
    EXPECT_TRUE(button->containsPoint(0, 0));

    Button* spot = Button::hotSpot(10, 20, 14, 29, ButtonBehaviour::ClickOnRelease, 0, nullptr, false);
    add(spot);
    EXPECT_EQ(spot->width(), 6) << "5 wide, made even";
    EXPECT_EQ(spot->height(), 10);
    EXPECT_TRUE(spot->containsPoint(0, 0)) << "a hot spot is hit by its rectangle";
}

TEST_F(Controls, TheFlashCycleIsOnForTwoOfTwelveTicks)
{
    Button* button = add(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false));
    std::string phases;
    for (int i = 0; i < 24; ++i) {
        button->tick();
        phases += button->isFlashOn() ? '1' : '0';
    }
    EXPECT_EQ(phases, "000000000011000000000011");
}

struct ThumbCase {
    const char* name;
    int32_t pos;
    int32_t range;
    int32_t expectedY;
};

class ThumbPositions : public Controls, public testing::WithParamInterface<ThumbCase> { };

TEST_P(ThumbPositions, SetPositionMapsOntoTheTrack)
{
    // Track from y 10 to 110, thumb 6 high: y runs 10..104.
    Thumb* thumb = add(new Thumb(0, 10, true, 110, 254));
    thumb->setPosition(GetParam().pos, GetParam().range);
    EXPECT_EQ(thumb->y(), GetParam().expectedY);
    EXPECT_EQ(thumb->x(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ThumbPositions,
    testing::Values(ThumbCase { "RangeZeroIsTheMinimum", 5, 0, 10 }, ThumbCase { "ZeroIsTheMinimum", 0, 50, 10 },
        ThumbCase { "RangeIsTheMaximum", 50, 50, 104 }, ThumbCase { "JustBelowTheMaximum", 49, 50, 103 },
        ThumbCase { "Half", 25, 50, 57 }, ThumbCase { "PastTheRangeStops", 80, 50, 104 },
        ThumbCase { "NegativeStops", -5, 50, 10 }),
    [](const testing::TestParamInfo<ThumbCase>& param) { return std::string(param.param.name); });

TEST_F(Controls, ADraggedThumbStopsAtItsEndsAndReports)
{
    Thumb* thumb = add(new Thumb(20, 0, false, 120, 254));
    thumb->onLeftDown(2, 2);
    thumb->onDrag(52, 2);
    EXPECT_EQ(thumb->x(), 70);
    EXPECT_EQ(window->lastPosition, 50);
    EXPECT_EQ(window->lastRange, 92);
    thumb->onDrag(500, 2);
    EXPECT_EQ(thumb->x(), 112);
    thumb->onDrag(-500, 2);
    EXPECT_EQ(thumb->x(), 20);
    thumb->onLeftUp(0, 0);
    EXPECT_EQ(window->releasedAt, 0);
    EXPECT_FALSE(thumb->isDragging());
    thumb->onDrag(52, 2);
    EXPECT_EQ(thumb->x(), 20) << "no drag after the release";
}

TEST_F(Controls, SyncingToAnEmptyTextListLeavesTheThumbAtTheTop)
{
    Thumb* thumb = add(new Thumb(0, 10, true, 110, 254));
    thumb->setPosition(50, 50);
    thumb->syncToTextList({}, 0, 0, 100, 0);
    EXPECT_EQ(thumb->y(), 10);
}

TEST_F(Controls, LabelCentringClampsToZero)
{
    LabelButton* label = add(new LabelButton(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false));
    label->setText(WString(u"a label far wider than its button"));
    EXPECT_EQ(label->labelX(), 0);
    EXPECT_EQ(label->labelY(), 0) << "10 pixels high";
    label->setText(WString(u""));
    EXPECT_EQ(label->labelX(), 5);
}

TEST_F(Controls, AToggleControlIsOnePixelWiderWhenItsWidthIsOdd)
{
    ToggleControl* toggle = add(new ToggleControl(0, 0, 200, 201, 99, 0, "", false, 202, 203));
    // No font 99: the label measures 0; 9 + 0 + 4 = 13 becomes 14.
    EXPECT_EQ(toggle->width(), 14);
    EXPECT_EQ(toggle->height(), 9);
}

TEST_F(Controls, PressingAControlRaisesItsWindow)
{
    auto* other = new PageGump(0, 0, 10, 10, 0x0002);
    gumpLink(other, nullptr);
    Button* button = add(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false));
    button->onLeftDown(1, 1);
    EXPECT_EQ(gumpListHead(), window);
    other->bringToFront(false);
    window->addKind(GumpKind::TextGump);
    button->onLeftDown(1, 1);
    EXPECT_EQ(gumpListHead(), other) << "the mahjong text log is not raised";
}

} // namespace

// Each control answers the look of its face, so that a composition of what
// changed leaves it alone while it keeps its face and composes it again the
// moment its face changes.
TEST_F(Controls, AControlIsComposedAgainOnlyWhenItsFaceChanges)
{
    struct Case {
        const char* name;
        CGump* (*make)();
        void (*change)(CGump*);
    };
    auto button = [] { return static_cast<CGump*>(new Button(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false)); };
    auto label = [] {
        auto* made = new LabelButton(0, 0, ButtonBehaviour::ClickOnRelease, 0, nullptr, 100, 101, false);
        made->setHoverArt(101);
        return static_cast<CGump*>(made);
    };
    auto toggle = [] { return static_cast<CGump*>(new ToggleControl(0, 30, 200, 201, 1, 0, "label", false, 202, 203)); };
    auto thumb = [] {
        auto* made = new Thumb(0, 10, true, 110, 254);
        made->setHoverArt(100);
        return static_cast<CGump*>(made);
    };
    const Case cases[] = {
        { "button pressed", button, [](CGump* gump) { gump->onLeftDown(1, 1); } },
        { "button disabled", button, [](CGump* gump) { static_cast<Button*>(gump)->setDisabled(true); } },
        { "button hovered", button,
            [](CGump* gump) {
                static_cast<Button*>(gump)->setHoverArt(101);
                gump->onMouseOver(1, 1);
            } },
        { "button flashing", button,
            [](CGump* gump) {
                static_cast<Button*>(gump)->setFlashArt(101);
                for (int tick = 0; tick < 11; ++tick)
                    gump->tick();
            } },
        { "label button pressed", label, [](CGump* gump) { gump->onLeftDown(1, 1); } },
        { "label button hovered", label, [](CGump* gump) { gump->onMouseOver(1, 1); } },
        { "toggle checked", toggle, [](CGump* gump) { gump->onLeftUp(0, 0); } },
        { "thumb hovered", thumb, [](CGump* gump) { gump->onMouseOver(1, 1); } },
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        CGump* control = add(item.make());
        composeAll(true);
        gumpRedrawChanged({});
        EXPECT_TRUE(gumpChangedScreenRects().empty()) << "an unchanged face";
        item.change(control);
        gumpRedrawChanged({});
        const std::vector<ScreenRect> changed = gumpChangedScreenRects();
        EXPECT_NE(std::find(changed.begin(), changed.end(), control->composedBounds()), changed.end());
        closeGump(control);
    }
}
