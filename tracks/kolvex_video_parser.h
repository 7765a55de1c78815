// The parsers of the camera's video files. One parser object parses one
// file:
//
//     VideoMetaInfo meta{};
//     CKolvex3gpParser parser;          // or CKolvexAviParser for ".AVI"
//     parser.SetResultRecord(&meta);
//     parser.SetFileStatus(&status);    // optional
//     if (parser.Parse(path) == 0) ...  // 0 success, -1 failure
//
// The result record is written only when the parse succeeds. The walk reads
// box and chunk headers, the camera's small records and the GPS block up to
// the sample that gives the start time; it never reads video data.
#pragma once

#include "tracks/file_status.h"
#include "tracks/media_file.h"
#include "tracks/telemetry_reader.h"
#include "tracks/video_meta_info.h"

#include <array>
#include <cstdint>
#include <string>

namespace kolvex {

class CKolvexVideoParser {
public:
    CKolvexVideoParser() = default;
    virtual ~CKolvexVideoParser() = default;
    CKolvexVideoParser(const CKolvexVideoParser&) = delete;
    CKolvexVideoParser& operator=(const CKolvexVideoParser&) = delete;

    // The base versions do nothing; Parse returns 0 without touching anything.
    virtual void SetResultRecord(VideoMetaInfo* result) { (void)result; }
    virtual int32_t Parse(std::string path) {
        (void)path;
        return 0;
    }
    virtual void SetFileStatus(FileStatus* status) { (void)status; }
    // Whether other cameras' telemetry is looked for in a file that carries
    // none of the camera's records (the default). A caller that keeps such a
    // file only for the camera's records need not pay for the search.
    void SetOtherTelemetrySought(bool sought) { m_bOtherTelemetrySought = sought; }

    // Reads made by the last Parse (for benchmarks and tests).
    const CMediaFile::Counters& IoCounters() const { return m_file.IoCounters(); }

protected:
    void ResetState();

    // The camera's records, shared by both formats. Each reads at most what
    // the file holds, however large the record claims to be.
    void ApplyTextDate(uint64_t offset, uint32_t size);   // "IDIT"
    void ExamineGpsBlock(uint64_t offset, uint32_t size); // "gps0"
    // Take a "gps0" or "gsen" block as the recording's, unless it claims
    // more than a camera writes: then it is no block (an earlier one stays),
    // though a GPS block may still date the recording.
    void RecordGpsBlock(uint64_t offset, uint32_t size);
    void RecordGSensorBlock(uint64_t offset, uint32_t size);
    void ReadInfoRecord(uint64_t offset, std::array<uint8_t, 4>& into); // "gpsa", "gsea"

    CMediaFile m_file;
    int64_t m_startTime = 0;
    int64_t m_durationSec = 0;
    uint32_t m_durationMs = 0;
    uint64_t m_gpsOffset = 0;
    uint32_t m_gpsSize = 0;
    uint16_t m_width = 0;
    uint16_t m_height = 0;
    uint64_t m_gsensorOffset = 0;
    uint32_t m_gsensorSize = 0;
    uint64_t m_fileLength = 0;
    std::array<uint8_t, 4> m_gpsInfo{};
    std::array<uint8_t, 4> m_gsensorInfo{};
    TelemetryLocation m_telemetry; // other telemetry found by the walk
    VideoMetaInfo* m_pResult = nullptr;
    FileStatus* m_pFileStatus = nullptr;
    bool m_bStartTimeKnown = false;
    bool m_bOtherTelemetrySought = true;
    int64_t m_cameraStartTime = 0; // VideoMetaInfo::cameraStartTime
    int64_t m_gpsStartMs = 0;      // VideoMetaInfo::gpsStartMs
};

// The frame both formats share: reset, open, report the status, walk, close,
// validate, and copy the result only on success.
class CKolvexFileParser : public CKolvexVideoParser {
public:
    void SetResultRecord(VideoMetaInfo* result) override { m_pResult = result; }
    void SetFileStatus(FileStatus* status) override { m_pFileStatus = status; }
    int32_t Parse(std::string path) override;

    // Why the last Parse failed, in one line for people ("" after success).
    const std::string& FailureReason() const { return m_failureReason; }

protected:
    // Checks the signature and walks the file; false when the signature is
    // missing. Read errors and unconvertible dates throw.
    virtual bool WalkFormat() = 0;
    // What a file without the format's signature is told.
    virtual const char* NotThisFormat() const = 0;
    // What a file without a picture size is told.
    virtual const char* NoPictureSize() const = 0;
    // What the format needs besides a picture size and a duration; sets
    // reason when it is missing.
    virtual bool FormatComplete(std::string& reason) const {
        (void)reason;
        return true;
    }

private:
    int32_t Fail(std::string reason);
    // A recording without camera blocks: its other telemetry (found by the
    // walk, else a side file) gives the rates and, failing a text date, the
    // start time.
    void TakeOtherTelemetry(const std::string& path);

    std::string m_failureReason;
};

} // namespace kolvex
