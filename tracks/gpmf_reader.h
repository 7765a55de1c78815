// GPMF: nested key-length-value records (a four-character key, a type
// byte, a structure size byte and a 16-bit repeat count, the data padded
// to four bytes). Positions come from GPS5 or GPS9 with SCAL, GPSF (fix),
// GPSU (UTC time) and GPSP (precision); accelerations from ACCL (m/s²,
// SCAL, axes as ORIN says, else the camera's documented Y, -X, Z order).
// Every record's length is checked against its parent; unknown keys are
// skipped.
#pragma once

#include "tracks/telemetry_track.h"

#include <cstddef>
#include <cstdint>

namespace kolvex {

// Reads one payload (one sample of the "gpmd" track) that covers
// [startSec, startSec + durationSec) of the recording, appending to out.
void ReadGpmfPayload(const uint8_t* data, size_t size, double startSec, double durationSec,
                     TelemetryTrack& out);

} // namespace kolvex
