// The game area's edges (their geometry and the drag that moves the game
// area) and the name plates of the all-names overlay.

#include "windows/windows_test_support.h"

#include "data/server_features.h"
#include "fixtures/font_writers.h"
#include "fixtures/sample_window_art.h"
#include "text/unicode_font.h"
#include "windows/game_area_edges.h"
#include "windows/name_plate_gump.h"
#include "windows/window_services.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"

#include <gtest/gtest.h>

namespace {

using windows_test::Bytes;
using windows_test::hexOf;

class RecordingPlacement final : public GameViewPlacement {
public:
    void setGameViewOffset(int32_t x, int32_t y) override { offsets.push_back({ x, y }); }
    std::vector<std::pair<int32_t, int32_t>> offsets;
};

class Edges : public windows_test::WindowDesktop {
protected:
    Edges()
    {
        // A client area larger than the game area.
        GumpScreen screen = gumpScreen();
        screen.width = 800;
        screen.height = 600;
        gumpSetScreen(screen);
        new WorldViewGump(true);
    }
    RecordingPlacement placement;
    ScopedService<GameViewPlacement> scopedPlacement { placement };
};

TEST_F(Edges, FrameTheGameAreaFromOutside)
{
    GameAreaEdgeGump* top = gameAreaEdge(GameAreaEdgeGump::Top);
    GameAreaEdgeGump* bottom = gameAreaEdge(GameAreaEdgeGump::Bottom);
    GameAreaEdgeGump* left = gameAreaEdge(GameAreaEdgeGump::Left);
    GameAreaEdgeGump* right = gameAreaEdge(GameAreaEdgeGump::Right);
    ASSERT_TRUE(top && bottom && left && right);
    // Art 2700 is 64 x 6, art 2701 6 x 64.
    EXPECT_EQ(top->width(), 640 + 2 * 6);
    EXPECT_EQ(top->height(), 6);
    EXPECT_EQ(top->x(), -6);
    EXPECT_EQ(top->y(), -6);
    EXPECT_EQ(bottom->y(), 480);
    EXPECT_EQ(left->x(), -6);
    EXPECT_EQ(left->height(), 480);
    EXPECT_EQ(right->x(), 640);
    EXPECT_TRUE(top->isInGameView());
    EXPECT_FALSE(top->isClosableByCloseAll());
}

TEST_F(Edges, DraggingMovesTheGameAreaKeptInsideTheClientArea)
{
    GameAreaEdgeGump* right = gameAreaEdge(GameAreaEdgeGump::Right);
    // Grab the right edge and pull it 30 pixels right and 10 down.
    right->onLeftDown(2, 100);
    right->onDrag(32, 110);
    EXPECT_EQ(gumpScreen().gameViewX, 30);
    EXPECT_EQ(gumpScreen().gameViewY, 10);
    // Far to the left: the offset stops at 0.
    int32_t x = 2 - gumpScreen().gameViewX;
    right->onDrag(x - 500, 110 - gumpScreen().gameViewY);
    EXPECT_EQ(gumpScreen().gameViewX, 0);
    // Far to the right: the game area ends at the client's right border.
    right->onDrag(2 + 1000, 100);
    EXPECT_EQ(gumpScreen().gameViewX + 640, 800);
    ASSERT_FALSE(placement.offsets.empty());
    EXPECT_EQ(placement.offsets.back().first, 160);
    // A right press takes the grab point again and ends the drag.
    right->onRightDown(2, 100);
    right->onDrag(2 - 200, 100);
    EXPECT_EQ(gumpScreen().gameViewX, 160);
}

TEST(NameFitting, ShortensWithAnEllipsisButKeepsFourCharactersWhole)
{
    std::string face = fixture::UnicodeFontWriter().addTestFace().bytes();
    installUnicodeFont(1, reinterpret_cast<const uint8_t*>(face.data()), face.size());
    selectUnicodeFont(1);
    EXPECT_EQ(fitNameWithEllipsis(u"Bob", 137), u"Bob");
    EXPECT_EQ(fitNameWithEllipsis(u"ABCD", 1), u"ABCD");
    EXPECT_EQ(fitNameWithEllipsis(u"ABCDEFGH", 1), u"A...");
    const std::u16string fitted = fitNameWithEllipsis(u"Alexander the Magnificent of Vardun", 100);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), u"...");
    int32_t width = 0, height = 0, zero = 0;
    measureUnicodeText(fitted.c_str(), width, height, zero);
    EXPECT_LE(width, 100);
    unloadUnicodeFonts();
}

class NamePlates : public windows_test::WindowDesktop {
protected:
    NamePlates()
    {
        view = new WorldViewGump(false);
        view->setVisible(true);
    }
    NamePlateGump* plateOver(WorldObject& object)
    {
        auto* plate = new NamePlateGump(object);
        gumpLink(plate, nullptr);
        plate->followMobile();
        return isValidGump(plate) ? plate : nullptr;
    }
    WorldViewGump* view = nullptr;
};

TEST_F(NamePlates, AMobilesPlateAsksForItsNameAndDrawsTheAnswer)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    takePackets();
    NamePlateGump* plate = plateOver(*other);
    ASSERT_NE(plate, nullptr);
    EXPECT_EQ(hexOf(takePackets().at(0)), "98 00 07 00 00 09 01");
    EXPECT_EQ(plate->width(), 142);
    EXPECT_EQ(plate->height(), 20);
    const GumpPage* face = plate->page(0);
    std::vector<uint16_t> before = face->pixels;
    gumpManager().allNames[other->serial] = plate;
    showMobileNameOnPlate(other->serial, "Bob");
    EXPECT_NE(face->pixels, before) << "the name is drawn";
    bool white = false;
    for (uint16_t p : face->pixels)
        white |= p == NamePlateGump::kNameColour;
    EXPECT_TRUE(white);
}

TEST_F(NamePlates, AClickAsksForTheContextMenuNotTheName)
{
    storeCharacterListFlags(1u << 3);
    Item* boards = addItem(0x40000700, fixture::kSampleBoardsGraphic, player()->x + 2, player()->y);
    NamePlateGump* plate = plateOver(*boards);
    ASSERT_NE(plate, nullptr);
    takePackets();
    const int32_t x = plate->x() + 70;
    const int32_t y = plate->y() + 10;
    pressLeft(x, y);
    releaseLeft(x, y);
    pointAt(x, y);
    EXPECT_TRUE(takePackets().empty());
    advance(501);
    std::vector<Bytes> sent = takePackets();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(hexOf(sent[0]), "BF 00 09 00 13 40 00 07 00");
    storeCharacterListFlags(0);
}

TEST_F(NamePlates, HoldingPastTheDoubleClickTimeDoesNothing)
{
    storeCharacterListFlags(1u << 3);
    Item* boards = addItem(0x40000700, fixture::kSampleBoardsGraphic, player()->x + 2, player()->y);
    NamePlateGump* plate = plateOver(*boards);
    takePackets();
    const int32_t x = plate->x() + 70;
    const int32_t y = plate->y() + 10;
    pressLeft(x, y);
    pointAt(x, y);
    advance(600);
    releaseLeft(x, y);
    advance(600);
    EXPECT_TRUE(takePackets().empty());
    storeCharacterListFlags(0);
}

TEST_F(NamePlates, ADoubleClickUsesTheObjectAndARightClickCloses)
{
    Item* boards = addItem(0x40000700, fixture::kSampleBoardsGraphic, player()->x + 2, player()->y);
    NamePlateGump* plate = plateOver(*boards);
    takePackets();
    const int32_t x = plate->x() + 70;
    const int32_t y = plate->y() + 10;
    for (int i = 0; i < 2; ++i) {
        pressLeft(x, y);
        releaseLeft(x, y);
    }
    EXPECT_EQ(hexOf(takePackets().at(0)), "06 40 00 07 00");
    GumpHandle handle(plate);
    pressRight(x, y);
    releaseRight(x, y);
    EXPECT_FALSE(handle);
}

TEST_F(NamePlates, APlateFollowsItsMobileAndGoesWhenItWalksOffTheScreen)
{
    Mobile* other = addMobile(0x00000901, player()->x + 1, player()->y + 1);
    NamePlateGump* plate = plateOver(*other);
    ASSERT_NE(plate, nullptr);
    gumpManager().allNames[other->serial] = plate;
    const int32_t y = plate->y();
    other->moveTo(other->x + 1, other->y + 1, other->z);
    worldService<ObjectViews>().mobileMoved(*other, false);
    EXPECT_EQ(plate->y(), y + 44);
    GumpHandle handle(plate);
    other->moveTo(other->x + 30, other->y + 30, other->z);
    worldService<ObjectViews>().mobileMoved(*other, false);
    EXPECT_FALSE(handle);
    EXPECT_EQ(allNamesFind(other->serial), nullptr);
}

TEST_F(NamePlates, TheAllNamesKeysOpenAPlateOverEachObjectOnScreen)
{
    addMobile(0x00000901, player()->x + 1, player()->y + 1);
    addItem(0x40000700, fixture::kSampleBoardsGraphic, player()->x + 2, player()->y);
    addItem(0x40000701, fixture::kSampleBoardsGraphic, player()->x + 40, player()->y);
    showAllNames(true);
    EXPECT_NE(allNamesFind(0x00000901), nullptr);
    EXPECT_NE(allNamesFind(0x40000700), nullptr);
    EXPECT_NE(allNamesFind(player()->serial), nullptr);
    EXPECT_EQ(allNamesFind(0x40000701), nullptr) << "off the screen";
    showAllNames(false);
    EXPECT_EQ(allNamesFind(0x00000901), nullptr);
}

} // namespace
