#include "world/body_tables.h"
#include "world/season_tables.h"
#include "world/seasons.h"

#include "fixtures/body_table_writer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(BodyTypes, FirstLetterOfTheWordSetsTheType)
{
    auto table = std::make_unique<BodyTypeTable>();
    table->load(fixture::mobTypesText(
        {
            { 400, "human", 0x10 },
            { 401, "Hat", 0x2 },
            { 402, "ANIMAL", 0x2000 },
            { 403, "sea_monster", 0 },
            { 404, "EQUIPMENT", 0x1000 },
            { 405, "Zebra", 0x1 },
            { 2048, "MONSTER", 0x1 },
            { 0, "MONSTER", 0x1 },
        },
        { "406 MONSTER", "407", "# 408 HUMAN 1", "409 HUMAN zz", std::string(5000, 'x'),
            "410 " + std::string(3000, 'M') + " 4000" }));
    EXPECT_EQ(table->getBodyType(400), BodyType::Human);
    EXPECT_TRUE(table->hasFlag(400, 0x10));
    EXPECT_EQ(table->getBodyType(401), BodyType::Human) << "Hat counts as human";
    EXPECT_EQ(table->getBodyType(403), BodyType::SeaMonster);
    EXPECT_TRUE(table->isAnimal(402));
    EXPECT_TRUE(table->isAnimalLike(402));
    EXPECT_TRUE(table->isHumanLike(404));
    EXPECT_FALSE(table->isListed(405)) << "an unknown word";
    EXPECT_FALSE(table->isListed(406)) << "no flags field";
    EXPECT_FALSE(table->isListed(408)) << "commented out";
    EXPECT_FALSE(table->isListed(409)) << "flags not hexadecimal";
    EXPECT_EQ(table->getBodyType(410), BodyType::Monster) << "a very long word is bounded by its line";
    EXPECT_TRUE(table->hasFlag(410, 0x4000));
    EXPECT_FALSE(table->isListed(0)) << "body 0 is out of range and answers for every unknown id";
    EXPECT_EQ(table->getBodyType(99999), BodyType::Equipment);
    EXPECT_EQ(table->getBodyType(-5), BodyType::Equipment);
}

TEST(BodyTypes, UnlistedBodiesFailEveryTestButSmallOnesAreAnimalLike)
{
    auto table = std::make_unique<BodyTypeTable>();
    EXPECT_EQ(table->getBodyType(300), BodyType::Equipment);
    for (uint32_t flag : { 0x1u, 0x2u, 0x4u, 0x8u, 0x20u, 0x40u, 0x80u, 0x100u, 0x200u, 0x400u, 0x4000u })
        EXPECT_FALSE(table->hasFlag(300, flag));
    EXPECT_FALSE(table->isHumanLike(300));
    EXPECT_TRUE(table->isAnimalLike(399));
    EXPECT_FALSE(table->isAnimalLike(400));
}

TEST(BodyConversions, FiveNumbersOrNothing)
{
    auto table = std::make_unique<BodyConversionTable>();
    table->load(fixture::bodyConvText({ { 10, { 20, -1, 30, 40 } }, { 16384, { 1, 2, 3, 4 } } },
        { "11 1 2 3", "12 5 6 7 8 # trailing comment", "-1 1 1 1 1" }));
    EXPECT_EQ(table->alternative(10, 1), 20);
    EXPECT_EQ(table->alternative(10, 2), -1);
    EXPECT_EQ(table->alternative(10, 4), 40);
    EXPECT_EQ(table->alternative(11, 1), -1) << "short line";
    EXPECT_EQ(table->alternative(12, 3), 7);
    EXPECT_EQ(table->alternative(10, 5), -1);
    EXPECT_EQ(table->alternative(16384, 1), -1);
}

TEST(EquipConv, GraphicAndGump)
{
    auto table = std::make_unique<EquipConvTable>();
    table->load(fixture::equipConvText(
        { { 400, 5000, 5100, 0, 0x10 }, { 400, 5001, 5101, -1, 0 }, { 400, 5002, 5102, 60123, 0 } },
        { "401 1 2 3" }));
    EXPECT_EQ(table->getConvertedEquipGraphic(400, 5000), 5100);
    EXPECT_EQ(table->getConvertedEquipGraphic(400, 7), 7);
    EXPECT_EQ(table->find(400, 5000)->hue, 0x10u);
    EXPECT_EQ(table->getGump(400, 5000), 55000) << "gump 0";
    EXPECT_EQ(table->getGump(400, 5001), 55101) << "gump -1";
    EXPECT_EQ(table->getGump(400, 5002), 60123);
    EXPECT_EQ(table->getGump(402, 5000), 55000) << "unlisted pair";
    EXPECT_EQ(table->find(401, 1), nullptr);
    table->load("");
    EXPECT_EQ(table->find(400, 5000), nullptr) << "a reload starts empty";
}

class SeasonTest : public testing::Test {
protected:
    void TearDown() override { setSeason(1); }
};

TEST_F(SeasonTest, SeasonFourAppliesOnlyWestOfTheSeasonalLands)
{
    setSeason(4);
    EXPECT_EQ(itemGraphicForSeason(3239, 6143), 7068);
    EXPECT_EQ(itemGraphicForSeason(3239, 6144), 3239);
    EXPECT_EQ(getSeasonAtPlayer(6143), 4);
    EXPECT_EQ(getSeasonAtPlayer(6144), 1);
    EXPECT_EQ(landTileForSeason(196), 196);
}

TEST_F(SeasonTest, SubstitutionsPerSeason)
{
    setSeason(3);
    EXPECT_EQ(landTileForSeason(196), 282);
    EXPECT_EQ(landTileForSeason(807), 916);
    EXPECT_EQ(landTileForSeason(3), 3);
    EXPECT_EQ(landTileForSeason(-1), -1);
    EXPECT_EQ(itemGraphicForSeason(3239, 0), 3239);
    setSeason(0);
    EXPECT_EQ(itemGraphicForSeason(3348, 0), 3371);
    EXPECT_EQ(landTileForSeason(196), 196);
    setSeason(2);
    EXPECT_EQ(itemGraphicForSeason(3213, 0), 3270);
    setSeason(9);
    EXPECT_EQ(getSeason(), 2) << "an unknown season is ignored";
}

TEST(SeasonTables, SortedForLookup)
{
    for (int32_t season = 0; season <= 4; ++season)
        for (auto table : { seasonLandSubstitutions(season), seasonItemSubstitutions(season) })
            for (size_t i = 1; i < table.size(); ++i)
                ASSERT_LT(table[i - 1].from, table[i].from) << "season " << season << " entry " << i;
}

} // namespace
