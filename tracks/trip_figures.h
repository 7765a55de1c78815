// What a recording, a group or a whole card amounts to as a trip: how far
// the car went, for how long, how much of it moving, how fast, and how many
// driving events it had.
#pragma once

#include "tracks/gps_sample.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <vector>

namespace kolvex {

// Below this GPS speed the car counts as standing: a receiver at rest
// reports a few km/h of drift.
inline constexpr unsigned kMovingSpeedKmh = 3;
// Consecutive fixes further apart than this per second between them are a
// fix that jumped, not a drive: at 1 s, more than 100 m (360 km/h).
inline constexpr double kMaxMetresPerSecond = 100;

struct TripFigures {
    double distanceM = 0;       // along the valid fixes, jumps left out
    int64_t durationMs = 0;     // the recordings' own durations
    int64_t movingMs = 0;       // time of the fixes at kMovingSpeedKmh or more
    double maxSpeedKmh = 0;     // over the valid fixes
    double averageSpeedKmh = 0; // distance over moving time; 0 without moving time
    int64_t eventCount = 0;
};

// Great-circle distance between two points in decimal degrees, in metres
// (haversine on the mean earth radius).
double HaversineMetres(double lat1, double lon1, double lat2, double lon2);

// The figures of one recording from its GPS samples, its duration and the
// number of its events. Only plottable fixes count;
// the distance from one fix to the next valid one counts unless it is more
// than kMaxMetresPerSecond for each second between them.
TripFigures RecordingTripFigures(const std::vector<GpsSample>& gps, const VideoMetaInfo& meta,
                                 int64_t eventCount);

// Adds a recording's (or a group's) figures to a total: sums, the larger
// maximum, and the average over the summed distance and moving time.
void AddTripFigures(TripFigures& total, const TripFigures& part);

} // namespace kolvex
