// Multi component lists from multi.mul, the placement preview, and the
// cache of house designs with its file.
#include "world_fixture.h"

#include "data/data_files.h"
#include "fixtures/byte_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "platform/message_box.h"
#include "world/multi_cache.h"
#include "world/multi_components.h"
#include "world/multi_preview.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

using namespace test;

constexpr uint16_t kSign = 0x0BD2;
constexpr uint16_t kPiece = 0x0080;
constexpr uint32_t kHouse = 0x40000100;

std::string multiRecord(uint16_t graphic, int16_t x, int16_t y, int16_t z, uint32_t flags)
{
    return fixture::le16(graphic) + fixture::le16(uint16_t(x)) + fixture::le16(uint16_t(y))
        + fixture::le16(uint16_t(z)) + fixture::le32(flags);
}

class MultiTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        fixture::writeRequiredDataFiles(client.root(), "client", { "multi.idx", "multi.mul" });
        // Multi 0 has no record; multi 1: the item's own record, a shown
        // piece and a hidden one; multi 2: one shown piece.
        fixture::writeIndexedPair(client.root(), "client", "multi.idx", "multi.mul",
            { { std::nullopt, 0 },
                { multiRecord(kSign, 9, 9, 9, 1) + multiRecord(kPiece, 1, -2, 3, 1) + multiRecord(kWallGraphic, 2, 2, 0, 0),
                    0 },
                { multiRecord(kSign, 0, 0, 0, 1) + multiRecord(kFlatGraphic, -1, 0, 0, 1), 0 } });
        files = std::make_unique<DataFiles>();
        installDataFiles(files.get());
        files->reset();
        files->load();
        installWorldService<MultiComponents>(&service);
    }

    void TearDown() override
    {
        multiCache().clear();
        multiCache().setLimit(MultiCache::kDefaultLimit);
        // The items give their lists back to the service that made them.
        WorldTest::TearDown();
        installWorldService<MultiComponents>(nullptr);
        installDataFiles(nullptr);
    }

    Item* house(int32_t x, int32_t y, int32_t multiId = 1)
    {
        onObjectPacket(kHouse, uint16_t(0x4000 + multiId), 0, 1, x, y, 0, 0, 0, 0);
        return findItemBySerial(kHouse);
    }

    fixture::ClientDirectory client;
    platform::RecordingMessageBoxSink boxes;
    platform::ScopedMessageBoxSink boxGuard { boxes };
    std::unique_ptr<DataFiles> files;
    MultiComponentService service;
};

TEST_F(MultiTest, TheFirstRecordIsTheItemAndOnlyShownRecordsArePieces)
{
    std::vector<MultiRecord> records;
    EXPECT_FALSE(getMultiComponents(0, records));
    ASSERT_TRUE(getMultiComponents(1, records));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].y, -2);
    Item* item = house(kCentreX + 2, kCentreY);
    ASSERT_TRUE(item && item->multi());
    EXPECT_EQ(item->graphic, kSign);
    const auto& components = item->multi()->components();
    ASSERT_EQ(components.size(), 1u);
    EXPECT_EQ(components[0].object->graphic, kPiece);
    EXPECT_EQ(components[0].object->x, kCentreX + 3);
    EXPECT_EQ(components[0].object->y, kCentreY - 2);
    EXPECT_EQ(components[0].object->z, 3);
    EXPECT_TRUE(components[0].object->isMultiPart());
    EXPECT_EQ(item->multi()->extent(), 2);
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MultiTest, MovingRebuildingAndSharing)
{
    Item* item = house(kCentreX + 2, kCentreY);
    ASSERT_TRUE(item && item->multi());
    MultiComponentList* list = item->multi();
    StaticObject* piece = list->components()[0].object;
    uint64_t destroyed = worldObjectDestructions();
    updateMultiPosition(*item, kCentreX + 2, kCentreY, 0, 1);
    EXPECT_EQ(item->multi(), list) << "same position: nothing";
    EXPECT_EQ(worldObjectDestructions(), destroyed);
    updateMultiPosition(*item, kCentreX + 4, kCentreY + 1, 2, 1);
    EXPECT_EQ(item->multi(), list) << "same multi: the list is kept";
    EXPECT_EQ(piece->x, kCentreX + 5);
    EXPECT_EQ(piece->y, kCentreY - 1);
    EXPECT_EQ(piece->z, 5);
    uint64_t beforeRebuild = worldObjectDestructions();
    updateMultiPosition(*item, kCentreX + 4, kCentreY + 1, 2, 2);
    ASSERT_NE(item->multi(), nullptr);
    EXPECT_EQ(item->multi()->components()[0].object->graphic, kFlatGraphic);
    EXPECT_EQ(worldObjectDestructions(), beforeRebuild + 1) << "another multi: the old piece went first";
    StaticObject* kept = item->multi()->components()[0].object;
    item->multi()->setShared(true);
    item->destroy();
    EXPECT_TRUE(isValidWorldObject(kept)) << "a shared list's pieces survive it";
    EXPECT_EQ(checkWorldInvariants(), "");
}

// Servers resend houses and boats constantly: a repeat keeps the item's
// own graphic and its pieces, and a new multi id (a boat that turned)
// rebuilds them.
TEST_F(MultiTest, RepeatedObjectPacketsKeepTheMultiAndANewIdRebuildsIt)
{
    Item* item = house(kCentreX + 2, kCentreY);
    ASSERT_TRUE(item && item->multi());
    StaticObject* piece = item->multi()->components()[0].object;
    uint64_t destroyed = worldObjectDestructions();
    ASSERT_EQ(house(kCentreX + 2, kCentreY), item);
    EXPECT_EQ(item->graphic, kSign) << "not hidden again by the repeat";
    EXPECT_TRUE(item->isPlaced());
    EXPECT_EQ(worldObjectDestructions(), destroyed);
    EXPECT_EQ(item->multi()->components()[0].object, piece);

    destroyed = worldObjectDestructions();
    ASSERT_EQ(house(kCentreX + 3, kCentreY, 2), item);
    ASSERT_NE(item->multi(), nullptr);
    EXPECT_EQ(item->multi()->multiId(), 2);
    ASSERT_EQ(item->multi()->components().size(), 1u);
    EXPECT_EQ(item->multi()->components()[0].object->graphic, kFlatGraphic) << "the other multi's pieces";
    EXPECT_EQ(item->multi()->components()[0].object->x, kCentreX + 2);
    EXPECT_EQ(worldObjectDestructions(), destroyed + 1) << "the old piece went";
    EXPECT_EQ(item->graphic, kSign);
    EXPECT_EQ(item->x, kCentreX + 3);
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MultiTest, ConvertsRecordsFromNetworkByteOrder)
{
    const uint8_t bytes[] = { 0x12, 0x34, 0xFF, 0xFE, 0x00, 0x03, 0x80, 0x00, 0x00, 0x00, 0x00, 0x01, 0xAA };
    std::vector<MultiRecord> records = convertMultiRecords(bytes);
    ASSERT_EQ(records.size(), 1u) << "the trailing partial record is left out";
    EXPECT_EQ(records[0].graphic, 0x1234);
    EXPECT_EQ(records[0].x, -2);
    EXPECT_EQ(records[0].y, 3);
    EXPECT_EQ(records[0].z, -32768);
    EXPECT_EQ(records[0].flags, 1u);
}

TEST_F(MultiTest, ThePreviewFollowsThePointerAndClearsOnlyWhatItLoaded)
{
    MultiPreview preview;
    setMultiPreview(&preview);
    EXPECT_FALSE(preview.clearIfTemporary()) << "nothing loaded";
    ASSERT_TRUE(preview.loadFromMulti(1, 9, 9, 9));
    EXPECT_EQ(preview.kind(), "multi");
    ASSERT_EQ(preview.components().size(), 3u) << "every record, shown or not";
    preview.update(kCentreX + 3, kCentreY + 3);
    EXPECT_EQ(preview.lastX(), kCentreX + 3);
    int32_t pieces = 0;
    for (const MultiPreviewPiece* piece = preview.pieces().head(); piece; piece = PreviewPieceList::next(piece)) {
        ++pieces;
        EXPECT_TRUE(piece->isPreviewPiece());
        EXPECT_FALSE(piece->isDynamic());
    }
    EXPECT_EQ(pieces, 3);
    preview.update(kCentreX + 4, kCentreY + 3);
    EXPECT_EQ(checkWorldInvariants(), "");
    EXPECT_FALSE(preview.clearIfTemporary()) << "loaded: freed";
    EXPECT_FALSE(preview.hasDesign());
    preview.setDesign("objlist", { PreviewComponent {} });
    EXPECT_TRUE(preview.clearIfTemporary()) << "a design not loaded here stays";
    const uint16_t words[] = { 5, 0, 7, 0, 12, 0, 13, 0, 1, 0, 99 };
    preview.loadFromPacket(4, words, 10, 10, 0);
    ASSERT_EQ(preview.components().size(), 1u) << "only whole records";
    EXPECT_EQ(preview.components()[0].dx, 2);
    EXPECT_EQ(preview.components()[0].hue, 7);
    preview.deletePieces();
    setMultiPreview(nullptr);
}

// The design cache: the file round trip and its damaged forms.
class MultiCacheTest : public MultiTest {
protected:
    static std::unique_ptr<MultiCacheEntry> entry(uint32_t serial, int32_t uses, int32_t x = 0, int32_t y = 0)
    {
        auto made = std::make_unique<MultiCacheEntry>(serial, 1, 1, x, y, 0);
        made->uses = uses;
        made->records[0] = { kPiece, 0, 1, 1, 0 };
        return made;
    }

    std::string path() const { return client.root().file("Multicache.dat"); }
};

TEST_F(MultiCacheTest, TrimmingSparesTheNewestAndTakesTheLeastUsedNearestTheBack)
{
    MultiCache& cache = multiCache();
    cache.setLimit(10);
    for (uint32_t serial = 1; serial <= 10; ++serial)
        cache.insert(entry(serial, serial == 4 || serial == 7 ? 1 : 5), false);
    cache.insert(entry(11, 0), true);
    ASSERT_EQ(cache.size(), 10u);
    std::vector<uint32_t> serials;
    for (const auto& kept : cache.entries())
        serials.push_back(kept->serial);
    EXPECT_EQ(serials.front(), 11u) << "the newest is spared";
    EXPECT_EQ(std::count(serials.begin(), serials.end(), 7u), 0) << "the tie nearer the back went";
    EXPECT_EQ(std::count(serials.begin(), serials.end(), 4u), 1);
}

TEST_F(MultiCacheTest, AHouseThatMovedMissesAndEditsRaiseTheRevision)
{
    Item* item = house(kCentreX + 2, kCentreY);
    ASSERT_TRUE(item);
    MultiCache& cache = multiCache();
    cache.insert(entry(kHouse, 1, kCentreX + 2, kCentreY), true);
    ASSERT_NE(cache.find(kHouse), nullptr);
    DesignRecord absent { 0x1111, 0, 5, 5, 5 };
    EXPECT_FALSE(cache.removeComponent(kHouse, absent)) << "an absent record leaves the design";
    EXPECT_EQ(cache.find(kHouse)->records.size(), 1u);
    EXPECT_EQ(cache.find(kHouse)->revision, 1);
    EXPECT_TRUE(cache.addComponent(kHouse, absent));
    EXPECT_TRUE(cache.removeComponent(kHouse, { kPiece, 0, 1, 1, 0 }));
    EXPECT_EQ(cache.find(kHouse)->revision, 3);
    EXPECT_TRUE(cache.applyToHouse(kHouse));
    ASSERT_EQ(item->multi()->components().size(), 1u);
    EXPECT_EQ(item->multi()->components()[0].object->graphic, 0x1111);
    item->moveTo(kCentreX + 3, kCentreY, 0);
    EXPECT_EQ(cache.find(kHouse), nullptr) << "moved since it was cached";
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(MultiCacheTest, TwoSavesLowerTheUsesByTwo)
{
    MultiCache& cache = multiCache();
    cache.insert(entry(5, 9), false);
    ASSERT_TRUE(cache.save(path()));
    ASSERT_TRUE(cache.save(path()));
    ASSERT_TRUE(cache.load(path()));
    ASSERT_EQ(cache.size(), 1u);
    EXPECT_EQ(cache.entries().front()->uses, 7);
    EXPECT_EQ(cache.entries().front()->records[0], (DesignRecord { kPiece, 0, 1, 1, 0 }));
}

struct CacheFile {
    const char* name;
    const char* text;
    size_t entries;
};

class MultiCacheFiles : public MultiCacheTest, public testing::WithParamInterface<CacheFile> { };

TEST_P(MultiCacheFiles, LoadWhatIsWhole)
{
    {
        std::ofstream out(path());
        out << GetParam().text;
    }
    multiCache().insert(entry(99, 1), true);
    multiCache().load(path());
    EXPECT_EQ(multiCache().size(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Damaged, MultiCacheFiles,
    testing::Values(CacheFile { "Whole", " ver 5\n1\t2\t2\t10\t20\t0\t4\n1\t0\t0\t0\t0\n2\t0\t1\t0\t0\n", 1 },
        CacheFile { "OldVersion", " ver 4\n1\t2\t1\t10\t20\t0\t4\n1\t0\t0\t0\t0\n", 0 },
        CacheFile { "SixFieldHeader", " ver 5\n1\t2\t1\t10\t20\t0\n\n1\t0\t0\t0\t0\n", 1 },
        CacheFile { "TruncatedEntry", " ver 5\n1\t2\t3\t10\t20\t0\t4\n1\t0\t0\t0\t0\n", 0 },
        CacheFile { "HugeCount", " ver 5\n1\t2\t2000000000\t10\t20\t0\t4\n1\t0\t0\t0\t0\n", 0 },
        CacheFile { "NegativeCount", " ver 5\n1\t2\t-3\t10\t20\t0\t4\n", 0 },
        CacheFile { "Garbage", " ver 5\nhello\n\n1\t2\t1\t1\t1\t1\t1\nx\n3\t3\t3\t3\t3\n", 1 },
        CacheFile { "Empty", "", 0 }),
    [](const testing::TestParamInfo<CacheFile>& row) { return std::string(row.param.name); });

} // namespace
