#include "gfx/colour_tables.h"
#include "gfx/frame_presenter.h"

#include "platform/headless/headless_display.h"

#include <gtest/gtest.h>

namespace {

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

struct PresentCase {
    const char* name;
    platform::PixelFormat16 screen;
};

class PresentScrolledWorld : public testing::TestWithParam<PresentCase> { };

// The world is drawn after a scroll (so the ring has wrapped), presented on a
// headless screen, and must read back as the plain picture.
TEST_P(PresentScrolledWorld, ShowsTheGameAreaAtItsOffset)
{
    BackBuffer buffer;
    buffer.create(40, 30, BufferFormat::Rgb555);
    PatternDrawer drawer;
    buffer.renderWorldDirtyRects(&drawer);
    buffer.scrollWorldView(-7, 5);
    buffer.renderWorldDirtyRects(&drawer);
    ScreenRect middle { 10, 10, 25, 20 };
    buffer.invalidateScreenRect(&middle);
    buffer.renderWorldDirtyRects(&drawer);

    platform::HeadlessDisplay display(40, 30);
    display.setNativeFormat(GetParam().screen);
    FramePresenter presenter;
    ASSERT_TRUE(presenter.present(buffer, display, 0, 0, buffer.presentRects()));
    bool is565 = GetParam().screen == platform::PixelFormat16::Rgb565;
    EXPECT_EQ(display.presentedFormat(), GetParam().screen);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x) {
            // What the scroll moved keeps its old picture; the exposed strips
            // and the middle were drawn afresh.
            bool redrawn = x >= 33 || y < 5 || middle.contains(x, y);
            uint16_t expected = redrawn ? PatternDrawer::colourAt(x, y) : PatternDrawer::colourAt(x + 7, y - 5);
            ASSERT_EQ(display.pixel(x, y), is565 ? convert555To565(expected) : expected) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Screen, PresentScrolledWorld,
    testing::Values(PresentCase { "Screen555", platform::PixelFormat16::Rgb555 },
        PresentCase { "Screen565", platform::PixelFormat16::Rgb565 }),
    [](const testing::TestParamInfo<PresentCase>& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
