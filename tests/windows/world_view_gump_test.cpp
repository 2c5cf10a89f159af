// The world view over the sample world: the click timing of the left
// button, what single and double clicks do, picking up, following, the
// highlights the drawing reads, help requests, and walking with the right
// button and along a searched path.

#include "windows/windows_test_support.h"

#include "data/targeting.h"
#include "text/localization.h"
#include "fixtures/sample_window_art.h"
#include "windows/drag_gump.h"
#include "windows/overhead_text.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/container_item.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/multi_preview.h"
#include "world/object_interaction.h"
#include "world/object_manager.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

constexpr uint32_t kBoards = 0x40000700;

class FakeWalking final : public PlayerWalking {
public:
    void walkByPointer(int32_t direction, int32_t) override { manual.push_back(direction); }
    void walkByKey(int32_t, uint32_t, bool) override { }
    std::vector<PendingStep> pendingSteps() override { return pending; }
    bool isAwaitingResync() override { return false; }
    bool isWalkIdle() override { return true; }
    bool walkPathTo(const PathCell& start, const PathCell& goal, int32_t, int32_t near) override
    {
        searches.push_back({ start, goal, near });
        return near >= reachableWithin;
    }
    struct Search {
        PathCell start;
        PathCell goal;
        int32_t near;
    };
    std::vector<int32_t> manual;
    std::vector<PendingStep> pending;
    std::vector<Search> searches;
    // The nearest a search gets to its goal.
    int32_t reachableWithin = 0;
};

class RecordingQuestions final : public YesNoQuestions {
public:
    void ask(QuestionKind kind, std::string_view text, uint32_t serial) override
    {
        asked.push_back({ kind, std::string(text), serial });
    }
    struct Question {
        QuestionKind kind;
        std::string text;
        uint32_t serial;
    };
    std::vector<Question> asked;
};

class RecordingProperties final : public ItemProperties {
public:
    void hideItemProperties() override { }
    void tickItemProperties() override { }
    void showItemProperties(uint32_t serial, bool, bool) override { shown.push_back(serial); }
    std::vector<uint32_t> shown;
};

class WorldView : public windows_test::WindowDesktop {
protected:
    WorldView()
    {
        view = new WorldViewGump(false);
        view->setVisible(true);
        takePackets();
        notorietyWarnings() = {};
    }
    ~WorldView() override
    {
        targetingState() = TargetingState {};
        notorietyWarnings() = {};
    }

    // The game-area point at the middle of an object's picture.
    static void middleOf(const WorldObject& object, int32_t& x, int32_t& y)
    {
        const WorldScreen& screen = worldScreen();
        x = (object.screenRect.left + object.screenRect.right) / 2 - screen.viewPixelX;
        y = (object.screenRect.top + object.screenRect.bottom) / 2 - screen.viewPixelY;
    }

    // A game-area point where the pointer picks the object (it is topmost
    // there); false when there is none.
    static bool pointOn(WorldObject& object, int32_t& x, int32_t& y)
    {
        const WorldScreen& screen = worldScreen();
        const ScreenRect& r = object.screenRect;
        for (int32_t py = (r.top + r.bottom) / 2; py < r.bottom; ++py) {
            for (int32_t px = r.left; px < r.right; ++px) {
                x = px - screen.viewPixelX;
                y = py - screen.viewPixelY;
                if (worldCellGrid().pickAt(x, y, true) == &object)
                    return true;
            }
        }
        return false;
    }

    Item* boards()
    {
        Item* item = addItem(kBoards, fixture::kSampleBoardsGraphic, player()->x + 2, player()->y);
        middleOf(*item, boardsX, boardsY);
        return item;
    }

    void click(int32_t x, int32_t y)
    {
        pressLeft(x, y);
        releaseLeft(x, y);
    }

    WorldViewGump* view = nullptr;
    int32_t boardsX = 0;
    int32_t boardsY = 0;
    FakeWalking walking;
    ScopedService<PlayerWalking> scopedWalking { walking };
    RecordingQuestions questions;
    ScopedService<YesNoQuestions> scopedQuestions { questions };
    RecordingProperties properties;
    ScopedService<ItemProperties> scopedProperties { properties };
};

TEST_F(WorldView, ASingleClickWaitsOutTheDoubleClickTime)
{
    Item* item = boards();
    ASSERT_EQ(view->containsPoint(boardsX, boardsY), true);
    ASSERT_EQ(worldCellGrid().pickAt(boardsX, boardsY, true), item);
    click(boardsX, boardsY);
    pointAt(boardsX, boardsY);
    EXPECT_TRUE(takePackets().empty()) << "nothing at the release";
    advance(500);
    EXPECT_TRUE(takePackets().empty()) << "not yet at the double-click time";
    advance(1);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "09 40 00 07 00");
}

TEST_F(WorldView, TwoPressesMakeOneDoubleClickAndNoSingleClick)
{
    boards();
    click(boardsX, boardsY);
    advance(200);
    click(boardsX + 2, boardsY + 1);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "06 40 00 07 00");
    advance(1000);
    EXPECT_TRUE(takePackets().empty());
}

TEST_F(WorldView, HoldingPicksUpAndSoDoesAFivePixelMoveButNotFour)
{
    boards();
    pressLeft(boardsX, boardsY);
    pointAt(boardsX + 4, boardsY - 4);
    EXPECT_EQ(dragGump(), nullptr);
    pointAt(boardsX + 4, boardsY + 5);
    ASSERT_NE(dragGump(), nullptr);
    EXPECT_EQ(hexOf(takePackets().at(0)), "07 40 00 07 00 00 01");
    releaseLeft(boardsX + 4, boardsY + 5);
    closeGump(dragGump());
    takePackets();

    // Held past the double-click time without moving.
    boards();
    pressLeft(boardsX, boardsY);
    advance(300);
    EXPECT_EQ(dragGump(), nullptr);
    advance(300);
    ASSERT_NE(dragGump(), nullptr);
    EXPECT_EQ(hexOf(takePackets().at(0)), "07 40 00 07 00 00 01");
}

TEST_F(WorldView, WithATargetCursorTheReleaseTargetsAtOnce)
{
    boards();
    std::vector<std::optional<TargetChoice>> chosen;
    targetingState().targetingActive = true;
    targetingState().callback = [&chosen](const std::optional<TargetChoice>& choice) { chosen.push_back(choice); };
    click(boardsX, boardsY);
    ASSERT_EQ(chosen.size(), 1u);
    ASSERT_TRUE(chosen[0].has_value());
    EXPECT_EQ(chosen[0]->serial, kBoards);
    // An object target never hits land; a location target may.
    chosen.clear();
    advance(600);
    click(20, 20);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_FALSE(chosen[0].has_value());
    targetingState().targetType = kLocationTargetType;
    chosen.clear();
    advance(600);
    click(20, 20);
    ASSERT_EQ(chosen.size(), 1u);
    ASSERT_TRUE(chosen[0].has_value()) << "the land under the point";
    EXPECT_EQ(chosen[0]->kind, TargetKind::Land);
}

TEST_F(WorldView, DoubleClickingTheOwnCharacterAsksForThePaperdoll)
{
    doubleClickObject(player());
    EXPECT_EQ(hexOf(takePackets().at(0)), "06 80 00 12 34");
    equip(player()->serial, 0x40000800, 16016, Mobile::kMountLayer);
    doubleClickObject(player());
    EXPECT_EQ(hexOf(takePackets().at(0)), "06 00 00 12 34") << "mounted: the plain serial";
}

TEST_F(WorldView, DoubleClickingACorpseOpensEveryCorpseOfItsTileAtItsHeight)
{
    const int32_t x = player()->x + 1;
    const int32_t y = player()->y;
    onObjectPacket(0x40000901, Corpse::kCorpseGraphic, 0, 400, x, y, 0, 0, 0, 0);
    onObjectPacket(0x40000902, Corpse::kCorpseGraphic, 0, 400, x, y, 0, 0, 0, 0);
    onObjectPacket(0x40000903, Corpse::kCorpseGraphic, 0, 400, x, y, 1, 0, 0, 0);
    doubleClickObject(findItemBySerial(0x40000902));
    std::vector<std::string> sent;
    for (const Bytes& packet : takePackets())
        sent.push_back(hexOf(packet));
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(sent, std::vector<std::string>({ "06 40 00 09 01", "06 40 00 09 02" }));
}

TEST_F(WorldView, InWarModeADoubleClickAttacksAndAnInnocentIsAskedAbout)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y);
    player()->warMode = 1;
    other->notoriety = 3;
    doubleClickObject(other);
    EXPECT_EQ(hexOf(takePackets().at(0)), "05 00 00 09 01");
    other->notoriety = 1;
    doubleClickObject(other);
    EXPECT_TRUE(takePackets().empty());
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].kind, QuestionKind::Attack);
    EXPECT_EQ(questions.asked[0].text, "This may flag you criminal!");
    EXPECT_EQ(questions.asked[0].serial, 0x00000901u);
    player()->warMode = 0;
    doubleClickObject(other);
    EXPECT_EQ(hexOf(takePackets().at(0)), "06 00 00 09 01") << "in peace the server opens its paperdoll";
}

TEST_F(WorldView, AltClickFollowsAndStopsFollowing)
{
    Mobile* other = addMobile(0x00000901, player()->x + 2, player()->y + 2);
    int32_t selfX = 0, selfY = 0, otherX = 0, otherY = 0;
    ASSERT_TRUE(pointOn(*player(), selfX, selfY));
    ASSERT_TRUE(pointOn(*other, otherX, otherY));
    pointer.alt = true;
    view->singleClick(selfX, selfY);
    ASSERT_NE(newestText(player()), nullptr);
    EXPECT_EQ(newestText(player())->text(), "Not following.");
    view->singleClick(otherX, otherY);
    EXPECT_EQ(newestText(player())->text(), "Now following.");
    EXPECT_EQ(player()->following, 1);
    EXPECT_EQ(player()->followSerial, other->serial);
    EXPECT_EQ(player()->followOffsetX, -2) << "the player's offset from the followed mobile";
    EXPECT_EQ(player()->followOffsetY, -2);
    view->singleClick(selfX, selfY);
    EXPECT_EQ(newestText(player())->text(), "Stopped following.");
    EXPECT_EQ(player()->following, 0);
    // Ctrl with Alt is an ordinary click: the name is asked for.
    pointer.control = true;
    takePackets();
    view->singleClick(otherX, otherY);
    EXPECT_EQ(hexOf(takePackets().at(0)), "09 00 00 09 01");
    EXPECT_EQ(player()->following, 0);
}

// A server's target cursor that may flag the player asks first; the answer
// hands the mobile over (yes) or cancels the target (no).
TEST_F(WorldView, AHarmfulOrBeneficialTargetThatMayFlagThePlayerAsksFirst)
{
    Mobile* other = addMobile(0x00000901, player()->x + 2, player()->y + 2);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(pointOn(*other, x, y));
    std::vector<std::optional<TargetChoice>> chosen;
    auto aim = [&](TargetIntent intent) {
        advance(600);
        targetingState().targetingActive = true;
        targetingState().intent = intent;
        targetingState().callback = [&chosen](const std::optional<TargetChoice>& choice) { chosen.push_back(choice); };
    };
    struct Row {
        TargetIntent intent;
        int32_t notoriety;
        int32_t own;
        bool asks;
    };
    const Row rows[] = {
        { TargetIntent::Harmful, 1, 1, true },
        { TargetIntent::Harmful, 101, 1, true },
        { TargetIntent::Harmful, 3, 1, false },
        { TargetIntent::Harmful, 1, 4, false },
        { TargetIntent::Beneficial, 4, 1, true },
        { TargetIntent::Beneficial, 6, 1, true },
        { TargetIntent::Beneficial, 1, 1, false },
        { TargetIntent::Neutral, 1, 1, false },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.intent) << " on " << row.notoriety << " by " << row.own);
        other->notoriety = row.notoriety;
        player()->notoriety = row.own;
        chosen.clear();
        questions.asked.clear();
        aim(row.intent);
        click(x, y);
        if (!row.asks) {
            ASSERT_EQ(chosen.size(), 1u);
            EXPECT_EQ(chosen[0]->serial, other->serial);
            EXPECT_TRUE(questions.asked.empty());
            continue;
        }
        EXPECT_TRUE(chosen.empty()) << "nothing targeted before the answer";
        ASSERT_EQ(questions.asked.size(), 1u);
        EXPECT_EQ(questions.asked[0].kind, QuestionKind::HarmfulTarget);
        EXPECT_EQ(questions.asked[0].text, "This may flag you criminal!");
        EXPECT_EQ(questions.asked[0].serial, other->serial);
        EXPECT_FALSE(targetingState().targetingActive) << "targeting ends while the question is up";
        EXPECT_EQ(targetingState().intent, TargetIntent::Neutral);
        confirmTargetYes(other->serial);
        ASSERT_EQ(chosen.size(), 1u);
        EXPECT_EQ(chosen[0]->serial, other->serial);
    }
    other->notoriety = 1;
    chosen.clear();
    aim(TargetIntent::Harmful);
    click(x, y);
    takePackets();
    confirmTargetNo();
    EXPECT_TRUE(chosen.empty());
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_FALSE(targetingState().callback) << "the target is cancelled";
    const std::vector<std::vector<uint8_t>> cancel = takePackets();
    ASSERT_EQ(cancel.size(), 1u) << "the server's cursor is answered with a cancel";
    EXPECT_EQ(hexOf(cancel[0]).substr(0, 5), "6C 00");
    EXPECT_EQ(hexOf(cancel[0]).substr(21, 35), "00 00 00 00 FF FF FF FF 00 00 00 00");
}

// Once any mobile's notoriety of 100 or more has been read, the attack
// question speaks of notoriety for the rest of the run.
TEST_F(WorldView, ANotorietyOfAHundredTurnsTheCriminalWarningOff)
{
    Mobile* innocent = addMobile(0x00000901, player()->x + 1, player()->y);
    Mobile* other = addMobile(0x00000902, player()->x + 2, player()->y + 2);
    innocent->notoriety = 1;
    other->notoriety = 101;
    player()->warMode = 1;
    doubleClickObject(innocent);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "This may flag you criminal!");
    int32_t x = 0, y = 0;
    ASSERT_TRUE(pointOn(*other, x, y));
    targetingState().targetingActive = true;
    targetingState().intent = TargetIntent::Harmful;
    targetingState().callback = [](const std::optional<TargetChoice>&) { };
    click(x, y);
    questions.asked.clear();
    advance(600);
    doubleClickObject(innocent);
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "This will lower notoriety !");
}

// A press clears a placement preview the server sent; a preview that stays
// takes the press, and the release then acts at once.
TEST_F(WorldView, APressClearsAServersPlacementPreview)
{
    MultiPreview preview;
    setMultiPreview(&preview);
    boards();
    const uint16_t words[] = { 5, 0, 7, 0, 12, 0, 13, 0, 1, 0 };
    preview.loadFromPacket(1, words, 10, 10, 0);
    ASSERT_TRUE(preview.hasDesign());
    click(boardsX, boardsY);
    EXPECT_FALSE(preview.hasDesign()) << "the press cleared it";
    EXPECT_TRUE(takePackets().empty()) << "an ordinary press: the click waits";
    advance(600);
    EXPECT_EQ(takePackets().size(), 1u);

    preview.setDesign("objlist", { PreviewComponent {} });
    click(boardsX, boardsY);
    EXPECT_TRUE(preview.hasDesign());
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u) << "the release clicked at once";
    EXPECT_EQ(hexOf(sent[0]), "09 40 00 07 00");
    preview.deletePieces();
    setMultiPreview(nullptr);
}

// A mobile is a dynamic object like an item: the hover shows its
// properties, and a double click acts on the mobile pressed first.
TEST_F(WorldView, AMobileIsPressedAndHoveredLikeAnItem)
{
    Mobile* other = addMobile(0x00000901, player()->x + 2, player()->y + 2);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(pointOn(*other, x, y));
    pointAt(x, y);
    EXPECT_EQ(properties.shown, std::vector<uint32_t> { other->serial });
    boards();
    pressLeft(x, y);
    releaseLeft(x, y);
    advance(100);
    pressLeft(x, y);
    other->moveTo(player()->x + 6, player()->y + 6, 0);
    releaseLeft(x, y);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "06 00 00 09 01") << "the mobile of the first press";
}

TEST_F(WorldView, TheLiftableItemUnderThePointerIsHighlighted)
{
    Item* item = boards();
    pointAt(boardsX, boardsY);
    EXPECT_EQ(view->hoveredItem(), item);
    EXPECT_EQ(worldScreen().objectUnderPointer, item);
    pointAt(5, 5);
    EXPECT_EQ(view->hoveredItem(), nullptr);
    // In war mode the mobile under the pointer is.
    Mobile* other = addMobile(0x00000901, player()->x + 2, player()->y + 2);
    player()->warMode = 1;
    int32_t x = 0, y = 0;
    ASSERT_TRUE(pointOn(*other, x, y));
    pointAt(x, y);
    EXPECT_EQ(view->highlightedMobile(), other);
    EXPECT_EQ(worldScreen().objectUnderPointer, other);
    deleteObjectBySerial(other->serial);
    EXPECT_EQ(view->highlightedMobile(), nullptr);
    EXPECT_EQ(worldScreen().objectUnderPointer, nullptr);
}

TEST_F(WorldView, HelpOnAnItemAsksTheServer)
{
    boards();
    setLanguageCode("enu");
    view->objectHelpAt(boardsX, boardsY);
    EXPECT_EQ(hexOf(takePackets().at(0)), "B6 40 00 07 00 00 65 6E 75");
    setLanguageCode("");
}

TEST_F(WorldView, TheRightButtonWalksTowardThePointer)
{
    pressRight(320, 100);
    pointAt(320, 100);
    EXPECT_EQ(walking.manual.size(), 2u) << "one step request per hover tick while held";
    releaseRight(320, 100);
    EXPECT_EQ(capture(), nullptr);
}

TEST_F(WorldView, ADoubleRightClickWalksAPathStartingAfterThePendingSteps)
{
    walking.pending = { { 2, 0, true }, { 2, 0, true }, { 4, 0, false } };
    int32_t x = 0, y = 0;
    middleOf(*player(), x, y);
    pressRight(x + 88, y + 60);
    releaseRight(x + 88, y + 60);
    pressRight(x + 88, y + 60);
    releaseRight(x + 88, y + 60);
    const MapView& centre = mapView();
    ASSERT_EQ(walking.searches.size(), 1u);
    EXPECT_EQ(walking.searches[0].start.x, centre.centreX + 2) << "two moves east; a turn moves nothing";
    EXPECT_EQ(walking.searches[0].start.y, centre.centreY);
    EXPECT_EQ(walking.searches[0].near, 0);
    EXPECT_EQ(newestText(player())->text(), "Pathfinding!");
}

TEST_F(WorldView, APathThatMissesTheCellTriesANeighbourThenGivesUp)
{
    walking.reachableWithin = 1;
    int32_t x = 0, y = 0;
    middleOf(*player(), x, y);
    for (int32_t i = 0; i < 2; ++i) {
        pressRight(x + 88, y + 60);
        releaseRight(x + 88, y + 60);
    }
    ASSERT_EQ(walking.searches.size(), 2u);
    EXPECT_EQ(walking.searches[1].near, 1);
    EXPECT_EQ(newestText(player())->text(), "Pathfinding!");

    walking.searches.clear();
    walking.reachableWithin = 2;
    advance(1000);
    for (int32_t i = 0; i < 2; ++i) {
        pressRight(x + 88, y + 60);
        releaseRight(x + 88, y + 60);
    }
    ASSERT_EQ(walking.searches.size(), 2u);
    EXPECT_EQ(newestText(player())->text(), "Can't get there");
}

} // namespace
