#include "platform/headless/null_audio_device.h"

#include "platform/clock.h"

#include <algorithm>

namespace platform {

namespace {

// A stall longer than this is not caught up: what the speakers would have
// played in it is skipped, as a real device skips it when the mixer is late.
constexpr uint32_t kMaxCatchUpMs = 1000;

class UnavailableAudioDevice final : public AudioDevice {
public:
    bool isAvailable() const override { return false; }
    uint32_t outputRate() const override { return 44100; }
    std::unique_ptr<SoundBuffer> createBuffer(const SoundFormat&, uint32_t) override { return nullptr; }
    bool addSource(AudioSource&) override { return false; }
    void removeSource(AudioSource&) override { }
};

} // namespace

NullAudioDevice::NullAudioDevice(uint32_t outputRate, bool followClock)
    : m_mixer(outputRate, kPeriodFrames)
    , m_followClock(followClock)
    , m_period(2 * kPeriodFrames)
{
    if (m_followClock)
        m_mixer.setBeforePositionRead([this] { catchUp(); });
}

std::unique_ptr<SoundBuffer> NullAudioDevice::createBuffer(const SoundFormat& format, uint32_t bytes)
{
    catchUp();
    return m_mixer.createBuffer(format, bytes);
}

bool NullAudioDevice::addSource(AudioSource& source)
{
    catchUp();
    return m_mixer.addSource(source);
}

void NullAudioDevice::removeSource(AudioSource& source) { m_mixer.removeSource(source); }

void NullAudioDevice::mixFrames(uint32_t frames)
{
    std::lock_guard<std::mutex> guard(m_lock);
    while (frames > 0) {
        const uint32_t now = std::min(frames, kPeriodFrames);
        std::span<int16_t> period(m_period.data(), 2 * size_t(now));
        m_mixer.mix(period);
        if (m_capture)
            m_captured.insert(m_captured.end(), period.begin(), period.end());
        frames -= now;
    }
}

void NullAudioDevice::setCapture(bool on)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_capture = on;
}

std::vector<int16_t> NullAudioDevice::takeCaptured()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return std::move(m_captured);
}

void NullAudioDevice::catchUp()
{
    if (!m_followClock)
        return;
    uint32_t frames = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const uint32_t tick = clock().tickMs();
        if (!m_clockStarted) {
            m_clockStarted = true;
            m_lastTick = tick;
            return;
        }
        const uint32_t elapsed = std::min(tick - m_lastTick, kMaxCatchUpMs);
        m_lastTick = tick;
        m_fractionalFrames += uint64_t(elapsed) * m_mixer.outputRate();
        frames = static_cast<uint32_t>(m_fractionalFrames / 1000);
        m_fractionalFrames %= 1000;
    }
    if (frames)
        mixFrames(frames);
}

std::unique_ptr<AudioDevice> createNullAudioDevice(uint32_t outputRate, bool followClock)
{
    return std::make_unique<NullAudioDevice>(outputRate, followClock);
}

std::unique_ptr<AudioDevice> createUnavailableAudioDevice() { return std::make_unique<UnavailableAudioDevice>(); }

} // namespace platform
