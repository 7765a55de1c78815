#include "tracks/utc_time.h"

#include "tracks/track_math.h"

#include <cmath>

namespace kolvex {

int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    // The year is counted from March, so that the leap day ends it.
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

int64_t UtcMs(int year, int month, int day, int hour, int minute, double second) {
    if (year < 1970 || year > 9999 || !IsExistingDate(year, month, day) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || !(second >= 0) || second >= 61)
        return -1;
    const int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return ((days * 24 + hour) * 60 + minute) * 60000 + std::llround(second * 1000);
}

} // namespace kolvex
