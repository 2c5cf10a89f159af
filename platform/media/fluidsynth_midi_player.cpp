#include "platform/audio_device.h"
#include "platform/file_system.h"
#include "platform/midi_player.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace platform {

namespace {

// The synthesizer's own gain at full volume: General MIDI pieces with many
// voices stay clear of clipping in the mixer at this level.
constexpr double kFullGain = 0.4;

void quietLog(int, const char*, void*) { }

class FluidSynthMidiPlayer final : public MidiPlayer, private AudioSource {
public:
    FluidSynthMidiPlayer(AudioDevice& device, std::string soundFontPath)
        : m_device(device)
        , m_soundFontPath(std::move(soundFontPath))
    {
        m_available = m_device.isAvailable() && fileExists(m_soundFontPath);
    }

    ~FluidSynthMidiPlayer() override
    {
        close();
        if (m_attached)
            m_device.removeSource(*this);
        if (m_synth)
            delete_fluid_synth(m_synth);
        if (m_settings)
            delete_fluid_settings(m_settings);
    }

    bool isAvailable() const override { return m_available; }

    bool open(const std::string& realPath) override
    {
        close();
        if (!m_available || !startSynth())
            return false;
        if (!fluid_is_midifile(realPath.c_str()))
            return false;
        std::lock_guard<std::mutex> guard(m_lock);
        m_player = new_fluid_player(m_synth);
        if (!m_player)
            return false;
        if (fluid_player_add(m_player, realPath.c_str()) != FLUID_OK) {
            delete_fluid_player(m_player);
            m_player = nullptr;
            return false;
        }
        return true;
    }

    bool play(std::function<void()> onFinished) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_player || fluid_player_play(m_player) != FLUID_OK)
            return false;
        m_onFinished = std::move(onFinished);
        m_playing.store(true);
        return true;
    }

    bool isOpen() const override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_player != nullptr;
    }

    bool isPlaying() const override { return m_playing.load(); }

    void close() override
    {
        std::function<void()> report;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_player) {
                fluid_player_stop(m_player);
                delete_fluid_player(m_player);
                m_player = nullptr;
                fluid_synth_all_sounds_off(m_synth, -1);
            }
            if (m_playing.exchange(false))
                report = std::move(m_onFinished);
            m_onFinished = nullptr;
        }
        if (report)
            report();
    }

    bool supportsVolume() const override { return m_available; }
    uint32_t volume() const override { return m_volume.load(); }
    void setVolume(uint32_t word) override
    {
        m_volume.store(word);
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_synth)
            applyVolumeLocked();
    }

private:
    bool startSynth()
    {
        if (m_synth)
            return true;
        fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
        fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
        fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
        m_settings = new_fluid_settings();
        if (!m_settings)
            return false;
        fluid_settings_setnum(m_settings, "synth.sample-rate", double(m_device.outputRate()));
        fluid_settings_setint(m_settings, "synth.threadsafe-api", 1);
        // The player moves on by the samples rendered, not by a system timer,
        // so that it keeps time with the mixer (and with a test's manual clock).
        fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        m_synth = new_fluid_synth(m_settings);
        if (!m_synth || fluid_synth_sfload(m_synth, m_soundFontPath.c_str(), 1) == FLUID_FAILED) {
            m_available = false;
            return false;
        }
        {
            std::lock_guard<std::mutex> guard(m_lock);
            applyVolumeLocked();
        }
        m_attached = m_device.addSource(*this);
        if (!m_attached)
            m_available = false;
        return m_attached;
    }

    void applyVolumeLocked()
    {
        const uint32_t word = m_volume.load();
        const double level = ((word & 0xFFFF) + (word >> 16)) / (2.0 * 0xFFFF);
        fluid_synth_set_gain(m_synth, float(kFullGain * level));
    }

    // AudioSource, on the mixing thread.
    size_t readSamples(std::span<int16_t> destination) override
    {
        std::function<void()> report;
        {
            std::lock_guard<std::mutex> guard(m_lock);
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
        return destination.size() / 2 * 2;
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
    bool m_available = false;
    bool m_attached = false;
    mutable std::mutex m_lock;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_player_t* m_player = nullptr;
    std::function<void()> m_onFinished;
    std::atomic<bool> m_playing { false };
    std::atomic<uint32_t> m_volume { 0xFFFFFFFFu };
};

} // namespace

const char* defaultSoundFontPath() { return "/usr/share/sounds/sf2/FluidR3_GM.sf2"; }

std::unique_ptr<MidiPlayer> createMidiPlayer(AudioDevice& device, const std::string& soundFontPath)
{
    return std::make_unique<FluidSynthMidiPlayer>(device, soundFontPath);
}

} // namespace platform
