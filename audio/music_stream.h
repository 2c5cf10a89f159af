#pragma once
// One piece of digital music being played: a 128 KB stereo ring of its own, a
// PCM source decoding an MP3 file, and a volume envelope for fading in and
// out. The manager (audio/digital_music_manager.h) creates and opens a stream
// on the main thread, then refills it on its streaming thread under its lock;
// the update reports when the piece is over and the manager removes it.
// Volumes are hundredths of a decibel; times 32-bit tick counts.

#include "audio/mpeg_decoder.h"
#include "platform/audio_device.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class FileMapping;
}

inline constexpr uint32_t kMusicRingBytes = 131072;
inline constexpr uint32_t kFadeStartUnset = 0xFFFFFFFFu;

enum class MusicStreamState : int32_t { Steady = 0, FadingIn = 1, FadingOut = 2 };

class MusicSource {
public:
    virtual ~MusicSource() = default;
    virtual bool open(const std::string& path) = 0;
    // Bytes delivered: 0 at the end, negative on failure.
    virtual int32_t read(uint8_t* destination, int32_t bytes) = 0;
    virtual void rewind() = 0;
};

// An MP3 file mapped whole and decoded as it is read. A tag in front of the
// first frame is skipped, a damaged frame is passed over to the next sound
// one, and a single-channel file is delivered with each sample in both
// channels, so that the stereo ring plays it at its own speed.
class Mp3FileSource final : public MusicSource {
public:
    Mp3FileSource();
    ~Mp3FileSource() override;

    bool open(const std::string& path) override;
    int32_t read(uint8_t* destination, int32_t bytes) override;
    void rewind() override;
    // Option 0: repeat (value 1) or not.
    void setOption(int32_t option, int32_t value);

    int32_t sampleRate() const { return m_sampleRate; }
    bool repeats() const { return m_repeat; }
    uint32_t startOffset() const { return m_startOffset; }

private:
    int32_t readStereo(uint8_t* destination, int32_t bytes);

    int32_t m_sampleRate = -1;
    bool m_repeat = false;
    std::unique_ptr<platform::FileMapping> m_mapping;
    MpegAudioDecoder m_decoder;
    uint32_t m_remaining = 0;
    uint32_t m_startOffset = 0;
    // One frame of single-channel samples, widened into the caller's bytes.
    int16_t m_mono[MpegAudioDecoder::kMaxFrameSamples] = {};
};

class MusicStream {
public:
    // The ring is made on `device`; hasBuffer() is false when it could not be.
    explicit MusicStream(platform::AudioDevice& device);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    bool hasBuffer() const { return m_buffer != nullptr; }
    // Opens an alternative of the music list ("name", "name.mp3" or
    // "name,loop"): the file under the client directory's MUSIC\DIGITAL\.
    bool open(const std::string& alternative);
    // Refills the ring and applies the envelope; true when the piece is over
    // (its file ended without repeat, decoding failed, or its fade-out is
    // done) and the stream is to be removed.
    bool update();

    MusicStreamState state = MusicStreamState::Steady;
    uint32_t fadeStart = kFadeStartUnset;
    int32_t baseVolume = 0;

    int32_t fillPosition() const { return m_fillPosition; }
    platform::SoundBuffer* buffer() { return m_buffer.get(); }
    const Mp3FileSource* source() const { return m_source.get(); }

private:
    std::unique_ptr<platform::SoundBuffer> m_buffer;
    std::unique_ptr<Mp3FileSource> m_source;
    int32_t m_fillPosition = -1;
};
