#include "world/update_range.h"

#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_drawing.h"

void redrawRangeChanges(int32_t oldRange, int32_t newRange)
{
    const MapView& view = mapView();
    invalidateObjectsBetween(view.centreX, view.centreY, oldRange, view.centreX, view.centreY, newRange, false);
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
