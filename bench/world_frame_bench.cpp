// The world frame: a full-screen redraw of the sample facet at 800x600 (land,
// slopes, the house and the trees, every dirty rectangle of the frame),
// against a memcpy of the frame's bytes measured in the same loop; and the
// terrain rasteriser in triangles per second.

#include "frame_timing.h"

#include "fixtures/sample_world.h"
#include "gfx/colour_tables.h"
#include "gfx/terrain_rasteriser.h"
#include "world/world_drawing.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

void worldFrameAgainstMemcpy(benchmark::State& state)
{
    fixture::SampleWorld world;
    world.centreView(800, 600);
    BackBuffer buffer;
    buffer.create(800, 600, BufferFormat::Rgb555);
    WorldFrameDrawer drawer;
    timeFrameAgainstMemcpy(state, buffer, [&] {
        buffer.invalidateWholeScreen();
        buffer.renderWorldDirtyRects(&drawer);
    });
}
BENCHMARK(worldFrameAgainstMemcpy)->Unit(benchmark::kMicrosecond);

// Triangles the size of a sloped cell's halves (about 44 x 30 pixels), lit
// differently at each corner, at random places of an 800x600 surface.
void terrainTriangles(benchmark::State& state)
{
    std::vector<uint16_t> surface(800 * 600);
    BlitTarget target = BlitTarget::surface(surface.data(), 800, 600, 800);
    std::vector<uint16_t> texels(64 * 64);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = uint16_t(i * 2654435761u) & 0x7FFF;
    TerrainTexture texture { texels.data(), 64, 6 };
    std::mt19937 random(5);
    struct Triangle {
        std::array<TerrainVertex, 3> vertices;
        std::array<int32_t, 3> lights;
    };
    std::vector<Triangle> triangles(1024);
    for (Triangle& t : triangles) {
        int32_t x = int32_t(random() % 740);
        int32_t y = int32_t(random() % 550);
        int32_t dz = int32_t(random() % 20) - 10;
        t.vertices = { { { x + 22, y + dz, 1 }, { x + 46, y + 22, 2 }, { x, y + 22 - dz, 4 } } };
        t.lights = { int32_t(random() % 16), int32_t(random() % 16), int32_t(random() % 16) };
    }
    ScreenRect clip { 0, 0, 800, 600 };
    size_t next = 0;
    for (auto _ : state) {
        const Triangle& t = triangles[next++ & 1023];
        rasteriseTerrainTriangle(target, texture, t.vertices, t.lights, clip);
        benchmark::DoNotOptimize(surface.data());
    }
    state.counters["triangles_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(terrainTriangles);

} // namespace
