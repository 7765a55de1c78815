// Turns the raw samples of a recording into values a person reads: decimal
// degrees, km/h, degrees of heading, the sample's own date, G.
#pragma once

#include "tracks/gps_sample.h"
#include "tracks/video_meta_info.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kolvex {

struct DecodedGpsSample {
    uint32_t index = 0;
    int64_t timeMs = 0;   // playback time of the sample: index * 1000 / rate
    bool hasDate = false; // the sample carries a date (year byte not 0)
    int year = 0;         // 2000 + year byte when hasDate
    int month = 0, day = 0, hour = 0, minute = 0, second = 0;
    double latitude = 0;  // decimal degrees
    double longitude = 0; // decimal degrees
    int32_t altitude = 0; // metres
    uint16_t speedKmh = 0;
    int headingDeg = 0;     // 0..510 (stored in units of 2 degrees)
    bool fixValid = false;  // bit 0 of the flags
    bool plottable = false; // fix valid and a real position
};

struct DecodedGSensorSample {
    uint32_t index = 0;
    int64_t timeMs = 0;         // index * 1000 / rate; without a rate, spread over the duration
    double x = 0, y = 0, z = 0; // G
};

// Samples per second of the GPS block: gpsInfo[0], 0 counting as 1.
unsigned GpsRate(const VideoMetaInfo& meta);
// G per 128 raw units: gsensorInfo[1], 0 counting as 8.
unsigned GSensorScale(const VideoMetaInfo& meta);

DecodedGpsSample DecodeGpsSample(const GpsSample& sample, uint32_t index, unsigned rate);
DecodedGSensorSample DecodeGSensorSample(const GSensorSample& sample, uint32_t index, unsigned rate,
                                         unsigned scale);

std::vector<DecodedGpsSample> DecodeGpsBlock(const std::vector<GpsSample>& samples,
                                             const VideoMetaInfo& meta);
std::vector<DecodedGSensorSample> DecodeGSensorBlock(const std::vector<GSensorSample>& samples,
                                                     const VideoMetaInfo& meta);

// Reads and decodes both blocks of a parsed recording. False when the file
// cannot be read; blocks that claim more than the file holds are cut.
bool ReadRecordingSamples(const std::string& path, const VideoMetaInfo& meta,
                          std::vector<GpsSample>& gps, std::vector<GSensorSample>& gsensor);

} // namespace kolvex
