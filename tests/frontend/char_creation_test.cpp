// The appearance window: the hair tables and their gender rules, the gender
// and race buttons, the elf entitlement, the name check, the swatches and
// the race change reply.

#include "front_end_test_support.h"

#include "data/config_key_rules.h"
#include "data/server_features.h"
#include "frontend/char_creation_gump.h"
#include "frontend/choice_panels.h"
#include "frontend/front_end_state.h"
#include "frontend/hair_tables.h"
#include "gfx/hue_table.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/hue_control.h"
#include "gump/input_control.h"
#include "gump/waiting_gump.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using front_end_test::Screens;

TEST(HairTables, EachListOfAHumanHoldsTenStyles)
{
    EXPECT_EQ(allowedHairRows(kHumanRace, kMale).size(), 10u);
    EXPECT_EQ(allowedHairRows(kHumanRace, kFemale).size(), 10u);
    EXPECT_EQ(allowedHairRows(kElfRace, kMale).size(), 9u);
    EXPECT_EQ(allowedHairRows(kElfRace, kFemale).size(), 9u);
}

struct HairRule {
    const char* name;
    int32_t race;
    int32_t gender;
    int32_t row;
    int32_t kept;
};

class HairKept : public ::testing::TestWithParam<HairRule> { };

TEST_P(HairKept, ANotAllowedStyleMovesToTheRaceDefault)
{
    const HairRule& rule = GetParam();
    EXPECT_EQ(keptHairRow(rule.race, rule.gender, rule.row), rule.kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, HairKept,
    ::testing::Values(HairRule { "HumanWomanReceding", kHumanRace, kFemale, 8, 1 },
        HairRule { "ElfWomanMidLong", kElfRace, kFemale, 1, 3 }, HairRule { "ElfWomanLong", kElfRace, kFemale, 6, 3 },
        HairRule { "HumanManBuns", kHumanRace, kMale, 10, 1 }, HairRule { "ElfManBuns", kElfRace, kMale, 9, 3 },
        HairRule { "ElfManFlower", kElfRace, kMale, 5, 3 }, HairRule { "HumanWomanCurlyStays", kHumanRace, kFemale, 7, 7 },
        HairRule { "OutsideTheTable", kHumanRace, kMale, 40, 1 }),
    [](const ::testing::TestParamInfo<HairRule>& param) { return std::string(param.param.name); });

TEST(HairTables, TheDrawnRowSkipsForbiddenStylesAndWraps)
{
    EXPECT_EQ(drawnHairRow(kHumanRace, kMale, 10), 1);
    EXPECT_EQ(drawnHairRow(kHumanRace, kFemale, 8), 9);
    EXPECT_EQ(drawnHairRow(kElfRace, kMale, 9), 10);
    EXPECT_EQ(drawnHairRow(kElfRace, kFemale, 6), 7);
    EXPECT_EQ(drawnHairRow(kHumanRace, kMale, 11), 1);
    EXPECT_EQ(drawnHairRow(kHumanRace, kMale, -3), 1);
}

TEST(HueCells, EveryCellLiesInsideTheHueTable)
{
    for (int32_t kind : { 0, 1, 2, 3, 4, 5, 6, 7, 9, -1 }) {
        const HueCells cells = hueControlCells(kind);
        ASSERT_EQ(cells.values.size(), size_t(cells.rows * cells.columns)) << kind;
        for (uint16_t value : cells.values)
            EXPECT_LT(value, 3000) << kind;
    }
    EXPECT_EQ(hueControlCells(0).at(7, 7), 1057);
    EXPECT_EQ(hueControlCells(1).at(7, 5), 1148);
    EXPECT_EQ(hueControlCells(3).at(0, 0), 201);
    EXPECT_EQ(hueControlCells(3).at(1, 0), 401);
    EXPECT_EQ(hueControlCells(3).at(3, 0), 102);
    EXPECT_EQ(hueControlCells(3).at(4, 1), 207);
    EXPECT_EQ(hueControlCells(6).at(0, 0), 1245);
    EXPECT_EQ(hueControlCells(7).at(8, 5), 903);
}

class Appearance : public Screens {
protected:
    Appearance()
    {
        window = openAppearanceWindow();
    }
    ~Appearance() override
    {
        closeGump(window);
        setServerFeatures(0);
        storeCharacterListFlags(0);
    }
    std::string messageAfterNext(const std::string& name)
    {
        window->nameEntry()->setNarrowText(name);
        window->next();
        return messageText();
    }

    CharCreationGump* window = nullptr;
};

TEST_F(Appearance, StartsAsAHumanManWithShortHair)
{
    EXPECT_EQ(window->gender(), kMale);
    EXPECT_EQ(window->race(), kHumanRace);
    EXPECT_EQ(window->hairRow(), 1);
    EXPECT_EQ(window->hairItemId(), 0x203B);
    EXPECT_EQ(window->skinHue(), 1001);
    EXPECT_EQ(window->hairHue(), 1101);
    EXPECT_EQ(window->facialHairHue(), 1101);
    EXPECT_TRUE(window->facialHairSelector()->isVisible());
    EXPECT_EQ(window->hairSelector()->narrowText(), "Short");
}

TEST_F(Appearance, AWomanLosesRecedingAndTheFacialHairControls)
{
    window->hairSelector()->setValue(8); // the ninth style a man may choose: Receding
    window->onControlChanged(window->hairSelector());
    EXPECT_EQ(window->hairRow(), 8);
    window->chooseFemale();
    EXPECT_EQ(window->hairRow(), 1);
    EXPECT_EQ(window->hairItemId(), 0x203B);
    EXPECT_FALSE(window->facialHairSelector()->isVisible());
    EXPECT_FALSE(window->panel(CharCreationGump::FacialHairPanel)->isVisible());
    EXPECT_FALSE(window->panel(CharCreationGump::PantsPanel)->isVisible());
    EXPECT_TRUE(window->panel(CharCreationGump::SkirtPanel)->isVisible());
}

TEST_F(Appearance, AnElfNeedsTheListFlagThenTheFeature)
{
    window->chooseElf();
    EXPECT_EQ(window->race(), kElfRace);
    EXPECT_TRUE(window->nextArrow()->isDisabled());
    EXPECT_EQ(window->nextArrow()->tooltipId(), 1072217);
    EXPECT_EQ(window->skinHue(), 904);
    EXPECT_EQ(window->hairHue(), 51);
    EXPECT_EQ(window->hairRow(), 1);
    EXPECT_EQ(window->hairItemId(), 0x2FBF);
    window->chooseHuman();
    EXPECT_FALSE(window->nextArrow()->isDisabled());
    EXPECT_EQ(window->nextArrow()->tooltipId(), 100045);

    storeCharacterListFlags(1u << 8);
    window->chooseElf();
    EXPECT_TRUE(window->nextArrow()->isDisabled());
    EXPECT_EQ(window->nextArrow()->tooltipId(), 1072218);
    window->chooseHuman();
    setServerFeatures(0x80);
    window->chooseElf();
    EXPECT_FALSE(window->nextArrow()->isDisabled());
}

TEST_F(Appearance, AOneLetterNameIsTooShort)
{
    EXPECT_EQ(messageAfterNext("A"), "Your character name is too short.");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Appearance, ARefusedNameIsUnacceptable)
{
    // Three blanks in a row break the name rules.
    EXPECT_EQ(messageAfterNext("Ab   cd"), "Unacceptable name.");
}

TEST_F(Appearance, AHairHueOfNoneDrawsNoSwatch)
{
    GumpPage& face = *window->page(0);
    const int32_t x = CharCreationGump::kSwatchX + 5;
    const int32_t y = CharCreationGump::kSwatchTop + 3 * CharCreationGump::kSwatchPitch + 2;
    const uint16_t swatch = uint16_t(hueTable().entry(window->hairHue()).colours[16] | 1);
    window->redraw();
    EXPECT_EQ(face.pixel(x, y), swatch);
    window->setHairHue(-1);
    window->redraw();
    EXPECT_NE(face.pixel(x, y), swatch);
}

TEST_F(Appearance, APanelShowsItsColourGridAndAPickSetsTheHue)
{
    CPanelChoiceGump* shirt = window->panel(CharCreationGump::ShirtPanel);
    window->onControlChanged(shirt);
    HueControl* grid = window->hueControl(CharCreationGump::Shirt);
    EXPECT_TRUE(grid->isVisible());
    int32_t x = 0, y = 0;
    grid->cellCentre(0, 0, x, y);
    grid->onLeftDown(x, y);
    EXPECT_EQ(window->shirtHue(), 201);
    EXPECT_FALSE(grid->isVisible());
}

} // namespace
