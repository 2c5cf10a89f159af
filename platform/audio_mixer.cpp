#include "platform/audio_mixer.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr int32_t kUnityGain = 32768;
// The frequency range a buffer accepts besides 0 (its own rate).
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 200000;

// Two neighbours may differ by up to 65535 and the fraction reach 65535: the
// step takes more than 32 bits.
int32_t interpolate(int32_t a, int32_t b, uint32_t fraction16)
{
    return a + int32_t((int64_t(b - a) * int64_t(fraction16)) >> 16);
}

} // namespace

class MixerBuffer final : public SoundBuffer {
public:
    MixerBuffer(AudioMixer& mixer, const SoundFormat& format, uint32_t bytes)
        : m_mixer(mixer)
        , m_format(format)
        , m_size(bytes)
        , m_frameCount(bytes / format.blockAlign())
        , m_samples(bytes / 2, 0)
    {
        setStepLocked(format.rate);
        mixerGains(0, 0, m_gainLeft, m_gainRight);
    }
    ~MixerBuffer() override { m_mixer.detach(this); }

    uint32_t size() const override { return m_size; }
    SoundFormat format() const override { return m_format; }

    bool play() override
    {
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        m_playing = true;
        return true;
    }
    void stop() override
    {
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        m_playing = false;
    }
    bool isPlaying() const override
    {
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        return m_playing;
    }

    void positions(uint32_t& play, uint32_t& write) const override
    {
        if (m_mixer.m_beforePositionRead)
            m_mixer.m_beforePositionRead();
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        const uint32_t frame = static_cast<uint32_t>(m_position >> 32);
        // Whatever the next period may read, plus the frame interpolation
        // looks at, is not to be written.
        uint64_t lead = ((uint64_t(m_mixer.m_periodFrames) * m_step) >> 32) + 2;
        lead = std::min<uint64_t>(lead, m_frameCount - 1);
        play = frame * m_format.blockAlign();
        write = static_cast<uint32_t>((frame + lead) % m_frameCount) * m_format.blockAlign();
    }

    bool lock(uint32_t offset, uint32_t bytes, LockedRegions& regions) override
    {
        regions = LockedRegions {};
        if (bytes == 0 || bytes > m_size)
            return false;
        offset %= m_size;
        {
            // Until unlock the mixer keeps out of these bytes: when it catches
            // up with a slow writer it plays silence, never half-written samples.
            std::lock_guard<std::mutex> guard(m_mixer.m_lock);
            m_lockOffset = offset;
            m_lockBytes = bytes;
        }
        uint8_t* base = reinterpret_cast<uint8_t*>(m_samples.data());
        regions.first = base + offset;
        regions.firstBytes = std::min(bytes, m_size - offset);
        if (regions.firstBytes < bytes) {
            regions.second = base;
            regions.secondBytes = bytes - regions.firstBytes;
        }
        return true;
    }

    void unlock(const LockedRegions&) override
    {
        // Taking the lock also orders the writes before the mixer's next read.
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        m_lockBytes = 0;
    }

    int32_t volume() const override
    {
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        return m_volume;
    }
    bool setVolume(int32_t volume) override
    {
        if (volume > 0 || volume < kSilentVolume)
            return false;
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        m_volume = volume;
        mixerGains(m_volume, m_pan, m_gainLeft, m_gainRight);
        return true;
    }
    int32_t pan() const override
    {
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        return m_pan;
    }
    bool setPan(int32_t pan) override
    {
        if (pan < -kMaxPan || pan > kMaxPan)
            return false;
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        m_pan = pan;
        mixerGains(m_volume, m_pan, m_gainLeft, m_gainRight);
        return true;
    }
    bool setFrequency(uint32_t hertz) override
    {
        if (hertz != 0 && (hertz < kMinFrequency || hertz > kMaxFrequency))
            return false;
        std::lock_guard<std::mutex> guard(m_mixer.m_lock);
        setStepLocked(hertz ? hertz : m_format.rate);
        return true;
    }

    // Under the mixer's lock.
    void mixInto(int32_t* sum, uint32_t frames)
    {
        if (!m_playing || m_frameCount == 0)
            return;
        const uint64_t end = uint64_t(m_frameCount) << 32;
        uint64_t position = m_position;
        const int16_t* data = m_samples.data();
        const int32_t left = m_gainLeft;
        const int32_t right = m_gainRight;
        if (left == 0 && right == 0) {
            // Silent, but time goes on.
            m_position = (position + (m_step * frames) % end) % end;
            return;
        }
        const uint32_t blockAlign = m_format.blockAlign();
        for (uint32_t f = 0; f < frames; ++f) {
            const uint32_t i = static_cast<uint32_t>(position >> 32);
            const uint32_t j = i + 1 == m_frameCount ? 0 : i + 1;
            const uint32_t fraction = static_cast<uint32_t>(position) >> 16;
            if (m_lockBytes && (isLocked(i * blockAlign) || isLocked(j * blockAlign))) {
                // Being written: silence for this frame.
            } else if (m_format.channels == 1) {
                const int32_t s = interpolate(data[i], data[j], fraction);
                sum[2 * f] += (s * left) >> 15;
                sum[2 * f + 1] += (s * right) >> 15;
            } else {
                const int32_t l = interpolate(data[2 * i], data[2 * j], fraction);
                const int32_t r = interpolate(data[2 * i + 1], data[2 * j + 1], fraction);
                sum[2 * f] += (l * left) >> 15;
                sum[2 * f + 1] += (r * right) >> 15;
            }
            position += m_step;
            while (position >= end)
                position -= end;
        }
        m_position = position;
    }

private:
    bool isLocked(uint32_t byte) const
    {
        const uint32_t from = byte >= m_lockOffset ? byte - m_lockOffset : byte + m_size - m_lockOffset;
        return from < m_lockBytes;
    }
    void setStepLocked(uint32_t hertz) { m_step = (uint64_t(hertz) << 32) / m_mixer.m_outputRate; }

    AudioMixer& m_mixer;
    const SoundFormat m_format;
    const uint32_t m_size;
    const uint32_t m_frameCount;
    std::vector<int16_t> m_samples;
    uint64_t m_position = 0; // frames, 32.32 fixed point
    uint32_t m_lockOffset = 0; // the bytes handed out for writing
    uint32_t m_lockBytes = 0;
    uint64_t m_step = 0;
    int32_t m_volume = 0;
    int32_t m_pan = 0;
    int32_t m_gainLeft = kUnityGain;
    int32_t m_gainRight = kUnityGain;
    bool m_playing = false;
};

AudioMixer::AudioMixer(uint32_t outputRate, uint32_t periodFrames)
    : m_outputRate(outputRate ? outputRate : 44100)
    , m_periodFrames(periodFrames ? periodFrames : 1024)
{
    m_sum.resize(2 * size_t(m_periodFrames));
    m_sourceScratch.resize(2 * size_t(m_periodFrames));
}

AudioMixer::~AudioMixer() = default;

std::unique_ptr<SoundBuffer> AudioMixer::createBuffer(const SoundFormat& format, uint32_t bytes)
{
    if ((format.channels != 1 && format.channels != 2) || format.rate == 0 || bytes == 0
        || bytes % format.blockAlign() != 0)
        return nullptr;
    auto buffer = std::make_unique<MixerBuffer>(*this, format, bytes);
    std::lock_guard<std::mutex> guard(m_lock);
    m_buffers.push_back(buffer.get());
    return buffer;
}

void AudioMixer::detach(MixerBuffer* buffer)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::erase(m_buffers, buffer);
}

bool AudioMixer::addSource(AudioSource& source)
{
    if (source.rate() != m_outputRate)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    if (std::find(m_sources.begin(), m_sources.end(), &source) == m_sources.end())
        m_sources.push_back(&source);
    return true;
}

void AudioMixer::removeSource(AudioSource& source)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::erase(m_sources, &source);
}

void AudioMixer::mix(std::span<int16_t> output)
{
    std::lock_guard<std::mutex> guard(m_lock);
    size_t done = 0;
    const size_t totalFrames = output.size() / 2;
    while (done < totalFrames) {
        const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(totalFrames - done, m_periodFrames));
        int32_t* sum = m_sum.data();
        std::memset(sum, 0, sizeof(int32_t) * 2 * frames);
        for (MixerBuffer* buffer : m_buffers)
            buffer->mixInto(sum, frames);
        for (AudioSource* source : m_sources) {
            const size_t channels = source->isStereo() ? 2 : 1;
            const size_t got = source->readSamples(std::span<int16_t>(m_sourceScratch.data(), frames * channels));
            const int16_t* samples = m_sourceScratch.data();
            for (size_t f = 0; f < got / channels; ++f) {
                sum[2 * f] += samples[f * channels];
                sum[2 * f + 1] += samples[f * channels + channels - 1];
            }
        }
        int16_t* out = output.data() + 2 * done;
        for (uint32_t i = 0; i < 2 * frames; ++i)
            out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768, 32767));
        done += frames;
    }
}

} // namespace platform
