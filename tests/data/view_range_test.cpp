#include "data/client_services.h"
#include "data/targeting.h"
#include "data/view_range.h"
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Every request, notice and world call, in order.
class Recorder final : public ServerRequests, public GameStateService, public WindowNotices, public PointerService {
public:
    bool hasGameConnection() override { return true; }
    bool sendUpdateRange(uint8_t range) override { return log("range " + std::to_string(range)); }
    bool sendWarMode(uint8_t mode, const std::array<uint8_t, 3>& t) override
    {
        return log("war " + std::to_string(mode) + " " + std::to_string(t[0]) + " " + std::to_string(t[1]) + " "
            + std::to_string(t[2]));
    }
    bool sendResurrectionChoice(uint8_t choice) override { return log("resurrect " + std::to_string(choice)); }
    bool sendTextCommand(uint8_t type, std::string_view text) override
    {
        return log("command " + std::to_string(type) + " " + std::string(text));
    }
    bool sendConfigFile(uint8_t, std::span<const uint8_t>) override { return true; }
    bool sendLogoutConfirm() override { return true; }

    bool isInGame() override { return inGame; }
    void setPlayerInGame(bool value) override { inGame = value; }
    bool hasPlayer() override { return player; }
    int32_t playerUpdateRange() override { return playerRange; }
    bool isPlayerDead() override { return dead; }
    bool playerWarFlag() override { return war; }
    void setPlayerWarFlag(bool on) override
    {
        war = on;
        log(on ? "flag war" : "flag peace");
    }
    void redrawRangeColouring() override { log("recolour"); }
    void clearWorldViewHighlight() override { log("unhighlight"); }
    void resetWorldForConnect() override { log("reset world"); }
    void requestStopAllIgrSessions() override { log("stop sessions"); }

    void addSystemMessage(uint16_t, uint16_t, std::string_view text) override { log(std::string(text)); }
    void showWaitingBox(std::string_view text) override { log("box " + std::string(text)); }
    void clearAbilityIcons() override { log("icons"); }
    void showPlayerWarMode(bool on) override { log(on ? "shown war" : "shown peace"); }
    void clearPlacementPreview() override { log("preview"); }
    void reloadSkillGroups() override { }
    void reloadMacros() override { }

    void setCursorKind(int32_t kind) override { log("cursor " + std::to_string(kind)); }
    void setCursorForGumpType(int32_t type) override { log("gump cursor " + std::to_string(type)); }

    bool log(std::string entry)
    {
        calls.push_back(std::move(entry));
        return true;
    }

    bool inGame = true;
    bool player = true;
    int32_t playerRange = 18;
    bool dead = false;
    bool war = false;
    std::vector<std::string> calls;
};

class ClientActions : public ::testing::Test {
protected:
    ClientActions()
        : m_clock(1000000)
        , m_scoped(m_clock)
        , m_requests(m_recorder)
        , m_game(m_recorder)
        , m_notices(m_recorder)
        , m_pointer(m_recorder)
    {
        resetUpdateRange();
        updateRangeState().rangeColoring = true;
        warModeState() = WarModeState {};
        targetingState() = TargetingState {};
    }

    platform::FakeClock m_clock;
    platform::ScopedClock m_scoped;
    Recorder m_recorder;
    ScopedService<ServerRequests> m_requests;
    ScopedService<GameStateService> m_game;
    ScopedService<WindowNotices> m_notices;
    ScopedService<PointerService> m_pointer;
};

// ---- Update range ----------------------------------------------------------------------

TEST_F(ClientActions, AtTheTopIncreaseDoesNothingAndDecreaseAsksFor17)
{
    increaseUpdateRange();
    EXPECT_TRUE(m_recorder.calls.empty());
    EXPECT_FALSE(updateRangeState().autoUpdateRange);
    decreaseUpdateRange();
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 17" }));
}

TEST_F(ClientActions, TwoChangesApartSendOneNowAndOneAfterTheInterval)
{
    decreaseUpdateRange();
    m_clock.advance(100);
    decreaseUpdateRange();
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 17" }));
    EXPECT_EQ(currentUpdateRange(), 16);
    for (int frame = 0; frame < 20 && m_recorder.calls.size() == 1; ++frame) {
        m_clock.advance(50);
        viewRangeStep(640);
    }
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 17", "range 16" }));
    EXPECT_EQ(m_clock.tickMs() - 1000000, 800u) << "about 650 ms after the second change";
}

TEST_F(ClientActions, AutomaticRangeIs18ForBothGameWidths)
{
    m_recorder.playerRange = 12;
    viewRangeStep(640);
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 18" }));
    m_recorder.calls.clear();
    m_recorder.playerRange = 12;
    updateRangeState().lastSentUpdateRange = -1;
    m_clock.advance(1000);
    viewRangeStep(800);
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 18" }));
}

TEST_F(ClientActions, OutOfTheGameNothingIsSent)
{
    m_recorder.inGame = false;
    decreaseUpdateRange();
    viewRangeStep(640);
    EXPECT_TRUE(m_recorder.calls.empty());
    EXPECT_TRUE(updateRangeState().updateRangePending);
}

TEST_F(ClientActions, RangeInfoSaysDesiredAndCurrent)
{
    updateRangeInfo();
    m_recorder.playerRange = 9;
    updateRangeInfo();
    EXPECT_EQ(m_recorder.calls,
        (std::vector<std::string> { "Current update range is 18", "Desired update range is 18, current is 9" }));
}

TEST_F(ClientActions, RangeColouringRedrawsWhenItChanges)
{
    enableRangeColor();
    disableRangeColor();
    toggleRangeColor();
    EXPECT_TRUE(isRangeColorOn());
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "recolour", "recolour" }));
}

// ---- War mode ------------------------------------------------------------------------

TEST_F(ClientActions, ToggleWhileDeadAsksForResurrectionChoiceFirst)
{
    m_recorder.dead = true;
    setWarMode(-1);
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "resurrect 0", "war 1 4 0 0", "icons", "unhighlight" }));
    EXPECT_TRUE(isWarModeOnOrRequested());
}

TEST_F(ClientActions, ServerBytesReplaceTheStoredOnes)
{
    setWarMode(1);
    onWarModeChanged(1, { 0, 32, 7 });
    EXPECT_EQ(warModeState().warModeRequested, -1);
    EXPECT_TRUE(m_recorder.war);
    setWarMode(0);
    EXPECT_EQ(m_recorder.calls.back(), "unhighlight");
    EXPECT_EQ(m_recorder.calls[m_recorder.calls.size() - 3], "war 0 0 32 7");
    onWarModeChanged(1, { 0, 32, 7 });
    EXPECT_EQ(warModeState().warModeRequested, 0) << "a confirmation of another state leaves the request";
    EXPECT_FALSE(isWarModeOnOrRequested());
}

// ---- Targeting -----------------------------------------------------------------------

struct CommandCase {
    const char* label;
    TargetedCommand command;
    std::optional<TargetChoice> target;
    uint8_t type;
    const char* text;
};

class TargetedCommandText : public ::testing::TestWithParam<CommandCase> { };

TEST_P(TargetedCommandText, ByTypeAndId)
{
    uint8_t type = 0;
    EXPECT_EQ(targetedCommandText(GetParam().command, GetParam().target, type), GetParam().text);
    EXPECT_EQ(type, GetParam().type);
}

const TargetChoice kSpot { TargetKind::Land, false, false, 0, 100, 200, -5 };
const TargetChoice kMobile { TargetKind::Object, true, false, 0x1234, 1, 2, 3 };
const TargetChoice kItem { TargetKind::Object, false, false, 0x40000001, 1, 2, 3 };

INSTANTIATE_TEST_SUITE_P(Cases, TargetedCommandText,
    ::testing::Values(CommandCase { "NoTargetById", { "x", 0, 12 }, std::nullopt, 0x2F, "12" },
        CommandCase { "NoTargetByName", { "where", 0, 0 }, std::nullopt, 0x27, "where" },
        CommandCase { "LocationById", { "x", 1, 7 }, kSpot, 0x2F, "7 100 200 -5" },
        CommandCase { "LocationByName", { "tele", 1, 0 }, kSpot, 0x27, "tele 100 200 -5" },
        CommandCase { "LocationCancelled", { "tele", 1, 0 }, std::nullopt, 0x27, "" },
        CommandCase { "MobileById", { "x", 2, 3 }, kMobile, 0x2F, "3 4660" },
        CommandCase { "MobileByName", { "kill", 2, 0 }, kMobile, 0x27, "kill 4660" },
        CommandCase { "ItemIsNoMobile", { "kill", 2, 0 }, kItem, 0x27, "" }),
    [](const ::testing::TestParamInfo<CommandCase>& entry) { return std::string(entry.param.label); });

TEST_F(ClientActions, TargetedCommandWaitsForItsTargetThenEnds)
{
    beginTargetedCommand("kill", 2, 0);
    EXPECT_TRUE(targetingState().targetingActive);
    ASSERT_TRUE(targetingState().callback);
    targetingState().callback(kItem);
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_FALSE(targetingState().callback);
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "gump cursor 39", "cursor 19", "cursor 17", "preview" }))
        << "an object that is not a mobile sends nothing";
}

TEST_F(ClientActions, CommandTextsAreBounded)
{
    sendTextCommand(0x27, std::string(2000, 'a'));
    ASSERT_EQ(m_recorder.calls.size(), 1u);
    EXPECT_EQ(m_recorder.calls[0].size(), std::string("command 39 ").size() + kMaxCommandTextLength);
    m_recorder.calls.clear();
    beginTargetedCommand(std::string(2000, 'n'), 1, 0);
    targetingState().callback(kSpot);
    EXPECT_LE(m_recorder.calls[2].size(), std::string("command 39 ").size() + kMaxCommandTextLength);
}

TEST_F(ClientActions, ResetsBeforeANewConnection)
{
    decreaseUpdateRange();
    resetWorldSessionForConnect();
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "range 17", "reset world", "stop sessions" }));
    EXPECT_EQ(updateRangeState().desiredUpdateRange, kMaxUpdateRange);
    EXPECT_TRUE(updateRangeState().autoUpdateRange);
}

// ---- Web links -----------------------------------------------------------------------

TEST_F(ClientActions, OnlyWebLinksReachTheBrowserAsOneArgument)
{
    std::vector<std::string> opened;
    bool works = true;
    UrlOpener previous = installUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return works;
    });
    EXPECT_TRUE(openUrlInBrowser("https://example.net/a b\"c"));
    EXPECT_FALSE(openUrlInBrowser("file:///etc/passwd"));
    EXPECT_FALSE(openUrlInBrowser("-x http://a"));
    EXPECT_FALSE(openUrlInBrowser("http://"));
    works = false;
    EXPECT_FALSE(openUrlInBrowser("HTTP://example.net"));
    installUrlOpener(previous);
    EXPECT_EQ(opened, (std::vector<std::string> { "https://example.net/a b\"c", "HTTP://example.net" }));
    EXPECT_EQ(m_recorder.calls, (std::vector<std::string> { "box Web browser not found!" }));
}

TEST(ClientUtilities, VersionTextAndRandomBelow)
{
    EXPECT_STREQ(clientVersionString(), "5.0.1c");
    EXPECT_EQ(clientVersionString(), clientVersionString());
    for (int i = 0; i < 100; ++i) {
        int32_t value = randomBelow(7);
        EXPECT_GE(value, 0);
        EXPECT_LT(value, 7);
    }
    EXPECT_EQ(randomBelow(0), 0);
}

} // namespace
