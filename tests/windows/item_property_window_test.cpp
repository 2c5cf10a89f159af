#include "windows/windows_test_support.h"

#include "data/settings_registry.h"
#include "fixtures/sample_window_art.h"
#include "gump/desktop_file.h"
#include "gump/desktop_records.h"
#include "gump/gump_services.h"
#include "gump/html_view.h"
#include "gump/property_cache.h"
#include "windows/item_property_gump.h"
#include "windows/text_window_services.h"
#include "world/item.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPropsItem = 0x40000A01;

class ListsSession final : public GameSession {
public:
    bool isInWorld() override { return true; }
    bool hasObjectPropertyLists() override { return listsOn; }
    bool listsOn = true;
};

class PropertyWindows : public windows_test::WindowDesktop {
protected:
    PropertyWindows()
    {
        fillWorld();
        itemPropertyState() = ItemPropertyState {};
        settings().setBoolSetting(u"ItemPropsIcon", 1);
        addItem(kPropsItem, fixture::kSampleBoardsGraphic, player()->x + 1, player()->y);
        propertyListAddEntry(kPropsItem, 1, kStackNameMessage, u"2\tboards");
        propertyListAddEntry(kPropsItem, 1, 1060639, u"10\t20");
        pointer.x = 320;
        pointer.y = 200;
    }
    ~PropertyWindows() override
    {
        while (CGump* window = findItemPropertyGump())
            closeGump(window);
        propertyListDrop(kPropsItem);
    }
    void useMode(int32_t mode)
    {
        setItemPropsMode(mode, false);
        ensureItemPropertyWindow();
    }
    void frame(uint32_t milliseconds)
    {
        clock.advance(milliseconds);
        service<ItemProperties>().tickItemProperties();
    }
    static ItemPropertyGump* window() { return findItemPropertyGump(); }
    static bool expanded() { return window() && !window()->isMinimised(); }

    ListsSession session;
    ScopedService<GameSession> scopedSession { session };
    TextWindowServices textServices;
    ItemProperties& properties = service<ItemProperties>();
};

TEST_F(PropertyWindows, FollowMouseWaits400MsThenShowsBelowLeftOfThePointer)
{
    useMode(item_props::kFollowMouse);
    properties.showItemProperties(kPropsItem, false, true);
    frame(399);
    EXPECT_FALSE(expanded()) << "not before 400 ms";
    frame(1);
    ASSERT_TRUE(expanded());
    EXPECT_EQ(window()->x(), 320 - window()->width() - 10);
    EXPECT_EQ(window()->y(), 210);
    EXPECT_TRUE(window()->titleView()->isVisible());
    EXPECT_NE(window()->icon(), nullptr) << "the icon holds the window's place";

    properties.hideItemProperties();
    EXPECT_FALSE(expanded());
    EXPECT_EQ(window()->icon(), nullptr);
    EXPECT_EQ(itemPropertyState().currentSerial, 0u);
}

TEST_F(PropertyWindows, LeavingBeforeTheDelayShowsNothing)
{
    useMode(item_props::kAtIcon);
    properties.showItemProperties(kPropsItem, false, true);
    frame(300);
    properties.hideItemProperties();
    frame(500);
    EXPECT_FALSE(expanded());
}

TEST_F(PropertyWindows, TheDelayRunsAcrossTheTickCountsWrap)
{
    clock.advance(0u - clock.tickMs() - 100);
    useMode(item_props::kFollowMouse);
    properties.showItemProperties(kPropsItem, false, true);
    frame(200);
    EXPECT_FALSE(expanded());
    frame(200);
    EXPECT_TRUE(expanded());
}

TEST_F(PropertyWindows, SingleClickShowsBesideThePressAndStaysForItsLines)
{
    useMode(item_props::kSingleClick);
    properties.showItemProperties(kPropsItem, false, true);
    frame(1000);
    EXPECT_FALSE(expanded()) << "hovering shows nothing";

    pointer.pressX = 600;
    pointer.pressY = 460;
    properties.showItemProperties(kPropsItem, true, true);
    ASSERT_TRUE(expanded());
    // Too low for below the press: it stands above it.
    EXPECT_EQ(window()->x(), 600 - window()->width() - 10);
    EXPECT_EQ(window()->y(), 460 - window()->height());

    const uint32_t shownFor = item_props::kClickShowMs + item_props::kClickShowPerLineMs * 2;
    properties.hideItemProperties();
    frame(shownFor - 1);
    EXPECT_TRUE(expanded()) << "the pointer left, the list stays";
    frame(1);
    EXPECT_FALSE(expanded());
}

TEST_F(PropertyWindows, ThePlacementFlipsRightAtTheLeftEdge)
{
    useMode(item_props::kFollowMouse);
    pointer.x = 5;
    pointer.y = 30;
    properties.showItemProperties(kPropsItem, false, true);
    frame(400);
    ASSERT_TRUE(expanded());
    EXPECT_EQ(window()->x(), 15);
    EXPECT_EQ(window()->y(), 40);
}

TEST_F(PropertyWindows, AlwaysUpIsAtLeast278By144AndARightClickCollapsesItToFollowMouse)
{
    useMode(item_props::kAlwaysUp);
    ASSERT_TRUE(expanded());
    EXPECT_GE(window()->width(), 278);
    EXPECT_GE(window()->height(), 144);
    EXPECT_EQ(window()->bodyText(), u"No Data") << "no object yet";
    EXPECT_TRUE(window()->collapseButton()->isVisible());

    properties.showItemProperties(kPropsItem, false, true);
    EXPECT_EQ(itemPropertyState().currentSerial, kPropsItem) << "at once in this mode";
    properties.hideItemProperties();
    EXPECT_TRUE(expanded()) << "it keeps showing the last object";

    int32_t x = 5, y = 5;
    window()->localToScreen(x, y);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_FALSE(expanded());
    EXPECT_EQ(itemPropsMode(), item_props::kFollowMouse);
    EXPECT_EQ(settings().getStringSetting(u"ItemPropsMode"), "Follow Mouse");
}

TEST_F(PropertyWindows, DoubleClickingTheIconCyclesSingleClickToAtIcon)
{
    useMode(item_props::kSingleClick);
    ItemPropertyGump* shown = window();
    ASSERT_TRUE(shown->isMinimised());
    shown->moveTo(100, 100, true, nullptr, false);
    for (int32_t i = 0; i < 2; ++i) {
        pressLeft(105, 105);
        releaseLeft(105, 105);
    }
    EXPECT_EQ(itemPropsMode(), item_props::kAtIcon);
    EXPECT_EQ(settings().getStringSetting(u"ItemPropsMode"), "At Icon");
}

TEST_F(PropertyWindows, AListArrivingWhileMinimisedDoesNotOpenIt)
{
    useMode(item_props::kFollowMouse);
    itemPropertyState().currentSerial = kPropsItem;
    service<PropertyListWindows>().propertyListArrived(kPropsItem);
    EXPECT_FALSE(expanded());
}

TEST_F(PropertyWindows, WithoutPropertyListsNothingIsEverVisible)
{
    session.listsOn = false;
    for (int32_t mode = 0; mode < item_props::kModeCount; ++mode) {
        useMode(mode);
        properties.showItemProperties(kPropsItem, mode == item_props::kSingleClick, true);
        frame(500);
        ASSERT_NE(window(), nullptr);
        EXPECT_FALSE(window()->isVisible()) << mode;
        EXPECT_FALSE(expanded()) << mode;
    }
}

TEST_F(PropertyWindows, TheDesktopRecordPlacesTheWindowMadeOnEnteringAndIsWrittenBack)
{
    useMode(item_props::kFollowMouse);
    closeGump(window());
    DesktopEntry entry;
    entry.type = DesktopRecordType::kItemProperties;
    entry.x = 0x10000 + 300;
    entry.y = 250;
    ASSERT_TRUE(desktopRead(joinDesktopFile(player()->serial, { encodeDesktopRecord(entry) })));
    EXPECT_EQ(itemPropertyState().savedX, 300) << "the low 16 bits";
    ensureItemPropertyWindow();
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->x(), 300);
    EXPECT_EQ(window()->y(), 250);

    window()->moveTo(40, 50, true, nullptr, false);
    DesktopFileImage image;
    ASSERT_TRUE(splitDesktopFile(desktopLayoutBytes(), image));
    int32_t written = 0;
    for (const DesktopRecord& record : image.records) {
        DesktopEntry read;
        if (record.type != DesktopRecordType::kItemProperties || !decodeDesktopRecord(record, read))
            continue;
        ++written;
        EXPECT_EQ(read.x, 40);
        EXPECT_EQ(read.y, 50);
    }
    EXPECT_EQ(written, 1);
}

struct TitleColourCase {
    uint16_t hue;
    uint16_t colour;
};

class TitleColours : public testing::TestWithParam<TitleColourCase> { };

TEST_P(TitleColours, FollowTheNotorietyHue) { EXPECT_EQ(itemPropsTitleColour(GetParam().hue), GetParam().colour); }

INSTANTIATE_TEST_SUITE_P(Notoriety, TitleColours,
    testing::Values(TitleColourCase { 89, 0x03FF }, TitleColourCase { 63, 0x03E0 }, TitleColourCase { 946, 0x5AD6 },
        TitleColourCase { 144, 0x7DE0 }, TitleColourCase { 34, 0x5C00 }, TitleColourCase { 53, 0x7FE0 },
        TitleColourCase { 0, 0x7FE0 }),
    [](const testing::TestParamInfo<TitleColourCase>& param) { return "Hue" + std::to_string(param.param.hue); });

} // namespace
