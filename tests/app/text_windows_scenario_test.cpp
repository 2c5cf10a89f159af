// The journal and the item-property window as a player uses them: the real
// program runs headless on the sample data against the test server's stage,
// which grants property lists. The menubar's journal button opens the
// journal, which shows the lines seen so far; the tip of the day the stage
// greets with shows its text cut into lines, and its next button closes it; its down arrow locks the
// scroll; a right click closes it. Resting the pointer on the woman asks the
// server for her property list and shows it beside the pointer; moving
// away takes it down again; the program ends cleanly.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_scene.h"
#include "gump/button.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/stage_journal.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "windows/item_property_gump.h"
#include "windows/journal.h"
#include "windows/journal_gump.h"
#include "windows/menubar.h"
#include "windows/tips_gump.h"
#include "world/cell_picking.h"
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
constexpr int32_t kJournalButton = 3;

class TextWindowsSession final : public app_test::SteppedScenario {
private:
    static Menubar* menubar()
    {
        CGump* bar = gumpManager().menubar;
        return isValidGump(bar) ? static_cast<Menubar*>(bar) : nullptr;
    }
    static JournalGump* journalWindow()
    {
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
            if (gump->is(GumpKind::TextWindow))
                return static_cast<JournalGump*>(gump);
        }
        return nullptr;
    }
    static TipsGump* tipWindow()
    {
        for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
            if (std::string(gump->typeName()) == "tips gump")
                return static_cast<TipsGump*>(gump);
        }
        return nullptr;
    }
    // The tip's next button, at x 251 of the window.
    static CGump* tipNextButton(TipsGump& tip)
    {
        for (CGump* child = tip.firstChild(); child; child = child->next()) {
            if (child->x() == 251)
                return child;
        }
        return nullptr;
    }
    void clickGump(CGump* gump, int32_t x, int32_t y)
    {
        gump->localToScreen(x, y);
        click(x, y);
    }
    void womanOnScreen(int32_t& x, int32_t& y)
    {
        x = y = -1;
        WorldObject* woman = findObjectBySerial(fixture::kSceneWomanSerial);
        for (int32_t py = 0; py < m_session->mainWindow.gameHeight(); py += 2) {
            for (int32_t px = 0; px < m_session->mainWindow.gameWidth(); px += 2) {
                if (woman && pickWorldObjectAt(px, py) == woman) {
                    x = px;
                    y = py;
                    return;
                }
            }
        }
    }

    void addSteps() override
    {
        addLoginRoad();
        step("the menubar in the world", nullptr, [this] {
            return settled(loginSession().loggedIn && player() && menubar()
                && findObjectBySerial(fixture::kSceneWomanSerial) && findItemPropertyGump());
        });
        step("the tip of the day", nullptr, [] {
            TipsGump* tip = tipWindow();
            if (!tip || !tip->isTip() || tip->lines().empty())
                return false;
            size_t longest = 0;
            for (const std::string& line : tip->lines())
                longest = std::max(longest, line.size());
            std::fprintf(stderr, "tip of the day: \"%s\", %zu lines, the longest %zu characters\n",
                tip->lines()[0].c_str(), tip->lines().size(), longest);
            return true;
        });
        step(
            "the tip's next button", [this] { clickGump(tipNextButton(*tipWindow()), 4, 4); },
            [] {
                if (tipWindow())
                    return false;
                std::fprintf(stderr, "tip closed\n");
                return true;
            });
        step(
            "the journal from the menubar", [this] { clickGump(menubar()->button(kJournalButton), 10, 10); },
            [] {
                JournalGump* window = journalWindow();
                if (!window || journal().entries().empty() || !window->firstVisible())
                    return false;
                std::fprintf(stderr, "journal open, following: %s\n", window->isScrollLocked() ? "no" : "yes");
                return true;
            });
        step(
            "the journal's down arrow",
            [this] {
                JournalGump* window = journalWindow();
                window->moveTo(300, 40, true, nullptr, false);
                clickGump(window, 249 + 4, JournalGump::kHeight - 16 - 52 + 4);
            },
            [] {
                JournalGump* window = journalWindow();
                if (!window || !window->isScrollLocked())
                    return false;
                std::fprintf(stderr, "journal scroll locked\n");
                return true;
            });
        step(
            "the woman's properties",
            [this] {
                int32_t x = 0, y = 0;
                womanOnScreen(x, y);
                post({ MessageKind::MouseMove, 0, 0, x, y });
            },
            [] {
                ItemPropertyGump* window = findItemPropertyGump();
                if (!window || window->isMinimised()
                    || window->titleText().find(u"Woman") == std::u16string::npos)
                    return false;
                std::fprintf(stderr, "properties shown beside the pointer\n");
                return true;
            });
        step(
            "the properties taken down",
            [this] {
                const test::ShownPicture picture
                    = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
                test::keepPicture(picture, "text_windows_session.png");
                post({ MessageKind::MouseMove, 0, 0, 5, m_session->mainWindow.gameHeight() - 5 });
            },
            [] {
                ItemPropertyGump* window = findItemPropertyGump();
                return window && window->isMinimised();
            });
        step(
            "the journal closed",
            [this] {
                JournalGump* window = journalWindow();
                post({ MessageKind::MouseMove, 0, 0, window->x() + 100, window->y() + 150 });
                post({ MessageKind::RightButtonDown, 2, 0, window->x() + 100, window->y() + 150 });
                post({ MessageKind::RightButtonUp, 0, 0, window->x() + 100, window->y() + 150 });
            },
            [this] {
                if (journalWindow())
                    return false;
                std::fprintf(stderr, "journal closed\n");
                end();
                return true;
            });
    }
};

[[noreturn]] void playTextWindows(const fixture::ClientDirectory& client)
{
    test::TestShardConfig config = test::stageShardConfig();
    config.characterListFlags |= test::kStagePropertyListsFlag;
    TextWindowsSession session;
    app_test::playAgainstStage(
        client, session, false, config, [](test::StageWorld& stage) { stage.setGreetingTip(true); });
}

class HeadlessTextWindows : public app_test::HeadlessClientTest {
protected:
    HeadlessTextWindows()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessTextWindows, TheJournalAndTheItemPropertyWindowWorkAgainstTheServer)
{
    EXPECT_EXIT(playTextWindows(client), ::testing::ExitedWithCode(0),
        "tip of the day: \"Welcome to the stage.\", [0-9]+ lines, the longest [0-9]+ characters\n"
        "tip closed\n"
        "journal open, following: yes\n"
        "journal scroll locked\n"
        "properties shown beside the pointer\n"
        "journal closed\n");
}

} // namespace
