// kolvex-cli samples FILE [--csv]: the decoded GPS and G-sensor samples of
// one recording, as JSON or as two CSV tables (GPS first, then G-sensor,
// separated by one empty line).
#include "command.h"
#include "json.h"
#include "recording_file.h"
#include "tracks/sample_decoding.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kolvex::cli {
namespace {

std::string TwoDigits(int v) {
    return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10);
}

std::string DateText(const DecodedGpsSample& s) {
    return std::to_string(s.year) + "-" + TwoDigits(s.month) + "-" + TwoDigits(s.day);
}

std::string TimeText(const DecodedGpsSample& s) {
    return TwoDigits(s.hour) + ":" + TwoDigits(s.minute) + ":" + TwoDigits(s.second);
}

// Shortest exact text of a double, independent of the locale; an empty
// field for a value that is no number (the JSON's null).
std::string Number(double v) {
    if (!std::isfinite(v))
        return {};
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// Degrees to 7 decimals (about a centimetre), so that the conversion's
// binary noise does not show: 48.1173, not 48.117299999999986.
double Degrees(double v) {
    return std::isfinite(v) ? std::round(v * 1e7) / 1e7 : v;
}

std::string Json(const std::string& path, const VideoMetaInfo& meta,
                 const std::vector<DecodedGpsSample>& gps,
                 const std::vector<DecodedGSensorSample>& gsensor) {
    JsonWriter json(2);
    json.BeginObject();
    json.Key("file").Path(path);
    json.Key("gpsRate").UInt(GpsRate(meta));
    json.Key("gsensorRate").UInt(meta.gsensorInfo[0]);
    json.Key("gsensorScale").UInt(GSensorScale(meta));
    json.Key("gps").BeginArray();
    for (const auto& s : gps) {
        json.BeginObject();
        json.Key("index").UInt(s.index);
        json.Key("timeMs").Int(s.timeMs);
        if (s.hasDate) {
            json.Key("date").String(DateText(s));
            json.Key("time").String(TimeText(s));
        } else {
            json.Key("date").Null();
            json.Key("time").Null();
        }
        json.Key("latitude").Double(Degrees(s.latitude));
        json.Key("longitude").Double(Degrees(s.longitude));
        json.Key("altitude").Int(s.altitude);
        json.Key("speedKmh").UInt(s.speedKmh);
        json.Key("headingDeg").Int(s.headingDeg);
        json.Key("fix").Bool(s.fixValid);
        json.EndObject();
    }
    json.EndArray();
    json.Key("gsensor").BeginArray();
    for (const auto& s : gsensor) {
        json.BeginObject();
        json.Key("index").UInt(s.index);
        json.Key("timeMs").Int(s.timeMs);
        json.Key("x").Double(s.x);
        json.Key("y").Double(s.y);
        json.Key("z").Double(s.z);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

std::string Csv(const std::vector<DecodedGpsSample>& gps,
                const std::vector<DecodedGSensorSample>& gsensor) {
    std::string out = "index,time_ms,date,time,latitude,longitude,altitude_m,speed_kmh,"
                      "heading_deg,fix\n";
    for (const auto& s : gps) {
        out += std::to_string(s.index) + ',' + std::to_string(s.timeMs) + ',';
        out += (s.hasDate ? DateText(s) : "") + ',' + (s.hasDate ? TimeText(s) : "") + ',';
        out += Number(Degrees(s.latitude)) + ',' + Number(Degrees(s.longitude)) + ',';
        out += std::to_string(s.altitude) + ',' + std::to_string(s.speedKmh) + ',';
        out += std::to_string(s.headingDeg) + ',' + (s.fixValid ? "1" : "0") + '\n';
    }
    out += "\nindex,time_ms,x_g,y_g,z_g\n";
    for (const auto& s : gsensor) {
        out += std::to_string(s.index) + ',' + std::to_string(s.timeMs) + ',';
        out += Number(s.x) + ',' + Number(s.y) + ',' + Number(s.z) + '\n';
    }
    return out;
}

void PrintHelp() {
    std::printf(
        "Usage: kolvex-cli samples FILE [--csv]\n\n"
        "Prints the decoded samples of one recording.\n"
        "GPS: index, time offset in ms, date and time (when the sample has them),\n"
        "latitude and longitude in decimal degrees, altitude in m, speed in km/h,\n"
        "heading in degrees, fix (whether the position fix is valid).\n"
        "G-sensor: index, time in ms, x/y/z in G.\n"
        "JSON by default; --csv prints two tables, GPS first, separated by an empty line.\n\n"
        "Exit status: 0 read, 1 not a usable recording, 2 no such file.\n");
}

int RunSamples(const std::vector<std::string>& args) {
    std::string path;
    bool csv = false;
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            return kOk;
        }
        if (arg == "--csv") {
            csv = true;
        } else if (path.empty() && !arg.empty() && arg[0] != '-') {
            path = arg;
        } else {
            std::fprintf(stderr, "Usage: kolvex-cli samples FILE [--csv]\n");
            return kUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "Usage: kolvex-cli samples FILE [--csv]\n");
        return kUsage;
    }
    VideoMetaInfo meta;
    const int status = ParseForCommand("samples", path, meta);
    if (status != kOk)
        return status;
    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
    if (!ReadRecordingSamples(path, meta, gps, gsensor)) {
        std::fprintf(stderr, "kolvex-cli samples: %s: cannot read the sample blocks\n",
                     path.c_str());
        return kFailure;
    }
    const auto decodedGps = DecodeGpsBlock(gps, meta);
    const auto decodedGSensor = DecodeGSensorBlock(gsensor, meta);
    const std::string text =
        csv ? Csv(decodedGps, decodedGSensor) : Json(path, meta, decodedGps, decodedGSensor);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

} // namespace

KOLVEX_CLI_COMMAND({"samples", "samples FILE [--csv]",
                    "the decoded GPS and G-sensor samples of one recording", RunSamples});

} // namespace kolvex::cli
