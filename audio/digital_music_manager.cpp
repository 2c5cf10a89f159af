#include "audio/digital_music_manager.h"

#include "audio/audio_services.h"
#include "core/error_report.h"
#include "core/process_random.h"
#include "data/client_file_path.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/thread_priority.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

std::unique_ptr<DigitalMusicManager>& managerSlot()
{
    static std::unique_ptr<DigitalMusicManager> manager;
    return manager;
}

constexpr size_t kLinePiece = 511;

void parseLine(std::string_view line, DigitalMusicMap& map)
{
    // Bytes that read as 32 or less when taken as signed are cut from the end.
    while (!line.empty() && static_cast<signed char>(line.back()) <= 32)
        line.remove_suffix(1);
    if (line.empty() || line.front() == '#')
        return;
    std::vector<std::string_view> tokens;
    size_t start = 0;
    while (start <= line.size()) {
        const size_t blank = line.find(' ', start);
        const std::string_view token = line.substr(start, blank == std::string_view::npos ? blank : blank - start);
        if (!token.empty())
            tokens.push_back(token);
        if (blank == std::string_view::npos)
            break;
        start = blank + 1;
    }
    if (tokens.size() < 2)
        return;
    const int32_t id = std::atoi(std::string(tokens[0]).c_str());
    std::vector<std::string>& names = map[id];
    for (size_t i = 1; i < tokens.size(); ++i)
        names.emplace_back(tokens[i]);
}

} // namespace

DigitalMusicMap parseDigitalMusicConfig(std::string_view text)
{
    DigitalMusicMap map;
    size_t position = 0;
    while (position < text.size()) {
        // One piece is what a 512-byte line buffer takes: up to 511 bytes or
        // through the line's end, whichever comes first.
        const size_t newline = text.find('\n', position);
        const size_t lineEnd = newline == std::string_view::npos ? text.size() : newline + 1;
        const size_t pieceEnd = std::min(lineEnd, position + kLinePiece);
        parseLine(text.substr(position, pieceEnd - position), map);
        position = pieceEnd;
    }
    return map;
}

int32_t musicBaseVolume(uint8_t master) { return ((int32_t(master) * 2500) >> 8) - 2500; }

DigitalMusicManager::DigitalMusicManager(platform::AudioDevice& device, bool startThread)
    : m_device(device)
{
    loadConfig();
    if (startThread)
        m_thread = std::thread(&DigitalMusicManager::threadMain, this);
}

DigitalMusicManager::~DigitalMusicManager() { shutdown(); }

void DigitalMusicManager::loadConfig()
{
    std::optional<std::string> path = platform::resolvePath(clientFilePath("MUSIC\\DIGITAL\\CONFIG.TXT"));
    if (!path)
        return;
    FILE* file = std::fopen(path->c_str(), "rb");
    if (!file)
        return;
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    std::fclose(file);
    m_idMap = parseDigitalMusicConfig(text);
}

void DigitalMusicManager::threadMain()
{
    // The 15 ms refill must keep ahead of playback while the main thread is
    // busy. Where the system refuses (no privilege), it runs at normal
    // priority and a busy main thread may starve it.
    platform::raiseCurrentThreadPriority();
    while (m_run.load()) {
        updatePass();
        const bool idle = streamCount() == 0;
        std::unique_lock<std::mutex> wait(m_wakeLock);
        // With no stream there is nothing to refill: asleep until one starts
        // (a wake-up every 15 ms costs an idle program more than its frames).
        if (idle)
            m_wake.wait(wait, [this] { return !m_run.load() || m_streamStarted; });
        else
            m_wake.wait_for(wait, std::chrono::milliseconds(kRefillPeriodMs), [this] { return !m_run.load(); });
        m_streamStarted = false;
    }
    std::lock_guard<std::mutex> done(m_wakeLock);
    m_threadDone = true;
    m_wake.notify_all();
}

void DigitalMusicManager::updatePass()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (size_t i = 0; i < m_streams.size();) {
        if (!m_streams[i]->update()) {
            ++i;
            continue;
        }
        if (m_streams[i].get() == m_current)
            m_current = nullptr;
        m_streams.erase(m_streams.begin() + long(i));
        // Removal starts the walk again from the first stream.
        i = 0;
    }
}

MusicStream* DigitalMusicManager::play(int32_t id)
{
    auto found = m_idMap.find(id);
    if (found == m_idMap.end() || found->second.empty())
        return nullptr;
    const std::vector<std::string>& names = found->second;
    const std::string& name = names[size_t(nextRandom()) % names.size()];
    return startStream(name, id == 0);
}

MusicStream* DigitalMusicManager::startStream(const std::string& name, bool idIsZero)
{
    if (!idIsZero && !audioServices().hasServerFeature(0x08))
        return nullptr;
    auto stream = std::make_unique<MusicStream>(m_device);
    if (!stream->hasBuffer())
        return nullptr;
    if (stream->state == MusicStreamState::Steady) {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        stream->baseVolume = musicBaseVolume(m_master);
    }
    stream->fadeStart = kFadeStartUnset;
    stream->state = MusicStreamState::FadingIn;
    if (!stream->open(name))
        return nullptr;
    // The streaming thread may remove the current stream at any moment, so it
    // is touched only under the lock.
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (m_current) {
        m_current->state = MusicStreamState::FadingOut;
        m_current->fadeStart = platform::clock().tickMs();
    }
    m_current = stream.get();
    m_streams.push_back(std::move(stream));
    {
        std::lock_guard<std::mutex> wake(m_wakeLock);
        m_streamStarted = true;
    }
    m_wake.notify_all();
    return m_current;
}

void DigitalMusicManager::fadeOutAll()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const uint32_t now = platform::clock().tickMs();
    for (auto& stream : m_streams) {
        stream->state = MusicStreamState::FadingOut;
        stream->fadeStart = now;
    }
    m_current = nullptr;
}

bool DigitalMusicManager::isPlaying()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (auto& stream : m_streams) {
        if (stream->state != MusicStreamState::FadingOut)
            return true;
    }
    return false;
}

void DigitalMusicManager::setVolume(uint8_t volume)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    for (auto& stream : m_streams) {
        if (stream->hasBuffer() && stream->state == MusicStreamState::Steady)
            stream->baseVolume = musicBaseVolume(volume);
    }
    m_master = volume;
}

size_t DigitalMusicManager::streamCount()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return m_streams.size();
}

void DigitalMusicManager::shutdown()
{
    m_run.store(false);
    if (m_thread.joinable()) {
        std::unique_lock<std::mutex> wait(m_wakeLock);
        m_wake.notify_all();
        const bool ended = m_wake.wait_for(
            wait, std::chrono::milliseconds(kShutdownWaitMs), [this] { return m_threadDone; });
        wait.unlock();
        // The thread works on this manager's streams, so it is waited for even
        // when it overruns: leaving it behind would let it touch the streams
        // after they are freed. A refill pass is bounded, so this ends.
        if (!ended)
            reportError("digital music: the refill thread did not end in %u ms; waiting for it",
                unsigned(kShutdownWaitMs));
        m_thread.join();
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_streams.clear();
    m_current = nullptr;
    m_idMap.clear();
}

bool createDigitalMusicManager(platform::AudioDevice& device)
{
    managerSlot() = std::make_unique<DigitalMusicManager>(device, true);
    return managerSlot() != nullptr;
}

void destroyDigitalMusicManager() { managerSlot().reset(); }

DigitalMusicManager* getDigitalMusicManager() { return managerSlot().get(); }
