#pragma once
// Which piece of music plays, and playing it: a music id 0..66 is first asked
// of the digital music manager (streamed MP3) and otherwise played as MIDI.
// Requests are held on a small stack: the server's base and one-shot requests
// and the client's own combat music; when a MIDI piece ends, a rotation of ids
// goes on. Also the music switch and volume. Main thread only; the MIDI
// player's completion comes back through the poster the program installs
// (a window message), which must end in onMusicNotify on the main thread.
// The device and the MIDI player belong to the caller and outlive the music.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {
class AudioDevice;
class MidiPlayer;
}

inline constexpr uint16_t kNoMusic = 0xFFFF;
inline constexpr uint16_t kMusicIdLimit = 67;

// The MIDI file of a music id; null for ids without one (57 and up).
const char* midiFileName(uint16_t id);

enum class MusicRequestKind : int32_t { Base = 0, Combat = 1, OneShot = 2 };

struct MusicRequest {
    MusicRequestKind kind;
    uint16_t id;
};

class MusicSystem {
public:
    static constexpr uint32_t kGuardMs = 10000;
    static constexpr int32_t kMaintenanceEvery = 36;

    // Reads the settings, starts the digital music manager on `device` and
    // plays the first piece when music is on.
    void initMusic(platform::AudioDevice* device, platform::MidiPlayer* midi);
    void shutdownMusic();
    // Where the MIDI player's completion goes (from any thread); null for
    // nowhere. Cleared before what the poster reaches goes away.
    void setNotifyPoster(std::function<void()> poster);
    void postNotify();

    int32_t playMusic(uint16_t id, int32_t unused, int32_t force);
    void stopMusic();
    void toggleMusic(bool on);
    void setMusicVolume(uint8_t volume);
    void queueServerMusic(uint16_t id, uint16_t mode);
    void onMusicNotify();
    void updateMusic();
    void maintainMusicStack();
    void applyStack();
    bool isMusicSounding();

    bool isMusicOn() const { return m_musicOn; }
    uint8_t musicVolume() const { return m_volume; }
    uint16_t currentMusicId() const { return m_currentId; }
    uint16_t rotationId() const { return m_rotationId; }
    const std::vector<MusicRequest>& stack() const { return m_stack; }
    MusicRequestKind appliedKind() const { return m_appliedKind; }
    uint16_t appliedId() const { return m_appliedId; }
    void setRotationId(uint16_t id) { m_rotationId = id; }

private:
    int32_t openAndPlayMidi(const char* name);
    void applyVolume();
    void closeMidi();
    bool topIsOneShot() const { return !m_stack.empty() && m_stack.back().kind == MusicRequestKind::OneShot; }
    void removeFirst(MusicRequestKind kind);

    platform::MidiPlayer* m_midi = nullptr;
    std::mutex m_posterLock;
    std::function<void()> m_notifyPoster;
    bool m_musicOn = true;
    uint8_t m_volume = 255;
    uint16_t m_currentId = kNoMusic;
    uint32_t m_lastStart = 0;
    uint16_t m_rotationId = 0;
    int64_t m_savedMidiVolume = -1;
    bool m_firstStartDone = false;
    std::vector<MusicRequest> m_stack;
    MusicRequestKind m_appliedKind = MusicRequestKind::Base;
    uint16_t m_appliedId = kNoMusic;
    int32_t m_maintenanceCount = 0;
};

MusicSystem& musicSystem();

// Under the names the rest of the program calls.
int32_t playMusic(uint16_t id, int32_t unused, int32_t force);
void stopMusic();
void toggleMusic(bool on);
void setMusicVolume(uint8_t volume);
void queueServerMusic(uint16_t id, uint16_t mode);
void onMusicNotify();
void updateMusic();
