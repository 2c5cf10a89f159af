#pragma once
// How a static or an item is drawn: the mode word built from its tile flags,
// its hue and the censoring settings picks one pixel-span operation.
// Main thread only.

#include "gfx/pixel_spans.h"

#include <cstdint>

// Mode bits: 2 hued, 8 translucent, 16 censored blood, 32 omitted blood,
// 0x20000 foliage, 0x40000 partial hue. Null: nothing is drawn.
PixelSpanFn chooseItemSpan(int32_t mode);
