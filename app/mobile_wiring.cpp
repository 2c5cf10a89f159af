#include "app/mobile_wiring.h"

#include "app/frame_render.h"
#include "world/mobile_animation.h"

#include <utility>

void startMobileAnimation() { installWorldService<MobileAnimator>(&animatingMobiles()); }

void wireMobileAnimationStep(FrameServices& services)
{
    services.redrawAllGumps = [present = std::move(services.redrawAllGumps)] {
        stepEffects();
        if (present)
            present();
    };
}
