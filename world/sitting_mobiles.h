#pragma once
// The animation files hold no sitting action. A human standing on the cell
// of a chair is shown sitting all the same: its standing (or mounted
// standing) frame and its equipment are first rendered into a small canvas,
// which is then copied to the screen through a remapping table that pushes
// the lower part of the figure down and sideways, so that the legs appear
// bent over the seat; the chair's near edge is drawn once more over the
// figure where the chair asks for it. The facing is turned to one the chair
// allows. One process-wide canvas, reused by every sitting figure in turn.
// Main thread only.

#include "gfx/animation_frame.h"
#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <array>
#include <cstdint>

class Mobile;

// Allowed facings: 0x1 facing 0, 0x2 facing 2, 0x4 facing 4, 0x8 facing 6;
// 0x10 only the player standing still sits.
struct ChairEntry {
    uint16_t graphic;
    uint8_t facings;
    // Screen rows the figure moves down by, for facings other than 0 and 6
    // and for those two.
    int8_t shift;
    int8_t shiftFacingZeroSix;
    // 0: the chair is not drawn again; else how far the redrawn part passes
    // the chair's middle.
    uint8_t overlap;

    int32_t shiftFor(int32_t facing) const { return (facing == 0 || facing == 6) ? shiftFacingZeroSix : shift; }
};
inline constexpr uint8_t kChairStillOnly = 0x10;
// Null for a graphic that is no chair.
const ChairEntry* findChair(int32_t graphic);

class SittingCanvas {
public:
    static constexpr int32_t kWidth = 64;
    static constexpr int32_t kHeight = 128;
    static constexpr int32_t kAnchorColumn = 32;
    static constexpr int32_t kAnchorRow = 80;
    static constexpr int32_t kPixelCount = kWidth * kHeight;

    // Builds the four remapping tables.
    SittingCanvas();

    void clear() { m_pixels.fill(0); }
    // Draws a frame with its anchor at the canvas anchor; a hue maps colours
    // as art hues do (low 14 bits the hue, 0x8000 grey pixels only).
    void renderFrame(uint16_t hueWord, const AnimationFrameRecord& frame, bool mirrored);
    // The canvas index shown at output row `row`, column `column` for a
    // facing; 0 (the empty top-left pixel) where the source lies above.
    int32_t sourceIndex(int32_t facing, int32_t row, int32_t column) const
    {
        return m_remap[size_t((facing & 7) / 2)][size_t(row * kWidth + column)];
    }
    uint16_t shownPixel(int32_t facing, int32_t row, int32_t column) const
    {
        return m_pixels[size_t(sourceIndex(facing, row, column))];
    }
    const std::array<uint16_t, kPixelCount>& pixels() const { return m_pixels; }

    // The chair found last by isMobileSitting.
    const ChairEntry* chair = nullptr;

private:
    std::array<uint16_t, kPixelCount> m_pixels {};
    std::array<std::array<uint16_t, kPixelCount>, 4> m_remap {};
};

SittingCanvas& sittingCanvas();

// A human body placed in the grid, alive, standing, unmounted, on the cell
// of a chair at most one step above or below it. Remembers the chair.
bool isMobileSitting(const Mobile& mobile);
// Turns `facing` to the nearest one the remembered chair allows.
void adjustSittingFacing(int32_t& facing);
// The record of the sitting pose of `body` (its standing frames); frame 0.
void sittingAnimationIndex(int32_t body, int32_t facing, int32_t& outIndex, int32_t& outFrame);

// The bounds, drawing and pixel pick of a sitting mobile (the player's with
// the player's anchor and without highlights).
void computeSittingBounds(Mobile& mobile);
void drawSittingMobile(Mobile& mobile, const BlitTarget& target, const ScreenRect& clip);
// The canvas pixel shown at world pixel (x, y); 0 outside the figure.
uint16_t sittingPixelAt(const Mobile& mobile, int32_t x, int32_t y);
