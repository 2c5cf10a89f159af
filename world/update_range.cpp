#include "world/update_range.h"

#include "world/mobile.h"
#include "world/object_manager.h"

void redrawRangeChanges(int32_t oldRange, int32_t newRange)
{
    for (StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object)) {
        if (object->isPlaced() && object->isWithinRangeOfPlayer(oldRange) != object->isWithinRangeOfPlayer(newRange))
            object->invalidate();
    }
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
