// The weather with a seeded generator: the packet's rules, the per-frame
// step toward the count, the fading, storms, particles closed by anything
// else, and the pictures of rain and snow (each against a reference that
// paints every particle's 3 x 3 picture where it stands).
#include "gump_test_support.h"

#include "data/config_key_rules.h"
#include "gump/missile_gump.h"
#include "gump/weather.h"
#include "support/png_writer.h"
#include "world/world_services.h"

#include <cstdlib>
#include <string>

namespace {

class Messages final : public WorldMessages {
public:
    void addSystemMessage(std::u16string_view text, uint16_t hue, uint16_t font) override
    {
        std::string narrow;
        for (char16_t c : text)
            narrow += char(c);
        lines.push_back(narrow + " " + std::to_string(hue) + "/" + std::to_string(font));
    }
    std::vector<std::string> lines;
};

class Sounds final : public WorldSounds {
public:
    void playSound(int32_t id, int32_t, int32_t, bool, int32_t, bool) override { played.push_back(id); }
    void playSoundAt(int32_t id, int32_t, int32_t, int32_t, float, bool, int32_t, bool) override { played.push_back(id); }
    std::vector<int32_t> played;
};

std::vector<WeatherParticle*> particles()
{
    std::vector<WeatherParticle*> found;
    for (const GumpHandle& handle : weatherState().particles) {
        if (CGump* gump = handle.get())
            found.push_back(static_cast<WeatherParticle*>(gump));
    }
    return found;
}

class Weather : public gump_test::Desktop {
protected:
    void SetUp() override
    {
        initWeather();
        std::srand(1234);
        configValues().filterWeather = false;
    }

    void TearDown() override
    {
        stopWeather();
        missileGumpsCloseAll();
        configValues().filterWeather = false;
    }

    void withSnowArt()
    {
        art.add(6000, fixture::solidPicture(3, 3, 0x7BDE));
        art.add(6001, fixture::solidPicture(3, 3, 0x7FFF));
        art.install();
    }

    Messages messages;
    ScopedWorldService<WorldMessages> messagesGuard { messages };
    Sounds sounds;
    ScopedWorldService<WorldSounds> soundsGuard { sounds };
};

TEST_F(Weather, RainStartsWith23DropsThenMovesOneAFrameTowardTheCount)
{
    onWeatherPacket(0, 5);
    EXPECT_EQ(messages.lines, std::vector<std::string> { "It begins to rain. 0/3" });
    EXPECT_EQ(weatherParticleCount(), 23) << "whatever the count";
    EXPECT_EQ(weatherState().intensity, 23);
    for (int32_t frame = 1; frame <= 18; ++frame) {
        updateWeather();
        EXPECT_EQ(weatherParticleCount(), 23 - frame);
    }
    updateWeather();
    EXPECT_EQ(weatherParticleCount(), 5);
    // With weather on, the difference to the strength (still 23) is added at
    // once; the per-frame step goes on toward the new count.
    onWeatherPacket(0, 30);
    EXPECT_EQ(weatherParticleCount(), 5 + 7);
    EXPECT_EQ(weatherState().intensity, 30);
    updateWeather();
    EXPECT_EQ(weatherParticleCount(), 13);
}

TEST_F(Weather, ACountOf100IsTakenAs70)
{
    onWeatherPacket(1, 100);
    EXPECT_EQ(messages.lines, std::vector<std::string> { "A fierce storm approaches. 0/3" });
    EXPECT_EQ(weatherParticleCount(), 70);
    EXPECT_EQ(weatherState().target, 70);
    EXPECT_EQ(sounds.played, std::vector<int32_t> { 40 }) << "thunder";
}

TEST_F(Weather, FilteredWeatherDoesNothing)
{
    configValues().filterWeather = true;
    onWeatherPacket(0, 30);
    EXPECT_TRUE(messages.lines.empty());
    EXPECT_EQ(weatherParticleCount(), 0);
    EXPECT_EQ(weatherState().mode, WeatherMode::None);
}

TEST_F(Weather, SnowNeedsItsGumpArt)
{
    onWeatherPacket(2, 10);
    EXPECT_EQ(messages.lines, std::vector<std::string> { "It begins to snow. 0/3" });
    EXPECT_EQ(sounds.played, std::vector<int32_t> { 22 });
    EXPECT_EQ(weatherParticleCount(), 0) << "only the message without art 6001";
    stopWeather();
    withSnowArt();
    onWeatherPacket(2, 10);
    EXPECT_EQ(weatherParticleCount(), 10);
}

TEST_F(Weather, TheWeatherFadesAndEnds)
{
    onWeatherPacket(1, 3);
    for (int32_t frame = 0; frame < 361; ++frame)
        updateWeather();
    EXPECT_EQ(weatherState().intensity, 1);
    EXPECT_EQ(weatherState().mode, WeatherMode::Storm);
    for (int32_t frame = 0; frame < 361; ++frame)
        updateWeather();
    EXPECT_EQ(weatherState().mode, WeatherMode::None) << "below 0 counts as 0: the end";
    EXPECT_EQ(weatherState().intensity, 0);
    updateWeather();
    EXPECT_EQ(weatherParticleCount(), 0);
}

TEST_F(Weather, ABrewingStormOnlyThundersAndAStormStrikes)
{
    onWeatherPacket(3, 10);
    EXPECT_EQ(messages.lines, std::vector<std::string> { "A storm is brewing. 0/3" });
    EXPECT_EQ(weatherState().mode, WeatherMode::None);
    EXPECT_EQ(sounds.played, std::vector<int32_t> { 40 });
    onWeatherPacket(0, 10);
    sounds.played.clear();
    onWeatherPacket(3, 10);
    EXPECT_EQ(sounds.played, std::vector<int32_t> { 41 }) << "lightning";
    int32_t flashes = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        flashes += gump->is(GumpKind::Missile) && static_cast<MissileGump*>(gump)->isLightning();
    EXPECT_EQ(flashes, 1);
    onWeatherPacket(255, 0);
    EXPECT_EQ(weatherState().mode, WeatherMode::None);
}

TEST_F(Weather, ParticlesClosedByOthersFreeTheirPlaces)
{
    onWeatherPacket(1, 20);
    std::vector<WeatherParticle*> all = particles();
    ASSERT_EQ(all.size(), 20u);
    for (size_t i = 0; i < all.size(); i += 2)
        closeGump(all[i]);
    EXPECT_EQ(weatherParticleCount(), 10);
    updateWeather();
    EXPECT_EQ(weatherParticleCount(), 11) << "one a frame back toward the count";
}

TEST_F(Weather, ASmallerCountNeverDeletesMoreParticlesThanLive)
{
    // Rain starts 23 drops and is trimmed to 5 while its strength stays 23;
    // a count of 2 asks for 21 to go, and only 5 are there.
    onWeatherPacket(0, 5);
    for (int32_t frame = 0; frame < 20; ++frame)
        updateWeather();
    ASSERT_EQ(weatherParticleCount(), 5);
    onWeatherPacket(0, 2);
    EXPECT_EQ(weatherParticleCount(), 0);
    EXPECT_EQ(weatherState().intensity, 2);
    updateWeather();
    updateWeather();
    updateWeather();
    EXPECT_EQ(weatherParticleCount(), 2);
}

TEST_F(Weather, RainFallsDownAndLeftAndIsBornAgainWhereItLeaves)
{
    onWeatherPacket(1, 1);
    ASSERT_EQ(particles().size(), 1u);
    WeatherParticle* drop = particles()[0];
    drop->setLocation(300, 100);
    drop->life = 50;
    updateWeather();
    EXPECT_EQ(drop->x(), 284);
    EXPECT_EQ(drop->y(), 116);
    EXPECT_EQ(drop->life, 49);
    drop->setLocation(5, 100);
    updateWeather();
    EXPECT_GE(drop->x(), 0) << "off the left edge: born again inside";
    EXPECT_LE(drop->life, 19);
    shiftWeatherParticles(3, -4);
    int32_t x = drop->x();
    int32_t y = drop->y();
    shiftWeatherParticles(3, -4);
    EXPECT_EQ(drop->x(), x + 3);
    EXPECT_EQ(drop->y(), y - 4);
}

struct WeatherPicture {
    const char* name;
    int32_t type;
    uint64_t hash;
};

class WeatherPictures : public Weather, public testing::WithParamInterface<WeatherPicture> { };

TEST_P(WeatherPictures, KeepTheirPicturesAndShowEveryParticleWhereItStands)
{
    const WeatherPicture& row = GetParam();
    withSnowArt();
    // A dark sky under the particles, so that a person looking sees them.
    std::fill(buffer.pixels(), buffer.pixels() + buffer.pixelCount(), uint16_t(0x0843));
    m_world.assign(buffer.pixels(), buffer.pixels() + buffer.pixelCount());
    std::srand(99);
    onWeatherPacket(row.type, 40);
    for (int32_t frame = 0; frame < 12; ++frame)
        updateWeather();
    composeAll(false);
    std::vector<uint16_t> picture = screenPicture();
    std::string file = std::string("weather_") + row.name + ".png";
    test::writeSurfacePng(test::picturePath(file), picture.data(), buffer.width(), buffer.height(), buffer.width());

    // The reference: the world under the gumps, and each particle's picture
    // over it, in the list order from the bottom up.
    std::vector<uint16_t> expected = unrollScreen(worldPicture().data());
    std::vector<WeatherParticle*> drawn = particles();
    ASSERT_FALSE(drawn.empty());
    std::vector<CGump*> order;
    for (CGump* gump = gumpListTail(); gump; gump = gump->previous())
        order.push_back(gump);
    for (CGump* gump : order) {
        auto* particle = static_cast<WeatherParticle*>(gump);
        GumpPage& face = *particle->page(0);
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 3; ++x) {
                int32_t sx = particle->x() + x + gumpScreen().gameViewX;
                int32_t sy = particle->y() + y + gumpScreen().gameViewY;
                uint16_t pixel = face.pixel(x, y);
                if (pixel && sx >= 0 && sy >= 0 && sx < buffer.width() && sy < buffer.height())
                    expected[size_t(sy) * size_t(buffer.width()) + size_t(sx)] = pixel;
            }
        }
    }
    EXPECT_EQ(picture, expected);
    EXPECT_EQ(test::surfaceHash(picture.data(), buffer.width(), buffer.height(), buffer.width()), row.hash)
        << "picture changed; see " << test::picturePath(file);
    composeAll(true);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WeatherPictures,
    testing::Values(WeatherPicture { "rain", 1, 0x5a5063de48c77225ull }, WeatherPicture { "snow", 2, 0x3fabea2c9ebce079ull }),
    [](const testing::TestParamInfo<WeatherPicture>& row) { return std::string(row.param.name); });

} // namespace
