// Calendar arithmetic in UTC, independent of the machine's time zone.
#pragma once

#include <cstdint>

namespace kolvex {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);

// Milliseconds since 1970 UTC; -1 when a field is out of range.
int64_t UtcMs(int year, int month, int day, int hour, int minute, double second);

} // namespace kolvex
