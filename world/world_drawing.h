#pragma once
// The world frame: the cell grid drawn back to front into one dirty
// rectangle of the back buffer at a time, and the walkers that ask for parts
// of the world to be redrawn after a range or data change. Rectangles are
// game-area pixels unless named world pixels. Main thread only.

#include "data/data_files.h"
#include "gfx/back_buffer.h"
#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"

#include <cstdint>

// Draws every object of the grid that meets `rect` into it, clipped to it;
// hidden trees are drawn translucent.
void drawCellsInRect(const BlitTarget& target, const ScreenRect& rect);

// The drawer the back buffer's world frame calls for each dirty rectangle:
// the cell grid, then the light pass.
class WorldFrameDrawer final : public WorldRectDrawer {
public:
    void drawWorldRect(const BlitTarget& target, const ScreenRect& rect) override;
};

// Redraws the objects on screen whose in-range state differs between the
// two ranges (or, with `outOfSecondAlso`, that are out of the second).
void invalidateObjectsBetween(
    int32_t x1, int32_t y1, int32_t range1, int32_t x2, int32_t y2, int32_t range2, bool outOfSecondAlso);
// Redraws every placed land tile showing land id `landId` (low 15 bits).
void invalidateLandWithTexture(int32_t landId);
// Places every non-mobile item-like object showing `graphic` again, after a
// change of its art or tile record; each object is visited once.
void refreshObjectsWithGraphic(int32_t graphic);

// The world objects' answer to a replaced art record.
class WorldArtListener final : public ArtRecordListener {
public:
    void landArtChanged(uint16_t id) override;
    void staticArtChanged(uint16_t graphic) override;
};
