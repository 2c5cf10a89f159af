// The general information packet's sub-commands and the mobile status
// packets through the dispatcher: the model changes and window calls each
// one makes, the background session's share, and the bad-input forms
// (truncated records, counts larger than the packet).

#include "data/server_features.h"
#include "data/settings_registry.h"
#include "data/targeting.h"
#include "gump/property_cache.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "gump/input_control.h"
#include "net/packet_table.h"
#include "protocol/general_info_packet.h"
#include "protocol/property_revisions.h"
#include "protocol/protocol_services.h"
#include "world/mobile.h"
#include "world_packet_fixture.h"

namespace {

using test::fixedPacket;
using test::kPlayerSerial;
using test::ServerPacket;
using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

constexpr uint32_t kOther = 0x00000B01;

ServerPacket generalInfo(uint16_t sub)
{
    ServerPacket packet(0xBF);
    packet.u16(sub);
    return packet;
}

class GeneralInfo : public test::WorldPacketTest { };

// Step keys ---------------------------------------------------------------

TEST_F(GeneralInfo, StepKeysFillThePlayersSlotsOrTheSessionBehind)
{
    dispatch(generalInfo(0x01).u32(11).u32(12).u32(13).u32(14).u32(15).bytes());
    EXPECT_EQ(player()->walkKeys, (std::array<uint32_t, 5> { 11, 12, 13, 14, 15 }));

    // All five slots in use: one more key is dropped.
    dispatch(generalInfo(0x02).u32(99).bytes());
    EXPECT_EQ(player()->walkKeys, (std::array<uint32_t, 5> { 11, 12, 13, 14, 15 }));

    auto* behind = new GameConnection;
    ShardSession* other = addShardSession("Behind", behind);
    dispatch(generalInfo(0x01).u32(21).u32(22).u32(23).u32(24).u32(25).bytes(), behind);
    EXPECT_EQ(other->walkKeys, (std::array<uint32_t, 5> { 21, 22, 23, 24, 25 }));
    EXPECT_EQ(player()->walkKeys[0], 11u);
    // A single key from the session behind is not the shown player's.
    other->walkKeys = {};
    dispatch(generalInfo(0x02).u32(31).bytes(), behind);
    EXPECT_EQ(other->walkKeys, (std::array<uint32_t, 5> {}));
}

TEST_F(GeneralInfo, SingleStepKeyTakesTheFirstFreeSlot)
{
    player()->walkKeys = { 1, 0, 3, 0, 0 };
    dispatch(generalInfo(0x02).u32(7).bytes());
    EXPECT_EQ(player()->walkKeys, (std::array<uint32_t, 5> { 1, 7, 3, 0, 0 }));
}

// Each sub-command cut short changes nothing and calls nothing.
struct ShortSubCase {
    const char* name;
    Bytes packet;
};

class ShortSubCommand : public test::WorldPacketTest, public testing::WithParamInterface<ShortSubCase> { };

TEST_P(ShortSubCommand, ChangesNothing)
{
    addMobile(kOther, 1002, 1002);
    player()->walkKeys = { 0, 0, 0, 0, 0 };
    std::string before = snapshot();
    dispatch(GetParam().packet);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(windows.calls.empty()) << windows.calls.front();
    EXPECT_TRUE(sent().empty());
}

INSTANTIATE_TEST_SUITE_P(Truncated, ShortSubCommand,
    testing::Values(ShortSubCase { "NoSubCommand", ServerPacket(0xBF).u8(0x01).bytes() },
        ShortSubCase { "StepKeysFour", generalInfo(0x01).u32(1).u32(2).u32(3).u32(4).bytes() },
        ShortSubCase { "StepKeyHalf", generalInfo(0x02).u16(1).bytes() },
        ShortSubCase { "Mail", generalInfo(0x03).fill(200, 'a').bytes() },
        ShortSubCase { "CloseGeneric", generalInfo(0x04).u32(1).bytes() },
        ShortSubCase { "Facet", generalInfo(0x08).bytes() },
        ShortSubCase { "ContextMenuEntryCut", generalInfo(0x14).u16(1).u32(kOther).u8(2).u16(1).u16(2).u16(0).u16(5).bytes() },
        ShortSubCase { "ContextMenuHugeCount", generalInfo(0x14).u16(1).u32(kOther).u8(255).bytes() },
        ShortSubCase { "CloseByKind", generalInfo(0x16).u32(2).bytes() },
        ShortSubCase { "HelpTopic", generalInfo(0x17).u8(1).u32(5).bytes() },
        ShortSubCase { "DeadFlag", generalInfo(0x19).u8(1).u32(kOther).bytes() },
        ShortSubCase { "Spellbook", generalInfo(0x1B).u16(1).u32(0x40000001).u16(0x0EFA).u16(1).fill(7, 0xFF).bytes() },
        ShortSubCase { "HouseRevision", generalInfo(0x1D).u32(0x40000001).bytes() },
        ShortSubCase { "HouseCommand", generalInfo(0x20).u32(0x40000001).u8(1).u16(5).u16(1).u16(1).bytes() },
        ShortSubCase { "Damage", generalInfo(0x22).u8(1).u32(kOther).bytes() },
        ShortSubCase { "SpellToggle", generalInfo(0x25).u16(5).bytes() },
        ShortSubCase { "MovementFlags", generalInfo(0x26).bytes() },
        ShortSubCase { "RaceChange", generalInfo(0x2A).u8(1).bytes() },
        ShortSubCase { "Unknown", generalInfo(0x7777).u32(1).bytes() }),
    [](const testing::TestParamInfo<ShortSubCase>& row) { return std::string(row.param.name); });

// Difference lists, equipment information ---------------------------------

TEST_F(GeneralInfo, LongCountsEndWhereThePacketEnds)
{
    // A facet count of 2^32 - 1 with two pairs behind it, and an older
    // equipment list with no end mark: both finish at the packet's end.
    dispatch(generalInfo(0x18).u32(0xFFFFFFFF).u32(1).u32(2).u32(3).u32(4).bytes());
    dispatch(generalInfo(0x18).u32(7).u32(1).u32(2).u32(3).u32(4).u32(5).u32(6).u32(7).u32(8).u32(9).u32(10)
                 .u32(11).u32(12).u32(13).u32(14).bytes());
    addMobile(kOther, 1002, 1002);
    dispatch(generalInfo(0x10).u32(kOther).u32(1050000).u32(1060000).u16(12).u32(1060001).bytes());
    EXPECT_EQ(windows.calls, (Calls { "equipInfo 00000B01 1050000 crafter '' 1060000=12" }));
}

TEST_F(GeneralInfo, EquipmentInformationListsCrafterAttributesAndUnidentified)
{
    addMobile(kOther, 1002, 1002);
    ServerPacket packet = generalInfo(0x10);
    packet.u32(kOther).u32(1050000).u32(0xFFFFFFFD).u16(5).text("Bryna", 5);
    for (uint32_t i = 0; i < 12; ++i)
        packet.u32(1060000 + i).u16(uint16_t(i));
    packet.u32(0xFFFFFFFC).u32(1070000).u16(1);
    dispatch(packet.bytes());
    ASSERT_EQ(windows.calls.size(), 1u);
    EXPECT_EQ(windows.calls[0].substr(0, 60),
        "equipInfo 00000B01 1050000 crafter 'Bryna' unidentified 1060");
    // At most ten attributes; nothing past the unidentified mark.
    EXPECT_NE(windows.calls[0].find("1060009=9"), std::string::npos);
    EXPECT_EQ(windows.calls[0].find("1060010"), std::string::npos);
    EXPECT_EQ(windows.calls[0].find("1070000"), std::string::npos);

    // A crafter name longer than the packet ends the list; an unknown
    // object shows nothing.
    windows.calls.clear();
    dispatch(generalInfo(0x10).u32(kOther).u32(1).u32(0xFFFFFFFD).u16(0xFFFF).text("ab", 2).bytes());
    dispatch(generalInfo(0x10).u32(0x0000C0DE).u32(1).u32(0xFFFFFFFF).bytes());
    EXPECT_EQ(windows.calls, (Calls { "equipInfo 00000B01 1 crafter ''" }));
}

// Context menu, help, spellbook, damage, race change, party, mail ----------

TEST_F(GeneralInfo, WindowPayloadsAreParsedAndHandedOver)
{
    addMobile(kOther, 1002, 1002);
    ServerPacket menu = generalInfo(0x14);
    menu.u16(1).u32(kOther).u8(3);
    menu.u16(10).u16(5).u16(0x0000);
    menu.u16(11).u16(6).u16(0x0020).u16(0x0481);
    menu.u16(12).u16(7).u16(0x00E4).u16(1).u16(2).u16(0x0022);
    dispatch(menu.bytes());
    dispatch(generalInfo(0x17).u8(1).u32(77).u8(1).bytes());
    dispatch(generalInfo(0x17).u8(2).bytes());
    dispatch(generalInfo(0x17).u8(3).u8(9).bytes());
    dispatch(generalInfo(0x1B).u16(1).u32(0x40000001).u16(0x0EFA).u16(101).u8(0x81).fill(6, 0).u8(0x02).bytes());
    dispatch(generalInfo(0x25).u16(12).u8(1).bytes());
    dispatch(generalInfo(0x21).bytes());
    dispatch(generalInfo(0x22).u8(1).u32(kOther).u8(0).bytes());
    dispatch(generalInfo(0x22).u8(1).u32(kOther).u8(17).bytes());
    dispatch(generalInfo(0x22).u8(1).u32(kPlayerSerial).u8(3).bytes());
    dispatch(generalInfo(0x2A).u8(2).u8(1).bytes());
    dispatch(generalInfo(0x2A).u8(2).u8(0).bytes());
    dispatch(generalInfo(0x2A).u8(2).u8(0xFF).bytes());
    dispatch(generalInfo(0x06).u8(1).u8(2).u8(3).bytes());
    dispatch(generalInfo(0x03).text("gm@shard", 32).text("Staff", 32).text("Help", 32).text("Stuck", 128).bytes());
    EXPECT_EQ(windows.calls,
        (Calls { "contextMenu 00000B01 10:3000005:0 11:3000006:1153 12:3000007:34", "help 1 77 1", "help 2 0 0",
            "help 3 0 9", "spellbook 40000001 3834 101 129,2", "spellToggle 12 on", "resetAbility",
            "damage 00000B01 17 hue 33", "damage 00000AA1 3 hue 52", "raceChange open 2 0", "raceChange open 2 0",
            "raceChange close 2 255", "party 3", "mail gm@shard|Staff|Help|Stuck" }));

    // A menu for an object that is not there is dropped.
    windows.calls.clear();
    dispatch(generalInfo(0x14).u16(1).u32(0x0000C0DE).u8(0).bytes());
    EXPECT_TRUE(windows.calls.empty());
}

// Dead flag and stat locks --------------------------------------------------

struct LocksCase {
    const char* name;
    uint8_t level;
    uint8_t locks;
    const char* call; // null: no lock change
};

class DeadFlagAndLocks : public test::WorldPacketTest, public testing::WithParamInterface<LocksCase> { };

TEST_P(DeadFlagAndLocks, SetsTheFlagAndTheLocksUnlessOneIsThree)
{
    const LocksCase& row = GetParam();
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    ServerPacket packet = generalInfo(0x19);
    packet.u8(row.level).u32(kOther).u8(1);
    if (row.level >= 2)
        packet.u8(row.locks);
    if (row.level >= 3)
        packet.u8(0);
    if (row.level >= 4)
        packet.u8(0);
    dispatch(packet.bytes());
    EXPECT_EQ(mobile->deadFlag, 1);
    EXPECT_EQ(windows.calls, row.call ? Calls { row.call } : Calls {});
    dispatch(generalInfo(0x19).u8(1).u32(kOther).u8(0).bytes());
    EXPECT_EQ(mobile->deadFlag, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, DeadFlagAndLocks,
    testing::Values(LocksCase { "One", 1, 0, nullptr }, LocksCase { "Two", 2, 0x19, "locks 00000B01 121" },
        LocksCase { "Three", 3, 0x02, "locks 00000B01 002" }, LocksCase { "Four", 4, 0x20, "locks 00000B01 200" },
        LocksCase { "StrengthThree", 2, 0x30, nullptr }, LocksCase { "DexterityThree", 3, 0x0C, nullptr },
        LocksCase { "IntelligenceThree", 4, 0x03, nullptr }),
    [](const testing::TestParamInfo<LocksCase>& row) { return std::string(row.param.name); });

// Closing windows by kind ---------------------------------------------------

class KindWindow final : public CGump {
public:
    KindWindow(GumpKind kind, WorldObject* owner, uint32_t ownerSerial)
    {
        addKind(kind);
        setOwner(owner);
        setOwnerSerial(ownerSerial);
    }
};

TEST_F(GeneralInfo, CloseByKindWithSerialZeroOrAnOwner)
{
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    auto open = [](GumpKind kind, WorldObject* owner, uint32_t serial) {
        auto* window = new KindWindow(kind, owner, serial);
        gumpLink(window, nullptr);
        return window;
    };
    open(GumpKind::StatusGump, mobile, 0);
    open(GumpKind::StatusGump, player(), 0);
    open(GumpKind::Profile, nullptr, kOther);
    open(GumpKind::Profile, nullptr, 0x0000C0DE);
    open(GumpKind::Paperdoll, mobile, 0);
    auto count = [](GumpKind kind) {
        int32_t found = 0;
        for (CGump* gump = gumpListHead(); gump; gump = gump->next())
            found += gump->is(kind) && isValidGump(gump) ? 1 : 0;
        return found;
    };
    dispatch(generalInfo(0x16).u32(2).u32(kOther).bytes());
    EXPECT_EQ(count(GumpKind::StatusGump), 1);
    dispatch(generalInfo(0x16).u32(8).u32(kOther).bytes());
    EXPECT_EQ(count(GumpKind::Profile), 1);
    dispatch(generalInfo(0x16).u32(13).u32(0).bytes());
    dispatch(generalInfo(0x16).u32(0).u32(0).bytes());
    EXPECT_EQ(count(GumpKind::Paperdoll), 1);
    dispatch(generalInfo(0x16).u32(8).u32(0).bytes());
    dispatch(generalInfo(0x16).u32(2).u32(0).bytes());
    EXPECT_EQ(count(GumpKind::Profile), 0);
    EXPECT_EQ(count(GumpKind::StatusGump), 0);
    EXPECT_EQ(count(GumpKind::Paperdoll), 1);
    dispatch(generalInfo(0x16).u32(1).u32(0).bytes());
    EXPECT_EQ(count(GumpKind::Paperdoll), 0);
}

// Property revisions -------------------------------------------------------

TEST_F(GeneralInfo, RevisionsReachThePropertyListCache)
{
    // The program installs the real cache; a revision the cache lacks is
    // queued for a request, one it holds is not.
    PropertyListRevisions* kept = installPropertyListRevisions(propertyCacheRevisions());
    storeCharacterListFlags(0x20);
    propertyListReset();
    propertyListAddEntry(0x40000301, 4, 500001, u"");
    dispatch(generalInfo(0x10).u32(0x40000302).u32(1).bytes());
    dispatch(generalInfo(0x10).u32(0x40000301).u32(4).bytes());
    EXPECT_EQ(propertyCache().pending.count(0x40000302), 1u);
    EXPECT_EQ(propertyCache().pending.count(0x40000301), 0u);
    EXPECT_EQ(propertyCache().requestForm, 0);

    // The packet of its own sets the batch form.
    dispatch(fixedPacket(0xDC).u32(0x40000303).u32(2).bytes());
    EXPECT_EQ(propertyCache().pending.count(0x40000303), 1u);
    EXPECT_EQ(propertyCache().requestForm, 1);
    propertyListReset();
    setPropertyRequestForm(0);
    storeCharacterListFlags(0);
    installPropertyListRevisions(kept);
}

// Movement flags, the house design request ---------------------------------

TEST_F(GeneralInfo, MovementFlagsAndTheHouseDesignRequest)
{
    dispatch(generalInfo(0x26).u8(3).bytes());
    EXPECT_EQ(player()->speedMode, 3);

    // No cached design: the client asks for it.
    dispatch(generalInfo(0x1D).u32(0x40000123).u32(4).bytes());
    std::vector<Bytes> replies = sent();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0], (Bytes { 0xBF, 0x00, 0x09, 0x00, 0x1E, 0x40, 0x00, 0x01, 0x23 }));
}

TEST_F(GeneralInfo, SendersBuildTheirRequests)
{
    ASSERT_TRUE(sendUsePrimaryAbility());
    ASSERT_TRUE(sendUseSecondaryAbility());
    ASSERT_TRUE(sendPointerClick(5));
    ASSERT_TRUE(sendStatusBarClosed(0x00000B01));
    EXPECT_EQ(sent(),
        (std::vector<Bytes> { { 0xBF, 0x00, 0x05, 0x00, 0x09 }, { 0xBF, 0x00, 0x05, 0x00, 0x0A },
            { 0xBF, 0x00, 0x06, 0x00, 0x07, 0x01 }, { 0xBF, 0x00, 0x09, 0x00, 0x0C, 0x00, 0x00, 0x0B, 0x01 } }));
}

// Mobile status -------------------------------------------------------------

class MobileStatus : public test::WorldPacketTest {
protected:
    static ServerPacket status(uint32_t serial, const char* name, uint8_t level, uint16_t strength = 100)
    {
        ServerPacket packet(0x11);
        packet.u32(serial).text(name, 30).u16(40).u16(50).u8(0).u8(level);
        if (level == 0)
            return packet;
        packet.u8(1).u16(strength).u16(60).u16(70).u16(21).u16(22).u16(31).u16(32).u32(1234).u16(7).u16(8);
        if (level >= 5)
            packet.u16(500).u8(2);
        if (level >= 2)
            packet.u16(260);
        if (level >= 3)
            packet.u8(2).u8(6);
        if (level >= 4)
            packet.u16(1).u16(2).u16(3).u16(4).u16(0xFFFF).u16(10).u16(20).u32(999);
        return packet;
    }
};

struct StatusLevelCase {
    const char* name;
    uint8_t level;
    uint16_t maxValueB;
    uint16_t statCap;
    uint8_t maxFollowers;
    uint32_t tithing;
};

class StatusLevels : public MobileStatus, public testing::WithParamInterface<StatusLevelCase> { };

TEST_P(StatusLevels, FillTheRecordAsFarAsTheLevelCarries)
{
    const StatusLevelCase& row = GetParam();
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    dispatch(status(kOther, "Orsolya", row.level).bytes());
    const StatusRecord& record = statusRecord();
    EXPECT_EQ(record.name, "Orsolya");
    EXPECT_EQ(record.hits, 40);
    EXPECT_EQ(record.maxValueB, row.maxValueB);
    EXPECT_EQ(record.statCap, row.statCap);
    EXPECT_EQ(record.maxFollowers, row.maxFollowers);
    EXPECT_EQ(record.tithing, row.tithing);
    EXPECT_EQ(mobile->hits, row.level ? 40 : 0);
    EXPECT_EQ(mobile->mana, row.level ? 31 : 0);
    EXPECT_EQ(mobile->maxStamina, row.level ? 22 : 0);
    EXPECT_EQ(mobile->race, row.level >= 5 ? 2 : 0) << "the mobile keeps the race byte";
    EXPECT_EQ(mobile->female, row.level ? 1 : 0) << "the low bit of the sex/race byte";
    EXPECT_EQ(windows.calls, (Calls { "targetBar 00000B01 40/50", "status 00000B01 Orsolya" }));

    // One byte short: refused whole, the record stays.
    windows.calls.clear();
    dispatch(status(kOther, "Other", row.level).truncatedBy(1));
    EXPECT_EQ(statusRecord().name, "Orsolya");
    EXPECT_TRUE(windows.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Levels, StatusLevels,
    testing::Values(StatusLevelCase { "Zero", 0, 0, 0, 5, 0 }, StatusLevelCase { "One", 1, 390, 225, 5, 0 },
        StatusLevelCase { "Three", 3, 390, 260, 6, 0 }, StatusLevelCase { "Four", 4, 390, 260, 6, 999 },
        StatusLevelCase { "Five", 5, 500, 260, 6, 999 }),
    [](const testing::TestParamInfo<StatusLevelCase>& row) { return std::string(row.param.name); });

TEST_F(MobileStatus, NamesWithoutTheirEndAreCutAndUnknownSerialsCloseTargetBars)
{
    ServerPacket packet(0x11);
    packet.u32(0x0000C0DE).fill(30, 'n').u16(1).u16(2).u8(1).u8(0);
    dispatch(packet.bytes());
    EXPECT_EQ(statusRecord().name, std::string(29, 'n'));
    EXPECT_EQ(windows.calls, (Calls { "closeTargetBars", "status 0000C0DE " + std::string(29, 'n') + " rename" }));

    // 0x98 cuts its name the same way; a field cut short by the packet's end
    // is refused.
    windows.calls.clear();
    CGump plate;
    gumpManager().allNames[kOther] = &plate;
    dispatch(ServerPacket(0x98).u32(kOther).fill(30, 'm').bytes());
    dispatch(ServerPacket(0x98).u32(kOther).fill(29, 'm').bytes());
    gumpManager().allNames.erase(kOther);
    EXPECT_EQ(windows.calls, (Calls { "namePlate 00000B01 " + std::string(29, 'm') }));
}

// A text entry that waits for a picked mobile takes that mobile's name only;
// the name plates' replies for other mobiles pass it by.
TEST_F(MobileStatus, APickedEntryTakesOnlyItsOwnMobilesName)
{
    auto* entry = new InputControl(10, 10, EntrySize { 200, 20, false }, 1, 50, 0, 0, false, false);
    entry->options.pickMobile = true;
    gumpLink(entry, nullptr);
    for (int press = 0; press < 2; ++press) {
        entry->onLeftDown(5, 5);
        entry->onLeftUp(5, 5);
    }
    ASSERT_EQ(pendingPickEntry(), entry);
    ASSERT_TRUE(targetingState().callback);
    TargetChoice mobile;
    mobile.isMobile = true;
    mobile.serial = kOther;
    targetingState().callback(mobile);
    dispatch(ServerPacket(0x98).u32(kOther + 1).text("Someone else", 30).bytes());
    EXPECT_EQ(entry->narrowText(), "(mobile)");
    EXPECT_EQ(pendingPickEntry(), entry);
    dispatch(ServerPacket(0x98).u32(kOther).text("Picked", 30).bytes());
    EXPECT_EQ(entry->narrowText(), "Picked");
    EXPECT_EQ(pendingPickEntry(), nullptr);
    closeGump(entry);
}

TEST_F(MobileStatus, StatChangesAreReportedAfterTheFirstRecord)
{
    int32_t kept = settings().getBoolSetting(u"StatReport");
    settings().setBoolSetting(u"StatReport", 1);
    dispatch(status(kPlayerSerial, "Me", 1, 45).bytes());
    EXPECT_TRUE(state.messages.lines.empty());
    dispatch(status(kPlayerSerial, "Me", 1, 50).bytes());
    settings().setBoolSetting(u"StatReport", kept);
    ASSERT_EQ(state.messages.lines.size(), 1u);
    EXPECT_EQ(state.messages.lines[0].text, "Your strength has changed by 5.  It is now 50.");
    EXPECT_EQ(state.messages.lines[0].hue, 368);
    EXPECT_EQ(player()->rememberedStats[0], 50);
    EXPECT_EQ(windows.calls.back(), "status 00000AA1 Me player");
}

TEST_F(MobileStatus, VitalPairsAndOnlyHitsReachTheTargetBar)
{
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    dispatch(fixedPacket(0xA1).u32(kOther).u16(90).u16(80).bytes());
    dispatch(fixedPacket(0xA2).u32(kOther).u16(70).u16(60).bytes());
    dispatch(fixedPacket(0xA3).u32(kOther).u16(50).u16(40).bytes());
    EXPECT_EQ(windows.calls,
        (Calls { "targetBar 00000B01 80/90", "vitals 00000B01 80 90 0 0 10 0", "vitals 00000B01 80 90 60 70 10 0",
            "vitals 00000B01 80 90 60 70 40 50" }));
    windows.calls.clear();
    dispatch(fixedPacket(0x2D).u32(kOther).u16(9).u16(8).u16(7).u16(6).u16(5).u16(4).bytes());
    EXPECT_EQ(mobile->maxHits, 9);
    EXPECT_EQ(mobile->stamina, 4);
    EXPECT_EQ(windows.calls, (Calls { "targetBar 00000B01 8/9", "vitals 00000B01 8 9 6 7 4 5" }));

    // Unknown serials: nothing.
    std::string before = snapshot();
    windows.calls.clear();
    dispatch(fixedPacket(0xA2).u32(0x0000C0DE).u16(1).u16(1).bytes());
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(MobileStatus, StatusFlagsReplaceOrMerge)
{
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    dispatch(ServerPacket(0x16).u32(kOther).u16(2).u16(1).u8(1).u16(3).u8(4).bytes());
    EXPECT_EQ(mobile->statusFlags, (std::map<uint16_t, uint8_t> { { 1, 1 }, { 3, 4 } }));
    dispatch(ServerPacket(0x17).u32(kOther).u16(0).bytes());
    EXPECT_EQ(mobile->statusFlags.size(), 2u);
    dispatch(ServerPacket(0x17).u32(kOther).u16(2).u16(1).u8(0).u16(5).u8(9).bytes());
    EXPECT_EQ(mobile->statusFlags, (std::map<uint16_t, uint8_t> { { 3, 4 }, { 5, 9 } }));
    dispatch(ServerPacket(0x16).u32(kOther).u16(0).bytes());
    EXPECT_TRUE(mobile->statusFlags.empty());

    // A count larger than the entries sent: the whole ones are taken.
    dispatch(ServerPacket(0x17).u32(kOther).u16(0xFFFF).u16(7).u8(1).u16(8).bytes());
    EXPECT_EQ(mobile->statusFlags, (std::map<uint16_t, uint8_t> { { 7, 1 } }));
    std::string before = snapshot();
    dispatch(ServerPacket(0x16).u32(kOther).u8(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(MobileStatus, WornItemDressesAKnownWearer)
{
    Mobile* mobile = addMobile(kOther, 1002, 1002);
    dispatch(fixedPacket(0x2E).u32(0x40000201).u16(test::kPlainGraphic).u8(0).u8(5).u32(kOther).u16(0x0021).bytes());
    ASSERT_NE(mobile->layerItem(5), nullptr);
    EXPECT_EQ(mobile->layerItem(5)->serial, 0x40000201u);
    std::string before = snapshot();
    dispatch(fixedPacket(0x2E).u32(0x40000202).u16(test::kPlainGraphic).u8(0).u8(6).u32(0x0000C0DE).u16(0).bytes());
    EXPECT_EQ(snapshot(), before);
}

} // namespace
