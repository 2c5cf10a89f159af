// The party as a player uses it: the real program runs headless on the
// sample data against the test server's stage. Saying "party" brings the
// woman's invitation and "/accept" answers it (the accept, then the loot
// flag); the member list names her as leader and her greeting arrives in
// party chat. The paperdoll's party button opens the party window, which
// lists her; its tell button puts "t1" on the speech line, and the tell goes
// to her and is answered; a "/" line is party chat the server relays; the
// loot toggle sends the flag at the next draw; Leave ends the party, after
// which the window offers Add New Member; a right click closes the window.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_scene.h"
#include "gfx/gump_art.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/button.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_party.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "windows/journal.h"
#include "windows/menubar.h"
#include "windows/paperdoll_gump.h"
#include "windows/party_gump.h"
#include "windows/party_table.h"
#include "windows/speech_entry.h"
#include "windows/speech_packets.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
constexpr uint32_t kPartyWoman = fixture::kSceneWomanSerial;
// Local points inside the party window's buttons.
constexpr int32_t kFirstTellX = 35 + 6;
constexpr int32_t kFirstTellY = 50 + 6;
constexpr int32_t kLootX = 70 + 6;
constexpr int32_t kLootY = 335 + 6;
constexpr int32_t kLeaveX = 70 + 6;
constexpr int32_t kLeaveY = 360 + 6;

class PartySession final : public app_test::SteppedScenario {
private:
    static bool journalHas(std::u16string_view line)
    {
        for (const JournalEntry& entry : journal().entries())
            if (entry.wide && entry.text == line)
                return true;
        return false;
    }
    // The stage heard these requests (action, value), in this order, among
    // the others.
    static bool stageHeard(std::vector<std::pair<uint8_t, uint32_t>> wanted, std::u16string_view text = {})
    {
        size_t next = 0;
        for (const test::StagePartyRequest& request : test::stagePartyRequests()) {
            if (next < wanted.size() && request.action == wanted[next].first && request.value == wanted[next].second
                && (text.empty() || request.text == text))
                ++next;
        }
        return next == wanted.size();
    }
    static Menubar* menubar()
    {
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    static uint32_t self() { return player() ? player()->serial : 0; }
    void rightClick(int32_t x, int32_t y)
    {
        post({ MessageKind::MouseMove, 0, 0, x, y });
        post({ MessageKind::RightButtonDown, 2, 0, x, y });
        post({ MessageKind::RightButtonUp, 0, 0, x, y });
    }
    void clickParty(int32_t x, int32_t y)
    {
        PartyGump* window = currentPartyGump();
        window->localToScreen(x, y);
        m_clickedAt = platform::clock().tickMs();
        click(x, y);
    }
    bool released() const { return platform::clock().tickMs() - m_clickedAt > 2 * test::kClickPressMs; }

    void addSteps() override
    {
        addLoginRoad();
        step("the woman in the world", nullptr, [this] {
            return settled(loginSession().loggedIn && player() && menubar() && findObjectBySerial(kPartyWoman));
        });
        step(
            "invited by speaking", [this] { type("party\r"); },
            [] {
                if (!partyTable().isInvitationPending())
                    return false;
                std::fprintf(stderr, "invited by 0x%08X\n", partyTable().invitingLeader());
                return true;
            });
        step(
            "the invitation accepted", [this] { type("/accept\r"); },
            [] {
                PartyTable& table = partyTable();
                if (table.memberSerial(0) != kPartyWoman || table.memberSerial(1) != self()
                    || table.memberName(0) != "Mirela" || !journalHas(u"[Mirela]: Welcome to the party.")
                    || !stageHeard({ { 8, kPartyWoman }, { 6, 1 } }))
                    return false;
                std::fprintf(stderr, "in her party, leader %s, greeted\n", table.isLeader() ? "me" : "her");
                return true;
            });
        step(
            "the paperdoll", [this] {
                LabelButton* button = menubar()->button(1);
                int32_t x = 10, y = 10;
                button->localToScreen(x, y);
                click(x, y);
            },
            [] { return player() && findPaperdoll(*player()); });
        step(
            "the party window from the paperdoll",
            [this] {
                PaperdollGump* doll = findPaperdoll(*player());
                int32_t width = 0, height = 0;
                getGumpArtSize(PaperdollGump::kProfileArt, width, height);
                int32_t x = width + 25, y = 196 + 4;
                doll->localToScreen(x, y);
                doubleClick(x, y);
            },
            [] {
                PartyGump* window = currentPartyGump();
                if (!window || window->shownText().find("[1] Mirela\n") == std::string::npos)
                    return false;
                std::fprintf(stderr, "party window: %s, kick buttons %s\n",
                    window->shownText().find("Leave the party") != std::string::npos ? "leave" : "disband",
                    window->kickButton(0) ? "shown" : "none");
                return true;
            });
        step(
            "the tell button", [this] {
                closeGump(findPaperdoll(*player()));
                clickParty(kFirstTellX, kFirstTellY);
            },
            [this] {
                return released() && speechEntry().text() == u"t1" && speechEntry().mode() == speech_type::kParty;
            });
        step(
            "a tell to her", [this] { type(" hello\r"); },
            [] {
                if (!stageHeard({ { 3, kPartyWoman } }, u" hello") || !journalHas(u"[Mirela]: You told me: hello"))
                    return false;
                std::fprintf(stderr, "told her, and she answered\n");
                return true;
            });
        step(
            "party chat", [this] { type("/onward\r"); },
            [] {
                if (!stageHeard({ { 4, 0 } }, u"onward") || !journalHas(u"[Mirela]: I hear you: onward"))
                    return false;
                std::fprintf(stderr, "party chat relayed\n");
                return true;
            });
        step(
            "the loot toggle", [this] { clickParty(kLootX, kLootY); },
            [this] {
                if (!released() || partyTable().lootFlag() != 0 || !stageHeard({ { 8, kPartyWoman }, { 6, 0 } }))
                    return false;
                std::fprintf(stderr, "loot flag sent: 0\n");
                return true;
            });
        step(
            "leaving the party", [this] { clickParty(kLeaveX, kLeaveY); },
            [this] {
                PartyGump* window = currentPartyGump();
                if (!released() || !stageHeard({ { 2, self() } }) || partyTable().memberSerial(0) != 0 || !window
                    || !window->addMemberButton())
                    return false;
                std::fprintf(stderr, "the party is over; the window offers to add a member\n");
                test::keepPicture(test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display)),
                    "party_session.png");
                return true;
            });
        step(
            "the window closed",
            [this] {
                PartyGump* window = currentPartyGump();
                rightClick(window->x() + PartyGump::kFrameWidth / 2, window->y() + 55);
            },
            [this] {
                if (currentPartyGump())
                    return false;
                end();
                return true;
            });
    }

    uint32_t m_clickedAt { 0 };
};

[[noreturn]] void playParty(const fixture::ClientDirectory& client)
{
    PartySession session;
    app_test::playAgainstStage(client, session);
}

class HeadlessParty : public app_test::HeadlessClientTest {
protected:
    HeadlessParty()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessParty, InvitedTheWomanTalksAndTheWindowTellsTogglesLootAndLeaves)
{
    EXPECT_EXIT(playParty(client), ::testing::ExitedWithCode(0),
        "invited by 0x00000301\n"
        "in her party, leader her, greeted\n"
        "party window: leave, kick buttons none\n"
        "told her, and she answered\n"
        "party chat relayed\n"
        "loot flag sent: 0\n"
        "the party is over; the window offers to add a member\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
