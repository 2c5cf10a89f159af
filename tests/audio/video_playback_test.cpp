// The intro film through the video wrapper and the playback, on a clip the
// test writes with FFmpeg's lossless encoder: frames doubled into the frame
// buffer at their computed colours, paced by a fake clock, skipping, the end
// and the step after it; the sound track on a device without speakers; and
// the timed subtitles over a player of N frames.

#include "audio/digital_music_manager.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "audio/video_playback.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "fixtures/client_directory.h"
#include "fixtures/font_writers.h"
#include "fixtures/language_files.h"
#include "mpeg_reference.h"
#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/headless/null_audio_device.h"
#include "platform/video_player.h"
#include "text/unicode_font.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int32_t kClipWidth = 32;
constexpr int32_t kClipHeight = 16;
constexpr int32_t kClipFrames = 10; // at 10 frames a second

// Frame n, pixel (x, y): red n * 24, green x * 8, blue y * 16; every value
// is exact in 5-6-5 and in 5-5-5.
uint16_t expected565(int32_t n, int32_t x, int32_t y)
{
    return uint16_t(((n * 24) >> 3) << 11 | ((x * 8) >> 2) << 5 | ((y * 16) >> 3));
}

// The clip's pictures; with `sound`, a single-channel 22.05 kHz sound track
// (stored losslessly) that holds the level 1000 * (n + 1) while frame n shows.
std::string makeClip(const std::string& path, bool sound)
{
    const std::string filter = "color=black:s=" + std::to_string(kClipWidth) + "x" + std::to_string(kClipHeight)
        + ":r=10:d=1,format=rgb24,geq=r='N*24':g='X*8':b='Y*16'";
    const std::string track
        = sound ? " -f lavfi -i \"aevalsrc=exprs='(floor(t*10)+1)*1000/32768':s=22050:d=1\" -c:a pcm_s16le" : "";
    test::runTool(
        "ffmpeg -nostdin -v error -f lavfi -i \"" + filter + "\"" + track + " -c:v ffv1 -pix_fmt bgr0 " + path);
    return test::TempDir::read(path);
}

const std::string& clipBytes()
{
    static test::TempDir dir;
    static const std::string clip = makeClip(dir.file("clip.mkv"), false);
    return clip;
}

const std::string& clipWithSoundBytes()
{
    static test::TempDir dir;
    static const std::string clip = makeClip(dir.file("clip.mkv"), true);
    return clip;
}

// Keeps the film it is asked to show, as a window would.
class RecordingWindowServices final : public VideoWindowServices {
public:
    void showVideo(const VideoPlaybackMaker& make) override { shown = make(); }
    void linkAtTop(VideoPlayback&) override { ++linked; }
    void bringToFront(VideoPlayback&) override { }
    bool hasKeyboardFocus(VideoPlayback&) override { return focused; }
    void setKeyboardFocus(VideoPlayback&) override { focused = true; }
    void releaseKeyboardFocus() override { focused = false; }
    void showMainMenu() override { ++mainMenus; }
    std::unique_ptr<VideoPlayback> shown;
    int linked = 0;
    int mainMenus = 0;
    bool focused = false;
};

class IntroFilm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(clipBytes().empty());
        m_client.write("music/intro.bik", clipBytes());
        platform::forgetDirectoryCache();
        m_previous = installVideoWindowServices(&m_window);
        m_pixels.assign(size_t(640) * 480, 0x1234);
    }
    void TearDown() override
    {
        m_window.shown.reset();
        closeVideo();
        installVideoWindowServices(m_previous);
    }

    VideoFrameBuffer frame(int32_t width = 640, int32_t height = 480)
    {
        return VideoFrameBuffer { m_pixels.data(), width, height, 640, true };
    }
    uint16_t at(int32_t x, int32_t y) const { return m_pixels[size_t(y) * 640 + x]; }

    // The clip's frame n, doubled at row 54, on black.
    void expectFrame(int32_t n)
    {
        EXPECT_EQ(at(0, 53), 0);
        EXPECT_EQ(at(100, 200), 0);
        for (int32_t y = 0; y < 2 * kClipHeight; ++y) {
            for (int32_t x = 0; x < 2 * kClipWidth; ++x)
                ASSERT_EQ(at(x, 54 + y), expected565(n, x / 2, y / 2)) << "frame " << n << " at " << x << "," << y;
        }
    }

    platform::FakeClock m_clock { 0xFFFFFF00u }; // the film runs across the tick count's wrap
    platform::ScopedClock m_clockGuard { m_clock };
    fixture::ClientDirectory m_client;
    RecordingWindowServices m_window;
    VideoWindowServices* m_previous = nullptr;
    std::vector<uint16_t> m_pixels;
};

TEST_F(IntroFilm, FramesAreShownDoubledAtTheirOwnPace)
{
    VideoPlayback video("intro.bik", kVideoNextMainMenu, true);
    ASSERT_TRUE(video.isPlaying());
    EXPECT_FALSE(musicSystem().isMusicOn()) << "music is off while the film plays";
    EXPECT_EQ(m_window.linked, 1);
    ASSERT_TRUE(video.draw(frame()));
    expectFrame(0);
    m_clock.advance(60);
    ASSERT_TRUE(video.draw(frame()));
    expectFrame(0);
    m_clock.advance(40);
    ASSERT_TRUE(video.draw(frame()));
    expectFrame(1);
    // A late redraw drops what it missed instead of slowing the film.
    m_clock.advance(350);
    ASSERT_TRUE(video.draw(frame()));
    expectFrame(4);
    EXPECT_EQ(videoFrameNumber(), 5);
}

TEST_F(IntroFilm, TheEndComesAtTheSecondToLastFrameAndTheMainMenuFollows)
{
    const bool musicWasOn = musicSystem().isMusicOn();
    auto video = std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, false);
    EXPECT_FALSE(video->onInput()) << "not skippable";
    int draws = 0;
    while (video->draw(frame()) && draws < 100) {
        m_clock.advance(100);
        ++draws;
    }
    EXPECT_EQ(draws, kClipFrames - 1);
    EXPECT_TRUE(video->isDone());
    EXPECT_TRUE(isVideoOpen());
    video.reset();
    EXPECT_FALSE(isVideoOpen());
    EXPECT_EQ(m_window.mainMenus, 1);
    EXPECT_EQ(musicSystem().isMusicOn(), musicWasOn);
}

// The program's sound device, here one without speakers that mixes when told;
// whatever plays on it is closed before it goes.
class SoundDeviceScope {
public:
    SoundDeviceScope() { soundEffects().initDirectSound(&device); }
    ~SoundDeviceScope()
    {
        closeVideo();
        soundEffects().shutdownSound();
    }
    platform::NullAudioDevice device { 44100, false };
};

TEST_F(IntroFilm, TheSoundTrackPlaysAtTheMusicVolumeInStepWithTheFrames)
{
    m_client.write("music/intro.bik", clipWithSoundBytes());
    platform::forgetDirectoryCache();
    const uint8_t savedVolume = musicSystem().musicVolume();
    musicSystem().setMusicVolume(192);
    int32_t gain = 0;
    int32_t unused = 0;
    platform::mixerGains(musicBaseVolume(192), 0, gain, unused);
    SoundDeviceScope sound;
    sound.device.setCapture(true);
    auto video = std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, true);
    ASSERT_TRUE(video->isPlaying());
    sound.device.mixFrames(441);
    std::vector<int16_t> before = sound.device.takeCaptured();
    EXPECT_EQ(std::count(before.begin(), before.end(), 0), 882) << "silent until the first frame shows";

    // Each frame shows for a tenth of a second, as long as its level plays.
    for (int32_t n = 0; n < kClipFrames - 2; ++n) {
        ASSERT_TRUE(video->draw(frame()));
        expectFrame(n);
        sound.device.mixFrames(4410);
        const std::vector<int16_t> played = sound.device.takeCaptured();
        ASSERT_EQ(played.size(), 8820u);
        const int32_t expected = (1000 * (n + 1) * gain) >> 15;
        // Away from the steps, where resampling rounds the edges.
        for (size_t f = 200; f < 4200; ++f) {
            ASSERT_NEAR(played[2 * f], expected, 4) << "frame " << n << ", sample " << f;
            ASSERT_EQ(played[2 * f + 1], played[2 * f]) << "frame " << n << ", sample " << f;
        }
        m_clock.advance(100);
    }
    video.reset();
    sound.device.mixFrames(441);
    std::vector<int16_t> after = sound.device.takeCaptured();
    EXPECT_EQ(std::count(after.begin(), after.end(), 0), 882) << "the sound ends with the film";
    musicSystem().setMusicVolume(savedVolume);
}

TEST_F(IntroFilm, AKeyOrClickEndsASkippableFilmAtTheNextDraw)
{
    auto video = std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, true);
    ASSERT_TRUE(video->draw(frame()));
    EXPECT_TRUE(video->onInput());
    EXPECT_TRUE(video->isPlaying());
    EXPECT_FALSE(video->draw(frame())) << "over at the next draw";
    EXPECT_EQ(m_window.mainMenus, 0);
    video.reset();
    EXPECT_EQ(m_window.mainMenus, 1);
}

TEST_F(IntroFilm, AMissingOrUndecodableFilmClosesOnItsFirstDrawWithMusicUntouched)
{
    m_client.write("music/intro.bik", "not a film at all");
    platform::forgetDirectoryCache();
    musicSystem().toggleMusic(true);
    auto video = std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, true);
    EXPECT_FALSE(video->isPlaying());
    EXPECT_TRUE(musicSystem().isMusicOn());
    EXPECT_FALSE(video->draw(frame()));
    video.reset();
    EXPECT_EQ(m_window.mainMenus, 1);
    auto other = std::make_unique<VideoPlayback>("credits.bik", 0, true);
    EXPECT_FALSE(other->draw(frame())) << "only intro films are opened";
    other.reset();
    EXPECT_EQ(m_window.mainMenus, 1) << "no next step but the main menu's";
}

TEST_F(IntroFilm, ASmallFrameBufferEndsTheFilmAtOnce)
{
    VideoPlayback video("intro.bik", kVideoNextMainMenu, true);
    ASSERT_TRUE(video.isPlaying());
    EXPECT_FALSE(video.draw(frame(640, 373)));
}

TEST_F(IntroFilm, OnlyOneFilmOpensAtATime)
{
    setVideoSoundSystem();
    ASSERT_EQ(openVideo(m_client.path() + "/music/intro.bik", 320, 160, true, 0), 0);
    EXPECT_EQ(openVideo(m_client.path() + "/music/intro.bik", 320, 160, true, 0), -1);
    closeVideo();
    EXPECT_EQ(openVideo(m_client.path() + "/music/none.bik", 320, 160, true, 0), -2);
    EXPECT_EQ(stepVideo(m_pixels.data(), 1280, 480, 0, 0, true), kVideoNotOpen);
}

TEST_F(IntroFilm, TheIntroChoiceAfterTheSplashWritesTheFirstLaunchDown)
{
    resetConfigValues();
    startIntroAfterSplash(); // a first launch: the film plays, in a window
    ASSERT_NE(m_window.shown, nullptr);
    EXPECT_TRUE(m_window.shown->isPlaying());
    EXPECT_NE(m_client.read("vo.cfg").find("ClientFirstLaunch=no"), std::string::npos);
    m_window.shown.reset();
    EXPECT_EQ(m_window.mainMenus, 1);
    // The next start reads the settings file again.
    ConfigFiles files;
    files.setRules(&settingsKeyRules());
    files.setLoginCount(10);
    ASSERT_TRUE(files.readConfigFile("vo.cfg", false));
    startIntroAfterSplash(); // no longer a first launch, and no intro asked for
    EXPECT_EQ(m_window.shown, nullptr);
    EXPECT_EQ(m_window.mainMenus, 2);
    resetConfigValues();
}

// A player of N frames that paints frame n as the colour n.
class CountingPlayer final : public platform::VideoPlayer {
public:
    explicit CountingPlayer(int32_t frames)
        : m_frames(frames)
    {
    }
    bool isAvailable() const override { return true; }
    bool open(const std::string&) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    int32_t frameCount() const override { return m_frames; }
    int32_t currentFrame() const override { return m_current; }
    int32_t width() const override { return 320; }
    int32_t height() const override { return 160; }
    // One frame per draw: the current one is always due, none after it.
    bool isFrameDue(int32_t frame) const override { return frame <= m_current; }
    bool decodeFrame() override { return true; }
    void copyToBuffer(uint16_t*, int32_t, int32_t, int32_t, int32_t, const platform::VideoCopy&) override { }
    void nextFrame() override { ++m_current; }

private:
    int32_t m_frames;
    int32_t m_current = 0;
    bool m_open = false;
};

TEST_F(IntroFilm, SubtitlesShowFromFrame127WhileTheirTimeHoldsFramePlus554)
{
    CountingPlayer player(300);
    platform::VideoPlayer* previousPlayer = installVideoPlayer(&player);
    m_client.write("intro.enu",
        fixture::StringFileWriter("enu", 1, "intro", 2)
            .texts({ u"early", u"HI" })
            .pairs("TIME", { { 0, 680 }, { 690, 700 } })
            .image());
    platform::forgetDirectoryCache();
    const std::string font = fixture::UnicodeFontWriter().addTestFace().bytes();
    ASSERT_TRUE(installUnicodeFont(0, reinterpret_cast<const uint8_t*>(font.data()), font.size()));
    {
        IntroVideoPlayback video(0, true);
        ASSERT_TRUE(video.isPlaying());
        auto inkedBelow400 = [this] {
            for (int32_t y = 400; y < 480; ++y) {
                for (int32_t x = 0; x < 640; ++x) {
                    if (at(x, y) != 0)
                        return true;
                }
            }
            return false;
        };
        std::vector<int32_t> shown;
        for (int32_t n = 0; n < 150; ++n) {
            ASSERT_TRUE(video.draw(frame()));
            // After the draw the current frame is n + 1.
            if (inkedBelow400())
                shown.push_back(n + 1);
        }
        // "early" covers times up to 680, which is frame 126: before subtitles
        // start. "HI" covers 690..700, frames 136..146.
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front(), 136);
        EXPECT_EQ(shown.back(), 146);
        EXPECT_EQ(shown.size(), 11u);
    }
    installVideoPlayer(previousPlayer);
    installUnicodeFont(0, nullptr, 0);
}

} // namespace
