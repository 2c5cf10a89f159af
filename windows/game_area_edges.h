#pragma once
// The four strips of gump art that frame the game area when the window may
// be resized (top, bottom, left, right, in game-view coordinates just outside
// the area): dragging any of them with the left button moves the whole game
// area inside the client area, kept inside it. They live for the whole run,
// are laid out again after each resize, and are never closed by closing all
// gumps. Main thread only.

#include "gump/gump.h"

#include <cstdint>

class GameAreaEdgeGump final : public CGump {
public:
    enum Side : int32_t { Top = 0, Bottom = 1, Left = 2, Right = 3 };
    static constexpr int32_t kHorizontalArt = 2700;
    static constexpr int32_t kVerticalArt = 2701;

    explicit GameAreaEdgeGump(int32_t side);
    ~GameAreaEdgeGump() override;

    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onDrag(int32_t x, int32_t y) override;
    bool isInGameView() override { return true; }
    bool isColourKeyed() override { return false; }
    bool isClosableByCloseAll() override { return false; }
    bool lookKey(uint64_t& key) override
    {
        key = faceLookKey();
        return true;
    }

    // Size, place and picture for the current game-area size.
    void layout();
    int32_t side() const { return m_side; }

private:
    int32_t m_side;
    bool m_dragging = false;
    int32_t m_grabX = 0;
    int32_t m_grabY = 0;
};

// Creates the four edges (the world view does, when resizing is allowed).
void createGameAreaEdges();
// Lays every existing edge out again (after the game area's size changed).
void relayoutGameAreaEdges();
// The edge of a side, or null.
GameAreaEdgeGump* gameAreaEdge(int32_t side);
