#pragma once
// Where a blitter draws: pixel (x, y) is pixels[origin + y * pitch + x], pitch
// in pixels. The origin is a signed index so that a ring back buffer can be
// addressed from a base that lies before or after its array without ever
// forming a pointer outside it; only pixels inside `bounds` are ever touched,
// and the owner of the target guarantees those lie inside the array.

#include "gfx/screen_rect.h"

#include <cstddef>
#include <cstdint>

struct BlitTarget {
    uint16_t* pixels = nullptr;
    ptrdiff_t origin = 0;
    int32_t pitch = 0;
    ScreenRect bounds;

    // A plain surface of width x height pixels.
    static BlitTarget surface(uint16_t* pixels, int32_t width, int32_t height, int32_t pitch)
    {
        return { pixels, 0, pitch, { 0, 0, width, height } };
    }
    uint16_t* at(int32_t x, int32_t y) const
    {
        return pixels + (origin + static_cast<ptrdiff_t>(y) * pitch + x);
    }
};
