// The client against a hostile game server: the whole client runs headless
// in this process on the sample data set and logs in to the test login and
// game server on loopback, which then, for the given time, floods it with
// framed packets of every id of the client's packet table: random lengths
// and contents, and valid packets whole, cut short or with flipped bits,
// all from the seed so that a failure replays. When the client refuses a
// packet and drops the connection, it logs in again and the flood goes on.
//
//   hostile_server --seconds N --seed S [--rate PACKETS_PER_SECOND]
//
// The run fails (non-zero exit, with the reason) when the client crashes
// (under AddressSanitizer any fault aborts it), when its main loop makes no
// pass for 10 s, when it cannot get back into the world, or when its peak
// resident memory at the end is more than a quarter (plus 64 MiB) above the
// peak after the first tenth of the run, or above 3 GiB. It prints what it
// sent, by kind and by id, the reconnections and the memory figures.

#include "net/packet_table.h"
#include "support/hostile_traffic.h"
#include "support/long_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The freed-memory quarantine of AddressSanitizer is kept small, so that the
// memory figures show the client's own growth rather than the quarantine
// filling up (256 MiB by default). The environment can still override it.
extern "C" const char* __asan_default_options();
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }
#endif

namespace {

constexpr uint64_t kGrowthPercent = 25;
constexpr uint64_t kGrowthSlackKb = 64 * 1024;
constexpr uint64_t kPeakCapKb = 3ull * 1024 * 1024;
constexpr uint32_t kBatch = 16;

int usage()
{
    std::fprintf(stderr, "usage: hostile_server --seconds N --seed S [--rate PACKETS_PER_SECOND]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    uint32_t seconds = 60;
    uint64_t seed = 1;
    uint32_t rate = 400;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char* value = argv[++i];
        if (argument == "--seconds")
            seconds = uint32_t(std::strtoul(value, nullptr, 10));
        else if (argument == "--seed")
            seed = std::strtoull(value, nullptr, 10);
        else if (argument == "--rate")
            rate = uint32_t(std::strtoul(value, nullptr, 10));
        else
            return usage();
    }
    if (seconds == 0 || rate == 0)
        return usage();

    test::TestShardServer server;
    if (!server.isListening()) {
        std::fprintf(stderr, "FAIL: the test server cannot listen on loopback\n");
        return 1;
    }
    const test::TestShardConfig& config = server.config();
    test::HostileTraffic traffic(seed);
    using Clock = std::chrono::steady_clock;
    bool flooding = false;
    Clock::time_point floodStart;
    uint64_t floodSent = 0;
    uint64_t floodBatches = 0;
    size_t worldConnections = 0;

    // The flood follows the rate while a client is in the world; a client
    // that comes back starts a fresh count.
    auto serve = [&](test::TestShardServer& shard) {
        size_t inWorld = shard.worldClientCount();
        if (inWorld == 0) {
            flooding = false;
            return;
        }
        if (!flooding) {
            flooding = true;
            floodStart = Clock::now();
            floodSent = 0;
            ++worldConnections;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - floodStart).count();
        while (floodSent < uint64_t(elapsed * rate)) {
            shard.sendToWorld(traffic.nextBatch(kBatch, config.playerSerial, config.playerX, config.playerY));
            floodSent += kBatch;
            ++floodBatches;
        }
    };

    test::LongRunOptions options;
    options.worldSeconds = seconds;
    options.referenceMs = seconds * 100;
    std::printf("hostile_server: %u s in the world, seed %llu, %u packets a second\n", seconds,
        static_cast<unsigned long long>(seed), rate);
    std::fflush(stdout);
    test::LongRunResult result = test::runClientLong(options, server, serve, nullptr);

    const test::HostileCounts& counts = traffic.counts();
    std::printf("packets sent: %llu (%llu bytes) in %llu batches over %zu connections in the world\n",
        static_cast<unsigned long long>(counts.packets), static_cast<unsigned long long>(counts.bytes),
        static_cast<unsigned long long>(floodBatches), worldConnections);
    for (size_t kind = 0; kind < test::kHostileKindCount; ++kind) {
        std::printf("  %-8s %llu\n", test::hostileKindName(test::HostileKind(kind)),
            static_cast<unsigned long long>(counts.byKind[kind]));
    }
    std::printf("by id (first byte sent):\n");
    int column = 0;
    size_t idsSent = 0;
    for (size_t id = 0; id < 256; ++id) {
        if (!counts.byId[id])
            continue;
        ++idsSent;
        std::printf("  %02zX:%-6llu", id, static_cast<unsigned long long>(counts.byId[id]));
        if (++column == 8) {
            column = 0;
            std::printf("\n");
        }
    }
    if (column)
        std::printf("\n");
    std::printf("ids sent: %zu of the table's %d\n", idsSent, kPacketTableSize);
    std::printf("world entries %u, exits %u, logins %u, messages answered %u, server refusals %u, "
                "longest loop gap %u ms\n",
        result.worldEntries, result.worldExits, result.logins, result.messagesAnswered, server.events().refusals,
        result.longestGapMs);
    test::printMemory("after the first tenth", result.reference);
    test::printMemory("at the end", result.end);

    std::string failure = result.failure;
    if (failure.empty()) {
        const uint64_t bound = result.reference.peakKb * (100 + kGrowthPercent) / 100 + kGrowthSlackKb;
        std::printf("memory bound: peak at the end within %llu KiB (%llu%% + %llu KiB over the tenth), cap %llu KiB\n",
            static_cast<unsigned long long>(bound), static_cast<unsigned long long>(kGrowthPercent),
            static_cast<unsigned long long>(kGrowthSlackKb), static_cast<unsigned long long>(kPeakCapKb));
        if (result.end.peakKb > bound)
            failure = "memory grew: peak " + std::to_string(result.end.peakKb) + " KiB at the end, bound "
                + std::to_string(bound) + " KiB";
        else if (result.end.peakKb > kPeakCapKb)
            failure = "memory above the cap: peak " + std::to_string(result.end.peakKb) + " KiB";
        else if (counts.packets == 0)
            failure = "nothing was sent";
    }
    if (!failure.empty()) {
        std::printf("FAIL: %s (replay: hostile_server --seconds %u --seed %llu --rate %u)\n", failure.c_str(), seconds,
            static_cast<unsigned long long>(seed), rate);
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
