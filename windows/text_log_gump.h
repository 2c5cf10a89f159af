#pragma once
// The borderless journal log the mahjong board places on itself (at
// (170, 170), 336 x 330): the journal's lines on a transparent page with a
// thumb and the scroll lock, no arrows. Dragging it moves the board, and a
// right click goes to the board. It lives and dies with the board, its
// parent. Main thread only.

#include "windows/journal_log.h"

class TextGump final : public JournalLogGump {
public:
    static constexpr int32_t kX = 170;
    static constexpr int32_t kY = 170;
    static constexpr int32_t kWidth = 336;
    static constexpr int32_t kHeight = 330;
    static constexpr int32_t kMargin = 15;
    static constexpr int32_t kThumbArt = 9780;

    // Made and linked as a child of `board`.
    explicit TextGump(CGump& board);
    ~TextGump() override;

    void redrawText() override;
    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;

protected:
    void moveWithPointer(int32_t dx, int32_t dy) override;
    bool raisesOnPress() const override { return false; }
};
