// The renderer's tables read through the file manager and the data-file table.
#include "gfx/art_cache.h"
#include "gfx/colour_tables.h"
#include "gfx/hue_table.h"
#include "world/anim_data.h"
#include "world/body_tables.h"
#include "world/tile_data.h"

#include "data/data_files.h"
#include "fixtures/art_writer.h"
#include "fixtures/body_table_writer.h"
#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/hue_writer.h"
#include "fixtures/tile_data_writer.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TileDataItem numberedItem(int32_t id)
{
    TileDataItem item;
    item.flags = uint32_t(id);
    item.name = fixture::tileName("item");
    return item;
}

class RenderDataFiles : public testing::Test {
protected:
    fixture::ClientDirectory client;
};

TEST_F(RenderDataFiles, TablesLoadFromTheClientDirectory)
{
    client.write("HUES.MUL", fixture::asString(fixture::hueFile(3000, [](int32_t i) {
        fixture::HueRamp made;
        made.colours.fill(uint16_t(i + 2));
        return made;
    })));
    client.write("animdata.mul", fixture::asString(fixture::animDataFile(AnimDataTable::kRecordCount, [](int32_t i) {
        fixture::AnimDataEntry made;
        made.interval = uint8_t(i % 7);
        return made;
    })));
    client.write("mobtypes.txt", fixture::mobTypesText({ { 77, "SEA_MONSTER", 0x8 } }));
    client.write("bodyconv.def", fixture::bodyConvText({ { 78, { 1, 2, 3, 4 } } }));
    client.write("equipconv.def", fixture::equipConvText({ { 79, 100, 200, 300, 0xABC } }));
    client.write("palette.mul", std::string(768, '\x07'));

    EXPECT_TRUE(loadHues());
    EXPECT_EQ(hueTable().entry(2999).colours[31], 3001);
    EXPECT_TRUE(loadAnimData());
    EXPECT_EQ(animDataTable().record(16383).interval, 16383 % 7);
    EXPECT_TRUE(loadBodyTypes());
    EXPECT_EQ(bodyTypes().getBodyType(77), BodyType::SeaMonster);
    EXPECT_TRUE(loadBodyConversions());
    EXPECT_EQ(bodyConversions().alternative(78, 4), 4);
    EXPECT_TRUE(loadEquipConv()) << "found whatever the case of its name";
    EXPECT_EQ(equipConv().getGump(79, 100), 300);
    auto palette = loadPalette();
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->triples[100], 7);
}

TEST_F(RenderDataFiles, MissingFilesKeepTheDefaults)
{
    EXPECT_FALSE(loadTileData());
    EXPECT_FALSE(loadBodyTypes());
    EXPECT_FALSE(loadBodyConversions());
    EXPECT_FALSE(loadEquipConv());
    EXPECT_EQ(equipConv().find(79, 100), nullptr);
    EXPECT_FALSE(loadPalette());
}

TEST_F(RenderDataFiles, ServerTileDataEditsReachTheFile)
{
    client.write("tiledata.mul", fixture::asString(fixture::tileDataFile(16384 / 32, [](int32_t) { return TileDataLand {}; }, numberedItem)));
    ASSERT_TRUE(loadTileData());
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[i] = numberedItem(90000 + i);
    ItemGroupChange change;
    bool written = false;
    ASSERT_TRUE(writeTileDataItemGroup(513, group, change, &written));
    EXPECT_TRUE(written);
    EXPECT_EQ(change.refreshGraphics.size(), 32u);
    EXPECT_EQ(tileData().item(33).flags, 90001u);

    std::string before = client.read("tiledata.mul");
    EXPECT_FALSE(writeTileDataItemGroup(1024, group, change, &written));
    EXPECT_FALSE(written);
    EXPECT_EQ(client.read("tiledata.mul"), before) << "a refused group touches nothing";

    auto reread = std::make_unique<TileData>();
    reread->load(std::vector<uint8_t>(before.begin(), before.end()));
    EXPECT_EQ(reread->item(33).flags, 90001u);
    EXPECT_EQ(reread->item(64).flags, 64u);

    TileDataLandGroup land;
    land.records[0].textureId = 5;
    EXPECT_EQ(writeTileDataLandGroup(3, land, &written).size(), 1u);
    EXPECT_TRUE(written);
    EXPECT_EQ(tileData().land(96).textureId, 5);

    before = client.read("tiledata.mul");
    for (int32_t refused : { -1, TileData::kLandGroupCount }) {
        EXPECT_TRUE(writeTileDataLandGroup(refused, land, &written).empty()) << refused;
        EXPECT_FALSE(written);
    }
    EXPECT_EQ(client.read("tiledata.mul"), before) << "a refused land group touches nothing";
}

TEST_F(RenderDataFiles, ArtImagesComeFromTheArtFiles)
{
    fixture::writeRequiredDataFiles(client.root(), "client");
    std::vector<fixture::IndexedRecord> records(0x4003);
    std::vector<uint8_t> image = fixture::artRecord(3, { { { 0, { 1, 2, 3 } } } });
    records[0x4001] = { std::string(image.begin(), image.end()), 9 };
    records[0x4002] = { std::string("\x01\x02\x03", 3), 0 };
    records[5] = { std::string(44 * 44 * 2 / 2, 'x'), 0 };
    fixture::writeIndexedPair(client.root(), "client", "artidx.mul", "art.mul", records);
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink sink(boxes);
    DataFiles files;
    DataFiles* previous = installDataFiles(&files);
    files.reset();
    files.load();

    ArtImageCache cache;
    const ArtImage* art = cache.getArtImage(0x4001);
    ASSERT_NE(art, nullptr);
    EXPECT_EQ(getArtPixel(art, 2, 0), 3);
    EXPECT_EQ(cache.getArtImage(0x4001), art) << "decoded once";
    EXPECT_EQ(cache.getArtImage(0x4002), nullptr) << "damaged record";
    EXPECT_EQ(cache.getArtImage(0x4000), nullptr) << "missing record";
    EXPECT_EQ(cache.getArtImage(5), nullptr) << "land entries are not run-length art";
    EXPECT_TRUE(getLandArtRecord(5));
    auto item = getItemArtRecord(1);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->extra, 9u);
    EXPECT_FALSE(getItemArtRecord(-1));
    EXPECT_FALSE(getItemArtRecord(INT32_MAX));
    EXPECT_FALSE(getGumpArtRecord(0));
    EXPECT_FALSE(getAnimationFrameRecord(0, 0));

    installDataFiles(previous);
}

} // namespace
