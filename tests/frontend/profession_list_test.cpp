// The profession file, the skill names of its Skill lines and the skill
// filter of the skill list.

#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "frontend/profession_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A category whose Children use every separator, a top-level profession
// with Desc 4, three Skill lines and three Stat lines, and a child name that
// names no record.
constexpr const char* kFixture = "Begin\n"
                                 "\tName\tFighters\n"
                                 "\tTrueName\t\"the fighters\"\n"
                                 "\tType\tCategory\n"
                                 "\tTopLevel\tTRUE\n"
                                 "\tChildren\tPaladin, Samurai.\"Ghost\"\tlast\n"
                                 "End\n"
                                 "Begin\r\n"
                                 "\tName\t\"Paladin\"\r\n"
                                 "\tDesc\t4\r\n"
                                 "\tTopLevel\ttrue\r\n"
                                 "\tGump\t5591\r\n"
                                 "\tNameId\t1061180\r\n"
                                 "\tDescId\t1061181\r\n"
                                 "\tSkill\tchivalry\t30\r\n"
                                 "\tSkill\tSwordsmanship\t50\r\n"
                                 "\tSkill\tTactics\t20\r\n"
                                 "\tStat\tstr\t45\r\n"
                                 "\tStat\tDEX\t20\r\n"
                                 "\tStat\tInt\t15\r\n"
                                 "\tUnknownKey\t7\r\n"
                                 "End\r\n"
                                 "Begin\n"
                                 "\tName\tSamurai\n"
                                 "\tDesc\t6\n"
                                 "End\n"
                                 "\tName\tOrphan\n"
                                 "End\n";

TEST(ProfessionFile, ReadsTheFixture)
{
    const std::vector<ProfessionRecord> records = parseProfessions(kFixture);
    ASSERT_EQ(records.size(), 3u);
    const ProfessionRecord& category = records[0];
    EXPECT_EQ(category.name, "Fighters");
    EXPECT_EQ(category.trueName, "the fighters");
    EXPECT_TRUE(category.category);
    EXPECT_TRUE(category.topLevel);
    EXPECT_EQ(category.children, (std::vector<std::string> { "Paladin", "Samurai", "Ghost", "last" }));
    EXPECT_EQ(category.parent, -1);

    const ProfessionRecord& paladin = records[1];
    EXPECT_EQ(paladin.name, "Paladin");
    EXPECT_EQ(paladin.id, 4);
    EXPECT_TRUE(paladin.topLevel);
    EXPECT_FALSE(paladin.category);
    EXPECT_EQ(paladin.buttonArt, 5591);
    EXPECT_EQ(paladin.nameTextId, 1061180);
    EXPECT_EQ(paladin.descriptionTextId, 1061181);
    ASSERT_EQ(paladin.skills.size(), 3u);
    EXPECT_EQ(paladin.skills[0].number, 51);
    EXPECT_EQ(paladin.skills[0].value, 30);
    EXPECT_EQ(paladin.skills[1].number, 40);
    EXPECT_EQ(paladin.skills[2].number, 27);
    EXPECT_EQ(paladin.strength, 45);
    EXPECT_EQ(paladin.dexterity, 20);
    EXPECT_EQ(paladin.intelligence, 15);
    EXPECT_EQ(paladin.parent, 0);

    EXPECT_EQ(records[2].name, "Samurai");
    EXPECT_EQ(records[2].parent, 0);
    EXPECT_FALSE(records[2].topLevel);
}

TEST(ProfessionFile, LongNamesAreCutToTheirFields)
{
    const std::string longName(300, 'n');
    const std::string text = "Begin\nName " + longName + "\nTrueName \"" + longName + "\"\nEnd\n";
    const std::vector<ProfessionRecord> records = parseProfessions(text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name.size(), ProfessionRecord::kMaxNameLength);
    EXPECT_EQ(records[0].trueName.size(), ProfessionRecord::kMaxNameLength);
}

struct BadFile {
    const char* name;
    const char* text;
    size_t records;
};

class ProfessionBadInput : public ::testing::TestWithParam<BadFile> { };

TEST_P(ProfessionBadInput, IsReadWithoutHarm)
{
    const BadFile& bad = GetParam();
    EXPECT_EQ(parseProfessions(bad.text).size(), bad.records);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfessionBadInput,
    ::testing::Values(BadFile { "Empty", "", 0 }, BadFile { "EndBeforeBegin", "End\nBegin\nName A\nEnd\n", 1 },
        BadFile { "NoEnd", "Begin\nName A\n", 0 }, BadFile { "KeysWithoutValues", "Begin\nName\nSkill\nStat\nDesc\nEnd\n", 1 },
        BadFile { "UnknownSkill", "Begin\nSkill Juggling 50\nEnd\n", 1 },
        BadFile { "NoNewlineAtEnd", "Begin\nName A\nEnd", 1 }),
    [](const ::testing::TestParamInfo<BadFile>& param) { return std::string(param.param.name); });

TEST(SkillNames, NumbersFollowTheListAndIgnoreCase)
{
    EXPECT_EQ(skillNumberFromName("Alchemy"), 0);
    EXPECT_EQ(skillNumberFromName("evaluateintelligence"), 16);
    EXPECT_EQ(skillNumberFromName("Spellweaving"), 54);
    EXPECT_EQ(skillNumberFromName("Juggling"), -1);
    EXPECT_EQ(skillNumberFromName(""), -1);
    EXPECT_EQ(professionSkillNames().size(), 55u);
}

struct OfferCase {
    const char* name;
    uint32_t features;
    bool flag5;
    bool flag7;
    bool editServer;
    const char* skill;
    bool offered;
};

class SkillOffer : public ::testing::TestWithParam<OfferCase> {
protected:
    void TearDown() override
    {
        setServerFeatures(0);
        storeCharacterListFlags(0);
        resetConfigValues();
    }
};

TEST_P(SkillOffer, FollowsTheFeaturesFlagsAndEditServer)
{
    const OfferCase& c = GetParam();
    setServerFeatures(c.features);
    storeCharacterListFlags((c.flag5 ? 0x20u : 0u) | (c.flag7 ? 0x80u : 0u));
    resetConfigValues();
    if (c.editServer)
        configValues().editServer.address = 0x7F000001;
    EXPECT_EQ(isSkillNameOffered(c.skill), c.offered);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkillOffer,
    ::testing::Values(OfferCase { "StealthNever", 0xFF, true, true, true, "Stealth", false },
        OfferCase { "RemoveTrapNever", 0xFF, true, true, true, "remove trap", false },
        OfferCase { "SpellweavingNever", 0xFF, true, true, true, "Spellweaving", false },
        OfferCase { "OrdinarySkill", 0, false, false, false, "Alchemy", true },
        OfferCase { "NecromancyNoFlagWithFeature", 0x10, false, false, false, "Necromancy", false },
        OfferCase { "ChivalryNoFlagWithFeature", 0x10, false, false, false, "Chivalry", false },
        OfferCase { "FocusNoFlagWithFeature", 0x10, false, false, false, "Focus", false },
        OfferCase { "NecromancyFlagNoFeature", 0, true, false, false, "Necromancy", false },
        OfferCase { "FocusFlagNoFeature", 0, true, false, false, "Focus", true },
        OfferCase { "NecromancyBoth", 0x10, true, false, false, "Necromancy", true },
        OfferCase { "ChivalryBoth", 0x10, true, false, false, "chivalry", true },
        OfferCase { "NecromancyEditServer", 0x10, false, false, true, "Necromancy", true },
        OfferCase { "FocusEditServerNoFeature", 0, false, false, true, "Focus", true },
        OfferCase { "BushidoNoFeature", 0, false, true, false, "Bushido", false },
        OfferCase { "BushidoNoFlag", 0x40, false, false, false, "Bushido", false },
        OfferCase { "BushidoBoth", 0x40, false, true, false, "Bushido", true },
        OfferCase { "NinjitsuEditServer", 0x40, false, false, true, "Ninjitsu", true },
        OfferCase { "NinjitsuFlag5Only", 0x40, true, false, false, "Ninjitsu", false }),
    [](const ::testing::TestParamInfo<OfferCase>& param) { return std::string(param.param.name); });

} // namespace
