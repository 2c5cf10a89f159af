// The server's target cursor through the dispatcher: the answers for each
// kind of pick (golden bytes), the flag echoed once and then 0, the cancel
// from either side, the last target, and the placement previews of 0x99 and
// 0xB4; every packet cut short changes nothing.

#include "world_packet_fixture.h"

#include "data/targeting.h"
#include "fixtures/server_packet.h"
#include "protocol/target_cursor.h"
#include "world/multi_preview.h"
#include "world/target_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using test::fixedPacket;
using test::ServerPacket;

constexpr uint32_t kCursor = 0x01020304;
constexpr uint32_t kMobile = 0x00000777;
constexpr uint32_t kItem = 0x40000555;

std::string hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

std::vector<uint8_t> targetCursor(uint8_t type, uint32_t cursor, uint8_t flag)
{
    return fixedPacket(0x6C).u8(type).u32(cursor).u8(flag).bytes(std::vector<uint8_t>(12, 0)).bytes();
}

class TargetCursor : public test::WorldPacketTest {
protected:
    void SetUp() override
    {
        WorldPacketTest::SetUp();
        clearPacketHandlers();
        registerProtocolHandlers();
        serverTargetCursor() = {};
        lastTarget() = {};
        setMultiPreview(&preview);
    }
    void TearDown() override
    {
        setMultiPreview(nullptr);
        preview.deletePieces();
        targetingState() = TargetingState {};
        serverTargetCursor() = {};
        lastTarget() = {};
        clearPacketHandlers();
        WorldPacketTest::TearDown();
    }

    // The one packet the client answered with, as hex.
    std::string answer()
    {
        std::vector<std::vector<uint8_t>> packets = sent();
        return packets.size() == 1 ? hex(packets[0]) : "packets: " + std::to_string(packets.size());
    }

    MultiPreview preview;
};

struct PickCase {
    const char* name;
    TargetChoice choice;
    const char* answer;
    LastTargetKind lastKind;
};

class TargetAnswers : public TargetCursor, public testing::WithParamInterface<PickCase> { };

TEST_P(TargetAnswers, EchoTheCursorAndNameWhatWasPicked)
{
    const PickCase& pick = GetParam();
    dispatch(targetCursor(1, kCursor, 2));
    ASSERT_TRUE(targetingState().targetingActive);
    EXPECT_EQ(targetingState().intent, TargetIntent::Beneficial);
    ASSERT_TRUE(targetingState().callback);
    targetingState().callback(pick.choice);
    EXPECT_EQ(answer(), pick.answer);
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_EQ(serverTargetCursor().cursorFlag, 0) << "the flag is echoed once";
    EXPECT_EQ(lastTarget().kind, pick.lastKind);
}

TargetChoice choiceOf(TargetKind kind, uint32_t serial, bool mobile, bool isPlayer, uint16_t graphic)
{
    TargetChoice choice;
    choice.kind = kind;
    choice.serial = serial;
    choice.isMobile = mobile;
    choice.isPlayer = isPlayer;
    choice.x = 1001;
    choice.y = 1002;
    choice.z = -3;
    choice.graphic = graphic;
    return choice;
}

INSTANTIATE_TEST_SUITE_P(Picks, TargetAnswers,
    testing::Values(
        PickCase { "Land", choiceOf(TargetKind::Land, 0, false, false, 0), "6C0101020304020000000003E903EAFFFD0000",
            LastTargetKind::Land },
        PickCase { "Item", choiceOf(TargetKind::Object, kItem, false, false, 0x0EED),
            "6C0001020304024000055503E903EAFFFD0EED", LastTargetKind::Object },
        PickCase { "Mobile", choiceOf(TargetKind::Object, kMobile, true, false, 0x0190),
            "6C0001020304020000077703E903EAFFFD0190", LastTargetKind::Object },
        PickCase { "Player", choiceOf(TargetKind::Object, test::kPlayerSerial, true, true, 0x0190),
            "6C00010203040200000AA103E903EAFFFD0190", LastTargetKind::None },
        PickCase { "Static", choiceOf(TargetKind::Static, 0, false, false, 0x0080),
            "6C0101020304020000000003E903EAFFFD0080", LastTargetKind::Static }),
    [](const testing::TestParamInfo<PickCase>& pick) { return pick.param.name; });

// The cursor flag is the intent the world view asks about; an unknown flag
// is neutral, and the intent goes back to neutral with the answer.
TEST_F(TargetCursor, TheFlagSetsTheIntentUntilTheAnswer)
{
    const std::pair<uint8_t, TargetIntent> flags[] = { { 0, TargetIntent::Neutral }, { 1, TargetIntent::Harmful },
        { 2, TargetIntent::Beneficial }, { 7, TargetIntent::Neutral } };
    for (const auto& [flag, intent] : flags) {
        dispatch(targetCursor(0, kCursor, flag));
        EXPECT_EQ(targetingState().intent, intent) << int(flag);
        sendTargetCancel();
        EXPECT_EQ(targetingState().intent, TargetIntent::Neutral) << int(flag);
    }
}

TEST_F(TargetCursor, NoObjectSendsNothingAndKeepsTargeting)
{
    dispatch(targetCursor(0, kCursor, 1));
    targetingState().callback(std::nullopt);
    EXPECT_TRUE(sent().empty());
    EXPECT_TRUE(targetingState().targetingActive);
}

TEST_F(TargetCursor, ATargetedMobileTakesOverTheLastTargetBarOnce)
{
    for (int i = 0; i < 2; ++i) {
        dispatch(targetCursor(0, kCursor, 1));
        targetingState().callback(choiceOf(TargetKind::Object, kMobile, true, false, 0x190));
    }
    dispatch(targetCursor(0, kCursor, 1));
    targetingState().callback(choiceOf(TargetKind::Object, kItem, false, false, 0xEED));
    dispatch(targetCursor(0, kCursor, 1));
    targetingState().callback(choiceOf(TargetKind::Object, kMobile, true, false, 0x190));
    EXPECT_EQ(std::count(windows.calls.begin(), windows.calls.end(), "lastTarget 00000777"), 2)
        << "the same mobile again keeps its bar; after an item it takes it again";
    EXPECT_EQ(lastTarget().serial, kMobile);
}

TEST_F(TargetCursor, TheServersCancelEchoesWhatWasStoredAndTheNextCancelEchoesFlagZero)
{
    dispatch(targetCursor(0, kCursor, 1));
    dispatch(targetCursor(0, 0x0A0B0C0D, 3));
    EXPECT_EQ(answer(), "6C00010203040100000000FFFFFFFF00000000") << "the stored cursor and flag";
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_FALSE(targetingState().callback);
    dispatch(targetCursor(0, 0x0A0B0C0D, 3));
    EXPECT_EQ(answer(), "6C00010203040000000000FFFFFFFF00000000") << "a cancel with no cursor up still answers";
}

TEST_F(TargetCursor, ThePlayersCancelEndsAPlacementTarget)
{
    dispatch(ServerPacket(0xB4).u8(1).u32(kCursor).u16(10).u16(20).u16(0).u16(1).u16(0x80).u16(5).u16(12).u16(21).u16(3).bytes());
    ASSERT_TRUE(preview.hasDesign());
    EXPECT_EQ(targetingState().targetType, kLocationTargetType);
    sendTargetCancel();
    EXPECT_EQ(answer(), "6C00010203040000000000FFFFFFFF00000000");
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_EQ(targetingState().targetType, kObjectTargetType);
}

TEST_F(TargetCursor, AnObjectListBuildsThePreviewOffTheBasePoint)
{
    dispatch(ServerPacket(0xB4)
                 .u8(1)
                 .u32(kCursor)
                 .u16(10)
                 .u16(20)
                 .u16(5)
                 .u16(2)
                 .u16(0x80)
                 .u16(7)
                 .u16(12)
                 .u16(21)
                 .u16(6)
                 .u16(0x81)
                 .u16(0)
                 .u16(10)
                 .u16(20)
                 .u16(5)
                 .bytes());
    ASSERT_TRUE(targetingState().targetingActive);
    EXPECT_EQ(preview.kind(), "objlist");
    ASSERT_EQ(preview.components().size(), 2u);
    EXPECT_EQ(preview.components()[0].dx, 2);
    EXPECT_EQ(preview.components()[0].dy, 1);
    EXPECT_EQ(preview.components()[0].dz, 1);
    EXPECT_EQ(preview.components()[0].hue, 7);
    EXPECT_EQ(preview.components()[1].graphic, 0x81);
    EXPECT_EQ(preview.components()[1].dx, 0);
}

TEST_F(TargetCursor, AnEmptyObjectListGivesAnEmptyPreview)
{
    dispatch(ServerPacket(0xB4).u8(1).u32(kCursor).u16(10).u16(20).u16(5).u16(0).bytes());
    EXPECT_TRUE(targetingState().targetingActive);
    EXPECT_TRUE(preview.hasDesign());
    EXPECT_EQ(preview.kind(), "objlist");
    EXPECT_TRUE(preview.components().empty());
}

TEST_F(TargetCursor, AHousePlacementKeepsTheStoredFlagAndAnswersALocation)
{
    dispatch(targetCursor(0, kCursor, 1));
    targetingState().callback(choiceOf(TargetKind::Land, 0, false, false, 0));
    sent();
    serverTargetCursor().cursorFlag = 2;
    // No multi files here: targeting begins with no design to show.
    dispatch(fixedPacket(0x99).u8(1).u32(0x11223344).u32(0).u16(0).u16(0).u16(0).u16(0).u16(1).u16(0).u16(0).u16(0).bytes());
    ASSERT_TRUE(targetingState().targetingActive);
    EXPECT_EQ(serverTargetCursor().cursorFlag, 2);
    targetingState().callback(choiceOf(TargetKind::Land, 0, false, false, 0));
    EXPECT_EQ(answer(), "6C0111223344020000000003E903EAFFFD0000");
}

// A world object as the world view hands it over.
TEST_F(TargetCursor, PickedWorldObjectsNameTheirKind)
{
    onObjectPacket(kItem, test::kPlainGraphic, 0, 1, 1001, 1002, 4, 0, 0, 0);
    Item* item = findItemBySerial(kItem);
    ASSERT_NE(item, nullptr);
    TargetChoice choice = targetChoiceOf(*item);
    EXPECT_EQ(choice.kind, TargetKind::Object);
    EXPECT_EQ(choice.serial, kItem);
    EXPECT_EQ(choice.graphic, test::kPlainGraphic);
    EXPECT_EQ(choice.z, 4);
    EXPECT_FALSE(choice.isMobile);
    choice = targetChoiceOf(*player());
    EXPECT_TRUE(choice.isPlayer);
    EXPECT_TRUE(choice.isMobile);
}

// The object list cut short at every byte (the fixed packets are framed
// whole) is refused whole: no targeting, no answer, no preview.
struct CutCase {
    const char* name;
    std::vector<uint8_t> packet;
};

class TargetPacketsCut : public TargetCursor, public testing::WithParamInterface<CutCase> { };

TEST_P(TargetPacketsCut, AtEveryByteChangeNothing)
{
    const std::vector<uint8_t>& whole = GetParam().packet;
    for (size_t cut = 3; cut < whole.size(); ++cut) {
        std::vector<uint8_t> shortened(whole.begin(), whole.begin() + cut);
        shortened[1] = uint8_t(cut >> 8);
        shortened[2] = uint8_t(cut);
        dispatch(shortened);
        EXPECT_FALSE(targetingState().targetingActive) << "cut at " << cut;
        EXPECT_FALSE(preview.hasDesign()) << "cut at " << cut;
        EXPECT_TRUE(sent().empty()) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Packets, TargetPacketsCut,
    testing::Values(CutCase { "ObjectList",
                        ServerPacket(0xB4).u8(1).u32(kCursor).u16(1).u16(2).u16(3).u16(2).u16(0x80).u16(0).u16(1).u16(2)
                            .u16(3).u16(0x81).u16(0).u16(1).u16(2).u16(3).bytes() },
        CutCase { "ObjectListHugeCount",
            ServerPacket(0xB4).u8(1).u32(kCursor).u16(1).u16(2).u16(3).u16(0xFFFF).u16(0x80).u16(0).u16(1).u16(2).u16(3)
                .bytes() }),
    [](const testing::TestParamInfo<CutCase>& cut) { return cut.param.name; });

} // namespace
