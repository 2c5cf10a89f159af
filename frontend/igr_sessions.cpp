#include "frontend/igr_sessions.h"

#include "core/error_report.h"
#include "data/file_manager.h"
#include "platform/accounting_service.h"
#include "platform/clock.h"
#include "platform/key_store.h"
#include "platform/thread_priority.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class PlatformIgrClock final : public IgrClock {
public:
    uint32_t tickMs() override { return platform::clock().tickMs(); }
    void sleepMs(uint32_t milliseconds) override { platform::clock().sleepMs(milliseconds); }
};

IgrClock& platformIgrClock()
{
    static PlatformIgrClock clock;
    return clock;
}

} // namespace

// Outside the anonymous namespace: IgrSessionManager::State holds sessions.
struct IgrSession {
    IgrSessionSettings settings;
    std::mutex mutex;
    uint32_t lastSuccess = 0;
    bool startResult = false;
    bool stop = false;
    bool ended = false;

    bool isStopping()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stop;
    }
};

struct IgrSessionManager::State {
    IgrClock* clock;
    platform::AccountingService* service;
    std::mutex listMutex;
    std::vector<std::shared_ptr<IgrSession>> sessions;
    std::atomic<bool> mode { false };
    // Main thread only.
    std::string id;
    std::string webPage;

    IgrClock& timing() { return clock ? *clock : platformIgrClock(); }
    platform::AccountingService& accounting() { return service ? *service : platform::accountingService(); }

    void requestStop()
    {
        std::lock_guard<std::mutex> lock(listMutex);
        for (const std::shared_ptr<IgrSession>& session : sessions) {
            std::lock_guard<std::mutex> sessionLock(session->mutex);
            session->stop = true;
        }
    }
};

namespace {

// The session thread's work: START until it is accepted (or the session is
// stopped), then a HEARTBEAT every interval, then END in every case.
void runSession(IgrSession& session, IgrClock& clock, platform::AccountingService& service)
{
    const IgrSessionSettings& settings = session.settings;
    const uint32_t interval = uint32_t(std::min<uint64_t>(uint64_t(settings.heartbeatSeconds) * 1000u, UINT32_MAX));
    auto report = [&](const char* command) {
        return service.sendPingMessage(
            settings.textA, int32_t(settings.number), settings.textB, igrQueryText(command, settings));
    };
    // Polls the stop flag until it is set (true) or an interval has passed
    // since the last accepted report (false).
    auto wait = [&]() {
        for (;;) {
            if (session.isStopping())
                return true;
            if (clock.tickMs() - session.lastSuccess >= interval)
                return false;
            clock.sleepMs(IgrSessionManager::kPollStepMs);
        }
    };

    bool started = false;
    for (;;) {
        if (report(kIgrStartCommand)) {
            started = true;
            session.lastSuccess = clock.tickMs();
            break;
        }
        // A refused START is tried again one polling step later, not at
        // once: where the service never answers this would spin a core.
        clock.sleepMs(IgrSessionManager::kPollStepMs);
        if (wait())
            break;
    }
    {
        std::lock_guard<std::mutex> lock(session.mutex);
        session.startResult = started;
    }
    while (started) {
        if (session.isStopping() || wait())
            break;
        if (report(kIgrHeartbeatCommand))
            session.lastSuccess = clock.tickMs();
    }
    report(kIgrEndCommand);
    std::lock_guard<std::mutex> lock(session.mutex);
    session.ended = true;
}

} // namespace

std::string igrQueryText(const char* command, const IgrSessionSettings& settings)
{
    char buffer[IgrSessionManager::kMaxQueryLength + 1];
    std::snprintf(buffer, sizeof buffer, "command=%s&username=%s&igrID=%s&contextID=%s&serviceID=%u", command,
        settings.user.c_str(), settings.igrId.c_str(), settings.contextId.c_str(), unsigned(settings.serviceId));
    return buffer;
}

IgrSessionManager::IgrSessionManager(IgrClock* clock, platform::AccountingService* service)
    : m_state(std::make_shared<State>())
{
    m_state->clock = clock;
    m_state->service = service;
}

IgrSessionManager::~IgrSessionManager() { requestStopAllSessions(); }

bool IgrSessionManager::isIgrMode() { return m_state->mode; }

std::vector<uint8_t> IgrSessionManager::igrId()
{
    std::vector<uint8_t> id(16, 0);
    for (size_t i = 0; i < id.size() && i < m_state->id.size(); ++i)
        id[i] = uint8_t(m_state->id[i]);
    return id;
}

std::string IgrSessionManager::currentId() { return m_state->id; }
std::string IgrSessionManager::webPage() { return m_state->webPage; }

size_t IgrSessionManager::sessionCount()
{
    std::lock_guard<std::mutex> lock(m_state->listMutex);
    return m_state->sessions.size();
}

void IgrSessionManager::startSession(const IgrSessionSettings& settings)
{
    State& state = *m_state;
    if (settings.igrId != state.id) {
        // The room's new id is kept only once the registry holds it.
        if (platform::keyStore().writeString(kProductKeyPath, "noid", settings.igrId))
            state.id = settings.igrId;
    }
    state.mode = true;
    auto session = std::make_shared<IgrSession>();
    session->settings = settings;
    {
        std::lock_guard<std::mutex> lock(state.listMutex);
        for (const std::shared_ptr<IgrSession>& running : state.sessions) {
            std::lock_guard<std::mutex> sessionLock(running->mutex);
            running->stop = true;
        }
        state.sessions.push_back(session);
    }
    std::thread worker([owner = m_state, session] {
        platform::lowerCurrentThreadPriority();
        runSession(*session, owner->timing(), owner->accounting());
        std::lock_guard<std::mutex> lock(owner->listMutex);
        std::erase(owner->sessions, session);
    });
    worker.detach();
}

void IgrSessionManager::requestStopAllSessions() { m_state->requestStop(); }

void IgrSessionManager::stopAllSessions()
{
    State& state = *m_state;
    state.requestStop();
    IgrClock& clock = state.timing();
    const uint32_t start = clock.tickMs();
    for (;;) {
        bool allDone = true;
        {
            std::lock_guard<std::mutex> lock(state.listMutex);
            for (const std::shared_ptr<IgrSession>& session : state.sessions) {
                std::lock_guard<std::mutex> sessionLock(session->mutex);
                if (session->stop && !session->ended)
                    allDone = false;
            }
        }
        // A session that does not end in time is left running.
        if (allDone || clock.tickMs() - start >= kStopWaitMs)
            return;
        clock.sleepMs(kPollStepMs);
    }
}

bool IgrSessionManager::loadRegistryValues()
{
    State& state = *m_state;
    // A value is read into a buffer of 1024 bytes with its terminator: a
    // longer one does not read at all, one that fills the buffer exactly is
    // fatal, a shorter one is taken.
    auto read = [](const char* name, std::string& out) {
        std::string value;
        if (!platform::keyStore().readString(kProductKeyPath, name, value) || value.size() + 1 > kRegistryValueCapacity)
            return false;
        if (value.size() + 1 == kRegistryValueCapacity)
            reportFatal("%s", "");
        out = value;
        return true;
    };
    const bool idTaken = read("noid", state.id);
    if (idTaken)
        state.mode = true;
    const bool pageTaken = read("nourl", state.webPage);
    return idTaken && pageTaken;
}

IgrSessionManager& igrSessionManager()
{
    // Never destroyed: a session thread left running at exit still finds it.
    static IgrSessionManager* manager = new IgrSessionManager();
    return *manager;
}

std::string igrWebPage() { return igrSessionManager().webPage(); }
