#include "net/packet_table.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

TEST(PacketTable, RowsMatchTheirIdsAndLengthsAreSane)
{
    int variable = 0;
    for (int id = 0; id < kPacketTableSize; ++id) {
        EXPECT_EQ(packetTable[id].id, uint32_t(id));
        EXPECT_EQ(packetTable[id].reserved, 0);
        if (packetTable[id].lengthWord == kVariableLength)
            ++variable;
        else
            EXPECT_GT(packetTable[id].lengthWord, 0) << id;
    }
    EXPECT_EQ(variable, 87);
    EXPECT_EQ(packetFixedLength(0x00), 104);
    EXPECT_EQ(packetFixedLength(0xDC), 9);
    EXPECT_TRUE(packetIsVariable(0xDD));
}

TEST(PacketTable, HeaderSizeByKind)
{
    EXPECT_EQ(packetHeaderSize(0x03), 3);
    EXPECT_EQ(packetHeaderSize(0x02), 1);
    EXPECT_EQ(packetHeaderSize(0xDE), 0);
    EXPECT_EQ(packetHeaderSize(0xFF), 0);
    const uint8_t unknown[] = { 0xDE, 0x00, 0x10 };
    EXPECT_EQ(packetLength(unknown), 0u);
}

// Getter boundaries: a short, fixed packet of one id and a variable packet
// with a payload of `payload` bytes; each getter of width n is tried at every
// offset around the end.
struct GetterCase {
    const char* name;
    int width;
};

void PrintTo(const GetterCase& row, std::ostream* out) { *out << row.name; }

class PacketGetterBoundary : public testing::TestWithParam<GetterCase> { };

bool getOfWidth(int width, const uint8_t* packet, int32_t& offset, uint32_t& out)
{
    if (width == 1) {
        uint8_t value = 0xAA;
        bool ok = packetGetByte(packet, offset, value);
        out = value;
        return ok;
    }
    if (width == 2) {
        uint16_t value = 0xAAAA;
        bool ok = packetGetShort(packet, offset, value);
        out = value;
        return ok;
    }
    return packetGetLong(packet, offset, out);
}

TEST_P(PacketGetterBoundary, ReadsInsideAndRefusesPastTheEnd)
{
    const int width = GetParam().width;
    // Variable packet 0x03 of 3 + 6 bytes, followed by bytes that must never be read.
    std::vector<uint8_t> bytes = { 0x03, 0x00, 0x09, 1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 0xEE, 0xEE };
    for (int32_t start = 0; start <= 8; ++start) {
        int32_t offset = start;
        uint32_t value = 0xFFFFFFFF;
        bool ok = getOfWidth(width, bytes.data(), offset, value);
        if (start + width <= 6) {
            EXPECT_TRUE(ok) << start;
            EXPECT_EQ(offset, start + width);
            uint32_t expected = 0;
            for (int k = 0; k < width; ++k)
                expected = expected << 8 | uint32_t(start + 1 + k);
            EXPECT_EQ(value, expected);
        } else {
            EXPECT_FALSE(ok) << start;
            EXPECT_EQ(offset, start) << "offset moved on failure";
            EXPECT_EQ(value, 0u);
        }
    }
    int32_t negative = -1;
    uint32_t value = 1;
    EXPECT_FALSE(getOfWidth(width, bytes.data(), negative, value));
    EXPECT_EQ(negative, -1);
    EXPECT_EQ(value, 0u);
}

INSTANTIATE_TEST_SUITE_P(Widths, PacketGetterBoundary,
    testing::Values(GetterCase { "Byte", 1 }, GetterCase { "Short", 2 }, GetterCase { "Long", 4 }),
    [](const testing::TestParamInfo<GetterCase>& row) { return std::string(row.param.name); });

TEST(PacketGetters, FixedPacketUsesTheTableLength)
{
    // 0x73 is two bytes long; the byte after it is not part of the packet.
    const uint8_t bytes[] = { 0x73, 0x07, 0x99 };
    int32_t offset = 0;
    uint8_t value = 0;
    EXPECT_TRUE(packetGetByte(bytes, offset, value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(packetGetByte(bytes, offset, value));
    EXPECT_EQ(offset, 1);
}

// Counts and texts taken from the wire must never reach outside the packet.
struct BadBytesCase {
    const char* name;
    int32_t offset;
    int32_t count;
    bool ok;
};

void PrintTo(const BadBytesCase& row, std::ostream* out) { *out << row.name; }

class PacketGetBytes : public testing::TestWithParam<BadBytesCase> { };

TEST_P(PacketGetBytes, StaysInsideThePacket)
{
    const uint8_t bytes[] = { 0x03, 0x00, 0x07, 'a', 'b', 'c', 'd', 0xEE };
    const BadBytesCase& c = GetParam();
    int32_t offset = c.offset;
    const uint8_t* out = bytes;
    EXPECT_EQ(packetGetBytes(bytes, offset, out, c.count), c.ok);
    if (c.ok) {
        EXPECT_EQ(out, bytes + 3 + c.offset);
        EXPECT_EQ(offset, c.offset + c.count);
    } else {
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(offset, c.offset);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PacketGetBytes,
    testing::Values(BadBytesCase { "Whole", 0, 4, true }, BadBytesCase { "Empty", 4, 0, true },
        BadBytesCase { "OneTooMany", 0, 5, false }, BadBytesCase { "PastTheEnd", 5, 0, false },
        BadBytesCase { "NegativeCount", 0, -1, false }, BadBytesCase { "NegativeOffset", -3, 2, false },
        BadBytesCase { "HugeCount", 1, 0x7FFFFFFF, false }),
    [](const testing::TestParamInfo<BadBytesCase>& row) { return std::string(row.param.name); });

TEST(PacketGetters, TextEndingAtTheLastByteIsRead)
{
    const uint8_t bytes[] = { 0x03, 0x00, 0x07, 'h', 'i', 0, 0 };
    int32_t offset = 1;
    const char* text = nullptr;
    ASSERT_TRUE(packetGetTextChecked(bytes, offset, text));
    EXPECT_STREQ(text, "i");
    EXPECT_EQ(offset, 3);
    ASSERT_TRUE(packetGetText(bytes, offset, text));
    EXPECT_STREQ(text, "");
    EXPECT_EQ(offset, 4);
    EXPECT_FALSE(packetGetText(bytes, offset, text));
}

TEST(PacketGetters, TextWithoutNulIsRefused)
{
    const uint8_t bytes[] = { 0x03, 0x00, 0x06, 'a', 'b', 'c', 0 };
    int32_t offset = 0;
    const char* text = "x";
    EXPECT_FALSE(packetGetText(bytes, offset, text));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(offset, 0);
}

TEST(PacketGetters, FixedTextWithoutNulIsReadToItsSize)
{
    const uint8_t bytes[] = { 0x03, 0x00, 0x09, 'a', 'b', 'c', 'd', 'e', 'f' };
    int32_t offset = 0;
    std::string_view text;
    ASSERT_TRUE(packetGetFixedText(bytes, offset, 4, text));
    EXPECT_EQ(text, "abcd");
    EXPECT_EQ(offset, 4);
    EXPECT_FALSE(packetGetFixedText(bytes, offset, 4, text));
    EXPECT_EQ(offset, 4);
    const uint8_t padded[] = { 0x03, 0x00, 0x07, 'o', 'k', 0, 'x' };
    offset = 0;
    ASSERT_TRUE(packetGetFixedText(padded, offset, 4, text));
    EXPECT_EQ(text, "ok");
}

TEST(PacketBuffer, VariablePacketWithNoPutsIsThreeBytes)
{
    PacketStorage<16> buffer;
    ASSERT_TRUE(packetBegin(buffer, 0x12));
    EXPECT_EQ(buffer.length(), 3u);
    EXPECT_EQ(packetLength(buffer.data()), 3u);
}

TEST(PacketBuffer, LengthWordIsBigEndianWhileBuilding)
{
    PacketStorage<400> buffer;
    packetBegin(buffer, 0x12);
    for (int i = 0; i < 300; ++i)
        packetPutByte(buffer, uint8_t(i));
    EXPECT_EQ(buffer.data()[1], 0x01);
    EXPECT_EQ(buffer.data()[2], 0x2F); // 303
    EXPECT_EQ(buffer.length(), 303u);
}

TEST(PacketBuffer, PutPastTheCapacityFailsTheBuild)
{
    PacketStorage<8> buffer;
    packetBegin(buffer, 0x12);
    EXPECT_TRUE(packetPutLong(buffer, 1));
    EXPECT_FALSE(packetPutShort(buffer, 2)); // 7 + 2 > 8
    EXPECT_TRUE(buffer.failed());
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_FALSE(packetPutByte(buffer, 3)); // stays failed
}

TEST(PacketBuffer, VariableLengthCannotWrapPastTheLengthWord)
{
    std::vector<uint8_t> storage(70000);
    PacketBuffer buffer(storage.data(), storage.size());
    packetBegin(buffer, 0x12);
    std::vector<uint8_t> block(65532, 'x');
    EXPECT_TRUE(packetPutBytes(buffer, block.data(), block.size())); // 65,535 in all
    EXPECT_EQ(buffer.length(), 65535u);
    EXPECT_FALSE(packetPutByte(buffer, 0));
    EXPECT_TRUE(buffer.failed());
}

TEST(PacketBuffer, FixedPacketCannotGrowPastItsTableLength)
{
    PacketStorage<64> buffer;
    packetBegin(buffer, 0x06); // 5 bytes
    EXPECT_TRUE(packetPutLong(buffer, 0x01020304));
    EXPECT_FALSE(packetPutByte(buffer, 0));
    EXPECT_TRUE(buffer.failed());
}

TEST(PacketBuffer, FixedPacketNeedsRoomForItsTableLength)
{
    PacketStorage<50> buffer;
    EXPECT_FALSE(packetBegin(buffer, 0x00)); // 104 bytes
    EXPECT_EQ(buffer.length(), 0u);
}

TEST(PacketBuffer, FixedPacketGoesOutAtTheTableLength)
{
    PacketStorage<16> buffer;
    packetBegin(buffer, 0x02); // 7 bytes
    packetPutByte(buffer, 1);
    EXPECT_EQ(buffer.length(), 7u);
    EXPECT_EQ(buffer.position(), 2u);
}

TEST(PacketBuffer, UnknownIdCannotBeBuilt)
{
    PacketStorage<16> buffer;
    EXPECT_FALSE(packetBegin(buffer, 0xDE));
    EXPECT_EQ(buffer.length(), 0u);
}

TEST(PacketBuffer, FixedTextIsPaddedAndCut)
{
    PacketStorage<64> buffer;
    packetBegin(buffer, 0x12);
    packetPutFixedText(buffer, "abc", 5);
    packetPutFixedText(buffer, "abcdefgh", 4);
    packetPutFixedText(buffer, nullptr, 2);
    const uint8_t expected[] = { 0x12, 0x00, 14, 'a', 'b', 'c', 0, 0, 'a', 'b', 'c', 'd', 0, 0 };
    ASSERT_EQ(buffer.length(), sizeof expected);
    EXPECT_EQ(std::vector<uint8_t>(buffer.data(), buffer.data() + sizeof expected),
        std::vector<uint8_t>(expected, expected + sizeof expected));
}

TEST(PacketBuffer, WideStringUnitsGoLowByteFirst)
{
    PacketStorage<16> buffer;
    packetBegin(buffer, 0x12);
    const char16_t text[] = u"A\u0141";
    ASSERT_TRUE(packetPutWideString(buffer, text, 2));
    EXPECT_EQ(std::vector<uint8_t>(buffer.data() + 3, buffer.data() + buffer.length()),
        (std::vector<uint8_t> { 'A', 0, 0x41, 0x01 }));
}

TEST(PacketBuffer, WideStringPastTheCapacityFailsTheBuild)
{
    PacketStorage<8> buffer;
    packetBegin(buffer, 0x12);
    const char16_t text[] = u"ABC";
    EXPECT_FALSE(packetPutWideString(buffer, text, 3));
    EXPECT_TRUE(buffer.failed());
    EXPECT_EQ(buffer.length(), 0u);
}

} // namespace
