#include "app/gump_controls_wiring.h"

#include "app/game_tick.h"
#include "gump/property_cache.h"
#include "gump/tooltip_gump.h"
#include "protocol/property_revisions.h"
#include "protocol/protocol_services.h"

void wireGumpControls(GameTick& tick)
{
    installService<TooltipWindow>(&tooltipGumpWindow());
    // The revisions the server announces reach the property-list cache.
    installPropertyListRevisions(propertyCacheRevisions());
    tick.setStep(TickStep::ItemPropertyRequests, [] { propertyListPump(); });
}

void unwireGumpControls(GameTick& tick)
{
    tick.setStep(TickStep::ItemPropertyRequests, nullptr);
    installService<TooltipWindow>(nullptr);
    installPropertyListRevisions(nullptr);
}
