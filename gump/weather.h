#pragma once
// Rain and snow: tiny particle gumps scattered over the game area and moved
// once per frame; storms add lightning, thunder and wind. The server starts,
// changes and stops the weather with one packet; the weather then fades by
// itself (its intensity falls by 2 every 360 frames). At most 70 particles
// live at once; the list is kept dense, so a particle closed by anything
// else simply leaves it. Positions are game-area pixels. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <vector>

// A 3 x 3 picture gump that drifts; it is never hit by the pointer.
class WeatherParticle final : public CGump {
public:
    WeatherParticle(int32_t x, int32_t y, bool snow);

    bool containsPoint(int32_t, int32_t) override { return false; }
    bool isInGameView() override { return true; }
    bool isColourKeyed() override { return true; }

    // The picture from the top-left of gump art `art` (transparent where it
    // has none).
    void paintFromGumpArt(int32_t art);

    int32_t life = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};

enum class WeatherMode : int32_t {
    None = 255,
    Rain = 0,
    Storm = 1,
    Snow = 2,
};

struct SnowGust {
    bool active = false;
    int32_t limit = 0;
    int32_t push = 0;
    int32_t step = 0;
    int32_t duration = 0;
    int32_t counter = 0;
};

struct WeatherState {
    static constexpr int32_t kMaxParticles = 70;

    WeatherMode mode = WeatherMode::None;
    // The particle count the per-frame step moves toward.
    int32_t target = 0;
    // The weather's strength; it fades, and the weather ends at 0.
    int32_t intensity = 0;
    std::vector<GumpHandle> particles;
    int32_t decayCounter = 0;
    int32_t soundCounter = 0;
    SnowGust gust;
};

WeatherState& weatherState();

// Start-up: no weather.
void initWeather();
// The weather packet; ignored while the FilterWeather setting is on.
void onWeatherPacket(int32_t type, int32_t count);
// Once per frame.
void updateWeather();
// No weather; every particle goes.
void stopWeather();
// The view scrolled: every particle moves with the world.
void shiftWeatherParticles(int32_t dx, int32_t dy);
// Particles alive now.
int32_t weatherParticleCount();
// The world location lightning strikes (and thunder sounds) at.
void weatherLightning();
