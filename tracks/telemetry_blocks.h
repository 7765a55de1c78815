// Lays out telemetry read from another format as the camera's blocks: GPS
// samples of 32 bytes at a fixed rate, G-sensor samples of 3 bytes at
// kConvertedGSensorRate with kConvertedGSensorScale, so that every reader
// of blocks works unchanged.
#pragma once

#include "tracks/telemetry_track.h"

#include <cstdint>
#include <vector>

namespace kolvex {

// GPS samples for [0, durationMs) at rate per second. Sample k holds the
// latest fix at or before its time (k / rate), unless that fix is older than
// holdSec (then it holds no fix). Dates are the local time of the fix's UTC
// time, as the camera writes them; a fix without a heading takes the
// bearing from the last position it moved away from.
std::vector<uint8_t> GpsBlockFromFixes(const std::vector<TelemetryFix>& fixes, unsigned rate,
                                       uint32_t durationMs, double holdSec);

// G-sensor samples for [0, durationMs): the mean of the readings that fall
// into each sample's interval (the previous sample's value where none do,
// the first reading's before it),
// clamped to the stored range.
std::vector<uint8_t> GSensorBlockFromAccels(const std::vector<TelemetryAccel>& accels,
                                            uint32_t durationMs);

} // namespace kolvex
