// The start location: the city table and its hit test, the first city by
// race, the slot of a new character, the start-location index the request
// carries, and the record the confirmation fills.

#include "front_end_test_support.h"

#include "frontend/char_creation_gump.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/start_location_gump.h"
#include "gump/gump_manager.h"
#include "net/new_character_record.h"
#include "protocol/login_state.h"
#include "text/ascii_font.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using front_end_test::Screens;

class StartLocation : public Screens {
protected:
    ~StartLocation() override
    {
        startLocations() = StartLocationList {};
        newCharacterRecord() = NewCharacterRecord {};
    }
};

TEST_F(StartLocation, AHumanStartsInOsthallAndAnElfInFennick)
{
    CharCreationGump* appearance = openAppearanceWindow();
    auto* human = new StartLocationGump(appearance, StartLocationGump::kMapArt);
    EXPECT_EQ(human->chosenCity(), 2);
    EXPECT_EQ(human->selectedCity(), 2);
    closeGump(human);
    appearance->chooseElf();
    auto* elf = new StartLocationGump(appearance, StartLocationGump::kMapArt);
    EXPECT_EQ(elf->chosenCity(), 0);
    closeGump(elf);
    closeGump(appearance);
}

TEST_F(StartLocation, HeskmereIsHitOnItsNameNotItsMarker)
{
    auto* map = new StartLocationGump(nullptr, StartLocationGump::kMapArt);
    gumpLink(map, nullptr);
    int32_t width = 0;
    int32_t height = 0;
    int32_t baseline = 0;
    measureAsciiText(StartLocationGump::kCityFont, "Heskmere", width, height, baseline);
    EXPECT_EQ(map->cityAt(335 + 2, 160), 3);
    EXPECT_EQ(map->cityAt(335 + width, 160 - height), 3);
    EXPECT_EQ(map->cityAt(335 + width + 1, 160), -1);
    EXPECT_EQ(map->cityAt(334, 160), -1);
    map->onLeftDown(337, 160);
    EXPECT_EQ(map->chosenCity(), 3);
    EXPECT_EQ(map->chosenCityName(), "Heskmere");
    EXPECT_EQ(map->cityAt(20, 20), -1);
    closeGump(map);
}

struct SlotCase {
    const char* name;
    std::array<int32_t, 6> keys;
    int32_t limit;
    int32_t slot;
};

class SlotChoice : public ::testing::TestWithParam<SlotCase> { };

TEST_P(SlotChoice, TheLowestFreeSlotIsTaken)
{
    const SlotCase& c = GetParam();
    EXPECT_EQ(lowestFreeSlot(c.keys.data(), c.limit, c.limit), c.slot);
}

INSTANTIATE_TEST_SUITE_P(Cases, SlotChoice,
    ::testing::Values(SlotCase { "NoneUsed", { -1, -1, -1, -1, -1, -1 }, 5, 0 },
        SlotCase { "ZeroOneThree", { 0, 1, 3, -1, -1, -1 }, 5, 2 },
        SlotCase { "OutOfOrder", { 3, 0, 1, -1, -1, -1 }, 5, 2 },
        SlotCase { "KeysPastTheLimitMarkNothing", { 6, 9, 200, 0, -1, -1 }, 5, 1 },
        SlotCase { "AllUsed", { 0, 1, 2, 3, 4, -1 }, 5, 5 },
        SlotCase { "OneSlotAccount", { -1, 0, -1, -1, -1, -1 }, 1, 0 }),
    [](const ::testing::TestParamInfo<SlotCase>& param) { return std::string(param.param.name); });

TEST_F(StartLocation, TheCityIsBoundedByTheServersList)
{
    EXPECT_EQ(startLocationIndexFor(0), 255);
    startLocations().indexes = { 7, 8 };
    startLocations().texts = { "a", "b" };
    EXPECT_EQ(startLocationIndexFor(0), 7);
    EXPECT_EQ(startLocationIndexFor(1), 8);
    EXPECT_EQ(startLocationIndexFor(-4), 7);
    EXPECT_EQ(startLocationIndexFor(2), 255);
    EXPECT_EQ(startLocationIndexFor(8), 255);
}

TEST_F(StartLocation, EveryOtherCityHasTheGeneralDescription)
{
    EXPECT_EQ(startCityDescription(0), 1075072);
    EXPECT_EQ(startCityDescription(8), 1075080);
    EXPECT_EQ(startCityDescription(9), 1074235);
    EXPECT_EQ(startCityDescription(-1), 1074235);
}

TEST_F(StartLocation, ConfirmingFillsTheRecordFromTheAppearance)
{
    CharCreationGump* appearance = openAppearanceWindow();
    appearance->chooseFemale();
    auto* map = new StartLocationGump(appearance, StartLocationGump::kMapArt);
    gumpLink(map, nullptr);
    startLocations().indexes = { 4, 5, 6 };
    startLocations().texts = { "a", "b", "c" };
    createCharacter(*map);
    const NewCharacterRecord& record = newCharacterRecord();
    EXPECT_EQ(record.female, 1);
    EXPECT_EQ(record.race, 0);
    EXPECT_EQ(record.skinHue, appearance->skinHue() + 1);
    EXPECT_EQ(record.hairStyle, appearance->hairItemId());
    EXPECT_EQ(record.hairHue, appearance->hairHue() + 1);
    EXPECT_EQ(record.facialHairStyle, 0);
    EXPECT_EQ(record.facialHairHue, 0);
    EXPECT_EQ(record.shirtHue, appearance->shirtHue() + 1);
    EXPECT_EQ(record.trousersHue, appearance->trousersHue() + 1);
    EXPECT_EQ(record.startLocation, 6);
    EXPECT_EQ(record.characterSlot, 0u);
    closeGump(map);
    closeGump(appearance);
}

TEST_F(StartLocation, ATemplateCharacterNeverSeesTheMap)
{
    CharCreationGump* appearance = openAppearanceWindow();
    frontEnd().advancedMode = false;
    startLocationStep(*appearance);
    auto* map = rememberedWindow<StartLocationGump>(frontEnd().startLocationWindow);
    ASSERT_NE(map, nullptr);
    EXPECT_FALSE(map->isVisible());
    EXPECT_GE(map->chosenCity(), 0);
    EXPECT_LT(map->chosenCity(), kStartCityCount);
    EXPECT_EQ(newCharacterRecord().startLocation, 255);
    // A second step finds the window and does nothing more.
    startLocationStep(*appearance);
    EXPECT_EQ(rememberedWindow<StartLocationGump>(frontEnd().startLocationWindow), map);
    closeGump(map);
    closeGump(appearance);
}

TEST_F(StartLocation, TheAdvancedPathShowsTheMapAndBackReturns)
{
    CharCreationGump* appearance = openAppearanceWindow();
    appearance->setVisible(false);
    frontEnd().advancedMode = true;
    startLocationStep(*appearance);
    auto* map = rememberedWindow<StartLocationGump>(frontEnd().startLocationWindow);
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    map->back();
    EXPECT_FALSE(frontEnd().startLocationWindow);
    EXPECT_TRUE(appearance->isVisible());
    frontEnd().advancedMode = false;
    closeGump(appearance);
}

} // namespace
