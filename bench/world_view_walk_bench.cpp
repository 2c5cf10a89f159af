// The world view's frame while the player walks: one step of the player (the
// ring scrolls by the view's change), the world drawn into the dirty
// rectangles, then the windows (the world view, an open container and the
// paperdoll) composed over the screen and taken off again; against a memcpy of
// the frame's bytes measured in the same loop.
//
// The windows are composed over the whole screen because that is what the
// running client does on a frame whose view scrolled: the desktop composes
// only the changed rectangles while the picture starts where the one shown
// started, and a scroll moves the ring's start, so every walking frame takes
// the whole-screen composition.

#include "frame_timing.h"

#include "fixtures/sample_world.h"
#include "gump/gump_factory.h"
#include "gump/gump_manager.h"
#include "windows/container_gump.h"
#include "windows/game_window_services.h"
#include "windows/paperdoll_gump.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/object_manager.h"
#include "world/world_drawing.h"
#include "world/world_screen.h"

#include <benchmark/benchmark.h>

namespace {

void worldViewWalkingFrame(benchmark::State& state)
{
    constexpr int32_t kWidth = 800;
    constexpr int32_t kHeight = 600;
    fixture::SampleWorld world;
    GameWindowServices services;
    gumpSystemStartup();
    BackBuffer buffer;
    buffer.create(kWidth, kHeight, BufferFormat::Rgb555);
    gumpAttachBackBuffer(&buffer);
    gumpBackBufferRecreated();
    GumpScreen screen;
    screen.width = screen.gameWidth = kWidth;
    screen.height = screen.gameHeight = kHeight;
    gumpSetScreen(screen);
    setWorldBackBuffer(&buffer);
    world.centreView(kWidth, kHeight);

    auto* view = new WorldViewGump(false);
    view->setVisible(true);
    equipItemOnMobile(player()->serial, 0x40000100, 0x0E75, Mobile::kBackpackLayer, 0);
    if (CGump* container = openContainerGump(0x40000100, 60))
        container->moveTo(560, 20, true, nullptr, false);
    if (PaperdollGump* doll = openPaperdoll(player()->serial, "Walker", 0))
        doll->moveTo(10, 250, true, nullptr, false);

    WorldFrameDrawer drawer;
    buffer.invalidateWholeScreen();
    buffer.renderWorldDirtyRects(&drawer);
    // Back and forth along a road of four cells.
    const int32_t steps[8][2] = { { -1, 0 }, { -1, 0 }, { 0, 1 }, { 0, 1 }, { 1, 0 }, { 1, 0 }, { 0, -1 }, { 0, -1 } };
    size_t next = 0;
    timeFrameAgainstMemcpy(state, buffer, [&] {
        const auto& step = steps[next++ % 8];
        world.stepPlayer(step[0], step[1], buffer);
        gumpUpdateOverheads();
        buffer.renderWorldDirtyRects(&drawer);
        gumpRedrawRect({ 0, 0, kWidth, kHeight }, true);
    });

    gumpSystemShutdown();
    gumpAttachBackBuffer(nullptr);
    setWorldBackBuffer(nullptr);
}
BENCHMARK(worldViewWalkingFrame)->Unit(benchmark::kMicrosecond);

} // namespace
