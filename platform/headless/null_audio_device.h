#pragma once
// An audio device without speakers: the mixer runs as on a real device, but
// only when told to. Tests call mixFrames and read back what was mixed; the
// headless program lets it follow the process clock instead, so that buffers
// play out in real time. Thread-safe like every device.

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"

#include <mutex>
#include <vector>

namespace platform {

class NullAudioDevice final : public AudioDevice {
public:
    static constexpr uint32_t kPeriodFrames = 512;

    NullAudioDevice(uint32_t outputRate, bool followClock);

    bool isAvailable() const override { return true; }
    uint32_t outputRate() const override { return m_mixer.outputRate(); }
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) override;
    bool addSource(AudioSource& source) override;
    void removeSource(AudioSource& source) override;

    // Mixes `frames` stereo frames, as the device thread of a real device would.
    void mixFrames(uint32_t frames);
    // With capture on, mixed frames are appended to captured() (interleaved).
    void setCapture(bool on);
    std::vector<int16_t> takeCaptured();
    // Mixes up to the process clock's tick count (following devices only).
    void catchUp();

private:
    AudioMixer m_mixer;
    const bool m_followClock;
    std::mutex m_lock;
    std::vector<int16_t> m_period;
    std::vector<int16_t> m_captured;
    bool m_capture = false;
    bool m_clockStarted = false;
    uint32_t m_lastTick = 0;
    uint64_t m_fractionalFrames = 0; // frames x 1000 not yet mixed
};

} // namespace platform
