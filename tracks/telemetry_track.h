// What the telemetry readers produce before it becomes the camera's sample
// layout: fixes and accelerations in SI units on the recording's clock.
#pragma once

#include <cstdint>
#include <vector>

namespace kolvex {

// One position report. Times are seconds from the start of the recording.
struct TelemetryFix {
    double timeSec = 0;
    double latitude = 0;    // decimal degrees
    double longitude = 0;   // decimal degrees
    double altitude = 0;    // metres
    double speedMps = 0;    // metres per second over ground
    double headingDeg = -1; // degrees from north; negative = not given (worked out from the path)
    bool fix = false;
    int64_t utcMs = -1; // UTC of the fix, milliseconds since 1970; -1 = not given
};

// One accelerometer reading in G, in the camera's axes.
struct TelemetryAccel {
    double timeSec = 0;
    double x = 0, y = 0, z = 0;
};

struct TelemetryTrack {
    std::vector<TelemetryFix> fixes;
    std::vector<TelemetryAccel> accels;
};

inline constexpr double kStandardGravity = 9.80665; // m/s² per G

// The rates at which another format's telemetry is laid out as the camera's
// blocks, and the G-sensor scale (G per 128 raw units) it is stored with.
inline constexpr unsigned kConvertedGSensorRate = 100;
inline constexpr unsigned kConvertedGSensorScale = 4;

} // namespace kolvex
