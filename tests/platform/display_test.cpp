#include "platform/display.h"
#include "platform/headless/headless_display.h"

#include "support/scoped_environment.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

std::vector<uint16_t> frame(int32_t width, int32_t height, int32_t pitch, uint16_t base)
{
    std::vector<uint16_t> pixels(size_t(pitch) * height, 0xEEEE);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[size_t(y) * pitch + x] = uint16_t(base + y * 64 + x);
    return pixels;
}

TEST(HeadlessDisplay, FirstFrameWholeThenOnlyTheDirtyRects)
{
    HeadlessDisplay display(8, 6);
    auto first = frame(8, 6, 11, 0);
    ASSERT_TRUE(display.presentFrame(first.data(), 8, 6, 11, PixelFormat16::Rgb555, {}));
    EXPECT_EQ(display.pixel(7, 5), 5 * 64 + 7);

    auto second = frame(8, 6, 11, 1000);
    ScreenRect rects[] = { { 1, 1, 3, 2 }, { 6, 4, 20, 20 } };
    ASSERT_TRUE(display.presentFrame(second.data(), 8, 6, 11, PixelFormat16::Rgb555, rects));
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            bool dirty = rects[0].contains(x, y) || rects[1].contains(x, y);
            ASSERT_EQ(display.pixel(x, y), uint16_t((dirty ? 1000 : 0) + y * 64 + x)) << x << "," << y;
        }
    EXPECT_EQ(display.lastCopiedRects()[1], (ScreenRect { 6, 4, 8, 6 })) << "clamped to the frame";

    ASSERT_TRUE(display.presentFrame(second.data(), 8, 6, 11, PixelFormat16::Rgb565, {}));
    EXPECT_EQ(display.pixel(0, 0), 1000) << "a new format is copied whole";
    EXPECT_EQ(display.presentedFormat(), PixelFormat16::Rgb565);
    EXPECT_FALSE(display.presentFrame(nullptr, 8, 6, 8, PixelFormat16::Rgb555, {}));
    EXPECT_FALSE(display.presentFrame(second.data(), 8, 6, 4, PixelFormat16::Rgb555, {}));
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
    auto pixels = frame(32, 24, 40, 7);
    ScreenRect rects[] = { { 2, 2, 10, 10 }, { -5, -5, 100, 100 } };
    EXPECT_TRUE(display->presentFrame(pixels.data(), 32, 24, 40, PixelFormat16::Rgb555, {}));
    EXPECT_TRUE(display->presentFrame(pixels.data(), 32, 24, 40, PixelFormat16::Rgb555, rects));
    EXPECT_TRUE(display->presentFrame(pixels.data(), 16, 12, 40, PixelFormat16::Rgb565, rects));
    bool fullscreen = display->setFullscreen(true, 32, 24);
    EXPECT_EQ(display->isFullscreen(), fullscreen);
    EXPECT_TRUE(display->setFullscreen(false, 0, 0));
    EXPECT_FALSE(display->isFullscreen());
    EXPECT_FALSE(createSdlDisplay("test", 0, 24));
}

} // namespace
} // namespace platform
