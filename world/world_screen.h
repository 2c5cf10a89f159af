#pragma once
// The game area the world is drawn into, as the world objects see it: the
// world pixel shown at its top-left (viewPixelX, viewPixelY), the player's
// partial step in pixels, and the back buffer whose dirty list every redraw
// request goes to. Screen rectangles of objects are in world pixels; a
// request is shifted into game-area pixels here. The back buffer belongs to
// the program, which links it once the window exists; without one, requests
// are dropped. Main thread only.

#include "gfx/screen_rect.h"

#include <cstdint>

class BackBuffer;
class WorldObject;

struct WorldScreen {
    int32_t viewPixelX = 0;
    int32_t viewPixelY = 0;
    int32_t stepOffsetX = 0;
    int32_t stepOffsetY = 0;
    // The object the world view shows highlighted under the pointer; only
    // compared, never followed.
    const WorldObject* objectUnderPointer = nullptr;
};

WorldScreen& worldScreen();

// Links the back buffer that redraw requests go to (null: none).
void setWorldBackBuffer(BackBuffer* buffer);

// Asks for the world-pixel rectangle `rect` to be redrawn.
void invalidateWorldRect(const ScreenRect& rect);
void invalidateWholeScreen();
// The view moved and its content with it by (dx, dy) pixels: the back buffer
// scrolls its ring (a move of a whole width or half a height or more redraws
// everything instead).
void scrollWorldContent(int32_t dx, int32_t dy);
// Clears the back buffer's ring (the world goes black under the ground).
void clearWorldBackBuffer();
// The game area in game-area pixels; empty without a back buffer.
ScreenRect worldGameArea();
