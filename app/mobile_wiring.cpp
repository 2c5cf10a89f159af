#include "app/mobile_wiring.h"

#include "app/frame_render.h"
#include "data/targeting.h"
#include "gump/gump_services.h"
#include "net/shard_sessions.h"
#include "protocol/combat_packets.h"
#include "windows/gm_page_queue.h"
#include "world/mobile_animation.h"
#include "world/mobile_services.h"

#include <utility>

namespace {

// The state the targeting, the session's packets and the GM tools keep, as
// the mobile drawing asks for it: the customer of the GM's current call is
// the one the page queue marks.
class SessionMobileHighlights final : public MobileHighlights {
public:
    bool isTargetCursorUp() override { return targetingState().targetingActive; }
    uint32_t combatantSerial() override { return ::combatantSerial(); }
    bool isMarkedSerial(uint32_t serial) override
    {
        const ShardSession* session = currentSession();
        return session && session->semiVisible.count(serial) != 0;
    }
    uint32_t gmCustomerSerial() override { return gmHighlightedCustomer(); }
};

// The running graphical effects the presentation steps: the effects fixed
// on animating mobiles advance with their mobiles.
class AnimatingMobileEffects final : public WorldEffects {
public:
    void stepEffects() override { ::stepEffects(); }
};

} // namespace

void startMobileAnimation()
{
    installWorldService<MobileAnimator>(&animatingMobiles());
    static AnimatingMobileEffects effects;
    installService<WorldEffects>(&effects);
}

void installMobileHighlights()
{
    static SessionMobileHighlights highlights;
    installWorldService<MobileHighlights>(&highlights);
}

void wireMobileAnimationStep(FrameServices& services)
{
    services.redrawAllGumps = [present = std::move(services.redrawAllGumps)] {
        service<WorldEffects>().stepEffects();
        if (present)
            present();
    };
}
