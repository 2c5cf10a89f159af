#include "windows/video_gump.h"

#include "gfx/back_buffer.h"
#include "gump/gump_canvas.h"
#include "gump/gump_manager.h"
#include "protocol/protocol_services.h"

#include <cstring>

namespace {

VideoGump*& speakingSlot()
{
    static VideoGump* gump = nullptr;
    return gump;
}

// Names the window whose playback is about to speak, for the life of the
// guard; guards nest (a playback's next step may show another film).
class SpeakingWindow {
public:
    explicit SpeakingWindow(VideoGump* gump)
        : m_previous(speakingSlot())
    {
        speakingSlot() = gump;
    }
    ~SpeakingWindow() { speakingSlot() = m_previous; }
    SpeakingWindow(const SpeakingWindow&) = delete;
    SpeakingWindow& operator=(const SpeakingWindow&) = delete;

private:
    VideoGump* m_previous;
};

// The window of `video`, or null for a playback that no window owns.
VideoGump* windowOf(const VideoPlayback& video)
{
    VideoGump* gump = VideoGump::speaking();
    // While the window makes its playback it does not hold it yet.
    if (gump && (gump->playback() == &video || !gump->playback()))
        return gump;
    return nullptr;
}

} // namespace

VideoGump::VideoGump(const VideoPlaybackMaker& make)
{
    coverScreen();
    SpeakingWindow speaking(this);
    if (make)
        m_playback = make();
    // Without a playback nothing linked the window; linked now, it closes on
    // its first draw instead of being lost.
    if (!m_playback)
        gumpLink(this, nullptr);
}

VideoGump::~VideoGump()
{
    if (m_playback && gumpManager().bulkClosing)
        m_playback->setBulkClose(true);
    m_playback.reset();
}

VideoGump* VideoGump::speaking() { return speakingSlot(); }

void VideoGump::coverScreen()
{
    const GumpScreen& screen = gumpScreen();
    setSize(screen.width, screen.height);
}

void VideoGump::draw(GumpCanvas& canvas)
{
    coverScreen();
    const int32_t width = canvas.screenWidth();
    const int32_t height = canvas.screenHeight();
    m_picture.resize(size_t(width) * size_t(height));
    const BackBuffer* buffer = gumpManager().backBuffer;
    const bool rgb565 = buffer && buffer->format() == BufferFormat::Rgb565;
    const VideoFrameBuffer frame { m_picture.data(), width, height, width, rgb565 };
    bool shown = false;
    {
        SpeakingWindow speaking(this);
        shown = m_playback && m_playback->draw(frame);
    }
    if (!shown) {
        closeGump(this);
        return;
    }
    // The canvas addresses screen pixels only inside its clip (the ring's
    // wrap point lies outside it), so the picture goes in row by row there.
    const ScreenRect area = canvas.clip().intersected({ 0, 0, width, height });
    if (area.isEmpty())
        return;
    const BlitTarget& target = canvas.target();
    const size_t rowBytes = size_t(area.width()) * sizeof(uint16_t);
    for (int32_t row = area.top; row < area.bottom; ++row)
        std::memcpy(target.at(area.left, row), m_picture.data() + size_t(row) * size_t(width) + size_t(area.left), rowBytes);
}

bool VideoGump::containsPoint(int32_t, int32_t) { return true; }

void VideoGump::onLeftDown(int32_t, int32_t)
{
    if (m_playback)
        m_playback->onInput();
}

void VideoGump::onRightDown(int32_t, int32_t)
{
    if (m_playback)
        m_playback->onInput();
}

void VideoGump::onKey(uint32_t)
{
    if (m_playback)
        m_playback->onInput();
}

void GumpVideoWindowServices::showVideo(const VideoPlaybackMaker& make)
{
    // The desktop owns the window from its linking on, and destroys it.
    new VideoGump(make);
}

void GumpVideoWindowServices::linkAtTop(VideoPlayback& video)
{
    if (VideoGump* gump = windowOf(video))
        gumpLink(gump, nullptr);
}

void GumpVideoWindowServices::bringToFront(VideoPlayback& video)
{
    if (VideoGump* gump = windowOf(video))
        gump->bringToFront(false);
}

bool GumpVideoWindowServices::hasKeyboardFocus(VideoPlayback& video)
{
    VideoGump* gump = windowOf(video);
    return gump && gumpFocus() == gump;
}

void GumpVideoWindowServices::setKeyboardFocus(VideoPlayback& video)
{
    if (VideoGump* gump = windowOf(video))
        gumpSetFocus(gump);
}

void GumpVideoWindowServices::releaseKeyboardFocus() { gumpReleaseFocus(); }

// The main menu is the front end's, which the program installs as the
// login road's screens.
void GumpVideoWindowServices::showMainMenu() { loginScreens().showMainMenu(); }

GumpVideoWindowServices& gumpVideoWindowServices()
{
    static GumpVideoWindowServices services;
    return services;
}
