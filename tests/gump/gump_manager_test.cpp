// The gump manager: modal gating, pass-through, focus, the tooltip's delay
// and placement, tooltip texts by id, the close-all commands, master maps.
#include "gump_test_support.h"

#include "core/wide_string.h"
#include "fixtures/language_files.h"
#include "text/localization.h"
#include "text/string_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gump_test::Desktop;
using gump_test::fakeObject;
using gump_test::PageGump;

PageGump* addTopGump(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t colour = 0x0111)
{
    auto* gump = new PageGump(x, y, width, height, colour);
    gumpLink(gump, nullptr);
    return gump;
}

using GumpManagerTest = Desktop;

TEST_F(GumpManagerTest, AModalGumpIsTheOnlyOneHitTestsSee)
{
    PageGump* window = addTopGump(0, 0, 100, 100);
    PageGump* box = addTopGump(200, 200, 50, 50);
    window->bringToFront(false);
    gumpSetModal(box);
    EXPECT_EQ(gumpHitTest(10, 10, nullptr, true), nullptr) << "another gump's pixels hit nothing";
    EXPECT_EQ(gumpHitTest(210, 210, nullptr, true), box);
    closeGump(box);
    EXPECT_EQ(gumpModal(), nullptr);
    EXPECT_EQ(gumpHitTest(10, 10, nullptr, true), window);
}

TEST_F(GumpManagerTest, OverheadTextOverAnItemLetsThePressThroughButNotOverAMobile)
{
    struct Bark : PageGump {
        explicit Bark(WorldObject* owner)
            : PageGump(10, 10, 20, 10, 0x0222)
        {
            addKind(GumpKind::OverheadText);
            setOwner(owner);
        }
    };
    PageGump* view = addTopGump(0, 0, 200, 200);
    WorldObject* item = fakeObject(1);
    WorldObject* mobile = fakeObject(2);
    world.mobiles.insert(mobile);
    auto* overItem = new Bark(item);
    gumpLink(overItem, nullptr);
    EXPECT_EQ(gumpHitTest(15, 15, nullptr, true), view) << "the press passes through";
    EXPECT_EQ(gumpHitTest(15, 15, nullptr, false), overItem) << "the hover sees the text";
    closeGump(overItem);
    auto* overMobile = new Bark(mobile);
    gumpLink(overMobile, nullptr);
    EXPECT_EQ(gumpHitTest(15, 15, nullptr, true), overMobile);
    EXPECT_TRUE(gumpIsSpecialOwner(overMobile));
}

TEST_F(GumpManagerTest, FocusMovesWithItsLostActionAndADeletingParentSkipsIt)
{
    PageGump* first = addTopGump(0, 0, 10, 10);
    PageGump* second = addTopGump(0, 0, 10, 10);
    gumpSetFocus(first);
    gumpSetFocus(first);
    EXPECT_EQ(first->focusLost, 0);
    gumpSetFocus(second);
    EXPECT_EQ(first->focusLost, 1);
    EXPECT_EQ(gumpFocus(), second);
    gumpReleaseFocus();
    EXPECT_EQ(second->focusLost, 1);
    EXPECT_EQ(gumpFocus(), nullptr);
}

class TestTooltips final : public TooltipWindow {
public:
    CGump* createTooltip(int32_t x, int32_t y, const WString& text) override
    {
        texts.push_back(text.c_str() ? text.c_str() : u"");
        return new PageGump(x, y, 60, 20, 0x7FFF);
    }
    std::vector<std::u16string> texts;
};

class TooltipTest : public Desktop {
protected:
    TooltipTest()
    {
        target = addTopGump(50, 50, 500, 400);
        target->setTooltipId(1234);
        gumpSettings().toolTipPreDelayMs = 500;
    }

    // The text id of the test gump has no table: the text is fed through a
    // gump of its own.
    struct TextGump : PageGump {
        using PageGump::PageGump;
        WString getTooltipText(int32_t, int32_t) override { return WString(u"a tip"); }
    };

    TestTooltips tooltips;
    ScopedService<TooltipWindow> scopedTooltips { tooltips };
    PageGump* target;
};

TEST_F(TooltipTest, AppearsOnlyAfterThePointerRestedForTheDelay)
{
    closeGump(target);
    auto* gump = new TextGump(50, 50, 500, 400, 0x0111);
    gumpLink(gump, nullptr);
    pointer.x = 100;
    pointer.y = 100;
    composeAll(true);
    EXPECT_TRUE(tooltips.texts.empty()) << "first seen now";
    clock.advance(500);
    composeAll(true);
    EXPECT_TRUE(tooltips.texts.empty()) << "not longer than the delay";
    clock.advance(1);
    composeAll(true);
    ASSERT_EQ(tooltips.texts.size(), 1u);
    EXPECT_EQ(tooltips.texts[0], u"a tip");
    EXPECT_EQ(gumpListHead(), gump) << "the tooltip lives for one composition";

    // Another gump restarts the wait.
    PageGump* other = addTopGump(90, 90, 30, 30);
    composeAll(true);
    closeGump(other);
    composeAll(true);
    clock.advance(400);
    composeAll(true);
    EXPECT_EQ(tooltips.texts.size(), 1u);
}

struct PlacementCase {
    const char* name;
    int32_t x;
    int32_t y;
    int32_t cursorWidth;
    int32_t expectedX;
    int32_t expectedY;
};

class TooltipPlacement : public TooltipTest, public testing::WithParamInterface<PlacementCase> { };

TEST_P(TooltipPlacement, SidesFollowTheScreenHalves)
{
    const PlacementCase& c = GetParam();
    closeGump(target);
    gumpLink(new TextGump(0, 0, 640, 480, 0x0111), nullptr);
    // The tooltip is placed before it is drawn and destroyed after the frame:
    // its last position is where it was shown.
    struct Keeper : TooltipWindow {
        CGump* createTooltip(int32_t x, int32_t y, const WString&) override
        {
            auto* made = new PageGump(x, y, 60, 20, 0x7FFF);
            made->onDestroy = [this](PageGump* gone) {
                shownX = gone->x();
                shownY = gone->y();
            };
            return made;
        }
        int32_t shownX = -1;
        int32_t shownY = -1;
    } keeper;
    ScopedService<TooltipWindow> scoped(keeper);
    pointer.x = c.x;
    pointer.y = c.y;
    pointer.cursorWidth = c.cursorWidth;
    composeAll(true);
    clock.advance(600);
    composeAll(true);
    EXPECT_EQ(keeper.shownX, c.expectedX);
    EXPECT_EQ(keeper.shownY, c.expectedY);
}

INSTANTIATE_TEST_SUITE_P(Cases, TooltipPlacement,
    testing::Values(PlacementCase { "RightHalfGoesLeft", 400, 100, 12, 340, 100 },
        PlacementCase { "LeftHalfGoesRightByTheCursor", 100, 100, 12, 112, 100 },
        PlacementCase { "WideCursorStaysAtThePointer", 100, 100, 300, 100, 100 },
        PlacementCase { "LowerHalfGoesAbove", 100, 300, 12, 112, 280 }),
    [](const testing::TestParamInfo<PlacementCase>& param) { return std::string(param.param.name); });

class TooltipTables : public Desktop {
protected:
    TooltipTables()
    {
        setLanguageCode("enu");
        freeStringFiles();
        client.write("gt_5400.enu",
            fixture::StringFileWriter("enu", 1, "gt_5400", 6)
                .texts({ u"a0", u"a1", u"a2", u"a3", u"a4", u"five" })
                .image());
        client.write("gt_0000.enu", fixture::StringFileWriter("enu", 1, "gt_0000", 3).texts({ u"z0", u"z1", u"z2" }).image());
        client.write("tooltips.enu",
            fixture::StringFileWriter("enu", 1, "tooltips", 4).texts({ u"t0", u"t1", u"t2", u"three" }).image());
    }
    ~TooltipTables() override { freeStringFiles(); }

    std::u16string text(int32_t id)
    {
        const WString* found = gumpTooltipText(id);
        return found ? std::u16string(found->c_str()) : u"<none>";
    }
};

TEST_F(TooltipTables, IdsAreRoutedByRangeThenToTheTooltipTable)
{
    EXPECT_EQ(text(5405), u"five");
    EXPECT_EQ(text(5406), u"<none>") << "past gt_5400 and every smaller table";
    EXPECT_EQ(text(2), u"z2");
    EXPECT_EQ(text(100003), u"three") << "gt_0000 is shorter than the id";
    EXPECT_EQ(text(100004), u"<none>");
    EXPECT_EQ(text(-5), u"<none>");

    auto* gump = new CGump(0, 0, nullptr, 0, 10, 10);
    gumpLink(gump, nullptr);
    gump->setArtId(5405);
    EXPECT_EQ(std::u16string(gump->getTooltipText(0, 0).c_str()), u"five") << "the art id stands in for no id";
    gump->setTooltipId(2);
    EXPECT_EQ(std::u16string(gump->getTooltipText(0, 0).c_str()), u"z2");
}

TEST_F(GumpManagerTest, CloseAllCommandsKeepWhatTheyMustKeep)
{
    auto make = [](GumpKind kind, bool closable = true) {
        PageGump* gump = addTopGump(0, 0, 5, 5);
        gump->addKind(kind);
        gump->closable = closable;
        return GumpHandle(gump);
    };
    GumpHandle container = make(GumpKind::ContainerGump);
    GumpHandle paperdoll = make(GumpKind::Paperdoll);
    GumpHandle radar = make(GumpKind::Radar);
    GumpHandle bark = make(GumpKind::OverheadText, false);
    GumpHandle view = make(GumpKind::WorldView, false);
    GumpHandle plain = make(GumpKind::Sign);

    gumpCloseWorldGumps();
    EXPECT_FALSE(container);
    EXPECT_FALSE(paperdoll);
    EXPECT_TRUE(radar);
    EXPECT_TRUE(plain);

    gumpCloseAllClosable();
    EXPECT_TRUE(radar) << "the radar stays when the death screen closes windows";
    EXPECT_FALSE(plain);
    EXPECT_TRUE(bark);

    gumpCloseAllClosableKinds();
    EXPECT_FALSE(radar);
    EXPECT_TRUE(bark);

    gumpCloseAllButPersistent();
    EXPECT_FALSE(bark);
    EXPECT_TRUE(view);
}

TEST_F(GumpManagerTest, TimedGumpsExpireWithUnsignedTime)
{
    struct Timed : PageGump {
        Timed(uint32_t startTime, uint32_t lifetimeMs)
            : PageGump(0, 0, 5, 5, 0x0111)
            , start(startTime)
            , lifetime(lifetimeMs)
        {
            addKind(GumpKind::OverheadText);
        }
        bool hasExpired(uint32_t now) override { return now - start > lifetime; }
        uint32_t start;
        uint32_t lifetime;
    };
    clock.setTick(0xFFFFFF00u);
    auto* text = new Timed(clock.tickMs(), 1000);
    gumpLink(text, nullptr);
    GumpHandle handle(text);
    clock.advance(1000);
    gumpManagerUpdate();
    EXPECT_TRUE(handle) << "across the wrap, exactly the lifetime";
    clock.advance(1);
    gumpManagerUpdate();
    EXPECT_FALSE(handle);
}

TEST_F(GumpManagerTest, MasterMapsShareAPositionPerFamily)
{
    EXPECT_EQ(masterGumpPosition(77).x, -1);
    masterGumpSet(77, 5);
    masterGumpSet(78, 5);
    masterGumpStorePosition(77, 120, 34);
    MasterPosition shared = masterGumpPosition(78);
    EXPECT_EQ(shared.x, 120);
    EXPECT_EQ(shared.y, 34);
    EXPECT_EQ(shared.spare, -1);
    masterGumpStorePosition(90, 1, 2);
    EXPECT_EQ(masterGumpPosition(90).x, 1) << "a type id without a master is its own";
    masterGumpMapsClear();
    EXPECT_EQ(masterGumpPosition(78).x, -1);
}

TEST_F(GumpManagerTest, TheGameViewStaysInsideTheScreen)
{
    GumpScreen screen;
    screen.width = 800;
    screen.height = 600;
    int32_t x = -5;
    int32_t y = 300;
    EXPECT_TRUE(clampGameViewOffset(x, y, screen));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 120);
    EXPECT_FALSE(clampGameViewOffset(x, y, screen));
}

class CrowdWorld final : public gump_test::TestWorld {
public:
    std::vector<NameCandidate> nameCandidates(const ScreenRect&) override
    {
        std::vector<NameCandidate> crowd;
        for (uint32_t serial = 1; serial <= 150; ++serial)
            crowd.push_back({ serial, { int32_t(serial), 100, int32_t(serial) + 20, 140 } });
        return crowd;
    }
};

class Plates final : public NamePlates {
public:
    CGump* createNamePlate(uint32_t) override
    {
        auto* plate = new PageGump(0, 0, 30, 10, 0x0444);
        plate->addKind(GumpKind::NamePlate);
        return plate;
    }
};

TEST_F(GumpManagerTest, AllNamesShowsAtMostAHundredPlatesUntilCtrlOrShiftIsLetGo)
{
    CrowdWorld crowd;
    ScopedService<GumpWorld> scopedCrowd(crowd);
    Plates plates;
    ScopedService<NamePlates> scopedPlates(plates);
    showAllNames(true);
    int32_t count = 0;
    for (CGump* gump = gumpListHead(); gump; gump = gump->next())
        ++count;
    EXPECT_EQ(count, kMaxNamePlates);
    CGump* plate = allNamesFind(7);
    ASSERT_NE(plate, nullptr);
    EXPECT_EQ(plate->x(), (7 + 27) / 2 - 15) << "centred above the object";
    EXPECT_EQ(plate->y(), 90);
    EXPECT_EQ(allNamesFind(101), nullptr);

    pointer.control = true;
    pointer.shift = true;
    gumpManagerUpdate();
    EXPECT_NE(allNamesFind(7), nullptr) << "both still held";
    pointer.shift = false;
    gumpManagerUpdate();
    EXPECT_EQ(allNamesFind(7), nullptr);
    EXPECT_EQ(gumpListHead(), nullptr);
}

} // namespace
