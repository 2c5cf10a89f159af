// The login road as a player meets it: the real program runs headless on the
// sample data against the test login and game server on loopback. A script
// watches the desktop on every gump update and, as each screen appears,
// types and clicks through the window's event queue: the account and the
// password into the login window, a click on the shard, and the character
// list is reached. The main menu, the shard list and the character list are
// kept as pictures (PNG beside the build, golden by hash); the refusals of a
// wrong password, a full shard and a lost connection are read off the
// message box.

#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "app/scenario_runner.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/waiting_gump.h"
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

// The clock runs ten times faster than real time.
constexpr uint32_t kLoginSpeedUp = 10;
// Updates to let pass after a screen appeared before its picture is taken,
// so that it has been drawn and shown.
constexpr int32_t kLoginSettleUpdates = 6;
// The shard list takes a press when its hover tick, once a frame, sees the
// button down; when one slow frame handles the press and the release together
// the press is lost, and after this many updates the player presses again.
constexpr int32_t kLoginRepressUpdates = 30;

std::string loginNarrow(const std::u16string& text)
{
    std::string out;
    for (char16_t unit : text)
        out.push_back(char(unit & 0x7F));
    return out;
}

// What the player does, step by step, as the screens come.
enum class Goal : uint8_t {
    CharacterList, // log in, choose the shard, see the characters
    Refusal, // log in and read the message box that refuses the road
};

class LoginPlayerScript;

class LoginScenario final : public ClientScenario {
public:
    LoginScenario(Goal goal, std::string account, std::string password)
        : m_goal(goal)
        , m_account(std::move(account))
        , m_password(std::move(password))
    {
    }

    void started(ClientSession& session) override;
    void finished(ClientSession&) override { std::fflush(nullptr); }

    // One gump update of the running program.
    void update();

private:
    platform::HeadlessWindow& window() { return static_cast<platform::HeadlessWindow&>(m_session->window); }
    void post(const platform::WindowMessage& message) { window().postMessage(message); }
    void click(int32_t x, int32_t y) { test::clickAt(window(), x, y); }
    void type(const std::string& text) { test::typeText(window(), text); }
    // Keeps the screen's picture and prints its hash.
    void capture(const char* name);
    void finish() { post({ MessageKind::Close, 0, 0, 0, 0 }); }
    // A refusal the player was looking for: prints its text and ends.
    bool reportedRefusal()
    {
        WaitingGump* box = findMessage();
        if (!box || m_goal != Goal::Refusal || box->wideText().empty())
            return false;
        std::fprintf(stderr, "message: %s\n", loginNarrow(box->wideText()).c_str());
        finish();
        m_step = 9;
        return true;
    }
    // Counts the updates a screen has been up; true once it has settled.
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        return m_settle > kLoginSettleUpdates;
    }

    Goal m_goal;
    std::string m_account;
    std::string m_password;
    ClientSession* m_session = nullptr;
    int32_t m_step = 0;
    int32_t m_settle = 0;
    int32_t m_unanswered = 0;
};

// An invisible top-level gump: the manager ticks it on every update.
class LoginPlayerScript final : public CGump {
public:
    explicit LoginPlayerScript(LoginScenario& scenario)
        : m_scenario(scenario)
    {
        setTypeName("player script");
        setNoHit(true);
    }
    void tick() override { m_scenario.update(); }
    bool isClosableByCloseAll() override { return false; }

private:
    LoginScenario& m_scenario;
};

void LoginScenario::started(ClientSession& session)
{
    m_session = &session;
    gumpLink(new LoginPlayerScript(*this), nullptr);
}

void LoginScenario::capture(const char* name)
{
    const test::ShownPicture picture = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
    std::fprintf(
        stderr, "%s picture %016llx\n", name, (unsigned long long)test::keepPicture(picture, std::string(name) + ".png"));
}

void LoginScenario::update()
{
    switch (m_step) {
    case 0: // The main menu after the splash (and the film, which is missing).
        if (!settled(findGump("MainMenu gump") && !findGump("Splash gump") && !findMessage()))
            return;
        std::fprintf(stderr, "main menu shown\n");
        if (m_goal == Goal::CharacterList)
            capture("login_main_menu");
        // Into the account entry, the name; Tab to the password; Enter.
        click(420, 357);
        type(m_account);
        type("\t");
        type(m_password);
        type("\r");
        m_step = 1;
        return;
    case 1: // The shard list, or a refusal.
        if (reportedRefusal())
            return;
        if (!settled(findGump("ShardList gump") != nullptr))
            return;
        std::fprintf(stderr, "shard list shown\n");
        if (m_goal == Goal::CharacterList)
            capture("login_shard_list");
        // The first row of the list.
        click(260, 104);
        m_step = 2;
        return;
    case 2: // The character list, or a refusal.
        if (reportedRefusal())
            return;
        if (findGump("ShardList gump")) {
            if (++m_unanswered > kLoginRepressUpdates) {
                m_unanswered = 0;
                click(260, 104);
            }
            return;
        }
        if (!settled(findGump("Login gump") != nullptr))
            return;
        std::fprintf(stderr, "character list shown\n");
        capture("login_character_list");
        finish();
        m_step = 9;
        return;
    default:
        return;
    }
}

[[noreturn]] void runAgainstServer(const fixture::ClientDirectory& client, test::TestShardConfig config,
    test::ServerStep dropAfter, bool drop, ClientScenario& scenario)
{
    test::FastClock clock(5000, kLoginSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(std::move(config));
    if (drop)
        server.dropConnectionAfter(dropAfter);
    if (!server.isListening())
        _exit(3);
    const int code = test::runClientAgainstServer(server, client.path(), scenario);
    std::fprintf(stderr, "server saw account %s, shard %u\n", server.events().account.c_str(),
        unsigned(server.events().selectedShard));
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessLogin : public app_test::HeadlessClientTest {
protected:
    HeadlessLogin()
        : HeadlessClientTest("120000")
    {
        config.moreShards = { { "Second Shard", 2, 6, 50 }, { "Third Shard", 3, -6, 90 } };
    }

    test::TestShardConfig config;
};

TEST_F(HeadlessLogin, APlayerTypesTheAccountChoosesTheShardAndReachesTheCharacterList)
{
    LoginScenario scenario(Goal::CharacterList, "tester", "secret");
    EXPECT_EXIT(runAgainstServer(client, config, test::ServerStep::LoginSeed, false, scenario),
        ::testing::ExitedWithCode(0),
        "main menu shown\n"
        "login_main_menu picture e70b75c16f6b81f0\n"
        "shard list shown\n"
        "login_shard_list picture ec819d628b503ff1\n"
        "character list shown\n"
        "login_character_list picture 2e09e7b2831857c3\n"
        "server saw account tester, shard 1\n");
}

TEST_F(HeadlessLogin, AWrongPasswordIsRefused)
{
    LoginScenario scenario(Goal::Refusal, "tester", "guess");
    EXPECT_EXIT(runAgainstServer(client, config, test::ServerStep::LoginSeed, false, scenario),
        ::testing::ExitedWithCode(0),
        "main menu shown\n"
        "message: That password is not correct for this account.\n");
}

TEST_F(HeadlessLogin, AFullShardIsRefused)
{
    config.shardFull = true;
    LoginScenario scenario(Goal::Refusal, "tester", "secret");
    EXPECT_EXIT(runAgainstServer(client, config, test::ServerStep::LoginSeed, false, scenario),
        ::testing::ExitedWithCode(0),
        "shard list shown\n"
        "message: That shard is full. Please choose another shard or try again later.\n");
}

TEST_F(HeadlessLogin, ALostConnectionIsReported)
{
    LoginScenario scenario(Goal::Refusal, "tester", "secret");
    EXPECT_EXIT(runAgainstServer(client, config, test::ServerStep::ShardList, true, scenario),
        ::testing::ExitedWithCode(0), "message: Connection lost\n");
}

} // namespace
