// FFmpeg's libraries come with the film module, which is loaded the first
// time a film that exists is opened: a program that shows no film (or asks
// for one that is missing) never maps them. Each case runs in a child of its
// own, so that no other test's film has loaded them already.

#include "platform/video_player.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool isMapped(const std::string& name)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(name) != std::string::npos)
            return true;
    }
    return false;
}

TEST(VideoModuleDeathTest, AMissingFilmLeavesTheDecodersUnloaded)
{
    EXPECT_EXIT(
        {
            auto player = platform::createVideoPlayer();
            const bool opened = player->open("/nonexistent/intro.bik");
            std::exit(!opened && !isMapped("vardun_video.so") && !isMapped("libavcodec") ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(VideoModuleDeathTest, AFileThatExistsLoadsThemToTryIt)
{
    test::TempDir dir;
    const std::string path = dir.write("intro.bik", "not a film at all");
    EXPECT_EXIT(
        {
            auto player = platform::createVideoPlayer();
            const bool opened = player->open(path);
            std::exit(!opened && isMapped("vardun_video.so") && isMapped("libavcodec") && player->isAvailable() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
