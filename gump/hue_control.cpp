#include "gump/hue_control.h"

#include "data/targeting.h"
#include "gfx/hue_table.h"
#include "gump/gump_canvas.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint16_t kHumanSkinLast = 1057;
constexpr uint16_t kHairLast = 1148;
constexpr uint16_t kPaletteLast = 1001;
constexpr uint16_t kElfSkinStart = 904;

constexpr std::array<uint16_t, 32> kElfSkin = { 1245, 1899, 2100, 1071, 588, 589, 590, 190, 1190, 864, 884, 870, 999,
    989, 850, 2306, 1900, 899, 1400, 1000, 883, 904, 900, 885, 1342, 896, 897, 898, 1898, 996, 1308, 997 };
constexpr std::array<uint16_t, 54> kElfHairHues = { 51, 52, 53, 54, 55, 56, 256, 1719, 518, 528, 619, 706, 712, 483, 568,
    872, 1436, 2130, 141, 142, 143, 144, 145, 344, 345, 346, 347, 348, 349, 444, 1828, 87, 295, 302, 498, 592, 796,
    797, 798, 799, 800, 801, 802, 803, 804, 805, 901, 902, 903, 904, 905, 901, 902, 903 };

void fillPageRect(GumpPage& page, int32_t x, int32_t y, int32_t width, int32_t height, uint16_t colour)
{
    const int32_t left = std::max(x, 0);
    const int32_t top = std::max(y, 0);
    const int32_t right = std::min(x + width, page.width);
    const int32_t bottom = std::min(y + height, page.height);
    for (int32_t row = top; row < bottom; ++row)
        for (int32_t column = left; column < right; ++column)
            page.pixels[size_t(row) * size_t(page.width) + size_t(column)] = colour;
}

// A grid whose cell (r, c) is `hue(r, c)`.
template <typename Hue>
HueCells gridOf(int32_t rows, int32_t columns, Hue hue)
{
    HueCells cells;
    cells.rows = rows;
    cells.columns = columns;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c)
            cells.values.push_back(uint16_t(hue(r, c)));
    return cells;
}

} // namespace

HueCells hueControlCells(int32_t kind)
{
    switch (kind) {
    case 1:
    case 2:
        return gridOf(8, 6, [](int32_t r, int32_t c) { return std::min(1101 + r + 8 * c, int32_t(kHairLast)); });
    case 3:
    case 4:
    case 5: {
        // Each row starts at b(r): g doubles every row from 100; past 1001
        // the base h steps on and g starts again, giving 201, 401, 801, 102,
        // 202, 402, 802, 103, ...
        std::array<int32_t, 50> starts {};
        int32_t g = 100;
        int32_t h = 1;
        for (int32_t& start : starts) {
            g *= 2;
            if (h + g > kPaletteLast) {
                ++h;
                g = 100;
                start = h + 100;
            } else {
                start = h + g;
            }
        }
        return gridOf(50, 20, [&starts](int32_t r, int32_t c) {
            return std::min(starts[size_t(r)] + 5 * c, int32_t(kPaletteLast));
        });
    }
    case 6:
        return gridOf(8, 4, [](int32_t r, int32_t c) { return kElfSkin[size_t(r * 4 + c)]; });
    case 7:
        return gridOf(9, 6, [](int32_t r, int32_t c) { return kElfHairHues[size_t(r * 6 + c)]; });
    default:
        return gridOf(8, 8, [](int32_t r, int32_t c) { return std::min(1001 + r + 8 * c, int32_t(kHumanSkinLast)); });
    }
}

HueControl::HueControl(int32_t x, int32_t y, int32_t width, int32_t height, int32_t kind, int32_t art, bool randomStart)
    : CGump(x, y, nullptr, 1, width, height)
    , m_kind(kind)
    , m_art(art)
    , m_cells(hueControlCells(kind))
{
    setTypeName("hue control");
    addKind(GumpKind::HuePicker);
    if (randomStart) {
        m_row = randomBelow(m_cells.rows);
        m_column = randomBelow(m_cells.columns);
    }
    m_value = kind == 6 && !randomStart ? kElfSkinStart : m_cells.at(m_row, m_column);
    // Every caller gives a size larger than its grid; a smaller one still
    // gets cells of at least one pixel.
    m_cellWidth = std::max(1, width / m_cells.columns);
    m_cellHeight = std::max(1, height / m_cells.rows);
    m_left = std::max(0, (width - m_cellWidth * m_cells.columns) / 2);
    m_top = std::max(0, (height - m_cellHeight * m_cells.rows) / 2);
    redraw();
}

void HueControl::cellCentre(int32_t row, int32_t column, int32_t& x, int32_t& y) const
{
    x = m_left + column * m_cellWidth + m_cellWidth / 2;
    y = m_top + row * m_cellHeight + m_cellHeight / 2;
}

void HueControl::cellAt(int32_t x, int32_t y, int32_t& row, int32_t& column) const
{
    row = std::clamp((y - m_top) / m_cellHeight, 0, m_cells.rows - 1);
    column = std::clamp((x - m_left) / m_cellWidth, 0, m_cells.columns - 1);
    if (y < m_top)
        row = 0;
    if (x < m_left)
        column = 0;
}

void HueControl::redraw()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    tileGumpArtRect(0, 0, width(), height(), m_art, face, false);
    for (int32_t r = 0; r < m_cells.rows; ++r) {
        for (int32_t c = 0; c < m_cells.columns; ++c) {
            fillPageRect(face, m_left + c * m_cellWidth, m_top + r * m_cellHeight, m_cellWidth, m_cellHeight,
                uint16_t(hueTable().entry(m_cells.at(r, c)).colours[16] | 1));
        }
    }
    int32_t markX = 0, markY = 0;
    cellCentre(m_row, m_column, markX, markY);
    fillPageRect(face, markX, markY, 1, 1, kMarkColour);
}

void HueControl::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawOwnBuffer(canvas);
}

void HueControl::select(int32_t x, int32_t y)
{
    cellAt(x, y, m_row, m_column);
    m_value = m_cells.at(m_row, m_column);
    redraw();
    if (CGump* owner = parent())
        owner->onControlChanged(this);
}

void HueControl::onMouseOver(int32_t x, int32_t y)
{
    if (x < 0 || y < 0)
        return;
    GumpHandle self(this);
    int32_t row = 0, column = 0;
    cellAt(x, y, row, column);
    if (row == m_row && column == m_column && m_value == m_cells.at(row, column))
        return;
    select(x, y);
}

void HueControl::onLeftDown(int32_t x, int32_t y)
{
    GumpHandle self(this);
    select(x, y);
    // The grid is a picker: it closes on a pick, giving back what it covered.
    if (self)
        setVisible(false);
}

void HueControl::onLeftUp(int32_t, int32_t) { service<GumpPointer>().clearPointerCaptureIf(this); }

void HueControl::onRightUp(int32_t, int32_t) { service<GumpPointer>().clearPointerCaptureIf(this); }
