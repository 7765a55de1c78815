// The state a clip's writing passes between its steps: the request, the
// progress report, the cancel flag and the output file.
#pragma once

#include "av_handles.h"
#include "clip_request.h"

#include <chrono>
#include <string>

namespace kolvex {

enum class ClipOutcome { Done, Failed, Cancelled, NeedsEncoding };

class CClipJob {
public:
    CClipJob(const ClipRequest& request, const ClipProgressCallback& progress,
             const std::atomic<bool>* cancel);
    ~CClipJob();
    CClipJob(const CClipJob&) = delete;
    CClipJob& operator=(const CClipJob&) = delete;

    const ClipRequest& Request() const { return m_request; }
    bool Cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    // Reports that `doneMs` of the clip's length are written.
    void Report(int64_t doneMs);

    // The MP4 muxer on the temporary file; streams are added before Begin.
    bool OpenOutput(const std::string& path);
    AVFormatContext* Output() { return m_output; }
    bool Begin();
    bool Write(AVPacket* packet); // takes the packet's data
    bool Finish();
    void CloseOutput(); // drops an unfinished output

    ClipOutcome Fail(std::string why) {
        m_error = std::move(why);
        return ClipOutcome::Failed;
    }
    const std::string& Error() const { return m_error; }
    ClipResult& Result() { return m_result; }

private:
    bool FailAv(const char* what, int code);

    const ClipRequest& m_request;
    const ClipProgressCallback& m_progress;
    const std::atomic<bool>* m_cancel;
    int64_t m_totalMs = 0;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastReport;
    AVFormatContext* m_output = nullptr;
    bool m_headerWritten = false;
    std::string m_path;
    std::string m_error;
    ClipResult m_result;
};

// The two ways of writing a clip (clip_cut.cpp, clip_encode.cpp).
ClipOutcome CutClip(CClipJob& job);
ClipOutcome EncodeClip(CClipJob& job);

// Opens a recording for reading; "" or why not.
std::string OpenRecording(const std::string& path, av::Input& input);

} // namespace kolvex
