#include "tracks/gps_sample.h"

#include <bit>
#include <cstring>

namespace kolvex {

namespace {

template <typename T> T LoadLE(const uint8_t* p) {
    using U = std::conditional_t<sizeof(T) == 8, uint64_t,
                                 std::conditional_t<sizeof(T) == 4, uint32_t, uint16_t>>;
    U u = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        u |= static_cast<U>(static_cast<U>(p[i]) << (8 * i));
    return std::bit_cast<T>(u);
}

template <typename T> void StoreLE(T value, uint8_t* p) {
    using U = std::conditional_t<sizeof(T) == 8, uint64_t,
                                 std::conditional_t<sizeof(T) == 4, uint32_t, uint16_t>>;
    const U u = std::bit_cast<U>(value);
    for (size_t i = 0; i < sizeof(T); ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

} // namespace

static_assert(sizeof(GpsSample) == kGpsSampleSize, "GpsSample is stored as 32 bytes");
static_assert(sizeof(GSensorSample) == kGSensorSampleSize, "GSensorSample is 3 bytes");

GpsSample LoadGpsSample(const uint8_t* b) {
    using namespace gps_offset;
    GpsSample s;
    s.latitude = LoadLE<double>(b + kLatitude);
    s.longitude = LoadLE<double>(b + kLongitude);
    s.altitude = LoadLE<int32_t>(b + kAltitude);
    s.speed = LoadLE<uint16_t>(b + kSpeed);
    s.year = b[kYear];
    s.month = b[kYear + 1];
    s.day = b[kYear + 2];
    s.hour = b[kYear + 3];
    s.minute = b[kYear + 4];
    s.second = b[kYear + 5];
    s.heading = b[kHeading];
    s.flags = b[kFlags];
    s.reserved[0] = b[30];
    s.reserved[1] = b[31];
    return s;
}

void StoreGpsSample(const GpsSample& s, uint8_t* b) {
    using namespace gps_offset;
    StoreLE(s.latitude, b + kLatitude);
    StoreLE(s.longitude, b + kLongitude);
    StoreLE(s.altitude, b + kAltitude);
    StoreLE(s.speed, b + kSpeed);
    b[kYear] = s.year;
    b[kYear + 1] = s.month;
    b[kYear + 2] = s.day;
    b[kYear + 3] = s.hour;
    b[kYear + 4] = s.minute;
    b[kYear + 5] = s.second;
    b[kHeading] = s.heading;
    b[kFlags] = s.flags;
    b[30] = s.reserved[0];
    b[31] = s.reserved[1];
}

GSensorSample LoadGSensorSample(const uint8_t* b) {
    return {static_cast<int8_t>(b[0]), static_cast<int8_t>(b[1]), static_cast<int8_t>(b[2])};
}

std::vector<GpsSample> LoadGpsBlock(const uint8_t* data, size_t size) {
    std::vector<GpsSample> samples(size / kGpsSampleSize);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = LoadGpsSample(data + i * kGpsSampleSize);
    return samples;
}

std::vector<GSensorSample> LoadGSensorBlock(const uint8_t* data, size_t size) {
    std::vector<GSensorSample> samples(size / kGSensorSampleSize);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = LoadGSensorSample(data + i * kGSensorSampleSize);
    return samples;
}

} // namespace kolvex
