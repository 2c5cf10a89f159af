#include "world/world_queries.h"

#include "world/static_object.h"

#include <algorithm>
#include <cstdlib>

StaticObject* objectAtHeight(int32_t x, int32_t y, int32_t z)
{
    for (StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object)) {
        if (object->x == x && object->y == y && object->z <= z && z < object->z + object->tileHeight())
            return object;
    }
    return nullptr;
}

bool hasLineOfSight(int32_t fromX, int32_t fromY, int32_t fromZ, int32_t toX, int32_t toY, int32_t toZ, uint32_t mask)
{
    int32_t dx = toX - fromX;
    int32_t dy = toY - fromY;
    int32_t dz = toZ - fromZ;
    int32_t steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return true;
    // 16.16 fixed point along the line, the end points left out.
    int64_t stepX = (int64_t(dx) << 16) / steps;
    int64_t stepY = (int64_t(dy) << 16) / steps;
    int64_t stepZ = (int64_t(dz) << 16) / steps;
    int64_t atX = int64_t(fromX) << 16;
    int64_t atY = int64_t(fromY) << 16;
    int64_t atZ = int64_t(fromZ) << 16;
    for (int32_t step = 1; step < steps; ++step) {
        atX += stepX;
        atY += stepY;
        atZ += stepZ;
        StaticObject* blocker = objectAtHeight(int32_t(atX >> 16), int32_t(atY >> 16), int32_t(atZ >> 16));
        if (blocker && (blocker->tileFlags() & mask))
            return false;
    }
    return true;
}
