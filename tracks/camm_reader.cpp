#include "tracks/camm_reader.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace kolvex {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Seconds from 1970-01-01 to the GPS epoch, 1980-01-06.
constexpr int64_t kGpsEpochUnix = 315964800;
// Below this speed (m/s) the velocity's direction is noise.
constexpr double kMinHeadingSpeed = 0.5;
// Type 5 fixes are marked by a negative speed until DeriveCammSpeeds.
constexpr double kSpeedToDerive = -1;

uint32_t LE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint64_t LE64(const uint8_t* p) {
    return LE32(p) | (uint64_t{LE32(p + 4)} << 32);
}
float Float(const uint8_t* p) {
    return std::bit_cast<float>(LE32(p));
}
double Double(const uint8_t* p) {
    return std::bit_cast<double>(LE64(p));
}

// GPS time runs ahead of UTC by the leap seconds since 1980.
int LeapSecondsAt(double gpsSeconds) {
    const double unix = gpsSeconds + kGpsEpochUnix;
    if (unix >= 1483228800) // 2017-01-01
        return 18;
    if (unix >= 1435708800) // 2015-07-01
        return 17;
    if (unix >= 1341100800) // 2012-07-01
        return 16;
    return 15;
}

bool PlausiblePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

double DistanceM(const TelemetryFix& a, const TelemetryFix& b) {
    const double r = kPi / 180;
    const double dLat = (b.latitude - a.latitude) * r;
    const double dLon = (b.longitude - a.longitude) * r;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(a.latitude * r) * std::cos(b.latitude * r) * std::sin(dLon / 2) *
                         std::sin(dLon / 2);
    return 2 * 6371000.0 * std::asin(std::sqrt(std::fmin(1.0, h)));
}

} // namespace

void ReadCammPacket(const uint8_t* data, size_t size, double timeSec, TelemetryTrack& out) {
    if (!data || size < 4 || !std::isfinite(timeSec))
        return;
    const unsigned type = data[2] | (data[3] << 8);
    const uint8_t* d = data + 4;
    const size_t n = size - 4;
    if (type == 3 && n >= 12) {
        TelemetryAccel a{timeSec, Float(d) / kStandardGravity, Float(d + 4) / kStandardGravity,
                         Float(d + 8) / kStandardGravity};
        if (std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z))
            out.accels.push_back(a);
    } else if (type == 5 && n >= 24) {
        TelemetryFix f;
        f.timeSec = timeSec;
        f.latitude = Double(d);
        f.longitude = Double(d + 8);
        f.altitude = Double(d + 16);
        f.speedMps = kSpeedToDerive;
        f.fix = true;
        if (PlausiblePosition(f.latitude, f.longitude) && std::isfinite(f.altitude))
            out.fixes.push_back(f);
    } else if (type == 6 && n >= 56) {
        const double gpsTime = Double(d);
        const int32_t fixType = static_cast<int32_t>(LE32(d + 8));
        TelemetryFix f;
        f.timeSec = timeSec;
        f.latitude = Double(d + 12);
        f.longitude = Double(d + 20);
        f.altitude = Float(d + 28);
        const double east = Float(d + 40), north = Float(d + 44);
        if (!PlausiblePosition(f.latitude, f.longitude) || !std::isfinite(east) ||
            !std::isfinite(north))
            return;
        f.speedMps = std::hypot(east, north);
        if (f.speedMps >= kMinHeadingSpeed) {
            const double heading = std::atan2(east, north) * 180 / kPi;
            f.headingDeg = heading < 0 ? heading + 360 : heading;
        }
        f.fix = fixType >= 2;
        // Times before 2000 or absurdly far ahead are no time.
        if (std::isfinite(gpsTime) && gpsTime > 630720000.0 && gpsTime < 4e9)
            f.utcMs = std::llround((gpsTime + kGpsEpochUnix - LeapSecondsAt(gpsTime)) * 1000);
        out.fixes.push_back(f);
    }
}

void DeriveCammSpeeds(TelemetryTrack& track) {
    const TelemetryFix* previous = nullptr;
    for (TelemetryFix& f : track.fixes) {
        if (f.speedMps == kSpeedToDerive) {
            f.speedMps = 0;
            if (previous && f.timeSec > previous->timeSec)
                f.speedMps = DistanceM(*previous, f) / (f.timeSec - previous->timeSec);
        }
        previous = &f;
    }
}

} // namespace kolvex
