#pragma once
// What the drawing tests share: installed animations and body tables
// (fixtures/installed_animations.h), hue ramps that tell every hue and
// intensity apart, a canvas to draw into and keep as a picture, and a view
// that shows an object's anchor at a chosen point.

#include "data/data_files.h"
#include "data/def_tables.h"
#include "fixtures/animation_writer.h"
#include "fixtures/hue_writer.h"
#include "fixtures/installed_animations.h"
#include "fixtures/sample_figures.h"
#include "gfx/blit_target.h"
#include "gfx/hue_table.h"
#include "support/png_writer.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/mobile.h"
#include "world/tile_data.h"
#include "world/world_screen.h"

#include <map>
#include <string>
#include <vector>

namespace test {

using fixture::blockRecord;
using fixture::InstalledAnimations;

inline void setTileRecord(int32_t id, const TileDataItem& record) { fixture::setItemTileRecord(id, record); }
inline void setSampleFigureTiles() { fixture::installSampleFigureTiles(); }

using fixture::InstalledTestHues;
using fixture::testHueColour;

// A surface to draw the world into, filled with a checked grey.
struct TestCanvas {
    int32_t width;
    int32_t height;
    std::vector<uint16_t> pixels;

    TestCanvas(int32_t canvasWidth, int32_t canvasHeight)
        : width(canvasWidth)
        , height(canvasHeight)
        , pixels(size_t(canvasWidth * canvasHeight))
    {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                at(x, y) = background(x, y);
    }
    static uint16_t background(int32_t x, int32_t y)
    {
        int32_t level = ((x / 4 + y / 4) % 2) ? 20 : 26;
        return uint16_t(level << 10 | level << 5 | level);
    }
    uint16_t& at(int32_t x, int32_t y) { return pixels[size_t(y * width + x)]; }
    BlitTarget target() { return BlitTarget::surface(pixels.data(), width, height, width); }
    ScreenRect whole() const { return { 0, 0, width, height }; }
    uint64_t hash() const { return surfaceHash(pixels.data(), width, height, width); }
    // Keeps the picture beside the test program for a person to look at.
    void save(const std::string& name) const { writeSurfacePng(picturePath(name), pixels.data(), width, height, width); }
};

// Moves the view so that the object's anchor shows at (x, y).
inline void showAnchorAt(const StaticObject& object, int32_t x, int32_t y)
{
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    object.anchorPoint(anchorX, anchorY);
    worldScreen().viewPixelX = anchorX - x;
    worldScreen().viewPixelY = anchorY - y;
}

} // namespace test
