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

// The G-sensor samples laid out for [0, durationMs); when durationMs is 0,
// up to the last reading's time.
uint64_t GSensorSampleCount(uint32_t durationMs, double lastTimeSec);

// Lays out the G-sensor samples from readings handed over one at a time,
// exactly as GSensorBlockFromAccels does with all of them at once: an hour
// of readings at a few hundred a second need not be kept to be laid out.
class GSensorBlockBuilder {
public:
    explicit GSensorBlockBuilder(uint64_t sampleCount);

    void Add(const TelemetryAccel& reading);
    // Whether the readings so far came in time order. Only readings in order
    // lay out as sorted readings would; others must be sorted first.
    bool InOrder() const { return m_inOrder; }
    // The block; empty when no reading came.
    std::vector<uint8_t> Finish();

private:
    void CloseSample();

    uint64_t m_count;
    uint64_t m_next = 0;                               // the sample that takes the next readings
    double m_nextEndSec = 1.0 / kConvertedGSensorRate; // and where it ends
    std::vector<uint8_t> m_block;
    bool m_started = false;
    bool m_inOrder = true;
    double m_lastTimeSec = 0;
    double m_x = 0, m_y = 0, m_z = 0; // the last sample's mean
    double m_sumX = 0, m_sumY = 0, m_sumZ = 0;
    uint64_t m_readings = 0;
};

} // namespace kolvex
