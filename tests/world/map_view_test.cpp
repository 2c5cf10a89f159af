// The facet table, the map view's window over sparse facet files, the
// difference overlays, heights and slopes, the wrap of the large facets and
// the underground state.
#include "world_fixture.h"

#include "data/data_files.h"
#include "data/difference_lists.h"
#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/facet_writer.h"
#include "gfx/back_buffer.h"
#include "platform/message_box.h"
#include "world/facets.h"
#include "world/land_tile.h"
#include "world/terrain_blocks.h"
#include "world/visibility.h"

#include <gtest/gtest.h>

#include <nettle/md5.h>

#include <memory>

namespace {

using namespace test;

constexpr int32_t kBlocksHigh = 512;
constexpr int32_t kFacetBlocks = 896 * 512;

int32_t blockOf(int32_t x, int32_t y) { return (x >> 3) * kBlocksHigh + (y >> 3); }

TEST(Facets, TableAndNames)
{
    EXPECT_EQ(getFacetWidth(0), 7168);
    EXPECT_EQ(getFacetWrapWidth(1), 5120);
    EXPECT_EQ(getFacetHeight(4), 1448);
    EXPECT_EQ(facetInfo(2).mapFile, 32);
    EXPECT_EQ(getFacetName(9), "Unknown");
    EXPECT_FALSE(isValidFacet(5));
    EXPECT_EQ(findFacetInText("to Duneholm we go"), 3);
    EXPECT_EQ(findFacetInText("nowhere"), 5);
}

TEST(FacetsDeathTest, AnUnknownFacetIsFatalForTheAccessors)
{
    EXPECT_DEATH(getFacetWidth(7), "Unknown facet 7");
}

class MapViewTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        if (worldCellGrid().drawOrder().empty())
            worldCellGrid().buildDrawOrder();
        fixture::writeRequiredDataFiles(client.root(), "client", { "map0.mul", "staidx0.mul", "statics0.mul" });
        resetTerrainCheck();
    }

    void TearDown() override
    {
        worldCellGrid().clearAll();
        WorldTest::TearDown();
        installDataFiles(nullptr);
        installDifferenceLists(nullptr);
        resetTerrainCheck();
    }

    void load(const fixture::FacetFiles& facet)
    {
        ASSERT_TRUE(fixture::writeFacetFiles(client.path(), facet, kFacetBlocks));
        reload();
    }

    // A table loads once: a new one maps the files as they are now.
    void reload()
    {
        installDataFiles(nullptr);
        files = std::make_unique<DataFiles>();
        installDataFiles(files.get());
        files->reset();
        files->load();
    }

    // A block of `land` at height `z` everywhere.
    static std::string level(uint16_t land, int8_t z)
    {
        return fixture::terrainBlock([&](int32_t, int32_t) { return TerrainCell { land, z }; });
    }

    int32_t countStatics()
    {
        int32_t count = 0;
        for (StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object))
            count += object->isDynamic() ? 0 : 1;
        return count;
    }

    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxGuard { boxes };
    std::unique_ptr<DataFiles> files;
    DifferenceLists differences;
};

TEST_F(MapViewTest, WrappedDistanceAndTheWrapOfTheCentre)
{
    EXPECT_EQ(wrappedDistance(5119, 10, 0, 10), 1);
    EXPECT_EQ(wrappedDistance(5200, 10, 5100, 10), 9999);
    EXPECT_EQ(wrappedDistance(5200, 10, 5210, 30), 20);
    EXPECT_EQ(wrappedDistance(10, 4090, 10, 3), 9);
    player()->leaveWorld();
    StaticObject* marker = allocStatic(kFlatGraphic);
    mapView().centreX = 5119;
    mapView().centreY = 100;
    marker->enterWorldAt(5119, 101, 0);
    moveMapViewCentre(1, 0, 0);
    EXPECT_EQ(mapView().centreX, 0);
    EXPECT_EQ(marker->x, -1) << "shifted with the centre";
    EXPECT_EQ(marker->y, 101);
    mapView().centreX = 5150;
    moveMapViewCentre(1, 0, 0);
    EXPECT_EQ(mapView().centreX, 5151) << "beyond the wrap width nothing wraps";
    marker->destroy();
}

TEST_F(MapViewTest, LoadsStaticsAndLandRoundTheCentreFromSparseFiles)
{
    fixture::FacetFiles facet;
    for (int32_t bx = 120; bx < 130; ++bx) {
        for (int32_t by = 120; by < 130; ++by)
            facet.terrain[bx * kBlocksHigh + by] = level(3, 0);
    }
    // One static per block of the window, an empty statics block, and a
    // graphic beyond the art range that becomes graphic 1.
    for (int32_t bx = 122; bx < 128; ++bx) {
        for (int32_t by = 122; by < 128; ++by)
            facet.statics[bx * kBlocksHigh + by] = { { kFlatGraphic, 1, 2, 0, 0 } };
    }
    facet.statics[122 * kBlocksHigh + 122] = {};
    facet.statics[123 * kBlocksHigh + 122] = { { 0x4123, 0, 0, 0, 0 } };
    load(facet);
    setPlayerPosition(1000, 1000, 0, 0);
    EXPECT_EQ(countStatics(), 35);
    EXPECT_TRUE(hasLandAt(982, 982));
    EXPECT_TRUE(hasLandAt(1018, 1018));
    EXPECT_FALSE(hasLandAt(1019, 1000));
    bool sawGraphicOne = false;
    for (StaticObject* object = worldLists().world.head(); object; object = WorldList::next(object))
        sawGraphicOne |= object->graphic == 1;
    EXPECT_TRUE(sawGraphicOne);
    // One step east: a new column of 37 land cells; the statics window moves
    // only at a block edge.
    moveMapViewCentre(1, 0, 0);
    EXPECT_TRUE(hasLandAt(1019, 1000));
    EXPECT_EQ(countStatics(), 35);
    moveMapViewCentre(7, 0, 0);
    EXPECT_EQ(countStatics(), 30) << "one column of blocks left, the next has no statics";
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MapViewTest, TheDifferenceFilesReplaceBlocks)
{
    fixture::FacetFiles facet;
    facet.terrain[blockOf(1000, 1000)] = level(3, 7);
    load(facet);
    client.write("mapdif0.mul", level(0x71, 9));
    client.write("mapdifl0.mul", fixture::differenceList({ uint32_t(blockOf(1000, 1000)) }));
    reload();
    EXPECT_EQ(getTerrainZ(1000, 1000), 7);
    installDifferenceLists(&differences);
    differences.setLimits(0, 0, 1);
    differences.load();
    EXPECT_EQ(getTerrainZ(1000, 1000), 9);
    EXPECT_EQ(getLandTileId(1001, 1002), 0x71);
}

TEST_F(MapViewTest, MissingAndShortFilesReadAsEmptyLand)
{
    fixture::FacetFiles facet;
    facet.terrain[blockOf(1000, 1000)] = level(3, 4);
    load(facet);
    EXPECT_EQ(getLandTileId(2000, 2000), 0x0000) << "a hole in the sparse file reads as zeros";
    EXPECT_EQ(getLandTileId(-1, 5), kMissingLandId);
    EXPECT_EQ(getTerrainZ(1000, 1000), 4);
    // A map file cut short ends every block past its end.
    client.write("map0.mul", level(3, 4) + std::string(100, '\x05'));
    reload();
    EXPECT_EQ(getTerrainZ(0, 0), 4);
    EXPECT_EQ(getTerrainZ(0, 8), 0) << "the second block is short";
    EXPECT_EQ(getLandTileId(0, 8), kMissingLandId);
    auto corners = getCellCornerHeights(7168, 0);
    EXPECT_EQ(corners, (std::array<int8_t, 4> { 0, 0, 0, 0 }));
}

TEST_F(MapViewTest, SlopesAndCornerHeights)
{
    fixture::FacetFiles facet;
    facet.terrain[blockOf(1000, 1000)]
        = fixture::terrainBlock([](int32_t x, int32_t y) { return TerrainCell { 3, int8_t(x * 3 + y) }; });
    load(facet);
    EXPECT_EQ(getCellCornerHeights(1000, 1000), (std::array<int8_t, 4> { 0, 3, 4, 1 }));
    int32_t roughness = 0;
    EXPECT_EQ(classifyTerrainSlope(1000, 1000, 1, roughness), 6);
    EXPECT_EQ(roughness, 6);
    EXPECT_EQ(classifyTerrainSlope(1000, 1000, 9, roughness), 0);
    // A sloped textured cell becomes a stretched tile, a level one a flat tile.
    setItemTile(1, 0);
    TileDataLandGroup group;
    group.records[3].textureId = 5;
    tileData().applyLandGroup(0, group);
    WorldObject* sloped = createWrappedLandTile(1001, 1001);
    EXPECT_TRUE(sloped->isStretchedLand());
    sloped->destroy();
}

TEST_F(MapViewTest, GoingUndergroundAndComingBack)
{
    fixture::FacetFiles facet;
    facet.terrain[blockOf(1000, 1000)] = level(3, 40);
    load(facet);
    BackBuffer buffer;
    buffer.create(100, 100, BufferFormat::Rgb555);
    setWorldBackBuffer(&buffer);
    setPlayerPosition(1000, 1000, 10, 0);
    EXPECT_TRUE(mapView().playerUnderground);
    EXPECT_EQ(mapView().undergroundCeilingZ, 26);
    buffer.renderWorldDirtyRects(nullptr);
    setPlayerPosition(1000, 1000, 10, 0);
    buffer.renderWorldDirtyRects(nullptr);
    moveMapViewCentre(0, 0, 12);
    EXPECT_EQ(mapView().undergroundCeilingZ, 28);
    moveMapViewCentre(0, 0, 30);
    EXPECT_FALSE(mapView().playerUnderground);
    setWorldBackBuffer(nullptr);
}

TEST_F(MapViewTest, TheTerrainCheckDigestsEachBlockOnceAndReportsADifference)
{
    fixture::FacetFiles facet;
    std::string block = level(3, 2);
    facet.terrain[0] = block;
    facet.terrain[1] = level(3, 3);
    load(facet);
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, block.size(), reinterpret_cast<const uint8_t*>(block.data()));
    uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&context, sizeof digest, digest);
    // Block 0 matches its table value, block 1 does not.
    std::vector<uint8_t> table(4, 0);
    table[0] = uint8_t((digest[2] & 15) << 4) | uint8_t(~0u & 15);
    setTerrainCheckEnabled(true);
    getTerrainZ(0, 0);
    EXPECT_EQ(terrainCheckDigestCount(), 0) << "no table: the check stays off";
    setTerrainCheckTable(table);
    getTerrainZ(0, 0);
    getTerrainZ(1, 1);
    EXPECT_EQ(terrainCheckDigestCount(), 1);
    EXPECT_TRUE(sink.packets.empty());
    getTerrainZ(0, 8);
    getTerrainZ(0, 9);
    EXPECT_EQ(terrainCheckDigestCount(), 2);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0][0], 0xC5);
}

} // namespace
