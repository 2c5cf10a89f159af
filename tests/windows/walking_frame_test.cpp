// The world view's frame while the player walks: each step scrolls the ring
// and draws only what changed, with the windows composed over it; after ten
// steps the screen must be what one full redraw of the same state shows.

#include "windows/windows_test_support.h"

#include "support/png_writer.h"
#include "windows/container_gump.h"
#include "windows/overhead_text.h"
#include "windows/paperdoll_gump.h"
#include "windows/world_view_gump.h"
#include "world/mobile.h"
#include "world/world_drawing.h"
#include "world/world_screen.h"

#include <gtest/gtest.h>

namespace {

class WalkingFrame : public windows_test::WindowDesktop {
protected:
    WalkingFrame()
    {
        setWorldBackBuffer(&buffer);
        buffer.invalidateWholeScreen();
        buffer.renderWorldDirtyRects(&drawer);
        presenter.onPresent = [this] { shown = screenPicture(); };
    }

    void frame()
    {
        buffer.renderWorldDirtyRects(&drawer);
        gumpRedrawRect({ 0, 0, buffer.width(), buffer.height() }, true);
    }

    WorldFrameDrawer drawer;
    std::vector<uint16_t> shown;
};

TEST_F(WalkingFrame, TenStepsShowWhatAFullRedrawOfTheSameStateShows)
{
    auto* view = new WorldViewGump(false);
    view->setVisible(true);
    ContainerItem* backpack = playerBackpack();
    CGump* container = openContainerGump(backpack->serial, 60);
    ASSERT_NE(container, nullptr);
    container->moveTo(400, 20, true, nullptr, false);
    PaperdollGump* doll = openPaperdoll(player()->serial, "Walker", 0);
    ASSERT_NE(doll, nullptr);
    doll->moveTo(10, 150, true, nullptr, false);
    Mobile* other = addMobile(0x00000901, player()->x - 2, player()->y + 3);
    ASSERT_NE(other, nullptr);
    makeBarkGump(other, "Hail, walker!", 946, 3);
    frame();

    // West, south-west, south and back north-east: the view scrolls each way.
    const int32_t steps[10][2] = { { -1, 0 }, { -1, 0 }, { -1, 1 }, { 0, 1 }, { 0, 1 }, { 1, 1 }, { 1, 0 }, { 0, -1 },
        { 1, -1 }, { -1, 0 } };
    for (const auto& step : steps) {
        clock.advance(200);
        world.stepPlayer(step[0], step[1], buffer);
        gumpUpdateOverheads();
        frame();
    }
    const std::vector<uint16_t> walked = shown;
    test::writeSurfacePng(test::picturePath("walked_ten_steps.png"), walked.data(), 640, 480, 640);

    buffer.invalidateWholeScreen();
    frame();
    test::writeSurfacePng(test::picturePath("walked_full_redraw.png"), shown.data(), 640, 480, 640);
    ASSERT_EQ(walked.size(), shown.size());
    size_t differences = 0;
    for (size_t i = 0; i < walked.size(); ++i)
        differences += walked[i] != shown[i];
    EXPECT_EQ(differences, 0u);
    // And the world under the windows is the world a new buffer draws.
    EXPECT_EQ(fixture::unrollGameArea(buffer), world.drawFrame(640, 480));
}

} // namespace
