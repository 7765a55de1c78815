// The camera's clock against GPS time: the GPS start the fixes agree on,
// the offset of recordings written as cameras write them, and how an
// offset reads as a time zone and an error.
#include "clock_fixture.h"
#include "temp_dir.h"

#include "tracks/camera_clock.h"
#include "tracks/parse_recording.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace kolvex {
namespace {

using namespace fixtures;

// The camera's and the player's local time: Berlin.
class BerlinTime : public ::testing::Test {
private:
    ScopedTimeZone m_zone;
};

constexpr int64_t kStartMs = kSummerUtc * 1000;

// Fixes at `rate` a second from kStartMs, their UTC times shifted by
// `shiftMs` where given.
std::vector<TelemetryFix> Fixes(int count, double rate, const std::vector<int64_t>& shiftMs = {}) {
    std::vector<TelemetryFix> fixes;
    for (int k = 0; k < count; ++k) {
        TelemetryFix f;
        f.timeSec = k / rate;
        f.fix = true;
        f.utcMs = kStartMs + std::llround(f.timeSec * 1000) +
                  (static_cast<size_t>(k) < shiftMs.size() ? shiftMs[static_cast<size_t>(k)] : 0);
        fixes.push_back(f);
    }
    return fixes;
}

TEST(GpsStartTest, FixesThatAgreeSetItAndOutliersDoNot) {
    constexpr int64_t kHour = 3600 * 1000;
    std::vector<TelemetryFix> invalid = Fixes(10, 1);
    for (TelemetryFix& f : invalid)
        f.fix = false;
    std::vector<TelemetryFix> noTime = Fixes(10, 1);
    for (TelemetryFix& f : noTime)
        f.utcMs = -1;
    struct Case {
        const char* name;
        std::vector<TelemetryFix> fixes;
        double withinSec;
        std::optional<int64_t> start;
    };
    const Case cases[] = {
        {"steady at 1 Hz", Fixes(10, 1), 0, kStartMs},
        {"steady at 10 Hz", Fixes(30, 10), 0, kStartMs},
        {"a bad first fix an hour early", Fixes(10, 1, {-kHour}), 0, kStartMs},
        {"two bad first fixes of a week-rollover date",
         Fixes(8, 1, {-7 * 24 * kHour, -7 * 24 * kHour}), 0, kStartMs},
        {"a fix that jumps in the middle", Fixes(10, 1, {0, 0, 0, 0, 0, 18000}), 0, kStartMs},
        {"jitter under a second", Fixes(6, 1, {0, 400, -300, 0, 200, 0}), 0, kStartMs},
        {"two fixes are too few", Fixes(2, 1), 0, std::nullopt},
        {"no fix is valid", invalid, 0, std::nullopt},
        {"no fix has a UTC time", noTime, 0, std::nullopt},
        {"no two fixes agree", Fixes(5, 1, {0, 10000, 20000, 30000, 40000}), 0, std::nullopt},
        {"fixes past the recording do not count", Fixes(10, 1), 1.5, std::nullopt},
        {"within the recording", Fixes(10, 1), 3, kStartMs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GpsStartUtcMs(c.fixes, c.withinSec), c.start) << c.name;
}

TEST(ClockOffsetTest, ReadsAsATimeZoneAndASmallError) {
    struct Case {
        int64_t offset;
        ClockOffsetParts parts;
    };
    const Case cases[] = {
        {0, {0, 0, true}},
        {3612, {3600, 12, true}},
        {7380, {7200, 180, true}},
        {-180, {0, -180, true}},
        {-5 * 3600 - 40, {-5 * 3600, -40, true}},
        {5 * 3600 + 1800, {5 * 3600 + 1800, 0, true}}, // UTC+05:30
        {500, {0, 500, false}},                        // 8 min 20 s: no zone
        {40 * 24 * 3600, {0, 40 * 24 * 3600, false}},  // a clock that lost its date
    };
    for (const Case& c : cases) {
        const ClockOffsetParts parts = SplitClockOffset(c.offset);
        EXPECT_EQ(parts.zoneSec, c.parts.zoneSec) << c.offset;
        EXPECT_EQ(parts.errorSec, c.parts.errorSec) << c.offset;
        EXPECT_EQ(parts.likeZone, c.parts.likeZone) << c.offset;
    }
}

TEST(ClockOffsetTest, TheCardTakesTheMedian) {
    EXPECT_EQ(CardClockOffset({}), std::nullopt);
    EXPECT_EQ(CardClockOffset({7380}), 7380);
    // One recording of a clock set later on the card does not move it.
    EXPECT_EQ(CardClockOffset({7380, 7381, 0, 7380, 7379}), 7380);
}

TEST_F(BerlinTime, CorrectedStartsKeepTheCamerasSpacing) {
    VideoMetaInfo meta;
    int64_t camera = 0;
    ASSERT_TRUE(LocalTimeToEpoch(2026, 5, 14, 8, 15, 0, camera));
    meta.startTime = camera;
    meta.cameraStartTime = camera;
    meta.gpsStartMs = kStartMs + 1000; // its GPS start a second late
    ASSERT_EQ(CameraClockOffset(meta), 7379);
    // With the card at 7380 it keeps the card's figure: 06:12:00 UTC.
    EXPECT_EQ(GpsCorrectedStartTime(meta, 7380), kSummerUtc);
    // A card whose clock was another: the recording's own figure.
    EXPECT_EQ(GpsCorrectedStartTime(meta, 0), kSummerUtc + 1);
    // Without a camera time, the GPS start; without GPS time, as read.
    meta.cameraStartTime = 0;
    EXPECT_EQ(GpsCorrectedStartTime(meta, 7380), kSummerUtc + 1);
    meta.gpsStartMs = 0;
    EXPECT_EQ(GpsCorrectedStartTime(meta, 7380), camera);
}

// Recordings written as cameras write them: the camera's text date on its
// clock, GPS beside it in an NMEA side file.
TEST_F(BerlinTime, OffsetOfWrittenRecordings) {
    struct Case {
        const char* name;
        std::string textDate;
        int64_t utcStart;
        bool dated;
        std::optional<int64_t> offset;
    };
    const Case cases[] = {
        {"a camera on local summer time", "2026-05-14 08:12:00", kSummerUtc, true, 7200},
        {"a camera on local winter time, 12 s fast", "2026-01-14 07:12:12", kWinterUtc, true, 3612},
        {"a camera on UTC", "2026-05-14 06:12:00", kSummerUtc, true, 0},
        {"a camera 3 minutes fast", "2026-05-14 08:15:00", kSummerUtc, true, 7380},
        {"a camera 40 s slow on UTC", "2026-05-14 06:11:20", kSummerUtc, true, -40},
        {"GPS times of day without a date", "2026-05-14 08:12:00", kSummerUtc, false, std::nullopt},
        {"no camera time", "", kSummerUtc, true, std::nullopt},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.File("MOVA0010.MP4");
        ASSERT_TRUE(WriteFile(path, BuildMp4(DatedOnly(c.textDate))));
        {
            const std::string text = NmeaSeconds(c.utcStart, 20, c.dated);
            ASSERT_TRUE(WriteFile(dir.File("MOVA0010.NMEA"), Bytes(text.begin(), text.end())));
        }
        VideoMetaInfo meta;
        ASSERT_TRUE(ParseRecording(path, meta)) << c.name;
        EXPECT_EQ(meta.telemetry, TelemetryFormat::Nmea) << c.name;
        EXPECT_EQ(meta.gpsStartMs, c.dated ? c.utcStart * 1000 : 0) << c.name;
        EXPECT_EQ(CameraClockOffset(meta), c.offset) << c.name;
        if (!c.textDate.empty())
            EXPECT_EQ(meta.startTime, meta.cameraStartTime) << c.name << ": listed by the camera";
        else
            EXPECT_EQ(meta.startTime, c.utcStart) << c.name << ": dated by the GPS";
    }
}

TEST_F(BerlinTime, TheCamerasOwnSamplesHoldNoGpsTime) {
    // The camera writes local time into its samples: no UTC to compare.
    testing::TempDir dir;
    CameraRecording r;
    r.textDate = "2026-05-14 08:12:00";
    r.gps = Drive(20, 1, 2026, 5, 14, 8, 12, 0);
    ASSERT_TRUE(WriteFile(dir.File("MOVA0010.MP4"), BuildMp4(r)));
    VideoMetaInfo meta;
    ASSERT_TRUE(ParseRecording(dir.File("MOVA0010.MP4"), meta));
    EXPECT_EQ(meta.gpsStartMs, 0);
    EXPECT_EQ(meta.cameraStartTime, 0);
    EXPECT_EQ(CameraClockOffset(meta), std::nullopt);
}

// freeGPS boxes lie one a second whatever time they tell, so a receiver's
// bad first time stands out against the rest.
TEST_F(BerlinTime, AGpsTimeThatJumpsDoesNotSetTheOffsetOrTheStart) {
    const auto boxes = [](int64_t firstUtc) {
        std::vector<Bytes> out;
        for (int k = 0; k < 10; ++k) {
            const std::time_t t = static_cast<std::time_t>(k == 0 ? firstUtc : kSummerUtc + k);
            std::tm utc{};
            gmtime_r(&t, &utc);
            FreeGpsFix f;
            f.hour = static_cast<uint32_t>(utc.tm_hour);
            f.minute = static_cast<uint32_t>(utc.tm_min);
            f.second = static_cast<uint32_t>(utc.tm_sec);
            f.year = static_cast<uint32_t>(utc.tm_year % 100);
            f.month = static_cast<uint32_t>(utc.tm_mon + 1);
            f.day = static_cast<uint32_t>(utc.tm_mday);
            f.latitude = 4807.038f;
            f.longitude = 1131.000f;
            out.push_back(FreeGpsBox(f));
        }
        return out;
    };
    struct Case {
        const char* name;
        std::string textDate;
        int64_t firstUtc;
    };
    const Case cases[] = {
        {"steady", "2026-05-14 08:12:00", kSummerUtc},
        {"first fix an hour early", "2026-05-14 08:12:00", kSummerUtc - 3600},
        {"first fix a week-rollover date", "2026-05-14 08:12:00", kSummerUtc - 1024 * 7 * 86400},
        {"first fix an hour early, no camera time", "", kSummerUtc - 3600},
    };
    testing::TempDir dir;
    for (const Case& c : cases) {
        CameraRecording r = DatedOnly(c.textDate, 10000);
        r.place = RecordPlace::InsideMovie;
        const std::string path = dir.File("MOVA0010.MP4");
        ASSERT_TRUE(WriteFile(path, AddFreeGpsBoxes(BuildMp4(r), boxes(c.firstUtc))));
        VideoMetaInfo meta;
        ASSERT_TRUE(ParseRecording(path, meta)) << c.name;
        ASSERT_EQ(meta.telemetry, TelemetryFormat::FreeGps) << c.name;
        EXPECT_EQ(meta.gpsStartMs, kStartMs) << c.name;
        if (c.textDate.empty()) {
            EXPECT_EQ(CameraClockOffset(meta), std::nullopt) << c.name;
            EXPECT_EQ(meta.startTime, kSummerUtc) << c.name << ": from the fixes that agree";
        } else {
            EXPECT_EQ(CameraClockOffset(meta), 7200) << c.name;
        }
    }
}

} // namespace
} // namespace kolvex
