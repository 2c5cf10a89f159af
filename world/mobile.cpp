#include "world/mobile.h"

#include "data/data_files.h"
#include "gfx/art_cache.h"
#include "world/body_tables.h"
#include "world/dying_links.h"
#include "world/effect_calls.h"
#include "world/map_view.h"
#include "world/multi_components.h"
#include "world/object_manager.h"
#include "world/step_rules.h"
#include "world/visibility.h"
#include "world/walking.h"
#include "world/world_clock.h"
#include "world/world_screen.h"
#include "world/world_services.h"

#include <array>
#include <cstdlib>

namespace {

struct MountBody {
    int32_t graphic;
    int32_t body;
};

constexpr std::array<MountBody, 41> kMountBodies { {
    { 16016, 276 }, { 16017, 277 }, { 16018, 284 }, { 16020, 243 }, { 16021, 169 }, { 16023, 195 }, { 16024, 194 },
    { 16026, 193 }, { 16027, 192 }, { 16028, 191 }, { 16029, 192 }, { 16030, 190 }, { 16032, 226 }, { 16033, 228 },
    { 16034, 204 }, { 16035, 210 }, { 16036, 218 }, { 16037, 219 }, { 16038, 220 }, { 16039, 116 }, { 16040, 117 },
    { 16041, 114 }, { 16042, 115 }, { 16043, 170 }, { 16044, 171 }, { 16045, 132 }, { 16047, 120 }, { 16048, 121 },
    { 16049, 119 }, { 16050, 118 }, { 16051, 144 }, { 16052, 122 }, { 16053, 177 }, { 16054, 178 }, { 16055, 179 },
    { 16056, 188 }, { 16058, 187 }, { 16059, 793 }, { 16060, 791 }, { 16061, 794 }, { 16062, 799 },
} };

constexpr int32_t kUnlistedMountBody = 200;
// Riders of these mounts reach half a cell above their base line.
constexpr std::array<int32_t, 5> kTallMounts { 16016, 16020, 16024, 16061, 16062 };

bool isTallMount(int32_t graphic)
{
    for (int32_t mount : kTallMounts) {
        if (mount == graphic)
            return true;
    }
    return false;
}

} // namespace

int32_t mountGraphicToBody(int32_t graphic)
{
    for (const MountBody& mount : kMountBodies) {
        if (mount.graphic == graphic)
            return mount.body;
    }
    return kUnlistedMountBody;
}

int32_t walkFramesForBody(int32_t body) { return animInfo(body).first; }

int32_t runFramesForBody(int32_t body) { return animInfo(body).second; }

MobileList& mobileList()
{
    static MobileList list;
    return list;
}

int32_t mobileCount() { return int32_t(mobileList().size()); }

Mobile::Mobile(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset)
    : ContainerItem(itemSerial, itemGraphic, itemGraphicOffset, true)
{
    mobileList().pushFront(this);
    lastMoveTime = worldTimeMs();
}

Mobile::~Mobile()
{
    beginMobileDestruction(*this);
    removeDyingLinks(0, serial, true);
    removeFromGrid();
    if (animatingMarker >= 0 || animationRunning)
        worldService<MobileAnimator>().stopMobileAnimation(*this, true);
    if (PlayerMobile* self = player(); self && self != this && self->followSerial == serial) {
        self->following = 0;
        self->followSerial = 0;
    }
    detach();
    destroyLayerItems(0, kLayerCount);
    mobileList().remove(this);
    endMobileDestruction(*this);
}

void Mobile::destroyLayerItems(int32_t firstLayer, int32_t endLayer)
{
    for (int32_t index = firstLayer; index < endLayer && index < kLayerCount; ++index) {
        // Its destruction empties the slot.
        if (Item* item = m_layers[size_t(index)])
            item->destroy();
    }
}

void Mobile::invalidateWithEquipment()
{
    if (!isPlaced())
        return;
    for (int32_t index = 0; index < kDrawnLayerCount; ++index) {
        Item* item = m_layers[size_t(index)];
        if (item && LightSourceList::isLinked(item))
            worldService<WorldLights>().invalidateLight(*item);
    }
}

void Mobile::place()
{
    if (isPlaced())
        removeFromGrid();
    if (placeable == 0)
        return;
    placeWithDepthKey(z + 1);
    if (isSliced()) {
        Item* mount = layerItem(kMountLayer);
        createSlices(mount && isTallMount(mount->graphic));
    }
    playFootsteps();
}

void Mobile::removeFromGrid()
{
    if (!isPlaced())
        return;
    destroySlices();
    WorldObject::removeFromGrid();
}

void Mobile::baseCell(int32_t& cellX, int32_t& cellY) const
{
    cellX = x;
    cellY = y;
    if (stepCountdown == 0)
        return;
    // Linked toward the cell it comes from until the step is shown.
    switch (direction & 7) {
    case 0:
    case 1:
        ++cellY;
        break;
    case 5:
    case 6:
        ++cellX;
        break;
    case 7:
        ++cellX;
        ++cellY;
        break;
    default:
        break;
    }
}

bool Mobile::isSliced() const
{
    if (bodyTypes().isAnimalLike(graphic))
        return true;
    Item* mount = layerItem(kMountLayer);
    return isMounted() && mount && bodyTypes().isAnimalLike(mountGraphicToBody(mount->graphic));
}

bool Mobile::isHidden() const { return isMobileHidden(*this); }

const ArtImage* Mobile::iconImage() const
{
    int32_t figurine = getFigurineGraphic(graphic);
    return figurine ? getArtImage(kFirstStaticArt + figurine) : nullptr;
}

void Mobile::anchorPoint(int32_t& anchorX, int32_t& anchorY) const
{
    anchorX = (x - y + mapView().mapWidth) * 22 - offsetX + 1;
    anchorY = (x + y) * 22 - drawZ * 4 - offsetY + 20;
}

void Mobile::updateDrawZ() { drawZ = mobileDrawnHeight(*this); }

bool Mobile::isDead() const
{
    return graphic == 402 || graphic == 403 || graphic == 607 || graphic == 608 || deadFlag != 0;
}

void Mobile::setNotoriety(int32_t value)
{
    notoriety = value;
    invalidate();
}

int32_t Mobile::getNotoriety() const
{
    if (notoriety >= 100)
        notorietyWarnings().criminal = false;
    return notoriety % 100;
}

NotorietyWarnings& notorietyWarnings()
{
    static NotorietyWarnings warnings;
    return warnings;
}

bool Mobile::notorietyNot1() const { return getNotoriety() != 1; }

bool Mobile::notorietyOutside4To6() const
{
    int32_t value = getNotoriety();
    return value < 4 || value > 6;
}

void Mobile::setDeadFlag(int32_t value)
{
    deadFlag = value;
    invalidate();
}

void Mobile::playAnimation(int32_t animationAction, int32_t animationFrameCount, int32_t animationDelay,
    int32_t animationRepeatCount, bool animationBackward, bool animationPingPong)
{
    lastMoveTime = worldTimeMs();
    bool wasPlaced = isPlaced();
    removeFromGrid();
    action = uint16_t(animationAction);
    frameCount = uint16_t(animationFrameCount);
    delay = uint16_t(animationDelay);
    repeatCount = uint16_t(animationRepeatCount);
    backward = animationBackward ? 1 : 0;
    pingPong = animationPingPong ? 1 : 0;
    animationRunning = 1;
    tickCounter = 0;
    frame = animationBackward ? uint16_t(frameCount - 1) : 0;
    repetition = animationBackward ? uint16_t(repeatCount - 1) : 0;
    worldService<MobileAnimator>().registerAnimatingMobile(*this);
    // Only a mobile that was in the grid goes back into it: one in a
    // container or out of the world stays out.
    if (wasPlaced)
        place();
}

void Mobile::stopAnimation()
{
    if (!animationRunning)
        return;
    animationRunning = 0;
    worldService<MobileAnimator>().stopMobileAnimation(*this, false);
}

bool Mobile::die(uint32_t corpseSerial, bool fallForward)
{
    // The player's death comes by its own packets, and a mobile dies once.
    if (isPlayer() || (serial & kDyingSerialBit))
        return false;
    serial |= kDyingSerialBit;
    if (corpseSerial != 0)
        addDyingLink(corpseSerial, serial, direction & 7, fallForward ? 1 : 0);
    int32_t deathAction = fallForward ? 21 : 22;
    int32_t frames = 5;
    switch (bodyTypes().getBodyType(graphic)) {
    case BodyType::Monster:
        deathAction = fallForward ? 2 : 3;
        break;
    case BodyType::SeaMonster:
        deathAction = 8;
        frames = 15;
        break;
    case BodyType::Animal:
        deathAction = fallForward ? 8 : 12;
        break;
    default:
        break;
    }
    playAnimation(deathAction, frames, 0, 1, false, false);
    dying = 1;
    return true;
}

int32_t Mobile::stepFrames()
{
    if (graphic >= 1000)
        graphic = 50;
    if (highStep)
        return walkFramesForBody(graphic) + (highStepDz / 11) * 2;
    if (running)
        return runFramesForBody(graphic);
    return walkFramesForBody(graphic);
}

void Mobile::lastQueuedPosition(int32_t& atX, int32_t& atY) const
{
    if (m_stepCount > 0) {
        atX = m_steps[size_t(m_stepCount - 1)].x;
        atY = m_steps[size_t(m_stepCount - 1)].y;
        return;
    }
    atX = x;
    atY = y;
}

bool Mobile::isWithinRangeOf(int32_t range, int32_t atX, int32_t atY) const
{
    if (m_stepCount == 0)
        return Item::isWithinRangeOf(range, atX, atY);
    int32_t lastX = 0;
    int32_t lastY = 0;
    lastQueuedPosition(lastX, lastY);
    return std::abs(atX - lastX) <= range && std::abs(atY - lastY) <= range;
}

void Mobile::queueStep(const MobileStep& step)
{
    lastMoveTime = worldTimeMs();
    if (m_stepCount == kMaxQueuedSteps) {
        // Too far behind: the mobile jumps to the newest position.
        bool wasPlaced = isPlaced();
        removeFromGrid();
        x = step.x;
        y = step.y;
        z = step.z;
        direction = step.direction & 0x7F;
        stepCountdown = 1;
        graphic = step.graphic & 0x3FFF;
        applyGraphicAndHue(normalizeHue(step.hue));
        m_stepCount = 0;
        setObjectFlags(*this, step.flags);
        idle = 0;
        if (wasPlaced)
            place();
        return;
    }
    if (idle) {
        idle = 0;
        if (isPlaced())
            place();
    }
    bool same;
    if (m_stepCount > 0) {
        const MobileStep& last = m_steps[size_t(m_stepCount - 1)];
        same = last.x == step.x && last.y == step.y && last.z == step.z && last.direction == step.direction
            && last.graphic == step.graphic && last.hue == step.hue && last.flags == step.flags;
    } else {
        same = x == step.x && y == step.y && z == step.z && (direction & 0x7F) == (step.direction & 0x7F)
            && (running != 0) == ((step.direction & 0x80) != 0) && graphic == step.graphic && baseHue == step.hue
            && flags == step.flags;
    }
    if (!same)
        m_steps[size_t(m_stepCount++)] = step;
}

PlayerMobile::PlayerMobile(uint32_t itemSerial, uint16_t itemGraphic, int8_t itemGraphicOffset)
    : Mobile(itemSerial, itemGraphic, itemGraphicOffset)
{
}

PlayerMobile::~PlayerMobile() { forgetPlayerObject(this); }

void PlayerMobile::baseCell(int32_t& cellX, int32_t& cellY) const
{
    cellX = x;
    cellY = y;
    if (!stepsQueued)
        return;
    switch (direction & 7) {
    case 1:
    case 2:
        ++cellX;
        break;
    case 3:
        ++cellX;
        ++cellY;
        break;
    case 4:
    case 5:
        ++cellY;
        break;
    default:
        break;
    }
}

void PlayerMobile::updateDrawZ()
{
    drawZ = playerDrawnHeight();
    updateViewPosition();
}

void PlayerMobile::setNotoriety(int32_t value)
{
    notoriety = value;
    for (Mobile* mobile = mobileList().head(); mobile; mobile = MobileList::next(mobile))
        mobile->invalidate();
}

void PlayerMobile::anchorPoint(int32_t& anchorX, int32_t& anchorY) const
{
    anchorX = (x - y + mapView().mapWidth) * 22 + 1 + worldScreen().stepOffsetX;
    anchorY = baseY + worldScreen().stepOffsetY;
}

void PlayerMobile::setWalkKey(uint32_t key, int32_t index)
{
    if (index >= 0 && index < kWalkKeyCount)
        walkKeys[size_t(index)] = key;
}

int32_t PlayerMobile::addWalkKey(uint32_t key)
{
    for (int32_t index = 0; index < kWalkKeyCount; ++index) {
        if (walkKeys[size_t(index)] == 0) {
            walkKeys[size_t(index)] = key;
            return index;
        }
    }
    return kWalkKeyCount;
}

uint32_t PlayerMobile::takeWalkKey()
{
    for (uint32_t& key : walkKeys) {
        if (key != 0) {
            uint32_t taken = key;
            key = 0;
            return taken;
        }
    }
    return 0;
}
