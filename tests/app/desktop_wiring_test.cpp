// The desktop file's part of the main window: which stored window sizes it
// takes (the file may have come from the server), and what taking one does
// to the window.
#include "app/desktop_wiring.h"
#include "app/game_tick.h"
#include "app/main_window.h"
#include "gump/desktop_services.h"
#include "platform/headless/headless_window.h"
#include "protocol/protocol_services.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct GeometryCase {
    const char* name;
    DesktopWindowGeometry geometry;
    bool supported;
};

class StoredGeometry : public testing::TestWithParam<GeometryCase> { };

TEST_P(StoredGeometry, IsTakenOnlyWhenTheScreenCanShowIt)
{
    EXPECT_EQ(isSupportedWindowGeometry(GetParam().geometry, 640, 480, 1920, 1080), GetParam().supported);
}

INSTANTIATE_TEST_SUITE_P(Sizes, StoredGeometry,
    testing::Values(GeometryCase { "GameSize", { 0, 0, 10, 10, 640, 480, false }, true },
        GeometryCase { "LargerWithTheViewInside", { 100, 60, 0, 0, 1024, 768, false }, true },
        GeometryCase { "WholeDisplay", { 0, 0, 0, 0, 1920, 1080, true }, true },
        GeometryCase { "BelowTheGameArea", { 0, 0, 0, 0, 320, 200, false }, false },
        GeometryCase { "WiderThanTheDisplay", { 0, 0, 0, 0, 4000, 800, false }, false },
        GeometryCase { "Huge", { 0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, false }, false },
        GeometryCase { "Negative", { 0, 0, 0, 0, -640, -480, false }, false },
        GeometryCase { "ViewOutsideTheScreen", { 500, 0, 0, 0, 800, 600, false }, false },
        GeometryCase { "NegativeView", { -1, 0, 0, 0, 800, 600, false }, false }),
    [](const testing::TestParamInfo<GeometryCase>& row) { return std::string(row.param.name); });

TEST(StoredGeometry, UnknownDisplayStillCapsTheSize)
{
    EXPECT_TRUE(isSupportedWindowGeometry({ 0, 0, 0, 0, 4096, 2000, false }, 640, 480, 0, 0));
    EXPECT_FALSE(isSupportedWindowGeometry({ 0, 0, 0, 0, 4097, 2000, false }, 640, 480, 0, 0));
}

class DesktopShellOfTheMainWindow : public testing::Test {
protected:
    DesktopShellOfTheMainWindow()
    {
        window.setScreen(1920, 1080, 32);
        EXPECT_TRUE(main.create("", ""));
        wireDesktop(tick, main, window);
    }
    ~DesktopShellOfTheMainWindow() override { unwireDesktop(tick); }

    platform::HeadlessWindow window;
    WindowServices services;
    MainWindow main { window, services, {} };
    GameTick tick;
};

TEST_F(DesktopShellOfTheMainWindow, TakesASupportedGeometryAndRefusesAnOther)
{
    DesktopShell& shell = service<DesktopShell>();
    EXPECT_TRUE(shell.applyWindowGeometry({ 8, 12, 30, 40, 1024, 768, true }));
    int32_t width = 0;
    int32_t height = 0;
    window.clientSize(width, height);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    EXPECT_EQ(main.gameViewOffsetX(), 8);
    EXPECT_TRUE(window.isMaximised());

    EXPECT_TRUE(shell.applyWindowGeometry({ 0, 0, 0, 0, 100000, 100000, false })) << "refused, not kept";
    window.clientSize(width, height);
    EXPECT_EQ(width, 1024) << "nothing changed";
    EXPECT_EQ(main.gameViewOffsetX(), 8);

    DesktopWindowGeometry geometry;
    ASSERT_TRUE(shell.windowGeometry(geometry));
    EXPECT_EQ(geometry.left, 30);
    EXPECT_EQ(geometry.top, 40);
    EXPECT_TRUE(geometry.maximised);
}

TEST_F(DesktopShellOfTheMainWindow, WorldEntryStepsAreTheDesktopsOwn)
{
    EXPECT_NE(&worldEntrySteps(), doNothingWorldEntrySteps());
    unwireDesktop(tick);
    EXPECT_EQ(&worldEntrySteps(), doNothingWorldEntrySteps());
    DesktopWindowGeometry geometry;
    EXPECT_FALSE(service<DesktopShell>().windowGeometry(geometry));
    wireDesktop(tick, main, window);
}

} // namespace
