#include "tracks/track_math.h"

#include <cmath>
#include <ctime>

namespace kolvex {

double DdmmToDegrees(double v) {
    const double whole = std::trunc(v);
    return whole + (v - whole) * 100.0 / 60.0;
}

std::string ResolutionName(int width, int height) {
    struct Named {
        int width, height;
        const char* name;
    };
    static constexpr Named kNames[] = {
        {2048, 1600, "QXGA"}, {2048, 1536, "QXGA"}, {1920, 1080, "FHD"}, {1600, 1200, "UXGA"},
        {1280, 1024, "SXGA"}, {1280, 720, "HD"},    {1152, 870, "MAC"},  {1024, 768, "XGA"},
        {800, 600, "SVGA"},   {720, 480, "480P"},   {640, 480, "VGA"},   {320, 240, "CIF"},
    };
    for (const auto& n : kNames) {
        if (n.width == width && n.height == height)
            return n.name;
    }
    if (width != 0 && height != 0)
        return std::to_string(width) + "x" + std::to_string(height);
    return {};
}

bool IsPlottable(const GpsSample& sample) {
    if ((sample.flags & kGpsFixValid) == 0)
        return false;
    // Not-a-number fails both comparisons and so is no position.
    const double latitude = std::fabs(DdmmToDegrees(sample.latitude / 100));
    const double longitude = std::fabs(DdmmToDegrees(sample.longitude / 100));
    return latitude <= 90.0 && longitude <= 180.0;
}

bool IsExistingDate(int year, int month, int day) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsValidDateTime(int month, int day, int hour, int minute, int second) {
    // Compared as unsigned numbers so that negative values fail.
    return static_cast<unsigned>(month) - 1 < 12 && static_cast<unsigned>(day) - 1 < 31 &&
           static_cast<unsigned>(hour) <= 23 && static_cast<unsigned>(minute) <= 59 &&
           static_cast<unsigned>(second) <= 59;
}

bool LocalTimeToEpoch(int year, int month, int day, int hour, int minute, int second,
                      int64_t& epoch) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const std::time_t t = std::mktime(&fields);
    if (t < 0) // also mktime's error value
        return false;
    epoch = static_cast<int64_t>(t);
    return true;
}

} // namespace kolvex
