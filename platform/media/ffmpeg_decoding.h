#pragma once
// The decoding loop the film's picture and sound share.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace platform {

// Feeds the packets of `stream` to `codec` until it gives a frame into
// `frame`. At the end of the input the decoder is drained once
// (`endOfInput` is then set); false when nothing more comes, or on an error
// that ends the stream. A packet the decoder refuses is passed over.
bool decodeNextFrame(
    AVFormatContext* format, AVCodecContext* codec, AVPacket* packet, AVFrame* frame, int stream, bool& endOfInput);

} // namespace platform
