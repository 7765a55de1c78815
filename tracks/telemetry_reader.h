// Finds, examines and reads the telemetry of recordings that carry no
// camera blocks: a GPMF or CAMM track, freeGPS boxes, or an NMEA side file.
#pragma once

#include "tracks/media_file.h"
#include "tracks/telemetry_format.h"
#include "tracks/telemetry_track.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <string>

namespace kolvex {

struct TelemetryLocation {
    TelemetryFormat format = TelemetryFormat::Camera;
    uint64_t offset = 0; // the "trak" payload, the "gps " payload; 0 for a side file
    uint64_t size = 0;   // its length; the side file's length
};

// The telemetry that the children of "moov" point at: the first track whose
// sample entry is "gpmd" or "camm", else a "gps " index. Format Camera when
// there is none.
TelemetryLocation FindMp4Telemetry(CMediaFile& file, uint64_t moovPayload, uint64_t moovLength);

// The NMEA side file of a recording, format Camera when there is none.
TelemetryLocation FindSideFileTelemetry(const std::string& recordingPath);

// What the first seconds of the telemetry tell the parser.
struct TelemetryStart {
    int64_t startTime = 0; // seconds since 1970 UTC of the recording's start; 0 = unknown
    bool hasAccel = false;
    bool knownLayout = true; // false: freeGPS boxes of a layout not read here
    // UTC of the start as the examined fixes agree on it (camera_clock.h);
    // 0 = none. startTime then comes from the first fix that agrees.
    int64_t gpsStartMs = 0;
};

// Reads the beginning of the telemetry at location (file is the recording,
// open); fixes later than withinSec into the recording (when above 0) do
// not date it. Throws FileReadError as the parser's reads do.
TelemetryStart ExamineTelemetry(CMediaFile& file, const std::string& recordingPath,
                                const TelemetryLocation& location, double withinSec = 0);

class GSensorBlockBuilder;

// Everything the telemetry of a parsed recording holds, on the recording's
// clock. At most kMaxCameraBlockSize bytes of telemetry are read. False when
// the file (or its side file) cannot be read. With accels, the accelerations
// go to it as they are read instead of into out.
bool ReadTelemetry(const std::string& recordingPath, const VideoMetaInfo& meta, TelemetryTrack& out,
                   GSensorBlockBuilder* accels = nullptr);

// The GPS samples per second at which a format's fixes are laid out.
unsigned ConvertedGpsRate(TelemetryFormat format);

} // namespace kolvex
