// Internet-game-room sessions against a stand-in accounting service and a
// clock of the test's own, which the session threads advance as they wait.

#include "data/file_manager.h"
#include "frontend/igr_sessions.h"
#include "platform/accounting_service.h"
#include "platform/key_store.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class TestClock final : public IgrClock {
public:
    uint32_t tickMs() override { return m_tick.load(); }
    void sleepMs(uint32_t milliseconds) override
    {
        m_tick += milliseconds;
        // Some real time passes too (a tenth of the clock's), so that on a
        // loaded machine a session thread is scheduled before a wait of the
        // test's clock has run out.
        std::this_thread::sleep_for(std::chrono::microseconds(uint64_t(milliseconds) * 100));
    }

private:
    std::atomic<uint32_t> m_tick { 1000 };
};

struct Report {
    std::string textA;
    std::string command;
    uint32_t at;
};

// Records every report; refuses START while `refuseStart` is set, and keeps
// a START waiting while `holdStart` is set, until released.
class TestAccounting final : public platform::AccountingService {
public:
    explicit TestAccounting(IgrClock& clock)
        : m_clock(clock)
    {
    }
    bool isAvailable() const override { return true; }
    bool sendPingMessage(const std::string& textA, int32_t, const std::string&, const std::string& query) override
    {
        const std::string command = query.substr(8, query.find('&') - 8);
        std::unique_lock<std::mutex> lock(m_mutex);
        reports.push_back({ textA, command, m_clock.tickMs() });
        if (command == kIgrStartCommand) {
            m_released.wait(lock, [this] { return !holdStart; });
            return !refuseStart;
        }
        return true;
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        holdStart = false;
        m_released.notify_all();
    }
    std::vector<Report> snapshot()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return reports;
    }
    int32_t count(const std::string& textA, const char* command)
    {
        int32_t found = 0;
        for (const Report& report : snapshot())
            found += report.textA == textA && report.command == command;
        return found;
    }

    std::atomic<bool> refuseStart { false };
    bool holdStart = false;

private:
    IgrClock& m_clock;
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::vector<Report> reports;
};

// Waits in real time for a condition the session threads bring about.
template <typename Condition>
bool eventually(Condition condition)
{
    for (int i = 0; i < 10000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

IgrSessionSettings sessionSettings(const std::string& name, uint32_t heartbeatSeconds)
{
    IgrSessionSettings settings;
    settings.user = "tester";
    settings.textA = name;
    settings.heartbeatSeconds = heartbeatSeconds;
    settings.igrId = "ROOM-0001";
    settings.contextId = "context";
    settings.serviceId = 7;
    return settings;
}

class IgrSessionTest : public ::testing::Test {
protected:
    IgrSessionTest()
        : store(temp.file("registry.ini"))
        , previousStore(platform::installKeyStore(&store))
    {
        store.createKey(kProductKeyPath);
    }
    ~IgrSessionTest() override
    {
        accounting.release();
        manager.requestStopAllSessions();
        eventually([this] { return manager.sessionCount() == 0; });
        platform::installKeyStore(previousStore);
    }

    test::TempDir temp;
    platform::KeyStore store;
    platform::KeyStore* previousStore;
    TestClock clock;
    TestAccounting accounting { clock };
    IgrSessionManager manager { &clock, &accounting };
};

TEST_F(IgrSessionTest, ASecondSessionStopsTheFirstWhichReportsItsEnd)
{
    manager.startSession(sessionSettings("first", 600));
    ASSERT_TRUE(eventually([this] { return accounting.count("first", kIgrStartCommand) == 1; }));
    manager.startSession(sessionSettings("second", 600));
    ASSERT_TRUE(eventually([this] { return accounting.count("first", kIgrEndCommand) == 1; }));
    EXPECT_TRUE(eventually([this] { return manager.sessionCount() == 1; }));
    EXPECT_EQ(accounting.count("second", kIgrEndCommand), 0) << "the second runs on";
    EXPECT_TRUE(manager.isIgrMode());
    manager.stopAllSessions();
    EXPECT_EQ(accounting.count("second", kIgrEndCommand), 1);
    EXPECT_EQ(manager.sessionCount(), 0u);
}

TEST_F(IgrSessionTest, HeartbeatsFollowTheIntervalAfterTheStart)
{
    manager.startSession(sessionSettings("beat", 2));
    ASSERT_TRUE(eventually([this] { return accounting.count("beat", kIgrHeartbeatCommand) >= 3; }));
    manager.stopAllSessions();
    const std::vector<Report> reports = accounting.snapshot();
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports.front().command, kIgrStartCommand);
    EXPECT_EQ(reports.back().command, kIgrEndCommand);
    for (size_t i = 1; i + 1 < reports.size() && i < 3; ++i)
        EXPECT_GE(reports[i].at - reports[i - 1].at, 2000u) << i;
}

TEST_F(IgrSessionTest, ASessionWhoseStartWasNeverAcceptedStillReportsItsEnd)
{
    accounting.refuseStart = true;
    manager.startSession(sessionSettings("refused", 2));
    ASSERT_TRUE(eventually([this] { return accounting.count("refused", kIgrStartCommand) >= 3; }));
    manager.stopAllSessions();
    EXPECT_EQ(accounting.count("refused", kIgrEndCommand), 1);
    EXPECT_EQ(accounting.count("refused", kIgrHeartbeatCommand), 0);
}

TEST_F(IgrSessionTest, ARefusedStartIsTriedAgainOnlyAfterAPollingStep)
{
    accounting.refuseStart = true;
    manager.startSession(sessionSettings("paced", 0));
    ASSERT_TRUE(eventually([this] { return accounting.count("paced", kIgrStartCommand) >= 5; }));
    manager.stopAllSessions();
    std::vector<uint32_t> starts;
    for (const Report& report : accounting.snapshot()) {
        if (report.command == kIgrStartCommand)
            starts.push_back(report.at);
    }
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_GE(starts[i] - starts[i - 1], IgrSessionManager::kPollStepMs) << i;
}

TEST_F(IgrSessionTest, ASessionThatDoesNotEndIsLeftAfterFiveSeconds)
{
    accounting.holdStart = true;
    manager.startSession(sessionSettings("hung", 60));
    ASSERT_TRUE(eventually([this] { return accounting.count("hung", kIgrStartCommand) == 1; }));
    const uint32_t before = clock.tickMs();
    manager.stopAllSessions();
    EXPECT_GE(clock.tickMs() - before, IgrSessionManager::kStopWaitMs);
    EXPECT_EQ(manager.sessionCount(), 1u) << "left running";
    accounting.release();
    EXPECT_TRUE(eventually([this] { return manager.sessionCount() == 0; }));
    EXPECT_EQ(accounting.count("hung", kIgrEndCommand), 1);
}

TEST_F(IgrSessionTest, ANewRoomIdIsKeptOnceTheRegistryHoldsIt)
{
    manager.startSession(sessionSettings("one", 600));
    EXPECT_EQ(manager.currentId(), "ROOM-0001");
    std::string stored;
    ASSERT_TRUE(store.readString(kProductKeyPath, "noid", stored));
    EXPECT_EQ(stored, "ROOM-0001");
    const std::vector<uint8_t> id = manager.igrId();
    ASSERT_EQ(id.size(), 16u);
    EXPECT_EQ(std::string(id.begin(), id.begin() + 9), "ROOM-0001");
    EXPECT_EQ(id[9], 0);
}

TEST_F(IgrSessionTest, TheRegistryGivesTheRoomAndItsPage)
{
    EXPECT_FALSE(manager.loadRegistryValues());
    EXPECT_FALSE(manager.isIgrMode());
    store.writeString(kProductKeyPath, "noid", "ROOM-7");
    EXPECT_FALSE(manager.loadRegistryValues()) << "the page is still missing";
    EXPECT_TRUE(manager.isIgrMode());
    store.writeString(kProductKeyPath, "nourl", "https://room.example/");
    EXPECT_TRUE(manager.loadRegistryValues());
    EXPECT_EQ(manager.webPage(), "https://room.example/");
    // A value too long for the buffer does not read at all.
    store.writeString(kProductKeyPath, "nourl", std::string(2000, 'x'));
    EXPECT_FALSE(manager.loadRegistryValues());
    EXPECT_EQ(manager.webPage(), "https://room.example/");
}

TEST(IgrQuery, NamesTheCommandTheUserAndTheRoom)
{
    IgrSessionSettings settings = sessionSettings("a", 1);
    settings.user = "default";
    EXPECT_EQ(igrQueryText(kIgrStartCommand, settings),
        "command=IGRSTARTGAME&username=default&igrID=ROOM-0001&contextID=context&serviceID=7");
    settings.user = std::string(3000, 'u');
    EXPECT_EQ(igrQueryText(kIgrEndCommand, settings).size(), IgrSessionManager::kMaxQueryLength);
}

TEST(IgrPlatform, TheServiceIsNotAvailableHereAndRefusesEveryReport)
{
    EXPECT_FALSE(platform::accountingService().isAvailable());
    EXPECT_FALSE(platform::accountingService().sendPingMessage("a", 1, "b", "command=IGRSTARTGAME"));
}

} // namespace
