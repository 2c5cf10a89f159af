// The party's share of the test server's stage, packet by packet: the
// invitation a spoken "party" brings and its decline, and a party the player
// leads: the add request's target cursor, the woman targeted, the list with
// the player first, and the party over when she is removed.

#include "fixtures/sample_scene.h"
#include "fixtures/server_packet.h"
#include "support/stage_party.h"
#include "support/stage_world.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using fixture::ServerPacket;
using test::StageWorld;
using test::WirePacket;

constexpr uint32_t kPartyStagePlayer = fixture::kScenePlayerSerial;
constexpr uint32_t kPartyStageWoman = fixture::kSceneWomanSerial;

std::vector<std::unique_ptr<test::StagePart>> partyOnly()
{
    std::vector<std::unique_ptr<test::StagePart>> parts;
    parts.push_back(test::makeStageParty());
    return parts;
}

WirePacket partyRequest(uint8_t action, uint32_t serial)
{
    return ServerPacket(0xBF).u16(6).u8(action).u32(serial).bytes();
}

// The party messages among the answer: their action and the first serial.
std::vector<std::pair<uint8_t, uint32_t>> partyMessages(const std::vector<WirePacket>& packets)
{
    std::vector<std::pair<uint8_t, uint32_t>> out;
    for (const WirePacket& packet : packets) {
        if (packet.at(0) != 0xBF || packet.at(4) != 6)
            continue;
        const size_t at = packet.at(5) == 1 || packet.at(5) == 2 ? 7 : 6;
        out.push_back({ packet.at(5),
            uint32_t(packet.at(at)) << 24 | uint32_t(packet.at(at + 1)) << 16 | uint32_t(packet.at(at + 2)) << 8
                | packet.at(at + 3) });
    }
    return out;
}

using Messages = std::vector<std::pair<uint8_t, uint32_t>>;

TEST(StageParty, SpeakingOfAPartyBringsAnInvitationThatCanBeDeclined)
{
    StageWorld stage(partyOnly());
    stage.enter("Brenna");
    EXPECT_EQ(partyMessages(stage.answer(ServerPacket(0x03).u8(0).u16(0x3B2).u16(3).text("a party?", 9).bytes())),
        (Messages { { 7, kPartyStageWoman } }));
    EXPECT_EQ(partyMessages(stage.answer(partyRequest(9, kPartyStageWoman))), Messages {});
    EXPECT_EQ(partyMessages(stage.answer(partyRequest(8, kPartyStageWoman))), Messages {})
        << "the invitation was declined";
    ASSERT_EQ(test::stagePartyRequests().size(), 2u);
    EXPECT_EQ(test::stagePartyRequests()[0].action, 9);
}

TEST(StageParty, ThePlayerAddsTheWomanToHisPartyAndRemovesHer)
{
    StageWorld stage(partyOnly());
    stage.enter("Brenna");
    std::vector<WirePacket> cursor = stage.answer(partyRequest(1, 0));
    ASSERT_FALSE(cursor.empty());
    ASSERT_EQ(cursor[0].at(0), 0x6C);
    WirePacket target = ServerPacket(0x6C, ServerPacket::Length::Fixed)
                            .u8(0)
                            .u32(test::kStagePartyCursor)
                            .u8(0)
                            .u32(kPartyStageWoman)
                            .fill(8, 0)
                            .bytes();
    EXPECT_EQ(partyMessages(stage.answer(target)),
        (Messages { { 1, kPartyStagePlayer }, { 4, kPartyStageWoman } }));
    EXPECT_TRUE(stage.answer(target).empty()) << "one answer per cursor";
    EXPECT_EQ(partyMessages(stage.answer(partyRequest(2, kPartyStageWoman))), (Messages { { 2, kPartyStagePlayer } }));
}

} // namespace
