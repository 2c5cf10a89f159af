// Character creation as a player meets it: the real program runs headless on
// the sample data against the test login and game server. From the
// character list the script presses New, takes the advanced path (three
// skills from the list, the strength slider dragged), names a woman and
// picks her hair, shirt and skirt colours, chooses Heskmere on the map and
// confirms. The create request the server received is printed (its local
// address masked) and compared as golden bytes; each creation screen is kept
// as a picture with its hash as a golden; the character list comes back
// with the new character in it.

#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "frontend/char_creation_gump.h"
#include "frontend/character_selection.h"
#include "frontend/choice_panels.h"
#include "frontend/front_end_state.h"
#include "frontend/profession_gump.h"
#include "frontend/start_location_gump.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/hue_control.h"
#include "platform/clock.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_window.h"
#include "support/fast_clock.h"
#include "support/scoped_environment.h"
#include "support/shown_picture.h"
#include "support/test_shard_server.h"
#include "support/world_player.h"
#include "support/window_input.h"

#include "headless_client_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace {

using test::findGump;
using test::findMessage;

using platform::MessageKind;

constexpr uint32_t kSpeedUp = 10;
constexpr int32_t kSettleUpdates = 6;
// A list takes a press when its hover tick, once a frame, sees the button
// down; when one slow frame handles the press and the release together the
// press is lost, and after this many updates the player presses again.
constexpr int32_t kRepressUpdates = 30;
// The local address of the create request differs between machines.
constexpr size_t kAddressOffset = 96;

bool visible(const GumpHandle& handle) { return handle && handle.get()->isVisible(); }

class CreationScenario;

class PlayerScript final : public CGump {
public:
    explicit PlayerScript(CreationScenario& scenario)
        : m_scenario(scenario)
    {
        setTypeName("player script");
        setNoHit(true);
    }
    void tick() override;
    bool isClosableByCloseAll() override { return false; }

private:
    CreationScenario& m_scenario;
};

class CreationScenario final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        m_session = &session;
        gumpLink(new PlayerScript(*this), nullptr);
    }
    void finished(ClientSession&) override { std::fflush(nullptr); }
    void update();

private:
    platform::HeadlessWindow& window() { return static_cast<platform::HeadlessWindow&>(m_session->window); }
    void post(const platform::WindowMessage& message) { window().postMessage(message); }
    void click(int32_t x, int32_t y) { test::clickAt(window(), x, y); }
    void drag(int32_t x, int32_t y, int32_t dx)
    {
        post({ MessageKind::MouseMove, 0, 0, x, y });
        post({ MessageKind::LeftButtonDown, 1, 0, x, y });
        // One move: each move snaps the knob to the value it gives, so the
        // result would depend on how many moves the program took apart.
        const uint32_t now = platform::clock().tickMs();
        window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + dx, y });
        window().scheduleMessage(now + 300, { MessageKind::LeftButtonUp, 0, 0, x + dx, y });
    }
    void type(const std::string& text) { test::typeText(window(), text); }
    void capture(const char* name)
    {
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
        std::fprintf(stderr, "%s picture %016llx\n", name,
            (unsigned long long)test::keepPicture(picture, std::string(name) + ".png"));
    }
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        if (m_settle <= kSettleUpdates)
            return false;
        m_settle = 0;
        return true;
    }
    // True once a list press of the step has gone unanswered a while.
    bool pressLost()
    {
        if (++m_unanswered <= kRepressUpdates)
            return false;
        m_unanswered = 0;
        return true;
    }
    // Clicks the middle of a row of the profession window's skill list.
    void clickSkillRow(int32_t row)
    {
        auto* profession = rememberedWindow<ProfessionGump>(frontEnd().professionWindow);
        SkillChoiceList* list = profession->skillList();
        int32_t x = list->listRect().left + 20;
        int32_t y = list->listRect().top + list->rowHeight() * row + list->rowHeight() / 2;
        list->localToScreen(x, y);
        click(x, y);
    }
    // Clicks a cell of one of the appearance window's colour grids.
    void clickHueCell(CharCreationGump::HueSlot slot, int32_t row, int32_t column)
    {
        auto* appearance = rememberedWindow<CharCreationGump>(frontEnd().appearanceWindow);
        HueControl* control = appearance->hueControl(slot);
        int32_t x = 0, y = 0;
        control->cellCentre(row, column, x, y);
        control->localToScreen(x, y);
        click(x, y);
    }
    bool skillListShown()
    {
        auto* profession = rememberedWindow<ProfessionGump>(frontEnd().professionWindow);
        return profession && profession->skillList()->isVisible();
    }
    bool hueControlShown(CharCreationGump::HueSlot slot)
    {
        auto* appearance = rememberedWindow<CharCreationGump>(frontEnd().appearanceWindow);
        return appearance && appearance->hueControl(slot)->isVisible();
    }

    ClientSession* m_session = nullptr;
    int32_t m_step = 0;
    int32_t m_settle = 0;
    int32_t m_unanswered = 0;
    int32_t m_lastStep = 0;
};

void PlayerScript::tick() { m_scenario.update(); }

void CreationScenario::update()
{
    FrontEndRecords& records = frontEnd();
    auto* selection = rememberedWindow<CharacterSelectionGump>(records.characterSelection);
    if (m_step != m_lastStep) {
        m_lastStep = m_step;
        m_unanswered = 0;
    }
    switch (m_step) {
    case 0: // The main menu: log in.
        if (!settled(findGump("MainMenu gump") && !findGump("Splash gump")))
            return;
        click(420, 357);
        type("tester\tsecret\r");
        m_step = 1;
        return;
    case 1: // The shard list: the first shard.
        if (!settled(findGump("ShardList gump") != nullptr))
            return;
        click(260, 104);
        m_step = 2;
        return;
    case 2: // The character list: New.
        if (findGump("ShardList gump")) {
            if (pressLost())
                click(260, 104);
            return;
        }
        if (!settled(visible(records.characterSelection)))
            return;
        std::fprintf(stderr, "character list: %d characters\n", selection->characterCount());
        click(250, 406);
        m_step = 3;
        return;
    case 3: // The professions: the advanced path.
        if (!settled(visible(records.professionWindow)))
            return;
        capture("creation_professions");
        click(390, 255);
        m_step = 4;
        return;
    case 4: // Stats and skills: three skills from the list.
    case 6:
    case 8:
        if (m_step > 4 && skillListShown()) {
            if (pressLost())
                clickSkillRow((m_step - 6) / 2);
            return;
        }
        if (!settled(visible(records.professionWindow) && records.advancedMode && !skillListShown()))
            return;
        click(420, 183 + (m_step - 4) / 2 * 80);
        ++m_step;
        return;
    case 5:
    case 7:
    case 9:
        if (!skillListShown()) {
            if (pressLost())
                click(420, 183 + (m_step - 5) / 2 * 80);
            return;
        }
        if (!settled(skillListShown()))
            return;
        clickSkillRow((m_step - 5) / 2);
        ++m_step;
        return;
    case 10: { // The strength knob dragged to the left.
        if (skillListShown()) {
            if (pressLost())
                clickSkillRow(2);
            return;
        }
        if (!settled(!skillListShown()))
            return;
        auto* profession = rememberedWindow<ProfessionGump>(records.professionWindow);
        SliderGump* strength = profession->slider(1);
        int32_t x = strength->knob()->width() / 2;
        int32_t y = strength->knob()->height() / 2;
        strength->knob()->localToScreen(x, y);
        drag(x, y, -50);
        m_step = 11;
        return;
    }
    case 11:
        if (!settled(true))
            return;
        capture("creation_stats_and_skills");
        click(622, 447);
        m_step = 12;
        return;
    case 12: // The appearance: a name, a woman.
        if (!settled(visible(records.appearanceWindow)))
            return;
        click(300, 78);
        type("Ardent");
        m_step = 30;
        return;
    case 30:
        if (!settled(true))
            return;
        click(475, 464);
        m_step = 13;
        return;
    case 13: // Her hair colour.
        if (!settled(true))
            return;
        click(510, 287);
        m_step = 14;
        return;
    case 14:
        if (!settled(hueControlShown(CharCreationGump::HumanHair)))
            return;
        clickHueCell(CharCreationGump::HumanHair, 2, 1);
        m_step = 15;
        return;
    case 15: // Her shirt colour.
        if (!settled(!hueControlShown(CharCreationGump::HumanHair)))
            return;
        click(510, 197);
        m_step = 16;
        return;
    case 16:
        if (!settled(hueControlShown(CharCreationGump::Shirt)))
            return;
        clickHueCell(CharCreationGump::Shirt, 3, 4);
        m_step = 17;
        return;
    case 17: // Her skirt colour.
        if (!settled(!hueControlShown(CharCreationGump::Shirt)))
            return;
        click(510, 242);
        m_step = 18;
        return;
    case 18:
        if (!settled(hueControlShown(CharCreationGump::Trousers)))
            return;
        clickHueCell(CharCreationGump::Trousers, 5, 2);
        m_step = 19;
        return;
    case 19:
        if (!settled(!hueControlShown(CharCreationGump::Trousers)))
            return;
        capture("creation_appearance");
        click(622, 447);
        m_step = 20;
        return;
    case 20: // The map: Heskmere, by its name.
        if (!settled(visible(records.startLocationWindow)))
            return;
        click(345, 157);
        m_step = 21;
        return;
    case 21: {
        if (!settled(true))
            return;
        auto* map = rememberedWindow<StartLocationGump>(records.startLocationWindow);
        std::fprintf(stderr, "city %d %s\n", map->chosenCity(), map->chosenCityName().c_str());
        capture("creation_start_location");
        click(622, 447);
        m_step = 22;
        return;
    }
    case 22: // Back at the list, with her in it.
        if (!settled(visible(records.characterSelection) && selection->characterCount() == 3 && !records.professionWindow
                && !records.appearanceWindow && !records.startLocationWindow))
            return;
        for (int32_t position = 0; position < selection->characterCount(); ++position)
            std::fprintf(stderr, "listed %s\n", selection->nameAt(position).c_str());
        capture("creation_character_list");
        post({ MessageKind::Close, 0, 0, 0, 0 });
        m_step = 23;
        return;
    default:
        return;
    }
}

[[noreturn]] void runCreation(const fixture::ClientDirectory& client, ClientScenario& scenario)
{
    test::FastClock clock(5000, kSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server;
    if (!server.isListening())
        _exit(3);
    const int code = test::runClientAgainstServer(server, client.path(), scenario);
    const std::vector<uint8_t>& request = server.events().createRequest;
    std::string bytes;
    for (size_t i = 0; i < request.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", request[i]);
        bytes += i >= kAddressOffset && i < kAddressOffset + 4 ? "xx" : hex;
    }
    std::fprintf(stderr, "create request %zu bytes %s\n", request.size(), bytes.c_str());
    std::fprintf(stderr, "server made %s\n", server.events().createdName.c_str());
    if (code != 0)
        std::fprintf(stderr, "client ended with %d\n", code);
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessCreation : public app_test::HeadlessClientTest {
protected:
    HeadlessCreation()
        : HeadlessClientTest("2400000")
    {
    }
};

TEST_F(HeadlessCreation, APlayerCreatesACharacterThroughEveryScreen)
{
    CreationScenario scenario;
    EXPECT_EXIT(runCreation(client, scenario), ::testing::ExitedWithCode(0),
        "character list: 2 characters\n"
        "creation_professions picture 3c7008c48969af11\n"
        "creation_stats_and_skills picture 1b1fd15911c8b35e\n"
        "creation_appearance picture 07e084c86dcdf827\n"
        "city 3 Heskmere\n"
        "creation_start_location picture 3501efcb53cf439f\n"
        "listed Aldric\n"
        "listed Brenna\n"
        "listed Ardent\n"
        "creation_character_list picture fcdb8fb693034436\n"
        // 0x00 and its fixed words; the name; the client information block;
        // a human woman (1);
        // strength 30, dexterity 25, intelligence 25 after the drag;
        // Alchemy 50, Anatomy 50, Animal Lore 0; skin 1002, hair 0x203B in
        // 1112, no facial hair; shard 1; start location 255 (Heskmere is
        // past the server's one location); slot 2; the address; shirt 123,
        // skirt 413.
        "create request 104 bytes "
        "00ededededffffffff00"
        "417264656e74000000000000000000000000000000000000000000000000"
        "000000000003000000010000000100000000000000000000000000000000"
        "011e1919"
        "003201320200"
        "03ea203b045800000000"
        "01ff00000002xxxxxxxx007b019d\n"
        "server made Ardent\n");
}

} // namespace
