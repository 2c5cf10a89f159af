#pragma once
// Walking a searched path: once per frame, while a path is active and fewer
// than three steps are queued, one step toward the next node is requested;
// a step in a new direction first only turns the player. Paths come from the
// world view's walk to a point, from following a mobile and from the server's
// path request. The path's nodes belong to the path search (path_search.h).
// Main thread only.

#include "world/world_services.h"

#include <cstdint>

struct PathNode;
class Mobile;

struct PathWalkState {
    bool active = false;
    PathNode* startNode = nullptr;
    PathNode* currentNode = nullptr;
    PathNode* goalNode = nullptr;
    int32_t currentX = 0;
    int32_t currentY = 0;
    int32_t currentFacing = 0;
    int32_t goalX = 0;
    int32_t goalY = 0;
    int32_t goalZ = 0;
};

PathWalkState& pathWalkState();

// Starts walking the path that ends at `goal` (found by findPath): forward
// links set, the walk begins at its start node facing the player's way.
void startPathWalk(PathNode* goal);
// The walk ends; the nodes are the search's to free.
void stopPathWalk();

// Once per frame.
void walkPathStep();

// The server's path request: every 19th is served, with a search from the
// view centre (limit 500, tolerance 1).
void onServerPathfind(int32_t x, int32_t y, int32_t z);
// Back to the first of 19 requests (connect and world reset).
void resetServerPathfindCountdown();

// Following a mobile: a path to where it went, or "Can't get there (follow)".
class PathFollower final : public FollowPaths {
public:
    void followMoved(Mobile& mobile, int32_t goalX, int32_t goalY, int32_t goalZ) override;
};
