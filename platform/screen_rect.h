#pragma once
// A rectangle of pixels. Rectangles are half-open: left and top are the first
// column and row inside, right and bottom the first ones outside, so the width
// is right - left and a rectangle with right <= left or bottom <= top is empty.
// Unless a function says otherwise the units are game-area pixels, (0, 0) being
// the game area's top-left pixel. This is the only definition; every other
// place that speaks of a ScreenRect means this.

#include <cstdint>

namespace platform {

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    // Touching edges do not overlap.
    bool overlaps(const ScreenRect& other) const
    {
        return right > other.left && left < other.right && bottom > other.top && top < other.bottom;
    }
    bool contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    // The common part; empty (possibly with right < left) when there is none.
    ScreenRect intersected(const ScreenRect& other) const
    {
        return { left > other.left ? left : other.left, top > other.top ? top : other.top,
            right < other.right ? right : other.right, bottom < other.bottom ? bottom : other.bottom };
    }
    bool operator==(const ScreenRect&) const = default;
};

} // namespace platform
