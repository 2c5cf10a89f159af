// The shard sessions' world over the real world objects: what a shard switch
// saves from the player, clears, and restores from the session it shows.

#include "data/view_range.h"
#include "net/shard_sessions.h"
#include "protocol/protocol_services.h"
#include "protocol/shard_world_state.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/seasons.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ShardWorld : public testing::Test {
protected:
    ShardWorld()
    {
        initWorldObjects();
        resetUpdateRange();
        createPlayerObject();
    }
    ~ShardWorld() override
    {
        setFacet(0);
        initWorldObjects();
        resetUpdateRange();
        setSeason(0);
    }

    ShardWorldState& world = *worldShardState();
};

TEST_F(ShardWorld, SavesThePlayersPlaceRangeNameSeasonAndFacet)
{
    PlayerMobile& self = *player();
    self.x = 1400;
    self.y = 1650;
    self.z = -5;
    self.direction = 3;
    setFacet(2);
    self.setUpdateRangeByte(12);
    self.nameText = "A name longer than twenty bytes";
    setSeason(3);
    ShardSession session;
    world.saveSessionState(session);
    EXPECT_EQ(session.x, 1400);
    EXPECT_EQ(session.y, 1650);
    EXPECT_EQ(session.z, -5);
    EXPECT_EQ(session.updateRange, 12);
    EXPECT_EQ(session.season, 3);
    EXPECT_EQ(session.facet, 2);
    EXPECT_EQ(session.confirmByte, 3);
    EXPECT_EQ(session.confirmValue, uint32_t(-5));
    EXPECT_EQ(std::string(session.playerName.data(), session.playerName.size()), "A name longer than t");
}

TEST_F(ShardWorld, LeavingKeepsOnlyThePlayerAndForgetsTheDrag)
{
    player()->setUpdateRangeByte(9);
    ASSERT_TRUE(onObjectPacket(0x40000001, 0x1517, 0, 1, 0, 0, 0, 0, 0, 0));
    ASSERT_NE(findItemBySerial(0x40000001), nullptr);
    dragState().dragging = true;
    world.leaveShardWorld();
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(findItemBySerial(0x40000001), nullptr);
    EXPECT_EQ(player()->getUpdateRange(), PlayerMobile::kDefaultUpdateRange);
    EXPECT_FALSE(dragState().dragging);
}

TEST_F(ShardWorld, RestoresTheSerialRangeNameSeasonAndFacetOfTheShardShown)
{
    ShardSession session;
    session.playerSerial = 0x00001234;
    session.updateRange = 9;
    session.season = 2;
    session.facet = 3;
    std::string name = "Aldric";
    std::copy(name.begin(), name.end(), session.playerName.begin());
    world.restoreSessionState(session);
    EXPECT_EQ(playerSerial(), 0x00001234u);
    EXPECT_EQ(player()->serial, 0x00001234u);
    EXPECT_EQ(player()->getUpdateRange(), 9);
    EXPECT_EQ(updateRangeState().desiredUpdateRange, kMaxUpdateRange) << "the player's wish is kept";
    EXPECT_EQ(getSeason(), 2);
    EXPECT_EQ(mapView().currentFacet, 3);
    EXPECT_EQ(player()->nameText, "Aldric");
}

TEST_F(ShardWorld, AShardNotYetConfirmedGivesNoSerial)
{
    setPlayerSerial(0x00001234);
    ShardSession session; // its serial is the unconfirmed 0xFFFFFFFF
    world.restoreSessionState(session);
    EXPECT_EQ(playerSerial(), 0u);
}

TEST_F(ShardWorld, HeldItemIsDropped)
{
    dragState().dragging = true;
    dragState().serial = 0x40000001;
    world.dropHeldItem();
    EXPECT_FALSE(dragState().dragging);
    EXPECT_EQ(dragState().serial, 0u);
}

} // namespace
