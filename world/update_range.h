#pragma once
// The world's side of the update range (how many cells round the player the
// server sends objects for): the server's update-range packet sets the
// player's range byte, drops the objects that fell out of it and redraws
// those whose out-of-range colouring changed. The range the client asks for,
// its 750 ms pacing and the per-frame step live in data/view_range.h, which
// reaches the player through the game-state service the world provides.
// Main thread only.

#include "data/view_range.h"

#include <cstdint>

// The server's update-range packet (keepDesired set) and resets.
void setUpdateRange(int32_t range, bool keepDesired);
// Redraws every placed object whose in-range state differs between the two
// ranges.
void redrawRangeChanges(int32_t oldRange, int32_t newRange);
