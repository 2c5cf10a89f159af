#include "app/sound_startup.h"

#include "app/game_tick.h"
#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/startup_cleanups.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "audio/video_playback.h"
#include "gfx/back_buffer.h"
#include "platform/audio_device.h"
#include "platform/midi_player.h"
#include "platform/window.h"

#include <memory>
#include <vector>

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

} // namespace

void initSoundLayer()
{
    soundEffects().initSoundDefaults();
    // Registered in this order so that music stops before the channels and
    // the device it streams into go.
    registerCleanup("shutdownSound", [] {
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

bool drawVideoInto(BackBuffer& buffer)
{
    if (!activeVideo() || !buffer.exists())
        return false;
    // The film is drawn as a plain picture and laid into the ring row by row.
    static std::vector<uint16_t> picture;
    const int32_t width = buffer.width();
    const int32_t height = buffer.height();
    picture.assign(size_t(width) * height, 0);
    VideoFrameBuffer frame { picture.data(), width, height, width, buffer.format() == BufferFormat::Rgb565 };
    drawActiveVideo(frame);
    uint16_t* ring = buffer.pixels();
    const int64_t count = buffer.pixelCount();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int64_t index = buffer.ringIndex(x, y);
            if (index >= 0 && index < count)
                ring[index] = picture[size_t(y) * width + x];
        }
    }
    buffer.invalidateWholeScreen();
    return true;
}

void stopSoundAndVideoOutput(GameTick& tick)
{
    tick.setStep(TickStep::MusicStep, nullptr);
    tick.setStep(TickStep::UpdateSound, nullptr);
    tick.setStep(TickStep::VideoRedraw, nullptr);
    musicSystem().setNotifyPoster(nullptr);
    if (VideoPlayback* video = activeVideo())
        video->setBulkClose(true);
    destroyActiveVideo();
    closeVideo();
}
