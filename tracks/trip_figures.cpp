#include "tracks/trip_figures.h"

#include "tracks/sample_decoding.h"
#include "tracks/track_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kolvex {

namespace {

constexpr double kEarthRadiusM = 6371000.0; // mean radius
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

double AverageKmh(double distanceM, int64_t movingMs) {
    return movingMs > 0 ? distanceM / (static_cast<double>(movingMs) / 1000.0) * 3.6 : 0.0;
}

// A position with the cosine of its latitude, which each of the two
// distances it takes part in needs.
struct Point {
    double phi = 0;    // latitude, radians
    double lambda = 0; // longitude, radians
    double cosPhi = 1;
};

Point PointAt(double latitude, double longitude) {
    const double phi = latitude * kRadiansPerDegree;
    return {phi, longitude * kRadiansPerDegree, std::cos(phi)};
}

double Haversine(const Point& a, const Point& b) {
    const double sinHalfDPhi = std::sin((b.phi - a.phi) / 2);
    const double sinHalfDLambda = std::sin((b.lambda - a.lambda) / 2);
    const double h =
        sinHalfDPhi * sinHalfDPhi + a.cosPhi * b.cosPhi * sinHalfDLambda * sinHalfDLambda;
    return 2 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
}

} // namespace

double HaversineMetres(double lat1, double lon1, double lat2, double lon2) {
    return Haversine(PointAt(lat1, lon1), PointAt(lat2, lon2));
}

TripFigures RecordingTripFigures(const std::vector<GpsSample>& gps, const VideoMetaInfo& meta,
                                 int64_t eventCount) {
    TripFigures figures;
    figures.durationMs = meta.durationMs;
    figures.eventCount = eventCount;
    const unsigned rate = GpsRate(meta);
    Point previous;
    size_t previousIndex = 0;
    bool havePrevious = false;
    int64_t movingSamples = 0;
    for (size_t i = 0; i < gps.size(); ++i) {
        const GpsSample& fix = gps[i];
        if (!IsPlottable(fix))
            continue;
        figures.maxSpeedKmh = std::max(figures.maxSpeedKmh, static_cast<double>(fix.speed));
        if (fix.speed >= kMovingSpeedKmh)
            ++movingSamples;
        const Point here =
            PointAt(DdmmToDegrees(fix.latitude / 100), DdmmToDegrees(fix.longitude / 100));
        if (havePrevious) {
            const double seconds = static_cast<double>(i - previousIndex) / rate;
            const double metres = Haversine(previous, here);
            if (metres <= kMaxMetresPerSecond * seconds)
                figures.distanceM += metres;
        }
        previous = here;
        previousIndex = i;
        havePrevious = true;
    }
    figures.movingMs = movingSamples * 1000 / rate;
    // A GPS block longer than the recording cannot make it move for longer
    // than it lasts.
    if (meta.durationMs > 0)
        figures.movingMs = std::min<int64_t>(figures.movingMs, meta.durationMs);
    figures.averageSpeedKmh = AverageKmh(figures.distanceM, figures.movingMs);
    return figures;
}

void AddTripFigures(TripFigures& total, const TripFigures& part) {
    total.distanceM += part.distanceM;
    total.durationMs += part.durationMs;
    total.movingMs += part.movingMs;
    total.maxSpeedKmh = std::max(total.maxSpeedKmh, part.maxSpeedKmh);
    total.eventCount += part.eventCount;
    total.averageSpeedKmh = AverageKmh(total.distanceM, total.movingMs);
}

} // namespace kolvex
