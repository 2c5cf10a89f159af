#include "world/mobile.h"

#include "core/process_random.h"
#include "world/body_animation.h"
#include "world/body_tables.h"
#include "world/mobile_drawing.h"
#include "world/object_manager.h"
#include "world/tile_data.h"
#include "world/walking.h"
#include "world/world_clock.h"
#include "world/world_services.h"
#include "world/world_settings.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kMaxMobilesForIdleActions = 20;
constexpr uint32_t kIdleActionAfterMs = 15000;
constexpr int32_t kFootstepSoundA = 299;
constexpr int32_t kFootstepSoundB = 300;
constexpr int32_t kMountedStepSoundA = 297;
constexpr int32_t kMountedStepSoundB = 298;
// Steps sound a little different each time, and a step may sound while the
// last one still does. The player's own steps are played at a fixed volume,
// everyone else's where they walk.
constexpr int32_t kFootstepJitterPercent = 14;
constexpr int32_t kOwnFootstepVolume = -1000;
constexpr float kFootstepDistanceFactor = 1.0f;

// The offset of a picture stepping in `direction`, `countdown` of `frames`
// frames before it reaches its new cell.
void stepOffset(int32_t direction, int32_t countdown, int32_t frames, int32_t& offsetX, int32_t& offsetY)
{
    int32_t half = 22 * countdown / frames;
    int32_t whole = 44 * countdown / frames;
    switch (direction & 7) {
    case 0:
        offsetX = half;
        offsetY = -half;
        break;
    case 1:
        offsetX = whole;
        offsetY = 0;
        break;
    case 2:
        offsetX = half;
        offsetY = half;
        break;
    case 3:
        offsetX = 0;
        offsetY = whole;
        break;
    case 4:
        offsetX = -half;
        offsetY = half;
        break;
    case 5:
        offsetX = -whole;
        offsetY = 0;
        break;
    case 6:
        offsetX = -half;
        offsetY = -half;
        break;
    default:
        offsetX = 0;
        offsetY = -whole;
        break;
    }
}

} // namespace

bool Mobile::isContinuouslyAnimated() const
{
    if (graphic == 13 || graphic == 15 || graphic == 16 || graphic == 574)
        return true;
    Item* held = layerItem(kHandLayerTwo);
    return graphic >= 400 && held && isLightSourceObject(held->graphic, held->tileIndex());
}

void Mobile::idleAnimationChance()
{
    if (isMounted() || mobileCount() > kMaxMobilesForIdleActions)
        return;
    if (worldTimeMs() - lastMoveTime <= kIdleActionAfterMs)
        return;
    int32_t chance = nextRandom() % (4 * mobileCount() + 120);
    if (chance > 1)
        return;
    int32_t body = remappedBody(graphic);
    switch (bodyTypes().getBodyType(body)) {
    case BodyType::Monster:
        playAnimation(chance == 0 ? 18 : 17, 5, 0, 1, false, body == 21);
        break;
    case BodyType::SeaMonster:
        if (chance == 0)
            playAnimation(4, 20, 0, 1, false, false);
        else
            playAnimation(3, 15, 0, 1, false, false);
        break;
    case BodyType::Animal:
        // Animals drawn with the short set of actions have no action 9.
        if (chance == 0 && !bodyTypes().hasFlag(body, 0x20))
            playAnimation(10, 3, 0, 1, false, false);
        else
            playAnimation(9, 5, 0, 1, false, false);
        break;
    default:
        if (chance == 0)
            playAnimation(6, 5, 0, 1, false, false);
        else
            playAnimation(5, 5, 0, 1, false, true);
        break;
    }
}

void Mobile::playFootsteps()
{
    if (graphic >= 1000 || isDead() || idle || (flags & kObjectHidden) || !worldObjectSettings().footsteps)
        return;
    int32_t movement = 0;
    int32_t shownFrame = 0;
    if (!movementActionFrame(*this, movement, shownFrame))
        return;
    int32_t sound = -1;
    if ((movement >= 0 && movement <= 7) || movement == 23)
        sound = shownFrame == 1 ? kFootstepSoundA : shownFrame == 6 ? kFootstepSoundB : -1;
    else if (movement == 24)
        sound = shownFrame == 1 ? kMountedStepSoundA : shownFrame == 3 ? kMountedStepSoundB : -1;
    if (sound < 0)
        return;
    WorldSounds& sounds = worldService<WorldSounds>();
    if (isPlayer())
        sounds.playSound(sound, 0, kOwnFootstepVolume, false, kFootstepJitterPercent, true);
    else
        sounds.playSoundAt(sound, x, y, z, kFootstepDistanceFactor, false, kFootstepJitterPercent, true);
}

void mobileFrameStep(Mobile& mobile)
{
    bool redraw = false;
    bool wasMoving = false;
    uint32_t now = worldTimeMs();
    if (mobile.stepCountdown == 0 && mobile.m_stepCount == 0) {
        if (!mobile.idle) {
            if (now - mobile.lastMoveTime > Mobile::kIdleAfterMs || mobile.graphic == 80 || mobile.graphic == 81) {
                if (mobile.isPlaced()) {
                    mobile.removeFromGrid();
                    redraw = true;
                }
                mobile.idle = 1;
                mobile.frameCounter = 3;
            }
        } else {
            if (!mobile.warMode && !mobile.animationRunning)
                mobile.idleAnimationChance();
            if (mobile.isContinuouslyAnimated()) {
                if (mobile.isPlaced()) {
                    mobile.removeFromGrid();
                    redraw = true;
                }
                ++mobile.frameCounter;
            }
        }
    } else {
        mobile.lastMoveTime = now;
        if (mobile.isPlaced()) {
            mobile.invalidateWithEquipment();
            mobile.removeFromGrid();
            redraw = true;
        }
        if (mobile.animationRunning) {
            mobile.animationRunning = 0;
            // A step ends a server action; when that ended the mobile's life,
            // nothing more is done with it.
            if (worldService<MobileAnimator>().stopMobileAnimation(mobile, false))
                return;
        }
        ++mobile.frameCounter;
    }
    if (mobile.stepCountdown > 0) {
        --mobile.stepCountdown;
        wasMoving = true;
    }
    if (mobile.stepCountdown == 0 && mobile.m_stepCount > 0) {
        MobileStep step = mobile.m_steps[0];
        std::copy(mobile.m_steps.begin() + 1, mobile.m_steps.end(), mobile.m_steps.begin());
        --mobile.m_stepCount;
        mobile.direction = step.direction & 0x7F;
        mobile.highStepDz = mobile.z - step.z;
        mobile.highStep = mobile.highStepDz > 21 ? 1 : 0;
        mobile.running = (step.direction & 0x80) ? 1 : 0;
        mobile.graphic = step.graphic & 0x3FFF;
        mobile.previousX = mobile.x;
        mobile.previousY = mobile.y;
        mobile.previousZ = mobile.z;
        mobile.x = step.x;
        mobile.y = step.y;
        mobile.z = step.z;
        mobile.applyGraphicAndHue(normalizeHue(step.hue));
        setObjectFlags(mobile, step.flags);
        int32_t dx = mobile.x - mobile.previousX;
        int32_t dy = mobile.y - mobile.previousY;
        // A longer move is a jump: the mobile stands in its new cell at once.
        if (std::abs(dx) <= 1 && std::abs(dy) <= 1 && (dx != 0 || dy != 0))
            mobile.stepCountdown = std::max(mobile.stepFrames() - 1, 0);
    }
    mobile.offsetX = 0;
    mobile.offsetY = 0;
    if (mobile.stepCountdown > 0)
        stepOffset(
            mobile.direction, mobile.stepCountdown, std::max(mobile.stepFrames(), 1), mobile.offsetX, mobile.offsetY);
    if (redraw) {
        mobile.updateDrawZ();
        mobile.place();
        if (wasMoving)
            mobile.invalidateWithEquipment();
    }
    worldService<ObjectViews>().mobileMoved(mobile, wasMoving);
}

void playerFrameStep()
{
    PlayerMobile* self = player();
    if (!self || self->isDetached())
        return;
    if (self->standing) {
        if (self->isContinuouslyAnimated()) {
            ++self->walkFrameCounter;
            if (self->isPlaced())
                self->place();
        }
        if (!self->warMode) {
            if (!self->animationRunning)
                self->idleAnimationChance();
        } else {
            warFacingStep();
        }
    }
    worldService<ObjectViews>().mobileMoved(*self, false);
}
