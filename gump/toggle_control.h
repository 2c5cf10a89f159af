#pragma once
// A check box with a text label to its right, kept in a page of its own: the
// check area shows one of six arts (checked or not; normal, hovered or
// disabled) and the label is drawn once. A release flips it and tells the
// parent (onControlChanged); a disabled box takes the press and flips
// nothing. Main thread only.

#include "gump/gump.h"

#include <cstdint>

class ToggleControl : public CGump {
public:
    // `label` is 8-bit text in the ASCII font `font`, drawn in `hue`.
    ToggleControl(int32_t x, int32_t y, int32_t uncheckedArt, int32_t checkedArt, int32_t font, int32_t hue,
        const char* label, bool initiallyChecked, int32_t disabledArt, int32_t disabledCheckedArt);

    // Repaints the check area.
    void redraw();

    void draw(GumpCanvas& canvas) override;
    // Its face is its page, which only the constructor and redraw paint.
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onMouseLeave() override;

    bool isChecked() const { return m_checked; }
    void setChecked(bool checked) { m_checked = checked; }
    bool isDisabled() const { return m_disabled; }
    void setDisabled(bool disabled) { m_disabled = disabled; }
    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }
    void setHoverArts(int32_t hoverArt, int32_t hoverCheckedArt) { m_hoverArt = hoverArt, m_hoverCheckedArt = hoverCheckedArt; }

private:
    int32_t m_checkedArt;
    int32_t m_disabledArt;
    int32_t m_disabledCheckedArt;
    int32_t m_hoverArt = 0;
    int32_t m_hoverCheckedArt = 0;
    bool m_pressed = false;
    bool m_hovered = false;
    bool m_checked;
    bool m_disabled = false;
};
