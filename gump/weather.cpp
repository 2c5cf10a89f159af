#include "gump/weather.h"

#include "data/config_key_rules.h"
#include "data/targeting.h"
#include "gfx/gump_art.h"
#include "gump/gump_manager.h"
#include "gump/missile_gump.h"
#include "world/effect_calls.h"
#include "world/world_services.h"

#include <algorithm>
#include <array>

namespace {

constexpr int32_t kRainStartDrops = 23;
constexpr int32_t kDecayFrames = 360;
constexpr int32_t kSoundFrames = 90;
constexpr int32_t kSnowArt = 6001;
constexpr int32_t kSnowRebirthArt = 6000;
constexpr int32_t kParticleSize = 3;
constexpr int32_t kSnowSound = 22;
constexpr int32_t kThunderSound = 40;
constexpr int32_t kLightningSound = 41;

constexpr std::array<uint16_t, 9> kRaindrop { 0x01A5, 0x001E, 0x001E, 0x01A5, 0x001E, 0x01A5, 0x001E, 0x001E,
    0x01A5 };
constexpr std::array<uint16_t, 9> kSnowflake { 0x001E, 0x7FFF, 0x001E, 0x7FFF, 0x7FFF, 0x7FFF, 0x001E, 0x7FFF,
    0x001E };

int32_t rand(int32_t n) { return randomBelow(n); }

bool isSnowing() { return weatherState().mode == WeatherMode::Snow; }

void message(const char16_t* text) { worldService<WorldMessages>().addSystemMessage(text, 0, 3); }

// Where the storm's lightning strikes and its sounds come from.
void strikePoint(int32_t& x, int32_t& y, int32_t& z)
{
    x = 22 + rand(30);
    y = 103;
    z = 4;
}

// Weather sounds play once at full volume with no pitch jitter, placed at the
// strike point like the server's own placed sounds (factor 1.0).
void thunder()
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    strikePoint(x, y, z);
    worldService<WorldSounds>().playSoundAt(kThunderSound, x, y, z, 1.0f, false, 0, false);
}

void wind()
{
    int32_t sound = 20 + rand(3);
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    strikePoint(x, y, z);
    worldService<WorldSounds>().playSoundAt(sound, x, y, z, 1.0f, false, 0, false);
}

void gameArea(int32_t& width, int32_t& height)
{
    const GumpScreen& screen = gumpScreen();
    width = std::max(screen.gameWidth, 1);
    height = std::max(screen.gameHeight, 1);
}

WeatherParticle* particleAt(size_t index)
{
    return static_cast<WeatherParticle*>(weatherState().particles[index].get());
}

// Forgets the particles something else closed.
void dropClosedParticles()
{
    std::erase_if(weatherState().particles, [](const GumpHandle& handle) { return !handle; });
}

void bornAgain(WeatherParticle& particle, bool snow)
{
    int32_t width = 0;
    int32_t height = 0;
    gameArea(width, height);
    particle.setLocation(rand(width), rand(height));
    if (snow) {
        particle.dx = 2 + rand(4);
        particle.dy = 2 + rand(4);
        particle.life = 40 + rand(40);
        particle.paintFromGumpArt(kSnowRebirthArt);
    } else {
        particle.life = 10 + rand(10);
    }
}

void addParticle(bool snow)
{
    WeatherState& state = weatherState();
    if (state.intensity > WeatherState::kMaxParticles || int32_t(state.particles.size()) >= WeatherState::kMaxParticles)
        return;
    int32_t width = 0;
    int32_t height = 0;
    if (snow && !getGumpArtSize(kSnowArt, width, height))
        return;
    gameArea(width, height);
    auto* particle = new WeatherParticle(rand(width), rand(height), snow);
    if (snow) {
        particle->dx = 2 + rand(4);
        particle->dy = 2 + rand(4);
        particle->life = 40 + rand(40);
    } else {
        particle->dx = 16;
        particle->dy = 16;
        particle->life = 10 + rand(10);
    }
    gumpLink(particle, nullptr);
    state.particles.emplace_back(particle);
}

void addParticles(int32_t count, bool snow)
{
    for (int32_t i = 0; i < count; ++i)
        addParticle(snow);
}

// The first `count` particles go (never more than there are).
void removeParticles(int32_t count)
{
    dropClosedParticles();
    std::vector<GumpHandle>& particles = weatherState().particles;
    count = std::clamp<int32_t>(count, 0, int32_t(particles.size()));
    std::vector<GumpHandle> going(particles.begin(), particles.begin() + count);
    particles.erase(particles.begin(), particles.begin() + count);
    for (const GumpHandle& handle : going)
        closeGump(handle.get());
}

void stepGust(SnowGust& gust)
{
    ++gust.counter;
    if (gust.counter % 100 == 0)
        gust.push = std::clamp(gust.push + gust.step, 0, gust.limit);
    if (gust.counter > gust.duration / 2 && gust.step > 0)
        gust.step = -gust.step;
    if (gust.counter > gust.duration) {
        gust.active = false;
        gust.push = 0;
    }
}

void moveParticles()
{
    WeatherState& state = weatherState();
    bool snow = isSnowing();
    int32_t width = 0;
    int32_t height = 0;
    gameArea(width, height);
    for (size_t i = 0; i < state.particles.size(); ++i) {
        WeatherParticle* particle = particleAt(i);
        if (!particle)
            continue;
        SnowGust& gust = state.gust;
        if (snow) {
            if (rand(25000) == 10) {
                gust = { true, rand(10), 0, 2, 15000 + rand(500), 0 };
                wind();
            }
            if (gust.active)
                stepGust(gust);
        }
        int32_t push = snow && gust.active ? gust.push : 0;
        --particle->life;
        int32_t x = particle->x() - particle->dx - push;
        int32_t y = particle->y() + particle->dy;
        particle->setLocation(x, y);
        if (snow && rand(10) == 2)
            particle->dx += rand(2) - 1;
        if (particle->life < 1 || x < 0 || y < 0 || x >= width || y >= height)
            bornAgain(*particle, snow);
    }
}

void playWeatherSounds()
{
    WeatherState& state = weatherState();
    if (++state.soundCounter <= kSoundFrames)
        return;
    state.soundCounter = 0;
    int32_t r = rand(100);
    if (state.mode == WeatherMode::Rain) {
        if (r < 20)
            weatherLightning();
        else if (r > 90)
            thunder();
    } else if (state.mode == WeatherMode::Storm) {
        if (r < 50)
            weatherLightning();
        else if (r >= 71 && r <= 80)
            wind();
        else if (r > 80)
            thunder();
    }
}

} // namespace

WeatherParticle::WeatherParticle(int32_t x, int32_t y, bool snow)
    : CGump(x, y, nullptr, 1, kParticleSize, kParticleSize)
{
    setTypeName("weather gump");
    GumpPage& face = *page(0);
    face.allocate(kParticleSize, kParticleSize);
    const auto& picture = snow ? kSnowflake : kRaindrop;
    std::copy(picture.begin(), picture.end(), face.pixels.begin());
}

void WeatherParticle::paintFromGumpArt(int32_t art)
{
    GumpPage& face = *page(0);
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    drawGumpArt(copySpan, art, face.target(), 0, 0);
}

WeatherState& weatherState()
{
    static WeatherState state;
    return state;
}

void initWeather()
{
    WeatherState& state = weatherState();
    state.mode = WeatherMode::None;
    state.particles.clear();
    state.target = 0;
    state.intensity = 0;
    state.decayCounter = 0;
    state.soundCounter = 0;
    state.gust = SnowGust {};
}

void stopWeather()
{
    WeatherState& state = weatherState();
    state.mode = WeatherMode::None;
    removeParticles(int32_t(state.particles.size()));
}

int32_t weatherParticleCount()
{
    dropClosedParticles();
    return int32_t(weatherState().particles.size());
}

void weatherLightning()
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    strikePoint(x, y, z);
    if (MissileGump* flash = MissileGump::lightningAtLocation(packXY(x, y), z))
        flash->link();
    worldService<WorldSounds>().playSoundAt(kLightningSound, x, y, z, 1.0f, false, 0, false);
}

void onWeatherPacket(int32_t type, int32_t count)
{
    if (configValues().filterWeather)
        return;
    WeatherState& state = weatherState();
    state.decayCounter = 0;
    state.soundCounter = 0;
    if (type == 254)
        return;
    count = std::clamp(count, 0, WeatherState::kMaxParticles);
    state.target = count;
    if (state.mode == WeatherMode::None) {
        switch (type) {
        case 0:
            message(u"It begins to rain.");
            state.mode = WeatherMode::Rain;
            state.intensity = kRainStartDrops;
            addParticles(kRainStartDrops, false);
            break;
        case 1:
            message(u"A fierce storm approaches.");
            thunder();
            state.mode = WeatherMode::Storm;
            state.intensity = count;
            addParticles(count, false);
            break;
        case 2:
            message(u"It begins to snow.");
            worldService<WorldSounds>().playSound(kSnowSound, 0, 0, false, 0, false);
            state.mode = WeatherMode::Snow;
            state.intensity = count;
            addParticles(count, true);
            break;
        case 3:
            message(u"A storm is brewing.");
            thunder();
            break;
        default:
            break;
        }
        return;
    }
    if (type == 3) {
        weatherLightning();
        return;
    }
    if (type == 255)
        stopWeather();
    if (state.intensity < count)
        addParticles(count - state.intensity, type == 2);
    else if (count < state.intensity)
        removeParticles(state.intensity - count);
    state.intensity = count;
}

void updateWeather()
{
    WeatherState& state = weatherState();
    dropClosedParticles();
    if (state.mode == WeatherMode::None) {
        removeParticles(int32_t(state.particles.size()));
        return;
    }
    bool snow = isSnowing();
    int32_t live = int32_t(state.particles.size());
    if (live < state.target)
        addParticle(snow);
    else if (live > state.target)
        removeParticles(1);

    if (++state.decayCounter > kDecayFrames) {
        state.intensity -= 2;
        if (state.intensity <= 0) {
            state.intensity = 0;
            state.mode = WeatherMode::None;
        }
        state.decayCounter = 0;
    }
    playWeatherSounds();
    moveParticles();
}

void shiftWeatherParticles(int32_t dx, int32_t dy)
{
    WeatherState& state = weatherState();
    for (size_t i = 0; i < state.particles.size(); ++i) {
        if (WeatherParticle* particle = particleAt(i))
            particle->setLocation(particle->x() + dx, particle->y() + dy);
    }
}
