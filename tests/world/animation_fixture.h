#pragma once
// Animation files and body tables for the drawing tests: the records are
// written into a client directory of their own, mapped, and installed as the
// process's data files while the object lives; the body types take the given
// "mobtypes.txt" text and the .def tables the given files. Everything is put
// back afterwards.

#include "data/data_files.h"
#include "data/def_tables.h"
#include "fixtures/animation_writer.h"
#include "fixtures/client_directory.h"
#include "fixtures/data_file_writer.h"
#include "fixtures/sample_figures.h"
#include "gfx/art_cache.h"
#include "gfx/blit_target.h"
#include "gfx/hue_table.h"
#include "fixtures/hue_writer.h"
#include "support/png_writer.h"
#include "world/mobile.h"
#include "world/world_screen.h"
#include "world/body_tables.h"
#include "world/def_table_world.h"
#include "world/tile_data.h"

#include <map>
#include <string>
#include <vector>

namespace test {

class InstalledAnimations {
public:
    // `files`: further files of the client directory by name (the .def
    // tables among them are loaded).
    explicit InstalledAnimations(const fixture::AnimationFileWriter& animations, const std::string& mobTypes = "",
        const std::map<std::string, std::string>& files = {})
    {
        fixture::writeRequiredDataFiles(m_client.root(), "client");
        animations.write(m_client.path());
        for (const auto& [name, bytes] : files)
            m_client.write(name, bytes);
        m_previous = installDataFiles(&m_files);
        m_files.reset();
        m_files.load();
        artImageCache().clear();
        bodyTypes() = BodyTypeTable();
        bodyTypes().load(mobTypes);
        createDefTables(defTableWorld());
    }
    ~InstalledAnimations()
    {
        destroyDefTables();
        artImageCache().clear();
        bodyTypes() = BodyTypeTable();
        installDataFiles(m_previous);
    }
    InstalledAnimations(const InstalledAnimations&) = delete;
    InstalledAnimations& operator=(const InstalledAnimations&) = delete;

private:
    fixture::ClientDirectory m_client;
    DataFiles m_files;
    DataFiles* m_previous = nullptr;
};

// Writes one item tile record into the process's tile data.
inline void setTileRecord(int32_t id, const TileDataItem& record)
{
    int32_t first = id / 32 * 32;
    TileDataItemGroup group;
    for (int32_t i = 0; i < 32; ++i)
        group.records[size_t(i)] = tileData().item(first + i);
    group.records[size_t(id - first)] = record;
    ItemGroupChange change;
    tileData().applyItemGroup(TileData::kFirstItemGroup + first / 32, group, change);
}

// The tile records of the sample garments and mount item.
inline void setSampleFigureTiles()
{
    for (const fixture::SampleGarment& garment : fixture::kSampleGarments) {
        TileDataItem item;
        fixture::sampleFigureTile(garment.graphic, item);
        setTileRecord(garment.graphic, item);
    }
    TileDataItem mount;
    fixture::sampleFigureTile(fixture::kSampleMountGraphic, mount);
    setTileRecord(fixture::kSampleMountGraphic, mount);
}

// A record of `frames` solid frames, `width` wide and `height` tall above
// the anchor; with `below`, the frame's centre makes its rectangle reach
// that many rows under the anchor, and the pixels one row less.
inline std::vector<uint8_t> blockRecord(int32_t frames, int32_t width, int32_t height, int32_t below = 0)
{
    std::vector<fixture::AnimFrameData> data;
    for (int32_t frame = 0; frame < frames; ++frame) {
        std::vector<fixture::FrameRun> runs;
        for (int32_t dy = -height; dy < (below > 0 ? below - 1 : 0); ++dy)
            runs.push_back({ 1 - width / 2, dy, std::vector<uint8_t>(size_t(width - 2), uint8_t(frame + 1)) });
        fixture::AnimFrameData made;
        made.centreX = int16_t(width / 2);
        made.centreY = int16_t(-below);
        made.width = int16_t(width);
        made.height = int16_t(height);
        made.data = fixture::frameRunBytes(runs);
        data.push_back(made);
    }
    return fixture::animationRecord([](int i) { return uint16_t(i * 0x421); }, data);
}

// Hue entry n maps intensity i to a colour that tells both apart.
inline uint16_t testHueColour(int32_t entry, int32_t intensity)
{
    return uint16_t(((entry * 3 + 1) & 31) << 10 | intensity << 5 | ((entry / 11) & 31));
}

// The process's hue table holds testHueColour ramps while the object lives.
class InstalledTestHues {
public:
    InstalledTestHues()
    {
        hueTable().load(fixture::hueFile(3000, [](int32_t index) {
            fixture::HueRamp ramp;
            for (int32_t i = 0; i < 32; ++i)
                ramp.colours[size_t(i)] = testHueColour(index, i);
            return ramp;
        }));
    }
    ~InstalledTestHues() { hueTable() = HueTable(); }
};

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
