// CAMM: one packet per sample of a track whose sample entry is "camm"
// (little-endian: a reserved 16-bit word, the packet type, its data).
// Type 2 (gyroscope) is skipped, type 3 gives accelerations (m/s², the
// camera's axes), type 5 a position (latitude, longitude, altitude as
// doubles), type 6 a full GPS report (GPS time, fix type, position,
// altitude, accuracies, east/north/up velocity).
#pragma once

#include "tracks/telemetry_track.h"

#include <cstddef>
#include <cstdint>

namespace kolvex {

// Reads one packet taken at timeSec of the recording, appending to out.
// Packets that are too short for their type, of unknown type or with
// impossible values add nothing.
void ReadCammPacket(const uint8_t* data, size_t size, double timeSec, TelemetryTrack& out);

// Speeds for type 5 positions, which carry none: distance over time from
// the fix before. Call once after the last packet.
void DeriveCammSpeeds(TelemetryTrack& track);

} // namespace kolvex
