#pragma once
// The sound track of a film. It is read from a demuxer of its own, so that
// neither the picture nor the sound ever has to hold the other's packets back
// however the file interleaves them; decoded with FFmpeg on the main thread a
// little ahead of what is playing, resampled to the device's rate as 16-bit
// stereo, and pulled by the device's mixer as a source at a volume of its
// own. It sounds from the film's first shown frame on and moves one output
// frame per frame of time, so it keeps step with pictures paced by the
// clock: what was not decoded in time plays as silence, and the samples that
// silence stood for are dropped.

#include "platform/audio_device.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class FilmSound final : public AudioSource {
public:
    // Null when the film has no sound FFmpeg can decode or the device takes
    // no source. The sound is added to `device`, which must outlive it, and
    // stays silent until start(). `volume` in hundredths of a decibel.
    static std::unique_ptr<FilmSound> open(const std::string& realPath, AudioDevice& device, int32_t volume);
    // Takes the sound off the device first.
    ~FilmSound() override;
    FilmSound(const FilmSound&) = delete;
    FilmSound& operator=(const FilmSound&) = delete;

    // The first frame is shown: the sound plays from here on.
    void start();
    // Decodes until what is queued reaches the lead past the play position.
    void decodeAhead();
    void setVolume(int32_t volume);

    size_t readSamples(std::span<int16_t> destination) override;
    bool isStereo() const override { return true; }
    uint32_t rate() const override { return m_rate; }
    bool endOfStream() const override;

private:
    struct Decoder;
    FilmSound(AudioDevice& device, std::unique_ptr<Decoder> decoder, uint32_t rate);
    // Decodes one more piece into m_decoded; false at the end of the sound.
    bool decodeMore();

    AudioDevice& m_device;
    std::unique_ptr<Decoder> m_decoder;
    const uint32_t m_rate;
    bool m_added = false;
    // Main thread: one decoded piece on its way into the queue.
    std::vector<int16_t> m_decoded;

    mutable std::mutex m_lock;
    // Stereo frames not yet played; m_queue[2 * m_queueRead] is frame
    // m_queueFirst of the sound.
    std::vector<int16_t> m_queue;
    size_t m_queueRead = 0;
    uint64_t m_queueFirst = 0;
    // The frame of the sound the mixer plays next.
    uint64_t m_position = 0;
    int32_t m_gain = 32768;
    bool m_started = false;
    bool m_endOfInput = false;
};

} // namespace platform
