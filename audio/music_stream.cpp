#include "audio/music_stream.h"

#include "data/client_file_path.h"
#include "platform/clock.h"
#include "platform/file_mapping.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

bool equalsIgnoringCase(const std::string& a, const char* b)
{
    const size_t length = std::strlen(b);
    if (a.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

} // namespace

Mp3FileSource::Mp3FileSource() = default;

Mp3FileSource::~Mp3FileSource()
{
    if (m_mapping)
        m_decoder.close();
}

bool Mp3FileSource::open(const std::string& path)
{
    std::optional<std::string> real = platform::resolvePath(path);
    if (!real)
        return false;
    m_mapping = platform::FileMapping::open(*real);
    if (!m_mapping || m_mapping->size() == 0 || m_mapping->size() > 0xFFFFFFFFu)
        return false;
    const uint8_t* view = m_mapping->data();
    const uint32_t size = static_cast<uint32_t>(m_mapping->size());
    // Tags in front of the music are passed over, and so is anything else
    // before the first frame that the next frame confirms; a file with no
    // such frame starts at its first 0xFF byte and stands or falls by it.
    const uint32_t tag = mpeg::id3v2TagLength(view, size);
    const int64_t frame = mpeg::findFrameSync(view, size, tag, nullptr);
    if (frame >= 0) {
        m_startOffset = uint32_t(frame);
    } else {
        const uint8_t* first = static_cast<const uint8_t*>(std::memchr(view + tag, 0xFF, size - tag));
        m_startOffset = first ? uint32_t(first - view) : size;
    }
    m_remaining = size - m_startOffset;
    m_decoder.setFrameConfirmation(true);
    if (m_decoder.open(view + m_startOffset, m_remaining) != 0)
        return false;
    m_sampleRate = int32_t(m_decoder.rate());
    return true;
}

int32_t Mp3FileSource::readStereo(uint8_t* destination, int32_t bytes)
{
    if (m_decoder.isStereo())
        return int32_t(m_decoder.readPcm(destination, uint32_t(bytes)));
    int32_t written = 0;
    while (bytes - written >= 4) {
        const uint32_t frames = std::min<uint32_t>(uint32_t(bytes - written) / 4, MpegAudioDecoder::kMaxFrameSamples);
        const uint32_t got = m_decoder.readPcm(m_mono, frames * 2) / 2;
        for (uint32_t i = 0; i < got; ++i) {
            const uint16_t sample = uint16_t(m_mono[i]);
            uint8_t* frame = destination + written + 4 * i;
            frame[0] = frame[2] = uint8_t(sample & 0xFF);
            frame[1] = frame[3] = uint8_t(sample >> 8);
        }
        written += int32_t(4 * got);
        if (got < frames)
            break;
    }
    return written;
}

int32_t Mp3FileSource::read(uint8_t* destination, int32_t bytes)
{
    if (!m_mapping || !destination || bytes < 0)
        return -1;
    int32_t total = 0;
    while (total < bytes) {
        if (m_decoder.frameReader().bitPosition() / 8 > m_remaining)
            break;
        total += readStereo(destination + total, bytes - total);
        // A short read is the end of the data or a damaged frame: after
        // damage, decoding goes on at the next sound frame.
        if (total < bytes && !m_decoder.resynchronise())
            break;
    }
    return total;
}

void Mp3FileSource::rewind() { m_decoder.rewind(); }

void Mp3FileSource::setOption(int32_t option, int32_t value)
{
    if (option == 0)
        m_repeat = value != 0;
}

MusicStream::MusicStream(platform::AudioDevice& device)
    : m_buffer(device.createBuffer(platform::SoundFormat { 2, 44100 }, kMusicRingBytes))
{
    platform::LockedRegions regions;
    if (m_buffer && m_buffer->lock(0, kMusicRingBytes, regions)) {
        std::memset(regions.first, 0, regions.firstBytes);
        m_buffer->unlock(regions);
        m_buffer->play();
    }
}

MusicStream::~MusicStream()
{
    if (m_buffer)
        m_buffer->stop();
}

bool MusicStream::open(const std::string& alternative)
{
    if (!m_buffer)
        return false;
    const size_t comma = alternative.find(',');
    const std::string file = alternative.substr(0, comma);
    const std::string suffix = comma == std::string::npos ? std::string() : alternative.substr(comma + 1);
    std::string path = clientFilePath("MUSIC\\DIGITAL\\" + file);
    if (path.find('.', path.size() >= 4 ? path.size() - 4 : 0) == std::string::npos)
        path += ".mp3";
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || !equalsIgnoringCase(path.substr(dot + 1), "mp3"))
        return false;
    auto source = std::make_unique<Mp3FileSource>();
    if (!source->open(path))
        return false;
    if (!m_buffer->setFrequency(uint32_t(source->sampleRate())))
        return false;
    m_buffer->setVolume(state == MusicStreamState::FadingIn ? platform::kSilentVolume : baseVolume);
    if (suffix == "loop" || suffix == "lop")
        source->setOption(0, 1);
    m_source = std::move(source);
    return true;
}

bool MusicStream::update()
{
    if (!m_source)
        return false;
    uint32_t playCursor = 0;
    uint32_t writeCursor = 0;
    m_buffer->positions(playCursor, writeCursor);
    if (m_fillPosition == -1)
        m_fillPosition = int32_t(writeCursor);
    uint32_t bytes = playCursor - uint32_t(m_fillPosition);
    if (uint32_t(m_fillPosition) > playCursor)
        bytes += kMusicRingBytes;
    if (bytes == 0)
        return false;
    platform::LockedRegions regions;
    if (!m_buffer->lock(uint32_t(m_fillPosition), bytes, regions))
        return false;
    uint8_t* pieces[2] = { regions.first, regions.second };
    const uint32_t sizes[2] = { regions.firstBytes, regions.secondBytes };
    for (int piece = 0; piece < 2; ++piece) {
        uint32_t filled = 0;
        bool rewound = false;
        while (pieces[piece] && filled < sizes[piece]) {
            const int32_t got = m_source->read(pieces[piece] + filled, int32_t(sizes[piece] - filled));
            if (got > 0) {
                filled += uint32_t(got);
                m_fillPosition = int32_t((uint32_t(m_fillPosition) + uint32_t(got)) % kMusicRingBytes);
                rewound = false;
            } else if (got == 0 && m_source->repeats() && !rewound) {
                // A file that gives nothing even from its start would rewind forever.
                m_source->rewind();
                rewound = true;
            } else {
                m_buffer->unlock(regions);
                return true;
            }
        }
    }
    m_buffer->unlock(regions);

    const uint32_t now = platform::clock().tickMs();
    int32_t volume = baseVolume;
    if (state == MusicStreamState::FadingOut) {
        const uint32_t elapsed = (now - fadeStart) / 2;
        if (elapsed > 1000)
            return true;
        volume = baseVolume - 10 * int32_t(elapsed);
    } else if (state == MusicStreamState::FadingIn) {
        if (fadeStart == kFadeStartUnset)
            fadeStart = now;
        const uint32_t elapsed = (now - fadeStart) / 2;
        if (elapsed > 1000) {
            state = MusicStreamState::Steady;
            volume = baseVolume;
        } else {
            volume = baseVolume + int32_t(elapsed) - 1000;
        }
    }
    m_buffer->setVolume(std::max(volume, platform::kSilentVolume));
    return false;
}
