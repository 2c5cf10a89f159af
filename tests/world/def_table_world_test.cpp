#include "data/data_files.h"
#include "data/def_tables.h"
#include "fixtures/art_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "gfx/art_cache.h"
#include "gfx/art_image.h"
#include "platform/message_box.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/tile_data.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// An art file with land entry 5, a good static 0x4001 and a damaged static
// 0x4002, mapped for the test.
class ArtFromDataFiles : public ::testing::Test {
protected:
    ArtFromDataFiles()
    {
        fixture::writeRequiredDataFiles(client.root(), "client");
        std::vector<fixture::IndexedRecord> records(0x4003);
        records[5] = { std::string(44 * 44, 'x'), 0 };
        std::vector<uint8_t> image = fixture::artRecord(3, { { { 0, { 1, 2, 3 } } } });
        records[0x4001] = { std::string(image.begin(), image.end()), 0 };
        records[0x4002] = { std::string("\x01\x02\x03", 3), 0 };
        fixture::writeIndexedPair(client.root(), "client", "artidx.mul", "art.mul", records);
        previous = installDataFiles(&files);
        files.reset();
        files.load();
        artImageCache().clear();
    }
    ~ArtFromDataFiles() override
    {
        artImageCache().clear();
        installDataFiles(previous);
    }

    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink { boxes };
    DataFiles files;
    DataFiles* previous = nullptr;
};

TEST_F(ArtFromDataFiles, LandAndStaticArtCountOnlyWhenTheyCanBeDrawn)
{
    DataDefTableWorld world;
    EXPECT_TRUE(world.hasArtImage(5));
    EXPECT_FALSE(world.hasArtImage(6));
    EXPECT_TRUE(world.hasArtImage(0x4001));
    EXPECT_FALSE(world.hasArtImage(0x4002)) << "a damaged record cannot be drawn";
    EXPECT_FALSE(world.hasArtImage(0x4003));
}

TEST_F(ArtFromDataFiles, ArtOrDefaultMasksTheIdAndFallsBackToArtZero)
{
    EXPECT_EQ(getArtOrDefault(0x4001), getArtImage(0x4001));
    EXPECT_EQ(getArtOrDefault(0x8000 | 0x4001), getArtImage(0x4001)) << "the top bit is not part of the id";
    // Art 0 is a land entry, which is no run-length image.
    EXPECT_EQ(getArtOrDefault(0x4003), nullptr);

}

TEST(DataDefTableWorld, ClearingPartialHueChangesOnlyThatItemInMemory)
{
    TileDataItemGroup group;
    group.records[1].flags = kTilePartialHue | kTileStackable;
    group.records[1].weight = 7;
    group.records[2].flags = kTilePartialHue;
    ItemGroupChange change;
    ASSERT_TRUE(tileData().applyItemGroup(TileData::kFirstItemGroup + 1, group, change));

    DataDefTableWorld world;
    EXPECT_TRUE(world.itemHasPartialHue(33));
    world.clearItemPartialHue(33);
    EXPECT_FALSE(world.itemHasPartialHue(33));
    EXPECT_EQ(tileData().item(33).flags, uint32_t(kTileStackable));
    EXPECT_EQ(tileData().item(33).weight, 7);
    EXPECT_TRUE(world.itemHasPartialHue(34));
    world.clearItemPartialHue(uint16_t(TileData::kItemCount)); // past the table: nothing

    ASSERT_TRUE(tileData().applyItemGroup(TileData::kFirstItemGroup + 1, TileDataItemGroup {}, change));
}

TEST(DataDefTableWorld, BodyConversionAndTheFrontEndsAnimationSetRule)
{
    bodyConversions().load("400 -1 401 -1 -1\n");
    DataDefTableWorld world;
    EXPECT_EQ(world.bodyConversion(400, 2), 401);
    EXPECT_EQ(world.bodyConversion(400, 1), -1);
    EXPECT_FALSE(world.isAnimSetEnabled(2)) << "no set counts before the front end says";
    world.setAnimSetRule([](int set) { return set == 2; });
    EXPECT_TRUE(world.isAnimSetEnabled(2));
    EXPECT_FALSE(world.isAnimSetEnabled(1));

    // A body the enabled set converts is never remapped by body.def.
    BodyDefTable bodies(world);
    bodies.add(400, DefEntry { { 9 }, 0 });
    bodies.load("");
    EXPECT_EQ(bodies.translate(400, 0), 400);
    world.setAnimSetRule(nullptr);
    EXPECT_EQ(bodies.translate(400, 0), 9);
    bodyConversions() = BodyConversionTable();
}

} // namespace
