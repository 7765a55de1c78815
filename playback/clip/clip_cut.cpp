// A clip without re-encoding: the front camera's packets copied from the
// key frame at or before the range's start to the key frame at or after
// its end, their times moved so that the parts follow one another.
#include "clip_job.h"

#include <cstring>

namespace kolvex {

namespace {

// The time of the key frame at or before (backward) or at or after `ts`
// from the demuxer's index; `fallback` when there is none.
int64_t KeyFrameTime(AVStream* stream, int64_t ts, bool backward, int64_t fallback) {
    const int flags = backward ? AVSEEK_FLAG_BACKWARD : 0;
    const AVIndexEntry* entry = avformat_index_get_entry_from_timestamp(stream, ts, flags);
    return entry ? entry->timestamp : fallback;
}

bool SameParameters(const AVCodecParameters* a, const AVCodecParameters* b) {
    if (a->codec_id != b->codec_id || a->width != b->width || a->height != b->height ||
        a->sample_rate != b->sample_rate || a->extradata_size != b->extradata_size)
        return false;
    return a->extradata_size == 0 ||
           std::memcmp(a->extradata, b->extradata, static_cast<size_t>(a->extradata_size)) == 0;
}

} // namespace

ClipOutcome CutClip(CClipJob& job) {
    const ClipRequest& request = job.Request();
    AVStream* outVideo = nullptr;
    AVStream* outAudio = nullptr;
    AVCodecParameters* firstVideo = avcodec_parameters_alloc();
    AVCodecParameters* firstAudio = avcodec_parameters_alloc();
    struct ParametersFree {
        AVCodecParameters** p;
        ~ParametersFree() { avcodec_parameters_free(p); }
    } freeVideo{&firstVideo}, freeAudio{&firstAudio};
    int64_t offsetUs = 0; // where the part begins in the clip
    av::Packet packet(av_packet_alloc());
    for (size_t n = 0; n < request.parts.size(); ++n) {
        const ClipPart& part = request.parts[n];
        av::Input input;
        if (std::string why = OpenRecording(part.frontPath, input); !why.empty())
            return job.Fail("cannot read the recording " + why);
        const int v = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (v < 0)
            return job.Fail("the recording " + part.frontPath + " has no picture");
        const int a = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, v, nullptr, 0);
        AVStream* inV = input->streams[v];
        AVStream* inA = a >= 0 ? input->streams[a] : nullptr;
        if (n == 0) {
            // MP4 cannot hold every camera's sound as it is (PCM in AVI):
            // such a clip is encoded, which turns the sound into AAC.
            if (avformat_query_codec(job.Output()->oformat, inV->codecpar->codec_id,
                                     FF_COMPLIANCE_NORMAL) != 1 ||
                (inA && avformat_query_codec(job.Output()->oformat, inA->codecpar->codec_id,
                                             FF_COMPLIANCE_NORMAL) != 1) ||
                inV->codecpar->extradata_size == 0)
                return ClipOutcome::NeedsEncoding;
            avcodec_parameters_copy(firstVideo, inV->codecpar);
            outVideo = avformat_new_stream(job.Output(), nullptr);
            avcodec_parameters_copy(outVideo->codecpar, inV->codecpar);
            outVideo->codecpar->codec_tag = 0;
            outVideo->time_base = inV->time_base;
            outVideo->avg_frame_rate = inV->avg_frame_rate;
            if (inA) {
                avcodec_parameters_copy(firstAudio, inA->codecpar);
                outAudio = avformat_new_stream(job.Output(), nullptr);
                avcodec_parameters_copy(outAudio->codecpar, inA->codecpar);
                outAudio->codecpar->codec_tag = 0;
                outAudio->time_base = inA->time_base;
            }
            if (!job.Begin())
                return ClipOutcome::Failed;
        } else if (!SameParameters(firstVideo, inV->codecpar) ||
                   (outAudio != nullptr) != (inA != nullptr) ||
                   (inA && !SameParameters(firstAudio, inA->codecpar))) {
            // Recordings the camera wrote differently cannot be joined as
            // they are.
            return ClipOutcome::NeedsEncoding;
        }
        const AVRational ms{1, 1000};
        const int64_t wantFrom = av_rescale_q(part.fromMs, ms, inV->time_base);
        const int64_t wantTo = av_rescale_q(part.toMs, ms, inV->time_base);
        const int64_t streamEnd =
            inV->duration != AV_NOPTS_VALUE
                ? inV->duration
                : av_rescale_q(input->duration, AVRational{1, AV_TIME_BASE}, inV->time_base);
        const int64_t from = KeyFrameTime(inV, wantFrom, true, 0);
        int64_t to = KeyFrameTime(inV, wantTo, false, streamEnd);
        if (to <= from || to > streamEnd)
            to = streamEnd;
        if (av_seek_frame(input.get(), v, from, AVSEEK_FLAG_BACKWARD) < 0)
            return job.Fail("cannot read the recording " + part.frontPath);
        const int64_t fromUs = av_rescale_q(from, inV->time_base, AVRational{1, AV_TIME_BASE});
        const int64_t toUs = av_rescale_q(to, inV->time_base, AVRational{1, AV_TIME_BASE});
        for (;;) {
            if (job.Cancelled())
                return ClipOutcome::Cancelled;
            const int r = av_read_frame(input.get(), packet.get());
            if (r == AVERROR_EOF)
                break;
            if (r < 0)
                return job.Fail("cannot read the recording " + part.frontPath + ": " +
                                av::ErrorText(r));
            AVStream* in = input->streams[packet->stream_index];
            AVStream* out = packet->stream_index == v            ? outVideo
                            : (inA && packet->stream_index == a) ? outAudio
                                                                 : nullptr;
            const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (!out || ts == AV_NOPTS_VALUE) {
                av_packet_unref(packet.get());
                continue;
            }
            const int64_t us = av_rescale_q(ts, in->time_base, AVRational{1, AV_TIME_BASE});
            if (packet->stream_index == v && ts >= to)
                break;
            const int64_t endUs =
                av_rescale_q(ts + packet->duration, in->time_base, AVRational{1, AV_TIME_BASE});
            if (us < fromUs || us >= toUs || (out == outAudio && endUs > toUs)) {
                av_packet_unref(packet.get());
                continue;
            }
            const int64_t shift =
                av_rescale_q(offsetUs - fromUs, AVRational{1, AV_TIME_BASE}, in->time_base);
            if (packet->pts != AV_NOPTS_VALUE)
                packet->pts += shift;
            if (packet->dts != AV_NOPTS_VALUE)
                packet->dts += shift;
            av_packet_rescale_ts(packet.get(), in->time_base, out->time_base);
            packet->stream_index = out->index;
            packet->pos = -1;
            if (!job.Write(packet.get()))
                return ClipOutcome::Failed;
            if (out == outVideo)
                job.Report((offsetUs + us - fromUs) / 1000);
        }
        job.Result().ranges.push_back(ClipPartRange{fromUs / 1000, toUs / 1000});
        offsetUs += toUs - fromUs;
        if (n == 0) {
            job.Result().width = inV->codecpar->width;
            job.Result().height = inV->codecpar->height;
        }
    }
    if (!job.Finish())
        return ClipOutcome::Failed;
    job.Result().streamCopied = true;
    return ClipOutcome::Done;
}

} // namespace kolvex
