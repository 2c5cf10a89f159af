#pragma once
// How far around the player the server sends objects (the update range,
// 5..18), whether objects beyond it are drawn in the out-of-range colour, and
// war mode. A range request goes out at most once per 750 ms; one that must
// wait stays pending and leaves from the per-frame step. Times are 32-bit
// millisecond ticks. Main thread only.

#include <array>
#include <cstdint>

constexpr int32_t kMinUpdateRange = 5;
constexpr int32_t kMaxUpdateRange = 18;
constexpr uint32_t kUpdateRangeSendIntervalMs = 750;

struct UpdateRangeState {
    int32_t desiredUpdateRange = kMaxUpdateRange;
    bool updateRangePending = false;
    int32_t pendingUpdateRange = 0;
    int32_t lastSentUpdateRange = -1;
    uint32_t lastUpdateRangeSendTime = 0;
    bool autoUpdateRange = true;
    bool rangeColoring = true;
};

UpdateRangeState& updateRangeState();
// Start-up and each new connection: the state above as at start.
void resetUpdateRange();

// The pending range, else the player's, else the desired one.
int32_t currentUpdateRange();
void increaseUpdateRange();
void decreaseUpdateRange();
void minUpdateRange();
void maxUpdateRange();
// Says the current (and desired) range in the system text.
void updateRangeInfo();
void sendPendingUpdateRange();
// Once per frame while in the game: follows the game area's width while the
// range is automatic, and sends what is pending once the interval allows.
void viewRangeStep(int32_t gameWidth);

void enableRangeColor();
void disableRangeColor();
void toggleRangeColor();
void setRangeColor(bool on);
bool isRangeColorOn();

// War mode: -1 while no request is outstanding, else the last requested
// state; the three bytes every request carries after the mode, as the server
// last sent them.
struct WarModeState {
    int32_t warModeRequested = -1;
    std::array<uint8_t, 3> trailing { 4, 0, 0 };
};
WarModeState& warModeState();
// 1 war, 0 peace, -1 toggle.
void setWarMode(int32_t mode);
// The server's confirmation, with the bytes it carried after the mode.
void onWarModeChanged(uint8_t mode, const std::array<uint8_t, 3>& trailing);
// War mode is on, or has been asked for and not yet answered.
bool isWarModeOnOrRequested();
