#pragma once
// The digital music manager plays music ids as streamed MP3 files: a text
// list maps each id to one or more files, one of which is picked at random
// and faded in over two seconds while the stream it replaces fades out. A
// streaming thread refills every stream every 15 ms. Ownership: the manager
// owns its streams; the audio device belongs to the caller and outlives the
// manager. Threads: play, fadeOutAll, isPlaying, setVolume, creation and
// shutdown run on the main thread; the refill runs on the streaming thread
// (or in a test, wherever updatePass is called); every walk or change of the
// stream set and of the current stream happens under the manager's
// re-entrant lock. Volumes are hundredths of a decibel.

#include "audio/music_stream.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using DigitalMusicMap = std::map<int32_t, std::vector<std::string>>;

// Reads the music list from its text: lines of at most 511 characters (a
// longer one goes on as the next line), trailing blanks, control bytes and
// bytes 0x80-0xFF cut, empty and '#' lines skipped, then an id and the names
// separated by blanks. An id without names adds nothing.
DigitalMusicMap parseDigitalMusicConfig(std::string_view text);

// The base volume of a stream under master volume 0..255.
int32_t musicBaseVolume(uint8_t master);

class DigitalMusicManager {
public:
    static constexpr uint32_t kRefillPeriodMs = 15;
    static constexpr uint32_t kShutdownWaitMs = 5000;

    // Reads "MUSIC\DIGITAL\CONFIG.TXT" under the client directory and, unless
    // told not to, starts the streaming thread.
    DigitalMusicManager(platform::AudioDevice& device, bool startThread);
    ~DigitalMusicManager();
    DigitalMusicManager(const DigitalMusicManager&) = delete;
    DigitalMusicManager& operator=(const DigitalMusicManager&) = delete;

    // Null when the id has no file, needs a feature the server did not grant,
    // or its file does not open; the caller then plays MIDI.
    MusicStream* play(int32_t id);
    MusicStream* startStream(const std::string& name, bool idIsZero);
    void fadeOutAll();
    bool isPlaying();
    void setVolume(uint8_t volume);
    // Stops the thread (waiting at most five seconds) and frees every stream.
    void shutdown();
    // One refill of every stream, removing those that are over.
    void updatePass();

    size_t streamCount();
    const DigitalMusicMap& idMap() const { return m_idMap; }
    void setIdMap(DigitalMusicMap map) { m_idMap = std::move(map); }

private:
    void loadConfig();
    void threadMain();

    platform::AudioDevice& m_device;
    std::recursive_mutex m_lock;
    std::vector<std::unique_ptr<MusicStream>> m_streams;
    MusicStream* m_current = nullptr;
    uint8_t m_master = 0;
    DigitalMusicMap m_idMap;
    std::thread m_thread;
    std::atomic<bool> m_run { true };
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_threadDone = false;
    // Set (under m_wakeLock) when a stream starts, for a thread asleep without one.
    bool m_streamStarted = false;
};

bool createDigitalMusicManager(platform::AudioDevice& device);
void destroyDigitalMusicManager();
// Null when absent.
DigitalMusicManager* getDigitalMusicManager();
