#include "other_camera_tracks.h"

#include "nmea_side_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace kolvex::samplecard {

namespace {

constexpr double kGravity = 9.80665;                        // m/s² per G
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0; // knots per m/s
constexpr int64_t kSecondsPerDay = 86400;

// The car between two of the model's states, for rates that do not fall on
// them: position, altitude and speed interpolated linearly.
fixtures::GpmfFix FixAt(const std::vector<DriveState>& drive, double time) {
    const double position = time * kStatesPerSecond;
    if (!(position >= 0) || position >= static_cast<double>(drive.size()))
        throw std::out_of_range("a recording reaches beyond the end of its drive");
    const auto index = static_cast<size_t>(position);
    const DriveState& before = drive[index];
    const DriveState& after = drive[std::min(index + 1, drive.size() - 1)];
    const double share = position - static_cast<double>(index);
    const auto mix = [share](double a, double b) { return a + (b - a) * share; };
    fixtures::GpmfFix fix;
    fix.latitude = mix(before.latitude, after.latitude);
    fix.longitude = mix(before.longitude, after.longitude);
    fix.altitude = mix(before.altitude, after.altitude);
    fix.speed2d = mix(before.speed, after.speed);
    fix.speed3d = fix.speed2d;
    return fix;
}

WallClock UtcOf(const RecordingWindow& window, int second) {
    return window.start.Plus(second - int64_t{kCameraUtcOffsetHours} * 3600);
}

// "yymmddhhmmss.sss", GPSU's form.
std::string GpsuText(const WallClock& utc) {
    char text[24];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d.000", utc.year % 100, utc.month,
                  utc.day, utc.hour, utc.minute, utc.second);
    return text;
}

bool SecondTouchesOutage(const std::vector<GpsOutage>& outages, double from) {
    for (const GpsOutage& o : outages) {
        if (o.from < from + 1.0 && o.to > from)
            return true;
    }
    return false;
}

std::vector<fixtures::GpmfFix> Fixes(const std::vector<DriveState>& drive, double from, int rate,
                                     bool fix) {
    std::vector<fixtures::GpmfFix> fixes;
    for (int i = 0; i < rate; ++i)
        fixes.push_back(fix ? FixAt(drive, from + static_cast<double>(i) / rate)
                            : fixtures::GpmfFix{});
    return fixes;
}

} // namespace

std::vector<fixtures::GpmfSecond> ActionCameraSeconds(const std::vector<DriveState>& drive,
                                                      const RecordingWindow& window,
                                                      const std::vector<GpsOutage>& outages,
                                                      const std::vector<Jolt>& jolts, bool gps9) {
    std::vector<fixtures::GpmfSecond> seconds;
    // Each recording's road noise differs; the same recording's is always the same.
    const auto seed = static_cast<uint64_t>(window.start.ToSeconds());
    for (int k = 0; k < window.seconds; ++k) {
        const double from = window.from + k;
        const bool fix = !SecondTouchesOutage(outages, from);
        const WallClock utc = UtcOf(window, k);
        fixtures::GpmfSecond second;
        second.gpsu = GpsuText(utc);
        second.fix = fix ? 3 : 0;
        second.precision = fix ? 180 : 9999;
        second.gps9 = gps9;
        if (gps9) {
            second.gps = Fixes(drive, from, kGpmfGps9Rate, fix);
            second.gps5Beside = Fixes(drive, from, kGpmfGps5Rate, fix);
            second.gps9Days = static_cast<uint32_t>(
                (utc.ToSeconds() - WallClock{2000, 1, 1, 0, 0, 0}.ToSeconds()) / kSecondsPerDay);
            second.gps9Seconds = utc.hour * 3600 + utc.minute * 60 + utc.second;
            second.gps9Step = 1.0 / kGpmfGps9Rate;
        } else {
            second.gps = Fixes(drive, from, kGpmfGps5Rate, fix);
        }
        for (int i = 0; i < kGpmfAccelRate; ++i) {
            const double time = from + static_cast<double>(i) / kGpmfAccelRate;
            const Forces g =
                ForcesAt(drive, time, jolts, seed, static_cast<uint64_t>(k) * kGpmfAccelRate + i);
            second.accl.push_back({g.y * kGravity, -g.x * kGravity, g.z * kGravity});
        }
        seconds.push_back(std::move(second));
    }
    return seconds;
}

std::vector<fixtures::FreeGpsFix> DashCameraFreeGps(const std::vector<DriveState>& drive,
                                                    const RecordingWindow& window,
                                                    const std::vector<GpsOutage>& outages) {
    std::vector<fixtures::FreeGpsFix> fixes;
    for (int k = 0; k < window.seconds; ++k) {
        const double time = window.from + k;
        fixtures::FreeGpsFix fix;
        if (InGpsOutage(outages, time)) {
            // The receiver leaves the clock, the letters and the numbers empty.
            fix.hour = fix.minute = fix.second = fix.year = fix.month = fix.day = 0;
            fix.status = 'V';
            fix.northSouth = fix.eastWest = '\0';
        } else {
            const DriveState& car = DriveStateAt(drive, time);
            const WallClock utc = UtcOf(window, k);
            fix.hour = static_cast<uint32_t>(utc.hour);
            fix.minute = static_cast<uint32_t>(utc.minute);
            fix.second = static_cast<uint32_t>(utc.second);
            fix.year = static_cast<uint32_t>(utc.year % 100);
            fix.month = static_cast<uint32_t>(utc.month);
            fix.day = static_cast<uint32_t>(utc.day);
            fix.status = 'A';
            fix.northSouth = car.latitude < 0 ? 'S' : 'N';
            fix.eastWest = car.longitude < 0 ? 'W' : 'E';
            fix.latitude = static_cast<float>(std::fabs(DegreesToDdmm(car.latitude)));
            fix.longitude = static_cast<float>(std::fabs(DegreesToDdmm(car.longitude)));
            fix.knots = static_cast<float>(car.speed * kKnotsPerMetrePerSecond);
            fix.bearing = static_cast<float>(car.heading);
        }
        fixes.push_back(fix);
    }
    return fixes;
}

} // namespace kolvex::samplecard
