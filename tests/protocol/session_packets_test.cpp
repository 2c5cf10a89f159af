#include "data/config_key_rules.h"
#include "data/server_config_store.h"
#include "data/settings_registry.h"
#include "data/settings_services.h"
#include "data/view_range.h"
#include "fixtures/language_files.h"
#include "fixtures/server_packet.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/protocol_text.h"
#include "protocol/server_requests.h"
#include "protocol/session_packets.h"
#include "protocol_test_state.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "text/cliloc_table.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace {

using Bytes = std::vector<uint8_t>;
using fixture::ServerPacket;

Bytes fixed(uint8_t id, std::initializer_list<uint8_t> payload)
{
    ServerPacket packet(id, ServerPacket::Length::Fixed);
    for (uint8_t byte : payload)
        packet.u8(byte);
    return packet.bytes();
}

class SessionPackets : public testing::Test {
protected:
    test::ProtocolTestState state;
};

// 0x53 -----------------------------------------------------------------------

struct LoginErrorCase {
    const char* name;
    uint8_t reason;
    bool withSelection;
    int32_t cliloc;
    CoveredWindow covered;
    bool returnToMenu;
    bool closesWindows;
    bool endsRoad;
};

class LoginError : public SessionPackets, public testing::WithParamInterface<LoginErrorCase> { };

TEST_P(LoginError, ClosesShowsAndEndsAsTheReasonSays)
{
    const LoginErrorCase& row = GetParam();
    state.screens.selectionOpen = row.withSelection;
    loginSession().loginInProgress = true;
    loginSession().attached = true;
    setInWorldFlag(true);
    handleLoginError(fixed(0x53, { row.reason }).data());
    ASSERT_NE(state.screens.lastMessage(), nullptr);
    EXPECT_EQ(state.screens.lastMessage()->text, clilocText(row.cliloc));
    EXPECT_EQ(state.screens.lastMessage()->covered, row.covered);
    EXPECT_EQ(state.screens.lastMessage()->returnToMenu, row.returnToMenu);
    EXPECT_EQ(state.screens.saw("closeWindowsForLoginError"), row.closesWindows);
    EXPECT_EQ(loginSession().loginInProgress, !row.endsRoad);
    EXPECT_EQ(loginSession().attached, !row.endsRoad);
}

INSTANTIATE_TEST_SUITE_P(Reasons, LoginError,
    testing::Values(
        LoginErrorCase { "NoCharacter", 0, true, 3000007, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase {
            "NoCharacterNoSelection", 0, false, 3000008, CoveredWindow::CharacterSelection, true, true, false },
        LoginErrorCase { "Blocked", 1, true, 3000009, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase { "Two", 2, true, 3000006, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase { "Three", 3, true, 3000014, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase { "ThreeNoSelection", 3, false, 3000014, CoveredWindow::MainMenu, false, true, false },
        LoginErrorCase { "Idle", 5, true, 3000012, CoveredWindow::MainMenu, false, true, true },
        LoginErrorCase { "Six", 6, true, 3000013, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase {
            "TransferKeepsWindows", 7, true, 3000005, CoveredWindow::CharacterSelection, false, false, false },
        LoginErrorCase { "ForcedLogout", 9, true, 1062848, CoveredWindow::CharacterSelection, true, true, true },
        LoginErrorCase { "Timeout", 10, true, 3000611, CoveredWindow::CharacterSelection, true, true, true },
        LoginErrorCase { "Eleven", 11, true, 3000014, CoveredWindow::CharacterSelection, false, true, false },
        LoginErrorCase { "Large", 200, false, 3000014, CoveredWindow::MainMenu, false, true, false }),
    [](const testing::TestParamInfo<LoginErrorCase>& row) { return std::string(row.param.name); });

TEST_F(SessionPackets, BlockedCharacterLeavesTheSelection)
{
    state.screens.selectionOpen = true;
    handleLoginError(fixed(0x53, { 1 }).data());
    EXPECT_TRUE(state.screens.saw("removeSelectedCharacter"));
}

TEST_F(SessionPackets, ForcedLogoutWritesTheDesktopAndLeavesTheWorld)
{
    class Steps final : public WorldEntrySteps {
    public:
        void writeDesktop() override { ++written; }
        int written { 0 };
    } steps;
    WorldEntrySteps* previous = installWorldEntrySteps(&steps);
    setInWorldFlag(true);
    state.gameState.inGame = true;
    handleLoginError(fixed(0x53, { 9 }).data());
    installWorldEntrySteps(previous);
    EXPECT_EQ(steps.written, 1);
    EXPECT_FALSE(inWorldFlag());
    EXPECT_FALSE(state.gameState.inGame);
}

TEST_F(SessionPackets, RefusalsThatKeepTheRoadKeepThePlayerInTheGame)
{
    state.gameState.inGame = true;
    handleLoginError(fixed(0x53, { 5 }).data());
    EXPECT_TRUE(state.gameState.inGame) << "an idle refusal ends the road, not the game";
}

using SessionPacketsDeathTest = SessionPackets;

TEST_F(SessionPacketsDeathTest, BlockedCharacterWithoutASelectionEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(handleLoginError(fixed(0x53, { 1 }).data()), testing::ExitedWithCode(0), "");
}

// 0x55 -----------------------------------------------------------------------

TEST_F(SessionPackets, LoginCompleteWaitsForTheMessageBoxButton)
{
    state.screens.waitingShown = true;
    handleLoginComplete(fixed(0x55, {}).data());
    EXPECT_TRUE(state.screens.saw("enterWorldOnWaitingButton"));
    EXPECT_FALSE(loginSession().loggedIn);
    EXPECT_FALSE(state.gameState.inGame);
}

TEST_F(SessionPackets, LoginCompleteWithoutABoxEntersTheWorldAtOnce)
{
    handleLoginComplete(fixed(0x55, {}).data());
    EXPECT_TRUE(loginSession().loggedIn);
    EXPECT_TRUE(state.gameState.inGame);
    EXPECT_TRUE(state.screens.saw("closeAllButPersistent"));
}

TEST_F(SessionPackets, EnteringTheWorldAppliesTheSoundAndDisplaySettings)
{
    class Sound final : public SoundSettingsService {
    public:
        void toggleSound(bool on) override { log.push_back(on ? "sound on" : "sound off"); }
        void toggleMusic(bool on) override { log.push_back(on ? "music on" : "music off"); }
        void setSoundVolume(uint8_t volume) override { log.push_back("volume " + std::to_string(volume)); }
        void setMusicVolume(uint8_t) override { }
        std::vector<std::string> log;
    } sound;
    class Display final : public DisplaySettingsService {
    public:
        void setDisplayMode(bool fullScreen) override { modes.push_back(fullScreen); }
        bool isFullScreen() override { return false; }
        void setGameWindowSize(int32_t, int32_t) override { }
        void setFullScreenRes(std::string_view) override { }
        void setShadedFonts(bool) override { }
        void setUse565(bool) override { }
        void setCensoredBloodColour(uint16_t) override { }
        void setEditServerMode(bool) override { }
        std::vector<bool> modes;
    } display;
    ScopedService<SoundSettingsService> soundGuard(sound);
    ScopedService<DisplaySettingsService> displayGuard(display);
    SettingsRegistry& registry = settings();
    registry.boolRow("Sound")->value = 1;
    registry.boolRow("Music")->value = 0;
    registry.boolRow("FullScreen")->value = 0;
    registry.integerRow("SoundVol")->value = 77;
    enterGameWorld();
    registry.resetSettingsToDefaults();
    EXPECT_EQ(sound.log, (std::vector<std::string> { "music off", "sound on", "volume 77" }));
    EXPECT_EQ(display.modes, (std::vector<bool> { false }));
}

TEST_F(SessionPackets, LeavingTheGameResetsTheSessionsWorld)
{
    loginSession().loggedIn = true;
    state.gameState.inGame = true;
    setInWorldFlag(true);
    setPlayerSerial(0x1234);
    leaveGameWorld();
    EXPECT_FALSE(loginSession().loggedIn);
    EXPECT_FALSE(state.gameState.inGame);
    EXPECT_FALSE(inWorldFlag());
    EXPECT_EQ(state.gameState.worldResets, 1);
    EXPECT_EQ(playerSerial(), 0u);
}

// Version, range, settings files, logout, property revision ------------------

TEST_F(SessionPackets, AssistVersionReplyCarriesTheValueAndTheText)
{
    PacketStorage<64> reply;
    ASSERT_TRUE(buildAssistVersionReplyPacket(reply, 5));
    Bytes expected = ServerPacket(0xBE).u32(5).bytes();
    for (char c : std::string("5.0.1c"))
        expected.push_back(uint8_t(c));
    expected.push_back(0);
    expected[2] = uint8_t(expected.size());
    EXPECT_EQ(Bytes(reply.data(), reply.data() + reply.length()), expected);
}

TEST_F(SessionPackets, VersionQuestionsAreAnsweredOnTheAskingConnection)
{
    auto* shown = new GameConnection;
    auto* asking = new GameConnection;
    shown->setCompressed(true);
    asking->setCompressed(true);
    addShardSession("shown", shown);
    ShardSession* session = addShardSession("asking", asking);
    setCurrentGameConnection(shown);
    setCurrentSession(session);
    handleVersionRequest(ServerPacket(0xBD).bytes().data());
    handleAssistVersionRequest(ServerPacket(0xBE).u32(5).bytes().data());
    EXPECT_EQ(asking->sendIdStats().entries().at(0xBD).count, 1u);
    EXPECT_EQ(asking->sendIdStats().entries().at(0xBE).bytes, 3u + 4u + 7u);
    EXPECT_TRUE(shown->sendIdStats().entries().empty());
}

TEST_F(SessionPackets, UpdateRangeSetsThePlayersRangeAndKeepsTheDesiredOne)
{
    initWorldObjects();
    resetUpdateRange();
    handleUpdateRange(fixed(0xC8, { 12 }).data()); // no player yet: nothing to change
    createPlayerObject();
    handleUpdateRange(fixed(0xC8, { 12 }).data());
    EXPECT_EQ(player()->getUpdateRange(), 12);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, kMaxUpdateRange);
    initWorldObjects();
    resetUpdateRange();
}

// The server-stored files: the handlers over the real store (the files
// themselves are tested with the store, tests/data).
class StoredSettings : public SessionPackets {
protected:
    StoredSettings()
        : m_previous(installServerConfigStore(&store))
    {
    }
    ~StoredSettings() override { installServerConfigStore(m_previous); }

    ServerConfigStore store;

private:
    ServerConfigStore* m_previous;
};

TEST_F(StoredSettings, LogoutReplyQuitsOrReturnsToTheMenu)
{
    store.setEnabled(true);
    store.setLogoutPending(true);
    store.setSyncFlag(1);
    state.gameState.inGame = true;
    handleLogoutOk(fixed(0xD1, { 1 }).data());
    EXPECT_TRUE(state.screens.saw("logoutToMainMenu"));
    EXPECT_FALSE(state.screens.saw("quitGame"));
    EXPECT_FALSE(store.isEnabled());
    EXPECT_FALSE(store.isLogoutPending());
    EXPECT_EQ(store.syncFlag(), 0);
    EXPECT_FALSE(state.gameState.inGame);

    store.setEnabled(true);
    store.setQuitPending(true);
    handleLogoutOk(fixed(0xD1, { 1 }).data());
    EXPECT_TRUE(state.screens.saw("quitGame"));
    EXPECT_FALSE(store.isQuitPending());
}

TEST_F(StoredSettings, LogoutConfirmationGoesOutOnlyWhileTheServerKeepsTheSettings)
{
    auto* connection = new GameConnection;
    connection->setCompressed(true);
    addShardSession("shown", connection);
    setCurrentGameConnection(connection);
    NetServerRequests requests;
    EXPECT_FALSE(requests.sendLogoutConfirm());
    EXPECT_TRUE(connection->sendIdStats().entries().empty());
    store.setEnabled(true);
    EXPECT_TRUE(requests.sendLogoutConfirm());
    EXPECT_EQ(connection->sendIdStats().entries().at(0xD1).count, 1u);
}

TEST_F(StoredSettings, DebugLinesNameTheFile)
{
    configValues().runtimeDebugMessages = true;
    handleConfigFile(ServerPacket(0xD0).u8(4).bytes().data());
    handleLogoutOk(fixed(0xD1, { 1 }).data());
    configValues().runtimeDebugMessages = false;
    ASSERT_EQ(state.messages.lines.size(), 2u);
    EXPECT_EQ(state.messages.lines[0].text, "Got config file packet from server!  File 4.");
    EXPECT_EQ(state.messages.lines[0].hue, 33);
    EXPECT_EQ(state.messages.lines[1].text, "Got Logout OK packet!");
}

TEST_F(SessionPackets, PropertyRevisionGoesToTheCache)
{
    class Revisions final : public PropertyListRevisions {
    public:
        void revisionAnnounced(uint32_t serial, uint32_t revision) override { seen.push_back({ serial, revision }); }
        std::vector<std::pair<uint32_t, uint32_t>> seen;
    } revisions;
    PropertyListRevisions* previous = installPropertyListRevisions(&revisions);
    handlePropertyRevision(ServerPacket(0xDC, ServerPacket::Length::Fixed).u32(0x40001234).u32(7).bytes().data());
    installPropertyListRevisions(previous);
    EXPECT_EQ(revisions.seen, (std::vector<std::pair<uint32_t, uint32_t>> { { 0x40001234, 7 } }));
}

TEST_F(SessionPackets, GmQueueCommandCarriesItsTextsWithTerminators)
{
    PacketStorage<128> packet;
    ASSERT_TRUE(buildGmQueueCommandPacket(packet, "ESCALATE", "Bo", u"hi", u""));
    Bytes expected = { 0x12, 0, 0, 0xF7 };
    for (char c : std::string("ESCALATE"))
        expected.push_back(uint8_t(c));
    expected.insert(expected.end(), { 0, 0, 2, 'B', 'o', 0, 6, 'h', 0, 'i', 0, 0, 0, 0, 2, 0, 0 });
    expected[2] = uint8_t(expected.size());
    EXPECT_EQ(Bytes(packet.data(), packet.data() + packet.length()), expected);
}

// 0xDB -----------------------------------------------------------------------

// The transfer log, written in a working directory of its own, with a fixed
// clock and time zone and a small string table.
class TransferLog : public SessionPackets {
protected:
    TransferLog()
        : m_previousDirectory(std::filesystem::current_path())
        , m_clockGuard(m_clock)
    {
        std::filesystem::current_path(m_directory.path());
        tzset();
        m_clock.setUnixSeconds(1000000000); // Sun Sep  9 01:46:40 2001 UTC
        auto table = std::make_unique<ClilocTable>();
        std::string image
            = fixture::clilocImage({ { 1060000, "A crate of ~1_COUNT~ logs" }, { 1060001, "A lantern" } });
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
        loginSession().accountName = "tester";
        loginSession().shardName = "Test Shard";
        loginSession().playerName = "Aldric";
    }
    ~TransferLog() override
    {
        setClilocTable(nullptr);
        std::filesystem::current_path(m_previousDirectory);
    }

    std::string log() const { return test::TempDir::read(m_directory.file(kTransferLogFile)); }

    static std::string header()
    {
        std::string rule(80, '-');
        return rule
            + "\nDate: Sun Sep  9 01:46:40 2001\nAccount: tester\nServer: Test Shard\nCharacter: Aldric\n"
              "Transfer ID: 4660\n"
            + rule + "\n\n";
    }

private:
    test::TempDir m_directory;
    std::filesystem::path m_previousDirectory;
    test::ScopedEnvironment m_zone { "TZ", "UTC" };
    platform::FakeClock m_clock;
    platform::ScopedClock m_clockGuard;
};

// Little-endian fields of the item section.
ServerPacket& le32(ServerPacket& packet, uint32_t value)
{
    return packet.u8(uint8_t(value)).u8(uint8_t(value >> 8)).u8(uint8_t(value >> 16)).u8(uint8_t(value >> 24));
}
ServerPacket& le16(ServerPacket& packet, uint16_t value) { return packet.u8(uint8_t(value)).u8(uint8_t(value >> 8)); }

TEST_F(TransferLog, OneItemWithATextAndATransferCrate)
{
    ServerPacket packet(0xDB);
    packet.u32(kTransferLogKind).u32(16 + 8 + 14 + 6);
    le32(le32(le32(packet, 0x1234), 0), 0);
    le32(le32(packet, 77), 14 + 6); // item 77, block of two entries
    le32(packet, 1060000);
    le16(packet, 4).u8('1').u8(0).u8('2').u8(0); // the argument "12"
    le32(packet, 0);
    le16(packet, 0);
    handleTransferLog(packet.bytes().data());
    EXPECT_EQ(log(), header() + "Item 77 - A crate of 12 logs\nTransfer Crate\n\n\n");
}

TEST_F(TransferLog, ZeroTextWithThreeBytesLeftEndsTheBlock)
{
    ServerPacket packet(0xDB);
    packet.u32(kTransferLogKind).u32(16 + 8 + 9);
    le32(le32(le32(packet, 0x1234), 0), 0);
    le32(le32(packet, 5), 9); // a crate entry, then 3 bytes of the block
    le32(packet, 0);
    le16(packet, 0);
    le32(packet, 0);
    handleTransferLog(packet.bytes().data());
    EXPECT_EQ(log(), header() + "Item 5 - Transfer Crate\n\n\n");
}

TEST_F(TransferLog, OtherKindsWriteNothing)
{
    handleTransferLog(ServerPacket(0xDB).u32(186).u32(16).u32(0).u32(0).u32(0).bytes().data());
    EXPECT_EQ(log(), "");
}

TEST_F(TransferLog, LengthsBeyondThePacketEndWithThePacket)
{
    // A total and a block length in the billions: the log ends where the
    // packet does instead of writing line after line of zeros.
    ServerPacket packet(0xDB);
    packet.u32(kTransferLogKind).u32(0xFFFFFFF0);
    le32(le32(le32(packet, 0x1234), 0), 0);
    le32(le32(packet, 9), 0xFFFFFF00);
    le32(packet, 1060001);
    le16(packet, 0);
    le32(packet, 0);
    le16(packet, 0);
    handleTransferLog(packet.bytes().data());
    EXPECT_EQ(log(), header() + "Item 9 - A lantern\nTransfer Crate\n\n\n");
}

} // namespace
