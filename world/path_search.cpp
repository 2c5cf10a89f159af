#include "world/path_search.h"

#include "world/path_walk.h"
#include "world/step_rules.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <unordered_map>
#include <vector>

namespace {

class WorldStepTester final : public StepTester {
public:
    bool canStep(int32_t x, int32_t y, int32_t z, int32_t direction, int32_t& newZ) override
    {
        return canStepTo(x, y, z, direction, newZ);
    }
};

uint64_t cellKey(int32_t x, int32_t y, int32_t z)
{
    return (uint64_t(uint32_t(x) & 0xFFFFFF) << 40) | (uint64_t(uint32_t(y) & 0xFFFFFF) << 16) | uint64_t(uint16_t(z));
}

float distance(int32_t dx, int32_t dy, int32_t dz)
{
    return float(std::sqrt(double(dx) * dx + double(dy) * dy + double(dz) * dz));
}

struct SearchState {
    // Node storage: addresses stay put while the deque grows.
    std::deque<PathNode> nodes;
    // Heads of the open and closed lists (the nodes hang off listNext).
    PathNode open;
    PathNode closed;
    // Every node by its cell, whichever list it is in; the lists themselves
    // keep the order the search depends on.
    std::unordered_map<uint64_t, PathNode*> byCell;
    std::vector<PathNode*> improved;
    int32_t expansions = 0;
    int32_t goalX = 0;
    int32_t goalY = 0;
    int32_t goalZ = 0;
    bool initialised = false;
};

SearchState& search()
{
    static SearchState state;
    return state;
}

PathNode* makeNode(int32_t x, int32_t y, int32_t z)
{
    SearchState& state = search();
    PathNode& node = state.nodes.emplace_back();
    node.x = x;
    node.y = y;
    node.z = z;
    node.h = distance(x - state.goalX, y - state.goalY, z - state.goalZ);
    state.byCell[cellKey(x, y, z)] = &node;
    return &node;
}

// Before the first node whose f is not smaller: among equal f the newest
// comes first.
void insertOpen(PathNode* node)
{
    PathNode* previous = &search().open;
    while (previous->listNext && previous->listNext->f < node->f)
        previous = previous->listNext;
    node->listNext = previous->listNext;
    previous->listNext = node;
}

void recordChild(PathNode* parent, PathNode* child)
{
    for (PathNode*& slot : parent->children) {
        if (!slot) {
            slot = child;
            return;
        }
    }
}

// A closed node got a shorter route: its descendants that are reached more
// cheaply through it follow.
void propagate(PathNode* improvedNode)
{
    std::vector<PathNode*>& stack = search().improved;
    stack.clear();
    float base = std::trunc(improvedNode->g) + 1;
    for (PathNode* child : improvedNode->children) {
        if (child && base < child->g) {
            child->parent = improvedNode;
            child->g = base;
            child->f = base + child->h;
            stack.push_back(child);
        }
    }
    while (!stack.empty()) {
        PathNode* node = stack.back();
        stack.pop_back();
        for (PathNode* child : node->children) {
            if (child && node->g + 1 < child->g) {
                child->parent = node;
                child->g = node->g + 1;
                child->f = child->g + child->h;
                stack.push_back(child);
            }
        }
    }
}

void addNeighbour(PathNode* parent, int32_t x, int32_t y, int32_t z)
{
    SearchState& state = search();
    float g = std::trunc(parent->g) + 1;
    auto found = state.byCell.find(cellKey(x, y, z));
    if (found != state.byCell.end()) {
        PathNode* node = found->second;
        recordChild(parent, node);
        if (g < node->g) {
            node->parent = parent;
            node->g = g;
            node->f = g + node->h;
            if (node->closed)
                propagate(node);
        }
        return;
    }
    PathNode* node = makeNode(x, y, z);
    node->parent = parent;
    node->g = g;
    node->f = g + node->h;
    insertOpen(node);
    recordChild(parent, node);
}

void expand(PathNode* node, StepTester& tester)
{
    for (int32_t i = 0; i < 8; ++i) {
        int32_t x = node->x + kDirectionDx[size_t(i)];
        int32_t y = node->y + kDirectionDy[size_t(i)];
        int32_t z = 0;
        if (!tester.canStep(x, y, node->z, i, z))
            continue;
        if (i & 1) {
            // No corner cutting: both straight neighbours must be free too.
            int32_t left = i - 1;
            int32_t right = (i + 1) & 7;
            int32_t sideZ = 0;
            if (!tester.canStep(node->x + kDirectionDx[size_t(left)], node->y + kDirectionDy[size_t(left)], node->z,
                    left, sideZ)
                || !tester.canStep(node->x + kDirectionDx[size_t(right)], node->y + kDirectionDy[size_t(right)],
                    node->z, right, sideZ))
                continue;
        }
        addNeighbour(node, x, y, z);
    }
}

} // namespace

StepTester& worldStepTester()
{
    static WorldStepTester tester;
    return tester;
}

PathNode* findPath(int32_t startX, int32_t startY, int32_t startZ, int32_t goalX, int32_t goalY, int32_t goalZ,
    int32_t limit, int32_t tolerance)
{
    return findPath(startX, startY, startZ, goalX, goalY, goalZ, limit, tolerance, worldStepTester());
}

PathNode* findPath(int32_t startX, int32_t startY, int32_t startZ, int32_t goalX, int32_t goalY, int32_t goalZ,
    int32_t limit, int32_t tolerance, StepTester& tester)
{
    // The nodes of an earlier search go first, whoever forgot them.
    freePathNodes();
    SearchState& state = search();
    state.goalX = goalX;
    state.goalY = goalY;
    state.goalZ = goalZ;
    PathNode* start = makeNode(startX, startY, startZ);
    start->f = start->h;
    state.open.listNext = start;
    while (PathNode* node = state.open.listNext) {
        state.open.listNext = node->listNext;
        node->listNext = state.closed.listNext;
        state.closed.listNext = node;
        node->closed = true;
        ++state.expansions;
        if (state.expansions > limit || state.expansions > kMaxPathExpansions)
            return nullptr;
        if (std::abs(node->x - goalX) <= tolerance && std::abs(node->y - goalY) <= tolerance
            && std::abs(node->z - goalZ) <= 8)
            return node;
        expand(node, tester);
    }
    return nullptr;
}

void freePathNodes()
{
    SearchState& state = search();
    // A path being walked is made of these nodes.
    stopPathWalk();
    state.nodes.clear();
    state.byCell.clear();
    state.open.listNext = nullptr;
    state.closed.listNext = nullptr;
    state.expansions = 0;
}

int32_t lastPathExpansions() { return search().expansions; }

int32_t pathNodeCount() { return int32_t(search().nodes.size()); }

PathNode* linkPathForward(PathNode* goal)
{
    PathNode* node = goal;
    if (!node)
        return nullptr;
    node->next = nullptr;
    while (node->parent) {
        node->parent->next = node;
        node = node->parent;
    }
    return node;
}

void initPathSearch()
{
    SearchState& state = search();
    state.initialised = true;
    state.improved.reserve(64);
}

void releasePathSearch()
{
    freePathNodes();
    SearchState& state = search();
    state.improved = {};
    state.initialised = false;
}
