#include "tracks/recording_blocks.h"

#include "tracks/media_file.h"
#include "tracks/sample_decoding.h"
#include "tracks/telemetry_blocks.h"
#include "tracks/telemetry_reader.h"

#include <algorithm>
#include <optional>

namespace kolvex {

namespace {

bool ReadCameraBlocks(const std::string& path, const VideoMetaInfo& meta, RecordingBlocks& out,
                      unsigned which) {
    const bool readGps = (which & kGpsBlock) && IsReadableBlockSize(meta.gpsSize);
    const bool readGSensor = (which & kGSensorBlock) && IsReadableBlockSize(meta.gsensorSize);
    if (!readGps && !readGSensor)
        return true;
    // One open for both blocks: a whole card's figures read every recording.
    CMediaFile file;
    if (!file.Open(path))
        return false;
    try {
        const uint64_t length = file.Length();
        // The part of a block that lies inside the file.
        const auto readBlock = [&](uint64_t offset, uint64_t size, std::vector<uint8_t>& bytes,
                                   bool& whole) {
            if (offset >= length) {
                whole = false;
                return;
            }
            bytes.resize(static_cast<size_t>(std::min(size, length - offset)));
            bytes.resize(file.ReadAt(offset, bytes.data(), bytes.size()));
            whole = bytes.size() == size;
        };
        if (readGps)
            readBlock(meta.gpsOffset, meta.gpsSize, out.gps, out.gpsWhole);
        if (readGSensor)
            readBlock(meta.gsensorOffset, meta.gsensorSize, out.gsensor, out.gsensorWhole);
    } catch (const FileReadError&) {
        out = {};
        return false;
    }
    return true;
}

} // namespace

bool ReadRecordingBlocks(const std::string& path, const VideoMetaInfo& meta, RecordingBlocks& out,
                         unsigned which) {
    out = {};
    if (meta.telemetry == TelemetryFormat::Camera)
        return ReadCameraBlocks(path, meta, out, which);
    TelemetryTrack track;
    // The G-sensor samples are laid out while the telemetry is read, so that
    // its readings are not kept; readings out of time order are read again
    // and sorted. Without a duration the count of samples is known only at
    // the end. Readings not asked for are dropped (no samples).
    const bool wantGSensor = (which & kGSensorBlock) != 0;
    std::optional<GSensorBlockBuilder> gsensor;
    if (!wantGSensor || meta.durationMs > 0)
        gsensor.emplace(wantGSensor ? GSensorSampleCount(meta.durationMs, 0) : 0);
    if (!ReadTelemetry(path, meta, track, gsensor ? &*gsensor : nullptr))
        return false;
    if (wantGSensor && gsensor && !gsensor->InOrder()) {
        gsensor.reset();
        if (!ReadTelemetry(path, meta, track))
            return false;
    }
    if (which & kGpsBlock) {
        const unsigned rate = GpsRate(meta);
        // A fix stands for the samples after it until the next one, but
        // not across a gap in the reports.
        const double holdSec = std::max(1.5, 2.0 / rate);
        out.gps = GpsBlockFromFixes(track.fixes, rate, meta.durationMs, holdSec);
    }
    if (wantGSensor)
        out.gsensor =
            gsensor ? gsensor->Finish() : GSensorBlockFromAccels(track.accels, meta.durationMs);
    return true;
}

bool HasGSensorBlock(const VideoMetaInfo& meta) {
    if (meta.telemetry == TelemetryFormat::Camera)
        return IsReadableBlockSize(meta.gsensorSize);
    return meta.gsensorInfo[0] != 0;
}

} // namespace kolvex
