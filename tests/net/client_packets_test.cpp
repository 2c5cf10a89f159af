#include "fixtures/server_packet.h"
#include "net/buffered_connection.h"
#include "net/client_packets.h"
#include "net/new_character_record.h"

#include <climits>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Golden-byte helpers: each returns the wire form of one field.
Bytes u8(uint8_t v) { return { v }; }
Bytes u16(uint16_t v) { return fixture::be16(v); }
Bytes u32(uint32_t v) { return fixture::be32(v); }
Bytes text(const std::string& s, size_t width)
{
    Bytes field(width, 0);
    std::memcpy(field.data(), s.data(), std::min(s.size(), width));
    return field;
}
Bytes raw(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
// A variable packet: id, length word, payload.
Bytes variable(uint8_t id, std::initializer_list<Bytes> parts)
{
    Bytes payload = join(parts);
    return join({ u8(id), u16(uint16_t(payload.size() + 3)), payload });
}
Bytes fixed(uint8_t id, std::initializer_list<Bytes> parts) { return join({ u8(id), join(parts) }); }

Bytes clientInfo()
{
    Bytes info(kClientInfoSize);
    for (size_t i = 0; i < info.size(); ++i)
        info[i] = uint8_t(0xC0 + i);
    return info;
}

NewCharacterRecord sampleCharacter()
{
    NewCharacterRecord record;
    std::memcpy(record.name, "Elira", 5);
    record.female = 1;
    record.race = 1;
    record.strength = 45;
    record.dexterity = 35;
    record.intelligence = 10;
    record.skills[0] = { 1, 50 };
    record.skills[1] = { 2, 30 };
    record.skills[2] = { 3, 20 };
    record.skinHue = 0x83EA;
    record.hairStyle = 0x203B;
    record.hairHue = 0x044E;
    record.facialHairStyle = 0;
    record.facialHairHue = 0;
    record.shardIndex = 2;
    record.startLocation = 4;
    record.characterSlot = 1;
    record.shirtHue = 0x0101;
    record.trousersHue = 0x0202;
    return record;
}

const std::u16string_view kLines[] = { u"first", u"z\u00FC\u20AC" };

struct BuilderCase {
    const char* name;
    std::function<bool(PacketBuffer&)> build;
    Bytes golden;
};

void PrintTo(const BuilderCase& row, std::ostream* out) { *out << row.name; }

const Bytes kInfo = clientInfo();
const uint8_t kMapBlock[kMapBlockSize] = { 1, 2, 3 };
const uint8_t kIgrId[kIgrIdSize] = { 9, 8, 7 };

std::vector<BuilderCase> builderCases()
{
    const BuyRow buy[] = { { 0x1A, 0x40000001, 5 }, { 0x1B, 0x40000002, 1 } };
    const SellRow sell[] = { { 0x40000003, 2 } };
    const EncodedArgument arguments[] = { { EncodedArgument::Type::Number, 0x1234 },
        { EncodedArgument::Type::Point, 0, {}, 10, 20, 5 }, { EncodedArgument::Type::Text, 0, u"Hi" } };
    Bytes mapBlock(kMapBlock, kMapBlock + kMapBlockSize);
    Bytes igr(kIgrId, kIgrId + kIgrIdSize);
    return {
        { "CreateCharacter",
            [](PacketBuffer& b) { return buildCreateCharacterPacket(b, sampleCharacter(), kInfo.data(), 0x7F000001); },
            fixed(0x00,
                { u32(0xEDEDEDED), u16(0xFFFF), u16(0xFFFF), u8(0), text("Elira", 30), kInfo, u8(3), u8(45), u8(35),
                    u8(10), u8(1), u8(50), u8(2), u8(30), u8(3), u8(20), u16(0x83EA), u16(0x203B), u16(0x044E), u16(0),
                    u16(0), u8(2), u8(4), u32(1), u32(0x7F000001), u16(0x0101), u16(0x0202) }) },
        { "Disconnect", [](PacketBuffer& b) { return buildDisconnectPacket(b); }, fixed(0x01, { u32(0xFFFFFFFF) }) },
        { "MoveRequest", [](PacketBuffer& b) { return buildMoveRequestPacket(b, 0x82, 7, 0xA1B2C3D4); },
            fixed(0x02, { u8(0x82), u8(7), u32(0xA1B2C3D4) }) },
        { "AttackRequest", [](PacketBuffer& b) { return buildAttackRequestPacket(b, 0x11223344); },
            fixed(0x05, { u32(0x11223344) }) },
        { "UseObject", [](PacketBuffer& b) { return buildUseObjectPacket(b, 0x40001234); },
            fixed(0x06, { u32(0x40001234) }) },
        { "PickUpItem", [](PacketBuffer& b) { return buildPickUpItemPacket(b, 0x40001234, 12); },
            fixed(0x07, { u32(0x40001234), u16(12) }) },
        { "DropItem", [](PacketBuffer& b) { return buildDropItemPacket(b, 0x40001234, 100, 200, 5, 0xFFFFFFFF); },
            fixed(0x08, { u32(0x40001234), u16(100), u16(200), u8(5), u32(0xFFFFFFFF) }) },
        { "SingleClick", [](PacketBuffer& b) { return buildSingleClickPacket(b, 0x00000042); },
            fixed(0x09, { u32(0x42) }) },
        { "TextCommand", [](PacketBuffer& b) { return buildTextCommandPacket(b, 0x24, "21 0"); },
            variable(0x12, { u8(0x24), raw("21 0"), u8(0) }) },
        { "TextCommandEmpty", [](PacketBuffer& b) { return buildTextCommandPacket(b, 0x56, ""); },
            variable(0x12, { u8(0x56), u8(0) }) },
        { "EquipItem", [](PacketBuffer& b) { return buildEquipItemPacket(b, 0x40000010, 0x05, 0x00000001); },
            fixed(0x13, { u32(0x40000010), u8(5), u32(1) }) },
        { "MoveResync", [](PacketBuffer& b) { return buildMoveResyncPacket(b); }, fixed(0x22, { u8(0), u8(0) }) },
        { "ResurrectionChoice", [](PacketBuffer& b) { return buildResurrectionChoicePacket(b, 2); },
            fixed(0x2C, { u8(2) }) },
        { "StatusRequest", [](PacketBuffer& b) { return buildStatusRequestPacket(b, 4, 0x00000077); },
            fixed(0x34, { u32(0xEDEDEDED), u8(4), u32(0x77) }) },
        { "BuyItems", [buy](PacketBuffer& b) { return buildBuyItemsPacket(b, 0x00000099, 2, buy); },
            variable(
                0x3B, { u32(0x99), u8(2), u8(0x1A), u32(0x40000001), u16(5), u8(0x1B), u32(0x40000002), u16(1) }) },
        { "MapPin", [](PacketBuffer& b) { return buildMapPinPacket(b, 0x40000050, 1, 3, 124, 231); },
            fixed(0x56, { u32(0x40000050), u8(1), u8(3), u16(100), u16(200) }) },
        { "PlayCharacter",
            [](PacketBuffer& b) { return buildPlayCharacterPacket(b, "Elira", kInfo.data(), 2, 0x0A000001); },
            fixed(0x5D, { u32(0xEDEDEDED), text("Elira", 30), kInfo, u32(2), u32(0x0A000001) }) },
        { "BookPageRequest", [](PacketBuffer& b) { return buildBookPageRequestPacket(b, 0x40000060, 3); },
            variable(0x66, { u32(0x40000060), u16(1), u16(3), u16(0xFFFF) }) },
        { "BookPage", [](PacketBuffer& b) { return buildBookPagePacket(b, 0x40000060, 3, kLines); },
            variable(0x66,
                { u32(0x40000060), u16(1), u16(3), u16(2), raw("first"), u8(0), raw("z\xC3\xBC\xE2\x82\xAC"),
                    u8(0) }) },
        { "BookPageNoLines", [](PacketBuffer& b) { return buildBookPagePacket(b, 0x40000060, 4, {}); },
            variable(0x66, { u32(0x40000060), u16(1), u16(4), u16(0) }) },
        { "TargetResponse",
            [](PacketBuffer& b) {
                return buildTargetResponsePacket(b, 1, 0x0000ABCD, 0, 0, 1000, 2000, 0xFFF6, 0x0EED);
            },
            fixed(0x6C, { u8(1), u32(0xABCD), u8(0), u32(0), u16(1000), u16(2000), u16(0xFFF6), u16(0x0EED) }) },
        { "SecureTrade", [](PacketBuffer& b) { return buildSecureTradePacket(b, 2, 0x40000070, 1, 0); },
            variable(0x6F, { u8(2), u32(0x40000070), u32(1), u32(0), u8(0) }) },
        { "BulletinBoardRequest", [](PacketBuffer& b) { return buildBulletinBoardRequestPacket(b, 3, 0x40000080, 9); },
            variable(0x71, { u8(3), u32(0x40000080), u32(9) }) },
        { "BulletinBoardPost",
            [](PacketBuffer& b) { return buildBulletinBoardPostPacket(b, 5, 0x40000080, 0, u"Sale", kLines); },
            variable(0x71,
                { u8(5), u32(0x40000080), u32(0), u8(5), raw("Sale"), u8(0), u8(2), u8(6), raw("first"), u8(0), u8(7),
                    raw("z\xC3\xBC\xE2\x82\xAC"), u8(0) }) },
        { "BulletinBoardPostEmptySubject",
            [](PacketBuffer& b) { return buildBulletinBoardPostPacket(b, 5, 0x40000080, 0, u"", {}); },
            variable(0x71, { u8(5), u32(0x40000080), u32(0), u8(0), u8(0) }) },
        { "WarMode", [](PacketBuffer& b) { return buildWarModePacket(b, 1, 0, 0x32, 0); },
            fixed(0x72, { u8(1), u8(0), u8(0x32), u8(0) }) },
        { "KeepAlive", [](PacketBuffer& b) { return buildKeepAlivePacket(b); }, fixed(0x73, { u8(0) }) },
        { "Rename", [](PacketBuffer& b) { return buildRenamePacket(b, 0x00000033, "Rex"); },
            fixed(0x75, { u32(0x33), text("Rex", 30) }) },
        { "MenuChoice", [](PacketBuffer& b) { return buildMenuChoicePacket(b, 0x40000090, 7, 2, 0x0F3C, 0); },
            fixed(0x7D, { u32(0x40000090), u16(7), u16(2), u16(0x0F3C), u16(0) }) },
        { "AccountLogin", [](PacketBuffer& b) { return buildAccountLoginPacket(b, "account", "secret", 0xFF); },
            fixed(0x80, { text("account", 30), text("secret", 30), u8(0xFF) }) },
        { "DeleteCharacter", [](PacketBuffer& b) { return buildDeleteCharacterPacket(b, "secret", 1, 0x0A000001); },
            fixed(0x83, { text("secret", 30), u32(1), u32(0x0A000001) }) },
        { "GameLogin",
            [](PacketBuffer& b) {
                uint32_t previous = connectionSeed();
                setConnectionSeed(0xCAFEBABE);
                bool ok = buildGameLoginPacket(b, "account", "secret");
                setConnectionSeed(previous);
                return ok;
            },
            fixed(0x91, { u32(0xCAFEBABE), text("account", 30), text("secret", 30) }) },
        { "BookHeader", [](PacketBuffer& b) { return buildBookHeaderPacket(b, 0x40000060, "Tales", "Anon"); },
            fixed(0x93, { u32(0x40000060), u8(0), u8(0), u16(0), text("Tales", 60), text("Anon", 30) }) },
        { "DyeResponse", [](PacketBuffer& b) { return buildDyeResponsePacket(b, 0x400000A0, 0x0FAB, 0x0021); },
            fixed(0x95, { u32(0x400000A0), u16(0x0FAB), u16(0x0021) }) },
        { "NameRequest", [](PacketBuffer& b) { return buildNameRequestPacket(b, 0x00000044); },
            variable(0x98, { u32(0x44) }) },
        { "PromptReply", [](PacketBuffer& b) { return buildPromptReplyPacket(b, 0x55, 0x66, 1, "yes"); },
            variable(0x9A, { u32(0x55), u32(0x66), u32(1), raw("yes"), u8(0) }) },
        { "HelpRequest", [](PacketBuffer& b) { return buildHelpRequestPacket(b, 1, "stuck"); },
            fixed(0x9B, { u8(1), text("stuck", 256) }) },
        { "SellItems", [sell](PacketBuffer& b) { return buildSellItemsPacket(b, 0x99, sell); },
            variable(0x9F, { u32(0x99), u16(1), u32(0x40000003), u16(2) }) },
        { "ServerSelect", [](PacketBuffer& b) { return buildServerSelectPacket(b, 3); }, fixed(0xA0, { u16(3) }) },
        { "TipRequest", [](PacketBuffer& b) { return buildTipRequestPacket(b, 12, 1); },
            fixed(0xA7, { u16(12), u8(1) }) },
        { "TextEntryReply", [](PacketBuffer& b) { return buildTextEntryReplyPacket(b, 0x400000B0, 2, 1, "42"); },
            variable(0xAC, { u32(0x400000B0), u16(2), u8(1), u16(3), raw("42"), u8(0) }) },
        { "ObjectHelpRequest", [](PacketBuffer& b) { return buildObjectHelpRequestPacket(b, 0x400000C0, 1, "ENU"); },
            fixed(0xB6, { u32(0x400000C0), u8(1), raw("ENU") }) },
        { "UnicodePromptReply",
            [](PacketBuffer& b) { return buildUnicodePromptReplyPacket(b, 0x55, 0x66, 1, "ENU", u"Ok\u20AC"); },
            variable(0xC2, { u32(0x55), u32(0x66), u32(1), raw("ENU"), u8(0), Bytes { 'O', 0, 'k', 0, 0xAC, 0x20 } }) },
        { "MapBlock", [](PacketBuffer& b) { return buildMapBlockPacket(b, 0x00010203, 7, kMapBlock); },
            fixed(0xC5, { u32(0x00010203), u16(7), mapBlock }) },
        { "IgrAccountLogin",
            [](PacketBuffer& b) { return buildIgrAccountLoginPacket(b, "account", "secret", 0xFF, kIgrId); },
            fixed(0xCF, { text("account", 30), text("secret", 30), u8(0xFF), igr }) },
        { "BookHeaderText", [](PacketBuffer& b) { return buildBookHeaderTextPacket(b, 0x40000060, "Tales", "Me"); },
            variable(0xD4,
                { u32(0x40000060), u8(0), u8(0), u16(0), u16(6), raw("Tales"), u8(0), u16(3), raw("Me"), u8(0) }) },
        { "EncodedCommand",
            [arguments](PacketBuffer& b) { return buildEncodedCommandPacket(b, 0x400000D0, 0x19, arguments); },
            variable(0xD7,
                { u32(0x400000D0), u16(0x19), u8(0), u32(0x1234), u8(3), u16(10), u16(20), u8(5), u8(2), u16(2),
                    u16('H'), u16('i'), u8(10) }) },
        { "EncodedCommandNoArguments",
            [](PacketBuffer& b) { return buildEncodedCommandPacket(b, 0x400000D0, 0x1A, {}); },
            variable(0xD7, { u32(0x400000D0), u16(0x1A), u8(10) }) },
    };
}

class ClientPacketBuilder : public testing::TestWithParam<BuilderCase> { };

TEST_P(ClientPacketBuilder, WritesTheGoldenBytes)
{
    const BuilderCase& c = GetParam();
    PacketStorage<1024> buffer;
    ASSERT_TRUE(c.build(buffer));
    uint8_t id = buffer.id();
    if (!packetIsVariable(id)) {
        EXPECT_EQ(buffer.length(), packetFixedLength(id)) << "fixed length differs from the table";
        EXPECT_EQ(buffer.position(), packetFixedLength(id)) << "builder wrote less than the table length";
    }
    EXPECT_EQ(packetLength(buffer.data()), buffer.length());
    EXPECT_EQ(Bytes(buffer.data(), buffer.data() + buffer.length()), c.golden);
}

TEST_P(ClientPacketBuilder, RefusesABufferThatIsOneByteShort)
{
    const BuilderCase& c = GetParam();
    std::vector<uint8_t> storage(c.golden.size() - 1);
    PacketBuffer buffer(storage.data(), storage.size());
    EXPECT_FALSE(c.build(buffer));
    EXPECT_EQ(buffer.length(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Builders, ClientPacketBuilder, testing::ValuesIn(builderCases()),
    [](const testing::TestParamInfo<BuilderCase>& row) { return std::string(row.param.name); });

TEST(ClientPackets, FixedTextLongerThanItsFieldIsCut)
{
    PacketStorage<128> buffer;
    ASSERT_TRUE(buildAccountLoginPacket(buffer, "an-account-name-much-longer-than-thirty", "pw", 0));
    EXPECT_EQ(buffer.length(), 62u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()) + 1, 30), "an-account-name-much-longer-th");
    EXPECT_EQ(buffer.data()[31], 'p');
}

TEST(ClientPackets, HelpTextIsCutAtItsField)
{
    PacketStorage<300> buffer;
    std::string longText(400, 'h');
    ASSERT_TRUE(buildHelpRequestPacket(buffer, 0, longText.c_str()));
    EXPECT_EQ(buffer.length(), 258u);
    EXPECT_EQ(buffer.data()[2], 'h');
    EXPECT_EQ(buffer.data()[257], 'h');
}

TEST(ClientPackets, MapPinAtTheEdgesOfTheCoordinateRangeKeepsTheLow16Bits)
{
    PacketStorage<16> buffer;
    ASSERT_TRUE(buildMapPinPacket(buffer, 1, 1, 0, INT32_MIN, INT32_MAX));
    EXPECT_EQ(Bytes(buffer.data() + 7, buffer.data() + 11), (Bytes { 0xFF, 0xE8, 0xFF, 0xE0 }));
    ASSERT_TRUE(buildMapPinPacket(buffer, 1, 1, 0, 10, 0));
    EXPECT_EQ(Bytes(buffer.data() + 7, buffer.data() + 11), (Bytes { 0xFF, 0xF2, 0xFF, 0xE1 }));
}

TEST(ClientPackets, BoardFieldsAreCutAt254BytesOnACharacterBoundary)
{
    std::u16string longLine(200, u'\u00E9'); // two UTF-8 bytes each
    std::u16string_view lines[] = { longLine };
    PacketStorage<2048> buffer;
    ASSERT_TRUE(buildBulletinBoardPostPacket(buffer, 5, 1, 0, longLine, lines));
    const uint8_t* subject = buffer.data() + 3 + 9;
    EXPECT_EQ(subject[0], 255); // 254 bytes and the NUL
    EXPECT_EQ(subject[254], 0xA9);
    EXPECT_EQ(subject[255], 0);
    EXPECT_EQ(subject[256], 1); // line count
    EXPECT_EQ(subject[257], 255);
}

TEST(ClientPackets, BoardFieldCutKeepsASurrogatePairWhole)
{
    std::u16string pairs;
    for (int i = 0; i < 64; ++i)
        pairs += u"\U0001F600"; // four UTF-8 bytes each: 63 fit in 254
    PacketStorage<512> buffer;
    ASSERT_TRUE(buildBulletinBoardPostPacket(buffer, 5, 1, 0, pairs, {}));
    const uint8_t* subject = buffer.data() + 3 + 9;
    EXPECT_EQ(subject[0], 253);
    EXPECT_EQ(Bytes(subject + 249, subject + 254), (Bytes { 0xF0, 0x9F, 0x98, 0x80, 0 }));
}

TEST(ClientPackets, BoardPostWithTooManyLinesIsRefused)
{
    std::vector<std::u16string_view> lines(256, u"x");
    PacketStorage<4096> buffer;
    EXPECT_FALSE(buildBulletinBoardPostPacket(buffer, 5, 1, 0, u"s", lines));
    EXPECT_TRUE(buffer.failed());
}

TEST(ClientPackets, BookLinesAreCutAt239Bytes)
{
    std::u16string longLine(100, u'\u20AC'); // three UTF-8 bytes each: 79 fit in 239
    std::u16string_view lines[] = { longLine };
    PacketStorage<512> buffer;
    ASSERT_TRUE(buildBookPagePacket(buffer, 1, 1, lines));
    EXPECT_EQ(buffer.length(), 3u + 10 + 237 + 1);
}

TEST(ClientPackets, UnpairedSurrogateBecomesAReplacementCharacter)
{
    const char16_t broken[] = { u'a', char16_t(0xD800), u'b' };
    std::u16string_view lines[] = { std::u16string_view(broken, 3) };
    PacketStorage<64> buffer;
    ASSERT_TRUE(buildBookPagePacket(buffer, 1, 1, lines));
    EXPECT_EQ(Bytes(buffer.data() + 13, buffer.data() + buffer.length()), (Bytes { 'a', 0xEF, 0xBF, 0xBD, 'b', 0 }));
}

TEST(ClientPackets, TextThatOverflowsTheLengthWordIsRefused)
{
    std::vector<uint8_t> storage(70000);
    PacketBuffer buffer(storage.data(), storage.size());
    EXPECT_FALSE(buildTextCommandPacket(buffer, 0, std::string(65531, 'x')));
    EXPECT_TRUE(buildTextCommandPacket(buffer, 0, std::string(65530, 'x')));
    EXPECT_EQ(buffer.length(), 65535u);
}

} // namespace
