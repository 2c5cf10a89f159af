#include "app/gump_controls_wiring.h"

#include "app/game_tick.h"
#include "gump/property_cache.h"
#include "gump/tooltip_gump.h"

void wireGumpControls(GameTick& tick)
{
    installService<TooltipWindow>(&tooltipGumpWindow());
    tick.setStep(TickStep::ItemPropertyRequests, [] { propertyListPump(); });
}

void unwireGumpControls(GameTick& tick)
{
    tick.setStep(TickStep::ItemPropertyRequests, nullptr);
    installService<TooltipWindow>(nullptr);
}
