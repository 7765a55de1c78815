#include "tracks/sample_decoding.h"

#include "tracks/recording_blocks.h"
#include "tracks/track_math.h"

#include <algorithm>

namespace kolvex {

unsigned GpsRate(const VideoMetaInfo& meta) {
    return meta.gpsInfo[0] != 0 ? meta.gpsInfo[0] : 1;
}

unsigned GSensorScale(const VideoMetaInfo& meta) {
    return meta.gsensorInfo[1] != 0 ? meta.gsensorInfo[1] : 8;
}

DecodedGpsSample DecodeGpsSample(const GpsSample& s, uint32_t index, unsigned rate) {
    DecodedGpsSample d;
    d.index = index;
    d.timeMs = static_cast<int64_t>(index) * 1000 / (rate != 0 ? rate : 1);
    d.hasDate = s.year != 0;
    if (d.hasDate) {
        d.year = 2000 + s.year;
        d.month = s.month;
        d.day = s.day;
        d.hour = s.hour;
        d.minute = s.minute;
        d.second = s.second;
    }
    d.latitude = DdmmToDegrees(s.latitude / 100);
    d.longitude = DdmmToDegrees(s.longitude / 100);
    d.altitude = s.altitude;
    d.speedKmh = s.speed;
    d.headingDeg = s.heading * 2;
    d.fixValid = (s.flags & kGpsFixValid) != 0;
    d.plottable = IsPlottable(s);
    return d;
}

DecodedGSensorSample DecodeGSensorSample(const GSensorSample& s, uint32_t index, unsigned rate,
                                         unsigned scale) {
    DecodedGSensorSample d;
    d.index = index;
    d.timeMs = rate != 0 ? static_cast<int64_t>(index) * 1000 / rate : 0;
    d.x = s.x * static_cast<double>(scale) / 128.0;
    d.y = s.y * static_cast<double>(scale) / 128.0;
    d.z = s.z * static_cast<double>(scale) / 128.0;
    return d;
}

std::vector<DecodedGpsSample> DecodeGpsBlock(const std::vector<GpsSample>& samples,
                                             const VideoMetaInfo& meta) {
    std::vector<DecodedGpsSample> out;
    out.reserve(samples.size());
    const unsigned rate = GpsRate(meta);
    for (size_t i = 0; i < samples.size(); ++i)
        out.push_back(DecodeGpsSample(samples[i], static_cast<uint32_t>(i), rate));
    return out;
}

std::vector<DecodedGSensorSample> DecodeGSensorBlock(const std::vector<GSensorSample>& samples,
                                                     const VideoMetaInfo& meta) {
    std::vector<DecodedGSensorSample> out;
    out.reserve(samples.size());
    const unsigned rate = meta.gsensorInfo[0];
    const unsigned scale = GSensorScale(meta);
    for (size_t i = 0; i < samples.size(); ++i) {
        out.push_back(DecodeGSensorSample(samples[i], static_cast<uint32_t>(i), rate, scale));
        // A block without a rate covers the whole recording, as the G-sensor
        // graph lays it out: sample i lies at i * duration / count.
        if (rate == 0)
            out.back().timeMs =
                static_cast<int64_t>(i * uint64_t{meta.durationMs} / samples.size());
    }
    return out;
}

bool ReadRecordingSamples(const std::string& path, const VideoMetaInfo& meta,
                          std::vector<GpsSample>& gps, std::vector<GSensorSample>& gsensor) {
    gps.clear();
    gsensor.clear();
    RecordingBlocks blocks;
    if (!ReadRecordingBlocks(path, meta, blocks))
        return false;
    gps = LoadGpsBlock(blocks.gps.data(), blocks.gps.size());
    gsensor = LoadGSensorBlock(blocks.gsensor.data(), blocks.gsensor.size());
    return true;
}

} // namespace kolvex
