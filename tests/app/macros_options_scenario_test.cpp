// Macros and the options window as a player uses them: the real program runs
// headless on the sample data against the test server's stage. In the world
// the F2 key starts the player's macro, whose Say reaches the server and
// comes back as the player's speech; Alt+O opens the options window, a click
// ticks "Always run" and Okay writes it to the settings file; the program
// ends cleanly.

#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "app/main_window.h"
#include "data/config_file.h"
#include "data/settings_registry.h"
#include "fixtures/client_directory.h"
#include "gump/gump.h"
#include "orderly_cleanups.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "windows/journal.h"
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
            "Okay", [this] { clickWindow(453 + 5, OptionsGump::kButtonY + 5); },
            [this] {
                if (openOptionsWindow())
                    return false;
                std::string saved;
                lookupConfigValue(ConfigKeyKind::AlwaysRun, saved);
                std::fprintf(stderr, "AlwaysRun %d, saved as %s\n", int(settings().getBoolSetting(u"AlwaysRun")),
                    saved.c_str());
                end();
                return true;
            });
    }
};

[[noreturn]] void playMacrosAndOptions(const fixture::ClientDirectory& client)
{
    MacrosAndOptionsSession session;
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

TEST_F(HeadlessMacrosAndOptions, AMacroKeySpeaksAndTheOptionsWindowSavesASetting)
{
    EXPECT_EXIT(playMacrosAndOptions(client), ::testing::ExitedWithCode(0),
        "1 macro, its speech came back\n"
        "options open on tab 0 with 2 rows\n"
        "AlwaysRun 1, saved as on\n"
            + app_test::kOrderlyCleanups);
}

} // namespace
