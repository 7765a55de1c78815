// What the camera writes about a drive into one recording: its GPS samples
// (position, speed, heading, the clock) and its G-sensor samples.
#pragma once

#include "drive_model.h"
#include "fixtures/camera_file_writer.h"
#include "wall_clock.h"

#include <cstdint>
#include <vector>

namespace kolvex::samplecard {

// A stretch of the drive without a position fix (a tunnel, the receiver's
// cold start), in seconds since the start of the drive.
struct GpsOutage {
    double from = 0;
    double to = 0;
};

// A short push the G-sensor feels on top of the drive's own forces (a door
// slammed, a kerb), in G along each axis.
struct Jolt {
    double time = 0;
    double seconds = 0;
    double x = 0, y = 0, z = 0;
};

// The recording's part of the drive: it starts `from` seconds into the drive
// at wall-clock time `start` and lasts `seconds`.
struct RecordingWindow {
    double from = 0;
    int seconds = 20;
    WallClock start;
};

// The car at `time` seconds into its drive (the nearest state); throws
// std::out_of_range beyond the drive's end.
const DriveState& DriveStateAt(const std::vector<DriveState>& drive, double time);

// Whether the receiver has no fix at `time`.
bool InGpsOutage(const std::vector<GpsOutage>& outages, double time);

// What a G-sensor feels at `time`, in G: x along the car (forwards
// positive), y across it (left positive), z upwards (1 G at rest), with a
// little road noise that grows with the speed and the drive's jolts on top.
// `sample` numbers the reading, so that each has its own noise.
struct Forces {
    double x = 0, y = 0, z = 0;
};
Forces ForcesAt(const std::vector<DriveState>& drive, double time, const std::vector<Jolt>& jolts,
                uint64_t seed, uint64_t sample);

// "degrees * 100 + minutes", the camera's coordinate form, from decimal
// degrees; the sign stays in front.
double DegreesToDdmm(double degrees);

// `rate` samples per second over the window. Samples inside an outage carry
// no position, no date and no fix; the others carry the wall-clock time of
// their whole second.
std::vector<fixtures::GpsRecord> CameraGpsTrack(const std::vector<DriveState>& drive,
                                                const RecordingWindow& window, int rate,
                                                const std::vector<GpsOutage>& outages);

// `rate` samples per second over the window, raw values at `scale` G per
// 128 units: x along the car (forwards positive), y across it (left
// positive), z upwards (1 G at rest), with a little road noise that grows
// with the speed. `seed` makes each recording's noise its own.
std::vector<fixtures::GSensorRecord> CameraGSensorTrack(const std::vector<DriveState>& drive,
                                                        const RecordingWindow& window, int rate,
                                                        int scale, const std::vector<Jolt>& jolts,
                                                        uint64_t seed);

} // namespace kolvex::samplecard
