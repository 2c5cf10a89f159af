#include "audio/music_player.h"

#include "audio/audio_services.h"
#include "audio/digital_music_manager.h"
#include "audio/sound_effects.h"
#include "core/exit_started.h"
#include "core/process_random.h"
#include "data/client_file_path.h"
#include "data/settings_registry.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/midi_player.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

// The force flag handed to playMusic when the top request changes, by the
// kind that applied before (rows) and the new top's kind (columns).
constexpr int32_t kForceTable[3][3] = {
    { 0, 1, 1 },
    { 1, 0, 1 },
    { 1, 1, 1 },
};

// "music\" and the name under the client directory, else under the install
// directory; empty when neither holds the file.
std::string buildMidiPath(const char* name)
{
    const std::string relative = std::string("music\\") + name;
    for (const std::string& candidate : { clientFilePath(relative), installFilePath(relative) }) {
        std::optional<std::string> real = platform::resolvePath(candidate);
        if (real && platform::fileExists(*real))
            return *real;
    }
    return std::string();
}

bool inFacet3CombatArea(int16_t x, int16_t y)
{
    return (x >= 0 && x < 280 && y >= 0 && y < 712) || (x >= 263 && x < 460 && y >= 623 && y < 1176);
}

} // namespace

void MusicSystem::initMusic(platform::AudioDevice* device, platform::MidiPlayer* midi)
{
    m_volume = uint8_t(settings().getIntSetting(u"MusicVol"));
    m_musicOn = settings().getBoolSetting(u"Music") != 0;
    m_currentId = kNoMusic;
    m_rotationId = 0;
    m_lastStart = 0;
    m_savedMidiVolume = -1;
    m_firstStartDone = false;
    m_midi = midi;
    seedRandom(platform::clock().unixSeconds());
    if (m_midi && m_midi->supportsVolume())
        m_savedMidiVolume = m_midi->volume();
    if (device)
        createDigitalMusicManager(*device);
    if (m_musicOn)
        playMusic(0, 1, 0);
}

void MusicSystem::shutdownMusic()
{
    destroyDigitalMusicManager();
    closeMidi();
    if (m_midi && m_midi->supportsVolume() && m_savedMidiVolume >= 0)
        m_midi->setVolume(uint32_t(m_savedMidiVolume));
    m_midi = nullptr;
}

void MusicSystem::closeMidi()
{
    if (m_midi && m_midi->isOpen())
        m_midi->close();
}

void MusicSystem::applyVolume()
{
    const uint32_t volume = m_volume;
    if (m_midi && m_midi->supportsVolume())
        m_midi->setVolume(volume * 0x01000100u);
    if (DigitalMusicManager* manager = getDigitalMusicManager())
        manager->setVolume(uint8_t(volume));
}

bool MusicSystem::isMusicSounding()
{
    DigitalMusicManager* manager = getDigitalMusicManager();
    if (manager && manager->isPlaying())
        return true;
    return m_midi && m_midi->isOpen() && m_midi->isPlaying();
}

int32_t MusicSystem::playMusic(uint16_t id, int32_t, int32_t force)
{
    if (isExitStarted())
        return 0;
    const uint32_t now = platform::clock().tickMs();
    if (!force && now - m_lastStart < kGuardMs && isMusicSounding())
        return 1;
    if (id >= kMusicIdLimit && id != kNoMusic)
        return 0;
    if (!m_musicOn || id == m_currentId)
        return 1;
    acquireSoundBusy();
    DigitalMusicManager* manager = getDigitalMusicManager();
    if (manager)
        manager->fadeOutAll();
    closeMidi();
    m_currentId = kNoMusic;
    if (id == kNoMusic) {
        releaseSoundBusy();
        return 1;
    }
    int32_t result = 0;
    if (manager && manager->play(id)) {
        m_volume = uint8_t(settings().getIntSetting(u"MusicVol"));
        applyVolume();
        result = 1;
    } else {
        if (id == 0 && !topIsOneShot())
            id = uint16_t(platform::clock().unixSeconds() % 9);
        result = openAndPlayMidi(midiFileName(id));
    }
    releaseSoundBusy();
    if (result == 0)
        return 0;
    if (!m_firstStartDone) {
        applyVolume();
        m_firstStartDone = true;
    }
    m_currentId = id;
    m_lastStart = now;
    return result;
}

int32_t MusicSystem::openAndPlayMidi(const char* name)
{
    if (!m_musicOn)
        return 1;
    if (!name || !m_midi)
        return 0;
    const std::string path = buildMidiPath(name);
    if (path.empty() || !m_midi->open(path))
        return 0;
    if (!m_midi->play([this] { postNotify(); })) {
        m_midi->close();
        return 0;
    }
    return 1;
}

void MusicSystem::setNotifyPoster(std::function<void()> poster)
{
    std::lock_guard<std::mutex> guard(m_posterLock);
    m_notifyPoster = std::move(poster);
}

void MusicSystem::postNotify()
{
    std::lock_guard<std::mutex> guard(m_posterLock);
    if (m_notifyPoster)
        m_notifyPoster();
}

void MusicSystem::stopMusic()
{
    if (DigitalMusicManager* manager = getDigitalMusicManager())
        manager->fadeOutAll();
    closeMidi();
    m_currentId = kNoMusic;
}

void MusicSystem::toggleMusic(bool on)
{
    m_musicOn = on;
    if (on)
        return;
    closeMidi();
    if (DigitalMusicManager* manager = getDigitalMusicManager())
        manager->fadeOutAll();
}

void MusicSystem::setMusicVolume(uint8_t volume)
{
    m_volume = volume;
    applyVolume();
}

void MusicSystem::removeFirst(MusicRequestKind kind)
{
    auto found = std::find_if(m_stack.begin(), m_stack.end(), [kind](const MusicRequest& r) { return r.kind == kind; });
    if (found != m_stack.end())
        m_stack.erase(found);
}

void MusicSystem::applyStack()
{
    if (m_stack.empty()) {
        m_appliedKind = MusicRequestKind::Base;
        m_appliedId = kNoMusic;
        stopMusic();
        return;
    }
    const MusicRequest top = m_stack.back();
    if (top.id != m_appliedId) {
        if (top.id == kNoMusic)
            stopMusic();
        else
            playMusic(top.id, 1, kForceTable[int(m_appliedKind)][int(top.kind)]);
    }
    m_appliedKind = top.kind;
    m_appliedId = top.id;
}

void MusicSystem::queueServerMusic(uint16_t id, uint16_t mode)
{
    auto firstOf = [this](MusicRequestKind kind) {
        return std::find_if(m_stack.begin(), m_stack.end(), [kind](const MusicRequest& r) { return r.kind == kind; });
    };
    // The first base request gets the id, or one is appended.
    auto setBase = [this, &firstOf](uint16_t baseId) {
        auto base = firstOf(MusicRequestKind::Base);
        if (base != m_stack.end())
            base->id = baseId;
        else
            m_stack.push_back({ MusicRequestKind::Base, baseId });
    };
    if (mode == 0) {
        setBase(id);
        applyStack();
    } else if (mode == 1 && id == kNoMusic) {
        auto oneShot = firstOf(MusicRequestKind::OneShot);
        if (oneShot != m_stack.end())
            m_stack.erase(oneShot);
        else
            setBase(kNoMusic);
        applyStack();
    } else if (mode == 1) {
        const uint16_t topId = m_stack.empty() ? kNoMusic : m_stack.back().id;
        if (id == topId) {
            // Asking again for the piece on top restarts it: stop it first.
            removeFirst(MusicRequestKind::OneShot);
            m_stack.push_back({ MusicRequestKind::OneShot, kNoMusic });
            applyStack();
        }
        removeFirst(MusicRequestKind::OneShot);
        m_stack.push_back({ MusicRequestKind::OneShot, id });
        applyStack();
    }
}

void MusicSystem::maintainMusicStack()
{
    if (!m_musicOn)
        return;
    const bool due = m_maintenanceCount == 0;
    m_maintenanceCount = (m_maintenanceCount + 1) % kMaintenanceEvery;
    if (!due)
        return;
    if (!isMusicSounding() && topIsOneShot()) {
        m_stack.pop_back();
        applyStack();
    }
    int16_t x = 0;
    int16_t y = 0;
    AudioServices& services = audioServices();
    if (!services.playerPosition(x, y))
        return;
    const bool warMode = services.isPlayerInWarMode();
    const bool hasCombat = std::any_of(
        m_stack.begin(), m_stack.end(), [](const MusicRequest& r) { return r.kind == MusicRequestKind::Combat; });
    if (hasCombat) {
        if (!warMode) {
            removeFirst(MusicRequestKind::Combat);
            applyStack();
        }
        return;
    }
    if (!warMode || !settings().getBoolSetting(u"CombatMusic"))
        return;
    const int32_t facet = services.currentFacet();
    uint16_t id;
    if (facet == 4 || (facet == 3 && inFacet3CombatArea(x, y)))
        id = 51;
    else
        id = uint16_t(38 + nextRandom() % 3);
    m_stack.push_back({ MusicRequestKind::Combat, id });
    applyStack();
}

void MusicSystem::onMusicNotify()
{
    if (topIsOneShot())
        return;
    if (playMusic(m_rotationId, 0, 0) == 0)
        return;
    ++m_rotationId;
    int16_t x = 0;
    int16_t y = 0;
    AudioServices& services = audioServices();
    if (services.playerPosition(x, y)) {
        if (services.isPlayerInWarMode() && settings().getBoolSetting(u"CombatMusic")) {
            if (m_rotationId >= 41)
                m_rotationId = 38;
        } else if (m_rotationId >= 9) {
            m_rotationId = 0;
        }
    } else if (m_rotationId >= kMusicIdLimit) {
        m_rotationId = 0;
    }
}

void MusicSystem::updateMusic()
{
    maintainMusicStack();
    applyVolume();
}

MusicSystem& musicSystem()
{
    static MusicSystem system;
    return system;
}

int32_t playMusic(uint16_t id, int32_t unused, int32_t force) { return musicSystem().playMusic(id, unused, force); }
void stopMusic() { musicSystem().stopMusic(); }
void toggleMusic(bool on) { musicSystem().toggleMusic(on); }
void setMusicVolume(uint8_t volume) { musicSystem().setMusicVolume(volume); }
void queueServerMusic(uint16_t id, uint16_t mode) { musicSystem().queueServerMusic(id, mode); }
void onMusicNotify() { musicSystem().onMusicNotify(); }
void updateMusic() { musicSystem().updateMusic(); }
