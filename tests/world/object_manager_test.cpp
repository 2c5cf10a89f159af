#include "world_fixture.h"

#include "world/dying_links.h"
#include "world/overhead_texts.h"

#include <functional>
#include <string>

namespace test {
namespace {

constexpr uint32_t kManagedItem = 0x40000010;
constexpr uint32_t kBackpack = 0x40000020;
constexpr uint32_t kPouch = 0x40000021;
constexpr uint32_t kCoins = 0x40000022;
constexpr uint32_t kMobileSerial = 0x00000030;

using ObjectManagerTest = WorldTest;

// Create, move, re-parent, equip, delete and clear, with the whole model
// checked after every step.
TEST_F(ObjectManagerTest, ScriptKeepsTheModelConsistentAfterEveryStep)
{
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Step> script = {
        { "an item appears", [] { dropItem(kManagedItem, 1002, 1001); } },
        { "a backpack appears", [] { dropItem(kBackpack, 1003, 1003, kBackpackGraphic); } },
        { "a mobile appears", [] { addMobile(kMobileSerial, 1004, 1000); } },
        { "the item moves", [] { onObjectPacket(kManagedItem, kPlainGraphic, 0, 1, 1005, 1005, 5, 0, 0, 0); } },
        { "a pouch goes into the backpack",
            [] { addItemToContainer(kPouch, kPouchGraphic, 0, 1, 40, 50, kBackpack, 0); } },
        { "coins go into the pouch", [] { addItemToContainer(kCoins, kCoinGraphic, 0, 300, 1, 2, kPouch, 0); } },
        { "the item goes into the pouch",
            [] { addItemToContainer(kManagedItem, kPlainGraphic, 0, 1, 3, 4, kPouch, 0); } },
        { "the backpack is equipped on the mobile",
            [] { equipItemOnMobile(kMobileSerial, kBackpack, kBackpackGraphic, Mobile::kBackpackLayer, 0); } },
        { "the mobile steps", [] { onObjectPacket(kMobileSerial, kHumanBody, 0, 1, 1005, 1000, 0, 2, 0, 0); } },
        { "a frame passes", [] { updateWorldObjects(); } },
        { "the pouch is thrown into the world",
            [] { onObjectPacket(kPouch, kPouchGraphic, 0, 1, 1001, 1002, 0, 0, 0, 0); } },
        { "the coins move to the player", [] { addItemToContainer(kCoins, kCoinGraphic, 0, 300, 9, 9, 0, 0); } },
        { "the mobile is deleted", [] { deleteObjectBySerial(kMobileSerial); } },
        { "the world is cleared", [] { clearWorld(); } },
    };
    for (const Step& step : script) {
        step.run();
        ASSERT_EQ(checkWorldInvariants(), "") << "after: " << step.name;
    }
    EXPECT_EQ(findObjectBySerial(kManagedItem), nullptr);
    EXPECT_EQ(findObjectBySerial(kBackpack), nullptr);
    EXPECT_EQ(findObjectBySerial(kPlayerSerial), player()) << "the player outlives a clear";
    EXPECT_EQ(countContents(*player()), 0) << "and carries nothing of the old session";
}

TEST_F(ObjectManagerTest, ScriptReachesTheExpectedShape)
{
    dropItem(kBackpack, 1003, 1003, kBackpackGraphic);
    Mobile* mobile = addMobile(kMobileSerial, 1004, 1000);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(addItemToContainer(kPouch, kPouchGraphic, 0, 1, 40, 50, kBackpack, 0));
    ASSERT_TRUE(addItemToContainer(kCoins, kCoinGraphic, 0, 300, 1, 2, kPouch, 0));
    ASSERT_TRUE(equipItemOnMobile(kMobileSerial, kBackpack, kBackpackGraphic, Mobile::kBackpackLayer, 0));

    Item* coins = findItemBySerial(kCoins);
    ASSERT_TRUE(coins);
    EXPECT_TRUE(coins->isInside(*findItemBySerial(kPouch)));
    EXPECT_TRUE(coins->isInside(*findItemBySerial(kBackpack)));
    EXPECT_TRUE(coins->isInside(*mobile));
    EXPECT_FALSE(coins->isInside(*coins));
    EXPECT_EQ(mobile->layerItem(Mobile::kBackpackLayer), findItemBySerial(kBackpack));
    EXPECT_TRUE(findItemBySerial(kBackpack)->isWorn());
    EXPECT_FALSE(findItemBySerial(kBackpack)->isPlaced()) << "a worn item is never in the grid";
    EXPECT_EQ(&coins->outermost(), mobile);
}

struct ClassCase {
    const char* name;
    uint32_t serial;
    uint16_t graphic;
    ObjectClass expected;
};

class ObjectClassTable : public WorldTest, public testing::WithParamInterface<ClassCase> { };

TEST_P(ObjectClassTable, ChoosesTheClassBySerialThenGraphic)
{
    const ClassCase& c = GetParam();
    EXPECT_EQ(chooseObjectClass(c.serial, c.graphic), c.expected);
    Item* made = createObject(c.serial, c.graphic, 0);
    EXPECT_EQ(made->isMobile(), c.expected == ObjectClass::Mobile);
    EXPECT_EQ(made->isCorpse(), c.expected == ObjectClass::Corpse);
    EXPECT_EQ(made->isMap(), c.expected == ObjectClass::MapItem);
    EXPECT_EQ(made->isSpellbook(), c.expected == ObjectClass::Spellbook);
    EXPECT_EQ(made->isContainer(),
        c.expected != ObjectClass::MapItem && c.expected != ObjectClass::Plain);
    EXPECT_EQ(findItemBySerial(c.serial), made) << "every made object can be found";
    made->destroy();
}

INSTANTIATE_TEST_SUITE_P(Classes, ObjectClassTable,
    testing::Values(ClassCase { "MobileSerial", 0x00000123, kPlainGraphic, ObjectClass::Mobile },
        ClassCase { "MobileSerialWinsOverCorpse", 0x00000124, 0x2006, ObjectClass::Mobile },
        ClassCase { "Corpse", 0x40000123, 0x2006, ObjectClass::Corpse },
        ClassCase { "Map", 0x40000124, kMapGraphic, ObjectClass::MapItem },
        ClassCase { "Spellbook", 0x40000125, 3834, ObjectClass::Spellbook },
        ClassCase { "Container", 0x40000126, kBackpackGraphic, ObjectClass::Container },
        ClassCase { "Plain", 0x40000127, kPlainGraphic, ObjectClass::Plain }),
    [](const testing::TestParamInfo<ClassCase>& param) { return std::string(param.param.name); });

TEST_F(ObjectManagerTest, AFifthMoveMakesTheMobileJumpAndAnIdenticalMoveAddsNothing)
{
    Mobile* mobile = addMobile(kMobileSerial, 1000, 1001);
    ASSERT_TRUE(mobile);
    mobile->clearSteps();
    for (int32_t step = 1; step <= 3; ++step)
        onObjectPacket(kMobileSerial, kHumanBody, 0, 1, 1000 + step, 1001, 0, 2, 0, 0);
    onObjectPacket(kMobileSerial, kHumanBody, 0, 1, 1003, 1001, 0, 2, 0, 0);
    EXPECT_EQ(mobile->stepCount(), 3) << "the same as the last queued step";
    onObjectPacket(kMobileSerial, kHumanBody, 0, 1, 1003, 1001, 0, 0x82, 0, 0);
    EXPECT_EQ(mobile->stepCount(), 4) << "running makes it differ";
    onObjectPacket(kMobileSerial, kHumanBody, 0, 1, 1009, 1003, 0, 3, 0, 0);
    EXPECT_EQ(mobile->stepCount(), 0);
    EXPECT_EQ(mobile->x, 1009);
    EXPECT_EQ(mobile->y, 1003);
    EXPECT_EQ(mobile->direction, 3);
    EXPECT_TRUE(mobile->isPlaced());
}

TEST_F(ObjectManagerTest, AnObjectNearTheFarEdgeWrapsToTheCentresSide)
{
    mapView().centreX = 5110;
    mapView().centreY = 1000;
    player()->moveTo(5110, 1000, 0);
    Item* item = dropItem(kManagedItem, 5, 1001);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->x, 5125);

    mapView().centreX = 4;
    player()->moveTo(4, 1000, 0);
    item = dropItem(kManagedItem + 1, 5115, 1001);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->x, -5);
}

TEST_F(ObjectManagerTest, ObjectsBeyondTheUpdateRangeAreNotKept)
{
    EXPECT_EQ(dropItem(kManagedItem, kCentreX + 19, kCentreY), nullptr);
    EXPECT_NE(dropItem(kManagedItem + 1, kCentreX + 18, kCentreY), nullptr);
}

TEST_F(ObjectManagerTest, ShrinkingTheRangeDropsWhatFallsOutsideWithItsContents)
{
    dropItem(kBackpack, kCentreX + 12, kCentreY, kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(kCoins, kCoinGraphic, 0, 5, 1, 1, kBackpack, 0));
    dropItem(kManagedItem, kCentreX + 10, kCentreY - 10);
    Mobile* far = addMobile(kMobileSerial, kCentreX, kCentreY + 15);
    ASSERT_TRUE(far);
    setUpdateRange(10, true);
    EXPECT_EQ(player()->getUpdateRange(), 10);
    EXPECT_EQ(findObjectBySerial(kBackpack), nullptr);
    EXPECT_EQ(findObjectBySerial(kCoins), nullptr) << "contents go with their container";
    EXPECT_EQ(findObjectBySerial(kMobileSerial), nullptr);
    EXPECT_NE(findObjectBySerial(kManagedItem), nullptr) << "10 cells is still in range";
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(ObjectManagerTest, AnItemPacketForAWornItemMovesItIntoTheWorld)
{
    addMobile(kMobileSerial, 1002, 1002);
    ASSERT_TRUE(equipItemOnMobile(kMobileSerial, kManagedItem, kPlainGraphic, 5, 0));
    Item* worn = findItemBySerial(kManagedItem);
    ASSERT_TRUE(worn && worn->isWorn());
    onObjectPacket(kManagedItem, kPlainGraphic, 0, 1, 1003, 1003, 0, 0, 0, 0);
    EXPECT_EQ(findItemBySerial(kManagedItem), worn) << "the same object, moved";
    EXPECT_FALSE(worn->isWorn());
    EXPECT_EQ(worn->container(), nullptr);
    EXPECT_TRUE(worn->isPlaced());
    EXPECT_EQ(static_cast<Mobile*>(findItemBySerial(kMobileSerial))->layerItem(5), nullptr);
}

TEST_F(ObjectManagerTest, AContainerPacketReplacesAnObjectOfTheSameSerial)
{
    Item* old = dropItem(kManagedItem, 1001, 1001);
    dropItem(kBackpack, 1002, 1002, kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(kManagedItem, kPlainGraphic, 0, 1, 5, 6, kBackpack, 0));
    Item* fresh = findItemBySerial(kManagedItem);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->container(), findItemBySerial(kBackpack));
    EXPECT_EQ(fresh->x, 5);
    EXPECT_EQ(fresh->y, 6);
    EXPECT_FALSE(fresh->isPlaced());
    // The old object is gone (the pool may hand its storage out again).
    (void)old;
}

TEST_F(ObjectManagerTest, AContainerPacketNamingThePlayerPutsTheItemIntoThePlayer)
{
    ASSERT_TRUE(addItemToContainer(kManagedItem, kPlainGraphic, 0, 1, 5, 6, kPlayerSerial, 0));
    EXPECT_EQ(findItemBySerial(kManagedItem)->container(), player());
    EXPECT_EQ(countContents(*player()), 1);
}

struct RefusedEntry {
    const char* name;
    uint32_t itemSerial;
    uint32_t containerSerial;
};

class HostileContainerEntries : public WorldTest, public testing::WithParamInterface<RefusedEntry> { };

// The object a container entry replaces is destroyed first: naming the
// container itself, one of its parents or the player would take the
// container with it.
TEST_P(HostileContainerEntries, AreRefusedWithTheModelIntact)
{
    dropItem(kBackpack, 1002, 1002, kBackpackGraphic);
    ASSERT_TRUE(addItemToContainer(kPouch, kPouchGraphic, 0, 1, 1, 1, kBackpack, 0));
    ASSERT_TRUE(addItemToContainer(kCoins, kCoinGraphic, 0, 9, 1, 1, kPouch, 0));
    ASSERT_TRUE(addItemToContainer(kManagedItem, kPlainGraphic, 0, 1, 1, 1, kPlayerSerial, 0));
    const RefusedEntry& entry = GetParam();
    EXPECT_FALSE(addItemToContainer(entry.itemSerial, kPlainGraphic, 0, 1, 7, 7, entry.containerSerial, 0));
    EXPECT_EQ(checkWorldInvariants(), "");
    EXPECT_TRUE(findItemBySerial(kBackpack));
    EXPECT_TRUE(findItemBySerial(kPouch));
    EXPECT_EQ(findItemBySerial(kCoins)->container(), findItemBySerial(kPouch));
    EXPECT_EQ(findObjectBySerial(kPlayerSerial), player());
}

INSTANTIATE_TEST_SUITE_P(Refusals, HostileContainerEntries,
    testing::Values(RefusedEntry { "ItemIsTheContainer", kPouch, kPouch },
        RefusedEntry { "ItemIsTheContainersParent", kBackpack, kPouch },
        RefusedEntry { "ItemIsTheContainersGrandparent", kBackpack, kCoins },
        RefusedEntry { "ItemIsThePlayer", kPlayerSerial, kPouch },
        RefusedEntry { "ItemIsThePlayerInsideThePlayer", kPlayerSerial, kPlayerSerial },
        RefusedEntry { "ContainerIsUnknown", 0x40000999, 0x40000998 },
        RefusedEntry { "ContainerIsNoContainer", 0x40000999, kCoins },
        RefusedEntry { "ContainerIsAPlainItem", 0x40000999, kManagedItem }),
    [](const testing::TestParamInfo<RefusedEntry>& param) { return std::string(param.param.name); });

TEST_F(ObjectManagerTest, EquipmentThatWouldLoopOrOverflowIsRefused)
{
    Mobile* mobile = addMobile(kMobileSerial, 1002, 1002);
    ASSERT_TRUE(mobile);
    dropItem(kBackpack, 1002, 1003, kBackpackGraphic);
    // The mobile inside a backpack, then the backpack onto the mobile.
    ASSERT_TRUE(addItemToContainer(0x00000031, kHumanBody, 0, 1, 1, 1, kBackpack, 0));
    Mobile* inner = static_cast<Mobile*>(findItemBySerial(0x00000031));
    ASSERT_TRUE(inner && inner->isMobile());
    EXPECT_FALSE(equipItemOnMobile(0x00000031, kBackpack, kBackpackGraphic, 21, 0)) << "a loop";
    EXPECT_FALSE(equipItemOnMobile(kMobileSerial, kMobileSerial, kPlainGraphic, 3, 0)) << "itself";
    EXPECT_FALSE(equipItemOnMobile(kMobileSerial, kPlayerSerial, kPlainGraphic, 3, 0)) << "the player";
    EXPECT_FALSE(equipItemOnMobile(kMobileSerial, kManagedItem, kPlainGraphic, 30, 0)) << "layer 30";
    EXPECT_FALSE(equipItemOnMobile(kMobileSerial, kManagedItem, kPlainGraphic, 255, 0)) << "layer 255";
    EXPECT_FALSE(equipItemOnMobile(kMobileSerial, kManagedItem, kPlainGraphic, -1, 0));
    EXPECT_EQ(findItemBySerial(kManagedItem), nullptr) << "a refused new item is not kept";
    EXPECT_EQ(checkWorldInvariants(), "");
    EXPECT_TRUE(equipItemOnMobile(kMobileSerial, kManagedItem, kPlainGraphic, 29, 0)) << "the last layer";
}

TEST_F(ObjectManagerTest, AnOccupiedLayerGivesWayToTheNewItem)
{
    addMobile(kMobileSerial, 1002, 1002);
    ASSERT_TRUE(equipItemOnMobile(kMobileSerial, kBackpack, kBackpackGraphic, 21, 0));
    ASSERT_TRUE(addItemToContainer(kCoins, kCoinGraphic, 0, 9, 1, 1, kBackpack, 0));
    ASSERT_TRUE(equipItemOnMobile(kMobileSerial, kPouch, kPouchGraphic, 21, 0));
    EXPECT_EQ(findItemBySerial(kBackpack), nullptr);
    EXPECT_EQ(findItemBySerial(kCoins), nullptr) << "with what it held";
    EXPECT_EQ(static_cast<Mobile*>(findItemBySerial(kMobileSerial))->layerItem(21), findItemBySerial(kPouch));
}

TEST_F(ObjectManagerTest, ObjectOrdersNamingThePlayerAreRefused)
{
    EXPECT_FALSE(onObjectPacket(kPlayerSerial, kHumanBody, 0, 1, 1010, 1010, 0, 0, 0, 0));
    EXPECT_EQ(player()->x, kCentreX);
    EXPECT_EQ(player()->stepCount(), 0);
    EXPECT_FALSE(deleteObjectBySerial(kPlayerSerial));
    EXPECT_EQ(player(), findObjectBySerial(kPlayerSerial));
}

TEST_F(ObjectManagerTest, ADyingMobileIsNotDeletedUntilItsDeathEnds)
{
    Mobile* mobile = addMobile(kMobileSerial, 1002, 1002);
    ASSERT_TRUE(mobile);
    ASSERT_TRUE(mobile->die(0x40000050, true));
    uint32_t dyingSerial = kMobileSerial | kDyingSerialBit;
    EXPECT_EQ(mobile->serial, dyingSerial);
    EXPECT_EQ(findObjectBySerial(kMobileSerial), nullptr) << "a dying mobile no longer answers its serial";
    EXPECT_FALSE(deleteObjectBySerial(dyingSerial));
    EXPECT_TRUE(isTrackedMobile(dyingSerial));
    removeDyingLinks(0x40000050, dyingSerial, false);
    EXPECT_EQ(findObjectBySerial(dyingSerial), nullptr);
}

TEST_F(ObjectManagerTest, TheFrameDropsWhatLeftTheRangeAndStepsTheMobiles)
{
    Mobile* mobile = addMobile(kMobileSerial, 1002, 1002);
    Item* item = dropItem(kManagedItem, 1003, 1003);
    ASSERT_TRUE(mobile && item);
    mapView().centreX = kCentreX + 40;
    player()->moveTo(kCentreX + 40, kCentreY, 0);
    updateWorldObjects();
    EXPECT_EQ(findObjectBySerial(kManagedItem), nullptr);
    EXPECT_EQ(findObjectBySerial(kMobileSerial), nullptr);
    EXPECT_EQ(findObjectBySerial(kPlayerSerial), player()) << "the player is always in range";
}

TEST_F(ObjectManagerTest, TheFrameWalkSurvivesDestructionsOfItsOwnSuccessors)
{
    // A row of containers, each holding the next; the frame destroys the
    // outermost, which takes every later one with it.
    mapView().centreX = kCentreX + 30;
    dropItem(kBackpack, kCentreX + 30, kCentreY, kBackpackGraphic);
    uint32_t parent = kBackpack;
    for (uint32_t serial = kBackpack + 1; serial < kBackpack + 20; ++serial) {
        ASSERT_TRUE(addItemToContainer(serial, kBackpackGraphic, 0, 1, 1, 1, parent, 0));
        parent = serial;
    }
    // The frame keeps it while the centre is near; then it leaves.
    updateWorldObjects();
    ASSERT_TRUE(findObjectBySerial(kBackpack));
    mapView().centreX = kCentreX;
    updateWorldObjects();
    for (uint32_t serial = kBackpack; serial < kBackpack + 20; ++serial)
        EXPECT_EQ(findObjectBySerial(serial), nullptr);
}

TEST_F(ObjectManagerTest, KeptTextsLastFourSecondsAndComeBackWithTheItem)
{
    KeptText text;
    text.serial = kManagedItem;
    text.text.narrowText = "hello";
    text.text.startTime = 77;
    overheadTextKeeper().keep(text);
    for (int32_t second = 0; second < 4; ++second)
        ageKeptTexts();
    ASSERT_EQ(overheadTextKeeper().records().size(), 1u) << "four seconds keep it";
    ageKeptTexts();
    EXPECT_TRUE(overheadTextKeeper().records().empty()) << "the fifth drops it";

    struct Restored : OverheadTextViews {
        void restore(StaticObject&, const OverheadTextRecord& record) override
        {
            text = record.narrowText;
            start = record.startTime;
        }
        std::string text;
        int32_t start = 0;
    } views;
    ScopedWorldService<OverheadTextViews> guard(views);
    overheadTextKeeper().keep(text);
    ageKeptTexts();
    dropItem(kManagedItem, 1001, 1001);
    EXPECT_EQ(views.text, "hello");
    EXPECT_EQ(views.start, 77) << "with the times it had";
    EXPECT_TRUE(overheadTextKeeper().records().empty());
}

TEST_F(ObjectManagerTest, ThePlayerTakesTheAnnouncedSerialAndNoOtherObjectKeepsIt)
{
    dropItem(0x40000777, 1001, 1001);
    setPlayerSerial(0x40000777);
    refreshPlayerObjectSerial();
    EXPECT_EQ(player()->serial, 0x40000777u);
    EXPECT_EQ(findObjectBySerial(0x40000777), player());
    EXPECT_EQ(checkWorldInvariants(), "");
}

} // namespace
} // namespace test
