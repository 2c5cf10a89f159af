#include "world/effect_calls.h"

#include "world/mobile.h"
#include "world/recorded_sequence.h"
#include "world/world_services.h"

#include <unordered_set>

namespace {

std::unordered_set<const Mobile*>& mobilesBeingDestroyed()
{
    static std::unordered_set<const Mobile*> mobiles;
    return mobiles;
}

} // namespace

Mobile* findLiveMobile(uint32_t serial)
{
    if (serial == 0)
        return nullptr;
    for (Mobile* mobile = mobileList().head(); mobile; mobile = MobileList::next(mobile)) {
        if (mobile->serial == serial && !isMobileBeingDestroyed(mobile))
            return mobile;
    }
    return nullptr;
}

void beginMobileDestruction(Mobile& mobile)
{
    // Marked first: whatever the ending effects and sequences start next
    // must not find this mobile any more.
    mobilesBeingDestroyed().insert(&mobile);
    worldService<EffectBuilder>().mobileDestroyed(mobile);
    advanceSequenceWaitingFor(mobile);
}

void endMobileDestruction(Mobile& mobile) { mobilesBeingDestroyed().erase(&mobile); }

bool isMobileBeingDestroyed(const Mobile* mobile) { return mobilesBeingDestroyed().count(mobile) != 0; }
