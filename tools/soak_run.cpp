// The client on a busy shard for a long time: the whole client runs
// headless in this process on the sample data set, logs in to the test
// login and game server on loopback and stays in the world for the given
// time. The player walks round a square and speaks now and then; the shard
// confirms every step, hears the speech back and sends what a busy shard
// does: mobiles that walk, turn, speak, leave and come back, items that
// change, effects, sounds, the time and the light.
//
//   soak_run --seconds N
//
// The run fails (non-zero exit, with the reason) when the peak resident
// memory at the end is more than 5% (plus a slack of 2 MiB, 8 MiB for a run
// shorter than ten minutes) above the peak at the end of the first minute
// (of the first tenth, for a run shorter than ten minutes), when the client
// leaves the world, or when its main loop makes no pass for 10 s.

#include "platform/virtual_keys.h"
#include "support/hostile_traffic.h"
#include "support/long_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr uint64_t kGrowthPercent = 5;
constexpr uint64_t kSlackKb = 2 * 1024;
constexpr uint64_t kShortRunSlackKb = 8 * 1024;
constexpr uint32_t kShortRunSeconds = 600;
constexpr uint32_t kShardStepMs = 100;
constexpr uint32_t kWalkEveryMs = 600;
constexpr uint32_t kSpeakEveryMs = 7000;
constexpr uint32_t kSideSteps = 4;

int usage()
{
    std::fprintf(stderr, "usage: soak_run --seconds N\n");
    return 2;
}

// The player's own doings in the world: a square walked with the arrow
// keys, and a line of speech now and then.
class Stroller {
public:
    void step(test::WorldPlayer& player, uint32_t now)
    {
        if (m_nextWalk == 0) {
            m_nextWalk = now;
            m_nextSpeech = now + kSpeakEveryMs;
        }
        if (int32_t(now - m_nextWalk) >= 0) {
            static constexpr uint16_t kSides[]
                = { platform::vk::kRight, platform::vk::kDown, platform::vk::kLeft, platform::vk::kUp };
            player.pressKey(kSides[(m_walked / kSideSteps) % 4]);
            ++m_walked;
            m_nextWalk = now + kWalkEveryMs;
        }
        if (int32_t(now - m_nextSpeech) >= 0) {
            ++m_spoken;
            player.type("Good day to you, line " + std::to_string(m_spoken) + "\r");
            m_nextSpeech = now + kSpeakEveryMs;
        }
    }
    uint32_t walked() const { return m_walked; }
    uint32_t spoken() const { return m_spoken; }

private:
    uint32_t m_nextWalk { 0 };
    uint32_t m_nextSpeech { 0 };
    uint32_t m_walked { 0 };
    uint32_t m_spoken { 0 };
};

} // namespace

int main(int argc, char** argv)
{
    uint32_t seconds = 60;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char* value = argv[++i];
        if (argument == "--seconds")
            seconds = uint32_t(std::strtoul(value, nullptr, 10));
        else
            return usage();
    }
    if (seconds == 0)
        return usage();

    test::TestShardServer server;
    if (!server.isListening()) {
        std::fprintf(stderr, "FAIL: the test server cannot listen on loopback\n");
        return 1;
    }
    const test::TestShardConfig& config = server.config();
    test::BusyShardTraffic shard(1, config.playerSerial, config.playerX, config.playerY);
    server.setGamePacketHook([&shard](const std::vector<uint8_t>& packet) { return shard.answer(packet); });

    using Clock = std::chrono::steady_clock;
    Clock::time_point nextStep = Clock::now();
    bool present = false;
    auto serve = [&](test::TestShardServer& shardServer) {
        if (shardServer.worldClientCount() == 0) {
            present = false;
            return;
        }
        if (!present) {
            present = true;
            shard.restart();
        }
        if (Clock::now() < nextStep)
            return;
        nextStep = Clock::now() + std::chrono::milliseconds(kShardStepMs);
        std::vector<test::WirePacket> packets = shard.nextStep();
        if (!packets.empty())
            shardServer.sendToWorld(packets);
    };
    Stroller stroller;

    const bool shortRun = seconds < kShortRunSeconds;
    test::LongRunOptions options;
    options.worldSeconds = seconds;
    options.referenceMs = shortRun ? seconds * 100 : 60000;
    // The ordinary shard never drops the player: leaving the world fails at once.
    options.comebackMs = 0;
    std::printf("soak_run: %u s in the world\n", seconds);
    std::fflush(stdout);
    test::LongRunResult result = test::runClientLong(
        options, server, serve, [&stroller](test::WorldPlayer& player, uint32_t now) { stroller.step(player, now); });

    std::printf("shard packets sent %llu, steps confirmed %llu (%u keys pressed), speech heard back %llu (%u lines "
                "spoken), keep-alives %u\n",
        static_cast<unsigned long long>(shard.packetsSent()), static_cast<unsigned long long>(shard.stepsConfirmed()),
        stroller.walked(), static_cast<unsigned long long>(shard.speechHeard()), stroller.spoken(),
        server.events().keepAlives);
    std::printf("world entries %u, exits %u, longest loop gap %u ms\n", result.worldEntries, result.worldExits,
        result.longestGapMs);
    test::printMemory(shortRun ? "after the first tenth" : "after the first minute", result.reference);
    test::printMemory("at the end", result.end);

    std::string failure = result.failure;
    if (failure.empty() && result.worldExits > 0)
        failure = "the client left the world";
    if (failure.empty()) {
        const uint64_t slack = shortRun ? kShortRunSlackKb : kSlackKb;
        const uint64_t bound = result.reference.peakKb * (100 + kGrowthPercent) / 100 + slack;
        const double growth = result.reference.peakKb
            ? 100.0 * (double(result.end.peakKb) - double(result.reference.peakKb)) / double(result.reference.peakKb)
            : 0.0;
        std::printf("peak growth %+.2f%%; bound %llu KiB (%llu%% + %llu KiB)\n", growth,
            static_cast<unsigned long long>(bound), static_cast<unsigned long long>(kGrowthPercent),
            static_cast<unsigned long long>(slack));
        if (result.end.peakKb > bound)
            failure = "memory grew: peak " + std::to_string(result.end.peakKb) + " KiB at the end, bound "
                + std::to_string(bound) + " KiB";
    }
    if (!failure.empty()) {
        std::printf("FAIL: %s\n", failure.c_str());
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
