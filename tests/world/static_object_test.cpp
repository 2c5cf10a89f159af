#include "world_fixture.h"

#include "fixtures/language_files.h"
#include "text/cliloc_table.h"

#include "world/anim_data.h"
#include "world/item_drawing.h"
#include "world/item_graphics.h"
#include "world/overhead_texts.h"
#include "world/static_object.h"

#include <memory>
#include <string>

namespace test {
namespace {

struct NormalizeHueCase {
    const char* name;
    uint16_t hue;
    uint16_t normalized;
    int32_t entry;
};

class NormalizeHueTable : public testing::TestWithParam<NormalizeHueCase> { };

TEST_P(NormalizeHueTable, KeepsTheModesAndBoundsTheNumber)
{
    const NormalizeHueCase& c = GetParam();
    EXPECT_EQ(normalizeHue(c.hue), c.normalized);
    EXPECT_EQ(hueEntryIndex(c.hue), c.entry);
}

INSTANTIATE_TEST_SUITE_P(Hues, NormalizeHueTable,
    testing::Values(NormalizeHueCase { "None", 0, 0, -1 }, NormalizeHueCase { "PartialNone", 0x8000, 0x8000, -1 },
        NormalizeHueCase { "Five", 5, 5, 4 }, NormalizeHueCase { "Last", 2999, 2999, 2998 },
        NormalizeHueCase { "ThreeThousand", 3000, 1, 0 },
        NormalizeHueCase { "PartialOutOfRange", 0x8000 | 3500, 0x8001, 0 },
        NormalizeHueCase { "BothModesOutOfRange", 0xC000 | 4000, 0xC001, 0 },
        // The mode bits never reach the table index.
        NormalizeHueCase { "PartialHue", 0x8021, 0x8021, 0x20 }, NormalizeHueCase { "ShadeMode", 0x4021, 0x4021, 0x20 },
        NormalizeHueCase { "AllBits", 0xFFFF, 0xC001, 0 }),
    [](const testing::TestParamInfo<NormalizeHueCase>& param) { return std::string(param.param.name); });

struct SpanCase {
    const char* name;
    int32_t mode;
    PixelSpanFn expected;
};

class ItemSpanTable : public testing::TestWithParam<SpanCase> { };

TEST_P(ItemSpanTable, PicksTheSpanOperationByMode) { EXPECT_EQ(chooseItemSpan(GetParam().mode), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Modes, ItemSpanTable,
    testing::Values(SpanCase { "Plain", 0, copySpan }, SpanCase { "Hued", 2, hueSpanOpaque },
        SpanCase { "HuedFoliage", 0x20002, hueSpanOpaque }, SpanCase { "Translucent", 8, blendSpan75Opaque },
        SpanCase { "TranslucentPartial", 0x40008, blendSpan75Opaque },
        SpanCase { "HuedTranslucent", 10, hueBlendSpan75Opaque }, SpanCase { "CensoredBlood", 16, bloodRecolourSpan },
        SpanCase { "OmittedBlood", 32, nullptr }, SpanCase { "TranslucentFoliage", 0x20008, blendSpan25Opaque },
        SpanCase { "EverythingTranslucent", 0x60008, blendSpan25Opaque },
        SpanCase { "PartialHue", 0x40002, partialHueSpanOpaque },
        SpanCase { "PartialHueFoliage", 0x60002, partialHueSpanOpaque },
        SpanCase { "PartialHueTranslucent", 0x4000A, partialHueBlendSpan75Opaque },
        SpanCase { "UnknownMode", 0x12345, copySpan }),
    [](const testing::TestParamInfo<SpanCase>& param) { return std::string(param.param.name); });

class StaticObjectTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        auto table = std::make_unique<ClilocTable>();
        std::string image = fixture::clilocImage({ { 1020000 + kCoinGraphic, "Gold Coin" }, { 1023827, "Scroll" } });
        table->loadBytes(reinterpret_cast<const uint8_t*>(image.data()), image.size());
        setClilocTable(std::move(table));
    }
    void TearDown() override
    {
        setClilocTable(nullptr);
        WorldTest::TearDown();
    }
};

TEST_F(StaticObjectTest, NamesTakeTheirArticleAndPluralFromTheTile)
{
    Item* coins = allocItem(0x40000100, kCoinGraphic, 0);
    coins->amount = 1;
    EXPECT_EQ(getObjectName(*coins), "a Gold Coin");
    coins->amount = 500;
    EXPECT_EQ(getObjectName(*coins), "Gold Coins") << "no article in the plural";
    EXPECT_EQ(getObjectClilocName(*coins), u"Gold Coin : 500");
    coins->amount = 1;
    EXPECT_EQ(getObjectClilocName(*coins), u"Gold Coin");

    EXPECT_EQ(getItemName(kLeafGraphic, false), "a leaf");
    EXPECT_EQ(getItemName(kLeafGraphic, true), "leaves");
    EXPECT_EQ(getItemName(kStackGraphic, false), "arrow") << "no singular ending given";
    coins->destroy();
}

TEST_F(StaticObjectTest, SpellScrollsNeverShowTheirAmount)
{
    setItemTile(3827, kTileStackable, 0, 1, "scroll%s%");
    Item* scrolls = allocItem(0x40000101, 3827, 0);
    scrolls->amount = 12;
    EXPECT_EQ(getObjectClilocName(*scrolls), u"Scroll");
    scrolls->destroy();
}

struct ArtCase {
    const char* name;
    uint16_t graphic;
    uint16_t amount;
    int32_t art;
    bool doubled;
};

class PictureTable : public WorldTest, public testing::WithParamInterface<ArtCase> { };

TEST_P(PictureTable, ChoosesThePictureByAmount)
{
    const ArtCase& c = GetParam();
    Item* item = allocItem(0x40000102, c.graphic, 0);
    item->amount = c.amount;
    EXPECT_EQ(item->iconArtId(), 0x4000 + c.art);
    EXPECT_EQ(item->isDrawnDoubled(), c.doubled);
    item->destroy();
}

INSTANTIATE_TEST_SUITE_P(Amounts, PictureTable,
    testing::Values(ArtCase { "OneCoin", kCoinGraphic, 1, 3821, false },
        ArtCase { "TwoCoins", kCoinGraphic, 2, 3822, false }, ArtCase { "FiveCoins", kCoinGraphic, 5, 3822, false },
        ArtCase { "SixCoins", kCoinGraphic, 6, 3823, false }, ArtCase { "ManyCoins", kCoinGraphic, 60000, 3823, false },
        ArtCase { "OneArrow", kStackGraphic, 1, kStackGraphic, false },
        ArtCase { "TwoArrows", kStackGraphic, 2, kStackGraphic, true },
        ArtCase { "NotStackable", kPlainGraphic, 2, kPlainGraphic, false }),
    [](const testing::TestParamInfo<ArtCase>& param) { return std::string(param.param.name); });

TEST_F(StaticObjectTest, WithoutAPictureTheRectangleIsTheCellsDiamondBox)
{
    StaticObject* object = allocStatic(kPlainGraphic);
    object->enterWorldAt(10, 4, 2);
    EXPECT_EQ(object->rowKey, 14);
    EXPECT_EQ(object->columnKey, 10 - 4 + mapView().mapWidth);
    EXPECT_EQ(object->screenRect,
        (ScreenRect { object->columnKey * 22, 14 * 22 - 8, object->columnKey * 22 + 44, 14 * 22 - 8 + 44 }));
    object->destroy();
}

TEST_F(StaticObjectTest, BareTreesLeaveTheGridInWinterButStayListed)
{
    setSeason(3);
    StaticObject* tree = allocStatic(kTreeGraphic);
    tree->enterWorldAt(kCentreX + 2, kCentreY, 0);
    EXPECT_FALSE(tree->isPlaced());
    EXPECT_TRUE(FoliageList::isLinked(tree));
    EXPECT_TRUE(WorldList::isLinked(tree));
    tree->destroy();

    worldObjectSettings().treeCanopies = true;
    tree = allocStatic(kTreeGraphic);
    tree->enterWorldAt(kCentreX + 2, kCentreY, 0);
    EXPECT_TRUE(tree->isPlaced()) << "canopies wanted";
    tree->destroy();
    setSeason(0);
}

TEST_F(StaticObjectTest, LightSourcesJoinTheLightListOnceAndLeaveIt)
{
    struct Lights : WorldLights {
        void invalidateLight(StaticObject&) override { ++invalidated; }
        int32_t invalidated = 0;
    } lights;
    ScopedWorldService<WorldLights> guard(lights);
    Item* lamp = dropItem(0x40000103, 1001, 1001, kLampGraphic);
    ASSERT_TRUE(lamp);
    EXPECT_TRUE(LightSourceList::isLinked(lamp));
    onObjectPacket(0x40000103, kLampGraphic, 0, 1, 1002, 1001, 0, 0, 0, 0);
    EXPECT_EQ(worldLists().lightSources.size(), 1u);
    lamp->destroy();
    EXPECT_TRUE(worldLists().lightSources.isEmpty());
    EXPECT_GE(lights.invalidated, 3);
}

TEST_F(StaticObjectTest, PooledObjectsGoBackToTheirPools)
{
    size_t statics = staticPool().inUse();
    size_t items = itemPool().inUse();
    StaticObject* object = allocStatic(kPlainGraphic);
    Item* item = allocItem(0x40000104, kPlainGraphic, 0);
    EXPECT_EQ(staticPool().inUse(), statics + 1);
    EXPECT_EQ(itemPool().inUse(), items + 1);
    EXPECT_EQ(staticPool().total() % 512, 0u);
    EXPECT_EQ(itemPool().total() % 64, 0u);
    object->destroy();
    item->destroy();
    EXPECT_EQ(staticPool().inUse(), statics);
    EXPECT_EQ(itemPool().inUse(), items);
    // A map item is made one by one and never enters the item pool.
    Item* map = createObject(0x40000105, kMapGraphic, 0);
    EXPECT_EQ(itemPool().inUse(), items);
    map->destroy();
    EXPECT_EQ(itemPool().inUse(), items);
}

TEST_F(StaticObjectTest, AFourthTextDeletesTheOldestThatIsNotKept)
{
    struct Texts : OverheadTextViews {
        struct Text {
            std::string text;
            bool kept;
        };
        int32_t textCount(const StaticObject&) override { return int32_t(texts.size()); }
        bool deleteOldestUnkept(StaticObject&) override
        {
            for (size_t i = texts.size(); i-- > 0;) {
                if (!texts[i].kept) {
                    texts.erase(texts.begin() + ptrdiff_t(i));
                    return true;
                }
            }
            return false;
        }
        void create(StaticObject&, std::string_view text, uint16_t, uint16_t, int32_t, bool kept) override
        {
            texts.insert(texts.begin(), Text { std::string(text), kept });
        }
        std::vector<Text> texts; // newest first
    } views;
    ScopedWorldService<OverheadTextViews> guard(views);
    Item* item = dropItem(0x40000106, 1001, 1001);
    showOverheadText(*item, "one", 0, 3, 0, false);
    showOverheadText(*item, "two", 0, 3, 0, false);
    showOverheadText(*item, "three", 0, 3, 0, false);
    showOverheadText(*item, "four", 0, 3, 0, false);
    ASSERT_EQ(views.texts.size(), 3u);
    EXPECT_EQ(views.texts.back().text, "two");
    views.texts.clear();
    showOverheadText(*item, "a", 0, 3, 0, true);
    showOverheadText(*item, "b", 0, 3, 0, true);
    showOverheadText(*item, "c", 0, 3, 0, true);
    showOverheadText(*item, "d", 0, 3, 0, false);
    EXPECT_EQ(views.texts.size(), 4u) << "kept texts are never deleted by the limit";
}

TEST_F(StaticObjectTest, AnimatedObjectsStepTheirFramesInTheGrid)
{
    constexpr uint16_t kFire = 10;
    setItemTile(kFire, kTileAnimated, 0, 255, "fire");
    // Two groups of eight records; record 10 has three frames, one update apart.
    std::vector<uint8_t> bytes(2 * (4 + 8 * AnimDataTable::kRecordBytes), 0);
    size_t at = (4 + 8 * AnimDataTable::kRecordBytes) + 4 + (kFire % 8) * AnimDataTable::kRecordBytes;
    bytes[at + 0] = 0;
    bytes[at + 1] = 1;
    bytes[at + 2] = 2;
    bytes[at + 65] = 3; // frame count
    bytes[at + 66] = 1; // interval
    auto table = std::make_unique<AnimDataTable>();
    table->load(bytes);
    auto saved = std::make_unique<AnimDataTable>(animDataTable());
    animDataTable() = *table;

    StaticObject* first = allocStatic(kFire);
    first->enterWorldAt(kCentreX + 1, kCentreY, 0);
    StaticObject* second = allocStatic(kFire);
    second->enterWorldAt(kCentreX + 2, kCentreY, 0);
    EXPECT_EQ(worldLists().animated.size(), 2u);
    std::vector<int32_t> offsets;
    for (int32_t update = 0; update < 4; ++update) {
        stepTileAnimations();
        offsets.push_back(first->graphicOffset);
        EXPECT_EQ(first->graphicOffset, second->graphicOffset) << "both advance the shared record once";
        EXPECT_TRUE(first->isPlaced());
    }
    EXPECT_EQ(offsets, (std::vector<int32_t> { 1, 2, 0, 1 }));
    EXPECT_EQ(checkWorldInvariants(), "");
    first->destroy();
    second->destroy();
    animDataTable() = *saved;
}

} // namespace
} // namespace test
