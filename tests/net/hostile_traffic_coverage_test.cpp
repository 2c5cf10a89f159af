// The hostile server's traffic reaches every id the dispatcher routes to a
// handler: an id added to the dispatcher's table that the traffic does not
// send fails here, so the long hostile runs never leave a handler untried.

#include "net/dispatcher_tables.h"
#include "net/packet_dispatcher.h"
#include "support/hostile_traffic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The seeds of the hostile server's runs (tools/hostile_server.cpp), and
// the start of such a run: a minute at its 400 packets a second sends 24000.
constexpr uint64_t kCoverageSeeds[] = { 1, 2 };
constexpr size_t kCoverageBatches = 400;
constexpr size_t kCoverageBatchSize = 50;
constexpr uint32_t kCoveragePlayer = 0x00000101;

// Every id the dispatcher acts on: its table of handled ids and the pause.
std::vector<uint8_t> coverageDispatchedIds()
{
    std::vector<uint8_t> ids(kHandledPacketIds.begin(), kHandledPacketIds.end());
    ids.push_back(kPausePacketId);
    return ids;
}

std::string coverageHexId(uint8_t id)
{
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[id >> 4] + digits[id & 15];
}

TEST(HostileTrafficCoverage, EveryIdTheDispatcherActsOnIsSentInEachSeedsRun)
{
    for (uint64_t seed : kCoverageSeeds) {
        test::HostileTraffic traffic(seed);
        for (size_t batch = 0; batch < kCoverageBatches; ++batch)
            traffic.nextBatch(kCoverageBatchSize, kCoveragePlayer, 1000, 1000);
        std::string missing;
        for (uint8_t id : coverageDispatchedIds()) {
            EXPECT_EQ(packetRoute(id) == PacketRoute::Ignored, false) << coverageHexId(id);
            if (traffic.counts().byId[id] == 0)
                missing += " " + coverageHexId(id);
        }
        EXPECT_EQ(missing, "") << "seed " << seed << ": ids the dispatcher acts on that the traffic never sends";
    }
}

// The ids the traffic sends only as noise (random contents, which their
// handlers mostly refuse), for want of a well-formed packet of their own. An
// id the dispatcher comes to act on must either get a well-formed packet in
// the traffic or be added here; one that gets a well-formed packet must leave.
constexpr uint8_t kCoverageNoiseOnlyIds[] = { 0x15, 0x16, 0x17, 0x1B, 0x21, 0x23, 0x27, 0x28, 0x29, 0x2C, 0x2D, 0x2F, 0x30,
    0x31, 0x33, 0x38, 0x39, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x53, 0x55, 0x57, 0x69, 0x6A, 0x72, 0x73,
    0x76, 0x7B, 0x81, 0x82, 0x85, 0x86, 0x88, 0x89, 0x8C, 0x92, 0x94, 0x97, 0x98, 0x9A, 0xA2, 0xA3, 0xA8, 0xA9, 0xB5,
    0xB9, 0xBB, 0xBD, 0xBE, 0xC0, 0xC1, 0xC2, 0xC4, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCC, 0xCE, 0xD0, 0xD1, 0xD2, 0xD3,
    0xD6, 0xDB, 0xDC, 0xDD };

TEST(HostileTrafficCoverage, EveryIdTheDispatcherActsOnIsSentWellFormedUnlessListedAsNoiseOnly)
{
    test::HostileTraffic traffic(1);
    for (size_t batch = 0; batch < kCoverageBatches; ++batch)
        traffic.nextBatch(kCoverageBatchSize, kCoveragePlayer, 1000, 1000);
    const auto noiseOnly = [](uint8_t id) {
        return std::find(std::begin(kCoverageNoiseOnlyIds), std::end(kCoverageNoiseOnlyIds), id) != std::end(kCoverageNoiseOnlyIds);
    };
    std::string unsent;
    std::string listedButSent;
    for (uint8_t id : coverageDispatchedIds()) {
        const bool wellFormed = traffic.counts().wellFormedById[id] != 0;
        if (!wellFormed && !noiseOnly(id))
            unsent += " " + coverageHexId(id);
        if (wellFormed && noiseOnly(id))
            listedButSent += " " + coverageHexId(id);
    }
    EXPECT_EQ(unsent, "") << "ids the dispatcher acts on that the traffic never sends well-formed";
    EXPECT_EQ(listedButSent, "") << "ids listed as noise only that the traffic sends well-formed";
    // The list names only ids the dispatcher acts on.
    const std::vector<uint8_t> ids = coverageDispatchedIds();
    for (uint8_t id : kCoverageNoiseOnlyIds)
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << coverageHexId(id);
}

} // namespace
