// The property-list cache: the 0xD6 reader (with a bad-input table), request
// pacing on a fake clock, the trimming order, and the HTML it builds.
#include "fixtures/language_files.h"
#include "fixtures/server_packet.h"
#include "gump/gump_services.h"
#include "gump/property_cache.h"
#include "net/game_connection.h"
#include "text/cliloc_table.h"
#include "world/world_fixture.h"

#include <gtest/gtest.h>

namespace {

using fixture::ServerPacket;
using test::WorldTest;

// UTF-16 little-endian argument bytes, as the packet carries them.
std::vector<uint8_t> littleEndian(std::u16string_view text)
{
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(uint8_t(c & 0xFF));
        bytes.push_back(uint8_t(c >> 8));
    }
    return bytes;
}

struct Line {
    uint32_t id;
    std::u16string arguments;
};

std::vector<uint8_t> listPacket(uint32_t serial, uint32_t revision, const std::vector<Line>& lines, uint16_t kind = 1)
{
    ServerPacket packet(0xD6);
    packet.u16(kind).u32(serial).u8(0).u8(0).u32(revision);
    for (const Line& line : lines) {
        std::vector<uint8_t> bytes = littleEndian(line.arguments);
        packet.u32(line.id).u16(uint16_t(bytes.size())).bytes(bytes);
    }
    packet.u32(0);
    return packet.bytes();
}

class PlayerStrength final : public PropertyListWindows {
public:
    bool isPointerHeld() override { return held; }
    bool isListedByShop(uint32_t serial) override { return serial == listed; }
    void propertyListArrived(uint32_t serial) override { arrived.push_back(serial); }
    int32_t playerStrength() override { return strength; }
    bool held = false;
    uint32_t listed = 0;
    int32_t strength = -1;
    std::vector<uint32_t> arrived;
};

class PropertiesInWorld final : public GameSession {
public:
    bool isInWorld() override { return true; }
    bool hasObjectPropertyLists() override { return true; }
};

class Properties : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        propertyCache() = PropertyCache();
        auto table = std::make_unique<ClilocTable>();
        const std::string image = fixture::clilocImage({ { 1050039, "~1_NUMBER~ ~2_ITEMNAME~" },
            { 1061170, "strength requirement ~1_val~" }, { 1060658, "~1_val~: ~2_val~" }, { 500001, "blessed" } });
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
    }
    void TearDown() override
    {
        propertyCache() = PropertyCache();
        setClilocTable(nullptr);
        dragState() = DragState();
        WorldTest::TearDown();
    }

    PlayerStrength windows;
    ScopedService<PropertyListWindows> scopedWindows { windows };
    PropertiesInWorld session;
    ScopedService<GameSession> scopedSession { session };
};

TEST_F(Properties, TheReplyFillsTheList)
{
    const std::vector<uint8_t> packet
        = listPacket(0x40000010, 5, { { 1050039, u"3\tapples" }, { 1061170, u"40" } });
    handlePropertyList(packet.data());
    const PropertyList* list = propertyListFind(0x40000010);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->revision, 5u);
    ASSERT_EQ(list->entries.size(), 2u);
    EXPECT_EQ(list->entries[0].messageId, 1050039u);
    EXPECT_EQ(list->entries[0].arguments, u"3\tapples");
    EXPECT_EQ(list->entries[1].arguments, u"40");
    EXPECT_EQ(propertyListEntryCount(0x40000010), 2);
    EXPECT_EQ(windows.arrived, std::vector<uint32_t> { 0x40000010 });
}

TEST_F(Properties, AReplyWithNoLinesDropsTheList)
{
    handlePropertyList(listPacket(7, 1, { { 500001, u"" } }).data());
    ASSERT_NE(propertyListFind(7), nullptr);
    handlePropertyList(listPacket(7, 2, {}).data());
    EXPECT_EQ(propertyListFind(7), nullptr);
    EXPECT_EQ(propertyListEntryCount(7), 0);
}

TEST_F(Properties, ARepeatedMessageGoesLast)
{
    handlePropertyList(listPacket(7, 1, { { 1, u"a" }, { 2, u"b" }, { 3, u"c" }, { 1, u"again" } }).data());
    const PropertyList* list = propertyListFind(7);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->entries.size(), 3u);
    EXPECT_EQ(list->entries[0].messageId, 2u);
    EXPECT_EQ(list->entries[1].messageId, 3u);
    EXPECT_EQ(list->entries[2].messageId, 1u);
    EXPECT_EQ(list->entries[2].arguments, u"again");
}

TEST_F(Properties, AnOddByteCountMovesPastAllItsBytes)
{
    ServerPacket packet(0xD6);
    packet.u16(1).u32(9).u8(0).u8(0).u32(1);
    packet.u32(100).u16(5).bytes({ 'a', 0, 'b', 0, 'X' });
    packet.u32(200).u16(2).bytes({ 'c', 0 });
    packet.u32(0);
    handlePropertyList(packet.bytes().data());
    const PropertyList* list = propertyListFind(9);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->entries.size(), 2u);
    EXPECT_EQ(list->entries[0].arguments, u"ab");
    EXPECT_EQ(list->entries[1].messageId, 200u);
    EXPECT_EQ(list->entries[1].arguments, u"c");
}

TEST_F(Properties, ArgumentsAreCutTo511Units)
{
    handlePropertyList(listPacket(9, 1, { { 100, std::u16string(2000, u'x') } }).data());
    ASSERT_NE(propertyListFind(9), nullptr);
    EXPECT_EQ(propertyListFind(9)->entries[0].arguments.size(), kMaxArgumentUnits);
}

struct PropertyBadPacketCase {
    const char* name;
    std::vector<uint8_t> packet;
    // Whether the list held before survives.
    bool keepsTheOldList;
    size_t newEntries;
};

class BadPropertyPackets : public Properties, public testing::WithParamInterface<PropertyBadPacketCase> { };

TEST_P(BadPropertyPackets, AreReadSafely)
{
    handlePropertyList(listPacket(9, 1, { { 500001, u"old" } }).data());
    handlePropertyList(GetParam().packet.data());
    const PropertyList* list = propertyListFind(9);
    if (GetParam().keepsTheOldList) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->entries.size(), 1u);
        EXPECT_EQ(list->entries[0].arguments, u"old");
    } else {
        EXPECT_EQ(list ? list->entries.size() : 0u, GetParam().newEntries);
    }
}

std::vector<uint8_t> withLength(std::vector<uint8_t> bytes, uint16_t length)
{
    bytes[1] = uint8_t(length >> 8);
    bytes[2] = uint8_t(length);
    return bytes;
}

std::vector<uint8_t> argumentPastTheEnd()
{
    ServerPacket packet(0xD6);
    packet.u16(1).u32(9).u8(0).u8(0).u32(2);
    packet.u32(100).u16(400).bytes({ 'h', 0, 'i', 0 });
    return packet.bytes();
}

const PropertyBadPacketCase kBadPackets[] = {
    { "HeaderOnly", ServerPacket(0xD6).bytes(), true, 0 },
    { "CutBeforeTheRevision", ServerPacket(0xD6).u16(1).u32(9).u8(0).u8(0).u16(0).bytes(), true, 0 },
    { "KindAboveOne", listPacket(9, 3, { { 1, u"new" } }, 2), true, 0 },
    { "NoEndMark", withLength(listPacket(9, 3, { { 1, u"a" } }), 3 + 12 + 4 + 2 + 2), false, 1 },
    { "ArgumentPastTheEnd", argumentPastTheEnd(), false, 1 },
    { "ByteCountPastTheEnd", withLength(listPacket(9, 3, { { 1, u"abcdef" } }), 3 + 12 + 4 + 2 + 3), false, 1 },
    { "CountOfEntryCut", withLength(listPacket(9, 3, { { 1, u"a" } }), 3 + 12 + 4 + 1), false, 0 },
};

INSTANTIATE_TEST_SUITE_P(Reader, BadPropertyPackets, testing::ValuesIn(kBadPackets),
    [](const testing::TestParamInfo<PropertyBadPacketCase>& test) { return std::string(test.param.name); });

TEST_F(Properties, StalenessComparesRevisionsSigned)
{
    EXPECT_TRUE(propertyListIsStale(9, 1));
    handlePropertyList(listPacket(9, 5, { { 1, u"" } }).data());
    EXPECT_FALSE(propertyListIsStale(9, 4));
    EXPECT_FALSE(propertyListIsStale(9, 5));
    EXPECT_TRUE(propertyListIsStale(9, 6));
    handlePropertyList(listPacket(10, 0x80000000u, { { 1, u"" } }).data());
    EXPECT_TRUE(propertyListIsStale(10, 1)) << "0x80000000 is the most negative revision";
}

TEST_F(Properties, AGroundItemDefersAndABackpackItemQueues)
{
    Item* ground = dropItem(0x40000001, 1001, 1001);
    ASSERT_NE(ground, nullptr);
    Item* pack = dropItem(0x40000002, 1002, 1001, test::kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(0x40000003, test::kPlainGraphic, 0, 1, 10, 10, 0x40000002, 0));
    propertyListRequest(0x40000001);
    propertyListRequest(0x40000003);
    EXPECT_TRUE(propertyListIsDeferred(0x40000001));
    EXPECT_EQ(propertyCache().pending.count(0x40000001), 0u);
    EXPECT_EQ(propertyCache().pending.count(0x40000003), 1u);
    propertyListDeferAllPending();
    EXPECT_TRUE(propertyCache().pending.empty());
    EXPECT_TRUE(propertyListIsDeferred(0x40000003));
    propertyListRequeueDeferred();
    EXPECT_EQ(propertyCache().pending.size(), 2u);
    (void)pack;
}

TEST_F(Properties, TrimmingTakesTheGoneThenTheGroundThenTheContained)
{
    dropItem(0x40000001, 1001, 1001);
    dropItem(0x40000002, 1002, 1001, test::kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(0x40000003, test::kPlainGraphic, 0, 1, 10, 10, 0x40000002, 0));
    for (uint32_t serial : { 0x40000001u, 0x40000002u, 0x40000003u, 0x40000050u, 0x40000060u })
        propertyListAddEntry(serial, 1, 1, u"x");
    dragState().dragging = true;
    dragState().serial = 0x40000060;
    propertyListEvict(1);
    EXPECT_EQ(propertyListFind(0x40000050), nullptr) << "gone from the world first";
    EXPECT_NE(propertyListFind(0x40000060), nullptr) << "the dragged item stays";
    propertyListEvict(2);
    EXPECT_EQ(propertyListFind(0x40000001), nullptr);
    EXPECT_EQ(propertyListFind(0x40000002), nullptr) << "then those lying in the world";
    EXPECT_NE(propertyListFind(0x40000003), nullptr);
    propertyListReset();
    EXPECT_EQ(propertyListFind(0x40000003), nullptr);
    EXPECT_NE(propertyListFind(0x40000060), nullptr) << "the reset spares the dragged item too";
}

TEST_F(Properties, AFullCacheTrimsABatch)
{
    for (uint32_t serial = 1; serial <= uint32_t(kMaxCachedLists) + 1; ++serial)
        propertyListDefer(serial);
    EXPECT_EQ(propertyCache().lists.size(), size_t(kMaxCachedLists) + 1);
    propertyListDefer(0x7FFFFF00);
    EXPECT_EQ(propertyCache().lists.size(), size_t(kMaxCachedLists) + 2 - size_t(kEvictBatch));
}

TEST_F(Properties, TheArgumentBudgetBoundsTheCache)
{
    const std::u16string big(kMaxArgumentUnits, u'b');
    const uint32_t count = uint32_t(kMaxCachedArgumentUnits / kMaxArgumentUnits) + 3000;
    for (uint32_t serial = 1; serial <= count; ++serial)
        propertyListAddEntry(serial, 1, 1, big);
    EXPECT_LE(propertyCache().argumentUnits, kMaxCachedArgumentUnits);
    size_t units = 0;
    for (const auto& [serial, list] : propertyCache().lists)
        for (const PropertyEntry& entry : list->entries)
            units += entry.arguments.size();
    EXPECT_EQ(units, propertyCache().argumentUnits);
}

class Pacing : public Properties {
protected:
    void SetUp() override
    {
        Properties::SetUp();
        ASSERT_TRUE(createGameConnection());
        currentGameConnection()->setCompressed(true);
        for (uint32_t i = 0; i < 20; ++i)
            dropItem(0x40000100 + i, 1001 + int32_t(i % 5), 1001);
    }
    void TearDown() override
    {
        destroyAllConnections();
        Properties::TearDown();
    }
    static uint32_t queuedBytes() { return currentGameConnection()->sendFill(); }
    static int32_t inFlight()
    {
        int32_t count = 0;
        for (const auto& [serial, request] : propertyCache().pending)
            count += request.sent;
        return count;
    }
};

constexpr uint32_t kRequestBytes = 9;

TEST_F(Pacing, FifteenGoOutAndTheSixteenthWaits)
{
    for (uint32_t i = 0; i < 20; ++i)
        propertyListQueueRequest(0x40000100 + i);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 15 * kRequestBytes);
    EXPECT_EQ(inFlight(), 15);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 15 * kRequestBytes) << "the sixteenth waits";
    handlePropertyList(listPacket(0x40000100, 1, { { 1, u"" } }).data());
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 16 * kRequestBytes) << "an answer makes room";
    clock.advance(kRequestTimeoutMs);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 16 * kRequestBytes) << "not yet expired at exactly the timeout";
    clock.advance(1);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 20 * kRequestBytes) << "the expired are forgotten and the rest go";
    EXPECT_EQ(propertyCache().pending.size(), 4u);
}

TEST_F(Pacing, RequestsSentJustAfterTheClockStartAreNotExpired)
{
    for (uint32_t start : { 0u, 0xFFFFFF00u }) {
        clock.setTick(start);
        propertyCache().pending.clear();
        propertyListQueueRequest(0x40000100);
        propertyListPump();
        clock.advance(300);
        propertyListPump();
        ASSERT_EQ(propertyCache().pending.count(0x40000100), 1u) << start;
        EXPECT_TRUE(propertyCache().pending.at(0x40000100).sent);
        clock.advance(1300);
        propertyListPump();
        EXPECT_EQ(propertyCache().pending.count(0x40000100), 0u) << start;
    }
}

TEST_F(Pacing, TheBatchFormSendsOnePacket)
{
    setPropertyRequestForm(1);
    for (uint32_t i = 0; i < 5; ++i)
        propertyListQueueRequest(0x40000100 + i);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 3u + 4u * 5u);
    EXPECT_EQ(inFlight(), 5);
}

TEST_F(Pacing, VanishedObjectsLeaveTheQueueUnlessDraggedOrInAShop)
{
    propertyListQueueRequest(0x40000999);
    propertyListQueueRequest(0x40000998);
    propertyListQueueRequest(0x40000997);
    dragState().dragging = true;
    dragState().serial = 0x40000998;
    windows.listed = 0x40000997;
    propertyListPump();
    EXPECT_EQ(propertyCache().pending.count(0x40000999), 0u);
    EXPECT_EQ(propertyCache().pending.count(0x40000998), 1u);
    EXPECT_EQ(propertyCache().pending.count(0x40000997), 1u);
    EXPECT_EQ(queuedBytes(), 2 * kRequestBytes);
}

TEST_F(Pacing, NothingGoesWhileThePointerIsHeldOrOutsideTheWorld)
{
    propertyListQueueRequest(0x40000100);
    windows.held = true;
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 0u);
    windows.held = false;
    currentGameConnection()->setCompressed(false);
    NoGameSession outside;
    ScopedService<GameSession> scoped(outside);
    propertyListPump();
    EXPECT_EQ(queuedBytes(), 0u);
}

TEST_F(Properties, TheNameLineDropsTheAmountUnlessKept)
{
    handlePropertyList(listPacket(9, 1, { { 1050039, u"3\tapples" }, { 500001, u"" } }).data());
    WString name;
    buildPropertyNameHtml(9, name, false, false);
    EXPECT_EQ(std::u16string(name.c_str()), u"Apples");
    buildPropertyNameHtml(9, name, true, true);
    EXPECT_EQ(std::u16string(name.c_str()), u"<CENTER>3 Apples</CENTER>");
}

TEST_F(Properties, AnItemWithoutAListIsNamedByItsTile)
{
    dropItem(0x40000001, 1001, 1001);
    WString name;
    buildPropertyNameHtml(0x40000001, name, false, false);
    EXPECT_EQ(std::u16string(name.c_str()), u"Shirt");
}

TEST_F(Properties, TheLinesMarkAStrengthTooHigh)
{
    handlePropertyList(
        listPacket(9, 1, { { 1050039, u"1\tsword" }, { 500001, u"" }, { 1061170, u"40" } }).data());
    WString lines;
    windows.strength = 30;
    buildPropertyLinesHtml(9, lines, true, false);
    EXPECT_EQ(std::u16string(lines.c_str()),
        u"<CENTER>Blessed<BR><BASEFONT COLOR=#FF0000>Strength Requirement 40<BASEFONT COLOR=#FFFFFF></CENTER>");
    windows.strength = 50;
    buildPropertyLinesHtml(9, lines, false, false);
    EXPECT_EQ(std::u16string(lines.c_str()), u"Blessed<BR>Strength Requirement 40");
    buildPropertyLinesHtml(77, lines, true, false);
    EXPECT_EQ(std::u16string(lines.c_str()), u"<CENTER>No significant properties...</CENTER>");
    buildPropertyLinesHtml(77, lines, true, true);
    EXPECT_EQ(std::u16string(lines.c_str()), u"");
}

TEST_F(Properties, EligibleObjects)
{
    Item* plain = dropItem(0x40000001, 1001, 1001);
    Item* pack = dropItem(0x40000002, 1002, 1001, test::kBackpackGraphic);
    Item* listed = dropItem(0x40000003, 1003, 1001, 3000);
    EXPECT_FALSE(propertyListEligible(plain));
    EXPECT_TRUE(propertyListEligible(pack));
    EXPECT_TRUE(propertyListEligible(listed));
    EXPECT_FALSE(propertyListEligible(nullptr));
}

} // namespace
