#include "fixtures/language_files.h"
#include "fixtures/server_packet.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "protocol/protocol_text.h"
#include "protocol/session_packets.h"
#include "protocol_test_state.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "text/cliloc_table.h"

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
    handleLoginError(fixed(0x53, { 9 }).data());
    installWorldEntrySteps(previous);
    EXPECT_EQ(steps.written, 1);
    EXPECT_FALSE(inWorldFlag());
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
}

TEST_F(SessionPackets, LoginCompleteWithoutABoxEntersTheWorldAtOnce)
{
    handleLoginComplete(fixed(0x55, {}).data());
    EXPECT_TRUE(loginSession().loggedIn);
    EXPECT_TRUE(state.screens.saw("closeAllButPersistent"));
}

// Version, range, settings files, logout, property revision ------------------

TEST_F(SessionPackets, VersionTextIsTheClientsOwn) { EXPECT_STREQ(clientVersionString(), "5.0.1c"); }

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

TEST_F(SessionPackets, UpdateRangeGoesToTheWorld)
{
    handleUpdateRange(fixed(0xC8, { 12 }).data());
    EXPECT_EQ(state.world.log, (std::vector<std::string> { "range 12" }));
    PacketStorage<4> request;
    ASSERT_TRUE(buildUpdateRangePacket(request, 15));
    EXPECT_EQ(Bytes(request.data(), request.data() + request.length()), (Bytes { 0xC8, 15 }));
}

class RecordingStore final : public ServerSettingsStore {
public:
    bool isEnabled() override { return enabled; }
    void receiveFile(uint8_t number, std::span<const uint8_t> data) override
    {
        files.push_back({ number, Bytes(data.begin(), data.end()) });
    }
    bool logoutConfirmed() override
    {
        enabled = false;
        return quitAfterLogout;
    }
    bool enabled { false };
    bool quitAfterLogout { false };
    std::vector<std::pair<uint8_t, Bytes>> files;
};

TEST_F(SessionPackets, SettingsFilesAreTakenOnlyWhileStoredOnTheServer)
{
    RecordingStore store;
    ServerSettingsStore* previous = installServerSettingsStore(&store);
    Bytes file = ServerPacket(0xD0).u8(3).bytes({ 0x78, 0x9C, 1, 2 }).bytes();
    handleConfigFile(file.data());
    EXPECT_TRUE(store.files.empty());
    store.enabled = true;
    handleConfigFile(file.data());
    ASSERT_EQ(store.files.size(), 1u);
    EXPECT_EQ(store.files[0].first, 3);
    EXPECT_EQ(store.files[0].second, (Bytes { 0x78, 0x9C, 1, 2 }));

    PacketStorage<16> upload;
    EXPECT_TRUE(buildConfigFilePacket(upload, 4, Bytes { 9, 8 }));
    EXPECT_EQ(Bytes(upload.data(), upload.data() + upload.length()), (Bytes { 0xD0, 0, 6, 4, 9, 8 }));
    PacketStorage<4> logout;
    EXPECT_TRUE(buildLogoutOkPacket(logout));
    store.enabled = false;
    PacketStorage<16> refused;
    EXPECT_FALSE(buildConfigFilePacket(refused, 4, Bytes { 9 }));
    EXPECT_FALSE(buildLogoutOkPacket(refused));
    installServerSettingsStore(previous);
}

TEST_F(SessionPackets, LogoutReplyQuitsOrReturnsToTheMenu)
{
    RecordingStore store;
    ServerSettingsStore* previous = installServerSettingsStore(&store);
    handleLogoutOk(fixed(0xD1, { 1 }).data());
    EXPECT_TRUE(state.screens.saw("logoutToMainMenu"));
    EXPECT_FALSE(state.screens.saw("quitGame"));
    store.quitAfterLogout = true;
    handleLogoutOk(fixed(0xD1, { 1 }).data());
    EXPECT_TRUE(state.screens.saw("quitGame"));
    installServerSettingsStore(previous);
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
