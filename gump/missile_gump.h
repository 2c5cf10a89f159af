#pragma once
// Graphical effects: spells, thrown objects, explosions and lightning. Each
// effect is a gump of its own kind ("missile gump") on top of the desktop, so
// that the gump manager ticks it with the other gumps; it draws nothing and is
// never hit. What is seen is its MissileWorldObject in the cell grid, or, for
// an effect riding on a mobile, the mobile's own drawing (which asks for the
// attached pictures). An effect either flies from a source to a target
// (moving; homing when the target is a mobile), stays at a place or on a
// mobile for a number of ticks (fixed), or flashes (lightning). It deletes
// itself when it arrives or its time is up, and lets a recorded sequence that
// waits for it go on. Screen positions are game-area pixels; the world view's
// top-left (viewPixelX, viewPixelY) is the scroll. Main thread only.

#include "gump/gump.h"
#include "world/effect_calls.h"
#include "world/missile_world_object.h"

#include <cstdint>
#include <vector>

class Mobile;
class RecordedSequence;

class MissileGump final : public CGump, public MissileOwner {
public:
    static constexpr int32_t kArrivalDistance = 24;
    static constexpr int32_t kLightningFirstArt = 20000;
    static constexpr int32_t kLightningLastArt = 20009;
    static constexpr int32_t kHomingExplosionArt = 14027;
    static constexpr int32_t kLocationExplosionArt = 14001;

    // The constructors: each answers null (and builds nothing) when an
    // object the kind needs is missing. None is linked yet.
    static MissileGump* movingLocationToLocation(uint32_t sourceXY, int32_t sourceZ, uint32_t targetXY,
        int32_t targetZ, int32_t art, int32_t speed, bool fixedDirection, bool explode, int32_t hue = 0,
        int32_t renderMode = 0);
    static MissileGump* movingLocationToMobile(uint32_t sourceXY, int32_t sourceZ, Mobile* target, int32_t art,
        int32_t speed, bool fixedDirection, bool explode, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* movingMobileToLocation(Mobile* source, uint32_t targetXY, int32_t targetZ, int32_t art,
        int32_t speed, bool fixedDirection, bool explode, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* movingMobileToMobile(Mobile* source, Mobile* target, int32_t art, int32_t speed,
        bool fixedDirection, bool explode, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* fixedAtLocation(uint32_t xy, int32_t z, int32_t art, int32_t speed, int32_t duration,
        bool backward, bool pingPong, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* fixedOnMobile(Mobile* mobile, int32_t art, int32_t speed, int32_t duration, bool backward,
        bool pingPong, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* lightningOnMobile(Mobile* mobile, int32_t hue = 0, int32_t renderMode = 0);
    static MissileGump* lightningAtLocation(uint32_t xy, int32_t z);

    ~MissileGump() override;

    void draw(GumpCanvas&) override { }
    void saveUnder(GumpCanvas&) override { }
    bool containsPoint(int32_t, int32_t) override { return false; }
    bool isClosableByCloseAll() override { return false; }
    void tick() override;
    void shiftMissile(int32_t dx, int32_t dy) override;

    EffectPicture picture() const override;
    void forgetWorldObject(const MissileWorldObject* object) override;

    // Links the gump on top of the desktop.
    void link();
    void setSequence(RecordedSequence* sequence) { m_sequence = sequence; }

    // What tests and the mobile drawing read.
    int32_t currentArt() const { return m_currentArt; }
    int32_t angle() const { return m_angle; }
    int32_t ticksLeft() const { return m_ticksLeft; }
    int32_t frameDelay() const { return m_frameDelay; }
    bool isFixed() const { return m_fixed; }
    bool isLightning() const { return m_lightning; }
    bool isAnimated() const { return m_animated; }
    double posX() const { return m_posX; }
    double posY() const { return m_posY; }
    double stepX() const { return m_stepX; }
    double stepY() const { return m_stepY; }
    int32_t targetScreenX() const { return m_targetScreenX; }
    int32_t targetScreenY() const { return m_targetScreenY; }
    uint32_t targetXY() const { return m_targetXY; }
    int32_t targetZ() const { return m_targetZ; }
    Mobile* targetObject() const { return m_targetObject; }
    MissileWorldObject* worldObject() const { return m_worldObject; }
    RecordedSequence* sequence() const { return m_sequence; }
    int32_t hue() const { return m_hue; }
    int32_t renderMode() const { return m_renderMode; }

private:
    MissileGump(uint32_t targetXY, int32_t hue, int32_t renderMode);
    // A flight at a mobile, its art and speed set; startHoming aims it.
    static MissileGump* homingGump(
        Mobile& target, int32_t art, int32_t speed, bool fixedDirection, bool explode, int32_t hue, int32_t renderMode);

    // The image range or animation of art `art`.
    void setUpArt(int32_t art, bool singleImage);
    void createWorldObject(double atX, double atY, double atZ);
    void setUpMoving(int32_t sourceX, int32_t sourceY, int32_t sourceZ, int32_t sourceScreenX, int32_t sourceScreenY,
        int32_t speed, bool fixedDirection, bool explode);
    void setUpFixed(int32_t speed, int32_t duration, bool backward, bool pingPong);
    // The homing flight toward the target mobile, one tick; false when the
    // gump deleted itself.
    bool flyHoming();
    bool flyToLocation();
    void aimAt(int32_t targetX, int32_t targetY, int32_t targetZ);
    void startHoming(
        Mobile& target, int32_t sourceX, int32_t sourceY, int32_t sourceZ, int32_t screenX, int32_t screenY);
    void stepImage();
    void setAngleFromStep();

    uint32_t m_targetXY = 0;
    int32_t m_targetZ = 0;
    Mobile* m_targetObject = nullptr;
    MissileWorldObject* m_worldObject = nullptr;
    int32_t m_targetScreenX = 0;
    int32_t m_targetScreenY = 0;
    double m_stepX = 0;
    double m_stepY = 0;
    double m_posX = 0;
    double m_posY = 0;
    int32_t m_angle = 0;
    int32_t m_ticksLeft = 0;
    int32_t m_frameDelay = 0;
    int32_t m_frameTicks = 0;
    int32_t m_speed = 0;
    int32_t m_firstArt = 0;
    // The last art of the range, or an animation's frame index.
    int32_t m_lastArt = 0;
    int32_t m_currentArt = 0;
    bool m_explode = false;
    bool m_turnToTarget = false;
    bool m_fixed = false;
    bool m_backward = false;
    bool m_pingPong = false;
    bool m_animated = false;
    bool m_lightning = false;
    // The homing target's cell when last looked at.
    int32_t m_seenTargetX = 0;
    int32_t m_seenTargetY = 0;
    int32_t m_seenTargetZ = 0;
    RecordedSequence* m_sequence = nullptr;
    int32_t m_hue = 0;
    int32_t m_renderMode = 0;
};

// radians x 128 / pi, truncated toward zero.
int32_t angleToByte(double radians);

// The effects riding on a mobile, first attached first.
const std::vector<MissileGump*>& attachedEffects(const Mobile& mobile);

// The factories the server's effect packets call: kind 0 moving, 1 lightning
// on the source, 2 fixed at the source location, 3 fixed on the source; other
// kinds do nothing. While effects are recorded, the call is recorded instead.
void createEffectEx(int32_t kind, Mobile* source, Mobile* target, int32_t art, uint32_t sourceXY, int32_t sourceZ,
    uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward, int32_t pingPong,
    int32_t fixedDirection, int32_t explode);
void createEffect(int32_t kind, Mobile* source, Mobile* target, int32_t art, uint32_t sourceXY, int32_t sourceZ,
    uint32_t targetXY, int32_t targetZ, int32_t speed, int32_t duration, int32_t backward, int32_t pingPong,
    int32_t fixedDirection, int32_t explode, int32_t hue, int32_t renderMode);
// The drag effects: an item flying between places and mobiles; never recorded.
void createDragEffect(int32_t art, uint32_t sourceXY, int32_t sourceZ, uint32_t targetXY, int32_t targetZ,
    int32_t speed, int32_t fixedDirection, int32_t explode);
void createDragEffectToObject(int32_t art, uint32_t sourceXY, int32_t sourceZ, Mobile* target, int32_t speed,
    int32_t fixedDirection, int32_t explode);
void createDragEffectFromObject(int32_t art, Mobile* source, uint32_t targetXY, int32_t targetZ, int32_t speed,
    int32_t fixedDirection, int32_t explode);
void createDragEffectBetweenObjects(
    int32_t art, Mobile* source, Mobile* target, int32_t speed, int32_t fixedDirection, int32_t explode);

// Builds a described effect (the factories' and the recorded sequences' way)
// and links it; null when nothing was built.
MissileGump* buildEffect(const EffectCall& call, RecordedSequence* sequence);

// The world's effect service, backed by the missile gumps.
class MissileEffects final : public EffectBuilder {
public:
    bool build(const EffectCall& call, RecordedSequence* sequence) override;
    void mobileDestroyed(Mobile& mobile) override;
    void attachedPictures(const Mobile& mobile, std::vector<EffectPicture>& out) override;
};
