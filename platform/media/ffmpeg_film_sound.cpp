#include "platform/media/ffmpeg_film_sound.h"

#include "platform/audio_mixer.h"
#include "platform/media/ffmpeg_decoding.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace platform {

namespace {

// How far ahead of the play position the sound is decoded: more than the
// longest pause between two redraws of a film, which is when it is topped up.
constexpr uint32_t kLeadMs = 500;

} // namespace

struct FilmSound::Decoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool endOfInput = false;
    bool drained = false;

    ~Decoder()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        if (format)
            avformat_close_input(&format);
    }

    bool open(const std::string& path, uint32_t outputRate)
    {
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) != 0) {
            format = nullptr;
            return false;
        }
        if (avformat_find_stream_info(format, nullptr) < 0)
            return false;
        const AVCodec* decoder = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (stream < 0 || !decoder)
            return false;
        codec = avcodec_alloc_context3(decoder);
        if (!codec || avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) < 0
            || avcodec_open2(codec, decoder, nullptr) < 0 || codec->sample_rate <= 0
            || codec->ch_layout.nb_channels <= 0)
            return false;
        // A file may name its channels or only count them.
        AVChannelLayout input {};
        if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&input, codec->ch_layout.nb_channels);
        else if (av_channel_layout_copy(&input, &codec->ch_layout) < 0)
            return false;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        const int made = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, int(outputRate), &input,
            codec->sample_fmt, codec->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&input);
        if (made < 0)
            return false;
        // A single channel plays whole on both sides, as the mixer plays a
        // single-channel buffer, not 3 dB down as a centre speaker would.
        static const double kBothSides[2] = { 1.0, 1.0 };
        if (codec->ch_layout.nb_channels == 1 && swr_set_matrix(resampler, kBothSides, 1) < 0)
            return false;
        if (swr_init(resampler) < 0)
            return false;
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        return packet && frame;
    }

    // Resamples `frame` (or, with none, what the resampler still holds) into
    // `out` as interleaved stereo; false when nothing came out.
    bool resample(const AVFrame* input, std::vector<int16_t>& out)
    {
        const int inputSamples = input ? input->nb_samples : 0;
        const int room = swr_get_out_samples(resampler, inputSamples);
        if (room <= 0)
            return false;
        out.resize(size_t(room) * 2);
        uint8_t* planes[1] = { reinterpret_cast<uint8_t*>(out.data()) };
        const int got = swr_convert(
            resampler, planes, room, input ? const_cast<const uint8_t**>(input->extended_data) : nullptr, inputSamples);
        if (got <= 0)
            return false;
        out.resize(size_t(got) * 2);
        return true;
    }
};

std::unique_ptr<FilmSound> FilmSound::open(const std::string& realPath, AudioDevice& device, int32_t volume)
{
    const uint32_t rate = device.outputRate();
    if (rate == 0)
        return nullptr;
    auto decoder = std::make_unique<Decoder>();
    if (!decoder->open(realPath, rate))
        return nullptr;
    std::unique_ptr<FilmSound> sound(new FilmSound(device, std::move(decoder), rate));
    sound->setVolume(volume);
    // Decoded ahead before the mixer ever asks, so the first frame has sound.
    sound->decodeAhead();
    if (!device.addSource(*sound))
        return nullptr;
    sound->m_added = true;
    return sound;
}

FilmSound::FilmSound(AudioDevice& device, std::unique_ptr<Decoder> decoder, uint32_t rate)
    : m_device(device)
    , m_decoder(std::move(decoder))
    , m_rate(rate)
{
}

FilmSound::~FilmSound()
{
    if (m_added)
        m_device.removeSource(*this);
}

void FilmSound::start()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_started = true;
}

void FilmSound::setVolume(int32_t volume)
{
    int32_t left = 0;
    int32_t right = 0;
    mixerGains(volume, 0, left, right);
    std::lock_guard<std::mutex> guard(m_lock);
    m_gain = left;
}

bool FilmSound::decodeMore()
{
    Decoder& decoder = *m_decoder;
    if (decoder.drained)
        return false;
    if (decodeNextFrame(
            decoder.format, decoder.codec, decoder.packet, decoder.frame, decoder.stream, decoder.endOfInput)) {
        if (!decoder.resample(decoder.frame, m_decoded))
            m_decoded.clear();
        av_frame_unref(decoder.frame);
        return true;
    }
    // The end: what the resampler still holds comes out once.
    decoder.drained = true;
    if (!decoder.resample(nullptr, m_decoded))
        m_decoded.clear();
    return !m_decoded.empty();
}

void FilmSound::decodeAhead()
{
    const uint64_t lead = uint64_t(m_rate) * kLeadMs / 1000;
    while (true) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            const uint64_t queuedEnd = m_queueFirst + (m_queue.size() / 2 - m_queueRead);
            if (m_endOfInput || queuedEnd >= m_position + lead)
                return;
        }
        const bool more = decodeMore();
        std::lock_guard<std::mutex> guard(m_lock);
        if (!more)
            m_endOfInput = true;
        // What has been played is let go once it is half the queue.
        if (m_queueRead > 0 && m_queueRead * 4 >= m_queue.size()) {
            m_queue.erase(m_queue.begin(), m_queue.begin() + ptrdiff_t(m_queueRead * 2));
            m_queueRead = 0;
        }
        m_queue.insert(m_queue.end(), m_decoded.begin(), m_decoded.end());
        m_decoded.clear();
    }
}

size_t FilmSound::readSamples(std::span<int16_t> destination)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_started)
        return 0;
    const size_t frames = destination.size() / 2;
    // Samples whose time has passed (they were decoded late) are dropped.
    size_t queued = m_queue.size() / 2 - m_queueRead;
    if (m_queueFirst < m_position) {
        const size_t late = size_t(std::min<uint64_t>(m_position - m_queueFirst, queued));
        m_queueRead += late;
        m_queueFirst += late;
        queued -= late;
    }
    const size_t played = m_queueFirst == m_position ? std::min(frames, queued) : 0;
    const int16_t* source = m_queue.data() + m_queueRead * 2;
    for (size_t i = 0; i < played * 2; ++i)
        destination[i] = int16_t((int32_t(source[i]) * m_gain) >> 15);
    std::fill(destination.begin() + ptrdiff_t(played * 2), destination.begin() + ptrdiff_t(frames * 2), int16_t(0));
    m_queueRead += played;
    m_queueFirst += played;
    m_position += frames;
    return frames * 2;
}

bool FilmSound::endOfStream() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_endOfInput && m_queueRead * 2 == m_queue.size();
}

} // namespace platform
