#pragma once
// Graphical effects as the world sees them. The effects themselves live above
// the world (as missile gumps, which the gump manager ticks); the world
// describes one with an EffectCall (the factories take it, the recorded
// sequences keep it), builds it through the EffectBuilder service and reads
// the pictures of effects riding on a mobile. Mobiles are named by serial, so
// a stored call never holds a pointer. While a mobile is being destroyed it
// counts as gone to every effect and recording. Main thread only.

#include <cstdint>
#include <vector>

class Mobile;
class RecordedSequence;

// The kinds of effect that can be built, in the order of their record keys.
enum class EffectKind : uint8_t {
    FixedAtLocation = 0,
    FixedOnMobile = 1,
    Lightning = 2,
    MovingLocationToLocation = 3,
    MovingLocationToMobile = 4,
    MovingMobileToLocation = 5,
    MovingMobileToMobile = 6,
};

struct EffectCall {
    EffectKind kind = EffectKind::FixedAtLocation;
    // Hued calls carry a hue and a render mode (and record as keys 9..15).
    bool hued = false;
    uint16_t art = 0;
    // x in the low 16 bits, y in the high 16 bits.
    uint32_t sourceXY = 0;
    int16_t sourceZ = 0;
    uint32_t targetXY = 0;
    int16_t targetZ = 0;
    // Serials of the mobiles the kind names (0: none).
    uint32_t sourceMobile = 0;
    uint32_t targetMobile = 0;
    uint8_t speed = 0;
    uint8_t duration = 0;
    uint8_t backward = 0;
    uint8_t pingPong = 0;
    uint8_t fixedDirection = 0;
    uint8_t explode = 0;
    int32_t hue = 0;
    int32_t renderMode = 0;
};

inline uint32_t packXY(int32_t x, int32_t y) { return (uint32_t(uint16_t(y)) << 16) | uint16_t(x); }
inline int32_t unpackX(uint32_t xy) { return int32_t(xy & 0xFFFF); }
inline int32_t unpackY(uint32_t xy) { return int32_t(xy >> 16); }

// What an effect shows, as its world object and its carrying mobile draw it.
struct EffectPicture {
    // Game-area pixels: the image's bottom centre.
    int32_t x = 0;
    int32_t y = 0;
    int32_t art = 0;
    // 256 steps per turn; 0 unrotated.
    int32_t angle = 0;
    // Gump art of the lightning range instead of item art.
    bool lightning = false;
    int32_t hue = 0;
    int32_t renderMode = 0;
};

// The effects, built above the world; the base builds nothing.
class EffectBuilder {
public:
    virtual ~EffectBuilder() = default;
    // Builds the call's effect and links it on top; `sequence` (may be null)
    // continues when it ends. False when nothing was built.
    virtual bool build(const EffectCall&, RecordedSequence*) { return false; }
    // The mobile is being destroyed: the effects riding on it or flying at it end.
    virtual void mobileDestroyed(Mobile&) { }
    // The pictures of the effects riding on a mobile, first attached first.
    virtual void attachedPictures(const Mobile&, std::vector<EffectPicture>&) { }
};

// The mobile with `serial` in the mobile list, unless it is being destroyed;
// null for serial 0.
Mobile* findLiveMobile(uint32_t serial);

// Called first and last by a mobile's destructor: in between the mobile is
// gone for effects and recordings, the effects tied to it end and a sequence
// waiting for its animation continues.
void beginMobileDestruction(Mobile& mobile);
void endMobileDestruction(Mobile& mobile);
bool isMobileBeingDestroyed(const Mobile* mobile);
