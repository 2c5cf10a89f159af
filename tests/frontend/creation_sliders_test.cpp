// The stat and skill sliders: the redistribution's worked cases as a table,
// random move sequences that must keep every invariant, the knob's track
// and the small three-art button's edges.

#include "front_end_test_support.h"

#include "frontend/creation_sliders.h"
#include "gump/gump_manager.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>

namespace {

using front_end_test::Screens;

struct Listener final : CreationEventListener {
    void onCreationEvent(int32_t code) override { codes.push_back(code); }
    std::vector<int32_t> codes;
};

// Three sliders in one group, as the profession window makes them.
struct Trio {
    Trio(int32_t minimum, int32_t maximum, int32_t total, int32_t fillTarget, std::array<int32_t, 3> values,
        int32_t firstKind)
        : group(total, fillTarget, firstKind == 1 ? 11 : 12, &listener)
    {
        for (int32_t i = 0; i < 3; ++i) {
            auto* slider = new SliderGump();
            slider->setKind(firstKind + i);
            slider->setRange(minimum, maximum);
            slider->setValue(values[size_t(i)]);
            slider->placeKnob();
            gumpLink(slider, nullptr);
            group.addMember(slider);
            sliders[size_t(i)] = slider;
        }
    }
    ~Trio()
    {
        for (SliderGump* slider : sliders)
            closeGump(slider);
    }
    std::array<int32_t, 3> values() const { return { sliders[0]->value(), sliders[1]->value(), sliders[2]->value() }; }
    void move(int32_t which, int32_t value)
    {
        sliders[size_t(which)]->setValue(value);
        group.onSliderMoved(sliders[size_t(which)]->kind());
    }

    Listener listener;
    SliderGroup group;
    std::array<SliderGump*, 3> sliders {};
};

struct WorkedCase {
    const char* name;
    int32_t minimum;
    int32_t maximum;
    int32_t total;
    int32_t fillTarget;
    std::array<int32_t, 3> start;
    int32_t moved;
    int32_t to;
    std::array<int32_t, 3> expected;
};

class WorkedCases : public Screens, public ::testing::WithParamInterface<WorkedCase> { };

TEST_P(WorkedCases, TheOthersGiveOrTakeTheDifference)
{
    const WorkedCase& c = GetParam();
    Trio trio(c.minimum, c.maximum, c.total, c.fillTarget, c.start, 1);
    trio.move(c.moved, c.to);
    EXPECT_EQ(trio.values(), c.expected);
    ASSERT_EQ(trio.listener.codes.size(), 1u);
    EXPECT_EQ(trio.listener.codes[0], 11);
    EXPECT_EQ(trio.group.lastMovedKind(), 1 + c.moved);
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkedCases,
    ::testing::Values(WorkedCase { "StrengthDownSplitsEvenly", 10, 60, 80, 80, { 60, 10, 10 }, 0, 10, { 10, 35, 35 } },
        WorkedCase { "StrengthTo20", 10, 60, 80, 80, { 60, 10, 10 }, 0, 20, { 20, 30, 30 } },
        WorkedCase { "AtTheMinimumBGivesAll", 10, 60, 80, 80, { 10, 35, 35 }, 1, 60, { 10, 60, 10 } },
        WorkedCase { "AtTheMaximumBTakesNothing", 0, 50, 100, 100, { 50, 50, 0 }, 0, 0, { 0, 50, 50 } },
        WorkedCase { "ThirdAtMaximumFirstTakesAll", 0, 50, 100, 100, { 0, 50, 50 }, 1, 40, { 10, 40, 50 } },
        WorkedCase { "OddDifferenceBTakesTheLargerShare", 10, 60, 80, 80, { 60, 10, 10 }, 0, 25, { 25, 27, 28 } },
        WorkedCase { "PositiveDifferenceBothGive", 10, 60, 80, 80, { 20, 30, 30 }, 0, 40, { 40, 20, 20 } },
        WorkedCase { "FillStepGoesToTheFirstWithRoom", 10, 60, 80, 90, { 60, 10, 10 }, 0, 60, { 60, 20, 10 } },
        WorkedCase { "FillStepSkipsTooLittleRoom", 10, 60, 80, 90, { 10, 55, 15 }, 0, 10, { 10, 55, 25 } }),
    [](const ::testing::TestParamInfo<WorkedCase>& param) { return std::string(param.param.name); });

class SliderProperties : public Screens { };

// Random moves, by value and by knob position, in any order: every value
// stays inside its slider's range and the group keeps its total.
TEST_F(SliderProperties, RandomMoveSequencesKeepEveryInvariant)
{
    std::mt19937 random(20261210);
    struct Kind {
        int32_t minimum, maximum, total, firstKind;
        std::array<int32_t, 3> start;
    };
    for (const Kind& kind : { Kind { 10, 60, 80, 1, { 60, 10, 10 } }, Kind { 0, 50, 100, 4, { 50, 50, 0 } } }) {
        Trio trio(kind.minimum, kind.maximum, kind.total, kind.total, kind.start, kind.firstKind);
        for (int32_t step = 0; step < 3000; ++step) {
            const int32_t which = int32_t(random() % 3);
            if (random() % 2)
                trio.move(which, int32_t(random() % 90) - 20);
            else
                trio.sliders[size_t(which)]->onKnobMoved(int32_t(random() % 140) - 20);
            int32_t sum = 0;
            for (SliderGump* slider : trio.sliders) {
                ASSERT_GE(slider->value(), kind.minimum) << "step " << step;
                ASSERT_LE(slider->value(), kind.maximum) << "step " << step;
                ASSERT_GE(slider->knob()->x(), 0);
                ASSERT_LE(slider->knob()->x(), SliderGump::kTrackLength);
                sum += slider->value();
            }
            ASSERT_EQ(sum, kind.total) << "step " << step;
        }
    }
}

TEST_F(SliderProperties, TheKnobIsHeldOnTheTrack)
{
    // Without a group the knob stays where the drag put it.
    auto* slider = new SliderGump();
    slider->setRange(10, 60);
    slider->setValue(30);
    gumpLink(slider, nullptr);
    SliderKnob& knob = *slider->knob();
    knob.onLeftDown(2, 2);
    knob.onDrag(2 + 500, 2);
    EXPECT_EQ(knob.x(), slider->width() - knob.width());
    EXPECT_LE(slider->value(), slider->maximum());
    knob.onDrag(2 - 900, 2);
    EXPECT_EQ(knob.x(), 0);
    EXPECT_EQ(slider->value(), slider->minimum());
    knob.onLeftUp(0, 0);
    EXPECT_FALSE(knob.isDragging());
    closeGump(slider);

    // In a group every knob is placed again after the move.
    Trio trio(10, 60, 80, 80, { 60, 10, 10 }, 1);
    SliderKnob& grouped = *trio.sliders[0]->knob();
    grouped.onLeftDown(2, 2);
    grouped.onDrag(2 - 900, 2);
    EXPECT_EQ(trio.values(), (std::array<int32_t, 3> { 10, 35, 35 }));
    EXPECT_EQ(grouped.x(), (96 - trio.sliders[0]->knobWidth()) * 10 / 60);
}

TEST_F(SliderProperties, PlacingTheKnobUsesValueOverMaximum)
{
    Trio trio(10, 60, 80, 80, { 60, 10, 10 }, 1);
    SliderGump& slider = *trio.sliders[0];
    slider.placeKnob();
    EXPECT_EQ(slider.knob()->x(), (96 - slider.knobWidth()) * 60 / 60);
    slider.setValue(30);
    slider.placeKnob();
    EXPECT_EQ(slider.knob()->x(), (96 - slider.knobWidth()) * 30 / 60);
}

TEST_F(SliderProperties, SimpleButtonIgnoresItsLeftAndTopEdges)
{
    auto* button = new SimpleButton();
    button->setSize(20, 10);
    gumpLink(button, nullptr);
    EXPECT_FALSE(button->containsPoint(0, 5));
    EXPECT_FALSE(button->containsPoint(5, 0));
    EXPECT_TRUE(button->containsPoint(1, 1));
    EXPECT_FALSE(button->containsPoint(20, 5));
    Listener listener;
    button->setListener(&listener, 7);
    button->setArts(5540, 5541, 5542);
    button->onLeftDown(3, 3);
    EXPECT_EQ(button->currentArt(), 5542);
    button->onLeftUp(3, 3);
    EXPECT_EQ(button->currentArt(), 5540);
    button->onMouseOver(3, 3);
    EXPECT_EQ(button->currentArt(), 5541);
    EXPECT_EQ(listener.codes, std::vector<int32_t> { 7 });
    closeGump(button);
}

} // namespace
