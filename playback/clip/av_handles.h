// Owning handles for the FFmpeg objects the clip writer uses, and the
// library's error codes as text.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace kolvex::av {

struct InputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleCloser {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ResampleCloser {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoCloser {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

using Input = std::unique_ptr<AVFormatContext, InputCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecCloser>;
using Frame = std::unique_ptr<AVFrame, FrameCloser>;
using Packet = std::unique_ptr<AVPacket, PacketCloser>;
using Scale = std::unique_ptr<SwsContext, ScaleCloser>;
using Resample = std::unique_ptr<SwrContext, ResampleCloser>;
using Fifo = std::unique_ptr<AVAudioFifo, FifoCloser>;

inline std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace kolvex::av
