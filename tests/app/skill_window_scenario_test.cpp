// The skill window as a player uses it: the real program runs headless on
// the sample data against the test server's stage. In the world the
// menubar's skills button asks for the skills and the server's list opens
// the window; a click on Miscellaneous's arrow lists its skills; the down
// button scrolls to Hiding; its lock button goes to the server and comes
// back; its use button makes the server raise it by 0.1, which the player
// is told; "New Group" adds a group; a right click closes the window and
// the program ends cleanly.

#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "data/skill_groups.h"
#include "data/skill_values.h"
#include "fixtures/client_directory.h"
#include "gump/button.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_skills.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "windows/journal.h"
#include "windows/menubar.h"
#include "windows/skill_gump.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using platform::MessageKind;
constexpr int32_t kSkillsButton = 4;

class SkillWindowSession final : public app_test::SteppedScenario {
private:
    static Menubar* menubar()
    {
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    void clickGump(CGump* gump, int32_t x, int32_t y)
    {
        gump->localToScreen(x, y);
        click(x, y);
    }
    static int32_t hidingRow()
    {
        const std::vector<SkillListRow> rows = playerSkillGump()->rows();
        const auto found = std::find(rows.begin(), rows.end(), SkillListRow { 0, test::kStageRisingSkill });
        return found == rows.end() ? -1 : int32_t(found - rows.begin());
    }
    static int32_t hidingTop()
    {
        SkillGump* window = playerSkillGump();
        return SkillGump::kListTop + (hidingRow() - window->topRow()) * SkillGump::kRowHeight;
    }
    static std::string lastJournalLine()
    {
        const auto& entries = journal().entries();
        return entries.empty() ? std::string() : entries.back().narrow;
    }

    void addSteps() override
    {
        addLoginRoad();
        step("the menubar in the world", nullptr, [this] {
            return settled(loginSession().loggedIn && player() && menubar());
        });
        step(
            "the skill window from the menubar", [this] { clickGump(menubar()->button(kSkillsButton), 10, 10); },
            [] {
                SkillGump* window = playerSkillGump();
                if (!window || skillValues().value[size_t(test::kStageRisingSkill)] != test::kStageRisingStart)
                    return false;
                std::fprintf(stderr, "skill window at %d,%d, %zu groups' rows\n", window->x(), window->y(),
                    window->rows().size());
                return true;
            });
        step(
            "Miscellaneous opened",
            [this] { clickGump(playerSkillGump(), SkillGump::kListLeft + 4, SkillGump::kListTop + 4); },
            [] {
                SkillGump* window = playerSkillGump();
                if (!window || !window->isExpanded(0))
                    return false;
                std::fprintf(stderr, "Miscellaneous lists %zu skills\n", window->rows().size() - 1);
                return true;
            });
        // One click on the down button at a time, until Hiding shows.
        step("scrolled to Hiding", nullptr, [this] {
            SkillGump* window = playerSkillGump();
            const int32_t row = hidingRow();
            if (window && row >= window->topRow() && row < window->topRow() + window->rowsShown())
                return true;
            const uint32_t now = platform::clock().tickMs();
            if (window && now - m_scrolledAt > kScrollStepMs) {
                m_scrolledAt = now;
                clickGump(window, 290 + 3, window->height() - 16 - 66 + 3);
            }
            return false;
        });
        step(
            "Hiding's lock", [this] { clickGump(playerSkillGump(), SkillGump::kListRight + 24 + 4, hidingTop() + 4); },
            [] {
                if (skillValues().lock[size_t(test::kStageRisingSkill)] != 1)
                    return false;
                std::fprintf(stderr, "Hiding's lock now %d\n", skillValues().lock[size_t(test::kStageRisingSkill)]);
                return true;
            });
        step(
            "Hiding used", [this] { clickGump(playerSkillGump(), SkillGump::kListLeft + 8 + 4, hidingTop() + 4); },
            [] {
                if (skillValues().value[size_t(test::kStageRisingSkill)] != test::kStageRisingStart + 1)
                    return false;
                std::fprintf(stderr, "%s\n", lastJournalLine().c_str());
                return true;
            });
        step(
            "a new group",
            [this] {
                SkillGump* window = playerSkillGump();
                clickGump(window, 56 + 5, window->height() - 59 + 5);
            },
            [] {
                if (skillGroupTable().count != 2)
                    return false;
                std::fprintf(stderr, "groups: %s, %s\n", skillGroupTable().names[0].c_str(),
                    skillGroupTable().names[1].c_str());
                return true;
            });
        step(
            "the window closed",
            [this] {
                SkillGump* window = playerSkillGump();
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "skill_window_session.png");
                int32_t x = 150, y = 30;
                window->localToScreen(x, y);
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::RightButtonDown, 2, 0, x, y });
                post({ MessageKind::RightButtonUp, 0, 0, x, y });
            },
            [this] {
                if (playerSkillGump())
                    return false;
                end();
                return true;
            });
    }

    static constexpr uint32_t kScrollStepMs = 600;
    uint32_t m_scrolledAt { 0 };
};

[[noreturn]] void playSkillWindow(const fixture::ClientDirectory& client)
{
    SkillWindowSession session;
    app_test::playAgainstStage(client, session);
}

class HeadlessSkillWindow : public app_test::HeadlessClientTest {
protected:
    HeadlessSkillWindow()
        : HeadlessClientTest("600000")
    {
        // Every change of a tenth is told.
        client.write("vo.cfg", "MouseThread=off\nSkillReportDiff=1\n");
    }
};

TEST_F(HeadlessSkillWindow, TheMenubarOpensTheSkillsAndTheirLocksUseAndGroupsWorkAgainstTheServer)
{
    EXPECT_EXIT(playSkillWindow(client), ::testing::ExitedWithCode(0),
        "skill window at 100,100, 1 groups' rows\n"
        "Miscellaneous lists 50 skills\n"
        "Hiding's lock now 1\n"
        "Your skill in Hiding has increased by 0.1%.  It is now 50.1%.\n"
        "groups: Miscellaneous, New Group\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
