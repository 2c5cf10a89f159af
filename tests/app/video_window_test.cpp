// The intro film in the running program: the tick redraws the screen between
// game frames only while a film is open, and the real client, run headless,
// shows the film from the main menu's intro command in a window of the gump
// desktop (on top, with the focus, at its own pace) until a click ends it.

#include "app/client_entry.h"
#include "app/client_scenario.h"
#include "app/game_tick.h"
#include "app/sound_startup.h"
#include "audio/video_playback.h"
#include "fixtures/client_directory.h"
#include "fixtures/sample_data_writer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_window.h"
#include "platform/video_player.h"
#include "support/scoped_environment.h"
#include "startup_screens.h"
#include "windows/video_gump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr uint16_t kFilmColour = 0x7C1F;
constexpr uint32_t kFrameMs = 100;

// A long film at ten frames a second, every picture one colour.
class OneColourFilm final : public platform::VideoPlayer {
public:
    bool isAvailable() const override { return true; }
    bool open(const std::string&) override
    {
        m_start = platform::clock().tickMs();
        m_current = 0;
        return m_open = true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int32_t frameCount() const override { return 100000; }
    int32_t currentFrame() const override { return m_current; }
    int32_t width() const override { return 320; }
    int32_t height() const override { return 160; }
    bool isFrameDue(int32_t frame) const override
    {
        return platform::clock().tickMs() - m_start >= uint32_t(frame) * kFrameMs;
    }
    bool decodeFrame() override { return true; }
    void copyToBuffer(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y,
        const platform::VideoCopy& copy) override
    {
        const int32_t scale = copy.doubled ? 2 : 1;
        const int32_t pitch = pitchBytes / 2;
        for (int32_t row = y; row < y + 160 * scale && row < rows; ++row) {
            for (int32_t column = x; column < x + 320 * scale && column < pitch; ++column)
                destination[row * pitch + column] = kFilmColour;
        }
    }
    void nextFrame() override { ++m_current; }

private:
    uint32_t m_start = 0;
    int32_t m_current = 0;
    bool m_open = false;
};

TEST(VideoRedrawStep, RedrawsTheScreenBetweenFramesOnlyWhileAFilmIsOpen)
{
    platform::FakeClock fake(1000);
    fake.setSystemMs(5000);
    platform::ScopedClock guard(fake);
    OneColourFilm film;
    platform::VideoPlayer* previousPlayer = installVideoPlayer(&film);
    VideoWindowServices* previousServices = installVideoWindowServices(nullptr);
    GameTick tick;
    int redraws = 0;
    wireVideoWindow(tick, [&redraws] { ++redraws; });
    EXPECT_EQ(&videoWindowServices(), &gumpVideoWindowServices()) << "films go to video windows";

    tick.run(false); // a game frame
    tick.run(false); // the frame gate is shut: no film, nothing to redraw
    EXPECT_EQ(redraws, 0);
    setVideoSoundSystem();
    ASSERT_EQ(openVideo("any.bik", 320, 160, true, 0), 0);
    tick.run(false);
    EXPECT_EQ(redraws, 1);
    fake.advance(1000);
    fake.setSystemMs(6000);
    tick.run(false); // a game frame draws the gumps itself
    EXPECT_EQ(redraws, 1);
    tick.run(false);
    EXPECT_EQ(redraws, 2);
    closeVideo();
    tick.run(false);
    EXPECT_EQ(redraws, 2);

    installVideoWindowServices(previousServices);
    installVideoPlayer(previousPlayer);
}

// What the display shows at a point, read back from the headless display.
uint16_t shownPixel(ClientSession& session, int32_t x, int32_t y)
{
    return uint16_t(static_cast<platform::HeadlessDisplay&>(session.display).pixel(x, y));
}

// The main menu's intro command; with `clickAfterMs` a left click on the
// film that long after. Reports what the desktop and the display show when
// the window closes.
class IntroScenario final : public ClientScenario {
public:
    explicit IntroScenario(int32_t clickAfterMs)
        : m_clickAfterMs(clickAfterMs)
    {
    }

    void started(ClientSession& session) override
    {
        app_test::closeStartupScreens();
        replayIntroVideo();
        m_window = GumpHandle(gumpListHead());
        m_madeOnTopWithFocus = m_window && gumpFocus() == m_window.get();
        if (m_clickAfterMs < 0)
            return;
        auto& window = static_cast<platform::HeadlessWindow&>(session.window);
        const uint32_t at = platform::clock().tickMs() + uint32_t(m_clickAfterMs);
        using platform::MessageKind;
        window.scheduleMessage(at, { MessageKind::MouseMove, 0, 0, 320, 200 });
        window.scheduleMessage(at + 50, { MessageKind::LeftButtonDown, 1, 0, 320, 200 });
        window.scheduleMessage(at + 100, { MessageKind::LeftButtonUp, 0, 0, 320, 200 });
    }

    void finished(ClientSession& session) override
    {
        std::fprintf(stderr, "window made %s\n", m_madeOnTopWithFocus ? "on top with the focus" : "no");
        CGump* window = m_window.get();
        std::fprintf(stderr, "video window %s\n", !window ? "gone" : window == gumpListHead() ? "on top" : "below");
        std::fprintf(stderr, "focus %s\n", window && gumpFocus() == window ? "on the film" : "elsewhere");
        std::fprintf(stderr, "film open %s\n", isVideoOpen() ? "yes" : "no");
        std::fprintf(stderr, "frames stepped %s\n", videoFrameNumber() >= 10 ? "at the film's pace" : "few");
        const bool filmShown = shownPixel(session, 320, 200) == kFilmColour && shownPixel(session, 0, 54) == kFilmColour
            && shownPixel(session, 639, 373) == kFilmColour;
        const bool blackAround = shownPixel(session, 320, 53) == 0 && shownPixel(session, 320, 374) == 0;
        std::fprintf(stderr, "film shown %s\n", filmShown && blackAround ? "on black" : "no");
        std::fflush(nullptr);
    }

private:
    int32_t m_clickAfterMs;
    GumpHandle m_window;
    bool m_madeOnTopWithFocus = false;
};

[[noreturn]] void runVideoClientAndExit(const std::string& directory, ClientScenario& scenario)
{
    platform::FakeClock clock(5000);
    platform::ScopedClock scopedClock(clock);
    OneColourFilm film;
    installVideoPlayer(&film);
    installClientScenario(&scenario);
    std::string program = "vardun";
    std::string option = "-r";
    std::string path = directory;
    char* argv[] = { program.data(), option.data(), path.data(), nullptr };
    const int code = clientMain(3, argv);
    std::fflush(nullptr);
    _exit(code);
}

class HeadlessIntro : public ::testing::Test {
protected:
    HeadlessIntro()
        : headless("VARDUN_HEADLESS", "1")
        , closeAfter("VARDUN_HEADLESS_CLOSE_MS", "1500")
    {
        fixture::writeSampleDataSet(client.path());
        client.write("music/intro.bik", "a film");
        client.write("vo.cfg", "MouseThread=off\n");
    }

    fixture::ClientDirectory client;
    test::ScopedEnvironment headless;
    test::ScopedEnvironment closeAfter;
};

TEST_F(HeadlessIntro, TheFilmPlaysOverTheDesktopInItsWindow)
{
    IntroScenario scenario(-1);
    EXPECT_EXIT(runVideoClientAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "window made on top with the focus\n"
        "video window on top\n"
        "focus on the film\n"
        "film open yes\n"
        "frames stepped at the film's pace\n"
        "film shown on black\n");
}

TEST_F(HeadlessIntro, AClickEndsTheFilmAndClosesItsWindow)
{
    IntroScenario scenario(400);
    EXPECT_EXIT(runVideoClientAndExit(client.path(), scenario), ::testing::ExitedWithCode(0),
        "window made on top with the focus\n"
        "video window gone\n"
        "focus elsewhere\n"
        "film open no\n"
        "frames stepped few\n"
        "film shown no\n");
}

} // namespace
