#include "audio/sound_effects.h"

#include "audio/audio_services.h"
#include "core/process_random.h"
#include "data/data_files.h"
#include "data/def_tables.h"
#include "data/settings_registry.h"
#include "platform/message_box.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

struct BusyFlag {
    std::mutex lock;
    bool busy = false;
};

BusyFlag& busyFlag()
{
    static BusyFlag flag;
    return flag;
}

void showSoundError(const char* text) { platform::showMessageBox("DirectSound Error", std::string(text) + " "); }

// The playable samples of a sound record; false for a record that is missing,
// marked absent or too short. The data layer already refuses a record that
// does not lie wholly inside the mapped file.
bool soundRecord(int32_t id, const uint8_t*& samples, uint32_t& bytes)
{
    int32_t length = 0;
    uint32_t extra = 0;
    const uint8_t* record = lookupIndexedRecord(kSoundIndexFile, kSoundFile, id, length, extra);
    if (!record || length <= int32_t(kSoundRecordHeaderBytes))
        return false;
    samples = record + kSoundRecordHeaderBytes;
    // Whole 16-bit samples only: an odd byte would shift every repeat of a
    // looping sound by one byte and play it as noise.
    bytes = (uint32_t(length) - kSoundRecordHeaderBytes) & ~1u;
    return bytes > 0;
}

float masterFactor(uint8_t master) { return float(master) * 0.003921569f; }

int32_t clampVolume(int32_t volume) { return std::clamp(volume, platform::kSilentVolume, 0); }

} // namespace

int32_t channelVolume(int32_t v, float f)
{
    const float value = (1.0f - (1.0f - float(v) * -0.0004f) * f) * -2500.0f;
    return int32_t(value);
}

void acquireSoundBusy()
{
    BusyFlag& flag = busyFlag();
    while (true) {
        {
            std::lock_guard<std::mutex> guard(flag.lock);
            if (!flag.busy) {
                flag.busy = true;
                return;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void releaseSoundBusy()
{
    BusyFlag& flag = busyFlag();
    std::lock_guard<std::mutex> guard(flag.lock);
    flag.busy = false;
}

bool tryAcquireSoundBusy()
{
    BusyFlag& flag = busyFlag();
    std::lock_guard<std::mutex> guard(flag.lock);
    if (flag.busy)
        return false;
    flag.busy = true;
    return true;
}

SoundChannel::SoundChannel(std::unique_ptr<platform::SoundBuffer> buffer)
    : m_buffer(std::move(buffer))
{
    platform::LockedRegions regions;
    if (m_buffer && m_buffer->lock(0, m_buffer->size(), regions)) {
        std::memset(regions.first, 0, regions.firstBytes);
        m_buffer->unlock(regions);
        m_buffer->play();
    }
}

void SoundChannel::unbind()
{
    soundId = kFreeSoundId;
    data = nullptr;
    dataLength = 0;
    readPos = 0;
    silenceBytes = 0;
}

void SoundChannel::play(int32_t id, int32_t pan, int32_t volume, bool shouldLoop, uint32_t frequency)
{
    if (!m_buffer || id == kFreeSoundId || id < 0)
        return;
    const uint8_t* samples = nullptr;
    uint32_t bytes = 0;
    if (!soundRecord(id, samples, bytes))
        return;
    soundId = id;
    data = samples;
    dataLength = bytes;
    readPos = 0;
    silenceBytes = 0;
    acquireSoundBusy();
    const bool wasPlaying = m_buffer->isPlaying();
    loop = shouldLoop;
    const char* failure = nullptr;
    if (!m_buffer->setPan(pan))
        failure = "DirectSound SetPan failed.";
    else if (!m_buffer->setVolume(clampVolume(channelVolume(volume, factor))))
        failure = "DirectSound SetVolume failed.";
    else if (!m_buffer->setFrequency(frequency))
        failure = "DirectSound SetFrequency failed.";
    if (failure) {
        releaseSoundBusy();
        showSoundError(failure);
        return;
    }
    uint32_t playCursor = 0;
    m_buffer->positions(playCursor, writePos);
    refill();
    if (!wasPlaying)
        m_buffer->play();
    releaseSoundBusy();
}

void SoundChannel::refill()
{
    uint32_t playCursor = 0;
    uint32_t writeCursor = 0;
    m_buffer->positions(playCursor, writeCursor);
    uint32_t bytes = playCursor - writePos;
    if (writePos > playCursor)
        bytes += kSoundChannelBytes;
    if (bytes == 0)
        return;
    platform::LockedRegions regions;
    if (!m_buffer->lock(writePos, bytes, regions))
        return;
    if (regions.first)
        fill(regions.first, regions.firstBytes);
    if (regions.second)
        fill(regions.second, regions.secondBytes);
    writePos = playCursor;
    m_buffer->unlock(regions);
}

void SoundChannel::fill(uint8_t* destination, uint32_t bytes)
{
    if (!data || dataLength == 0 || bytes == 0)
        return;
    while (bytes > 0) {
        if (readPos == dataLength) {
            if (!loop) {
                std::memset(destination, 0, bytes);
                silenceBytes += bytes;
                return;
            }
            readPos = 0;
        }
        const uint32_t chunk = std::min(dataLength - readPos, bytes);
        std::memcpy(destination, data + readPos, chunk);
        readPos += chunk;
        destination += chunk;
        bytes -= chunk;
    }
}

void SoundChannel::update()
{
    if (!m_buffer)
        return;
    acquireSoundBusy();
    // Our device never loses a buffer's memory, so only a stopped ring is restarted.
    if (!m_buffer->isPlaying())
        m_buffer->play();
    refill();
    if (silenceBytes >= kSoundChannelBytes || !data || dataLength == 0 || soundId == kFreeSoundId) {
        unbind();
        loop = false;
        m_buffer->setFrequency(0);
    }
    releaseSoundBusy();
}

SoundEffects::~SoundEffects() { shutdownSound(); }

void SoundEffects::initSoundDefaults()
{
    m_soundOn = settings().getBoolSetting(u"Sound") != 0;
    m_master = uint8_t(settings().getIntSetting(u"SoundVol"));
    for (auto& slot : m_channels)
        slot.reset();
    m_ambient = AmbientLoopState {};
    m_device = nullptr;
}

void SoundEffects::initDirectSound(platform::AudioDevice* device)
{
    if (!device || !device->isAvailable())
        return;
    m_device = device;
    const platform::SoundFormat format { 1, kSoundRate };
    for (auto& slot : m_channels) {
        std::unique_ptr<platform::SoundBuffer> buffer = device->createBuffer(format, kSoundChannelBytes);
        if (!buffer)
            showSoundError("Failed to create sound buffer");
        slot = std::make_unique<SoundChannel>(std::move(buffer));
    }
    if (!m_soundOn)
        return;
    for (auto& slot : m_channels) {
        if (!slot->hasBuffer())
            continue;
        slot->factor = masterFactor(m_master);
        slot->buffer()->setVolume(clampVolume(channelVolume(slot->buffer()->volume(), slot->factor)));
    }
}

void SoundEffects::shutdownSound()
{
    if (!m_device)
        return;
    for (auto& slot : m_channels)
        slot.reset();
    m_device = nullptr;
}

SoundChannel* SoundEffects::channel(int index)
{
    if (index < 0 || index >= kSoundChannelCount)
        return nullptr;
    return m_channels[size_t(index)].get();
}

int32_t SoundEffects::chooseChannel()
{
    for (int i = 0; i < kSoundChannelCount; ++i) {
        SoundChannel* slot = m_channels[size_t(i)].get();
        if (slot && slot->hasBuffer() && slot->soundId == kFreeSoundId)
            return i;
    }
    int32_t chosen = -1;
    int32_t quietest = 0;
    for (int i = 0; i < kSoundChannelCount; ++i) {
        SoundChannel* slot = m_channels[size_t(i)].get();
        if (!slot || !slot->hasBuffer() || i == m_ambient.current.channel)
            continue;
        const int32_t volume = slot->buffer()->volume();
        if (volume <= quietest) {
            quietest = volume;
            chosen = i;
        }
    }
    return chosen;
}

int32_t SoundEffects::playSound(
    int32_t id, int32_t pan, int32_t volume, int32_t loop, int32_t jitterPercent, int32_t allowDuplicate)
{
    if (DefTable* table = defTable(DefSlot::Sound); table && id >= 0 && id <= 0xFFFF
        && table->contains(uint16_t(id)))
        id = table->translate(uint16_t(id), 0);
    if (!m_soundOn || id < 0 || id >= kSoundIdLimit || !m_device)
        return -1;
    if (!allowDuplicate) {
        for (int i = 0; i < kSoundChannelCount; ++i) {
            SoundChannel* slot = m_channels[size_t(i)].get();
            if (slot && slot->hasBuffer() && slot->soundId == id)
                return i;
        }
    }
    const int32_t index = chooseChannel();
    if (index < 0)
        return -1;
    const uint8_t* samples = nullptr;
    uint32_t bytes = 0;
    if (!soundRecord(id, samples, bytes))
        return -1;
    uint32_t frequency = 0;
    if (jitterPercent != 0) {
        const int32_t r = nextRandom() % jitterPercent;
        const int32_t offset = int32_t(float(r) * 0.01f * 22048.0f);
        frequency = uint32_t((nextRandom() & 1) ? int32_t(kSoundRate) + offset : int32_t(kSoundRate) - offset);
    }
    if (index == m_ambient.fading.channel)
        m_ambient.fading.channel = -1;
    if (index == m_ambient.current.channel)
        m_ambient.current.channel = -1;
    m_channels[size_t(index)]->play(id, pan, volume, loop != 0, frequency);
    return index;
}

int32_t SoundEffects::playSoundAt(
    int32_t id, int16_t x, int16_t y, float factor, int32_t loop, int32_t jitterPercent, int32_t allowDuplicate)
{
    int16_t px = 0;
    int16_t py = 0;
    int32_t volume = 0;
    int32_t pan = 0;
    // Without a player the sound cannot be placed; it plays unplaced.
    if (audioServices().playerPosition(px, py)) {
        const int32_t distance = audioServices().tileDistance(x, y, px, py);
        volume = int32_t(factor * std::min(float(distance) * 0.055555556f, 1.0f) * -2500.0f);
        const float offset = float((int32_t(x) - px) - (int32_t(y) - py)) * 0.5f * 0.055555556f;
        pan = int32_t(std::clamp(offset, -1.0f, 1.0f) * 2500.0f);
        if (settings().restartRow("ReverseSpeakers")->value)
            pan = -pan;
    }
    return playSound(id, pan, volume, loop, jitterPercent, allowDuplicate);
}

void SoundEffects::playSoundIfEnabled(int32_t id, int32_t pan, int32_t volume)
{
    if (m_soundOn)
        playSound(id, pan, volume, 0, 0, 0);
}

void SoundEffects::playAmbientLoop(uint16_t id)
{
    AmbientLoop& current = m_ambient.current;
    AmbientLoop& fading = m_ambient.fading;
    if (id == current.id)
        return;
    if (id == fading.id && id != 0 && id != 0xFFFF && fading.channel != -1) {
        std::swap(current, fading);
        return;
    }
    fading = current;
    current.id = id;
    current.volume = -2500;
    if (id != 0 && id != 0xFFFF) {
        current.channel = playSound(id, 0, -2500, 1, 0, 0);
        if (current.channel != -1 && current.channel == fading.channel)
            fading = AmbientLoop { 0, -1, platform::kSilentVolume };
    } else {
        current.channel = -1;
    }
}

void SoundEffects::updateSound()
{
    if (!m_soundOn || !m_device)
        return;
    for (auto& slot : m_channels) {
        if (slot && slot->hasBuffer() && slot->soundId != kFreeSoundId)
            slot->update();
    }
    AmbientLoop& fading = m_ambient.fading;
    if (fading.channel != -1) {
        SoundChannel* slot = m_channels[size_t(fading.channel)].get();
        fading.volume -= 20;
        if (fading.volume > -2500) {
            slot->buffer()->setVolume(clampVolume(channelVolume(fading.volume, slot->factor)));
        } else {
            // The loop is over. Its channel is freed too: a stopped channel
            // that is still bound is started again by the next service pass,
            // and the loop would go on quietly for ever.
            slot->buffer()->stop();
            slot->unbind();
            fading = AmbientLoop { 0, -1, platform::kSilentVolume };
        }
    }
    AmbientLoop& current = m_ambient.current;
    if (current.channel != -1) {
        SoundChannel* slot = m_channels[size_t(current.channel)].get();
        current.volume = std::min(current.volume + 20, -2200);
        slot->buffer()->setVolume(clampVolume(channelVolume(current.volume, slot->factor)));
    }
}

void SoundEffects::toggleSound(bool on)
{
    m_soundOn = on;
    AmbientLoop& current = m_ambient.current;
    AmbientLoop& fading = m_ambient.fading;
    if (on) {
        if (m_device) {
            for (auto& slot : m_channels) {
                if (!slot || !slot->hasBuffer())
                    continue;
                slot->factor = masterFactor(m_master);
                slot->buffer()->setVolume(clampVolume(channelVolume(slot->buffer()->volume(), slot->factor)));
            }
        }
        if (current.id != 0 && current.id != 0xFFFF && current.channel == -1)
            current.channel = playSound(current.id, 0, current.volume, 1, 0, 0);
        return;
    }
    fading.id = 0;
    fading.volume = platform::kSilentVolume;
    if (m_device) {
        if (fading.channel != -1)
            m_channels[size_t(fading.channel)]->buffer()->stop();
        fading.channel = -1;
    }
    current.volume = -2500;
    for (auto& slot : m_channels) {
        if (slot && slot->hasBuffer())
            slot->buffer()->stop();
    }
}

void SoundEffects::setSoundVolume(uint8_t volume)
{
    m_master = volume;
    if (!m_device)
        return;
    for (auto& slot : m_channels) {
        if (!slot || !slot->hasBuffer())
            continue;
        slot->factor = masterFactor(volume);
        slot->buffer()->setVolume(clampVolume(channelVolume(slot->buffer()->volume(), slot->factor)));
    }
}

SoundEffects& soundEffects()
{
    static SoundEffects effects;
    return effects;
}
