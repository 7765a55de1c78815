// The stored sample layouts and the conversions to what a person reads.
#include "parse_helpers.h"
#include "tracks/sample_decoding.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kolvex {
namespace {

using namespace kolvex::fixtures;

TEST(ResolutionNameTest, NamesKnownSizesAndFormatsOthers) {
    const struct {
        int width, height;
        const char* name;
    } cases[] = {
        {1920, 1080, "FHD"},
        {2048, 1600, "QXGA"},
        {2048, 1536, "QXGA"},
        {1280, 720, "HD"},
        {320, 240, "CIF"},
        {720, 480, "480P"},
        {1280, 960, "1280x960"},
        {1080, 1920, "1080x1920"},
        {0, 720, ""},
        {720, 0, ""},
        {0, 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolutionName(c.width, c.height), c.name) << c.width << "x" << c.height;
}

TEST(DdmmToDegreesTest, ConvertsMinutesAndKeepsTheSign) {
    const struct {
        double stored, degrees;
    } cases[] = {
        {4807.038, 48.1173}, {-3352.5, -33.875}, {0.0, 0.0}, {-30.0, -0.5}, {18000.0, 180.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(DdmmToDegrees(c.stored / 100), c.degrees, 1e-9) << c.stored;
}

TEST(PlottableTest, NeedsFixAndRealCoordinates) {
    const struct {
        double latitude, longitude;
        uint8_t flags;
        bool plottable;
    } cases[] = {
        {4807.038, 1134.0, 1, true},
        {4807.038, 1134.0, 0, false},
        {20000.0, 1134.0, 1, false},
        {4807.038, 20000.0, 1, false},
        {19999.99, 19999.99, 3, false}, // below the camera's mark, yet no place on Earth
        {-4807.0, -7400.0, 1, true},
        {9000.0, 18000.0, 3, true}, // the poles and the date line are real places
        {-9000.0, -18000.0, 1, true},
        {9000.01, 1134.0, 1, false},
        {4807.038, -18000.01, 1, false},
        {-1e300, 1134.0, 1, false},
        {std::numeric_limits<double>::quiet_NaN(), 0, 1, false},
        {4807.038, std::numeric_limits<double>::infinity(), 1, false},
    };
    for (const auto& c : cases) {
        GpsSample s;
        s.latitude = c.latitude;
        s.longitude = c.longitude;
        s.flags = c.flags;
        EXPECT_EQ(IsPlottable(s), c.plottable) << c.latitude << " " << c.longitude;
    }
}

TEST(GpsSampleLayoutTest, ReadsEveryFieldAtItsStoredOffset) {
    // Written by hand, not by the fixture library, so that both cannot share
    // a wrong layout.
    uint8_t raw[32] = {0x3F, 0x35, 0x5E, 0xBA, 0x09, 0xC7, 0xB2, 0x40, // 4807.038 LE
                       0x00, 0x00, 0x00, 0x00, 0x00, 0xB8, 0x91, 0xC0, // -1134.0 LE
                       0xF6, 0xFF, 0xFF, 0xFF,                         // altitude -10
                       0x2C, 0x01,                                     // speed 300
                       15,   6,    1,    12,   34,   56,               // 2015-06-01 12:34:56
                       0xB4,                                           // heading 180 -> 360 degrees
                       0xFF,                                           // flags
                       0xAA, 0xBB};
    const GpsSample s = LoadGpsSample(raw);
    EXPECT_DOUBLE_EQ(s.latitude, 4807.038);
    EXPECT_DOUBLE_EQ(s.longitude, -1134.0);
    EXPECT_EQ(s.altitude, -10);
    EXPECT_EQ(s.speed, 300);
    EXPECT_EQ(s.year, 15);
    EXPECT_EQ(s.second, 56);
    EXPECT_EQ(s.heading, 0xB4);
    EXPECT_EQ(s.flags, 0xFF);

    uint8_t back[32] = {};
    StoreGpsSample(s, back);
    EXPECT_EQ(0, std::memcmp(raw, back, 32));
    const Bytes fixture = GpsSampleBytes(
        {4807.038, -1134.0, -10, 300, 15, 6, 1, 12, 34, 56, 0xB4, 0xFF, {0xAA, 0xBB}});
    EXPECT_EQ(0, std::memcmp(raw, fixture.data(), 32));
}

TEST(SampleDecodingTest, GpsValuesForPeople) {
    VideoMetaInfo meta;
    meta.gpsInfo[0] = 10;
    GpsSample dated = LoadGpsSample(GpsSampleBytes(DatedSample(2015, 6, 1, 12, 0, 5)).data());
    dated.heading = 135;
    dated.speed = 88;
    GpsSample undated;
    undated.latitude = 20000.0;
    undated.flags = 1;
    const auto decoded = DecodeGpsBlock({dated, undated}, meta);
    ASSERT_EQ(decoded.size(), 2u);
    EXPECT_EQ(decoded[0].timeMs, 0);
    EXPECT_EQ(decoded[1].timeMs, 100);
    EXPECT_TRUE(decoded[0].hasDate);
    EXPECT_EQ(decoded[0].year, 2015);
    EXPECT_EQ(decoded[0].second, 5);
    EXPECT_NEAR(decoded[0].latitude, 48.1173, 1e-9);
    EXPECT_EQ(decoded[0].headingDeg, 270);
    EXPECT_EQ(decoded[0].speedKmh, 88);
    EXPECT_TRUE(decoded[0].plottable);
    EXPECT_FALSE(decoded[1].hasDate);
    EXPECT_EQ(decoded[1].year, 0);
    EXPECT_TRUE(decoded[1].fixValid);
    EXPECT_FALSE(decoded[1].plottable);
}

TEST(SampleDecodingTest, GSensorScaleAndRate) {
    const struct {
        uint8_t rate, scale;
        double xOf64;
        int64_t secondSampleMs;
    } cases[] = {
        {10, 8, 4.0, 100},
        {10, 0, 4.0, 100},
        {25, 16, 8.0, 40},
        // Without a rate the samples are spread evenly over the recording.
        {0, 2, 1.0, 500},
    };
    for (const auto& c : cases) {
        VideoMetaInfo meta;
        meta.durationMs = 1000;
        meta.gsensorInfo = {c.rate, c.scale, 0, 0};
        const auto d = DecodeGSensorBlock({{64, -128, 0}, {0, 0, 127}}, meta);
        ASSERT_EQ(d.size(), 2u);
        EXPECT_DOUBLE_EQ(d[0].x, c.xOf64);
        EXPECT_DOUBLE_EQ(d[0].y, -2 * c.xOf64);
        EXPECT_EQ(d[1].timeMs, c.secondSampleMs);
    }

    VideoMetaInfo noRateNoDuration;
    const auto d = DecodeGSensorBlock({{1, 1, 1}, {2, 2, 2}}, noRateNoDuration);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].timeMs, 0);
}

TEST(SampleDecodingTest, ReadsBothBlocksOfAParsedFileWithinItsLength) {
    testing::TempDir dir;
    CameraRecording r;
    r.gps = Drive(5, 1, 2015, 6, 1, 12, 0, 0);
    r.gsensor = {{1, 2, 3}, {-1, -2, -3}};
    const std::string path = dir.File("A.MP4");
    ASSERT_TRUE(WriteFile(path, BuildMp4(r)));
    VideoMetaInfo meta;
    CKolvex3gpParser parser;
    parser.SetResultRecord(&meta);
    ASSERT_EQ(parser.Parse(path), 0);

    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
    ASSERT_TRUE(ReadRecordingSamples(path, meta, gps, gsensor));
    ASSERT_EQ(gps.size(), 5u);
    EXPECT_EQ(gps[4].second, 4);
    ASSERT_EQ(gsensor.size(), 2u);
    EXPECT_EQ(gsensor[1].z, -3);

    meta.gpsSize = 0xFFFFFFF0; // claims far more than the file holds
    ASSERT_TRUE(ReadRecordingSamples(path, meta, gps, gsensor));
    EXPECT_LT(gps.size(), 20u);
    EXPECT_FALSE(ReadRecordingSamples(dir.File("missing.MP4"), meta, gps, gsensor));
}

} // namespace
} // namespace kolvex
