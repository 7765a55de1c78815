// Recordings' tracks as one GPX document, one segment per recording.
#include "recording_manager.h"

#include "file_system.h"
#include "native_path.h"
#include "track_export.h"

#include "map/kml/gpx_writer.h"
#include "map/kml/replacing_file.h"
#include "tracks/recording_blocks.h"
#include "tracks/sample_decoding.h"
#include "tracks/track_math.h"

namespace kolvex {

namespace {

// The sample's own date when it carries a valid one (local time, as the
// camera writes it), else the recording's start plus the sample's offset.
std::optional<int64_t> SampleUtcMs(const GpsSample& sample, size_t index, unsigned rate,
                                   int64_t startTime) {
    int64_t epoch = 0;
    if (sample.year != 0) {
        // A date that does not exist (31 February) would roll over into
        // another day: such a point gets no time rather than a wrong one.
        if (!IsExistingDate(2000 + sample.year, sample.month, sample.day) ||
            !IsValidDateTime(sample.month, sample.day, sample.hour, sample.minute, sample.second) ||
            !LocalTimeToEpoch(2000 + sample.year, sample.month, sample.day, sample.hour,
                              sample.minute, sample.second, epoch))
            return std::nullopt;
        return epoch * 1000;
    }
    if (startTime == 0)
        return std::nullopt; // an unknown start would date the track 1970
    return startTime * 1000 + static_cast<int64_t>(index) * 1000 / rate;
}

} // namespace

bool WriteGpxTrack(const std::vector<GpxSource>& recordings, const QString& trackName,
                   std::string& document, size_t* points) {
    CGpxWriter writer(DisplayPath(trackName)); // a GPX document is UTF-8 whatever the name
    bool allRead = true;
    size_t written = 0;
    for (const GpxSource& source : recordings) {
        const VideoMetaInfo& meta = source.meta;
        writer.BeginSegment();
        if (meta.telemetry == TelemetryFormat::Camera && !IsReadableBlockSize(meta.gpsSize))
            continue;
        RecordingBlocks blocks;
        if (!IsRegularFile(source.path) ||
            !ReadRecordingBlocks(NativePath(source.path).toStdString(), meta, blocks, kGpsBlock)) {
            allRead = false;
            continue;
        }
        const std::vector<uint8_t>& block = blocks.gps;
        const unsigned rate = GpsRate(meta);
        const size_t count = block.size() / kGpsSampleSize;
        for (size_t i = 0; i < count; ++i) {
            const int64_t sampleMs = static_cast<int64_t>(i) * 1000 / rate;
            if (sampleMs < source.fromMs || sampleMs >= source.toMs)
                continue;
            const GpsSample sample = LoadGpsSample(block.data() + i * kGpsSampleSize);
            if (!IsExportedSample(sample))
                continue;
            GpxPoint point;
            point.latitude = DdmmToDegrees(sample.latitude / 100);
            point.longitude = DdmmToDegrees(sample.longitude / 100);
            point.elevation = sample.altitude;
            point.utcMs = SampleUtcMs(sample, i, rate, meta.startTime);
            point.speedKmh = sample.speed;
            point.courseDeg = sample.heading * 2.0;
            writer.AddPoint(point);
            ++written;
        }
    }
    document = writer.Finish();
    if (points)
        *points = written;
    return allRead;
}

bool CRecordingManager::ExportGpx(const std::vector<int>& entries, const QString& trackName,
                                  std::string& document) const {
    std::vector<GpxSource> sources;
    for (int e : entries) {
        if (e < 0 || e >= static_cast<int>(m_entries.size()))
            return false;
        sources.push_back(GpxSource{GetPath(e), m_entries[static_cast<size_t>(e)].meta});
    }
    return WriteGpxTrack(sources, trackName, document);
}

bool CRecordingManager::ExportGroupGpx(int group, std::string& document) const {
    if (group < 0 || group >= static_cast<int>(m_groups.size()))
        return false;
    const RecordingGroup& g = m_groups[static_cast<size_t>(group)];
    std::vector<int> members;
    for (int k = 0; k < g.count; ++k)
        members.push_back(g.firstEntry + k);
    return ExportGpx(members, m_entries[static_cast<size_t>(g.firstEntry)].name, document);
}

bool CRecordingManager::ExportCurrentGpx(const QString& folder, QString& path, std::string* error) {
    if (!HoldExportEntry())
        return false;
    const RecordingEntry& entry = m_entries[static_cast<size_t>(m_nCurFile)];
    path = folder + GpxFileName(entry.name, entry.meta.startTime);
    std::string document;
    if (!ExportGpx({m_nCurFile}, entry.name, document)) {
        // A track cut short is not written: an older file of that name stays.
        if (error)
            *error = "the recording's GPS block cannot be read";
        return false;
    }
    CReplacingFile file;
    if (!file.Open(path) || !file.Write(document) || !file.Commit()) {
        if (error)
            *error = file.Error();
        return false;
    }
    return true;
}

} // namespace kolvex
