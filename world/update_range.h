#pragma once
// The update range: how many cells round the player the server sends objects
// for (5..18). The range in force is the player's update-range byte; the
// client asks for a new one with the update-range request 0xC8, at most once
// per 750 ms, and a request that must wait stays pending until the view-range
// step of a later frame sends it. Main thread only; times are tick-count ms.

#include <cstdint>

struct UpdateRangeState {
    static constexpr int32_t kMinRange = 5;
    static constexpr int32_t kMaxRange = 18;
    static constexpr uint32_t kSendIntervalMs = 750;

    int32_t desiredUpdateRange = kMaxRange;
    bool updateRangePending = false;
    int32_t pendingUpdateRange = 0;
    // -1: nothing sent since the last reset.
    int32_t lastSentUpdateRange = -1;
    uint32_t lastUpdateRangeSendTime = 0;
    // The range follows the size of the game area.
    bool autoUpdateRange = true;
    // Objects out of range are drawn in the out-of-range hue.
    bool rangeColoring = true;
    // Set by the session once the server completed the login.
    bool playerInGame = false;
};

UpdateRangeState& updateRangeState();

// The range in effect: the pending one, else the player's, else the desired one.
int32_t currentUpdateRange();

// The same world resets: nothing sent, 18 wanted, automatic, player at 18.
void resetUpdateRange();
// The server's update-range packet (keepDesired set) and resets.
void setUpdateRange(int32_t range, bool keepDesired);
// A new range wanted (clamped to 5..18); sent now when allowed.
void setViewRange(int32_t range);
void changeViewRange(int32_t delta);
// Sends the pending range when one is pending and 750 ms have passed.
void sendPendingUpdateRange();
// Once per frame: the automatic range for a game area `gameWidth` wide, then
// any pending range.
void viewRangeStep(int32_t gameWidth);
