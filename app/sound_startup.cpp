#include "app/sound_startup.h"

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup_cleanups.h"
#include "app/world_audio.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "audio/video_playback.h"
#include "data/settings_services.h"
#include "platform/audio_device.h"
#include "platform/midi_player.h"
#include "platform/window.h"
#include "windows/video_gump.h"

#include <memory>
#include <utility>

namespace {

struct SoundRuntime {
    std::unique_ptr<platform::AudioDevice> device;
    std::unique_ptr<platform::MidiPlayer> midi;
};

SoundRuntime& runtime()
{
    static SoundRuntime state;
    return state;
}

// The Sound, Music, SoundVol and MusicVol settings as the options, the world
// entry and the desktop file apply them: on the eight channels and the music.
class ChannelSoundSettings final : public SoundSettingsService {
public:
    void toggleSound(bool on) override { soundEffects().toggleSound(on); }
    void toggleMusic(bool on) override { musicSystem().toggleMusic(on); }
    void setSoundVolume(uint8_t volume) override { soundEffects().setSoundVolume(volume); }
    void setMusicVolume(uint8_t volume) override { musicSystem().setMusicVolume(volume); }
};

} // namespace

void initSoundLayer()
{
    installWorldAudio();
    static ChannelSoundSettings soundSettingsService;
    installSoundSettings(&soundSettingsService);
    soundEffects().initSoundDefaults();
    // Registered in this order so that music stops before the channels and
    // the device it streams into go.
    registerCleanup("shutdownSound", [] {
        // A film still open plays its sound on the device.
        closeVideo();
        soundEffects().shutdownSound();
        runtime().device.reset();
    });
    registerCleanup("shutdownMusic", [] {
        musicSystem().shutdownMusic();
        runtime().midi.reset();
    });
}

void startSoundAndMusic(platform::Window& window)
{
    SoundRuntime& state = runtime();
    state.device = platform::createAudioDevice();
    soundEffects().initDirectSound(state.device.get());
    state.midi = platform::createMidiPlayer(*state.device, platform::defaultSoundFontPath());
    musicSystem().setNotifyPoster(
        [&window] { window.postMessage({ platform::MessageKind::MusicNotify, 0, 0, 0, 0 }); });
    musicSystem().initMusic(state.device.get(), state.midi.get());
}

void wireSoundSteps(MainLoop& loop, GameTick& tick)
{
    loop.setStep(LoopStep::UpdateSound, [] { soundEffects().updateSound(); });
    tick.setStep(TickStep::MusicStep, [] { updateMusic(); });
    tick.setStep(TickStep::UpdateSound, [] { soundEffects().updateSound(); });
}

bool runSoundCommand(uint16_t id)
{
    if (id == command::kToggleMusic) {
        toggleMusic(!musicSystem().isMusicOn());
        return true;
    }
    if (id == command::kToggleSound) {
        soundEffects().toggleSound(!soundEffects().isSoundOn());
        return true;
    }
    return false;
}

void wireVideoWindow(GameTick& tick, std::function<void()> redrawScreen)
{
    installVideoWindowServices(&gumpVideoWindowServices());
    // A film keeps its own pace between game frames: while one is open every
    // pass whose frame gate stayed shut redraws the whole screen, which runs
    // the video window's draw.
    tick.setStep(TickStep::VideoRedraw, [redraw = std::move(redrawScreen)] {
        if (isVideoOpen() && redraw)
            redraw();
    });
}

void stopSoundAndVideoOutput(GameTick& tick)
{
    tick.setStep(TickStep::MusicStep, nullptr);
    tick.setStep(TickStep::UpdateSound, nullptr);
    tick.setStep(TickStep::VideoRedraw, nullptr);
    musicSystem().setNotifyPoster(nullptr);
    // A video window still open is destroyed with the desktop, in bulk: it
    // neither restarts music nor moves on to its next step.
    closeVideo();
}
