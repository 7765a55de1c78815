// kolvex-cli summary PATH: the trip figures of every recording, of every
// group and of the whole card or folder.
#include "clock_json.h"
#include "command.h"
#include "review_output.h"

#include <cstdio>

namespace kolvex::cli {
namespace {

constexpr const char* kUsageLine = "Usage: kolvex-cli summary PATH\n";

void PrintHelp() {
    std::printf("%s\n"
                "Loads a folder tree or one recording as the player does and prints its trip\n"
                "figures as one JSON object: thresholds (of the driving events, as for\n"
                "kolvex-cli events), recordings (path, name, group and the figures), groups\n"
                "(index, firstEntry, count and the figures) and card (recordings, groups and\n"
                "the figures of everything loaded).\n"
                "The figures: distanceM along the valid GPS fixes (a step of more than 100 m\n"
                "per second between two fixes is a jump and left out), durationMs,\n"
                "movingMs (time of the fixes at 3 km/h or more), maxSpeedKmh,\n"
                "averageSpeedKmh (distance over moving time) and events.\n"
                "Recordings whose telemetry carries GPS time add gpsStartMs, cameraStartTime\n"
                "and the camera's clock offset (clockOffsetSec, clockLikeZone, clockZoneSec,\n"
                "clockErrorSec, as for kolvex-cli probe); card adds the median offset.\n"
                "With UI/LIST_BY_GPS_TIME=1 in the settings file the recordings are listed\n"
                "and grouped by GPS time, as the player lists them.\n\n"
                "Exit status: 0 read, 1 not a usable recording or a recording that could not\n"
                "be read (the figures leave it out), 2 no such file or folder.\n",
                kUsageLine);
}

int RunSummary(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintHelp();
        return kOk;
    }
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fputs(kUsageLine, stderr);
        return kUsage;
    }
    CRecordingManager manager;
    if (const int status = LoadForReview("summary", args[0], manager); status != kOk)
        return status;
    const EventThresholds thresholds = ThresholdsInForce();

    int status = kOk;
    JsonWriter json(2);
    json.BeginObject();
    WriteThresholds(json, thresholds);
    // Each recording is read once; its group and the card add it up.
    std::vector<TripFigures> groups(manager.Groups().size());
    TripFigures card;
    json.Key("recordings").BeginArray();
    for (size_t e = 0; e < manager.Entries().size(); ++e) {
        const int entry = static_cast<int>(e);
        const int group = manager.Rows()[e].group;
        RecordingAnalysis analysis;
        const bool read = manager.AnalyseEntry(entry, thresholds, analysis);
        json.BeginObject();
        json.Key("path").Path(PrintedPath(manager, entry));
        json.Key("name").Path(NativeBytes(manager.Entries()[e].name));
        json.Key("group").Int(group);
        WriteRecordingClock(json, manager.Entries()[e].meta);
        if (read) {
            WriteFigureMembers(json, analysis.figures);
            AddTripFigures(groups[static_cast<size_t>(group)], analysis.figures);
            AddTripFigures(card, analysis.figures);
        } else {
            ReportUnreadable("summary", manager, entry);
            status = kFailure;
            json.Key("error").String("cannot read the sample blocks");
        }
        json.EndObject();
    }
    json.EndArray();
    json.Key("groups").BeginArray();
    for (const RecordingGroup& group : manager.Groups()) {
        json.BeginObject();
        json.Key("index").Int(group.index);
        json.Key("firstEntry").Int(group.firstEntry);
        json.Key("count").Int(group.count);
        WriteFigureMembers(json, groups[static_cast<size_t>(group.index)]);
        json.EndObject();
    }
    json.EndArray();
    json.Key("card").BeginObject();
    json.Key("recordings").Int(static_cast<int64_t>(manager.Entries().size()));
    json.Key("groups").Int(static_cast<int64_t>(manager.Groups().size()));
    WriteClockMembers(json, manager.CardClockOffset());
    WriteFigureMembers(json, card);
    json.EndObject();
    json.EndObject();
    const std::string text = json.Text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return status;
}

} // namespace

KOLVEX_CLI_COMMAND({"summary", "summary PATH",
                    "trip figures per recording, per group and for the whole card (JSON)",
                    RunSummary});

} // namespace kolvex::cli
