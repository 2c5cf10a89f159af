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
constexpr uint16_t kElfSkinStart = 904;
constexpr uint16_t kCellOutlineColour = 0x7FFF;

constexpr std::array<uint16_t, 32> kElfSkin = { 1245, 1899, 2100, 1071, 588, 589, 590, 190, 1190, 864, 884, 870, 999,
    989, 850, 2306, 1900, 899, 1400, 1000, 883, 904, 900, 885, 1342, 896, 897, 898, 1898, 996, 1308, 997 };
constexpr std::array<uint16_t, 54> kElfHairHues = { 51, 52, 53, 54, 55, 56, 256, 1719, 518, 528, 619, 706, 712, 483,
    568, 872, 1436, 2130, 141, 142, 143, 144, 145, 344, 345, 346, 347, 348, 349, 444, 1828, 87, 295, 302, 498, 592, 796,
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

} // namespace

HueCells hueControlCells(int32_t kind)
{
    HueCells cells;
    switch (kind) {
    case 1:
    case 2:
        cells.columns = 8;
        cells.rows = 6;
        for (int32_t c = 0; c < 8; ++c)
            for (int32_t r = 0; r < 6; ++r)
                cells.values.push_back(uint16_t(1101 + c + 8 * r));
        break;
    case 3:
    case 4:
    case 5:
        // Columns of 20 values 5 apart, starting at h + 200, h + 400, h + 800
        // and h + 101 for h = 1, 2, 3, ...
        cells.columns = 50;
        cells.rows = 20;
        for (int32_t c = 0; c < 50; ++c) {
            const int32_t h = c / 4 + 1;
            static constexpr std::array<int32_t, 4> kOffsets = { 200, 400, 800, 101 };
            const int32_t start = h + kOffsets[size_t(c % 4)];
            for (int32_t r = 0; r < 20; ++r)
                cells.values.push_back(uint16_t(start + 5 * r));
        }
        break;
    case 6:
        cells.columns = 8;
        cells.rows = 4;
        cells.values.assign(kElfSkin.begin(), kElfSkin.end());
        break;
    case 7:
        cells.columns = 9;
        cells.rows = 6;
        cells.values.assign(kElfHairHues.begin(), kElfHairHues.end());
        break;
    default:
        cells.columns = 8;
        cells.rows = 8;
        for (int32_t c = 0; c < 8; ++c)
            for (int32_t r = 0; r < 8; ++r)
                cells.values.push_back(std::min(uint16_t(1001 + c + 8 * r), kHumanSkinLast));
        break;
    }
    return cells;
}

HueControl::HueControl(int32_t x, int32_t y, int32_t width, int32_t height, int32_t kind, int32_t art, bool randomStart)
    : CGump(x, y, nullptr, 1, width, height)
    , m_kind(kind)
    , m_art(art)
    , m_cells(hueControlCells(kind))
{
    setTypeName("hue control");
    addKind(GumpKind::HuePicker);
    if (randomStart)
        m_value = m_cells.values[size_t(randomBelow(int32_t(m_cells.values.size())))];
    else
        m_value = kind == 6 ? kElfSkinStart : m_cells.values.front();
    redraw();
}

int32_t HueControl::cellWidth() const { return std::max(1, (width() - 2 * kMargin) / m_cells.columns); }

int32_t HueControl::cellHeight() const { return std::max(1, (height() - 2 * kMargin) / m_cells.rows); }

bool HueControl::cellAt(int32_t x, int32_t y, int32_t& column, int32_t& row) const
{
    if (x < kMargin || y < kMargin)
        return false;
    column = (x - kMargin) / cellWidth();
    row = (y - kMargin) / cellHeight();
    return column < m_cells.columns && row < m_cells.rows;
}

void HueControl::redraw()
{
    GumpPage& face = *page(0);
    face.allocate(width(), height());
    if (!face.isAllocated())
        return;
    tileGumpArtRect(0, 0, width(), height(), m_art, face, false);
    const int32_t w = cellWidth();
    const int32_t h = cellHeight();
    for (int32_t c = 0; c < m_cells.columns; ++c) {
        for (int32_t r = 0; r < m_cells.rows; ++r) {
            const uint16_t hue = m_cells.at(c, r);
            const int32_t x = kMargin + c * w;
            const int32_t y = kMargin + r * h;
            if (hue == m_value)
                fillPageRect(face, x, y, w, h, kCellOutlineColour);
            const int32_t inset = hue == m_value && w > 2 && h > 2 ? 1 : 0;
            fillPageRect(face, x + inset, y + inset, w - 2 * inset, h - 2 * inset,
                uint16_t(hueTable().entry(hue).colours[16] | 1));
        }
    }
}

void HueControl::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    drawOwnBuffer(canvas);
}

void HueControl::onLeftDown(int32_t x, int32_t y)
{
    int32_t column = 0;
    int32_t row = 0;
    if (!cellAt(x, y, column, row))
        return;
    const uint16_t picked = m_cells.at(column, row);
    if (picked == m_value) {
        setVisible(false);
        return;
    }
    m_value = picked;
    redraw();
    // The grid is a picker: it closes on a pick, giving back what it covered.
    setVisible(false);
    if (CGump* owner = parent())
        owner->onControlChanged(this);
}

void HueControl::onLeftUp(int32_t, int32_t) { service<GumpPointer>().setPointerCapture(nullptr); }
