#pragma once
// The player's own walking, predicted here and confirmed by the server. A step
// request is tested against the world, queued (at most four unacknowledged),
// sent with a sequence number and animated at once; the map view centre
// follows the acknowledged position and the player object the animation, and
// the view scrolls pixel by pixel while a step is shown. Acknowledgements out
// of order, or a server step into a full queue, block walking until the
// server's position update. Directions are world directions (0 north) unless
// named screen directions (world + 1). Times are tick-count milliseconds and,
// for the request time, calendar seconds. Main thread only.

#include <array>
#include <cstdint>

struct StepEntry {
    uint8_t direction = 0;
    // The facing before this step: a step whose direction equals it moves,
    // any other only turns the player.
    uint8_t previousFacing = 0;
    uint8_t sequence = 0;
    bool acknowledged = false;
    bool run = false;
    // The step goes down by 11 or more: it is drawn as a fall.
    bool drop = false;
    uint32_t requestTime = 0;
    int8_t z = 0;

    bool isMove() const { return direction == previousFacing; }
};

struct StepQueue {
    static constexpr int32_t kMaxSteps = 4;

    std::array<StepEntry, kMaxSteps> entries {};
    int32_t count = 0;
    // Entries before this one have been animated.
    int32_t animIndex = 0;
    // The next sequence number: after 255 comes 1; 0 only right after a reset.
    uint8_t sequence = 0;
    // Frames animated of the current step, and the frames the step takes.
    int32_t frame = 0;
    int32_t framesPerStep = 1;
    // The run flag of the step completed last: the next step is timed by it.
    bool run = false;
    // Set by a resync request: no step until the server places the player.
    bool blocked = false;
    // Set while the server makes the player follow a mobile: a step is shown
    // only once it is acknowledged.
    bool serverFollow = false;
    // A resync request went out and no position update has come since.
    bool resyncSent = false;
    int32_t sentSteps = 0;
    // Calendar seconds of the last step request.
    uint32_t lastStepRequestTime = 0;
    // The fall drawn while the current step goes down a ledge.
    bool falling = false;
    int32_t fallStart = 0;
    int32_t fallEnd = 0;
    // Set while the death screen shows: nothing walks.
    bool deathScreen = false;
    // The mobile the player turns to face in war mode (the fight packet's).
    uint32_t combatantSerial = 0;
};

StepQueue& stepQueue();

// What walking asks of the windows above the world; the base does nothing
// (the pointer counts as near the centre).
class WalkingViews {
public:
    virtual ~WalkingViews() = default;
    // The pointer lies outside the ellipse round the game area's centre: a
    // step asked to run "by the pointer's distance" runs.
    virtual bool isPointerFarFromCentre() { return false; }
    // The view moved; the content moved by (dx, dy) pixels: the weather and
    // the effects move with it and the overhead texts follow their objects.
    virtual void viewScrolled(int32_t, int32_t) { }
};

// The windows that close when the player asks for a step: the container
// window that asked to close on the next step (the bank box). No window kind
// closes when its object falls out of reach, so a completed step closes
// nothing.
class StepClosedWindows {
public:
    virtual ~StepClosedWindows() = default;
    virtual void closeWindowsOnStep() { }
};

// The player's step request. `run` is 0, 1, or -1 for "run when the pointer is
// far from the centre"; `check` false asks only whether a turn is needed.
void requestStep(int32_t screenDirection, int32_t run, bool check);
// The world view's pointer walking: stops following, then steps when walking
// is free and no step is being shown.
void walkByPointer(int32_t screenDirection, int32_t run);
// The keyboard's walking; `keyFlags` bit 0x40000000 marks a key repeat, which
// steps only when walking is free and no step is being shown. Control runs.
void walkByKey(int32_t screenDirection, uint32_t keyFlags, bool controlHeld);
// Shows "Stopped following." over the player and ends its following.
void stopFollowing();

// True while a new step would be accepted now: not blocked and every queued
// step shown.
bool isWalkIdle();

// The server's answers.
void onMoveAck(uint8_t sequence);
// A server step (directions above 7 are refused).
void onServerStep(uint8_t direction);
// Puts the player where the server says (mode -1: at the view centre) and
// empties the queue.
void resyncPlayerPosition(int32_t mode, int32_t x, int32_t y, int32_t z);
// The player update also ends a pending resync request.
void clearResyncSent();
void setServerFollow(bool on);
void setDeathScreenShown(bool shown);
void setCombatantSerial(uint32_t serial);

// Once per frame.
void updateWalking();
// Facet change, connect, world reset.
void resetWalkState();

// The player's war-mode facing toward the combatant, from the player's frame step.
void warFacingStep();

// The step tests from the predicted position. `direction` may change to a
// free side of a blocked diagonal.
bool tryStep(int32_t& direction, int32_t& newZ, bool check);

// The player's partial step after `frame` of `frames` frames in `direction`.
void computeStepOffsets(int32_t direction, int32_t frame, int32_t frames, int32_t& offsetX, int32_t& offsetY);

// The player's drawn height for its position and step state, and the view's
// top-left world pixel that keeps the player at the game area's centre.
int32_t playerDrawnHeight();
void updateViewPosition();
