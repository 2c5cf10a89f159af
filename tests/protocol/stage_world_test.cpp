// The test game server's stage, packet by packet: what a character entering
// it is sent, and the answers to walking, speech, double-clicks and moving
// items, with the stage's memory of where things went. The end-to-end test
// and ./run.sh rely on these answers being what a game server gives.

#include "fixtures/facet_writer.h"
#include "fixtures/sample_scene.h"
#include "support/stage_world.h"
#include "world/mobile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

namespace {

using test::StageWorld;
using test::WirePacket;

constexpr int32_t kStageCentreX = fixture::kSampleCentreX;
constexpr int32_t kStageCentreY = fixture::kSampleCentreY;
constexpr uint32_t kPlayer = fixture::kScenePlayerSerial;
constexpr uint32_t kBackpack = fixture::kSceneBackpackSerial;
constexpr uint32_t kCoin = fixture::kSceneCoinSerial;
constexpr uint32_t kBigStack = 0x40000203;
constexpr uint32_t kWomansShirt = 0x40000301;
constexpr uint32_t kGround = 0xFFFFFFFF;

uint16_t be16(const WirePacket& packet, size_t at) { return uint16_t(packet.at(at) << 8 | packet.at(at + 1)); }
uint32_t be32(const WirePacket& packet, size_t at) { return uint32_t(be16(packet, at)) << 16 | be16(packet, at + 2); }

std::vector<uint8_t> ids(const std::vector<WirePacket>& packets)
{
    std::vector<uint8_t> out;
    for (const WirePacket& packet : packets)
        out.push_back(packet.at(0));
    return out;
}

// The ids of the stage's own answer to a step, without the stamina updates
// the status windows' part sends with every step.
std::vector<uint8_t> stepIds(const std::vector<WirePacket>& packets)
{
    std::vector<uint8_t> out = ids(packets);
    out.erase(std::remove(out.begin(), out.end(), uint8_t(0xA3)), out.end());
    return out;
}

void put32(WirePacket& packet, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        packet.push_back(uint8_t(value >> shift));
}
void put16(WirePacket& packet, uint16_t value)
{
    packet.push_back(uint8_t(value >> 8));
    packet.push_back(uint8_t(value));
}

WirePacket walkRequest(uint8_t direction, uint8_t sequence) { return { 0x02, direction, sequence, 0, 0, 0, 0 }; }
WirePacket serialRequest(uint8_t id, uint32_t serial)
{
    WirePacket packet { id };
    put32(packet, serial);
    return packet;
}
WirePacket liftRequest(uint32_t serial, uint16_t amount)
{
    WirePacket packet = serialRequest(0x07, serial);
    put16(packet, amount);
    return packet;
}
WirePacket dropRequest(uint32_t serial, int32_t x, int32_t y, uint32_t container)
{
    WirePacket packet = serialRequest(0x08, serial);
    put16(packet, uint16_t(x));
    put16(packet, uint16_t(y));
    packet.push_back(0);
    put32(packet, container);
    return packet;
}
// A variable packet from its id and body, its length word filled in.
WirePacket variable(uint8_t id, const std::vector<uint8_t>& body)
{
    WirePacket packet { id };
    put16(packet, uint16_t(body.size() + 3));
    packet.insert(packet.end(), body.begin(), body.end());
    return packet;
}

// The sample scene alone: the windows' parts of the stage are met by their own scenarios.
class Stage : public ::testing::Test {
protected:
    Stage() { entry = stage.enter("Brenna"); }

    StageWorld stage { std::vector<std::unique_ptr<test::StagePart>>() };
    std::vector<WirePacket> entry;
};

TEST_F(Stage, EnteringShowsTheSceneWithLightTimeMusicAndASound)
{
    // The player, the woman, the horse and the vendor, the two ground items,
    // then the light, the time, the music and the sound; the stage's parts
    // add theirs after.
    const std::vector<uint8_t> entered = ids(entry);
    ASSERT_GE(entered.size(), 10u);
    EXPECT_EQ(std::vector<uint8_t>(entered.begin(), entered.begin() + 10),
        (std::vector<uint8_t> { 0x78, 0x78, 0x78, 0x78, 0x1A, 0x1A, 0x4F, 0x5B, 0x6D, 0x54 }));
    const WirePacket& self = entry[0];
    EXPECT_EQ(be32(self, 3), kPlayer);
    EXPECT_EQ(be16(self, 9), kStageCentreX);
    EXPECT_EQ(be16(self, 11), kStageCentreY);
    // Four garments and the backpack follow the mobile's 19 bytes, then a 0.
    EXPECT_EQ(self.size(), 19u + 5 * 7 + 4);
    EXPECT_EQ(be32(self, 19 + 4 * 7), kBackpack);
    EXPECT_EQ(self[19 + 4 * 7 + 6], Mobile::kBackpackLayer);
    // Ground items can be picked up.
    EXPECT_TRUE(be16(entry[4], 13) & 0x4000);
    EXPECT_EQ(entry[4].back(), fixture::kSceneMovableFlag);
    EXPECT_EQ(be16(entry[8], 1), StageWorld::kMusic);
}

TEST_F(Stage, AStepInANewDirectionTurnsThenStepsUntilTheEdgeRefusesAndPutsThePlayerBack)
{
    constexpr uint8_t kEast = 2;
    std::vector<WirePacket> answer = stage.answer(walkRequest(kEast, 1));
    answer.erase(answer.begin(), answer.end() - 1);
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0x22 });
    EXPECT_EQ(answer[0][1], 1);
    EXPECT_EQ(stage.playerPosition().x, kStageCentreX);
    uint8_t sequence = 2;
    for (int32_t i = 0; i < StageWorld::kReach; ++i)
        ASSERT_EQ(stepIds(stage.answer(walkRequest(kEast | 0x80, sequence++))), std::vector<uint8_t> { 0x22 });
    EXPECT_EQ(stage.playerPosition().x, kStageCentreX + StageWorld::kReach);
    answer = stage.answer(walkRequest(kEast, sequence));
    answer.erase(answer.begin(), answer.end() - 1);
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0x21 });
    EXPECT_EQ(answer[0][1], sequence);
    EXPECT_EQ(be16(answer[0], 2), kStageCentreX + StageWorld::kReach);
    EXPECT_EQ(be16(answer[0], 4), kStageCentreY);
    EXPECT_EQ(answer[0][6], kEast);
    const test::StageCounts counts = stage.counts();
    EXPECT_EQ(counts.turns, 1u);
    EXPECT_EQ(counts.stepsTaken, uint32_t(StageWorld::kReach));
    EXPECT_EQ(counts.stepsRefused, 1u);
    // A short request is left unanswered.
    EXPECT_TRUE(stage.answer({ 0x02, kEast }).empty());
}

struct SpeechCase {
    const char* name;
    WirePacket request;
    std::u16string text;
};

class SpokenText : public ::testing::TestWithParam<SpeechCase> { };

TEST_P(SpokenText, IsReadFromEachFormOfSpeech)
{
    EXPECT_EQ(test::spokenText(GetParam().request), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Forms, SpokenText,
    ::testing::Values(
        SpeechCase { "Narrow", variable(0x03, { 0, 0x03, 0xB2, 0, 3, 'h', 'i', 0 }), u"hi" },
        SpeechCase { "Wide", variable(0xAD, { 0, 0x03, 0xB2, 0, 3, 'E', 'N', 'U', 0, 0, 'h', 0, 'i', 0, 0 }), u"hi" },
        // Two keywords (0x010, 0x020) packed after the count, then UTF-8.
        SpeechCase { "Keywords",
            variable(0xAD, { 0xC0, 0x03, 0xB2, 0, 3, 'E', 'N', 'U', 0, 0x00, 0x20, 0x10, 0x02, 0x00, 'b', 'u', 'y',
                               0xC3, 0xA9, 0 }),
            u"buy\u00E9" },
        SpeechCase { "CutWide", variable(0xAD, { 0, 0x03, 0xB2, 0, 3, 'E', 'N', 'U', 0, 0, 'h', 0 }), u"h" },
        SpeechCase { "CutUtf8", variable(0xAD, { 0xC0, 0x03, 0xB2, 0, 3, 'E', 'N', 'U', 0, 0x00, 0x00, 'o', 0xE2 }),
            u"o" },
        SpeechCase { "NotSpeech", serialRequest(0x06, kPlayer), u"" }),
    [](const ::testing::TestParamInfo<SpeechCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(Stage, SpeechIsSaidBackByThePlayerInItsOwnHueAndFont)
{
    const std::vector<WirePacket> answer
        = stage.answer(variable(0xAD, { 2, 0x00, 0x21, 0, 3, 'E', 'N', 'U', 0, 0, 'h', 0, 'o', 0, 0 }));
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0xAE });
    EXPECT_EQ(be32(answer[0], 3), kPlayer);
    EXPECT_EQ(answer[0][9], 2); // an emote stays one
    EXPECT_EQ(be16(answer[0], 10), 0x0021);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&answer[0][18]), 6), std::string("Brenna"));
    EXPECT_EQ(stage.counts().linesHeard, 1u);
}

TEST_F(Stage, DoubleClicksOpenPaperdollsAndContainers)
{
    std::vector<WirePacket> answer = stage.answer(serialRequest(0x06, kPlayer | 0x80000000));
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0x88 });
    EXPECT_EQ(be32(answer[0], 1), kPlayer);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&answer[0][5])), "Brenna, the Wanderer");
    EXPECT_EQ(answer[0][65], 0x02); // the own paperdoll's items can be taken off
    answer = stage.answer(serialRequest(0x06, fixture::kSceneWomanSerial));
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0x88 });
    EXPECT_EQ(answer[0][65], 0);
    EXPECT_TRUE(stage.answer(serialRequest(0x06, fixture::kSceneHorseSerial)).empty());

    answer = stage.answer(serialRequest(0x06, kBackpack));
    ASSERT_EQ(ids(answer), (std::vector<uint8_t> { 0x24, 0x3C }));
    EXPECT_EQ(be16(answer[0], 5), fixture::kSceneContainerGump);
    EXPECT_EQ(be16(answer[1], 3), 7); // three stacks of coins, the pouch, the shirt, the deed and the dye tub
    // The empty pouch opens without a contents list.
    EXPECT_EQ(ids(stage.answer(serialRequest(0x06, fixture::kScenePouchSerial))), std::vector<uint8_t> { 0x24 });
    EXPECT_EQ(stage.counts().paperdollsOpened, 2u);
    EXPECT_EQ(stage.counts().containersOpened, 2u);
}

TEST_F(Stage, ACoinDroppedNearThePlayerLiesOnTheGroundAndLeavesTheBackpack)
{
    EXPECT_TRUE(stage.answer(liftRequest(kCoin, 1)).empty());
    const std::vector<WirePacket> answer = stage.answer(dropRequest(kCoin, kStageCentreX + 1, kStageCentreY + 2, kGround));
    ASSERT_EQ(ids(answer), (std::vector<uint8_t> { 0x1A, 0x54, 0x29 }));
    EXPECT_EQ(be32(answer[0], 3), kCoin | 0x80000000);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(stage.groundCell(kCoin, x, y));
    EXPECT_EQ(x, kStageCentreX + 1);
    EXPECT_EQ(y, kStageCentreY + 2);
    const std::vector<WirePacket> reopened = stage.answer(serialRequest(0x06, kBackpack));
    ASSERT_EQ(reopened.size(), 2u);
    EXPECT_EQ(be16(reopened[1], 3), 6);
    EXPECT_EQ(stage.counts().itemsDropped, 1u);
}

TEST_F(Stage, ADropOutOfReachPutsTheItemBackWhereItWas)
{
    stage.answer(liftRequest(kCoin, 1));
    const std::vector<WirePacket> answer = stage.answer(dropRequest(kCoin, kStageCentreX + 4, kStageCentreY, kGround));
    ASSERT_EQ(ids(answer), (std::vector<uint8_t> { 0x25, 0x28 }));
    EXPECT_EQ(be32(answer[0], 1), kCoin);
    EXPECT_EQ(be32(answer[0], 14), kBackpack);
    int32_t x = 0, y = 0;
    EXPECT_FALSE(stage.groundCell(kCoin, x, y));
    // Nothing is held any more: a second drop is refused.
    EXPECT_EQ(ids(stage.answer(dropRequest(kCoin, kStageCentreX, kStageCentreY, kGround))), std::vector<uint8_t> { 0x28 });
}

TEST_F(Stage, PartOfAStackLeavesTheRestUnderANewSerial)
{
    const std::vector<WirePacket> answer = stage.answer(liftRequest(kBigStack, 50));
    ASSERT_EQ(ids(answer), std::vector<uint8_t> { 0x25 });
    EXPECT_NE(be32(answer[0], 1), kBigStack);
    EXPECT_EQ(be16(answer[0], 8), 200);
    // Dropped on the player, the lifted part goes into the backpack.
    const std::vector<WirePacket> dropped = stage.answer(dropRequest(kBigStack, 0, 0, kPlayer));
    ASSERT_EQ(ids(dropped), (std::vector<uint8_t> { 0x25, 0x29 }));
    EXPECT_EQ(be16(dropped[0], 8), 50);
    EXPECT_EQ(be16(stage.answer(serialRequest(0x06, kBackpack))[1], 3), 8);
}

WirePacket wearRequest(uint32_t serial, uint8_t layer, uint32_t wearer)
{
    WirePacket packet = serialRequest(0x13, serial);
    packet.push_back(layer);
    put32(packet, wearer);
    return packet;
}

TEST_F(Stage, AnItemIsWornOnlyOnAFreeLayerOfThePlayer)
{
    constexpr uint32_t kSpareShirt = 0x40000205;
    constexpr uint8_t kShirtLayer = 5; // the player's own shirt is there
    constexpr uint8_t kCloakLayer = 20;
    stage.answer(liftRequest(kSpareShirt, 1));
    EXPECT_EQ(ids(stage.answer(wearRequest(kSpareShirt, kShirtLayer, kPlayer))), (std::vector<uint8_t> { 0x25, 0x28 }));
    stage.answer(liftRequest(kSpareShirt, 1));
    EXPECT_EQ(ids(stage.answer(wearRequest(kSpareShirt, kCloakLayer, fixture::kSceneWomanSerial))),
        (std::vector<uint8_t> { 0x25, 0x28 }));
    stage.answer(liftRequest(kSpareShirt, 1));
    const std::vector<WirePacket> worn = stage.answer(wearRequest(kSpareShirt, kCloakLayer, kPlayer));
    ASSERT_EQ(ids(worn), (std::vector<uint8_t> { 0x2E, 0x29 }));
    EXPECT_EQ(worn[0][8], kCloakLayer);
    EXPECT_EQ(be32(worn[0], 9), kPlayer);
    // Worn, it is no longer in the backpack.
    EXPECT_EQ(be16(stage.answer(serialRequest(0x06, kBackpack))[1], 3), 6);
}

TEST_F(Stage, ADropOntoAContainedItemLandsBesideItInItsContainer)
{
    stage.answer(liftRequest(0x40000401, 40)); // the coins on the ground by the player
    const std::vector<WirePacket> answer = stage.answer(dropRequest(0x40000401, 0, 0, kCoin));
    ASSERT_EQ(ids(answer), (std::vector<uint8_t> { 0x25, 0x29 }));
    EXPECT_EQ(be16(answer[0], 10), 60); // the coin's place in the backpack
    EXPECT_EQ(be16(answer[0], 12), 80);
    EXPECT_EQ(be32(answer[0], 14), kBackpack);
}

TEST_F(Stage, WhatCannotBeLiftedIsRefused)
{
    for (uint32_t serial : { kWomansShirt, kBackpack, 0x40009999u }) {
        SCOPED_TRACE(serial);
        EXPECT_EQ(ids(stage.answer(liftRequest(serial, 1))), std::vector<uint8_t> { 0x27 });
    }
    // Only one item is held at a time.
    EXPECT_TRUE(stage.answer(liftRequest(kCoin, 1)).empty());
    EXPECT_EQ(ids(stage.answer(liftRequest(0x40000202, 1))), std::vector<uint8_t> { 0x27 });
    EXPECT_EQ(stage.counts().liftsRefused, 4u);
}

TEST_F(Stage, EnteringAgainStartsTheStageAfresh)
{
    stage.answer(walkRequest(4, 1));
    stage.answer(walkRequest(4, 2));
    stage.answer(liftRequest(kCoin, 1));
    stage.answer(dropRequest(kCoin, kStageCentreX, kStageCentreY + 1, kGround));
    stage.enter("Aldric");
    EXPECT_EQ(stage.playerPosition().y, kStageCentreY);
    int32_t x = 0, y = 0;
    EXPECT_FALSE(stage.groundCell(kCoin, x, y));
    EXPECT_TRUE(stage.answer(liftRequest(kCoin, 1)).empty());
}

} // namespace
