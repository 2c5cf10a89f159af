// The video window on a real gump desktop: a film shown through the window
// services lands in a VideoGump at the top of the desktop with the focus; the
// composed screen shows its frames doubled at row 54 on black (checked pixel
// by pixel against the film's own colours, on a ring whose wrap point cuts
// the screen), and the world comes back after the present; clicks and keys
// reach a skippable film; a film that ends, does not open or loses its
// window closes the window; and a bulk close leaves the film's follow-up
// undone.

#include "audio/music_player.h"
#include "audio/video_playback.h"
#include "fixtures/client_directory.h"
#include "gfx/back_buffer.h"
#include "gump/gump.h"
#include "gump/gump_manager.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/video_player.h"
#include "windows/video_gump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int32_t kFilmWidth = 320;
constexpr int32_t kFilmHeight = 160;
constexpr uint32_t kFrameMs = 100;
constexpr int32_t kFilmTop = 54;

// Frame n, film pixel (x, y), as 5-5-5: never 0, and different for each
// frame, column and row that the tests look at.
uint16_t filmColour(int32_t n, int32_t x, int32_t y)
{
    return uint16_t(0x4000 | ((n & 0x0F) << 10) | ((x & 0x1F) << 5) | (y & 0x1F));
}

// A film of `frames` frames at ten a second, painted from filmColour and
// doubled as asked.
class PaintedFilm final : public platform::VideoPlayer {
public:
    explicit PaintedFilm(int32_t frames)
        : m_frames(frames)
    {
    }
    bool isAvailable() const override { return true; }
    bool open(const std::string&) override
    {
        m_open = true;
        m_current = 0;
        m_decoded = -1;
        m_start = platform::clock().tickMs();
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int32_t frameCount() const override { return m_frames; }
    int32_t currentFrame() const override { return m_current; }
    int32_t width() const override { return kFilmWidth; }
    int32_t height() const override { return kFilmHeight; }
    bool isFrameDue(int32_t frame) const override
    {
        return platform::clock().tickMs() - m_start >= uint32_t(frame) * kFrameMs;
    }
    bool decodeFrame() override
    {
        m_decoded = m_current;
        return true;
    }
    void copyToBuffer(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y,
        const platform::VideoCopy& copy) override
    {
        const int32_t scale = copy.doubled ? 2 : 1;
        const int32_t pitch = pitchBytes / 2;
        for (int32_t row = 0; row < kFilmHeight * scale && y + row < rows; ++row) {
            for (int32_t column = 0; column < kFilmWidth * scale && x + column < pitch; ++column)
                destination[(y + row) * pitch + x + column] = filmColour(m_decoded, column / scale, row / scale);
        }
    }
    void nextFrame() override { ++m_current; }

private:
    int32_t m_frames;
    int32_t m_current = 0;
    int32_t m_decoded = -1;
    uint32_t m_start = 0;
    bool m_open = false;
};

// A plain window with a face of its own.
class PlainGump final : public CGump {
public:
    PlainGump()
        : CGump(100, 100, nullptr, 1, 50, 40)
    {
        page(0)->allocate(50, 40);
        std::fill(page(0)->pixels.begin(), page(0)->pixels.end(), uint16_t(0x1234));
    }
};

class VideoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_client.write("music/intro.bik", "a film");
        platform::forgetDirectoryCache();
        m_previousPlayer = installVideoPlayer(&m_film);
        m_previousServices = installVideoWindowServices(&gumpVideoWindowServices());
        musicSystem().toggleMusic(true);
        gumpSystemStartup();
        m_buffer.resetSizeTo(640, 480);
        m_buffer.create(640, 480, BufferFormat::Rgb555);
        m_buffer.renderWorldDirtyRects(nullptr);
        // The ring's wrap point now lies inside the screen: a composition
        // comes in several pieces.
        m_buffer.scrollWorldView(37, 101);
        ASSERT_NE(m_buffer.ringStart(), 0);
        fillWorld();
        gumpAttachBackBuffer(&m_buffer);
        gumpBackBufferRecreated();
        GumpScreen screen;
        screen.width = screen.gameWidth = 640;
        screen.height = screen.gameHeight = 480;
        gumpSetScreen(screen);
    }

    void TearDown() override
    {
        gumpSystemShutdown();
        gumpAttachBackBuffer(nullptr);
        closeVideo();
        installVideoWindowServices(m_previousServices);
        installVideoPlayer(m_previousPlayer);
    }

    uint16_t screenPixel(int32_t x, int32_t y) const { return m_buffer.pixels()[m_buffer.ringIndex(x, y)]; }
    bool backBufferHoldsTheWorld() const
    {
        return std::equal(m_world.begin(), m_world.end(), m_buffer.pixels());
    }
    void compose(bool present) { gumpRedrawRect({ 0, 0, 640, 480 }, present); }

    // The whole screen shows frame n doubled at row 54 on black.
    void expectFrameShown(int32_t n) const
    {
        for (int32_t y = 0; y < 480; ++y) {
            for (int32_t x = 0; x < 640; ++x) {
                const bool inFilm = y >= kFilmTop && y < kFilmTop + 2 * kFilmHeight;
                const uint16_t expected = inFilm ? filmColour(n, x / 2, (y - kFilmTop) / 2) : 0;
                ASSERT_EQ(screenPixel(x, y), expected) << "frame " << n << " at " << x << "," << y;
            }
        }
    }

    // The window at the top of the desktop when it is a video window: the
    // only kind here that covers the whole screen.
    static VideoGump* shownWindow()
    {
        CGump* head = gumpListHead();
        if (!head || !isValidGump(head) || head->width() != 640 || head->height() != 480)
            return nullptr;
        return static_cast<VideoGump*>(head);
    }

    // Puts the ring's start back at 0, so that a composition is one piece,
    // with the world drawn again.
    void unwrapRing()
    {
        m_buffer.scrollWorldView(-37, -101);
        ASSERT_EQ(m_buffer.ringStart() % m_buffer.pixelCount(), 0);
        fillWorld();
    }

    void fillWorld()
    {
        for (int64_t i = 0; i < m_buffer.pixelCount(); ++i)
            m_buffer.pixels()[i] = uint16_t((i * 13 + 7) & 0x7FFF);
        m_world.assign(m_buffer.pixels(), m_buffer.pixels() + m_buffer.pixelCount());
    }

    platform::FakeClock m_clock { 0xFFFFFF00u }; // the film runs across the tick count's wrap
    platform::ScopedClock m_clockGuard { m_clock };
    fixture::ClientDirectory m_client;
    PaintedFilm m_film { 6 };
    platform::VideoPlayer* m_previousPlayer = nullptr;
    VideoWindowServices* m_previousServices = nullptr;
    BackBuffer m_buffer;
    std::vector<uint16_t> m_world;
};

TEST_F(VideoWindow, AFilmIsShownOverTheWholeScreenAtItsPaceAndTheWorldComesBack)
{
    replayIntroVideo();
    VideoGump* window = shownWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->playback(), nullptr);
    EXPECT_TRUE(window->playback()->isPlaying());
    EXPECT_EQ(gumpFocus(), window);
    EXPECT_FALSE(musicSystem().isMusicOn()) << "music is off while the film plays";

    compose(false);
    expectFrameShown(0);
    m_clock.advance(kFrameMs / 2);
    compose(false);
    expectFrameShown(0);
    m_clock.advance(kFrameMs / 2);
    compose(true);
    EXPECT_TRUE(backBufferHoldsTheWorld()) << "after the present the world is put back";
    compose(false);
    expectFrameShown(1);
}

TEST_F(VideoWindow, EveryPointOfTheScreenIsTheFilms)
{
    replayIntroVideo();
    VideoGump* window = shownWindow();
    ASSERT_NE(window, nullptr);
    for (auto [x, y] : { std::pair { 0, 0 }, std::pair { 639, 479 }, std::pair { 320, 20 } })
        EXPECT_EQ(gumpHitTest(x, y, nullptr, false), window) << x << "," << y;
}

enum class Input { LeftButton, RightButton, Key };

class VideoWindowInput : public VideoWindow, public ::testing::WithParamInterface<Input> { };

TEST_P(VideoWindowInput, EndsASkippableFilmAtTheNextDraw)
{
    replayIntroVideo();
    compose(true);
    ASSERT_NE(shownWindow(), nullptr);
    switch (GetParam()) {
    case Input::LeftButton:
        gumpHitTest(300, 200, nullptr, false)->onLeftDown(300, 200);
        break;
    case Input::RightButton:
        gumpHitTest(10, 470, nullptr, false)->onRightDown(10, 470);
        break;
    case Input::Key:
        gumpFocus()->onKey(27);
        break;
    }
    ASSERT_EQ(gumpListHead(), shownWindow()) << "still there until the next draw";
    compose(true);
    EXPECT_EQ(gumpListHead(), nullptr);
    EXPECT_EQ(gumpFocus(), nullptr);
    EXPECT_FALSE(isVideoOpen());
    EXPECT_TRUE(musicSystem().isMusicOn()) << "music as it was before the film";
    EXPECT_TRUE(backBufferHoldsTheWorld());
}

INSTANTIATE_TEST_SUITE_P(Inputs, VideoWindowInput,
    ::testing::Values(Input::LeftButton, Input::RightButton, Input::Key),
    [](const ::testing::TestParamInfo<Input>& input) {
        switch (input.param) {
        case Input::LeftButton:
            return std::string("LeftButton");
        case Input::RightButton:
            return std::string("RightButton");
        case Input::Key:
            return std::string("Key");
        }
        return std::string("Unknown");
    });

TEST_F(VideoWindow, AFilmThatIsNotSkippableIgnoresInput)
{
    gumpVideoWindowServices().showVideo(
        [] { return std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, false); });
    VideoGump* window = shownWindow();
    ASSERT_NE(window, nullptr);
    window->onLeftDown(1, 1);
    window->onKey(13);
    compose(true);
    EXPECT_EQ(gumpListHead(), window);
}

TEST_F(VideoWindow, TheWindowClosesOnTheFirstDrawAfterTheFilmEnded)
{
    // Each piece of a composition draws the window: one piece, one draw.
    unwrapRing();
    replayIntroVideo();
    int32_t draws = 0;
    while (gumpListHead() && draws < 100) {
        compose(true);
        m_clock.advance(kFrameMs);
        ++draws;
    }
    // Frames 0 to 4 are shown; the draw after the second-to-last closes it.
    EXPECT_EQ(draws, 6);
    EXPECT_FALSE(isVideoOpen());
    EXPECT_TRUE(musicSystem().isMusicOn());
    EXPECT_TRUE(backBufferHoldsTheWorld());
}

TEST_F(VideoWindow, TheFilmStaysOnTopAndTakesTheFocusBack)
{
    replayIntroVideo();
    VideoGump* window = shownWindow();
    ASSERT_NE(window, nullptr);
    auto* other = new PlainGump;
    gumpLink(other, nullptr);
    gumpSetFocus(other);
    GumpHandle otherHandle(other);
    compose(false);
    EXPECT_EQ(gumpListHead(), window);
    EXPECT_EQ(gumpFocus(), window);
    expectFrameShown(0);
    EXPECT_TRUE(otherHandle) << "the other window stays, beneath the film";
}

TEST_F(VideoWindow, AFilmThatDoesNotOpenShowsNothingAndClosesItsWindow)
{
    // Only intro films are opened.
    gumpVideoWindowServices().showVideo(
        [] { return std::make_unique<VideoPlayback>("credits.bik", kVideoNextMainMenu, true); });
    ASSERT_NE(gumpListHead(), nullptr) << "the window is linked even so";
    EXPECT_TRUE(musicSystem().isMusicOn()) << "music was never switched off";
    compose(false);
    EXPECT_EQ(gumpListHead(), nullptr);
    EXPECT_TRUE(backBufferHoldsTheWorld());
    // A window asked to show no playback at all goes the same way.
    gumpVideoWindowServices().showVideo([] { return std::unique_ptr<VideoPlayback>(); });
    ASSERT_NE(gumpListHead(), nullptr);
    compose(false);
    EXPECT_EQ(gumpListHead(), nullptr);
}

TEST_F(VideoWindow, APlaybackWithoutAWindowTouchesNoWindow)
{
    auto* other = new PlainGump;
    gumpLink(other, nullptr);
    gumpSetFocus(other);
    {
        VideoPlayback loose("intro.bik", 0, true);
        EXPECT_TRUE(loose.isPlaying());
        EXPECT_EQ(gumpListHead(), other);
        std::vector<uint16_t> pixels(size_t(640) * 480);
        EXPECT_TRUE(loose.draw({ pixels.data(), 640, 480, 640, false }));
        EXPECT_EQ(gumpListHead(), other);
    }
    EXPECT_EQ(gumpListHead(), other);
}

TEST_F(VideoWindow, ABulkCloseLeavesTheFollowUpUndoneWhereAClosedWindowRunsIt)
{
    replayIntroVideo();
    ASSERT_NE(shownWindow(), nullptr);
    gumpSystemShutdown();
    EXPECT_EQ(gumpListHead(), nullptr);
    EXPECT_TRUE(isVideoOpen()) << "the film is closed at exit, not by the window";
    EXPECT_FALSE(musicSystem().isMusicOn()) << "no music restarted on the way out";
    closeVideo();

    gumpSystemStartup();
    gumpAttachBackBuffer(&m_buffer);
    musicSystem().toggleMusic(true);
    replayIntroVideo();
    ASSERT_NE(shownWindow(), nullptr);
    closeGump(shownWindow());
    EXPECT_FALSE(isVideoOpen());
    EXPECT_TRUE(musicSystem().isMusicOn());
}

} // namespace
