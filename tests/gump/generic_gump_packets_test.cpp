// The packets that open server-described gumps, fed as real bytes through
// the dispatcher (and once through a loopback connection's framing), with
// their bad-input tables.
#include "generic_gump_test_support.h"

#include "fixtures/server_packet.h"
#include "fixtures/zlib_payload.h"
#include "gump/generic_gump_packets.h"
#include "net/packet_dispatcher.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
using fixture::ServerPacket;
using gump_test::GenericGumpDesktop;
using gump_test::openGenericGumps;

const std::string kLayout = "{page 0}{resizepic 0 0 300 200 100}{button 10 10 100 101 1 0 5}{text 10 40 0 0}";
const std::vector<std::u16string> kLines { u"Hi" };

// The lines as both packets carry them: {uint16 length, big-endian units}.
Bytes lineBytes(const std::vector<std::u16string>& lines)
{
    Bytes bytes;
    for (const std::u16string& line : lines) {
        bytes.push_back(uint8_t(line.size() >> 8));
        bytes.push_back(uint8_t(line.size()));
        for (char16_t unit : line) {
            bytes.push_back(uint8_t(unit >> 8));
            bytes.push_back(uint8_t(unit));
        }
    }
    return bytes;
}

ServerPacket header(uint8_t id)
{
    ServerPacket packet(id);
    packet.u32(0x01020304).u32(0xABCD).u32(30).u32(40);
    return packet;
}

Bytes plainPacket(const std::string& layout = kLayout, const std::vector<std::u16string>& lines = kLines)
{
    ServerPacket packet = header(0xB0);
    packet.u16(uint16_t(layout.size())).bytes(Bytes(layout.begin(), layout.end())).u16(uint16_t(lines.size()));
    return packet.bytes(lineBytes(lines)).bytes();
}

// One block of 0xDD: the unpacked size, then the zlib stream.
Bytes block(const std::string& bytes, uint32_t statedSize)
{
    Bytes out = fixture::be32(statedSize);
    Bytes stream = fixture::zlibCompressed(bytes);
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

Bytes block(const std::string& bytes) { return block(bytes, uint32_t(bytes.size())); }

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes compressedPacket(const Bytes& layoutBlock, uint32_t lineCount, const Bytes& linesBlock)
{
    ServerPacket packet = header(0xDD);
    packet.u32(uint32_t(layoutBlock.size())).bytes(layoutBlock);
    packet.u32(lineCount).u32(uint32_t(linesBlock.size())).bytes(linesBlock);
    return packet.bytes();
}

Bytes compressedPacket(const std::string& layout = kLayout, const std::vector<std::u16string>& lines = kLines)
{
    return compressedPacket(block(layout), uint32_t(lines.size()), block(asText(lineBytes(lines))));
}

class GumpPackets : public GenericGumpDesktop {
protected:
    GumpPackets()
    {
        clearPacketHandlers();
        registerGenericGumpHandlers();
        createGameConnection();
    }
    ~GumpPackets() override
    {
        destroyAllConnections();
        clearPacketHandlers();
    }

    // Through the dispatcher, as the connection's framing hands it over.
    static void dispatch(const Bytes& packet) { dispatchGamePacket(*currentGameConnection(), packet.data()); }

    // The fixture's gump: a frame, a reply button and the line "Hi".
    static void expectFixtureGump(GenericGump& gump)
    {
        EXPECT_EQ(gump.senderSerial(), 0x01020304u);
        EXPECT_EQ(gump.typeId(), 0xABCDu);
        EXPECT_EQ(gump.x(), 30);
        EXPECT_EQ(gump.y(), 40);
        ASSERT_EQ(gump.elements().size(), 3u);
        EXPECT_EQ(gump.elements()[0]->kind, ElementKind::ResizePic);
        EXPECT_EQ(gump.elements()[1]->kind, ElementKind::Button);
        EXPECT_EQ(gump.elements()[2]->text, u"Hi");
    }
};

TEST_F(GumpPackets, PlainPacketOpensTheGump)
{
    open("{gumppic 0 0 100}");
    dispatch(plainPacket());
    ASSERT_EQ(openGenericGumps().size(), 2u);
    expectFixtureGump(*openGenericGumps()[0]);
    EXPECT_EQ(gumpListHead(), openGenericGumps()[0]) << "linked at the top";
}

TEST_F(GumpPackets, CompressedPacketOpensTheSameGump)
{
    dispatch(compressedPacket());
    ASSERT_EQ(openGenericGumps().size(), 1u);
    expectFixtureGump(*openGenericGumps()[0]);
}

TEST_F(GumpPackets, ThroughTheConnectionAndBackAsAReply)
{
    destroyAllConnections();
    gump_test::LoopbackServer server;
    ASSERT_TRUE(server.isReady());
    server.deliver({ compressedPacket(), plainPacket("{button 0 0 100 101 1 0 9}", {}) });
    ASSERT_EQ(openGenericGumps().size(), 2u);
    expectFixtureGump(*openGenericGumps()[1]);
    GenericGump* second = openGenericGumps()[0];
    second->onLeftDown(1, 1);
    second->onLeftUp(1, 1);
    const Bytes expected { 0xB1, 0, 23, 1, 2, 3, 4, 0, 0, 0xAB, 0xCD, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(server.sent(expected.size()), expected);
    EXPECT_EQ(openGenericGumps().size(), 1u);
}

struct BadPacketCase {
    const char* name;
    Bytes packet;
};

class BadGumpPacket : public GumpPackets, public testing::WithParamInterface<BadPacketCase> { };

TEST_P(BadGumpPacket, ShowsNothing)
{
    dispatch(GetParam().packet);
    EXPECT_TRUE(openGenericGumps().empty());
}

Bytes plainWith(uint16_t layoutLength, const Bytes& rest)
{
    ServerPacket packet = header(0xB0);
    return packet.u16(layoutLength).bytes(rest).bytes();
}

std::vector<BadPacketCase> badPackets()
{
    const std::string layout = "{gumppic 0 0 100}";
    const Bytes layoutBytes(layout.begin(), layout.end());
    const Bytes lines = lineBytes({ u"abc" });
    auto withLayout = [&](const Bytes& tail) {
        Bytes all = layoutBytes;
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    return {
        { "PlainHeaderOnly", ServerPacket(0xB0).u32(1).u32(2).bytes() },
        { "PlainLayoutLengthPastTheEnd", plainWith(uint16_t(layout.size() + 1), withLayout({})) },
        { "PlainNoLineCount", plainWith(uint16_t(layout.size()), layoutBytes) },
        { "PlainLineLengthPastTheEnd", plainWith(uint16_t(layout.size()), withLayout({ 0, 1, 0, 9, 0, 'a' })) },
        { "PlainMoreLinesThanSent", plainWith(uint16_t(layout.size()), withLayout({ 0, 2, 0, 1, 0, 'a' })) },
        { "CompressedTruncatedStream",
            [&] {
                Bytes cut = block(layout);
                cut.resize(cut.size() - 3);
                return compressedPacket(cut, 0, {});
            }() },
        { "CompressedGarbageStream", compressedPacket({ 0, 0, 0, 20, 1, 2, 3, 4, 5, 6 }, 0, {}) },
        { "CompressedSizeAboveTheCap", compressedPacket(block(layout, uint32_t(kMaxUnpackedBlock + 1)), 0, {}) },
        { "CompressedStreamLongerThanItsSize", compressedPacket(block(layout, 4), 0, {}) },
        { "CompressedLayoutWithoutData", compressedPacket({ 0, 0, 0, 40 }, 0, {}) },
        { "CompressedLayoutBlockPastThePacket",
            ServerPacket(header(0xDD)).u32(500).bytes(block(layout)).bytes() },
        { "CompressedHugeBlockLength", ServerPacket(header(0xDD)).u32(0xFFFFFFF0u).bytes(block(layout)).bytes() },
        { "CompressedLinesBlockPastThePacket",
            ServerPacket(header(0xDD)).u32(uint32_t(block(layout).size())).bytes(block(layout)).u32(1).u32(300)
                .bytes(block(asText(lines)))
                .bytes() },
        { "CompressedBrokenLinesBlock", compressedPacket(block(layout), 1, { 0, 0, 0, 8, 9, 9, 9 }) },
        { "CompressedNoLineFields", ServerPacket(header(0xDD)).u32(uint32_t(block(layout).size())).bytes(block(layout)).bytes() },
    };
}

INSTANTIATE_TEST_SUITE_P(Refused, BadGumpPacket, testing::ValuesIn(badPackets()),
    [](const testing::TestParamInfo<BadPacketCase>& row) { return std::string(row.param.name); });

TEST_F(GumpPackets, PacketsCutAtEveryByteAreRefused)
{
    for (const Bytes& whole : { plainPacket(), compressedPacket() }) {
        ServerPacket copy(whole[0]);
        copy.bytes(Bytes(whole.begin() + 3, whole.end()));
        for (size_t cut = 1; cut + 3 < whole.size(); ++cut) {
            dispatch(copy.truncatedBy(cut));
            ASSERT_TRUE(openGenericGumps().empty()) << std::hex << int(whole[0]) << " cut by " << std::dec << cut;
        }
    }
}

TEST_F(GumpPackets, FarPositionsAreBroughtWithinReach)
{
    ServerPacket packet(0xB0);
    const std::string layout = "{gumppic 0 0 100}";
    packet.u32(1).u32(2).u32(0x7FFFFFFF).u32(0xFFFFFFF0).u16(uint16_t(layout.size()));
    dispatch(packet.bytes(Bytes(layout.begin(), layout.end())).u16(0).bytes());
    ASSERT_EQ(openGenericGumps().size(), 1u);
    EXPECT_EQ(openGenericGumps()[0]->x(), GenericGump::kMaxLayoutCoordinate);
    EXPECT_EQ(openGenericGumps()[0]->y(), -16);
    composeAll(true);
}

TEST_F(GumpPackets, CompressedLinesAreTakenAsFarAsTheBlockHoldsThem)
{
    // Three lines promised, two present, the second cut short: only the
    // whole first one is taken.
    Bytes lines = lineBytes({ u"one", u"two" });
    lines.resize(lines.size() - 1);
    dispatch(compressedPacket(block("{text 0 0 0 0}{text 0 20 0 1}"), 3, block(asText(lines))));
    ASSERT_EQ(openGenericGumps().size(), 1u);
    GenericGump& gump = *openGenericGumps()[0];
    EXPECT_EQ(gump.elements()[0]->text, u"one");
    EXPECT_EQ(gump.elements()[1]->text, u"");
}

TEST_F(GumpPackets, CompressedBlocksUseWhatZlibProduced)
{
    // A size field larger than the stream: the layout is what inflated, no
    // more. A lines block of its size field alone holds no lines.
    dispatch(compressedPacket(block("{gumppic 0 0 100}", 4000), 5, { 0, 0, 0, 0 }));
    ASSERT_EQ(openGenericGumps().size(), 1u);
    EXPECT_EQ(openGenericGumps()[0]->elements().size(), 1u);
}

TEST(GumpBlocks, DecodeAsTheirSizeFieldAndStreamSay)
{
    std::string out = "stale";
    EXPECT_EQ(decodeGumpBlock({}, out), BlockResult::Decoded);
    EXPECT_TRUE(out.empty());
    const Bytes sizeOnly { 0, 0, 1, 0 };
    EXPECT_EQ(decodeGumpBlock(sizeOnly, out), BlockResult::Decoded);
    EXPECT_TRUE(out.empty());
    const Bytes good = block("layout text");
    EXPECT_EQ(decodeGumpBlock(good, out), BlockResult::Decoded);
    EXPECT_EQ(out, "layout text");
    const Bytes tooSmall = block("layout text", 3);
    EXPECT_EQ(decodeGumpBlock(tooSmall, out), BlockResult::Failed);
    EXPECT_TRUE(out.empty());
}

} // namespace
