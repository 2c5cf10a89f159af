// Macros and the options window as a player uses them: the real program runs
// headless on the sample data against the test server's stage. In the world
// the F2 key starts the player's macro, whose Say reaches the server and
// comes back as the player's speech; Alt+O opens the options window, a click
// ticks "Always run", the filter tab takes a name typed into the ignore
// list's new row, and Okay writes both (the settings file, ignore.lst). The
// window opened again and applied stays open at the quit, and the next
// login's desktop file brings it back where it was.

#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "app/main_window.h"
#include "data/config_file.h"
#include "data/managed_files.h"
#include "data/player_lists.h"
#include "data/settings_registry.h"
#include "fixtures/client_directory.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "windows/journal.h"
#include "windows/edit_list_gump.h"
#include "windows/macro_files.h"
#include "windows/options_gump.h"
#include "world/object_manager.h"

#include "headless_client_fixture.h"
#include "stepped_scenario.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using platform::MessageKind;
constexpr uint16_t kF2 = 0x71;
constexpr int32_t kF2ScanCode = 60;

class MacrosAndOptionsSession final : public app_test::SteppedScenario {
private:
    static bool journalHolds(const std::string& text)
    {
        for (const JournalEntry& entry : journal().entries()) {
            std::string line = entry.narrow;
            if (entry.wide) {
                line.clear();
                for (char16_t unit : entry.text)
                    line.push_back(char(unit));
            }
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
    void clickWindow(int32_t x, int32_t y)
    {
        OptionsGump* window = openOptionsWindow();
        if (!window)
            return;
        window->localToScreen(x, y);
        click(x, y);
    }

    uint32_t m_clickedAt = 0;
    int32_t m_draggedFrom = 0;

    void addSteps() override
    {
        addLoginRoad();
        step("in the world", nullptr, [this] { return settled(loginSession().loggedIn && player()); });
        step(
            "the macro's key",
            [this] {
                const uint32_t keyData = 1u | (uint32_t(kF2ScanCode) << 16);
                post({ MessageKind::KeyDown, kF2, keyData, 0, 0 });
                post({ MessageKind::KeyUp, kF2, keyData | (3u << 30), 0, 0 });
            },
            [] {
                if (!journalHolds("Hail from a macro"))
                    return false;
                std::fprintf(stderr, "%zu macro, its speech came back\n", macro::macroList().macros.size());
                return true;
            });
        step(
            "the options window from Alt+O", [this] { post({ MessageKind::Command, command::kOptions, 0, 0, 0 }); },
            [this] {
                OptionsGump* window = openOptionsWindow();
                if (!settled(window != nullptr))
                    return false;
                std::fprintf(stderr, "options open on tab %d with %zu rows\n", window->currentTab(),
                    window->tabRows().size());
                return true;
            });
        // The row keeps its value until Okay; the click is over once its
        // release has come.
        step(
            "Always run ticked",
            [this] {
                m_clickedAt = platform::clock().tickMs();
                clickWindow(OptionItem::kControlX + 3, OptionsGump::kRowsTop + 3);
            },
            [this] { return settled(platform::clock().tickMs() - m_clickedAt > 4 * test::kClickPressMs); });
        step(
            "the filter tab",
            [this] {
                OptionsGump* window = openOptionsWindow();
                int32_t x = 0;
                int32_t y = 0;
                m_clickedAt = platform::clock().tickMs();
                if (window && OptionsGump::tabPlace(OptionsGump::kFilterTab, window->width(), x, y))
                    clickWindow(x + 5, y + 5);
            },
            [this] {
                // The tab turns on the press; the click is over once its
                // release has come.
                OptionsGump* window = openOptionsWindow();
                return window && window->group() == OptionsGump::kFilterTab
                    && platform::clock().tickMs() - m_clickedAt > 4 * test::kClickPressMs;
            });
        step(
            "the ignore list's new row",
            [this] {
                OptionsGump* window = openOptionsWindow();
                if (window && window->ignoreList())
                    clickWindow(window->ignoreList()->x() + 20, window->ignoreList()->y() + EditListGump::lineY(0) + 5);
            },
            [] {
                OptionsGump* window = openOptionsWindow();
                return window && window->ignoreList() && gumpFocus() == window->ignoreList()->rowEntry(0);
            });
        step(
            "a name typed", [this] { type("Pest"); },
            [] {
                OptionsGump* window = openOptionsWindow();
                if (!window || window->ignoredNames().empty())
                    return false;
                std::fprintf(stderr, "the ignore list takes \"%s\" and shows %d rows\n",
                    window->ignoredNames().front().first.c_str(), window->ignoreList()->rowCount());
                return true;
            });
        step(
            "Okay", [this] { clickWindow(453 + 5, OptionsGump::kButtonY + 5); },
            [] {
                if (openOptionsWindow())
                    return false;
                std::string saved;
                lookupConfigValue(ConfigKeyKind::AlwaysRun, saved);
                std::fprintf(stderr, "AlwaysRun %d, saved as %s\n", int(settings().getBoolSetting(u"AlwaysRun")),
                    saved.c_str());
                std::string ignored;
                readManagedFile("ignore.lst", ignored);
                std::fprintf(stderr, "ignore.lst holds %zu bytes, \"%s\"\n", ignored.size(), ignored.c_str());
                return true;
            });
        step(
            "the options window again", [this] { post({ MessageKind::Command, command::kOptions, 0, 0, 0 }); },
            [this] { return settled(openOptionsWindow() != nullptr); });
        step(
            "the window dragged by its blank top",
            [this] {
                OptionsGump* window = openOptionsWindow();
                if (!window)
                    return;
                m_draggedFrom = window->x();
                int32_t x = 300;
                int32_t y = 8;
                window->localToScreen(x, y);
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                // The hand moves over a few frames, then lets go.
                const uint32_t now = platform::clock().tickMs();
                for (int32_t step = 1; step <= 4; ++step)
                    this->window().scheduleMessage(
                        now + uint32_t(step) * 100, { MessageKind::MouseMove, 1, 0, x - 50 * step, y - 10 * step });
                this->window().scheduleMessage(now + 600, { MessageKind::LeftButtonUp, 0, 0, x - 200, y - 40 });
            },
            [this] {
                OptionsGump* window = openOptionsWindow();
                return window && settled(window->x() != m_draggedFrom);
            });
        step(
            "Apply, and the quit", [this] { clickWindow(258 + 5, OptionsGump::kButtonY + 5); },
            [this] {
                OptionsGump* window = openOptionsWindow();
                if (!window || !settled(true))
                    return false;
                std::fprintf(stderr, "applied, the window stays at %d,%d\n", window->x(), window->y());
                end();
                return true;
            });
    }
};

// The next login: the desktop file's record opens the options window again.
class KeptOptionsSession final : public app_test::SteppedScenario {
private:
    void addSteps() override
    {
        addLoginRoad();
        step("the kept options window", nullptr, [this] {
            OptionsGump* window = openOptionsWindow();
            if (!settled(loginSession().loggedIn && player() && window))
                return false;
            std::fprintf(stderr, "the options window is back at %d,%d, ignoring %zu name\n", window->x(), window->y(),
                window->ignoredNames().size());
            end();
            return true;
        });
    }
};

template <typename Session>
[[noreturn]] void playMacrosAndOptions(const fixture::ClientDirectory& client)
{
    Session session;
    app_test::playAgainstStage(client, session);
}

class HeadlessMacrosAndOptions : public app_test::HeadlessClientTest {
protected:
    HeadlessMacrosAndOptions()
        : HeadlessClientTest("600000")
    {
        client.write("macros.txt", "F2 0 0 0\r\nSay Hail from a macro\r\n########\r\n");
    }
};

TEST_F(HeadlessMacrosAndOptions, AMacroKeySpeaksAndTheOptionsWindowSavesASettingAndAnIgnoredName)
{
    EXPECT_EXIT(playMacrosAndOptions<MacrosAndOptionsSession>(client), ::testing::ExitedWithCode(0),
        "1 macro, its speech came back\n"
        "options open on tab 0 with 2 rows\n"
        "the ignore list takes \"Pest\" and shows 2 rows\n"
        "AlwaysRun 1, saved as on\n"
        "ignore.lst holds 34 bytes, \"Pest\"\n"
        "applied, the window stays at 142,218\n"
            + app_test::kOrderlyCleanups);
    // The settings as they were, so that the login goes as before; the
    // desktop file and the ignore list stay as the first run left them.
    client.write("vo.cfg", "MouseThread=off\n");
    EXPECT_EXIT(playMacrosAndOptions<KeptOptionsSession>(client), ::testing::ExitedWithCode(0),
        "the options window is back at 142,218, ignoring 1 name\n" + app_test::kOrderlyCleanups);
}

} // namespace
