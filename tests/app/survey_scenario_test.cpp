// The hardware survey in the running program: the real client starts
// headless on the sample data with the maker's key in its key store, surveys
// the machine at start-up and writes "metrics.txt"; a player logs in, and
// when the shard list arrives the test login server receives the metrics
// packet before the shard is chosen. The packet, the key store and the file
// must tell the same instance id, and the survey must have run to its end.

#include "app/hardware_survey.h"
#include "app/scenario_runner.h"
#include "app/survey_report.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/key_store.h"
#include "support/fast_clock.h"
#include "support/test_shard_server.h"
#include "support/window_input.h"
#include "support/world_player.h"

#include "headless_client_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using test::findGump;
using test::findMessage;

constexpr uint32_t kSurveySpeedUp = 10;
constexpr int32_t kSurveySettleUpdates = 6;

uint32_t metricsPacketLong(const std::vector<uint8_t>& packet, size_t at)
{
    return uint32_t(packet[at]) << 24 | uint32_t(packet[at + 1]) << 16 | uint32_t(packet[at + 2]) << 8 | packet[at + 3];
}

// The UTF-16 text of a packet field, up to its first zero unit.
std::string metricsPacketText(const std::vector<uint8_t>& packet, size_t at, size_t units)
{
    std::string text;
    for (size_t i = 0; i < units && (packet[at + 2 * i] || packet[at + 2 * i + 1]); ++i)
        text.push_back(packet[at + 2 * i + 1] ? '?' : char(packet[at + 2 * i]));
    return text;
}

// Logs in, chooses the shard and closes the window at the character list.
class SurveyedLogin final : public ClientScenario {
public:
    void started(ClientSession& session) override
    {
        m_window = &static_cast<platform::HeadlessWindow&>(session.window);
    }
    void updated() override
    {
        switch (m_step) {
        case 0:
            if (!settled(findGump("MainMenu gump") && !findGump("Splash gump") && !findMessage()))
                return;
            test::clickAt(*m_window, 420, 357);
            test::typeText(*m_window, "tester\tsecret\r");
            m_step = 1;
            return;
        case 1:
            if (!settled(findGump("ShardList gump") != nullptr))
                return;
            std::fprintf(stderr, "shard list shown\n");
            test::clickAt(*m_window, 260, 104);
            m_step = 2;
            return;
        case 2:
            // The server reads the metrics packet before the shard choice
            // that sent it the character list.
            if (!settled(findGump("Login gump") != nullptr))
                return;
            m_window->postMessage({ platform::MessageKind::Close, 0, 0, 0, 0 });
            m_step = 3;
            return;
        default:
            return;
        }
    }

private:
    bool settled(bool shown)
    {
        m_settle = shown ? m_settle + 1 : 0;
        return m_settle > kSurveySettleUpdates;
    }

    platform::HeadlessWindow* m_window = nullptr;
    int32_t m_step = 0;
    int32_t m_settle = 0;
};

[[noreturn]] void loginWithTheMakersKey(const fixture::ClientDirectory& client)
{
    test::FastClock clock(5000, kSurveySpeedUp);
    platform::ScopedClock scopedClock(clock);
    platform::KeyStore store(client.root().file("config/registry.ini"));
    if (!store.createKey(kMakerKeyPath))
        _exit(4);
    platform::installKeyStore(&store);
    test::TestShardServer server;
    if (!server.isListening())
        _exit(3);
    SurveyedLogin scenario;
    const int code = test::runClientAgainstServer(server, client.path(), scenario);

    const std::vector<std::vector<uint8_t>>& reports = server.events().metricsReports;
    std::fprintf(stderr, "metrics packets: %zu\n", reports.size());
    uint32_t stage = 0xFFFFFFFF;
    uint32_t instance = 0;
    uint32_t lastSent = 0;
    store.readDword(kMakerKeyPath, kHarvestStageValue, stage);
    store.readDword(kMakerKeyPath, kInstanceIdValue, instance);
    store.readDword(kMakerKeyPath, kLastHarvestTimeValue, lastSent);
    if (reports.size() == 1 && reports[0].size() == kMetricsPacketLength) {
        const std::vector<uint8_t>& packet = reports[0];
        std::fprintf(stderr, "version %u, desktop %ux%ux%u, adapter %s, language %s, running %u, install flags %02x\n",
            packet[1], metricsPacketLong(packet, 36), metricsPacketLong(packet, 40), metricsPacketLong(packet, 44),
            metricsPacketText(packet, 52, 64).c_str(), metricsPacketText(packet, 196, 4).c_str(), packet[193],
            packet[195] & 0x0F);
        const std::string firstLine = "Instance Id: " + std::to_string(instance) + "\n\n";
        const bool agree = instance != 0 && metricsPacketLong(packet, 2) == instance
            && client.read("metrics.txt").starts_with(firstLine);
        std::fprintf(stderr, "instance id in packet, key store and file agree: %s\n", agree ? "yes" : "no");
    }
    std::fprintf(stderr, "stage %u, sent after the survey: %s\n", stage, lastSent >= instance ? "yes" : "no");
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessSurvey : public app_test::HeadlessClientTest {
protected:
    HeadlessSurvey()
        : HeadlessClientTest("120000")
    {
    }
};

TEST_F(HeadlessSurvey, TheLoginServerHearsOfTheMachineWhenTheShardListArrives)
{
    EXPECT_EXIT(loginWithTheMakersKey(client), ::testing::ExitedWithCode(0),
        "shard list shown\n"
        "metrics packets: 1\n"
        "version 2, desktop 1280x1024x24, adapter Unknown, language enu, running 2, install flags 0e\n"
        "instance id in packet, key store and file agree: yes\n"
        "stage 0, sent after the survey: yes\n");
}

} // namespace
