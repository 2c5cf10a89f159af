#pragma once
// What hides parts of the world from the player: the roof over the player
// (with everything at or above its height), the terrain over a player who
// went underground, and the trees standing in front of the player. A hidden
// object stays in its cell but is neither drawn nor invalidated; a hidden
// tree is drawn translucent instead. The limits are recomputed when the
// player moves; the trees' states are cached per object between those
// recomputations. Main thread only.

#include <array>
#include <cstdint>

class Mobile;
class StaticObject;

struct VisibilityState {
    static constexpr int32_t kNoRoof = 127;
    // Objects at or above this are hidden.
    int32_t roofCutZ = kNoRoof;
    // The height of the roof found over the player.
    int32_t roofTopZ = kNoRoof;
    // Set while the trees' cached states are refreshed.
    bool roofRecomputing = false;
    // The flood fill's visited cells, (y & 63) * 64 + (x & 63).
    std::array<bool, 4096> roofVisited {};
};

VisibilityState& visibilityState();

// Start-up and resets: no roof, the player above ground.
void initCircleAndRoof();
// Recomputes the roof limits over the player and the trees' states; the
// whole screen is redrawn when a limit changed.
void updateRoofLimits();
// The lowest roof reachable from (x, y) through touching roof tiles whose
// heights differ by at most 6 from their neighbour's, starting at height z.
int32_t roofFloodFill(int32_t limit, int32_t x, int32_t y, int32_t z);

// Whether the graphic is one of a multi-graphic tree (its group number, or -1).
int32_t foliageGroupOf(int32_t graphic);

// The visibility answers of statics and items, and of mobiles other than
// the player.
bool isStaticHidden(const StaticObject& object);
bool isMobileHidden(const Mobile& mobile);
