#include "camera_tracks.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kolvex::samplecard {

namespace {

constexpr double kGravity = 9.80665; // m/s² per G

const DriveState& StateAt(const std::vector<DriveState>& drive, double time) {
    const auto index = static_cast<long>(std::lround(time * kStatesPerSecond));
    if (drive.empty() || index < 0 || static_cast<size_t>(index) >= drive.size())
        throw std::out_of_range("a recording reaches beyond the end of its drive");
    return drive[static_cast<size_t>(index)];
}

bool InOutage(const std::vector<GpsOutage>& outages, double time) {
    return std::any_of(outages.begin(), outages.end(),
                       [time](const GpsOutage& o) { return time >= o.from && time < o.to; });
}

// Deterministic noise in [-1, 1] (SplitMix64), the same on every machine.
double Noise(uint64_t seed, uint64_t index) {
    uint64_t z = seed + 0x9E3779B97F4A7C15ull * (index + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

int8_t Raw(double g, int scale) {
    const double raw = std::round(g * 128.0 / scale);
    return static_cast<int8_t>(std::clamp(raw, -128.0, 127.0));
}

} // namespace

double DegreesToDdmm(double degrees) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    return std::copysign(whole * 100.0 + (magnitude - whole) * 60.0, degrees);
}

std::vector<fixtures::GpsRecord> CameraGpsTrack(const std::vector<DriveState>& drive,
                                                const RecordingWindow& window, int rate,
                                                const std::vector<GpsOutage>& outages) {
    std::vector<fixtures::GpsRecord> samples;
    const int count = window.seconds * rate;
    for (int i = 0; i < count; ++i) {
        const double time = window.from + static_cast<double>(i) / rate;
        fixtures::GpsRecord sample;
        if (!InOutage(outages, time)) {
            const DriveState& car = StateAt(drive, time);
            const WallClock clock = window.start.Plus(i / rate);
            sample.latitude = DegreesToDdmm(car.latitude);
            sample.longitude = DegreesToDdmm(car.longitude);
            sample.altitude = static_cast<int32_t>(std::lround(car.altitude));
            sample.speed = static_cast<uint16_t>(std::lround(car.speed * 3.6));
            sample.year = static_cast<uint8_t>(clock.year - 2000);
            sample.month = static_cast<uint8_t>(clock.month);
            sample.day = static_cast<uint8_t>(clock.day);
            sample.hour = static_cast<uint8_t>(clock.hour);
            sample.minute = static_cast<uint8_t>(clock.minute);
            sample.second = static_cast<uint8_t>(clock.second);
            sample.heading = static_cast<uint8_t>(std::lround(car.heading / 2.0) % 180);
            sample.flags = 1;
        }
        samples.push_back(sample);
    }
    return samples;
}

const DriveState& DriveStateAt(const std::vector<DriveState>& drive, double time) {
    return StateAt(drive, time);
}

bool InGpsOutage(const std::vector<GpsOutage>& outages, double time) {
    return InOutage(outages, time);
}

Forces ForcesAt(const std::vector<DriveState>& drive, double time, const std::vector<Jolt>& jolts,
                uint64_t seed, uint64_t sample) {
    const DriveState& car = StateAt(drive, time);
    // A standing car with its engine running still hums a little.
    const double roughness = 0.015 + 0.045 * std::min(1.0, car.speed / 20.0);
    const uint64_t n = sample * 3;
    Forces g;
    g.x = car.acceleration / kGravity + roughness * Noise(seed, n);
    g.y = -car.lateralAcceleration / kGravity + roughness * Noise(seed, n + 1);
    g.z = 1.0 + 1.5 * roughness * Noise(seed, n + 2);
    for (const Jolt& jolt : jolts) {
        if (time >= jolt.time && time < jolt.time + jolt.seconds) {
            g.x += jolt.x;
            g.y += jolt.y;
            g.z += jolt.z;
        }
    }
    return g;
}

std::vector<fixtures::GSensorRecord> CameraGSensorTrack(const std::vector<DriveState>& drive,
                                                        const RecordingWindow& window, int rate,
                                                        int scale, const std::vector<Jolt>& jolts,
                                                        uint64_t seed) {
    std::vector<fixtures::GSensorRecord> samples;
    const int count = window.seconds * rate;
    for (int i = 0; i < count; ++i) {
        const double time = window.from + static_cast<double>(i) / rate;
        const Forces g = ForcesAt(drive, time, jolts, seed, static_cast<uint64_t>(i));
        samples.push_back({Raw(g.x, scale), Raw(g.y, scale), Raw(g.z, scale)});
    }
    return samples;
}

} // namespace kolvex::samplecard
