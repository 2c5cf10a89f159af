#include "windows/course_map.h"

#include "data/client_file_path.h"
#include "data/data_files.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/colour_tables.h"
#include "gump/button.h"
#include "gump/gump_manager.h"
#include "gump/gump_painters.h"
#include "gump/gump_services.h"
#include "net/client_packets.h"
#include "text/ascii_font.h"
#include "text/pixel_primitives.h"
#include "windows/window_packets.h"
#include "world/object_manager.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int32_t kMapHue = 348;
constexpr int32_t kCourseNumberFont = 3;
constexpr int32_t kNumberHue = 0;
constexpr int32_t kMinimisedWidth = 40;
constexpr int32_t kMinimisedHeight = 20;

int64_t integerSquareRoot(int64_t value)
{
    auto root = int64_t(std::sqrt(double(value)));
    while (root * root > value)
        --root;
    while ((root + 1) * (root + 1) <= value)
        ++root;
    return root;
}

} // namespace

CourseGump::CourseGump(int32_t x, int32_t y, int32_t art, MapItem& map, const CourseArea& area, int32_t mapWidth,
    int32_t mapHeight)
    : CGump(x, y, nullptr, 2, 0, 0)
    , m_art(art)
    , m_area(area)
    , m_mapWidth(mapWidth)
    , m_mapHeight(mapHeight)
{
    setTypeName("Course gump");
    addKind(GumpKind::CourseGump);
    setOwnerSerial(map.serial);
    int32_t width = mapWidth + 44;
    int32_t height = mapHeight + 61;
    if (art > kMapArt)
        getGumpArtSize(art, width, height);
    setSize(width, height);
    setMinimisedSize(kMinimisedWidth, kMinimisedHeight);
    page(0)->allocate(width, height);
    page(1)->allocate(kMinimisedWidth, kMinimisedHeight);
    if (page(1)->isAllocated())
        std::fill(page(1)->pixels.begin(), page(1)->pixels.end(), kMinimisedColour);
    if (art == kMapArt)
        drawWorldPicture();
    auto* clear = new Button(width / 2 - 55, height - 24, ButtonBehaviour::ClickOnRelease, 0,
        onParent<&CourseGump::clearCourse>, kClearArt, kClearArt, false);
    clear->setVisible(false);
    gumpLink(clear, this);
    m_clearButton = GumpHandle(clear);
    auto* edit = new Button(width / 2 - 70, 5, ButtonBehaviour::Toggle, 0, onParent<&CourseGump::requestEdit>,
        kEditArtOff, kEditArtOn, false);
    gumpLink(edit, this);
    m_editButton = GumpHandle(edit);
    redrawMap();
}

CourseGump::~CourseGump()
{
    const GumpManager& manager = gumpManager();
    // Ending the edit is asked for unless every window is going at once.
    if (m_editMode && manager.childrenDeleting == 0 && !manager.bulkClosing)
        sendPin(kAskToEdit, 0, kMapX, kMapY);
}

Button* CourseGump::clearButton() const { return static_cast<Button*>(m_clearButton.get()); }
Button* CourseGump::editButton() const { return static_cast<Button*>(m_editButton.get()); }

MapItem* CourseGump::mapItem() const
{
    Item* item = findItemBySerial(mapSerial());
    return item && item->isMap() ? static_cast<MapItem*>(item) : nullptr;
}

const std::vector<PlotPoint>& CourseGump::pins() const
{
    static const std::vector<PlotPoint> none;
    const MapItem* map = mapItem();
    return map ? map->plotPoints() : none;
}

bool CourseGump::inMapArea(int32_t x, int32_t y) const
{
    return x > kMapX - 1 && x < m_mapWidth + kMapX && y > kMapY - 1 && y < m_mapHeight + kMapY;
}

void CourseGump::drawWorldPicture()
{
    MappedFile file(clientFilePath(kMultiMapFileName));
    const uint8_t* bytes = file.map(true);
    if (!bytes)
        return;
    const std::vector<uint8_t> counts
        = countMultiMapLand(std::span<const uint8_t>(bytes, file.size()), m_area, m_mapWidth, m_mapHeight);
    uint16_t ramp[32] {};
    const HueEntry& hue = hueTable().entry(kMapHue - 1);
    for (size_t i = 0; i < 32; ++i)
        ramp[i] = isGumpArt565() ? convert555To565(hue.colours[i]) : hue.colours[i];
    m_worldPicture = colourMultiMapLand(counts, ramp);
}

void CourseGump::drawPin(int32_t x, int32_t y, int32_t number)
{
    GumpPage* face = page(0);
    int32_t pinWidth = 0;
    int32_t pinHeight = 0;
    getGumpArtSize(kPinArt, pinWidth, pinHeight);
    // A pin on the right edge column is drawn one pixel further left.
    const int32_t left = x - pinWidth / 2 - (x == m_mapWidth + kMapX - 1 ? 1 : 0);
    drawGumpArt(copySpanTransparent, kPinArt, face->target(), left, y - pinHeight / 2);
    char digits[16];
    const int32_t count = std::snprintf(digits, sizeof digits, "%d", number);
    const int32_t textX = x < 16 * count + 15 ? x + 5 : x - 16 * count;
    drawAsciiText(textX, y - 5, kCourseNumberFont, kNumberHue, digits, face->surface(), wholeSurface(face->surface()));
}

void CourseGump::redrawMap()
{
    GumpPage* face = page(0);
    if (!face || !face->isAllocated())
        return;
    std::fill(face->pixels.begin(), face->pixels.end(), uint16_t(0));
    if (m_art == kMapArt) {
        drawNinePatch(kBackgroundArt, *face, true);
        for (int32_t row = 0; row < m_mapHeight && !m_worldPicture.empty(); ++row) {
            for (int32_t column = 0; column < m_mapWidth; ++column) {
                const uint16_t colour = m_worldPicture[size_t(row) * size_t(m_mapWidth) + size_t(column)];
                const int32_t x = kMapX + column;
                const int32_t y = kMapY + row;
                if (colour && x < face->width && y < face->height)
                    face->pixels[size_t(y) * size_t(face->width) + size_t(x)] = colour;
            }
        }
    } else {
        drawGumpArt(copySpan, m_art, face->target(), 0, 0);
    }
    int32_t cornerWidth = 0;
    int32_t cornerHeight = 0;
    getGumpArtSize(kMapArt, cornerWidth, cornerHeight);
    drawGumpArt(copySpanTransparent, kMapArt, face->target(), width() - cornerWidth - 26,
        height() - cornerHeight - 34);
    const std::vector<PlotPoint>& course = pins();
    const TextSurface surface = face->surface();
    for (size_t i = 0; i + 1 < course.size(); ++i) {
        if (m_segmentHiddenOn && int32_t(i) == m_segmentHidden)
            continue;
        drawLine16(course[i].x, course[i].y, course[i + 1].x, course[i + 1].y, kLineColour, surface);
    }
    for (size_t i = 0; i < course.size(); ++i)
        drawPin(course[i].x, course[i].y, int32_t(i) + 1);
    if (m_insertMarkOn) {
        int32_t pinWidth = 0;
        int32_t pinHeight = 0;
        getGumpArtSize(kPinArt, pinWidth, pinHeight);
        drawGumpArt(blendSpan75, kPinArt, face->target(), m_insertMarkX - pinWidth / 2, m_insertMarkY - pinHeight / 2);
    }
    m_rubberBandDrawn = false;
}

int32_t CourseGump::pinAt(int32_t x, int32_t y) const
{
    int32_t pinWidth = 0;
    int32_t pinHeight = 0;
    getGumpArtSize(kPinArt, pinWidth, pinHeight);
    const std::vector<PlotPoint>& course = pins();
    for (int32_t i = int32_t(course.size()) - 1; i >= 0; --i) {
        const int32_t left = course[size_t(i)].x - pinWidth / 2;
        const int32_t top = course[size_t(i)].y - pinHeight / 2;
        if (x >= left && x <= left + pinWidth && y >= top && y <= top + pinHeight)
            return i;
    }
    return -1;
}

CourseGump::NearSegment CourseGump::segmentNear(int32_t x, int32_t y, bool forHover) const
{
    const std::vector<PlotPoint>& course = pins();
    NearSegment nearest;
    int64_t best = kNearSegment;
    for (size_t i = 0; i + 1 < course.size(); ++i) {
        const int64_t ax = course[i].x;
        const int64_t ay = course[i].y;
        int64_t bx = course[i + 1].x;
        int64_t by = course[i + 1].y;
        if (forHover
            && (x < std::min(ax, bx) - kSegmentMargin || x > std::max(ax, bx) + kSegmentMargin
                || y < std::min(ay, by) - kSegmentMargin || y > std::max(ay, by) + kSegmentMargin))
            continue;
        if (!forHover && ax == bx && ay == by) {
            // Two pins on one spot count as a segment one pixel long.
            ++bx;
            ++by;
        }
        const int64_t dx = bx - ax;
        const int64_t dy = by - ay;
        const int64_t length = std::max<int64_t>(integerSquareRoot(dx * dx + dy * dy), 1);
        const int64_t along = ((x - ax) * dx + (y - ay) * dy) / length;
        if (along <= 0 || along >= length)
            continue;
        const int64_t distance = std::abs((x - ax) * dy - (y - ay) * dx) / length;
        if (distance < best) {
            best = distance;
            nearest.secondPin = int32_t(i) + 1;
            nearest.middleX = int32_t((course[i].x + course[i + 1].x) / 2);
            nearest.middleY = int32_t((course[i].y + course[i + 1].y) / 2);
        }
    }
    return nearest;
}

void CourseGump::sendPin(uint8_t action, int32_t index, int32_t x, int32_t y)
{
    std::array<uint8_t, 16> storage {};
    PacketBuffer packet(storage.data(), storage.size());
    if (buildMapPinPacket(packet, mapSerial(), action, uint8_t(index), x, y))
        sendWindowPacket(packet);
}

void CourseGump::addPinAt(int32_t x, int32_t y)
{
    MapItem* map = mapItem();
    if (!m_editMode || !map || map->plotPointCount() >= kMaxPins || !inMapArea(x, y))
        return;
    const NearSegment segment = segmentNear(x, y, false);
    if (segment.secondPin >= 0) {
        sendPin(kInsertPin, segment.secondPin, segment.middleX, segment.middleY);
        map->editPlotPoint(kInsertPin, uint8_t(segment.secondPin), uint16_t(segment.middleX),
            uint16_t(segment.middleY));
    } else {
        sendPin(kAppendPin, 0, x, y);
        map->editPlotPoint(kAppendPin, 0, uint16_t(x), uint16_t(y));
    }
    redrawMap();
}

void CourseGump::startPinDrag(int32_t x, int32_t y)
{
    MapItem* map = mapItem();
    if (!m_editMode || !map || m_grabbedPin < 0 || m_grabbedPin >= map->plotPointCount())
        return;
    const std::vector<PlotPoint>& course = map->plotPoints();
    const int32_t index = m_grabbedPin;
    m_neighbourCount = 0;
    if (index > 0)
        m_neighbours[m_neighbourCount++] = { course[size_t(index - 1)].x, course[size_t(index - 1)].y, index };
    if (index + 1 < int32_t(course.size()))
        m_neighbours[m_neighbourCount++] = { course[size_t(index + 1)].x, course[size_t(index + 1)].y, index + 1 };
    // The pin leaves the course until it is dropped; nothing is sent yet.
    map->editPlotPoint(kRemovePin, uint8_t(index), 0, 0);
    m_dragIndex = index;
    m_segmentHidden = m_neighbourCount == 2 ? index - 1 : -1;
    m_segmentHiddenOn = m_neighbourCount == 2;
    m_insertMarkOn = false;
    redrawMap();
    m_cleanPage = *page(0);
    if (x >= 0 && y >= 0 && x < width() && y < height())
        drawRubberBand(x, y);
}

void CourseGump::drawRubberBand(int32_t x, int32_t y)
{
    const TextSurface surface = page(0)->surface();
    for (int32_t i = 0; i < m_neighbourCount; ++i)
        drawTranslucentLine16(x, y, m_neighbours[i].x, m_neighbours[i].y, surface);
    for (int32_t i = 0; i < m_neighbourCount; ++i)
        drawPin(m_neighbours[i].x, m_neighbours[i].y, m_neighbours[i].number);
    m_rubberBandDrawn = true;
    m_rubberBandX = x;
    m_rubberBandY = y;
}

void CourseGump::eraseRubberBand()
{
    if (!m_rubberBandDrawn || !m_cleanPage.isAllocated())
        return;
    const TextSurface surface = page(0)->surface();
    for (int32_t i = 0; i < m_neighbourCount; ++i)
        copyLine16(m_rubberBandX, m_rubberBandY, m_neighbours[i].x, m_neighbours[i].y, surface,
            m_cleanPage.surface());
    m_rubberBandDrawn = false;
}

bool CourseGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    return shown && shown->isAllocated() && x >= 0 && y >= 0 && x < shown->width && y < shown->height
        && shown->pixel(x, y) != 0;
}

void CourseGump::onLeftDown(int32_t x, int32_t y)
{
    setDragAnchor(x, y);
    bringToFront(false);
    m_clicks.press();
    m_grabbedPin = m_editMode ? pinAt(x, y) : -1;
}

void CourseGump::onHoverTick()
{
    const ClickEvent event = m_clicks.expire();
    if (event == ClickEvent::Hold) {
        m_clicks.dragStarted = true;
        startPinDrag(dragAnchorX(), dragAnchorY());
    } else if (event == ClickEvent::Single) {
        addPinAt(dragAnchorX(), dragAnchorY());
    }
}

void CourseGump::onDrag(int32_t x, int32_t y)
{
    if (m_grabbedPin < 0) {
        service<GumpPointer>().setCursorForGumpType(0);
        if (m_clicks.leftDown)
            moveBy(x - dragAnchorX(), y - dragAnchorY(), true, nullptr, true);
        return;
    }
    if (m_dragIndex >= 0) {
        eraseRubberBand();
        if (inMapArea(x, y)) {
            if (!m_segmentHiddenOn && m_segmentHidden >= 0) {
                m_segmentHiddenOn = true;
                redrawMap();
                m_cleanPage = *page(0);
            }
            drawRubberBand(x, y);
        } else if (m_segmentHiddenOn) {
            m_segmentHiddenOn = false;
            redrawMap();
            m_cleanPage = *page(0);
        }
    }
    if (m_clicks.leftDown && m_clicks.clickState > 0
        && WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        m_clicks.clickState = 0;
        m_clicks.dragStarted = true;
        startPinDrag(x, y);
    }
}

void CourseGump::onLeftUp(int32_t x, int32_t y)
{
    GumpHandle self(this);
    // A hold ends and a second click completes; a first click waits for
    // the hover tick.
    m_clicks.release();
    if (m_dragIndex >= 0) {
        if (MapItem* map = mapItem()) {
            // The course may have changed under the drag: the pin goes back
            // no further than its end.
            const int32_t index = std::min(m_dragIndex, map->plotPointCount());
            if (inMapArea(x, y)) {
                sendPin(kMovePin, m_dragIndex, x, y);
                map->editPlotPoint(kInsertPin, uint8_t(index), uint16_t(x), uint16_t(y));
            } else {
                sendPin(kRemovePin, m_dragIndex, 0, 0);
            }
        }
        m_dragIndex = -1;
        m_neighbourCount = 0;
        m_segmentHidden = -1;
        m_segmentHiddenOn = false;
        m_cleanPage.release();
        redrawMap();
    }
    m_grabbedPin = -1;
    if (self)
        service<GumpPointer>().clearPointerCaptureIf(this);
}

void CourseGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void CourseGump::onMouseOver(int32_t x, int32_t y)
{
    GumpPointer& pointer = service<GumpPointer>();
    const MapItem* map = mapItem();
    if (!m_editMode || !map || map->plotPointCount() >= kMaxPins || m_dragIndex >= 0) {
        pointer.setCursorForGumpType(0);
        return;
    }
    const bool markWasOn = m_insertMarkOn;
    if (pinAt(x, y) >= 0) {
        pointer.setCursorForGumpType(0);
        m_insertMarkOn = false;
    } else if (const NearSegment segment = segmentNear(x, y, true); segment.secondPin >= 0) {
        pointer.setCursorForGumpType(0);
        if (markWasOn && segment.middleX == m_insertMarkX && segment.middleY == m_insertMarkY)
            return;
        m_insertMarkOn = true;
        m_insertMarkX = segment.middleX;
        m_insertMarkY = segment.middleY;
        redrawMap();
        return;
    } else {
        m_insertMarkOn = false;
    }
    if (markWasOn && !m_insertMarkOn)
        redrawMap();
}

void CourseGump::setEditMode(bool on)
{
    m_editMode = on;
    if (Button* edit = editButton()) {
        edit->setCurrentPage(on ? 1 : 0);
        int32_t artWidth = 0;
        int32_t artHeight = 0;
        getGumpArtSize(on ? kEditArtOn : kEditArtOff, artWidth, artHeight);
        edit->setLocation(width() / 2 - artWidth / 2, edit->y());
    }
    if (Button* clear = clearButton())
        clear->setVisible(on);
    if (!on) {
        m_insertMarkOn = false;
        redrawMap();
    }
}

void CourseGump::requestEdit()
{
    // The toggle has flipped its own face; the server's answer sets it.
    sendPin(kAskToEdit, 0, kMapX, kMapY);
}

void CourseGump::clearCourse()
{
    sendPin(kClearCourse, 0, kMapX, kMapY);
    if (MapItem* map = mapItem())
        map->editPlotPoint(kClearCourse, 0, 0, 0);
    redrawMap();
}

CourseGump* findCourseGump(uint32_t map)
{
    for (CGump* gump = gumpListHead(); gump && isValidGump(gump); gump = gump->next()) {
        if (gump->is(GumpKind::CourseGump) && gump->ownerSerial() == map)
            return static_cast<CourseGump*>(gump);
    }
    return nullptr;
}

CourseGump* openCourseMap(uint32_t serial, int32_t art, const CourseArea& area, int32_t mapWidth, int32_t mapHeight)
{
    Item* item = findItemBySerial(serial);
    if (!item || !item->isMap() || art < CourseGump::kMapArt || mapWidth <= 0 || mapHeight <= 0
        || mapWidth > CourseGump::kMaxMapSide || mapHeight > CourseGump::kMaxMapSide)
        return nullptr;
    auto* window = new CourseGump(0, 0, art, static_cast<MapItem&>(*item), area, mapWidth, mapHeight);
    gumpLink(window, nullptr);
    return window;
}
