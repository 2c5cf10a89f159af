#pragma once
// Shows the back buffer on a display: unrolls the ring into a plain surface
// (converting 5-5-5 to 5-6-5 when the screen takes 5-6-5 and the buffer is
// not) and hands the display the rectangles that changed. Main thread.

#include "gfx/back_buffer.h"

#include "platform/display.h"

#include <span>
#include <vector>

class FramePresenter {
public:
    // `rects` are in window pixels; the game area sits at (offsetX, offsetY).
    bool present(const BackBuffer& buffer, platform::Display& display, int32_t offsetX, int32_t offsetY,
        std::span<const ScreenRect> rects);

private:
    std::vector<uint16_t> m_surface;
};
