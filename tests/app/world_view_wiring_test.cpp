// The world view's start-up as the running program wires it: from then on a
// change of the circle's or the design cache's settings, by the options or
// by a line of the settings file, reaches the circle of transparency and the
// design cache.

#include "app/world_view_wiring.h"
#include "data/config_key_rules.h"
#include "data/config_keys.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "world/circle_of_transparency.h"
#include "world/multi_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

struct WorldSettingCase {
    std::string name;
    std::function<void()> change;
    std::function<void()> check;
};

std::string worldSettingCaseName(const testing::TestParamInfo<WorldSettingCase>& info) { return info.param.name; }
void PrintTo(const WorldSettingCase& row, std::ostream* out) { *out << row.name; }

class WorldSettingsWiring : public testing::TestWithParam<WorldSettingCase> {
protected:
    void SetUp() override
    {
        m_previous = installWorldSettings(nullptr);
        startWorldGrid();
        multiCache().clear();
        multiCache().setLimit(MultiCache::kDefaultLimit);
        for (uint32_t serial = 1; serial <= 3; ++serial)
            multiCache().insert(std::make_unique<MultiCacheEntry>(serial, 1, 0, 10, 10, 0), true);
    }
    void TearDown() override
    {
        multiCache().clear();
        multiCache().setLimit(MultiCache::kDefaultLimit);
        circleOfTransparency().init();
        installWorldSettings(m_previous);
    }

    WorldSettingsService* m_previous = nullptr;
};

TEST_P(WorldSettingsWiring, ReachesTheWorld)
{
    GetParam().change();
    GetParam().check();
}

void expectRadius(int32_t radius) { EXPECT_EQ(circleOfTransparency().radius(), radius); }

void expectCentre(int32_t x, int32_t y)
{
    EXPECT_EQ(circleOfTransparency().centreX(), x);
    EXPECT_EQ(circleOfTransparency().centreY(), y);
}

void expectCacheLimit(int32_t limit, size_t entries)
{
    EXPECT_EQ(multiCache().limit(), limit);
    EXPECT_EQ(multiCache().size(), entries) << "the cache is trimmed to its new limit";
}

INSTANTIATE_TEST_SUITE_P(Settings, WorldSettingsWiring,
    testing::Values(WorldSettingCase { "RadiusFromTheOptions",
                        [] { settings().setIntSetting(u"CircleTransRadius", 100); }, [] { expectRadius(100); } },
        WorldSettingCase { "RadiusAboveTheLimit", [] { settings().setIntSetting(u"CircleTransRadius", 999); },
            [] { expectRadius(CircleOfTransparency::kMaxRadius); } },
        WorldSettingCase { "RadiusFromTheFile",
            [] { settingsKeyRules().applyConfigKey(ConfigKeyKind::CircleTransRadius, "90", true); },
            [] { expectRadius(90); } },
        WorldSettingCase { "CentreFromTheFile",
            [] { settingsKeyRules().applyConfigKey(ConfigKeyKind::CircleTransPos, "100,120", true); },
            [] { expectCentre(100, 120); } },
        WorldSettingCase { "CentreOutsideTheGameArea",
            [] { settingsKeyRules().applyConfigKey(ConfigKeyKind::CircleTransPos, "5000,-3", true); },
            [] { expectCentre(639, 0); } },
        WorldSettingCase { "CacheLimitFromTheOptions", [] { settings().setIntSetting(u"HouseCacheSize", 2); },
            [] { expectCacheLimit(2, 2); } },
        WorldSettingCase { "CacheLimitFromTheFile",
            [] { settingsKeyRules().applyConfigKey(ConfigKeyKind::HouseCacheSize, "1", true); },
            [] { expectCacheLimit(1, 1); } },
        WorldSettingCase { "CacheLimitOfNothingKeepsOne", [] { settings().setIntSetting(u"HouseCacheSize", 0); },
            [] { expectCacheLimit(1, 1); } }),
    worldSettingCaseName);

} // namespace
