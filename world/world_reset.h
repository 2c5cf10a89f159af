#pragma once
// The season change's world reset: everything the map files put into the
// world (statics and land) goes, so that it is read again with the new
// season's art, while what the server sent (items, mobiles, corpses), the
// pieces of multis and the player stay. Main thread only.

#include <cstdint>

// Takes the player out of the grid, destroys every map static and every
// land tile, forgets the loaded statics window and resets walking.
void resetWorld();
// Destroys the land tiles linked into grid cell (cellX, cellY), 0..63 each.
void purgeCell(int32_t cellX, int32_t cellY);
