// What the camera recorded at a moment of a recording, as the clip's
// overlay shows it: the camera's clock, and the GPS and G-sensor samples
// the player's instruments would show at that position.
#pragma once

#include "tracks/sample_decoding.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kolvex {

struct ClipReading {
    int64_t clockSec = 0;     // the camera's clock (local time fields as epoch); 0 unknown
    bool hasFix = false;      // the sample is a valid fix: speed and heading
    bool hasPosition = false; // ... at a real position
    double latitude = 0, longitude = 0; // decimal degrees
    int speedKmh = 0;
    int headingDeg = 0;
    bool hasG = false;
    double gx = 0, gy = 0, gz = 0;
};

class CClipReadings {
public:
    // Reads the recording's samples; false when its file cannot be read.
    bool Load(const std::string& path, const VideoMetaInfo& meta);
    ClipReading At(int64_t ms) const;
    const std::vector<DecodedGpsSample>& Gps() const { return m_gps; }

private:
    VideoMetaInfo m_meta{};
    unsigned m_gpsRate = 1;
    std::vector<DecodedGpsSample> m_gps;
    std::vector<DecodedGSensorSample> m_g;
};

// The overlay's lines for a reading: the date and time, then speed,
// position and heading, then the G-force on the camera's three axes.
std::vector<std::string> ClipOverlayLines(const ClipReading& reading, bool speedInKmh);

} // namespace kolvex
