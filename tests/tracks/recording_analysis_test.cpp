// Driving events and trip figures of recordings written byte by byte: each
// case is a camera file with a known drive, read back the way the library
// and the command line read it.
#include "camera_file_writer.h"
#include "temp_dir.h"
#include "tracks/parse_recording.h"
#include "tracks/recording_analysis.h"
#include "tracks/sample_decoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;

constexpr uint8_t kScale = 2; // G per 128 raw units: one unit is 1/64 G

// A stretch of steady forces in G: x forwards, y left, z up.
struct Stretch {
    double seconds;
    double x, y, z;
};

constexpr Stretch Cruise(double seconds) {
    return {seconds, 0, 0, 1};
}

// Deterministic noise in [-1, 1].
double Noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 23) - 1.0;
}

int8_t Raw(double g) {
    return static_cast<int8_t>(std::lround(std::fmax(-128, std::fmin(127, g * 128 / kScale))));
}

std::vector<GSensorRecord> Track(const std::vector<Stretch>& stretches, int rate, double noise) {
    std::vector<GSensorRecord> samples;
    uint32_t state = 7;
    for (const Stretch& s : stretches) {
        for (int i = 0; i < static_cast<int>(std::lround(s.seconds * rate)); ++i)
            samples.push_back({Raw(s.x + noise * Noise(state)), Raw(s.y + noise * Noise(state)),
                               Raw(s.z + noise * Noise(state))});
    }
    return samples;
}

double Seconds(const std::vector<Stretch>& stretches) {
    double total = 0;
    for (const Stretch& s : stretches)
        total += s.seconds;
    return total;
}

struct Read {
    VideoMetaInfo meta;
    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
};

Read WriteAndRead(const CameraRecording& recording) {
    testing::TempDir dir;
    const std::string path = dir.File("MOVA0001.MP4");
    EXPECT_TRUE(WriteFile(path, BuildMp4(recording)));
    Read read;
    EXPECT_TRUE(ParseRecording(path, read.meta));
    EXPECT_TRUE(ReadRecordingSamples(path, read.meta, read.gps, read.gsensor));
    return read;
}

struct Found {
    DrivingEventKind kind;
    int64_t timeMs;
    double peakG;
};

struct EventCase {
    const char* name;
    std::vector<Stretch> drive;
    double noise = 0;
    int rate = 10;             // samples written per second
    uint8_t rateByte = 10;     // what the recording says (0: not given)
    std::vector<Found> events; // expected, in time order
};

TEST(DrivingEventsTest, FindsWhatHappenedInWrittenRecordings) {
    using K = DrivingEventKind;
    const EventCase cases[] = {
        {"clean stop", {Cruise(5), {4, -0.25, 0, 1}, {3, 0, 0, 1}}, 0.02, 10, 10, {}},
        {"panic stop",
         {Cruise(5), {1.5, -0.8, 0, 1}, {3, 0, 0, 1}},
         0.02,
         10,
         10,
         {{K::Braking, 5000, 0.8}}},
        {"pothole spike at speed",
         {Cruise(5), {0.1, 0, 0, 1.9}, {0.1, 0, 0, 0.4}, Cruise(5)},
         0.04,
         10,
         10,
         {{K::Impact, 5000, 0.9}}},
        {"door slammed while parked",
         {Cruise(6), {0.1, -0.15, 0.3, 1.45}, {0.2, 0.05, -0.1, 0.8}, Cruise(6)},
         0.015,
         10,
         10,
         {{K::Impact, 6000, 0.56}}},
        {"sharp turn to the left",
         {Cruise(3), {3, 0, 0.5, 1}, Cruise(3)},
         0.03,
         10,
         10,
         {{K::Turn, 3000, 0.5}}},
        {"sharp turn to the right",
         {Cruise(3), {3, 0, -0.55, 1}, Cruise(3)},
         0.03,
         10,
         10,
         {{K::Turn, 3000, 0.55}}},
        {"ordinary bend", {Cruise(3), {4, 0, -0.3, 1}, Cruise(3)}, 0.03, 10, 10, {}},
        {"hard acceleration",
         {{3, 0, 0, 1}, {2, 0.45, 0, 1}, Cruise(3)},
         0.02,
         10,
         10,
         {{K::Acceleration, 3000, 0.45}}},
        {"brisk start", {{3, 0, 0, 1}, {6, 0.25, 0, 1}, Cruise(3)}, 0.02, 10, 10, {}},
        {"a brake tap too short to be braking is a jolt",
         {Cruise(5), {0.2, -0.7, 0, 1}, Cruise(5)},
         0,
         10,
         10,
         {{K::Impact, 5000, 0.7}}},
        {"rough road", {Cruise(30)}, 0.1, 10, 10, {}},
        {"panic stop on a rough road",
         {Cruise(8), {1.2, -0.7, 0, 1}, {4, 0, 0, 1}},
         0.1,
         10,
         10,
         {{K::Braking, 8000, 0.7}}},
        {"samples without a rate spread over the recording",
         {Cruise(5), {1.5, -0.8, 0, 1}, {3.5, 0, 0, 1}},
         0.02,
         10,
         0,
         {{K::Braking, 5000, 0.8}}},
        {"a fast sensor",
         {Cruise(5), {1.5, -0.8, 0, 1}, {0.05, 0, 0, 2.0}, Cruise(3)},
         0.03,
         100,
         100,
         {{K::Braking, 5000, 0.8}, {K::Impact, 6500, 1.0}}},
        {"an empty block", {}, 0, 10, 10, {}},
        {"one sample", {{0.1, -0.9, 0.9, 3}}, 0, 10, 10, {}},
    };
    for (const EventCase& c : cases) {
        SCOPED_TRACE(c.name);
        CameraRecording recording;
        recording.durationMs = static_cast<uint32_t>(std::max(1.0, Seconds(c.drive)) * 1000);
        recording.gsensor = Track(c.drive, c.rate, c.noise);
        recording.gsensorInfo = InfoRecord(c.rateByte, kScale);
        const Read read = WriteAndRead(recording);
        const auto events =
            AnalyseRecording(read.gps, read.gsensor, read.meta, EventThresholds{}).events;
        ASSERT_EQ(events.size(), c.events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].kind, c.events[i].kind) << i;
            EXPECT_NEAR(static_cast<double>(events[i].timeMs), c.events[i].timeMs, 100) << i;
            EXPECT_NEAR(events[i].peakG, c.events[i].peakG, 0.06) << i;
        }
    }
}

TEST(DrivingEventsTest, ARecordingWithoutAGSensorBlockHasNoEvents) {
    CameraRecording recording;
    recording.writeGsensor = false;
    recording.gsensorInfo.reset();
    const Read read = WriteAndRead(recording);
    EXPECT_EQ(read.meta.gsensorSize, 0u);
    EXPECT_TRUE(AnalyseRecording(read.gps, read.gsensor, read.meta, {}).events.empty());
}

// A block without a rate is spread over the recording's duration; one that
// claims far more samples than the duration holds (here 400,000 in a
// second) is read in a blink and still gives its stop.
TEST(DrivingEventsTest, ADenseBlockWithoutARateStaysQuick) {
    CameraRecording recording;
    recording.durationMs = 1000;
    recording.gsensor.assign(400000, GSensorRecord{0, 0, Raw(1)});
    for (size_t i = 100000; i < 300000; ++i)
        recording.gsensor[i].x = Raw(-0.8);
    recording.gsensorInfo = InfoRecord(0, kScale);
    const Read read = WriteAndRead(recording);
    const auto events = AnalyseRecording(read.gps, read.gsensor, read.meta, {}).events;
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, DrivingEventKind::Braking);
    EXPECT_EQ(events[0].timeMs, 250);
    EXPECT_NEAR(static_cast<double>(events[0].durationMs), 500, 1);
}

// The thresholds decide: a stricter minimum duration drops the stop, a
// threshold of 0 switches its kind off, a lower threshold finds the stop
// that the defaults let pass. A stop's duration and peak are its own.
TEST(DrivingEventsTest, ThresholdsAndMinimumDurationsDecide) {
    CameraRecording recording;
    recording.durationMs = 12000;
    recording.gsensor = Track({Cruise(5), {1.5, -0.5, 0, 1}, {4, -0.3, 0, 1}, Cruise(1.5)}, 10, 0);
    recording.gsensorInfo = InfoRecord(10, kScale);
    const Read read = WriteAndRead(recording);
    const auto detect = [&](const EventThresholds& t) {
        return AnalyseRecording(read.gps, read.gsensor, read.meta, t).events;
    };

    const auto defaults = detect({});
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(defaults[0].durationMs, 1500);
    EXPECT_NEAR(defaults[0].peakG, 0.5, 0.02);

    EventThresholds strict;
    strict.braking.minDurationMs = 2000;
    EXPECT_TRUE(detect(strict).empty());

    EventThresholds off;
    off.braking.thresholdG = 0;
    EXPECT_TRUE(detect(off).empty());

    EventThresholds sensitive;
    sensitive.braking.thresholdG = 0.25;
    const auto both = detect(sensitive);
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].timeMs, 5000);
    EXPECT_EQ(both[0].durationMs, 5500);
}

// A drive written with the fixture library's straight road at a known speed
// gives its length within 1 %, and the figures that follow from it.
TEST(TripFiguresTest, AStraightDriveHasItsKnownLength) {
    const struct {
        const char* name;
        unsigned rate;
        uint16_t speedKmh;
        size_t samples;
    } cases[] = {
        {"1 Hz at 50 km/h for 10 minutes", 1, 50, 601},
        {"10 Hz at 90 km/h for 2 minutes", 10, 90, 1201},
        {"1 Hz at 300 km/h (fast, still no jump)", 1, 300, 61},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CameraRecording recording;
        recording.durationMs = static_cast<uint32_t>(c.samples / c.rate * 1000);
        recording.gps = Drive(c.samples, c.rate, 2026, 5, 14, 8, 0, 0, c.speedKmh);
        recording.gpsInfo = InfoRecord(static_cast<uint8_t>(c.rate));
        const Read read = WriteAndRead(recording);
        const TripFigures f = AnalyseRecording(read.gps, read.gsensor, read.meta, {}).figures;
        const double expected = static_cast<double>(c.samples - 1) / c.rate * c.speedKmh / 3.6;
        EXPECT_NEAR(f.distanceM, expected, expected * 0.01);
        EXPECT_EQ(f.durationMs, recording.durationMs);
        EXPECT_EQ(f.movingMs, recording.durationMs);
        EXPECT_EQ(f.maxSpeedKmh, c.speedKmh);
        // The distance spans one interval fewer than the samples' time.
        EXPECT_NEAR(f.averageSpeedKmh, c.speedKmh, c.speedKmh * 0.02);
        EXPECT_EQ(f.eventCount, 0);
    }
}

// Fixes that leap are left out, the scale of the limit follows the time
// between fixes, lost fixes add no distance of their own and standing time
// is not moving time.
TEST(TripFiguresTest, JumpsLostFixesAndStandingTime) {
    auto drive = Drive(121, 1, 2026, 5, 14, 8, 0, 0, 36); // 10 m a second for 2 minutes
    const double straight = 1200;
    // Sample 30 leaps 5 km away and back: both legs are jumps.
    drive[30].latitude += 300; // 3 degrees of latitude in the camera's form
    // Samples 60..69 lost their fix (a tunnel): the 110 m from 59 to 70
    // take 11 s, well under the limit, and count.
    for (int i = 60; i < 70; ++i)
        drive[static_cast<size_t>(i)].flags = 0;
    // The last 20 samples stand still at the last position.
    for (size_t i = 101; i < drive.size(); ++i) {
        drive[i].latitude = drive[100].latitude;
        drive[i].longitude = drive[100].longitude;
        drive[i].speed = 1;
    }
    CameraRecording recording;
    recording.durationMs = 121000;
    recording.gps = drive;
    const Read read = WriteAndRead(recording);
    const TripFigures f = AnalyseRecording(read.gps, read.gsensor, read.meta, {}).figures;
    // 100 s of 10 m, less the two legs around the leap (29->30->31 is
    // replaced by nothing: 20 m lost).
    const double expected = straight - 200 - 20;
    EXPECT_NEAR(f.distanceM, expected, expected * 0.01);
    EXPECT_EQ(f.movingMs, (101 - 10) * 1000); // the tunnel's and the standing samples do not move
    EXPECT_EQ(f.maxSpeedKmh, 36);
}

TEST(TripFiguresTest, TotalsAddUpAndAverageOverMovingTime) {
    TripFigures total;
    AddTripFigures(total, {1000, 60000, 36000, 80, 100, 2});
    AddTripFigures(total, {2000, 60000, 36000, 120, 200, 1});
    AddTripFigures(total, {0, 30000, 0, 0, 0, 0}); // parked
    EXPECT_DOUBLE_EQ(total.distanceM, 3000);
    EXPECT_EQ(total.durationMs, 150000);
    EXPECT_EQ(total.movingMs, 72000);
    EXPECT_EQ(total.maxSpeedKmh, 120);
    EXPECT_DOUBLE_EQ(total.averageSpeedKmh, 150);
    EXPECT_EQ(total.eventCount, 3);
}

TEST(TripFiguresTest, HaversineOfKnownDistances) {
    // A degree of latitude on the mean sphere, and a quarter of the equator.
    EXPECT_NEAR(HaversineMetres(0, 0, 1, 0), 111194.9, 0.1);
    EXPECT_NEAR(HaversineMetres(0, 0, 0, 90), 10007543.4, 1);
    EXPECT_EQ(HaversineMetres(48.1, 11.5, 48.1, 11.5), 0);
}

} // namespace
} // namespace kolvex
