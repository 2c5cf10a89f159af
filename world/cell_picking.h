#pragma once
// What stands under a point of the game area, and how high a cell is built
// up: the pointer code and the world view pick objects here, the placement
// previews seat their pieces with topZAt. Picking walks the draw order
// backwards, so the object drawn last (topmost) wins. Main thread only.

#include <cstdint>

class WorldObject;

// The object under game-area point (x, y), land left out; null when none or
// when the object found is no longer alive.
WorldObject* pickWorldObjectAt(int32_t screenX, int32_t screenY);

// The highest top of the shown objects of the world list on (x, y), from the
// land's mean height (or from 0 while the player is underground).
int32_t topZAt(int32_t x, int32_t y);

// Whether game-area point (dx, dy), relative to a land tile's box, lies in
// its 44 x 44 diamond.
bool isInLandDiamond(int32_t dx, int32_t dy);
