#pragma once
// The light pass: after the cell grid is drawn into a dirty rectangle, the
// rectangle is darkened by the world's light level and brightened again round
// the light sources. Darkness is computed for one 64 x 48 block at a time:
// the block starts at the ambient darkness, every visible source subtracts
// its light shape, and each pixel is scaled by its darkness through the shade
// table. The coloured pass keeps a darkness per channel and lets each kind of
// source tint differently; the plain pass keeps one. With the 5-6-5 back
// buffer the pass also turns the world's 5-5-5 pixels into 5-6-5 ones.
// Rectangles are game-area pixels. Main thread only, inside the world frame.

#include "gfx/blit_target.h"
#include "gfx/screen_rect.h"
#include "world/world_services.h"

#include <array>
#include <cstdint>

class StaticObject;

struct LightLevels {
    // 0 bright .. 31 dark, from the server's light packets.
    int32_t global = 0;
    int32_t personal = 0;
};

LightLevels& lightLevels();

// The overall light packet: stores a level that differs, rebuilds the radar
// and redraws the whole screen. False when the level was already set.
bool setGlobalLightLevel(int32_t level);
// Login and connect: both levels back to 0.
void resetLightLevels();

// What the pass reads of the settings (DarkNights, ColoredLighting) and of the
// back buffer's format; the program keeps them current.
struct LightPassSettings {
    bool darkNights = false;
    bool coloured = true;
    bool to565 = false;
};
LightPassSettings& lightPassSettings();

// The ambient darkness of each pass for the levels and the DarkNights setting.
int32_t ambientDarknessColoured(int32_t global, int32_t personal, bool darkNights);
int32_t ambientDarknessPlain(int32_t global, int32_t personal, bool darkNights);

// The passes over a rectangle of `target` (game-area pixels, inside the target).
void applyLightPassColoured(const BlitTarget& target, const ScreenRect& rect, bool to565);
void applyLightPassPlain(const BlitTarget& target, const ScreenRect& rect, bool to565);
// The pass the settings choose.
void applyLightPass(const BlitTarget& target, const ScreenRect& rect);

// The code of the colour operator a light source of `graphic` uses, and the
// darkness each channel loses for strength 0..31 under that code.
int32_t lightOperatorCode(int32_t graphic);
struct LightOperator {
    std::array<uint8_t, 32> red {};
    std::array<uint8_t, 32> green {};
    std::array<uint8_t, 32> blue {};
};
const LightOperator& lightOperator(int32_t code);

// The rectangle (world pixels) an object's light covers; empty when it has none.
ScreenRect lightRectOf(const StaticObject& object);
// Asks for that rectangle to be redrawn.
void invalidateLight(const StaticObject& object);

// The world's light service: light rectangles redrawn, the player's own
// light level moved.
class WorldLightService final : public WorldLights {
public:
    void invalidateLight(StaticObject& object) override;
    void changePersonalLight(int32_t delta) override;
};
