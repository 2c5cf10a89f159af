#include "data/data_files.h"
#include "data/server_features.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/loaded_data_files.h"
#include "frontend/feature_flags.h"
#include "world/def_table_world.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SlotLimitCase {
    const char* name;
    uint32_t listFlags;
    uint32_t features;
    int32_t slots;
};

class CharacterSlotLimit : public ::testing::TestWithParam<SlotLimitCase> {
protected:
    ~CharacterSlotLimit() override
    {
        storeCharacterListFlags(0);
        setServerFeatures(0);
    }
};

TEST_P(CharacterSlotLimit, FollowsTheListFlagsAndTheFeatureWord)
{
    storeCharacterListFlags(GetParam().listFlags);
    setServerFeatures(GetParam().features);
    EXPECT_EQ(maxCharacterSlots(), GetParam().slots);
}

INSTANTIATE_TEST_SUITE_P(Cases, CharacterSlotLimit,
    ::testing::Values(SlotLimitCase { "Plain", 0, 0, 5 }, SlotLimitCase { "FlagFourOneSlot", 1u << 4, 0x20, 1 },
        SlotLimitCase { "FlagsFourAndSixOneSlot", (1u << 4) | (1u << 6), 0x20, 1 },
        SlotLimitCase { "FlagSixWithFeatureSix", 1u << 6, 0x20, 6 },
        SlotLimitCase { "FlagSixWithoutFeatureFive", 1u << 6, 0x1F, 5 },
        SlotLimitCase { "FeatureWithoutFlagFive", 0, 0x20, 5 }),
    [](const ::testing::TestParamInfo<SlotLimitCase>& param) { return std::string(param.param.name); });

// Sets 1 and 2 need their bit and both of their files; 3 and 4 are always
// there; nothing else is.
TEST(AnimationSets, ThreeAndFourAlwaysOneAndTwoByBitAndFiles)
{
    fixture::ClientDirectory client;
    fixture::writeRequiredDataFiles(client.root(), "client");
    client.write("anim2.idx", std::string(12, '\0'));
    client.write("anim2.mul", std::string(4, '\0'));
    fixture::LoadedDataFiles files;
    setServerFeatures(0);
    EXPECT_FALSE(isAnimSetEnabled(1));
    EXPECT_FALSE(isAnimSetEnabled(2));
    EXPECT_TRUE(isAnimSetEnabled(3));
    EXPECT_TRUE(isAnimSetEnabled(4));
    EXPECT_FALSE(isAnimSetEnabled(0));
    EXPECT_FALSE(isAnimSetEnabled(5));
    setServerFeatures(0x08 | 0x10);
    EXPECT_TRUE(isAnimSetEnabled(1)) << "its files are there";
    EXPECT_FALSE(isAnimSetEnabled(2)) << "its files are missing";
    setServerFeatures(0x10);
    EXPECT_FALSE(isAnimSetEnabled(1));

    // The world asks through the rule the front end installs.
    installAnimSetRule();
    EXPECT_TRUE(defTableWorld().isAnimSetEnabled(3));
    EXPECT_FALSE(defTableWorld().isAnimSetEnabled(1));
    defTableWorld().setAnimSetRule(nullptr);
    setServerFeatures(0);
}

struct SplashCase {
    const char* name;
    const char* language;
    uint32_t features;
    int32_t expected;
};

class SplashPicture : public ::testing::TestWithParam<SplashCase> { };

TEST_P(SplashPicture, LanguageFirstThenTheLastFeatureThatApplies)
{
    EXPECT_EQ(splashPictureFor(GetParam().language, GetParam().features), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplashPicture,
    ::testing::Values(SplashCase { "Plain", "enu", 0, 271 }, SplashCase { "Feature40", "enu", 0x40, 272 },
        SplashCase { "Feature80", "enu", 0xC0, 273 }, SplashCase { "Feature100Wins", "enu", 0x1C0, 277 },
        SplashCase { "JapaneseUpperCase", "JPN", 0x1C0, 274 }, SplashCase { "ShortCode", "jp", 0x40, 272 }),
    [](const ::testing::TestParamInfo<SplashCase>& param) { return std::string(param.param.name); });

} // namespace
