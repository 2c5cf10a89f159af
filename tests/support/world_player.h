#pragma once
// A player that keeps the whole client in the world for a long run (the
// hostile-server and soak programs in tools/): installed as the client's
// scenario, it works the front end through the window's event queue as a
// player would (the account and password, the first shard, the first
// character), and whenever the client leaves the world (a refused packet
// drops the connection, a message box sends it back to the main menu) it
// answers the message and logs in again. While the player is in the world
// the owner's callback runs on every update (to walk and speak). After the
// given time in the world (counted from the first entry) it closes the
// window.
//
// Main thread only, except the counters read after the run. Each update
// beats the watchdog.

#include "app/client_scenario.h"
#include "support/run_watch.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {
struct WindowMessage;
}

class CGump;
class WaitingGump;

namespace test {

// The shown gump of the type name, or null.
CGump* findGump(std::string_view typeName);
// The shown waiting box (the message the client shows), or null.
WaitingGump* findMessage();

class WorldPlayer final : public ClientScenario {
public:
    struct Options {
        std::string account { "tester" };
        std::string password { "secret" };
        uint32_t worldSeconds { 60 };
        // When the reference memory figures are taken, counted from the
        // first entry into the world.
        uint32_t referenceMs { 6000 };
        // Outside the world for longer than this fails the run (0: leaving
        // the world at all fails it).
        uint32_t comebackMs { 60000 };
        // No world entry this long after start-up fails the run.
        uint32_t firstEntryMs { 60000 };
    };

    WorldPlayer(LoopWatchdog& watchdog, Options options);

    void started(ClientSession& session) override;
    void finished(ClientSession& session) override;

    // Runs on every update while the player is in the world.
    void setInWorldStep(std::function<void(WorldPlayer&, uint32_t nowMs)> step) { m_inWorldStep = std::move(step); }
    // Runs once when the reference time has passed, and once more just
    // before the window is closed (memory figures are taken there).
    void setMarks(std::function<void()> reference, std::function<void()> end)
    {
        m_referenceMark = std::move(reference);
        m_endMark = std::move(end);
    }

    // Input, as the window's event queue carries it.
    void post(const platform::WindowMessage& message);
    void pressKey(uint16_t virtualKey);
    void type(const std::string& text);

    // One update of the running program.
    void updated() override;

    uint32_t worldEntries() const { return m_worldEntries; }
    uint32_t worldExits() const { return m_worldExits; }
    uint32_t messagesAnswered() const { return m_messagesAnswered; }
    uint32_t logins() const { return m_logins; }
    bool completed() const { return m_completed; }
    // Why the run failed; empty when it did not.
    const std::string& failure() const { return m_failure; }

private:
    void frontEndStep(uint32_t now);
    void fail(const std::string& reason);
    void closeWindow();

    LoopWatchdog& m_watchdog;
    Options m_options;
    ClientSession* m_session { nullptr };
    std::function<void(WorldPlayer&, uint32_t)> m_inWorldStep;
    std::function<void()> m_referenceMark;
    std::function<void()> m_endMark;
    uint32_t m_startMs { 0 };
    uint32_t m_firstEntryMs { 0 };
    uint32_t m_lastWorldMs { 0 };
    uint32_t m_nextActionMs { 0 };
    uint32_t m_busySinceMs { 0 };
    uint32_t m_deafSinceMs { 0 };
    bool m_inWorld { false };
    bool m_referenceTaken { false };
    bool m_closing { false };
    bool m_completed { false };
    uint32_t m_worldEntries { 0 };
    uint32_t m_worldExits { 0 };
    uint32_t m_messagesAnswered { 0 };
    uint32_t m_logins { 0 };
    std::string m_failure;
};

} // namespace test
