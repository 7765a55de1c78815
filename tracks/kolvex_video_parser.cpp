#include "tracks/kolvex_video_parser.h"

#include "tracks/gps_sample.h"
#include "tracks/track_math.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace kolvex {

namespace {

// A date that passes the checks but cannot be expressed as a start time
// ends the walk, as a failed read does.
class DateConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int64_t ConvertOrThrow(int year, int month, int day, int hour, int minute, int second) {
    int64_t epoch = 0;
    if (!LocalTimeToEpoch(year, month, day, hour, minute, second, epoch))
        throw DateConversionError(
            "the recording's date cannot be converted to a start time: " + std::to_string(year) +
            "-" + std::to_string(month) + "-" + std::to_string(day) + " lies before 1970");
    return epoch;
}

// The longest text date that is looked at; longer records are cut.
constexpr size_t kMaxTextDate = 63;
// The GPS block is read in pieces: the first sample alone (it is dated in
// the common case), then pieces that grow by a quarter each time, so that a
// block whose fix comes late costs few reads and little reading past the
// dated sample.
constexpr uint64_t kFirstGpsPieceSamples = 1;
constexpr uint64_t kSecondGpsPieceSamples = 32;
constexpr uint64_t kMaxGpsPieceSamples = 2048;

} // namespace

void CKolvexVideoParser::ResetState() {
    m_startTime = 0;
    m_durationSec = 0;
    m_durationMs = 0;
    m_gpsOffset = 0;
    m_gpsSize = 0;
    m_width = 0;
    m_height = 0;
    m_gsensorOffset = 0;
    m_gsensorSize = 0;
    m_fileLength = 0;
    m_gpsInfo = {};
    m_gsensorInfo = {};
    m_telemetry = {};
    m_bStartTimeKnown = false;
    m_cameraStartTime = 0;
    m_gpsStartMs = 0;
}

void CKolvexVideoParser::ApplyTextDate(uint64_t offset, uint32_t size) {
    char text[kMaxTextDate + 1] = {};
    size_t wanted = std::min<size_t>(size, kMaxTextDate);
    if (offset >= m_fileLength)
        wanted = 0;
    else
        wanted = static_cast<size_t>(std::min<uint64_t>(wanted, m_fileLength - offset));
    m_file.ReadAt(offset, text, wanted);

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(text, "%04d-%02d-%02d %02d:%02d:%02d", &year, &month, &day, &hour, &minute,
                &second);
    if (year >= 1900 && IsValidDateTime(month, day, hour, minute, second)) {
        m_startTime = ConvertOrThrow(year, month, day, hour, minute, second);
        m_bStartTimeKnown = true;
    } else {
        // A bad text date also withdraws a start time taken from GPS samples.
        m_bStartTimeKnown = false;
    }
}

void CKolvexVideoParser::ExamineGpsBlock(uint64_t offset, uint32_t size) {
    if (m_bStartTimeKnown)
        return; // later samples and blocks do not change the start time
    uint64_t count = size / kGpsSampleSize;
    const uint64_t inFile = offset < m_fileLength ? (m_fileLength - offset) / kGpsSampleSize : 0;
    count = std::min(count, inFile); // samples past the end of the file are not examined

    // The rate known at this point of the walk; a later "gpsa" does not count.
    const unsigned rate = m_gpsInfo[0] != 0 ? m_gpsInfo[0] : 1;
    std::vector<uint8_t> piece;
    uint64_t pieceSamples = kFirstGpsPieceSamples;
    uint64_t index = 0;
    while (index < count) {
        const uint64_t samples = std::min(pieceSamples, count - index);
        piece.resize(static_cast<size_t>(samples * kGpsSampleSize));
        const size_t got =
            m_file.ReadAt(offset + index * kGpsSampleSize, piece.data(), piece.size());
        const uint64_t whole = got / kGpsSampleSize;
        for (uint64_t k = 0; k < whole; ++k, ++index) {
            const uint8_t* s = piece.data() + k * kGpsSampleSize + gps_offset::kYear;
            if (s[0] == 0)
                continue;
            const int year = 2000 + s[0];
            if (!IsValidDateTime(s[1], s[2], s[3], s[4], s[5]))
                continue;
            const int64_t sampleTime = ConvertOrThrow(year, s[1], s[2], s[3], s[4], s[5]);
            m_startTime = sampleTime - static_cast<int64_t>(index / rate);
            m_bStartTimeKnown = true;
            return;
        }
        if (whole < samples)
            return; // the file ended early
        pieceSamples = std::clamp(pieceSamples + pieceSamples / 4, kSecondGpsPieceSamples,
                                  kMaxGpsPieceSamples);
    }
}

void CKolvexVideoParser::RecordGpsBlock(uint64_t offset, uint32_t size) {
    // The start time may still come from its first samples: that reads only
    // up to the dated sample, never the whole claim.
    ExamineGpsBlock(offset, size);
    if (size > kMaxCameraBlockSize)
        return;
    m_gpsOffset = offset;
    m_gpsSize = size;
}

void CKolvexVideoParser::RecordGSensorBlock(uint64_t offset, uint32_t size) {
    if (size > kMaxCameraBlockSize)
        return;
    m_gsensorOffset = offset;
    m_gsensorSize = size;
}

void CKolvexVideoParser::ReadInfoRecord(uint64_t offset, std::array<uint8_t, 4>& into) {
    std::array<uint8_t, 4> bytes{};
    m_file.ReadAt(offset, bytes.data(), bytes.size());
    into = bytes;
}

int32_t CKolvexFileParser::Fail(std::string reason) {
    m_failureReason = std::move(reason);
    return -1;
}

int32_t CKolvexFileParser::Parse(std::string path) {
    ResetState();
    m_failureReason.clear();
    if (!m_file.Open(path)) {
        const int error = errno;
        return Fail(error == EINVAL ? std::string("not a regular file")
                                    : "cannot open the file: " + std::string(std::strerror(error)));
    }
    if (m_pFileStatus)
        m_file.FillStatus(*m_pFileStatus);
    bool walked = false;
    try {
        walked = WalkFormat();
        if (walked)
            TakeOtherTelemetry(path);
    } catch (const std::exception& error) {
        m_file.Close();
        return Fail(error.what());
    }
    m_file.Close();
    if (!walked)
        return Fail(NotThisFormat());
    if (!m_bStartTimeKnown)
        m_startTime = 0;
    if (m_width == 0 || m_height == 0)
        return Fail(NoPictureSize());
    if (m_durationMs == 0)
        return Fail("no duration found");
    std::string reason;
    if (!FormatComplete(reason))
        return Fail(reason);
    if (m_pResult) {
        VideoMetaInfo& r = *m_pResult;
        r.gpsOffset = m_gpsOffset;
        r.gpsSize = m_gpsSize;
        r.gsensorOffset = m_gsensorOffset;
        r.gsensorSize = m_gsensorSize;
        r.width = m_width;
        r.height = m_height;
        r.startTime = m_startTime;
        r.durationSec = m_durationSec;
        r.durationMs = m_durationMs;
        r.fileLength = m_fileLength;
        r.gpsInfo = m_gpsInfo;
        r.gsensorInfo = m_gsensorInfo;
        r.telemetry = m_telemetry.format;
        r.telemetryOffset = m_telemetry.offset;
        r.telemetrySize = m_telemetry.size;
        r.cameraStartTime = m_cameraStartTime;
        r.gpsStartMs = m_gpsStartMs;
    }
    return 0;
}

void CKolvexFileParser::TakeOtherTelemetry(const std::string& path) {
    if (m_gpsSize != 0 || m_gsensorSize != 0) {
        m_telemetry = {}; // the camera's blocks win
        return;
    }
    const std::array<uint8_t, 4> none{};
    if (!m_bOtherTelemetrySought && !(m_bStartTimeKnown && m_startTime != 0) && m_gpsInfo == none &&
        m_gsensorInfo == none) {
        m_telemetry = {};
        return;
    }
    if (m_telemetry.format == TelemetryFormat::Camera)
        m_telemetry = FindSideFileTelemetry(path);
    if (m_telemetry.format == TelemetryFormat::Camera)
        return;
    const TelemetryStart start =
        ExamineTelemetry(m_file, path, m_telemetry, m_durationMs / 1000.0 + 1.0);
    if (!start.knownLayout) {
        m_telemetry.format = TelemetryFormat::FreeGpsUnknown;
        return;
    }
    m_gpsInfo = {static_cast<uint8_t>(ConvertedGpsRate(m_telemetry.format)), 0, 0, 0};
    if (start.hasAccel)
        m_gsensorInfo = {kConvertedGSensorRate, kConvertedGSensorScale, 0, 0};
    // A start known before the telemetry is the camera's own clock.
    m_gpsStartMs = start.gpsStartMs;
    if (m_bStartTimeKnown)
        m_cameraStartTime = m_startTime;
    if (!m_bStartTimeKnown && start.startTime != 0) {
        m_startTime = start.startTime;
        m_bStartTimeKnown = true;
    }
}

} // namespace kolvex
