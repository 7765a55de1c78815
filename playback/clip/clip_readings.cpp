#include "clip_readings.h"

#include "tracks/gps_sample.h"
#include "tracks/recording_blocks.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace kolvex {

bool CClipReadings::Load(const std::string& path, const VideoMetaInfo& meta) {
    m_meta = meta;
    m_gpsRate = GpsRate(meta);
    RecordingBlocks blocks;
    if (!ReadRecordingBlocks(path, meta, blocks))
        return false;
    m_gps = DecodeGpsBlock(LoadGpsBlock(blocks.gps.data(), blocks.gps.size()), meta);
    m_g = DecodeGSensorBlock(LoadGSensorBlock(blocks.gsensor.data(), blocks.gsensor.size()), meta);
    return true;
}

ClipReading CClipReadings::At(int64_t ms) const {
    ClipReading r;
    if (m_meta.startTime != 0)
        r.clockSec = m_meta.startTime + (ms < 0 ? 0 : ms / 1000);
    // The sample the speed read-out shows at this position.
    const int64_t i = ms * m_gpsRate / 1000;
    if (i >= 0 && i < static_cast<int64_t>(m_gps.size())) {
        const DecodedGpsSample& s = m_gps[static_cast<size_t>(i)];
        if (s.fixValid) {
            r.hasFix = true;
            r.speedKmh = s.speedKmh;
            r.headingDeg = s.headingDeg;
            r.hasPosition = s.plottable;
            if (s.plottable) {
                r.latitude = s.latitude;
                r.longitude = s.longitude;
            }
        }
    }
    // The last G-sensor sample at or before the moment.
    size_t lo = 0, hi = m_g.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_g[mid].timeMs <= ms)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > 0) {
        const DecodedGSensorSample& g = m_g[lo - 1];
        r.hasG = true;
        r.gx = g.x;
        r.gy = g.y;
        r.gz = g.z;
    }
    return r;
}

namespace {

// Decimals with a point whatever the process's locale (the window runs
// in the user's), so that a clip reads the same everywhere.
std::string Fixed(double value, int decimals, bool sign = false) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string s(text, end.ptr);
    if (sign && value >= 0)
        s.insert(0, "+");
    return s;
}

} // namespace

std::vector<std::string> ClipOverlayLines(const ClipReading& r, bool speedInKmh) {
    std::vector<std::string> lines;
    char text[160];
    if (r.clockSec != 0) {
        const std::time_t t = static_cast<std::time_t>(r.clockSec);
        std::tm fields{};
        // The start time holds the camera's clock fields as local time.
        localtime_r(&t, &fields);
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
        lines.emplace_back(text);
    } else {
        lines.emplace_back("----------  --:--:--");
    }
    const char* unit = speedInKmh ? "km/h" : "mph";
    if (r.hasFix) {
        const double speed = speedInKmh ? r.speedKmh : r.speedKmh / 1.609344;
        std::string place;
        if (r.hasPosition)
            place = "  " + Fixed(std::fabs(r.latitude), 5) + (r.latitude < 0 ? "S " : "N ") +
                    Fixed(std::fabs(r.longitude), 5) + (r.longitude < 0 ? "W" : "E");
        std::snprintf(text, sizeof text, "%d %s%s  %d\xC2\xB0",
                      static_cast<int>(std::lround(speed)), unit, place.c_str(), r.headingDeg);
    } else {
        std::snprintf(text, sizeof text, "-- %s  no GPS fix", unit);
    }
    lines.emplace_back(text);
    if (r.hasG) {
        lines.push_back("G  x " + Fixed(r.gx, 2, true) + "  y " + Fixed(r.gy, 2, true) + "  z " +
                        Fixed(r.gz, 2, true));
    }
    return lines;
}

} // namespace kolvex
