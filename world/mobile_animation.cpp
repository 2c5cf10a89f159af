#include "world/mobile_animation.h"

#include "world/dying_links.h"
#include "world/effect_calls.h"
#include "world/mobile.h"
#include "world/recorded_sequence.h"

#include <algorithm>

namespace {

constexpr int32_t kListed = 1;

// Takes the mobile out of the grid around a change of its picture. It goes
// back when it was there, and when a replayed action took it out: the
// action's first step (or its end) places it again, unless it has left the
// world meanwhile (a container, a mount's layer, its destruction).
template <typename Change>
void changePicture(Mobile& mobile, Change change)
{
    const bool wasPlaced = mobile.isPlaced();
    const bool heldByReplay = sequenceWaitingFor(mobile) != nullptr;
    mobile.removeFromGrid();
    change();
    const bool inWorld = !mobile.isDetached() && !mobile.container() && !isMobileBeingDestroyed(&mobile);
    if (wasPlaced || (heldByReplay && inWorld))
        mobile.place();
}

} // namespace

bool AnimatingMobiles::contains(const Mobile& mobile) const { return mobile.animatingMarker >= 0; }

void AnimatingMobiles::registerAnimatingMobile(Mobile& mobile)
{
    // A server's count of 0 (or one kept by a replay) would never end the
    // action: the last repetition is never reached.
    if (mobile.repeatCount == 0)
        mobile.repeatCount = 1;
    if (mobile.repetition >= mobile.repeatCount)
        mobile.repetition = uint16_t(mobile.repeatCount - 1);
    if (contains(mobile))
        return;
    m_mobiles.push_back(&mobile);
    mobile.animatingMarker = kListed;
}

void AnimatingMobiles::remove(Mobile& mobile)
{
    auto found = std::find(m_mobiles.begin(), m_mobiles.end(), &mobile);
    if (found != m_mobiles.end())
        m_mobiles.erase(found);
    mobile.animatingMarker = -1;
}

bool AnimatingMobiles::stopMobileAnimation(Mobile& mobile, bool keepObject)
{
    if (contains(mobile)) {
        changePicture(mobile, [&] {
            mobile.animationRunning = 0;
            remove(mobile);
        });
        // Out of the list first: the sequence may start this mobile's next
        // action at once.
        advanceSequenceWaitingFor(mobile);
    }
    if (!mobile.dying || mobile.isPlayer()) {
        mobile.dying = 0;
        return false;
    }
    // The links destroy the mobile they name while it is still marked dying.
    removeDyingLinks(0, mobile.serial, keepObject);
    if (keepObject) {
        mobile.dying = 0;
        return true;
    }
    // A mobile that died without a corpse has no link to end its life, and
    // its serial no longer matches the server's delete order: it goes too.
    if (isValidWorldObject(&mobile)) {
        mobile.dying = 0;
        mobile.destroy();
    }
    return true;
}

void AnimatingMobiles::stepMobileAnimation(Mobile& mobile)
{
    int32_t frames = mobile.frameCount;
    int32_t frame = mobile.frame;
    int32_t repeats = std::max<int32_t>(mobile.repeatCount, 1);
    auto step = [&mobile](auto change) {
        changePicture(mobile, [&] {
            change();
            mobile.tickCounter = 0;
        });
    };
    if (!mobile.backward) {
        if (frame < frames - 1)
            step([&] { mobile.frame = uint16_t(frame + 1); });
        else if (mobile.repetition + 1 < repeats)
            step([&] {
                ++mobile.repetition;
                mobile.frame = 0;
            });
        else if (mobile.pingPong)
            step([&] {
                mobile.backward = 1;
                mobile.pingPong = 0;
                mobile.frame = uint16_t(frame - 1);
            });
        else
            stopMobileAnimation(mobile, false);
        return;
    }
    if (frame != 0 && frame <= frames)
        step([&] { mobile.frame = uint16_t(frame - 1); });
    else if (mobile.repetition != 0)
        step([&] {
            --mobile.repetition;
            mobile.frame = uint16_t(frames - 1);
        });
    else if (mobile.pingPong)
        step([&] {
            mobile.backward = 0;
            mobile.pingPong = 0;
            mobile.frame = uint16_t(frame + 1);
        });
    else
        stopMobileAnimation(mobile, false);
}

void AnimatingMobiles::stepEffects()
{
    // A step may end lives (a rider takes its mount along), so each mobile
    // is looked at again before it is stepped.
    std::vector<Mobile*> listed = m_mobiles;
    for (Mobile* mobile : listed) {
        if (!isValidWorldObject(mobile) || !contains(*mobile))
            continue;
        uint16_t calls = mobile->tickCounter;
        mobile->tickCounter = uint16_t(calls + 1);
        if (calls > mobile->delay)
            stepMobileAnimation(*mobile);
    }
}

AnimatingMobiles& animatingMobiles()
{
    static AnimatingMobiles list;
    return list;
}

void stepEffects() { animatingMobiles().stepEffects(); }
