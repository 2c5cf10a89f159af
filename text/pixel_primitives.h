#pragma once
// Small 16-bit drawing primitives for frames, pins and carets. They work on a
// whole page (a TextSurface) and skip every pixel outside it. Main thread only.

#include "text/text_surface.h"

// Fills whole pixel pairs: from the even column at or below left,
// (right - left + 1) / 2 pairs per row, rows top to bottom inclusive.
void fillRect16(int32_t left, int32_t top, int32_t right, int32_t bottom, uint16_t colour, const TextSurface& page);
// Lines walk the longer axis one pixel at a time from the first point to the
// second (both drawn), the other coordinate in 16.16 fixed point.
void drawLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour, const TextSurface& page);
// Halves each pixel and adds half-intensity grey.
void drawTranslucentLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TextSurface& page);
// Copies the line's pixels from source to the same places in destination;
// both are indexed with the destination's pitch and must be as large.
void copyLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TextSurface& destination,
    const TextSurface& source);
