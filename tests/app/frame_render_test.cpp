#include "app/frame_render.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class FrameRender : public ::testing::Test {
protected:
    FrameRender()
        : renderer(services())
    {
    }
    FrameServices services()
    {
        FrameServices s;
        s.hasGameConnection = [this] { return connected; };
        s.renderWorldDirtyRects = [this] { calls.push_back("world"); };
        s.redrawAllGumps = [this] { calls.push_back("gumps"); };
        s.refreshSpeechLine = [this] { calls.push_back("speech"); };
        s.darkenGameArea = [this] { calls.push_back("darken"); };
        s.showDeathText = [this] { calls.push_back("dead text"); };
        s.invalidateWholeScreen = [this] { calls.push_back("invalidate"); };
        s.sendResurrectionChoice = [this] { calls.push_back("choice 2"); };
        return s;
    }
    int countOf(const std::string& name) const { return int(std::count(calls.begin(), calls.end(), name)); }

    bool connected = true;
    std::vector<std::string> calls;
    FrameRenderer renderer;
};

TEST_F(FrameRender, NothingWithoutAGameConnection)
{
    connected = false;
    renderer.renderFrame();
    EXPECT_TRUE(calls.empty());
}

TEST_F(FrameRender, PlainFrameDrawsWorldThenGumpsThenSpeechLine)
{
    renderer.renderFrame();
    EXPECT_EQ(calls, (std::vector<std::string> { "world", "gumps", "speech" }));
}

TEST_F(FrameRender, DeathFadeShowsTheTextAt16AndSendsTheChoiceAt32)
{
    renderer.startDeathFade();
    std::vector<int> textFrames;
    std::vector<int> choiceFrames;
    for (int frame = 1; frame <= 40; ++frame) {
        calls.clear();
        renderer.renderFrame();
        if (countOf("dead text"))
            textFrames.push_back(frame);
        if (countOf("choice 2"))
            choiceFrames.push_back(frame);
        if (frame <= 31) {
            EXPECT_EQ(countOf("darken"), 1) << frame;
            EXPECT_EQ(countOf("world"), 0) << frame;
        }
    }
    // The counter starts at 1, so frame 15 makes it 16 and frame 31 makes it 32.
    EXPECT_EQ(textFrames, (std::vector<int> { 15 }));
    EXPECT_EQ(choiceFrames, (std::vector<int> { 31 }));
    EXPECT_EQ(renderer.deathFadeCounter(), 0);
    EXPECT_EQ(calls, (std::vector<std::string> { "world", "gumps", "speech" }));
}

TEST(DeathText, CentredWithHalvesRoundedTowardZero)
{
    int32_t x = 0;
    int32_t y = 0;
    centreInGameArea(640, 480, 101, 33, x, y);
    EXPECT_EQ(x, 270);
    EXPECT_EQ(y, 224);
}

} // namespace
