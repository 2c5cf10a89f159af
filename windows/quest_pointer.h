#pragma once
// The quest arrow: the server points the player at a world cell (packet
// 0xBA). One small arrow sits on that cell's place in the game area, kept
// inside it, turns to the compass direction from the player to the cell and
// flashes in a hue once every 11 updates. Clicking it tells the server which
// button was used. There is at most one arrow: made on the first request,
// then only moved, shown or hidden; close-all commands leave it alone.
//
// The gump manager owns the arrow. Main thread only.

#include "gump/gump.h"

#include <cstdint>

class PointerGump final : public CGump {
public:
    // The eight arrows, 0 north-west clockwise to 7 west.
    static constexpr int32_t kBaseArt = 4500;
    static constexpr int32_t kFlashHueIndex = 34;
    static constexpr int32_t kFlashPeriod = 10;

    // Whatever the request's active flag, the arrows are the one set from
    // kBaseArt.
    PointerGump(int32_t targetX, int32_t targetY);
    ~PointerGump() override;

    void draw(GumpCanvas& canvas) override;
    // Its page shows the arrow and the flash as the last tick painted them.
    bool lookKey(uint64_t& key) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    // Follows the target, turns and flashes.
    void tick() override;
    bool isClosableByCloseAll() override { return false; }

    void setTarget(int32_t x, int32_t y) { m_targetX = x, m_targetY = y; }
    int32_t targetX() const { return m_targetX; }
    int32_t targetY() const { return m_targetY; }
    // The arrow picture shown now.
    int32_t shownArt() const { return m_shownArt; }
    bool isFlashing() const { return m_flashing; }

private:
    int32_t m_targetX;
    int32_t m_targetY;
    int32_t m_flashCounter = 0;
    int32_t m_shownArt = kBaseArt;
    bool m_flashing = false;
    // What the page shows: the constructor paints the first arrow unflashed.
    int32_t m_paintedArt = kBaseArt;
    bool m_paintedFlashing = false;
};

// Shows, moves or hides the arrow (made on the first call, hidden when
// `active` is 0; a hidden arrow keeps its target).
void setPointerGump(int32_t x, int32_t y, uint8_t active);
// The arrow, or null before the first request.
PointerGump* pointerGump();
// Logging out hides the arrow.
void hidePointerGump();

// The direction from cell (x1, y1) to (x2, y2) in 256ths of a turn: 0 north
// (smaller y), growing clockwise, from -63 just west of north to 192 west.
int32_t worldDirectionStep(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The arrow 0..7 for a direction step.
int32_t pointerDirectionForStep(int32_t step);
