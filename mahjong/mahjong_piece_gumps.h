#pragma once
// The movable pieces on the mahjong board: one gump per tile, the dice, the
// dealer indicator (which also shows the prevailing wind), the wall-break
// indicator and the short-lived score drag that carries score to another
// player. Each draws itself from gump art, follows the pointer while dragged
// and turns the player's gesture into a request of the table model, which
// checks the placement rules, sends the request and moves the piece at once.
// The pieces are children of the board (the score drag is top-level); the
// board names each piece and each piece clears the board's name of it when
// it goes. Main thread only.

#include "gump/entry_core.h"
#include "gump/gump.h"
#include "mahjong/mahjong_pieces.h"

#include <cstdint>
#include <vector>

namespace mahjong {

class MahjongBoardGump;
class MahjongTable;

inline constexpr int32_t kTileBackArt = 11340;
inline constexpr int32_t kDieArtBase = 11279;
inline constexpr int32_t kDieSizeArt = 11280;
inline constexpr int32_t kWindArtBase = 11300;
inline constexpr int32_t kWallBreakArt = 11320;
inline constexpr int32_t kScorePieceArt = 11321;
inline constexpr uint32_t kTileSlideMs = 1000;

// A small draggable picture: the press point is the drag anchor, a second
// press within the double-click time that is released without a drag runs
// activate(). Its page is as wide as its picture rounded up to a multiple of
// 8, and the whole page is its hit area.
class MahjongPieceGump : public CGump {
public:
    MahjongPieceGump(int32_t x, int32_t y);

    bool containsPoint(int32_t x, int32_t y) override;
    bool isColourKeyed() override { return true; }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onHoverTick() override;
    // The double click.
    virtual void activate() { }

    bool isPressed() const { return m_pressed; }
    // Held down at the local point and dragged from there.
    void startDragAt(int32_t x, int32_t y);

protected:
    // Stores the press point, sets the pressed flag and counts the click.
    void press(int32_t x, int32_t y);
    // Clears the pressed flag; a release that is no drag and completes a
    // double click runs activate(). True when the gump lives on.
    bool release();
    void releaseCapture();
    // release() and, while the gump lives, the capture dropped.
    bool endPress();
    // Page 0 for a picture of width x height, cleared.
    GumpPage* preparePage(int32_t width, int32_t height);
    int32_t pressX() const { return m_pressX; }
    int32_t pressY() const { return m_pressY; }
    bool isDragging() const { return m_dragging; }
    void setDragging(bool dragging) { m_dragging = dragging; }
    // The icon drag: moves by the pointer's offset from the press point.
    void followPointer(int32_t x, int32_t y);

private:
    bool m_pressed = false;
    bool m_dragging = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    ClickCounter m_clicks;
};

class MahjongTileGump final : public MahjongPieceGump {
public:
    MahjongTileGump(MahjongBoardGump& board, const MahjongTile& tile);
    ~MahjongTileGump() override;

    void draw(GumpCanvas& canvas) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void activate() override;

    // The tile record changed: raise the tile, start a slide to its place when
    // needed and draw its picture; the wall-break indicator stays above.
    void refresh();
    // Jumps to (x, y), ending a slide, and refreshes.
    void placeAt(int32_t x, int32_t y);
    // Moves the gump along a running slide.
    void advanceSlide();

    uint8_t number() const { return m_number; }
    bool isSliding() const { return m_sliding; }
    // The art the tile shows and its turn (gump art rotation type).
    int32_t shownArt() const { return m_shownArt; }
    int32_t shownTurn() const { return m_shownTurn; }

private:
    const MahjongTile* tile() const;
    bool isAllowed() const;
    // Settles the gump's place as a drop would; false when it cannot lie there.
    bool settle(BoardPosition& position) const;

    MahjongBoardGump& m_board;
    uint8_t m_number;
    bool m_sliding = false;
    uint32_t m_slideStartMs = 0;
    int32_t m_startX = 0;
    int32_t m_startY = 0;
    int32_t m_targetX = 0;
    int32_t m_targetY = 0;
    int32_t m_shownArt = 0;
    int32_t m_shownTurn = 0;
};

class DiceGump final : public MahjongPieceGump {
public:
    using Action = void (*)(DiceGump& dice);
    DiceGump(int32_t x, int32_t y, int32_t count);

    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void activate() override;

    void setAction(Action action) { m_action = action; }
    // An index not below the number of dice is ignored.
    void setValue(int32_t index, int32_t value, bool redraw);
    int32_t value(int32_t index) const { return m_values[size_t(index)]; }
    int32_t count() const { return int32_t(m_values.size()); }
    void redrawDice();

private:
    std::vector<int32_t> m_values;
    Action m_action = nullptr;
};

class MahjongDealerIndicatorGump final : public MahjongPieceGump {
public:
    explicit MahjongDealerIndicatorGump(MahjongBoardGump& board);
    ~MahjongDealerIndicatorGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    WString getTooltipText(int32_t x, int32_t y) override;
    void activate() override;

    // Moves to the record's place at once and draws the wind and direction.
    void refresh();
    int32_t shownArt() const { return m_shownArt; }

private:
    MahjongBoardGump& m_board;
    int32_t m_shownArt = 0;
};

class MahjongWallBreakIndicatorGump final : public MahjongPieceGump {
public:
    explicit MahjongWallBreakIndicatorGump(MahjongBoardGump& board);
    ~MahjongWallBreakIndicatorGump() override;

    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void activate() override;

    void refresh();

private:
    MahjongBoardGump& m_board;
};

// Top-level while it is carried; dropped on another player's side it gives
// that player the amount, anywhere else it just goes.
class MahjongScoreDragGump final : public MahjongPieceGump {
public:
    MahjongScoreDragGump(MahjongBoardGump& board, uint32_t amount);
    ~MahjongScoreDragGump() override;

    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;

    uint32_t amount() const { return m_amount; }
    void setAmount(uint32_t amount) { m_amount = amount; }

private:
    MahjongBoardGump& m_board;
    uint32_t m_amount;
};

// The turn that makes a piece of direction d face view seat d.
int32_t pieceTurn(uint8_t direction);
// The cliloc of the dealer indicator's tooltip for a wind.
int32_t windTooltipCliloc(uint8_t wind);

} // namespace mahjong
