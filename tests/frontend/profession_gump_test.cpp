// The profession window: the button tree of the sample file, the gates of
// professions 4 to 7, the advanced path, the unique-skills check and what
// reaches the NewCharacterRecord; the skill list and the colour panels; the
// race change reply.

#include "front_end_test_support.h"

#include "data/server_features.h"
#include "data/skill_names.h"
#include "fixtures/sample_front_end.h"
#include "frontend/choice_panels.h"
#include "frontend/creation_sliders.h"
#include "frontend/front_end_state.h"
#include "frontend/login_sequence.h"
#include "frontend/profession_gump.h"
#include "frontend/profession_list.h"
#include "gump/gump_manager.h"
#include "net/client_packets.h"
#include "net/new_character_record.h"
#include "net/packet_table.h"
#include "protocol/protocol_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using front_end_test::Screens;

class Professions : public Screens {
protected:
    Professions()
    {
        professionList() = parseProfessions(fixture::sampleProfessionText());
        SkillNameTable& skills = skillNameTable();
        skills = SkillNameTable {};
        const std::vector<std::string> names = fixture::sampleSkillNames();
        for (size_t i = 0; i < names.size(); ++i)
            skills.setSkill(int32_t(i), 1, names[i]);
        skills.sortIndex();
        window = openProfessionWindow();
    }
    ~Professions() override
    {
        closeGump(window);
        professionList().clear();
        skillNameTable() = SkillNameTable {};
        newCharacterRecord() = NewCharacterRecord {};
        setServerFeatures(0);
    }
    ProfessionButton* button(int32_t index) { return window->buttons()[size_t(index)]; }

    ProfessionGump* window = nullptr;
};

TEST_F(Professions, TheTopLevelListsItsProfessionsThenTheAdvancedButton)
{
    ASSERT_EQ(window->buttons().size(), 4u);
    EXPECT_EQ(button(0)->record(), 0);
    EXPECT_EQ(button(1)->record(), 1);
    EXPECT_EQ(button(2)->record(), 2);
    EXPECT_EQ(button(3)->record(), -1);
    EXPECT_EQ(button(0)->x(), 135);
    EXPECT_EQ(button(1)->x(), 330);
    EXPECT_EQ(button(2)->y(), 225);
}

TEST_F(Professions, ACategoryListsItsChildrenAndUpGoesBack)
{
    window->onProfessionChosen(*button(2));
    ASSERT_EQ(window->buttons().size(), 1u);
    EXPECT_EQ(button(0)->record(), 3);
    window->onCreationEvent(ProfessionGump::kUpEvent);
    EXPECT_EQ(window->buttons().size(), 4u);
}

TEST_F(Professions, ATemplateFillsTheRecordAndOpensTheAppearance)
{
    window->onProfessionChosen(*button(0));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(frontEnd().appearanceWindow);
    const NewCharacterRecord& record = newCharacterRecord();
    EXPECT_EQ(record.strength, 45);
    EXPECT_EQ(record.dexterity, 25);
    EXPECT_EQ(record.intelligence, 10);
    EXPECT_EQ(record.skills[0].number, 40);
    EXPECT_EQ(record.skills[0].value, 50);
    EXPECT_EQ(record.skills[1].number, 27);
    EXPECT_EQ(record.skills[2].number, 17);
    EXPECT_EQ(record.professionId, 1u);
    EXPECT_FALSE(frontEnd().advancedMode);
    closeGump(frontEnd().appearanceWindow.get());
}

TEST_F(Professions, ASkillLineNamingAnUnknownSkillIsPassedOver)
{
    closeGump(window);
    std::string text = fixture::sampleProfessionText();
    text.replace(text.find("Tactics"), 7, "Juggling");
    professionList() = parseProfessions(text);
    window = openProfessionWindow();
    window->onProfessionChosen(*button(0));
    const NewCharacterRecord& record = newCharacterRecord();
    EXPECT_EQ(record.skills[0].number, 40);
    EXPECT_EQ(record.skills[1].number, 17) << "the next known skill takes the place";
    for (const auto& skill : record.skills)
        EXPECT_LT(skill.number, professionSkillNames().size()) << "only skills the server knows go out";
    closeGump(frontEnd().appearanceWindow.get());
}

TEST_F(Professions, ProfessionFourWithoutTheFeatureIsRefused)
{
    professionList()[0].id = 4;
    window->onProfessionChosen(*button(0));
    std::string expected;
    for (char16_t unit : clilocText(1062042))
        expected.push_back(char(unit & 0x7F));
    EXPECT_EQ(messageText(), expected);
    EXPECT_EQ(window->buttons().size(), 4u);
    EXPECT_FALSE(frontEnd().appearanceWindow);
}

TEST_F(Professions, TheAdvancedPathNeedsThreeUniqueSkills)
{
    window->onProfessionChosen(*button(3));
    EXPECT_TRUE(frontEnd().advancedMode);
    EXPECT_TRUE(window->buttons().empty());
    EXPECT_TRUE(window->slider(1)->isVisible());
    EXPECT_TRUE(window->selector(0)->isVisible());
    window->proceed();
    EXPECT_EQ(messageText(), "You must have three unique skills chosen!");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Professions, TheSkillListOffersNoHiddenSkillAndAChoiceFillsTheSelector)
{
    SkillChoiceList* list = window->skillList();
    for (int32_t row = 0; row < list->count(); ++row) {
        EXPECT_NE(list->textAt(row), "Stealth");
        EXPECT_NE(list->textAt(row), "Remove Trap");
        EXPECT_NE(list->textAt(row), "Spellweaving");
        EXPECT_NE(list->textAt(row), "Necromancy");
    }
    EXPECT_EQ(list->textAt(0), "Alchemy");
    window->onProfessionChosen(*button(3));
    window->onCreationEvent(8);
    EXPECT_TRUE(list->isVisible());
    list->choose(list->listRect().left + 2, list->listRect().top + list->rowHeight() + 1);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(window->chosenSkill(1), 1);
    EXPECT_EQ(window->selector(1)->narrowText(), "Anatomy");
    EXPECT_EQ(newCharacterRecord().skills[1].number, 1);
}

TEST_F(Professions, StatsBelowTenNeverReachTheRecord)
{
    window->onProfessionChosen(*button(3));
    window->slider(2)->setValue(0);
    window->storeChoices();
    EXPECT_GE(newCharacterRecord().dexterity, 10);
}

struct ListCase {
    const char* name;
    int32_t rows;
};

class ChoiceLists : public Screens, public ::testing::WithParamInterface<ListCase> { };

TEST_P(ChoiceLists, TheThumbAndArrowsStayInsideTheRows)
{
    struct Events final : CreationEventListener {
        void onCreationEvent(int32_t code) override { last = code; }
        int32_t last = -1;
    } events;
    auto* list = new SkillChoiceList(&events, 3000, 200, 215);
    gumpLink(list, nullptr);
    for (int32_t i = 0; i < GetParam().rows; ++i)
        list->addItem(i, "row " + std::to_string(i), 0);
    list->onSlider(1000, 1000, nullptr);
    EXPECT_EQ(list->firstVisible(), std::max(GetParam().rows - 1, 0));
    list->onSlider(5, 0, nullptr);
    for (int32_t i = 0; i < 200; ++i)
        list->scrollDown();
    EXPECT_EQ(list->firstVisible(), std::max(GetParam().rows - 1, 0));
    for (int32_t i = 0; i < 200; ++i)
        list->scrollUp();
    EXPECT_EQ(list->firstVisible(), 0);
    list->choose(list->listRect().left + 2, list->listRect().top + 1);
    EXPECT_EQ(events.last, GetParam().rows > 0 ? SkillChoiceList::kChosenEvent : -1);
    closeGump(list);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChoiceLists, ::testing::Values(ListCase { "Empty", 0 }, ListCase { "One", 1 },
                                                   ListCase { "Forty", 40 }, ListCase { "Full", 100 }),
    [](const ::testing::TestParamInfo<ListCase>& param) { return std::string(param.param.name); });

TEST_F(Screens, TheHundredAndFirstRowIsRefused)
{
    auto* panel = new CPanelChoiceGump(0, 0, 130, 40, nullptr, nullptr, 3500, false);
    for (int32_t i = 0; i < 100; ++i)
        EXPECT_TRUE(panel->addItem(i, "x", 0));
    EXPECT_FALSE(panel->addItem(100, "x", 0));
    closeGump(panel);
}

TEST_F(Screens, APanelPressTellsItsListenerAtOnce)
{
    struct Window final : CGump {
        void onControlChanged(CGump* control) override { heard.push_back(control); }
        std::vector<CGump*> heard;
    };
    auto* window = new Window();
    gumpLink(window, nullptr);
    auto* panel = new CPanelChoiceGump(0, 0, 130, 40, window, nullptr, 3500, false);
    panel->addItem(1, "Skin Tone", 1153);
    gumpLink(panel, window);
    panel->onLeftDown(15, 12);
    ASSERT_EQ(window->heard.size(), 1u);
    EXPECT_EQ(window->heard[0], panel);
    panel->onHoverTick();
    EXPECT_EQ(window->heard.size(), 2u);
    closeGump(window);
}

TEST(RaceChangeReply, GoldenBytes)
{
    PacketStorage<32> packet;
    ASSERT_TRUE(buildRaceChangeReplyPacket(packet, 1002, 0x203B, 1102, 0x2040, 1102));
    const std::vector<uint8_t> bytes(packet.data(), packet.data() + packet.length());
    const std::vector<uint8_t> golden = { 0xBF, 0x00, 0x0F, 0x00, 0x2A, 0x03, 0xEA, 0x20, 0x3B, 0x04, 0x4E, 0x20, 0x40,
        0x04, 0x4E };
    EXPECT_EQ(bytes, golden);
}

} // namespace
