#include "platform/audio_device.h"
#include "platform/file_system.h"
#include "platform/media/midi_programs.h"
#include "platform/midi_player.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

// The synthesizer's own gain at full volume: General MIDI pieces with many
// voices stay clear of clipping in the mixer at this level.
constexpr double kFullGain = 0.4;
constexpr int kChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;
// A MIDI file longer than this is not read for its programs (real pieces are
// a few kilobytes); the player still plays it.
constexpr long kMaxScannedFileBytes = 4 << 20;

void quietLog(int, const char*, void*) { }

std::vector<uint8_t> readSmallFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = openRegularFile(path, "rb");
    if (!file)
        return bytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= kMaxScannedFileBytes && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(size_t(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
                bytes.clear();
        }
    }
    std::fclose(file);
    return bytes;
}

struct PresetKey {
    int bank = 0;
    int program = 0;
    bool operator==(const PresetKey&) const = default;
};

// The synthesizer and the General MIDI soundfont, with only the instruments a
// piece uses in memory. Loading the soundfont and the instruments of a piece
// takes long (a drum kit alone is ten megabytes to read), so a worker thread
// does both when a piece is opened, the soundfont the first time. While the
// worker touches the synthesizer the mixing thread plays silence, and a
// piece starts once its instruments are in.
class FluidSynthMidiPlayer final : public MidiPlayer, private AudioSource {
public:
    FluidSynthMidiPlayer(AudioDevice& device, std::string soundFontPath)
        : m_device(device)
        , m_soundFontPath(std::move(soundFontPath))
    {
        m_available = m_device.isAvailable() && fileExists(m_soundFontPath);
        if (m_available)
            m_worker = std::thread([this] { runWorker(); });
    }

    ~FluidSynthMidiPlayer() override
    {
        close();
        {
            std::lock_guard<std::mutex> guard(m_jobLock);
            m_stopping = true;
        }
        m_jobSignal.notify_all();
        if (m_worker.joinable())
            m_worker.join();
        if (m_attached)
            m_device.removeSource(*this);
        if (m_synth)
            delete_fluid_synth(m_synth);
        if (m_settings)
            delete_fluid_settings(m_settings);
    }

    bool isAvailable() const override { return m_available.load(); }

    bool open(const std::string& realPath) override
    {
        close();
        if (!m_available.load() || !fluid_is_midifile(realPath.c_str()))
            return false;
        uint64_t generation = 0;
        {
            std::lock_guard<std::mutex> guard(m_jobLock);
            m_requestPath = realPath;
            generation = ++m_requestGeneration;
        }
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_openGeneration = generation;
        }
        m_jobSignal.notify_all();
        return true;
    }

    bool play(std::function<void()> onFinished) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_openGeneration == 0)
            return false;
        if (m_player && fluid_player_play(m_player) != FLUID_OK)
            return false;
        m_startWanted = true;
        m_onFinished = std::move(onFinished);
        m_playing.store(true);
        return true;
    }

    bool isOpen() const override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_openGeneration != 0;
    }

    bool isPlaying() const override { return m_playing.load(); }

    void close() override
    {
        std::function<void()> report;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            // A piece still being prepared has no player yet, and the worker
            // throws its player away once it sees the piece was closed; only a
            // prepared piece (the worker is idle then) touches the synthesizer.
            if (m_player) {
                fluid_player_stop(m_player);
                delete_fluid_player(m_player);
                m_player = nullptr;
                fluid_synth_all_sounds_off(m_synth, -1);
            }
            m_openGeneration = 0;
            m_startWanted = false;
            if (m_playing.exchange(false))
                report = std::move(m_onFinished);
            m_onFinished = nullptr;
        }
        if (report)
            report();
    }

    bool supportsVolume() const override { return m_available.load(); }
    uint32_t volume() const override { return m_volume.load(); }
    void setVolume(uint32_t word) override
    {
        // Applied by the mixing thread: the synthesizer may be busy loading.
        m_volume.store(word);
        m_volumeChanged.store(true);
    }

private:
    void runWorker()
    {
        uint64_t handled = 0;
        for (;;) {
            std::string path;
            uint64_t generation = 0;
            {
                std::unique_lock<std::mutex> lock(m_jobLock);
                m_jobSignal.wait(lock, [&] { return m_stopping || m_requestGeneration != handled; });
                if (m_stopping)
                    return;
                path = m_requestPath;
                generation = handled = m_requestGeneration;
            }
            // The soundfont's instrument tables take some 15 MB once read:
            // they are read when the first piece is opened, not before.
            if (!m_settings && !loadSoundFont()) {
                giveUp();
                return;
            }
            prepare(path, generation);
        }
    }

    // The soundfont cannot be read: nothing will play, and a piece opened
    // meanwhile is over.
    void giveUp()
    {
        m_available.store(false);
        std::function<void()> report;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_openGeneration = 0;
            if (m_playing.exchange(false))
                report = std::move(m_onFinished);
        }
        if (report)
            report();
    }

    bool loadSoundFont()
    {
        fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
        fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
        fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
        m_settings = new_fluid_settings();
        if (!m_settings)
            return false;
        fluid_settings_setnum(m_settings, "synth.sample-rate", double(m_device.outputRate()));
        fluid_settings_setint(m_settings, "synth.threadsafe-api", 1);
        // Only the instruments a piece uses are read from the soundfont (and
        // kept while pinned), not all 148 MB of it.
        fluid_settings_setint(m_settings, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(m_settings, "synth.lock-memory", 0);
        // The player moves on by the samples rendered, not by a system timer,
        // so that it keeps time with the mixer (and with a test's manual clock).
        fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        // A reset at the start of a piece would give every channel its default
        // instrument and load them all on the mixing thread; the worker sets
        // the channels up instead.
        fluid_settings_setint(m_settings, "player.reset-synth", 0);
        fluid_synth_t* synth = new_fluid_synth(m_settings);
        if (!synth)
            return false;
        // No channel gets an instrument yet: nothing is loaded until a piece
        // asks for it.
        m_fontId = fluid_synth_sfload(synth, m_soundFontPath.c_str(), 0);
        if (m_fontId == FLUID_FAILED) {
            delete_fluid_synth(synth);
            return false;
        }
        applyVolume(synth);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_synth = synth;
        }
        m_attached = m_device.addSource(*this);
        return m_attached;
    }

    // The preset the synthesizer picks for a program change, with its own
    // fallbacks for a preset the soundfont lacks.
    std::vector<PresetKey> presetCandidates(int channel, int bank, int program) const
    {
        if (channel == kDrumChannel)
            return { { kDrumBank, program }, { kDrumBank, 0 } };
        return { { bank, program }, { 0, program }, { 0, 0 } };
    }

    bool hasPreset(const PresetKey& key) const
    {
        fluid_sfont_t* font = fluid_synth_get_sfont_by_id(m_synth, m_fontId);
        return font && fluid_sfont_get_preset(font, key.bank, key.program);
    }

    void addPreset(std::vector<PresetKey>& presets, int channel, int bank, int program) const
    {
        for (const PresetKey& key : presetCandidates(channel, bank, program)) {
            if (!hasPreset(key))
                continue;
            if (std::find(presets.begin(), presets.end(), key) == presets.end())
                presets.push_back(key);
            return;
        }
    }

    // The piece's instruments into memory and the channels set up for it,
    // while the mixing thread plays silence; then the piece's player.
    void prepare(const std::string& path, uint64_t generation)
    {
        const MidiProgramUse use = scanMidiPrograms(readSmallFile(path));
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (generation != m_openGeneration)
                return;
            m_preparing = true;
        }
        std::vector<PresetKey> presets;
        for (const MidiProgramChange& change : use.changes)
            addPreset(presets, change.channel, change.bank, change.program);
        for (int channel = 0; channel < kChannels; ++channel) {
            if (use.soundsBeforeProgramChange[size_t(channel)])
                addPreset(presets, channel, 0, 0);
        }
        for (const PresetKey& key : presets) {
            if (std::find(m_pinned.begin(), m_pinned.end(), key) == m_pinned.end())
                fluid_synth_pin_preset(m_synth, m_fontId, key.bank, key.program);
        }
        setUpChannels(use);
        for (const PresetKey& key : m_pinned) {
            if (std::find(presets.begin(), presets.end(), key) == presets.end())
                fluid_synth_unpin_preset(m_synth, m_fontId, key.bank, key.program);
        }
        m_pinned = presets;

        fluid_player_t* player = new_fluid_player(m_synth);
        if (player && fluid_player_add(player, path.c_str()) != FLUID_OK) {
            delete_fluid_player(player);
            player = nullptr;
        }
        std::function<void()> report;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_preparing = false;
            if (generation == m_openGeneration && player) {
                m_player = player;
                player = nullptr;
                if (m_startWanted && fluid_player_play(m_player) != FLUID_OK && m_playing.exchange(false))
                    report = std::move(m_onFinished);
            } else if (generation == m_openGeneration && m_playing.exchange(false)) {
                // The file could not be read after all: the piece is over.
                report = std::move(m_onFinished);
            }
            // A piece closed meanwhile: its player goes while the mixing
            // thread, which runs the players, waits for the lock.
            if (player)
                delete_fluid_player(player);
        }
        if (report)
            report();
    }

    // What a reset before a piece would do, without giving a channel an
    // instrument the piece does not use: controllers back to their
    // defaults, and the default instrument only on a channel that plays
    // before choosing one (the others have none until their program change).
    void setUpChannels(const MidiProgramUse& use)
    {
        for (int channel = 0; channel < kChannels; ++channel) {
            fluid_synth_cc(m_synth, channel, 121, 0);
            fluid_synth_cc(m_synth, channel, 0, 0);
            fluid_synth_cc(m_synth, channel, 7, 100);
            fluid_synth_cc(m_synth, channel, 10, 64);
            fluid_synth_cc(m_synth, channel, 91, 0);
            fluid_synth_cc(m_synth, channel, 93, 0);
            fluid_synth_pitch_wheel_sens(m_synth, channel, 2);
            if (use.soundsBeforeProgramChange[size_t(channel)])
                fluid_synth_program_change(m_synth, channel, 0);
            else
                fluid_synth_unset_program(m_synth, channel);
        }
    }

    void applyVolume(fluid_synth_t* synth)
    {
        const uint32_t word = m_volume.load();
        const double level = ((word & 0xFFFF) + (word >> 16)) / (2.0 * 0xFFFF);
        fluid_synth_set_gain(synth, float(kFullGain * level));
    }

    // AudioSource, on the mixing thread.
    size_t readSamples(std::span<int16_t> destination) override
    {
        std::function<void()> report;
        const size_t count = destination.size() / 2 * 2;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_synth || m_preparing) {
                std::fill(destination.begin(), destination.begin() + ptrdiff_t(count), int16_t(0));
                return count;
            }
            if (m_volumeChanged.exchange(false))
                applyVolume(m_synth);
            const int frames = int(destination.size() / 2);
            if (fluid_synth_write_s16(m_synth, frames, destination.data(), 0, 2, destination.data(), 1, 2)
                != FLUID_OK)
                return 0;
            if (m_player && m_playing.load() && pieceEnded()) {
                m_playing.store(false);
                report = std::move(m_onFinished);
                m_onFinished = nullptr;
            }
        }
        if (report)
            report();
        return count;
    }
    // The player keeps counting ticks after the last event instead of saying
    // it is done, so the end is where the piece's own length runs out.
    bool pieceEnded() const
    {
        if (fluid_player_get_status(m_player) == FLUID_PLAYER_DONE)
            return true;
        const int total = fluid_player_get_total_ticks(m_player);
        return total > 0 && fluid_player_get_current_tick(m_player) >= total;
    }
    bool isStereo() const override { return true; }
    uint32_t rate() const override { return m_device.outputRate(); }
    bool endOfStream() const override { return false; }

    AudioDevice& m_device;
    const std::string m_soundFontPath;
    std::atomic<bool> m_available { false };
    bool m_attached = false;

    // Held by the mixing thread while it renders: the synthesizer once
    // loaded, the piece's player and the piece's state.
    mutable std::mutex m_lock;
    fluid_synth_t* m_synth = nullptr;
    fluid_player_t* m_player = nullptr;
    // The open piece (0: none); the worker prepares only the newest.
    uint64_t m_openGeneration = 0;
    bool m_preparing = false;
    bool m_startWanted = false;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_playing { false };
    std::atomic<uint32_t> m_volume { 0xFFFFFFFFu };
    std::atomic<bool> m_volumeChanged { false };

    // The worker's own: the settings, the soundfont and what is pinned.
    fluid_settings_t* m_settings = nullptr;
    int m_fontId = FLUID_FAILED;
    std::vector<PresetKey> m_pinned;

    // The newest piece to prepare.
    std::mutex m_jobLock;
    std::condition_variable m_jobSignal;
    std::string m_requestPath;
    uint64_t m_requestGeneration = 0;
    bool m_stopping = false;
    std::thread m_worker;
};

} // namespace

const char* defaultSoundFontPath() { return "/usr/share/sounds/sf2/FluidR3_GM.sf2"; }

std::unique_ptr<MidiPlayer> createMidiPlayer(AudioDevice& device, const std::string& soundFontPath)
{
    return std::make_unique<FluidSynthMidiPlayer>(device, soundFontPath);
}

} // namespace platform
