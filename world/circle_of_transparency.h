#pragma once
// The circle of transparency: with the UseCircleTrans setting on, a static
// that rises more than five units above the player and whose picture meets a
// circle round the game area's centre is drawn faded, the more the nearer a
// pixel lies to the circle's centre. Statics in the circle cannot be picked.
// Coordinates are game-area pixels. One process-wide record; main thread only.

#include "gfx/art_image.h"
#include "gfx/blit_target.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen_rect.h"

#include <cstdint>

class WorldObject;

class CircleOfTransparency {
public:
    static constexpr int32_t kMinRadius = 2;
    static constexpr int32_t kMaxRadius = 256;
    static constexpr int32_t kDefaultRadius = 64;

    // Radius 64 round the centre of the game area.
    void init();
    void setRadius(int32_t radius);
    // Clamped into the game area.
    void setCentre(int32_t x, int32_t y);
    void setGameAreaSize(int32_t width, int32_t height);
    // Recomputes r2, the shift, the blend and the bounding box.
    void rebuild();

    int32_t radius() const { return m_radius; }
    int32_t radiusSquared() const { return m_r2; }
    int32_t shift() const { return m_shift; }
    int32_t centreX() const { return m_centreX; }
    int32_t centreY() const { return m_centreY; }
    const ScreenRect& bounds() const { return m_bounds; }
    // True when the blend uses shifts (r2 a power of two).
    bool blendsByShift() const { return m_shift != 0; }

    // Object pixel `over` on pixel `behind` at squared distance d2 from the
    // centre: at the rim only the object shows, at the centre only what is
    // behind.
    uint16_t blend(uint16_t over, uint16_t behind, int32_t d2) const;
    static uint16_t blendShift(uint16_t over, uint16_t behind, int32_t d2, int32_t r2, int32_t shift);
    static uint16_t blendDivide(uint16_t over, uint16_t behind, int32_t d2, int32_t r2, int32_t shift);

private:
    int32_t m_radius = kDefaultRadius;
    int32_t m_r2 = kDefaultRadius * kDefaultRadius;
    int32_t m_shift = 12;
    int32_t m_centreX = 320;
    int32_t m_centreY = 240;
    int32_t m_gameWidth = 640;
    int32_t m_gameHeight = 480;
    ScreenRect m_bounds;
};

CircleOfTransparency& circleOfTransparency();

// Whether a static is faded by the circle: not dynamic, not one of the
// graphics 6038..6066, its top more than five above the player, and its
// picture meeting the circle's box.
bool isInCircleOfTransparency(const WorldObject& object);

// blitArtClipped with every run passed through circleSpan; `target` is the
// world frame's target (its origin gives each run's game-area position).
void blitArtThroughCircle(
    PixelSpanFn fn, const ArtImage* image, const BlitTarget& target, const ScreenRect* clip, int32_t x, int32_t y);

// One run at game-area (x, y): outside the circle it goes to `fn` as it is;
// inside, each pixel becomes the blend of what `fn` would write and what is
// there.
void circleSpan(PixelSpanFn fn, uint16_t* destination, const uint16_t* source, int32_t count, int32_t x, int32_t y);
