// Which kind of telemetry a recording carries. The camera's own blocks are
// the default; the other kinds are read from a track, from boxes indexed in
// "moov", or from a text file beside the recording, and turned into blocks
// of the camera's sample layout when they are read.
#pragma once

#include <cstdint>

namespace kolvex {

enum class TelemetryFormat : uint8_t {
    Camera = 0,     // the camera's "gps0"/"gsen" blocks (or none)
    Gpmf = 1,       // KLV telemetry in a track whose sample entry is "gpmd"
    Camm = 2,       // camera-motion packets in a track whose sample entry is "camm"
    FreeGps = 3,    // "free" boxes beginning with "freeGPS", indexed by "gps " in "moov"
    FreeGpsUnknown, // such boxes in a layout no reader here knows: no GPS
    Nmea = 5,       // an NMEA 0183 text file beside the recording
};

// The name probe prints ("" for the camera's blocks, which print none).
const char* TelemetryFormatName(TelemetryFormat format);

} // namespace kolvex
