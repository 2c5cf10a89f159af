#include "platform/display.h"
#include "platform/headless/headless_display.h"

#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace platform {
namespace {

// Writes `value + y * 64 + x` into every pixel of the rectangles, as a
// presenter writes into an open surface.
void writeRects(const FrameSurface& surface, std::span<const ScreenRect> rects, uint16_t value)
{
    for (const ScreenRect& rect : rects)
        for (int32_t y = rect.top; y < std::min(rect.bottom, surface.height); ++y)
            for (int32_t x = rect.left; x < std::min(rect.right, surface.width); ++x) {
                uint16_t pixel = uint16_t(value + y * 64 + x);
                std::memcpy(surface.pixels + y * surface.pitch + x * 2, &pixel, 2);
            }
}

TEST(HeadlessDisplay, FirstFrameWholeThenOnlyTheShownRects)
{
    HeadlessDisplay display(8, 6);
    FrameSurface surface;
    ASSERT_TRUE(display.beginFrame(8, 6, PixelFormat16::Rgb555, surface));
    EXPECT_TRUE(surface.needsWholeFrame);
    EXPECT_EQ(surface.format, SurfaceFormat::Rgb555);
    ScreenRect whole[] = { { 0, 0, 8, 6 } };
    writeRects(surface, whole, 0);
    ASSERT_TRUE(display.endFrame(whole));
    EXPECT_EQ(display.pixel(7, 5), 5u * 64 + 7);

    ASSERT_TRUE(display.beginFrame(8, 6, PixelFormat16::Rgb555, surface));
    EXPECT_FALSE(surface.needsWholeFrame);
    ScreenRect rects[] = { { 1, 1, 3, 2 }, { 6, 4, 20, 20 } };
    writeRects(surface, rects, 1000);
    ASSERT_TRUE(display.endFrame(rects));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            bool shown = rects[0].contains(x, y) || rects[1].contains(x, y);
            ASSERT_EQ(display.pixel(x, y), uint32_t((shown ? 1000 : 0) + y * 64 + x)) << x << "," << y;
        }
    EXPECT_EQ(display.lastCopiedRects()[1], (ScreenRect { 6, 4, 8, 6 })) << "clamped to the frame";

    ASSERT_TRUE(display.beginFrame(8, 6, PixelFormat16::Rgb565, surface));
    EXPECT_TRUE(surface.needsWholeFrame) << "a new format is written whole";
    EXPECT_EQ(surface.format, SurfaceFormat::Rgb565);
    ASSERT_TRUE(display.endFrame(whole));
    EXPECT_EQ(display.presentedFormat(), PixelFormat16::Rgb565);
    EXPECT_FALSE(display.endFrame(whole)) << "no frame is open";
    EXPECT_FALSE(display.beginFrame(0, 6, PixelFormat16::Rgb555, surface));
}

TEST(HeadlessDisplay, ASetSurfaceFormatIsKeptAndTheFrameClippedToTheFullScreenMode)
{
    HeadlessDisplay display(8, 6);
    ASSERT_TRUE(display.setFullscreen(true, 8, 6));
    display.setSurfaceFormat(SurfaceFormat::Xrgb8888);
    FrameSurface surface;
    ASSERT_TRUE(display.beginFrame(10, 4, PixelFormat16::Rgb555, surface));
    EXPECT_EQ(surface.format, SurfaceFormat::Xrgb8888);
    EXPECT_EQ(surface.width, 8);
    EXPECT_EQ(surface.height, 4);
    EXPECT_EQ(surface.pitch, 8 * 4);
    uint32_t white = 0xFFFFFF;
    std::memcpy(surface.pixels + 3 * surface.pitch + 7 * 4, &white, 4);
    ScreenRect whole[] = { { 0, 0, 10, 4 } };
    ASSERT_TRUE(display.endFrame(whole));
    EXPECT_EQ(display.pixel(7, 3), white);
    EXPECT_EQ(display.lastCopiedRects()[0], (ScreenRect { 0, 0, 8, 4 }));
    EXPECT_EQ(display.frameWidth(), 10);
}

// A window's client area follows the frames when the program grows or
// shrinks the window: every pixel of a larger frame is shown, and none is
// read past the surface.
TEST(HeadlessDisplay, InAWindowTheSurfaceTakesEachFramesSize)
{
    HeadlessDisplay display(8, 6);
    FrameSurface surface;
    ASSERT_TRUE(display.beginFrame(12, 9, PixelFormat16::Rgb555, surface));
    EXPECT_TRUE(surface.needsWholeFrame);
    EXPECT_EQ(surface.width, 12);
    EXPECT_EQ(surface.height, 9);
    EXPECT_EQ(surface.pitch, 12 * 2);
    const uint16_t corner = 0x7C00;
    std::memcpy(surface.pixels + 8 * surface.pitch + 11 * 2, &corner, 2);
    ScreenRect whole[] = { { 0, 0, 12, 9 } };
    ASSERT_TRUE(display.endFrame(whole));
    EXPECT_EQ(display.width(), 12);
    EXPECT_EQ(display.height(), 9);
    EXPECT_EQ(display.pixel(11, 8), corner);
    ASSERT_TRUE(display.beginFrame(4, 3, PixelFormat16::Rgb555, surface));
    EXPECT_TRUE(surface.needsWholeFrame);
    EXPECT_EQ(display.width(), 4);
    ASSERT_TRUE(display.endFrame(whole));
}

TEST(HeadlessDisplay, FailedFullScreenStaysWindowed)
{
    HeadlessDisplay display(8, 6);
    EXPECT_TRUE(display.setFullscreen(true, 16, 12));
    EXPECT_TRUE(display.isFullscreen());
    EXPECT_EQ(display.width(), 16);
    EXPECT_TRUE(display.setFullscreen(false, 0, 0));
    display.setFullscreenFails(true);
    EXPECT_FALSE(display.setFullscreen(true, 16, 12));
    EXPECT_FALSE(display.isFullscreen());
}

TEST(SdlDisplay, PresentsOnTheDummyVideoDriver)
{
    test::ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
    auto display = createSdlDisplay("test", 32, 24);
    if (!display)
        GTEST_SKIP() << "no SDL video driver";
    ScreenRect whole[] = { { 0, 0, 32, 24 } };
    ScreenRect rects[] = { { 2, 2, 10, 10 }, { -5, -5, 100, 100 } };
    FrameSurface surface;
    ASSERT_TRUE(display->beginFrame(32, 24, PixelFormat16::Rgb555, surface));
    EXPECT_TRUE(surface.needsWholeFrame);
    EXPECT_EQ(surface.width, 32);
    EXPECT_GE(surface.pitch, 32 * bytesPerPixel(surface.format));
    for (int32_t y = 0; y < surface.height; ++y)
        std::memset(surface.pixels + y * surface.pitch, 0x5A, size_t(surface.width * bytesPerPixel(surface.format)));
    EXPECT_TRUE(display->endFrame(whole));
    ASSERT_TRUE(display->beginFrame(32, 24, PixelFormat16::Rgb555, surface));
    EXPECT_FALSE(surface.needsWholeFrame);
    EXPECT_TRUE(display->endFrame(rects));
    ASSERT_TRUE(display->beginFrame(16, 12, PixelFormat16::Rgb565, surface));
    EXPECT_TRUE(surface.needsWholeFrame) << "a new frame size";
    EXPECT_TRUE(display->endFrame(rects));
    bool fullscreen = display->setFullscreen(true, 32, 24);
    EXPECT_EQ(display->isFullscreen(), fullscreen);
    EXPECT_TRUE(display->setFullscreen(false, 0, 0));
    EXPECT_FALSE(display->isFullscreen());
    EXPECT_FALSE(createSdlDisplay("test", 0, 24));
}

} // namespace
} // namespace platform
