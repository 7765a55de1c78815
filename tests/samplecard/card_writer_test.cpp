// Writing the whole card with a stand-in encoder (it copies small fixture
// files where ffmpeg would encode), then reading it back with the camera-file
// reader: the records, the drives they describe, and how a card replaces an
// earlier one or refuses to.
#include "card_plan.h"
#include "card_writer.h"

#include "fixtures/camera_file_writer.h"
#include "tracks/kolvex_3gp_parser.h"
#include "tracks/kolvex_avi_parser.h"
#include "tracks/sample_decoding.h"
#include "tracks/track_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

namespace kolvex::samplecard {
namespace {

namespace fs = std::filesystem;
using fixtures::Bytes;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Every file below a folder with its bytes, by card-relative path.
std::map<std::string, Bytes> Snapshot(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadAll(entry.path());
    }
    return files;
}

class CardWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_work = fs::temp_directory_path() /
                 ("kolvex-cardwriter-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_work);
        fs::create_directories(m_work);
        m_card = m_work / "card";

        fixtures::CameraRecording plain;
        plain.durationMs = 20000;
        plain.writeGps = false;
        plain.writeGsensor = false;
        plain.gpsInfo.reset();
        plain.gsensorInfo.reset();
        ASSERT_TRUE(fixtures::WriteFile((m_work / "clip.mp4").string(), fixtures::BuildMp4(plain)));
        ASSERT_TRUE(fixtures::WriteFile((m_work / "clip.avi").string(), fixtures::BuildAvi(plain)));
        // Copies the fixture that fits the requested format to the output
        // path, the last argument.
        UseEncoder("encoder", "fmt=; prev=; out=\n"
                              "for a; do\n"
                              "  if [ \"$prev\" = -f ] && [ \"$a\" != lavfi ]; then fmt=$a; fi\n"
                              "  prev=$a; out=$a\n"
                              "done\n"
                              "if [ \"$fmt\" = avi ]; then cp '" +
                                  (m_work / "clip.avi").string() + "' \"$out\"; else cp '" +
                                  (m_work / "clip.mp4").string() + "' \"$out\"; fi\n");
    }
    void TearDown() override {
        unsetenv("KOLVEX_FFMPEG");
        fs::remove_all(m_work);
    }

    void UseEncoder(const std::string& name, const std::string& script) {
        const fs::path path = m_work / name;
        std::ofstream(path) << "#!/bin/sh\n" << script;
        fs::permissions(path, fs::perms::owner_all);
        setenv("KOLVEX_FFMPEG", path.c_str(), 1);
    }

    fs::path m_work;
    fs::path m_card;
};

VideoMetaInfo Parse(const fs::path& path) {
    VideoMetaInfo meta{};
    const std::string name = path.filename().string();
    const bool avi = name.size() >= 4 && name.substr(name.size() - 4) == ".AVI";
    CKolvex3gpParser mp4;
    CKolvexAviParser aviParser;
    CKolvexVideoParser& parser = avi ? static_cast<CKolvexVideoParser&>(aviParser) : mp4;
    parser.SetResultRecord(&meta);
    EXPECT_EQ(parser.Parse(path.string()), 0) << path;
    return meta;
}

struct ReadBack {
    const PlannedRecording* planned;
    VideoMetaInfo meta;
    std::vector<DecodedGpsSample> gps;
    std::vector<DecodedGSensorSample> gsensor;
};

std::vector<ReadBack> ReadCard(const fs::path& card, const CardPlan& plan) {
    std::vector<ReadBack> all;
    for (const auto& r : plan.recordings) {
        const fs::path path = card / FrontPath(r);
        ReadBack back{&r, Parse(path), {}, {}};
        std::vector<GpsSample> gps;
        std::vector<GSensorSample> gsensor;
        EXPECT_TRUE(ReadRecordingSamples(path.string(), back.meta, gps, gsensor));
        back.gps = DecodeGpsBlock(gps, back.meta);
        back.gsensor = DecodeGSensorBlock(gsensor, back.meta);
        all.push_back(std::move(back));
    }
    return all;
}

TEST_F(CardWriterTest, StartTimesComeFromTheTextDateOrTheGpsSamples) {
    const CardPlan plan = SampleCardPlan();
    WriteSampleCard(m_card, plan);
    for (const ReadBack& r : ReadCard(m_card, plan)) {
        SCOPED_TRACE(r.planned->name);
        const WallClock& start = r.planned->window.start;
        int64_t expected = 0;
        ASSERT_TRUE(LocalTimeToEpoch(start.year, start.month, start.day, start.hour, start.minute,
                                     start.second, expected));
        EXPECT_EQ(r.meta.startTime, expected);
        EXPECT_EQ(r.meta.gpsInfo[0], r.planned->gpsRate);
        EXPECT_EQ(r.gps.size(), static_cast<size_t>(r.planned->gpsRate * 20));
        EXPECT_EQ(r.gsensor.size(), 200u);
        EXPECT_EQ(r.meta.gsensorInfo[0], 10);
    }
}

// Positions, speed and heading of consecutive fixed samples agree with each
// other as a real car's do: the distance between two fixes is what the
// speeds say, the bearing between them what the headings say, and the speed
// changes no faster than brakes allow.
TEST_F(CardWriterTest, GpsTracksDescribePlausibleDrives) {
    const CardPlan plan = SampleCardPlan();
    WriteSampleCard(m_card, plan);
    std::map<unsigned, int> rates;
    int recordingsWithLostFix = 0;
    for (const ReadBack& r : ReadCard(m_card, plan)) {
        SCOPED_TRACE(r.planned->name);
        if (r.gps.empty())
            continue;
        const unsigned rate = GpsRate(r.meta);
        ++rates[rate];
        const double dt = 1.0 / rate;
        int fixless = 0, longestFixless = 0;
        for (size_t i = 1; i < r.gps.size(); ++i) {
            const DecodedGpsSample& a = r.gps[i - 1];
            const DecodedGpsSample& b = r.gps[i];
            fixless = b.fixValid ? 0 : fixless + 1;
            longestFixless = std::max(longestFixless, fixless);
            if (!a.plottable || !b.plottable)
                continue;
            const double va = a.speedKmh / 3.6, vb = b.speedKmh / 3.6;
            const double distance =
                DistanceMetres(a.latitude, a.longitude, b.latitude, b.longitude);
            // The mean speed between two fixes lies between their speeds
            // (no drive speeds up and slows down within one interval);
            // speeds are stored in whole km/h.
            EXPECT_GE(distance / dt, std::min(va, vb) - 0.4) << "sample " << i;
            EXPECT_LE(distance / dt, std::max(va, vb) + 0.4) << "sample " << i;
            EXPECT_LE(std::fabs(vb - va) / dt, 9.5) << "sample " << i;
            if (va > 3 && vb > 3) {
                const double bearing =
                    BearingDegrees(a.latitude, a.longitude, b.latitude, b.longitude);
                const double turn = std::remainder(b.headingDeg - a.headingDeg, 360.0);
                const double meanHeading = a.headingDeg + turn / 2;
                EXPECT_LE(std::fabs(std::remainder(bearing - meanHeading, 360.0)), 4.0)
                    << "sample " << i;
            }
        }
        if (longestFixless >= 5 * static_cast<int>(rate))
            ++recordingsWithLostFix;
    }
    EXPECT_GE(rates[1], 1);
    EXPECT_GE(rates[10], 1);
    EXPECT_GE(recordingsWithLostFix, 1);
}

// Hard braking shows as a clear bump on the forward axis of the event
// recording only; at rest the sensor feels 1 G upwards.
TEST_F(CardWriterTest, GSensorShowsTheHardBrakingInTheEventRecordingOnly) {
    const CardPlan plan = SampleCardPlan();
    WriteSampleCard(m_card, plan);
    for (const ReadBack& r : ReadCard(m_card, plan)) {
        SCOPED_TRACE(r.planned->name);
        int longestBraking = 0, braking = 0;
        double meanZ = 0;
        for (const auto& s : r.gsensor) {
            braking = s.x <= -0.7 ? braking + 1 : 0;
            longestBraking = std::max(longestBraking, braking);
            meanZ += s.z / static_cast<double>(r.gsensor.size());
        }
        EXPECT_NEAR(meanZ, 1.0, 0.05);
        if (r.planned->name[3] == 'G')
            EXPECT_GE(longestBraking, 5);
        else
            EXPECT_EQ(longestBraking, 0);
    }
}

TEST_F(CardWriterTest, WritingAgainReplacesTheCardWithTheSameBytes) {
    const CardPlan plan = SampleCardPlan();
    WriteSampleCard(m_card, plan);
    const auto first = Snapshot(m_card);
    std::ofstream(m_card / "DCIM" / "stray.txt") << "left over";
    fs::create_directories(m_card / "OLD");
    // What a run cut short leaves behind.
    fs::create_directories(m_card / ".kolvex-sample-card.partial" / "DCIM");
    std::ofstream(m_card / ".kolvex-sample-card.partial" / "DCIM" / "half.MP4") << "half";

    const auto written = WriteSampleCard(m_card, plan);

    EXPECT_EQ(Snapshot(m_card), first);
    EXPECT_FALSE(fs::exists(m_card / "OLD"));
    EXPECT_TRUE(fs::exists(m_card / kCardMarker));
    for (const auto& file : written) {
        const bool readOnly = (fs::status(m_card / file.path).permissions() &
                               fs::perms::owner_write) == fs::perms::none;
        EXPECT_EQ(readOnly,
                  file.path == "DCIM/CAMF/MOVG0020.MP4" || file.path == "DCIM/AVI/MOVA0070.AVI")
            << file.path;
    }
    // Nothing is left beside the card.
    for (const auto& entry : fs::directory_iterator(m_work))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos);
}

TEST_F(CardWriterTest, RefusesAFolderThatHoldsSomethingElse) {
    fs::create_directories(m_card);
    std::ofstream(m_card / "holiday.jpg") << "precious";
    EXPECT_THROW(WriteSampleCard(m_card, SampleCardPlan()), std::runtime_error);
    EXPECT_EQ(Snapshot(m_card).size(), 1u);
    EXPECT_EQ(ReadAll(m_card / "holiday.jpg"), (Bytes{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));

    const fs::path file = m_work / "a-file";
    std::ofstream(file) << "x";
    EXPECT_THROW(WriteSampleCard(file, SampleCardPlan()), std::runtime_error);
}

TEST_F(CardWriterTest, AFailedEncodeKeepsTheEarlierCard) {
    const CardPlan plan = SampleCardPlan();
    const std::string goodEncoder = std::getenv("KOLVEX_FFMPEG");
    UseEncoder("broken", "echo 'Unknown encoder libx264' >&2\nexit 1\n");
    // Without an earlier card, the folder is left as it was found.
    EXPECT_THROW(WriteSampleCard(m_card, plan), std::runtime_error);
    EXPECT_FALSE(fs::exists(m_card));
    fs::create_directories(m_card);
    EXPECT_THROW(WriteSampleCard(m_card, plan), std::runtime_error);
    EXPECT_TRUE(Snapshot(m_card).empty());

    setenv("KOLVEX_FFMPEG", goodEncoder.c_str(), 1);
    WriteSampleCard(m_card, plan);
    const auto before = Snapshot(m_card);
    UseEncoder("broken", "echo 'Unknown encoder libx264' >&2\nexit 1\n");

    try {
        WriteSampleCard(m_card, plan);
        ADD_FAILURE() << "a failing encoder went unnoticed";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Unknown encoder libx264"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(Snapshot(m_card), before);
    for (const auto& entry : fs::directory_iterator(m_work))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos);
}

} // namespace
} // namespace kolvex::samplecard
