#include "world/path_walk.h"

#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/overhead_texts.h"
#include "world/path_search.h"
#include "world/step_rules.h"
#include "world/walking.h"

#include <cstdio>

namespace {

constexpr int32_t kMaxPendingPathSteps = 3;
constexpr int32_t kServerPathfindEvery = 20;
constexpr int32_t kServerPathLimit = 500;
constexpr int32_t kFollowPathLimit = 100;

int32_t& serverPathfindCountdown()
{
    static int32_t countdown = kServerPathfindEvery;
    return countdown;
}

void showPathNotice(const char* text)
{
    if (PlayerMobile* self = player())
        showOverheadText(*self, text, 0, 3, 0, false);
}

// The direction whose one-cell step goes from (x, y) to (toX, toY); -1 for none.
int32_t directionBetween(int32_t x, int32_t y, int32_t toX, int32_t toY)
{
    for (int32_t d = 0; d < 8; ++d) {
        if (x + kDirectionDx[size_t(d)] == toX && y + kDirectionDy[size_t(d)] == toY)
            return d;
    }
    return -1;
}

} // namespace

PathWalkState& pathWalkState()
{
    static PathWalkState state;
    return state;
}

void startPathWalk(PathNode* goal)
{
    PathWalkState& walk = pathWalkState();
    PathNode* start = linkPathForward(goal);
    if (!start)
        return;
    walk.active = true;
    walk.startNode = start;
    walk.currentNode = start;
    walk.goalNode = goal;
    walk.currentX = start->x;
    walk.currentY = start->y;
    walk.goalX = goal->x;
    walk.goalY = goal->y;
    walk.goalZ = goal->z;
    walk.currentFacing = player() ? player()->direction & 7 : 0;
    start->direction = walk.currentFacing;
}

void stopPathWalk() { pathWalkState() = PathWalkState {}; }

void walkPathStep()
{
    PathWalkState& walk = pathWalkState();
    if (!walk.active || !walk.currentNode || stepQueue().count >= kMaxPendingPathSteps)
        return;
    PathNode* node = walk.currentNode;
    walk.currentX = node->x;
    walk.currentY = node->y;
    walk.currentFacing = node->direction;
    PathNode* next = node->next;
    if (!next) {
        freePathNodes();
        return;
    }
    int32_t direction = directionBetween(node->x, node->y, next->x, next->y);
    // A step in the direction already faced moves on to the next node; any
    // other only turns the player this frame.
    if (direction == node->direction)
        walk.currentNode = next;
    walk.currentNode->direction = direction;
    if (direction < 0)
        return;
    requestStep((direction + 1) & 7, -1, true);
}

void onServerPathfind(int32_t x, int32_t y, int32_t z)
{
    int32_t& countdown = serverPathfindCountdown();
    if (--countdown > 1)
        return;
    countdown = kServerPathfindEvery;
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d", x, y, z);
    showPathNotice(text);
    const MapView& view = mapView();
    PathNode* goal = findPath(view.centreX, view.centreY, view.centreZ, x, y, z, kServerPathLimit, 1);
    if (!goal)
        return;
    startPathWalk(goal);
    std::snprintf(text, sizeof text, "Pathfinding to %d, %d, %d.", x, y, z);
    showPathNotice(text);
}

void resetServerPathfindCountdown() { serverPathfindCountdown() = kServerPathfindEvery; }

void PathFollower::followMoved(Mobile&, int32_t goalX, int32_t goalY, int32_t goalZ)
{
    const PlayerMobile* self = player();
    if (!self)
        return;
    freePathNodes();
    PathNode* goal = findPath(self->x, self->y, self->z, goalX, goalY, goalZ, kFollowPathLimit, 1);
    if (!goal) {
        worldService<WorldMessages>().addSystemMessage(u"Can't get there (follow)", 0, 3);
        return;
    }
    startPathWalk(goal);
}
