// Recordings of other cameras as real H.264 clips: the parse names their
// telemetry and dates them, the blocks every consumer reads carry the drive,
// and exiftool reads the same positions and speeds from the same files.
#include "telemetry_clips.h"

#include "tracks/media_file.h"
#include "tracks/nmea_reader.h"
#include "tracks/parse_recording.h"
#include "tracks/recording_blocks.h"
#include "tracks/sample_decoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

namespace kolvex {
namespace {

using testing::ClipFormat;

struct FormatCase {
    const char* name;
    ClipFormat format;
    TelemetryFormat telemetry;
    bool dated;                      // the format carries UTC times
    bool crossCheck;                 // exiftool reads this format
    bool speedStored;                // the format stores a speed (CAMM type 5 has none)
    double exiftoolSpeedToKmh = 3.6; // exiftool gives m/s, or km/h for freeGPS
};

const FormatCase kCases[] = {
    {"Gpmf5", ClipFormat::Gpmf5, TelemetryFormat::Gpmf, true, true, true},
    // exiftool 12.57 (Debian 12) predates GPS9.
    {"Gpmf9", ClipFormat::Gpmf9, TelemetryFormat::Gpmf, true, false, true},
    {"CammGps", ClipFormat::CammGps, TelemetryFormat::Camm, true, true, true},
    {"CammPosition", ClipFormat::CammPosition, TelemetryFormat::Camm, false, true, false},
    {"FreeGps", ClipFormat::FreeGps, TelemetryFormat::FreeGps, true, true, true, 1.0},
    // A side file is no part of the recording for exiftool.
    {"Nmea", ClipFormat::Nmea, TelemetryFormat::Nmea, true, false, true},
};

class TelemetryClipTest : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        if (!fixtures::HaveFfmpeg())
            GTEST_SKIP() << "ffmpeg is not installed";
        m_clip = testing::MakeClip(m_dir, GetParam().format, std::string(GetParam().name) + ".MP4");
        ASSERT_FALSE(m_clip.path.empty());
    }
    testing::TempDir m_dir;
    testing::Clip m_clip;
};

TEST_P(TelemetryClipTest, ParseNamesTheFormatAndDatesTheRecording) {
    VideoMetaInfo meta;
    std::string reason;
    ASSERT_TRUE(ParseRecording(m_clip.path, meta, nullptr, &reason)) << reason;
    EXPECT_EQ(meta.telemetry, GetParam().telemetry);
    EXPECT_EQ(meta.width, 640);
    EXPECT_NEAR(meta.durationMs, 3000, 100);
    EXPECT_EQ(meta.startTime, GetParam().dated ? testing::kDriveStartUtc : 0);
    EXPECT_EQ(meta.gpsInfo[0], m_clip.fixesPerSecond);
    EXPECT_EQ(HasGSensorBlock(meta), m_clip.accelerometer);
}

TEST_P(TelemetryClipTest, BlocksCarryTheDrive) {
    VideoMetaInfo meta;
    ASSERT_TRUE(ParseRecording(m_clip.path, meta));
    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
    ASSERT_TRUE(ReadRecordingSamples(m_clip.path, meta, gps, gsensor));
    const auto decoded = DecodeGpsBlock(gps, meta);
    ASSERT_GE(decoded.size(), 3u * m_clip.fixesPerSecond);
    for (size_t i = 0; i < 3u * m_clip.fixesPerSecond; ++i) {
        const double t = static_cast<double>(i) / m_clip.fixesPerSecond;
        const DecodedGpsSample& s = decoded[i];
        SCOPED_TRACE("sample " + std::to_string(i));
        EXPECT_TRUE(s.plottable);
        EXPECT_NEAR(s.latitude, testing::DriveLatitude(t), 1e-5); // freeGPS stores floats
        EXPECT_NEAR(s.longitude, testing::DriveLongitude(t), 1e-5);
        if (GetParam().speedStored || i > 0) {
            EXPECT_EQ(s.speedKmh, 54);
        }
        // A heading is worked out once the drive has moved two metres.
        if (t >= 0.2) {
            EXPECT_NEAR(s.headingDeg, 45, 2);
        }
        if (GetParam().dated) {
            // 12:00 UTC is 14:00 in Berlin, where the tests run.
            ASSERT_TRUE(s.hasDate);
            EXPECT_EQ(s.hour, 14);
            EXPECT_EQ(s.second, static_cast<int>(t));
        }
    }
    if (m_clip.accelerometer) {
        const auto g = DecodeGSensorBlock(gsensor, meta);
        ASSERT_NEAR(static_cast<double>(g.size()), 300, 10);
        EXPECT_NEAR(g[150].z, 1.0, 0.04);
        EXPECT_NEAR(g[150].x, 0.0, 0.04);
        EXPECT_EQ(g[150].timeMs, 1500);
    } else {
        EXPECT_TRUE(gsensor.empty());
    }
}

// exiftool's values of each tag, in the order of the samples: "-ee -n"
// gives every sample in degrees and metres per second.
std::map<std::string, std::vector<double>> ExiftoolValues(const std::string& path) {
    const std::string command =
        "exiftool -ee -n -a -s -GPSLatitude -GPSLongitude -GPSSpeed -GPSVelocityEast "
        "-GPSVelocityNorth '" +
        path + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::map<std::string, std::vector<double>> values;
    if (!pipe)
        return values;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::istringstream in(line);
        std::string tag, colon;
        double value = 0;
        if (in >> tag >> colon >> value)
            values[tag].push_back(value);
    }
    return values;
}

TEST_P(TelemetryClipTest, ExiftoolReadsTheSamePositionsAndSpeeds) {
    if (!GetParam().crossCheck)
        GTEST_SKIP() << "exiftool does not read this fixture's layout";
    if (std::system("exiftool -ver >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "exiftool is not installed";
    VideoMetaInfo meta;
    ASSERT_TRUE(ParseRecording(m_clip.path, meta));
    std::vector<GpsSample> gps;
    std::vector<GSensorSample> gsensor;
    ASSERT_TRUE(ReadRecordingSamples(m_clip.path, meta, gps, gsensor));
    const auto ours = DecodeGpsBlock(gps, meta);
    auto theirs = ExiftoolValues(m_clip.path);
    const auto& latitudes = theirs["GPSLatitude"];
    const auto& longitudes = theirs["GPSLongitude"];
    // GPMF gives the speed, CAMM the velocity east and north.
    std::vector<double> speeds = theirs["GPSSpeed"];
    const auto& east = theirs["GPSVelocityEast"];
    const auto& north = theirs["GPSVelocityNorth"];
    for (size_t i = 0; i < east.size() && i < north.size(); ++i)
        speeds.push_back(std::hypot(east[i], north[i]));
    ASSERT_EQ(latitudes.size(), 3u * m_clip.fixesPerSecond);
    ASSERT_EQ(longitudes.size(), latitudes.size());
    EXPECT_EQ(speeds.size(), GetParam().speedStored ? latitudes.size() : 0u);
    for (size_t i = 0; i < latitudes.size(); ++i) {
        SCOPED_TRACE("sample " + std::to_string(i));
        ASSERT_LT(i, ours.size());
        EXPECT_NEAR(ours[i].latitude, latitudes[i], 1e-6);
        EXPECT_NEAR(ours[i].longitude, longitudes[i], 1e-6);
        if (i < speeds.size()) {
            EXPECT_NEAR(ours[i].speedKmh, speeds[i] * GetParam().exiftoolSpeedToKmh, 0.5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TelemetryClipTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TelemetryClipEdgeTest, UnknownFreeGpsLayoutGivesNoGpsAndSaysSo) {
    if (!fixtures::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    testing::TempDir dir;
    const testing::Clip clip = testing::MakeClip(dir, ClipFormat::FreeGps, "GOOD.MP4");
    ASSERT_FALSE(clip.path.empty());
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileRange(clip.path, 0, 1u << 24, bytes));
    // Status letters no layout here knows: the boxes are not guessed at.
    for (size_t p = 0; p + 8 < bytes.size(); ++p) {
        if (std::equal(bytes.begin() + static_cast<long>(p),
                       bytes.begin() + static_cast<long>(p) + 8, "freeGPS "))
            bytes[p - 4 + 48 + 24] = '?';
    }
    const std::string odd = dir.File("ODD.MP4");
    ASSERT_TRUE(fixtures::WriteBytes(odd, bytes));
    VideoMetaInfo meta;
    ASSERT_TRUE(ParseRecording(odd, meta));
    EXPECT_EQ(meta.telemetry, TelemetryFormat::FreeGpsUnknown);
    EXPECT_EQ(meta.startTime, 0);
    RecordingBlocks blocks;
    ASSERT_TRUE(ReadRecordingBlocks(odd, meta, blocks));
    EXPECT_TRUE(blocks.gps.empty());
}

TEST(TelemetryClipEdgeTest, GpmfStartAndAccelerometerComeFromTheFirstPayloadsThatHaveThem) {
    // A camera's GPS locks after a while; its accelerometer may start late
    // too. The start is the first dated position's time less its place in
    // the recording, whatever later payloads say.
    if (!fixtures::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    testing::TempDir dir;
    const fixtures::Bytes video =
        fixtures::EncodeClip(dir.File("video.mp4"), testing::kClipSeconds);
    ASSERT_FALSE(video.empty());
    const auto second = [](const char* gpsu, bool gps, bool accl) {
        fixtures::GpmfSecond s;
        s.gpsu = gpsu;
        if (gps)
            s.gps.assign(10, fixtures::GpmfFix{testing::kStartLatitude, testing::kStartLongitude,
                                               520, 5, 5});
        if (accl)
            s.accl.assign(200, fixtures::GpmfAccel{0, 0, 9.80665});
        return s;
    };
    struct Case {
        const char* name;
        std::vector<fixtures::GpmfSecond> seconds;
    };
    const Case cases[] = {
        {"lock in the second payload",
         {second("", false, true), second("150601120001.000", true, true)}},
        {"accelerometer from the second payload",
         {second("150601120000.000", true, false), second("150601120001.000", true, true)}},
        {"a later payload's other date does not count",
         {second("150601120000.000", true, true), second("160101000000.000", true, true)}},
    };
    for (const Case& c : cases) {
        std::vector<fixtures::TimedSample> samples;
        for (const auto& s : c.seconds)
            samples.push_back({fixtures::GpmfPayload(s), 1000});
        const std::string path = dir.File("GH010001.MP4");
        ASSERT_TRUE(fixtures::WriteBytes(path, fixtures::AddMetadataTrack(video, "gpmd", samples)));
        VideoMetaInfo meta;
        ASSERT_TRUE(ParseRecording(path, meta)) << c.name;
        EXPECT_EQ(meta.telemetry, TelemetryFormat::Gpmf) << c.name;
        EXPECT_EQ(meta.startTime, testing::kDriveStartUtc) << c.name;
        EXPECT_NE(meta.gsensorInfo[0], 0) << c.name; // the accelerometer was met
    }
}

TEST(TelemetryClipEdgeTest, SideFileIsFoundInTheUsualSpellingsAndListings) {
    testing::TempDir dir;
    fixtures::WriteBytes(dir.File("2024_0101_120000_001F.MP4"), {});
    EXPECT_EQ(FindNmeaSideFile(dir.File("2024_0101_120000_001F.MP4")), "");
    for (const char* extension : {".nmea", ".GPS"}) {
        const std::string side = dir.File(std::string("2024_0101_120000_001F") + extension);
        fixtures::WriteBytes(side, {'x'});
        EXPECT_EQ(FindNmeaSideFile(dir.File("2024_0101_120000_001F.MP4")), side);
        std::remove(side.c_str());
    }
    EXPECT_EQ(NmeaSideFileName("CLIP.MOV", {"CLIP.MOV", "CLIPS.nmea", "CLIP.NmEa"}), "CLIP.NmEa");
    EXPECT_EQ(NmeaSideFileName("CLIP.MOV", {"CLIP.MOV", "CLIP.txt"}), "");
}

} // namespace
} // namespace kolvex
