#pragma once
// The colour grid of character creation: a framed grid of cells, each a
// 0-based hue-table index, from which the player picks one hue. The set of
// cells depends on the kind (0 human skin, 1 human hair, 2 facial hair,
// 3 shirt, 4 trousers, 6 elf skin, 7 elf hair); every cell lies inside the
// hue table. A pick hides the grid (it is a picker shown over what it
// covers) and tells the parent window (onControlChanged). The cells are
// drawn in the middle colour of their hue. Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <vector>

struct HueCells {
    int32_t columns = 0;
    int32_t rows = 0;
    // Column by column: cell (c, r) is values[c * rows + r].
    std::vector<uint16_t> values;

    uint16_t at(int32_t column, int32_t row) const { return values[size_t(column * rows + row)]; }
};

// The cells a kind offers (kinds outside 1..7 offer the human skin set).
HueCells hueControlCells(int32_t kind);

class HueControl final : public CGump {
public:
    static constexpr int32_t kMargin = 5;

    // Starts on a random cell with randomStart, else on 904 for elf skin and
    // on the first cell for the others.
    HueControl(int32_t x, int32_t y, int32_t width, int32_t height, int32_t kind, int32_t art, bool randomStart);

    int32_t kind() const { return m_kind; }
    uint16_t value() const { return m_value; }
    const HueCells& cells() const { return m_cells; }
    // Repaints the grid, the chosen cell outlined.
    void redraw();
    // The cell under a local point; false outside the grid.
    bool cellAt(int32_t x, int32_t y, int32_t& column, int32_t& row) const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override { return isVisible() && containsPointInBuffer(x, y); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    int32_t cellWidth() const;
    int32_t cellHeight() const;

    int32_t m_kind;
    int32_t m_art;
    HueCells m_cells;
    uint16_t m_value = 0;
};
