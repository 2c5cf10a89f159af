// Speed of the receive decoder, the packet framing and the send ciphers. Each
// decoding benchmark also measures a plain memory copy of the same bytes in
// the same run and reports its speed relative to it.

#include "net/game_connection.h"
#include "net/game_stream_cipher.h"
#include "net/huffman_decoder.h"
#include "net/packet_table.h"
#include "support/huffman_encoder.h"
#include "support/test_server_peer.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A mix of what a busy game server sends: moving mobiles, items, speech,
// status, sounds, equipment and pings, with plausible field values.
std::vector<Bytes> realisticPackets(size_t totalBytes)
{
    std::mt19937 random(1234);
    auto serial = [&](bool item) { return uint32_t((item ? 0x40000000u : 0) | (random() % 50000)); };
    auto put32 = [](Bytes& p, uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            p.push_back(uint8_t(v >> s));
    };
    auto put16 = [](Bytes& p, uint16_t v) {
        p.push_back(uint8_t(v >> 8));
        p.push_back(uint8_t(v));
    };
    auto finishVariable = [](Bytes& p) {
        p[1] = uint8_t(p.size() >> 8);
        p[2] = uint8_t(p.size());
    };
    std::vector<Bytes> packets;
    size_t bytes = 0;
    while (bytes < totalBytes) {
        Bytes p;
        switch (random() % 10) {
        case 0:
        case 1:
        case 2: // mobile moving
            p = { 0x77 };
            put32(p, serial(false));
            put16(p, uint16_t(0x190 + random() % 3));
            put16(p, uint16_t(1400 + random() % 100));
            put16(p, uint16_t(1600 + random() % 100));
            p.push_back(uint8_t(random() % 20));
            p.push_back(uint8_t(random() % 8));
            put16(p, uint16_t(random() % 4 ? 0x83EA : 0));
            p.push_back(0);
            p.push_back(uint8_t(1 + random() % 6));
            break;
        case 3: { // item in the world
            p = { 0x1A, 0, 0 };
            put32(p, serial(true));
            put16(p, uint16_t(0x0E00 + random() % 0x800));
            put16(p, uint16_t(1400 + random() % 100));
            put16(p, uint16_t(1600 + random() % 100));
            p.push_back(uint8_t(random() % 20));
            finishVariable(p);
            break;
        }
        case 4: { // speech
            p = { 0x1C, 0, 0 };
            put32(p, serial(false));
            put16(p, 0x190);
            p.push_back(0);
            put16(p, 0x03B2);
            put16(p, 3);
            const char name[30] = "Townsperson";
            p.insert(p.end(), name, name + 30);
            size_t length = 5 + random() % 40;
            for (size_t i = 0; i < length; ++i)
                p.push_back(uint8_t(i % 6 == 5 ? ' ' : 'a' + random() % 26));
            p.push_back(0);
            finishVariable(p);
            break;
        }
        case 5: { // status
            p = { 0x11, 0, 0 };
            put32(p, serial(false));
            const char name[30] = "Someone";
            p.insert(p.end(), name, name + 30);
            for (int i = 0; i < 16; ++i)
                put16(p, uint16_t(random() % 120));
            finishVariable(p);
            break;
        }
        case 6: // sound
            p = { 0x54, 1 };
            put16(p, uint16_t(random() % 0x300));
            put16(p, 0);
            put16(p, uint16_t(1400 + random() % 100));
            put16(p, uint16_t(1600 + random() % 100));
            put16(p, 0);
            break;
        case 7: // equipment
            p = { 0x2E };
            put32(p, serial(true));
            put16(p, uint16_t(0x1400 + random() % 0x100));
            p.push_back(0);
            p.push_back(uint8_t(1 + random() % 24));
            put32(p, serial(false));
            put16(p, uint16_t(random() % 3 ? 0 : 0x0481));
            break;
        case 8: // ping
            p = { 0x73, uint8_t(random()) };
            break;
        default: // general information, small
            p = { 0xBF, 0, 0 };
            put16(p, uint16_t(random() % 0x20));
            put32(p, serial(false));
            finishVariable(p);
            break;
        }
        bytes += p.size();
        packets.push_back(std::move(p));
    }
    return packets;
}

struct Stream {
    Bytes plain;
    Bytes compressed;
};

const Stream& realisticStream()
{
    static const Stream stream = [] {
        Stream s;
        for (const Bytes& packet : realisticPackets(10u << 20)) {
            s.plain.insert(s.plain.end(), packet.begin(), packet.end());
            test::huffmanEncodePacket(packet, s.compressed);
        }
        return s;
    }();
    return stream;
}

// Bytes per second of copying `source` in 4 KB pieces, measured now.
double memcpyRate(const Bytes& source)
{
    Bytes target(4096);
    auto start = std::chrono::steady_clock::now();
    int rounds = 0;
    double elapsed = 0;
    do {
        for (size_t at = 0; at < source.size(); at += 4096) {
            size_t piece = std::min<size_t>(4096, source.size() - at);
            std::memcpy(target.data(), source.data() + at, piece);
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
        ++rounds;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < 0.2);
    return double(source.size()) * rounds / elapsed;
}

void reportAgainstMemcpy(benchmark::State& state, size_t decodedBytesPerIteration, double copyRate,
    std::chrono::steady_clock::time_point start)
{
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double rate = double(decodedBytesPerIteration) * double(state.iterations()) / seconds;
    state.SetBytesProcessed(int64_t(decodedBytesPerIteration) * int64_t(state.iterations()));
    state.counters["decoded_MBps"] = rate / 1e6;
    state.counters["memcpy_MBps"] = copyRate / 1e6;
    state.counters["memcpy_ratio"] = copyRate / rate;
}

// The full read step of a game connection: 10 MB of compressed packets
// arriving in 4 KB reads, decoded, framed and dispatched.
void BM_CompressedStreamIn4KReads(benchmark::State& state)
{
    const Stream& stream = realisticStream();
    double copyRate = memcpyRate(stream.plain);
    auto connection = std::make_unique<GameConnection>();
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        connection->resetState();
        connection->setCompressed(true);
        for (size_t at = 0; at < stream.compressed.size(); at += 4096)
            connection->receiveBytes(
                stream.compressed.data() + at, std::min<size_t>(4096, stream.compressed.size() - at));
    }
    reportAgainstMemcpy(state, stream.plain.size(), copyRate, start);
}
BENCHMARK(BM_CompressedStreamIn4KReads)->Unit(benchmark::kMillisecond);

// The reference the decoder is measured against: a binary tree built from
// the code table, walked one bit at a time.
class NaiveTreeDecoder {
public:
    NaiveTreeDecoder()
    {
        m_nodes.push_back({ -1, { 0, 0 } });
        for (int symbol = 0; symbol < kHuffmanSymbolCount; ++symbol) {
            size_t node = 0;
            const HuffmanCode& code = huffmanCodeTable[symbol];
            for (int bit = code.bitCount - 1; bit >= 0; --bit) {
                int side = (code.code >> bit) & 1;
                if (m_nodes[node].child[side] == 0) {
                    m_nodes[node].child[side] = uint32_t(m_nodes.size());
                    m_nodes.push_back({ -1, { 0, 0 } });
                }
                node = m_nodes[node].child[side];
            }
            m_nodes[node].symbol = symbol;
        }
    }

    // Decodes one packet from `bits` on; false at the end of the input.
    bool decodePacket(const Bytes& raw, uint32_t& bits, uint8_t* out, uint32_t& length) const
    {
        size_t node = 0;
        while (bits < raw.size() * 8) {
            int bit = (raw[bits / 8] >> (7 - bits % 8)) & 1;
            ++bits;
            node = m_nodes[node].child[bit];
            int symbol = m_nodes[node].symbol;
            if (symbol < 0)
                continue;
            if (symbol == kHuffmanEndSymbol) {
                bits = (bits + 7) / 8 * 8;
                return true;
            }
            out[length++] = uint8_t(symbol);
            node = 0;
        }
        return false;
    }

private:
    struct Node {
        int32_t symbol;
        uint32_t child[2];
    };
    std::vector<Node> m_nodes;
};

// Seconds per decode of the whole stream by the naive decoder, measured now.
double naiveDecodeSeconds(const Bytes& compressed)
{
    NaiveTreeDecoder naive;
    Bytes out(65536);
    auto start = std::chrono::steady_clock::now();
    int rounds = 0;
    double elapsed = 0;
    do {
        uint32_t bits = 0;
        uint32_t length = 0;
        while (naive.decodePacket(compressed, bits, out.data(), length)) {
            benchmark::DoNotOptimize(out.data());
            length = 0;
        }
        ++rounds;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < 0.5);
    return elapsed / rounds;
}

// The Huffman decoder alone over the same stream, against the naive decoder:
// whole blocks decoded many at a time into a buffer of the connection's size,
// as a connection decodes what arrived.
void BM_HuffmanDecodeOnly(benchmark::State& state)
{
    const Stream& stream = realisticStream();
    double copyRate = memcpyRate(stream.plain);
    double naiveSeconds = naiveDecodeSeconds(stream.compressed);
    Bytes out(BufferedConnection::kDecodedBufferSize);
    std::vector<uint32_t> blockEnds(BufferedConnection::kMaxDecodedBlocks);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        uint32_t bits = 0;
        for (;;) {
            HuffmanBlocks blocks = huffmanDecodeBlocks(stream.compressed.data(), stream.compressed.size(), bits,
                out.data(), out.size(), blockEnds.data(), blockEnds.size());
            if (blocks.count == 0)
                break;
            bits = blocks.bitPosition;
            benchmark::DoNotOptimize(out.data());
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    reportAgainstMemcpy(state, stream.plain.size(), copyRate, start);
    state.counters["naive_MBps"] = double(stream.plain.size()) / naiveSeconds / 1e6;
    state.counters["speed_vs_naive"] = naiveSeconds / (seconds / double(state.iterations()));
}
BENCHMARK(BM_HuffmanDecodeOnly)->Unit(benchmark::kMillisecond);

Bytes smallPackets(size_t totalBytes)
{
    // Fixed ids of 2 to 10 bytes.
    const uint8_t ids[] = { 0x73, 0x22, 0x1E, 0x1D, 0x02, 0x09, 0x2F, 0x72, 0x95, 0x4E };
    std::mt19937 random(99);
    Bytes stream;
    while (stream.size() < totalBytes) {
        uint8_t id = ids[random() % std::size(ids)];
        uint16_t length = packetFixedLength(id);
        if (stream.size() + length > totalBytes)
            break;
        stream.push_back(id);
        for (int i = 1; i < length; ++i)
            stream.push_back(uint8_t(random()));
    }
    return stream;
}

// One large read of small packets on a plain stream: linear in its size.
void BM_PlainFramingOneLargeRead(benchmark::State& state)
{
    Bytes stream = smallPackets(size_t(state.range(0)));
    auto connection = std::make_unique<GameConnection>();
    for (auto _ : state) {
        size_t taken = connection->receiveBytes(stream.data(), stream.size());
        benchmark::DoNotOptimize(taken);
    }
    state.SetBytesProcessed(int64_t(stream.size()) * int64_t(state.iterations()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PlainFramingOneLargeRead)->RangeMultiplier(2)->Range(64 << 10, 512 << 10)->Complexity(benchmark::oN);

// The same on a compressed stream.
void BM_CompressedFramingOneLargeRead(benchmark::State& state)
{
    Bytes plain = smallPackets(size_t(state.range(0)) * 3 / 5);
    Bytes compressed;
    for (size_t at = 0; at < plain.size();) {
        size_t length = packetFixedLength(plain[at]);
        test::huffmanEncodePacket(Bytes(plain.begin() + at, plain.begin() + at + length), compressed);
        at += length;
    }
    compressed.resize(std::min(compressed.size(), size_t(state.range(0))));
    auto connection = std::make_unique<GameConnection>();
    for (auto _ : state) {
        connection->resetState();
        connection->setCompressed(true);
        size_t taken = connection->receiveBytes(compressed.data(), compressed.size());
        benchmark::DoNotOptimize(taken);
    }
    state.SetBytesProcessed(int64_t(compressed.size()) * int64_t(state.iterations()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompressedFramingOneLargeRead)->RangeMultiplier(2)->Range(64 << 10, 512 << 10)->Complexity(benchmark::oN);

// A game connection whose packets go nowhere, so that the receive path alone
// is measured.
class CountingConnection final : public BufferedConnection {
public:
    void dispatchPacket(const uint8_t* packet) override
    {
        ++packets;
        benchmark::DoNotOptimize(packet[0]);
    }
    uint64_t packets = 0;
};

// The whole receive path of a game connection: a burst of 512 KB of small
// compressed world packets arriving in one read, deciphered (the digest XOR),
// decoded and framed, against the bit-by-bit decoder on the same bytes timed
// in the same iterations. The
// burst is a whole number of digest periods long and ends with a whole block,
// so that each iteration takes it in the state the one before left.
void BM_ReceiveBurstOfSmallPackets(benchmark::State& state)
{
    constexpr size_t kBurst = 512 << 10;
    const uint32_t previousSeed = connectionSeed();
    setConnectionSeed(0x0A0B0C0Du);
    test::TestServerPeer peer;
    auto connection = std::make_unique<CountingConnection>();
    connection->setGameServer(true);
    uint32_t seed = 0;
    if (!peer.isListening() || !connection->connect(test::TestServerPeer::address(), peer.port()) || !peer.accept()
        || !peer.readSeed(seed, true)) {
        setConnectionSeed(previousSeed);
        state.SkipWithError("no loopback connection");
        return;
    }
    connection->setCompressed(true);

    // World packets until the burst is nearly full, then empty blocks (one
    // byte each) up to its exact size.
    std::vector<Bytes> packets;
    Bytes encoded;
    // Packets compress to about three quarters of their size, so twice the
    // burst's worth of them is more than enough to fill it.
    for (Bytes& packet : realisticPackets(2 * kBurst)) {
        Bytes piece;
        test::huffmanEncodePacket(packet, piece);
        if (encoded.size() + piece.size() > kBurst)
            break;
        encoded.insert(encoded.end(), piece.begin(), piece.end());
        packets.push_back(std::move(packet));
    }
    const size_t realPackets = packets.size();
    packets.resize(packets.size() + (kBurst - encoded.size()));
    const Bytes burst = peer.compress(packets);
    encoded = test::huffmanEncodePackets(packets);
    NaiveTreeDecoder naive;
    Bytes naiveOut(65536);

    // Each burst, then the bit-by-bit decoder on the same bytes, in turn, so
    // that both see the same load on the machine.
    using BurstClock = std::chrono::steady_clock;
    BurstClock::duration elapsed {};
    BurstClock::duration naiveElapsed {};
    for (auto _ : state) {
        const BurstClock::time_point start = BurstClock::now();
        const size_t taken = connection->receiveBytes(burst.data(), burst.size());
        const BurstClock::time_point middle = BurstClock::now();
        uint32_t bits = 0;
        uint32_t length = 0;
        while (naive.decodePacket(encoded, bits, naiveOut.data(), length)) {
            benchmark::DoNotOptimize(naiveOut.data());
            length = 0;
        }
        naiveElapsed += BurstClock::now() - middle;
        elapsed += middle - start;
        if (taken != burst.size() || connection->rawFill() != 0) {
            state.SkipWithError("the burst was not taken whole");
            break;
        }
    }
    const double seconds = std::chrono::duration<double>(elapsed).count() / double(state.iterations());
    const double naiveSeconds = std::chrono::duration<double>(naiveElapsed).count() / double(state.iterations());
    state.counters["burst_us"] = seconds * 1e6;
    state.counters["naive_us"] = naiveSeconds * 1e6;
    state.counters["speed_vs_naive"] = naiveSeconds / seconds;
    state.counters["packets"] = double(realPackets);
    state.counters["dispatched"] = double(connection->packets) / double(state.iterations());
    connection->close();
    setConnectionSeed(previousSeed);
}
BENCHMARK(BM_ReceiveBurstOfSmallPackets)->Unit(benchmark::kMicrosecond);

// The game stream cipher as flush applies it, 64 KB at a time.
void BM_GameCipherFlush(benchmark::State& state)
{
    GameStreamCipher cipher;
    cipher.init(0x0A0B0C0Du);
    Bytes data(65536, 0x5A);
    for (auto _ : state) {
        cipher.apply(data.data(), data.size());
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(int64_t(data.size()) * int64_t(state.iterations()));
}
BENCHMARK(BM_GameCipherFlush);

// Queuing on a login connection, through the login stream cipher.
void BM_LoginCipherQueue(benchmark::State& state)
{
    auto connection = std::make_unique<GameConnection>();
    std::vector<uint8_t> storage(4096);
    PacketBuffer packet(storage.data(), storage.size());
    packetBegin(packet, 0x1C);
    Bytes payload(4000, 'x');
    packetPutBytes(packet, payload.data(), payload.size());
    for (auto _ : state) {
        connection->resetState();
        for (int i = 0; i < 16; ++i)
            connection->queuePacket(packet);
    }
    state.SetBytesProcessed(int64_t(packet.length()) * 16 * int64_t(state.iterations()));
}
BENCHMARK(BM_LoginCipherQueue);

} // namespace
