#pragma once
// The season change's world reset: everything the map files put into the
// world (statics and land) goes, so that it is read again with the new
// season's art, while what the server sent (items, mobiles, corpses), the
// pieces of multis and the player stay. Main thread only.

#include <cstdint>

// Puts the light levels, the player's own light and the view back to their
// start: both light levels and the player's light modifier 0, and the whole
// screen redrawn from the back buffer's ring start 0. The world reset, the
// login and the connect start with it.
void resetLightAndView();
// After resetting the light and the view, takes the player out of the grid,
// destroys every map static and every land tile, forgets the loaded statics
// window and resets walking.
void resetWorld();
// Destroys the land tiles linked into grid cell (cellX, cellY), 0..63 each.
void purgeCell(int32_t cellX, int32_t cellY);
