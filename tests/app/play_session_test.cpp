// A whole session as a newcomer plays it: the real program runs headless on
// the sample data against the test login and game server on loopback, whose
// stage is the sample scene. Everything goes in through the window's event
// queue: the account and the password, the shard, the second character;
// then, in the world, ten presses of an arrow key (the stage refuses the
// steps that would leave it), a line of speech, a double-click on the player
// for the paperdoll, a double-click on the paperdoll's backpack, a coin
// dragged out of the backpack onto the ground, and the window closed. The
// client must agree with the server on where the player and the coin ended,
// a sound must have been mixed by the null audio device, and the program
// must end with code 0 after its clean-ups in reverse order of start-up.

#include "app/client_scenario.h"
#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "app/startup_cleanups.h"
#include "audio/sound_effects.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "fixtures/sample_scene.h"
#include "frontend/character_selection.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "orderly_cleanups.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/scoped_environment.h"
#include "support/shown_picture.h"
#include "support/stage_world.h"
#include "support/test_shard_server.h"
#include "support/world_player.h"
#include "support/window_input.h"
#include "support/world_point.h"
#include "windows/container_gump.h"
#include "windows/paperdoll_gump.h"
#include "world/cell_picking.h"
#include "world/item.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/walking.h"

#include "headless_client_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using platform::MessageKind;
using test::findGump;
using test::findMessage;

// The clock runs five times faster than real time: the splash passes
// quickly, and a sanitized frame still takes well under a double-click.
constexpr uint32_t kSessionSpeedUp = 5;
// A screen is acted on once it has been up for this many updates.
constexpr int32_t kSessionSettleUpdates = 6;
// How long one step of the session may take (client milliseconds).
constexpr uint32_t kStepLimitMs = 30000;
constexpr int32_t kPresses = 10;
// How long a screen may stay up after it was worked before it is worked again.
constexpr uint32_t kRetryMs = 4000;
constexpr char kSpoken[] = "Well met on the stage";
// More colours than this in the game area: the world is drawn there.
constexpr size_t kDrawnColours = 64;

// One step of the session: `act` runs once when the step begins, then the
// step waits until `done` holds.
struct SessionStep {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
};

class PlaySession final : public ClientScenario {
public:
    explicit PlaySession(test::StageWorld& stage)
        : m_stage(stage)
    {
    }

    void started(ClientSession& session) override
    {
        m_session = &session;
        buildSteps();
        m_stepStart = platform::clock().tickMs();
    }

    void updated() override
    {
        if (m_ended)
            return;
        noteSound();
        const uint32_t now = platform::clock().tickMs();
        if (m_index >= m_steps.size())
            return;
        SessionStep& step = m_steps[m_index];
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
            m_ended = true;
            post({ MessageKind::Close, 0, 0, 0, 0 });
        }
    }

private:
    platform::HeadlessWindow& window() { return static_cast<platform::HeadlessWindow&>(m_session->window); }
    void post(const platform::WindowMessage& message) { window().postMessage(message); }
    void type(const std::string& text) { test::typeText(window(), text); }
    void pressKey(uint16_t key) { test::pressKey(window(), key); }
    void click(int32_t x, int32_t y) { test::clickAt(window(), x, y); }
    void doubleClick(int32_t x, int32_t y) { test::doubleClickAt(window(), x, y); }
    // True once the screen has been up for a few updates.
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        return m_settle > kSessionSettleUpdates;
    }
    // Runs `action` once the screen has been up for a few updates, and again
    // each time it is still up a while after.
    void actOnScreen(bool shown, const std::function<void()>& action)
    {
        const uint32_t now = platform::clock().tickMs();
        if (!settled(shown) || (m_actedAt && now - m_actedAt < kRetryMs))
            return;
        m_actedAt = now;
        action();
    }
    uint32_t stepAnswers() const
    {
        const test::StageCounts counts = m_stage.counts();
        return counts.stepsTaken + counts.turns + counts.stepsRefused;
    }

    // Records the first time a channel of the world's sounds has had its
    // samples taken by the mixer.
    void noteSound()
    {
        if (m_heard)
            return;
        for (int i = 0; i < kSoundChannelCount; ++i) {
            SoundChannel* channel = soundEffects().channel(i);
            if (!channel || !channel->hasBuffer() || !channel->data || channel->soundId != test::StageWorld::kSound)
                continue;
            uint32_t play = 0, write = 0;
            channel->buffer()->positions(play, write);
            if (play > 0)
                m_heard = true;
        }
    }

    // A client point over the player in the world view, or (-1, -1).
    void findPlayerOnScreen(int32_t& x, int32_t& y)
    {
        x = y = -1;
        int64_t sumX = 0, sumY = 0, count = 0;
        for (int32_t py = 0; py < m_session->mainWindow.gameHeight(); py += 2) {
            for (int32_t px = 0; px < m_session->mainWindow.gameWidth(); px += 2) {
                if (pickWorldObjectAt(px, py) == player()) {
                    sumX += px;
                    sumY += py;
                    ++count;
                }
            }
        }
        if (count) {
            x = int32_t(sumX / count);
            y = int32_t(sumY / count);
        }
    }

    void buildSteps()
    {
        // Each screen of the road is worked once it has settled, and again
        // when it is still up a while later (a click can land while the
        // screen is still filling in).
        m_steps.push_back({ "the main menu", nullptr, [this] {
                               actOnScreen(findGump("MainMenu gump") && !findGump("Splash gump") && !findMessage(),
                                   [this] {
                                       // Into the account entry, the name; Tab to the password; Enter.
                                       click(420, 357);
                                       type("tester\tsecret\r");
                                   });
                               return findGump("ShardList gump") != nullptr;
                           } });
        m_steps.push_back({ "the shard list", nullptr, [this] {
                               actOnScreen(findGump("ShardList gump") != nullptr, [this] { click(260, 104); });
                               return findGump("Login gump") != nullptr;
                           } });
        m_steps.push_back({ "the character list", nullptr, [this] {
                               auto* list = static_cast<CharacterSelectionGump*>(findGump("Login gump"));
                               actOnScreen(list && list->entry(1), [this, list] {
                                   // A double-click on the second entry plays that character.
                                   const ScreenRect second = list->entry(1)->screenRect();
                                   doubleClick((second.left + second.right) / 2, (second.top + second.bottom) / 2);
                                   m_picked = list->nameAt(1);
                               });
                               return loginSession().loggedIn;
                           } });
        m_steps.push_back({ "entering the world", nullptr, [this] {
                               const PlayerMobile* self = player();
                               if (!settled(loginSession().loggedIn && self && self->serial == fixture::kScenePlayerSerial
                                       && findObjectBySerial(fixture::kSceneBackpackSerial)))
                                   return false;
                               std::fprintf(stderr, "in the world as %s\n", m_picked.c_str());
                               return true;
                           } });
        // The first frames show the world before the player does anything,
        // whatever the window's size became on entering.
        m_steps.push_back({ "the world shown", nullptr, [this] {
                               if (gameAreaColours() <= kDrawnColours)
                                   return false;
                               std::fprintf(stderr, "the world is shown on entering\n");
                               return true;
                           } });
        for (int32_t i = 0; i < kPresses; ++i) {
            m_steps.push_back({ "walking",
                [this] {
                    m_answersBefore = stepAnswers();
                    pressKey(platform::vk::kRight);
                },
                [this] { return stepAnswers() > m_answersBefore && isWalkIdle() && stepQueue().count == 0; } });
        }
        m_steps.push_back({ "the walk's end", nullptr, [this] {
                               const test::StageCounts counts = m_stage.counts();
                               const test::StagePosition there = m_stage.playerPosition();
                               const PlayerMobile* self = player();
                               std::fprintf(stderr, "%d presses: %u turns, %u steps taken, %u refused\n", kPresses,
                                   counts.turns, counts.stepsTaken, counts.stepsRefused);
                               std::fprintf(stderr, "client and server agree on the player: %s\n",
                                   self && self->x == there.x && self->y == there.y ? "yes" : "no");
                               return true;
                           } });
        m_steps.push_back({ "speaking", [this] { type(std::string(kSpoken) + "\r"); },
            [this] { return m_stage.counts().linesHeard > 0; } });
        // Ctrl and Shift held together put a name over everyone on screen.
        m_steps.push_back({ "all names",
            [this] {
                // The headless window holds keys as told, as a keyboard would.
                window().setKeyHeld(platform::vk::kControl, true);
                window().setKeyHeld(platform::vk::kShift, true);
                post({ MessageKind::KeyDown, platform::vk::kControl, 1, 0, 0 });
                post({ MessageKind::KeyDown, platform::vk::kShift, 1, 0, 0 });
            },
            [] { return allNamesFind(fixture::kSceneWomanSerial) && allNamesFind(fixture::kSceneHorseSerial); } });
        m_steps.push_back({ "all names put away",
            [this] {
                const uint32_t released = platform::kKeyDataReleased | platform::kKeyDataWasDown | 1;
                window().setKeyHeld(platform::vk::kShift, false);
                window().setKeyHeld(platform::vk::kControl, false);
                post({ MessageKind::KeyUp, platform::vk::kShift, released, 0, 0 });
                post({ MessageKind::KeyUp, platform::vk::kControl, released, 0, 0 });
            },
            [] {
                if (allNamesFind(fixture::kSceneWomanSerial))
                    return false;
                std::fprintf(stderr, "names shown while Ctrl and Shift were held\n");
                return true;
            } });
        m_steps.push_back({ "the paperdoll",
            [this] {
                int32_t x = 0, y = 0;
                findPlayerOnScreen(x, y);
                doubleClick(x, y);
            },
            [] { return player() && findPaperdoll(*player()); } });
        m_steps.push_back({ "the backpack",
            [this] {
                PaperdollGump* doll = findPaperdoll(*player());
                // A point of the backpack's picture on the paperdoll.
                for (int32_t y = 0; y < doll->height(); ++y) {
                    for (int32_t x = 0; x < doll->width(); ++x) {
                        if (doll->itemSlotAt(x, y, true) == Mobile::kBackpackLayer) {
                            doubleClick(doll->x() + x + 2, doll->y() + y + 2);
                            return;
                        }
                    }
                }
            },
            [this] {
                Item* coin = findItemBySerial(fixture::kSceneCoinSerial);
                return test::sceneBackpackWindow() && coin && coin->container()
                    && coin->container()->serial == fixture::kSceneBackpackSerial;
            } });
        m_steps.push_back({ "the drag",
            [this] {
                CGump* pack = test::sceneBackpackWindow();
                const int32_t x = pack->x() + 60 + 5;
                const int32_t y = pack->y() + 80 + 7;
                int32_t groundX = 0, groundY = 0;
                findPlayerOnScreen(groundX, groundY);
                groundY += 30;
                const uint32_t now = platform::clock().tickMs();
                post({ MessageKind::MouseMove, 0, 0, x, y });
                post({ MessageKind::LeftButtonDown, 1, 0, x, y });
                window().scheduleMessage(now + 100, { MessageKind::MouseMove, 1, 0, x + 8, y });
                window().scheduleMessage(now + 200, { MessageKind::MouseMove, 1, 0, groundX, groundY - 2 });
                window().scheduleMessage(now + 300, { MessageKind::MouseMove, 1, 0, groundX, groundY });
                window().scheduleMessage(now + 400, { MessageKind::LeftButtonUp, 0, 0, groundX, groundY });
            },
            [this] {
                int32_t x = 0, y = 0;
                Item* coin = findItemBySerial(fixture::kSceneCoinSerial);
                return m_stage.groundCell(fixture::kSceneCoinSerial, x, y) && coin && !coin->container()
                    && coin->x == x && coin->y == y;
            } });
        m_steps.push_back({ "a sound", nullptr, [this] { return m_heard; } });
        m_steps.push_back({ "quitting", nullptr, [this] {
                               const test::StageCounts counts = m_stage.counts();
                               std::fprintf(stderr, "heard back: %u, paperdolls: %u, containers: %u\n",
                                   counts.linesHeard, counts.paperdollsOpened, counts.containersOpened);
                               std::fprintf(stderr, "the coin lies where the server put it\n");
                               std::fprintf(stderr, "a sound was mixed\n");
                               // Kept for a person to look at: the world with the
                               // paperdoll and the backpack open.
                               std::fprintf(stderr, "the world is drawn at the end: %s\n",
                                   gameAreaColours("play_session_world.png") > kDrawnColours ? "yes" : "no");
                               m_ended = true;
                               post({ MessageKind::Close, 0, 0, 0, 0 });
                               return true;
                           } });
    }

    // How many colours the game area shows: the terrain, the figures and the
    // windows give it many, an undrawn one has a few.
    size_t gameAreaColours(const char* keepAs = nullptr)
    {
        const test::ShownPicture picture
            = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
        if (keepAs)
            test::keepPicture(picture, keepAs);
        std::set<uint16_t> colours;
        for (int32_t y = 0; y < m_session->mainWindow.gameHeight() && y < picture.height; ++y)
            for (int32_t x = 0; x < m_session->mainWindow.gameWidth() && x < picture.width; ++x)
                colours.insert(picture.at(x, y));
        return colours.size();
    }

    test::StageWorld& m_stage;
    ClientSession* m_session { nullptr };
    std::vector<SessionStep> m_steps;
    size_t m_index { 0 };
    bool m_acted { false };
    bool m_ended { false };
    bool m_heard { false };
    int32_t m_settle { 0 };
    uint32_t m_stepStart { 0 };
    uint32_t m_actedAt { 0 };
    uint32_t m_answersBefore { 0 };
    std::string m_picked;
};

[[noreturn]] void playAgainstStage(const fixture::ClientDirectory& client)
{
    setCleanupObserver([](const char* name) { std::fprintf(stderr, "cleanup %s\n", name); });
    test::FastClock clock(5000, kSessionSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(test::stageShardConfig());
    if (!server.isListening())
        _exit(3);
    test::StageWorld stage;
    stage.attachTo(server);
    PlaySession session(stage);
    const int code = test::runClientAgainstServer(server, client.path(), session);
    std::fprintf(stderr, "server saw %s play %s\n", server.events().account.c_str(),
        server.events().playedName.c_str());
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessPlay : public app_test::HeadlessClientTest {
protected:
    HeadlessPlay()
        : HeadlessClientTest("600000")
    {
    }
};

TEST_F(HeadlessPlay, ANewcomerLogsInWalksSpeaksOpensThePaperdollAndBackpackDropsACoinAndQuits)
{
    EXPECT_EXIT(playAgainstStage(client), ::testing::ExitedWithCode(0),
        "in the world as Brenna\n"
        "the world is shown on entering\n"
        "10 presses: 2 turns, 5 steps taken, 3 refused\n"
        "client and server agree on the player: yes\n"
        "names shown while Ctrl and Shift were held\n"
        "heard back: 1, paperdolls: 1, containers: 1\n"
        "the coin lies where the server put it\n"
        "a sound was mixed\n"
        "the world is drawn at the end: yes\n"
            + app_test::kOrderlyCleanups + "server saw tester play Brenna\n");
}

} // namespace
