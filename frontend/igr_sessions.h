#pragma once
// Internet-game-room sessions: while the client runs in a game room, the
// room's accounting service is told when a play session starts, that it is
// still running (a heartbeat at the server's interval) and when it ends. One
// worker thread per session makes these reports; a new session stops the
// ones before it. The room's id and web page come from two registry values;
// game-room mode changes the account login and the main menu.
//
// Threads: the session list is guarded by one mutex and each session's
// flags by a mutex of its own, taken in that order (a session thread takes
// its own mutex only while it does not hold the list's). The main thread
// starts and stops sessions; only session threads talk to the service.
// Times are 32-bit millisecond ticks compared unsigned.

#include "protocol/protocol_services.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class AccountingService;
}

// The time the sessions wait by; the process uses the platform clock, tests
// a clock of their own that worker threads may read.
class IgrClock {
public:
    virtual ~IgrClock() = default;
    virtual uint32_t tickMs() = 0;
    virtual void sleepMs(uint32_t milliseconds) = 0;
};

class IgrSessionManager final : public IgrSessions {
public:
    // How often a waiting session looks at its stop flag, and how long
    // stopAllSessions waits for the sessions to end.
    static constexpr uint32_t kPollStepMs = 100;
    static constexpr uint32_t kStopWaitMs = 5000;
    static constexpr size_t kMaxQueryLength = 2047;
    // A registry value this long does not fit the value buffer.
    static constexpr size_t kRegistryValueCapacity = 1024;

    // With null arguments the platform's clock and accounting service.
    explicit IgrSessionManager(IgrClock* clock = nullptr, platform::AccountingService* service = nullptr);
    ~IgrSessionManager() override;
    IgrSessionManager(const IgrSessionManager&) = delete;
    IgrSessionManager& operator=(const IgrSessionManager&) = delete;

    bool isIgrMode() override;
    // The id, as the account login carries it: 16 bytes, zero-filled.
    std::vector<uint8_t> igrId() override;
    // startIgrSession: a new id is stored in the registry first; then the
    // running sessions are told to stop and a new one starts.
    void startSession(const IgrSessionSettings& settings) override;
    void stopAllSessions() override;
    void requestStopAllSessions() override;

    // The registry values "noid" (the room's id; sets game-room mode) and
    // "nourl" (its web page); true when both were found.
    bool loadRegistryValues();
    std::string webPage();
    std::string currentId();
    // Sessions still in the list (ended ones remove themselves).
    size_t sessionCount();

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// The process-wide sessions; they live until the process ends.
IgrSessionManager& igrSessionManager();
// The room's web page (empty when none).
std::string igrWebPage();

// The query text of one report, cut at 2047 characters.
std::string igrQueryText(const char* command, const IgrSessionSettings& settings);

inline constexpr const char* kIgrStartCommand = "IGRSTARTGAME";
inline constexpr const char* kIgrHeartbeatCommand = "IGRHEARTBEAT";
inline constexpr const char* kIgrEndCommand = "IGRENDGAME";
