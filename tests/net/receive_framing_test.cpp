#include "fixtures/server_packet.h"
#include "recording_connection.h"
#include "support/huffman_encoder.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <random>
#include <string>

namespace {

using test::Bytes;
using test::RecordingConnection;

const Bytes kUseObject = { 0x06, 0x00, 0x00, 0x01, 0x02 };
const Bytes kLoginDone = { 0x55 };
const Bytes kSpeech = { 0x1C, 0x00, 0x08, 'h', 'e', 'l', 'l', 'o' };
const Bytes kPing = { 0x73, 0x09 };
const Bytes kPause = { 0x33, 0x01 };
const Bytes kPauseAgain = { 0x33, 0x02 };
const Bytes kResume = { 0x33, 0x00 };
const Bytes kUnknown = { 0xF0 };

std::unique_ptr<RecordingConnection> makeConnection(bool compressed)
{
    auto connection = std::make_unique<RecordingConnection>();
    connection->link().setCompressed(compressed);
    return connection;
}

TEST(PlainFraming, EverySplitPointDeliversEachPacketOnce)
{
    const std::vector<Bytes> packets = { kUseObject, kSpeech, kLoginDone, kUnknown, kPing, kSpeech };
    Bytes stream = test::concat(packets);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        auto connection = makeConnection(false);
        connection->feed(Bytes(stream.begin(), stream.begin() + cut));
        connection->feed(Bytes(stream.begin() + cut, stream.end()));
        EXPECT_EQ(connection->packets, packets) << "cut at " << cut;
        EXPECT_EQ(connection->link().rawFill(), 0u);
    }
}

TEST(PlainFraming, SplitPacketKeepsItsLengthWordInNetworkOrder)
{
    auto connection = makeConnection(false);
    Bytes big = fixture::ServerPacket(0x1C).fill(297, 'x').bytes();
    connection->feed(Bytes(big.begin(), big.begin() + 100));
    EXPECT_TRUE(connection->packets.empty());
    connection->feed(Bytes(big.begin() + 100, big.begin() + 200));
    EXPECT_TRUE(connection->packets.empty());
    connection->feed(Bytes(big.begin() + 200, big.end()));
    ASSERT_EQ(connection->packets.size(), 1u);
    EXPECT_EQ(connection->packets[0], big);
}

TEST(PlainFraming, OneLargeReadOfSmallPacketsIsDeliveredInOrder)
{
    auto connection = makeConnection(false);
    Bytes stream;
    for (int i = 0; i < 100000; ++i) {
        stream.push_back(0x73);
        stream.push_back(uint8_t(i));
    }
    EXPECT_EQ(connection->link().receiveBytes(stream.data(), stream.size()), stream.size());
    ASSERT_EQ(connection->packets.size(), 100000u);
    EXPECT_EQ(connection->packets[99999][1], uint8_t(99999));
    EXPECT_EQ(connection->link().rawFill(), 0u);
}

// Garbage never stops a plain stream: the following good packet still arrives.
struct PlainBadInput {
    const char* name;
    Bytes garbage;
    size_t dispatchedGarbage;
};

void PrintTo(const PlainBadInput& row, std::ostream* out) { *out << row.name; }

class PlainFramingBadInput : public testing::TestWithParam<PlainBadInput> { };

TEST_P(PlainFramingBadInput, StreamKeepsMoving)
{
    auto connection = makeConnection(false);
    Bytes stream = GetParam().garbage;
    stream.insert(stream.end(), kUseObject.begin(), kUseObject.end());
    connection->feed(stream);
    ASSERT_EQ(connection->packets.size(), GetParam().dispatchedGarbage + 1);
    EXPECT_EQ(connection->packets.back(), kUseObject);
    EXPECT_EQ(connection->lost, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlainFramingBadInput,
    testing::Values(PlainBadInput { "LengthZero", { 0x1C, 0x00, 0x00 }, 1 },
        PlainBadInput { "LengthOne", { 0x1C, 0x00, 0x01 }, 1 }, PlainBadInput { "LengthTwo", { 0x1C, 0x00, 0x02 }, 1 },
        PlainBadInput { "UnknownIds", { 0xDE, 0xFF, 0xEE }, 3 }),
    [](const testing::TestParamInfo<PlainBadInput>& row) { return std::string(row.param.name); });

TEST(PlainFraming, LongestLengthWaitsForItsBytes)
{
    auto connection = makeConnection(false);
    Bytes big(65535, 'y');
    big[0] = 0x1C;
    big[1] = 0xFF;
    big[2] = 0xFF;
    connection->feed(Bytes(big.begin(), big.begin() + 10));
    EXPECT_TRUE(connection->packets.empty());
    connection->feed(Bytes(big.begin() + 10, big.end()));
    ASSERT_EQ(connection->packets.size(), 1u);
    EXPECT_EQ(connection->packets[0].size(), 65535u);
}

TEST(PlainFraming, TruncatedPacketIsHeldUntilComplete)
{
    auto connection = makeConnection(false);
    connection->feed({ 0x06, 0x00 });
    connection->feed({ 0x1C });
    EXPECT_TRUE(connection->packets.empty());
    EXPECT_EQ(connection->link().rawFill(), 3u);
}

TEST(PlainFraming, HandlerThatClosesTheConnectionEndsSplitting)
{
    auto connection = makeConnection(false);
    connection->onPacket = [](RecordingConnection& self, const uint8_t*) { self.link().close(); };
    connection->feed(test::concat({ kUseObject, kPing, kLoginDone }));
    EXPECT_EQ(connection->packets.size(), 1u);
    EXPECT_EQ(connection->link().rawFill(), 0u);
    EXPECT_EQ(connection->lost, 0);
}

TEST(PlainFraming, HeldPacketsAreReleasedWhenTheBufferCannotTakeTheNextOne)
{
    auto connection = makeConnection(false);
    Bytes stream = kPause;
    const size_t held = (BufferedConnection::kRawBufferSize - 100) / 2;
    for (size_t i = 0; i < held; ++i) {
        stream.push_back(0x73);
        stream.push_back(uint8_t(i));
    }
    Bytes big(1000, 'z');
    big[0] = 0x1C;
    big[1] = 0x03;
    big[2] = 0xE8;
    stream.insert(stream.end(), big.begin(), big.end());
    connection->feed(stream);
    ASSERT_EQ(connection->packets.size(), held + 2);
    EXPECT_FALSE(connection->link().isPaused());
    EXPECT_EQ(connection->packets[1][0], 0x73);
    EXPECT_EQ(connection->packets.back(), big);
}

TEST(PlainFraming, HeldPacketsFillingTheBufferExactlyDoNotStallTheStream)
{
    auto connection = makeConnection(false);
    Bytes stream = kPause;
    const size_t held = (BufferedConnection::kRawBufferSize - kPause.size()) / 2;
    for (size_t i = 0; i < held; ++i) {
        stream.push_back(0x73);
        stream.push_back(uint8_t(i));
    }
    ASSERT_EQ(stream.size(), BufferedConnection::kRawBufferSize);
    connection->feed(stream);
    // A full buffer of held packets is released like one that cannot take the next packet.
    connection->feed(kSpeech);
    EXPECT_FALSE(connection->link().isPaused());
    ASSERT_EQ(connection->packets.size(), held + 2);
    EXPECT_EQ(connection->packets.back(), kSpeech);
}

TEST(PlainFraming, PacketsDispatchedEarlierInTheReadMakeRoomWithoutEndingThePause)
{
    auto connection = makeConnection(false);
    const size_t before = 1000;
    Bytes stream;
    for (size_t i = 0; i < before; ++i)
        stream.insert(stream.end(), kPing.begin(), kPing.end());
    stream.insert(stream.end(), kPause.begin(), kPause.end());
    Bytes big(1000, 'z');
    big[0] = 0x1C;
    big[1] = 0x03;
    big[2] = 0xE8;
    const size_t bigHead = 500;
    const size_t held = (BufferedConnection::kRawBufferSize - stream.size() - bigHead) / 2;
    for (size_t i = 0; i < held; ++i)
        stream.insert(stream.end(), kPing.begin(), kPing.end());
    stream.insert(stream.end(), big.begin(), big.begin() + bigHead);
    ASSERT_EQ(stream.size(), BufferedConnection::kRawBufferSize);

    // One read fills the buffer; the held packets and the next one fit once the
    // dispatched ones are gone, so the server's pause is kept.
    connection->feed(stream);
    EXPECT_TRUE(connection->link().isPaused());
    EXPECT_EQ(connection->packets.size(), before + 1);

    Bytes rest(big.begin() + bigHead, big.end());
    connection->feed(test::concat({ rest, kResume, kUseObject }));
    EXPECT_FALSE(connection->link().isPaused());
    ASSERT_EQ(connection->packets.size(), before + 1 + held + 2);
    EXPECT_EQ(connection->packets[before + 1 + held], big);
    EXPECT_EQ(connection->packets.back(), kUseObject);
}

// Pause scripts, played on both stream forms.
struct PauseScript {
    const char* name;
    std::vector<Bytes> arriving;
    std::vector<Bytes> dispatched;
    bool pausedAfter;
};

const PauseScript kPauseScripts[] = {
    { "HeldThenResumed", { kPause, kUseObject, kSpeech, kPing, kResume, kLoginDone },
        { kPause, kUseObject, kSpeech, kPing, kLoginDone }, false },
    { "NestedPauseIsCutOut", { kPause, kUseObject, kPauseAgain, kSpeech, kResume, kPing },
        { kPause, kUseObject, kSpeech, kPing }, false },
    { "StillPaused", { kPause, kUseObject, kSpeech }, { kPause }, true },
    { "NothingHeld", { kPause, kResume, kPing }, { kPause, kPing }, false },
    { "PausedTwice", { kPause, kPing, kResume, kPause, kSpeech, kResume, kUseObject },
        { kPause, kPing, kPause, kSpeech, kUseObject }, false },
};

struct PauseCase {
    PauseScript script;
    bool compressed;
    bool byteByByte;
};

void PrintTo(const PauseCase& row, std::ostream* out)
{
    *out << row.script.name << (row.compressed ? " compressed" : " plain") << (row.byteByByte ? " byte by byte" : "");
}

class PauseHoldBack : public testing::TestWithParam<PauseCase> { };

TEST_P(PauseHoldBack, DeliversInArrivalOrder)
{
    const PauseCase& c = GetParam();
    auto connection = makeConnection(c.compressed);
    Bytes stream = c.compressed ? test::huffmanEncodePackets(c.script.arriving) : test::concat(c.script.arriving);
    if (c.byteByByte) {
        for (uint8_t byte : stream)
            connection->feed({ byte });
    } else {
        connection->feed(stream);
    }
    EXPECT_EQ(connection->packets, c.script.dispatched);
    EXPECT_EQ(connection->link().isPaused(), c.script.pausedAfter);
    EXPECT_EQ(connection->lost, 0);
}

std::vector<PauseCase> pauseCases()
{
    std::vector<PauseCase> cases;
    for (const PauseScript& script : kPauseScripts) {
        for (int form = 0; form < 4; ++form)
            cases.push_back({ script, (form & 1) != 0, (form & 2) != 0 });
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, PauseHoldBack, testing::ValuesIn(pauseCases()), [](const testing::TestParamInfo<PauseCase>& row) {
        return std::string(row.param.script.name) + (row.param.compressed ? "_Compressed" : "_Plain")
            + (row.param.byteByByte ? "_ByteByByte" : "_OneRead");
    });

TEST(PlainFraming, UnknownIdWhilePausedIsHeldAndReleased)
{
    auto connection = makeConnection(false);
    connection->feed(test::concat({ kPause, kUseObject, kUnknown, kResume, kPing }));
    EXPECT_EQ(connection->packets, (std::vector<Bytes> { kPause, kUseObject, kUnknown, kPing }));
}

TEST(CompressedFraming, EverySplitPointDeliversEachPacketOnce)
{
    const std::vector<Bytes> packets = { kUseObject, kSpeech, kLoginDone, kPing, kSpeech };
    Bytes stream = test::huffmanEncodePackets(packets);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        auto connection = makeConnection(true);
        connection->feed(Bytes(stream.begin(), stream.begin() + cut));
        connection->feed(Bytes(stream.begin() + cut, stream.end()));
        EXPECT_EQ(connection->packets, packets) << "cut at " << cut;
    }
}

TEST(CompressedFraming, EmptyBlockIsSkipped)
{
    auto connection = makeConnection(true);
    connection->feed(test::huffmanEncodePackets({ {}, kPing }));
    EXPECT_EQ(connection->packets, (std::vector<Bytes> { kPing }));
    EXPECT_EQ(connection->lost, 0);
}

// Runs of empty blocks of every length up to a dozen between the packets of
// one large read: each packet arrives once, in order.
TEST(CompressedFraming, RunsOfEmptyBlocksInALongRunAreSkipped)
{
    std::vector<Bytes> blocks;
    std::vector<Bytes> packets;
    for (int i = 0; i < 200; ++i) {
        blocks.insert(blocks.end(), size_t(i % 13), Bytes {});
        packets.push_back({ 0x73, uint8_t(i) });
        blocks.push_back(packets.back());
    }
    auto connection = makeConnection(true);
    connection->feed(test::huffmanEncodePackets(blocks));
    EXPECT_EQ(connection->packets, packets);
    EXPECT_EQ(connection->lost, 0);
    EXPECT_EQ(connection->link().rawFill(), 0u);
}

// A broken compressed block can never be framed; the connection is given up
// instead of stalling for ever.
struct CompressedBadInput {
    const char* name;
    std::vector<Bytes> blocks;
};

void PrintTo(const CompressedBadInput& row, std::ostream* out) { *out << row.name; }

class CompressedFramingBadInput : public testing::TestWithParam<CompressedBadInput> { };

TEST_P(CompressedFramingBadInput, ClosesAndReportsTheLoss)
{
    auto connection = makeConnection(true);
    std::vector<Bytes> blocks = GetParam().blocks;
    blocks.push_back(kPing);
    connection->feed(test::huffmanEncodePackets(blocks));
    EXPECT_EQ(connection->lost, 1);
    EXPECT_FALSE(connection->link().isCompressed()) << "closing resets the connection";
    EXPECT_TRUE(connection->packets.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CompressedFramingBadInput,
    testing::Values(CompressedBadInput { "UnknownId", { { 0xE0, 1, 2 } } },
        CompressedBadInput { "LengthZero", { { 0x1C, 0x00, 0x00 } } },
        CompressedBadInput { "LengthTwo", { { 0x1C, 0x00, 0x02 } } },
        CompressedBadInput { "LengthLongerThanBlock", { { 0x1C, 0xFF, 0xFF, 'a' } } },
        CompressedBadInput { "LengthShorterThanBlock", { { 0x1C, 0x00, 0x04, 'a', 'b' } } },
        CompressedBadInput { "TruncatedHeader", { { 0x1C, 0x00 } } },
        CompressedBadInput { "FixedTooShort", { { 0x06, 0x00 } } },
        CompressedBadInput { "FixedTooLong", { { 0x73, 0x00, 0x00 } } },
        CompressedBadInput { "BlockLongerThanTheDecodedBuffer", { Bytes(70000, 0x00) } }),
    [](const testing::TestParamInfo<CompressedBadInput>& row) { return std::string(row.param.name); });

TEST(CompressedFraming, HeldPacketsFillingTheDecodedBufferCloseTheConnection)
{
    auto connection = makeConnection(true);
    std::vector<Bytes> blocks = { kPause };
    Bytes big = fixture::ServerPacket(0x1C).fill(60000 - 3, 'q').bytes();
    blocks.push_back(big);
    blocks.push_back(big);
    connection->feed(test::huffmanEncodePackets(blocks));
    EXPECT_EQ(connection->lost, 1);
    EXPECT_EQ(connection->packets.size(), 1u);
}

// A long compressed stream is decoded many blocks at a time. Pauses,
// resumes and nested pauses spread through it must act exactly as when
// every packet arrives on its own.
std::vector<Bytes> longPauseScript(uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<Bytes> packets;
    bool paused = false;
    for (int i = 0; i < 4000; ++i) {
        uint32_t pick = random() % 100;
        if (pick == 0) {
            packets.push_back(paused ? kResume : kPause);
            paused = !paused;
        } else if (pick == 1 && paused) {
            packets.push_back(kPauseAgain);
        } else if (pick < 20) {
            packets.push_back(fixture::ServerPacket(0x1C).fill(random() % 200, 'a' + random() % 26).bytes());
        } else {
            Bytes ping = kPing;
            ping[1] = uint8_t(random());
            packets.push_back(pick < 60 ? ping : kUseObject);
        }
    }
    return packets;
}

// What the dispatcher sees: held packets go out on a resume, which is
// dropped with any pause met while paused.
std::vector<Bytes> dispatchedOf(const std::vector<Bytes>& arriving)
{
    std::vector<Bytes> dispatched;
    std::vector<Bytes> held;
    bool paused = false;
    for (const Bytes& packet : arriving) {
        if (!paused) {
            dispatched.push_back(packet);
            paused = packet[0] == kPause[0] && packet[1] != 0;
        } else if (packet[0] == kPause[0]) {
            if (packet[1] == 0) {
                dispatched.insert(dispatched.end(), held.begin(), held.end());
                held.clear();
                paused = false;
            }
        } else {
            held.push_back(packet);
        }
    }
    return dispatched;
}

struct ReadSizes {
    const char* name;
    size_t first; // bytes of the first read; the rest arrives in reads of `next`
    size_t next;
};

void PrintTo(const ReadSizes& row, std::ostream* out) { *out << row.name; }

class CompressedRuns : public testing::TestWithParam<ReadSizes> { };

TEST_P(CompressedRuns, PauseAndResumeActAsForSinglePackets)
{
    for (uint32_t seed : { 1u, 2u, 3u }) {
        std::vector<Bytes> arriving = longPauseScript(seed);
        Bytes stream = test::huffmanEncodePackets(arriving);
        auto connection = makeConnection(true);
        size_t at = std::min(GetParam().first, stream.size());
        connection->feed(Bytes(stream.begin(), stream.begin() + at));
        for (; at < stream.size(); at += GetParam().next) {
            size_t end = std::min(at + GetParam().next, stream.size());
            connection->feed(Bytes(stream.begin() + at, stream.begin() + end));
        }
        std::vector<Bytes> expected = dispatchedOf(arriving);
        ASSERT_EQ(connection->packets.size(), expected.size()) << "seed " << seed;
        EXPECT_EQ(connection->packets, expected) << "seed " << seed;
        EXPECT_EQ(connection->lost, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, CompressedRuns,
    testing::Values(ReadSizes { "OneRead", SIZE_MAX, 1 }, ReadSizes { "Reads4K", 4096, 4096 },
        ReadSizes { "Reads333", 333, 333 }, ReadSizes { "ByteByByte", 0, 1 }),
    [](const testing::TestParamInfo<ReadSizes>& row) { return std::string(row.param.name); });

TEST(CompressedFraming, HandlerThatClosesInALongRunEndsIt)
{
    auto connection = makeConnection(true);
    connection->onPacket = [](RecordingConnection& self, const uint8_t*) {
        if (self.packets.size() == 700)
            self.link().close();
    };
    std::vector<Bytes> arriving(3000, kUseObject);
    connection->feed(test::huffmanEncodePackets(arriving));
    EXPECT_EQ(connection->packets.size(), 700u);
    EXPECT_EQ(connection->lost, 0);
    EXPECT_FALSE(connection->link().isCompressed()) << "closing resets the connection";
}

TEST(CompressedFraming, HandlerPausingInALongRunHoldsTheRest)
{
    auto connection = makeConnection(true);
    connection->onPacket = [](RecordingConnection& self, const uint8_t*) {
        if (self.packets.size() == 1000)
            self.link().pauseDelivery();
    };
    std::vector<Bytes> arriving;
    for (int i = 0; i < 3000; ++i)
        arriving.push_back({ 0x73, uint8_t(i) });
    arriving[2000] = kResume;
    connection->feed(test::huffmanEncodePackets(arriving));
    std::vector<Bytes> expected = arriving;
    expected.erase(expected.begin() + 2000);
    EXPECT_EQ(connection->packets, expected);
    EXPECT_FALSE(connection->link().isPaused());
}

TEST(CompressedFraming, BrokenBlockInALongRunClosesAfterTheOnesBefore)
{
    auto connection = makeConnection(true);
    std::vector<Bytes> arriving(3000, kPing);
    arriving[2100] = { 0x1C, 0x00, 0x04, 'a', 'b' };
    connection->feed(test::huffmanEncodePackets(arriving));
    EXPECT_EQ(connection->packets.size(), 2100u);
    EXPECT_EQ(connection->lost, 1);
}

} // namespace
