#pragma once
// A scenario of the headless program as a sequence of steps: each step acts
// once when it begins and then waits until its condition holds; a step that
// waits longer than its limit prints the gumps on the desktop and closes the
// window, so the test sees where it stuck. addLoginRoad() puts the road
// from the main menu into the world on the test server's stage (account,
// shard, the second character). Scenarios derive and add their own steps in
// addSteps().

#include "app/client_scenario.h"
#include "frontend/character_selection.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "protocol/login_state.h"
#include "support/window_input.h"
#include "support/world_player.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace fixture {
class ClientDirectory;
}
namespace test {
struct TestShardConfig;
class StageWorld;
}

namespace app_test {

// How much faster than real time the client's clock runs in the sessions
// against the stage.
inline constexpr uint32_t kStageSpeedUp = 5;

// Runs the real program on the client directory against the test server's
// stage, with the session as its player and the clock kStageSpeedUp times
// real time, and ends the process with the program's exit code (for
// EXPECT_EXIT); with `tellCleanups` each clean-up is named on standard error.
[[noreturn]] void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session,
    bool tellCleanups, const test::TestShardConfig& config);
[[noreturn]] void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session,
    bool tellCleanups = true);
// The same with the stage made ready by `prepare` before the client starts.
[[noreturn]] void playAgainstStage(const fixture::ClientDirectory& client, ClientScenario& session,
    bool tellCleanups, const test::TestShardConfig& config, const std::function<void(test::StageWorld&)>& prepare);

struct ScenarioStep {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
};

class SteppedScenario : public ClientScenario {
public:
    static constexpr int32_t kSettleUpdates = 6;
    static constexpr uint32_t kStepLimitMs = 30000;
    static constexpr uint32_t kRetryMs = 4000;

    void started(ClientSession& session) override
    {
        m_session = &session;
        addSteps();
        m_stepStart = platform::clock().tickMs();
    }

    void updated() override
    {
        if (m_ended || m_index >= m_steps.size())
            return;
        const uint32_t now = platform::clock().tickMs();
        ScenarioStep& step = m_steps[m_index];
        if (!m_acted) {
            m_acted = true;
            if (step.act)
                step.act();
            return;
        }
        if (step.done()) {
            ++m_index;
            m_acted = false;
            m_actedAt = 0;
            m_settle = 0;
            m_stepStart = now;
            return;
        }
        if (now - m_stepStart > kStepLimitMs) {
            std::fprintf(stderr, "stuck at: %s\n", step.name);
            for (CGump* gump = gumpListHead(); gump; gump = gump->next())
                std::fprintf(stderr, "  gump %s %s\n", gump->typeName(), gump->isVisible() ? "shown" : "hidden");
            end();
        }
    }

protected:
    virtual void addSteps() = 0;

    void step(const char* name, std::function<void()> act, std::function<bool()> done)
    {
        m_steps.push_back({ name, std::move(act), std::move(done) });
    }
    platform::HeadlessWindow& window() { return static_cast<platform::HeadlessWindow&>(m_session->window); }
    void post(const platform::WindowMessage& message) { window().postMessage(message); }
    void type(const std::string& text) { test::typeText(window(), text); }
    void click(int32_t x, int32_t y) { test::clickAt(window(), x, y); }
    void doubleClick(int32_t x, int32_t y) { test::doubleClickAt(window(), x, y); }
    void end()
    {
        m_ended = true;
        post({ platform::MessageKind::Close, 0, 0, 0, 0 });
    }
    // True once the screen has been up for a few updates.
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        return m_settle > kSettleUpdates;
    }
    // Runs `action` once the screen has settled, and again each time it is
    // still up a while after (a click can land while the screen fills in).
    void actOnScreen(bool shown, const std::function<void()>& action)
    {
        const uint32_t now = platform::clock().tickMs();
        if (!settled(shown) || (m_actedAt && now - m_actedAt < kRetryMs))
            return;
        m_actedAt = now;
        action();
    }
    // The account and password, the first shard, the second character.
    void addLoginRoad()
    {
        step("the main menu", nullptr, [this] {
            actOnScreen(
                test::findGump("MainMenu gump") && !test::findGump("Splash gump") && !test::findMessage(), [this] {
                    click(420, 357);
                    type("tester\tsecret\r");
                });
            return test::findGump("ShardList gump") != nullptr;
        });
        step("the shard list", nullptr, [this] {
            actOnScreen(test::findGump("ShardList gump") != nullptr, [this] { click(260, 104); });
            return test::findGump("Login gump") != nullptr;
        });
        step("the character list", nullptr, [this] {
            auto* list = static_cast<CharacterSelectionGump*>(test::findGump("Login gump"));
            actOnScreen(list && list->entry(1), [this, list] {
                const ScreenRect second = list->entry(1)->screenRect();
                doubleClick((second.left + second.right) / 2, (second.top + second.bottom) / 2);
                m_picked = list->nameAt(1);
            });
            return loginSession().loggedIn;
        });
    }

    ClientSession* m_session { nullptr };
    std::string m_picked;

private:
    std::vector<ScenarioStep> m_steps;
    size_t m_index { 0 };
    bool m_acted { false };
    bool m_ended { false };
    int32_t m_settle { 0 };
    uint32_t m_stepStart { 0 };
    uint32_t m_actedAt { 0 };
};

} // namespace app_test
