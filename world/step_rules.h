#pragma once
// The rules that decide whether a one-cell step is possible and at which
// height it ends, shared by the player's walking and the path search; and the
// height a mobile is drawn at while it steps over slopes and stairs. The step
// test reads the cell grid (the objects of the cells round the view centre)
// and the mobile list; it changes nothing. Heights are world z units.
// Main thread only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class Mobile;
class WorldObject;

// World directions 0 north .. 7 north-west; the tables repeat 0 and 1 at 8 and
// 9 so that direction + 1 needs no wrap.
inline constexpr std::array<int32_t, 10> kDirectionDx { 0, 1, 1, 1, 0, -1, -1, -1, 0, 1 };
inline constexpr std::array<int32_t, 10> kDirectionDy { -1, -1, 0, 1, 1, 1, 0, -1, -1, -1 };

inline constexpr int32_t directionDx(int32_t direction) { return kDirectionDx[size_t(direction & 7)]; }
inline constexpr int32_t directionDy(int32_t direction) { return kDirectionDy[size_t(direction & 7)]; }
inline constexpr int32_t oppositeDirection(int32_t direction) { return (direction + 4) & 7; }

// What one object of a cell means to a step.
enum ObstacleKind : uint16_t {
    kObstacleSolid = 1,
    kObstacleSurface = 2,
    kObstacleBridge = 4,
};

struct CellObstacle {
    uint16_t kind = 0;
    int16_t z = 0;
    int16_t top = 0;
    int16_t height = 0;
    // Null for mobiles and the end marker.
    const WorldObject* object = nullptr;
};

// How the player walks: 0 alive, 1 dead (walls that only the living feel do
// not stop it), 3 on a mount that walks on water.
enum class WalkMode : int32_t {
    Alive = 0,
    Dead = 1,
    Wet = 3,
};

// The player's walk mode now (alive without a player).
WalkMode currentWalkMode();

// The objects of cell (x, y) that matter in `mode`, in the cell's order, then
// the mobiles standing there; at most 256 of the cell's objects are looked at.
// `out` is cleared first.
void collectCellObstacles(int32_t x, int32_t y, WalkMode mode, std::vector<CellObstacle>& out);

// The floor and climb heights of the cell a step in `direction` leaves on its
// way to (x, y), from height z.
void getStartCellHeights(int32_t x, int32_t y, int32_t z, int32_t direction, WalkMode mode, int32_t& floor,
    int32_t& climb);

// Whether a step in `direction` from height z can end on cell (x, y); when it
// can, `newZ` is the height it ends at.
bool canStepTo(int32_t x, int32_t y, int32_t z, int32_t direction, int32_t& newZ);

// The height of a sloped cell under a mobile `phase` frames into a step in
// `direction`, from its corner heights (c0 top, c1 right, c2 bottom, c3 left).
int32_t slopeZ(const std::array<int32_t, 4>& corners, int32_t phase, int32_t direction);

// The height on a stair of height `height` based at `base`, by the stair flag
// bits of its tile record (0x80000000, 0x40000000), phase and direction.
int32_t stairZ(uint32_t tileFlags, int32_t base, int32_t height, int32_t phase, int32_t direction);

// The height a drawn picture stands at over cell (x, y) whose reference is
// `referenceZ`: the first object of the cell whose top is at that height
// decides. `fallHeight` is used instead where a falling mobile's height
// counts (null: not falling).
int32_t drawnHeightOver(int32_t x, int32_t y, int32_t referenceZ, int32_t phase, int32_t direction,
    const int32_t* fallHeight);

// The drawn height of a mobile other than the player from its step state.
int32_t mobileDrawnHeight(Mobile& mobile);
