#pragma once
// The intro film. The video wrapper keeps one open film at a time on the
// platform's video player; a VideoPlayback is what the video window does with
// it: it draws each frame into the 16-bit frame buffer (doubled, on black,
// with timed subtitles for the intro), ends on a key or click when skippable,
// switches music off while it plays and, when destroyed, restores music and
// moves on to the step that follows. The window that owns a playback (its
// place in the window list, the keyboard focus) and the next screen are
// reached through VideoWindowServices, which the window system and the front
// end install. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class StringFile;
namespace platform {
class VideoPlayer;
}

// The wrapper's results.
inline constexpr int32_t kVideoNotOpen = 0;
inline constexpr int32_t kVideoPlaying = 1;
inline constexpr int32_t kVideoFinished = 3;
// What follows the film: the main menu.
inline constexpr int32_t kVideoNextMainMenu = 3;

// The player the wrapper uses (FFmpeg's unless one was installed) and a
// replacement for tests (null restores the default); returns the previous one.
platform::VideoPlayer& videoPlayer();
platform::VideoPlayer* installVideoPlayer(platform::VideoPlayer* player);

// Sends the sound of the films opened from now on to the sound device (none
// when there is no device) at the music's volume.
void setVideoSoundSystem();
// 0; -1 when the sound system was never set or a film is open; -2 when the
// film does not open.
int32_t openVideo(const std::string& path, int32_t width, int32_t height, bool doubled, int32_t unused);
// Shows the current frame at (x, y) of a frame buffer of `rows` rows,
// `pitchBytes` apart: kVideoNotOpen, kVideoPlaying, or kVideoFinished from
// the second-to-last frame on.
int32_t stepVideo(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y, bool rgb565);
int32_t videoFrameNumber();
void closeVideo();
bool isVideoOpen();

struct VideoFrameBuffer {
    uint16_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0; // pixels per row
    bool rgb565 = false;
};

class VideoPlayback;

// Makes the playback a new video window is to own.
using VideoPlaybackMaker = std::function<std::unique_ptr<VideoPlayback>()>;

// The window-system side of a playing film and the screen that follows it.
class VideoWindowServices {
public:
    virtual ~VideoWindowServices() = default;
    // Puts a film on the screen in a window of its own, which makes its
    // playback with `make` and owns it; the window closes itself once the
    // playback is over.
    virtual void showVideo(const VideoPlaybackMaker& make) = 0;
    // The window that owns `video`: its place in the window list and focus.
    virtual void linkAtTop(VideoPlayback& video) = 0;
    virtual void bringToFront(VideoPlayback& video) = 0;
    virtual bool hasKeyboardFocus(VideoPlayback& video) = 0;
    virtual void setKeyboardFocus(VideoPlayback& video) = 0;
    virtual void releaseKeyboardFocus() = 0;
    // The main menu, made when it does not exist yet.
    virtual void showMainMenu() = 0;
};

// No window list, no focus and no main menu: each call does nothing, and no
// film is shown.
class NoVideoWindowServices final : public VideoWindowServices {
public:
    void showVideo(const VideoPlaybackMaker&) override { }
    void linkAtTop(VideoPlayback&) override { }
    void bringToFront(VideoPlayback&) override { }
    bool hasKeyboardFocus(VideoPlayback&) override { return true; }
    void setKeyboardFocus(VideoPlayback&) override { }
    void releaseKeyboardFocus() override { }
    void showMainMenu() override { }
};

VideoWindowServices& videoWindowServices();
VideoWindowServices* installVideoWindowServices(VideoWindowServices* services);

class VideoPlayback {
public:
    // `name` is a film under "music\"; one whose name starts with "intro" is
    // opened, 320 x 160 doubled at row 54; any other closes on its first draw.
    VideoPlayback(const std::string& name, int32_t nextStep, bool skippable);
    // Restores music and runs the next step, unless the window system is
    // closing every window at once (`bulkClose`).
    virtual ~VideoPlayback();
    VideoPlayback(const VideoPlayback&) = delete;
    VideoPlayback& operator=(const VideoPlayback&) = delete;

    // One redraw; false when the playback is over and is to be destroyed.
    bool draw(const VideoFrameBuffer& frame);
    // A key or a button press: true (handled) when skippable, and the film ends.
    bool onInput();

    bool isPlaying() const { return m_playing; }
    bool isDone() const { return m_done; }
    void setBulkClose(bool bulkClose) { m_bulkClose = bulkClose; }

protected:
    virtual void drawOverlay(const VideoFrameBuffer&) { }

private:
    bool m_playing = false;
    bool m_done = false;
    bool m_savedMusicOn = false;
    bool m_skippable = false;
    bool m_bulkClose = false;
    int32_t m_nextStep = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_areaWidth = 0;
    int32_t m_areaHeight = 0;
    std::string m_name;
};

// The intro with its timed subtitles from the "intro" string file.
class IntroVideoPlayback final : public VideoPlayback {
public:
    IntroVideoPlayback(int32_t nextStep, bool skippable);

private:
    void drawOverlay(const VideoFrameBuffer& frame) override;
    StringFile* m_subtitles = nullptr;
};

// After the splash screen: the intro (next step the main menu, skippable) when
// "ShowIntroAnim" or "ClientFirstLaunch" is on, else the main menu; a first
// launch is then written down as over.
void startIntroAfterSplash();
// The main menu's intro command.
void replayIntroVideo();
