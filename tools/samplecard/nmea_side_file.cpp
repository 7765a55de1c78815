#include "nmea_side_file.h"

#include <cmath>
#include <cstdio>

namespace kolvex::samplecard {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// "ddmm.mmmm" (latitude, 2 degree digits) or "dddmm.mmmm" (longitude).
std::string Coordinate(double degrees, int degreeDigits) {
    const double magnitude = std::fabs(degrees);
    const int whole = static_cast<int>(magnitude);
    const double minutes = (magnitude - whole) * 60.0;
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f", degreeDigits, whole, minutes);
    return text;
}

} // namespace

std::string NmeaSentence(const std::string& body) {
    unsigned checksum = 0;
    for (const char c : body)
        checksum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    return "$" + body + tail;
}

std::string NmeaSideText(const std::vector<DriveState>& drive, const RecordingWindow& window) {
    std::string text;
    for (int second = 0; second < window.seconds; ++second) {
        const auto index =
            static_cast<size_t>(std::lround((window.from + second) * kStatesPerSecond));
        if (index >= drive.size())
            break;
        const DriveState& car = drive[index];
        const WallClock utc = window.start.Plus(second - kCameraUtcOffsetHours * 3600);
        char time[16], date[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", utc.hour, utc.minute, utc.second);
        std::snprintf(date, sizeof date, "%02d%02d%02d", utc.day, utc.month, utc.year % 100);
        const std::string lat = Coordinate(car.latitude, 2) + (car.latitude < 0 ? ",S" : ",N");
        const std::string lon = Coordinate(car.longitude, 3) + (car.longitude < 0 ? ",W" : ",E");
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%.1f,%.1f", car.speed * kKnotsPerMetrePerSecond,
                      car.heading);
        text += NmeaSentence(std::string("GPRMC,") + time + ",A," + lat + "," + lon + "," +
                             numbers + "," + date + ",,,A");
        char altitude[32];
        std::snprintf(altitude, sizeof altitude, "%.1f", car.altitude);
        text += NmeaSentence(std::string("GPGGA,") + time + "," + lat + "," + lon + ",1,08,0.9," +
                             altitude + ",M,46.9,M,,");
    }
    return text;
}

} // namespace kolvex::samplecard
