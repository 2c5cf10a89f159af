// The path search over plain grids (open field, mazes, walled-in goals, the
// expansion caps), over the world's own step test, and the walk along a
// found path, the server's path requests and following.
#include "walking_fixture.h"

#include "fixtures/maze_grid.h"
#include "world/path_search.h"
#include "world/path_walk.h"

#include <random>

namespace test {
namespace {

using fixture::GridWorld;
using fixture::pathSteps;

class PathSearch : public testing::Test {
protected:
    void TearDown() override { freePathNodes(); }
};

TEST_F(PathSearch, StartAtTheGoalReturnsTheStartAfterOneExpansion)
{
    GridWorld grid(10, 10);
    PathNode* goal = findPath(4, 4, 0, 4, 4, 0, 500, 0, grid);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(goal->parent, nullptr);
    EXPECT_EQ(lastPathExpansions(), 1);
    EXPECT_EQ(grid.questions(), 0) << "nothing was expanded";
}

TEST_F(PathSearch, AnOpenFieldIsCrossedDiagonallyAtOneStepACell)
{
    GridWorld grid(40, 40);
    PathNode* goal = findPath(2, 3, 0, 30, 20, 0, 500, 0, grid);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(pathSteps(goal), 28) << "max(|dx|, |dy|): diagonals cost 1";
    EXPECT_LT(lastPathExpansions(), 200) << "the distance guides the search straight there";
    // Every link is one step between neighbouring floor cells.
    for (const PathNode* node = goal; node->parent; node = node->parent) {
        EXPECT_LE(std::abs(node->x - node->parent->x), 1);
        EXPECT_LE(std::abs(node->y - node->parent->y), 1);
        EXPECT_FALSE(node->x == node->parent->x && node->y == node->parent->y);
    }
}

TEST_F(PathSearch, AMazeIsSolvedAlongItsCorridors)
{
    GridWorld grid = GridWorld::fromRows({
        "###########",
        "#.#.....#.#",
        "#.#.#.#.#.#",
        "#...#.#...#",
        "#####.#####",
        "#.....#...#",
        "#.#####.#.#",
        "#.......#.#",
        "###########",
    });
    PathNode* goal = findPath(1, 1, 0, 9, 7, 0, 500, 0, grid);
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(pathSteps(goal), grid.breadthFirstDistance(1, 1, 9, 7));
    for (const PathNode* node = goal; node; node = node->parent)
        EXPECT_TRUE(grid.isFloor(node->x, node->y)) << node->x << "," << node->y;
}

TEST_F(PathSearch, AWalledInGoalEndsTheSearchWhenTheOpenListRunsDry)
{
    GridWorld grid(20, 20);
    for (int32_t i = 8; i <= 12; ++i) {
        grid.setFloor(i, 8, false);
        grid.setFloor(i, 12, false);
        grid.setFloor(8, i, false);
        grid.setFloor(12, i, false);
    }
    EXPECT_EQ(findPath(1, 1, 0, 10, 10, 0, 500, 0, grid), nullptr);
    // Every reachable floor cell was taken once: 400 - 16 walls - 9 inside.
    EXPECT_EQ(lastPathExpansions(), 400 - 16 - 9);
}

TEST_F(PathSearch, TheLimitEndsTheSearchAtTheExpansionAfterIt)
{
    GridWorld grid(200, 200);
    grid.setFloor(150, 150, false);
    EXPECT_EQ(findPath(10, 10, 0, 150, 150, 0, 500, 0, grid), nullptr);
    EXPECT_EQ(lastPathExpansions(), 501);
    EXPECT_EQ(findPath(10, 10, 0, 150, 150, 0, 100000, 0, grid), nullptr);
    EXPECT_EQ(lastPathExpansions(), kMaxPathExpansions + 1) << "never more than 5000, whatever the caller asks";
}

TEST_F(PathSearch, ToleranceOneTakesTheCellsRoundTheGoalWithinEightOfItsHeight)
{
    GridWorld grid(10, 10);
    grid.setFloor(5, 5, false);
    EXPECT_EQ(findPath(1, 1, 0, 5, 5, 0, 500, 0, grid), nullptr);
    PathNode* near = findPath(1, 1, 0, 5, 5, 8, 500, 1, grid);
    ASSERT_NE(near, nullptr);
    EXPECT_LE(std::abs(near->x - 5), 1);
    EXPECT_LE(std::abs(near->y - 5), 1);
    EXPECT_EQ(findPath(1, 1, 0, 5, 5, 9, 40, 1, grid), nullptr) << "nine units of height is too far";
}

TEST_F(PathSearch, NoDiagonalCutsAWalledCorner)
{
    // (1, 1) and (2, 2) touch only across the corner of two walls.
    GridWorld corner = GridWorld::fromRows({
        "####",
        "#.##",
        "##.#",
        "####",
    });
    EXPECT_EQ(findPath(1, 1, 0, 2, 2, 0, 500, 0, corner), nullptr);
    // With one side open the way goes round it: two straight steps.
    corner.setFloor(1, 2, true);
    PathNode* goal = findPath(1, 1, 0, 2, 2, 0, 500, 0, corner);
    ASSERT_NE(goal, nullptr);
    ASSERT_EQ(pathSteps(goal), 2);
    EXPECT_EQ(goal->parent->x, 1);
    EXPECT_EQ(goal->parent->y, 2);
}

TEST_F(PathSearch, FoundPathsAreValidAndNeverFarLongerThanTheShortest)
{
    // The straight-line estimate overrates diagonal moves (each costs 1), so
    // the search may settle for a path a little longer than the shortest;
    // it must never be one that walks through a wall or cuts a corner.
    std::mt19937 random(20240611);
    int32_t shortest = 0;
    int32_t rounds = 0;
    for (int32_t round = 0; round < 200; ++round) {
        GridWorld grid(14, 14);
        for (int32_t y = 0; y < 14; ++y) {
            for (int32_t x = 0; x < 14; ++x)
                grid.setFloor(x, y, random() % 100 >= 28);
        }
        int32_t fromX = int32_t(random() % 14);
        int32_t fromY = int32_t(random() % 14);
        int32_t toX = int32_t(random() % 14);
        int32_t toY = int32_t(random() % 14);
        grid.setFloor(fromX, fromY, true);
        grid.setFloor(toX, toY, true);
        int32_t best = grid.breadthFirstDistance(fromX, fromY, toX, toY);
        PathNode* goal = findPath(fromX, fromY, 0, toX, toY, 0, 500, 0, grid);
        ASSERT_EQ(goal != nullptr, best >= 0) << "round " << round;
        if (!goal)
            continue;
        ++rounds;
        int32_t steps = pathSteps(goal);
        EXPECT_GE(steps, best);
        EXPECT_LE(steps, best + best / 2 + 1) << "round " << round;
        shortest += steps == best;
        for (const PathNode* node = goal; node->parent; node = node->parent) {
            ASSERT_TRUE(grid.isFloor(node->x, node->y));
            int32_t dx = node->x - node->parent->x;
            int32_t dy = node->y - node->parent->y;
            ASSERT_LE(std::abs(dx) + std::abs(dy), 2);
            if (dx && dy) {
                ASSERT_TRUE(grid.isFloor(node->parent->x + dx, node->parent->y));
                ASSERT_TRUE(grid.isFloor(node->parent->x, node->parent->y + dy));
            }
        }
    }
    EXPECT_GT(rounds, 100);
    EXPECT_GT(shortest * 10, rounds * 9) << "nearly always the shortest";
}

TEST_F(PathSearch, AnEarlierSearchsNodesAreFreedByTheNext)
{
    GridWorld grid(30, 30);
    ASSERT_NE(findPath(1, 1, 0, 20, 25, 0, 500, 0, grid), nullptr);
    int32_t first = pathNodeCount();
    EXPECT_GT(first, 20);
    ASSERT_NE(findPath(1, 1, 0, 2, 2, 0, 500, 0, grid), nullptr);
    EXPECT_LT(pathNodeCount(), first);
    freePathNodes();
    EXPECT_EQ(pathNodeCount(), 0);
}

class WorldPaths : public WalkingTest {
protected:
    void TearDown() override
    {
        freePathNodes();
        resetServerPathfindCountdown();
        WalkingTest::TearDown();
    }
};

TEST_F(WorldPaths, TheWorldsStepTestGuidesTheSearchRoundAWall)
{
    // A wall from (1001, 996) to (1001, 1002) between the player and the goal.
    for (int32_t y = -4; y <= 2; ++y)
        placeStatic(kBlockTile, kCentreX + 1, kCentreY + y, 0);
    PathNode* goal = findPath(kCentreX, kCentreY, 0, kCentreX + 3, kCentreY, 0, 500, 0);
    ASSERT_NE(goal, nullptr);
    for (const PathNode* node = goal; node; node = node->parent)
        EXPECT_FALSE(node->x == kCentreX + 1 && node->y >= kCentreY - 4 && node->y <= kCentreY + 2);
    // Round the wall's southern end, with no corner cut: down to (1000, 1003),
    // east along row 1003 and up to the goal.
    EXPECT_EQ(pathSteps(goal), 8);
}

TEST_F(WorldPaths, APathIsWalkedTurningFirstAndNeverMoreThanThreeStepsAhead)
{
    player()->direction = 0;
    PathNode* goal = findPath(kCentreX, kCentreY, 0, kCentreX + 5, kCentreY, 0, 500, 0);
    ASSERT_NE(goal, nullptr);
    startPathWalk(goal);
    walkPathStep();
    ASSERT_EQ(stepQueue().count, 1);
    EXPECT_FALSE(stepQueue().entries[0].isMove()) << "the first step east only turns the player";
    for (int32_t i = 0; i < 6; ++i)
        walkPathStep();
    EXPECT_EQ(stepQueue().count, 3) << "three steps pending at most";
    // The server answers and the steps are shown: the walk goes on to the goal.
    for (int32_t i = 0; i < 60 && pathWalkState().active; ++i) {
        for (int32_t k = 0; k < stepQueue().count; ++k) {
            if (!stepQueue().entries[size_t(k)].acknowledged) {
                onMoveAck(stepQueue().entries[size_t(k)].sequence);
                break;
            }
        }
        updateWalking();
        walkPathStep();
    }
    for (int32_t i = 0; i < 10; ++i)
        updateWalking();
    EXPECT_FALSE(pathWalkState().active);
    EXPECT_EQ(player()->x, kCentreX + 5);
    EXPECT_EQ(player()->y, kCentreY);
    EXPECT_EQ(pathNodeCount(), 0) << "the nodes are freed at the end";
}

TEST_F(WorldPaths, TheServersPathRequestIsServedOnceIn19)
{
    RecordingTexts texts;
    ScopedWorldService<OverheadTextViews> guard(texts);
    for (int32_t i = 0; i < 18; ++i)
        onServerPathfind(kCentreX + 3, kCentreY + 2, 0);
    EXPECT_FALSE(pathWalkState().active);
    EXPECT_TRUE(texts.lines.empty());
    onServerPathfind(kCentreX + 3, kCentreY + 2, 0);
    EXPECT_TRUE(pathWalkState().active);
    ASSERT_EQ(texts.lines.size(), 2u);
    EXPECT_EQ(texts.lines[0], "1003 1002 0");
    EXPECT_EQ(texts.lines[1], "Pathfinding to 1003, 1002, 0.");
    EXPECT_LE(std::abs(pathWalkState().goalX - (kCentreX + 3)), 1) << "a cell next to the goal will do";
    onServerPathfind(kCentreX, kCentreY, 0);
    EXPECT_EQ(texts.lines.size(), 2u) << "the count starts over";
}

TEST_F(WorldPaths, FollowingAMobileThatGotAwayReportsWhenThereIsNoWay)
{
    RecordingMessages messages;
    ScopedWorldService<WorldMessages> guard(messages);
    PathFollower follower;
    ScopedWorldService<FollowPaths> followGuard(follower);
    player()->following = 1;
    player()->followSerial = 0x00000077;
    Mobile* mobile = addMobile(0x00000077, kCentreX + 5, kCentreY);
    ASSERT_NE(mobile, nullptr);
    EXPECT_TRUE(pathWalkState().active) << "five cells away: a path to it";
    EXPECT_GE(pathWalkState().goalX, kCentreX + 4);
    // Now it stands where no step reaches, not even next to it.
    for (int32_t y = 5; y <= 7; ++y) {
        for (int32_t x = 5; x <= 7; ++x)
            removeLand(kCentreX + x, kCentreY + y);
    }
    onObjectPacket(0x00000077, kHumanBody, 0, 1, kCentreX + 6, kCentreY + 6, 0, 0, 0, 0);
    EXPECT_FALSE(pathWalkState().active);
    ASSERT_EQ(messages.lines.size(), 1u);
    EXPECT_EQ(messages.lines[0], "Can't get there (follow)");
    EXPECT_EQ(lastPathExpansions(), 101) << "the follow search is held to 100 cells";
}

} // namespace
} // namespace test
