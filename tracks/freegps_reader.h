// "freeGPS" boxes: "free" boxes that begin with "freeGPS " after their
// size, one a second, indexed by a "gps " box in "moov" (a version word, a
// count word, then a 32-bit big-endian position and size for each box).
//
// The layout read here is the one public descriptions agree on: at byte 48
// of the box, six little-endian 32-bit words (hour, minute, second, year,
// month, day, UTC; the year as two digits or four), then four characters
// (status 'A' or 'V', 'N' or 'S', 'E' or 'W', one unused), then four
// little-endian floats: latitude and longitude as NMEA writes them
// (ddmm.mmmm), speed in knots, bearing in degrees. Boxes of another layout
// are not guessed at.
#pragma once

#include "tracks/telemetry_track.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace kolvex {

enum class FreeGpsLayout { NotFreeGps, Known, Unknown };

// What the bytes of one box (from its size field on) are.
FreeGpsLayout IdentifyFreeGpsBox(const uint8_t* box, size_t size);

// The fix in one box of the known layout, taken at timeSec of the
// recording; nothing when the box is of another layout or its values are
// impossible. A box with status 'V' gives a fix marked as not valid.
std::optional<TelemetryFix> ReadFreeGpsBox(const uint8_t* box, size_t size, double timeSec);

// The (position, size) entries of a "gps " box's payload, at most maxEntries.
std::vector<std::pair<uint64_t, uint32_t>> ReadFreeGpsIndex(const uint8_t* payload, size_t size,
                                                            size_t maxEntries);

} // namespace kolvex
