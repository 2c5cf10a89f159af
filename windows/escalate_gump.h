#pragma once
// The help escalation window: a GM who escalates a page-queue call writes
// why (at most 255 characters) and sends it with the call; escalating closes
// the window and the call view. Main thread only.

#include "gump/gump.h"

#include <string>

class Thumb;

inline constexpr size_t kMaxEscalationText = 255;

class EscalateGump final : public CGump {
public:
    static constexpr int32_t kCancel = 20;
    static constexpr int32_t kEscalate = 21;
    static constexpr int32_t kHeight = 300;

    explicit EscalateGump(int32_t resolution);
    ~EscalateGump() override;

    const std::u16string& text() const { return m_text; }
    int32_t caret() const { return m_caret; }
    bool isEditing() const { return m_editing; }
    int32_t scrollOffset() const { return m_scroll; }
    CGump* button(int32_t id) const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onSlider(int32_t position, int32_t range, CGump* thumb) override;
    void resize(int32_t width, int32_t height, bool flag) override;
    void onKey(uint32_t code) override;
    void onCommand(int32_t id) override;
    void onFocusLost() override;

private:
    void paint();
    void startEditing();
    void escalate();

    int32_t m_resolution;
    std::u16string m_text;
    int32_t m_caret = 0;
    bool m_editing = false;
    bool m_typed = false;
    int32_t m_scroll = 0;
    int32_t m_savedScroll = 0;
    int32_t m_total = 0;
    int32_t m_clickState = 0;
    uint32_t m_clickDeadline = 0;
    bool m_dragging = false;
    GumpHandle m_thumb;
    GumpHandle m_escalate;
    GumpHandle m_cancel;
    GumpHandle m_grip;
};

// Opens the window for the current call with a resolution code (14).
EscalateGump* openEscalateGump(int32_t resolution);
