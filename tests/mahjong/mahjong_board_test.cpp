#include "data/targeting.h"
#include "fixtures/mahjong_server_packets.h"
#include "fixtures/sample_mahjong_art.h"
#include "gfx/gump_art.h"
#include "gump/button.h"
#include "gump/mahjong_board_parts.h"
#include "gump/prompt_windows.h"
#include "gump/toggle_control.h"
#include "mahjong/mahjong_board_gump.h"
#include "mahjong/mahjong_piece_gumps.h"
#include "mahjong/mahjong_table_area_panel.h"
#include "net/game_connection.h"
#include "support/packet_tap.h"
#include "support/png_writer.h"
#include "text/unicode_font.h"
#include "world/item.h"
#include "world/object_manager.h"
#include "world/world_services.h"

#include "gump/gump_test_support.h"

#include <gtest/gtest.h>

using fixture::MahjongServerPacket;
using namespace mahjong;

namespace {

constexpr uint32_t kBoardTable = 0x40000321;
constexpr uint32_t kBoardPlayer = 0x00000B0B;
using Bytes = std::vector<uint8_t>;

// The leave question as the messenger makes it: a child of the board whose OK
// asks the board and closes the question when the board lets it live.
class QuestionPrompts final : public PromptWindows {
public:
    CGump* openPrompt(CGump* parent, int32_t x, int32_t y, int32_t width, int32_t height, int32_t code,
        std::u16string_view, bool) override
    {
        auto* question = new gump_test::PageGump(x, y, width, height, 0x1234);
        gumpLink(question, parent);
        last = GumpHandle(question);
        lastCode = code;
        ++opened;
        return question;
    }
    void pressOk()
    {
        CGump* question = last.get();
        ASSERT_NE(question, nullptr);
        if (question->parent()->onMessengerEvent(lastCode, 0, 0) && last)
            closeGump(question);
    }
    GumpHandle last;
    int32_t lastCode = -1;
    int32_t opened = 0;
};

class RecordingBoardParts final : public MahjongBoardParts {
public:
    CGump* openAmountChooser(int32_t x, int32_t y, int32_t maximum, AmountChosen chosen) override
    {
        auto* chooser = new gump_test::PageGump(x, y, 40, 20, 0x2222);
        gumpLink(chooser, nullptr);
        chooserMaximum = maximum;
        onChosen = chosen;
        ++choosers;
        return chooser;
    }
    int32_t choosers = 0;
    int32_t chooserMaximum = -1;
    AmountChosen onChosen = nullptr;
};

class MahjongBoardWindow : public gump_test::Desktop {
protected:
    MahjongBoardWindow()
        : Desktop(1024, 768)
    {
        for (auto& [id, picture] : fixture::sampleMahjongGumpArt())
            art.add(id, picture);
        art.install();
        installUnicodeFont(kSeatStripFont, reinterpret_cast<const uint8_t*>(unicodeFace.data()), unicodeFace.size());
        setPlayerSerial(kBoardPlayer);
        m_previousParts = installService<MahjongBoardParts>(&parts);
        m_previousPrompts = installService<PromptWindows>(&prompts);
        installMahjongBoardWindow();
    }
    ~MahjongBoardWindow() override
    {
        uninstallMahjongBoardWindow();
        installService<PromptWindows>(m_previousPrompts);
        installService<MahjongBoardParts>(m_previousParts);
        targetingState() = {};
        setPlayerSerial(0);
        // The tap's connection goes with the test.
        releaseGameConnectionAtExit();
    }

    void receive(const MahjongServerPacket& packet)
    {
        const Bytes bytes = packet.bytes();
        handleMahjong(mahjongBoards(), bytes.data());
    }
    MahjongBoardGump& open()
    {
        receive(MahjongServerPacket(kBoardTable, kMahjongOpenBoard));
        MahjongBoardGump* board = openMahjongBoardGump();
        EXPECT_NE(board, nullptr);
        return *board;
    }
    // Seats the player at `tableSeat` with a seat of `kind`, three others around.
    MahjongBoardGump& seated(uint8_t kind, uint8_t tableSeat, int32_t score = 40)
    {
        MahjongBoardGump& board = open();
        MahjongServerPacket seats(kBoardTable, kMahjongAllSeats);
        seats.u16(4);
        for (uint8_t seat = 0; seat < 4; ++seat) {
            if (seat == tableSeat)
                seats.seat(kBoardPlayer, kind, seat, score, 0, "Player", 0);
            else
                seats.seat(0x100 + seat, kSeatKindPlayer, seat, 10 * seat, 0, "Robot", 0);
        }
        receive(seats);
        return board;
    }
    // The 0xDA requests sent since the last call.
    std::vector<Bytes> sent()
    {
        std::vector<Bytes> requests;
        for (Bytes& packet : tap.take()) {
            if (!packet.empty() && packet[0] == 0xDA)
                requests.push_back(std::move(packet));
        }
        return requests;
    }
    static uint16_t subcommandOf(const Bytes& packet) { return uint16_t(packet[7] << 8 | packet[8]); }
    static void clickButton(Button* button)
    {
        button->onLeftDown(2, 2);
        button->onLeftUp(2, 2);
    }
    void tickPanel(MahjongBoardGump& board)
    {
        if (board.panel())
            board.panel()->tick();
    }

    test::PacketTap tap;
    QuestionPrompts prompts;
    RecordingBoardParts parts;

private:
    MahjongBoardParts* m_previousParts = nullptr;
    PromptWindows* m_previousPrompts = nullptr;
};

TEST_F(MahjongBoardWindow, OpensOverTheWorldWithEveryPieceAndClosesAsTheServerSays)
{
    MahjongBoardGump& board = open();
    EXPECT_EQ(board.x(), kBoardX);
    EXPECT_EQ(board.y(), kBoardY);
    EXPECT_EQ(board.width(), 670);
    EXPECT_EQ(getMahjongTable(), board.table());
    for (int number = 0; number < kTileCount; ++number) {
        MahjongTileGump* tile = board.tileGump(uint8_t(number));
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->parent(), &board);
        EXPECT_EQ(tile->x(), 323);
    }
    ASSERT_NE(board.dice(), nullptr);
    EXPECT_EQ(board.dice()->x(), 515);
    EXPECT_EQ(board.dice()->y(), 530);
    ASSERT_NE(board.panel(), nullptr);
    tickPanel(board);
    EXPECT_FALSE(board.panel()->isVisible()) << "nobody seated";

    // A close for another table is ignored; the table's own close sends nothing.
    receive(MahjongServerPacket(kBoardTable + 1, kMahjongCloseBoard));
    EXPECT_EQ(openMahjongBoardGump(), &board);
    receive(MahjongServerPacket(kBoardTable, kMahjongCloseBoard));
    EXPECT_EQ(openMahjongBoardGump(), nullptr);
    EXPECT_EQ(getMahjongTable(), nullptr);
    EXPECT_TRUE(sent().empty());
}

// The world tells the windows when an object leaves it (a move, a removal):
// the board goes with its own table only.
TEST_F(MahjongBoardWindow, TheBoardClosesWhenItsTableLeavesTheWorld)
{
    open();
    Item other(kBoardTable + 1, 0x0FAB, 0);
    worldService<ObjectViews>().objectLeftWorld(other);
    ASSERT_NE(openMahjongBoardGump(), nullptr);
    Item table(kBoardTable, 0x0FAB, 0);
    worldService<ObjectViews>().objectLeftWorld(table);
    EXPECT_EQ(openMahjongBoardGump(), nullptr);
    EXPECT_EQ(getMahjongTable(), nullptr);
}

TEST_F(MahjongBoardWindow, ANewOpenReplacesTheBoardAndTellsTheServerTheOldOneClosedOnce)
{
    open();
    receive(MahjongServerPacket(kBoardTable + 7, kMahjongOpenBoard));
    ASSERT_NE(getMahjongTable(), nullptr);
    EXPECT_EQ(getMahjongTable()->tableSerial(), kBoardTable + 7);
    const std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (Bytes { 0xDA, 0x00, 0x09, 0x40, 0x00, 0x03, 0x21, 0x00, 0x06 }));
}

TEST_F(MahjongBoardWindow, LeavingThroughTheQuestionSendsTheCloseExactlyOnce)
{
    MahjongBoardGump& board = open();
    board.onRightUp(300, 300);
    ASSERT_EQ(prompts.opened, 1);
    EXPECT_EQ(prompts.last.get()->parent(), &board);
    EXPECT_EQ(prompts.last.get()->x(), 215);
    EXPECT_EQ(board.leaveQuestion(), prompts.last.get());
    prompts.pressOk();
    EXPECT_EQ(openMahjongBoardGump(), nullptr);
    EXPECT_FALSE(prompts.last);
    const std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(subcommandOf(requests[0]), kMahjongBoardClosed);
}

struct SeatStripCase {
    const char* name;
    uint32_t serial;
    uint8_t kind;
    uint8_t nameFlags;
    const char* seatName;
    uint32_t options;
    const char16_t* score;
    const char16_t* shownName;
    uint16_t colour;
};

class MahjongSeatStrips : public MahjongBoardWindow, public testing::WithParamInterface<SeatStripCase> { };

TEST_P(MahjongSeatStrips, ShowScoreAndName)
{
    const SeatStripCase& row = GetParam();
    MahjongBoardGump& board = open();
    MahjongServerPacket state(kBoardTable, kMahjongTableState);
    state.u32(row.options).u8(1).u8(1).u8(0).u16(0).u16(0).u8(0).u16(0).u16(0);
    receive(state);
    // Table seat 2 is view seat 2 while the player is not seated (rotation 1).
    MahjongServerPacket seat(kBoardTable, kMahjongOneSeat);
    seat.seat(row.serial, row.kind, 2, -5, 0, row.seatName, row.nameFlags);
    receive(seat);
    const SeatStripTexts texts = seatStripTexts(*board.table(), 2);
    EXPECT_EQ(texts.score, row.score);
    EXPECT_EQ(texts.name, row.shownName);
    EXPECT_EQ(texts.nameColour, row.colour);
}

INSTANTIATE_TEST_SUITE_P(Seats, MahjongSeatStrips,
    testing::Values(SeatStripCase { "ScoresShownByOption", 0x55, 1, 0, "Ann", 1, u"-5", u"Ann", 32736 },
        SeatStripCase { "ScoresHiddenWithoutOption", 0x55, 1, 0, "Ann", 0, u"----", u"Ann", 32736 },
        SeatStripCase { "EmptySeat", 0, 2, 0, "Ann", 1, u"-5", u"[---]", 31710 },
        SeatStripCase { "BracketedWithoutName", 0x55, 2, 1, "", 0, u"----", u"[???]", 31710 },
        SeatStripCase { "PlainWithoutName", 0x55, 2, 0, "", 0, u"----", u"???", 31710 },
        SeatStripCase { "Bracketed", 0x55, 2, 1, "Bo", 0, u"----", u"[Bo]", 31710 },
        SeatStripCase { "KindZeroIsNoSeat", 0x55, 0, 0, "Bo", 1, u"----", u"[---]", 31710 }),
    [](const testing::TestParamInfo<SeatStripCase>& seatCase) { return std::string(seatCase.param.name); });

TEST_F(MahjongBoardWindow, TheOwnScoreShowsWithoutTheOptionAndADragFromItOpensTheChooserPastFourPixels)
{
    MahjongBoardGump& board = seated(kSeatKindPlayer, 0, 75);
    EXPECT_EQ(seatStripTexts(*board.table(), 1).score, u"75");
    EXPECT_EQ(seatStripTexts(*board.table(), 2).score, u"----");
    // The own score area: three pieces of 20 x 16 from x 235, ending 152 above the bottom.
    const int32_t pressX = 250;
    const int32_t pressY = 670 - 16 - 152 + 4;
    ASSERT_TRUE(board.isInOwnScoreArea(pressX, pressY));
    board.onLeftDown(pressX, pressY);
    board.onDrag(pressX + 3, pressY - 3);
    EXPECT_EQ(parts.choosers, 0);
    EXPECT_EQ(board.x(), kBoardX) << "the board does not move either";
    board.onDrag(pressX + 6, pressY);
    EXPECT_EQ(parts.choosers, 1);
    EXPECT_EQ(parts.chooserMaximum, 75);

    // An amount of 0 starts nothing; another amount makes the score drag.
    parts.onChosen(0);
    EXPECT_EQ(board.scoreDrag(), nullptr);
    pointer.x = 600;
    pointer.y = 400;
    parts.onChosen(12);
    MahjongScoreDragGump* drag = board.scoreDrag();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(pointer.capture, drag);
    EXPECT_EQ(drag->amount(), 12u);

    // Dropped on the right side (region 10, board (600, 300)): score to view
    // seat 2, which is table seat 1 with the player at table seat 0.
    drag->setLocation(kBoardX + 600 - 30, kBoardY + 300 - 8);
    drag->onLeftUp(30, 8);
    EXPECT_EQ(board.scoreDrag(), nullptr);
    std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (Bytes { 0xDA, 0x00, 0x0E, 0x40, 0x00, 0x03, 0x21, 0x00, 0x0A, 0x01, 0, 0, 0, 12 }));

    // Dropped on the centre it sends nothing and goes; a right click removes it too.
    parts.onChosen(5);
    drag = board.scoreDrag();
    ASSERT_NE(drag, nullptr);
    drag->setLocation(kBoardX + 335 - 30, kBoardY + 335 - 8);
    drag->onLeftUp(30, 8);
    parts.onChosen(5);
    ASSERT_NE(board.scoreDrag(), nullptr);
    board.scoreDrag()->onRightUp(1, 1);
    EXPECT_EQ(board.scoreDrag(), nullptr);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MahjongBoardWindow, APressElsewhereDragsTheBoardAndThePanelFollows)
{
    MahjongBoardGump& board = seated(kSeatKindManager, 1);
    tickPanel(board);
    ASSERT_TRUE(board.panel()->isVisible());
    EXPECT_EQ(board.panel()->x(), kBoardX + 670);
    board.onLeftDown(100, 100);
    board.onDrag(110, 104);
    EXPECT_EQ(board.x(), kBoardX + 10);
    EXPECT_EQ(board.y(), kBoardY + 4);
    tickPanel(board);
    EXPECT_EQ(board.panel()->x(), kBoardX + 10 + 670);
    EXPECT_EQ(board.panel()->y(), kBoardY + 4);
    EXPECT_EQ(parts.choosers, 0);
}

TEST_F(MahjongBoardWindow, ASeatOfKindTwoSeesNoPanelAndItsButtonsDoNothing)
{
    MahjongBoardGump& board = seated(kSeatKindPlayer, 1);
    tickPanel(board);
    EXPECT_FALSE(board.panel()->isVisible());
    auto* first = static_cast<Button*>(board.panel()->lastChild());
    ASSERT_NE(first, nullptr);
    clickButton(first);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MahjongBoardWindow, TheSeatPickNamesTheSideClickedInTableTerms)
{
    // The player at table seat 2: view seat 0 (left) is table seat 1.
    MahjongBoardGump& board = seated(kSeatKindManager, 2);
    ASSERT_EQ(board.table()->viewRotation(), 2);
    tickPanel(board);
    ASSERT_TRUE(board.panel()->isVisible());
    std::vector<Button*> buttons;
    for (CGump* child = board.panel()->lastChild(); child; child = child->previous())
        if (child->is(GumpKind::Button))
            buttons.push_back(static_cast<Button*>(child));
    ASSERT_EQ(buttons.size(), 4u);
    clickButton(buttons[0]);
    clickButton(buttons[1]);
    std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(subcommandOf(requests[0]), kMahjongTableButton1);
    EXPECT_EQ(subcommandOf(requests[1]), kMahjongTableButton2);

    clickButton(buttons[2]);
    ASSERT_TRUE(targetingState().targetingActive);
    pointer.x = kBoardX + 160;
    pointer.y = kBoardY + 300;
    board.onLeftUp(160, 300);
    EXPECT_FALSE(targetingState().targetingActive);
    requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (Bytes { 0xDA, 0x00, 0x0A, 0x40, 0x00, 0x03, 0x21, 0x00, 0x0F, 0x01 }));

    // The player's own side names nobody: nothing is sent and the pick ends.
    clickButton(buttons[3]);
    pointer.x = kBoardX + 300;
    pointer.y = kBoardY + 600;
    board.onLeftUp(300, 600);
    EXPECT_FALSE(targetingState().targetingActive);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MahjongBoardWindow, TheOptionBoxesAndTheOwnSeatBoxSendTheirRequests)
{
    MahjongBoardGump& board = seated(kSeatKindManager, 1);
    ToggleControl* second = board.panel()->optionBox(1);
    second->setChecked(true);
    board.panel()->onControlChanged(second);
    board.ownSeatBox()->setChecked(true);
    board.onControlChanged(board.ownSeatBox());
    const std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], (Bytes { 0xDA, 0x00, 0x0D, 0x40, 0x00, 0x03, 0x21, 0x00, 0x11, 0, 0, 0, 2 }));
    EXPECT_EQ(requests[1], (Bytes { 0xDA, 0x00, 0x0D, 0x40, 0x00, 0x03, 0x21, 0x00, 0x16, 0, 0, 0, 1 }));
}

TEST_F(MahjongBoardWindow, ATileSlidesToItsNewPlaceAndRestartsFromWhereItIs)
{
    MahjongBoardGump& board = open();
    MahjongTileGump* tile = board.tileGump(7);
    ASSERT_NE(tile, nullptr);
    tile->setLocation(100, 100);
    // Table terms equal view terms before the player is seated.
    MahjongServerPacket move(kBoardTable, kMahjongOneTile);
    move.tile(7, 0, 100, 100, 0, 1, 0);
    receive(move);
    EXPECT_FALSE(tile->isSliding()) << "already there";
    move = MahjongServerPacket(kBoardTable, kMahjongOneTile);
    move.tile(7, 0, 201, 100, 0, 1, 0);
    receive(move);
    ASSERT_TRUE(tile->isSliding());
    clock.advance(500);
    tile->advanceSlide();
    EXPECT_EQ(tile->x(), 150);
    move = MahjongServerPacket(kBoardTable, kMahjongOneTile);
    move.tile(7, 0, 150, 300, 0, 1, 0);
    receive(move);
    clock.advance(500);
    tile->advanceSlide();
    EXPECT_EQ(tile->x(), 150);
    EXPECT_EQ(tile->y(), 200) << "halfway from (150, 100), where the second slide began";
    clock.advance(500);
    tile->advanceSlide();
    EXPECT_EQ(tile->y(), 300);
    EXPECT_FALSE(tile->isSliding());
}

TEST_F(MahjongBoardWindow, PiecesShowTheirArtTurnedToTheirSeat)
{
    MahjongBoardGump& board = open();
    MahjongServerPacket tiles(kBoardTable, kMahjongSomeTiles);
    tiles.u16(2).tile(3, 5, 100, 100, 0, 0, 0x10).tile(4, 5, 200, 100, 0, 0, 0);
    receive(tiles);
    EXPECT_EQ(board.tileGump(3)->shownArt(), 11345);
    EXPECT_EQ(board.tileGump(3)->shownTurn(), 3);
    EXPECT_EQ(board.tileGump(3)->width(), 32) << "30 wide, rounded up to 8";
    EXPECT_EQ(board.tileGump(3)->height(), 20);
    EXPECT_EQ(board.tileGump(4)->shownArt(), 11340);
    EXPECT_EQ(board.dealerGump()->shownArt(), 11300);
    EXPECT_EQ(windTooltipCliloc(0), 1062713);
    EXPECT_EQ(windTooltipCliloc(1), 1062710);
    // Dice values come from the table state as they are, 0 and 7 included.
    MahjongServerPacket state(kBoardTable, kMahjongTableState);
    state.u32(0).u8(0).u8(7).u8(2).u16(10).u16(20).u8(1).u16(30).u16(40);
    receive(state);
    EXPECT_EQ(board.dice()->value(0), 0);
    EXPECT_EQ(board.dice()->value(1), 7);
    EXPECT_EQ(board.dealerGump()->shownArt(), 11302);
    EXPECT_EQ(board.dealerGump()->x(), 10);
    EXPECT_EQ(board.wallBreakGump()->x(), 30);
}

TEST_F(MahjongBoardWindow, ASeatOfKindTwoMovesTurnsAndFlipsTilesButNotTheIndicators)
{
    MahjongBoardGump& board = seated(kSeatKindPlayer, 1);
    MahjongServerPacket place(kBoardTable, kMahjongOneTile);
    place.tile(9, 3, 300, 300, 0, 1, 0);
    receive(place);
    MahjongTileGump* tile = board.tileGump(9);
    clock.advance(1000);
    tile->advanceSlide();
    ASSERT_EQ(tile->x(), 300);

    // A drag settles on the 5-pixel grid and the drop sends the move.
    tile->onLeftDown(5, 5);
    tile->onDrag(5 + 23, 5 + 2);
    EXPECT_EQ(tile->x(), 320);
    EXPECT_EQ(tile->y(), 300);
    tile->onLeftUp(5, 5);
    std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(subcommandOf(requests[0]), kMahjongMoveTile);
    EXPECT_EQ(board.table()->findTile(9)->x, 320);

    // A right click turns it; a double click flips it face up.
    tile->onRightUp(2, 2);
    EXPECT_EQ(board.table()->findTile(9)->direction, 2);
    tile->onLeftDown(2, 2);
    tile->onLeftUp(2, 2);
    tile->onLeftDown(2, 2);
    tile->onLeftUp(2, 2);
    EXPECT_TRUE(board.table()->findTile(9)->isFaceUp());
    requests = sent();
    ASSERT_EQ(requests.size(), 2u);

    // The dealer indicator ignores a kind-2 seat.
    board.dealerGump()->onRightUp(1, 1);
    board.dealerGump()->onLeftDown(1, 1);
    board.dealerGump()->onLeftUp(1, 1);
    board.dealerGump()->onLeftDown(1, 1);
    board.dealerGump()->onLeftUp(1, 1);
    EXPECT_TRUE(sent().empty());

    // The dice roll on a double click.
    board.dice()->onLeftDown(1, 1);
    board.dice()->onLeftUp(1, 1);
    board.dice()->onLeftDown(1, 1);
    board.dice()->onLeftUp(1, 1);
    requests = sent();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(subcommandOf(requests[0]), kMahjongRollDice);
}

TEST_F(MahjongBoardWindow, TheBoardPictureIsTheTableWithScorePiecesAndSeatStrips)
{
    MahjongBoardGump& board = seated(kSeatKindManager, 1);
    GumpPage* face = board.page(0);
    ASSERT_NE(face, nullptr);
    // Per pixel against the pieces: the table's felt, the bottom score
    // pieces at (235 + 20k, 670 - 16 - 152) and the strips' places.
    const int32_t pieceTop = 670 - 16 - 152;
    for (int32_t k = 0; k < 3; ++k) {
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 20; ++x) {
                const uint16_t expected = getGumpArtPixel(kScorePieceArt, x, y);
                ASSERT_EQ(face->pixel(235 + 20 * k + x, pieceTop + y) & 0x7FFF, expected & 0x7FFF)
                    << k << " " << x << " " << y;
            }
        }
    }
    // The top pieces are turned half round: their art's (0, 0) lands at the far corner.
    EXPECT_EQ(face->pixel(670 - 3 * 20 - 236 + 19, 152 + 15) & 0x7FFF, getGumpArtPixel(kScorePieceArt, 0, 0) & 0x7FFF);
    EXPECT_EQ(face->pixel(100, 100), getGumpArtPixel(kBoardArt, 100, 100));
    // The own strip (view seat 1) lies at (4 * 20 + 234, 670 - 18 - 152), 177
    // wide: ink inside it, the felt left of it.
    bool inked = false;
    for (int32_t y = 670 - 18 - 152; y < 670 - 152 && !inked; ++y)
        for (int32_t x = 314; x < 314 + 177 && !inked; ++x)
            inked = face->pixel(x, y) != getGumpArtPixel(kBoardArt, x, y);
    EXPECT_TRUE(inked);

    tickPanel(board);
    composeAll(false);
    const std::vector<uint16_t> shown = screenPicture();
    test::writeSurfacePng(test::picturePath("mahjong_board.png"), shown.data(), 1024, 768, 1024);
    const uint64_t hash = test::surfaceHash(shown.data(), 1024, 768, 1024);
    EXPECT_EQ(hash, 0x1c1ebdc6b78cd6c4ull) << std::hex << hash;
}

} // namespace

namespace {

TEST_F(MahjongBoardWindow, TheTablesRunnerMovesTurnsAndWindsTheDealerAndMovesTheWallBreak)
{
    MahjongBoardGump& board = seated(kSeatKindManager, 1);
    MahjongServerPacket state(kBoardTable, kMahjongTableState);
    state.u32(0).u8(1).u8(1).u8(0).u16(100).u16(100).u8(1).u16(300).u16(300);
    receive(state);
    MahjongDealerIndicatorGump* dealer = board.dealerGump();
    dealer->onLeftDown(5, 5);
    dealer->onDrag(5 + 13, 5 + 7);
    EXPECT_EQ(dealer->x(), 113) << "a grid of one pixel";
    dealer->onLeftUp(5, 5);
    EXPECT_EQ(board.table()->dealer().x, 113);
    dealer->onRightUp(1, 1);
    EXPECT_EQ(board.table()->dealer().direction, 2);
    // A double click advances the wind.
    dealer->onLeftDown(1, 1);
    dealer->onLeftUp(1, 1);
    dealer->onLeftDown(1, 1);
    dealer->onLeftUp(1, 1);
    EXPECT_EQ(board.table()->dealer().wind, 1);
    EXPECT_EQ(dealer->shownArt(), 11301);

    MahjongWallBreakIndicatorGump* wall = board.wallBreakGump();
    wall->onLeftDown(3, 3);
    wall->onDrag(3 + 700, 3);
    EXPECT_EQ(wall->x(), 670 - 25) << "kept on the board";
    wall->onLeftUp(3, 3);
    std::vector<Bytes> requests = sent();
    ASSERT_EQ(requests.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(subcommandOf(requests[i]), kMahjongMoveDealer) << i;
    EXPECT_EQ(requests[3], (Bytes { 0xDA, 0x00, 0x0D, 0x40, 0x00, 0x03, 0x21, 0x00, 0x15, 0x02, 0x85, 0x01, 0x2C }));
}

} // namespace
