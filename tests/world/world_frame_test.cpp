// The world frame over the sample facet: a dirty rectangle draws exactly what
// a full redraw draws there, and the scenes keep their pictures.
#include "fixtures/facet_writer.h"
#include "fixtures/sample_world.h"
#include "support/png_writer.h"
#include "world/cell_grid.h"
#include "world/map_view.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/visibility.h"
#include "world/world_drawing.h"
#include "world/world_invariants.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <random>
#include <set>

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

uint64_t hashOf(const std::vector<uint16_t>& pixels, int32_t width, int32_t height)
{
    return test::surfaceHash(pixels.data(), width, height, width);
}

void keepPicture(const std::string& name, const std::vector<uint16_t>& pixels, int32_t width, int32_t height)
{
    test::writeSurfacePng(test::picturePath(name + ".png"), pixels.data(), width, height, width);
}

class WorldFrame : public testing::Test {
protected:
    fixture::SampleWorld world;
};

TEST_F(WorldFrame, TheSampleFacetFillsTheScreenWithTerrainHouseAndTrees)
{
    std::vector<uint16_t> frame = world.drawFrame(800, 600);
    keepPicture("world_frame_sample", frame, 800, 600);
    std::set<uint16_t> colours(frame.begin(), frame.end());
    EXPECT_GT(colours.size(), 60u) << "textured, lit terrain and the statics' art";
    // The centre of the screen is the player's cell: land, never the black of
    // an undrawn area.
    EXPECT_NE(frame[size_t(300 * 800 + 400)], 0);
    EXPECT_EQ(checkCellGrid(), "");
}

// Random dirty rectangles over random ring starts: each redraw must equal
// the same area of one full redraw, pixel for pixel.
TEST_F(WorldFrame, DirtyRectanglesDrawWhatAFullRedrawDraws)
{
    std::mt19937 random(1234);
    for (int32_t round = 0; round < 12; ++round) {
        world.centreView(kWidth, kHeight);
        BackBuffer buffer;
        buffer.create(kWidth, kHeight, BufferFormat::Rgb555);
        WorldFrameDrawer drawer;
        buffer.renderWorldDirtyRects(&drawer);
        // A scroll moves the ring's start; the view follows the content.
        int32_t dx = int32_t(random() % 61) - 30;
        int32_t dy = int32_t(random() % 61) - 30;
        buffer.scrollWorldView(dx, dy);
        worldScreen().viewPixelX -= dx;
        worldScreen().viewPixelY -= dy;
        buffer.renderWorldDirtyRects(&drawer);
        // Garbage in random rectangles, then only those are drawn again.
        for (int32_t n = int32_t(random() % 6) + 1; n > 0; --n) {
            int32_t left = int32_t(random() % kWidth);
            int32_t top = int32_t(random() % kHeight);
            ScreenRect rect { left, top, left + 1 + int32_t(random() % 90), top + 1 + int32_t(random() % 70) };
            rect = rect.intersected({ 0, 0, kWidth, kHeight });
            for (int32_t y = rect.top; y < rect.bottom; ++y) {
                for (int32_t x = rect.left; x < rect.right; ++x)
                    buffer.pixels()[buffer.ringIndex(x, y)] = uint16_t(random());
            }
            buffer.invalidateScreenRect(&rect);
        }
        buffer.renderWorldDirtyRects(&drawer);
        std::vector<uint16_t> partial = fixture::unrollGameArea(buffer);

        BackBuffer reference;
        reference.create(kWidth, kHeight, BufferFormat::Rgb555);
        reference.renderWorldDirtyRects(&drawer);
        std::vector<uint16_t> full = fixture::unrollGameArea(reference);
        ASSERT_EQ(partial, full) << "round " << round << ", ring start " << buffer.ringStart();
    }
}

struct Scene {
    const char* name;
    uint64_t hash;
};

class WorldScenes : public WorldFrame, public testing::WithParamInterface<Scene> { };

TEST_P(WorldScenes, KeepTheirPictures)
{
    const Scene& scene = GetParam();
    std::string name = scene.name;
    if (name == "grey")
        player()->graphic = 402;
    if (name == "roof_cut")
        world.placePlayer(fixture::kSampleCentreX + 3, fixture::kSampleCentreY - 5, 0);
    if (name == "foliage")
        world.placePlayer(fixture::kSampleCentreX - 6, fixture::kSampleCentreY + 5, 0);
    std::vector<uint16_t> frame = world.drawFrame(kWidth, kHeight);
    keepPicture("world_scene_" + name, frame, kWidth, kHeight);
    uint64_t hash = hashOf(frame, kWidth, kHeight);
    EXPECT_EQ(hash, scene.hash) << name << ": 0x" << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(Sample, WorldScenes,
    testing::Values(Scene { "terrain", 0xd81b657a4c1fc8cb }, Scene { "grey", 0x78a52da11577b0e9 },
        Scene { "roof_cut", 0xe4315dc5cd88c6fa }, Scene { "foliage", 0x7d57dce7333f806e }),
    [](const testing::TestParamInfo<Scene>& row) { return std::string(row.param.name); });

} // namespace
