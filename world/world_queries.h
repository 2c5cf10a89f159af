#pragma once
// Questions about what stands at a world position, answered from the world
// list: the object filling a height, and the line of sight between two
// points. Main thread only.

#include <cstdint>

class StaticObject;

// The newest object of the world list on (x, y) whose height band holds z.
StaticObject* objectAtHeight(int32_t x, int32_t y, int32_t z);
// True when no object with one of `mask`'s tile flags stands on the points
// strictly between the two.
bool hasLineOfSight(int32_t fromX, int32_t fromY, int32_t fromZ, int32_t toX, int32_t toY, int32_t toZ, uint32_t mask);
