#include "data/client_services.h"
#include "data/player_lists.h"
#include "data/server_config_store.h"
#include "fixtures/zlib_payload.h"
#include "platform/clock.h"
#include "settings_fixture.h"
#include "support/recording_notices.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct SentFile {
    uint8_t number;
    std::string bytes; // inflated
};

class RecordingRequests final : public ServerRequests {
public:
    bool hasGameConnection() override { return connected; }
    bool sendUpdateRange(uint8_t) override { return true; }
    bool sendWarMode(uint8_t, const std::array<uint8_t, 3>&) override { return true; }
    bool sendResurrectionChoice(uint8_t) override { return true; }
    bool sendTextCommand(uint8_t, std::string_view) override { return true; }
    bool sendConfigFile(uint8_t number, std::span<const uint8_t> payload) override
    {
        std::string bytes;
        if (!payload.empty()) {
            EXPECT_TRUE(inflatePayload(payload, 1 << 20, bytes));
        }
        sent.push_back({ number, bytes });
        return true;
    }
    bool sendLogoutConfirm() override { return true; }

    bool connected = true;
    std::vector<SentFile> sent;
};

using fixture::zlibCompressed;

class StoreTest : public SettingsFixture {
protected:
    StoreTest()
        : m_clock(100000)
        , m_scopedClock(m_clock)
        , m_requestsGuard(m_requests)
        , m_noticesGuard(m_notices)
        , m_previousStore(installServerConfigStore(&m_store))
    {
        m_store.setEnabled(true);
    }
    ~StoreTest() override
    {
        installServerConfigStore(m_previousStore);
        playerLists() = PlayerLists {};
    }

    platform::FakeClock m_clock;
    platform::ScopedClock m_scopedClock;
    RecordingRequests m_requests;
    test::RecordingNotices m_notices;
    ScopedService<ServerRequests> m_requestsGuard;
    ScopedService<WindowNotices> m_noticesGuard;
    ServerConfigStore m_store;
    ServerConfigStore* m_previousStore;
};

TEST_F(StoreTest, PollBecomesDueOnlyAfterFiveMinutes)
{
    m_client.write("Desktop/common/macros.txt", "macro\r\n");
    m_store.poll(true); // the first forced run sends what exists and starts the clock
    m_requests.sent.clear();
    m_client.write("Desktop/common/macros.txt", "changed\r\n");
    m_clock.advance(300000);
    m_store.poll(false);
    EXPECT_FALSE(m_store.isPollDue()) << "exactly five minutes is not more";
    m_clock.advance(1);
    m_store.poll(false);
    EXPECT_TRUE(m_store.isPollDue());
    EXPECT_TRUE(m_requests.sent.empty()) << "the run happens on the next call";
    m_store.poll(false);
    ASSERT_EQ(m_requests.sent.size(), 1u);
    EXPECT_EQ(m_requests.sent[0].number, 11);
    EXPECT_EQ(m_requests.sent[0].bytes, "changed\r\n");
    EXPECT_EQ(m_notices.reloads, (std::vector<std::string> { "macros" }));
    EXPECT_FALSE(m_store.isPollDue());
}

TEST_F(StoreTest, OneEditedMacroSendsOneFileThenNothing)
{
    m_client.write("ignore.lst", std::string(34, '\0'));
    m_client.write("Desktop/common/vo.cfg", "Sound=on\r\n");
    m_client.write("Desktop/common/macros.txt", "a\r\n");
    m_store.setSyncFlag(1);
    m_store.poll(true);
    EXPECT_EQ(m_store.syncFlag(), 0);
    ASSERT_EQ(m_requests.sent.size(), 3u);
    EXPECT_EQ(m_requests.sent[0].number, 0);
    EXPECT_EQ(m_requests.sent[1].number, 3);
    EXPECT_EQ(m_requests.sent[2].number, 11);
    EXPECT_TRUE(m_notices.reloads.empty()) << "a forced run reloads nothing";
    m_requests.sent.clear();
    m_client.write("Desktop/common/macros.txt", "b\r\n");
    m_store.poll(true);
    ASSERT_EQ(m_requests.sent.size(), 1u);
    EXPECT_EQ(m_requests.sent[0].number, 11);
    m_requests.sent.clear();
    m_store.poll(true);
    EXPECT_TRUE(m_requests.sent.empty());
}

TEST_F(StoreTest, NoConnectionNoPoll)
{
    m_requests.connected = false;
    m_client.write("vobscene.lst", "x");
    m_store.poll(true);
    EXPECT_TRUE(m_requests.sent.empty());
    EXPECT_EQ(m_store.checksum(1), 0u);
}

TEST_F(StoreTest, FileTooLargeOnceCompressedIsNotSentUntilItChanges)
{
    std::string noise;
    uint32_t state = 1;
    for (int i = 0; i < 9000; ++i) {
        state = state * 1103515245 + 12345;
        noise.push_back(char(state >> 24));
    }
    m_client.write("Desktop/common/desktop.vos", noise);
    m_store.poll(true);
    EXPECT_TRUE(m_requests.sent.empty());
    EXPECT_NE(m_store.checksum(9), 0u);
    m_store.poll(true);
    EXPECT_TRUE(m_requests.sent.empty());
}

// A received settings file of 40 KB of text: far more than the 8192 bytes
// the old room allowed.
TEST_F(StoreTest, ReceivesALargeSettingsFileAndDoesNotSendItBack)
{
    std::string text;
    for (int i = 0; text.size() < 40000; ++i)
        text += "Line" + std::to_string(i) + "=some value of the player's own\r\n";
    text += "SoundVol=77\r\n";
    std::vector<uint8_t> payload = zlibCompressed(text);
    ASSERT_LT(payload.size(), ServerConfigStore::kMaxUploadBytes);
    // The mode is on once a character is chosen.
    m_files.setShardName("Shard");
    m_files.setCharacterName("Hero");
    ASSERT_TRUE(m_store.receive(3, payload));
    EXPECT_EQ(m_client.read("Desktop/common/vo.cfg"), text) << "directories made, file written whole";
    EXPECT_EQ(m_settings.getIntSetting(u"SoundVol"), 77) << "the settings were read again";
    m_store.poll(true);
    EXPECT_TRUE(m_requests.sent.empty());
}

TEST_F(StoreTest, ReceivedListsAreReloadedAndEchoedWhileSyncing)
{
    m_store.setSyncFlag(1);
    std::string words = filterWordBytes({ u"heck" });
    ASSERT_TRUE(m_store.receive(1, zlibCompressed(words)));
    EXPECT_EQ(playerLists().filterWords, (std::vector<std::u16string> { u"heck" }));
    ASSERT_EQ(m_requests.sent.size(), 1u);
    EXPECT_EQ(m_requests.sent[0].number, 1);
    EXPECT_EQ(m_requests.sent[0].bytes, words);
}

TEST_F(StoreTest, EmptyPayloadIsAnEmptyFileSentBackOnce)
{
    m_client.write("Desktop/common/skillgrp.mul", "old");
    ASSERT_TRUE(m_store.receive(7, {}));
    EXPECT_EQ(m_client.read("Desktop/common/skillgrp.mul"), "");
    EXPECT_EQ(m_store.checksum(7), 1u);
    EXPECT_EQ(m_notices.reloads, (std::vector<std::string> { "skill groups" }));
    m_store.poll(true);
    ASSERT_EQ(m_requests.sent.size(), 1u);
    EXPECT_EQ(m_requests.sent[0].number, 7);
}

struct RefusedCase {
    const char* label;
    int number;
    std::vector<uint8_t> payload;
};

class StoreRefuses : public StoreTest, public ::testing::WithParamInterface<RefusedCase> { };

// Refused files leave what is on disk as it was.
TEST_P(StoreRefuses, KeepsTheLocalFile)
{
    m_client.write("Desktop/common/vo.cfg", "Mine=1\r\n");
    m_client.write("Desktop/common/chardata.mul", "keep");
    m_client.write("Desktop/common/IGRerror.txt", "keep");
    EXPECT_FALSE(m_store.receive(GetParam().number, GetParam().payload));
    EXPECT_EQ(m_client.read("Desktop/common/vo.cfg"), "Mine=1\r\n");
    EXPECT_EQ(m_client.read("Desktop/common/chardata.mul"), "keep");
    EXPECT_EQ(m_client.read("Desktop/common/IGRerror.txt"), "keep");
    EXPECT_TRUE(m_requests.sent.empty());
}

std::vector<uint8_t> corrupted()
{
    std::vector<uint8_t> bytes = zlibCompressed("Sound=off\r\nMusic=off\r\n");
    bytes[bytes.size() / 2] ^= 0x55;
    bytes.back() ^= 0xFF;
    return bytes;
}

std::vector<uint8_t> truncated()
{
    std::vector<uint8_t> bytes = zlibCompressed(std::string(5000, 'a') + "end");
    bytes.erase(bytes.end() - 5, bytes.end());
    return bytes;
}

std::vector<uint8_t> inflatesPastTheLimit()
{
    return zlibCompressed(std::string(ServerConfigStore::kMaxReceivedFileBytes + 1, ' '));
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreRefuses,
    ::testing::Values(RefusedCase { "NumberAboveEleven", 12, zlibCompressed("x") },
        RefusedCase { "NumberTwoFiftyFive", 255, zlibCompressed("x") },
        RefusedCase { "EvenNumberIgnored", 4, zlibCompressed("x") },
        RefusedCase { "NegativeNumber", -1, zlibCompressed("x") }, RefusedCase { "CorruptStream", 3, corrupted() },
        RefusedCase { "TruncatedStream", 3, truncated() }, RefusedCase { "NotZlibAtAll", 3, { 1, 2, 3, 4, 5 } },
        RefusedCase { "InflatesPastTheLimit", 3, inflatesPastTheLimit() }),
    [](const ::testing::TestParamInfo<RefusedCase>& entry) { return std::string(entry.param.label); });

TEST_F(StoreTest, DebugMessagesSayWhatHappens)
{
    configValues().runtimeDebugMessages = true;
    m_store.setEnabled(false);
    m_store.upload(1);
    EXPECT_EQ(m_notices.messages,
        (std::vector<std::string> {
            "Client WILL NOT use server config files!", "Sending config file packet to server!  File 1." }));
    EXPECT_TRUE(m_requests.sent.empty()) << "nothing is sent while the mode is off";
}

TEST_F(StoreTest, LogoutConfirmationClearsThePollState)
{
    m_store.setSyncFlag(1);
    m_clock.advance(400000);
    m_store.poll(false);
    ASSERT_TRUE(m_store.isPollDue());
    m_store.setLogoutPending(true);
    EXPECT_FALSE(m_store.onLogoutConfirmed()) << "a logout, not a quit, was waiting";
    EXPECT_FALSE(m_store.isPollDue());
    EXPECT_EQ(m_store.lastPollTime(), 0u);
    EXPECT_EQ(m_store.syncFlag(), 0);
    EXPECT_FALSE(m_store.isEnabled());
    EXPECT_FALSE(m_store.isLogoutPending());
    m_store.setQuitPending(true);
    EXPECT_TRUE(m_store.onLogoutConfirmed());
    EXPECT_FALSE(m_store.isQuitPending());
}

} // namespace
