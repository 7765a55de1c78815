// kolvex-cli events PATH [--csv]: the driving events the G-sensor samples of
// recordings show (hard braking, hard acceleration, sharp turns, impacts).
#include "command.h"
#include "review_output.h"

#include "tracks/recording_blocks.h"

#include <charconv>
#include <cstdio>

namespace kolvex::cli {
namespace {

constexpr const char* kUsageLine = "Usage: kolvex-cli events PATH [--csv]\n";

void PrintHelp() {
    std::printf("%s\n"
                "Finds the driving events in the G-sensor samples of a recording or of every\n"
                "recording below a folder, in the player's order: braking, acceleration, turn\n"
                "and impact, each with its time in ms from the recording's start, its peak in\n"
                "G and its duration in ms. The thresholds are the player's: the keys\n"
                "EventBrakeG, EventAccelG, EventTurnG, EventImpactG (G) and EventBrakeMs,\n"
                "EventAccelMs, EventTurnMs, EventImpactMs (minimum duration) of the section\n"
                "[UI] of the settings file that kolvex-cli settings names; defaults\n"
                "0.40 G/300 ms, 0.35 G/300 ms, 0.40 G/500 ms and 0.50 G/0 ms.\n\n"
                "JSON by default: thresholds, and recordings (path, name, startTime, gsensor\n"
                "(whether the recording has G-sensor samples), events (timeMs, kind, peakG,\n"
                "durationMs)). --csv prints one row per event: path,time_ms,kind,peak_g,\n"
                "duration_ms.\n\n"
                "Exit status: 0 read, 1 not a usable recording or a recording that could not\n"
                "be read (the others are still listed), 2 no such file or folder.\n",
                kUsageLine);
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string Number(double v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

int RunEvents(const std::vector<std::string>& args) {
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
            std::fputs(kUsageLine, stderr);
            return kUsage;
        }
    }
    if (path.empty()) {
        std::fputs(kUsageLine, stderr);
        return kUsage;
    }
    CRecordingManager manager;
    if (const int status = LoadForReview("events", path, manager); status != kOk)
        return status;
    const EventThresholds thresholds = ThresholdsInForce();

    int status = kOk;
    JsonWriter json(2);
    std::string table = "path,time_ms,kind,peak_g,duration_ms\n";
    json.BeginObject();
    WriteThresholds(json, thresholds);
    json.Key("recordings").BeginArray();
    for (size_t e = 0; e < manager.Entries().size(); ++e) {
        const int entry = static_cast<int>(e);
        const RecordingEntry& recording = manager.Entries()[e];
        const std::string file = PrintedPath(manager, entry);
        RecordingAnalysis analysis;
        const bool read = manager.AnalyseEntry(entry, thresholds, analysis);
        if (!read) {
            ReportUnreadable("events", manager, entry);
            status = kFailure;
        }
        json.BeginObject();
        json.Key("path").Path(file);
        json.Key("name").Path(NativeBytes(recording.name));
        json.Key("startTime").Int(recording.meta.startTime);
        json.Key("gsensor").Bool(HasGSensorBlock(recording.meta));
        if (!read)
            json.Key("error").String("cannot read the sample blocks");
        json.Key("events").BeginArray();
        for (const DrivingEvent& event : analysis.events) {
            json.BeginObject();
            json.Key("timeMs").Int(event.timeMs);
            json.Key("kind").String(DrivingEventName(event.kind));
            json.Key("peakG").Double(Thousandths(event.peakG));
            json.Key("durationMs").Int(event.durationMs);
            json.EndObject();
            table += CsvField(file) + ',' + std::to_string(event.timeMs) + ',' +
                     std::string(DrivingEventName(event.kind)) + ',' +
                     Number(Thousandths(event.peakG)) + ',' + std::to_string(event.durationMs) +
                     '\n';
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    const std::string text = csv ? table : json.Text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return status;
}

} // namespace

KOLVEX_CLI_COMMAND({"events", "events PATH [--csv]",
                    "driving events (braking, acceleration, turn, impact) of recordings (JSON "
                    "or CSV)",
                    RunEvents});

} // namespace kolvex::cli
