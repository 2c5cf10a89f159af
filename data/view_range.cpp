#include "data/view_range.h"

#include "data/client_services.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr uint16_t kInfoHue = 0;
constexpr uint16_t kInfoFont = 3;
// One step of range per 44 pixels of game-area width, plus 3.
constexpr double kRangePerPixel = 0.022727273;

bool sendIntervalPassed(const UpdateRangeState& state)
{
    return platform::clock().tickMs() - state.lastUpdateRangeSendTime > kUpdateRangeSendIntervalMs;
}

bool pendingDiffersFromSent(const UpdateRangeState& state)
{
    return state.lastSentUpdateRange == -1 || state.lastSentUpdateRange != state.pendingUpdateRange;
}

void sendPendingNow(UpdateRangeState& state)
{
    serverRequests().sendUpdateRange(uint8_t(state.pendingUpdateRange));
    state.lastSentUpdateRange = state.pendingUpdateRange;
    state.lastUpdateRangeSendTime = platform::clock().tickMs();
    state.updateRangePending = false;
}

void requestUpdateRange(int32_t range)
{
    UpdateRangeState& state = updateRangeState();
    range = std::clamp(range, kMinUpdateRange, kMaxUpdateRange);
    if (range != currentUpdateRange()) {
        state.updateRangePending = true;
        state.pendingUpdateRange = range;
        state.desiredUpdateRange = range;
        sendPendingUpdateRange();
    }
    state.autoUpdateRange = false;
}

void applyRangeColor(bool on, bool always)
{
    UpdateRangeState& state = updateRangeState();
    bool changed = state.rangeColoring != on;
    state.rangeColoring = on;
    if ((changed || always) && gameState().hasPlayer())
        gameState().redrawRangeColouring();
}

} // namespace

UpdateRangeState& updateRangeState()
{
    static UpdateRangeState state;
    return state;
}

void resetUpdateRange()
{
    bool coloring = updateRangeState().rangeColoring;
    updateRangeState() = UpdateRangeState {};
    // The colouring is the player's choice, not part of the connection.
    updateRangeState().rangeColoring = coloring;
}

int32_t currentUpdateRange()
{
    const UpdateRangeState& state = updateRangeState();
    if (state.updateRangePending)
        return state.pendingUpdateRange;
    if (gameState().hasPlayer())
        return gameState().playerUpdateRange();
    return state.desiredUpdateRange;
}

void increaseUpdateRange() { requestUpdateRange(updateRangeState().desiredUpdateRange + 1); }
void decreaseUpdateRange() { requestUpdateRange(updateRangeState().desiredUpdateRange - 1); }
void minUpdateRange() { requestUpdateRange(kMinUpdateRange); }
void maxUpdateRange() { requestUpdateRange(kMaxUpdateRange); }

void updateRangeInfo()
{
    if (!gameState().hasPlayer())
        return;
    int32_t desired = updateRangeState().desiredUpdateRange;
    int32_t range = gameState().playerUpdateRange();
    char text[256];
    if (range == desired)
        std::snprintf(text, sizeof text, "Current update range is %d", range);
    else
        std::snprintf(text, sizeof text, "Desired update range is %d, current is %d", desired, range);
    windowNotices().addSystemMessage(kInfoHue, kInfoFont, text);
}

void sendPendingUpdateRange()
{
    UpdateRangeState& state = updateRangeState();
    if (!gameState().isInGame() || !state.updateRangePending)
        return;
    if (state.lastSentUpdateRange != -1 && state.lastSentUpdateRange == state.pendingUpdateRange)
        return;
    if (!sendIntervalPassed(state))
        return;
    sendPendingNow(state);
}

void viewRangeStep(int32_t gameWidth)
{
    if (!gameState().isInGame())
        return;
    UpdateRangeState& state = updateRangeState();
    if (state.autoUpdateRange) {
        int32_t range = int32_t(std::ceil(gameWidth * kRangePerPixel + 3));
        range = std::clamp(range, kMinUpdateRange, kMaxUpdateRange);
        if (range != currentUpdateRange()) {
            state.updateRangePending = true;
            state.pendingUpdateRange = range;
            state.desiredUpdateRange = range;
            if (pendingDiffersFromSent(state) && sendIntervalPassed(state))
                sendPendingNow(state);
        }
    }
    if (state.updateRangePending && pendingDiffersFromSent(state) && sendIntervalPassed(state))
        sendPendingNow(state);
}

void enableRangeColor() { applyRangeColor(true, false); }
void disableRangeColor() { applyRangeColor(false, false); }
void toggleRangeColor() { applyRangeColor(!updateRangeState().rangeColoring, true); }
void setRangeColor(bool on) { applyRangeColor(on, false); }
bool isRangeColorOn() { return updateRangeState().rangeColoring; }

WarModeState& warModeState()
{
    static WarModeState state;
    return state;
}

void setWarMode(int32_t mode)
{
    GameStateService& game = gameState();
    if (game.isPlayerDead())
        serverRequests().sendResurrectionChoice(0);
    if (mode == -1)
        mode = game.playerWarFlag() ? 0 : 1;
    WarModeState& state = warModeState();
    state.warModeRequested = mode;
    serverRequests().sendWarMode(uint8_t(mode), state.trailing);
    windowNotices().clearAbilityIcons();
    game.clearWorldViewHighlight();
}

void onWarModeChanged(uint8_t mode, const std::array<uint8_t, 3>& trailing)
{
    WarModeState& state = warModeState();
    state.trailing = trailing;
    if (int32_t(mode) == state.warModeRequested)
        state.warModeRequested = -1;
    bool war = mode != 0;
    gameState().setPlayerWarFlag(war);
    windowNotices().showPlayerWarMode(war);
}

bool isWarModeOnOrRequested()
{
    int32_t requested = warModeState().warModeRequested;
    if (requested != -1)
        return requested == 1;
    return gameState().playerWarFlag();
}
