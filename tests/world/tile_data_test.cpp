#include "world/tile_data.h"

#include "fixtures/byte_writer.h"
#include "fixtures/tile_data_writer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TileDataLand landFor(int32_t id)
{
    TileDataLand land;
    land.flags = uint32_t(id) * 3;
    land.textureId = uint16_t(id + 1);
    land.name = fixture::tileName(id == 5 ? "grass" : "");
    return land;
}

TileDataItem itemFor(int32_t id)
{
    TileDataItem item;
    item.flags = id == 40 ? uint32_t(kTileLightSource) : uint32_t(id);
    item.weight = uint8_t(id);
    item.quality = uint8_t(id >> 8);
    item.extra6 = 0x01020304u + uint32_t(id);
    item.animationId = uint16_t(id * 2);
    item.extra12 = uint16_t(id * 3);
    item.tileExtra = uint16_t(id * 5);
    item.height = uint8_t(id % 100);
    item.name = fixture::tileName(id == 7 ? "a name of twenty ch." : "lamp");
    return item;
}

class TileDataTest : public testing::Test {
protected:
    void SetUp() override
    {
        bytes = fixture::tileDataFile(3, landFor, itemFor);
        table = std::make_unique<TileData>();
    }
    std::vector<uint8_t> bytes;
    std::unique_ptr<TileData> table;
};

TEST_F(TileDataTest, ReadsEveryFieldInItsPlace)
{
    ASSERT_EQ(bytes.size(), 428032u + 3 * 1188u);
    EXPECT_FALSE(table->load(bytes)) << "fewer item groups than the table holds";
    EXPECT_EQ(table->land(16383).textureId, 16384 & 0xFFFF);
    EXPECT_EQ(table->land(100).flags, 300u);
    EXPECT_EQ(tileNameText(table->land(5).name), "grass");
    const TileDataItem& item = table->item(95);
    EXPECT_EQ(item.flags, 95u);
    EXPECT_EQ(item.weight, 95);
    EXPECT_EQ(item.extra6, 0x01020304u + 95);
    EXPECT_EQ(item.animationId, 190);
    EXPECT_EQ(item.extra12, 285);
    EXPECT_EQ(item.tileExtra, 475);
    EXPECT_EQ(item.height, 95);
    EXPECT_EQ(tileNameText(table->item(7).name), "a name of twenty ch.") << "twenty characters, no terminator";
    EXPECT_EQ(table->item(96).flags, 0u) << "beyond the groups in the file";
    EXPECT_EQ(table->item(-1).flags, 0u);
    EXPECT_EQ(table->item(16384).flags, 0u);
}

TEST_F(TileDataTest, MissingOrShortFileLeavesZeros)
{
    EXPECT_FALSE(table->load({}));
    EXPECT_EQ(table->land(5).textureId, 0);
    std::vector<uint8_t> shortFile(bytes.begin(), bytes.begin() + 428031);
    EXPECT_FALSE(table->load(shortFile));
    EXPECT_EQ(table->land(5).textureId, 0);
    EXPECT_EQ(table->item(5).flags, 0u);
    std::vector<uint8_t> partGroup(bytes.begin(), bytes.end() - 1);
    EXPECT_FALSE(table->load(partGroup));
    EXPECT_EQ(table->item(63).flags, 63u);
    EXPECT_EQ(table->item(64).flags, 0u) << "the cut group is refused whole";
}

TEST_F(TileDataTest, LightSourcesByFlagOrGraphic)
{
    table->load(bytes);
    EXPECT_TRUE(table->isLightSourceGraphic(40));
    EXPECT_TRUE(table->isLightSourceGraphic(15874));
    EXPECT_TRUE(table->isLightSourceGraphic(14633));
    EXPECT_FALSE(table->isLightSourceGraphic(15884));
    EXPECT_FALSE(table->isLightSourceGraphic(41));
}

TEST_F(TileDataTest, ItemGroupEditsRefreshAndRebuildOnlyWhenNeeded)
{
    table->load(bytes);
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[i] = itemFor(32 + i);
    ItemGroupChange change;

    group.records[3].name = fixture::tileName("renamed");
    ASSERT_TRUE(table->applyItemGroup(513, group, change));
    EXPECT_FALSE(change.rebuildLists);
    EXPECT_TRUE(change.refreshGraphics.empty()) << "a name alone refreshes nothing";
    EXPECT_EQ(tileNameText(table->item(35).name), "renamed");

    group.records[8].flags = 0; // graphic 40 stops being a light
    group.records[9].extra12 = 1;
    ASSERT_TRUE(table->applyItemGroup(513, group, change));
    EXPECT_TRUE(change.rebuildLists);
    EXPECT_EQ(change.refreshGraphics, (std::vector<int32_t> { 40, 41 }));
    EXPECT_FALSE(table->isLightSourceGraphic(40));
}

TEST_F(TileDataTest, EditsOutsideTheTablesAreRefused)
{
    table->load(bytes);
    TileDataItemGroup items;
    items.records[0].flags = 0xFFFF;
    ItemGroupChange change;
    for (int32_t group : { 511, 1024, 5000, -1 })
        EXPECT_FALSE(table->applyItemGroup(group, items, change)) << group;
    EXPECT_TRUE(table->applyItemGroup(1023, items, change));
    EXPECT_EQ(table->item(16352).flags, 0xFFFFu);
    TileDataLandGroup land;
    land.records[2].textureId = 9;
    EXPECT_TRUE(table->applyLandGroup(512, land).empty());
    EXPECT_TRUE(table->applyLandGroup(-1, land).empty());
    EXPECT_EQ(table->applyLandGroup(0, land).size(), 32u) << "every texture differs from the file's";
    EXPECT_EQ(table->land(2).textureId, 9);
}

TEST_F(TileDataTest, EncodedGroupsReadBackAtTheirOffsets)
{
    EXPECT_EQ(TileData::itemGroupFileOffset(512), 428032);
    EXPECT_EQ(TileData::itemGroupFileOffset(513), 429220);
    EXPECT_EQ(TileData::landGroupFileOffset(3), 3 * 836);

    TileDataItemGroup group;
    group.header = 0x11223344;
    for (int32_t i = 0; i < 32; ++i)
        group.records[i] = itemFor(1000 + i);
    auto encoded = TileData::encodeItemGroup(group);
    ASSERT_EQ(encoded.size(), TileData::kItemGroupBytes);
    std::copy(encoded.begin(), encoded.end(), bytes.begin() + TileData::itemGroupFileOffset(513));
    TileDataLandGroup land;
    land.records[1] = landFor(777);
    auto encodedLand = TileData::encodeLandGroup(land);
    ASSERT_EQ(encodedLand.size(), TileData::kLandGroupBytes);
    std::copy(encodedLand.begin(), encodedLand.end(), bytes.begin() + TileData::landGroupFileOffset(2));

    table->load(bytes);
    EXPECT_EQ(table->item(32 + 5).flags, 1005u);
    EXPECT_EQ(table->item(32 + 5).tileExtra, uint16_t(1005 * 5));
    EXPECT_EQ(tileNameText(table->item(32 + 5).name), "lamp");
    EXPECT_EQ(table->item(64).flags, 64u) << "the next group is untouched";
    EXPECT_EQ(table->land(65).textureId, 778);
}

} // namespace
