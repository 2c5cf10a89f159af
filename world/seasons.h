#pragma once
// The season (0..4, set by the server) substitutes land tiles and the
// graphics of statics as they are created: bare trees, snow, dead leaves.
// Season 4 applies only west of x 6144, where the seasonal lands are.
// Main thread.

#include <cstdint>

// Values outside 0..4 are ignored: the season stays as it was.
void setSeason(int32_t season);
int32_t getSeason();
// The season at the player's x: season 4 reads as 1 east of 6143.
int32_t getSeasonAtPlayer(int32_t playerX);
int32_t landTileForSeason(int32_t landId);
int32_t itemGraphicForSeason(int32_t graphic, int32_t playerX);
