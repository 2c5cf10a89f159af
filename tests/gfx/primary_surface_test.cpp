#include "gfx/primary_surface.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A screen that refuses the modes it is told to and records every request.
class ModeScreen : public platform::Display {
public:
    bool beginFrame(int32_t, int32_t, platform::PixelFormat16, platform::FrameSurface&) override { return false; }
    bool endFrame(std::span<const ScreenRect>) override { return false; }
    bool setFullscreen(bool on, int32_t width, int32_t height) override
    {
        if (!on) {
            fullscreen = false;
            return true;
        }
        requests.emplace_back(width, height);
        for (auto refused : refusedModes)
            if (refused == std::make_pair(width, height))
                return fullscreen = false;
        return fullscreen = true;
    }
    bool isFullscreen() const override { return fullscreen; }
    platform::PixelFormat16 nativeFormat() const override { return format; }

    std::vector<std::pair<int32_t, int32_t>> refusedModes;
    std::vector<std::pair<int32_t, int32_t>> requests;
    bool fullscreen = false;
    platform::PixelFormat16 format = platform::PixelFormat16::Rgb565;
};

struct ModeCase {
    const char* name;
    bool inWorld;
    const char* fullScreenRes;
    std::vector<std::pair<int32_t, int32_t>> refused;
    std::vector<std::pair<int32_t, int32_t>> expectedRequests;
    bool expectedActive;
};

class FullScreenMode : public testing::TestWithParam<ModeCase> { };

TEST_P(FullScreenMode, ChoosesTheModeAndFallsBack)
{
    const ModeCase& c = GetParam();
    ModeScreen screen;
    screen.refusedModes = c.refused;
    BackBuffer buffer;
    buffer.create(1024, 768, BufferFormat::Rgb555);
    FullScreenOutput output;
    EXPECT_EQ(createPrimarySurface(screen, buffer, c.inWorld, c.fullScreenRes, output), c.expectedActive);
    EXPECT_EQ(screen.requests, c.expectedRequests);
    EXPECT_EQ(output.active, c.expectedActive);
    EXPECT_EQ(screen.isFullscreen(), c.expectedActive);
    if (c.expectedActive) {
        EXPECT_TRUE(output.screenIs565);
        EXPECT_EQ(std::make_pair(output.width, output.height), c.expectedRequests.back());
        // The gump layer re-creates the buffer at the mode's size: it shrinks.
        buffer.create(output.width, output.height, BufferFormat::Rgb555);
        EXPECT_EQ(std::make_pair(buffer.width(), buffer.height()), c.expectedRequests.back());
        releasePrimarySurface(screen, output);
        EXPECT_FALSE(output.active);
        EXPECT_FALSE(screen.isFullscreen());
    } else {
        buffer.create(800, 600, BufferFormat::Rgb555);
        EXPECT_EQ(buffer.width(), 1024) << "a failed switch leaves the size alone";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, FullScreenMode,
    testing::Values(ModeCase { "InWorld", true, "800x600", {}, { { 800, 600 } }, true },
        ModeCase { "OutsideTheWorld", false, "800x600", {}, { { 640, 480 } }, true },
        ModeCase { "RefusedModeFallsBack", true, "1280x1024", { { 1280, 1024 } }, { { 1280, 1024 }, { 640, 480 } },
            true },
        ModeCase { "EverythingRefused", true, "800x600", { { 800, 600 }, { 640, 480 } },
            { { 800, 600 }, { 640, 480 } }, false },
        ModeCase { "DefaultRefusedOnce", false, "", { { 640, 480 } }, { { 640, 480 } }, false },
        ModeCase { "Unparsable", true, "wide", {}, { { 640, 480 } }, true },
        ModeCase { "AbsurdSize", true, "100000x100000", {}, { { 640, 480 } }, true },
        ModeCase { "BelowTheGameSize", true, "320x200", {}, { { 640, 480 } }, true }),
    [](const testing::TestParamInfo<ModeCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(FullScreenRes, ParsesLikeTheSettingsFileWritesIt)
{
    int32_t w = 0, h = 0;
    EXPECT_TRUE(parseFullScreenRes(" 1024x768", w, h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(parseFullScreenRes("800x600 trailing", w, h));
    EXPECT_EQ(w, 800);
    EXPECT_FALSE(parseFullScreenRes("800 x600", w, h));
    EXPECT_FALSE(parseFullScreenRes("800x", w, h));
    EXPECT_FALSE(parseFullScreenRes("", w, h));
    EXPECT_EQ(w, 800) << "a refused text leaves the values alone";
}

} // namespace
