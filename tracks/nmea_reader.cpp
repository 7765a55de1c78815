#include "tracks/nmea_reader.h"

#include "tracks/utc_time.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sys/stat.h>

namespace kolvex {

namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;
constexpr int64_t kDayMs = 86400000;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The fields between '$' and '*' when the checksum after '*' matches.
bool CheckedBody(std::string_view line, std::string_view& body) {
    const size_t start = line.find('$');
    if (start == std::string_view::npos)
        return false;
    const size_t star = line.find('*', start);
    if (star == std::string_view::npos || line.size() < star + 3)
        return false;
    const int high = HexDigit(line[star + 1]), low = HexDigit(line[star + 2]);
    if (high < 0 || low < 0)
        return false;
    unsigned sum = 0;
    for (size_t i = start + 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    if (sum != static_cast<unsigned>(high * 16 + low))
        return false;
    body = line.substr(start + 1, star - start - 1);
    return true;
}

std::vector<std::string_view> Split(std::string_view body) {
    std::vector<std::string_view> fields;
    size_t p = 0;
    for (;;) {
        const size_t comma = body.find(',', p);
        fields.push_back(body.substr(p, comma == std::string_view::npos ? body.npos : comma - p));
        if (comma == std::string_view::npos)
            return fields;
        p = comma + 1;
    }
}

bool Number(std::string_view text, double& value) {
    if (text.empty())
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value);
}

bool TwoDigits(std::string_view text, size_t at, int& value) {
    if (text.size() < at + 2 || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' ||
        text[at + 1] > '9')
        return false;
    value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return true;
}

// hhmmss(.sss) to milliseconds into the day; -1 if impossible.
int64_t TimeOfDayMs(std::string_view text) {
    int h, m, s;
    if (!TwoDigits(text, 0, h) || !TwoDigits(text, 2, m) || !TwoDigits(text, 4, s) || h > 23 ||
        m > 59 || s > 60)
        return -1;
    double fraction = 0;
    if (text.size() > 6) {
        if (text[6] != '.' || !Number(text.substr(6), fraction) || fraction < 0 || fraction >= 1)
            return -1;
    }
    return (h * 3600 + m * 60 + s) * 1000 + std::llround(fraction * 1000);
}

// ddmm.mmmm with its hemisphere letter to signed degrees; NaN if impossible.
double Coordinate(std::string_view value, std::string_view hemisphere, double limit, char positive,
                  char negative) {
    double v;
    if (!Number(value, v) || v < 0 || hemisphere.size() != 1)
        return NAN;
    const double degrees = std::floor(v / 100);
    const double minutes = v - degrees * 100;
    const double result = degrees + minutes / 60;
    if (minutes >= 60 || result > limit)
        return NAN;
    if (hemisphere[0] == negative)
        return -result;
    return hemisphere[0] == positive ? result : NAN;
}

struct Report {
    int64_t dayMs = -1;  // time into the UTC day
    int64_t dateMs = -1; // midnight of the RMC's date, -1 without one
    TelemetryFix fix;
    bool rmc = false;
    bool hasAltitude = false;
};

bool ReadRmc(const std::vector<std::string_view>& f, Report& r) {
    if (f.size() < 10)
        return false;
    r.dayMs = TimeOfDayMs(f[1]);
    if (r.dayMs < 0 || (f[2] != "A" && f[2] != "V"))
        return false;
    int day, month, year;
    if (!TwoDigits(f[9], 0, day) || !TwoDigits(f[9], 2, month) || !TwoDigits(f[9], 4, year) ||
        f[9].size() != 6)
        return false;
    const int64_t midnight = UtcMs(2000 + year, month, day, 0, 0, 0);
    if (midnight < 0)
        return false;
    r.dateMs = midnight;
    r.rmc = true;
    r.fix.fix = f[2] == "A";
    if (!r.fix.fix)
        return true; // no position to check: it is not shown
    r.fix.latitude = Coordinate(f[3], f[4], 90, 'N', 'S');
    r.fix.longitude = Coordinate(f[5], f[6], 180, 'E', 'W');
    double knots = 0, course = -1;
    if (!f[7].empty() && (!Number(f[7], knots) || knots < 0 || knots > 2000))
        return false;
    if (!f[8].empty() && (!Number(f[8], course) || course < 0 || course > 360))
        return false;
    r.fix.speedMps = knots * kMetresPerSecondPerKnot;
    r.fix.headingDeg = course;
    return std::isfinite(r.fix.latitude) && std::isfinite(r.fix.longitude);
}

bool ReadGga(const std::vector<std::string_view>& f, Report& r) {
    if (f.size() < 10)
        return false;
    r.dayMs = TimeOfDayMs(f[1]);
    double quality;
    if (r.dayMs < 0 || !Number(f[6], quality) || quality < 0 || quality > 9)
        return false;
    r.fix.fix = quality > 0;
    if (!r.fix.fix)
        return true;
    r.fix.latitude = Coordinate(f[2], f[3], 90, 'N', 'S');
    r.fix.longitude = Coordinate(f[4], f[5], 180, 'E', 'W');
    double altitude = 0;
    if (!f[9].empty()) {
        if (!Number(f[9], altitude) || altitude < -1000 || altitude > 100000)
            return false;
        r.hasAltitude = true;
    }
    r.fix.altitude = altitude;
    return std::isfinite(r.fix.latitude) && std::isfinite(r.fix.longitude);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::string stem = dot != std::string::npos && dot > base ? path.substr(0, dot) : path;
    return stem + extension;
}

bool IsRegular(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
               return lower(x) == lower(y);
           });
}

} // namespace

std::vector<TelemetryFix> ReadNmeaText(std::string_view text) {
    std::vector<TelemetryFix> fixes;
    int64_t date = -1;      // midnight of the current UTC day, once an RMC said it
    int64_t lastDayMs = -1; // time into the day of the last sentence taken
    int64_t days = 0;       // midnights passed since the first sentence
    int64_t firstClock = -1;
    int64_t lastClock = -1; // of the fix last added
    size_t p = 0;
    while (p < text.size()) {
        size_t end = text.find('\n', p);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(p, end - p);
        p = end + 1;
        std::string_view body;
        if (!CheckedBody(line, body))
            continue;
        const std::vector<std::string_view> f = Split(body);
        if (f[0].size() != 5)
            continue;
        const std::string_view kind = f[0].substr(2);
        Report r;
        if (kind == "RMC" ? !ReadRmc(f, r) : kind == "GGA" ? !ReadGga(f, r) : true)
            continue;
        // A time far before the last one is the next day.
        const bool nextDay = lastDayMs >= 0 && r.dayMs + kDayMs / 2 < lastDayMs;
        if (nextDay) {
            ++days;
            if (date >= 0)
                date += kDayMs;
        }
        if (r.rmc)
            date = r.dateMs;
        lastDayMs = r.dayMs;
        const int64_t clock = days * kDayMs + r.dayMs;
        r.fix.utcMs = date >= 0 ? date + r.dayMs : -1;
        if (!fixes.empty() && clock == lastClock) {
            // The two sentences of one time: the RMC's fix, the GGA's altitude.
            TelemetryFix& same = fixes.back();
            if (r.rmc) {
                const double altitude = same.altitude;
                const double timeSec = same.timeSec;
                same = r.fix;
                same.altitude = altitude;
                same.timeSec = timeSec;
            } else if (r.hasAltitude) {
                same.altitude = r.fix.altitude;
            }
            continue;
        }
        if (clock < lastClock)
            continue; // time running backwards is a damaged line
        if (firstClock < 0)
            firstClock = clock;
        r.fix.timeSec = static_cast<double>(clock - firstClock) / 1000.0;
        fixes.push_back(r.fix);
        lastClock = clock;
    }
    return fixes;
}

std::string FindNmeaSideFile(const std::string& recordingPath) {
    for (const char* extension : {".NMEA", ".nmea", ".Nmea", ".gps", ".GPS", ".Gps"}) {
        const std::string candidate = ReplaceExtension(recordingPath, extension);
        if (candidate != recordingPath && IsRegular(candidate))
            return candidate;
    }
    return {};
}

std::string NmeaSideFileName(const std::string& recordingName,
                             const std::vector<std::string>& namesInFolder) {
    const size_t dot = recordingName.rfind('.');
    const std::string_view stem =
        std::string_view(recordingName)
            .substr(0, dot == std::string::npos ? recordingName.size() : dot);
    for (const std::string& name : namesInFolder) {
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0 ||
            name[stem.size()] != '.' || name == recordingName)
            continue;
        const std::string_view extension = std::string_view(name).substr(stem.size() + 1);
        if (EqualNoCase(extension, "nmea") || EqualNoCase(extension, "gps"))
            return name;
    }
    return {};
}

} // namespace kolvex
