#include "platform/audio_device.h"
#include "platform/audio_mixer.h"

#include <SDL.h>

namespace platform {

namespace {

constexpr int kOutputRate = 44100;
constexpr uint16_t kPeriodFrames = 1024;

class SdlAudioDevice final : public AudioDevice {
public:
    SdlAudioDevice()
        : m_mixer(kOutputRate, kPeriodFrames)
    {
    }
    ~SdlAudioDevice() override
    {
        if (m_device) {
            // Closing waits for a running callback, so the mixer is idle afterwards.
            SDL_CloseAudioDevice(m_device);
        }
        if (m_initialised)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open()
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_initialised = true;
        SDL_AudioSpec wanted {};
        wanted.freq = kOutputRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = kPeriodFrames;
        wanted.callback = &SdlAudioDevice::callback;
        wanted.userdata = this;
        SDL_AudioSpec obtained {};
        // SDL converts whatever the hardware wants from this one format.
        m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (m_device == 0)
            return false;
        SDL_PauseAudioDevice(m_device, 0);
        return true;
    }

    bool isAvailable() const override { return true; }
    uint32_t outputRate() const override { return kOutputRate; }
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override
    {
        return m_mixer.createBuffer(format, bytes);
    }
    bool addSource(AudioSource& source) override { return m_mixer.addSource(source); }
    void removeSource(AudioSource& source) override { m_mixer.removeSource(source); }

private:
    static void callback(void* userdata, Uint8* stream, int length)
    {
        auto* device = static_cast<SdlAudioDevice*>(userdata);
        device->m_mixer.mix(std::span<int16_t>(reinterpret_cast<int16_t*>(stream), size_t(length) / 2));
    }

    AudioMixer m_mixer;
    SDL_AudioDeviceID m_device = 0;
    bool m_initialised = false;
};

} // namespace

std::unique_ptr<AudioDevice> createSdlAudioDevice()
{
    auto device = std::make_unique<SdlAudioDevice>();
    if (!device->open())
        return nullptr;
    return device;
}

} // namespace platform
