#pragma once
// The mixer behind every audio device: ring buffers played at their own
// frequency (linear interpolation), scaled by volume and pan, and pull
// sources, summed into 16-bit stereo at the output rate with clipping. The
// mixer's lock guards the buffer list, positions and controls; mix() runs
// under it on the device's thread, everything else on any thread. Gains are
// kept as 1.15 fixed point, so a sample s under gain g gives (s * g) >> 15.

#include "platform/audio_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace platform {

// The 1.15 gain of a volume (hundredths of a decibel) and pan, for the left
// and right output: gain 10^(volume / 2000), and the far side of a pan
// attenuated by 10^(-|pan| / 2000). Rounded to nearest; 32768 is unity.
void mixerGains(int32_t volume, int32_t pan, int32_t& left, int32_t& right);

class MixerBuffer;

class AudioMixer {
public:
    // `periodFrames` is the most the device mixes in one call; the write
    // position of every buffer is kept that far ahead of its play position.
    AudioMixer(uint32_t outputRate, uint32_t periodFrames);
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    uint32_t outputRate() const { return m_outputRate; }
    uint32_t periodFrames() const { return m_periodFrames; }

    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes);
    bool addSource(AudioSource& source);
    void removeSource(AudioSource& source);

    // Mixes output.size() / 2 stereo frames into `output` and moves every
    // playing buffer on by what it played.
    void mix(std::span<int16_t> output);

    // Run before a buffer's positions are read, outside the lock: a device
    // that mixes on demand catches up there. Set before any buffer exists.
    void setBeforePositionRead(std::function<void()> hook) { m_beforePositionRead = std::move(hook); }

private:
    friend class MixerBuffer;
    void detach(MixerBuffer* buffer);

    const uint32_t m_outputRate;
    const uint32_t m_periodFrames;
    std::mutex m_lock;
    std::vector<MixerBuffer*> m_buffers;
    std::vector<AudioSource*> m_sources;
    std::vector<int32_t> m_sum;
    std::vector<int16_t> m_sourceScratch;
    std::function<void()> m_beforePositionRead;
};

} // namespace platform
