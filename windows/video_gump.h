#pragma once
// The video window: a gump that owns one film playback and shows it over the
// whole desktop. Every click on the screen and every key while it holds the
// focus go to the film (a skippable film ends at the next draw); the window
// destroys itself on the first draw after the film is over, which runs the
// playback's next step. The gump manager owns the window like any top-level
// gump; the window owns its playback. Pixels are the back buffer's 16-bit
// format. Main thread only.

#include "audio/video_playback.h"
#include "gump/gump.h"

#include <cstdint>
#include <memory>
#include <vector>

class VideoGump final : public CGump {
public:
    // Makes the playback with `make`; the playback links the window at the
    // top of the desktop and gives it the keyboard focus as it starts.
    explicit VideoGump(const VideoPlaybackMaker& make);
    // A bulk close of the desktop (the shutdown) skips the playback's
    // follow-up: no music change, no next step.
    ~VideoGump() override;

    // Draws the film's current frame over the composed part of the screen,
    // or closes the window once the film is over.
    void draw(GumpCanvas& canvas) override;
    // Every point of the screen is the film's.
    bool containsPoint(int32_t x, int32_t y) override;
    void onLeftDown(int32_t x, int32_t y) override;
    void onRightDown(int32_t x, int32_t y) override;
    void onKey(uint32_t code) override;

    VideoPlayback* playback() const { return m_playback.get(); }

    // The window whose playback is speaking now: set while a window makes
    // its playback or draws it, the only times a playback asks for its
    // window. Null otherwise.
    static VideoGump* speaking();

private:
    // Follows the screen's size, so that the window covers it whole.
    void coverScreen();

    std::unique_ptr<VideoPlayback> m_playback;
    // The whole screen as the playback draws it; composition copies the
    // piece it composes from here. Kept between frames: no allocation per
    // frame while the screen keeps its size.
    std::vector<uint16_t> m_picture;
};

// The video windows on the gump desktop: films shown in a VideoGump, linked,
// raised and focused through the gump manager. The main menu that follows a
// film is the front end's, reached through the login road's screens.
class GumpVideoWindowServices final : public VideoWindowServices {
public:
    void showVideo(const VideoPlaybackMaker& make) override;
    void linkAtTop(VideoPlayback& video) override;
    void bringToFront(VideoPlayback& video) override;
    bool hasKeyboardFocus(VideoPlayback& video) override;
    void setKeyboardFocus(VideoPlayback& video) override;
    void releaseKeyboardFocus() override;
    void showMainMenu() override;
};

// The process-wide instance the program installs at start-up.
GumpVideoWindowServices& gumpVideoWindowServices();
