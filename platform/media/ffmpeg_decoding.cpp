#include "platform/media/ffmpeg_decoding.h"

namespace platform {

bool decodeNextFrame(
    AVFormatContext* format, AVCodecContext* codec, AVPacket* packet, AVFrame* frame, int stream, bool& endOfInput)
{
    while (true) {
        const int received = avcodec_receive_frame(codec, frame);
        if (received == 0)
            return true;
        if (received != AVERROR(EAGAIN) || endOfInput)
            return false;
        if (av_read_frame(format, packet) < 0) {
            endOfInput = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (packet->stream_index == stream)
            avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
    }
}

} // namespace platform
