// The step queue against a server double, frame by frame on a fake clock:
// sequence numbers, acknowledgements in and out of order, denials and
// resynchronisation, running, riding, falls, and the view that follows.
#include "walking_fixture.h"

#include "data/data_files.h"
#include "fixtures/client_directory.h"
#include "gfx/back_buffer.h"
#include "world/path_walk.h"

#include <deque>
#include <functional>

namespace test {
namespace {

constexpr int32_t kFrameMs = 76;
// Screen directions (world + 1).
constexpr int32_t kScreenNorth = 1;
constexpr int32_t kScreenEast = 3;
constexpr int32_t kScreenSouth = 5;
constexpr int32_t kScreenWest = 7;
constexpr uint32_t kWalkingMountSerial = 0x40000081;

class RecordedTexts final : public OverheadTextViews {
public:
    void create(StaticObject& object, std::string_view text, uint16_t hue, uint16_t font, int32_t, bool) override
    {
        lines.push_back((object.isPlayer() ? "player: " : "other: ") + std::string(text) + " hue "
            + std::to_string(hue) + " font " + std::to_string(font));
    }
    std::vector<std::string> lines;
};

class RecordedSounds final : public WorldSounds {
public:
    void playSound(int32_t id, int32_t, int32_t, bool, int32_t, bool) override { sounds.push_back(id); }
    void playSoundAt(int32_t id, int32_t, int32_t, int32_t, float, bool, int32_t, bool) override { sounds.push_back(id); }
    std::vector<int32_t> sounds;
};

class ScrollRecorder final : public WalkingViews {
public:
    bool isPointerFarFromCentre() override { return pointerFar; }
    void viewScrolled(int32_t dx, int32_t dy) override
    {
        if (dx || dy)
            scrolls.push_back(std::to_string(dx) + "," + std::to_string(dy));
    }
    bool pointerFar = false;
    std::vector<std::string> scrolls;
};

// What the server double does with each walk request.
enum class Answer {
    Accept,
    Deny,
    Ignore,
};

class WalkingQueue : public WalkingTest {
protected:
    void SetUp() override
    {
        WalkingTest::SetUp();
        server.x = kCentreX;
        server.y = kCentreY;
    }

    void TearDown() override
    {
        // Back to the frames every body takes without a file.
        loadAnimInfo();
        WalkingTest::TearDown();
    }

    // The server's side: its own idea of the player, the requests it has
    // read and answers after `latency` frames.
    struct Server {
        int32_t x = 0;
        int32_t y = 0;
        int32_t z = 0;
        int32_t facing = 0;
        int32_t latency = 1;
        std::function<Answer(const WalkRequest&)> policy = [](const WalkRequest&) { return Answer::Accept; };
        std::deque<std::pair<int32_t, WalkRequest>> pending;
    };

    void serverReads()
    {
        for (const WalkRequest& request : takeRequests()) {
            char line[64];
            if (request.id == 0x02)
                std::snprintf(line, sizeof line, "-> 02 dir %d%s seq %d", request.direction & 7,
                    request.run() ? " run" : "", request.sequence);
            else
                std::snprintf(line, sizeof line, "-> %02X", request.id);
            trace.push_back(line);
            server.pending.emplace_back(frame + server.latency, request);
        }
    }

    void serverAnswers()
    {
        while (!server.pending.empty() && server.pending.front().first <= frame) {
            WalkRequest request = server.pending.front().second;
            server.pending.pop_front();
            char line[64];
            if (request.id == 0x22) {
                // The player update puts the player where the server has it.
                std::snprintf(line, sizeof line, "<- 20 at %d,%d", server.x - kCentreX, server.y - kCentreY);
                trace.push_back(line);
                resyncPlayerPosition(0, server.x, server.y, server.z);
                player()->direction = uint8_t(server.facing);
                clearResyncSent();
                continue;
            }
            Answer answer = server.policy(request);
            if (answer == Answer::Ignore)
                continue;
            if (answer == Answer::Deny) {
                std::snprintf(line, sizeof line, "<- 21 seq %d at %d,%d", request.sequence, server.x - kCentreX,
                    server.y - kCentreY);
                trace.push_back(line);
                resyncPlayerPosition(request.sequence, server.x, server.y, server.z);
                player()->direction = uint8_t(server.facing);
                continue;
            }
            int32_t direction = request.direction & 7;
            if (direction == server.facing) {
                server.x += directionDx(direction);
                server.y += directionDy(direction);
            }
            server.facing = direction;
            std::snprintf(line, sizeof line, "<- 22 seq %d", request.sequence);
            trace.push_back(line);
            onMoveAck(request.sequence);
        }
    }

    void step(int32_t screenDirection, int32_t run = 0)
    {
        requestStep(screenDirection, run, true);
        serverReads();
    }

    // Frames of the game: the server answers what is due, then the walking
    // step runs and the state is traced.
    void runFrames(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            ++frame;
            clock.advance(kFrameMs);
            serverAnswers();
            updateWalking();
            serverReads();
            trace.push_back(snapshot());
        }
    }

    void expectTrace(const std::vector<std::string>& expected)
    {
        EXPECT_EQ(trace, expected) << joined();
    }

    std::string joined() const
    {
        std::string text;
        for (const std::string& line : trace)
            text += "\"" + line + "\",\n";
        return text;
    }

    Server server;
    int32_t frame = 0;
    std::vector<std::string> trace;
    RecordedTexts texts;
    ScopedWorldService<OverheadTextViews> textsGuard { texts };
    RecordedSounds sounds;
    ScopedWorldService<WorldSounds> soundsGuard { sounds };
    ScrollRecorder views;
    ScopedWorldService<WalkingViews> viewsGuard { views };
};

TEST_F(WalkingQueue, AFifthStepIsIgnoredAndTheSequenceGoesFrom255To1)
{
    player()->direction = 2;
    stepQueue().sequence = 254;
    for (int32_t i = 0; i < 5; ++i)
        requestStep(kScreenEast, 0, true);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 4u) << "four unacknowledged steps at most";
    EXPECT_EQ(requests[0].sequence, 254);
    EXPECT_EQ(requests[1].sequence, 255);
    EXPECT_EQ(requests[2].sequence, 1) << "never 0";
    EXPECT_EQ(requests[3].sequence, 2);
    EXPECT_EQ(stepQueue().count, 4);
    EXPECT_EQ(stepQueue().sentSteps, 4);
    EXPECT_EQ(stepQueue().entries[3].z, 0);
}

TEST_F(WalkingQueue, TheWalkKeysGoOutOneWithEachRequest)
{
    player()->direction = 2;
    player()->setWalkKey(0x11223344, 0);
    player()->setWalkKey(0x55667788, 1);
    for (int32_t i = 0; i < 3; ++i)
        requestStep(kScreenEast, 0, true);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].key, 0x11223344u);
    EXPECT_EQ(requests[1].key, 0x55667788u);
    EXPECT_EQ(requests[2].key, 0u);
}

TEST_F(WalkingQueue, NoConnectionNoStep)
{
    sink.connected = false;
    requestStep(kScreenNorth, 0, true);
    EXPECT_EQ(stepQueue().count, 0);
    EXPECT_TRUE(takeRequests().empty());
}

TEST_F(WalkingQueue, IntoAWallFacingItNothingIsQueuedOtherwiseATurn)
{
    placeStatic(kBlockTile, kCentreX - 1, kCentreY, 0);
    placeStatic(kBlockTile, kCentreX, kCentreY - 1, 0);
    player()->direction = 6;
    requestStep(kScreenWest, 0, true);
    EXPECT_EQ(stepQueue().count, 0) << "facing west into a wall";
    requestStep(kScreenNorth, 0, true);
    ASSERT_EQ(stepQueue().count, 1) << "north into a wall is a turn";
    EXPECT_FALSE(stepQueue().entries[0].isMove());
    EXPECT_EQ(stepQueue().entries[0].direction, 0);
}

TEST_F(WalkingQueue, AnEarlyAcknowledgementMarksTheStepUntilItIsShown)
{
    player()->direction = 2;
    requestStep(kScreenEast, 0, true);
    ASSERT_EQ(takeRequests().size(), 1u);
    onMoveAck(stepQueue().entries[0].sequence);
    EXPECT_TRUE(stepQueue().entries[0].acknowledged);
    EXPECT_EQ(stepQueue().count, 1);
    EXPECT_EQ(mapView().centreX, kCentreX + 1) << "the view centre follows the acknowledged position";
    EXPECT_EQ(player()->x, kCentreX) << "the player follows the animation";
    for (int32_t i = 0; i < 4; ++i)
        updateWalking();
    EXPECT_EQ(stepQueue().count, 0);
    EXPECT_EQ(player()->x, kCentreX + 1);
}

TEST_F(WalkingQueue, AnOutOfOrderAcknowledgementOfAShownStepSendsOneResync)
{
    player()->direction = 2;
    requestStep(kScreenEast, 0, true);
    requestStep(kScreenEast, 0, true);
    takeRequests();
    for (int32_t i = 0; i < 8; ++i)
        updateWalking();
    ASSERT_EQ(stepQueue().animIndex, 2) << "both steps shown, neither acknowledged";
    onMoveAck(stepQueue().entries[1].sequence);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].id, 0x22);
    EXPECT_TRUE(stepQueue().blocked);
    EXPECT_EQ(stepQueue().count, 0);
    requestStep(kScreenEast, 0, true);
    onMoveAck(77);
    EXPECT_TRUE(takeRequests().empty()) << "blocked, and the resync request goes out once";
    resyncPlayerPosition(0, kCentreX + 2, kCentreY, 0);
    clearResyncSent();
    EXPECT_FALSE(stepQueue().blocked);
    EXPECT_EQ(player()->x, kCentreX + 2);
    requestStep(kScreenEast, 0, true);
    EXPECT_EQ(takeRequests().size(), 1u);
}

TEST_F(WalkingQueue, AnUnknownSequenceResyncs)
{
    onMoveAck(9);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].id, 0x22);
    EXPECT_TRUE(stepQueue().blocked);
}

TEST_F(WalkingQueue, AServerStepIsQueuedAndAcknowledgedAtOnce)
{
    player()->direction = 4;
    onServerStep(4);
    EXPECT_TRUE(takeRequests().empty()) << "nothing is sent for it";
    ASSERT_EQ(stepQueue().count, 1);
    EXPECT_TRUE(stepQueue().entries[0].acknowledged);
    EXPECT_EQ(stepQueue().sentSteps, 0);
    EXPECT_EQ(mapView().centreY, kCentreY + 1);
    onServerStep(8);
    onServerStep(0xFF);
    EXPECT_EQ(stepQueue().count, 1) << "bytes that are no direction are refused";
}

TEST_F(WalkingQueue, AServerStepIntoAFullQueueResyncsFirst)
{
    player()->direction = 2;
    for (int32_t i = 0; i < 4; ++i)
        requestStep(kScreenEast, 0, true);
    takeRequests();
    onServerStep(2);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].id, 0x22);
    EXPECT_TRUE(stepQueue().blocked);
    EXPECT_EQ(stepQueue().count, 1) << "the server's own step is still taken";
}

TEST_F(WalkingQueue, AStepRequestedWhileAnotherWaitsStartsWhereThatOneEnds)
{
    // Three cells east a wall: the fourth step is refused only when every
    // step before it is counted once, shown or not.
    placeStatic(kBlockTile, kCentreX + 3, kCentreY, 0);
    player()->direction = 2;
    requestStep(kScreenEast, 0, true);
    for (int32_t i = 0; i < 4; ++i)
        updateWalking();
    ASSERT_EQ(player()->x, kCentreX + 1) << "shown, not yet acknowledged";
    requestStep(kScreenEast, 0, true);
    EXPECT_EQ(stepQueue().count, 2) << "from the second cell to the third";
    requestStep(kScreenEast, 0, true);
    EXPECT_EQ(stepQueue().count, 2) << "the wall stands in the fourth cell";
}

TEST_F(WalkingQueue, AcceptedStepsScrollTheViewAndMoveTheCentre)
{
    player()->direction = 2;
    step(kScreenEast);
    runFrames(2);
    step(kScreenEast);
    runFrames(7);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "<- 22 seq 0",
        "pos 0,0,0 dir 2 frame 1 queue 0/1 off 5,5 centre 1,0",
        "pos 0,0,0 dir 2 frame 2 queue 0/1 off 11,11 centre 1,0",
        "-> 02 dir 2 seq 1",
        "<- 22 seq 1",
        "pos 0,0,0 dir 2 frame 3 queue 0/2 off 16,16 centre 2,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/1 off 0,0 centre 2,0",
        "pos 1,0,0 dir 2 frame 1 queue 0/1 off 5,5 centre 2,0",
        "pos 1,0,0 dir 2 frame 2 queue 0/1 off 11,11 centre 2,0",
        "pos 1,0,0 dir 2 frame 3 queue 0/1 off 16,16 centre 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
    });
    EXPECT_EQ(views.scrolls.size(), 8u) << "one scroll per shown frame";
}

TEST_F(WalkingQueue, ADeniedStepPutsThePlayerBackExactly)
{
    player()->direction = 2;
    server.facing = 2;
    server.latency = 3;
    server.policy = [](const WalkRequest& request) { return request.sequence == 1 ? Answer::Deny : Answer::Accept; };
    step(kScreenEast);
    runFrames(1);
    step(kScreenEast);
    runFrames(6);
    EXPECT_EQ(player()->x, kCentreX + 1) << "one cell, where the server has it";
    EXPECT_EQ(mapView().centreX, kCentreX + 1);
    EXPECT_EQ(worldScreen().stepOffsetX, 0);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "pos 0,0,0 dir 2 frame 1 queue 0/1 off 5,5 centre 0,0",
        "-> 02 dir 2 seq 1",
        "pos 0,0,0 dir 2 frame 2 queue 0/2 off 11,11 centre 0,0",
        "<- 22 seq 0",
        "pos 0,0,0 dir 2 frame 3 queue 0/2 off 16,16 centre 1,0",
        // Refused before the first step is shown to its end: the player
        // stands at once where the server has it.
        "<- 21 seq 1 at 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
    });
}

TEST_F(WalkingQueue, AnOutOfOrderAnswerBlocksUntilTheServerPlacesThePlayer)
{
    player()->direction = 2;
    server.facing = 2;
    server.latency = 6;
    // The server confirms the second step first.
    server.policy = [](const WalkRequest&) { return Answer::Ignore; };
    step(kScreenEast);
    step(kScreenEast);
    runFrames(8);
    ASSERT_EQ(stepQueue().animIndex, 2);
    server.pending.clear();
    server.x = kCentreX + 2;
    server.latency = 1;
    server.policy = [](const WalkRequest&) { return Answer::Accept; };
    onMoveAck(1);
    serverReads();
    runFrames(2);
    step(kScreenEast);
    runFrames(1);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "-> 02 dir 2 seq 1",
        "pos 0,0,0 dir 2 frame 1 queue 0/2 off 5,5 centre 0,0",
        "pos 0,0,0 dir 2 frame 2 queue 0/2 off 11,11 centre 0,0",
        "pos 0,0,0 dir 2 frame 3 queue 0/2 off 16,16 centre 0,0",
        "pos 1,0,0 dir 2 frame 0 queue 1/2 off 0,0 centre 0,0",
        "pos 1,0,0 dir 2 frame 1 queue 1/2 off 5,5 centre 0,0",
        "pos 1,0,0 dir 2 frame 2 queue 1/2 off 11,11 centre 0,0",
        "pos 1,0,0 dir 2 frame 3 queue 1/2 off 16,16 centre 0,0",
        "pos 2,0,0 dir 2 frame 0 queue 2/2 off 0,0 centre 0,0",
        "-> 22",
        "<- 20 at 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
        "-> 02 dir 2 seq 0",
        "<- 22 seq 0",
        "pos 2,0,0 dir 2 frame 1 queue 0/1 off 5,5 centre 3,0",
    });
}

TEST_F(WalkingQueue, RunningStepsAreTimedByTheRunBeforeThem)
{
    player()->direction = 2;
    step(kScreenEast, 1);
    step(kScreenEast, 1);
    runFrames(7);
    expectTrace({
        "-> 02 dir 2 run seq 0",
        "-> 02 dir 2 run seq 1",
        "<- 22 seq 0",
        "<- 22 seq 1",
        "pos 0,0,0 dir 2 frame 1 queue 0/2 off 5,5 centre 2,0",
        "pos 0,0,0 dir 2 frame 2 queue 0/2 off 11,11 centre 2,0",
        "pos 0,0,0 dir 2 frame 3 queue 0/2 off 16,16 centre 2,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/1 off 0,0 centre 2,0",
        "pos 1,0,0 dir 2 frame 1 queue 0/1 off 11,11 centre 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
        "pos 2,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 2,0",
    });
}

TEST_F(WalkingQueue, RunningFollowsThePointerTheSettingAndTheStamina)
{
    player()->direction = 2;
    views.pointerFar = true;
    requestStep(kScreenEast, -1, true);
    player()->stamina = 1;
    requestStep(kScreenEast, -1, true);
    player()->stamina = 10;
    player()->speedMode = 2;
    requestStep(kScreenEast, 1, true);
    std::vector<WalkRequest> requests = takeRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[0].run()) << "the pointer far from the centre runs";
    EXPECT_FALSE(requests[1].run()) << "no breath left to run";
    EXPECT_FALSE(requests[2].run()) << "the server's speed mode forbids it";
}

TEST_F(WalkingQueue, ARiderTakesHalfTheFrames)
{
    ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kWalkingMountSerial, 16016, Mobile::kMountLayer, 0));
    player()->direction = 2;
    step(kScreenEast);
    runFrames(3);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "<- 22 seq 0",
        "pos 0,0,0 dir 2 frame 1 queue 0/1 off 11,11 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
    });
}

TEST_F(WalkingQueue, ARiderWhoseBodyHasOneFrameStillStepsInOneFrame)
{
    // The animation info gives the body one walk and one run frame: halved
    // for the rider that is none, and every step takes at least one frame.
    fixture::ClientDirectory client;
    std::string info;
    for (int32_t body = 0; body < 1000; ++body)
        info += body == kHumanBody ? std::string("\x01\x01") : std::string("\x04\x02");
    client.write("animinfo.mul", info);
    loadAnimInfo();
    ASSERT_EQ(walkFramesForBody(kHumanBody), 1);
    ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kWalkingMountSerial, 16016, Mobile::kMountLayer, 0));
    player()->direction = 2;
    step(kScreenEast);
    runFrames(2);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "<- 22 seq 0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
        "pos 1,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 1,0",
    });
    EXPECT_EQ(stepQueue().framesPerStep, 1);
}

TEST_F(WalkingQueue, ATurnTakesOneFrameAndMovesNothing)
{
    step(kScreenEast);
    runFrames(2);
    expectTrace({
        "-> 02 dir 2 seq 0",
        "<- 22 seq 0",
        "pos 0,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 0,0",
        "pos 0,0,0 dir 2 frame 0 queue 0/0 off 0,0 centre 0,0",
    });
}

TEST_F(WalkingQueue, AStepDownALedgeOf22SaysOuchWhenItEnds)
{
    land(kCentreX, kCentreY + 1, -22);
    player()->direction = 4;
    requestStep(kScreenSouth, 0, true);
    ASSERT_EQ(stepQueue().count, 1);
    EXPECT_TRUE(stepQueue().entries[0].drop);
    // A fall of 22: the walk frames and two more per 11 fallen.
    for (int32_t i = 0; i < 7; ++i)
        updateWalking();
    EXPECT_TRUE(texts.lines.empty()) << "not before the step ends";
    EXPECT_EQ(stepQueue().framesPerStep, 8);
    updateWalking();
    ASSERT_EQ(texts.lines.size(), 1u);
    EXPECT_EQ(texts.lines[0], "player: ouch! hue 995 font 3");
    // Footsteps may sound during the step; "ouch!" sounds once at its end.
    std::vector<int32_t> ouch;
    for (int32_t id : sounds.sounds) {
        if (id >= 331 && id <= 344)
            ouch.push_back(id);
    }
    ASSERT_EQ(ouch.size(), 1u);
    EXPECT_GE(ouch[0], 340);
    EXPECT_LE(ouch[0], 344);
    EXPECT_EQ(player()->z, -22);
}

TEST_F(WalkingQueue, TheDeadFallSilently)
{
    land(kCentreX, kCentreY + 1, -30);
    player()->graphic = 402;
    player()->direction = 4;
    requestStep(kScreenSouth, 0, true);
    for (int32_t i = 0; i < 12; ++i)
        updateWalking();
    EXPECT_EQ(player()->z, -30);
    EXPECT_TRUE(texts.lines.empty());
    EXPECT_TRUE(sounds.sounds.empty());
}

TEST_F(WalkingQueue, AFallIsDrawnFromTheLedgeDownOverTheFrames)
{
    land(kCentreX, kCentreY + 1, -22);
    player()->direction = 4;
    requestStep(kScreenSouth, 0, true);
    std::vector<int32_t> heights;
    for (int32_t i = 0; i < 8; ++i) {
        updateWalking();
        heights.push_back(player()->drawZ);
    }
    // Start while the frame is 1, then start + (end - start)(f - 2) / (F - 2).
    EXPECT_EQ(heights, (std::vector<int32_t> { 0, 0, -3, -7, -11, -14, -18, -22 }));
}

TEST_F(WalkingQueue, WalkingByPointerStopsFollowingAndWaitsForTheShownStep)
{
    player()->following = 1;
    player()->followSerial = 0x1234;
    player()->direction = 2;
    walkByPointer(kScreenEast, 0);
    ASSERT_EQ(texts.lines.size(), 1u);
    EXPECT_EQ(texts.lines[0], "player: Stopped following. hue 3 font 0");
    EXPECT_EQ(player()->following, 0);
    EXPECT_EQ(stepQueue().count, 1);
    walkByPointer(kScreenEast, 0);
    EXPECT_EQ(stepQueue().count, 1) << "the first step is not shown yet";
    walkByKey(kScreenEast, 0, false);
    EXPECT_EQ(stepQueue().count, 2) << "a key press always asks";
    walkByKey(kScreenEast, 0x40000000, false);
    EXPECT_EQ(stepQueue().count, 2) << "a key repeat waits like the pointer";
    walkByKey(kScreenEast, 0, true);
    ASSERT_EQ(stepQueue().count, 3);
    EXPECT_TRUE(stepQueue().entries[2].run) << "Control runs";
}

TEST_F(WalkingQueue, NothingWalksWhileTheDeathScreenShows)
{
    player()->direction = 2;
    requestStep(kScreenEast, 0, true);
    setDeathScreenShown(true);
    updateWalking();
    EXPECT_EQ(stepQueue().frame, 0);
    setDeathScreenShown(false);
    updateWalking();
    EXPECT_EQ(stepQueue().frame, 1);
}

TEST_F(WalkingQueue, TheViewKeepsThePlayerAtTheGameAreaCentre)
{
    BackBuffer buffer;
    buffer.create(640, 480, BufferFormat::Rgb555);
    setWorldBackBuffer(&buffer);
    resyncPlayerPosition(0, kCentreX, kCentreY, 0);
    const WorldScreen& screen = worldScreen();
    EXPECT_EQ(screen.viewPixelX, (0 + mapView().mapWidth) * 22 - 319);
    EXPECT_EQ(screen.viewPixelY, (kCentreX + kCentreY) * 22 - 217);
    player()->direction = 2;
    requestStep(kScreenEast, 0, true);
    updateWalking();
    EXPECT_EQ(screen.viewPixelX, (0 + mapView().mapWidth) * 22 - 319 + 5);
    setWorldBackBuffer(nullptr);
}

TEST_F(WalkingQueue, InWarModeThePlayerTurnsToTheCombatant)
{
    Mobile* enemy = addMobile(0x00000090, kCentreX - 3, kCentreY + 2);
    ASSERT_NE(enemy, nullptr);
    player()->warMode = 1;
    setCombatantSerial(0x00000090);
    clock.setUnixSeconds(1000);
    stepQueue().lastStepRequestTime = 998;
    warFacingStep();
    EXPECT_EQ(stepQueue().count, 0) << "within three seconds of the last request";
    clock.setUnixSeconds(1001);
    warFacingStep();
    ASSERT_EQ(stepQueue().count, 1);
    EXPECT_EQ(stepQueue().entries[0].direction, 5) << "south-west";
    EXPECT_FALSE(stepQueue().entries[0].isMove());
    clock.setUnixSeconds(1010);
    warFacingStep();
    EXPECT_EQ(stepQueue().count, 1) << "a request is unanswered";
}

} // namespace
} // namespace test
