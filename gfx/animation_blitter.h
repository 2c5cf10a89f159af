#pragma once
// The three walks over an animation frame's runs (animation_frame.h): the
// hued frame blitter, the shadow blitter that lays a squashed, sheared and
// darkened copy of the frame on the ground, and the pixel hit test used for
// picking. Runs come in non-decreasing rows, so both blitters stop at the
// first run at or below the clip's bottom. Anchors are given in target
// pixels (the caller has taken the view scroll off); nothing is ever written
// outside both the clip and the target's bounds. Main thread only.

#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <array>
#include <cstdint>
#include <span>

// How a frame's colours are written. With no hue entry the palette colours
// are copied; a hue maps each colour's red channel through the hue's ramp,
// only for grey colours when partial; shade mode darkens what lies under the
// frame instead, by up to 23/32 where the frame is dark (only under grey
// colours when partial, coloured ones being copied).
struct FrameHue {
    // Hue table entry, or -1 for none.
    int32_t entry = -1;
    bool partial = false;
    bool shade = false;
};

void blitFrameRuns(const BlitTarget& target, const ScreenRect& clip, bool mirrored, const FrameHue& hue,
    int32_t anchorX, int32_t anchorY, const std::array<uint16_t, 256>& palette, std::span<const uint8_t> runs);

// Runs of odd rows are left out and the others drawn at half their row, moved
// right by half their height above the anchor; every pixel under them is
// halved.
void blitFrameShadow(const BlitTarget& target, const ScreenRect& clip, bool mirrored, int32_t anchorX,
    int32_t anchorY, std::span<const uint8_t> runs);

// Whether (pointX, pointY) lies on a run of the frame drawn at the anchor
// (all four in one space); every pixel of a run counts as opaque.
bool hitTestFrameRuns(
    int32_t pointX, int32_t pointY, bool mirrored, int32_t anchorX, int32_t anchorY, std::span<const uint8_t> runs);
