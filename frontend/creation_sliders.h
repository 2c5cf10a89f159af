#pragma once
// The stat and skill sliders of character creation. Each value has a
// horizontal slider with a knob; the sliders of one kind form a SliderGroup,
// and moving one moves the other two so that the group's sum stays at its
// total (80 for the stats, each 10..60; 100 for the skills, each 0..50). The
// knob maps onto a constant 96-pixel track whatever the drawn width. Also
// SimpleButton, a small three-art button that reports an event code.
// A group does not own its sliders: they are children of their window.
// Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <vector>

// The window an event code is raised on (the profession window).
class CreationEventListener {
public:
    virtual ~CreationEventListener() = default;
    virtual void onCreationEvent(int32_t code) = 0;
};

class SliderGroup;
class SliderKnob;

class SliderGump final : public CGump {
public:
    // The length of the track the knob maps onto, in pixels.
    static constexpr int32_t kTrackLength = 96;
    static constexpr int32_t kLeftArt = 213;
    static constexpr int32_t kMiddleArt = 214;
    static constexpr int32_t kRightArt = 215;
    static constexpr int32_t kKnobArt = 216;

    SliderGump();

    int32_t kind() const { return m_kind; }
    void setKind(int32_t kind) { m_kind = kind; }
    SliderGroup* group() const { return m_group; }
    void setGroup(SliderGroup* group) { m_group = group; }
    int32_t minimum() const { return m_minimum; }
    int32_t maximum() const { return m_maximum; }
    void setRange(int32_t minimum, int32_t maximum);
    int32_t value() const { return m_value; }
    // Clamped to [minimum, maximum]; the group is not told.
    void setValue(int32_t value);
    int32_t knobWidth() const { return m_knobWidth; }
    SliderKnob* knob() const { return m_knob; }

    // The knob's x for the value: (96 - knob width) * value / maximum.
    void placeKnob();
    // The knob moved to x: the value follows, then the group.
    void onKnobMoved(int32_t x);

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    SliderKnob* m_knob = nullptr;
    SliderGroup* m_group = nullptr;
    int32_t m_kind = 0;
    int32_t m_minimum = 0;
    int32_t m_maximum = 100;
    int32_t m_value = 0;
    int32_t m_knobWidth = 0;
};

class SliderKnob final : public CGump {
public:
    explicit SliderKnob(SliderGump& slider);

    void draw(GumpCanvas& canvas) override { drawOwnBuffer(canvas); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }
    bool isDragging() const { return m_dragging; }

private:
    SliderGump& m_slider;
    bool m_dragging = false;
};

class SliderGroup {
public:
    SliderGroup(int32_t total, int32_t fillTarget, int32_t eventCode, CreationEventListener* listener);

    // Members in the order added (A before B in the passes).
    void addMember(SliderGump* slider);
    const std::vector<SliderGump*>& members() const { return m_members; }
    int32_t total() const { return m_total; }
    int32_t lastMovedKind() const { return m_lastMovedKind; }
    int32_t sum() const;

    // A slider of the group was moved by the player.
    void onSliderMoved(int32_t kind);
    // Brings the others back so that the sum is the total again.
    void redistribute(SliderGump& moved);

private:
    void pass(SliderGump& moved);

    int32_t m_total;
    int32_t m_fillTarget;
    int32_t m_eventCode;
    CreationEventListener* m_listener;
    int32_t m_lastMovedKind = 0;
    std::vector<SliderGump*> m_members;
};

class SimpleButton final : public CGump {
public:
    SimpleButton();

    void setArts(int32_t normalArt, int32_t hoverArt, int32_t pressedArt);
    void setListener(CreationEventListener* listener, int32_t eventCode);

    void draw(GumpCanvas& canvas) override;
    // The left and top edges are outside.
    bool containsPoint(int32_t x, int32_t y) override { return x > 0 && x < width() && y > 0 && y < height(); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t, int32_t) override { m_hovered = true; }
    void onMouseLeave() override { m_hovered = false; }
    bool isClosableByCloseAll() override { return false; }
    bool isPressed() const { return m_pressed; }
    int32_t currentArt() const;

private:
    void paintFace();

    CreationEventListener* m_listener = nullptr;
    int32_t m_eventCode = 0;
    bool m_pressed = false;
    bool m_hovered = false;
    int32_t m_pressedArt = 0;
    int32_t m_hoverArt = 0;
    int32_t m_normalArt = 0;
};
