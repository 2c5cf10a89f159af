// The world object packets through the dispatcher: what each one changes in
// the world model, what it asks of windows, and the bytes the client sends
// back after a login confirmation.

#include "data/settings_registry.h"
#include "gump/desktop_file.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "net/network_pump.h"
#include "protocol/container_packets.h"
#include "protocol/login_state.h"
#include "protocol/world_object_packets.h"
#include "text/localization.h"
#include "world/container_item.h"
#include "world/object_interaction.h"
#include "world_packet_fixture.h"

namespace {

using test::fixedPacket;
using test::kCentreX;
using test::kCentreY;
using test::kPlayerSerial;
using test::ServerPacket;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kWorldOther = 0x00000B01;
constexpr uint32_t kPacketItem = 0x40000101;

class WorldObjectPackets : public test::WorldPacketTest { };

Bytes loginConfirm(uint32_t serial, uint16_t body, uint16_t x, uint16_t y, int16_t z, uint8_t direction)
{
    return fixedPacket(0x1B)
        .u32(serial)
        .u32(0)
        .u16(body)
        .u16(x)
        .u16(y)
        .u16(uint16_t(z))
        .u8(direction)
        .u8(0)
        .u32(0)
        .u16(0)
        .u16(0)
        .u16(7168)
        .u16(4096)
        .fill(6, 0)
        .bytes();
}

// 0x1B ----------------------------------------------------------------------

TEST_F(WorldObjectPackets, LoginConfirmPlacesThePlayerAndSendsFivePacketsInOrder)
{
    loginSession().playerName = "Aldric";
    setLanguageCode("ENU");
    state.shell.mapFiles = 0x1F03;
    dispatch(loginConfirm(0x00001234, 0x4191, 1500, 1600, -5, 0x82));

    EXPECT_EQ(playerSerial(), 0x1234u);
    PlayerMobile& self = *player();
    EXPECT_EQ(self.serial, 0x1234u);
    EXPECT_EQ(self.graphic, 0x0191);
    EXPECT_EQ(self.x, 1500);
    EXPECT_EQ(self.y, 1600);
    EXPECT_EQ(self.z, -5);
    EXPECT_EQ(self.direction, 2);
    EXPECT_TRUE(self.isPlaced());
    EXPECT_EQ(mapView().centreX, 1500);
    EXPECT_TRUE(inWorldFlag());
    EXPECT_TRUE(connection->isConfirmed());
    EXPECT_EQ(session->playerSerial, 0x1234u);
    EXPECT_EQ(state.gameState.worldResets, 1);
    ASSERT_EQ(state.shell.titles.size(), 1u);
    EXPECT_EQ(state.shell.titles[0], u"Aldric (Test Shard)");
    ASSERT_EQ(state.messages.lines.size(), 2u);
    EXPECT_EQ(state.messages.lines[0].text, "Login confirm on Test Shard");
    EXPECT_EQ(state.messages.lines[0].hue, 55);
    EXPECT_EQ(state.messages.lines[1].text, "Welcome to Vardun Online!");

    std::vector<Bytes> replies = sent();
    ASSERT_EQ(replies.size(), 5u);
    EXPECT_EQ(replies[0], (Bytes { 0x34, 0xED, 0xED, 0xED, 0xED, 0x05, 0x00, 0x00, 0x12, 0x34 }));
    EXPECT_EQ(replies[1], (Bytes { 0xBD, 0x00, 0x0A, '5', '.', '0', '.', '1', 'c', 0x00 }));
    EXPECT_EQ(replies[2], (Bytes { 0xBF, 0x00, 0x0D, 0x00, 0x05, 0x00, 0x00, 0x02, 0x80, 0x00, 0x00, 0x01, 0xE0 }));
    EXPECT_EQ(replies[3], (Bytes { 0xBF, 0x00, 0x09, 0x00, 0x0B, 'E', 'N', 'U', 0x00 }));
    EXPECT_EQ(replies[4], (Bytes { 0xBF, 0x00, 0x0A, 0x00, 0x0F, 0x0A, 0x00, 0x00, 0x00, 0x03 }));
    EXPECT_EQ(windows.calls, (std::vector<std::string> { "clearSkillRequest" }));
    EXPECT_TRUE(state.screens.saw("closeFrontEndBoxes")) << "every front-end box, not only the waiting one";
}

TEST_F(WorldObjectPackets, LoginConfirmOfAShardBehindKeepsItInTheSession)
{
    auto* behind = new GameConnection;
    ShardSession* other = addShardSession("Behind", behind);
    std::string before = snapshot();
    dispatch(loginConfirm(0x00005555, 400, 2000, 2100, 7, 1), behind);
    EXPECT_EQ(other->playerSerial, 0x5555u);
    EXPECT_EQ(other->x, 2000);
    EXPECT_EQ(other->z, 7);
    EXPECT_TRUE(behind->isConfirmed());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(playerSerial(), kPlayerSerial);
    EXPECT_FALSE(inWorldFlag());
    EXPECT_TRUE(sent().empty());
    ASSERT_EQ(state.messages.lines.size(), 1u);
    EXPECT_EQ(state.messages.lines[0].text, "Login confirm on Behind");
}

struct ScreenSizeCase {
    const char* name;
    const char* text;
    uint32_t width;
    uint32_t height;
};

class ScreenSize : public testing::TestWithParam<ScreenSizeCase> { };

TEST_P(ScreenSize, ReadsTheSettingTextOrFallsBack)
{
    uint32_t width = 0;
    uint32_t height = 0;
    parseScreenSize(GetParam().text, width, height);
    EXPECT_EQ(width, GetParam().width);
    EXPECT_EQ(height, GetParam().height);
    PacketStorage<32> packet;
    ASSERT_TRUE(buildScreenSizePacket(packet, width, height));
    Bytes expected { 0xBF, 0x00, 0x0D, 0x00, 0x05 };
    for (uint32_t value : { width, height }) {
        for (int shift = 24; shift >= 0; shift -= 8)
            expected.push_back(uint8_t(value >> shift));
    }
    EXPECT_EQ(Bytes(packet.data(), packet.data() + packet.length()), expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ScreenSize,
    testing::Values(ScreenSizeCase { "Default", "640x480", 640, 480 }, ScreenSizeCase { "Larger", "800x600", 800, 600 },
        ScreenSizeCase { "Empty", "", 640, 480 }, ScreenSizeCase { "Words", "wide", 640, 480 },
        ScreenSizeCase { "NoHeight", "1024x", 640, 480 }, ScreenSizeCase { "Zero", "0x0", 640, 480 },
        ScreenSizeCase { "Negative", "-5x600", 640, 480 }),
    [](const testing::TestParamInfo<ScreenSizeCase>& row) { return std::string(row.param.name); });

// 0x4F, 0x76 ----------------------------------------------------------------

TEST_F(WorldObjectPackets, OverallLightStoresANewLevelOnly)
{
    dispatch(fixedPacket(0x4F).u8(12).bytes());
    EXPECT_EQ(lightLevels().global, 12);
    EXPECT_FALSE(setGlobalLightLevel(12));
    dispatch(fixedPacket(0x4F).u8(0).bytes());
    EXPECT_EQ(lightLevels().global, 0);
}

TEST_F(WorldObjectPackets, NewSubserverStoresTheAreaAndKeepsThePosition)
{
    dispatch(fixedPacket(0x76).u16(1).u16(2).u16(3).u8(1).u16(10).u16(20).u16(300).u16(400).bytes());
    EXPECT_EQ(serverMapArea().region, 1);
    EXPECT_EQ(serverMapArea().left, 10);
    EXPECT_EQ(serverMapArea().height, 400);
    EXPECT_EQ(mapView().centreX, kCentreX);
    EXPECT_EQ(mapView().positionFacet, 1);
    EXPECT_TRUE(inWorldFlag());
}

// 0x1A ----------------------------------------------------------------------

struct WorldItemCase {
    const char* name;
    uint32_t serialWord;
    uint16_t graphicWord;
    uint16_t amount;
    uint8_t increment;
    uint16_t xWord;
    uint16_t yWord;
    uint8_t direction;
    int8_t z;
    uint16_t hue;
    uint8_t flags;
    size_t size; // the whole packet
};

class WorldItemFlags : public test::WorldPacketTest, public testing::WithParamInterface<WorldItemCase> {
protected:
    static Bytes build(const WorldItemCase& row)
    {
        ServerPacket packet(0x1A);
        packet.u32(row.serialWord).u16(row.graphicWord);
        if (row.serialWord & 0x80000000)
            packet.u16(row.amount);
        if (row.graphicWord & 0x8000)
            packet.u8(row.increment);
        packet.u16(row.xWord).u16(row.yWord);
        if (row.xWord & 0x8000)
            packet.u8(row.direction);
        packet.u8(uint8_t(row.z));
        if (row.yWord & 0x8000)
            packet.u16(row.hue);
        if (row.yWord & 0x4000)
            packet.u8(row.flags);
        return packet.bytes();
    }
};

TEST_P(WorldItemFlags, EachOptionalFieldIsReadOnlyWhenItsBitIsSet)
{
    const WorldItemCase& row = GetParam();
    Bytes bytes = build(row);
    EXPECT_EQ(bytes.size(), row.size);
    dispatch(bytes);
    Item* item = findItemBySerial(row.serialWord & 0x7FFFFFFF);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->graphic, row.graphicWord & 0x7FFF);
    EXPECT_EQ(item->amount, (row.serialWord & 0x80000000) ? row.amount : 1);
    EXPECT_EQ(item->graphicOffset, (row.graphicWord & 0x8000) ? int8_t(row.increment) : 0);
    EXPECT_EQ(item->x, row.xWord & 0x7FFF);
    EXPECT_EQ(item->y, row.yWord & 0x3FFF);
    EXPECT_EQ(item->z, row.z);
    EXPECT_EQ(item->direction, (row.xWord & 0x8000) ? row.direction : 0);
    EXPECT_EQ(item->baseHue, (row.yWord & 0x8000) ? row.hue : 0);
    EXPECT_EQ(item->flags, (row.yWord & 0x4000) ? row.flags : 0);

    // The same packet one byte short is refused whole.
    Item* old = findItemBySerial(row.serialWord & 0x7FFFFFFF);
    old->destroy();
    std::string before = snapshot();
    dispatch(ServerPacket(0x1A).bytes(Bytes(bytes.begin() + 3, bytes.end() - 1)).bytes());
    EXPECT_EQ(snapshot(), before);
}

constexpr uint16_t kShirt = test::kPlainGraphic;

INSTANTIATE_TEST_SUITE_P(Flags, WorldItemFlags,
    testing::Values(WorldItemCase { "None", kPacketItem, kShirt, 0, 0, 1001, 1002, 0, 3, 0, 0, 14 },
        WorldItemCase { "Amount", kPacketItem | 0x80000000, kShirt, 25, 0, 1001, 1002, 0, 3, 0, 0, 16 },
        WorldItemCase { "Increment", kPacketItem, kShirt | 0x8000, 0, 2, 1001, 1002, 0, 3, 0, 0, 15 },
        WorldItemCase { "Direction", kPacketItem, kShirt, 0, 0, 1001 | 0x8000, 1002, 5, -3, 0, 0, 15 },
        WorldItemCase { "Hue", kPacketItem, kShirt, 0, 0, 1001, 1002 | 0x8000, 0, 3, 0x0021, 0, 16 },
        WorldItemCase { "Flags", kPacketItem, kShirt, 0, 0, 1001, 1002 | 0x4000, 0, 3, 0, 0x20, 15 },
        WorldItemCase { "All", kPacketItem | 0x80000000, kShirt | 0x8000, 7, 1, 1001 | 0x8000, 1002 | 0xC000, 4, 9, 0x0022,
            0x20, 21 }),
    [](const testing::TestParamInfo<WorldItemCase>& row) { return std::string(row.param.name); });

TEST_F(WorldObjectPackets, WorldItemNamingThePlayerIsIgnored)
{
    std::string before = snapshot();
    dispatch(ServerPacket(0x1A).u32(kPlayerSerial).u16(kShirt).u16(1001).u16(1002).u8(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

// 0x78, 0xD3, 0x77, 0xD2 ----------------------------------------------------

ServerPacket incoming(uint32_t serial, uint16_t body, bool extended = false)
{
    ServerPacket packet(extended ? 0xD3 : 0x78);
    packet.u32(serial).u16(body).u16(1003).u16(1004).u8(0).u8(2).u16(0x0033).u8(0).u8(3);
    if (extended)
        packet.u16(1).u16(2).u16(3);
    return packet;
}

TEST_F(WorldObjectPackets, MobileIncomingEquipsWithAndWithoutHue)
{
    ServerPacket packet = incoming(kWorldOther, test::kHumanBody);
    packet.u32(0x40000201).u16(kShirt).u8(5);
    packet.u32(0x40000202).u16(test::kBackpackGraphic | 0x8000).u8(21).u16(0x0044);
    packet.u32(0);
    dispatch(packet.bytes());
    Item* object = findItemBySerial(kWorldOther);
    ASSERT_NE(object, nullptr);
    ASSERT_TRUE(object->isMobile());
    auto* mobile = static_cast<Mobile*>(object);
    EXPECT_EQ(mobile->notoriety, 3);
    EXPECT_TRUE(mobile->isPlaced());
    ASSERT_NE(mobile->layerItem(5), nullptr);
    EXPECT_EQ(mobile->layerItem(5)->serial, 0x40000201u);
    EXPECT_EQ(mobile->layerItem(5)->baseHue, 0);
    ASSERT_NE(mobile->layerItem(21), nullptr);
    EXPECT_EQ(mobile->layerItem(21)->graphic, test::kBackpackGraphic);
    EXPECT_EQ(mobile->layerItem(21)->baseHue, 0x0044);
    EXPECT_TRUE(mobile->layerItem(21)->isContainer());
}

TEST_F(WorldObjectPackets, MobileIncomingListsStopAtTheEndMarkOrTheEndOfThePacket)
{
    // The first equipment serial is the end mark: nothing is worn.
    dispatch(incoming(kWorldOther, test::kHumanBody).u32(0).u32(0x40000201).u16(kShirt).u8(5).bytes());
    auto* mobile = static_cast<Mobile*>(findItemBySerial(kWorldOther));
    ASSERT_NE(mobile, nullptr);
    EXPECT_EQ(mobile->layerItem(5), nullptr);

    // No end mark and a last entry cut in half: the whole entries are worn.
    ServerPacket cut = incoming(kWorldOther + 1, test::kHumanBody, true);
    cut.u32(0x40000301).u16(kShirt).u8(6).u32(0x40000302).u16(kShirt | 0x8000).u8(7);
    dispatch(cut.bytes());
    auto* second = static_cast<Mobile*>(findItemBySerial(kWorldOther + 1));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second->layerItem(6), nullptr);
    EXPECT_EQ(second->layerItem(7), nullptr);
    EXPECT_EQ(findItemBySerial(0x40000302), nullptr);

    // A header cut short makes nothing.
    std::string before = snapshot();
    dispatch(incoming(kWorldOther + 2, test::kHumanBody).truncatedBy(3));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(WorldObjectPackets, MobileIncomingForThePlayerTakesOnlyItsLookAndEquipment)
{
    dispatch(incoming(kPlayerSerial, 401).u32(0x40000401).u16(kShirt).u8(5).u32(0).bytes());
    PlayerMobile& self = *player();
    EXPECT_EQ(self.graphic, 401);
    EXPECT_EQ(self.x, kCentreX);
    EXPECT_EQ(self.y, kCentreY);
    ASSERT_NE(self.layerItem(5), nullptr);
    EXPECT_TRUE(self.isPlaced());
}

TEST_F(WorldObjectPackets, IncomingNamesAreAskedForOnlyForNewVisibleMobiles)
{
    settings().setBoolSetting(u"ShowIncomingNames", 1);
    dispatch(incoming(kWorldOther, test::kHumanBody).u32(0).bytes());
    dispatch(incoming(kWorldOther, test::kHumanBody).u32(0).bytes());
    std::vector<Bytes> clicks = sent();
    settings().setBoolSetting(u"ShowIncomingNames", 0);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], (Bytes { 0x09, 0x00, 0x00, 0x0B, 0x01 }));
}

// The world as the windows see it: enough for the factory to find the
// window that shows a mobile.
class MobilesForWindows final : public GumpWorld {
public:
    bool isValidObject(WorldObject* object) override { return object != nullptr; }
    bool isPlayer(WorldObject* object) override { return object && object->isPlayer(); }
    bool isMobile(WorldObject* object) override { return object && object->isMobile(); }
    bool isCorpse(WorldObject*) override { return false; }
    bool isContainer(WorldObject*) override { return false; }
    bool isLiftableItem(WorldObject*) override { return false; }
    uint32_t serialOf(WorldObject*) override { return 0; }
    WorldObject* parentObject(WorldObject*) override { return nullptr; }
    void forgetOpenGump(WorldObject*, CGump*) override { }
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override { return {}; }
};

TEST_F(WorldObjectPackets, IncomingMobileShownInAWindowAsksForItsStatus)
{
    MobilesForWindows world;
    ScopedService<GumpWorld> worldGuard { world };
    Mobile* mobile = addMobile(kWorldOther, 1002, 1002);
    ASSERT_NE(mobile, nullptr);
    auto* window = new CGump;
    window->setOwner(mobile);
    gumpLink(window, nullptr);
    dispatch(incoming(kWorldOther, test::kHumanBody).u32(0).bytes());
    closeGump(window);
    std::vector<Bytes> replies = sent();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0], (Bytes { 0x34, 0xED, 0xED, 0xED, 0xED, 0x04, 0x00, 0x00, 0x0B, 0x01 }));

    // Shown nowhere: nothing is asked.
    dispatch(incoming(kWorldOther, test::kHumanBody).u32(0).bytes());
    EXPECT_TRUE(sent().empty());
}

TEST_F(WorldObjectPackets, MobileMovingQueuesAStepForOthersAndLooksForThePlayer)
{
    Mobile* mobile = addMobile(kWorldOther, 1002, 1002);
    ASSERT_NE(mobile, nullptr);
    int32_t steps = mobile->stepCount();
    dispatch(fixedPacket(0x77)
                 .u32(kWorldOther)
                 .u16(test::kHumanBody)
                 .u16(1003)
                 .u16(1002)
                 .u8(0)
                 .u8(2)
                 .u16(0)
                 .u8(0)
                 .u8(6)
                 .bytes());
    EXPECT_EQ(mobile->stepCount(), steps + 1);
    EXPECT_EQ(mobile->notoriety, 6);

    dispatch(fixedPacket(0x77).u32(kPlayerSerial).u16(402).u16(1200).u16(1200).u8(0).u8(2).u16(0).u8(0x40).u8(1).bytes());
    EXPECT_EQ(player()->graphic, 402);
    EXPECT_EQ(player()->x, kCentreX);
    EXPECT_EQ(player()->flags, 0x40);

    // The extended form takes only the player's flags.
    dispatch(fixedPacket(0xD2).u32(kPlayerSerial).u16(403).u16(1200).u16(1200).u8(0).u8(2).u16(0).u8(0).u8(1)
                 .u16(0).u16(0).u16(0).fill(2, 0).bytes());
    EXPECT_EQ(player()->graphic, 402);
    EXPECT_EQ(player()->flags, 0);

    std::string before = snapshot();
    dispatch(fixedPacket(0x77).u32(0x00000C01).u16(400).u16(1).u16(1).u8(0).u8(0).u16(0).u8(0).u8(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

// 0x1D, 0x20, 0x21, 0x22, 0x97 ----------------------------------------------

TEST_F(WorldObjectPackets, DeleteRemovesObjectsButNeverThePlayer)
{
    dropItem(kPacketItem, 1001, 1001);
    dragState().dragging = true;
    dragState().serial = kPacketItem;
    dispatch(fixedPacket(0x1D).u32(kPacketItem).bytes());
    EXPECT_EQ(findItemBySerial(kPacketItem), nullptr);
    EXPECT_FALSE(dragState().dragging);
    EXPECT_EQ(windows.calls, (std::vector<std::string> { "closeTargetBarsShowing 40000101" }));

    std::string before = snapshot();
    dispatch(fixedPacket(0x1D).u32(kPlayerSerial).bytes());
    dispatch(fixedPacket(0x1D).u32(0x40009999).bytes());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(WorldObjectPackets, PlayerUpdateMovesThePlayerAndEndsTheResync)
{
    stepQueue().resyncSent = true;
    dispatch(fixedPacket(0x20).u32(kPlayerSerial).u16(0x4190).u8(0).u16(0x0021).u8(0x40).u16(1010).u16(1020).u16(0)
                 .u8(0x83).u8(uint8_t(-4)).bytes());
    PlayerMobile& self = *player();
    EXPECT_EQ(self.x, 1010);
    EXPECT_EQ(self.y, 1020);
    EXPECT_EQ(self.z, -4);
    EXPECT_EQ(self.graphic, 0x0190);
    EXPECT_EQ(self.direction, 3);
    EXPECT_EQ(self.flags, 0x40);
    EXPECT_EQ(self.baseHue, 0x0021);
    EXPECT_EQ(mapView().centreX, 1010);
    EXPECT_FALSE(stepQueue().resyncSent);
    EXPECT_EQ(windows.calls, (std::vector<std::string> { "closeBankBox" }));

    std::string before = snapshot();
    dispatch(fixedPacket(0x20).u32(kWorldOther).u16(400).u8(0).u16(0).u8(0).u16(5).u16(5).u16(0).u8(0).u8(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(WorldObjectPackets, MoveRejectAndAcknowledgement)
{
    dispatch(fixedPacket(0x21).u8(3).u16(1005).u16(1006).u8(0x86).u8(2).bytes());
    EXPECT_EQ(player()->x, 1005);
    EXPECT_EQ(player()->y, 1006);
    EXPECT_EQ(player()->direction, 6);
    dispatch(fixedPacket(0x22).u8(1).u8(4).bytes());
    EXPECT_EQ(player()->notoriety, 4);
}

// Found by the dispatcher fuzzer: a position answer that came before the
// login confirmation put the player into the cell grid, which then held an
// object no world list held.
struct EarlyPositionCase {
    const char* name;
    Bytes packet;
};

class PositionBeforeLoginConfirm : public test::WorldPacketTest,
                                   public testing::WithParamInterface<EarlyPositionCase> { };

TEST_P(PositionBeforeLoginConfirm, LeavesThePlayerOutOfTheGrid)
{
    // The player object as start-up makes it: known, but not in the world.
    resetWorld();
    createPlayerObject();
    player()->serial = kPlayerSerial;
    player()->graphic = test::kHumanBody;
    setPlayerSerial(kPlayerSerial);
    ASSERT_TRUE(player()->isDetached());
    dispatch(GetParam().packet);
    EXPECT_FALSE(player()->isPlaced());
    EXPECT_TRUE(player()->isDetached());
}

INSTANTIATE_TEST_SUITE_P(Packets, PositionBeforeLoginConfirm,
    testing::Values(
        EarlyPositionCase { "MoveReject", fixedPacket(0x21).u8(0x21).u16(0x2121).u16(0).u8(0).u8(0).bytes() },
        EarlyPositionCase { "PlayerUpdate",
            fixedPacket(0x20).u32(kPlayerSerial).u16(400).u8(0).u16(0).u8(0).u16(1010).u16(1020).u16(0).u8(2).u8(0)
                .bytes() }),
    [](const testing::TestParamInfo<EarlyPositionCase>& row) { return std::string(row.param.name); });

TEST_F(WorldObjectPackets, ServerStepIsAskedOfTheWalkingCode)
{
    // The player stands facing north: a step east first turns it, queued as
    // the server's own and taken as acknowledged.
    player()->direction = 0;
    dispatch(fixedPacket(0x97).u8(2).bytes());
    ASSERT_EQ(stepQueue().count, 1);
    EXPECT_EQ(stepQueue().entries[0].direction, 2);
    EXPECT_TRUE(stepQueue().entries[0].acknowledged);
    EXPECT_TRUE(sink.packets.empty());
    // Not a direction: refused.
    dispatch(fixedPacket(0x97).u8(9).bytes());
    EXPECT_EQ(stepQueue().count, 1);
}

// 0xC4, 0x39 ----------------------------------------------------------------

TEST_F(WorldObjectPackets, SemiVisibleSerialsAreKeptPerSession)
{
    dropItem(kPacketItem, 1001, 1001);
    dispatch(fixedPacket(0xC4).u32(kPacketItem).u8(1).bytes());
    dispatch(fixedPacket(0xC4).u32(0x40009999).u8(1).bytes());
    EXPECT_EQ(session->semiVisible, (std::set<uint32_t> { kPacketItem }));
    dispatch(fixedPacket(0xC4).u32(kPacketItem).u8(0).bytes());
    EXPECT_TRUE(session->semiVisible.empty());
    dispatch(fixedPacket(0xC4).u32(kPacketItem).u8(1).bytes());
    dispatch(fixedPacket(0xC4).u32(0xFFFFFFFF).u8(0).bytes());
    EXPECT_TRUE(session->semiVisible.empty());
}

TEST_F(WorldObjectPackets, GroupNoticesShowOverTheirObjects)
{
    addMobile(kWorldOther, 1002, 1002);
    dispatch(fixedPacket(0x39).u32(0).u32(0).bytes());
    dispatch(fixedPacket(0x39).u32(0).u32(1).bytes());
    dispatch(fixedPacket(0x39).u32(kPlayerSerial).u32(kWorldOther).bytes());
    dispatch(fixedPacket(0x39).u32(kPlayerSerial).u32(0x0000C0FF).bytes());
    EXPECT_EQ(overheads.texts,
        (std::vector<std::string> { "00000AA1 Illegal group. hue 0 font 3", "00000AA1 Removed from group. hue 0 font 3",
            "00000B01 Now grouped. hue 0 font 3" }));
}

// 0x24, 0x25, 0x3C, 0x89, 0x90 ----------------------------------------------

TEST_F(WorldObjectPackets, ContainerItemGoesIntoItsContainer)
{
    Item* pack = dropItem(0x40000500, 1001, 1001, test::kBackpackGraphic);
    ASSERT_TRUE(pack->isContainer());
    dispatch(fixedPacket(0x25).u32(kPacketItem).u16(kShirt).u8(0).u16(3).u16(40).u16(50).u32(0x40000500).u16(0x0021).bytes());
    Item* item = findItemBySerial(kPacketItem);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->container(), pack);
    EXPECT_EQ(item->amount, 3);
    EXPECT_EQ(item->x, 40);

    // An unknown container takes nothing.
    std::string before = snapshot();
    dispatch(fixedPacket(0x25).u32(kPacketItem + 1).u16(kShirt).u8(0).u16(1).u16(1).u16(1).u32(0x40009999).u16(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

ServerPacket contents(uint16_t count)
{
    ServerPacket packet(0x3C);
    packet.u16(count);
    return packet;
}

void addContentEntry(ServerPacket& packet, uint32_t serial, uint32_t container)
{
    packet.u32(serial).u16(kShirt).u8(0).u16(1).u16(10).u16(20).u32(container).u16(0);
}

TEST_F(WorldObjectPackets, ContainerContentsReplaceWhatWasThereAndEndWithThePacket)
{
    Item* pack = dropItem(0x40000500, 1001, 1001, test::kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(0x40000600, kShirt, 0, 1, 5, 5, 0x40000500, 0));

    // Three entries announced, two sent: the old content goes, two come in.
    ServerPacket packet = contents(3);
    addContentEntry(packet, 0x40000601, 0x40000500);
    addContentEntry(packet, 0x40000602, 0x40000500);
    dispatch(packet.bytes());
    EXPECT_EQ(findItemBySerial(0x40000600), nullptr);
    ASSERT_NE(findItemBySerial(0x40000601), nullptr);
    EXPECT_EQ(findItemBySerial(0x40000602)->container(), pack);

    // The largest count with nothing after it changes nothing.
    std::string before = snapshot();
    dispatch(contents(0xFFFF).bytes());
    ServerPacket half = contents(1);
    half.u32(0x40000603).u16(kShirt);
    dispatch(half.bytes());
    dispatch(contents(0).truncatedBy(1));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(WorldObjectPackets, CorpseEquipmentFillsTheLayerTable)
{
    ASSERT_TRUE(onObjectPacket(0x40000700, Corpse::kCorpseGraphic, 0, 400, 1001, 1001, 0, 0, 0, 0));
    auto* corpse = static_cast<Corpse*>(findItemBySerial(0x40000700));
    ASSERT_TRUE(corpse->isCorpse());
    ServerPacket packet(0x89);
    packet.u32(0x40000700).u8(5).u32(0x40000701).u8(200).u32(0x40000702).u8(21).u32(0x40000703).u8(0).u8(6).u32(1);
    dispatch(packet.bytes());
    EXPECT_EQ(corpse->layerSerial(5), 0x40000701u);
    EXPECT_EQ(corpse->layerSerial(21), 0x40000703u);
    EXPECT_EQ(corpse->layerSerial(6), 0u);

    // An entry cut in half is dropped.
    ServerPacket cut(0x89);
    cut.u32(0x40000700).u8(7).u16(0x4000);
    dispatch(cut.bytes());
    EXPECT_EQ(corpse->layerSerial(7), 0u);

    // At most forty entries are read, however many follow.
    ServerPacket many(0x89);
    many.u32(0x40000700);
    for (uint32_t i = 1; i <= 40; ++i)
        many.u8(1).u32(0x40000800 + i);
    many.u8(2).u32(0x40000899).u8(0);
    dispatch(many.bytes());
    EXPECT_EQ(corpse->layerSerial(1), 0x40000828u);
    EXPECT_EQ(corpse->layerSerial(2), 0u);
}

TEST_F(WorldObjectPackets, OpenContainerAndCourseMapReachTheirWindows)
{
    dropItem(0x40000800, 1001, 1001, test::kSpellbookGraphic);
    dropItem(0x40000801, 1001, 1001, test::kMapGraphic);
    dispatch(fixedPacket(0x24).u32(0x40000800).u16(0xFFFF).bytes());
    dispatch(fixedPacket(0x24).u32(0x40009999).u16(0xFFFF).bytes());
    dispatch(fixedPacket(0x90).u32(0x40000801).u16(5021).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6).bytes());
    dispatch(fixedPacket(0x90).u32(0x40000801).u16(5020).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6).bytes());
    dispatch(fixedPacket(0x90).u32(0x40000800).u16(5021).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6).bytes());
    EXPECT_EQ(windows.calls, (std::vector<std::string> { "openSpellbook 40000800", "courseMap 40000801 5021 1-6" }));
}

// The desktop file of the player with a container at (33, 44) and a
// spellbook at (55, 66), written little-endian field by field.
Bytes desktopWithContainerAndBook(uint32_t pack, uint32_t book)
{
    Bytes bytes;
    auto u8 = [&](uint32_t value) { bytes.push_back(uint8_t(value)); };
    auto u32 = [&](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            u8(value >> shift);
    };
    u32(kPlayerSerial);
    u8(DesktopRecordType::kContainer);
    u32(33);
    u32(44);
    u32(pack);
    u8(0);
    u8(DesktopRecordType::kSpellbook);
    u32(55);
    u32(66);
    u8(0);
    u8(0);
    u32(book);
    return bytes;
}

// The container windows the factory makes, and nothing else.
class ContainerWindows final : public NoFactoryWindows {
public:
    class Window final : public CGump {
    public:
        explicit Window(WorldObject* owner)
        {
            addKind(GumpKind::ContainerGump);
            setOwner(owner);
        }
    };

    CGump* createContainer(WorldObject* owner, int32_t, int32_t x, int32_t y, int32_t, int32_t) override
    {
        auto* window = new Window(owner);
        window->setLocation(x, y);
        return window;
    }
};

TEST_F(WorldObjectPackets, OpenedWindowsEndTheDesktopFilesRequests)
{
    // Until the server opens each stored container the desktop file asks
    // for it again every few seconds: every opening must be reported.
    constexpr uint32_t kPack = 0x40000500;
    constexpr uint32_t kBook = 0x40000501;
    ContainerWindows factory;
    ScopedService<FactoryWindows> factoryGuard { factory };
    dropItem(kPack, 1001, 1001, test::kBackpackGraphic);
    dropItem(kBook, 1001, 1001, test::kSpellbookGraphic);
    desktopReset();
    ASSERT_TRUE(desktopRead(desktopWithContainerAndBook(kPack, kBook)));
    ASSERT_EQ(desktopReopenList(), (std::vector<uint32_t> { kPack, kBook }));

    dispatch(fixedPacket(0x24).u32(kPack).u16(0x003C).bytes());
    EXPECT_EQ(desktopReopenList(), (std::vector<uint32_t> { kBook }));
    EXPECT_FALSE(desktopReopenFinished());
    CGump* pack = gumpListHead();
    ASSERT_NE(pack, nullptr);
    ASSERT_TRUE(pack->is(GumpKind::ContainerGump));
    EXPECT_EQ(pack->x(), 33);
    EXPECT_EQ(pack->y(), 44);

    // The spellbook window takes the place the file kept for it.
    auto* book = new CGump;
    gumpLink(book, nullptr);
    windows.spellbookWindow = book;
    dispatch(fixedPacket(0x24).u32(kBook).u16(0xFFFF).bytes());
    EXPECT_TRUE(desktopReopenList().empty());
    EXPECT_TRUE(desktopReopenFinished());
    EXPECT_EQ(book->x(), 55);
    EXPECT_EQ(book->y(), 66);
    closeGump(book);
    closeGump(pack);
    desktopReset();
}

// 0x27, 0x28, 0x29 ----------------------------------------------------------

struct PickUpRejectCase {
    const char* name;
    uint8_t reason;
    const char* text; // null: none
    bool restores;
};

class PickUpReject : public test::WorldPacketTest, public testing::WithParamInterface<PickUpRejectCase> { };

TEST_P(PickUpReject, PutsTheItemBackAndSaysWhy)
{
    const PickUpRejectCase& row = GetParam();
    Item* item = dropItem(kPacketItem, 1001, 1002);
    pickUpItem(*item, 1);
    ASSERT_EQ(findItemBySerial(kPacketItem), nullptr);
    ASSERT_TRUE(dragState().dragging);
    dispatch(fixedPacket(0x27).u8(row.reason).bytes());
    EXPECT_FALSE(dragState().dragging);
    Item* back = findItemBySerial(kPacketItem);
    EXPECT_EQ(back != nullptr, row.restores);
    if (back) {
        EXPECT_EQ(back->x, 1001);
        EXPECT_EQ(back->y, 1002);
    }
    if (row.text) {
        ASSERT_EQ(state.messages.lines.size(), 1u);
        EXPECT_EQ(state.messages.lines[0].text, row.text);
    } else {
        EXPECT_TRUE(state.messages.lines.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Reasons, PickUpReject,
    testing::Values(PickUpRejectCase { "CannotLift", 0, "You can not pick that up.", true },
        PickUpRejectCase { "TooFar", 1, "That is too far away.", true },
        PickUpRejectCase { "OutOfSight", 2, "That is out of sight.", true },
        PickUpRejectCase { "NotYours", 3, "That item does not belong to you.  You'll have to steal it.", true },
        PickUpRejectCase { "AlreadyHolding", 4, "You are already holding an item.", true },
        PickUpRejectCase { "Silent", 5, nullptr, false }, PickUpRejectCase { "Unknown", 200, nullptr, true }),
    [](const testing::TestParamInfo<PickUpRejectCase>& row) { return std::string(row.param.name); });

TEST_F(WorldObjectPackets, DropAnswersEndThePendingPickUp)
{
    for (const Bytes& packet : { fixedPacket(0x28).u16(0).u16(0).bytes(), fixedPacket(0x29).bytes() }) {
        dragState().dragging = true;
        dispatch(packet);
        EXPECT_FALSE(dragState().dragging);
    }
}

} // namespace
