#pragma once
// The narrow panel beside the mahjong board with the table-wide commands of a
// fully entitled seated player: four labelled buttons and two option check
// boxes. It places itself at the board's right edge each update, shows only
// to a player in a seat of kind 1, and lives and dies with the board. Two
// buttons send their request at once; the other two first let the player
// pick another player's side with the target cursor. Main thread only.

#include "gump/gump.h"

#include <cstdint>

class ToggleControl;

namespace mahjong {

class MahjongBoardGump;

inline constexpr int32_t kPanelArt = 11265;
inline constexpr int32_t kPanelButtonUpArt = 11390;
inline constexpr int32_t kPanelButtonDownArt = 11392;
inline constexpr int32_t kPanelButtonHoverArt = 11391;
inline constexpr int32_t kPanelBoxOffArt = 9720;
inline constexpr int32_t kPanelBoxOnArt = 9723;

class MahjongTableAreaPanel final : public CGump {
public:
    explicit MahjongTableAreaPanel(MahjongBoardGump& board);
    ~MahjongTableAreaPanel() override;

    void bringToFront(bool keepFocus) override;
    void tick() override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    void onControlChanged(CGump* control) override;
    bool isColourKeyed() override { return true; }

    // Shown only to a kind-1 seated player, at the board's right edge.
    void followBoard();
    // The check boxes show option bits 0 and 1.
    void setOptionBoxes(uint32_t options);
    void forgetBoard() { m_board = nullptr; }
    MahjongBoardGump* board() const { return m_board; }
    ToggleControl* optionBox(int32_t index) const { return m_boxes[index]; }

private:
    void drawPicture();

    MahjongBoardGump* m_board;
    ToggleControl* m_boxes[2] = { nullptr, nullptr };
    bool m_pressed = false;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
};

// Whether the player sits at the open table in a seat of kind 1.
bool isTableManager();
// The seat pick of the third and fourth buttons: the pointer's place on the
// board names a side; another player's side gets request 15 or 16. Ends the
// pick in every case.
void pickSeatAtPointer(uint16_t subcommand);

} // namespace mahjong
