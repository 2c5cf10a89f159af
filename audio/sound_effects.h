#pragma once
// Sound effects: eight streaming channels, each a 64 KB mono ring at 22048 Hz
// that never stops playing. A sound is played by writing its samples into the
// ring ahead of the play position; a channel falls silent by being fed zeros
// and is freed once a whole ring of silence has gone out. On top: sounds by
// id with pan, volume and pitch jitter, sounds placed in the world, the
// ambient loop with its cross-fade, the per-pass refill and the player's
// switches. The audio device belongs to the caller and outlives the channels.
// Volumes are the system's own scale -2500 (quietest) .. 0, turned into the
// device's hundredths of a decibel by channelVolume. Main thread only, except
// the busy flag, which the pointer timer tests from its own thread.

#include "platform/audio_device.h"

#include <array>
#include <cstdint>
#include <memory>

inline constexpr uint32_t kSoundRate = 22048;
inline constexpr uint32_t kSoundChannelBytes = 65536;
inline constexpr int kSoundChannelCount = 8;
inline constexpr int32_t kSoundIdLimit = 1488; // ids 0..1487 play
inline constexpr uint32_t kSoundRecordHeaderBytes = 40;
inline constexpr int32_t kFreeSoundId = 0xFFFF;

// The device volume of a sound of volume v (-2500..0) under the master factor
// f (0..1), in single precision, truncated toward zero.
int32_t channelVolume(int32_t v, float f);

class SoundChannel {
public:
    explicit SoundChannel(std::unique_ptr<platform::SoundBuffer> buffer);

    // Binds sound `id` and writes its samples ahead of the play position.
    void play(int32_t id, int32_t pan, int32_t volume, bool loop, uint32_t frequency);
    // Replaces the bytes played since the previous refill.
    void refill();
    void fill(uint8_t* destination, uint32_t bytes);
    // The per-pass service: refill, and free the channel after a ring of silence.
    void update();
    void unbind();

    bool hasBuffer() const { return m_buffer != nullptr; }
    platform::SoundBuffer* buffer() { return m_buffer.get(); }
    const platform::SoundBuffer* buffer() const { return m_buffer.get(); }

    int32_t soundId = 0; // kFreeSoundId marks a free channel
    const uint8_t* data = nullptr;
    uint32_t readPos = 0;
    uint32_t dataLength = 0;
    uint32_t silenceBytes = 0;
    uint32_t writePos = 0;
    bool loop = false;
    float factor = 1.0f;

private:
    std::unique_ptr<platform::SoundBuffer> m_buffer;
};

// The current ambient loop and the one fading out; ids 0 and 0xFFFF mean none.
struct AmbientLoop {
    uint16_t id = 0;
    int32_t channel = -1;
    int32_t volume = 0;
};
struct AmbientLoopState {
    AmbientLoop current;
    AmbientLoop fading;
};

class SoundEffects {
public:
    SoundEffects() = default;
    ~SoundEffects();
    SoundEffects(const SoundEffects&) = delete;
    SoundEffects& operator=(const SoundEffects&) = delete;

    // Sound on and the master volume from the settings; no channels yet.
    void initSoundDefaults();
    // Creates the eight channels on `device` (which must outlive them); a
    // device that is not available leaves the part silent for the run.
    void initDirectSound(platform::AudioDevice* device);
    void shutdownSound();

    int32_t playSound(int32_t id, int32_t pan, int32_t volume, int32_t loop, int32_t jitterPercent,
        int32_t allowDuplicate);
    int32_t playSoundAt(int32_t id, int16_t x, int16_t y, float factor, int32_t loop, int32_t jitterPercent,
        int32_t allowDuplicate);
    void playSoundIfEnabled(int32_t id, int32_t pan, int32_t volume);
    void playAmbientLoop(uint16_t id);
    void updateSound();
    void toggleSound(bool on);
    void setSoundVolume(uint8_t volume);

    bool isSoundOn() const { return m_soundOn; }
    uint8_t masterVolume() const { return m_master; }
    bool hasPrimary() const { return m_device != nullptr; }
    platform::AudioDevice* device() { return m_device; }
    SoundChannel* channel(int index);
    const AmbientLoopState& ambient() const { return m_ambient; }

private:
    int32_t chooseChannel();

    platform::AudioDevice* m_device = nullptr;
    std::array<std::unique_ptr<SoundChannel>, kSoundChannelCount> m_channels;
    AmbientLoopState m_ambient;
    bool m_soundOn = true;
    uint8_t m_master = 255;
};

// The process-wide sound effects (the program's; tests make their own).
SoundEffects& soundEffects();

// The sound busy flag: the channel service and the music start hold it around
// their device work; the pointer timer skips a run while it is held.
void acquireSoundBusy();
void releaseSoundBusy();
// Sets the flag when it is clear; false when someone holds it.
bool tryAcquireSoundBusy();
