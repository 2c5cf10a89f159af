#pragma once
// The frame of the headless sessions against the test server's stage: the
// real program runs on the sample data, and a list of steps drives it as a
// player does, through the window's event queue. Each step acts once when it
// begins and then waits until its check holds; a step stuck for too long
// ends the session with the open gumps listed. The first steps log in: the
// account, the shard, the second character, until the world is shown. The
// server's side is recorded: every packet the client sent the stage.

#include "app/client_scenario.h"
#include "platform/headless/headless_window.h"
#include "support/stage_world.h"
#include "support/world_packets.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CGump;

namespace app_test {

// The packets the client sent the stage, recorded on the server's thread.
class StageLog {
public:
    // Attaches the stage to the server with the log in front of its answers.
    void attach(test::TestShardServer& server, test::StageWorld& stage);
    // How many packets with this id (and, for 0xBF, this sub-command) arrived.
    size_t count(uint8_t id, int32_t subCommand = -1) const;
    // The last packet with this id, or an empty one.
    test::WirePacket last(uint8_t id) const;

private:
    mutable std::mutex m_lock;
    std::vector<test::WirePacket> m_packets;
};

struct SessionStep {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
};

class StageScenario : public ClientScenario {
public:
    explicit StageScenario(test::StageWorld& stage);

    void started(ClientSession& session) override;
    void updated() override;

protected:
    // The steps after the login's.
    virtual void addSteps() = 0;

    void step(const char* name, std::function<void()> act, std::function<bool()> done);
    // A line for the test to compare, on standard error.
    static void say(const std::string& line);

    platform::HeadlessWindow& window();
    void post(const platform::WindowMessage& message) { window().postMessage(message); }
    void type(const std::string& text);
    void click(int32_t x, int32_t y);
    void doubleClick(int32_t x, int32_t y);
    void rightClick(int32_t x, int32_t y);
    void moveTo(int32_t x, int32_t y);
    // True once the check has held for a few updates in a row.
    bool settled(bool shown);
    // A client point over a world object in the shown world, or (-1, -1).
    void findOnScreen(uint32_t serial, int32_t& x, int32_t& y);
    // A client point of a gump: its top-left plus (dx, dy).
    static void pointOf(CGump* gump, int32_t dx, int32_t dy, int32_t& x, int32_t& y);
    // The steps that open the player's backpack through the paperdoll.
    void addOpenBackpackSteps();
    // The last step: the window closes.
    void addQuitStep();
    // How many colours the game area shows (many once the world is drawn);
    // with `keepAs` the picture is kept for a person to look at.
    size_t shownColours(const char* keepAs = nullptr);

    test::StageWorld& m_stage;
    ClientSession* m_session = nullptr;

private:
    void addLoginSteps();
    void actOnScreen(bool shown, const std::function<void()>& action);

    std::vector<SessionStep> m_steps;
    size_t m_index = 0;
    bool m_acted = false;
    bool m_ended = false;
    int32_t m_settle = 0;
    uint32_t m_stepStart = 0;
    uint32_t m_actedAt = 0;
    uint32_t m_buttonUpAt = 0;
};

// Runs the scenario against a stage server and leaves the process with the
// client's exit code (for EXPECT_EXIT). `log` records what the client sent.
[[noreturn]] void playStageScenario(const std::string& directory, test::StageWorld& stage, StageLog& log,
    StageScenario& scenario);
// The same against a server of the given configuration.
[[noreturn]] void playStageScenario(const std::string& directory, test::StageWorld& stage, StageLog& log,
    StageScenario& scenario, const test::TestShardConfig& config);

} // namespace app_test
