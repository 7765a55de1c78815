#include "tracks/telemetry_blocks.h"

#include "tracks/gps_sample.h"
#include "tracks/video_meta_info.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace kolvex {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusM = 6371000.0;
// Below this distance two positions are the same place: a heading taken
// from them would be noise.
constexpr double kMinHeadingStepM = 2.0;

// Decimal degrees as the camera stores them: degrees * 100 + minutes.
double DegreesToDdmm(double degrees) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    const double stored = whole * 100.0 + (magnitude - whole) * 60.0;
    return degrees < 0 ? -stored : stored;
}

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

double DistanceM(const TelemetryFix& a, const TelemetryFix& b) {
    const double dLat = Radians(b.latitude - a.latitude);
    const double dLon = Radians(b.longitude - a.longitude);
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(Radians(a.latitude)) * std::cos(Radians(b.latitude)) *
                         std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusM * std::asin(std::sqrt(std::min(1.0, h)));
}

double BearingDeg(const TelemetryFix& from, const TelemetryFix& to) {
    const double lat1 = Radians(from.latitude), lat2 = Radians(to.latitude);
    const double dLon = Radians(to.longitude - from.longitude);
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x =
        std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    const double deg = std::atan2(y, x) * 180.0 / kPi;
    return deg < 0 ? deg + 360.0 : deg;
}

// Rounds half away from zero as std::lround does, inline: hundreds of
// thousands of samples are rounded per recording. v is well inside long's
// range, and v minus its whole part is exact.
long RoundHalfAway(double v) {
    long whole = static_cast<long>(v); // towards zero
    const double rest = v - static_cast<double>(whole);
    if (rest >= 0.5)
        ++whole;
    else if (rest <= -0.5)
        --whole;
    return whole;
}

template <typename T> T ClampRound(double v, double low, double high) {
    if (!std::isfinite(v))
        return T{};
    return static_cast<T>(RoundHalfAway(std::clamp(v, low, high)));
}

// The local time of a second since 1970, remembering the last one: the
// samples of one second ask for the same time many times over.
class LocalClock {
public:
    const std::tm* At(std::time_t seconds) {
        if (!m_asked || seconds != m_seconds) {
            m_asked = true;
            m_seconds = seconds;
            m_known = localtime_r(&seconds, &m_local) != nullptr;
        }
        return m_known ? &m_local : nullptr;
    }

private:
    bool m_asked = false;
    bool m_known = false;
    std::time_t m_seconds = 0;
    std::tm m_local{};
};

void SetDate(GpsSample& sample, int64_t utcMs, LocalClock& clock) {
    if (utcMs < 0)
        return;
    const std::tm* found = clock.At(static_cast<std::time_t>(utcMs / 1000));
    if (!found)
        return;
    const std::tm& local = *found;
    const int year = local.tm_year + 1900;
    if (year <= 2000 || year > 2255)
        return; // the year byte cannot say it: the sample carries no date
    sample.year = static_cast<uint8_t>(year - 2000);
    sample.month = static_cast<uint8_t>(local.tm_mon + 1);
    sample.day = static_cast<uint8_t>(local.tm_mday);
    sample.hour = static_cast<uint8_t>(local.tm_hour);
    sample.minute = static_cast<uint8_t>(local.tm_min);
    sample.second = static_cast<uint8_t>(std::min(local.tm_sec, 59)); // no leap second field
}

// Headings for fixes that carry none: the bearing from the last position
// that lies far enough behind; the previous heading while standing still.
std::vector<double> HeadingsOf(const std::vector<TelemetryFix>& fixes) {
    std::vector<double> headings(fixes.size(), 0.0);
    const TelemetryFix* anchor = nullptr;
    double last = 0.0;
    for (size_t i = 0; i < fixes.size(); ++i) {
        const TelemetryFix& f = fixes[i];
        // A fix far enough from the anchor gives a bearing and becomes it.
        const bool moved = f.fix && (!anchor || DistanceM(*anchor, f) >= kMinHeadingStepM);
        if (f.headingDeg >= 0 && std::isfinite(f.headingDeg)) {
            last = std::fmod(f.headingDeg, 360.0);
        } else if (anchor && moved) {
            last = BearingDeg(*anchor, f);
        }
        if (moved)
            anchor = &f;
        headings[i] = last;
    }
    return headings;
}

} // namespace

std::vector<uint8_t> GpsBlockFromFixes(const std::vector<TelemetryFix>& fixes, unsigned rate,
                                       uint32_t durationMs, double holdSec) {
    std::vector<uint8_t> block;
    if (fixes.empty() || rate == 0)
        return block;
    double span = durationMs / 1000.0;
    if (span <= 0)
        span = fixes.back().timeSec + 1.0 / rate;
    const uint64_t limit = kMaxCameraBlockSize / kGpsSampleSize;
    const uint64_t count =
        std::min<uint64_t>(limit, static_cast<uint64_t>(std::ceil(std::max(0.0, span) * rate)));
    const std::vector<double> headings = HeadingsOf(fixes);
    LocalClock clock;
    block.resize(static_cast<size_t>(count * kGpsSampleSize));
    size_t next = 0;                     // first fix later than the current sample's time
    const double tolerance = 0.5 / 1000; // fix times are rounded to milliseconds
    for (uint64_t k = 0; k < count; ++k) {
        const double t = static_cast<double>(k) / rate;
        while (next < fixes.size() && fixes[next].timeSec <= t + tolerance)
            ++next;
        GpsSample sample;
        if (next > 0 && t - fixes[next - 1].timeSec <= holdSec) {
            const TelemetryFix& f = fixes[next - 1];
            sample.latitude = DegreesToDdmm(f.latitude);
            sample.longitude = DegreesToDdmm(f.longitude);
            sample.altitude = ClampRound<int32_t>(f.altitude, -1e6, 1e6);
            sample.speed = ClampRound<uint16_t>(f.speedMps * 3.6, 0, 65535);
            sample.heading =
                static_cast<uint8_t>(ClampRound<int>(headings[next - 1] / 2, 0, 180) % 180);
            sample.flags = f.fix ? kGpsFixValid : 0;
            if (f.utcMs >= 0)
                SetDate(sample, f.utcMs + static_cast<int64_t>((t - f.timeSec) * 1000), clock);
        }
        StoreGpsSample(sample, block.data() + k * kGpsSampleSize);
    }
    return block;
}

uint64_t GSensorSampleCount(uint32_t durationMs, double lastTimeSec) {
    double span = durationMs / 1000.0;
    if (span <= 0)
        span = lastTimeSec;
    const uint64_t limit = kMaxCameraBlockSize / kGSensorSampleSize;
    return std::min<uint64_t>(
        limit, static_cast<uint64_t>(std::ceil(std::max(0.0, span) * kConvertedGSensorRate)));
}

GSensorBlockBuilder::GSensorBlockBuilder(uint64_t sampleCount) : m_count(sampleCount) {}

void GSensorBlockBuilder::Add(const TelemetryAccel& a) {
    if (!m_started) {
        m_started = true;
        // Before the first reading, the first reading (a jump from nothing
        // to gravity would read as a jolt).
        m_x = a.x;
        m_y = a.y;
        m_z = a.z;
        m_block.resize(static_cast<size_t>(m_count * kGSensorSampleSize));
    } else if (!(m_lastTimeSec <= a.timeSec)) {
        m_inOrder = false;
    }
    m_lastTimeSec = a.timeSec;
    // A reading at or after a sample's end closes that sample: it belongs
    // to a later one (or to none past the last).
    while (m_next < m_count && !(a.timeSec < m_nextEndSec))
        CloseSample();
    if (m_next >= m_count || !std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(a.z))
        return;
    m_sumX += a.x;
    m_sumY += a.y;
    m_sumZ += a.z;
    ++m_readings;
}

void GSensorBlockBuilder::CloseSample() {
    // The mean of the sample's readings; the last sample's where it has none.
    if (m_readings != 0) {
        m_x = m_sumX / static_cast<double>(m_readings);
        m_y = m_sumY / static_cast<double>(m_readings);
        m_z = m_sumZ / static_cast<double>(m_readings);
    }
    const double unitsPerG = 128.0 / kConvertedGSensorScale;
    uint8_t* out = m_block.data() + m_next * kGSensorSampleSize;
    out[0] = static_cast<uint8_t>(ClampRound<int8_t>(m_x * unitsPerG, -127, 127));
    out[1] = static_cast<uint8_t>(ClampRound<int8_t>(m_y * unitsPerG, -127, 127));
    out[2] = static_cast<uint8_t>(ClampRound<int8_t>(m_z * unitsPerG, -127, 127));
    ++m_next;
    m_nextEndSec = static_cast<double>(m_next + 1) / kConvertedGSensorRate;
    m_sumX = m_sumY = m_sumZ = 0;
    m_readings = 0;
}

std::vector<uint8_t> GSensorBlockBuilder::Finish() {
    if (m_started) {
        while (m_next < m_count)
            CloseSample();
    }
    return std::move(m_block);
}

std::vector<uint8_t> GSensorBlockFromAccels(const std::vector<TelemetryAccel>& accels,
                                            uint32_t durationMs) {
    if (accels.empty())
        return {};
    GSensorBlockBuilder builder(GSensorSampleCount(durationMs, accels.back().timeSec));
    for (const TelemetryAccel& a : accels)
        builder.Add(a);
    return builder.Finish();
}

} // namespace kolvex
