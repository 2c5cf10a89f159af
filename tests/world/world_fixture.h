#pragma once
// A small world for the object tests: tile records for a handful of graphics,
// the player standing at (1000, 1000) as the view centre, a fake clock, and a
// packet sink that records what the world sends. Every test starts from an
// empty world and must leave no object alive behind it.

#include "fixtures/tile_data_writer.h"
#include "net/packet_table.h"
#include "platform/clock.h"
#include "world/cell_grid.h"
#include "world/container_item.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/seasons.h"
#include "world/tile_data.h"
#include "world/update_range.h"
#include "world/world_invariants.h"
#include "world/world_screen.h"
#include "world/world_services.h"
#include "world/world_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace test {

using Bytes = std::vector<uint8_t>;

// Graphics with tile records written by WorldTest.
inline constexpr uint16_t kPlainGraphic = 0x1517;
inline constexpr uint16_t kCoinGraphic = 3821;
inline constexpr uint16_t kStackGraphic = 0x0F7A;
inline constexpr uint16_t kBackpackGraphic = 0x0E75;
inline constexpr uint16_t kPouchGraphic = 0x0E79;
inline constexpr uint16_t kMapGraphic = 0x14EB;
inline constexpr uint16_t kSpellbookGraphic = 0x0EFA;
inline constexpr uint16_t kWallGraphic = 0x0080;
inline constexpr uint16_t kBackgroundGraphic = 0x0082;
inline constexpr uint16_t kFlatGraphic = 0x0083;
inline constexpr uint16_t kTreeGraphic = 0x0CCA;
inline constexpr uint16_t kLeafGraphic = 0x0CCB;
inline constexpr uint16_t kHeavyGraphic = 0x0F00;
inline constexpr uint16_t kLampGraphic = 0x0A22;

inline constexpr uint16_t kHumanBody = 400;
inline constexpr uint16_t kAnimalBody = 200;

inline constexpr uint32_t kPlayerSerial = 0x00000AA1;
inline constexpr int32_t kCentreX = 1000;
inline constexpr int32_t kCentreY = 1000;

// Writes item tile record `id` into the process's tile data.
inline void setItemTile(int32_t id, uint32_t flags, uint8_t height = 0, uint8_t weight = 0, std::string_view name = "")
{
    int32_t group = TileData::kFirstItemGroup + id / 32;
    TileDataItemGroup data;
    for (int32_t i = 0; i < 32; ++i)
        data.records[size_t(i)] = tileData().item((id / 32) * 32 + i);
    TileDataItem& record = data.records[size_t(id % 32)];
    record = TileDataItem {};
    record.flags = flags;
    record.height = height;
    record.weight = weight;
    record.name = fixture::tileName(name);
    ItemGroupChange change;
    tileData().applyItemGroup(group, data, change);
}

class RecordingPacketSink final : public WorldPacketSink {
public:
    bool send(const PacketBuffer& packet) override
    {
        packets.emplace_back(packet.data(), packet.data() + packet.length());
        return true;
    }
    bool isConnected() override { return connected; }
    std::vector<Bytes> packets;
    bool connected = true;
};

class WorldTest : public testing::Test {
protected:
    void SetUp() override
    {
        setItemTile(kPlainGraphic, 0, 1, 2, "shirt");
        setItemTile(kCoinGraphic, kTileStackable | 0x4000, 0, 0, "Gold Coin%s%");
        setItemTile(kStackGraphic, kTileStackable, 1, 1, "arrow%s%");
        setItemTile(kBackpackGraphic, kTileContainer, 3, 3, "backpack");
        setItemTile(kPouchGraphic, kTileContainer, 2, 1, "pouch");
        setItemTile(kMapGraphic, kTileMapItem, 0, 1, "map");
        setItemTile(kSpellbookGraphic, kTileContainer, 2, 3, "spellbook");
        setItemTile(kWallGraphic, kTileImpassable | kTileWall, 20, 255, "wall");
        setItemTile(kBackgroundGraphic, kTileBackground, 0, 255, "floor");
        setItemTile(kFlatGraphic, 0, 0, 255, "rug");
        setItemTile(kTreeGraphic, kTileFoliage, 20, 255, "tree");
        setItemTile(kLeafGraphic, 0x4000, 0, 1, "lea%ves/f%");
        setItemTile(kHeavyGraphic, 0, 5, 200, "anvil");
        setItemTile(kLampGraphic, kTileLightSource, 5, 5, "lamp");
        setSeason(0);
        // A wall-clock time well past zero, as the real clock gives.
        clock.setSystemMs(50000000);
        resetWorld();
        createPlayerObject();
        player()->serial = kPlayerSerial;
        player()->graphic = kHumanBody;
        setPlayerSerial(kPlayerSerial);
        player()->enterWorldAt(kCentreX, kCentreY, 0);
    }

    void TearDown() override
    {
        EXPECT_EQ(checkWorldInvariants(), "");
        resetWorld();
        EXPECT_EQ(LiveObject<WorldObjectTree>::registry().size(), 0u) << "objects outlived the world";
        EXPECT_EQ(itemPool().inUse(), 0u);
        EXPECT_EQ(staticPool().inUse(), 0u);
    }

    static void resetWorld()
    {
        initWorldObjects();
        worldCellGrid().clear();
        mapView() = MapView {};
        mapView().centreX = kCentreX;
        mapView().centreY = kCentreY;
        worldScreen() = WorldScreen {};
        worldObjectSettings() = WorldSettings {};
        updateRangeState() = UpdateRangeState {};
        lastUsedObject() = LastUsedObject {};
        setShiftKeyHeld(false);
    }

    // An object order for a new plain item at (x, y).
    static Item* dropItem(uint32_t serial, int32_t x, int32_t y, uint16_t graphic = kPlainGraphic, uint16_t amount = 1)
    {
        onObjectPacket(serial, graphic, 0, amount, x, y, 0, 0, 0, 0);
        return findItemBySerial(serial);
    }

    static Mobile* addMobile(uint32_t serial, int32_t x, int32_t y, uint16_t body = kHumanBody)
    {
        onObjectPacket(serial, body, 0, 1, x, y, 0, 0, 0, 0);
        Item* found = findItemBySerial(serial);
        return found && found->isMobile() ? static_cast<Mobile*>(found) : nullptr;
    }

    platform::FakeClock clock { 1000 };
    platform::ScopedClock clockGuard { clock };
    RecordingPacketSink sink;
    ScopedWorldService<WorldPacketSink> sinkGuard { sink };
};

} // namespace test
