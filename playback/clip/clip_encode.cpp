// A clip encoded anew: the front (and rear) pictures decoded, laid out,
// the read-out burnt in, encoded as H.264; the front camera's sound kept
// as it is where MP4 can hold it, else encoded as AAC.
#include "clip_job.h"
#include "clip_overlay.h"
#include "clip_readings.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <functional>
#include <optional>

namespace kolvex {

namespace {

constexpr AVRational kMs{1, 1000};

int Even(int v) {
    return std::max(2, v & ~1);
}

// Decodes one file's pictures in order; other streams' packets go to
// `onPacket`.
class CPictureReader {
public:
    std::string Open(const std::string& path) {
        if (std::string why = OpenRecording(path, m_input); !why.empty())
            return why;
        const AVCodec* codec = nullptr;
        m_stream = av_find_best_stream(m_input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (m_stream < 0 || !codec)
            return path + ": no picture that can be decoded";
        m_decoder.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(m_decoder.get(), Stream()->codecpar);
        m_decoder->thread_count = 0;
        if (avcodec_open2(m_decoder.get(), codec, nullptr) < 0)
            return path + ": the picture cannot be decoded";
        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        m_path = path;
        return {};
    }
    AVFormatContext* Input() { return m_input.get(); }
    AVStream* Stream() { return m_input->streams[m_stream]; }
    bool Seek(int64_t ms) {
        return av_seek_frame(m_input.get(), m_stream, av_rescale_q(ms, kMs, Stream()->time_base),
                             AVSEEK_FLAG_BACKWARD) >= 0;
    }
    // The next picture and its time in ms; nullptr at the end. `error`
    // is set when reading failed.
    AVFrame* Next(int64_t& ms, std::string& error,
                  const std::function<bool(AVPacket*)>& onPacket = {}) {
        for (;;) {
            const int got = avcodec_receive_frame(m_decoder.get(), m_frame.get());
            if (got == 0) {
                const int64_t ts = m_frame->best_effort_timestamp;
                ms = ts == AV_NOPTS_VALUE ? m_lastMs : av_rescale_q(ts, Stream()->time_base, kMs);
                m_lastMs = ms;
                return m_frame.get();
            }
            if (got == AVERROR_EOF || m_drained)
                return nullptr;
            const int r = av_read_frame(m_input.get(), m_packet.get());
            if (r == AVERROR_EOF) {
                avcodec_send_packet(m_decoder.get(), nullptr);
                m_drained = true;
                continue;
            }
            if (r < 0) {
                error = "cannot read the recording " + m_path + ": " + av::ErrorText(r);
                return nullptr;
            }
            if (m_packet->stream_index == m_stream) {
                avcodec_send_packet(m_decoder.get(), m_packet.get());
            } else if (onPacket && !onPacket(m_packet.get())) {
                error = "stopped";
                return nullptr;
            }
            av_packet_unref(m_packet.get());
        }
    }

private:
    av::Input m_input;
    av::Codec m_decoder;
    av::Packet m_packet;
    av::Frame m_frame;
    int m_stream = -1;
    int64_t m_lastMs = 0;
    bool m_drained = false;
    std::string m_path;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Scales pictures into a rectangle of a YUV 4:2:0 picture, on as many
// threads as there are cores (the rear's scaling costs as much as its
// decoding).
class CScaler {
public:
    ~CScaler() { sws_freeContext(m_context); }
    bool Place(const AVFrame* src, AVFrame* dst, const Rect& r) {
        if (!m_context || src->width != m_srcW || src->height != m_srcH ||
            src->format != m_srcFormat) {
            sws_freeContext(m_context);
            m_context = sws_alloc_context();
            const bool same = src->width == r.w && src->height == r.h;
            av_opt_set_int(m_context, "srcw", src->width, 0);
            av_opt_set_int(m_context, "srch", src->height, 0);
            av_opt_set_int(m_context, "src_format", src->format, 0);
            av_opt_set_int(m_context, "dstw", r.w, 0);
            av_opt_set_int(m_context, "dsth", r.h, 0);
            av_opt_set_int(m_context, "dst_format", AV_PIX_FMT_YUV420P, 0);
            av_opt_set_int(m_context, "sws_flags", same ? SWS_POINT : SWS_BICUBIC, 0);
            av_opt_set_int(m_context, "threads", 0, 0);
            if (sws_init_context(m_context, nullptr, nullptr) < 0) {
                sws_freeContext(m_context);
                m_context = nullptr;
                return false;
            }
            m_srcW = src->width;
            m_srcH = src->height;
            m_srcFormat = src->format;
        }
        // A frame that shares the clip picture's memory at the rectangle.
        av::Frame view(av_frame_alloc());
        view->format = AV_PIX_FMT_YUV420P;
        view->width = r.w;
        view->height = r.h;
        view->data[0] = dst->data[0] + static_cast<ptrdiff_t>(r.y) * dst->linesize[0] + r.x;
        view->data[1] = dst->data[1] + static_cast<ptrdiff_t>(r.y / 2) * dst->linesize[1] + r.x / 2;
        view->data[2] = dst->data[2] + static_cast<ptrdiff_t>(r.y / 2) * dst->linesize[2] + r.x / 2;
        for (int p = 0; p < 3; ++p)
            view->linesize[p] = dst->linesize[p];
        view->buf[0] = av_buffer_ref(dst->buf[0]);
        return sws_scale_frame(m_context, view.get(), src) >= 0;
    }

private:
    SwsContext* m_context = nullptr;
    int m_srcW = 0, m_srcH = 0, m_srcFormat = -1;
};

void FillBlack(AVFrame* f, const Rect& r) {
    for (int y = 0; y < r.h; ++y)
        std::fill_n(f->data[0] + static_cast<ptrdiff_t>(r.y + y) * f->linesize[0] + r.x, r.w, 16);
    for (int p = 1; p < 3; ++p)
        for (int y = 0; y < r.h / 2; ++y)
            std::fill_n(f->data[p] + static_cast<ptrdiff_t>(r.y / 2 + y) * f->linesize[p] + r.x / 2,
                        r.w / 2, 128);
}

// The front camera's sound: copied packets, or decoded and encoded as AAC.
class CSoundTrack {
public:
    bool Setup(CClipJob& job, AVStream* in) {
        m_job = &job;
        m_copy = avformat_query_codec(job.Output()->oformat, in->codecpar->codec_id,
                                      FF_COMPLIANCE_NORMAL) == 1;
        m_out = avformat_new_stream(job.Output(), nullptr);
        if (m_copy) {
            avcodec_parameters_copy(m_out->codecpar, in->codecpar);
            m_out->codecpar->codec_tag = 0;
            m_out->time_base = in->time_base;
            return true;
        }
        const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac)
            return false;
        m_encoder.reset(avcodec_alloc_context3(aac));
        m_encoder->sample_rate = in->codecpar->sample_rate;
        av_channel_layout_default(&m_encoder->ch_layout, in->codecpar->ch_layout.nb_channels);
        m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
        m_encoder->bit_rate = 128000;
        m_encoder->time_base = AVRational{1, m_encoder->sample_rate};
        if (job.Output()->oformat->flags & AVFMT_GLOBALHEADER)
            m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(m_encoder.get(), aac, nullptr) < 0)
            return false;
        avcodec_parameters_from_context(m_out->codecpar, m_encoder.get());
        m_out->time_base = m_encoder->time_base;
        m_fifo.reset(av_audio_fifo_alloc(m_encoder->sample_fmt, m_encoder->ch_layout.nb_channels,
                                         m_encoder->frame_size * 4));
        m_frame.reset(av_frame_alloc());
        m_packet.reset(av_packet_alloc());
        return true;
    }
    // A part begins: its sound from `fromMs` of `in` lands at `clipMs`.
    bool BeginPart(AVStream* in, int64_t fromMs, int64_t toMs, int64_t clipMs) {
        m_in = in;
        m_fromMs = fromMs;
        m_toMs = toMs;
        m_clipMs = clipMs;
        if (m_copy)
            return true;
        m_decoder.reset();
        const AVCodec* codec = avcodec_find_decoder(in->codecpar->codec_id);
        if (!codec)
            return false;
        m_decoder.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(m_decoder.get(), in->codecpar);
        if (avcodec_open2(m_decoder.get(), codec, nullptr) < 0)
            return false;
        AVChannelLayout layout = m_encoder->ch_layout;
        SwrContext* swr = nullptr;
        swr_alloc_set_opts2(&swr, &layout, m_encoder->sample_fmt, m_encoder->sample_rate,
                            &m_decoder->ch_layout, m_decoder->sample_fmt, m_decoder->sample_rate, 0,
                            nullptr);
        m_resample.reset(swr);
        return swr && swr_init(swr) >= 0;
    }
    bool Take(AVPacket* packet) {
        if (!m_in || packet->stream_index != m_in->index)
            return true;
        const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (ts == AV_NOPTS_VALUE)
            return true;
        // Whole packets inside the range only, so that the sound never
        // runs past the pictures.
        const int64_t ms = av_rescale_q(ts, m_in->time_base, kMs);
        const int64_t endMs = av_rescale_q(ts + packet->duration, m_in->time_base, kMs);
        if (ms < m_fromMs || endMs > m_toMs)
            return true;
        if (m_copy) {
            const int64_t shift = av_rescale_q(m_clipMs - m_fromMs, kMs, m_in->time_base);
            AVPacket* copy = av_packet_clone(packet);
            if (copy->pts != AV_NOPTS_VALUE)
                copy->pts += shift;
            if (copy->dts != AV_NOPTS_VALUE)
                copy->dts += shift;
            av_packet_rescale_ts(copy, m_in->time_base, m_out->time_base);
            copy->stream_index = m_out->index;
            copy->pos = -1;
            const bool ok = m_job->Write(copy);
            av_packet_free(&copy);
            return ok;
        }
        if (avcodec_send_packet(m_decoder.get(), packet) < 0)
            return true; // a damaged sound packet is left out
        while (avcodec_receive_frame(m_decoder.get(), m_frame.get()) == 0) {
            uint8_t** converted = nullptr;
            const int most = swr_get_out_samples(m_resample.get(), m_frame->nb_samples);
            av_samples_alloc_array_and_samples(&converted, nullptr,
                                               m_encoder->ch_layout.nb_channels, most,
                                               m_encoder->sample_fmt, 0);
            const int n = swr_convert(m_resample.get(), converted, most,
                                      const_cast<const uint8_t**>(m_frame->extended_data),
                                      m_frame->nb_samples);
            if (n > 0)
                av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(converted), n);
            av_freep(&converted[0]);
            av_freep(&converted);
            av_frame_unref(m_frame.get());
            if (!Drain(false))
                return false;
        }
        return true;
    }
    bool Finish() {
        if (m_copy || !m_encoder)
            return true;
        return Drain(true);
    }

private:
    bool Drain(bool last) {
        const int size = m_encoder->frame_size;
        while (av_audio_fifo_size(m_fifo.get()) >= size ||
               (last && av_audio_fifo_size(m_fifo.get()) > 0)) {
            const int n = std::min(size, av_audio_fifo_size(m_fifo.get()));
            AVFrame* f = av_frame_alloc();
            f->nb_samples = n;
            av_channel_layout_copy(&f->ch_layout, &m_encoder->ch_layout);
            f->format = m_encoder->sample_fmt;
            f->sample_rate = m_encoder->sample_rate;
            av_frame_get_buffer(f, 0);
            av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(f->data), n);
            f->pts = m_samples;
            m_samples += n;
            const bool ok = Send(f);
            av_frame_free(&f);
            if (!ok)
                return false;
        }
        return !last || Send(nullptr);
    }
    bool Send(AVFrame* f) {
        if (avcodec_send_frame(m_encoder.get(), f) < 0)
            return true;
        while (avcodec_receive_packet(m_encoder.get(), m_packet.get()) == 0) {
            av_packet_rescale_ts(m_packet.get(), m_encoder->time_base, m_out->time_base);
            m_packet->stream_index = m_out->index;
            if (!m_job->Write(m_packet.get()))
                return false;
        }
        return true;
    }

    CClipJob* m_job = nullptr;
    bool m_copy = true;
    AVStream* m_out = nullptr;
    AVStream* m_in = nullptr;
    int64_t m_fromMs = 0, m_toMs = 0, m_clipMs = 0;
    av::Codec m_encoder, m_decoder;
    av::Resample m_resample;
    av::Fifo m_fifo;
    av::Frame m_frame;
    av::Packet m_packet;
    int64_t m_samples = 0;
};

// The clip's bit rate: as many bits per pixel as the sources spend.
int64_t ClipBitRate(const AVStream* front, const AVStream* rear, const Rect& frontRect,
                    const Rect& rearRect) {
    auto share = [](const AVStream* s, const Rect& r) -> int64_t {
        if (!s || s->codecpar->bit_rate <= 0 || r.w == 0)
            return 0;
        const double area = static_cast<double>(s->codecpar->width) * s->codecpar->height;
        return static_cast<int64_t>(static_cast<double>(s->codecpar->bit_rate) * r.w * r.h / area);
    };
    return share(front, frontRect) + share(rear, rearRect);
}

} // namespace

ClipOutcome EncodeClip(CClipJob& job) {
    const ClipRequest& request = job.Request();
    const bool wantRear = request.layout != ClipLayout::Front;
    // The layout follows the first part's cameras.
    CPictureReader probe;
    if (std::string why = probe.Open(request.parts.front().frontPath); !why.empty())
        return job.Fail("cannot read the recording " + why);
    const AVCodecParameters* fp = probe.Stream()->codecpar;
    const int fw = Even(fp->width), fh = Even(fp->height);
    int rw = Even(fh * 16 / 9), rh = fh; // a rear of the usual shape when none is known
    AVStream* rearStream = nullptr;
    CPictureReader rearProbe;
    if (wantRear) {
        for (const ClipPart& part : request.parts) {
            if (!part.rearPath.empty() && rearProbe.Open(part.rearPath).empty()) {
                rearStream = rearProbe.Stream();
                rw = rearStream->codecpar->width;
                rh = rearStream->codecpar->height;
                break;
            }
        }
    }
    Rect frontRect{0, 0, fw, fh}, rearRect;
    int outW = fw, outH = fh;
    if (request.layout == ClipLayout::SideBySide) {
        rearRect = Rect{fw, 0, Even(rw * fh / std::max(1, rh)), fh};
        outW = fw + rearRect.w;
    } else if (request.layout == ClipLayout::RearInset) {
        const int w = Even(fw / 3), margin = Even(fh / 36);
        rearRect = Rect{Even(fw - w - margin), margin, w, Even(w * rh / std::max(1, rw))};
    }
    AVRational rate = probe.Stream()->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = probe.Stream()->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = AVRational{30, 1};

    const AVCodec* x264 = avcodec_find_encoder_by_name("libx264");
    if (!x264)
        return job.Fail("no H.264 encoder (libx264) in this system's libavcodec");
    av::Codec encoder(avcodec_alloc_context3(x264));
    encoder->width = outW;
    encoder->height = outH;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = av_inv_q(rate);
    encoder->framerate = rate;
    encoder->color_range = AVCOL_RANGE_MPEG;
    encoder->thread_count = 0;
    const int64_t bitRate = ClipBitRate(probe.Stream(), rearStream, frontRect, rearRect);
    if (job.Output()->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(encoder->priv_data, "preset", "veryfast", 0);
    if (bitRate > 0)
        encoder->bit_rate = bitRate;
    else
        av_opt_set(encoder->priv_data, "crf", "20", 0);
    if (int r = avcodec_open2(encoder.get(), x264, nullptr); r < 0)
        return job.Fail("cannot start the H.264 encoder: " + av::ErrorText(r));
    AVStream* outVideo = avformat_new_stream(job.Output(), nullptr);
    avcodec_parameters_from_context(outVideo->codecpar, encoder.get());
    outVideo->time_base = encoder->time_base;
    outVideo->avg_frame_rate = rate;

    std::optional<CSoundTrack> sound;
    const int probeAudio =
        av_find_best_stream(probe.Input(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (probeAudio >= 0) {
        sound.emplace();
        if (!sound->Setup(job, probe.Input()->streams[probeAudio]))
            return job.Fail("cannot keep the front camera's sound");
    }
    if (!job.Begin())
        return ClipOutcome::Failed;
    job.Result().width = outW;
    job.Result().height = outH;

    av::Packet packet(av_packet_alloc());
    auto drainEncoder = [&]() -> bool {
        while (avcodec_receive_packet(encoder.get(), packet.get()) == 0) {
            av_packet_rescale_ts(packet.get(), encoder->time_base, outVideo->time_base);
            packet->stream_index = outVideo->index;
            if (!job.Write(packet.get()))
                return false;
        }
        return true;
    };
    CClipOverlay overlay(fw, fh);
    CScaler frontScale, rearScale;
    int64_t frames = 0;
    const double frameMs = 1000.0 * rate.den / rate.num;
    for (const ClipPart& part : request.parts) {
        CPictureReader front;
        if (std::string why = front.Open(part.frontPath); !why.empty())
            return job.Fail("cannot read the recording " + why);
        CPictureReader rear;
        bool hasRear = wantRear && !part.rearPath.empty() && rear.Open(part.rearPath).empty();
        CClipReadings readings;
        if (request.overlay && !readings.Load(part.frontPath, part.meta))
            return job.Fail("cannot read the samples of " + part.frontPath);
        if (!front.Seek(part.fromMs) || (hasRear && !rear.Seek(part.fromMs)))
            return job.Fail("cannot read the recording " + part.frontPath);
        const int64_t clipMsAtStart = static_cast<int64_t>(static_cast<double>(frames) * frameMs);
        const int audio =
            av_find_best_stream(front.Input(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (sound && audio >= 0 &&
            !sound->BeginPart(front.Input()->streams[audio], part.fromMs, part.toMs, clipMsAtStart))
            return job.Fail("cannot keep the front camera's sound of " + part.frontPath);
        auto onPacket = [&](AVPacket* p) { return !sound || audio < 0 || sound->Take(p); };
        std::string error;
        AVFrame* rearFrame = nullptr; // the rear picture shown, and the one after it
        av::Frame rearShown(av_frame_alloc());
        bool rearHas = false;
        int64_t rearNextMs = 0;
        std::string rearError;
        if (hasRear)
            rearFrame = rear.Next(rearNextMs, rearError);
        int64_t firstMs = -1, lastMs = part.fromMs;
        for (;;) {
            if (job.Cancelled())
                return ClipOutcome::Cancelled;
            int64_t ms = 0;
            AVFrame* picture = front.Next(ms, error, onPacket);
            if (!error.empty())
                return error == "stopped" ? ClipOutcome::Failed : job.Fail(error);
            if (!picture || ms >= part.toMs)
                break;
            if (ms < part.fromMs)
                continue;
            if (firstMs < 0)
                firstMs = ms;
            lastMs = ms;
            while (rearFrame && rearNextMs <= ms) {
                av_frame_unref(rearShown.get());
                av_frame_ref(rearShown.get(), rearFrame);
                rearHas = true;
                rearFrame = rear.Next(rearNextMs, rearError);
            }
            av::Frame out(av_frame_alloc());
            out->width = outW;
            out->height = outH;
            out->format = AV_PIX_FMT_YUV420P;
            if (av_frame_get_buffer(out.get(), 0) < 0)
                return job.Fail("out of memory");
            if (!frontScale.Place(picture, out.get(), frontRect))
                return job.Fail("cannot lay out the pictures of " + part.frontPath);
            if (request.layout == ClipLayout::SideBySide && !rearHas)
                FillBlack(out.get(), rearRect);
            if (rearHas && rearRect.w > 0 && !rearScale.Place(rearShown.get(), out.get(), rearRect))
                return job.Fail("cannot lay out the pictures of " + part.rearPath);
            if (request.overlay)
                overlay.Blend(ClipOverlayLines(readings.At(ms), request.speedInKmh), out->data,
                              out->linesize);
            out->pts = frames++;
            if (int r = avcodec_send_frame(encoder.get(), out.get()); r < 0)
                return job.Fail("the H.264 encoder failed: " + av::ErrorText(r));
            if (!drainEncoder())
                return ClipOutcome::Failed;
            job.Report(clipMsAtStart + ms - part.fromMs);
        }
        // The sound up to the part's end follows its last picture.
        for (;;) {
            int64_t ms = 0;
            AVFrame* more = front.Next(ms, error, onPacket);
            if (!more || ms > part.toMs + 1000 || !error.empty())
                break;
        }
        if (!error.empty() && error != "stopped")
            return job.Fail(error);
        if (firstMs < 0)
            return job.Fail("the recording " + part.frontPath + " has no picture in the range");
        job.Result().ranges.push_back(ClipPartRange{part.fromMs, part.toMs});
        (void)lastMs;
    }
    if (avcodec_send_frame(encoder.get(), nullptr) < 0 || !drainEncoder())
        return job.Fail("the H.264 encoder failed");
    if (sound && !sound->Finish())
        return ClipOutcome::Failed;
    if (!job.Finish())
        return ClipOutcome::Failed;
    return ClipOutcome::Done;
}

} // namespace kolvex
