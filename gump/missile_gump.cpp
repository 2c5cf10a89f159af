#include "gump/missile_gump.h"

#include "data/targeting.h"
#include "gump/gump_manager.h"
#include "world/anim_data.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/recorded_sequence.h"
#include "world/tile_data.h"
#include "world/world_screen.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace {

constexpr int32_t kProjectionLift = 43;

std::unordered_map<const Mobile*, std::vector<MissileGump*>>& attachedLists()
{
    static std::unordered_map<const Mobile*, std::vector<MissileGump*>> lists;
    return lists;
}

// A world location on screen (game-area pixels).
void projectLocation(int32_t x, int32_t y, int32_t z, bool lifted, int32_t& screenX, int32_t& screenY)
{
    const WorldScreen& screen = worldScreen();
    screenX = (x - y + mapView().mapWidth) * 22 - screen.viewPixelX;
    screenY = (x + y) * 22 - z * 4 - screen.viewPixelY + (lifted ? kProjectionLift : 0);
}

// The centre of a mobile's picture on screen.
void projectMobile(const Mobile& mobile, int32_t& screenX, int32_t& screenY)
{
    const WorldScreen& screen = worldScreen();
    const ScreenRect& rect = mobile.screenRect;
    screenX = (rect.left + rect.right) / 2 - screen.viewPixelX;
    screenY = (rect.top + rect.bottom) / 2 - screen.viewPixelY;
}

// The ticks of a counter kept as a byte: one below 0 is 255.
int32_t countDown(int32_t& ticks)
{
    int32_t was = ticks;
    ticks = was == 0 ? 255 : was - 1;
    return was;
}

void placeAgain(Mobile& mobile)
{
    if (mobile.isPlaced() && !isMobileBeingDestroyed(&mobile)) {
        mobile.removeFromGrid();
        mobile.place();
    }
}

} // namespace

int32_t angleToByte(double radians) { return int32_t(std::trunc(radians * 128.0 / std::numbers::pi)); }

const std::vector<MissileGump*>& attachedEffects(const Mobile& mobile)
{
    static const std::vector<MissileGump*> none;
    auto found = attachedLists().find(&mobile);
    return found == attachedLists().end() ? none : found->second;
}

MissileGump::MissileGump(uint32_t targetXY, int32_t hue, int32_t renderMode)
    : CGump(0, 0, nullptr, 0, 0, 0)
    , m_targetXY(targetXY)
    , m_hue(hue)
    , m_renderMode(renderMode)
{
    setTypeName("missile gump");
    addKind(GumpKind::Missile);
}

MissileGump::~MissileGump()
{
    delete m_worldObject;
    m_worldObject = nullptr;
    if (m_fixed && m_targetObject) {
        auto found = attachedLists().find(m_targetObject);
        if (found != attachedLists().end()) {
            std::erase(found->second, this);
            if (found->second.empty())
                attachedLists().erase(found);
        }
        placeAgain(*m_targetObject);
    }
    RecordedSequence* sequence = m_sequence;
    m_sequence = nullptr;
    if (isLiveSequence(sequence))
        sequence->advance();
}

void MissileGump::link() { gumpLink(this, nullptr); }

EffectPicture MissileGump::picture() const
{
    return { x(), y(), m_currentArt, m_angle, m_lightning, m_hue, m_renderMode };
}

void MissileGump::forgetWorldObject(const MissileWorldObject* object)
{
    if (m_worldObject == object)
        m_worldObject = nullptr;
}

void MissileGump::setUpArt(int32_t art, bool singleImage)
{
    const AnimDataRecord& animation = animDataTable().record(art);
    if (animation.frameCount != 0) {
        m_animated = true;
        m_frameDelay = animation.startDelay;
        m_firstArt = art;
        m_lastArt = 0;
        m_currentArt = art + animation.frameOffsets[0];
        return;
    }
    m_firstArt = art;
    m_currentArt = art;
    m_lastArt = singleImage ? art : art + tileData().item(art).quality - 1;
}

void MissileGump::createWorldObject(double atX, double atY, double atZ)
{
    m_worldObject = new MissileWorldObject(*this, atX, atY, atZ);
    m_worldObject->place();
}

void MissileGump::setAngleFromStep()
{
    m_angle = (angleToByte(std::atan2(m_stepY, m_stepX)) - 128) & 255;
}

void MissileGump::setUpMoving(int32_t sourceX, int32_t sourceY, int32_t sourceZ, int32_t sourceScreenX,
    int32_t sourceScreenY, int32_t speed, bool fixedDirection, bool explode)
{
    int32_t targetX = unpackX(m_targetXY);
    int32_t targetY = unpackY(m_targetXY);
    projectLocation(targetX, targetY, m_targetZ, true, m_targetScreenX, m_targetScreenY);
    double dx = m_targetScreenX - sourceScreenX;
    double dy = m_targetScreenY - sourceScreenY;
    int32_t steps = int32_t(std::trunc(std::sqrt(dx * dx + dy * dy))) / (speed * 2 + 10);
    // A target nearer than one step is reached on the first tick.
    int32_t divisor = std::max(steps, 1);
    m_stepX = dx / divisor;
    m_stepY = dy / divisor;
    m_posX = sourceScreenX;
    m_posY = sourceScreenY;
    setLocation(int32_t(m_posX), int32_t(m_posY));
    if (!fixedDirection)
        setAngleFromStep();
    m_turnToTarget = !fixedDirection;
    m_ticksLeft = steps == 0 ? 1 : steps + 1;
    if (!m_animated)
        m_frameDelay = 1;
    m_speed = (speed + 3) * 2;
    m_explode = explode;
    createWorldObject(sourceX, sourceY, sourceZ);
    m_worldObject->stepX = double(targetX - sourceX) / divisor;
    m_worldObject->stepY = double(targetY - sourceY) / divisor;
    m_worldObject->stepZ = double(m_targetZ - sourceZ) / divisor;
}

// Points the homing flight from the current position at the target: a
// screen step of `speed` pixels, and the world step that keeps pace with it.
void MissileGump::aimAt(int32_t targetX, int32_t targetY, int32_t targetZ)
{
    double dx = m_targetScreenX - m_posX;
    double dy = m_targetScreenY - m_posY;
    double length = std::sqrt(dx * dx + dy * dy);
    // Speed over length is the part of the way one tick covers, in either
    // axis: it stays defined when the target is straight above or below.
    double share = length > 0 ? m_speed / length : 0;
    m_stepX = dx * share;
    m_stepY = dy * share;
    if (m_worldObject) {
        m_worldObject->stepX = (targetX - m_worldObject->worldX) * share;
        m_worldObject->stepY = (targetY - m_worldObject->worldY) * share;
        m_worldObject->stepZ = (targetZ - m_worldObject->worldZ) * share;
    }
}

void MissileGump::setUpFixed(int32_t speed, int32_t duration, bool backward, bool pingPong)
{
    m_fixed = true;
    m_ticksLeft = duration & 0xFF;
    if (!m_animated)
        m_frameDelay = (11 - speed) & 0xFF;
    m_backward = backward;
    m_pingPong = pingPong;
    m_angle = 0;
    m_speed = 0;
}

MissileGump* MissileGump::movingLocationToLocation(uint32_t sourceXY, int32_t sourceZ, uint32_t targetXY,
    int32_t targetZ, int32_t art, int32_t speed, bool fixedDirection, bool explode, int32_t hue, int32_t renderMode)
{
    auto* gump = new MissileGump(targetXY, hue, renderMode);
    gump->m_targetZ = targetZ;
    gump->setUpArt(art, fixedDirection);
    int32_t sourceX = unpackX(sourceXY);
    int32_t sourceY = unpackY(sourceXY);
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectLocation(sourceX, sourceY, sourceZ, true, screenX, screenY);
    gump->setUpMoving(sourceX, sourceY, sourceZ, screenX, screenY, speed, fixedDirection, explode);
    return gump;
}

MissileGump* MissileGump::movingMobileToLocation(Mobile* source, uint32_t targetXY, int32_t targetZ, int32_t art,
    int32_t speed, bool fixedDirection, bool explode, int32_t hue, int32_t renderMode)
{
    if (!source)
        return nullptr;
    auto* gump = new MissileGump(targetXY, hue, renderMode);
    gump->m_targetZ = targetZ;
    gump->setUpArt(art, fixedDirection);
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectMobile(*source, screenX, screenY);
    gump->setUpMoving(source->x, source->y, source->z, screenX, screenY, speed, fixedDirection, explode);
    return gump;
}

MissileGump* MissileGump::homingGump(
    Mobile& target, int32_t art, int32_t speed, bool fixedDirection, bool explode, int32_t hue, int32_t renderMode)
{
    auto* gump = new MissileGump(packXY(target.x, target.y), hue, renderMode);
    gump->setUpArt(art, fixedDirection);
    gump->m_speed = (speed + 3) * 2;
    gump->m_explode = explode;
    gump->m_turnToTarget = !fixedDirection;
    return gump;
}

MissileGump* MissileGump::movingLocationToMobile(uint32_t sourceXY, int32_t sourceZ, Mobile* target, int32_t art,
    int32_t speed, bool fixedDirection, bool explode, int32_t hue, int32_t renderMode)
{
    if (!target)
        return nullptr;
    MissileGump* gump = homingGump(*target, art, speed, fixedDirection, explode, hue, renderMode);
    int32_t sourceX = unpackX(sourceXY);
    int32_t sourceY = unpackY(sourceXY);
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectLocation(sourceX, sourceY, sourceZ, true, screenX, screenY);
    gump->startHoming(*target, sourceX, sourceY, sourceZ, screenX, screenY);
    return gump;
}

MissileGump* MissileGump::movingMobileToMobile(Mobile* source, Mobile* target, int32_t art, int32_t speed,
    bool fixedDirection, bool explode, int32_t hue, int32_t renderMode)
{
    if (!source || !target)
        return nullptr;
    MissileGump* gump = homingGump(*target, art, speed, fixedDirection, explode, hue, renderMode);
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectMobile(*source, screenX, screenY);
    gump->startHoming(*target, source->x, source->y, source->z, screenX, screenY);
    return gump;
}

MissileGump* MissileGump::fixedAtLocation(uint32_t xy, int32_t z, int32_t art, int32_t speed, int32_t duration,
    bool backward, bool pingPong, int32_t hue, int32_t renderMode)
{
    auto* gump = new MissileGump(xy, hue, renderMode);
    gump->setUpArt(art, false);
    gump->setUpFixed(speed, duration, backward, pingPong);
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectLocation(unpackX(xy), unpackY(xy), z, true, screenX, screenY);
    gump->m_posX = screenX;
    gump->m_posY = screenY;
    gump->setLocation(screenX, screenY);
    gump->createWorldObject(unpackX(xy), unpackY(xy), z);
    return gump;
}

MissileGump* MissileGump::fixedOnMobile(Mobile* mobile, int32_t art, int32_t speed, int32_t duration, bool backward,
    bool pingPong, int32_t hue, int32_t renderMode)
{
    if (!mobile)
        return nullptr;
    auto* gump = new MissileGump(0, hue, renderMode);
    gump->setUpArt(art, false);
    gump->setUpFixed(speed, duration, backward, pingPong);
    gump->m_targetObject = mobile;
    attachedLists()[mobile].push_back(gump);
    return gump;
}

MissileGump* MissileGump::lightningOnMobile(Mobile* mobile, int32_t hue, int32_t renderMode)
{
    if (!mobile)
        return nullptr;
    MissileGump* gump = lightningAtLocation(packXY(mobile->x, mobile->y), mobile->z);
    gump->m_hue = hue;
    gump->m_renderMode = renderMode;
    return gump;
}

MissileGump* MissileGump::lightningAtLocation(uint32_t xy, int32_t z)
{
    auto* gump = new MissileGump(xy, 0, 0);
    gump->m_fixed = true;
    gump->m_lightning = true;
    gump->m_firstArt = kLightningFirstArt;
    gump->m_lastArt = kLightningLastArt;
    gump->m_currentArt = kLightningFirstArt + randomBelow(10);
    gump->m_ticksLeft = 6;
    gump->m_frameDelay = 1;
    int32_t screenX = 0;
    int32_t screenY = 0;
    projectLocation(unpackX(xy), unpackY(xy), z, false, screenX, screenY);
    gump->m_posX = screenX;
    gump->m_posY = screenY;
    gump->setLocation(screenX, screenY);
    gump->createWorldObject(unpackX(xy), unpackY(xy), z);
    return gump;
}

void MissileGump::startHoming(
    Mobile& target, int32_t sourceX, int32_t sourceY, int32_t sourceZ, int32_t screenX, int32_t screenY)
{
    m_targetObject = &target;
    m_targetZ = target.z;
    m_seenTargetX = target.x;
    m_seenTargetY = target.y;
    m_seenTargetZ = target.z;
    projectMobile(target, m_targetScreenX, m_targetScreenY);
    m_posX = screenX;
    m_posY = screenY;
    setLocation(screenX, screenY);
    if (!m_animated)
        m_frameDelay = 1;
    // A homing flight ends by distance, never by count.
    m_ticksLeft = 0;
    createWorldObject(sourceX, sourceY, sourceZ);
    aimAt(target.x, target.y, target.z);
    if (m_turnToTarget)
        setAngleFromStep();
}

void MissileGump::shiftMissile(int32_t dx, int32_t dy)
{
    setLocation(x() + dx, y() + dy);
    m_targetScreenX += dx;
    m_targetScreenY += dy;
    m_posX += dx;
    m_posY += dy;
}

bool MissileGump::flyHoming()
{
    Mobile& target = *m_targetObject;
    if (target.x != m_seenTargetX || target.y != m_seenTargetY || target.z != m_seenTargetZ) {
        m_seenTargetX = target.x;
        m_seenTargetY = target.y;
        m_seenTargetZ = target.z;
        m_targetXY = packXY(target.x, target.y);
        m_targetZ = target.z;
        projectMobile(target, m_targetScreenX, m_targetScreenY);
        aimAt(target.x, target.y, target.z);
        if (m_turnToTarget)
            setAngleFromStep();
    }
    if (std::abs(m_targetScreenX - x()) <= kArrivalDistance && std::abs(m_targetScreenY - y()) <= kArrivalDistance) {
        if (m_explode) {
            if (MissileGump* blast = fixedAtLocation(
                    m_targetXY, m_targetZ + 1, kHomingExplosionArt, 10, 9, false, false, m_hue, m_renderMode))
                blast->link();
        }
        delete this;
        return false;
    }
    m_posX += m_stepX;
    m_posY += m_stepY;
    setLocation(int32_t(m_posX), int32_t(m_posY));
    return true;
}

bool MissileGump::flyToLocation()
{
    m_posX += m_stepX;
    m_posY += m_stepY;
    setLocation(int32_t(m_posX), int32_t(m_posY));
    if (countDown(m_ticksLeft) == 1) {
        if (m_explode) {
            if (MissileGump* blast = fixedAtLocation(
                    m_targetXY, m_targetZ, kLocationExplosionArt, 10, 13, false, false, m_hue, m_renderMode))
                blast->link();
        }
        delete this;
        return false;
    }
    return true;
}

void MissileGump::stepImage()
{
    if (++m_frameTicks < m_frameDelay)
        return;
    m_frameTicks = 0;
    if (m_animated) {
        const AnimDataRecord& animation = animDataTable().record(m_firstArt);
        m_lastArt = animation.frameCount ? (m_lastArt + 1) % animation.frameCount : 0;
        m_frameDelay = animation.interval;
        m_currentArt = m_firstArt + animation.frameOffsets[size_t(m_lastArt)];
        return;
    }
    if (m_lightning) {
        m_currentArt = m_firstArt + randomBelow(m_lastArt - m_firstArt + 1);
        return;
    }
    if (m_backward) {
        if (--m_currentArt < m_firstArt) {
            if (m_pingPong) {
                m_currentArt = m_firstArt + 1;
                m_backward = false;
            } else {
                m_currentArt = m_lastArt;
            }
        }
        return;
    }
    if (++m_currentArt > m_lastArt) {
        if (m_pingPong) {
            m_currentArt = m_lastArt - 1;
            m_backward = true;
        } else {
            m_currentArt = m_firstArt;
        }
    }
}

void MissileGump::tick()
{
    bool carried = m_fixed && m_targetObject;
    if (!m_worldObject && !carried) {
        delete this;
        return;
    }
    if (!m_fixed) {
        bool flying = m_targetObject ? flyHoming() : flyToLocation();
        if (!flying)
            return;
    }
    int32_t shownArt = m_currentArt;
    stepImage();
    if (m_fixed) {
        if (countDown(m_ticksLeft) == 1) {
            delete this;
            return;
        }
        if (m_currentArt == shownArt)
            return;
        if (!m_worldObject) {
            placeAgain(*m_targetObject);
            return;
        }
        m_worldObject->placeAgain();
        return;
    }
    m_worldObject->stepOnce();
}
