// The house design window's page: the picker and its pictures, the frame,
// the door page decorations, the counters, and the faces of the floor and
// view buttons.
#include "gfx/art_blitter.h"
#include "gfx/art_cache.h"
#include "gfx/gump_art.h"
#include "gfx/pixel_spans.h"
#include "gump/button.h"
#include "gump/gump_painters.h"
#include "gump/html_view.h"
#include "gump/toggle_control.h"
#include "housing/house_design_gump.h"
#include "text/ascii_font.h"
#include "world/static_object.h"

#include <algorithm>
#include <cstdio>

namespace housing {

namespace {

constexpr int32_t kPickerArt = 3604;
constexpr int32_t kStairLineArt = 2604;
constexpr int32_t kCounterFont = 9;
constexpr int32_t kCounterHue = 1153;
constexpr int32_t kOverHue = 38;
constexpr int32_t kHeightHue = 1257;
constexpr int32_t kUngrantedHue = 995;
constexpr int32_t kFrameY = 17;
// The art whose two-row pictures are kept by their right side in one-row panels.
constexpr int32_t kRightKeptArt = 429;

struct FacePair {
    int32_t up;
    int32_t down;
};

struct Decoration {
    int32_t art;
    int32_t x;
    int32_t y;
};

// Big floor buttons of floors 1-4 (3 floors: the top one's faces go to
// floor 3): normal and highlighted pairs.
constexpr std::array<std::array<FacePair, 2>, 4> kFloorFaces { {
    { { { 22262, 22264 }, { 22265, 22267 } } },
    { { { 22256, 22258 }, { 22259, 22261 } } },
    { { { 22256, 22258 }, { 22259, 22261 } } },
    { { { 22250, 22252 }, { 22253, 22255 } } },
} };
constexpr std::array<FacePair, 4> kSmallFloorFaces { { { 22221, 22225 }, { 22222, 22226 }, { 22222, 22226 },
    { 22224, 22228 } } };
// View buttons of floor 1, the middle floors and the top floor, by mode class.
constexpr std::array<std::array<FacePair, 3>, 3> kViewFaces { {
    { { { 22318, 22320 }, { 22324, 22326 }, { 22321, 22323 } } },
    { { { 22309, 22311 }, { 22312, 22314 }, { 22315, 22317 } } },
    { { { 22300, 22302 }, { 22303, 22305 }, { 22306, 22308 } } },
} };

void setFaces(Button* button, FacePair pair)
{
    button->setArtId(pair.up);
    button->setDownArt(pair.down);
}

void drawArtAt(GumpPage& face, int32_t art, int32_t x, int32_t y)
{
    drawGumpArt(copySpanTransparent, art, face.target(), x, y);
}

void doorDecorations(int32_t page, std::vector<Decoration>& out)
{
    if (page >= 16 && page <= 18)
        out = { { 22405, 245, 39 }, { 22407, 290, 39 }, { 22400, 337, 39 }, { 22402, 380, 39 } };
    else if (page == 15)
        out = { { 22402, 219, 133 }, { 22405, 404, 133 } };
    else if (page >= 19 && page <= 23)
        out = { { 22400, 245, 39 }, { 22401, 290, 39 }, { 22406, 337, 39 }, { 22407, 380, 39 } };
    else
        out = { { 22400, 151, 39 }, { 22401, 196, 39 }, { 22402, 219, 133 }, { 22403, 266, 136 },
            { 22405, 357, 136 }, { 22405, 404, 133 }, { 22406, 431, 39 }, { 22407, 474, 39 } };
}

void drawNumber(GumpPage& face, int32_t x, int32_t y, int32_t font, int32_t hue, int32_t value, bool rightAligned)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    if (rightAligned)
        x -= measureAsciiChars(font, int32_t(std::char_traits<char>::length(text)), text);
    TextSurface surface = face.surface();
    drawAsciiText(x, y, font, hue, text, surface, wholeSurface(surface));
}

} // namespace

void HouseDesignGump::updateFaces()
{
    HouseDesigner& designer = houseDesigner();
    int32_t floors = designer.floorCount();
    int32_t current = designer.floorOfPlayer();
    for (int32_t floor = 1; floor <= 4; ++floor) {
        bool shown = floor <= floors;
        // In a three-floor house the top floor's buttons wear the top faces.
        int32_t faceRow = floor == floors ? 3 : floor - 1;
        bool highlighted = floor == current;
        setFaces(floorButton(floor), kFloorFaces[size_t(faceRow)][highlighted ? 1 : 0]);
        FacePair small = kSmallFloorFaces[size_t(faceRow)];
        if (highlighted)
            std::swap(small.up, small.down);
        setFaces(m_smallFloorButtons[size_t(floor - 1)], small);
        int32_t mode = designer.floorViewMode(floor);
        int32_t modeClass = mode == 0 ? 0 : (mode % 2 == 1 ? 1 : 2);
        int32_t viewRow = floor == 1 ? 0 : (floor == floors ? 2 : 1);
        setFaces(viewButton(floor), kViewFaces[size_t(viewRow)][size_t(modeClass)]);
        floorButton(floor)->setVisible(shown);
        m_smallFloorButtons[size_t(floor - 1)]->setVisible(shown);
        viewButton(floor)->setVisible(shown);
    }
    m_alternateToggle->setVisible(m_panel == kWallStyles);
    m_back->setVisible(m_panel == kWallStyles || m_panel == kMiscStyles || m_panel == kRoofStyles);
    m_lower->setVisible(m_panel == kRoofStyles);
    m_raise->setVisible(m_panel == kRoofStyles);
    m_previous->setVisible(m_pageCount > 1);
    m_next->setVisible(m_pageCount > 1);
    for (HtmlView* view : m_stairTexts)
        view->setVisible(m_panel == kStairPanel);
}

void HouseDesignGump::paint()
{
    GumpPage& face = *page(0);
    if (!face.isAllocated())
        return;
    std::fill(face.pixels.begin(), face.pixels.end(), uint16_t(0));
    HouseDesigner& designer = houseDesigner();
    tileGumpArtRect(121, 36, 397, 120, kPickerArt, face, false);
    if (m_panel == kStairPanel)
        tileGumpArtRect(121, 96, 397, 2, kStairLineArt, face, false);
    drawPictures(face);

    int32_t rightEnd = designer.floorCount() == 4 ? 22002 : 22009;
    int32_t rightX = kWidth - 1 - gumpArtSize(22002).width;
    drawArtAt(face, 22000, 0, kFrameY);
    int32_t middleX = gumpArtSize(22000).width;
    if (rightX > middleX)
        tileGumpArtRect(middleX, kFrameY, rightX - middleX, gumpArtSize(22001).height, 22001, face, false);
    drawArtAt(face, rightEnd, rightX, kFrameY);

    if (m_panel == kDoorPanel) {
        std::vector<Decoration> decorations;
        doorDecorations(shownPage(), decorations);
        for (const Decoration& decoration : decorations)
            drawArtAt(face, decoration.art, decoration.x, decoration.y);
    }
    if (m_panel == kWallStyles || m_panel == kMiscStyles || m_panel == kRoofStyles)
        drawArtAt(face, 22003, 152, 0);
    if (m_panel == kWallStyles)
        drawArtAt(face, 22004, 218, 4);
    if (m_panel == kRoofStyles)
        drawArtAt(face, 22004, 383, 4);

    int32_t plain = designer.componentCount() - designer.specialCount();
    drawNumber(face, 79, 152, kCounterFont, plain < designer.componentBudget() ? kCounterHue : kOverHue, plain, true);
    TextSurface surface = face.surface();
    drawAsciiText(84, 152, kCounterFont, kCounterHue, ":", surface, wholeSurface(surface));
    drawNumber(face, 94, 152, kCounterFont,
        designer.specialCount() < designer.specialBudget() ? kCounterHue : kOverHue, designer.specialCount(), false);
    drawNumber(face, 524, 152, kCounterFont, kCounterHue, designer.designCostFigure(), false);
    if (m_panel == kRoofStyles) {
        int32_t step = designer.heightStep();
        drawNumber(face, step == 1 ? 408 : 405, 31, 3, kHeightHue, step, false);
    }
}

void HouseDesignGump::drawPictures(GumpPage& face)
{
    bool twoRows = sixteenPerPage();
    int32_t cells = twoRows ? 16 : 8;
    int32_t rowLimit = twoRows ? 58 : 120;
    int32_t boxHeight = twoRows ? 60 : 120;
    bool granted = pageGranted();
    std::vector<uint16_t> scratch;
    for (int32_t cell = 0; cell < cells; ++cell) {
        int32_t id = m_cellIds[size_t(cell)];
        if (id <= 0)
            continue;
        int32_t hue = artRemapHue(id);
        if (!granted)
            hue = kUngrantedHue;
        const ArtImage* image = getArtImage(ArtImageCache::kStaticArtBase + remappedDrawGraphic(id));
        if (!image)
            continue;
        int32_t width = image->width();
        int32_t height = image->height();
        scratch.assign(size_t(width) * size_t(height), 0);
        BlitTarget target = BlitTarget::surface(scratch.data(), width, height, width);
        if (hue > 0) {
            setCurrentHue(hue - 1);
            blitArt(hueSpanByRed, image, target, 0, 0);
        } else {
            blitArt(copySpanTransparent, image, target, 0, 0);
        }
        // The box of the picture's drawn pixels.
        int32_t left = width, right = -1, top = height, bottom = -1;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (scratch[size_t(y) * size_t(width) + size_t(x)] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right < 0)
            continue;
        int32_t boxWidth = right - left + 1;
        if (boxWidth > kCellWidth) {
            if (!twoRows && id == kRightKeptArt)
                left = right - kCellWidth + 1;
            boxWidth = kCellWidth;
        }
        int32_t boxRows = std::min(bottom - top + 1, rowLimit);
        int32_t cellX = kPickerLeft + kCellWidth * (cell % 8);
        int32_t cellY = cell < 8 ? kPickerTop : 97;
        int32_t toX = cellX + (kCellWidth - boxWidth) / 2;
        int32_t toY = cellY + (boxHeight - boxRows) / 2;
        for (int32_t row = 0; row < boxRows; ++row) {
            int32_t y = toY + row;
            if (y < 0 || y >= face.height)
                continue;
            for (int32_t column = 0; column < boxWidth; ++column) {
                int32_t x = toX + column;
                uint16_t pixel = scratch[size_t(top + row) * size_t(width) + size_t(left + column)];
                if (pixel != 0 && x >= 0 && x < face.width)
                    face.pixels[size_t(y) * size_t(face.width) + size_t(x)]
                        = isGumpArt565() ? uint16_t(((pixel & 0xFFE0) << 1) | (pixel & 0x1F)) : pixel;
            }
        }
    }
}

} // namespace housing
