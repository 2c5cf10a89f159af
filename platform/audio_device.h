#pragma once
// Sound output. A device owns our own mixer, which sums looping ring buffers
// of 16-bit PCM (each with its volume, pan and playback frequency) and pull
// sources (a synthesizer) into one 16-bit stereo stream. The SDL device pulls
// that stream on SDL's audio thread; the null device mixes only when its
// clock moves (the process clock, or a test's manual steps). Buffers and
// sources may be driven from any thread; every call is safe against the
// mixing thread. A buffer must be released before its device.
// Units: volume in hundredths of a decibel (0 full, -10000 silent), pan from
// -10000 (left only) to 10000 (right only), positions in bytes of the ring.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// 16-bit PCM; frames of `channels` samples.
struct SoundFormat {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint32_t blockAlign() const { return 2u * channels; }
};

// A byte range of a ring handed out for writing: at most two pieces when the
// range runs past the end of the ring. A piece without bytes has no pointer.
struct LockedRegions {
    uint8_t* first = nullptr;
    uint32_t firstBytes = 0;
    uint8_t* second = nullptr;
    uint32_t secondBytes = 0;
};

inline constexpr int32_t kSilentVolume = -10000;
inline constexpr int32_t kMaxPan = 10000;

// One looping ring buffer. A new buffer is silent (all zeros) and stopped.
class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;

    virtual uint32_t size() const = 0;
    virtual SoundFormat format() const = 0;
    // Plays from the play position, wrapping at the end.
    virtual bool play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // The byte the mixer reads next, and the first byte that is safe to write:
    // the write position stays at least one mixing period ahead of play.
    virtual void positions(uint32_t& play, uint32_t& write) const = 0;
    // Hands out `bytes` from `offset` (both taken modulo the size) for
    // writing; false when bytes is 0 or more than the ring holds. Until
    // unlock the mixer does not read them: a play position that runs into
    // them (the writer fell behind) plays silence there.
    virtual bool lock(uint32_t offset, uint32_t bytes, LockedRegions& regions) = 0;
    // Makes the written bytes visible to the mixing thread.
    virtual void unlock(const LockedRegions& regions) = 0;
    virtual int32_t volume() const = 0;
    virtual bool setVolume(int32_t volume) = 0;
    virtual int32_t pan() const = 0;
    virtual bool setPan(int32_t pan) = 0;
    // Frames per second to play at; 0 means the rate the buffer was made with.
    virtual bool setFrequency(uint32_t hertz) = 0;
};

// A stream the mixer pulls on its own thread. Samples come at the device's
// output rate, interleaved left first when stereo.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Fills up to destination.size() samples; returns how many it wrote.
    virtual size_t readSamples(std::span<int16_t> destination) = 0;
    virtual bool isStereo() const = 0;
    virtual uint32_t rate() const = 0;
    virtual bool endOfStream() const = 0;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // False for a device that gives no sound at all ("not available").
    virtual bool isAvailable() const = 0;
    virtual uint32_t outputRate() const = 0;
    // Null when the device is not available or the size is 0 or odd to the format.
    virtual std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat& format, uint32_t bytes) = 0;
    // A source is pulled from the next mixing period on until it is removed;
    // removeSource returns once the mixer no longer touches it.
    virtual bool addSource(AudioSource& source) = 0;
    virtual void removeSource(AudioSource& source) = 0;
};

// The SDL device at 44100 Hz; null when SDL cannot open an audio device.
std::unique_ptr<AudioDevice> createSdlAudioDevice();
// A device that mixes without speakers. With `followClock` it mixes up to the
// process clock's tick count whenever it is used (at most one second at a
// time); otherwise only mixFrames (platform/headless/null_audio_device.h)
// moves it.
std::unique_ptr<AudioDevice> createNullAudioDevice(uint32_t outputRate, bool followClock);
// A device that is not available: every buffer creation fails.
std::unique_ptr<AudioDevice> createUnavailableAudioDevice();
// SDL unless headless mode is asked for or SDL has no audio device; then the
// null device following the process clock.
std::unique_ptr<AudioDevice> createAudioDevice();

} // namespace platform
