#pragma once
// Game-server traffic for the long runs of the client (tools/hostile_server.cpp
// and tools/soak_run.cpp).
//
// HostileTraffic frames packets of every id of the client's packet table with
// random lengths and contents, and sends valid packets whole, cut short or
// with flipped bits; now and then one with its framing broken, which the
// client must refuse by dropping the connection. Now and then a random
// packet takes the next id the dispatcher acts on in turn, so that every run
// soon sends each of them. Everything comes from one seed, so that a run that
// finds a fault replays.
//
// BusyShardTraffic is what a busy shard sends round a player: mobiles that
// walk, turn, speak and leave and come back, items that change, effects,
// sounds, the light and the time; and its answers to the client (each step
// confirmed, each line of speech heard back).

#include "support/world_packets.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// A small generator of its own (SplitMix64), so that a seed gives the same
// run with any standard library.
class TrafficRandom {
public:
    explicit TrafficRandom(uint64_t seed)
        : m_state(seed)
    {
    }
    uint64_t next();
    // In [0, bound); 0 when bound is 0.
    uint32_t below(uint32_t bound);
    bool chance(uint32_t percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

enum class HostileKind : uint8_t {
    Random, // an id of the table, a random length and random contents
    Valid, // a well-formed packet
    Cut, // a well-formed packet cut short (its framing kept)
    Flipped, // a well-formed packet with a few bits of its fields flipped
    Unframed, // any of these with its framing broken: the client must drop the connection
};
inline constexpr size_t kHostileKindCount = 5;
const char* hostileKindName(HostileKind kind);

struct HostileCounts {
    std::array<uint64_t, 256> byId {};
    // The ids sent whole and well-formed (HostileKind::Valid).
    std::array<uint64_t, 256> wellFormedById {};
    std::array<uint64_t, kHostileKindCount> byKind {};
    uint64_t packets = 0;
    uint64_t bytes = 0;
};

class HostileTraffic {
public:
    explicit HostileTraffic(uint64_t seed);

    // The next `count` packets for a player standing at (x, y).
    std::vector<WirePacket> nextBatch(size_t count, uint32_t player, uint16_t x, uint16_t y);
    const HostileCounts& counts() const { return m_counts; }

private:
    WirePacket randomPacket();
    // The next id the dispatcher acts on, in turn.
    uint8_t nextInTurn();
    // A house design (0xD8) for the house item, in any of its compressions.
    WirePacket mahjongPacket(uint32_t table);
    WirePacket houseDesignPacket(uint32_t house);
    WirePacket validPacket(uint32_t player, uint16_t x, uint16_t y);
    void fillContents(WirePacket& packet, size_t from);
    void breakFraming(WirePacket& packet);
    uint32_t someSerial();

    TrafficRandom m_random;
    HostileCounts m_counts;
    uint32_t m_player { 0 };
    uint64_t m_inTurn { 0 };
};

class BusyShardTraffic {
public:
    BusyShardTraffic(uint64_t seed, uint32_t player, uint16_t x, uint16_t y);

    // What the shard sends in one step of about 100 ms.
    std::vector<WirePacket> nextStep();
    // The shard's answer to a packet of the client.
    std::vector<WirePacket> answer(const WirePacket& packet);
    // A fresh world entry: the crowd is sent again.
    void restart();

    uint64_t packetsSent() const { return m_sent; }
    uint64_t stepsConfirmed() const { return m_steps; }
    uint64_t speechHeard() const { return m_speech; }

private:
    struct Walker {
        uint32_t serial;
        uint16_t body;
        int32_t x;
        int32_t y;
        uint8_t direction;
        bool present;
    };

    WirePacket walkerIncoming(const Walker& walker) const;

    TrafficRandom m_random;
    uint32_t m_player;
    int32_t m_homeX;
    int32_t m_homeY;
    std::vector<Walker> m_walkers;
    std::vector<uint32_t> m_items;
    bool m_crowdSent { false };
    uint64_t m_stepCount { 0 };
    uint64_t m_sent { 0 };
    uint64_t m_steps { 0 };
    uint64_t m_speech { 0 };
};

// Server packets the generators share.
WirePacket genericGumpPacket(uint32_t serial, uint32_t gump, uint32_t x, uint32_t y, const std::string& layout,
    const std::vector<std::u16string>& lines);

} // namespace test
