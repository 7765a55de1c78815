#include "tracks/telemetry_reader.h"

#include "tracks/camera_clock.h"
#include "tracks/camm_reader.h"
#include "tracks/freegps_reader.h"
#include "tracks/gpmf_reader.h"
#include "tracks/mp4_track.h"
#include "tracks/nmea_reader.h"
#include "tracks/telemetry_blocks.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kolvex {

namespace {

// Samples of a track taken at most: two hours of packets at 250 a second.
constexpr size_t kMaxTrackSamples = 2u << 20;
// What the examination reads: enough packets to meet a position and an
// acceleration, and the first part of a side file.
constexpr size_t kExaminedGpmfSamples = 3;
constexpr size_t kExaminedCammSamples = 64;
constexpr size_t kExaminedFreeGpsBoxes = 8;
constexpr uint64_t kExaminedSideFileBytes = 16 * 1024;
// The size of one freeGPS box that is read; larger claims are damage.
constexpr uint32_t kMaxFreeGpsBox = 64 * 1024;

const char* const kFormatNames[] = {"", "gpmf", "camm", "freegps", "freegps", "nmea"};

// Readers mostly deliver their values in time order already: then sorting
// (a stable sort would keep that order) is skipped. A time that is no
// number never counts as in order.
template <typename T> void SortByTime(std::vector<T>& values) {
    const auto before = [](const T& a, const T& b) { return a.timeSec < b.timeSec; };
    const auto outOfOrder = [](const T& a, const T& b) { return !(a.timeSec <= b.timeSec); };
    if (std::adjacent_find(values.begin(), values.end(), outOfOrder) != values.end())
        std::stable_sort(values.begin(), values.end(), before);
}

void SortByTime(TelemetryTrack& track) {
    SortByTime(track.fixes);
    SortByTime(track.accels);
}

Mp4Box TrakAt(const TelemetryLocation& location) {
    Mp4Box trak;
    trak.payload = location.offset;
    trak.length = location.size;
    return trak;
}

// Hands the readings of one sample to accels, when given.
void PassAccels(TelemetryTrack& out, GSensorBlockBuilder* accels) {
    if (!accels)
        return;
    for (const TelemetryAccel& a : out.accels)
        accels->Add(a);
    out.accels.clear();
}

void ReadGpmf(CMediaFile& file, const TelemetryLocation& location, size_t maxSamples,
              TelemetryTrack& out, GSensorBlockBuilder* accels = nullptr) {
    const auto samples = ReadTrackSamples(file, TrakAt(location), maxSamples);
    ForEachSamplePayload(file, samples, kMaxCameraBlockSize,
                         [&](const TrackSample& s, const uint8_t* data, size_t size) {
                             ReadGpmfPayload(data, size, s.startSec, s.durationSec, out);
                             PassAccels(out, accels);
                             return true;
                         });
}

bool HasDatedFix(const TelemetryTrack& track) {
    return std::any_of(track.fixes.begin(), track.fixes.end(),
                       [](const TelemetryFix& f) { return f.utcMs >= 0; });
}

// The examination reads payloads one at a time and stops once it has met a
// dated position and an acceleration: a later payload covers later times,
// so its positions cannot come before the ones met.
void ExamineGpmf(CMediaFile& file, const TelemetryLocation& location, TelemetryTrack& out) {
    const auto samples = ReadTrackSamples(file, TrakAt(location), kExaminedGpmfSamples);
    ForEachSamplePayload(file, samples, kMaxCameraBlockSize,
                         [&](const TrackSample& s, const uint8_t* data, size_t size) {
                             ReadGpmfPayload(data, size, s.startSec, s.durationSec, out);
                             return out.accels.empty() || !HasDatedFix(out);
                         });
}

void ReadCamm(CMediaFile& file, const TelemetryLocation& location, size_t maxSamples,
              TelemetryTrack& out, GSensorBlockBuilder* accels = nullptr) {
    const auto samples = ReadTrackSamples(file, TrakAt(location), maxSamples);
    ForEachSamplePayload(file, samples, kMaxCameraBlockSize,
                         [&](const TrackSample& s, const uint8_t* data, size_t size) {
                             ReadCammPacket(data, size, s.startSec, out);
                             PassAccels(out, accels);
                             return true;
                         });
    DeriveCammSpeeds(out);
}

// Reads the boxes of the index; false when the first box is of a layout
// not read here (then nothing is added).
bool ReadFreeGps(CMediaFile& file, const TelemetryLocation& location, size_t maxBoxes,
                 TelemetryTrack& out) {
    if (location.size > kMaxCameraBlockSize)
        return true;
    std::vector<uint8_t> index(static_cast<size_t>(location.size));
    index.resize(file.ReadAt(location.offset, index.data(), index.size()));
    const auto entries = ReadFreeGpsIndex(index.data(), index.size(), maxBoxes);
    std::vector<uint8_t> box;
    uint64_t total = 0;
    bool first = true;
    double timeSec = 0;
    for (const auto& [position, size] : entries) {
        if (size > kMaxFreeGpsBox || total + size > kMaxCameraBlockSize)
            break;
        total += size;
        box.resize(size);
        box.resize(file.ReadAt(position, box.data(), box.size()));
        const FreeGpsLayout layout = IdentifyFreeGpsBox(box.data(), box.size());
        if (first && layout == FreeGpsLayout::Unknown)
            return false;
        first = false;
        // One box a second: the index's order is the recording's.
        if (auto fix = ReadFreeGpsBox(box.data(), box.size(), timeSec))
            out.fixes.push_back(*fix);
        timeSec += 1.0;
    }
    return true;
}

bool ReadSideFile(const std::string& path, uint64_t maxBytes, TelemetryTrack& out) {
    std::vector<uint8_t> bytes;
    if (!ReadFileRange(path, 0, std::min<uint64_t>(maxBytes, kMaxCameraBlockSize), bytes))
        return false;
    out.fixes =
        ReadNmeaText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
}

} // namespace

const char* TelemetryFormatName(TelemetryFormat format) {
    const auto index = static_cast<size_t>(format);
    return index < std::size(kFormatNames) ? kFormatNames[index] : "";
}

unsigned ConvertedGpsRate(TelemetryFormat format) {
    return format == TelemetryFormat::Gpmf || format == TelemetryFormat::Camm ? 10 : 1;
}

TelemetryLocation FindMp4Telemetry(CMediaFile& file, uint64_t moovPayload, uint64_t moovLength) {
    TelemetryLocation found;
    std::optional<Mp4Box> index;
    for (const Mp4Box& box : ReadChildBoxes(file, moovPayload, moovLength)) {
        if (box.Is("trak")) {
            const std::string entry = TrackSampleEntry(file, box);
            if (entry == "gpmd" || entry == "camm") {
                found.format = entry == "gpmd" ? TelemetryFormat::Gpmf : TelemetryFormat::Camm;
                found.offset = box.payload;
                found.size = box.length;
                return found;
            }
        } else if (box.Is("gps ") && !index) {
            index = box;
        }
    }
    if (index) {
        found.format = TelemetryFormat::FreeGps;
        found.offset = index->payload;
        found.size = index->length;
    }
    return found;
}

TelemetryLocation FindSideFileTelemetry(const std::string& recordingPath) {
    TelemetryLocation found;
    const std::string side = FindNmeaSideFile(recordingPath);
    if (side.empty())
        return found;
    CMediaFile file;
    if (!file.Open(side))
        return found;
    found.format = TelemetryFormat::Nmea;
    found.size = file.Length();
    return found;
}

TelemetryStart ExamineTelemetry(CMediaFile& file, const std::string& recordingPath,
                                const TelemetryLocation& location, double withinSec) {
    TelemetryStart start;
    TelemetryTrack track;
    switch (location.format) {
    case TelemetryFormat::Gpmf:
        ExamineGpmf(file, location, track);
        break;
    case TelemetryFormat::Camm:
        ReadCamm(file, location, kExaminedCammSamples, track);
        break;
    case TelemetryFormat::FreeGps:
    case TelemetryFormat::FreeGpsUnknown:
        start.knownLayout = ReadFreeGps(file, location, kExaminedFreeGpsBoxes, track);
        break;
    case TelemetryFormat::Nmea:
        // All of the examined bytes: the start is set by fixes that agree
        // with each other, not by the first dated one alone.
        ReadSideFile(FindNmeaSideFile(recordingPath), kExaminedSideFileBytes, track);
        break;
    case TelemetryFormat::Camera:
        break;
    }
    start.hasAccel = !track.accels.empty();
    track.accels.clear(); // only whether there are any counts here: not sorted
    SortByTime(track);
    const std::optional<int64_t> agreed = GpsStartUtcMs(track.fixes, withinSec);
    start.gpsStartMs = agreed.value_or(0);
    for (const TelemetryFix& f : track.fixes) {
        if (f.utcMs >= 0 && (!agreed || AgreesWithGpsStart(f, *agreed))) {
            start.startTime = static_cast<int64_t>(
                std::floor((static_cast<double>(f.utcMs) - f.timeSec * 1000.0) / 1000.0));
            break;
        }
    }
    return start;
}

bool ReadTelemetry(const std::string& recordingPath, const VideoMetaInfo& meta, TelemetryTrack& out,
                   GSensorBlockBuilder* accels) {
    out = {};
    if (meta.telemetry == TelemetryFormat::Camera ||
        meta.telemetry == TelemetryFormat::FreeGpsUnknown)
        return true;
    if (meta.telemetry == TelemetryFormat::Nmea) {
        const std::string side = FindNmeaSideFile(recordingPath);
        return !side.empty() && ReadSideFile(side, kMaxCameraBlockSize, out);
    }
    CMediaFile file;
    if (!file.Open(recordingPath))
        return false;
    TelemetryLocation location{meta.telemetry, meta.telemetryOffset, meta.telemetrySize};
    try {
        if (meta.telemetry == TelemetryFormat::Gpmf)
            ReadGpmf(file, location, kMaxTrackSamples, out, accels);
        else if (meta.telemetry == TelemetryFormat::Camm)
            ReadCamm(file, location, kMaxTrackSamples, out, accels);
        else
            ReadFreeGps(file, location, kMaxCameraBlockSize / 8, out);
    } catch (const FileReadError&) {
        out = {};
        return false;
    }
    SortByTime(out);
    return true;
}

} // namespace kolvex
