#include "app/frame_present.h"
#include "app/main_window.h"
#include "app/pointer.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_window.h"

#include <gtest/gtest.h>

namespace {

// A presenter on a headless 640x480 display, with the pointer state reset.
class FramePresent : public ::testing::Test {
protected:
    FramePresent() { initPointerState(); }
    ~FramePresent() override
    {
        setPointerDrawingAllowed(false);
        releasePointerState();
    }

    platform::HeadlessDisplay display { 640, 480 };
    platform::HeadlessWindow window;
    MainWindow mainWindow { window, {}, {} };
    WindowPresenter presenter { display, mainWindow };
};

TEST_F(FramePresent, PictureStartsAtTheRingStartAndKeepsTheLastRowsTail)
{
    presenter.recreateBackBuffer(640, 480);
    BackBuffer& buffer = presenter.backBuffer();
    // Scrolling moves the ring start to (x0 > 0, y0 = 0); every pixel then gets
    // a value naming its picture position.
    buffer.renderWorldDirtyRects(nullptr);
    buffer.scrollWorldView(-5, 0);
    ASSERT_GT(buffer.ringStartX(), 0);
    ASSERT_EQ(buffer.ringStartY(), 0);
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x)
            buffer.pixels()[buffer.ringIndex(x, y)] = uint16_t((x * 31 + y * 7) & 0x7FFF);
    }
    presenter.present();
    for (int32_t y : { 0, 240, 479 }) {
        for (int32_t x : { 0, 634, 639 })
            EXPECT_EQ(display.pixel(x, y), uint16_t((x * 31 + y * 7) & 0x7FFF)) << x << "," << y;
    }
}

TEST_F(FramePresent, AnUnchangedPictureIsNotSentAgainUnlessAsked)
{
    presenter.recreateBackBuffer(640, 480);
    int32_t afterCreate = display.presentCount();
    presenter.present();
    EXPECT_EQ(display.presentCount(), afterCreate);
    presenter.backBuffer().pixels()[100] = 0x1234;
    presenter.backBuffer().markPictureChanged({ 100, 0, 101, 1 });
    presenter.present();
    EXPECT_EQ(display.presentCount(), afterCreate + 1);
    presenter.present(PresentKind::Always);
    EXPECT_EQ(display.presentCount(), afterCreate + 2);
}

TEST_F(FramePresent, BufferFollowsTheClientAreaDownAgainAndKeepsTheGameArea)
{
    presenter.recreateBackBuffer(1280, 1024);
    EXPECT_EQ(presenter.backBuffer().width(), 1280);
    EXPECT_EQ(presenter.backBuffer().gameWidth(), 640);
    EXPECT_EQ(presenter.backBuffer().gameHeight(), 480);
    presenter.recreateBackBuffer(704, 480);
    EXPECT_EQ(presenter.backBuffer().width(), 704);
    EXPECT_EQ(presenter.backBuffer().height(), 480);
    EXPECT_EQ(display.frameWidth(), 704);
    presenter.recreateBackBuffer(320, 200);
    EXPECT_EQ(presenter.backBuffer().width(), 640) << "never below the game area";
    EXPECT_EQ(presenter.backBuffer().height(), 480);
}

class SolidCursorArt final : public CursorArtSource {
public:
    bool cursorArt(int32_t, CursorArt& art) override
    {
        art.width = 4;
        art.height = 4;
        art.pixels.assign(16, 0x7FFF);
        art.pixels[0] = kHotspotMarker;
        return true;
    }
};

// The pointer drawn with the art above.
void showSolidPointer()
{
    SolidCursorArt art;
    loadCursors(art, 0, false);
    setPointerDrawingAllowed(true);
}

// The pointer follows the window's motion events, not the desktop's pointer
// state: a display server may report a stale global position (a pointer
// warped from outside moves no device, and a cached global position stays
// where it was), while the motion events always arrive.
TEST_F(FramePresent, PointerIsDrawnWhereTheMotionEventsPutItAndTakenOutAgain)
{
    showSolidPointer();
    presenter.recreateBackBuffer(640, 480);
    window.setCursor(100, 100);
    notePointerMoved(320, 240);
    presenter.present();
    EXPECT_EQ(display.pixel(320, 240), kHotspotMarker);
    EXPECT_EQ(display.pixel(323, 243), 0x7FFF);
    EXPECT_EQ(display.pixel(324, 240), 0);
    EXPECT_EQ(display.pixel(192, 240), 0);
    EXPECT_EQ(display.pixel(100, 100), 0);
    for (uint16_t pixel : std::vector<uint16_t>(presenter.backBuffer().pixels(),
             presenter.backBuffer().pixels() + presenter.backBuffer().pixelCount()))
        ASSERT_EQ(pixel, 0);
}

// Only what changed is sent: a world rectangle at the game area's place in
// the client area, the pointer's old and new boxes when it moves, nothing
// when nothing changed.
TEST_F(FramePresent, OnlyTheChangedRectanglesAndThePointerBoxesAreSent)
{
    showSolidPointer();
    mainWindow.setGameViewOffset(8, 4);
    presenter.recreateBackBuffer(704, 480);
    BackBuffer& buffer = presenter.backBuffer();
    buffer.renderWorldDirtyRects(nullptr);
    notePointerMoved(300, 200);
    presenter.present();
    int32_t before = display.presentCount();
    presenter.present();
    EXPECT_EQ(display.presentCount(), before) << "nothing changed";

    ScreenRect world { 10, 20, 30, 25 };
    buffer.invalidateScreenRect(&world);
    buffer.renderWorldDirtyRects(nullptr);
    presenter.present();
    EXPECT_EQ(display.lastCopiedRects(), (std::vector<ScreenRect> { { 18, 24, 38, 29 } }));

    notePointerMoved(310, 205);
    presenter.present();
    EXPECT_EQ(display.lastCopiedRects(), (std::vector<ScreenRect> { { 300, 200, 304, 204 }, { 310, 205, 314, 209 } }));
    EXPECT_EQ(display.pixel(310, 205), kHotspotMarker);
    EXPECT_EQ(display.pixel(300, 200), 0);
}

class PatternDrawer : public WorldRectDrawer {
public:
    void drawWorldRect(const BlitTarget& target, const ScreenRect& rect) override
    {
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x)
                *target.at(x, y) = colourAt(x, y);
    }
    static uint16_t colourAt(int32_t x, int32_t y) { return uint16_t(((x * 5) & 31) << 10 | (y & 31) << 5 | 7); }
};

struct ScrolledCase {
    const char* name;
    platform::SurfaceFormat surface;
};

class PresentScrolledWorld : public FramePresent, public testing::WithParamInterface<ScrolledCase> { };

// The world is drawn after a scroll (so the ring has wrapped), presented with
// the game area at a view offset, and must read back as the plain picture,
// in the surface's format.
TEST_P(PresentScrolledWorld, ShowsTheGameAreaAtItsOffset)
{
    display.setSurfaceFormat(GetParam().surface);
    mainWindow.setGameViewOffset(5, 3);
    presenter.recreateBackBuffer(640, 480);
    BackBuffer& buffer = presenter.backBuffer();
    PatternDrawer drawer;
    buffer.renderWorldDirtyRects(&drawer);
    presenter.present();
    buffer.scrollWorldView(-7, 5);
    buffer.renderWorldDirtyRects(&drawer);
    presenter.present();
    ScreenRect middle { 100, 100, 250, 200 };
    buffer.invalidateScreenRect(&middle);
    buffer.renderWorldDirtyRects(&drawer);
    presenter.present();
    for (int32_t y = 0; y + 3 < 480; ++y)
        for (int32_t x = 0; x + 5 < 640; ++x) {
            // What the scroll moved keeps its old picture; the exposed strips
            // and the middle were drawn afresh.
            bool redrawn = x >= 633 || y < 5 || middle.contains(x, y);
            uint16_t p = redrawn ? PatternDrawer::colourAt(x, y) : PatternDrawer::colourAt(x + 7, y - 5);
            uint32_t expected = p;
            if (GetParam().surface == platform::SurfaceFormat::Rgb565)
                expected = uint32_t((p & 0x1F) | ((p & 0x7FE0) << 1));
            if (GetParam().surface == platform::SurfaceFormat::Xrgb8888) {
                uint32_t r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
                expected = (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
            }
            ASSERT_EQ(display.pixel(x + 5, y + 3), expected) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Surface, PresentScrolledWorld,
    testing::Values(ScrolledCase { "Surface555", platform::SurfaceFormat::Rgb555 },
        ScrolledCase { "Surface565", platform::SurfaceFormat::Rgb565 },
        ScrolledCase { "Surface8888", platform::SurfaceFormat::Xrgb8888 }),
    [](const testing::TestParamInfo<ScrolledCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
