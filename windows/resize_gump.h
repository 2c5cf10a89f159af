#pragma once
// The resize outline: a white rectangle that a window's resize grip puts on
// the window. It follows the pointer, kept between the window's size limits
// (widths even), and on the next left release hands the new size to the
// window's resize operation and closes itself. The limits depend on the
// window: the framed text windows keep their width and may grow down to 20
// pixels above the screen's bottom; the chat and messenger windows may grow
// to the screen's edges. Main thread only.

#include "gump/gump.h"
#include "gump/resize_limits.h"

#include <cstdint>

// The limits a resize of `window` keeps, for a screen of that size.
ResizeLimits resizeLimitsFor(CGump& window, int32_t screenWidth, int32_t screenHeight);

class ResizeGump final : public CGump {
public:
    // Placed on the target at the target's position; the size is clamped to
    // the limits. `value` goes back to the target with the size.
    ResizeGump(CGump& target, int32_t width, int32_t height, const ResizeLimits& limits, int32_t value);

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override;

    CGump* target() const { return m_target.get(); }
    int32_t value() const { return m_value; }

private:
    void setOutlineSize(int32_t width, int32_t height);

    GumpHandle m_target;
    ResizeLimits m_limits;
    int32_t m_value;
};

// Puts a resize outline on `window` with its limits, taking the pointer;
// nothing while one is already on it.
void startWindowResize(CGump& window);
// The same within limits the window's own grip gives.
void startWindowResize(CGump& window, const ResizeLimits& limits);
// An outline for a divider inside the window: it starts at (width, height)
// from the window's corner, and the window's resize gets the split flag.
void startSplitResize(CGump& window, int32_t width, int32_t height, const ResizeLimits& limits);
