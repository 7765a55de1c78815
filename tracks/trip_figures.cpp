#include "tracks/trip_figures.h"

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

} // namespace

double HaversineMetres(double lat1, double lon1, double lat2, double lon2) {
    const double phi1 = lat1 * kRadiansPerDegree;
    const double phi2 = lat2 * kRadiansPerDegree;
    const double dPhi = (lat2 - lat1) * kRadiansPerDegree;
    const double dLambda = (lon2 - lon1) * kRadiansPerDegree;
    const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) + std::cos(phi1) * std::cos(phi2) *
                                                                   std::sin(dLambda / 2) *
                                                                   std::sin(dLambda / 2);
    return 2 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(a)));
}

TripFigures RecordingTripFigures(const std::vector<DecodedGpsSample>& gps,
                                 const VideoMetaInfo& meta, int64_t eventCount) {
    TripFigures figures;
    figures.durationMs = meta.durationMs;
    figures.eventCount = eventCount;
    const unsigned rate = GpsRate(meta);
    const DecodedGpsSample* previous = nullptr;
    int64_t movingSamples = 0;
    for (const DecodedGpsSample& fix : gps) {
        if (!fix.plottable)
            continue;
        figures.maxSpeedKmh = std::max(figures.maxSpeedKmh, static_cast<double>(fix.speedKmh));
        if (fix.speedKmh >= kMovingSpeedKmh)
            ++movingSamples;
        if (previous) {
            const double seconds = static_cast<double>(fix.index - previous->index) / rate;
            const double metres = HaversineMetres(previous->latitude, previous->longitude,
                                                  fix.latitude, fix.longitude);
            if (metres <= kMaxMetresPerSecond * seconds)
                figures.distanceM += metres;
        }
        previous = &fix;
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
