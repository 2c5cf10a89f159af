#pragma once
// How the game windows colour an item's picture: the pixel-span operation for
// a hue (the current span hue set as a side effect), and the conversion of a
// drawn picture to the 5-6-5 form. Main thread only (the span hue is
// process-wide).

#include "gfx/pixel_spans.h"

#include <cstdint>

// `hueIndex` -1 copies with transparency; otherwise the hue table entry, on
// grey pixels only when `partial`.
PixelSpanFn hueSpanFor(int32_t hueIndex, bool partial);
// The span of an item drawn in a window: the highlight hue 53 as a whole,
// else the item's own hue (a hue above 60000 reads as hue 1), partial for
// partially hued tiles, and the blood colouring when blood is censored.
PixelSpanFn windowItemSpan(uint16_t hue, uint32_t tileFlags, int32_t graphic, bool highlighted);
// Every non-zero pixel turned from 5-5-5 into 5-6-5.
void convertPixelsTo565(uint16_t* pixels, size_t count);
