#include "clip_job.h"

namespace kolvex {

CClipJob::CClipJob(const ClipRequest& request, const ClipProgressCallback& progress,
                   const std::atomic<bool>* cancel)
    : m_request(request), m_progress(progress), m_cancel(cancel),
      m_start(std::chrono::steady_clock::now()), m_lastReport(m_start) {
    for (const ClipPart& part : request.parts)
        m_totalMs += part.toMs - part.fromMs;
}

CClipJob::~CClipJob() {
    CloseOutput();
}

void CClipJob::Report(int64_t doneMs) {
    if (!m_progress || m_totalMs <= 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    const bool last = doneMs >= m_totalMs;
    // A few reports a second are enough for a progress bar.
    if (!last && now - m_lastReport < std::chrono::milliseconds(100))
        return;
    m_lastReport = now;
    ClipProgress p;
    p.fraction = std::min(1.0, static_cast<double>(doneMs) / static_cast<double>(m_totalMs));
    const double elapsed = std::chrono::duration<double>(now - m_start).count();
    if (p.fraction > 0.02 && elapsed > 0.5)
        p.secondsLeft = elapsed * (1 - p.fraction) / p.fraction;
    m_progress(p);
}

bool CClipJob::FailAv(const char* what, int code) {
    m_error = std::string(what) + ": " + av::ErrorText(code);
    return false;
}

bool CClipJob::OpenOutput(const std::string& path) {
    m_path = path;
    const int r = avformat_alloc_output_context2(&m_output, nullptr, "mp4", path.c_str());
    if (r < 0 || !m_output)
        return FailAv("cannot make an MP4 file", r);
    return true;
}

bool CClipJob::Begin() {
    int r = avio_open(&m_output->pb, m_path.c_str(), AVIO_FLAG_WRITE);
    if (r < 0)
        return FailAv("cannot write the clip", r);
    r = avformat_write_header(m_output, nullptr);
    if (r < 0)
        return FailAv("cannot write the clip", r);
    m_headerWritten = true;
    return true;
}

bool CClipJob::Write(AVPacket* packet) {
    const int r = av_interleaved_write_frame(m_output, packet);
    if (r < 0)
        return FailAv("cannot write the clip", r);
    if (m_output->pb && m_output->pb->error < 0)
        return FailAv("cannot write the clip", m_output->pb->error);
    return true;
}

bool CClipJob::Finish() {
    int r = av_write_trailer(m_output);
    if (r < 0)
        return FailAv("cannot write the clip", r);
    avio_flush(m_output->pb);
    if (m_output->pb->error < 0)
        return FailAv("cannot write the clip", m_output->pb->error);
    r = avio_closep(&m_output->pb);
    if (r < 0)
        return FailAv("cannot write the clip", r);
    avformat_free_context(m_output);
    m_output = nullptr;
    return true;
}

void CClipJob::CloseOutput() {
    if (!m_output)
        return;
    if (m_output->pb)
        avio_closep(&m_output->pb);
    avformat_free_context(m_output);
    m_output = nullptr;
}

std::string OpenRecording(const std::string& path, av::Input& input) {
    AVFormatContext* context = nullptr;
    int r = avformat_open_input(&context, path.c_str(), nullptr, nullptr);
    if (r < 0)
        return path + ": " + av::ErrorText(r);
    input.reset(context);
    r = avformat_find_stream_info(context, nullptr);
    if (r < 0)
        return path + ": " + av::ErrorText(r);
    return {};
}

} // namespace kolvex
