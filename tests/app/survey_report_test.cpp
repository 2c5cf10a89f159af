// The survey's record as it leaves the client: the bytes of the metrics
// packet, the text of "metrics.txt", the start-up step that writes it, and
// the hourly gate of the sending, seen on a connection to a tap.

#include "app/survey_report.h"

#include "data/settings_registry.h"
#include "fixtures/client_directory.h"
#include "net/game_connection.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "platform/key_store.h"
#include "platform/window.h"
#include "support/packet_tap.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

HardwareSurveyRecord sampleSurveyRecord()
{
    HardwareSurveyRecord record;
    record.instanceId = 0x65536A80;
    record.osMajor = 6;
    record.osMinor = 1;
    record.osBuild = 7600;
    record.cpuVendor = 2;
    record.cpuFamily = 6;
    record.cpuModel = 0x9E;
    record.cpuMhz = 3192;
    record.processorCount = 12;
    record.physicalMemoryMiB = 16004;
    record.desktopWidth = 1920;
    record.desktopHeight = 1080;
    record.colourDepth = 32;
    record.directXMajor = 9;
    record.directXMinor = 3;
    std::u16string_view unknown = u"Unknown";
    std::copy(unknown.begin(), unknown.end(), record.adapterDescription.begin());
    record.adapterVendorId = 0x1002;
    record.adapterDeviceId = 0x73BF;
    record.videoMemoryMiB = 40;
    record.distribution = 6;
    record.clientRunning = 2;
    record.clientsInstalled = kMainClientInstalled | kEarlierEditionInstalled;
    record.installFlags = kMapFileMissing | kPatcherDiffers | kDvdDrivePresent;
    record.language = { u'e', u'n', u'u', 0 };
    return record;
}

// The packet as the server reads it, written field by field.
class ExpectedMetricsPacket {
public:
    ExpectedMetricsPacket& u8(uint8_t value)
    {
        bytes.push_back(value);
        return *this;
    }
    ExpectedMetricsPacket& u16(uint16_t value) { return u8(uint8_t(value >> 8)).u8(uint8_t(value)); }
    ExpectedMetricsPacket& u32(uint32_t value) { return u16(uint16_t(value >> 16)).u16(uint16_t(value)); }
    // UTF-16 units low byte first, padded with zero units.
    ExpectedMetricsPacket& wide(std::u16string_view text, size_t units)
    {
        for (size_t i = 0; i < units; ++i) {
            char16_t unit = i < text.size() ? text[i] : 0;
            u8(uint8_t(unit)).u8(uint8_t(unit >> 8));
        }
        return *this;
    }

    std::vector<uint8_t> bytes;
};

TEST(MetricsPacket, CarriesEveryFieldAtItsPlace)
{
    ExpectedMetricsPacket expected;
    expected.u8(0xD9).u8(2).u32(0x65536A80).u32(6).u32(1).u32(7600);
    expected.u8(2).u32(6).u32(0x9E).u32(3192).u8(12).u32(16004);
    expected.u32(1920).u32(1080).u32(32).u16(9).u16(3);
    expected.wide(u"Unknown", 64).u32(0x1002).u32(0x73BF).u32(40);
    expected.u8(6).u8(2).u8(0x06).u8(0x15).wide(u"enu", 4);
    for (int i = 0; i < 64; ++i)
        expected.u8(0);
    ASSERT_EQ(expected.bytes.size(), kMetricsPacketLength);

    PacketStorage<kMetricsPacketLength> packet;
    ASSERT_TRUE(buildMetricsPacket(packet, sampleSurveyRecord()));
    EXPECT_EQ(packet.length(), kMetricsPacketLength);
    EXPECT_EQ(std::vector<uint8_t>(packet.data(), packet.data() + packet.length()), expected.bytes);
    // "Unknown" is 7 units from offset 52, then 57 zero units up to the vendor id at 180.
    EXPECT_EQ(packet.data()[52], 'U');
    EXPECT_EQ(packet.data()[64], 'n');
    EXPECT_EQ(std::vector<uint8_t>(packet.data() + 66, packet.data() + 180), std::vector<uint8_t>(114, 0));
    EXPECT_EQ(packet.data()[196], 'e');

    PacketStorage<kMetricsPacketLength - 1> tooSmall;
    EXPECT_FALSE(buildMetricsPacket(tooSmall, sampleSurveyRecord()));
}

TEST(MetricsFile, OneLineAFieldWithTheInstallFlagsAsWords)
{
    EXPECT_EQ(formatMetricsText(sampleSurveyRecord()),
        "Instance Id: 1699965568\n\n"
        "OS Version: 6.1.7600\n\n"
        "CPU Manufacturer: 2\n"
        "CPU Family: 6\n"
        "CPU Model: 158\n"
        "CPU Clock Speed: 3192MHz\n"
        "CPU Quantity: 12\n\n"
        "Physical Memory: 16004MB\n\n"
        "Desktop Resolution and Color Depth: 1920x1080x32\n"
        "DirectX Version: 9.3\n"
        "Video Card Description: Unknown\n"
        "Video Card Vendor Id: 4098\n"
        "Video Card Device Id: 29631\n"
        "Video Card Memory: 40MB\n\n"
        "Distribution: 6\n"
        "Client Running: 2\n"
        "Clients Installed: 6\n"
        "Partial Install: yes\n\n"
        "Language Preference: enu\n\n"
        "DVD-ROM drive: yes\n");
}

// A client directory, a key store with or without the maker's key, a clock
// and the settings of the test's own.
class SurveyReportTest : public ::testing::Test {
protected:
    SurveyReportTest()
        : m_previousStore(platform::installKeyStore(&store))
        , m_previousSettings(installSettings(&registry))
    {
    }
    ~SurveyReportTest() override
    {
        // The taps' connections.
        closeGameConnection();
        destroyAllConnections();
        hardwareSurvey() = {};
        installSettings(m_previousSettings);
        platform::installKeyStore(m_previousStore);
    }

    fixture::ClientDirectory client;
    platform::KeyStore store { client.root().file("config/registry.ini") };
    platform::FakeClock clock;
    platform::ScopedClock scopedClock { clock };
    SettingsRegistry registry;

private:
    platform::KeyStore* m_previousStore;
    SettingsRegistry* m_previousSettings;
};

TEST_F(SurveyReportTest, TheStartUpStepSurveysAndReplacesTheMetricsFile)
{
    client.write("metrics.txt", "an earlier run's text that is longer than anything the survey writes\n");
    std::unique_ptr<platform::Window> window = platform::createHeadlessWindow();
    startHardwareSurvey(*window);
    const std::string text = client.read("metrics.txt");
    EXPECT_EQ(text, formatMetricsText(hardwareSurvey()));
    EXPECT_NE(text.find("Desktop Resolution and Color Depth: 1280x1024x24\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Video Card Description: Unknown\n"), std::string::npos) << text;
    EXPECT_EQ(hardwareSurvey().clientRunning, 2u);
}

TEST_F(SurveyReportTest, WithCollectMetricsOffNoSurveyNoFileAndNoPacket)
{
    registry.setBoolSetting(u"CollectMetrics", 0);
    ASSERT_TRUE(store.createKey(kMakerKeyPath));
    std::unique_ptr<platform::Window> window = platform::createHeadlessWindow();
    startHardwareSurvey(*window);
    EXPECT_EQ(hardwareSurvey().clientRunning, 0u);
    EXPECT_EQ(client.read("metrics.txt"), "");
    uint32_t value = 0;
    EXPECT_FALSE(store.readDword(kMakerKeyPath, kHarvestStageValue, value));
    EXPECT_FALSE(store.readDword(kMakerKeyPath, kInstanceIdValue, value));

    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());
    EXPECT_FALSE(sendMetricsHourly());
    EXPECT_TRUE(tap.take().empty());
    EXPECT_FALSE(store.readDword(kMakerKeyPath, kLastHarvestTimeValue, value));
}

struct HourlyMetricsCase {
    const char* label;
    bool makersKey;
    std::optional<uint32_t> lastSent;
    uint32_t now;
    bool sent;
};

constexpr uint32_t kSurveyNow = 1700000000;

class HourlyMetrics : public SurveyReportTest, public ::testing::WithParamInterface<HourlyMetricsCase> { };

TEST_P(HourlyMetrics, GoAtMostOnceAnHour)
{
    const HourlyMetricsCase& entry = GetParam();
    if (entry.makersKey) {
        ASSERT_TRUE(store.createKey(kMakerKeyPath));
    }
    if (entry.lastSent) {
        ASSERT_TRUE(store.writeDword(kMakerKeyPath, kLastHarvestTimeValue, *entry.lastSent));
    }
    hardwareSurvey() = sampleSurveyRecord();
    clock.setUnixSeconds(entry.now);
    test::PacketTap tap;
    ASSERT_TRUE(tap.isConnected());

    EXPECT_EQ(sendMetricsHourly(), entry.sent);
    const std::vector<std::vector<uint8_t>> packets = tap.take();
    if (entry.sent) {
        ASSERT_EQ(packets.size(), 1u);
        PacketStorage<kMetricsPacketLength> expected;
        ASSERT_TRUE(buildMetricsPacket(expected, sampleSurveyRecord()));
        EXPECT_EQ(packets[0], std::vector<uint8_t>(expected.data(), expected.data() + kMetricsPacketLength));
    } else {
        EXPECT_TRUE(packets.empty());
    }
    uint32_t stored = 0;
    bool hasStored = store.readDword(kMakerKeyPath, kLastHarvestTimeValue, stored);
    if (entry.sent) {
        EXPECT_EQ(stored, entry.now) << "the sending is remembered";
    } else {
        EXPECT_EQ(hasStored, entry.lastSent.has_value());
        EXPECT_EQ(stored, entry.lastSent.value_or(0)) << "a packet not sent changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Times, HourlyMetrics,
    ::testing::Values(HourlyMetricsCase { "NeverSentBefore", true, std::nullopt, kSurveyNow, true },
        HourlyMetricsCase { "OneSecondShortOfAnHour", true, kSurveyNow - 3599, kSurveyNow, false },
        HourlyMetricsCase { "AnHourLater", true, kSurveyNow - 3600, kSurveyNow, true },
        HourlyMetricsCase { "ClockSetBack", true, kSurveyNow + 100, kSurveyNow, false },
        HourlyMetricsCase { "AnHourAfterAFutureTime", true, kSurveyNow + 100, kSurveyNow + 3700, true },
        HourlyMetricsCase { "StoredTimeNearTheEndOfTheRange", true, 0xFFFFF000u, kSurveyNow, false },
        HourlyMetricsCase { "WithoutTheMakersKey", false, std::nullopt, kSurveyNow, false }),
    [](const ::testing::TestParamInfo<HourlyMetricsCase>& entry) { return std::string(entry.param.label); });

} // namespace
