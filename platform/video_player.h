#pragma once
// Film playback: one open film at a time, decoded in its own format, paced by
// the process clock at the film's frame rate, and copied as 16-bit pixels
// (5-5-5 or 5-6-5, optionally doubled in both directions) into a caller's
// frame buffer. A film's sound, when it has one and a sound output was given,
// plays through that device's mixer from the first decoded frame on, in step
// with the frames. Main thread only. Frame numbers count from 0: the current
// frame is the one the next decode shows.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class AudioDevice;

struct VideoCopy {
    bool doubled = false;
    bool rgb565 = false;
};

class VideoPlayer {
public:
    virtual ~VideoPlayer() = default;

    virtual bool isAvailable() const = 0;
    // Where the sound of the films opened from now on goes: `device` (which
    // must outlive the open film), or nowhere for null. A player that plays
    // no sound ignores it.
    virtual void setSoundOutput(AudioDevice*) { }
    // The sound's volume, in hundredths of a decibel (0 full, kSilentVolume
    // silent), for the open film and the next ones.
    virtual void setSoundVolume(int32_t) { }
    // False when the file does not open or holds no video it can decode.
    virtual bool open(const std::string& realPath) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int32_t frameCount() const = 0;
    virtual int32_t currentFrame() const = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    // True when frame `frame` is due by the clock: the first one at once, each
    // later one a frame time after the one before.
    virtual bool isFrameDue(int32_t frame) const = 0;
    // Decodes the current frame; false when it cannot be decoded (the last
    // good picture stays).
    virtual bool decodeFrame() = 0;
    // Writes the last decoded picture at (x, y) of a buffer of `rows` rows,
    // `pitchBytes` apart; whatever would fall outside is cut.
    virtual void copyToBuffer(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y,
        const VideoCopy& copy)
        = 0;
    // Moves on to the next frame; it falls due one frame time after this one.
    virtual void nextFrame() = 0;
};

// FFmpeg's decoders. In the program, a player that loads them (from a module
// of their own, with FFmpeg's libraries) the first time a film that exists is
// opened, and hands everything on to them; in that module, their own player.
std::unique_ptr<VideoPlayer> createVideoPlayer();

} // namespace platform
