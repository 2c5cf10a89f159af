#pragma once
// Server actions of mobiles (attack, cast, bow, die): the list of mobiles
// playing one, advanced by one frame at the pace each one's delay asks for,
// with repetitions and the turn of ping-pong actions; at the end the mobile
// returns to its state animation, a recorded sequence waiting for it goes
// on, and a dying mobile's deferred removal is carried out. Stepped once per
// drawn frame from the present step. Main thread only.

#include "world/world_services.h"

#include <cstdint>
#include <vector>

class Mobile;

class AnimatingMobiles final : public MobileAnimator {
public:
    // Appends a mobile not in the list yet. A repeat count of 0 counts as 1:
    // an action is always played at least once and always ends.
    void registerAnimatingMobile(Mobile& mobile) override;
    // Ends the mobile's action; true when that carried out a deferred
    // removal (the mobile is gone unless `keepObject`).
    bool stopMobileAnimation(Mobile& mobile, bool keepObject) override;

    // Every animating mobile in list order: a mobile with delay d takes one
    // frame step every d + 2 calls.
    void stepEffects();
    // One frame step.
    void stepMobileAnimation(Mobile& mobile);

    const std::vector<Mobile*>& mobiles() const { return m_mobiles; }
    bool contains(const Mobile& mobile) const;

private:
    void remove(Mobile& mobile);

    std::vector<Mobile*> m_mobiles;
};

// The one the program installs as the world's MobileAnimator.
AnimatingMobiles& animatingMobiles();
// animatingMobiles().stepEffects(), for the present step.
void stepEffects();
