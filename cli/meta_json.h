// The members that describe what the reader found in one recording, as
// `probe` prints them and `scan` repeats them for every recording.
#pragma once

#include "json.h"

#include "tracks/video_meta_info.h"

#include <array>
#include <cstdint>

namespace kolvex::cli {

inline void WriteInfoBytes(JsonWriter& json, const char* key, const std::array<uint8_t, 4>& bytes) {
    json.Key(key).BeginArray();
    for (uint8_t b : bytes)
        json.Int(b);
    json.EndArray();
}

// Writes the members into the object that is open in `json`.
inline void WriteMetaMembers(JsonWriter& json, const VideoMetaInfo& meta) {
    json.Key("gpsOffset").UInt(meta.gpsOffset);
    json.Key("gpsSize").UInt(meta.gpsSize);
    json.Key("gsensorOffset").UInt(meta.gsensorOffset);
    json.Key("gsensorSize").UInt(meta.gsensorSize);
    json.Key("width").UInt(meta.width);
    json.Key("height").UInt(meta.height);
    json.Key("startTime").Int(meta.startTime);
    json.Key("durationSec").Int(meta.durationSec);
    json.Key("durationMs").UInt(meta.durationMs);
    json.Key("fileLength").UInt(meta.fileLength);
    WriteInfoBytes(json, "gpsInfo", meta.gpsInfo);
    WriteInfoBytes(json, "gsensorInfo", meta.gsensorInfo);
    // Only recordings of other formats name theirs: the camera's own
    // output stays as it has always been.
    if (meta.telemetry != TelemetryFormat::Camera) {
        json.Key("telemetry").String(TelemetryFormatName(meta.telemetry));
        json.Key("telemetryOffset").UInt(meta.telemetryOffset);
        json.Key("telemetrySize").UInt(meta.telemetrySize);
        if (meta.telemetry == TelemetryFormat::FreeGpsUnknown)
            json.Key("telemetryNote")
                .String("freeGPS boxes of a layout this reader does not know: no GPS read");
    }
}

} // namespace kolvex::cli
