#pragma once
// What the text code draws into: a caller-owned 16-bit pixel array addressed
// pixels[x + pitch * y], pitch in pixels, width x height of them. A clip is a
// half-open rectangle of surface pixels (right and bottom exclusive) and is
// always narrowed to the surface, so no drawing call writes outside the pixels
// it was given. Process-wide drawing context (the pixel format) is set by app/
// once; main thread only.

#include "platform/screen_rect.h"

#include <cstdint>

struct HueEntry;

struct TextSurface {
    uint16_t* pixels = nullptr;
    int32_t pitch = 0; // pixels per row
    int32_t width = 0;
    int32_t height = 0;
};

using TextClip = platform::ScreenRect;

// A drawing position worked out in 64 bits (a line's offset added to a
// caller's position anywhere in 32 bits), brought back into 32 bits. A
// position past either end lies far outside every surface, and stays there.
int32_t clampedPosition(int64_t position);

// The whole surface as a clip.
TextClip wholeSurface(const TextSurface& surface);
// The part of `clip` inside the surface; empty for a surface without pixels.
TextClip clipToSurface(const TextClip& clip, const TextSurface& surface);

// Hue numbers run from 1 to kMaxTextHue and select the hue table's entry
// hue - 1 (its 32 colours by 5-bit intensity). Any other number (0, or a
// settings colour or server hue past the table) draws text in its own colours.
constexpr int32_t kMaxTextHue = 3000;
// The hue table entry of hue, or null outside 1..kMaxTextHue.
const HueEntry* textHueEntry(int32_t hue);

// The back buffer's pixel format: 5-5-5 unless the 5-6-5 DIB is in use.
void setTextPixelFormat565(bool is565);
bool isTextPixelFormat565();
