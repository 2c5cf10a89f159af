#pragma once
// MpegAudioDecoder turns an MPEG-1 or MPEG-2 low-sampling-frequency audio
// stream (layers I, II and III) held in memory into interleaved signed 16-bit
// PCM (left first), or the same samples as floats in [-1, 1), on demand. The
// data belongs to the caller and must stay valid while the decoder is open.
// Everything the decoder needs lives in the object: nothing is allocated while
// decoding. One thread at a time may drive a decoder; separate decoders are
// independent. It is also an audio source: readSamples, isStereo, rate,
// endOfStream.

#include "audio/mpeg_frame.h"
#include "audio/mpeg_layer3.h"
#include "audio/mpeg_synthesis.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Layer III runs on the 16-bit fixed-point filter unless told otherwise, as
// it always has; the float filter is the accurate one (its 16-bit output
// stays within one step of a reference decoder's, where the fixed-point
// filter keeps about 50 to 65 dB) and may be chosen instead.
using SynthesisPath = mpeg::SynthesisPath;

class MpegAudioDecoder {
public:
    static constexpr uint32_t kMaxFrameSamples = 1152;
    static constexpr uint32_t kPcmBufferSamples = kMaxFrameSamples * 2;

    MpegAudioDecoder();
    virtual ~MpegAudioDecoder();
    MpegAudioDecoder(const MpegAudioDecoder&) = delete;
    MpegAudioDecoder& operator=(const MpegAudioDecoder&) = delete;

    // Attaches the decoder to `data` and prepares decoding; 0, or -1 when the
    // data does not start with a usable frame header.
    int open(const uint8_t* data, uint32_t size);
    // The next read decodes the first frame again, without a second priming
    // skip and with the filter memory running on.
    void rewind();
    void close();
    // Copies up to `byteCount` bytes of PCM into `destination`, decoding frames
    // as needed; fewer only when a frame fails to decode or the stream ends.
    uint32_t readPcm(void* destination, uint32_t byteCount);

    // Parses the header at the frame reader's next-frame position and moves
    // past it; 0 or -1. A header whose layer, version or channel count differs
    // from the stream's first header is refused.
    virtual int readHeaderFromReader();
    // Parses the first four bytes of the data as the stream's header without
    // moving the frame reader; 0 or -1.
    virtual int readHeaderFromBuffer();

    // After a read fell short on a damaged frame: moves the frame reader to
    // the next frame header of the stream's kind that a second one confirms
    // (mpeg::findFrameSync), searching from just past the header that failed.
    // False when none is left; the reader then stays where it was.
    bool resynchronise();
    // With confirmation on, a frame is decoded only when the header after it
    // is one of the stream's too (or the data ends first), so that a word in
    // damaged data that merely looks like a header is refused, and the
    // caller can resynchronise, instead of being decoded as music.
    void setFrameConfirmation(bool on) { m_confirmFrames = on; }

    // Audio source: whole samples (one per channel per sample frame).
    size_t readSamples(std::span<int16_t> destination);
    size_t readFloatSamples(std::span<float> destination);
    bool isStereo() const { return m_channels == 2; }
    uint32_t rate() const { return m_sampleRate; }
    bool endOfStream() const;

    void setSynthesisPath(SynthesisPath path) { m_path = path; }

    int layer() const { return m_layer; }
    uint32_t pcmBytesPerFrame() const { return m_pcmBytesPerFrame; }
    const mpeg::FrameReader& frameReader() const { return m_reader; }

private:
    // `floatsOnly`: the reader wants floats, and a frame of layer III on the
    // float filter then makes those alone (see m_floatsOnly).
    int decodeFrame(bool floatsOnly);
    void setupStreamInfo();
    uint32_t read(void* destination, uint32_t byteCount, bool asFloat);

    mpeg::SynthesisFilter m_synthesis;
    int16_t m_pcm[kPcmBufferSamples] = {};
    float m_pcmFloat[kPcmBufferSamples] = {};
    mpeg::Layer3Decoder m_layer3;
    mpeg::FrameReader m_reader;
    mpeg::FrameHeader m_header;
    uint32_t m_sampleRate = 0;
    uint32_t m_pcmBytesPerFrame = 0;
    uint32_t m_readPosition = 0; // bytes into the PCM buffer
    uint64_t m_lastHeaderPosition = 0; // bits, of the header read last
    uint8_t m_layer = 0;
    bool m_lowSamplingFrequency = false;
    uint8_t m_channels = 0;
    bool m_open = false;
    bool m_primed = false;
    bool m_confirmFrames = false;
    // The frame in the buffers has no 16-bit samples, and its floats are
    // clamped to their range already; 16-bit samples are made from them.
    bool m_floatsOnly = false;
    SynthesisPath m_path = SynthesisPath::Fixed16;
};
