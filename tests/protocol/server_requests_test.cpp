#include "data/server_config_store.h"
#include "data/view_range.h"
#include "fixtures/client_directory.h"
#include "fixtures/server_packet.h"
#include "fixtures/zlib_payload.h"
#include "net/client_packets.h"
#include "protocol/server_requests.h"
#include "protocol/session_packets.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> built(bool ok, const PacketBuffer& packet)
{
    EXPECT_TRUE(ok);
    return std::vector<uint8_t>(packet.data(), packet.data() + packet.length());
}

TEST(SettingsRequests, BuildersWriteTheWireForm)
{
    PacketStorage<64> range;
    EXPECT_EQ(built(buildUpdateRangePacket(range, 17), range), (std::vector<uint8_t> { 0xC8, 17 }));
    PacketStorage<64> logout;
    EXPECT_EQ(built(buildLogoutOkPacket(logout), logout), (std::vector<uint8_t> { 0xD1, 1 }));
    PacketStorage<64> file;
    const uint8_t payload[] = { 0x78, 0x9C, 3 };
    EXPECT_EQ(built(buildConfigFilePacket(file, 11, payload), file),
        (std::vector<uint8_t> { 0xD0, 0, 7, 11, 0x78, 0x9C, 3 }));
    PacketStorage<8> tooSmall;
    const std::vector<uint8_t> big(100, 1);
    EXPECT_FALSE(buildConfigFilePacket(tooSmall, 3, big));
}

TEST(SettingsRequests, NothingIsSentWithoutAConnection)
{
    NetServerRequests requests;
    if (requests.hasGameConnection())
        GTEST_SKIP() << "a connection is current in this process";
    EXPECT_FALSE(requests.sendUpdateRange(18));
    EXPECT_FALSE(requests.sendLogoutConfirm());
}

class ConfigFileHandler : public ::testing::Test {
protected:
    ConfigFileHandler()
        : m_previous(installServerConfigStore(&m_store))
    {
        m_store.setEnabled(true);
        m_client.write("Desktop/common/macros.txt", "mine");
    }
    ~ConfigFileHandler() override { installServerConfigStore(m_previous); }

    fixture::ClientDirectory m_client;
    ServerConfigStore m_store;
    ServerConfigStore* m_previous;
};

TEST_F(ConfigFileHandler, WritesTheFileWhileTheModeIsOn)
{
    std::vector<uint8_t> packet
        = fixture::ServerPacket(0xD0).u8(11).bytes(fixture::zlibCompressed("new macros")).bytes();
    handleConfigFile(packet.data());
    EXPECT_EQ(m_client.read("Desktop/common/macros.txt"), "new macros");
}

struct BadPacketCase {
    const char* label;
    std::vector<uint8_t> packet;
    bool modeOn;
};

class ConfigFileHandlerRefuses : public ConfigFileHandler, public ::testing::WithParamInterface<BadPacketCase> { };

TEST_P(ConfigFileHandlerRefuses, KeepsTheLocalFile)
{
    m_store.setEnabled(GetParam().modeOn);
    handleConfigFile(GetParam().packet.data());
    EXPECT_EQ(m_client.read("Desktop/common/macros.txt"), "mine");
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigFileHandlerRefuses,
    ::testing::Values(BadPacketCase { "ModeOff",
                          fixture::ServerPacket(0xD0).u8(11).bytes(fixture::zlibCompressed("x")).bytes(), false },
        BadPacketCase { "NoFileNumber", fixture::ServerPacket(0xD0).bytes(), true },
        BadPacketCase { "TruncatedStream",
            fixture::ServerPacket(0xD0).u8(11).bytes(fixture::zlibCompressed("truncated text")).truncatedBy(4), true },
        BadPacketCase { "NumberPastTheTable",
            fixture::ServerPacket(0xD0).u8(200).bytes(fixture::zlibCompressed("x")).bytes(), true }),
    [](const ::testing::TestParamInfo<BadPacketCase>& entry) { return std::string(entry.param.label); });

TEST(WarModeHandler, StoresTheTrailingBytes)
{
    warModeState() = WarModeState {};
    warModeState().warModeRequested = 1;
    std::vector<uint8_t> packet
        = fixture::ServerPacket(0x72, fixture::ServerPacket::Length::Fixed).u8(1).u8(0).u8(0x20).u8(9).bytes();
    handleWarMode(packet.data());
    EXPECT_EQ(warModeState().trailing, (std::array<uint8_t, 3> { 0, 0x20, 9 }));
    EXPECT_EQ(warModeState().warModeRequested, -1);
    warModeState() = WarModeState {};
}

} // namespace
