#pragma once
// The season packet 0xBC: the shown shard's season changes the art of the
// map's land and statics, so the world read from the map files is emptied
// and loaded again round the player; a shard behind the shown one only keeps
// the season for when it is shown. Main thread only.

#include <cstdint>

void handleSeason(const uint8_t* packet);

// The desolation season, shown only where the Desolation setting allows it.
inline constexpr int32_t kDesolationSeason = 4;
// The sound of entering the desolation season.
inline constexpr int32_t kDesolationSound = 581;
