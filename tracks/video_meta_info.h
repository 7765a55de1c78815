// What a parser reports for one recording: where the camera's GPS and
// G-sensor blocks lie, the picture size, the start time, the duration and
// the file length. A plain record owned by the caller.
#pragma once

#include "tracks/telemetry_format.h"

#include <array>
#include <cstdint>

namespace kolvex {

// The largest camera block that is read. An hour of 10 Hz GPS is about
// 1.2 MB (36,000 samples of 32 bytes) and an hour of 100 Hz G-sensor about
// 1.1 MB, so 32 MiB leaves room for recordings of many hours and faster
// sensors. A block that claims more is damage or a hostile file: reading it
// would allocate what it claims (up to 4 GiB in a file of that size), so it
// counts as no block, in the parsers and in every reader of the samples.
inline constexpr uint32_t kMaxCameraBlockSize = 32u << 20;

inline bool IsReadableBlockSize(uint64_t size) {
    return size != 0 && size <= kMaxCameraBlockSize;
}

struct VideoMetaInfo {
    uint64_t gpsOffset = 0;     // file offset of the first byte of the GPS block
    uint32_t gpsSize = 0;       // length of the GPS block (32-byte samples)
    uint64_t gsensorOffset = 0; // file offset of the first byte of the G-sensor block
    uint32_t gsensorSize = 0;   // length of the G-sensor block (3-byte samples)
    uint16_t width = 0;         // picture width in pixels
    uint16_t height = 0;        // picture height in pixels
    int64_t startTime = 0;      // seconds since 1970 UTC from local-time fields; 0 = unknown
    int64_t durationSec = 0;    // durationMs / 1000
    uint32_t durationMs = 0;    // duration in milliseconds
    uint64_t fileLength = 0;    // length of the file in bytes
    // The four data bytes of the camera's information records, as stored.
    // gpsInfo[0]: GPS samples per second (0 counts as 1).
    std::array<uint8_t, 4> gpsInfo{};
    // gsensorInfo[0]: G-sensor samples per second (0 = not given);
    // gsensorInfo[1]: raw scale, G per 128 raw units.
    std::array<uint8_t, 4> gsensorInfo{};
    // Where the telemetry of a recording without camera blocks lies: a
    // track's "trak" payload, a "gps " index payload, or (offset 0) the
    // length of its NMEA side file. For such recordings the block fields
    // above stay 0, and gpsInfo and gsensorInfo give the rates and the
    // scale at which the telemetry is laid out as blocks when it is read.
    TelemetryFormat telemetry = TelemetryFormat::Camera;
    uint64_t telemetryOffset = 0;
    uint64_t telemetrySize = 0;
    // The camera's clock against GPS time (camera_clock.h). The camera's
    // own start time as startTime keeps it (local calendar fields), when
    // one is known apart from GPS: its text date, or what the library
    // takes from another camera's name or file; 0 = none.
    int64_t cameraStartTime = 0;
    // When the recording started by the GPS time of its telemetry: UTC,
    // milliseconds since 1970; 0 = no GPS time agreed on. The camera's own
    // samples hold local time, so only other cameras' telemetry gives it.
    int64_t gpsStartMs = 0;

    friend bool operator==(const VideoMetaInfo&, const VideoMetaInfo&) = default;
};

} // namespace kolvex
