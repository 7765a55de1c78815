#include "tracks/freegps_reader.h"

#include "tracks/track_math.h"
#include "tracks/utc_time.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace kolvex {

namespace {

constexpr size_t kFieldsAt = 48;
constexpr size_t kKnownSize = kFieldsAt + 6 * 4 + 4 + 4 * 4;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

uint32_t LE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint32_t BE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

struct Fields {
    uint32_t hour, minute, second, year, month, day;
    char status, northSouth, eastWest;
    float latitude, longitude, knots, bearing;
};

Fields Load(const uint8_t* box) {
    const uint8_t* p = box + kFieldsAt;
    Fields f{};
    f.hour = LE32(p);
    f.minute = LE32(p + 4);
    f.second = LE32(p + 8);
    f.year = LE32(p + 12);
    f.month = LE32(p + 16);
    f.day = LE32(p + 20);
    f.status = static_cast<char>(p[24]);
    f.northSouth = static_cast<char>(p[25]);
    f.eastWest = static_cast<char>(p[26]);
    f.latitude = std::bit_cast<float>(LE32(p + 28));
    f.longitude = std::bit_cast<float>(LE32(p + 32));
    f.knots = std::bit_cast<float>(LE32(p + 36));
    f.bearing = std::bit_cast<float>(LE32(p + 40));
    return f;
}

int FullYear(uint32_t year) {
    return year < 100 ? 2000 + static_cast<int>(year) : static_cast<int>(year);
}

// ddmm.mmmm to decimal degrees; NaN when the minutes are 60 or more.
double NmeaDegrees(double value) {
    if (!std::isfinite(value) || value < 0)
        return NAN;
    const double degrees = std::floor(value / 100);
    const double minutes = value - degrees * 100;
    return minutes < 60 ? degrees + minutes / 60 : NAN;
}

} // namespace

FreeGpsLayout IdentifyFreeGpsBox(const uint8_t* box, size_t size) {
    if (!box || size < 12 || std::memcmp(box + 4, "freeGPS", 7) != 0)
        return FreeGpsLayout::NotFreeGps;
    if (size < kKnownSize)
        return FreeGpsLayout::Unknown;
    const Fields f = Load(box);
    const bool known =
        f.hour <= 23 && f.minute <= 59 && f.second <= 60 &&
        (f.year < 100 || (f.year >= 2000 && f.year <= 2255)) &&
        IsExistingDate(FullYear(f.year), static_cast<int>(f.month), static_cast<int>(f.day)) &&
        (f.status == 'A' || f.status == 'V') && (f.northSouth == 'N' || f.northSouth == 'S') &&
        (f.eastWest == 'E' || f.eastWest == 'W');
    // A receiver without a fix may leave the letters and the date empty.
    const bool emptyNoFix = f.status == 'V' || (f.status == 0 && f.northSouth == 0);
    return known || (emptyNoFix && f.hour <= 23) ? FreeGpsLayout::Known : FreeGpsLayout::Unknown;
}

std::optional<TelemetryFix> ReadFreeGpsBox(const uint8_t* box, size_t size, double timeSec) {
    if (IdentifyFreeGpsBox(box, size) != FreeGpsLayout::Known)
        return std::nullopt;
    const Fields f = Load(box);
    TelemetryFix fix;
    fix.timeSec = timeSec;
    fix.fix = f.status == 'A';
    if (!fix.fix)
        return fix;
    fix.latitude = NmeaDegrees(f.latitude) * (f.northSouth == 'S' ? -1 : 1);
    fix.longitude = NmeaDegrees(f.longitude) * (f.eastWest == 'W' ? -1 : 1);
    if (!(std::fabs(fix.latitude) <= 90) || !(std::fabs(fix.longitude) <= 180) ||
        !std::isfinite(f.knots) || f.knots < 0 || f.knots > 2000)
        return std::nullopt;
    fix.speedMps = f.knots * kMetresPerSecondPerKnot;
    if (std::isfinite(f.bearing) && f.bearing >= 0 && f.bearing <= 360)
        fix.headingDeg = f.bearing;
    fix.utcMs = UtcMs(FullYear(f.year), static_cast<int>(f.month), static_cast<int>(f.day),
                      static_cast<int>(f.hour), static_cast<int>(f.minute),
                      std::min<uint32_t>(f.second, 59));
    return fix;
}

std::vector<std::pair<uint64_t, uint32_t>> ReadFreeGpsIndex(const uint8_t* payload, size_t size,
                                                            size_t maxEntries) {
    std::vector<std::pair<uint64_t, uint32_t>> entries;
    if (!payload || size < 8)
        return entries;
    for (size_t p = 8; size - p >= 8 && entries.size() < maxEntries; p += 8) {
        const uint32_t position = BE32(payload + p);
        const uint32_t length = BE32(payload + p + 4);
        if (position != 0 && length != 0)
            entries.emplace_back(position, length);
    }
    return entries;
}

} // namespace kolvex
