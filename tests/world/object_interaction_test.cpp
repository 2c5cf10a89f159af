#include "world_fixture.h"

#include "world/static_object.h"

#include <string>

namespace test {
namespace {

constexpr uint32_t kItem = 0x40000401;

struct RecordingDragViews final : DragViews {
    void openAmountWindow(Item& item) override { amountWindows.push_back(item.serial); }
    void createDragWindow(const DragState& drag) override { dragWindows.push_back(drag.serial); }
    void forgetObjectUnderPointer() override { ++forgotten; }
    std::vector<uint32_t> amountWindows;
    std::vector<uint32_t> dragWindows;
    int32_t forgotten = 0;
};

struct RecordingCommands final : TargetedCommands {
    void beginTargetedCommand(std::string_view name, int32_t type, uint32_t serial) override
    {
        commands.push_back({ std::string(name), type, serial });
    }
    struct Command {
        std::string name;
        int32_t type;
        uint32_t serial;
        bool operator==(const Command&) const = default;
    };
    std::vector<Command> commands;
};

class InteractionTest : public WorldTest {
protected:
    RecordingDragViews dragViews;
    ScopedWorldService<DragViews> dragGuard { dragViews };
    RecordingCommands commands;
    ScopedWorldService<TargetedCommands> commandGuard { commands };
};

TEST_F(InteractionTest, ReachIsThreeCellsWithAClearLine)
{
    Item* near = dropItem(kItem, kCentreX + 3, kCentreY);
    Item* far = dropItem(kItem + 1, kCentreX + 4, kCentreY);
    ASSERT_TRUE(near && far);
    EXPECT_TRUE(isObjectReachable(*near));
    EXPECT_FALSE(isObjectReachable(*far));

    // A wall between them blocks the line.
    StaticObject* wall = allocStatic(kWallGraphic);
    wall->enterWorldAt(kCentreX + 2, kCentreY, 0);
    EXPECT_FALSE(isObjectReachable(*near));
    // A low floor does not.
    wall->destroy();
    StaticObject* floor = allocStatic(kFlatGraphic);
    floor->enterWorldAt(kCentreX + 2, kCentreY, 0);
    EXPECT_TRUE(isObjectReachable(*near));
    floor->destroy();
}

TEST_F(InteractionTest, AnItemInTheBackpackIsTestedAtTheWearersCell)
{
    ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kItem, kBackpackGraphic, Mobile::kBackpackLayer, 0));
    ASSERT_TRUE(addItemToContainer(kItem + 1, kPlainGraphic, 0, 1, 140, 90, kItem, 0));
    EXPECT_TRUE(isObjectReachable(*findItemBySerial(kItem + 1)));
}

TEST_F(InteractionTest, UseSendsTheUseRequest)
{
    Item* item = dropItem(kItem, kCentreX + 1, kCentreY);
    useObject(*item);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], (Bytes { 0x06, 0x40, 0x00, 0x04, 0x01 }));
    EXPECT_EQ(lastUsedObject().serial, kItem);
    EXPECT_EQ(lastUsedObject().graphic, kPlainGraphic);

    StaticObject* statue = allocStatic(kHeavyGraphic);
    statue->enterWorldAt(kCentreX + 1, kCentreY + 1, 0);
    useObject(*statue);
    EXPECT_EQ(sink.packets.size(), 1u) << "statics are not used";
    statue->destroy();
}

struct ScrollCase {
    const char* name;
    uint16_t graphic;
    int32_t type;
};

class ScrollTable : public InteractionTest, public testing::WithParamInterface<ScrollCase> { };

TEST_P(ScrollTable, ScrollsStartATargetedCommandInsteadOfBeingUsed)
{
    const ScrollCase& c = GetParam();
    Item* scroll = dropItem(kItem, kCentreX + 1, kCentreY, c.graphic);
    useObject(*scroll);
    EXPECT_TRUE(sink.packets.empty());
    ASSERT_EQ(commands.commands.size(), 1u);
    EXPECT_EQ(commands.commands[0], (RecordingCommands::Command { "scroll", c.type, kItem }));
}

INSTANTIATE_TEST_SUITE_P(Scrolls, ScrollTable,
    testing::Values(ScrollCase { "NoTarget3829", 3829, 0 }, ScrollCase { "NoTarget3830", 3830, 0 },
        ScrollCase { "NoTarget3833", 3833, 0 }, ScrollCase { "Location3827", 3827, 1 },
        ScrollCase { "Location3828", 3828, 1 }, ScrollCase { "Object899", 899, 2 },
        ScrollCase { "Object3831", 3831, 2 }, ScrollCase { "Object3832", 3832, 2 }),
    [](const testing::TestParamInfo<ScrollCase>& param) { return std::string(param.param.name); });

TEST_F(InteractionTest, UsingAMapClosesItsWindowWhenOneIsOpen)
{
    struct Maps final : MapWindows {
        bool isOpenFor(const MapItem&) override { return open; }
        void closeFor(MapItem&) override { ++closed; }
        bool open = true;
        int32_t closed = 0;
    } maps;
    ScopedWorldService<MapWindows> guard(maps);
    Item* map = dropItem(kItem, kCentreX + 1, kCentreY, kMapGraphic);
    ASSERT_TRUE(map && map->isMap());
    useObject(*map);
    EXPECT_EQ(maps.closed, 1);
    EXPECT_TRUE(sink.packets.empty());
    maps.open = false;
    useObject(*map);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0][0], 0x06);
}

TEST_F(InteractionTest, AStackAsksForTheAmountUnlessShiftIsHeld)
{
    Item* stack = dropItem(kItem, kCentreX + 1, kCentreY, kStackGraphic, 10);
    pickUpItem(*stack, 0);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_EQ(dragViews.amountWindows, std::vector<uint32_t> { kItem });
    ASSERT_EQ(findItemBySerial(kItem), stack) << "still there";

    setShiftKeyHeld(true);
    pickUpItem(*stack, 0);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], (Bytes { 0x07, 0x40, 0x00, 0x04, 0x01, 0x00, 0x0A }));
    EXPECT_EQ(findItemBySerial(kItem), nullptr) << "it leaves the world until the server places it";
    EXPECT_TRUE(dragState().dragging);
    EXPECT_EQ(dragState().amount, 10);
    EXPECT_EQ(dragViews.dragWindows, std::vector<uint32_t> { kItem });
    EXPECT_EQ(dragViews.forgotten, 1);
}

TEST_F(InteractionTest, PartOfAStackCarriesTheAmountGiven)
{
    Item* stack = dropItem(kItem, kCentreX + 1, kCentreY, kStackGraphic, 10);
    pickUpItem(*stack, 4);
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], (Bytes { 0x07, 0x40, 0x00, 0x04, 0x01, 0x00, 0x04 }));
}

TEST_F(InteractionTest, NothingHappensOutOfReach)
{
    Item* far = dropItem(kItem, kCentreX + 5, kCentreY);
    pickUpItem(*far, 1);
    EXPECT_TRUE(sink.packets.empty());
    EXPECT_EQ(findItemBySerial(kItem), far);
}

TEST_F(InteractionTest, AWornItemRemembersItsLayerAndARefusalPutsItBack)
{
    ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kItem, kPlainGraphic, 7, 0x21));
    pickUpItem(*findItemBySerial(kItem), 1);
    EXPECT_EQ(dragState().wearerSerial, kPlayerSerial);
    EXPECT_EQ(dragState().layer, 7);
    EXPECT_EQ(dragState().containerSerial, 0u);
    ASSERT_TRUE(restoreDraggedItem());
    Item* back = findItemBySerial(kItem);
    ASSERT_TRUE(back);
    EXPECT_EQ(player()->layerItem(7), back);
    EXPECT_EQ(back->hue, 0x21);
    EXPECT_FALSE(dragState().dragging);
    EXPECT_FALSE(restoreDraggedItem()) << "once";
}

TEST_F(InteractionTest, ARefusedItemGoesBackIntoItsContainerOrOntoTheGround)
{
    ASSERT_TRUE(addItemToContainer(kItem, kPlainGraphic, 0, 1, 33, 44, kPlayerSerial, 0));
    pickUpItem(*findItemBySerial(kItem), 1);
    EXPECT_EQ(dragState().containerSerial, kPlayerSerial) << "a mobile's contents are not its layers";
    EXPECT_EQ(dragState().wearerSerial, 0u);
    ASSERT_TRUE(restoreDraggedItem());
    Item* back = findItemBySerial(kItem);
    EXPECT_EQ(back->container(), player());
    EXPECT_EQ(back->x, 33);
    EXPECT_EQ(back->y, 44);

    Item* ground = dropItem(kItem + 1, kCentreX + 1, kCentreY + 2);
    pickUpItem(*ground, 1);
    ASSERT_TRUE(restoreDraggedItem());
    ground = findItemBySerial(kItem + 1);
    ASSERT_TRUE(ground && ground->isPlaced());
    EXPECT_EQ(ground->x, kCentreX + 1);
    EXPECT_EQ(ground->y, kCentreY + 2);
    EXPECT_EQ(checkWorldInvariants(), "");
}

// A refused drag comes back as the same kind of object the server's packets
// would have made: a spellbook stays a spellbook, in a pack or worn.
TEST_F(InteractionTest, ARefusedSpellbookComesBackAsASpellbook)
{
    ASSERT_TRUE(addItemToContainer(kItem, kSpellbookGraphic, 0, 1, 20, 30, kPlayerSerial, 0));
    ASSERT_TRUE(findItemBySerial(kItem)->isSpellbook());
    pickUpItem(*findItemBySerial(kItem), 1);
    ASSERT_TRUE(restoreDraggedItem());
    Item* back = findItemBySerial(kItem);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isSpellbook());
    EXPECT_EQ(back->container(), player());

    ASSERT_TRUE(equipItemOnMobile(kPlayerSerial, kItem + 1, kSpellbookGraphic, 1, 0));
    ASSERT_TRUE(findItemBySerial(kItem + 1)->isSpellbook());
    pickUpItem(*findItemBySerial(kItem + 1), 1);
    ASSERT_TRUE(restoreDraggedItem());
    back = findItemBySerial(kItem + 1);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isSpellbook());
    EXPECT_EQ(player()->layerItem(1), back);
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(InteractionTest, ARefusalAfterTheContainerWasDeletedPutsNothingAnywhere)
{
    onObjectPacket(kItem + 10, kBackpackGraphic, 0, 1, kCentreX + 1, kCentreY, 0, 0, 0, 0);
    ASSERT_TRUE(addItemToContainer(kItem, kPlainGraphic, 0, 1, 5, 5, kItem + 10, 0));
    pickUpItem(*findItemBySerial(kItem), 1);
    ASSERT_TRUE(deleteObjectBySerial(kItem + 10));
    EXPECT_FALSE(restoreDraggedItem());
    EXPECT_EQ(findItemBySerial(kItem), nullptr);
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(InteractionTest, ARefusalForAnItemTheServerSentAgainMakesNoSecondOne)
{
    Item* item = dropItem(kItem, kCentreX + 1, kCentreY);
    pickUpItem(*item, 1);
    dropItem(kItem, kCentreX + 2, kCentreY);
    EXPECT_FALSE(restoreDraggedItem());
    EXPECT_EQ(checkWorldInvariants(), "");
}

TEST_F(InteractionTest, ClickingAStaticShowsItsNameAndAnItemOnlyMarksTheJournal)
{
    struct Messages final : WorldMessages {
        void prefixNextNameWithYouSee() override { ++prefixes; }
        void showStaticName(StaticObject&, std::u16string_view, uint16_t hue, uint16_t font) override
        {
            shown.push_back({ hue, font });
        }
        int32_t prefixes = 0;
        std::vector<std::pair<uint16_t, uint16_t>> shown;
    } messages;
    ScopedWorldService<WorldMessages> guard(messages);
    StaticObject* statue = allocStatic(kHeavyGraphic);
    statue->enterWorldAt(kCentreX + 1, kCentreY + 1, 0);
    labelStatic(*statue);
    EXPECT_EQ(messages.prefixes, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], std::make_pair(uint16_t(995), uint16_t(3)));
    Item* item = dropItem(kItem, kCentreX + 1, kCentreY);
    labelStatic(*item);
    EXPECT_EQ(messages.prefixes, 2);
    EXPECT_EQ(messages.shown.size(), 1u);
    statue->destroy();
}

TEST_F(InteractionTest, ShiftFollowsTheKeyMessages)
{
    setShiftKeyHeld(true);
    EXPECT_TRUE(isShiftKeyHeld());
    setShiftKeyHeld(false);
    EXPECT_FALSE(isShiftKeyHeld());
}

} // namespace
} // namespace test
