#include "stage_scenario.h"

#include "app/main_window.h"
#include "app/scenario_runner.h"
#include "fixtures/sample_scene.h"
#include "frontend/character_selection.h"
#include "gump/input_control.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "protocol/login_state.h"
#include "support/fast_clock.h"
#include "support/shown_picture.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_point.h"
#include "windows/container_gump.h"
#include "windows/paperdoll_gump.h"
#include "world/cell_picking.h"
#include "world/container_item.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <cstdio>
#include <set>
#include <unistd.h>

namespace app_test {

namespace {

using platform::MessageKind;

// The clock runs five times faster than real time, as in the play session.
constexpr uint32_t kSpeedUp = 5;
constexpr int32_t kSettleUpdates = 6;
constexpr uint32_t kStepLimitMs = 30000;
constexpr uint32_t kRetryMs = 4000;
// The grid of game-area points tried when looking for an object.
constexpr int32_t kPickStep = 3;
// A scheduled message is taken by the first frame after it is due.
constexpr uint32_t kFrameSlackMs = 100;
// More colours than this in the game area: the world is drawn there.
constexpr size_t kDrawnColours = 64;

CGump* findGumpNamed(const char* name)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (std::string(gump->typeName()) == name)
            return gump;
    }
    return nullptr;
}

} // namespace

void StageLog::attach(test::TestShardServer& server, test::StageWorld& stage)
{
    stage.attachTo(server);
    server.setGamePacketHook([this, &stage](const test::WirePacket& packet) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_packets.push_back(packet);
        }
        return stage.answer(packet);
    });
}

size_t StageLog::count(uint8_t id, int32_t subCommand) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    size_t found = 0;
    for (const test::WirePacket& packet : m_packets) {
        if (packet.empty() || packet[0] != id)
            continue;
        if (subCommand >= 0 && (packet.size() < 5 || ((packet[3] << 8) | packet[4]) != subCommand))
            continue;
        ++found;
    }
    return found;
}

test::WirePacket StageLog::last(uint8_t id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (auto packet = m_packets.rbegin(); packet != m_packets.rend(); ++packet) {
        if (!packet->empty() && (*packet)[0] == id)
            return *packet;
    }
    return {};
}

StageScenario::StageScenario(test::StageWorld& stage)
    : m_stage(stage)
{
}

void StageScenario::started(ClientSession& session)
{
    m_session = &session;
    addLoginSteps();
    addSteps();
    m_stepStart = platform::clock().tickMs();
}

void StageScenario::updated()
{
    if (m_ended || m_index >= m_steps.size())
        return;
    const uint32_t now = platform::clock().tickMs();
    SessionStep& current = m_steps[m_index];
    if (!m_acted) {
        // A step acts once the last click's button is back up.
        if (int32_t(now - m_buttonUpAt) < 0)
            return;
        m_acted = true;
        if (current.act)
            current.act();
        // The step's time runs from the end of its act, however slow that was.
        m_stepStart = platform::clock().tickMs();
        return;
    }
    if (current.done()) {
        ++m_index;
        m_acted = false;
        m_actedAt = 0;
        m_settle = 0;
        m_stepStart = now;
        return;
    }
    if (now - m_stepStart > kStepLimitMs) {
        std::fprintf(stderr, "stuck at: %s\n", current.name);
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            std::fprintf(stderr, "  gump %s %s\n", gump->typeName(), gump->isVisible() ? "shown" : "hidden");
        m_ended = true;
        post({ MessageKind::Close, 0, 0, 0, 0 });
    }
}

void StageScenario::step(const char* name, std::function<void()> act, std::function<bool()> done)
{
    m_steps.push_back({ name, std::move(act), std::move(done) });
}

void StageScenario::say(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

platform::HeadlessWindow& StageScenario::window()
{
    return static_cast<platform::HeadlessWindow&>(m_session->window);
}

void StageScenario::type(const std::string& text) { test::typeText(window(), text); }
void StageScenario::click(int32_t x, int32_t y)
{
    test::clickAt(window(), x, y);
    m_buttonUpAt = platform::clock().tickMs() + test::kClickPressMs + kFrameSlackMs;
}
void StageScenario::doubleClick(int32_t x, int32_t y) { test::doubleClickAt(window(), x, y); }
void StageScenario::moveTo(int32_t x, int32_t y) { post({ MessageKind::MouseMove, 0, 0, x, y }); }

void StageScenario::rightClick(int32_t x, int32_t y)
{
    post({ MessageKind::MouseMove, 0, 0, x, y });
    post({ MessageKind::RightButtonDown, 2, 0, x, y });
    post({ MessageKind::RightButtonUp, 0, 0, x, y });
}

bool StageScenario::settled(bool shown)
{
    m_settle = shown ? m_settle + 1 : 0;
    return m_settle > kSettleUpdates;
}

void StageScenario::actOnScreen(bool shown, const std::function<void()>& action)
{
    const uint32_t now = platform::clock().tickMs();
    if (!settled(shown) || (m_actedAt && now - m_actedAt < kRetryMs))
        return;
    m_actedAt = now;
    action();
}

void StageScenario::findOnScreen(uint32_t serial, int32_t& x, int32_t& y)
{
    test::worldObjectPoint(findObjectBySerial(serial), m_session->mainWindow.gameWidth(),
        m_session->mainWindow.gameHeight(), kPickStep, x, y);
}

void StageScenario::pointOf(CGump* gump, int32_t dx, int32_t dy, int32_t& x, int32_t& y)
{
    x = dx;
    y = dy;
    if (gump)
        gump->localToScreen(x, y);
}

void StageScenario::addLoginSteps()
{
    step("the main menu", nullptr, [this] {
        actOnScreen(findGumpNamed("MainMenu gump") && !findGumpNamed("Splash gump"), [this] {
            click(420, 357);
            type("tester\tsecret\r");
        });
        return findGumpNamed("ShardList gump") != nullptr;
    });
    step("the shard list", nullptr, [this] {
        actOnScreen(findGumpNamed("ShardList gump") != nullptr, [this] { click(260, 104); });
        return findGumpNamed("Login gump") != nullptr;
    });
    step("the character list", nullptr, [this] {
        auto* list = static_cast<CharacterSelectionGump*>(findGumpNamed("Login gump"));
        actOnScreen(list && list->entry(1), [this, list] {
            const ScreenRect second = list->entry(1)->screenRect();
            doubleClick((second.left + second.right) / 2, (second.top + second.bottom) / 2);
        });
        return loginSession().loggedIn;
    });
    step("entering the world", nullptr, [this] {
        const PlayerMobile* self = player();
        return settled(loginSession().loggedIn && self && self->serial == fixture::kScenePlayerSerial
            && findObjectBySerial(fixture::kSceneBackpackSerial));
    });
    // Objects are picked where they were drawn: the world must be shown.
    step("the world shown", nullptr, [this] { return shownColours() > kDrawnColours; });
}

size_t StageScenario::shownColours(const char* keepAs)
{
    const test::ShownPicture picture = test::shownPicture(static_cast<platform::HeadlessDisplay&>(m_session->display));
    if (keepAs)
        test::keepPicture(picture, keepAs);
    std::set<uint16_t> colours;
    for (int32_t y = 0; y < m_session->mainWindow.gameHeight() && y < picture.height; ++y)
        for (int32_t x = 0; x < m_session->mainWindow.gameWidth() && x < picture.width; ++x)
            colours.insert(picture.at(x, y));
    return colours.size();
}

void StageScenario::addOpenBackpackSteps()
{
    step("the paperdoll",
        [this] {
            int32_t x = 0, y = 0;
            findOnScreen(fixture::kScenePlayerSerial, x, y);
            doubleClick(x, y);
        },
        [] { return player() && findPaperdoll(*player()); });
    step("the backpack",
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
        [] {
            Item* pack = findItemBySerial(fixture::kSceneBackpackSerial);
            return pack && pack->isContainer() && findContainerGump(static_cast<ContainerItem&>(*pack));
        });
}

void StageScenario::addQuitStep()
{
    step("quitting", nullptr, [this] {
        m_ended = true;
        post({ MessageKind::Close, 0, 0, 0, 0 });
        return true;
    });
}

[[noreturn]] void playStageScenario(const std::string& directory, test::StageWorld& stage, StageLog& log,
    StageScenario& scenario)
{
    playStageScenario(directory, stage, log, scenario, test::stageShardConfig());
}

[[noreturn]] void playStageScenario(const std::string& directory, test::StageWorld& stage, StageLog& log,
    StageScenario& scenario, const test::TestShardConfig& config)
{
    test::FastClock clock(5000, kSpeedUp);
    platform::ScopedClock scopedClock(clock);
    test::TestShardServer server(config);
    if (!server.isListening())
        _exit(3);
    log.attach(server, stage);
    const int code = test::runClientAgainstServer(server, directory, scenario);
    std::fflush(nullptr);
    _exit(code);
}

} // namespace app_test
