#include "audio/video_playback.h"

#include "audio/digital_music_manager.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "data/client_file_path.h"
#include "data/config_file.h"
#include "data/config_key_rules.h"
#include "data/settings_registry.h"
#include "platform/file_system.h"
#include "platform/video_player.h"
#include "text/localization.h"
#include "text/string_file.h"
#include "text/text_surface.h"
#include "text/unicode_font.h"

#include <algorithm>
#include <optional>

namespace {

struct VideoWrapper {
    bool soundSystemSet = false;
    bool open = false;
    bool framePending = false;
    bool finished = false;
    bool doubled = false;
};

VideoWrapper& wrapper()
{
    static VideoWrapper state;
    return state;
}

platform::VideoPlayer*& installedPlayer()
{
    static platform::VideoPlayer* player = nullptr;
    return player;
}

VideoWindowServices*& installedServices()
{
    static VideoWindowServices* services = nullptr;
    return services;
}

// Subtitles start 127 frames in; their time ranges count from 554 frames
// before the film's first frame.
constexpr int32_t kFirstSubtitleFrame = 127;
constexpr int32_t kSubtitleTimeOffset = 554;

} // namespace

platform::VideoPlayer& videoPlayer()
{
    if (installedPlayer())
        return *installedPlayer();
    static std::unique_ptr<platform::VideoPlayer> player = platform::createVideoPlayer();
    return *player;
}

platform::VideoPlayer* installVideoPlayer(platform::VideoPlayer* player)
{
    platform::VideoPlayer* previous = installedPlayer();
    installedPlayer() = player;
    return previous;
}

void setVideoSoundSystem()
{
    // The film's picture goes through the frame buffer; its sound, when it
    // has any, through the sound device's mixer at the music's volume (the
    // music itself is off while a film plays).
    platform::VideoPlayer& player = videoPlayer();
    player.setSoundOutput(soundEffects().device());
    player.setSoundVolume(musicBaseVolume(musicSystem().musicVolume()));
    wrapper().soundSystemSet = true;
}

int32_t openVideo(const std::string& path, int32_t, int32_t, bool doubled, int32_t)
{
    VideoWrapper& state = wrapper();
    if (!state.soundSystemSet || state.open)
        return -1;
    if (!videoPlayer().open(path))
        return -2;
    state.open = true;
    state.framePending = true;
    state.finished = false;
    state.doubled = doubled;
    return 0;
}

int32_t stepVideo(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y, bool rgb565)
{
    VideoWrapper& state = wrapper();
    if (!state.open)
        return kVideoNotOpen;
    if (state.finished)
        return kVideoFinished;
    platform::VideoPlayer& player = videoPlayer();
    if (!state.framePending)
        state.framePending = player.isFrameDue(player.currentFrame());
    if (state.framePending) {
        player.decodeFrame();
        // Redraws that come late drop the frames they missed, so that the film
        // keeps its own time whatever the redraw rate.
        while (player.currentFrame() + 1 < player.frameCount() - 1 && player.isFrameDue(player.currentFrame() + 1)) {
            player.nextFrame();
            player.decodeFrame();
        }
    }
    player.copyToBuffer(destination, pitchBytes, rows, x, y, platform::VideoCopy { state.doubled, rgb565 });
    if (state.framePending) {
        player.nextFrame();
        state.framePending = false;
    }
    // From the second-to-last frame on; a film of one frame ends after it.
    if (player.currentFrame() >= player.frameCount() - 1) {
        state.finished = true;
        return kVideoFinished;
    }
    return kVideoPlaying;
}

int32_t videoFrameNumber() { return wrapper().open ? videoPlayer().currentFrame() : 0; }

void closeVideo()
{
    VideoWrapper& state = wrapper();
    if (!state.open)
        return;
    videoPlayer().close();
    state.open = false;
}

bool isVideoOpen() { return wrapper().open; }

VideoWindowServices& videoWindowServices()
{
    static NoVideoWindowServices none;
    return installedServices() ? *installedServices() : none;
}

VideoWindowServices* installVideoWindowServices(VideoWindowServices* services)
{
    VideoWindowServices* previous = installedServices();
    installedServices() = services;
    return previous;
}

VideoPlayback::VideoPlayback(const std::string& name, int32_t nextStep, bool skippable)
    : m_savedMusicOn(musicSystem().isMusicOn())
    , m_skippable(skippable)
    , m_nextStep(nextStep)
    , m_name(name)
{
    VideoWindowServices& services = videoWindowServices();
    services.linkAtTop(*this);
    bool opened = false;
    if (name.rfind("intro", 0) == 0) {
        m_y = 54;
        m_areaWidth = 640;
        m_areaHeight = 320;
        setVideoSoundSystem();
        std::optional<std::string> real = platform::resolvePath(clientFilePath("music\\" + name));
        opened = real && openVideo(*real, 320, 160, true, 0) == 0;
    }
    services.releaseKeyboardFocus();
    services.setKeyboardFocus(*this);
    if (opened) {
        m_playing = true;
        m_done = false;
        musicSystem().toggleMusic(false);
    } else {
        m_playing = false;
        m_done = true;
    }
}

VideoPlayback::~VideoPlayback()
{
    if (m_bulkClose)
        return;
    if (m_playing)
        closeVideo();
    MusicSystem& music = musicSystem();
    music.toggleMusic(m_savedMusicOn);
    music.stopMusic();
    music.playMusic(1, 1, 0);
    VideoWindowServices& services = videoWindowServices();
    services.releaseKeyboardFocus();
    if (m_nextStep == kVideoNextMainMenu)
        services.showMainMenu();
}

bool VideoPlayback::draw(const VideoFrameBuffer& frame)
{
    VideoWindowServices& services = videoWindowServices();
    services.bringToFront(*this);
    if (!services.hasKeyboardFocus(*this))
        services.setKeyboardFocus(*this);
    if (m_areaWidth + m_x > frame.width || m_areaHeight + m_y > frame.height)
        m_done = true;
    if (!m_playing || m_done || !frame.pixels)
        return false;
    for (int32_t row = 0; row < frame.height; ++row)
        std::fill_n(frame.pixels + size_t(row) * frame.pitch, frame.width, uint16_t(0));
    const int32_t result = stepVideo(frame.pixels, frame.pitch * 2, frame.height, m_x, m_y, frame.rgb565);
    drawOverlay(frame);
    if (result == kVideoFinished)
        m_done = true;
    return true;
}

bool VideoPlayback::onInput()
{
    if (m_skippable)
        m_done = true;
    return m_skippable;
}

IntroVideoPlayback::IntroVideoPlayback(int32_t nextStep, bool skippable)
    : VideoPlayback("intro.bik", nextStep, skippable)
    , m_subtitles(findStringFile("intro", getLanguageCode(), "intro", false, false, false))
{
}

void IntroVideoPlayback::drawOverlay(const VideoFrameBuffer& frame)
{
    const int32_t frameNumber = videoFrameNumber();
    if (!m_subtitles || frameNumber < kFirstSubtitleFrame)
        return;
    int32_t index = -1;
    const WString* text = m_subtitles->findByTime(frameNumber + kSubtitleTimeOffset, index);
    if (!text)
        return;
    const int32_t savedFont = getUnicodeFont();
    selectUnicodeFont(0);
    const TextSurface surface { frame.pixels, frame.pitch, frame.width, frame.height };
    drawUnicodeTextWrapped(surface, frame.width - 80, text->c_str(), 40, 400, 0xFFFF, TextClip { 0, 0, 640, 480 }, true);
    selectUnicodeFont(savedFont);
}

void startIntroAfterSplash()
{
    const bool firstLaunch = configValues().clientFirstLaunch;
    if (settings().getBoolSetting(u"ShowIntroAnim") || firstLaunch)
        videoWindowServices().showVideo(
            [] { return std::make_unique<VideoPlayback>("intro.bik", kVideoNextMainMenu, true); });
    else
        videoWindowServices().showMainMenu();
    if (firstLaunch)
        setConfigValue(ConfigKeyKind::ClientFirstLaunch, "no");
}

void replayIntroVideo()
{
    videoWindowServices().showVideo([] { return std::make_unique<IntroVideoPlayback>(kVideoNextMainMenu, true); });
}
