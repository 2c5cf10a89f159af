#include "world/light_pass.h"

#include "gfx/colour_tables.h"
#include "world/cell_grid.h"
#include "world/item.h"
#include "world/light_files.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/static_object.h"
#include "world/tile_data.h"
#include "world/map_view.h"
#include "world/world_screen.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kBlockWidth = 64;
constexpr int32_t kBlockHeight = 48;
constexpr int32_t kNoLight = 100;
constexpr int32_t kFixedLightId = 2;

// A light source that reaches the rectangle being lit.
struct VisibleLight {
    const LightShape* shape = nullptr;
    // Game-area pixels.
    ScreenRect rect;
    const LightOperator* op = nullptr;
};

bool hasFixedLightId(int32_t graphic)
{
    return (graphic >= 0x3E02 && graphic <= 0x3E0B) || (graphic >= 0x3914 && graphic <= 0x3929);
}

// The object whose place the light shines from: the wearer of a worn light.
const WorldObject& placedObjectOf(const StaticObject& source)
{
    if (source.isDynamic()) {
        if (const Item* holder = static_cast<const Item&>(source).container())
            return *holder;
    }
    return source;
}

int32_t lightIdOf(const StaticObject& source, bool sourceIsPlaced, bool tileLayerRule, bool fixedIds)
{
    const TileDataItem& tile = tileData().item(source.tileIndex());
    int32_t id = sourceIsPlaced ? source.direction : tile.tileExtra;
    if (tileLayerRule && (tile.flags & kTileWall))
        id = tile.quality;
    if (fixedIds && hasFixedLightId(source.graphic))
        id = kFixedLightId;
    return id;
}

// The light's anchor in world pixels.
void lightAnchor(const WorldObject& placed, int32_t& x, int32_t& y)
{
    if (placed.isMobile()) {
        const auto& mobile = static_cast<const Mobile&>(placed);
        x = 22 * (mapView().mapWidth + mobile.x - mobile.y) + 1;
        y = 22 * (mobile.x + mobile.y) + 4 * (5 - mobile.drawZ);
        if (mobile.isPlayer()) {
            x += worldScreen().stepOffsetX;
            y += worldScreen().stepOffsetY;
        } else {
            x -= mobile.offsetX;
            y -= mobile.offsetY;
        }
        return;
    }
    x = placed.columnKey * 22;
    y = placed.rowKey * 22 - 4 * placed.z + 43;
}

ScreenRect shapeRect(const LightShape& shape, int32_t anchorX, int32_t anchorY)
{
    int32_t left = anchorX - (shape.width >> 1);
    int32_t top = anchorY - (shape.height >> 1) - 22;
    return { left, top, left + shape.width, top + shape.height };
}

// Something on the cell diagonally in front of the light rises above it.
bool isOccluded(const WorldObject& placed)
{
    int32_t x = placed.x + 1;
    int32_t y = placed.y + 1;
    for (const WorldObject* object = worldCellGrid().head(WorldCellGrid::cellIndex(x, y)); object;
         object = object->cellNext()) {
        if (object->x != x || object->y != y || object->topZ() <= placed.z + 4)
            continue;
        if (object->isMobile() || object->isSlice() || object->isHidden())
            continue;
        if (object->isLand() || !(object->tileFlags() & kTileSeeThrough))
            return true;
    }
    return false;
}

void collectLights(bool coloured, std::vector<VisibleLight>& out)
{
    out.clear();
    const WorldScreen& screen = worldScreen();
    for (const StaticObject* source = worldLists().lightSources.head(); source;
         source = LightSourceList::next(source)) {
        const WorldObject& placed = placedObjectOf(*source);
        if (placed.isHidden() || !placed.isPlaced() || isOccluded(placed))
            continue;
        int32_t id = lightIdOf(*source, &placed == source, coloured, coloured);
        if (id >= kNoLight)
            continue;
        const LightShape* shape = lightFiles().shape(id);
        if (!shape)
            continue;
        int32_t x = 0;
        int32_t y = 0;
        lightAnchor(placed, x, y);
        VisibleLight light;
        light.shape = shape;
        light.rect = shapeRect(*shape, x - screen.viewPixelX, y - screen.viewPixelY);
        light.op = &lightOperator(coloured ? lightOperatorCode(source->graphic) : 666);
        out.push_back(light);
    }
}

int32_t ambientDarkness(bool coloured)
{
    const PlayerMobile* self = player();
    if (self && self->isDead())
        return 0;
    const LightLevels& levels = lightLevels();
    bool darkNights = lightPassSettings().darkNights;
    return coloured ? ambientDarknessColoured(levels.global, levels.personal, darkNights)
                    : ambientDarknessPlain(levels.global, levels.personal, darkNights);
}

// Subtracts every light from the block's darkness: `channels` bytes per pixel.
template <int Channels>
void subtractLights(const std::vector<VisibleLight>& lights, const ScreenRect& block, uint8_t* darkness)
{
    const int32_t blockWidth = block.width();
    for (const VisibleLight& light : lights) {
        ScreenRect part = light.rect.intersected(block);
        if (part.isEmpty())
            continue;
        const LightShape& shape = *light.shape;
        const LightOperator& op = *light.op;
        for (int32_t y = part.top; y < part.bottom; ++y) {
            const uint8_t* strength = shape.strengths.data() + size_t(y - light.rect.top) * size_t(shape.width)
                + size_t(part.left - light.rect.left);
            uint8_t* dark = darkness + (size_t(y - block.top) * size_t(blockWidth) + size_t(part.left - block.left)) * Channels;
            for (int32_t x = part.left; x < part.right; ++x, ++strength, dark += Channels) {
                uint8_t v = *strength;
                dark[0] = uint8_t(std::max(dark[0] - op.red[v], 0));
                if constexpr (Channels == 3) {
                    dark[1] = uint8_t(std::max(dark[1] - op.green[v], 0));
                    dark[2] = uint8_t(std::max(dark[2] - op.blue[v], 0));
                }
            }
        }
    }
}

// Scales each pixel of the block by its darkness; `channels` 3 gives each
// channel its own darkness, 1 one for all. In 5-6-5 one darkness (the first)
// serves all three and the pixel is written as 5-6-5.
template <int Channels>
void applyBlock(const BlitTarget& target, const ScreenRect& block, const uint8_t* darkness, bool to565)
{
    const auto& shade = colourTables().shade;
    for (int32_t y = block.top; y < block.bottom; ++y) {
        uint16_t* pixel = target.at(block.left, y);
        for (int32_t x = block.left; x < block.right; ++x, ++pixel, darkness += Channels) {
            uint16_t p = *pixel;
            uint32_t red = (p >> 10) & 31;
            uint32_t green = (p >> 5) & 31;
            uint32_t blue = p & 31;
            if (to565) {
                const auto& row = shade[darkness[0]];
                *pixel = uint16_t((row[red] << 11) | (row[green] << 6) | row[blue]);
                continue;
            }
            uint8_t dr = darkness[0];
            uint8_t dg = Channels == 3 ? darkness[1] : dr;
            uint8_t db = Channels == 3 ? darkness[2] : dr;
            // No darkness leaves the pixel as drawn.
            if ((dr | dg | db) == 0)
                continue;
            *pixel = uint16_t((shade[dr][red] << 10) | (shade[dg][green] << 5) | shade[db][blue]);
        }
    }
}

// A block that no light reaches: one darkness for every pixel and channel.
void applyUniformBlock(const BlitTarget& target, const ScreenRect& block, uint8_t darkness, bool to565)
{
    const auto& row = colourTables().shade[darkness];
    const int shift = to565 ? 11 : 10;
    const int greenShift = to565 ? 6 : 5;
    for (int32_t y = block.top; y < block.bottom; ++y) {
        uint16_t* pixel = target.at(block.left, y);
        for (int32_t x = block.left; x < block.right; ++x, ++pixel) {
            uint16_t p = *pixel;
            *pixel = uint16_t((row[(p >> 10) & 31] << shift) | (row[(p >> 5) & 31] << greenShift) | row[p & 31]);
        }
    }
}

bool anyLightMeets(const std::vector<VisibleLight>& lights, const ScreenRect& block)
{
    return std::any_of(
        lights.begin(), lights.end(), [&block](const VisibleLight& light) { return light.rect.overlaps(block); });
}

template <int Channels>
void lightRect(const BlitTarget& target, const ScreenRect& rect, bool to565)
{
    ScreenRect area = rect.intersected(target.bounds);
    if (area.isEmpty())
        return;
    uint8_t ambient = uint8_t(ambientDarkness(Channels == 3));
    // Lights only take darkness away, down to none: without darkness every
    // pixel stays as drawn, unless the pass must turn it into 5-6-5.
    if (ambient == 0 && !to565)
        return;
    static std::vector<VisibleLight> lights;
    collectLights(Channels == 3, lights);
    std::array<uint8_t, kBlockWidth * kBlockHeight * Channels> darkness;
    for (int32_t top = area.top; top < area.bottom; top += kBlockHeight) {
        for (int32_t left = area.left; left < area.right; left += kBlockWidth) {
            ScreenRect block { left, top, std::min(left + kBlockWidth, area.right),
                std::min(top + kBlockHeight, area.bottom) };
            if (!anyLightMeets(lights, block)) {
                applyUniformBlock(target, block, ambient, to565);
                continue;
            }
            size_t used = size_t(block.width()) * size_t(block.height()) * Channels;
            std::fill(darkness.begin(), darkness.begin() + ptrdiff_t(used), ambient);
            subtractLights<Channels>(lights, block, darkness.data());
            applyBlock<Channels>(target, block, darkness.data(), to565);
        }
    }
}

} // namespace

LightLevels& lightLevels()
{
    static LightLevels levels;
    return levels;
}

LightPassSettings& lightPassSettings()
{
    static LightPassSettings settings;
    return settings;
}

bool setGlobalLightLevel(int32_t level)
{
    LightLevels& levels = lightLevels();
    if (levels.global == level)
        return false;
    levels.global = level;
    worldService<RadarView>().rebuildRadar();
    invalidateWholeScreen();
    return true;
}

void resetLightLevels() { lightLevels() = LightLevels {}; }

int32_t ambientDarknessColoured(int32_t global, int32_t personal, bool darkNights)
{
    int32_t d = global - personal;
    if (darkNights && global >= 12 && d >= 12)
        return 30;
    return std::clamp(d, 0, 31);
}

int32_t ambientDarknessPlain(int32_t global, int32_t personal, bool darkNights)
{
    int32_t d = global - personal;
    if (darkNights && global > 12 && d * (d >> 1) > 16)
        return 24;
    return std::clamp(d, 0, 31);
}

void applyLightPassColoured(const BlitTarget& target, const ScreenRect& rect, bool to565)
{
    lightRect<3>(target, rect, to565);
}

void applyLightPassPlain(const BlitTarget& target, const ScreenRect& rect, bool to565)
{
    lightRect<1>(target, rect, to565);
}

void applyLightPass(const BlitTarget& target, const ScreenRect& rect)
{
    const LightPassSettings& settings = lightPassSettings();
    if (settings.coloured)
        applyLightPassColoured(target, rect, settings.to565);
    else
        applyLightPassPlain(target, rect, settings.to565);
}

ScreenRect lightRectOf(const StaticObject& object)
{
    const WorldObject& placed = placedObjectOf(object);
    int32_t id = lightIdOf(object, &placed == &object, true, false);
    const LightShape* shape = id < kNoLight ? lightFiles().shape(id) : nullptr;
    if (!shape)
        return {};
    int32_t x = 0;
    int32_t y = 0;
    lightAnchor(placed, x, y);
    return shapeRect(*shape, x, y);
}

void invalidateLight(const StaticObject& object) { invalidateWorldRect(lightRectOf(object)); }

void WorldLightService::invalidateLight(StaticObject& object) { ::invalidateLight(object); }

void WorldLightService::changePersonalLight(int32_t delta)
{
    LightLevels& levels = lightLevels();
    levels.personal = std::clamp(levels.personal + delta, 0, 31);
    worldService<RadarView>().rebuildRadar();
    invalidateWholeScreen();
}
