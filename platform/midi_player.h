#pragma once
// MIDI music: one standard MIDI file at a time, rendered by a software
// synthesizer with a General MIDI soundfont into the audio device's mixer.
// Called from the main thread; the completion callback comes once per piece
// that finished or was closed while playing, on whichever thread noticed it
// (the mixing thread, or the caller of close). Volume is a word with the left
// level in the low half and the right level in the high half, 0..0xFFFF each.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class AudioDevice;

class MidiPlayer {
public:
    virtual ~MidiPlayer() = default;

    // False when there is no synthesizer or soundfont ("not available").
    virtual bool isAvailable() const = 0;
    // Loads a piece, closing the open one first; false when the file is not a
    // MIDI file or nothing can play it.
    virtual bool open(const std::string& realPath) = 0;
    // Starts the open piece from its beginning.
    virtual bool play(std::function<void()> onFinished) = 0;
    virtual bool isOpen() const = 0;
    virtual bool isPlaying() const = 0;
    // Stops and forgets the piece; a piece still playing reports its end.
    virtual void close() = 0;
    virtual bool supportsVolume() const = 0;
    virtual uint32_t volume() const = 0;
    virtual void setVolume(uint32_t word) = 0;
};

// Where the General MIDI soundfont of the system's package lives.
const char* defaultSoundFontPath();
// The synthesizer on `device`, loading `soundFontPath` on the first open. It
// answers "not available" when the device is, or when the soundfont is missing.
std::unique_ptr<MidiPlayer> createMidiPlayer(AudioDevice& device, const std::string& soundFontPath);

} // namespace platform
