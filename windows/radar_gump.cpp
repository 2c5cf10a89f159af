#include "windows/radar_gump.h"

#include "data/def_tables.h"
#include "data/file_manager.h"
#include "gfx/colour_tables.h"
#include "gfx/gump_art.h"
#include "gfx/hue_table.h"
#include "gfx/pixel_spans.h"
#include "gump/gump_canvas.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "gump/gump_services.h"
#include "platform/clock.h"
#include "world/item.h"
#include "world/item_graphics.h"
#include "world/light_pass.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/seasons.h"
#include "world/static_object.h"
#include "world/terrain_blocks.h"
#include "world/tile_data.h"
#include "world/world_settings.h"

#include <algorithm>
#include <cstdlib>

namespace {

RadarGump* g_openRadar = nullptr;

// The blob a tree's foliage leaves on the radar, three shapes.
struct RadarOffset {
    int8_t dx;
    int8_t dy;
};
constexpr RadarOffset kRadarBlobs[3][17] = {
    { { 0, 0 }, { 0, -2 }, { 1, -2 }, { -2, -1 }, { -1, -1 }, { 0, -1 }, { 1, -1 }, { 2, -1 }, { -1, 0 }, { 1, 0 },
        { 2, 0 }, { -2, 1 }, { -1, 1 }, { 0, 1 }, { 1, 1 }, { -1, 2 }, { 0, 2 } },
    { { 0, 0 }, { -1, -2 }, { 0, -2 }, { -1, -1 }, { 0, -1 }, { 1, -1 }, { 2, -1 }, { -2, 0 }, { -1, 0 }, { 1, 0 },
        { 2, 0 }, { -2, 1 }, { -1, 1 }, { 0, 1 }, { 1, 1 }, { 0, 2 }, { 1, 2 } },
    { { 0, 0 }, { -1, -2 }, { 1, -2 }, { -2, -1 }, { -1, -1 }, { 0, -1 }, { 1, -1 }, { 2, -1 }, { -1, 0 }, { 1, 0 },
        { -2, 1 }, { -1, 1 }, { 0, 1 }, { 1, 1 }, { 2, 1 }, { -1, 2 }, { 1, 2 } },
};

struct RadarRange {
    int32_t first;
    int32_t last;
};
// Statics drawn brighter than their colour says (lamps, crystals, signs).
constexpr RadarRange kRadarBrightStatics[] = { { 4846, 4892 }, { 4974, 4974 }, { 4990, 4994 }, { 5465, 5465 },
    { 6039, 6044 }, { 8710, 8748 }, { 8762, 8777 }, { 11070, 11109 }, { 12950, 12953 }, { 13371, 13420 },
    { 13422, 13445 }, { 13456, 13483 }, { 13493, 13525 }, { 13549, 13616 } };
// Land that keeps its colour whatever its slope.
constexpr RadarRange kRadarUnshadedLand[] = { { 168, 171 }, { 310, 311 }, { 500, 503 } };

bool radarInRanges(std::span<const RadarRange> ranges, int32_t value)
{
    return std::any_of(
        ranges.begin(), ranges.end(), [value](const RadarRange& r) { return value >= r.first && value <= r.last; });
}

// Each 5-bit channel times f / 1000, f first limited so that no channel
// passes 31; truncated.
uint16_t radarScale(uint16_t colour, int32_t f)
{
    const int32_t red = redOf(colour);
    const int32_t green = greenOf(colour);
    const int32_t blue = blueOf(colour);
    const int32_t largest = std::max({ red, green, blue });
    if (largest != 0)
        f = std::min(f, 31000 / largest);
    f = std::max(f, 0);
    return uint16_t(((red * f / 1000) << kRedShift) | ((green * f / 1000) << kGreenShift) | (blue * f / 1000));
}

uint16_t radarRemappedLand(uint16_t id)
{
    const DefTable* table = defTable(DefSlot::Art);
    return table && table->contains(id) ? table->translate(id, 0) : id;
}

} // namespace

bool parseRadarColours(std::span<const uint8_t> bytes, RadarColours& colours)
{
    if (bytes.size() != size_t(kRadarColourFileBytes))
        return false;
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return true;
}

// The cells of one rebuild: the picture's top-left cell and the facet's
// wrapping, as they were when the rebuild began.
struct RadarGump::Window {
    int32_t left = 0;
    int32_t top = 0;
    bool beyond = false;
    int32_t wrapWidth = 0;
    int32_t wrapHeight = 0;
    int32_t mapWidth = 0;
    int32_t mapHeight = 0;
    int32_t blocksWide = 0;
    int32_t blocksHigh = 0;
    int32_t playerX = 0;
};

RadarGump::RadarGump(int32_t x, int32_t y, int32_t face)
    : CGump(x, y, nullptr, 2, 0, 0)
    , m_face(face)
{
    setTypeName("radar gump");
    addKind(GumpKind::Radar);
    // A missing or damaged file leaves every colour 0: a black picture.
    std::vector<uint8_t> bytes;
    fileManager().readWhole(kRadarColourFileName, bytes);
    parseRadarColours(bytes, m_colours);
    int32_t width = 0;
    int32_t height = 0;
    getGumpArtSize(face, width, height);
    setSize(width, height);
    setMinimisedSize(kMinimisedWidth, kMinimisedHeight);
    m_pictureWidth = width / 2;
    m_pictureHeight = height / 2;
    m_picture.assign(size_t(m_pictureWidth) * size_t(m_pictureHeight), 0);
    m_heights.assign(m_picture.size(), 0);
    page(0)->allocate(width, height);
    page(1)->allocate(kMinimisedWidth, kMinimisedHeight);
    std::fill(page(1)->pixels.begin(), page(1)->pixels.end(), kMinimisedFill);
    g_openRadar = this;
    rebuildImage();
}

RadarGump::~RadarGump()
{
    if (g_openRadar == this)
        g_openRadar = nullptr;
}

RadarGump* openRadarGump() { return isValidGump(g_openRadar) ? g_openRadar : nullptr; }

uint16_t RadarGump::keyColour() const { return isGumpArt565() ? kKeyColour565 : kKeyColour555; }

void RadarGump::draw(GumpCanvas& canvas)
{
    if (!isVisible())
        return;
    setCurrentPage(isMinimised() ? 1 : 0);
    drawPage(canvas);
    drawChildren(canvas);
}

bool RadarGump::lookKey(uint64_t& key)
{
    setCurrentPage(isMinimised() ? 1 : 0);
    key = faceLookKey();
    return true;
}

bool RadarGump::containsPoint(int32_t x, int32_t y)
{
    GumpPage* shown = page(isMinimised() ? 1 : 0);
    return shown && shown->isAllocated() && x >= 0 && y >= 0 && x < shown->width && y < shown->height
        && shown->pixel(x, y) != 0;
}

void RadarGump::onLeftDown(int32_t x, int32_t y)
{
    bringToFront(false);
    setDragAnchor(x, y);
    m_clicks.press();
}

void RadarGump::onLeftUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    const ClickEvent event = m_clicks.release();
    if (m_clickSuppressed) {
        m_clickSuppressed = false;
        return;
    }
    // The factory closes this window and opens the other face in its place.
    if (event == ClickEvent::Double)
        gumpOpenByKind(nullptr, gump_kind::kRadarLarge, nullptr, false, false);
}

void RadarGump::onRightUp(int32_t, int32_t)
{
    service<GumpPointer>().clearPointerCaptureIf(this);
    closeGump(this);
}

void RadarGump::onDrag(int32_t x, int32_t y)
{
    if (!m_clicks.leftDown)
        return;
    if (WindowClicks::movedBeyondThreshold(x, y, dragAnchorX(), dragAnchorY())) {
        m_clickSuppressed = true;
        m_clicks.clickState = 0;
    }
    // Dragged anywhere, but never so far that less than 160 pixels show.
    const GumpScreen& screen = gumpScreen();
    int32_t newX = this->x() + x - dragAnchorX();
    int32_t newY = this->y() + y - dragAnchorY();
    newX = std::min(std::max(newX, kKeepOnScreen - width()), screen.width - kKeepOnScreen);
    newY = std::min(std::max(newY, kKeepOnScreen - height()), screen.height - kKeepOnScreen);
    moveBy(newX - this->x(), newY - this->y(), true, nullptr, false);
}

void RadarGump::onHoverTick() { m_clicks.expire(); }

void RadarGump::tick()
{
    tickRadar();
    blinkPlayer();
}

void RadarGump::tickRadar()
{
    const uint32_t now = platform::clock().tickMs();
    if (now - m_lastRebuild < kRebuildIntervalMs)
        return;
    rebuildImage();
    m_lastRebuild = now;
}

void RadarGump::rebuildImage()
{
    const PlayerMobile* self = player();
    const LightLevels& levels = lightLevels();
    const int32_t light = isPlayerDead() ? 0 : std::clamp(levels.global - levels.personal, 0, 31);
    const int32_t x = self ? self->x : 0;
    const int32_t y = self ? self->y : 0;
    const int32_t facet = mapView().currentFacet;
    if (!m_force && x == m_keyX && y == m_keyY && light == m_keyLight && facet == m_keyFacet)
        return;
    m_keyX = x;
    m_keyY = y;
    m_keyLight = light;
    m_keyFacet = facet;
    m_force = false;
    m_light = light;
    buildPicture();
    m_lastRebuild = platform::clock().tickMs();
}

void RadarGump::buildPicture()
{
    ++m_buildCount;
    const MapView& view = mapView();
    Window window;
    window.left = m_keyX - m_pictureWidth / 2;
    window.top = m_keyY - m_pictureHeight / 2;
    window.wrapWidth = view.wrapWidth;
    window.wrapHeight = view.wrapHeight;
    window.mapWidth = view.mapWidth;
    window.mapHeight = view.mapHeight;
    window.blocksWide = view.blocksWide;
    window.blocksHigh = view.blocksHigh;
    window.beyond = m_keyX >= view.wrapWidth;
    window.playerX = m_keyX;
    std::fill(m_heights.begin(), m_heights.end(), int16_t(0));
    if (player()) {
        drawLand(window);
        drawStatics(window);
        drawWorldItems(window);
    } else {
        std::fill(m_picture.begin(), m_picture.end(), keyColour());
    }
    compose();
}

uint16_t RadarGump::convert(uint16_t colour) const
{
    const ColourTables& tables = colourTables();
    const size_t level = size_t(m_light);
    const uint32_t red = tables.shadeRed[redOf(colour)][level];
    const uint32_t green = tables.shadeGreen[greenOf(colour)][level];
    const uint32_t blue = tables.shadeValue[blueOf(colour)][level];
    if (isGumpArt565())
        return uint16_t(((green | red) << 1) | blue);
    return uint16_t(green | red | blue | 0x8000);
}

uint16_t RadarGump::huedColour(int32_t graphic, uint16_t hue) const
{
    uint16_t colour = m_colours[size_t(0x4000 + (graphic & 0x3FFF))];
    const int32_t index = hue == 0 ? -1 : hueEntryIndex(hue);
    if (index >= 0) {
        colour = hueTable().entry(index).colours[redOf(colour)];
        if (colour == 0x7FFF)
            colour = kPaleWhite;
    }
    return colour;
}

void RadarGump::plot(int32_t column, int32_t row, uint16_t colour)
{
    m_picture[size_t(row) * size_t(m_pictureWidth) + size_t(column)] = colour;
}

void RadarGump::drawLand(const Window& window)
{
    for (int32_t row = 0; row < m_pictureHeight; ++row) {
        for (int32_t column = 0; column < m_pictureWidth; ++column) {
            int32_t x = window.left + column;
            int32_t y = window.top + row;
            bool inside = true;
            if (!window.beyond) {
                x += x < 0 ? window.wrapWidth : (x >= window.wrapWidth ? -window.wrapWidth : 0);
                y += y < 0 ? window.wrapHeight : (y >= window.wrapHeight ? -window.wrapHeight : 0);
                // A picture wider than the facet itself still stays on it.
                inside = x >= 0 && x < window.wrapWidth && y >= 0 && y < window.wrapHeight;
            } else {
                inside = x >= window.wrapWidth && x < window.mapWidth && y >= 0 && y < window.mapHeight;
            }
            uint16_t id = kMissingLandId;
            int32_t z = 0;
            if (inside) {
                TerrainCell cell;
                if (readTerrainCell(x, y, cell)) {
                    id = cell.landId;
                    z = cell.z;
                } else {
                    id = 0;
                }
                id = radarRemappedLand(id);
            }
            const size_t at = size_t(row) * size_t(m_pictureWidth) + size_t(column);
            m_heights[at] = int16_t(z);
            if (id > 0x3FFF) {
                m_picture[at] = keyColour();
                continue;
            }
            uint16_t colour = m_colours[id];
            if (id == 2 || colour == 0x7FFF)
                colour = kPaleWhite;
            if (!radarInRanges(kRadarUnshadedLand, id)) {
                int32_t steepness = 0;
                const int32_t slope = classifyTerrainSlope(x, y, 2, steepness);
                steepness = std::min(steepness, 20);
                if (slope >= 5)
                    colour = radarScale(colour, 1000 + 20 * steepness);
                else if (slope >= 1)
                    colour = radarScale(colour, 1000 - 20 * steepness);
            }
            m_picture[at] = convert(colour);
        }
    }
}

void RadarGump::drawStatics(const Window& window)
{
    // Statics do not wrap: only the blocks under the picture, on the map.
    constexpr int32_t kLastWrappingBlockX = 5112;
    const int32_t firstX = std::max(window.left / 8, 0);
    const int32_t firstY = std::max(window.top / 8, 0);
    const int32_t lastX = std::min(window.left / 8 + m_pictureWidth / 8, window.blocksWide - 1);
    const int32_t lastY = std::min(window.top / 8 + m_pictureHeight / 8, window.blocksHigh - 1);
    const int32_t season = getSeasonAtPlayer(window.playerX);
    const bool bareTrees = (season == 3 || season == 4) && !worldObjectSettings().treeCanopies;
    for (int32_t blockX = firstX; blockX <= lastX; ++blockX) {
        if ((blockX * 8 > kLastWrappingBlockX) != window.beyond)
            continue;
        for (int32_t blockY = firstY; blockY <= lastY; ++blockY) {
            for (const StaticRecord& record : getStaticsBlock(blockX * window.blocksHigh + blockY)) {
                const int32_t graphic = remappedDrawGraphic(record.graphic);
                if (isHiddenItemGraphic(graphic))
                    continue;
                const TileDataItem& tile = tileData().item(graphic);
                int32_t top = record.z + tile.height;
                if (tile.flags & kTileRoof)
                    ++top;
                if (tile.flags & kTileWall)
                    --top;
                int32_t column = blockX * 8 + record.x - window.left;
                int32_t row = blockY * 8 + record.y - window.top;
                if ((tile.flags & kTileFoliage) && !bareTrees) {
                    const int32_t cellSum = blockY * 8 + record.y + top + blockX * 8 + record.x + graphic;
                    const int32_t pattern = ((cellSum % 3) + 3) % 3;
                    const uint16_t leaves = huedColour(graphic, record.hue);
                    for (const RadarOffset& offset : kRadarBlobs[pattern]) {
                        const int32_t c = column + offset.dx;
                        const int32_t r = row + offset.dy;
                        if (c < 0 || r < 0 || c >= m_pictureWidth || r >= m_pictureHeight)
                            continue;
                        m_heights[size_t(r) * size_t(m_pictureWidth) + size_t(c)] = 255;
                        plot(c, r, convert(radarScale(leaves, 1000 + 200 * (offset.dy - offset.dx))));
                    }
                    continue;
                }
                if (tile.flags & kTileRoof) {
                    --column;
                    --row;
                }
                if (column < 0 || row < 0 || column >= m_pictureWidth || row >= m_pictureHeight)
                    continue;
                int16_t& height = m_heights[size_t(row) * size_t(m_pictureWidth) + size_t(column)];
                if (top < height)
                    continue;
                height = int16_t(top);
                uint16_t colour = huedColour(graphic, record.hue);
                if (radarInRanges(kRadarBrightStatics, graphic))
                    colour = radarScale(colour, 1280);
                if (tile.height >= 1 && tile.height <= 19)
                    colour = radarScale(colour, 1000 + 60 * tile.height);
                plot(column, row, convert(colour));
            }
        }
    }
}

void RadarGump::drawWorldItems(const Window& window)
{
    for (Item* object = itemList().head(); object; object = ItemList::next(object)) {
        const Item& item = *object;
        // Only items lying in the world: not carried, worn or held aside, and
        // no mobiles (their graphic is a body, not an entry of the table).
        if (item.isMobile() || item.isDetached() || item.container())
            continue;
        const int32_t graphic = remappedDrawGraphic(item.graphic);
        if (isHiddenItemGraphic(graphic))
            continue;
        int32_t column = item.x - window.left;
        int32_t row = item.y - window.top;
        if (tileData().item(graphic).flags & kTileRoof) {
            --column;
            --row;
        }
        if (column < 0 || row < 0 || column >= m_pictureWidth || row >= m_pictureHeight)
            continue;
        int16_t& height = m_heights[size_t(row) * size_t(m_pictureWidth) + size_t(column)];
        if (item.z < height)
            continue;
        height = item.z;
        plot(column, row, convert(huedColour(graphic, item.hue)));
    }
}

void RadarGump::compose()
{
    GumpPage& composite = *page(0);
    if (!composite.isAllocated())
        return;
    std::fill(composite.pixels.begin(), composite.pixels.end(), uint16_t(0));
    drawGumpArt(copySpan, m_face, composite.target(), 0, 0);
    const uint16_t key = keyColour();
    const int32_t width = composite.width;
    const int32_t height = composite.height;
    int32_t passes = 0;
    for (int32_t row = 0; row < m_pictureHeight && passes < height; ++row) {
        for (int32_t pass = 0; pass < 2 && passes < height; ++pass, ++passes) {
            for (int32_t column = 1; column < m_pictureWidth; ++column) {
                const int32_t x = width / 2 - 1 - row + column;
                const int32_t y = row + column + pass;
                if (x < 0 || y < 0 || x >= width || y >= height)
                    break;
                uint16_t& pixel = composite.pixels[size_t(y) * size_t(width) + size_t(x)];
                if (pixel == key)
                    pixel = m_picture[size_t(row) * size_t(m_pictureWidth) + size_t(column)];
            }
        }
    }
    // A fresh picture starts with a white centre.
    m_centreWhite = false;
    m_savedCentre = 0;
    m_blinkCounter = kBlinkSteps;
    blinkPlayer();
    markLookChanged();
}

void RadarGump::blinkPlayer()
{
    if (++m_blinkCounter < kBlinkSteps)
        return;
    m_blinkCounter = 0;
    GumpPage& composite = *page(0);
    if (!composite.isAllocated())
        return;
    uint16_t& centre
        = composite.pixels[size_t(composite.height / 2) * size_t(composite.width) + size_t(composite.width / 2)];
    if (m_centreWhite) {
        centre = m_savedCentre;
    } else {
        m_savedCentre = centre;
        centre = isGumpArt565() ? 0xFFFF : 0x7FFF;
    }
    m_centreWhite = !m_centreWhite;
    markLookChanged();
}
