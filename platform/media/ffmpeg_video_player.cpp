#include "platform/clock.h"
#include "platform/media/ffmpeg_decoding.h"
#include "platform/media/ffmpeg_film_sound.h"
#include "platform/video_player.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Counts the film's video packets: each is one frame for the formats a film
// comes in, and containers often do not say how many there are.
int32_t countVideoPackets(const std::string& path, int streamIndex)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) != 0)
        return 0;
    int32_t count = 0;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        AVPacket* packet = av_packet_alloc();
        while (packet && av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == streamIndex)
                ++count;
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return count;
}

class FfmpegVideoPlayer final : public VideoPlayer {
public:
    FfmpegVideoPlayer() { av_log_set_level(AV_LOG_QUIET); }
    ~FfmpegVideoPlayer() override { close(); }

    bool isAvailable() const override { return true; }
    void setSoundOutput(AudioDevice* device) override { m_soundDevice = device; }
    void setSoundVolume(int32_t volume) override
    {
        m_soundVolume = volume;
        if (m_sound)
            m_sound->setVolume(volume);
    }

    bool open(const std::string& realPath) override
    {
        close();
        if (avformat_open_input(&m_format, realPath.c_str(), nullptr, nullptr) != 0) {
            m_format = nullptr;
            return false;
        }
        if (avformat_find_stream_info(m_format, nullptr) < 0)
            return failOpen();
        const AVCodec* codec = nullptr;
        m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (m_stream < 0 || !codec)
            return failOpen();
        AVStream* stream = m_format->streams[m_stream];
        m_codec = avcodec_alloc_context3(codec);
        if (!m_codec || avcodec_parameters_to_context(m_codec, stream->codecpar) < 0
            || avcodec_open2(m_codec, codec, nullptr) < 0)
            return failOpen();
        m_width = m_codec->width;
        m_height = m_codec->height;
        if (m_width <= 0 || m_height <= 0)
            return failOpen();
        AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
        if (rate.num <= 0 || rate.den <= 0)
            rate = AVRational { 15, 1 };
        m_rate = rate;
        m_frameCount = countVideoPackets(realPath, m_stream);
        if (m_frameCount <= 0)
            return failOpen();
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        if (!m_frame || !m_packet)
            return failOpen();
        m_picture555.assign(size_t(m_width) * m_height, 0);
        m_picture565.assign(size_t(m_width) * m_height, 0);
        m_current = 0;
        m_started = false;
        m_endOfInput = false;
        // A film without sound, or with a sound track that cannot be read,
        // plays silent.
        if (m_soundDevice)
            m_sound = FilmSound::open(realPath, *m_soundDevice, m_soundVolume);
        return true;
    }

    void close() override
    {
        m_sound.reset();
        if (m_scaler)
            sws_freeContext(m_scaler);
        m_scaler = nullptr;
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        if (m_format)
            avformat_close_input(&m_format);
        m_format = nullptr;
        m_stream = -1;
        m_frameCount = 0;
        m_current = 0;
    }

    bool isOpen() const override { return m_format != nullptr; }
    int32_t frameCount() const override { return m_frameCount; }
    int32_t currentFrame() const override { return m_current; }
    int32_t width() const override { return m_width; }
    int32_t height() const override { return m_height; }

    bool isFrameDue(int32_t frame) const override
    {
        if (!m_format)
            return false;
        if (!m_started)
            return true;
        // Frame n falls due n frame times after the first was shown.
        const uint64_t offset = uint64_t(std::max(frame, 0)) * 1000u * uint64_t(m_rate.den) / uint64_t(m_rate.num);
        return int32_t(clock().tickMs() - m_startTick - uint32_t(offset)) >= 0;
    }

    bool decodeFrame() override
    {
        if (!m_format)
            return false;
        if (!m_started) {
            m_started = true;
            m_startTick = clock().tickMs();
            if (m_sound)
                m_sound->start();
        }
        if (m_sound)
            m_sound->decodeAhead();
        if (!decodeNextFrame(m_format, m_codec, m_packet, m_frame, m_stream, m_endOfInput))
            return false;
        convert();
        av_frame_unref(m_frame);
        return true;
    }

    void copyToBuffer(uint16_t* destination, int32_t pitchBytes, int32_t rows, int32_t x, int32_t y,
        const VideoCopy& copy) override
    {
        if (!m_format || !destination || pitchBytes <= 0)
            return;
        const std::vector<uint16_t>& picture = copy.rgb565 ? m_picture565 : m_picture555;
        const int32_t scale = copy.doubled ? 2 : 1;
        const int32_t columns = pitchBytes / 2;
        for (int32_t row = 0; row < m_height * scale; ++row) {
            const int32_t targetRow = y + row;
            if (targetRow < 0 || targetRow >= rows)
                continue;
            const uint16_t* source = picture.data() + size_t(row / scale) * m_width;
            uint16_t* target = destination + size_t(targetRow) * columns;
            for (int32_t column = 0; column < m_width * scale; ++column) {
                const int32_t targetColumn = x + column;
                if (targetColumn >= 0 && targetColumn < columns)
                    target[targetColumn] = source[column / scale];
            }
        }
    }

    void nextFrame() override
    {
        if (m_format)
            ++m_current;
    }

private:
    bool failOpen()
    {
        close();
        return false;
    }

    // Both pixel formats are made at once, so that a copy never converts.
    void convert()
    {
        m_scaler = sws_getCachedContext(m_scaler, m_frame->width, m_frame->height, AVPixelFormat(m_frame->format),
            m_width, m_height, AV_PIX_FMT_RGB565LE, SWS_POINT, nullptr, nullptr, nullptr);
        if (!m_scaler)
            return;
        uint8_t* planes[4] = { reinterpret_cast<uint8_t*>(m_picture565.data()), nullptr, nullptr, nullptr };
        int strides[4] = { m_width * 2, 0, 0, 0 };
        sws_scale(m_scaler, m_frame->data, m_frame->linesize, 0, m_frame->height, planes, strides);
        for (size_t i = 0; i < m_picture565.size(); ++i) {
            const uint16_t p = m_picture565[i];
            m_picture555[i] = uint16_t((p >> 1 & 0x7FE0) | (p & 0x1F));
        }
    }

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_scaler = nullptr;
    int m_stream = -1;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_frameCount = 0;
    int32_t m_current = 0;
    AVRational m_rate { 15, 1 };
    uint32_t m_startTick = 0;
    bool m_started = false;
    bool m_endOfInput = false;
    std::vector<uint16_t> m_picture555;
    std::vector<uint16_t> m_picture565;
    AudioDevice* m_soundDevice = nullptr;
    int32_t m_soundVolume = 0;
    std::unique_ptr<FilmSound> m_sound;
};

} // namespace

std::unique_ptr<VideoPlayer> createVideoPlayer() { return std::make_unique<FfmpegVideoPlayer>(); }

} // namespace platform
