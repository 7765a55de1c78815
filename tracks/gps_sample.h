// The camera's samples exactly as they lie in a recording's blocks.
//
// A GPS block is an array of 32-byte little-endian samples at a fixed rate
// (VideoMetaInfo::gpsInfo[0] per second, 0 counts as 1). A G-sensor block is
// an array of 3-byte samples (signed x, y, z raw values).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kolvex {

struct GpsSample {
    double latitude = 0;  // degrees * 100 + minutes (4807.038 = 48 deg 07.038'); may be negative
    double longitude = 0; // same encoding; a hundredth of 200 or more marks an invalid position
    int32_t altitude = 0; // metres
    uint16_t speed = 0;   // km/h
    uint8_t year = 0;     // year - 2000; 0 = the sample carries no date
    uint8_t month = 0;    // 1..12
    uint8_t day = 0;      // 1..31
    uint8_t hour = 0;     // 0..23
    uint8_t minute = 0;   // 0..59
    uint8_t second = 0;   // 0..59
    uint8_t heading = 0;  // units of 2 degrees
    uint8_t flags = 0;    // bit 0: the position fix is valid
    uint8_t reserved[2] = {0, 0};
};

struct GSensorSample {
    int8_t x = 0;
    int8_t y = 0;
    int8_t z = 0;
};

inline constexpr size_t kGpsSampleSize = 32;
inline constexpr size_t kGSensorSampleSize = 3;
inline constexpr uint8_t kGpsFixValid = 0x01;

// Byte offsets inside a stored GPS sample.
namespace gps_offset {
inline constexpr size_t kLatitude = 0;
inline constexpr size_t kLongitude = 8;
inline constexpr size_t kAltitude = 16;
inline constexpr size_t kSpeed = 20;
inline constexpr size_t kYear = 22; // then month, day, hour, minute, second
inline constexpr size_t kHeading = 28;
inline constexpr size_t kFlags = 29;
} // namespace gps_offset

// Decodes one stored sample (kGpsSampleSize bytes at bytes), independent of
// the host's byte order.
GpsSample LoadGpsSample(const uint8_t* bytes);
// Encodes a sample into kGpsSampleSize bytes, the exact inverse of LoadGpsSample.
void StoreGpsSample(const GpsSample& sample, uint8_t* bytes);
GSensorSample LoadGSensorSample(const uint8_t* bytes);

// The whole samples of a block; a trailing partial sample is ignored.
std::vector<GpsSample> LoadGpsBlock(const uint8_t* data, size_t size);
std::vector<GSensorSample> LoadGSensorBlock(const uint8_t* data, size_t size);

} // namespace kolvex
