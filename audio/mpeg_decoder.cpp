#include "audio/mpeg_decoder.h"

#include "audio/mpeg_layer12.h"
#include "audio/mpeg_tables.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// PCM bytes per channel skipped once per stream, from the start of the first
// decoded frame, by layer: the filter banks' start-up delay (545, 481 and
// 1,105 samples).
constexpr uint32_t kPrimingBytes[4] = { 0, 1090, 962, 2210 };

} // namespace

MpegAudioDecoder::MpegAudioDecoder()
{
    m_layer3.reset();
}

MpegAudioDecoder::~MpegAudioDecoder()
{
    close();
}

int MpegAudioDecoder::open(const uint8_t* data, uint32_t size)
{
    if (m_open)
        close();
    m_open = true;
    m_reader.attach(data, data ? size : 0);
    m_layer = 0;
    if (readHeaderFromBuffer() != 0)
        return -1;
    m_synthesis.clear();
    m_primed = false;
    setupStreamInfo();
    rewind();
    return 0;
}

void MpegAudioDecoder::setupStreamInfo()
{
    // The first header fixes what the stream is; later frames must agree.
    m_layer = m_header.layer;
    m_lowSamplingFrequency = m_header.lowSamplingFrequency;
    m_channels = m_header.channels;
    m_sampleRate = m_header.sampleRate;
    uint32_t samples = m_layer == 1 ? 384 : 1152;
    if (m_layer == 3 && m_lowSamplingFrequency)
        samples /= 2;
    m_pcmBytesPerFrame = samples * 2 * m_channels;
    // Every layer's state starts cleared, whichever layer the stream has.
    m_layer3.reset();
    std::memset(m_pcm, 0, sizeof m_pcm);
    std::memset(m_pcmFloat, 0, sizeof m_pcmFloat);
}

void MpegAudioDecoder::rewind()
{
    m_reader.setBitPosition(0);
    m_reader.setNextFramePosition(0);
    m_readPosition = m_pcmBytesPerFrame;
}

void MpegAudioDecoder::close()
{
    m_open = false;
}

int MpegAudioDecoder::readHeaderFromBuffer()
{
    const uint8_t* data = m_reader.data();
    const uint32_t size = m_reader.size();
    if (!data || size < 4)
        return -1;
    const uint32_t word = static_cast<uint32_t>(data[0]) << 24 | static_cast<uint32_t>(data[1]) << 16
        | static_cast<uint32_t>(data[2]) << 8 | data[3];
    return mpeg::parseFrameHeader(word, m_header) ? 0 : -1;
}

int MpegAudioDecoder::readHeaderFromReader()
{
    const uint64_t position = m_reader.nextFramePosition();
    m_lastHeaderPosition = position;
    m_reader.setBitPosition(position);
    const uint32_t high = m_reader.getBits(16);
    const uint32_t word = high << 16 | m_reader.getBits(16);
    mpeg::FrameHeader parsed;
    bool accepted = mpeg::parseFrameHeader(word, parsed);
    if (accepted && m_layer != 0) {
        // Another layer, version or channel count would be decoded with state
        // set up for something else: such a frame is refused.
        accepted = parsed.layer == m_layer && parsed.lowSamplingFrequency == m_lowSamplingFrequency
            && parsed.channels == m_channels;
    }
    if (accepted && m_confirmFrames && m_layer != 0)
        accepted = mpeg::frameIsConfirmed(m_reader.data(), m_reader.size(), position / 8, parsed);
    if (accepted)
        m_header = parsed;
    m_reader.setNextFramePosition(position + 32 + 8 * static_cast<uint64_t>(m_header.frameLength));
    return accepted ? 0 : -1;
}

bool MpegAudioDecoder::resynchronise()
{
    if (!m_open || m_layer == 0)
        return false;
    const uint64_t from = m_lastHeaderPosition / 8 + 1;
    if (from >= m_reader.size())
        return false;
    mpeg::FrameHeader like = m_header;
    like.layer = m_layer;
    like.lowSamplingFrequency = m_lowSamplingFrequency;
    like.channels = m_channels;
    like.sampleRate = m_sampleRate;
    const int64_t found = mpeg::findFrameSync(m_reader.data(), m_reader.size(), uint32_t(from), &like);
    if (found < 0)
        return false;
    m_reader.setNextFramePosition(uint64_t(found) * 8);
    m_readPosition = std::max(m_readPosition, m_pcmBytesPerFrame);
    return true;
}

int MpegAudioDecoder::decodeFrame(bool floatsOnly)
{
    if (!m_open || m_layer == 0)
        return -1;
    if (readHeaderFromReader() != 0)
        return -1;
    if (m_header.protectionBit == 0)
        m_reader.getBits(16);
    m_floatsOnly = false;
    switch (m_layer) {
    case 1:
        mpeg::decodeLayer1Frame(m_reader, m_header, m_synthesis, m_pcm, m_pcmFloat);
        break;
    case 2:
        mpeg::decodeLayer2Frame(m_reader, m_header, m_synthesis, m_pcm, m_pcmFloat);
        break;
    default:
        m_floatsOnly = floatsOnly && m_path == SynthesisPath::Float;
        m_layer3.decodeFrame(m_reader, m_header, m_synthesis, m_path, m_floatsOnly ? nullptr : m_pcm, m_pcmFloat);
        break;
    }
    return 0;
}

uint32_t MpegAudioDecoder::read(void* destination, uint32_t byteCount, bool asFloat)
{
    if (!m_open || m_layer == 0 || !destination)
        return 0;
    uint8_t* out = static_cast<uint8_t*>(destination);
    uint32_t copied = 0;
    while (copied < byteCount) {
        if (m_readPosition >= m_pcmBytesPerFrame) {
            if (decodeFrame(asFloat) != 0)
                break;
            if (!m_primed) {
                m_primed = true;
                m_readPosition = m_channels * kPrimingBytes[m_layer];
                while (m_readPosition > m_pcmBytesPerFrame) {
                    if (decodeFrame(asFloat) != 0) {
                        // Nothing of a frame that failed is played.
                        std::memset(m_pcm, 0, sizeof m_pcm);
                        std::memset(m_pcmFloat, 0, sizeof m_pcmFloat);
                    }
                    m_readPosition -= m_pcmBytesPerFrame;
                }
            } else {
                m_readPosition = 0;
            }
        }
        const uint32_t chunk = std::min(m_pcmBytesPerFrame - m_readPosition, byteCount - copied);
        if (asFloat) {
            // Positions count 16-bit PCM bytes; a float output takes twice the
            // room. Damaged frames can sum far past full scale; the output
            // keeps to the [-1, 1) that 16-bit samples span.
            float* target = reinterpret_cast<float*>(out + 2 * copied);
            const float* source = m_pcmFloat + m_readPosition / 2;
            if (m_floatsOnly) {
                std::memcpy(target, source, chunk / 2 * sizeof(float));
            } else {
                for (uint32_t i = 0; i < chunk / 2; ++i)
                    target[i] = std::clamp(source[i], -1.0f, 32767.0f / 32768.0f);
            }
        } else if (m_floatsOnly) {
            // Clamped floats times 32768 are the filter's sums exactly, so
            // truncating them gives the 16-bit samples the filter would have.
            for (uint32_t i = 0; i < chunk; ++i) {
                const uint32_t byte = m_readPosition + i;
                const auto sample = static_cast<uint16_t>(static_cast<int16_t>(m_pcmFloat[byte / 2] * 32768.0f));
                out[copied + i] = static_cast<uint8_t>((byte & 1) ? sample >> 8 : sample & 0xFF);
            }
        } else if (std::endian::native == std::endian::little) {
            std::memcpy(out + copied, reinterpret_cast<const uint8_t*>(m_pcm) + m_readPosition, chunk);
        } else {
            for (uint32_t i = 0; i < chunk; ++i) {
                const uint32_t byte = m_readPosition + i;
                const uint16_t sample = static_cast<uint16_t>(m_pcm[byte / 2]);
                out[copied + i] = static_cast<uint8_t>((byte & 1) ? sample >> 8 : sample & 0xFF);
            }
        }
        copied += chunk;
        m_readPosition += chunk;
    }
    return copied;
}

uint32_t MpegAudioDecoder::readPcm(void* destination, uint32_t byteCount)
{
    return read(destination, byteCount, false);
}

size_t MpegAudioDecoder::readSamples(std::span<int16_t> destination)
{
    const size_t limit = std::min<size_t>(destination.size(), 0x3FFFFFFF);
    return read(destination.data(), static_cast<uint32_t>(limit * 2), false) / 2;
}

size_t MpegAudioDecoder::readFloatSamples(std::span<float> destination)
{
    const size_t limit = std::min<size_t>(destination.size(), 0x3FFFFFFF);
    return read(destination.data(), static_cast<uint32_t>(limit * 2), true) / 2;
}

bool MpegAudioDecoder::endOfStream() const
{
    if (!m_open || m_layer == 0)
        return true;
    return m_readPosition >= m_pcmBytesPerFrame && m_reader.nextFramePosition() / 8 >= m_reader.size();
}
