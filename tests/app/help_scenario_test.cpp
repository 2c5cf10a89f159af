// The help in the running program: the real client runs headless against
// the test server with the sample data's help index. At the main menu the
// player presses F1, which opens the Context Help window on the index that
// start-up read; a click on the first topic's link shows that topic, Back
// goes back to the index, and a right click closes the window.

#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/html_view.h"
#include "messenger/context_help_window.h"
#include "messenger/help_index.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "support/fast_clock.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"
#include "text/html_document.h"

#include "headless_client_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
using test::findGump;
using test::findMessage;

constexpr uint32_t kHelpStepLimitMs = 30000;
constexpr uint32_t kHelpInputMs = 2 * test::kClickPressMs;
constexpr int32_t kHelpSettleUpdates = 6;

struct HelpStep {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
};

// The first link of the shown page whose target is `href`, as a screen point.
bool linkPoint(std::u16string_view href, int32_t& x, int32_t& y)
{
    ContextHelpGump* window = contextHelpWindow();
    HtmlView* view = window ? window->view() : nullptr;
    HtmlDocument* document = view ? view->document() : nullptr;
    if (!document)
        return false;
    for (const HtmlLink& link : document->links()) {
        if (link.href != href || link.rects.empty())
            continue;
        const HtmlHitRect& rect = link.rects.front();
        x = view->textRect().left + (rect.left + rect.right) / 2;
        y = view->textRect().top + (rect.top + rect.bottom) / 2 - view->scrollPos();
        view->localToScreen(x, y);
        return true;
    }
    return false;
}

std::string shownTexts()
{
    ContextHelpGump* window = contextHelpWindow();
    HtmlDocument* document = window && window->view() ? window->view()->document() : nullptr;
    std::string text;
    if (document) {
        for (const HtmlRun& run : document->runs())
            for (char16_t c : run.text)
                text.push_back(c == u'\n' ? '/' : char(c));
    }
    return text;
}

class HelpSession final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        m_window = &static_cast<platform::HeadlessWindow&>(session.window);
        buildSteps();
        m_stepStart = platform::clock().tickMs();
    }

    void updated() override
    {
        if (m_ended || m_index >= m_steps.size())
            return;
        const uint32_t now = platform::clock().tickMs();
        HelpStep& step = m_steps[m_index];
        if (!m_acted) {
            m_acted = true;
            m_actTime = now;
            if (step.act)
                step.act();
            return;
        }
        if (now - m_actTime >= kHelpInputMs && step.done()) {
            ++m_index;
            m_acted = false;
            m_stepStart = now;
            return;
        }
        if (now - m_stepStart > kHelpStepLimitMs) {
            std::fprintf(stderr, "stuck at: %s\n", step.name);
            m_ended = true;
            m_window->postMessage({ MessageKind::Close, 0, 0, 0, 0 });
        }
    }

private:
    void buildSteps()
    {
        m_steps.push_back({ "the main menu", nullptr, [this] {
                               const bool shown = findGump("MainMenu gump") && !findGump("Splash gump") && !findMessage();
                               m_settle = shown ? m_settle + 1 : 0;
                               return m_settle > kHelpSettleUpdates;
                           } });
        m_steps.push_back({ "F1", [this] { test::pressKey(*m_window, platform::vk::kF1); },
            [] {
                if (!contextHelpWindow())
                    return false;
                std::fprintf(stderr, "F1 shows: %s\n", shownTexts().c_str());
                return true;
            } });
        m_steps.push_back({ "the first topic",
            [this] {
                int32_t x = 0, y = 0;
                if (linkPoint(u"?1", x, y))
                    test::clickAt(*m_window, x, y);
            },
            [] {
                if (helpState().history.empty() || helpState().history.front().value != 1)
                    return false;
                std::fprintf(stderr, "the link shows: %s\n", shownTexts().substr(0, 40).c_str());
                return true;
            } });
        m_steps.push_back({ "Back",
            [this] {
                CGump* back = contextHelpWindow()->button(ContextHelpCommand::kBack);
                int32_t x = back->width() / 2, y = back->height() / 2;
                back->localToScreen(x, y);
                test::clickAt(*m_window, x, y);
            },
            [] { return helpState().history.front().kind == HelpPageKind::kIndex; } });
        m_steps.push_back({ "a right click",
            [this] {
                ContextHelpGump* window = contextHelpWindow();
                const int32_t x = window->x() + 10, y = window->y() + 10;
                m_window->postMessage({ MessageKind::MouseMove, 0, 0, x, y });
                m_window->postMessage({ MessageKind::RightButtonDown, 2, 0, x, y });
                m_window->postMessage({ MessageKind::RightButtonUp, 0, 0, x, y });
            },
            [] { return contextHelpWindow() == nullptr; } });
        m_steps.push_back({ "quitting", nullptr, [this] {
                               std::fprintf(stderr, "the window closed\n");
                               m_ended = true;
                               m_window->postMessage({ MessageKind::Close, 0, 0, 0, 0 });
                               return true;
                           } });
    }

    platform::HeadlessWindow* m_window = nullptr;
    std::vector<HelpStep> m_steps;
    size_t m_index = 0;
    bool m_acted = false;
    bool m_ended = false;
    int32_t m_settle = 0;
    uint32_t m_stepStart = 0;
    uint32_t m_actTime = 0;
};

[[noreturn]] void helpAgainstStage(const fixture::ClientDirectory& client)
{
    test::FastClock clock(5000, 5);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(test::stageShardConfig());
    if (!server.isListening())
        _exit(3);
    test::StageWorld stage;
    stage.attachTo(server);
    HelpSession session;
    const int code = test::runClientAgainstServer(server, client.path(), session, "");
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessHelp : public app_test::HeadlessClientTest {
protected:
    HeadlessHelp()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessHelp, F1OpensTheIndexALinkShowsATopicBackReturnsAndARightClickCloses)
{
    EXPECT_EXIT(helpAgainstStage(client), ::testing::ExitedWithCode(0),
        "F1 shows: \\[\\+\\] Moving about/   Speaking/   Your backpack/   Asking for help/\n"
        "the link shows: MOVING ABOUT Related topics/Hold the rig\n"
        "the window closed\n");
}

} // namespace
