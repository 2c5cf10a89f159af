#pragma once
// The colour grid embedded in character creation and the race change
// window: rows x columns of cells, each a 0-based hue-table index, from which
// the player picks one hue. The set of cells depends on the palette kind
// (0 human skin, 1 human hair, 2 facial hair, 3 shirt, 4 trousers, 6 elf
// skin, 7 elf hair); every cell lies inside the hue table. The grid is
// centred in the control; a cell shows the middle colour of its hue and the
// selected cell a white dot at its centre. Hovering a cell selects it and
// tells the owner (onControlChanged), so the owner previews each hue passed
// over; a press picks it and hides the grid (it is a picker shown over what
// it covers). Main thread only.

#include "gump/gump.h"

#include <cstdint>
#include <vector>

struct HueCells {
    int32_t rows = 0;
    int32_t columns = 0;
    // Row by row: cell (r, c) is values[r * columns + c].
    std::vector<uint16_t> values;

    uint16_t at(int32_t row, int32_t column) const { return values[size_t(row * columns + column)]; }
};

// The cells a kind offers (kinds outside 1..7 offer the human skin set).
HueCells hueControlCells(int32_t kind);

class HueControl final : public CGump {
public:
    static constexpr uint16_t kMarkColour = 0x7FFF;

    // Starts on a random cell with randomStart, else on the first cell; elf
    // skin starts with hue 904 while its mark stays on the first cell.
    HueControl(int32_t x, int32_t y, int32_t width, int32_t height, int32_t kind, int32_t art, bool randomStart);

    int32_t kind() const { return m_kind; }
    uint16_t value() const { return m_value; }
    int32_t selectedRow() const { return m_row; }
    int32_t selectedColumn() const { return m_column; }
    const HueCells& cells() const { return m_cells; }
    int32_t cellWidth() const { return m_cellWidth; }
    int32_t cellHeight() const { return m_cellHeight; }
    int32_t gridLeft() const { return m_left; }
    int32_t gridTop() const { return m_top; }
    // The local centre of a cell.
    void cellCentre(int32_t row, int32_t column, int32_t& x, int32_t& y) const;
    // Repaints the grid and the mark.
    void redraw();
    // The cell under a local point, clamped to the grid.
    void cellAt(int32_t x, int32_t y, int32_t& row, int32_t& column) const;

    void draw(GumpCanvas& canvas) override;
    bool containsPoint(int32_t x, int32_t y) override { return isVisible() && containsPointInBuffer(x, y); }
    void onLeftDown(int32_t x, int32_t y) override;
    void onLeftUp(int32_t x, int32_t y) override;
    void onRightUp(int32_t x, int32_t y) override;
    void onMouseOver(int32_t x, int32_t y) override;
    bool isClosableByCloseAll() override { return false; }

private:
    // Selects the cell under the point and tells the owner.
    void select(int32_t x, int32_t y);

    int32_t m_kind;
    int32_t m_art;
    HueCells m_cells;
    uint16_t m_value = 0;
    int32_t m_row = 0;
    int32_t m_column = 0;
    int32_t m_cellWidth = 1;
    int32_t m_cellHeight = 1;
    int32_t m_left = 0;
    int32_t m_top = 0;
};
