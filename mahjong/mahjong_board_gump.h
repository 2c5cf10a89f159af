#pragma once
// The mahjong board window: the table itself, a 670 x 670 picture with the
// four players' seat strips along its sides and, as children, the 136 tiles,
// the dice, the dealer and wall-break indicators, the journal log and the
// own-seat check box. Packet 0xDA opens and closes it; it owns the table
// model and carries the gestures that concern the whole table: moving the
// window, starting a score transfer from the own score area, answering the
// table-area panel's seat picks and leaving the table. One board exists at a
// time. Main thread only.

#include "gump/gump.h"
#include "mahjong/mahjong_packets.h"
#include "mahjong/mahjong_table.h"

#include <array>
#include <memory>
#include <string>

class ToggleControl;

namespace mahjong {

class DiceGump;
class MahjongDealerIndicatorGump;
class MahjongScoreDragGump;
class MahjongTableAreaPanel;
class MahjongTileGump;
class MahjongWallBreakIndicatorGump;

inline constexpr int32_t kBoardArt = 11264;
inline constexpr int32_t kBoardX = 5;
inline constexpr int32_t kBoardY = 32;
inline constexpr int32_t kOwnSeatBoxOffArt = 11400;
inline constexpr int32_t kOwnSeatBoxOnArt = 11410;
inline constexpr int32_t kSeatStripWidth = 177;
inline constexpr int32_t kSeatStripFont = 2;
inline constexpr uint16_t kSeatTextColour = 31710;
inline constexpr uint16_t kManagerNameColour = 32736;
inline constexpr int32_t kScoreDragThreshold = 4;
inline constexpr int32_t kLeaveQuestionCliloc = 1062694;
inline constexpr int32_t kOwnScoreTooltipCliloc = 1062709;

// The texts of a seat strip.
struct SeatStripTexts {
    std::u16string score;
    std::u16string name;
    uint16_t nameColour = kSeatTextColour;
};
SeatStripTexts seatStripTexts(const MahjongTable& table, uint8_t viewSeat);

class MahjongBoardGump final : public CGump, public MahjongTableHost {
public:
    explicit MahjongBoardGump(uint32_t tableSerial);
    ~MahjongBoardGump() override;

    // CGump
    void bringToFront(bool keepFocus) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;
    bool onMessengerEvent(int32_t code, int32_t first, int32_t second) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    bool isColourKeyed() override { return true; }

    // MahjongTableHost
    uint32_t playerSerial() const override;
    void sendRequest(uint32_t tableSerial, const MahjongRequest& request) override;
    void tileChanged(const MahjongTile& tile) override;
    void tilePlaced(const MahjongTile& tile) override;
    void dealerChanged() override;
    void wallBreakChanged() override;
    void refreshBoard() override;
    void restack(std::span<const uint8_t> tilesBottomToTop) override;

    // The model, null once the server closed the board.
    MahjongTable* table() const { return m_table.get(); }
    // Drops the model without telling the server (the server closed it).
    void dropTable() { m_table.reset(); }

    // The two steps of a score transfer: the amount chooser, then the score
    // drag that carries the amount.
    void openScoreChooser();
    void startScoreDrag(int32_t amount);
    // Whether a board point lies in the own score area.
    bool isInOwnScoreArea(int32_t x, int32_t y) const;

    // The board's parts (null when absent).
    MahjongTableAreaPanel* panel() const { return m_panel; }
    DiceGump* dice() const { return m_dice; }
    MahjongDealerIndicatorGump* dealerGump() const { return m_dealer; }
    MahjongWallBreakIndicatorGump* wallBreakGump() const { return m_wallBreak; }
    MahjongTileGump* tileGump(uint8_t number) const
    {
        return number < m_tiles.size() ? m_tiles[number] : nullptr;
    }
    MahjongScoreDragGump* scoreDrag() const { return m_scoreDrag; }
    ToggleControl* ownSeatBox() const { return m_ownSeatBox; }
    CGump* textLog() const { return m_textLog.get(); }
    CGump* leaveQuestion() const { return m_leaveQuestion.get(); }

    // A part going away clears the board's name of it.
    void forgetPanel() { m_panel = nullptr; }
    void forgetTileGump(uint8_t number);
    void forgetDealerGump() { m_dealer = nullptr; }
    void forgetWallBreakGump() { m_wallBreak = nullptr; }
    void forgetScoreDrag() { m_scoreDrag = nullptr; }

private:
    void drawPicture();
    void drawSeatStrip(GumpPage& face, uint8_t viewSeat);

    std::unique_ptr<MahjongTable> m_table;
    GumpHandle m_textLog;
    MahjongTableAreaPanel* m_panel = nullptr;
    ToggleControl* m_ownSeatBox = nullptr;
    std::array<MahjongTileGump*, kTileCount> m_tiles {};
    DiceGump* m_dice = nullptr;
    MahjongDealerIndicatorGump* m_dealer = nullptr;
    MahjongWallBreakIndicatorGump* m_wallBreak = nullptr;
    MahjongScoreDragGump* m_scoreDrag = nullptr;
    GumpHandle m_leaveQuestion;
    bool m_pressed = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    int32_t m_artWidth = kBoardSize;
    int32_t m_artHeight = kBoardSize;
    int32_t m_pieceWidth = 0;
    int32_t m_pieceHeight = 0;
};

// The open board, null when none.
MahjongBoardGump* openMahjongBoardGump();
// The open board's table model, or null.
MahjongTable* getMahjongTable();
// Opens a board for the table over the world; nothing when one is open.
void openMahjongBoard(uint32_t tableSerial);
// The server closed the board: the model goes first, so nothing is sent.
void closeMahjongBoard();
// The board window as the packet handler reaches it; installed at start-up.
void installMahjongBoardWindow();
void uninstallMahjongBoardWindow();

} // namespace mahjong
