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
    EXPECT_EQ(presenter.picture().size(), size_t(704 * 480));
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

// The pointer follows the window's motion events, not the desktop's pointer
// state: a display server may report a stale global position (a pointer
// warped from outside moves no device, and a cached global position stays
// where it was), while the motion events always arrive.
TEST_F(FramePresent, PointerIsDrawnWhereTheMotionEventsPutItAndTakenOutAgain)
{
    SolidCursorArt art;
    loadCursors(art, 0, false);
    setPointerDrawingAllowed(true);
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

} // namespace
