#include "world/update_range.h"

#include "net/client_packets.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_clock.h"
#include "world/world_drawing.h"
#include "world/world_services.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

int32_t clampRange(int32_t range)
{
    return std::clamp(range, UpdateRangeState::kMinRange, UpdateRangeState::kMaxRange);
}

// Sends `range` when it is not what was last sent and the last request is
// more than 750 ms old; true when it went out.
bool sendRangeWhenAllowed(int32_t range)
{
    UpdateRangeState& ranges = updateRangeState();
    if (!ranges.playerInGame)
        return false;
    if (ranges.lastSentUpdateRange != -1 && ranges.lastSentUpdateRange == range)
        return false;
    uint32_t now = worldTimeMs();
    if (now - ranges.lastUpdateRangeSendTime <= UpdateRangeState::kSendIntervalMs)
        return false;
    std::array<uint8_t, 8> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (!buildUpdateRangePacket(packet, uint8_t(range)))
        return false;
    sendWorldPacket(packet);
    ranges.lastSentUpdateRange = range;
    ranges.lastUpdateRangeSendTime = now;
    ranges.updateRangePending = false;
    return true;
}

// A new range wanted: pending until it is sent.
void wantRange(int32_t range)
{
    UpdateRangeState& ranges = updateRangeState();
    if (range == currentUpdateRange())
        return;
    ranges.updateRangePending = true;
    ranges.pendingUpdateRange = range;
    ranges.desiredUpdateRange = range;
    sendRangeWhenAllowed(range);
}

// Objects whose in-range state differs between the two ranges change their
// hue when range colouring is on.
void redrawRangeChanges(int32_t oldRange, int32_t newRange)
{
    const MapView& view = mapView();
    invalidateObjectsBetween(view.centreX, view.centreY, oldRange, view.centreX, view.centreY, newRange, false);
}

} // namespace

UpdateRangeState& updateRangeState()
{
    static UpdateRangeState ranges;
    return ranges;
}

int32_t currentUpdateRange()
{
    const UpdateRangeState& ranges = updateRangeState();
    if (ranges.updateRangePending)
        return ranges.pendingUpdateRange;
    if (const PlayerMobile* self = player())
        return self->getUpdateRange();
    return ranges.desiredUpdateRange;
}

void resetUpdateRange()
{
    UpdateRangeState& ranges = updateRangeState();
    ranges.lastSentUpdateRange = -1;
    ranges.desiredUpdateRange = UpdateRangeState::kMaxRange;
    ranges.updateRangePending = false;
    ranges.pendingUpdateRange = 0;
    ranges.lastUpdateRangeSendTime = 0;
    ranges.autoUpdateRange = true;
    if (PlayerMobile* self = player())
        self->resetUpdateRangeByte();
}

void setUpdateRange(int32_t range, bool keepDesired)
{
    UpdateRangeState& ranges = updateRangeState();
    range &= 0xFF;
    if (PlayerMobile* self = player()) {
        int32_t previous = self->getUpdateRange();
        ranges.lastSentUpdateRange = -1;
        self->setUpdateRangeByte(uint8_t(range));
        if (range < previous)
            dropOutOfRangeObjects();
        if (ranges.rangeColoring)
            redrawRangeChanges(previous, range);
    }
    if (!keepDesired)
        ranges.desiredUpdateRange = range;
}

void setViewRange(int32_t range)
{
    wantRange(clampRange(range));
    updateRangeState().autoUpdateRange = false;
}

void changeViewRange(int32_t delta) { setViewRange(updateRangeState().desiredUpdateRange + delta); }

void sendPendingUpdateRange()
{
    const UpdateRangeState& ranges = updateRangeState();
    if (ranges.updateRangePending)
        sendRangeWhenAllowed(ranges.pendingUpdateRange);
}

void viewRangeStep(int32_t gameWidth)
{
    UpdateRangeState& ranges = updateRangeState();
    if (!ranges.playerInGame)
        return;
    if (ranges.autoUpdateRange) {
        // One more cell of range per 44 pixels of game area, plus 3.
        int32_t automatic = clampRange(int32_t(std::ceil(gameWidth * 0.022727273 + 3)));
        wantRange(automatic);
    }
    sendPendingUpdateRange();
}
