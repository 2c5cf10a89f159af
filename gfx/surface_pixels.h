#pragma once
// Rows of back-buffer pixels written onto a screen surface in the surface's
// own format: copied as they are, or converted between the two 16-bit
// layouts, or widened to 32 bits with each channel's top bits repeated below
// it (so that white stays white). Main thread; no state.

#include "gfx/back_buffer.h"

#include "platform/display.h"

#include <cstdint>

// Writes `count` pixels of `source` (in `from`) to `destination` (in `to`).
void writeSurfacePixels(
    const uint16_t* source, int32_t count, BufferFormat from, uint8_t* destination, platform::SurfaceFormat to);
