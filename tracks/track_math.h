// Small conversions shared by the library, the map, the instruments and
// the command-line tool.
#pragma once

#include "tracks/gps_sample.h"

#include <string>

namespace kolvex {

// v is a stored latitude or longitude divided by 100 (degrees + minutes/100);
// returns decimal degrees, keeping the sign: 48.07038 -> 48.1173.
double DdmmToDegrees(double v);

// The usual name of a picture size ("FHD", "HD", ...), else "WxH" when both
// are non-zero, else "".
std::string ResolutionName(int width, int height);

// A sample can be drawn on the map (and exported) when its fix is valid
// and both coordinates are real positions: finite, and in decimal degrees
// within +-90 (latitude) and +-180 (longitude). This also rules out the
// camera's mark of a missing position (a hundredth of 200 or more).
bool IsPlottable(const GpsSample& sample);

// Whether the calendar date exists (31 February does not), for dates that
// are shown or exported rather than only checked against the field bounds.
bool IsExistingDate(int year, int month, int day);

// Bounds of a calendar date and time as the camera's records are checked:
// month 1..12, day 1..31 (not compared with the month's length), hour 0..23,
// minute and second 0..59. Negative values fail. The year is checked apart.
bool IsValidDateTime(int month, int day, int hour, int minute, int second);

// Local calendar fields to seconds since 1970 UTC, the C library deciding
// on daylight saving time; out-of-range days roll over into the next month.
// False when the time lies before 1970 or cannot be represented.
bool LocalTimeToEpoch(int year, int month, int day, int hour, int minute, int second,
                      int64_t& epoch);

} // namespace kolvex
