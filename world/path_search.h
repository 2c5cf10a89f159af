#pragma once
// A best-first (A*) search over map cells for a walkable route: to a point the
// player chose, to a mobile being followed, or to a point the server names.
// Every move costs 1, diagonal or not; a diagonal never cuts a blocked corner.
// The search gives up after min(limit, 5000) cells taken from its open list.
// Nodes belong to the search: they stay valid until freePathNodes (which the
// next search also runs), so a caller keeps only the path it walks.
// Main thread only.

#include <array>
#include <cstdint>

struct PathNode {
    // g + h, the order of the open list.
    float f = 0;
    // Straight-line distance to the goal over x, y and z.
    float h = 0;
    // Steps from the start.
    float g = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    // The facing the walker leaves the node with.
    int32_t direction = 0;
    PathNode* parent = nullptr;
    // Toward the goal, once the path is taken (linkPathForward).
    PathNode* next = nullptr;
    std::array<PathNode*, 8> children {};
    // The open or closed list the node is in.
    PathNode* listNext = nullptr;
    bool closed = false;
};

// Whether a one-cell step can be made; the world's step test unless a test
// or a benchmark brings its own cells.
class StepTester {
public:
    virtual ~StepTester() = default;
    virtual bool canStep(int32_t x, int32_t y, int32_t z, int32_t direction, int32_t& newZ) = 0;
};

// The world's step test (canStepTo).
StepTester& worldStepTester();

inline constexpr int32_t kMaxPathExpansions = 5000;

// The goal node (follow the parents back to the start), or null when the
// goal is not reached. The goal counts as reached within `tolerance` cells in
// x and y and 8 in z.
PathNode* findPath(int32_t startX, int32_t startY, int32_t startZ, int32_t goalX, int32_t goalY, int32_t goalZ,
    int32_t limit, int32_t tolerance);
PathNode* findPath(int32_t startX, int32_t startY, int32_t startZ, int32_t goalX, int32_t goalY, int32_t goalZ,
    int32_t limit, int32_t tolerance, StepTester& tester);
// Frees every node of the last search; a path being walked stops.
void freePathNodes();
// Cells the last search took from its open list.
int32_t lastPathExpansions();
// Nodes the last search made.
int32_t pathNodeCount();

// Sets each node's forward link from the parent chain ending at `goal`, and
// returns the start node.
PathNode* linkPathForward(PathNode* goal);

// Start-up and exit.
void initPathSearch();
void releasePathSearch();
