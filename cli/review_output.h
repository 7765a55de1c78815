// What the events and summary commands share: loading what the command line
// names, the thresholds in force and the JSON of trip figures.
#pragma once

#include "json.h"
#include "recording_path.h"
#include "scan_progress.h"

#include "settings/event_settings.h"
#include "settings/settings_location.h"
#include "tracks/recording_analysis.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace kolvex::cli {

// Figures rounded for reading: 0.1 m, 0.1 km/h, 0.001 G. The binary noise
// of the arithmetic would otherwise show (12.299999999999999).
inline double Tenths(double v) {
    return std::round(v * 10) / 10;
}
inline double Thousandths(double v) {
    return std::round(v * 1000) / 1000;
}

// A recording's path as printed: the library keeps the doubled separators
// its joining of folder, subfolder and name makes; one is enough here.
inline std::string PrintedPath(const CRecordingManager& manager, int entry) {
    std::string path = NativeBytes(manager.GetPath(entry));
    path.erase(
        std::unique(path.begin(), path.end(), [](char a, char b) { return a == '/' && b == '/'; }),
        path.end());
    return path;
}

// Whether the player's settings file lists recordings by GPS time.
inline bool ListByGpsTimeInForce() {
    const SettingsLocation location = ChooseSettingsLocation(
        QDir::currentPath(), qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME"));
    return CAppSettings(location.path)
               .ReadInt(KolvexIni::kSectionUI, KolvexIni::kListByGpsTime, 0) != 0;
}

// Loads `path` as LoadPath does; a file that is not a usable recording
// fails (kFailure), a folder without recordings does not.
inline int LoadForReview(const char* command, const std::string& path, CRecordingManager& manager) {
    TerminalScanProgress progress(command);
    manager.SetProgressView(&progress);
    manager.SetListByGpsTime(ListByGpsTimeInForce());
    bool isFolder = false;
    const int status = LoadPath(command, path, manager, isFolder);
    manager.SetProgressView(nullptr);
    if (status != kOk)
        return status;
    if (!isFolder && manager.Entries().empty()) {
        std::fprintf(stderr, "kolvex-cli %s: %s: not a usable recording\n", command, path.c_str());
        return kFailure;
    }
    return kOk;
}

// The thresholds of the player's settings file, the one `kolvex-cli
// settings` names. Only read: unlike the player, these commands make no
// configuration folder.
inline EventThresholds ThresholdsInForce() {
    const SettingsLocation location = ChooseSettingsLocation(
        QDir::currentPath(), qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME"));
    return ReadEventThresholds(CAppSettings(location.path));
}

inline void WriteThresholds(JsonWriter& json, const EventThresholds& thresholds) {
    json.Key("thresholds").BeginObject();
    for (const DrivingEventKind kind : {DrivingEventKind::Braking, DrivingEventKind::Acceleration,
                                        DrivingEventKind::Turn, DrivingEventKind::Impact}) {
        const EventRule& rule = thresholds.Rule(kind);
        json.Key(DrivingEventName(kind)).BeginObject();
        json.Key("g").Double(rule.thresholdG);
        json.Key("minMs").Int(rule.minDurationMs);
        json.EndObject();
    }
    json.EndObject();
}

inline void WriteFigureMembers(JsonWriter& json, const TripFigures& f) {
    json.Key("distanceM").Double(Tenths(f.distanceM));
    json.Key("durationMs").Int(f.durationMs);
    json.Key("movingMs").Int(f.movingMs);
    json.Key("maxSpeedKmh").Double(Tenths(f.maxSpeedKmh));
    json.Key("averageSpeedKmh").Double(Tenths(f.averageSpeedKmh));
    json.Key("events").Int(f.eventCount);
}

// Reports a recording whose blocks could not be read; the command goes on
// with the others and ends with kFailure.
inline void ReportUnreadable(const char* command, const CRecordingManager& manager, int entry) {
    std::fprintf(stderr, "kolvex-cli %s: %s: cannot read the sample blocks\n", command,
                 PrintedPath(manager, entry).c_str());
}

} // namespace kolvex::cli
