// What other cameras write about a drive into one recording: an action
// camera's GPMF payloads (GPS and accelerometer, one payload a second) and
// a dash camera's freeGPS fixes (one a second). Both come from the same
// drive model as the seeded camera's records.
#pragma once

#include "camera_tracks.h"
#include "drive_model.h"
#include "fixtures/telemetry_writer.h"

#include <vector>

namespace kolvex::samplecard {

// The action camera's rates: GPS5 at 18 Hz, GPS9 (newer cameras) at 10 Hz,
// the accelerometer at 200 Hz.
inline constexpr int kGpmfGps5Rate = 18;
inline constexpr int kGpmfGps9Rate = 10;
inline constexpr int kGpmfAccelRate = 200;

// One payload for every second of the window. GPS5 fixes (or, with gps9,
// GPS9 fixes with a GPS5 stream beside them) carry the UTC time of their
// second (GPSU); a second that touches an outage has no fix (GPSF 0) and
// zero positions. ACCL holds the drive's forces in m/s², stored as the
// camera's documented axes: Y (left), -X (backwards), Z (up).
std::vector<fixtures::GpmfSecond> ActionCameraSeconds(const std::vector<DriveState>& drive,
                                                      const RecordingWindow& window,
                                                      const std::vector<GpsOutage>& outages,
                                                      const std::vector<Jolt>& jolts, bool gps9);

// One freeGPS fix for every second of the window, in UTC; a second inside an
// outage says 'V' (void) and carries nothing else.
std::vector<fixtures::FreeGpsFix> DashCameraFreeGps(const std::vector<DriveState>& drive,
                                                    const RecordingWindow& window,
                                                    const std::vector<GpsOutage>& outages);

} // namespace kolvex::samplecard
