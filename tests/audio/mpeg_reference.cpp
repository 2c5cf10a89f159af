#include "mpeg_reference.h"

#include "audio/mpeg_decoder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdlib>

namespace test {

bool runTool(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    if (status != 0) {
        ADD_FAILURE() << "command failed (is the tool installed?): " << command;
        return false;
    }
    return true;
}

namespace {

std::string expand(std::string text, const std::string& in, const std::string& out)
{
    for (const auto& [key, value] : { std::pair<std::string, std::string> { "{in}", in }, { "{out}", out } }) {
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, key.size(), value);
    }
    return text;
}

template <typename Sample>
std::vector<Sample> decodeAll(const std::string& bytes, bool fixed16)
{
    MpegAudioDecoder decoder;
    decoder.setSynthesisPath(fixed16 ? SynthesisPath::Fixed16 : SynthesisPath::Float);
    std::vector<Sample> out;
    if (decoder.open(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size())) != 0)
        return out;
    Sample buffer[4096];
    // Every read moves the frame reader on by at least one header, so a
    // stream of N bytes ends within N reads.
    for (size_t reads = 0; !decoder.endOfStream(); ++reads) {
        if (reads > bytes.size() + 16) {
            ADD_FAILURE() << "the decoder does not reach the end of the stream";
            break;
        }
        size_t got;
        if constexpr (sizeof(Sample) == sizeof(float))
            got = decoder.readFloatSamples(buffer);
        else
            got = decoder.readSamples(buffer);
        out.insert(out.end(), buffer, buffer + got);
    }
    return out;
}

} // namespace

std::string makeEncodedFile(
    const TempDir& dir, int rate, int channels, const std::string& synth, const std::string& encoder)
{
    const std::string wav = dir.file("signal.wav");
    const std::string encoded = dir.file("encoded.mpa");
    // -R: the same noise and dither on every run, so that a result can be repeated.
    const std::string sox = "sox -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " + wav
        + " synth " + synth;
    if (!runTool(sox) || !runTool(expand(encoder, wav, encoded)))
        return {};
    return TempDir::read(encoded);
}

std::vector<size_t> frameOffsets(const std::string& bytes)
{
    std::vector<size_t> offsets;
    size_t at = 0;
    while (at + 4 <= bytes.size()) {
        const uint32_t word = static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24
            | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16
            | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 | static_cast<uint8_t>(bytes[at + 3]);
        mpeg::FrameHeader header;
        if (!mpeg::parseFrameHeader(word, header))
            break;
        offsets.push_back(at);
        at += 4 + header.frameLength;
    }
    return offsets;
}

std::vector<float> decodeAllFloat(const std::string& bytes, bool fixed16)
{
    return decodeAll<float>(bytes, fixed16);
}

std::vector<int16_t> decodeAll16(const std::string& bytes, bool fixed16)
{
    return decodeAll<int16_t>(bytes, fixed16);
}

namespace {

bool decodeAs(const std::string& bytes, int encoding, ReferenceDecode& result)
{
    mpg123_init();
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        return false;
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME | MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    for (long rate : { 8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L })
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, encoding);
    bool ok = mpg123_open_feed(handle) == MPG123_OK
        && mpg123_feed(handle, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == MPG123_OK;
    std::vector<unsigned char> buffer(1 << 16);
    while (ok) {
        size_t done = 0;
        const int status = mpg123_read(handle, buffer.data(), buffer.size(), &done);
        if (encoding == MPG123_ENC_FLOAT_32) {
            const float* f = reinterpret_cast<const float*>(buffer.data());
            result.floats.insert(result.floats.end(), f, f + done / sizeof(float));
        } else {
            const int16_t* s = reinterpret_cast<const int16_t*>(buffer.data());
            result.samples.insert(result.samples.end(), s, s + done / sizeof(int16_t));
        }
        if (status == MPG123_NEW_FORMAT) {
            int channels = 0;
            int enc = 0;
            mpg123_getformat(handle, &result.rate, &channels, &enc);
            result.channels = channels;
            continue;
        }
        if (status != MPG123_OK)
            break;
    }
    mpg123_delete(handle);
    return ok;
}

} // namespace

ReferenceDecode referenceDecode(const std::string& bytes)
{
    ReferenceDecode result;
    result.ok = decodeAs(bytes, MPG123_ENC_FLOAT_32, result) && decodeAs(bytes, MPG123_ENC_SIGNED_16, result);
    return result;
}

double signalToNoise(const float* reference, const float* ours, size_t count)
{
    double signal = 0.0;
    double noise = 0.0;
    for (size_t i = 0; i < count; ++i) {
        signal += static_cast<double>(reference[i]) * reference[i];
        const double d = static_cast<double>(reference[i]) - ours[i];
        noise += d * d;
    }
    if (noise == 0.0)
        return 200.0;
    if (signal == 0.0)
        return -200.0;
    return 10.0 * std::log10(signal / noise);
}

} // namespace test
