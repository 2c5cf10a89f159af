#include "net/game_connection.h"
#include "net/network_pump.h"
#include "net/shard_sessions.h"
#include "platform/clock.h"
#include "support/test_server_peer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using test::TestServerPeer;

class RecordingHost final : public ShardSessionHost {
public:
    void deferredGameConnect(uint32_t address, uint16_t port) override { connects.push_back({ address, port }); }
    void sendAccountLogin(GameConnection&) override { ++accountLogins; }
    bool loginServerInUse(uint32_t& address, uint16_t& port) override
    {
        address = loginAddress;
        port = loginPort;
        return true;
    }
    bool isLoginFlowActive() override { return loginFlowActive; }
    bool hasEnteredWorld() override { return enteredWorld; }
    const std::string& accountName() override { return account; }
    void leaveShardWorld() override { log.push_back("leave"); }
    void saveSessionState(ShardSession& session) override { log.push_back("save " + session.name); }
    void restoreSessionState(const ShardSession& session) override { log.push_back("restore " + session.name); }
    void addSystemMessage(const std::string& text) override { messages.push_back(text); }
    void sendSpeechUnthrottled(const std::string& text) override { speech.push_back(text); }
    void setWindowTitle(const std::u16string& title) override { titles.push_back(title); }
    bool isWaitingShown() override { return waitingShown; }
    void dropHeldItem() override { log.push_back("dropHeldItem"); }
    void showConnectionLost() override
    {
        waitingShown = true;
        log.push_back("connectionLost");
    }
    void leaveWorldOnWaitingButton() override { log.push_back("leaveWorldOnWaitingButton"); }
    void renderFrame() override { ++frames; }
    // Answers at once, as a player who picks `menuAnswer` (0: closes the menu).
    void chooseShard(const std::vector<ShardMenuEntry>& entries, std::function<void(int32_t)> chosen) override
    {
        menus.push_back(entries);
        if (menuAnswer != 0)
            chosen(menuAnswer);
    }
    void pollMessenger() override { ++messengerPolls; }

    std::vector<std::pair<uint32_t, uint16_t>> connects;
    int accountLogins { 0 };
    uint32_t loginAddress { 0 };
    uint16_t loginPort { 0 };
    bool loginFlowActive { false };
    bool enteredWorld { false };
    bool waitingShown { false };
    std::string account { "tester" };
    std::vector<std::string> log;
    std::vector<std::string> messages;
    std::vector<std::string> speech;
    std::vector<std::u16string> titles;
    std::vector<std::vector<ShardMenuEntry>> menus;
    int32_t menuAnswer { 0 };
    int frames { 0 };
    int messengerPolls { 0 };
};

class Sessions : public testing::Test {
protected:
    Sessions()
        : m_routing(installSessionRouting())
        , m_host(setShardSessionHost(&host))
        , m_current(currentGameConnection())
    {
        setCurrentGameConnection(nullptr);
    }
    ~Sessions() override
    {
        destroyAllSessions();
        destroyAllConnections();
        setCurrentGameConnection(m_current);
        setShardSessionHost(m_host);
        setGameConnectionHandler(m_routing);
        setInWorldFlag(false);
    }

    // A session whose connection is connected to its own loopback peer.
    ShardSession& connectedSession(
        const std::string& name, TestServerPeer& peer, int16_t x = 0, int16_t y = 0, int16_t z = 0)
    {
        auto* connection = new GameConnection;
        ShardSession* session = addShardSession(name, connection);
        EXPECT_TRUE(connection->connect(TestServerPeer::address(), peer.port()));
        EXPECT_TRUE(peer.accept());
        std::vector<uint8_t> seed;
        EXPECT_TRUE(peer.readRaw(seed, 4));
        session->x = x;
        session->y = y;
        session->z = z;
        return *session;
    }

    // Pumps until the session list has `count` sessions (or about a second).
    void pumpUntilSessions(size_t count)
    {
        for (int pass = 0; pass < 200 && sessionList().size() != count; ++pass)
            pollConnections(5);
    }

    RecordingHost host;

private:
    GameConnectionHandler* m_routing;
    ShardSessionHost* m_host;
    GameConnection* m_current;
};

TEST_F(Sessions, LosingABackgroundShardLeavesTheShownOneAlone)
{
    TestServerPeer shownPeer;
    TestServerPeer backgroundPeer;
    ShardSession& shown = connectedSession("Shown", shownPeer);
    connectedSession("Behind", backgroundPeer);
    setCurrentGameConnection(shown.connection);
    backgroundPeer.closeConnection();
    pumpUntilSessions(1);
    ASSERT_EQ(sessionList().size(), 1u);
    EXPECT_EQ(sessionList()[0], &shown);
    EXPECT_EQ(currentGameConnection(), shown.connection);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.speech.empty());
}

TEST_F(Sessions, LosingTheShownShardSwitchesToTheNextAndTeleportsThere)
{
    TestServerPeer shownPeer;
    TestServerPeer otherPeer;
    ShardSession& shown = connectedSession("Shown", shownPeer);
    ShardSession& other = connectedSession("Other", otherPeer, 1234, -56, 7);
    setCurrentGameConnection(shown.connection);
    shownPeer.closeConnection();
    pumpUntilSessions(1);
    ASSERT_EQ(sessionList().size(), 1u);
    EXPECT_EQ(currentGameConnection(), other.connection);
    EXPECT_EQ(host.log, (std::vector<std::string> { "leave", "restore Other" }));
    EXPECT_EQ(host.messages, (std::vector<std::string> { "Switching server!" }));
    EXPECT_EQ(host.speech, (std::vector<std::string> { "=tp (1234 -56 7)" }));
    EXPECT_EQ(host.titles, (std::vector<std::u16string> { u"tester (Other)" }));
}

TEST_F(Sessions, ALossEndsTheSessionOfTheLostConnectionWhicheverSessionIsBeingHandled)
{
    TestServerPeer shownPeer;
    TestServerPeer otherPeer;
    ShardSession& shown = connectedSession("Shown", shownPeer);
    ShardSession& other = connectedSession("Other", otherPeer);
    setCurrentGameConnection(shown.connection);
    // While a packet of the other shard is handled, a flush finds the shown
    // shard's connection lost.
    setCurrentSession(&other);
    shown.connection->onConnectionLost(u"");
    setCurrentSession(nullptr);
    ASSERT_EQ(sessionList().size(), 1u);
    ASSERT_EQ(sessionList()[0], &other);
    EXPECT_TRUE(other.connection->isOpen());
    EXPECT_EQ(currentGameConnection(), other.connection) << "the remaining shard is switched to";
}

TEST_F(Sessions, CloseFlagClosesAndRemovesTheSessionInTheNextPass)
{
    TestServerPeer shownPeer;
    TestServerPeer otherPeer;
    ShardSession& shown = connectedSession("Shown", shownPeer);
    ShardSession& other = connectedSession("Other", otherPeer);
    setCurrentGameConnection(shown.connection);
    other.closeRequested = true;
    pollConnections(0);
    ASSERT_EQ(sessionList().size(), 1u);
    EXPECT_EQ(sessionList()[0], &shown);
}

TEST_F(Sessions, LosingTheLastSessionShowsConnectionLostWhileLoggingIn)
{
    TestServerPeer peer;
    ShardSession& only = connectedSession("Only", peer);
    setCurrentGameConnection(only.connection);
    host.loginFlowActive = true;
    platform::FakeClock fake(5000);
    platform::ScopedClock clockGuard(fake);
    peer.closeConnection();
    pumpUntilSessions(0);
    EXPECT_TRUE(sessionList().empty());
    EXPECT_EQ(host.log, (std::vector<std::string> { "dropHeldItem", "connectionLost" }));
    EXPECT_EQ(host.frames, 1);
    // The pause after the message lets it be seen.
    EXPECT_EQ(fake.tickMs(), 5000u + 76u);
}

// A refusal in the world ended the login road and closed the connection:
// the player is still told, or the box already up takes the way back.
TEST_F(Sessions, LosingTheLastSessionInTheWorldAlwaysLeadsBackToTheMenu)
{
    platform::FakeClock fake(5000);
    platform::ScopedClock clockGuard(fake);
    for (bool boxShown : { false, true }) {
        TestServerPeer peer;
        ShardSession& only = connectedSession("Only", peer);
        setCurrentGameConnection(only.connection);
        host.enteredWorld = true;
        host.loginFlowActive = false;
        host.waitingShown = boxShown;
        host.log.clear();
        peer.closeConnection();
        pumpUntilSessions(0);
        EXPECT_TRUE(sessionList().empty());
        const std::vector<std::string> expected = boxShown
            ? std::vector<std::string> { "leaveWorldOnWaitingButton" }
            : std::vector<std::string> { "dropHeldItem", "connectionLost" };
        EXPECT_EQ(host.log, expected) << (boxShown ? "with a box shown" : "without a box");
    }
}

TEST_F(Sessions, LosingTheLastSessionOutsideTheLoginRoadShowsNothing)
{
    TestServerPeer peer;
    ShardSession& only = connectedSession("Only", peer);
    setCurrentGameConnection(only.connection);
    peer.closeConnection();
    pumpUntilSessions(0);
    EXPECT_TRUE(sessionList().empty());
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(host.frames, 0);
}

TEST_F(Sessions, WhileQuittingAClosedConnectionReportsNoLoss)
{
    TestServerPeer peer;
    ShardSession& only = connectedSession("Only", peer);
    only.connection->close();
    setAppQuitting(true);
    pollConnections(0);
    setAppQuitting(false);
    EXPECT_EQ(sessionList().size(), 1u);
}

TEST_F(Sessions, DeferredConnectRunsOnceInTheNextPass)
{
    auto* connection = new GameConnection;
    ShardSession* session = addShardSession("", connection);
    setCurrentSession(session);
    requestDeferredConnect(0x7F000002u, 2593);
    setCurrentSession(nullptr);
    EXPECT_TRUE(host.connects.empty());
    pollConnections(0);
    pollConnections(0);
    EXPECT_EQ(host.connects, (std::vector<std::pair<uint32_t, uint16_t>> { { 0x7F000002u, 2593 } }));
}

TEST_F(Sessions, ConnectingByANameThatDiffersOnlyInCaseFindsTheSession)
{
    TestServerPeer peer;
    ShardSession& shown = connectedSession("Bright Harbor", peer);
    setCurrentGameConnection(shown.connection);
    connectShardByName("bright HARBOR", -1);
    EXPECT_EQ(sessionList().size(), 1u);
    EXPECT_EQ(host.messages, (std::vector<std::string> { "You are already connected to that shard!" }));
    EXPECT_EQ(host.accountLogins, 0);
}

TEST_F(Sessions, ConnectingToANewShardLogsInOnItsOwnSecondaryConnection)
{
    TestServerPeer login;
    host.loginAddress = TestServerPeer::address();
    host.loginPort = login.port();
    connectShardByName("Far Shore", 3);
    ASSERT_EQ(sessionList().size(), 1u);
    ShardSession& session = *sessionList()[0];
    EXPECT_EQ(session.name, "Far Shore");
    EXPECT_EQ(session.autoSwitchRequest, 3);
    ASSERT_NE(session.connection, nullptr);
    EXPECT_TRUE(session.connection->isOpen());
    EXPECT_TRUE(session.connection->isSecondary());
    EXPECT_FALSE(session.connection->isCompressed());
    EXPECT_EQ(host.accountLogins, 1);
}

TEST_F(Sessions, ShardMenuGreysEveryEntryUntilTheShownShardConfirms)
{
    TestServerPeer firstPeer;
    TestServerPeer secondPeer;
    ShardSession& first = connectedSession("First", firstPeer);
    connectedSession("Second", secondPeer);
    setCurrentGameConnection(first.connection);
    shardPopupMenu(false, [](int32_t) { });
    ASSERT_EQ(host.menus.size(), 1u);
    for (const ShardMenuEntry& entry : host.menus[0]) {
        EXPECT_TRUE(entry.greyed) << entry.label;
        EXPECT_TRUE(entry.label.ends_with(" (connecting)")) << entry.label;
    }
    // The shown shard's state is saved before the menu is shown.
    EXPECT_EQ(host.log, (std::vector<std::string> { "save First" }));

    first.connection->setConfirmed(true);
    shardPopupMenu(true, [](int32_t) { });
    ASSERT_EQ(host.menus.size(), 2u);
    EXPECT_EQ(host.menus[1][0].label, "First");
    EXPECT_TRUE(host.menus[1][0].greyed);
    EXPECT_EQ(host.menus[1][1].label, "Second");
    EXPECT_FALSE(host.menus[1][1].greyed);
}

TEST_F(Sessions, SwitchingThroughTheMenuActivatesTheChosenSession)
{
    TestServerPeer firstPeer;
    TestServerPeer secondPeer;
    ShardSession& first = connectedSession("First", firstPeer);
    ShardSession& second = connectedSession("Second", secondPeer, 1, 2, 3);
    setCurrentGameConnection(first.connection);
    first.connection->setConfirmed(true);
    host.menuAnswer = second.connection->handle();
    switchToShard(-1);
    EXPECT_EQ(currentGameConnection(), second.connection);
    EXPECT_EQ(host.speech, (std::vector<std::string> { "=tp (1 2 3)" }));
    // Nothing chosen changes nothing.
    host.menuAnswer = 0;
    switchToShard(-1);
    EXPECT_EQ(currentGameConnection(), second.connection);
}

TEST_F(Sessions, ClosingThroughTheMenuMarksOnlyTheChosenSession)
{
    TestServerPeer firstPeer;
    TestServerPeer secondPeer;
    ShardSession& first = connectedSession("First", firstPeer);
    ShardSession& second = connectedSession("Second", secondPeer);
    setCurrentGameConnection(first.connection);
    first.connection->setConfirmed(true);
    host.menuAnswer = 0;
    closeShardFromMenu();
    EXPECT_FALSE(first.closeRequested || second.closeRequested);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_FALSE(host.menus[0][0].greyed) << "the shown shard may be closed too";
    host.menuAnswer = second.connection->handle();
    closeShardFromMenu();
    EXPECT_FALSE(first.closeRequested);
    EXPECT_TRUE(second.closeRequested);
}

class KeepAlive : public testing::Test {
protected:
    KeepAlive()
        : m_current(currentGameConnection())
        , m_clockGuard(fake)
    {
        setCurrentGameConnection(&connection);
        // Outside the world on a login connection every frame restarts the count.
        frameAt(100000);
    }
    ~KeepAlive() override
    {
        setCurrentGameConnection(m_current);
        setInWorldFlag(false);
    }

    uint32_t keepAlivesQueued() const
    {
        const auto& entries = connection.sendIdStats().entries();
        auto found = entries.find(0x73);
        return found == entries.end() ? 0 : found->second.count;
    }
    // One frame's keep-alive step at the given second.
    void frameAt(uint32_t second)
    {
        fake.setUnixSeconds(second);
        sendKeepAlive();
    }

    GameConnection connection;
    platform::FakeClock fake;

private:
    GameConnection* m_current;
    platform::ScopedClock m_clockGuard;
};

TEST_F(KeepAlive, NeverOnTheLoginConnection)
{
    for (uint32_t second = 100000; second < 100400; second += 7)
        frameAt(second);
    EXPECT_EQ(keepAlivesQueued(), 0u);
}

TEST_F(KeepAlive, InTheWorldTheFirstGoesOutAfter61SecondsNot60)
{
    frameAt(100000); // on the login server: the count starts here
    setInWorldFlag(true);
    frameAt(100060);
    EXPECT_EQ(keepAlivesQueued(), 0u);
    frameAt(100061);
    EXPECT_EQ(keepAlivesQueued(), 1u);
    frameAt(100121);
    EXPECT_EQ(keepAlivesQueued(), 1u);
    frameAt(100122);
    EXPECT_EQ(keepAlivesQueued(), 2u);
}

TEST_F(KeepAlive, AGameServerConnectionIsKeptAliveBeforeTheWorld)
{
    connection.setCompressed(true);
    frameAt(100000);
    frameAt(100061);
    EXPECT_EQ(keepAlivesQueued(), 1u);
}

TEST_F(KeepAlive, AClockSetBackSendsAtOnceAndCountsFromThere)
{
    setInWorldFlag(true);
    frameAt(99000);
    EXPECT_EQ(keepAlivesQueued(), 1u);
    frameAt(99061);
    EXPECT_EQ(keepAlivesQueued(), 2u);
}

} // namespace
